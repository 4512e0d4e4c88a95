// The header keys of the setup script and the operating-system checks they ask for.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace script {

// The keys the header pass acts on, in the order they are tested.
enum class HeaderKey {
  None,
  InstTo,
  Caption,
  OsType,
  CsdVersion,
  Reboot,
  Process,
  Uninstall,
  Lang,
  Compressed
};

// Which header key an upper-cased or raw `Key` field names (None when it is no header key).
HeaderKey MatchHeaderKey(std::string_view key);

// The product's name as the header pass takes it from these lines: the value of the last
// CAPTION line. Nothing when no line is one. An uninstall log tells its product by it.
std::optional<std::string> CaptionOf(const std::vector<std::string>& lines);

// True for the flag values "TRUE" and "YES" in any case; other values leave a flag alone.
bool IsFlagOn(std::string_view value);

// Outcome of the OSTYPE check: `failed` when the running platform does not match; `name`
// is the platform named in the message, empty for an unrecognised value.
struct OsTypeCheck {
  bool failed = false;
  std::string name;
};

// Checks an OSTYPE value against the running platform's id (1: Windows 95 family, 2: NT).
OsTypeCheck CheckOSType(std::string_view value, std::uint32_t platformId);

// True when a CSDVERSION value equals the system's service-pack text, both trimmed and
// upper-cased.
bool CheckCSDVersion(std::string_view value, std::string_view systemCsdVersion);

// The message shown when the OSTYPE check fails.
std::string OsTypeMessage(const std::string& name);

// The message shown when the CSDVERSION check fails.
std::string CsdVersionMessage(const std::string& value);

}  // namespace script
