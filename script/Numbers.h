// Whole numbers written in the setup script.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace script {

// Reads a signed 32-bit whole number: leading blanks skipped, then an optional "+" or "-"
// with decimal digits inside the 32-bit range, or "$" with one to eight hexadecimal digits
// giving the 32-bit pattern as written. Nothing may follow. Empty when the text is not
// such a number.
std::optional<std::int32_t> ParseInteger(std::string_view text);

// Reads a signed 64-bit whole decimal number: leading blanks skipped, then an optional "+"
// or "-" and decimal digits inside the 64-bit range. Nothing may follow. Empty when the
// text is not such a number.
std::optional<std::int64_t> ParseDecimal64(std::string_view text);

// ParseInteger, with 0 for text that is not a whole number.
std::int32_t IntegerOrZero(std::string_view text);

// `value` in decimal (base 10) or lower-case hexadecimal (base 16), with zeros in front up
// to `width` digits: Digits(42, 5) is "00042", Digits(0xfa3c, 8, 16) is "0000fa3c". The
// Windows programs format numbers with it rather than with the C library's printf family,
// whose implementation there is larger than all the rest of the number handling.
std::string Digits(std::uint64_t value, int width, int base = 10);

}  // namespace script
