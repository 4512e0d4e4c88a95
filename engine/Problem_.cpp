#include "engine/Problem_.h"

TNotFileForm::TNotFileForm(forms::Application& app, SetupContext& context)
    : forms::Form(app, "TNotFileForm"), context_(context) {
  SetName("NotFileForm");
  SetBorderStyle(forms::FormBorder::Dialog);
  SetPosition(forms::FormPosition::ScreenCenter);
}
