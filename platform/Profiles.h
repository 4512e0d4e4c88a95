// Profile (INI) files.
#pragma once

#include <optional>
#include <string>

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
};

}  // namespace platform
