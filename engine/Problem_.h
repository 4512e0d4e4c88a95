// The question where a missing source file is: the user names the directory that holds
// it, typed or chosen with the browse dialog, or gives the file up.
#pragma once

#include <string>

#include "app/Setup_.h"

class TNotFileForm : public forms::Form {
 public:
  TNotFileForm(forms::Application& app, SetupContext& context);

  // True when the dialog was closed with OK (valid until it is shown again).
  bool Accepted = false;
  // The process's current directory when the dialog was opened; browsing may change it.
  std::string SavedDir;

  void FormCreate();
  void FormActivate();
  void FormClose(forms::CloseAction& action);
  void BOkClick();
  void BCancelClick();
  void browbutClick();

 private:
  SetupContext& context_;

 public:
  // Controls, in creation (and tab) order.
  forms::Label ProblemLabel{*this, "ProblemLabel"};
  forms::Edit PathEdit{*this, "PathEdit"};
  forms::Button okbut{*this, "okbut"};
  forms::Button cancbut{*this, "cancbut"};
  forms::Button browbut{*this, "browbut"};
};
