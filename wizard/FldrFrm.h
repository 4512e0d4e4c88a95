// The directory browse dialog.
#pragma once

#include "app/Setup_.h"

class TFolderForm : public forms::Form {
 public:
  TFolderForm(forms::Application& app, SetupContext& context);

 private:
  SetupContext& context_;
};
