// The browse dialog on its own: both modes, every way it closes, the create question, and
// the current directory it puts back.
#include <gtest/gtest.h>

#include "tests/wizard/PageHarness.h"
#include "wizard/FldrFrm.h"

namespace {

using page_test::Joined;
using page_test::LinesStarting;
using page_test::PageHarness;

struct Outcome {
  std::string result;
  std::string currentDir;
  std::vector<std::string> transcript;
  int stopCode = 0;
  std::string stopMessage;
};

// Runs BrowseForDirectory from `start` (the process being in C:\WINDOWS) with the answers.
Outcome Browse(PageHarness& h, const std::string& start, int tag, const std::string& answers) {
  forms::headless::HeadlessToolkit toolkit(forms::headless::ParseAnswers(answers));
  forms::Application app(toolkit);
  app.SetTitle("Tavrin Setup 2.0");
  SetupContext context{app, h.platform(), {}};
  platform::Files& files = h.platform().files;
  files.SetCurrentDirectory("C:\\WINDOWS");
  Outcome out;
  try {
    out.result = BrowseForDirectory(context, start, tag);
    out.transcript = toolkit.Transcript();
  } catch (const forms::headless::ScriptStopped& stopped) {
    out.stopCode = stopped.Code();
    out.stopMessage = stopped.what();
    out.transcript = stopped.Transcript();
  }
  out.currentDir = files.GetCurrentDirectory();
  return out;
}

std::string Question(const std::string& path) {
  return "message \"Installation\" info YESNO \"Directory\\r\\n\\r\\n\\x84" + path +
         "\\x94\\r\\n\\r\\ndoes not exist. Do you want to create it?\"";
}

TEST(FolderForm, ClosesAndAnswersInBothModes) {
  struct Case {
    const char* name;
    int tag;
    const char* answers;
    const char* result;
    std::vector<std::string> boxes;
    const char* created;  // a directory that exists afterwards, or null
  };
  const int checked = TFolderForm::kCheckedPath;
  const int shown = TFolderForm::kDisplayOnly;
  const Case cases[] = {
      {"checked: OK on the start", checked, "click okbut\n", "C:\\APP", {}, nullptr},
      {"checked: Cancel empties",
       checked,
       "type CHFEdit1 C:\\X\nclick cancelbut\n",
       "",
       {},
       nullptr},
      {"checked: Esc empties", checked, "key esc\n", "", {}, nullptr},
      {"checked: close gives the typed path unchecked",
       checked,
       "type CHFEdit1 C:\\X\nclose\n",
       "C:\\X",
       {},
       nullptr},
      {"checked: Yes creates every missing parent",
       checked,
       "type CHFEdit1 C:\\NEW\\DEEP\\ER\nclick okbut\nreply YES\n",
       "C:\\NEW\\DEEP\\ER",
       {Question("C:\\\\NEW\\\\DEEP\\\\ER")},
       "C:\\NEW\\DEEP\\ER"},
      {"checked: No stays open",
       checked,
       "type CHFEdit1 C:\\NEW\nclick okbut\nreply NO\nclick cancelbut\n",
       "",
       {Question("C:\\\\NEW")},
       nullptr},
      {"checked: a failed creation closes all the same",
       checked,
       "type CHFEdit1 Q:\\NEW\nclick okbut\nreply YES\n",
       "Q:\\NEW",
       {Question("Q:\\\\NEW")},
       nullptr},
      {"checked: the lists overwrite a typed path",
       checked,
       "type CHFEdit1 C:\\X\npick CHFDLB 2\ndblclick CHFDLB\nclick okbut\n",
       "C:\\APP\\BIN",
       {},
       nullptr},
      {"checked: Enter opens the selected entry",
       checked,
       "pick CHFDLB 0\nkey enter\nclick okbut\n",
       "C:\\",
       {},
       nullptr},
      {"checked: a drive change opens its root",
       checked,
       "pick CHFCMB 1\nclick okbut\n",
       "D:\\",
       {},
       nullptr},
      {"display: OK asks nothing", shown, "click okbut\n", "C:\\APP", {}, nullptr},
      {"display: Cancel empties", shown, "click cancelbut\n", "", {}, nullptr},
      {"display: the path follows the lists",
       shown,
       "pick CHFDLB 0\ndblclick CHFDLB\nclick okbut\n",
       "C:\\",
       {},
       nullptr},
  };
  for (const Case& c : cases) {
    PageHarness h;
    h.MakeDir("C:\\APP\\BIN");
    const Outcome out = Browse(h, "C:\\APP", c.tag, c.answers);
    ASSERT_EQ(out.stopCode, 0) << c.name << ": " << out.stopMessage;
    EXPECT_EQ(out.result, c.result) << c.name;
    EXPECT_EQ(LinesStarting(out.transcript, "message "), c.boxes) << c.name;
    EXPECT_EQ(LinesStarting(out.transcript, "modal TFolderForm \"Select directory\"").size(), 1u)
        << c.name << "\n"
        << Joined(out.transcript);
    if (c.created) {
      EXPECT_TRUE(h.DirExists(c.created)) << c.name;
    }
    // The dialog puts back the directory it was opened at, wherever the user went.
    EXPECT_EQ(out.currentDir, "C:\\APP") << c.name;
  }
  PageHarness h;
  Browse(h, "C:\\WINDOWS", checked, "type CHFEdit1 C:\\NEW\nclick okbut\nreply NO\nkey esc\n");
  EXPECT_FALSE(h.DirExists("C:\\NEW")) << "No created the directory";
}

TEST(FolderForm, EmptiedPathIsRefusedWithTheCreationError) {
  PageHarness h;
  const Outcome out = Browse(h, "C:\\WINDOWS", TFolderForm::kCheckedPath,
                             "type CHFEdit1 \nclick okbut\nreply YES\nreply OK\nclick cancelbut\n");
  ASSERT_EQ(out.stopCode, 0) << out.stopMessage;
  EXPECT_EQ(
      LinesStarting(out.transcript, "message "),
      (std::vector<std::string>{
          Question(""), "message \"Tavrin Setup 2.0\" error OK \"Unable to create directory.\""}));
  EXPECT_EQ(out.result, "");
}

TEST(FolderForm, ModeDecidesWhatCanBeTyped) {
  for (int tag : {TFolderForm::kCheckedPath, TFolderForm::kDisplayOnly}) {
    PageHarness h;
    const Outcome out =
        Browse(h, "C:\\WINDOWS", tag, "type CHFEdit1 C:\\TYPED\nclick okbut\nreply NO\nkey esc\n");
    if (tag == TFolderForm::kCheckedPath) {
      EXPECT_EQ(out.stopCode, 0) << out.stopMessage;
    } else {
      EXPECT_EQ(out.stopCode, 2);
      EXPECT_NE(out.stopMessage.find("CHFEdit1"), std::string::npos) << out.stopMessage;
      EXPECT_NE(out.stopMessage.find("hidden or disabled"), std::string::npos) << out.stopMessage;
    }
  }
}

TEST(FolderForm, NetButtonIsDisabled) {
  PageHarness h;
  const Outcome out = Browse(h, "C:\\WINDOWS", TFolderForm::kCheckedPath, "click netbut\n");
  EXPECT_EQ(out.stopCode, 2);
  EXPECT_NE(out.stopMessage.find("netbut"), std::string::npos) << out.stopMessage;
}

TEST(FolderForm, StartThatCannotBeOpenedIsNotShown) {
  PageHarness h;
  forms::headless::HeadlessToolkit toolkit;
  forms::Application app(toolkit);
  SetupContext context{app, h.platform(), {}};
  h.platform().files.SetCurrentDirectory("C:\\WINDOWS");
  EXPECT_THROW(BrowseForDirectory(context, "C:\\NOT HERE", TFolderForm::kDisplayOnly),
               forms::DirectoryError);
  EXPECT_TRUE(toolkit.Transcript().empty());
  EXPECT_EQ(h.platform().files.GetCurrentDirectory(), "C:\\WINDOWS");
}

TEST(FolderForm, TextsAndLists) {
  PageHarness h;
  h.MakeDir("C:\\APP\\BIN");
  h.MakeDir("C:\\APP\\Alpha");
  forms::headless::HeadlessToolkit toolkit;
  forms::Application app(toolkit);
  SetupContext context{app, h.platform(), {}};
  TFolderForm dialog(app, context);
  dialog.SetCallerTexts();
  dialog.StartAt("C:\\APP");
  std::map<std::string, std::string> texts;
  for (forms::Control* c : std::initializer_list<forms::Control*>{
           &dialog.CHFLab1, &dialog.CHFLab2, &dialog.CHFLab3, &dialog.CHFLab4, &dialog.okbut,
           &dialog.cancelbut, &dialog.netbut, &dialog.CHFLab})
    texts[c->Name()] = c->Caption();
  texts["form"] = dialog.Caption();
  texts["edit"] = dialog.CHFEdit1.Text();
  const std::map<std::string, std::string> expected = {
      {"CHFLab1", "Please, select the installation directory."},
      {"CHFLab2", "Path:"},
      {"CHFLab3", "Directories:"},
      {"CHFLab4", "Disks:"},
      {"okbut", "&OK"},
      {"cancelbut", "&Cancel"},
      {"netbut", "&Net ..."},
      {"CHFLab", "C:\\APP"},
      {"form", "Select directory"},
      {"edit", "C:\\APP"},
  };
  EXPECT_EQ(texts, expected);
  EXPECT_EQ(dialog.CHFDLB.Items(), (std::vector<std::string>{"C:\\", "APP", "Alpha", "BIN"}));
  EXPECT_EQ(dialog.CHFDLB.SelectedText(), "APP");
  EXPECT_EQ(dialog.CHFCMB.Drive(), 'C');
  EXPECT_FALSE(dialog.netbut.Enabled());
  EXPECT_EQ(dialog.ClientWidth(), 404);
  EXPECT_EQ(dialog.ClientHeight(), 293);
}

}  // namespace
