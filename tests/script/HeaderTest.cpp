#include "script/Header.h"

#include <gtest/gtest.h>

namespace script {
namespace {

struct OsCase {
  const char* value;
  std::uint32_t platformId;
  bool failed;
  const char* name;
};

TEST(CheckOSType, TestsOnlyThePlatformFamily) {
  const OsCase cases[] = {
      {"WINNT/95", 1, false, "Windows 95/NT"},
      {"win95/nt", 2, false, "Windows 95/NT"},
      {"Win95", 1, false, "Windows 95"},
      {"WIN95", 2, true, "Windows 95"},
      {"winnt", 2, false, "Windows NT 4.0"},
      {"WINNT", 1, true, "Windows NT 4.0"},
      {"WIN2000", 1, false, ""},
      {"", 2, false, ""},
  };
  for (const OsCase& c : cases) {
    const OsTypeCheck check = CheckOSType(c.value, c.platformId);
    EXPECT_EQ(check.failed, c.failed) << c.value << " on " << c.platformId;
    EXPECT_EQ(check.name, c.name) << c.value;
  }
}

TEST(CheckCSDVersion, ComparesTrimmedAndUpperCased) {
  EXPECT_TRUE(CheckCSDVersion(" service pack 3 ", "Service Pack 3"));
  EXPECT_FALSE(CheckCSDVersion("Service Pack 3", "Service Pack 4"));
  EXPECT_FALSE(CheckCSDVersion("Service Pack 3", ""));
  EXPECT_TRUE(CheckCSDVersion("", ""));
  EXPECT_FALSE(CheckCSDVersion("", " A "));
}

TEST(HeaderKeys, MatchInAnyCaseOnly) {
  EXPECT_EQ(MatchHeaderKey("caption"), HeaderKey::Caption);
  EXPECT_EQ(MatchHeaderKey("InstTo"), HeaderKey::InstTo);
  EXPECT_EQ(MatchHeaderKey("LANGS"), HeaderKey::None);
  EXPECT_TRUE(IsFlagOn("yes"));
  EXPECT_TRUE(IsFlagOn("True"));
  EXPECT_FALSE(IsFlagOn("1"));
  EXPECT_FALSE(IsFlagOn(" YES"));
}

TEST(HeaderMessages, AreExact) {
  EXPECT_EQ(OsTypeMessage("Windows NT 4.0"),
            "Program can be started only in operating system Windows NT 4.0.\r\n\r\n"
            "The installation will be terminated.");
  EXPECT_EQ(CsdVersionMessage("Service Pack 3"),
            "CSD version of the operation system \x84Service Pack 3\x94 not found.\r\n"
            "Please, install this CSD version into your operation system and then start "
            "installation program again.\r\nThe installation will be terminated.");
}

}  // namespace
}  // namespace script
