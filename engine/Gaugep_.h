// The copy progress window.
#pragma once

#include "app/Setup_.h"

class TProcessForm : public forms::Form {
 public:
  TProcessForm(forms::Application& app, SetupContext& context);

 private:
  SetupContext& context_;
};
