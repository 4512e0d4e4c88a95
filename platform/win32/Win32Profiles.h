// Profile (INI) files on the kernel32 ...A calls.
#pragma once

#include "platform/Profiles.h"

namespace win32 {

// The Profiles service of the running Windows.
class Win32Profiles final : public platform::Profiles {
 public:
  bool WriteString(const std::string& section, const std::optional<std::string>& key,
                   const std::optional<std::string>& value, const std::string& fileName) override;
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& fallback, const std::string& fileName) override;
  std::optional<std::vector<std::string>> ReadSection(const std::string& section,
                                                      const std::string& fileName) override;
  bool WriteSection(const std::string& section, const std::vector<std::string>& lines,
                    const std::string& fileName) override;
};

}  // namespace win32
