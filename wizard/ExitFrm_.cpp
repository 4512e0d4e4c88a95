#include "wizard/ExitFrm_.h"

#include "controls/Pictures.h"

namespace {

void StyleLabel(forms::Label& label, int top, int height) {
  label.SetBounds(56, top, 276, height);
  label.SetTransparent(true);
  label.SetWordWrap(true);
  label.SetAutoSize(false);
  forms::TextFont font = label.Font();
  font.color = forms::kClBlack;
  label.SetFont(font);
}

}  // namespace

TExitForm::TExitForm(forms::Application& app, SetupContext&) : forms::Form(app, "TExitForm") {
  SetName("ExitForm");
  OnCreate = [this] { FormCreate(); };
  OnClose = [this](forms::CloseAction& action) { FormClose(action); };
}

void TExitForm::FormCreate() {
  SetBorderStyle(forms::FormBorder::Dialog);
  SetPosition(forms::FormPosition::ScreenCenter);
  SetClientSize(344, 182);
  SetCaption("End of the installation");
  Image1.SetBounds(12, 12, 32, 32);
  Image1.SetPicture(QuestionIcon());
  StyleLabel(Label1, 12, 44);
  StyleLabel(Label2, 60, 30);
  StyleLabel(Label3, 94, 44);
  Label1.SetCaption(
      "The installation is not complete. If you stop the installation now, program would not "
      "be installed correctly.");
  Label2.SetCaption("You can start the installation program later and finish the installation.");
  Label3.SetCaption(
      "If you want to continue in installation, press \"Continue\". If you want to finish the "
      "installation, press \"End\".");
  Button1.SetBounds(88, 146, 75, 25);
  Button2.SetBounds(180, 146, 75, 25);
  Button1.SetCaption("&Continue");
  Button2.SetCaption("&End");
  Button1.SetTabStop(true);
  Button2.SetTabStop(true);
  Button1.SetCancel(true);
  Button1.OnClick = [this] { Button1Click(); };
  Button2.OnClick = [this] { Button2Click(); };
}

void TExitForm::Button1Click() {
  Close();
}

void TExitForm::Button2Click() {
  App()->Terminate();
  Close();
}

void TExitForm::FormClose(forms::CloseAction& action) {
  action = forms::CloseAction::Free;
}
