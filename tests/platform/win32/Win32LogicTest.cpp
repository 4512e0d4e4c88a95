#include "platform/win32/Win32Logic.h"

#include <gtest/gtest.h>

namespace win32 {
namespace {

TEST(Win32LogicTest, MessageTextLosesTrailingBlanksBreaksAndFullStops) {
  struct Case {
    const char* name;
    std::string input;
    std::string expected;
  };
  const Case cases[] = {
      {"system text with full stop and CR LF", "The system cannot find the file specified.\r\n",
       "The system cannot find the file specified"},
      {"mixed tail", "Access is denied . \r\n. ", "Access is denied"},
      {"dots inside stay", "Version 1.2. ", "Version 1.2"},
      {"leading blanks stay", "  text", "  text"},
      {"nothing but tail", ". \r\n.", ""},
      {"empty", "", ""},
      {"other bytes end it", "Chyba\x94\r\n", "Chyba\x94"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TrimMessageText(c.input), c.expected) << c.name;
  }
}

TEST(Win32LogicTest, DirectoryPartKeepsItsLastSeparator) {
  struct Case {
    const char* name;
    const char* path;
    const char* expected;
  };
  const Case cases[] = {
      {"full path", "C:\\WINDOWS\\HELP\\VMC.HLP", "C:\\WINDOWS\\HELP\\"},
      {"drive-relative", "C:VMC.HLP", "C:"},
      {"network path", "\\\\server\\share\\vmc.hlp", "\\\\server\\share\\"},
      {"bare name", "VMC.HLP", ""},
      {"directory only", "C:\\HELP\\", "C:\\HELP\\"},
      {"slash is not a separator here", "C:/HELP/VMC.HLP", "C:"},
      {"empty", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DirectoryPart(c.path), c.expected) << c.name;
  }
}

TEST(Win32LogicTest, PredefinedRootsAreWidenedLikeTheApiKeepsThem) {
  // On a 64-bit host the roots are sign-extended; on a 32-bit one the values stay.
  const bool wide = sizeof(std::uintptr_t) == 8;
  struct Case {
    const char* name;
    platform::HKey key;
    std::uintptr_t expected;
  };
  const Case cases[] = {
      {"first root", platform::kHkeyClassesRoot,
       wide ? static_cast<std::uintptr_t>(0xFFFFFFFF80000000ull) : 0x80000000u},
      {"current user", platform::kHkeyCurrentUser,
       wide ? static_cast<std::uintptr_t>(0xFFFFFFFF80000001ull) : 0x80000001u},
      {"last root", platform::kHkeyDynData,
       wide ? static_cast<std::uintptr_t>(0xFFFFFFFF80000006ull) : 0x80000006u},
      {"just past the roots", 0x80000007u, 0x80000007u},
      {"just before the roots", 0x7FFFFFFFu, 0x7FFFFFFFu},
      {"a key the API opened", 0x1A4u, 0x1A4u},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NativeKeyValue(c.key), c.expected) << c.name;
  }
}

TEST(Win32LogicTest, StringValuesAreCutBeforeTheirTerminator) {
  using namespace std::string_literals;
  struct Case {
    const char* name;
    std::uint32_t type;
    std::string data;
    std::string expected;
  };
  const Case cases[] = {
      {"string with its zero", platform::kRegSz, "C:\\VMC\0"s, "C:\\VMC"},
      {"string stored without zero", platform::kRegSz, "C:\\VMC"s, "C:\\VMC"},
      {"string with two zeros", platform::kRegSz, "a\0b\0"s, "a"},
      {"empty string", platform::kRegSz, "\0"s, ""},
      {"expandable string", platform::kRegExpandSz, "%WINDIR%\0"s, "%WINDIR%"},
      {"binary keeps zeros", platform::kRegBinary, "a\0b\0"s, "a\0b\0"s},
      {"dword keeps zeros", platform::kRegDword, "\x01\0\0\0"s, "\x01\0\0\0"s},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WithoutTerminator(c.type, c.data), c.expected) << c.name;
  }
}

TEST(Win32LogicTest, DdeServerIsStartedWithTheTopicAsArgument) {
  EXPECT_EQ(DdeServerCommandLine("PROGMAN", "PROGMAN"), "PROGMAN PROGMAN");
  EXPECT_EQ(DdeServerCommandLine("PROGMAN", ""), "PROGMAN") << "no argument for no topic";
}

TEST(Win32LogicTest, OnlyExactMidnightIsMidnight) {
  struct Case {
    const char* name;
    int hour, minute, second, milliseconds;
    bool expected;
  };
  const Case cases[] = {
      {"midnight", 0, 0, 0, 0, true},         {"one millisecond past", 0, 0, 0, 1, false},
      {"one second past", 0, 0, 1, 0, false}, {"one minute past", 0, 1, 0, 0, false},
      {"noon", 12, 0, 0, 0, false},
  };
  for (const Case& c : cases) {
    platform::SystemTime time;
    time.year = 2001;
    time.hour = c.hour;
    time.minute = c.minute;
    time.second = c.second;
    time.milliseconds = c.milliseconds;
    EXPECT_EQ(IsMidnight(time), c.expected) << c.name;
  }
}

TEST(Win32LogicTest, FileTimeHalvesRoundTrip) {
  const platform::FileTime time{0x01D2345678ABCDEFull};
  const FileTimeHalves halves = SplitFileTime(time);
  EXPECT_EQ(halves.low, 0x78ABCDEFu);
  EXPECT_EQ(halves.high, 0x01D23456u);
  EXPECT_EQ(JoinFileTime(halves.low, halves.high), time);
}

}  // namespace
}  // namespace win32

TEST(Win32LogicTest, PathRootIsTheDriveOrTheShareTheNameGoesThrough) {
  const struct {
    const char* path;
    const char* root;
  } cases[] = {
      {"C:\\BENCH\\d00\\f0001.dat", "C:"},
      {"c:\\windows", "C:"},
      {"D:relative.txt", "D:"},
      {"\\\\server\\share\\dir\\file", "\\\\SERVER\\SHARE"},
      {"//Server/Share", "\\\\SERVER\\SHARE"},
      {"\\\\server", ""},             // no share
      {"\\\\server\\\\file", ""},     // an empty share
      {"\\\\.\\PhysicalDrive0", ""},  // a device
      {"\\\\?\\C:\\x", ""},
      {"\\dir\\file", ""},  // the current drive's
      {"file.txt", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(win32::PathRoot(c.path), c.root) << c.path;
}
