// The free-space figure: the root queried, the unit ladder, the 32-bit limit, the display.
#include "wizard/DiskSpace.h"

#include <gtest/gtest.h>

#include "tests/wizard/PageHarness.h"

// Readable failure output.
void PrintTo(const SpaceFigure& figure, std::ostream* out) {
  *out << figure.figure << " " << figure.unit << " (" << figure.kilobytes << " KB)";
}

namespace {

TEST(FormatSize, GroupsFourToFifteenCharacters) {
  struct Case {
    std::string digits, unit, shown;
  };
  const Case cases[] = {
      {"999", "KB", "999 KB"},
      {"1000", "KB", "1 000 KB"},
      {"1234567890", "KB", "1 234 567 890 KB"},
      {"-1", "KB", "-1 KB"},
      {"-1", "", "-1 "},
      {"-100", "MB", "- 100 MB"},  // the minus sign counts as a digit
      {"123456789012345", "TB", "123 456 789 012 345 TB"},
      {"1234567890123456", "KB", "1234567890123456 KB"},
      {"", "GB", " GB"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatSize(c.digits, c.unit), c.shown) << c.digits;
}

TEST(FreeSpaceRoot, DriveLetterOfAnyCaseElseNothing) {
  struct Case {
    const char* path;
    std::optional<std::string> root;
  };
  const Case cases[] = {
      {"C:\\Program Files\\App", "C:\\"},
      {"d:\\app", "D:\\"},
      {"z:", "Z:\\"},
      {"@", ""},  // drive number 0: the current drive
      {"", std::nullopt},
      {"\\\\server\\share\\app", std::nullopt},
      {"\\APP", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(FreeSpaceRoot(c.path), c.root) << c.path;
}

TEST(FreeSpaceFigure, UnitLadderAndLimit) {
  struct Case {
    const char* name;
    platform::DiskFreeSpace space;
    SpaceFigure figure;
  };
  using page_test::Geometry;
  const Case cases[] = {
      {"less than 1024 clusters", Geometry(8, 512, 1023), {0, "KB", 0}},
      {"4 KB clusters", Geometry(8, 512, 2560), {8192, "KB", 8192}},  // 2560 / 1024 = 2, times 4096
      {"1048576 stays in KB", Geometry(1, 512, 1048576u * 1024), {536870912, "KB", 536870912}},
      {"one more goes to MB", Geometry(1, 512, 1048577u * 1024), {524288, "MB", 536871424}},
      {"KB figure held at the limit",
       Geometry(8, 512, 1048576u * 1024),
       {2147483647, "KB", 4294967296}},
      {"MB figure held at the limit",
       Geometry(256, 4096, 0xFFFFFFFFu),
       {2147483647, "MB", 4398045462528}},
  };
  for (const Case& c : cases) EXPECT_EQ(FreeSpaceFigure(c.space), c.figure) << c.name;
}

}  // namespace
