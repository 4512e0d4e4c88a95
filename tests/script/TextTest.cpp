#include "script/Text.h"

#include <gtest/gtest.h>

namespace script {
namespace {

TEST(UpperAscii, ChangesOnlyAsciiLetters) {
  // 0x9a and 0xe8 are Windows-1250 lower-case letters: they must stay as they are.
  EXPECT_EQ(UpperAscii("abc xyz \x9a\xe8 09{}"), "ABC XYZ \x9a\xe8 09{}");
}

TEST(EqualsUpper, IgnoresAsciiCaseOnly) {
  EXPECT_TRUE(EqualsUpper("RegTlb", "REGTLB"));
  EXPECT_FALSE(EqualsUpper("\x9a", "\x8a"));
  EXPECT_FALSE(EqualsUpper("REG", "REGTLB"));
}

TEST(TrimBlanks, RemovesControlCharactersAndSpaces) {
  EXPECT_EQ(TrimBlanks(" \t\r\n x y \x1f"), "x y");
  EXPECT_EQ(TrimBlanks("   "), "");
}

}  // namespace
}  // namespace script
