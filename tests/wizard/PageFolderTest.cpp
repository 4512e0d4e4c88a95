// Page 66: its texts, the listed folders, the edit and list handlers, and the hand-over of
// the chosen destination and folder to the main window.
#include <gtest/gtest.h>

#include "tests/wizard/PageHarness.h"

namespace {

using page_test::Joined;
using page_test::kToDestination;
using page_test::kToFolder;
using page_test::LinesStarting;
using page_test::PageHarness;

const std::string kToPage66 = std::string(kToDestination) + kToFolder;

struct FolderPage {
  std::string caption, lab1, lab2, lab3, edit, active, next, groupName;
  bool listShown = false, labelShown = false;
  std::vector<std::string> items;
  int selected = -2, selStart = -1, selLength = -1;
};

FolderPage Inspect(SetupForms& forms) {
  TWizForm& w = *forms.WizForm;
  FolderPage page;
  page.caption = w.Caption();
  page.lab1 = w.PageDLab1.Caption();
  page.lab2 = w.PageDLab2.Caption();
  page.lab3 = w.PageDLab3.Caption();
  page.edit = w.PageDEdit1.Text();
  page.selStart = w.PageDEdit1.SelStart();
  page.selLength = w.PageDEdit1.SelLength();
  page.active = w.ActiveControl() ? w.ActiveControl()->Name() : "";
  page.next = w.nextBut.Caption();
  page.groupName = w.GroupName;
  page.listShown = w.PageDLBX.Visible();
  page.labelShown = w.PageDLab3.Visible();
  page.items = w.PageDLBX.Items();
  page.selected = w.PageDLBX.ItemIndex();
  return page;
}

TEST(FolderPage, TextsAndTheFirstFolderSelected) {
  PageHarness h;
  h.SetScript({"CAPTION=Tavrin Console", "INSTTO=C:\\APP"});
  h.MakeDir(h.machine().ProgramsDirectory() + "\\Accessories");
  FolderPage page;
  const auto run = h.Run(kToPage66, [&](SetupForms& forms) { page = Inspect(forms); });
  ASSERT_EQ(run.stopCode, 3) << run.stopMessage;
  EXPECT_EQ(run.transcript.back(), "page 66 \"Select folder in Start menu\"");
  EXPECT_EQ(page.caption, "Select folder in Start menu");
  EXPECT_EQ(page.lab1,
            "The installation program will add the icon into program folder from following "
            "menu. You can enter name for a new folder or pick up the folder from the menu. "
            "Press \"Next\" to continue in installation.");
  EXPECT_EQ(page.lab2, "Folders in Start menu:");
  EXPECT_EQ(page.lab3, "Available folders:");
  EXPECT_TRUE(page.labelShown);
  EXPECT_TRUE(page.listShown);
  EXPECT_EQ(page.items, std::vector<std::string>{"Accessories"});
  EXPECT_EQ(page.selected, 0);
  EXPECT_EQ(page.edit, "Tavrin Console");
  EXPECT_EQ(page.selStart, 0);
  EXPECT_EQ(page.selLength, 14);
  EXPECT_EQ(page.active, "PageDEdit1");
  EXPECT_EQ(page.next, "&Next >");
}

TEST(FolderPage, ListShownOnlyWhenThereIsAProgramsFolder) {
  struct Case {
    const char* name;
    std::uint32_t platformId;
    bool removePrograms;
    bool shown;
  };
  const Case cases[] = {
      {"empty folder: label and empty list", platform::kPlatformWindows, false, true},
      {"empty folder on NT", platform::kPlatformWin32Nt, false, true},
      {"no folder: both hidden", platform::kPlatformWindows, true, false},
      {"Win32s: both hidden", platform::kPlatformWin32s, false, false},
  };
  for (const Case& c : cases) {
    PageHarness h(c.platformId);
    h.SetScript({"CAPTION=Demo", "INSTTO=C:\\APP"});
    if (c.removePrograms)
      std::filesystem::remove_all(h.machine().HostPath(h.machine().ProgramsDirectory()));
    FolderPage page;
    // Double clicks with nothing selected leave the edit alone.
    const auto run =
        h.Run(kToPage66 + "dblclick PageDEdit1\n" + (c.shown ? "dblclick PageDLBX\n" : ""),
              [&](SetupForms& forms) { page = Inspect(forms); });
    ASSERT_EQ(run.stopCode, 3) << c.name << ": " << run.stopMessage;
    EXPECT_EQ(page.listShown, c.shown) << c.name;
    EXPECT_EQ(page.labelShown, c.shown) << c.name;
    EXPECT_TRUE(page.items.empty()) << c.name;
    EXPECT_EQ(page.selected, -1) << c.name;
    EXPECT_EQ(page.edit, "Demo") << c.name;
    EXPECT_EQ(page.groupName, "Demo") << c.name;
  }
}

// What the user does on the page, and what the edit and the focus show after it.
TEST(FolderPage, EditAndListHandlers) {
  struct Case {
    const char* name;
    const char* actions;
    const char* edit;
    const char* active;
  };
  // The listed folders, sorted here for a known order: Games is entry 1.
  const Case cases[] = {
      {"typed name", "type PageDEdit1 My Tools\n", "My Tools", "PageDEdit1"},
      {"empty name", "type PageDEdit1 \n", "", "PageDEdit1"},
      {"double click on the list", "pick PageDLBX 1\ndblclick PageDLBX\n", "Games", "PageDLBX"},
      {"double click on the edit takes the list's entry", "pick PageDLBX 1\ndblclick PageDEdit1\n",
       "Games", "PageDLBX"},
      {"Enter in the list takes the entry and moves on", "pick PageDLBX 1\nkey enter\n", "Games",
       "nextBut"},
      {"Enter in the edit moves on", "type PageDEdit1 Mine\nkey enter\n", "Mine", "nextBut"},
      {"typed name kept across Previous and Next",
       "type PageDEdit1 My Tools\nclick prevBut\nclick nextBut\n", "My Tools", "PageDEdit1"},
      {"picked name kept across Previous and Next",
       "pick PageDLBX 1\ndblclick PageDLBX\nclick prevBut\nclick nextBut\n", "Games", "PageDEdit1"},
  };
  for (const Case& c : cases) {
    PageHarness h;
    h.SetScript({"CAPTION=Demo", "INSTTO=C:\\APP"});
    for (const char* name : {"Accessories", "Games", "StartUp"})
      h.MakeDir(h.machine().ProgramsDirectory() + "\\" + name);
    FolderPage page;
    const auto run =
        h.Run(kToPage66 + c.actions, [&](SetupForms& forms) { page = Inspect(forms); });
    ASSERT_EQ(run.stopCode, 3) << c.name << ": " << run.stopMessage;
    ASSERT_EQ(page.items.size(), 3u) << c.name;
    ASSERT_EQ(page.items[1], "Games") << c.name << ": the folders came in another order";
    EXPECT_EQ(page.edit, c.edit) << c.name;
    EXPECT_EQ(page.groupName, c.edit) << c.name;
    EXPECT_EQ(page.active, c.active) << c.name;
    // Each showing selects the first folder again and the whole name.
    if (std::string(c.actions).find("prevBut") != std::string::npos) {
      EXPECT_EQ(page.selected, 0) << c.name;
      EXPECT_EQ(page.selStart, 0) << c.name;
      EXPECT_EQ(page.selLength, static_cast<int>(page.edit.size())) << c.name;
    }
  }
}

// The whole road: a new destination typed in the browse dialog and a new folder name reach
// the main window when the installation starts, and the files land there.
TEST(FolderPage, ChosenDestinationAndFolderReachTheMainWindow) {
  PageHarness h;
  h.SetScript({"CAPTION=Demo", "INSTTO=C:\\Program Files\\Demo"});
  std::string installDir, groupName;
  const auto run = h.Run(std::string(kToDestination) +
                             "click browbut\ntype CHFEdit1 C:\\Tools\\Demo 2\nclick okbut\n"
                             "reply YES\nclick nextBut\ntype PageDEdit1 My Tools\n"
                             "click nextBut\nclick nextBut\n",
                         [&](SetupForms& forms) {
                           installDir = forms.MainForm->InstallDir;
                           groupName = forms.MainForm->GroupName;
                         });
  ASSERT_EQ(run.stopCode, 3) << run.stopMessage;
  EXPECT_EQ(LinesStarting(run.transcript, "result "), std::vector<std::string>{"result 0"})
      << Joined(run.transcript);
  EXPECT_EQ(installDir, "C:\\Tools\\Demo 2");
  EXPECT_EQ(groupName, "My Tools");
  EXPECT_TRUE(
      std::filesystem::is_regular_file(h.machine().HostPath("C:\\Tools\\Demo 2\\demo.lng")));
  EXPECT_FALSE(std::filesystem::exists(h.machine().HostPath("C:\\Program Files\\Demo\\demo.lng")));
}

}  // namespace
