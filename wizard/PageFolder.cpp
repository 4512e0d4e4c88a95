// Page 66: the Start-menu folder the program group goes into.
#include "wizard/BackNext.h"

void TWizForm::SetUpFolderControls() {
  PageDLab1.SetBounds(0, 0, 342, 40);
  PageDEdit1.SetBounds(0, 48, 342, 21);
  PageDEdit1.SetTabStop(true);
  PageDLBX1.SetBounds(0, 76, 342, 190);
}

void TWizForm::SetUpFolder() {
  SetCaption("Select folder in Start menu");
  if (PageDEdit1.Text().empty()) PageDEdit1.SetText(GroupName);
  PageD.SetVisible(true);
  prevBut.SetVisible(true);
  nextBut.SetVisible(true);
  cancBut.SetVisible(true);
  PageDEdit1.SetFocus();
  NextStep = 5;
  BackStep = 5;
}
