// Message digests, for files whose change must be noticed (a log read back later).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

class Digest {
 public:
  virtual ~Digest() = default;
  // The SHA-256 digest of `bytes` as 64 lower-case hexadecimal digits; nothing when the
  // system cannot compute one.
  virtual std::optional<std::string> Sha256Hex(std::string_view bytes) = 0;
};

// 32 digest bytes written as 64 lower-case hexadecimal digits.
std::string HexDigits(const unsigned char* bytes, std::size_t count);

}  // namespace platform
