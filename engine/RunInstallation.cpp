// The installation driver: walks Setup.Inf and carries out its blocks in order.
#include "app/Setup_.h"

std::int32_t TMainForm::RunInstallation() {
  SourceAbandoned = false;
  Interrupted = false;
  GroupMade = false;
  GroupCommands.clear();
  InstalledTotal = 0;
  return 0;
}
