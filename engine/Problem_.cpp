#include "engine/Problem_.h"

#include <stdexcept>

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
  platform::Files& files = context_.platform.files;
  const std::string start = PathEdit.Text();
  // The browse dialog opens the starting directory in its directory list, which makes it
  // the current directory; one that does not exist (a CD-ROM not inserted) fails with the
  // system's text and the browse dialog is not shown.
  if (!start.empty() && !files.SetCurrentDirectory(start)) {
    App()->ShowException(std::runtime_error(context_.platform.system.ErrorText(files.LastError())));
    return;
  }
  // BROWSE CALL SITE: the directory browse dialog (wizard/FldrFrm) in its display-only
  // mode: BrowseForDirectory(context_, start, TFolderForm::kDisplayOnly) with the callers'
  // texts; a non-empty answer becomes PathEdit's text, and an error opening `start` goes to
  // App()->ShowException. Until that dialog lands, Browse only checks the start.
}
