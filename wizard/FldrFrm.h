// The directory browse dialog: a directory tree, a drive list and a path line. Both users
// (the destination page and the missing-file dialog) make a fresh one for each use through
// BrowseForDirectory.
#pragma once

#include <string>

#include "app/Setup_.h"
#include "forms/DirControls.h"
#include "wizard/DirSource.h"

class TFolderForm : public forms::Form {
 public:
  // The tag values: the typed path is checked (and may be created), or only displayed.
  static constexpr int kCheckedPath = 0;
  static constexpr int kDisplayOnly = 1;

  TFolderForm(forms::Application& app, SetupContext& context);
  ~TFolderForm() override;

  // The texts both callers give the dialog.
  void SetCallerTexts();
  // Puts `directory` in the path edit and opens it in the directory list (an empty text
  // leaves the list where it is). Throws forms::DirectoryError when it cannot be opened.
  void StartAt(const std::string& directory);

  // The process's current directory when the dialog was activated.
  std::string SavedDir;

  // Event handlers.
  void FormActivate();
  void CHFDLBChange();
  void okbutClick();
  void cancelbutClick();
  void FormClose(forms::CloseAction& action);

 private:
  SetupContext& context_;
  PlatformDirectorySource source_;
  void LayOut();

 public:
  // Controls, in creation order.
  forms::Label CHFLab1{*this, "CHFLab1"};
  forms::Label CHFLab2{*this, "CHFLab2"};
  forms::Edit CHFEdit1{*this, "CHFEdit1"};
  forms::Panel CHFLabPan{*this, "CHFLabPan"};
  forms::Label CHFLab{CHFLabPan, "CHFLab"};
  forms::Label CHFLab3{*this, "CHFLab3"};
  forms::DirectoryListBox CHFDLB{*this, "CHFDLB"};
  forms::Label CHFLab4{*this, "CHFLab4"};
  forms::DriveComboBox CHFCMB{*this, "CHFCMB"};
  forms::Button okbut{*this, "okbut"};
  forms::Button cancelbut{*this, "cancelbut"};
  forms::Button netbut{*this, "netbut"};
};

// Runs a fresh browse dialog the way both callers do: the caller's texts, `start` in the
// path line and the directory list, the mode `tag`, shown modally. Gives the path line
// after the dialog closed (empty when the user cancelled). Throws forms::DirectoryError
// when `start` cannot be opened; the dialog is then not shown.
std::string BrowseForDirectory(SetupContext& context, const std::string& start, int tag);

// Hands the directories the wizard made to the main window's installation state.
void KeepMadeDirectories(SetupContext& context, const std::vector<std::string>& made);
