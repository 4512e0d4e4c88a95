// Profile (INI) files of the emulated machine, written through its Files service so that
// paths resolve inside the machine and file faults apply.
//
// Every write reaches the file before the call returns. The text of the last file written
// is kept, with the size and time the file had then: while the file is still so, a write
// that only adds lines at its end (a block filling a section of a new file, entry by
// entry) appends them instead of reading and rewriting the whole file.
#pragma once

#include <optional>
#include <string>

#include "platform/Files.h"
#include "platform/Profiles.h"
#include "platform/sandbox/Faults.h"
#include "platform/sandbox/ProfileText.h"

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
  std::optional<std::vector<std::string>> ReadSection(const std::string& section,
                                                      const std::string& fileName) override;
  bool WriteSection(const std::string& section, const std::vector<std::string>& lines,
                    const std::string& fileName) override;

  // The path a profile file name stands for: a name without "\", "/" or ":" lies in the
  // Windows directory, any other name is used as given.
  std::string ProfilePath(const std::string& fileName);

 private:
  bool Refused(const std::string& fileName, const std::string& path) const;
  // The file's size and last-write time, or nothing when it is not there.
  std::optional<std::pair<std::uint64_t, std::uint64_t>> StampOf(const std::string& path);
  // Keeps `text` as what the file at `path` now holds.
  void Remember(const std::string& path, std::string text);
  // Appends the entry when the kept text shows that is all the write changes; nothing
  // when the write must take the whole-file way, else whether it succeeded.
  std::optional<bool> TryAppend(const std::string& path, const std::string& section,
                                const std::string& key, const std::string& value);

  struct Kept {
    std::string key;  // the path, upper-cased
    std::string text;
    std::pair<std::uint64_t, std::uint64_t> stamp;
    ProfileTail tail;
  };

  platform::Files& files_;
  const Faults& faults_;
  std::optional<Kept> kept_;
};

}  // namespace sandbox
