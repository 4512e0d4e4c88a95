#include "script/Numbers.h"

#include <charconv>
#include <cstdint>

namespace script {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<std::int32_t> ParseInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && static_cast<unsigned char>(text[i]) <= 32) ++i;
  if (i == text.size()) return std::nullopt;

  if (text[i] == '$') {
    ++i;
    const std::size_t digits = text.size() - i;
    if (digits == 0 || digits > 8) return std::nullopt;
    std::uint32_t value = 0;
    for (; i < text.size(); ++i) {
      const int d = HexDigit(text[i]);
      if (d < 0) return std::nullopt;
      value = (value << 4) | static_cast<std::uint32_t>(d);
    }
    return static_cast<std::int32_t>(value);
  }

  const std::optional<std::int64_t> value = ParseDecimal64(text.substr(i));
  if (!value || *value < INT32_MIN || *value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(*value);
}

std::optional<std::int64_t> ParseDecimal64(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && static_cast<unsigned char>(text[i]) <= 32) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i == text.size()) return std::nullopt;
  // Gathered as a negative figure, which reaches one further than a positive one.
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    const int digit = text[i] - '0';
    if (value < (INT64_MIN + digit) / 10) return std::nullopt;
    value = value * 10 - digit;
  }
  if (!negative) {
    if (value == INT64_MIN) return std::nullopt;
    value = -value;
  }
  return value;
}

std::int32_t IntegerOrZero(std::string_view text) {
  return ParseInteger(text).value_or(0);
}

std::string Digits(std::uint64_t value, int width, int base) {
  char digits[64];
  const auto end = std::to_chars(digits, digits + sizeof digits, value, base).ptr;
  const auto count = static_cast<std::size_t>(end - digits);
  std::string out(width > 0 && static_cast<std::size_t>(width) > count ? width - count : 0, '0');
  out.append(digits, count);
  return out;
}

}  // namespace script
