// SHA-256 in portable code, so that every Windows the programs run on computes the same
// digest: the system's own providers know SHA-256 only from XP SP3 on.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Digest.h"

namespace platform {

// One digest computed over bytes fed in any number of pieces.
class Sha256 {
 public:
  static constexpr std::size_t kDigestSize = 32;

  Sha256();
  // Adds the next bytes of the message.
  void Update(std::string_view bytes);
  // The digest of everything added; the object is then spent.
  std::array<std::uint8_t, kDigestSize> Finish();

 private:
  void Compress(const std::uint8_t* block);

  std::array<std::uint32_t, 8> state_;
  std::array<std::uint8_t, 64> block_{};
  std::size_t filled_ = 0;    // bytes waiting in block_
  std::uint64_t length_ = 0;  // bytes added in all
};

// The SHA-256 digest of `bytes` as 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::string_view bytes);

// The Digest service on the portable implementation, for systems without one of their own.
class PortableDigest final : public Digest {
 public:
  std::optional<std::string> Sha256Hex(std::string_view bytes) override;
};

}  // namespace platform
