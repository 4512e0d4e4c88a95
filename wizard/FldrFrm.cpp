#include "wizard/FldrFrm.h"

TFolderForm::TFolderForm(forms::Application& app, SetupContext& context)
    : forms::Form(app, "TFolderForm"), context_(context) {
  SetName("FolderForm");
  SetBorderStyle(forms::FormBorder::Dialog);
  SetPosition(forms::FormPosition::ScreenCenter);
}
