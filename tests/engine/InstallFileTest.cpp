// InstallFile: the missing-source dialog loop, the overwrite rule by destination kind, the
// in-use and open failures, a full disk, and compressed media.
#include <gtest/gtest.h>

#include "tests/engine/CopyHarness.h"

namespace {

using copy_test::At;
using copy_test::BoxLine;
using copy_test::CopyHarness;
using copy_test::Joined;
using copy_test::LinesStarting;

constexpr const char* kCopyError = "Copying error of the file";

TEST(InstallFile, OverwriteRuleByKind) {
  struct Case {
    const char* name;
    const char* dest;
    const char* kind;
    bool existing;
    const char* answers;
    std::size_t dialogs;
    const char* after;
  };
  const Case cases[] = {
      {"BASE replaced silently", "C:\\APP\\A.DLL", "BASE", true, "", 0, "new"},
      {"WIN asked, Yes", "C:\\WINDOWS\\A.DLL", "WIN", true, "click BTN_YES", 1, "new"},
      {"WINSYS asked, No keeps", "C:\\WINDOWS\\SYSTEM\\A.DLL", "WINSYS", true, "click BTN_NO", 1,
       "old"},
      {"WIN not there: no question", "C:\\WINDOWS\\A.DLL", "WIN", false, "", 0, "new"},
  };
  for (const Case& c : cases) {
    CopyHarness h(c.answers);
    h.PutFile("D:\\A.DLL", "new");
    if (c.existing) h.PutFile(c.dest, "old");
    EXPECT_TRUE(h.main().InstallFile("D:\\A.DLL", c.dest, std::string(c.kind) != "BASE", c.kind))
        << c.name;
    EXPECT_EQ(h.ReadFile(c.dest), c.after) << c.name;
    EXPECT_EQ(LinesStarting(h.transcript(), "modal TReplForm").size(), c.dialogs) << c.name;
    EXPECT_EQ(h.RemainingAnswers(), 0u) << c.name;
  }
}

TEST(InstallFile, MissingSourceAskedUntilFoundInTheNamedDirectory) {
  CopyHarness h("type PathEdit D:\\WRONG\nclick okbut\ntype PathEdit D:\\DISK2\nclick okbut\n");
  h.PutFile("D:\\WRONG\\OTHER.TXT", "x");
  h.PutFile("D:\\DISK2\\README.TXT", "found");
  EXPECT_TRUE(h.main().InstallFile("D:\\DOCS\\readme.txt", "C:\\APP\\README.TXT", false, "BASE"));
  EXPECT_EQ(h.ReadFile("C:\\APP\\README.TXT"), "found");
  EXPECT_EQ(LinesStarting(h.transcript(), "modal TNotFileForm").size(), 2u)
      << Joined(h.transcript());
  // The second time the dialog shows the directory that did not hold the file.
  EXPECT_EQ(h.notFile().PathEdit.Text(), "D:\\DISK2");
  EXPECT_EQ(h.notFile().ProblemLabel.Caption(),
            "Insert installation CD-ROM or disk with file  \x84README.TXT\x94 into:");
  EXPECT_FALSE(h.main().SourceAbandoned);
}

TEST(InstallFile, MissingSourceInTheRootShowsTheDriveAlone) {
  CopyHarness h("click okbut\nclick cancbut\n");
  EXPECT_FALSE(h.main().InstallFile("D:\\GONE.TXT", "C:\\APP\\GONE.TXT", false, "BASE"));
  EXPECT_EQ(h.notFile().PathEdit.Text(), "D:");
  EXPECT_EQ(LinesStarting(h.transcript(), "modal TNotFileForm").size(), 2u);
  EXPECT_TRUE(h.main().SourceAbandoned);
}

TEST(InstallFile, AfterGivingUpMissingFilesFailAtOnceAndPresentOnesStillCopy) {
  CopyHarness h("close\n");
  h.PutFile("D:\\HERE.TXT", "here");
  EXPECT_FALSE(h.main().InstallFile("D:\\GONE.TXT", "C:\\APP\\GONE.TXT", false, "BASE"));
  EXPECT_TRUE(h.main().SourceAbandoned);
  EXPECT_FALSE(h.main().InstallFile("D:\\GONE2.TXT", "C:\\APP\\GONE2.TXT", false, "BASE"));
  EXPECT_EQ(LinesStarting(h.transcript(), "modal TNotFileForm").size(), 1u);
  EXPECT_TRUE(h.main().InstallFile("D:\\HERE.TXT", "C:\\APP\\HERE.TXT", false, "BASE"));
  EXPECT_EQ(h.ReadFile("C:\\APP\\HERE.TXT"), "here");
}

TEST(InstallFile, DestinationInUse) {
  const std::string inUse = BoxLine(
      kCopyError, "question", "ABORTRETRYIGNORE",
      "Destination file  \x84"
      "C:\\WINDOWS\\SYSTEM\\BUSY.DLL\x94 is actually in use and it is not possible to overwrite "
      "it. \r\n\r\nVersion of source file:   02.02.2020 12:00:00\r\nVersion of destination "
      "file:   01.01.2010\r\n\r\nIf you want to continue, press \"Ignore\".\r\nIf you want to "
      "abort the installation, press \"Abort\".");
  const std::string interrupted = BoxLine(
      "Installation", "error", "OK",
      "The installation was interrupted by error while copying the files. \r\nThe installation "
      "is not complete");
  struct Case {
    const char* name;
    const char* answers;
    bool result;
    std::vector<std::string> boxes;
  };
  const Case cases[] = {
      {"Ignore keeps the old file", "reply IGNORE", true, {inUse}},
      {"Retry while still in use asks again", "reply RETRY\nreply IGNORE", true, {inUse, inUse}},
      {"Abort", "reply ABORT\nreply OK", false, {inUse, interrupted}},
  };
  for (const Case& c : cases) {
    CopyHarness h(c.answers);
    h.PutFile("D:\\BUSY.DLL", "new");
    h.SetFileTime("D:\\BUSY.DLL", At(2020, 2, 2, 12, 0, 0));
    h.PutFile("C:\\WINDOWS\\SYSTEM\\BUSY.DLL", "old");
    h.SetFileTime("C:\\WINDOWS\\SYSTEM\\BUSY.DLL", At(2010, 1, 1, 0, 0, 0));
    h.machine().faults().filesInUse.insert("C:\\WINDOWS\\SYSTEM\\BUSY.DLL");
    h.main().NoToAll = false;
    h.main().YesToAll = true;  // no overwrite question in the way
    EXPECT_EQ(h.main().InstallFile("D:\\BUSY.DLL", "C:\\WINDOWS\\SYSTEM\\BUSY.DLL", true, "WINSYS"),
              c.result)
        << c.name;
    EXPECT_EQ(LinesStarting(h.transcript(), "message "), c.boxes) << c.name;
    EXPECT_EQ(h.ReadFile("C:\\WINDOWS\\SYSTEM\\BUSY.DLL"), "old") << c.name;
  }
}

TEST(InstallFile, NewerDestinationInUseIsKeptSilently) {
  CopyHarness h;
  h.PutFile("D:\\BUSY.DLL", "new");
  h.SetFileTime("D:\\BUSY.DLL", At(2000, 1, 1, 0, 0, 0));
  h.PutFile("C:\\APP\\BUSY.DLL", "old");
  h.machine().faults().filesInUse.insert("C:\\APP\\BUSY.DLL");
  EXPECT_TRUE(h.main().InstallFile("D:\\BUSY.DLL", "C:\\APP\\BUSY.DLL", false, "BASE"));
  EXPECT_TRUE(LinesStarting(h.transcript(), "message ").empty()) << Joined(h.transcript());
}

TEST(InstallFile, InUseDatesWithinTwoSecondsAreEquallyNew) {
  CopyHarness h;
  platform::SystemTime destTime = At(2020, 5, 5, 10, 20, 30);
  destTime.milliseconds = 200;
  platform::SystemTime sourceTime = destTime;
  sourceTime.milliseconds = 800;
  h.PutFile("D:\\BUSY.DLL", "new");
  h.SetFileTime("D:\\BUSY.DLL", sourceTime);
  h.PutFile("C:\\APP\\BUSY.DLL", "old");
  h.SetFileTime("C:\\APP\\BUSY.DLL", destTime);
  h.machine().faults().filesInUse.insert("C:\\APP\\BUSY.DLL");
  EXPECT_TRUE(h.main().InstallFile("D:\\BUSY.DLL", "C:\\APP\\BUSY.DLL", false, "BASE"));
  EXPECT_TRUE(LinesStarting(h.transcript(), "message ").empty()) << Joined(h.transcript());
  EXPECT_EQ(h.ReadFile("C:\\APP\\BUSY.DLL"), "old");
}

// A directory where the file should go is no file to keep or to ask about: the copy goes
// ahead and fails on it, whichever "to all" answer came before.
TEST(InstallFile, ADirectoryWhereTheFileShouldGoIsNoInstalledFile) {
  struct Case {
    const char* dest;
    const char* kind;
  };
  const Case cases[] = {
      {"C:\\APP\\HELP", "BASE"},
      {"C:\\WINDOWS\\HELP", "WIN"},
      {"C:\\WINDOWS\\SYSTEM\\HELP", "WINSYS"},
  };
  for (const Case& c : cases) {
    for (const char* earlier : {"", "YesToAll", "NoToAll"}) {
      const std::string name = std::string(c.kind) + " after " + (*earlier ? earlier : "nothing");
      CopyHarness h;
      h.main().YesToAll = std::string(earlier) == "YesToAll";
      h.main().NoToAll = std::string(earlier) == "NoToAll";
      h.PutFile("D:\\HELP", "a file named like the folder");
      h.PutFile(std::string(c.dest) + "\\INSIDE.TXT", "kept");
      EXPECT_FALSE(h.main().InstallFile("D:\\HELP", c.dest, std::string(c.kind) != "BASE", c.kind))
          << name;
      EXPECT_TRUE(h.transcript().empty()) << name << "\n" << Joined(h.transcript());
      EXPECT_EQ(h.ReadFile(std::string(c.dest) + "\\INSIDE.TXT"), "kept") << name;
    }
  }
}

TEST(InstallFile, ACopyIsNewerThanItsSourceSoALaterInUseCheckKeepsIt) {
  CopyHarness h;
  h.PutFile("D:\\LIB.DLL", "v1");
  h.SetFileTime("D:\\LIB.DLL", At(2020, 1, 1, 0, 0, 0));
  ASSERT_TRUE(h.main().InstallFile("D:\\LIB.DLL", "C:\\APP\\LIB.DLL", false, "BASE"));
  h.machine().faults().filesInUse.insert("C:\\APP\\LIB.DLL");
  EXPECT_TRUE(h.main().InstallFile("D:\\LIB.DLL", "C:\\APP\\LIB.DLL", false, "BASE"));
  EXPECT_TRUE(LinesStarting(h.transcript(), "message ").empty()) << Joined(h.transcript());
}

TEST(InstallFile, FullDiskFailsTheCopyWithItsMessage) {
  CopyHarness h("reply OK");
  h.PutFile("D:\\BIG.BIN", std::string(50000, 'b'));
  h.machine().faults().driveFillsAfter['C'] = 20000;
  const std::int64_t before = h.main().BytesCopied;
  EXPECT_FALSE(h.main().InstallFile("D:\\BIG.BIN", "C:\\App\\big.bin", false, "BASE"));
  EXPECT_EQ(LinesStarting(h.transcript(), "message "),
            std::vector<std::string>{BoxLine(kCopyError, "error", "OK",
                                             "Destination file  \x84"
                                             "C:\\APP\\BIG.BIN\x94 could not be written "
                                             "completely.\r\nThe installation will be "
                                             "terminated.")});
  EXPECT_LT(h.main().BytesCopied - before, 50000);
}

TEST(InstallFile, CompressedMediumTakesPlainAndCompressedFiles) {
  CopyHarness h;
  h.main().Compressed = true;
  const std::string plain = "plain text that is not compressed";
  std::string szdd = std::string("SZDD\x88\xF0\x27\x33", 8) + "A" + std::string(1, '\0');
  szdd += std::string("\x05\0\0\0", 4) + "\xFF" + "hello";
  h.PutFile("D:\\PLAIN.TXT", plain);
  h.PutFile("D:\\PACKED.TX_", szdd);
  EXPECT_TRUE(h.main().InstallFile("D:\\PLAIN.TXT", "C:\\APP\\PLAIN.TXT", false, "BASE"));
  EXPECT_TRUE(h.main().InstallFile("D:\\PACKED.TX_", "C:\\APP\\PACKED.TXT", false, "BASE"));
  EXPECT_EQ(h.ReadFile("C:\\APP\\PLAIN.TXT"), plain);
  EXPECT_EQ(h.ReadFile("C:\\APP\\PACKED.TXT"), "hello");
}

TEST(InstallFile, ShowsTheShortenedSourceInTheProgressWindow) {
  CopyHarness h;
  h.PutFile("D:\\VERY LONG DIRECTORY NAME\\SUB\\FILE.TXT", "x");
  EXPECT_TRUE(h.main().InstallFile("D:\\VERY LONG DIRECTORY NAME\\SUB\\FILE.TXT",
                                   "C:\\APP\\FILE.TXT", false, "BASE"));
  EXPECT_LE(h.progress().SourceLab.Caption().size(), 30u);
  EXPECT_EQ(h.progress().SourceLab.Caption().substr(0, 2), "D:");
}

}  // namespace

