#include "uninst/UninstForm.h"

#include <utility>

TUninstForm::TUninstForm(forms::Application& app, std::string displayName,
                         std::function<void()> work)
    : forms::Form(app, "TUninstForm"),
      displayName_(std::move(displayName)),
      work_(std::move(work)) {
  SetName("UninstForm");
  OnCreate = [this] { FormCreate(); };
}

void TUninstForm::FormCreate() {
  SetBorderStyle(forms::FormBorder::Dialog);
  SetPosition(forms::FormPosition::ScreenCenter);
  SetClientSize(352, 120);
  SetCaption("Uninstallation of " + displayName_);
  forms::TextFont font;
  font.name = "MS Sans Serif";
  font.height = 11;
  SetFont(font);
  forms::TextFont bold = font;
  bold.bold = true;

  Label1.SetLeft(16);
  Label1.SetTop(16);
  Label1.SetFont(font);
  Label1.SetCaption("Removing:");
  ItemLab.SetAutoSize(false);
  ItemLab.SetBounds(16, 32, 320, 13);
  ItemLab.SetFont(bold);
  ItemLab.SetCaption("Preparing ...");
  Gauge.SetBounds(16, 60, 318, 18);
  GaugeLab.SetAutoSize(false);
  GaugeLab.SetBounds(16, 82, 318, 15);
  GaugeLab.SetFont(font);
  GaugeLab.SetAlignment(forms::TextAlignment::Center);
  GaugeLab.SetCaption("0%");

  // The removal starts from the message loop, once the window is on screen.
  StartTimer.SetInterval(100);
  StartTimer.SetOnTimer([this] { StartTimerTimer(); });
  StartTimer.SetEnabled(true);
}

void TUninstForm::StartTimerTimer() {
  StartTimer.SetEnabled(false);
  if (work_) work_();
  Close();
}

void TUninstForm::Prepare(int steps) {
  Gauge.SetRange(0, steps > 0 ? steps : 1);
  Gauge.SetPosition(0);
  GaugeLab.SetCaption("0%");
}

void TUninstForm::ShowItem(const std::string& item) {
  ItemLab.SetCaption(item);
  const int position = Gauge.Position() + 1;
  Gauge.SetPosition(position);
  const int max = Gauge.Max() > 0 ? Gauge.Max() : 1;
  GaugeLab.SetCaption(std::to_string(Gauge.Position() * 100 / max) + "%");
  App()->ProcessMessages();
}
