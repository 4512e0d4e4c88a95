// How the installation driver recognises the lines of the setup script: the rule a line
// starts, the end line of each block, and the keys the lines inside a block may use.
// The driver and the medium checker both read the script through these.
#pragma once

#include <string_view>

#include "script/ScriptLine.h"

namespace script {

// The driver's rules, in the order it tests them.
enum class DriverRule {
  None,
  MakeGroup,
  GroupItem,
  Disk,
  IniFile,
  CopyToWin,
  CopyToWinSys,
  CopyToBase,
  RegistryItem,
};

// The first driver rule that `line` (split into `split`) matches; None for header keys,
// remarks, blank lines and stray block lines.
DriverRule MatchDriverRule(std::string_view line, const ScriptLine& split);

// True for the three copy rules.
bool IsCopyRule(DriverRule rule);

// End lines of the three blocks: the whole untrimmed line, upper-cased.
bool IsGroupItemEnd(std::string_view line);
bool IsIniEnd(std::string_view line);
bool IsRegistryItemEnd(std::string_view line);

// The keys of a REGISTRY ITEM block, matched on the untrimmed key before the first "=".
enum class RegistryField { None, Root, Level, Name, Value, Type };
RegistryField MatchRegistryField(std::string_view key);

// The value types a KEYTYPE may name, in any case; None writes no value.
enum class RegistryValueType { None, Integer, String, Boolean };
RegistryValueType MatchRegistryValueType(std::string_view type);

// The keys of a GROUP ITEM block.
enum class GroupItemField { None, File, Title, Path };
GroupItemField MatchGroupItemField(std::string_view key);

// True when the key of an INI FILE block line starts a section.
bool IsIniSection(std::string_view key);

}  // namespace script
