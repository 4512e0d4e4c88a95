#include "app/Program.h"

#include "app/Setup_.h"
#include "engine/Gaugep_.h"
#include "engine/Problem_.h"
#include "engine/ReplF_.h"
#include "wizard/BackNext.h"
#include "wizard/ExitFrm_.h"
#include "wizard/FldrFrm.h"
#include "wizard/ShutF_.h"

void CreateSetupForms(SetupContext& context) {
  forms::Application& app = context.app;
  app.SetTitle("Tavrin Setup 2.0");
  SetupForms& forms = context.forms;
  forms.MainForm = &app.CreateForm<TMainForm>(context);
  forms.ProcessForm = &app.CreateForm<TProcessForm>(context);
  forms.NotFileForm = &app.CreateForm<TNotFileForm>(context);
  forms.ExitForm = &app.CreateForm<TExitForm>(context);
  forms.FolderForm = &app.CreateForm<TFolderForm>(context);
  forms.ReplForm = &app.CreateForm<TReplForm>(context);
  forms.ShutForm = &app.CreateForm<TShutForm>(context);
  forms.WizForm = &app.CreateForm<TWizForm>(context);
}

int RunSetup(forms::Application& app, platform::Platform& platform) {
  SetupContext context{app, platform, {}};
  CreateSetupForms(context);
  app.Run(*context.forms.MainForm);
  app.AddLine("exit");
  return 0;
}
