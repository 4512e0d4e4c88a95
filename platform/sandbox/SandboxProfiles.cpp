#include "platform/sandbox/SandboxProfiles.h"

#include "platform/FileText.h"
#include "platform/sandbox/ProfileText.h"
#include "script/Text.h"

namespace sandbox {

SandboxProfiles::SandboxProfiles(platform::Files& files, const Faults& faults)
    : files_(files), faults_(faults) {}

std::string SandboxProfiles::ProfilePath(const std::string& fileName) {
  if (fileName.find_first_of("\\/:") != std::string::npos) return fileName;
  return files_.WindowsDirectory() + "\\" + fileName;
}

bool SandboxProfiles::Refused(const std::string& fileName, const std::string& path) const {
  if (faults_.profileWritesRefused) return true;
  for (const std::string& refused : faults_.refusedProfileFiles)
    if (script::EqualsUpper(refused, fileName) || script::EqualsUpper(refused, path)) return true;
  return false;
}

bool SandboxProfiles::WriteString(const std::string& section, const std::optional<std::string>& key,
                                  const std::optional<std::string>& value,
                                  const std::string& fileName) {
  const std::string path = ProfilePath(fileName);
  if (Refused(fileName, path)) return false;
  std::optional<std::string> text = platform::ReadWholeFile(files_, path);
  const bool exists = text.has_value();
  if (!exists) {
    // A file that is there but cannot be read (held open, say) must not be overwritten.
    if (files_.GetAttributes(path) != platform::kInvalidFileAttributes) return false;
    text.emplace();
  }
  std::string changed;
  if (!key) {
    changed = DeleteProfileSection(*text, section);
  } else if (!value) {
    changed = DeleteProfileEntry(*text, section, *key);
  } else {
    changed = SetProfileEntry(*text, section, *key, *value);
  }
  // Deleting what is not there leaves the file alone (and creates none).
  if (changed == *text && (exists || !key || !value)) return true;
  return platform::WriteWholeFile(files_, path, changed);
}

std::string SandboxProfiles::ReadString(const std::string& section, const std::string& key,
                                        const std::string& fallback, const std::string& fileName) {
  std::optional<std::string> text = platform::ReadWholeFile(files_, ProfilePath(fileName));
  if (!text) return fallback;
  return ReadProfileEntry(*text, section, key).value_or(fallback);
}

}  // namespace sandbox
