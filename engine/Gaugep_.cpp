#include "engine/Gaugep_.h"

#include <algorithm>

#include "forms/Quote.h"
#include "wizard/ExitFrm_.h"

namespace {

void PlaceLabel(forms::Label& label, int left, int top, int width, int height,
                const forms::TextFont& font) {
  label.SetAutoSize(width == 0);
  if (width > 0) {
    label.SetBounds(left, top, width, height);
  } else {
    label.SetLeft(left);
    label.SetTop(top);
  }
  label.SetFont(font);
}

}  // namespace

std::int32_t ProgressPosition(std::int64_t bytes, std::int32_t maximum) {
  const std::int64_t thousands = bytes / 1000;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(thousands, 0, std::max(0, maximum)));
}

std::string PercentText(std::int32_t position, std::int32_t maximum) {
  if (maximum <= 0) return "0%";
  return std::to_string(static_cast<std::int64_t>(position) * 100 / maximum) + "%";
}

TProcessForm::TProcessForm(forms::Application& app, SetupContext& context)
    : forms::Form(app, "TProcessForm"), context_(context) {
  SetName("ProcessForm");
  OnCreate = [this] { FormCreate(); };
  OnCloseQuery = [this](bool& canClose) { canClose = driverCloses_; };
}

void TProcessForm::FormCreate() {
  SetBorderStyle(forms::FormBorder::Dialog);
  // No system menu and so no close box: only the driver and the Cancel button end it.
  SetBorderIcons({.systemMenu = false});
  SetClientSize(352, 169);
  forms::TextFont font;
  font.name = "MS Sans Serif";
  font.height = 11;
  SetFont(font);
  forms::TextFont bold = font;
  bold.bold = true;

  PlaceLabel(Label2, 16, 16, 0, 0, font);
  PlaceLabel(SourceLab, 16, 32, 320, 13, bold);
  PlaceLabel(Label1, 16, 56, 0, 0, font);
  PlaceLabel(DestLab, 16, 72, 320, 13, bold);
  Gauge.SetBounds(16, 96, 318, 18);
  Gauge.SetRange(0, 100);
  PlaceLabel(GaugeLab, 16, 115, 318, 15, font);
  GaugeLab.SetAlignment(forms::TextAlignment::Center);
  Button1.SetBounds(137, 137, 75, 25);
  Button1.SetTabStop(true);
  Button1.SetDefault(true);
  Button1.OnClick = [this] { Button1Click(); };
  RegPan.SetBounds(0, 0, 352, 135);
  RegPan.SetBevelOuter(forms::Bevel::None);

  forms::Screen& screen = App()->GetScreen();
  SetPosition(forms::FormPosition::Designed);
  SetLeft((screen.Width() - Width()) / 2);
  SetTop(screen.Height() - Height() - 20);
  RegPan.SetVisible(false);
  Button1.SetCaption("&Cancel");
}

void TProcessForm::Button1Click() {
  // A fresh confirmation for every press; it frees itself when it closes.
  TExitForm& confirm = App()->CreateForm<TExitForm>(context_);
  confirm.ShowModal();
  // "&End" asked the program to end: the driver stops before its next script line and
  // writes no further file. "&Continue" leaves the window and the installation going.
  if (App()->Terminated()) {
    context_.forms.MainForm->Interrupted = true;
    Hide();
  }
}

void TProcessForm::UpdateProgress() {
  const TMainForm& main = *context_.forms.MainForm;
  ShowBytes(std::max(main.InstalledTotal, main.BytesCopied));
}

void TProcessForm::ShowBytes(std::int64_t count) {
  Gauge.SetPosition(ProgressPosition(count, Gauge.Max()));
  GaugeLab.SetCaption(PercentText(Gauge.Position(), Gauge.Max()));
}

void TProcessForm::CloseByDriver() {
  driverCloses_ = true;
  Close();
  driverCloses_ = false;
}

void TProcessForm::TextChanged() {
  if (App() != nullptr) App()->AddLine("progress " + forms::Quote(Caption()));
}
