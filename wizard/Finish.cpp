// Page 91: the installation itself, the finish page for its result, and the ways out of
// the wizard (close requests, the finishing sequence and the restart).
#include <memory>

#include "forms/MessageBox.h"
#include "wizard/BackNext.h"
#include "wizard/ExitFrm_.h"
#include "wizard/ShutF_.h"
#include "wizard/ShutNT.h"

namespace {

struct FinishRow {
  std::int32_t result;
  const char* caption;
  const char* tail;
  const char* detail;
  const char* restartText;  // null when the row offers no restart
  const char* button;
};

constexpr const char* kFailedTail = "on your computer was terminated by error.";

const FinishRow kFinishRows[] = {
    {0, "Installation program terminated.", "on your computer was finished successfully.", "",
     "Before start up of the program, you have to restart Windows or your computer. Select one "
     "of the following options and finish the installation pressing \"Finish\".",
     "&Finish"},
    {1, "Installation interrupted", kFailedTail,
     "Some file(s) were not copied to the destination directory.", nullptr, "&OK"},
    {2, "Installation terminated by error(s).", kFailedTail,
     "Some file(s) of COM objects or libraries of COM objects were not registered in your "
     "operating system.",
     "Before start of the program you have to restart Windows or your computer. Select one of "
     "the following options and pressing \"Finish\" terminate the installation.",
     "&Finish"},
    {3, "Installation interrupted", kFailedTail,
     "Some data were not inserted into registers database of your operation system.", nullptr,
     "&OK"},
    {4, "Installation interrupted", kFailedTail,
     "Undefined exception of the installation occurred.", nullptr, "&OK"},
    {5, "Installation interrupted", " at your computer was interrupted by the user.",
     "The installation interrupted by the user.", nullptr, "&OK"},
    {8, "Setup abort", kFailedTail,
     "File with language version was not copied into destination directory.", nullptr, "&OK"},
};

}  // namespace

void TWizForm::RunAndFinish() {
  Hide();
  App()->ProcessMessages();
  GroupName = PageDEdit1.Text();
  TMainForm& main = *context_.forms.MainForm;
  main.InstallDir = InstallDir;
  main.GroupName = GroupName;
  main.RebootNeeded = RebootNeeded;
  InstallResult = main.RunInstallation();
  App()->AddLine("result " + std::to_string(InstallResult));
  SetUpFinish();
  App()->ProcessMessages();
  Show();
}

void TWizForm::SetUpFinish() {
  PageZLab2.SetVisible(false);
  PageZRB1.SetVisible(false);
  PageZRB2.SetVisible(false);
  PageZRB1.SetCaption("Yes, I want to restart computer now");
  PageZRB2.SetCaption("No, I want to restart computer later");
  prevBut.SetVisible(false);
  nextBut.SetVisible(false);

  const FinishRow* row = nullptr;
  for (const FinishRow& candidate : kFinishRows)
    if (candidate.result == InstallResult) row = &candidate;
  if (row == nullptr) return;  // the driver gives no other codes

  SetCaption(row->caption);
  PageZLab1.SetCaption("Program installation  \x84" + ProductTitle + "\x94 " + row->tail);
  PageZLab3.SetCaption(row->detail);
  if (row->restartText != nullptr && RebootNeeded) {
    PageZLab2.SetCaption(row->restartText);
    PageZLab2.SetVisible(true);
    PageZRB1.SetVisible(true);
    PageZRB2.SetVisible(true);
    PageZRB1.SetChecked(true);
    PageZRB2.SetChecked(false);
  }
  PageZ.SetVisible(true);
  cancBut.SetCaption(row->button);
  cancBut.SetVisible(true);
}

void TWizForm::cancButClick() {
  if (cancBut.Caption() == "&Finish") {
    StartFinishing();
  } else {
    Close();
  }
}

void TWizForm::FormCloseQuery(bool& canClose) {
  const TMainForm& main = *context_.forms.MainForm;
  if (main.SourceAbandoned || main.Interrupted) {
    canClose = true;
    return;
  }
  // A fresh confirmation for every showing; closing it frees it.
  TExitForm& confirm = App()->CreateForm<TExitForm>(context_);
  confirm.ShowModal();
  canClose = false;
}

void TWizForm::StartFinishing() {
  Hide();
  App()->ProcessMessages();
  context_.forms.ShutForm->Show();
  App()->GetScreen().SetCursor(forms::ScreenCursor::HourGlass);
  App()->ProcessMessages();
  ShutExit.SetEnabled(true);
  App()->ProcessMessages();
  context_.forms.MainForm->SendGroupCommands();
}

void TWizForm::ShutExitTimer() {
  ShutExit.SetEnabled(false);
  if (RebootNeeded && PageZRB1.Checked()) Restart();
  App()->GetScreen().SetCursor(forms::ScreenCursor::Default);
  context_.forms.ShutForm->Close();
  App()->Terminate();
}

void TWizForm::Restart() {
  platform::Platform& platform = context_.platform;
  constexpr std::uint32_t kFlags = platform::kEwxReboot | platform::kEwxForce;
  const bool nt = platform.system.Version().platformId == platform::kPlatformWin32Nt;
  App()->AddLine("restart " + std::to_string(kFlags));
  if (!nt) {
    platform.restart.ExitWindows(kFlags, 0);
    return;
  }
  bool failed = true;
  if (EnableShutdownPrivilege(platform.restart)) {
    platform.restart.ExitWindows(kFlags, 0);
    failed = platform.restart.LastError() != 0;
  }
  if (failed) {
    App()->MessageBox("It is not possible to restart windows automatically.\r\n[" +
                          platform.system.ErrorText(platform.restart.LastError()) + "]",
                      "Restart", forms::kMbOk | forms::kMbIconInformation);
  }
}
