// The question where a missing source file is.
#pragma once

#include "app/Setup_.h"

class TNotFileForm : public forms::Form {
 public:
  TNotFileForm(forms::Application& app, SetupContext& context);

 private:
  SetupContext& context_;
};
