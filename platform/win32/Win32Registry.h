// The registry on the advapi32 ...A calls.
#pragma once

#include "platform/Registry.h"

namespace win32 {

// The Registry service of the running Windows. Keys it opens are handed to the caller, who
// closes them with CloseKey.
class Win32Registry final : public platform::Registry {
 public:
  long CreateKey(platform::HKey parent, const std::string& subKey, std::uint32_t access,
                 platform::HKey& result, bool* created = nullptr) override;
  long OpenKey(platform::HKey parent, const std::string& subKey, std::uint32_t access,
               platform::HKey& result) override;
  long CloseKey(platform::HKey key) override;
  long SetValue(platform::HKey key, const std::string& name, std::uint32_t type,
                const std::string& data) override;
  long QueryValue(platform::HKey key, const std::string& name, std::uint32_t& type,
                  std::string& data) override;
  long DeleteValue(platform::HKey key, const std::string& name) override;
  long DeleteKey(platform::HKey parent, const std::string& subKey) override;
  long QueryInfo(platform::HKey key, std::uint32_t& subKeys, std::uint32_t& values) override;
  long EnumKey(platform::HKey key, std::uint32_t index, std::string& name) override;
};

}  // namespace win32
