// The directory list and the drive list over a file system held in memory.
#include "forms/DirControls.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/forms/TestSupport.h"

namespace forms {
namespace {

// Directories by full upper-case path; the current directory; drives that cannot be read.
class MemorySource : public DirectorySource {
 public:
  std::map<std::string, std::vector<std::string>> tree = {
      {"C:\\", {"APP", "WINDOWS"}}, {"C:\\APP", {"BIN", "DATA"}},
      {"C:\\APP\\BIN", {}},         {"C:\\APP\\DATA", {}},
      {"C:\\WINDOWS", {"SYSTEM"}},  {"C:\\WINDOWS\\SYSTEM", {}},
      {"D:\\", {"SETUP"}},          {"D:\\SETUP", {}},
  };
  std::string current = "C:\\WINDOWS";
  std::vector<std::string> changes;  // every directory made current

  std::string CurrentDirectory() override { return current; }
  bool ChangeDirectory(const std::string& path, std::string& error) override {
    std::string key;
    for (char c : path) key += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    if (key.size() > 3 && key.back() == '\\') key.pop_back();
    if (!tree.contains(key)) {
      error = "The system cannot find the path specified";
      return false;
    }
    current = key;
    changes.push_back(key);
    return true;
  }
  std::vector<std::string> SubDirectories(const std::string& directory) override {
    std::string key = directory;
    if (key.size() > 3 && key.back() == '\\') key.pop_back();
    auto found = tree.find(key);
    return found == tree.end() ? std::vector<std::string>{} : found->second;
  }
  std::vector<DriveEntry> Drives() override {
    return {{'A', DriveKind::Removable, ""},
            {'C', DriveKind::Fixed, "SYSTEM"},
            {'D', DriveKind::CdRom, ""}};
  }
};

class DirForm : public Form {
 public:
  explicit DirForm(Application& app) : Form(app, "TDirForm") {}
  Label path{*this, "path"};
  DirectoryListBox dirs{*this, "dirs"};
  DriveComboBox drives{*this, "drives"};
};

class DirControlsTest : public ::testing::Test {
 protected:
  DirControlsTest() {
    app.SetTitle("Test");
    form.dirs.SetSource(&source);
    form.drives.SetSource(&source);
    form.drives.SetDirList(&form.dirs);
    form.dirs.SetDirLabel(&form.path);
    form.dirs.OnDirectoryChange = [this] { ++dirChanges; };
    form.drives.OnDriveChange = [this] { ++driveChanges; };
  }
  // Each entry as "level:name", with "*" on the open ones.
  std::vector<std::string> Tree() const {
    std::vector<std::string> entries;
    for (int i = 0; i < form.dirs.Count(); ++i)
      entries.push_back(std::to_string(form.dirs.Level(i)) + ":" + form.dirs.Items()[i] +
                        (form.dirs.IsOpen(i) ? "*" : ""));
    return entries;
  }

