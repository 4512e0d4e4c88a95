// Profile (INI) files of the emulated machine, written through its Files service so that
// paths resolve inside the machine and file faults apply.
#pragma once

#include <optional>
#include <string>

#include "platform/Files.h"
#include "platform/Profiles.h"
#include "platform/sandbox/Faults.h"

namespace sandbox {

class SandboxProfiles : public platform::Profiles {
 public:
  // `files` and `faults` must outlive this object; faults are read at every call.
  SandboxProfiles(platform::Files& files, const Faults& faults);

  // WritePrivateProfileStringA, with the editing rules of ProfileText.h. A missing file
  // is created (not when there is nothing to delete); its directory must exist. False when
  // the faults refuse the file, or the file cannot be read or written.
  bool WriteString(const std::string& section, const std::optional<std::string>& key,
                   const std::optional<std::string>& value, const std::string& fileName) override;
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& fallback, const std::string& fileName) override;

  // The path a profile file name stands for: a name without "\", "/" or ":" lies in the
  // Windows directory, any other name is used as given.
  std::string ProfilePath(const std::string& fileName);

 private:
  bool Refused(const std::string& fileName, const std::string& path) const;

  platform::Files& files_;
  const Faults& faults_;
};

}  // namespace sandbox
