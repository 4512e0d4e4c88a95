// Program groups: the commands collected for Program Manager and their sending.
#include "app/Setup_.h"

void TMainForm::SendGroupCommands() {
  if (Interrupted || SourceAbandoned || !GroupMade) return;
  if (GroupCommands.empty()) return;
}
