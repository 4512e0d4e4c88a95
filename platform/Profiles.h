// Profile (INI) files.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform {

class Profiles {
 public:
  virtual ~Profiles() = default;
  // WritePrivateProfileStringA: a file name without directory lies in the Windows
  // directory. A missing key deletes the whole section, a missing value deletes the key.
  // False when the write is refused.
  virtual bool WriteString(const std::string& section, const std::optional<std::string>& key,
                           const std::optional<std::string>& value,
                           const std::string& fileName) = 0;
  // GetPrivateProfileStringA for one key; `fallback` when the key is not there.
  virtual std::string ReadString(const std::string& section, const std::string& key,
                                 const std::string& fallback, const std::string& fileName) = 0;
  // GetPrivateProfileSectionA: every line of the section ("key=value", a key that comes
  // twice twice), in order; empty when the file or the section is missing. Nothing when the
  // section cannot be read whole (a file that cannot be read, a section too long for the
  // call): written back, it would lose lines.
  virtual std::optional<std::vector<std::string>> ReadSection(const std::string& section,
                                                              const std::string& fileName) = 0;
  // WritePrivateProfileSectionA: the section's lines replaced by `lines`, the section made
  // when missing. False when the write is refused.
  virtual bool WriteSection(const std::string& section, const std::vector<std::string>& lines,
                            const std::string& fileName) = 0;
};

}  // namespace platform
