// The notice shown while the program ends after "&Finish".
#pragma once

#include "app/Setup_.h"

class TShutForm : public forms::Form {
 public:
  TShutForm(forms::Application& app, SetupContext& context);

  void FormCreate();

  forms::Panel Panel1{*this, "Panel1"};
  forms::Image Image1{Panel1, "Image1"};
  forms::Label Label1{Panel1, "Label1"};
};
