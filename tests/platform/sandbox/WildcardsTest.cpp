#include "platform/sandbox/Wildcards.h"

#include <gtest/gtest.h>

namespace sandbox {
namespace {

TEST(MatchesFindPattern, FollowsWindowsSearchRules) {
  struct Case {
    const char* pattern;
    const char* name;
    bool matches;
  };
  const Case cases[] = {
      {"*", "README", true},
      {"*.*", "README", true},
      {"*.*", "setup.inf", true},
      {"*.*", ".", true},
      {"*.*", "..", true},
      {"*.", "README", true},
      {"*.", "setup.inf", false},
      {"*.inf", "SETUP.INF", true},
      {"*.inf", "setup.inf.bak", false},
      {"*.inf", "a.b.inf", true},
      {"*.inf", "..", false},
      {"setup.*", "SETUP", true},
      {"setup.*", "setup.exe", true},
      {"setup.*", "setupx.exe", false},
      {"s?tup.inf", "SETUP.INF", true},
      {"s?tup.inf", "stup.inf", false},
      {"file?.txt", "file.txt", true},  // ? may match nothing before a dot
      {"???", "ab", true},
      {"???", "abcd", false},
      {"a*z", "abcz", true},
      {"a*z", "abc", false},
      {"Setup.Inf", "setup.inf", true},
      {"setup.inf", "setup.in", false},
      {"setup.", "setup", true},
      {"\x8a*",
       "\x8a"
       "koda",
       true},
      {"\x8a*",
       "\x9a"
       "koda",
       false},  // only a-z compare without case
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchesFindPattern(c.pattern, c.name), c.matches)
        << "pattern " << c.pattern << " name " << c.name;
  }
}

}  // namespace
}  // namespace sandbox
