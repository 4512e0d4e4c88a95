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
