#include "platform/SzddHeader.h"

namespace platform {
namespace {

constexpr unsigned char kSignature[] = {0x53, 0x5A, 0x44, 0x44, 0x88, 0xF0, 0x27, 0x33};
constexpr std::size_t kSignatureSize = sizeof(kSignature);
constexpr std::size_t kMethodOffset = 8;
constexpr std::size_t kLetterOffset = 9;
constexpr std::size_t kLengthOffset = 10;

}  // namespace

bool HasSzddSignature(std::string_view bytes) {
  if (bytes.size() < kSignatureSize) return false;
  for (std::size_t i = 0; i < kSignatureSize; ++i)
    if (static_cast<unsigned char>(bytes[i]) != kSignature[i]) return false;
  return true;
}

std::optional<SzddHeader> ReadSzddHeader(std::string_view bytes) {
  if (!HasSzddSignature(bytes) || bytes.size() < kSzddHeaderSize) return std::nullopt;
  if (bytes[kMethodOffset] != 'A') return std::nullopt;
  SzddHeader header;
  header.lastNameLetter = bytes[kLetterOffset];
  for (std::size_t i = 0; i < 4; ++i)
    header.expandedLength |=
        static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[kLengthOffset + i])) << (8 * i);
  return header;
}

}  // namespace platform
