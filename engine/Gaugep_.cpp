#include "engine/Gaugep_.h"

TProcessForm::TProcessForm(forms::Application& app, SetupContext& context)
    : forms::Form(app, "TProcessForm"), context_(context) {
  SetName("ProcessForm");
  SetBorderStyle(forms::FormBorder::Dialog);
  SetPosition(forms::FormPosition::ScreenCenter);
}
