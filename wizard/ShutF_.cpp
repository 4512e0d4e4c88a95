#include "wizard/ShutF_.h"

#include "controls/Pictures.h"

TShutForm::TShutForm(forms::Application& app, SetupContext&) : forms::Form(app, "TShutForm") {
  SetName("ShutForm");
  OnCreate = [this] { FormCreate(); };
}

void TShutForm::FormCreate() {
  SetBorderStyle(forms::FormBorder::None);
  SetPosition(forms::FormPosition::ScreenCenter);
  SetClientSize(390, 52);
  Panel1.SetAlign(forms::AlignMode::Client);
  Panel1.SetBevelOuter(forms::Bevel::Raised);
  Image1.SetBounds(10, 10, 32, 32);
  Image1.SetPicture(InformationIcon());
  Label1.SetBounds(56, 18, 320, 16);
  Label1.SetTransparent(true);
  Label1.SetCaption("Moment please, the installation is being terminated...");
}
