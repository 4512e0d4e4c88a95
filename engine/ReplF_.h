// The overwrite confirmation.
#pragma once

#include "app/Setup_.h"

class TReplForm : public forms::Form {
 public:
  TReplForm(forms::Application& app, SetupContext& context);

 private:
  SetupContext& context_;
};
