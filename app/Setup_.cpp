#include "app/Setup_.h"

#include <stdexcept>

#include "app/Presentation.h"
#include "controls/Logo.h"
#include "forms/MessageBox.h"
#include "wizard/BackNext.h"

namespace {

constexpr const char* kMaintainerNotice = "Copyright (c) 2026 Tavrin. All rights reserved.";
constexpr const char* kMaintainerWeb = "www.tavrin.example";

// The directory part of a Windows file name, ending in a backslash.
std::string DirectoryWithSlash(const std::string& fileName) {
  const std::size_t cut = fileName.find_last_of("\\:");
  return cut == std::string::npos ? std::string() : fileName.substr(0, cut + 1);
}

void StyleLabel(forms::Label& label, int left, int top, forms::ColorRef colour,
                forms::TextFont font, const std::string& text) {
  label.SetTransparent(true);
  label.SetBounds(left, top, 600, font.height + 4);
  font.color = colour;
  label.SetFont(font);
  label.SetCaption(text);
}

}  // namespace

TMainForm::TMainForm(forms::Application& app, SetupContext& context)
    : forms::Form(app, "TMainForm"), context_(context) {
  SetName("MainForm");
  OnCreate = [this] { FormCreate(); };
  OnActivate = [this] { FormActivate(); };
}

TMainForm::~TMainForm() = default;

void TMainForm::LayOut() {
  RunTimer.SetEnabled(false);
  RunTimer.SetInterval(1000);
  RunTimer.SetOnTimer([this] { RunTimerTimer(); });

  PNL_Bot.SetBevelOuter(forms::Bevel::None);
  PNL_Bot.SetColor(forms::kClBlack);
  PNL_Bot.SetHeight(110);
  PNL_Bot.SetAlign(forms::AlignMode::Bottom);
  Panel1.SetBevelOuter(forms::Bevel::None);
  Panel1.SetColor(forms::kClNavy);
  Panel1.SetAlign(forms::AlignMode::Client);

  forms::TextFont title;
  title.name = "Arial";
  title.height = 27;
  title.bold = true;
  StyleLabel(LTitleB, 18, 18, forms::kClBlack, title, "");
  StyleLabel(LTitleA, 16, 16, forms::kClWhite, title, "");

  forms::TextFont small;
  small.name = "MS Sans Serif";
  small.height = 13;
  forms::TextFont bold = small;
  bold.bold = true;
  StyleLabel(LVerzeC1, 17, 81, forms::kClGray, small, kMaintainerWeb);
  StyleLabel(LVerzeB1, 17, 63, forms::kClGray, small, kMaintainerNotice);
  StyleLabel(LVerzeA1, 17, 45, forms::kClGray, bold, "Setup 2.0");
  StyleLabel(LVerzeA, 16, 44, forms::kClWhite, bold, "Setup 2.0");
  StyleLabel(LVerzeB, 16, 62, forms::kClWhite, small, kMaintainerNotice);
  StyleLabel(LVerzeC, 16, 80, forms::kClWhite, small, kMaintainerWeb);
  SetImg.SetBounds(16, 10, 86, 30);
  SetImg.SetAutoSize(true);
  SetImg.SetPicture(SetupLogo());
}

void TMainForm::FormCreate() {
  SetCaption("Setup");
  SetBorderStyle(forms::FormBorder::None);
  SetColor(forms::kClNavy);
  forms::Screen& screen = App()->GetScreen();
  SetBounds(0, 0, screen.Width(), screen.Height());
  LayOut();
  PresentPicture = MakePresentPicture(*this, Platform().files, screen.Width());
  PictureShown = PresentPicture != nullptr;
  HeaderStarted = false;
}

void TMainForm::FormActivate() {
  RunTimer.SetEnabled(true);
}

void TMainForm::RunTimerTimer() {
  RunTimer.SetEnabled(false);
  if (HeaderStarted) return;
  HeaderStarted = true;
  StartupRun();
}

int TMainForm::Message(const std::string& text, unsigned flags) {
  return App()->MessageBox(text, "Installation", flags);
}

void TMainForm::StartupRun() {
  SourceAbandoned = false;
  Interrupted = false;
  WantUninstall = false;
  Compressed = false;

  platform::Files& files = Platform().files;
  SetupDir = DirectoryWithSlash(files.ModuleFileName());
  const std::string script = SetupDir + "Setup.Inf";
  const std::uint32_t attributes = files.GetAttributes(script);
  if (attributes == platform::kInvalidFileAttributes ||
      (attributes & platform::kFileAttributeDirectory) != 0) {
    Message(
        "Source file of the installation \"" + script + "\" not found.\r\n\r\n" + kTerminatedLine,
        forms::kMbOk | forms::kMbIconError);
    Interrupted = true;
  }

  if (!SourceAbandoned && !Interrupted) {
    try {
      ReadScriptHeader();
    } catch (const std::exception&) {
      Message(
          std::string("The system has detected unidentificable error.\r\n\r\n") + kTerminatedLine,
          forms::kMbOk | forms::kMbIconError);
      Interrupted = true;
    }
  }

  if (PictureShown) {
    GrabBackground(*PresentPicture, GRB);
    App()->ProcessMessages();
  }

  if (!SourceAbandoned && !Interrupted) {
    TWizForm& wizard = *context_.forms.WizForm;
    wizard.ProductTitle = LTitleA.Caption();
    wizard.InstallDir = InstallDir;
    wizard.GroupName = GroupName;
    wizard.SpaceRequiredKB = SpaceRequiredKB;
    wizard.RebootNeeded = RebootNeeded;
    wizard.ClearStartMenuFolders();
    wizard.PageNo = 1;
    wizard.ShowPage(1);
    wizard.ShowModal();
  }
  Close();
}