namespace {

TEST(NotFileForm, BrowseOfAMissingDirectoryShowsTheErrorAndKeepsThePath) {
  CopyHarness h("type PathEdit D:\\NOPE\nclick browbut\nreply OK\nclick cancbut\n");
  platform::Files& files = h.platform().files;
  ASSERT_TRUE(files.SetCurrentDirectory("C:\\WINDOWS"));
  EXPECT_FALSE(h.main().InstallFile("D:\\GONE.TXT", "C:\\APP\\GONE.TXT", false, "BASE"));
  const std::vector<std::string> boxes = LinesStarting(h.transcript(), "message ");
  ASSERT_EQ(boxes.size(), 1u) << Joined(h.transcript());
  EXPECT_NE(boxes[0].find(" error OK "), std::string::npos) << boxes[0];
  EXPECT_TRUE(LinesStarting(h.transcript(), "modal TFolderForm").empty()) << Joined(h.transcript());
  EXPECT_EQ(h.notFile().PathEdit.Text(), "D:\\NOPE");
  EXPECT_FALSE(h.notFile().Accepted);
  EXPECT_EQ(files.GetCurrentDirectory(), "C:\\WINDOWS");
  EXPECT_EQ(h.notFile().Caption(), "Installation");
  EXPECT_TRUE(h.notFile().StayOnTop());
}

// Browse opens the browse dialog in its display-only mode at PathEdit's directory: the path
// follows the lists, OK takes it unchecked, Cancel and the title-bar button differ.
TEST(NotFileForm, BrowsePicksTheDirectoryInTheListsOnly) {
  struct Case {
    const char* name;
    const char* browse;  // the actions inside the browse dialog
    const char* pathEdit;
    bool copied;
  };
  const Case cases[] = {
      {"subdirectory opened, OK", "pick CHFDLB 2\ndblclick CHFDLB\nclick okbut\n", "D:\\SUB\\DISK2",
       true},
      {"Cancel keeps the path", "pick CHFDLB 2\ndblclick CHFDLB\nclick cancelbut\n", "D:\\SUB",
       false},
      {"Esc keeps the path", "pick CHFDLB 2\ndblclick CHFDLB\nkey esc\n", "D:\\SUB", false},
      {"title-bar close takes the lists' directory", "pick CHFDLB 2\ndblclick CHFDLB\nclose\n",
       "D:\\SUB\\DISK2", true},
      {"the root, opened from the chain of parents",
       "pick CHFDLB 0\ndblclick CHFDLB\nclick okbut\n", "D:\\", false},
  };
  for (const Case& c : cases) {
    CopyHarness h(std::string("type PathEdit D:\\SUB\nclick browbut\n") + c.browse +
                  (c.copied ? "click okbut\n" : "click cancbut\n"));
    h.PutFile("D:\\SUB\\DISK2\\README.TXT", "found");
    platform::Files& files = h.platform().files;
    ASSERT_TRUE(files.SetCurrentDirectory("C:\\WINDOWS"));
    EXPECT_EQ(h.main().InstallFile("D:\\README.TXT", "C:\\APP\\README.TXT", false, "BASE"),
              c.copied)
        << c.name << "\n"
        << Joined(h.transcript());
    EXPECT_EQ(LinesStarting(h.transcript(), "modal TFolderForm \"Select directory\"").size(), 1u)
        << c.name;
    EXPECT_EQ(h.notFile().PathEdit.Text(), c.pathEdit) << c.name;
    EXPECT_EQ(h.ReadFile("C:\\APP\\README.TXT").has_value(), c.copied) << c.name;
    // Browsing moved the current directory; closing the missing-file dialog moves it back.
    EXPECT_EQ(files.GetCurrentDirectory(), "C:\\WINDOWS") << c.name;
    EXPECT_EQ(h.RemainingAnswers(), 0u) << c.name;
  }
}

// The path line is covered in display-only mode: typing is refused, OK asks nothing even
// for a path that is not there any more.
TEST(NotFileForm, BrowseDialogCannotBeTypedIn) {
  CopyHarness h("type PathEdit D:\\SUB\nclick browbut\ntype CHFEdit1 D:\\ELSEWHERE\n");
  h.PutFile("D:\\SUB\\X.TXT", "x");
  try {
    h.main().InstallFile("D:\\README.TXT", "C:\\APP\\README.TXT", false, "BASE");
    ADD_FAILURE() << "typing into the covered path line was accepted";
  } catch (const forms::headless::ScriptStopped& stopped) {
    EXPECT_EQ(stopped.Code(), 2);
    EXPECT_NE(std::string(stopped.what()).find("hidden or disabled"), std::string::npos)
        << stopped.what();
  }
}

}  // namespace
