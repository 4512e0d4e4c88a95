#include "engine/Problem_.h"

#include "wizard/FldrFrm.h"

namespace {

void PlaceButton(forms::Button& button, int top, const char* caption) {
  button.SetBounds(284, top, 75, 25);
  button.SetCaption(caption);
  button.SetTabStop(true);
}

}  // namespace

TNotFileForm::TNotFileForm(forms::Application& app, SetupContext& context)
    : forms::Form(app, "TNotFileForm"), context_(context) {
  SetName("NotFileForm");
  OnCreate = [this] { FormCreate(); };
  // Once per showing, not at every activation: the browse dialog and message boxes
  // opened from here hand the activation back, and the directory saved when the dialog
  // opened must survive them.
  OnShow = [this] { FormActivate(); };
  OnClose = [this](forms::CloseAction& action) { FormClose(action); };
}

void TNotFileForm::FormCreate() {
  SetBorderStyle(forms::FormBorder::Dialog);
  SetPosition(forms::FormPosition::ScreenCenter);
  SetStayOnTop(true);
  SetClientSize(372, 122);
  SetCaption("Installation");

  ProblemLabel.SetAutoSize(false);
  ProblemLabel.SetWordWrap(true);
  ProblemLabel.SetBounds(8, 8, 264, 56);
  PathEdit.SetBounds(8, 76, 264, 21);
  PathEdit.SetTabStop(true);
  PlaceButton(okbut, 8, "&OK");
  PlaceButton(cancbut, 40, "&Cancel");
  PlaceButton(browbut, 72, "&Browse");
  okbut.OnClick = [this] { BOkClick(); };
  cancbut.OnClick = [this] { BCancelClick(); };
  browbut.OnClick = [this] { browbutClick(); };
}

void TNotFileForm::FormActivate() {
  Accepted = false;
  SavedDir = context_.platform.files.GetCurrentDirectory();
  PathEdit.SetFocus();
}

void TNotFileForm::FormClose(forms::CloseAction&) {
  context_.platform.files.SetCurrentDirectory(SavedDir);
}

void TNotFileForm::BOkClick() {
  Accepted = true;
  Close();
}

void TNotFileForm::BCancelClick() {
  Accepted = false;
  Close();
}

void TNotFileForm::browbutClick() {
  // Display-only mode: the user may only pick a directory that exists, and OK takes it
  // without a question. The browse dialog opens PathEdit's directory in its directory list;
  // one that does not exist (a CD-ROM not inserted) fails with the system's text, the
  // dialog is not shown and PathEdit stays as it is.
  std::string chosen;
  try {
    chosen = BrowseForDirectory(context_, PathEdit.Text(), TFolderForm::kDisplayOnly);
  } catch (const forms::DirectoryError& error) {
    App()->ShowException(error);
    return;
  }
  // The browse dialog's Cancel empties its path line: PathEdit then keeps its text.
  if (!chosen.empty()) PathEdit.SetText(chosen);
}
