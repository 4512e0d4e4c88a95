// INI FILE blocks: entries written as read, the destination marker, refused writes.
#include <optional>
#include <string>
#include <vector>

#include "tests/engine/ItemsHarness.h"

namespace {

using items_test::ItemsHarness;

constexpr char kIniPath[] = "C:\\WINDOWS\\DEMO.INI";

struct IniCase {
  const char* name;
  std::string installDir;
  std::vector<std::string> lines;  // from the opening line on
  std::string fileText;            // DEMO.INI afterwards
  std::size_t endIndex;
};

TEST(IniBlock, WritesEachEntryAsItIsRead) {
  const IniCase cases[] = {
      {"entry before any section goes at the top of the file, under no header",
       "C:\\Demo",
       {"INI FILE=demo.ini", "Key=Value", "END OF INI", "Other=1"},
       "Key=Value\r\n",
       2},
      {"sections change for the lines after them",
       "C:\\Demo",
       {"INIFILE=demo.ini", "SECTION=One", "a=1", "section=Two", "b=2", "endofini"},
       "[One]\r\na=1\r\n[Two]\r\nb=2\r\n",
       5},
      {"blanks around the equals sign are kept",
       "C:\\Demo",
       {"INI FILE=demo.ini", "SECTION=S", "Home = <TOPATH>", "END OF INI"},
       "[S]\r\nHome = C:\\Demo\r\n",
       3},
      {"marker in lower case, only the first one replaced",
       "C:\\Demo",
       {"INI FILE=demo.ini", "SECTION=S", "Bin=<topath>\\bin;<TOPATH>", "END OF INI"},
       "[S]\r\nBin=C:\\Demo\\bin;<TOPATH>\r\n",
       3},
      {"destination with a trailing backslash and blanks",
       "  C:\\Demo\\ ",
       {"INI FILE=demo.ini", "SECTION=S", "Dir=<TOPATH>\\x", "END OF INI"},
       "[S]\r\nDir=C:\\Demo\\x\r\n",
       3},
      {"keys and sections keep the marker",
       "C:\\Demo",
       {"INI FILE=demo.ini", "SECTION=<TOPATH>", "<TOPATH>=v", "END OF INI"},
       "[<TOPATH>]\r\n<TOPATH>=v\r\n",
       3},
      {"end line with a blank is an entry",
       "C:\\Demo",
       {"INI FILE=demo.ini", "SECTION=S", "END OF INI ", "END OF INI"},
       "[S]\r\n=END OF INI \r\n",
       3},
      {"no end line: the block ends with the script",
       "C:\\Demo",
       {"INI FILE=demo.ini", "SECTION=S", "a=1"},
       "[S]\r\na=1\r\n",
       2},
  };
  for (const IniCase& c : cases) {
    SCOPED_TRACE(c.name);
    ItemsHarness setup;
    setup.main().InstallDir = c.installDir;
    std::size_t index = 0;
    EXPECT_TRUE(setup.main().ReadIniBlock(c.lines, index, "demo.ini"));
    EXPECT_EQ(index, c.endIndex);
    EXPECT_EQ(setup.ReadFile(kIniPath), c.fileText);
  }
}

TEST(IniBlock, BlankLineIsWrittenAsAnEmptyEntry) {
  ItemsHarness setup;
  const std::vector<std::string> lines = {"INI FILE=demo.ini", "SECTION=S", "", "END OF INI"};
  std::size_t index = 0;
  EXPECT_TRUE(setup.main().ReadIniBlock(lines, index, "demo.ini"));
  EXPECT_EQ(setup.platform().profiles.ReadString("S", "", "missing", "demo.ini"), "");
  EXPECT_NE(setup.ReadFile(kIniPath), std::nullopt);
}

TEST(IniBlock, TwoBlocksOnOneFileEachStartWithoutSection) {
  ItemsHarness setup;
  const std::vector<std::string> lines = {"INI FILE=demo.ini", "SECTION=S",         "a=1",
                                          "END OF INI",        "INI FILE=demo.ini", "b=2",
                                          "END OF INI"};
  std::size_t index = 0;
  EXPECT_TRUE(setup.main().ReadIniBlock(lines, index, "demo.ini"));
  EXPECT_EQ(index, 3u);
  index = 4;
  EXPECT_TRUE(setup.main().ReadIniBlock(lines, index, "demo.ini"));
  EXPECT_EQ(index, 6u);
  EXPECT_EQ(setup.ReadFile(kIniPath), "b=2\r\n[S]\r\na=1\r\n");
}

TEST(IniBlock, FileNameIsTrimmedAndCutAtItsComma) {
  ItemsHarness setup;
  const std::vector<std::string> lines = {"INI FILE=x", "SECTION=S", "a=1", "END OF INI"};
  std::size_t index = 0;
  setup.PutFile("C:\\APP\\keep.txt", "");
  EXPECT_TRUE(setup.main().ReadIniBlock(lines, index, " C:\\APP\\app.ini , extra"));
  EXPECT_EQ(setup.ReadFile("C:\\APP\\app.ini"), "[S]\r\na=1\r\n");
}

TEST(IniBlock, RefusedWriteIsReportedOnceAndSkipsTheRestOfTheBlock) {
  const std::string message =
      items_test::BoxLine("Installation", "error", "OK",
                          "Unable to write to demo.ini\r\nThe installation is not complete.");
  ItemsHarness setup("reply OK\n");
  setup.machine().faults().refusedProfileFiles.insert("DEMO.INI");
  const std::vector<std::string> lines = {"INI FILE=demo.ini", "SECTION=S", "a=1", "b=2",
                                          "END OF INI",        "NEXT=1"};
  std::size_t index = 0;
  EXPECT_FALSE(setup.main().ReadIniBlock(lines, index, "demo.ini"));
  EXPECT_EQ(index, 4u);
  EXPECT_EQ(items_test::Boxes(setup.transcript()), std::vector<std::string>{message});
  EXPECT_EQ(setup.ReadFile(kIniPath), std::nullopt);
}

}  // namespace
