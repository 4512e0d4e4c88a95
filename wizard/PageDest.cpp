// Page 61: the destination directory and the space it needs.
#include "wizard/BackNext.h"

void TWizForm::SetUpDestinationControls() {
  PageCLab1.SetBounds(0, 0, 342, 40);
  PageCLab2.SetBounds(0, 48, 342, 16);
  PageCLab3.SetBounds(0, 72, 342, 16);
  PageCLab4.SetBounds(0, 96, 342, 16);
  browbut.SetBounds(267, 120, 75, 25);
  browbut.SetCaption("&Browse...");
}

void TWizForm::SetUpDestination() {
  SetCaption("Enter destination directory");
  PageCLab2.SetCaption(InstallDir);
  PageC.SetVisible(true);
  prevBut.SetVisible(true);
  nextBut.SetVisible(true);
  cancBut.SetVisible(true);
  NextStep = 5;
  BackStep = 40;
}

bool TWizForm::CheckDestination() {
  return true;
}
