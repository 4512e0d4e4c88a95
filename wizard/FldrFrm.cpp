#include "wizard/FldrFrm.h"

#include <stdexcept>

#include "forms/MessageBox.h"

TFolderForm::TFolderForm(forms::Application& app, SetupContext& context)
    : forms::Form(app, "TFolderForm"), context_(context), source_(context.platform) {
  SetName("FolderForm");
  LayOut();
  CHFDLB.SetSource(&source_);
  CHFCMB.SetSource(&source_);
  CHFCMB.SetDirList(&CHFDLB);
  CHFDLB.SetDirLabel(&CHFLab);
  OnActivate = [this] { FormActivate(); };
  OnClose = [this](forms::CloseAction& action) { FormClose(action); };
  CHFDLB.OnDirectoryChange = [this] { CHFDLBChange(); };
  okbut.OnClick = [this] { okbutClick(); };
  cancelbut.OnClick = [this] { cancelbutClick(); };
}

TFolderForm::~TFolderForm() = default;

void TFolderForm::LayOut() {
  SetBorderStyle(forms::FormBorder::Dialog);
  SetPosition(forms::FormPosition::ScreenCenter);
  SetClientSize(404, 293);
  CHFLab1.SetBounds(8, 8, 388, 16);
  CHFLab2.SetBounds(8, 34, 40, 16);
  CHFEdit1.SetBounds(52, 30, 344, 21);
  CHFEdit1.SetTabStop(true);
  // The display panel lies over the edit, a little larger, so it hides it whole.
  CHFLabPan.SetBounds(50, 28, 348, 25);
  CHFLabPan.SetBevelOuter(forms::Bevel::Lowered);
  CHFLab.SetBounds(4, 5, 340, 16);
  CHFLab.SetAutoSize(false);
  CHFLab3.SetBounds(8, 62, 230, 16);
  CHFDLB.SetBounds(8, 80, 300, 160);
  CHFLab4.SetBounds(8, 246, 230, 16);
  CHFCMB.SetBounds(8, 264, 300, 21);
  okbut.SetBounds(321, 80, 75, 25);
  cancelbut.SetBounds(321, 112, 75, 25);
  netbut.SetBounds(321, 144, 75, 25);
  for (forms::Button* button : {&okbut, &cancelbut, &netbut}) button->SetTabStop(true);
  cancelbut.SetCancel(true);
  netbut.SetEnabled(false);
}

void TFolderForm::SetCallerTexts() {
  CHFLab1.SetCaption("Please, select the installation directory.");
  CHFLab2.SetCaption("Path:");
  CHFLab3.SetCaption("Directories:");
  CHFLab4.SetCaption("Disks:");
  okbut.SetCaption("&OK");
  cancelbut.SetCaption("&Cancel");
  netbut.SetCaption("&Net ...");
  SetCaption("Select directory");
}

void TFolderForm::StartAt(const std::string& directory) {
  CHFEdit1.SetText(directory);
  CHFDLB.SetDirectory(directory);
}

void TFolderForm::FormActivate() {
  SavedDir = context_.platform.files.GetCurrentDirectory();
  // Checked-path mode lets the user type a path; display mode covers the edit with the
  // read-only path panel, so the path follows the lists only.
  const bool typed = Tag() == kCheckedPath;
  CHFEdit1.SetVisible(typed);
  CHFLabPan.SetVisible(!typed);
  if (typed) CHFEdit1.SetFocus();
}

void TFolderForm::CHFDLBChange() {
  CHFEdit1.SetText(CHFDLB.Directory());
}

void TFolderForm::okbutClick() {
  if (Tag() != kCheckedPath) {
    SetModalResult(forms::kMrOk);
    return;
  }
  platform::Files& files = context_.platform.files;
  const std::string path = CHFEdit1.Text();
  if (DirectoryExists(files, path)) {
    SetModalResult(forms::kMrOk);
    return;
  }
  const int answer = App()->MessageBox(
      "Directory\r\n\r\n\x84" + path + "\x94\r\n\r\n" + "does not exist. Do you want to create it?",
      "Installation", forms::kMbYesNo | forms::kMbIconInformation);
  if (answer != forms::kIdYes) return;
  try {
    // A creation that fails for a real path is left to the caller's own checks.
    std::vector<std::string> made;
    ForceDirectories(files, path, made);
    KeepMadeDirectories(context_, made);
  } catch (const std::runtime_error& error) {
    App()->ShowException(error);
    return;
  }
  SetModalResult(forms::kMrOk);
}

void TFolderForm::cancelbutClick() {
  CHFEdit1.SetText("");
  SetModalResult(forms::kMrCancel);
}

void TFolderForm::FormClose(forms::CloseAction&) {
  if (!SavedDir.empty()) context_.platform.files.SetCurrentDirectory(SavedDir);
}

std::string BrowseForDirectory(SetupContext& context, const std::string& start, int tag) {
  TFolderForm dialog(context.app, context);
  dialog.SetCallerTexts();
  dialog.StartAt(start);
  dialog.SetTag(tag);
  dialog.ShowModal();
  return dialog.CHFEdit1.Text();
}

void KeepMadeDirectories(SetupContext& context, const std::vector<std::string>& made) {
  if (context.forms.MainForm == nullptr) return;
  std::vector<std::string>& kept = context.forms.MainForm->DirectoriesMade;
  kept.insert(kept.end(), made.begin(), made.end());
}
