#include "uninst/UninstallLog.h"

#include "script/Header.h"
#include "script/ScriptLine.h"
#include "script/Text.h"
#include "script/TextLines.h"

namespace uninst {
namespace {

constexpr std::string_view kInstToForm = "InstTo=";
constexpr std::string_view kMakeGroupForm = "MakeGroup=";

bool UpperIs(std::string_view text, std::string_view a, std::string_view b = {}) {
  const std::string upper = script::UpperAscii(text);
  return upper == a || (!b.empty() && upper == b);
}

// Reads the block that begins after `index` up to its end line; `take` sees every other
// line. Leaves `index` on the end line (or the last line). True when the end line came.
template <class Take>
bool ReadBlock(const std::vector<std::string>& lines, std::size_t& index, std::string_view endA,
               std::string_view endB, Take take) {
  while (index + 1 < lines.size()) {
    ++index;
    if (UpperIs(lines[index], endA, endB)) return true;
    take(lines[index]);
  }
  return false;
}

// A GROUP ITEM block: the installer queues its AddItem only at the end line; the item's
// name in the group is its TITLE.
void ReadGroupItem(const std::vector<std::string>& lines, std::size_t& index, UninstallLog& log) {
  std::string title;
  const bool ended =
      ReadBlock(lines, index, "END OF GROUP ITEM", "ENDOFGROUPITEM", [&](const std::string& line) {
        const script::BlockLine entry = script::CutAtEquals(line);
        if (UpperIs(entry.key, "TITLE")) title = entry.value;
      });
  if (ended) log.itemTitles.push_back(title);
}

// An INI FILE block: the installer writes each entry as it reads it, so a block cut short
// still names the entries before the cut.
void ReadIniBlock(const std::vector<std::string>& lines, std::size_t& index,
                  const std::string& value1, UninstallLog& log) {
  const std::string file = script::TrimBlanks(value1.substr(0, value1.find(',')));
  std::string section;
  ReadBlock(lines, index, "END OF INI", "ENDOFINI", [&](const std::string& line) {
    const script::BlockLine entry = script::CutAtEquals(line);
    if (UpperIs(entry.key, "SECTION")) {
      section = entry.value;
    } else {
      log.iniEntries.push_back({file, section, entry.key});
    }
  });
}

// A REGISTRY ITEM block: the installer writes its value only for a complete block with an
// end line and one of the three known types.
void ReadRegistryItem(const std::vector<std::string>& lines, std::size_t& index,
                      UninstallLog& log) {
  RegistryValue value;
  std::string data;
  std::string type;
  const bool ended = ReadBlock(lines, index, "END OF REGISTRY ITEM", "ENDOFREGISTRYITEM",
                               [&](const std::string& line) {
                                 const script::BlockLine entry = script::CutAtEquals(line);
                                 const std::string key = script::UpperAscii(entry.key);
                                 if (key == "KEYROOT") value.root = entry.value;
                                 if (key == "KEYLEVEL") value.keyPath = entry.value;
                                 if (key == "KEYNAME") value.name = entry.value;
                                 if (key == "KEYNAMEVALUE") data = entry.value;
                                 if (key == "KEYTYPE") type = entry.value;
                               });
  const std::string upperType = script::UpperAscii(type);
  const bool knownType = upperType == "INTEGER" || upperType == "STRING" || upperType == "BOOLEAN";
  if (ended && !value.root.empty() && !value.name.empty() && !data.empty() && knownType)
    log.registryValues.push_back(value);
}

}  // namespace

std::vector<std::string> CompleteLines(std::string_view bytes) {
  std::vector<std::string> lines = script::SplitTextLines(bytes);
  if (!lines.empty() && bytes.back() != '\n' && bytes.back() != '\r') lines.pop_back();
  return lines;
}

UninstallLog ReadUninstallLog(const std::vector<std::string>& lines) {
  UninstallLog log;
  // Header keys count on every line, block lines too, as in the installer's header pass.
  log.caption = script::CaptionOf(lines);
  for (const std::string& line : lines) {
    if (line.starts_with(kInstToForm)) log.installTo = line.substr(kInstToForm.size());
    const script::ScriptLine split = script::SplitScriptLine(line);
    if (UpperIs(split.Key, "LANG") && !split.Value3.empty())
      log.languageFiles.push_back(split.Value3);
  }
  // The installer's walk, rule by rule in its order of testing.
  for (std::size_t index = 0; index < lines.size(); ++index) {
    const std::string& line = lines[index];
    const script::ScriptLine split = script::SplitScriptLine(line);
    if (UpperIs(split.Key, "MAKE GROUP", "MAKEGROUP")) {
      // Only the rewritten form carries the folder the user chose; any other group line
      // names no folder this log can vouch for.
      if (line.starts_with(kMakeGroupForm)) log.folder = line.substr(kMakeGroupForm.size());
    } else if (UpperIs(line, "GROUP ITEM", "GROUPITEM")) {
      ReadGroupItem(lines, index, log);
    } else if (UpperIs(split.Key, "DISK")) {
      continue;
    } else if (UpperIs(split.Key, "INI FILE", "INIFILE")) {
      ReadIniBlock(lines, index, split.Value1, log);
    } else if (UpperIs(split.Key, "COPYTOWIN")) {
      log.files.push_back({CopyKind::Windows, split.Value2});
    } else if (UpperIs(split.Key, "COPYTOWINSYS")) {
      log.files.push_back({CopyKind::System, split.Value2});
    } else if (UpperIs(split.Key, "COPYTOBASE")) {
      log.files.push_back({CopyKind::Base, split.Value2});
    } else if (UpperIs(split.Value1, "REGISTRY ITEM")) {
      ReadRegistryItem(lines, index, log);
    }
  }
  return log;
}

}  // namespace uninst
