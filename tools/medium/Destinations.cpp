#include "tools/medium/Destinations.h"

#include "engine/FileUtil32.h"
#include "script/Text.h"
#include "tools/medium/MediumDir.h"

namespace medium {
namespace {

constexpr std::size_t kMaxPath = 260;  // with the terminating zero

constexpr const char* kDevices[] = {"CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3",  "COM4",
                                    "COM5", "COM6", "COM7", "COM8", "COM9", "LPT1", "LPT2",  "LPT3",
                                    "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9", "CLOCK$"};

bool NamesDevice(const std::vector<std::string>& parts) {
  for (const std::string& part : parts) {
    const std::string base = script::UpperAscii(script::TrimBlanks(part.substr(0, part.find('.'))));
    for (const char* device : kDevices)
      if (base == device) return true;
  }
  return false;
}

// The system takes "." for the folder itself, and a name ending in "\" is a folder's.
bool NamesFolder(const std::string& dest) {
  const std::string trimmed = script::TrimBlanks(dest);
  if (trimmed.empty() || trimmed.back() == '\\' || trimmed.back() == '/') return true;
  const std::size_t slash = trimmed.find_last_of("\\/");
  const std::string last = slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
  return last == "." || last == "..";
}

bool HoldsForbiddenCharacter(const std::string& dest) {
  for (const char c : dest)
    if (static_cast<unsigned char>(c) < 32 ||
        std::string_view("<>\"|?*").find(c) != std::string_view::npos)
      return true;
  return false;
}

}  // namespace

std::vector<std::string> DestinationErrors(const std::string& dest, const std::string& target,
                                           int result) {
  const std::string fails = ": the copy fails (result " + std::to_string(result) + ")";
  const std::optional<std::vector<std::string>> parts = RelativeParts(dest);
  if (!parts) return {"destination " + dest + " leads out of its directory"};
  std::vector<std::string> errors;
  if (NamesFolder(dest))
    errors.push_back("destination " + dest + " names a folder, not a file" + fails);
  if (HoldsForbiddenCharacter(dest))
    errors.push_back("destination " + dest +
                     " holds a character no file name may have (<>\"|?* or a control character)" +
                     fails);
  if (NamesDevice(*parts)) errors.push_back("destination " + dest + " names a device");
  const std::string full = engine::DirWithSlash(target) + dest;
  if (full.size() >= kMaxPath)
    errors.push_back("destination " + full + " is " + std::to_string(full.size()) +
                     " characters long, more than a path may have (259)");
  return errors;
}

std::optional<std::string> DestinationKey(const std::string& dest) {
  const std::optional<std::vector<std::string>> parts = RelativeParts(dest);
  if (!parts) return std::nullopt;
  std::string key;
  for (const std::string& part : *parts)
    key += (key.empty() ? "" : "\\") + script::UpperAscii(part);
  return key;
}

}  // namespace medium