  MemorySource source;
  testing::CountingToolkit toolkit{headless::ParseAnswers("reply OK\n")};
  Application app{toolkit};
  DirForm& form = app.CreateForm<DirForm>();
  int dirChanges = 0;
  int driveChanges = 0;
};

TEST_F(DirControlsTest, ShowsTheChainOfParentsThenTheSubdirectories) {
  EXPECT_EQ(Tree(), (std::vector<std::string>{"0:C:\\*", "1:WINDOWS*", "2:SYSTEM"}));
  EXPECT_EQ(form.dirs.SelectedText(), "WINDOWS");
  EXPECT_EQ(form.path.Caption(), "C:\\WINDOWS");
  EXPECT_EQ(form.drives.Items(), (std::vector<std::string>{"A:", "C: [SYSTEM]", "D:"}));
  EXPECT_EQ(form.drives.Drive(), 'C');
  EXPECT_EQ(form.dirs.PathOf(0), "C:\\");
  EXPECT_EQ(form.dirs.PathOf(1), "C:\\WINDOWS");
  EXPECT_EQ(form.dirs.PathOf(2), "C:\\WINDOWS\\SYSTEM");
  EXPECT_EQ(form.dirs.PathOf(3), "");
  EXPECT_TRUE(source.changes.empty()) << "binding the source changed the directory";
  EXPECT_EQ(dirChanges, 0);
}

TEST_F(DirControlsTest, OpeningMakesTheDirectoryCurrentAndNotifies) {
  struct Step {
    const char* name;
    const char* open;
    std::vector<std::string> tree;
    const char* label;
    int changes;  // OnDirectoryChange count so far
  };
  const Step steps[] = {
      {"deeper", "C:\\APP\\BIN", {"0:C:\\*", "1:APP*", "2:BIN*"}, "C:\\APP\\BIN", 1},
      {"same directory in another case does nothing",
       "c:\\app\\bin",
       {"0:C:\\*", "1:APP*", "2:BIN*"},
       "C:\\APP\\BIN",
       1},
      {"empty path does nothing", "", {"0:C:\\*", "1:APP*", "2:BIN*"}, "C:\\APP\\BIN", 1},
      {"the root", "C:\\", {"0:C:\\*", "1:APP", "1:WINDOWS"}, "C:\\", 2},
      {"another drive", "d:\\setup", {"0:D:\\*", "1:SETUP*"}, "D:\\SETUP", 3},
  };
  for (const Step& s : steps) {
    form.dirs.SetDirectory(s.open);
    EXPECT_EQ(Tree(), s.tree) << s.name;
    EXPECT_EQ(form.path.Caption(), s.label) << s.name;
    EXPECT_EQ(source.current, s.label) << s.name;
    EXPECT_EQ(dirChanges, s.changes) << s.name;
  }
  // The drive list followed the move to D: without opening anything itself.
  EXPECT_EQ(form.drives.Drive(), 'D');
  EXPECT_EQ(driveChanges, 1);
  EXPECT_EQ(source.changes, (std::vector<std::string>{"C:\\APP\\BIN", "C:\\", "D:\\SETUP"}));
}

TEST_F(DirControlsTest, DirectoryThatCannotBeOpenedThrowsAndChangesNothing) {
  EXPECT_THROW(form.dirs.SetDirectory("C:\\GONE"), DirectoryError);
  EXPECT_EQ(Tree(), (std::vector<std::string>{"0:C:\\*", "1:WINDOWS*", "2:SYSTEM"}));
  EXPECT_EQ(source.current, "C:\\WINDOWS");
  EXPECT_EQ(dirChanges, 0);
}

TEST_F(DirControlsTest, DoubleClickAndEnterOpenTheSelectedEntry) {
  int dblClicks = 0;
  form.dirs.OnDblClick = [&] { ++dblClicks; };
  form.dirs.SetItemIndex(2);  // SYSTEM
  form.dirs.DblClick();
  EXPECT_EQ(source.current, "C:\\WINDOWS\\SYSTEM");
  EXPECT_EQ(dblClicks, 1);
  form.dirs.SetItemIndex(0);
  char key = '\r';
  form.dirs.KeyPress(key);
  EXPECT_EQ(key, 0);
  EXPECT_EQ(source.current, "C:\\");
  EXPECT_EQ(dirChanges, 2);
}

TEST_F(DirControlsTest, FailedOpenOfTheSelectedEntryShowsTheError) {
  source.tree.erase("C:\\WINDOWS\\SYSTEM");  // removed behind the list's back
  form.dirs.SetItemIndex(2);
  form.dirs.DblClick();
  EXPECT_EQ(toolkit.Transcript(),
            std::vector<std::string>{
                "message \"Test\" error OK \"The system cannot find the path specified.\""});
  EXPECT_EQ(source.current, "C:\\WINDOWS");
}

TEST_F(DirControlsTest, ChoosingADriveOpensItsRoot) {
  form.drives.SetItemIndex(2);  // D:
  EXPECT_EQ(source.current, "D:\\");
  EXPECT_EQ(Tree(), (std::vector<std::string>{"0:D:\\*", "1:SETUP"}));
  EXPECT_EQ(form.drives.Drive(), 'D');
  EXPECT_EQ(dirChanges, 1);
  EXPECT_EQ(driveChanges, 1);
}

TEST_F(DirControlsTest, DriveThatCannotBeReadGoesBackWithTheError) {
  form.drives.SetItemIndex(0);  // A: has no diskette
  EXPECT_EQ(toolkit.Transcript(),
            std::vector<std::string>{
                "message \"Test\" error OK \"The system cannot find the path specified.\""});
  EXPECT_EQ(form.drives.Drive(), 'C');
  EXPECT_EQ(source.current, "C:\\WINDOWS");
  EXPECT_EQ(dirChanges, 0);
  EXPECT_EQ(driveChanges, 0);
}

}  // namespace
}  // namespace forms
