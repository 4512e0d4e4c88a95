#include "engine/ReplF_.h"

TReplForm::TReplForm(forms::Application& app, SetupContext& context)
    : forms::Form(app, "TReplForm"), context_(context) {
  SetName("ReplForm");
  SetBorderStyle(forms::FormBorder::Dialog);
  SetPosition(forms::FormPosition::ScreenCenter);
}
