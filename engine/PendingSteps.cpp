// Engine steps whose real bodies arrive with their own files. Each definition here is
// removed when the file that owns the step defines it; until then the step does nothing
// and reports success, so the driver can run.
#include "app/Setup_.h"

bool TMainForm::ReadIniBlock(const std::vector<std::string>& lines, std::size_t& index,
                             const std::string&) {
  while (index + 1 < lines.size()) {
    ++index;
    if (lines[index] == "END OF INI" || lines[index] == "ENDOFINI") break;
  }
  return true;
}

void TMainForm::QueueGroupCommand() {
  GroupMade = true;
}

void TMainForm::ReadGroupItem(const std::vector<std::string>& lines, std::size_t& index) {
  while (index + 1 < lines.size()) {
    ++index;
    if (lines[index] == "END OF GROUP ITEM" || lines[index] == "ENDOFGROUPITEM") break;
  }
}

bool TMainForm::RegisterUninstall(const std::string&, const std::string&, const std::string&,
                                  const std::string&) {
  return false;
}

bool TMainForm::WriteUninstallLog(const std::string&, const std::string&) {
  return false;
}
