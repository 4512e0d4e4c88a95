// INI FILE blocks: each entry line is written into the profile file as it is read.
#include <stdexcept>
#include <string>
#include <vector>

#include "app/Setup_.h"
#include "engine/FileUtil32.h"
#include "forms/MessageBox.h"
#include "script/Blocks.h"
#include "script/ScriptLine.h"
#include "script/Text.h"

namespace {

constexpr char kTargetMarker[] = "<TOPATH>";
constexpr std::size_t kTargetMarkerLength = 8;
constexpr char kNotComplete[] = "The installation is not complete.";

// The file name of the opening line: blanks trimmed, cut at its first comma.
std::string IniFileName(const std::string& value) {
  return script::TrimBlanks(value.substr(0, value.find(',')));
}

}  // namespace

void TMainForm::WriteIniValue(const std::string& fileName, const std::string& section,
                              const std::string& key, const std::string& value) {
  if (Record) Record->NoteIniEntry(fileName, section, key);
  if (!Platform().profiles.WriteString(section, key, value, fileName)) {
    throw std::runtime_error("Unable to write to " + fileName);
  }
}

bool TMainForm::ReadIniBlock(const std::vector<std::string>& lines, std::size_t& index,
                             const std::string& fileName) {
  const std::string file = IniFileName(fileName);
  std::string section;
  bool refused = false;
  while (index + 1 < lines.size() && !SourceAbandoned && !Interrupted) {
    ++index;
    const std::string& line = lines[index];
    script::BlockLine entry = script::CutAtEquals(line);
    if (script::IsIniSection(entry.key)) {
      section = entry.value;
      continue;
    }
    if (script::IsIniEnd(line)) break;
    // After a refused write the rest of the block is read past but not written: the user
    // has been told once that the installation is not complete.
    if (refused) continue;
    const std::size_t marker = script::UpperAscii(entry.value).find(kTargetMarker);
    if (marker != std::string::npos) {
      entry.value.replace(marker, kTargetMarkerLength, engine::TrimDir(InstallDir));
    }
    try {
      WriteIniValue(file, section, entry.key, entry.value);
    } catch (const std::runtime_error& failure) {
      Message(std::string(failure.what()) + "\r\n" + kNotComplete,
              forms::kMbOk | forms::kMbIconError);
      refused = true;
    }
  }
  // The file's identity once the block's entries are in it, for the uninstaller to know it.
  if (Record) Record->CompleteIniFile(file);
  return !refused;
}
