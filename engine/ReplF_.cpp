#include "engine/ReplF_.h"

#include <cmath>
#include <exception>

#include "engine/FileExists.h"
#include "engine/Icons.h"
#include "script/Numbers.h"
#include "script/Text.h"

namespace {

void PlaceImage(forms::Image& image, int left, int top, const forms::Bitmap& picture) {
  image.SetBounds(left, top, engine::kIconSize, engine::kIconSize);
  image.SetPicture(picture);
}

void PlaceLabel(forms::Label& label, int left, int top, int width) {
  label.SetAutoSize(false);
  label.SetBounds(left, top, width, 13);
}

void PlaceButton(forms::Button& button, int left, const char* caption) {
  button.SetBounds(left, 216, 75, 25);
  button.SetCaption(caption);
  button.SetTabStop(true);
}

}  // namespace

std::string SizeText(std::int64_t bytes) {
  const double kilobytes = static_cast<double>(bytes) / 1024.0;
  const double whole = std::trunc(kilobytes);
  const long long thousandths = static_cast<long long>(std::trunc((kilobytes - whole) * 1000.0));
  return std::to_string(static_cast<long long>(whole)) + "." +
         script::Digits(static_cast<std::uint64_t>(thousandths < 0 ? -thousandths : thousandths),
                        3) +
         " kB";
}

TReplForm::TReplForm(forms::Application& app, SetupContext&) : forms::Form(app, "TReplForm") {
  SetName("ReplForm");
  OnCreate = [this] { FormCreate(); };
  // Whatever closes the dialog other than its four buttons (Esc, the title bar) is No.
  OnShow = [this] {
    Answer = kAnswerNo;
    BTN_YES.SetFocus();
  };
}

void TReplForm::FormCreate() {
  SetBorderStyle(forms::FormBorder::Dialog);
  SetBorderIcons({.systemMenu = true, .help = true});
  SetClientSize(394, 253);
  forms::Screen& screen = App()->GetScreen();
  SetPosition(forms::FormPosition::Designed);
  SetLeft((screen.Width() - Width()) / 2);
  SetTop(screen.Height() - Height() - 20);
  SetCaption("Confirm to overwrite the file");

  PlaceImage(Image2, 12, 8, engine::ReplaceIcon());
  PlaceLabel(LBL_SLO1, 56, 10, 326);
  PlaceLabel(PNL_FILE, 56, 28, 326);
  PlaceLabel(LBL_SLO2, 12, 56, 370);
  PlaceImage(IMG_F, 24, 76, engine::SystemFileIcon());
  PlaceLabel(LBL_FSIZE, 68, 80, 300);
  PlaceLabel(LBL_FDATE, 68, 96, 300);
  PlaceLabel(LBL_SLO3, 12, 124, 370);
  PlaceImage(IMG_S, 24, 144, engine::SystemFileIcon());
  PlaceLabel(LBL_SSIZE, 68, 148, 300);
  PlaceLabel(LBL_SDATE, 68, 164, 300);
  PlaceImage(SkladA, 340, 76, engine::SystemFileIcon("WIN"));
  PlaceImage(SkladB, 340, 144, engine::SystemFileIcon("WINSYS"));
  SkladA.SetVisible(false);
  SkladB.SetVisible(false);

  PlaceButton(BTN_YES, 18, "&Yes");
  PlaceButton(BTN_NO, 112, "&No");
  PlaceButton(BTN_YESTOALL, 206, "Yes &to all");
  PlaceButton(BTN_NOTOALL, 300, "No to &all");
  // The buttons are declared No, Yes, No to all, Yes to all; Tab goes Yes, Yes to all, No,
  // No to all.
  BTN_YES.SetTabOrder(0);
  BTN_YESTOALL.SetTabOrder(1);
  BTN_NO.SetTabOrder(2);
  BTN_NOTOALL.SetTabOrder(3);
  BTN_NO.SetCancel(true);
  BTN_YES.OnClick = [this] { BTN_YESClick(); };
  BTN_NO.OnClick = [this] { BTN_NOClick(); };
  BTN_YESTOALL.OnClick = [this] { BTN_YESTOALLClick(); };
  BTN_NOTOALL.OnClick = [this] { BTN_NOTOALLClick(); };
  Answer = kAnswerNo;
}

void TReplForm::Answered(int answer) {
  Answer = answer;
  SetModalResult(forms::kMrOk);
}

void TReplForm::BTN_YESClick() {
  Answered(kAnswerYes);
}

void TReplForm::BTN_NOClick() {
  Answered(kAnswerNo);
}

void TReplForm::BTN_YESTOALLClick() {
  Answered(kAnswerYesToAll);
}

void TReplForm::BTN_NOTOALLClick() {
  Answered(kAnswerNoToAll);
}

bool TMainForm::ConfirmOverwrite(const std::string& source, const std::string& dest,
                                 const std::string& kind) {
  platform::Files& files = Platform().files;
  // Only a file is asked about. A directory of that name is no file to keep: the copy goes
  // ahead and fails on it, whatever "to all" answer was given before.
  if (!engine::FileExists(files, dest)) return true;
  if (NoToAll) return false;
  if (YesToAll) return true;

  TReplForm& dialog = *Context().forms.ReplForm;
  int answer = TReplForm::kAnswerNo;
  try {
    platform::Clock& clock = Platform().clock;
    dialog.LBL_SLO1.SetCaption("Destination directory already contain file with name:");
    dialog.LBL_SLO2.SetCaption("Do you want to overwrite the existing file");
    dialog.LBL_SLO3.SetCaption("by following file?");
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on literal + string.
    std::string quoted = "\x84";
    quoted += script::UpperAscii(engine::FileNamePart(dest));
    quoted += "\x94";
    dialog.PNL_FILE.SetCaption(quoted);
    const auto describe = [&](const std::string& path, forms::Label& size, forms::Label& date,
                              forms::Image& image) {
      size.SetCaption(SizeText(engine::FileSizeOf(files, path)));
      std::string changed = "changed ";
      changed += clock.FormatDateTime(engine::FileDateOf(files, clock, path));
      date.SetCaption(changed);
      if (kind == "WIN") image.SetPicture(dialog.SkladA.Picture());
      if (kind == "WINSYS") image.SetPicture(dialog.SkladB.Picture());
    };
    describe(dest, dialog.LBL_FSIZE, dialog.LBL_FDATE, dialog.IMG_F);
    describe(source, dialog.LBL_SSIZE, dialog.LBL_SDATE, dialog.IMG_S);
    dialog.Answer = TReplForm::kAnswerNo;
    dialog.ShowModal();
    answer = dialog.Answer;
  } catch (const std::exception&) {
    // The existing file stays and the remembered answers do not change.
    return false;
  }

  YesToAll = answer == TReplForm::kAnswerYesToAll;
  NoToAll = answer == TReplForm::kAnswerNoToAll;
  return answer == TReplForm::kAnswerYes || answer == TReplForm::kAnswerYesToAll;
}
