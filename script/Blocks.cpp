#include "script/Blocks.h"

#include "script/Text.h"

namespace script {

DriverRule MatchDriverRule(std::string_view line, const ScriptLine& split) {
  const std::string key = UpperAscii(split.Key);
  if (key == "MAKE GROUP" || key == "MAKEGROUP") return DriverRule::MakeGroup;
  const std::string whole = UpperAscii(line);
  if (whole == "GROUP ITEM" || whole == "GROUPITEM") return DriverRule::GroupItem;
  if (key == "DISK") return DriverRule::Disk;
  if (key == "INI FILE" || key == "INIFILE") return DriverRule::IniFile;
  if (key == "COPYTOWIN") return DriverRule::CopyToWin;
  if (key == "COPYTOWINSYS") return DriverRule::CopyToWinSys;
  if (key == "COPYTOBASE") return DriverRule::CopyToBase;
  if (EqualsUpper(split.Value1, "REGISTRY ITEM")) return DriverRule::RegistryItem;
  return DriverRule::None;
}

bool IsCopyRule(DriverRule rule) {
  return rule == DriverRule::CopyToWin || rule == DriverRule::CopyToWinSys ||
         rule == DriverRule::CopyToBase;
}

bool IsGroupItemEnd(std::string_view line) {
  const std::string upper = UpperAscii(line);
  return upper == "END OF GROUP ITEM" || upper == "ENDOFGROUPITEM";
}

bool IsIniEnd(std::string_view line) {
  const std::string upper = UpperAscii(line);
  return upper == "END OF INI" || upper == "ENDOFINI";
}

bool IsRegistryItemEnd(std::string_view line) {
  const std::string upper = UpperAscii(line);
  return upper == "END OF REGISTRY ITEM" || upper == "ENDOFREGISTRYITEM";
}

RegistryField MatchRegistryField(std::string_view key) {
  const std::string upper = UpperAscii(key);
  if (upper == "KEYROOT") return RegistryField::Root;
  if (upper == "KEYLEVEL") return RegistryField::Level;
  if (upper == "KEYNAME") return RegistryField::Name;
  if (upper == "KEYNAMEVALUE") return RegistryField::Value;
  if (upper == "KEYTYPE") return RegistryField::Type;
  return RegistryField::None;
}

RegistryValueType MatchRegistryValueType(std::string_view type) {
  const std::string upper = UpperAscii(type);
  if (upper == "INTEGER") return RegistryValueType::Integer;
  if (upper == "STRING") return RegistryValueType::String;
  if (upper == "BOOLEAN") return RegistryValueType::Boolean;
  return RegistryValueType::None;
}

GroupItemField MatchGroupItemField(std::string_view key) {
  const std::string upper = UpperAscii(key);
  if (upper == "FILE") return GroupItemField::File;
  if (upper == "TITLE") return GroupItemField::Title;
  if (upper == "PATH") return GroupItemField::Path;
  return GroupItemField::None;
}

bool IsIniSection(std::string_view key) {
  return UpperAscii(key) == "SECTION";
}

}  // namespace script
