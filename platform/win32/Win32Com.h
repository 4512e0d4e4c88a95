// Self-registration of COM servers and type libraries on kernel32 and oleaut32.
#pragma once

#include "platform/Com.h"

namespace win32 {

// The Com service of the running Windows.
class Win32Com final : public platform::Com {
 public:
  platform::DllRegisterOutcome CallDllRegisterServer(const std::string& path) override;
  platform::DllRegisterOutcome CallDllUnregisterServer(const std::string& path) override;
  std::int32_t RegisterTypeLibrary(const std::string& fullPath) override;
  platform::TypeLibUnregisterOutcome UnregisterTypeLibrary(const std::string& fullPath) override;
};

}  // namespace win32
