// The 14-byte header of a file compressed in SZDD form (the form LZ expansion reads).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace platform {

// Bytes of the header: an 8-byte signature, the method byte 'A', the last letter of the
// original name, and the expanded length (32 bits, little-endian, at offset 10).
constexpr std::size_t kSzddHeaderSize = 14;

// Whether `bytes` begin with the SZDD signature (a file too short for it is plain).
bool HasSzddSignature(std::string_view bytes);

struct SzddHeader {
  char lastNameLetter = '\0';  // stands for the '_' of a name such as FILE.EX_; 0 if none
  std::uint32_t expandedLength = 0;
};

// The header at the start of `bytes`: empty when they do not begin with the signature, or
// when the header is cut short or names a method other than 'A'.
std::optional<SzddHeader> ReadSzddHeader(std::string_view bytes);

}  // namespace platform
