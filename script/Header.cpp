#include "script/Header.h"

#include "script/ScriptLine.h"
#include "script/Text.h"

namespace script {

HeaderKey MatchHeaderKey(std::string_view key) {
  struct Entry {
    const char* name;
    HeaderKey key;
  };
  static constexpr Entry kKeys[] = {
      {"INSTTO", HeaderKey::InstTo},         {"CAPTION", HeaderKey::Caption},
      {"OSTYPE", HeaderKey::OsType},         {"CSDVERSION", HeaderKey::CsdVersion},
      {"REBOOT", HeaderKey::Reboot},         {"PROCESS", HeaderKey::Process},
      {"UNINSTALL", HeaderKey::Uninstall},   {"LANG", HeaderKey::Lang},
      {"COMPRESSED", HeaderKey::Compressed},
  };
  for (const Entry& entry : kKeys)
    if (EqualsUpper(key, entry.name)) return entry.key;
  return HeaderKey::None;
}

std::optional<std::string> CaptionOf(const std::vector<std::string>& lines) {
  std::optional<std::string> caption;
  for (const std::string& line : lines) {
    const ScriptLine split = SplitScriptLine(line);
    if (MatchHeaderKey(split.Key) == HeaderKey::Caption) caption = split.Value1;
  }
  return caption;
}

bool IsFlagOn(std::string_view value) {
  return EqualsUpper(value, "TRUE") || EqualsUpper(value, "YES");
}

OsTypeCheck CheckOSType(std::string_view value, std::uint32_t platformId) {
  if (EqualsUpper(value, "WINNT/95") || EqualsUpper(value, "WIN95/NT"))
    return {false, "Windows 95/NT"};
  if (EqualsUpper(value, "WIN95")) return {platformId != 1, "Windows 95"};
  if (EqualsUpper(value, "WINNT")) return {platformId != 2, "Windows NT 4.0"};
  return {false, ""};
}

bool CheckCSDVersion(std::string_view value, std::string_view systemCsdVersion) {
  return UpperAscii(TrimBlanks(value)) == UpperAscii(TrimBlanks(systemCsdVersion));
}

std::string OsTypeMessage(const std::string& name) {
  return "Program can be started only in operating system " + name + "." +
         "\r\n\r\nThe installation will be terminated.";
}

std::string CsdVersionMessage(const std::string& value) {
  return "CSD version of the operation system \x84" + value + "\x94 not found.\r\n" +
         "Please, install this CSD version into your operation system and then start "
         "installation program again.\r\nThe installation will be terminated.";
}

}  // namespace script
