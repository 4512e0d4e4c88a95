#include "script/Numbers.h"
#include "script/TextLines.h"

#include <gtest/gtest.h>

namespace script {
namespace {

struct IntegerCase {
  const char* text;
  std::optional<std::int32_t> expected;
};

TEST(ParseInteger, FollowsTheScriptRule) {
  const IntegerCase cases[] = {
      {"12", 12},
      {"  -1", -1},
      {"+7", 7},
      {"$1F", 31},
      {"$ffffffff", -1},
      {"$80000000", static_cast<std::int32_t>(0x80000000u)},
      {"2147483647", 2147483647},
      {"-2147483648", static_cast<std::int32_t>(0x80000000u)},
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"99999999999999999999", std::nullopt},
      {"$123456789", std::nullopt},
      {"$", std::nullopt},
      {"12 ", std::nullopt},
      {"abc", std::nullopt},
      {"", std::nullopt},
      {"-", std::nullopt},
      {"1.5", std::nullopt},
      {"0x1F", std::nullopt},
  };
  for (const IntegerCase& c : cases)
    EXPECT_EQ(ParseInteger(c.text), c.expected) << '"' << c.text << '"';
  EXPECT_EQ(IntegerOrZero("abc"), 0);
}

TEST(Digits, PadsWithZerosToTheWidthAndNeverCuts) {
  const struct {
    std::uint64_t value;
    int width;
    int base;
    const char* expected;
  } cases[] = {
      {42, 5, 10, "00042"},
      {0, 5, 10, "00000"},
      {123456, 5, 10, "123456"},
      {7, 0, 10, "7"},
      {0, 0, 10, "0"},
      {0xfa3c, 8, 16, "0000fa3c"},
      {0x80004005, 8, 16, "80004005"},
      {0xffffffffffffffff, 1, 16, "ffffffffffffffff"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Digits(c.value, c.width, c.base), c.expected) << c.value << " width " << c.width;
}

TEST(SplitTextLines, AcceptsEveryLineEnd) {
  EXPECT_EQ(SplitTextLines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitTextLines("a\r\n\r\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(SplitTextLines("\n\r"), (std::vector<std::string>{"", ""}));
  EXPECT_TRUE(SplitTextLines("").empty());
  EXPECT_EQ(SplitTextLines(std::string_view("x\0y\xff", 4)),
            (std::vector<std::string>{std::string("x\0y\xff", 4)}));
}

}  // namespace
}  // namespace script
