// The cancel confirmation: "&Continue" goes back, "&End" ends the program.
#pragma once

#include "app/Setup_.h"

class TExitForm : public forms::Form {
 public:
  TExitForm(forms::Application& app, SetupContext& context);

  void FormCreate();
  void Button1Click();
  void Button2Click();
  void FormClose(forms::CloseAction& action);

  forms::Image Image1{*this, "Image1"};
  forms::Label Label1{*this, "Label1"};
  forms::Label Label2{*this, "Label2"};
  forms::Label Label3{*this, "Label3"};
  forms::Button Button1{*this, "Button1"};
  forms::Button Button2{*this, "Button2"};
};
