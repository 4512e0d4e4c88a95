// Program-group commands: the MAKE GROUP line, item blocks and the single DDE execute.
#include <functional>
#include <string>
#include <vector>

#include "platform/sandbox/Transcript.h"
#include "tests/engine/ItemsHarness.h"

namespace {

using items_test::ItemsHarness;
using Lines = std::vector<std::string>;

std::string LogLine(std::initializer_list<std::string> fields) {
  std::string line;
  for (const std::string& field : fields) {
    if (!line.empty()) line += '\t';
    line += sandbox::Transcript::Escape(field);
  }
  return line;
}

// Reads the item block that starts at line 0; gives the queued commands and the end index.
struct ItemRead {
  Lines commands;
  std::size_t index = 0;
};
ItemRead ReadItem(const std::string& installDir, const Lines& lines) {
  ItemsHarness setup;
  setup.main().InstallDir = installDir;
  ItemRead read;
  setup.main().ReadGroupItem(lines, read.index);
  read.commands = setup.main().GroupCommands;
  return read;
}

struct ItemCase {
  const char* name;
  std::string installDir;
  Lines lines;
  Lines commands;
  std::size_t endIndex;
};

TEST(GroupItem, BuildsTheAddItemCommand) {
  const ItemCase cases[] = {
      {"marker in FILE and PATH, trailing backslash of PATH dropped",
       "C:\\Demo",
       {"GROUP ITEM", "FILE=<TOPATH>\\demo.exe", "TITLE=Demo", "PATH=<TOPATH>\\",
        "END OF GROUP ITEM", "NEXT"},
       {"[AddItem(\"C:\\Demo\\demo.exe\",\"Demo\",,,,,\"C:\\Demo\")]"},
       4},
      {"destination typed with blanks and a backslash, marker in lower case",
       " C:\\Demo\\ ",
       {"GROUPITEM", "file=<topath>\\a.exe <TOPATH>", "Title=A b", "path=  <ToPath>\\bin\\  ",
        "endofgroupitem"},
       {"[AddItem(\"C:\\Demo\\a.exe <TOPATH>\",\"A b\",,,,,\"C:\\Demo\\bin\")]"},
       4},
      {"FILE keeps the marker when TITLE is missing; PATH is replaced",
       "C:\\Demo",
       {"GROUP ITEM", "FILE=<TOPATH>\\a.exe", "PATH=<TOPATH>", "END OF GROUP ITEM"},
       {"[AddItem(\"<TOPATH>\\a.exe\",\"\",,,,,\"C:\\Demo\")]"},
       3},
      {"later lines win, blanks of FILE and TITLE kept, other keys ignored",
       "C:\\Demo",
       {"GROUP ITEM", "FILE=x.exe", "FILE= y.exe", "TITLE =t", "TITLE=T ", "ICON=1", "PATH=C:\\",
        "END OF GROUP ITEM"},
       {"[AddItem(\" y.exe\",\"T \",,,,,\"C:\")]"},
       7},
      {"end line with a blank does not end the block",
       "C:\\Demo",
       {"GROUP ITEM", "FILE=a", "TITLE=b", "PATH=c", "END OF GROUP ITEM ", "TITLE=d",
        "END OF GROUP ITEM"},
       {"[AddItem(\"a\",\"d\",,,,,\"c\")]"},
       6},
      {"no end line: nothing queued, index on the last line",
       "C:\\Demo",
       {"GROUP ITEM", "FILE=a", "TITLE=b", "PATH=c"},
       {},
       3},
  };
  for (const ItemCase& c : cases) {
    SCOPED_TRACE(c.name);
    const ItemRead read = ReadItem(c.installDir, c.lines);
    EXPECT_EQ(read.commands, c.commands);
    EXPECT_EQ(read.index, c.endIndex);
  }
}

TEST(GroupCommands, GroupLineAndTwoItemsInFileOrder) {
  ItemsHarness setup;
  TMainForm& main = setup.main();
  main.InstallDir = "C:\\Tools";
  setup.wizard().PageDEdit1.SetText("My Tools");
  const Lines lines = {"MAKE GROUP=x",  "GROUP ITEM",        "FILE=<TOPATH>\\a.exe", "TITLE=A",
                       "PATH=<TOPATH>", "END OF GROUP ITEM", "GROUP ITEM",           "FILE=b.exe",
                       "TITLE=B",       "PATH=C:\\B\\",      "END OF GROUP ITEM"};
  main.QueueGroupCommand();
  std::size_t index = 1;
  main.ReadGroupItem(lines, index);
  index = 6;
  main.ReadGroupItem(lines, index);
  const Lines expected = {"[CreateGroup(My Tools)]",
                          "[AddItem(\"C:\\Tools\\a.exe\",\"A\",,,,,\"C:\\Tools\")]",
                          "[AddItem(\"b.exe\",\"B\",,,,,\"C:\\B\")]"};
  EXPECT_EQ(main.GroupCommands, expected);
  EXPECT_TRUE(main.GroupMade);

  main.SendGroupCommands();
  const std::string text = expected[0] + "\r\n" + expected[1] + "\r\n" + expected[2] + "\r\n";
  EXPECT_EQ(setup.machine().transcript().Lines(),
            (Lines{LogLine({"dde-connect", "PROGMAN", "", "ok"}),
                   LogLine({"dde-execute", "PROGMAN", "", text})}));
}

TEST(GroupCommands, NothingIsSentWithoutAGroupOrAfterAStop) {
  const struct {
    const char* name;
    std::function<void(TMainForm&)> state;
  } cases[] = {
      {"items without a MAKE GROUP line", [](TMainForm& m) { m.GroupMade = false; }},
      {"a missing file was given up (result 4)", [](TMainForm& m) { m.SourceAbandoned = true; }},
      {"the installation was interrupted (result 5)", [](TMainForm& m) { m.Interrupted = true; }},
      {"no commands", [](TMainForm& m) { m.GroupCommands.clear(); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ItemsHarness setup;
    TMainForm& main = setup.main();
    main.GroupMade = true;
    main.GroupCommands = {"[CreateGroup(G)]"};
    c.state(main);
    main.SendGroupCommands();
    EXPECT_EQ(setup.machine().transcript().Lines(), Lines{});
  }
}

TEST(GroupCommands, MissingProgramManagerIsTriedTwiceAndIgnored) {
  ItemsHarness setup;
  setup.machine().outcomes().ddeServerPresent = false;
  TMainForm& main = setup.main();
  main.GroupMade = true;
  main.GroupCommands = {"[CreateGroup(G)]"};
  main.SendGroupCommands();
  const Lines& log = setup.machine().transcript().Lines();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0], LogLine({"dde-connect", "PROGMAN", "", "no-server"}));
  EXPECT_EQ(log[2], LogLine({"dde-connect", "PROGMAN", "PROGMAN", "no-server"}));
  EXPECT_TRUE(items_test::Boxes(setup.transcript()).empty());
}

}  // namespace
