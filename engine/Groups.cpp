// Program groups: the commands collected for Program Manager while the script is walked,
// and their sending when the user presses the finish button.
#include <memory>
#include <string>
#include <vector>

#include "app/Setup_.h"
#include "engine/FileUtil32.h"
#include "script/Blocks.h"
#include "script/ScriptLine.h"
#include "script/Text.h"
#include "wizard/BackNext.h"

namespace {

constexpr char kProgramManager[] = "PROGMAN";
constexpr char kTargetMarker[] = "<TOPATH>";
constexpr std::size_t kTargetMarkerLength = 8;

// `text` with the first marker (any case) replaced by the destination directory.
std::string WithTarget(std::string text, const std::string& target) {
  const std::size_t marker = script::UpperAscii(text).find(kTargetMarker);
  if (marker != std::string::npos) text.replace(marker, kTargetMarkerLength, target);
  return text;
}

// The AddItem command: command line, name, no icon or position, PATH as working directory.
std::string AddItemCommand(const std::string& file, const std::string& title,
                           const std::string& path) {
  return "[AddItem(\"" + file + "\",\"" + title + "\",,,,,\"" + path + "\")]";
}

}  // namespace

void TMainForm::QueueGroupCommand() {
  const TWizForm* wizard = Context().forms.WizForm;
  const std::string folder = wizard != nullptr ? wizard->PageDEdit1.Text() : std::string();
  GroupCommands.push_back("[CreateGroup(" + folder + ")]");
  GroupMade = true;
}

void TMainForm::ReadGroupItem(const std::vector<std::string>& lines, std::size_t& index) {
  std::string file;
  std::string title;
  std::string path;
  while (index + 1 < lines.size() && !SourceAbandoned && !Interrupted) {
    ++index;
    const std::string& line = lines[index];
    const script::BlockLine entry = script::CutAtEquals(line);
    const script::GroupItemField field = script::MatchGroupItemField(entry.key);
    if (field == script::GroupItemField::File) {
      file = entry.value;
    } else if (script::IsGroupItemEnd(line)) {
      const std::string target = engine::TrimDir(InstallDir);
      // FILE takes the directory only for a whole item; an incomplete one is still queued
      // as written, so that Program Manager, not the installer, decides what it makes of it.
      if (!file.empty() && !title.empty() && !path.empty()) file = WithTarget(file, target);
      GroupCommands.push_back(AddItemCommand(file, title, WithTarget(path, target)));
      return;
    } else if (field == script::GroupItemField::Title) {
      title = entry.value;
    } else if (field == script::GroupItemField::Path) {
      path = engine::TrimDir(entry.value);
    }
  }
}

void TMainForm::SendGroupCommands() {
  if (Interrupted || SourceAbandoned || !GroupMade) return;
  if (GroupCommands.empty()) return;
  try {
    platform::Dde& dde = Platform().dde;
    std::unique_ptr<platform::DdeConversation> conversation = dde.Connect(kProgramManager, "");
    if (!conversation) conversation = dde.Connect(kProgramManager, kProgramManager);
    if (!conversation) return;
    App()->ProcessMessages();
    std::string text;
    for (const std::string& command : GroupCommands) text += command + "\r\n";
    conversation->Execute(text);
  } catch (const std::exception&) {
    // Program Manager lies outside the installation: nothing it does is reported.
  }
}
