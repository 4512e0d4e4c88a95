// Page 61: its texts, the free-space figure and unit, the space check on Next, and Browse.
#include <gtest/gtest.h>

#include "tests/wizard/PageHarness.h"

namespace {

using page_test::Geometry;
using page_test::Joined;
using page_test::kToDestination;
using page_test::LinesStarting;
using page_test::PageHarness;

constexpr const char* kSpaceMessage =
    "message \"Installation\" info OK \"Available space have to be greater than space "
    "required.\\r\\nPlease, select another directory for installation.\"";

// The page codes of a transcript, in order.
std::vector<int> Pages(const std::vector<std::string>& transcript) {
  std::vector<int> pages;
  for (const std::string& line : LinesStarting(transcript, "page "))
    pages.push_back(std::stoi(line.substr(5)));
  return pages;
}

TEST(DestinationPage, TextsAreExact) {
  PageHarness h;
  h.SetScript({"CAPTION=Tavrin Console",
               "INSTTO=C:\\Program Files\\Office Tools\\Report Writer\\Bin", "PROCESS=1234567890"});
  h.disks().Set('C', Geometry(8, 512, 300 * 1024));
  std::map<std::string, std::string> texts;
  const auto run = h.Run(kToDestination, [&](SetupForms& forms) {
    TWizForm& w = *forms.WizForm;
    for (forms::Control* c : std::initializer_list<forms::Control*>{
             &w.PageCLab1, &w.PageCLab2, &w.PageCLab3, &w.PageCLab4, &w.GroupBox1, &w.DestFolder,
             &w.Label1, &w.PageCRS, &w.Label5, &w.PageCAS, &w.browbut})
      texts[c->Name()] = c->Caption();
    texts["caption"] = w.Caption();
    texts["next"] = w.nextBut.Visible() ? "visible" : "hidden";
  });
  ASSERT_EQ(run.stopCode, 3) << run.stopMessage;
  const std::map<std::string, std::string> expected = {
      {"PageCLab1",
       "The installation program will install Tavrin Console into destination directory as "
       "indicated bellow."},
      {"PageCLab2", "If you agree, press \"Next\"."},
      {"PageCLab3",
       "If you want to change destination directory, press \"Browse\" and pick up another "
       "directory."},
      {"PageCLab4", "If you want to cancel the installation Tavrin Console, press \"Cancel\"."},
      {"GroupBox1", " Destination directory "},
      {"DestFolder", "C:\\ ... \\Office Tools\\Report Writer\\Bin"},
      {"Label1", "Space required:"},
      {"PageCRS", "1 234 567 KB"},
      {"Label5", "Space available:"},
      {"PageCAS", "1 228 800 KB"},
      {"browbut", "Br&owse"},
      {"caption", "Enter destination directory"},
      {"next", "visible"},
  };
  EXPECT_EQ(texts, expected);
  EXPECT_EQ(h.disks().Queries(), std::vector<std::string>{"C:\\"});
}

// Next compares the space required with the space available, both in KB, whatever unit the
// page shows; a failed query shows -1 and never passes.
TEST(DestinationPage, SpaceCheckOnNext) {
  struct Case {
    const char* name;
    const char* installTo;  // null: no INSTTO
    const char* process;
    char drive;  // the drive given a geometry, or 0
    platform::DiskFreeSpace geometry;
    const char* available;
    bool passes;
  };
  const Case cases[] = {
      {"equal space passes", "C:\\APP", "12288000", 'C', Geometry(8, 512, 3 * 1024), "12 288 KB",
       true},
      {"one KB more is refused", "C:\\APP", "12289000", 'C', Geometry(8, 512, 3 * 1024),
       "12 288 KB", false},
      {"nothing required on a full drive", "C:\\APP", "999", 'C', Geometry(8, 512, 1023), "0 KB",
       true},
      // 512 GB in 512-byte clusters is shown as 524 288 MB; compared in KB it is plenty.
      {"figure in MB compared in KB", "C:\\APP", "2000000000", 'C',
       Geometry(1, 512, 1048577u * 1024), "524 288 MB", true},
      {"most KB shown before MB", "C:\\APP", "2147483647", 'C', Geometry(1, 512, 1048576u * 1024),
       "536 870 912 KB", true},
      // 4 095 MB in 1 MB clusters would wrap in 32 bits; it is held at the largest figure.
      {"figure beyond 32 bits held", "C:\\APP", "2147483647", 'C', Geometry(256, 4096, 0xFFFFFFFFu),
       "2 147 483 647 MB", true},
      {"lower-case drive letter", "e:\\app", "1000", 'E', Geometry(8, 512, 1024), "4 096 KB", true},
      {"drive not present", "Q:\\APP", "0", 0, {}, "-1 ", false},
      {"network path", "\\\\server\\share\\app", "0", 0, {}, "-1 ", false},
      {"no destination in the script", nullptr, "0", 0, {}, "-1 ", false},
  };
  for (const Case& c : cases) {
    PageHarness h;
    std::vector<std::string> script = {"CAPTION=Demo", std::string("PROCESS=") + c.process};
    if (c.installTo) script.push_back(std::string("INSTTO=") + c.installTo);
    h.SetScript(script);
    if (c.drive) h.disks().Set(c.drive, c.geometry);
    std::string available;
    const auto run =
        h.Run(std::string(kToDestination) + "click nextBut\n" + (c.passes ? "" : "reply OK\n"),
              [&](SetupForms& forms) { available = forms.WizForm->PageCAS.Caption(); });
    ASSERT_EQ(run.stopCode, 3) << c.name << ": " << run.stopMessage;
    EXPECT_EQ(Pages(run.transcript).back(), c.passes ? 66 : 61) << c.name << "\n"
                                                                << Joined(run.transcript);
    EXPECT_EQ(LinesStarting(run.transcript, kSpaceMessage).size(), c.passes ? 0u : 1u) << c.name;
    EXPECT_EQ(available, c.available) << c.name;
    // Queried when the page was set up, and again when a refusal showed it anew.
    if (c.installTo && c.drive) {
      EXPECT_EQ(h.disks().Queries().size(), c.passes ? 1u : 2u) << c.name;
    }
  }
}

struct BrowseOutcome {
  std::string installDir, destFolder, required, available, currentDir;
  std::vector<std::string> transcript;
  int stopCode = 0;
};

BrowseOutcome Browse(PageHarness& h, const std::string& actions) {
  BrowseOutcome out;
  const auto run =
      h.Run(std::string(kToDestination) + "click browbut\n" + actions, [&](SetupForms& forms) {
        TWizForm& w = *forms.WizForm;
        out.installDir = w.InstallDir;
        out.destFolder = w.DestFolder.Caption();
        out.required = w.PageCRS.Caption();
        out.available = w.PageCAS.Caption();
      });
  out.currentDir = h.platform().files.GetCurrentDirectory();
  out.transcript = run.transcript;
  out.stopCode = run.stopCode;
  return out;
}

TEST(DestinationPage, BrowseTakesTheChosenDirectory) {
  struct Case {
    const char* name;
    const char* actions;  // inside the browse dialog
    const char* installDir;
    const char* available;
    std::vector<std::string> boxes;
  };
  const std::string createQuestion =
      "message \"Installation\" info YESNO \"Directory\\r\\n\\r\\n\\x84"
      "C:\\\\Chosen\\\\Dir\\x94\\r\\n\\r\\ndoes not exist. Do you want to create it?\"";
  const Case cases[] = {
      {"OK keeps the start", "click okbut\n", "C:\\APP", "4 096 KB", {}},
      {"Cancel changes nothing",
       "type CHFEdit1 C:\\Chosen\\Dir\nclick cancelbut\n",
       "C:\\APP",
       "4 096 KB",
       {}},
      {"typed path created on Yes",
       "type CHFEdit1 C:\\Chosen\\Dir\nclick okbut\nreply YES\n",
       "C:\\Chosen\\Dir",
       "4 096 KB",
       {createQuestion}},
      // The query of a drive that is not there fails: -1 with the unit shown before.
      {"title-bar close takes the typed path unchecked",
       "type CHFEdit1 Q:\\NONE\nclose\n",
       "Q:\\NONE",
       "-1 KB",
       {}},
      {"other drive: only the available figure changes",
       "pick CHFCMB 1\nclick okbut\n",
       "D:\\",
       "8 KB",
       {}},
      {"subdirectory opened in the list",
       "pick CHFDLB 2\ndblclick CHFDLB\nclick okbut\n",
       "C:\\APP\\BIN",
       "4 096 KB",
       {}},
  };
  for (const Case& c : cases) {
    PageHarness h;
    h.SetScript({"INSTTO=C:\\APP", "PROCESS=5000"});
    h.MakeDir("C:\\APP\\BIN");
    h.disks().Set('C', Geometry(8, 512, 1024));
    h.disks().Set('D', Geometry(8, 1, 1024));
    const BrowseOutcome out = Browse(h, c.actions);
    ASSERT_EQ(out.stopCode, 3) << c.name << "\n" << Joined(out.transcript);
    EXPECT_EQ(LinesStarting(out.transcript, "modal TFolderForm \"Select directory\"").size(), 1u)
        << c.name;
    EXPECT_EQ(out.installDir, c.installDir) << c.name;
    EXPECT_EQ(out.available, c.available) << c.name;
    EXPECT_EQ(out.required, "5 KB") << c.name;
    EXPECT_EQ(out.destFolder, c.installDir) << c.name;
    // The browse dialog puts back the directory it was opened at.
    EXPECT_EQ(out.currentDir, "C:\\APP") << c.name;
    EXPECT_EQ(LinesStarting(out.transcript, "message "), c.boxes) << c.name;
  }
}

TEST(DestinationPage, BrowseCreatesTheDestinationFirstAndKeepsItOnCancel) {
  PageHarness h;
  h.SetScript({"INSTTO=C:\\Program Files\\New App"});
  ASSERT_FALSE(h.DirExists("C:\\Program Files"));
  const BrowseOutcome out = Browse(h, "click cancelbut\n");
  EXPECT_EQ(out.installDir, "C:\\Program Files\\New App");
  EXPECT_TRUE(h.DirExists("C:\\Program Files\\New App"));
}

TEST(DestinationPage, DestinationThatCannotBeCreatedEndsTheProgram) {
  PageHarness h;
  h.SetScript({"INSTTO=Q:\\APP"});
  const BrowseOutcome out = Browse(h, "reply OK\n");
  ASSERT_EQ(out.stopCode, 0) << Joined(out.transcript);
  EXPECT_TRUE(LinesStarting(out.transcript, "modal TFolderForm").empty());
  EXPECT_EQ(LinesStarting(out.transcript, "message "),
            std::vector<std::string>{
                "message \"Installation\" error OK \"There is no possible to create destination "
                "directory.\\r\\nThe installation will be terminated.\""});
  EXPECT_EQ(out.transcript.back(), "exit");
}

// A destination without a drive letter is made before browsing like any other: a network
// path the machine cannot reach ends the program, a relative one is made where the process is.
TEST(DestinationPage, DestinationWithoutADriveIsMadeBeforeBrowsing) {
  const std::string terminated =
      "message \"Installation\" error OK \"There is no possible to create destination "
      "directory.\\r\\nThe installation will be terminated.\"";
  struct Case {
    const char* name;
    const char* installTo;
    const char* currentDir;
    const char* actions;
    bool browsed;
    const char* created;
  };
  const Case cases[] = {
      {"network share", "\\\\server\\share\\app", "D:\\", "reply OK\n", false, nullptr},
      {"relative on the read-only medium", "APP", "D:\\", "reply OK\n", false, nullptr},
      {"relative on a fixed disk", "APP", "C:\\", "click okbut\n", true, "C:\\APP"},
  };
  for (const Case& c : cases) {
    PageHarness h;
    h.SetScript({std::string("INSTTO=") + c.installTo});
    ASSERT_TRUE(h.platform().files.SetCurrentDirectory(c.currentDir));
    const BrowseOutcome out = Browse(h, c.actions);
    EXPECT_EQ(LinesStarting(out.transcript, "modal TFolderForm").size(), c.browsed ? 1u : 0u)
        << c.name << "\n"
        << Joined(out.transcript);
    EXPECT_EQ(LinesStarting(out.transcript, "message "),
              c.browsed ? std::vector<std::string>{} : std::vector<std::string>{terminated})
        << c.name;
    if (c.created) {
      EXPECT_TRUE(h.DirExists(c.created)) << c.name;
    }
    if (!c.browsed) {
      EXPECT_EQ(out.transcript.back(), "exit") << c.name;
    }
  }
}

}  // namespace
