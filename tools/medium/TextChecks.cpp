#include "tools/medium/TextChecks.h"

#include <cstdint>
#include <cstdio>

namespace medium {
namespace {

std::string Hex(std::string_view bytes) {
  std::string text;
  for (const char c : bytes) {
    char byte[4];
    std::snprintf(byte, sizeof byte, "%02X", static_cast<unsigned char>(c));
    text += (text.empty() ? "" : " ") + std::string(byte);
  }
  return text;
}

// The length of the UTF-8 sequence a lead byte opens (2 to 4), 0 for no lead byte.
std::size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// The first multi-byte sequence when every byte above 0x7F belongs to a well-formed UTF-8
// sequence; empty otherwise (plain ASCII, or bytes that UTF-8 would not write).
std::string_view FirstUtf8Sequence(std::string_view text) {
  std::string_view first;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    const std::size_t length = SequenceLength(lead);
    if (length == 0 || i + length > text.size()) return {};
    for (std::size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return {};
    if (first.empty()) first = text.substr(i, length);
    i += length;
  }
  return first;
}

// Bytes that code page 1250 leaves undefined, and control characters.
bool IsNoCharacter(unsigned char byte) {
  return byte < 0x20 || byte == 0x7F || byte == 0x81 || byte == 0x83 || byte == 0x88 ||
         byte == 0x90 || byte == 0x98;
}

}  // namespace

std::optional<std::string> Cp1250Problem(std::string_view text) {
  const std::string_view sequence = FirstUtf8Sequence(text);
  if (!sequence.empty())
    return "looks like UTF-8 (bytes " + Hex(sequence) +
           " for one letter); Windows reads it in code page 1250 and shows other letters";
  for (const char c : text)
    if (IsNoCharacter(static_cast<unsigned char>(c)))
      return "holds the byte " + Hex(std::string_view(&c, 1)) +
             ", which is no character in code page 1250";
  return std::nullopt;
}

}  // namespace medium
