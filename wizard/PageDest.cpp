// Page 61: the destination directory and the space it needs.
#include <optional>

#include "forms/DirControls.h"
#include "forms/MessageBox.h"
#include "wizard/BackNext.h"
#include "wizard/DirSource.h"
#include "wizard/DiskSpace.h"
#include "wizard/FldrFrm.h"
#include "wizard/ShortenPath.h"

namespace {

// The longest path the destination label shows whole.
constexpr std::size_t kDestFolderWidth = 35;

}  // namespace

void TWizForm::SetUpDestinationControls() {
  for (forms::Label* label : {&PageCLab1, &PageCLab2, &PageCLab3, &PageCLab4}) {
    label->SetTransparent(true);
    label->SetWordWrap(true);
    label->SetAutoSize(false);
  }
  PageCLab1.SetBounds(0, 0, 342, 40);
  PageCLab2.SetBounds(0, 44, 342, 16);
  PageCLab3.SetBounds(0, 64, 342, 32);
  PageCLab4.SetBounds(0, 100, 342, 32);
  GroupBox1.SetBounds(0, 140, 342, 48);
  DestFolder.SetBounds(10, 20, 322, 16);
  DestFolder.SetAutoSize(false);
  Label1.SetBounds(0, 204, 110, 16);
  PageCRS.SetBounds(110, 204, 120, 16);
  Label5.SetBounds(0, 228, 110, 16);
  PageCAS.SetBounds(110, 228, 120, 16);
  for (forms::Label* figure : {&PageCRS, &PageCAS}) {
    figure->SetAutoSize(false);
    figure->SetAlignment(forms::TextAlignment::Right);
  }
  browbut.SetBounds(267, 212, 75, 25);
  browbut.SetTabStop(true);
  browbut.OnClick = [this] { browbutClick(); };
}

void TWizForm::SetUpDestination() {
  SetCaption("Enter destination directory");
  GroupBox1.SetCaption(" Destination directory ");
  Label1.SetCaption("Space required:");
  Label5.SetCaption("Space available:");
  PageCLab1.SetCaption("The installation program will install " + ProductTitle +
                       " into destination directory as indicated bellow.");
  PageCLab2.SetCaption("If you agree, press \"Next\".");
  PageCLab3.SetCaption(
      "If you want to change destination directory, press \"Browse\" and pick up another "
      "directory.");
  PageCLab4.SetCaption("If you want to cancel the installation " + ProductTitle +
                       ", press \"Cancel\".");
  browbut.SetCaption("Br&owse");
  DestFolder.SetCaption(ShortenPath(InstallDir, kDestFolderWidth));
  PageCRS.SetCaption(FormatSize(std::to_string(SpaceRequiredKB), "KB"));
  GetFreeSpace(InstallDir);
  PageCAS.SetCaption(FormatSize(std::to_string(SpaceAvailable), SpaceUnit));
  PageC.SetVisible(true);
  nextBut.SetVisible(true);
  cancBut.SetVisible(true);
  NextStep = 5;
  BackStep = 40;
}

void TWizForm::GetFreeSpace(const std::string& path) {
  const std::optional<SpaceFigure> space = QueryFreeSpace(context_.platform.disks, path);
  if (!space) {
    SpaceAvailable = -1;
    SpaceAvailableKB = -1;
    return;
  }
  SpaceAvailable = space->figure;
  SpaceUnit = space->unit;
  SpaceAvailableKB = space->kilobytes;
}

void TWizForm::browbutClick() {
  platform::Files& files = context_.platform.files;
  // Any destination named is made before browsing, a network or a relative path as well;
  // with none at all the dialog starts where the directory list is.
  std::string start;
  if (!InstallDir.empty()) {
    if (!DirectoryExists(files, InstallDir)) {
      std::vector<std::string> made;
      ForceDirectories(files, InstallDir, made);
      KeepMadeDirectories(context_, made);
    }
    if (!DirectoryExists(files, InstallDir)) {
      Message(
          "There is no possible to create destination directory.\r\nThe installation will be "
          "terminated.",
          forms::kMbOk | forms::kMbIconError);
      App()->Terminate();
      return;
    }
    start = InstallDir;
  }
  std::string chosen;
  try {
    chosen = BrowseForDirectory(context_, start, TFolderForm::kCheckedPath);
  } catch (const forms::DirectoryError& error) {
    App()->ShowException(error);
    return;
  }
  if (chosen.empty()) return;
  InstallDir = chosen;
  DestFolder.SetCaption(ShortenPath(InstallDir, kDestFolderWidth));
  GetFreeSpace(InstallDir);
  PageCAS.SetCaption(FormatSize(std::to_string(SpaceAvailable), SpaceUnit));
}

bool TWizForm::CheckDestination() {
  // Compared in KB whatever unit the figure is shown in.
  if (SpaceRequiredKB <= SpaceAvailableKB) return true;
  Message(
      "Available space have to be greater than space required.\r\nPlease, select another "
      "directory for installation.",
      forms::kMbOk | forms::kMbIconInformation);
  return false;
}
