// Page 66: the Start-menu folder the program group goes into.
#include "wizard/BackNext.h"
#include "wizard/StartMenuFolders.h"

void TWizForm::SetUpFolderControls() {
  PageDLab1.SetBounds(0, 0, 342, 56);
  PageDLab1.SetTransparent(true);
  PageDLab1.SetWordWrap(true);
  PageDLab1.SetAutoSize(false);
  PageDLab2.SetBounds(0, 64, 342, 16);
  PageDEdit1.SetBounds(0, 82, 342, 21);
  PageDEdit1.SetTabStop(true);
  PageDLab3.SetBounds(0, 112, 342, 16);
  PageDLBX.SetBounds(0, 130, 342, 134);
  PageDLBX.SetTabStop(true);
  PageDEdit1.OnChange = [this] { PageDEdit1Change(); };
  PageDEdit1.OnKeyPress = [this](char& key) { PageDEdit1KeyPress(key); };
  PageDEdit1.OnDblClick = [this] { PageDEdit1DblClick(); };
  PageDLBX.OnDblClick = [this] { PageDLBXDblClick(); };
  PageDLBX.OnKeyPress = [this](char& key) { PageDLBXKeyPress(key); };
}

void TWizForm::SetUpFolder() {
  SetCaption("Select folder in Start menu");
  PageDLab2.SetCaption("Folders in Start menu:");
  PageDLBX.Clear();
  PageDLab1.SetCaption(
      "The installation program will add the icon into program folder from following menu. "
      "You can enter name for a new folder or pick up the folder from the menu. Press "
      "\"Next\" to continue in installation.");
  if (ListStartMenuFolders(context_.platform, PageDLBX)) {
    PageDLab3.SetCaption("Available folders:");
    PageDLab3.SetVisible(true);
    PageDLBX.SetVisible(true);
    PageDLBX.SetItemIndex(0);
  } else {
    PageDLab3.SetVisible(false);
    PageDLBX.SetVisible(false);
  }
  PageDEdit1.SetText(GroupName);
  PageDEdit1.SelectAll();
  PageD.SetVisible(true);
  PageDEdit1.SetFocus();
  nextBut.SetCaption("&Next >");
  cancBut.SetVisible(true);
  NextStep = 5;
  BackStep = 5;
}

void TWizForm::ClearStartMenuFolders() {
  PageDLBX.Clear();
}

void TWizForm::PageDEdit1Change() {
  GroupName = PageDEdit1.Text();
}

void TWizForm::PageDEdit1KeyPress(char& key) {
  if (key != '\r') return;
  key = 0;
  nextBut.SetFocus();
}

void TWizForm::PageDEdit1DblClick() {
  PageDLBXDblClick();
}

void TWizForm::PageDLBXDblClick() {
  // Nothing is selected in an empty or hidden list.
  if (PageDLBX.ItemIndex() < 0) return;
  PageDEdit1.SetText(PageDLBX.SelectedText());
}

void TWizForm::PageDLBXKeyPress(char& key) {
  if (key != '\r') return;
  key = 0;
  PageDLBXDblClick();
  nextBut.SetFocus();
}
