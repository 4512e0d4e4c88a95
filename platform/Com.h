// Self-registration of COM servers and type libraries.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// How far a call of a DLL's "DllRegisterServer" got.
struct DllRegisterOutcome {
  enum class Stage {
    NotLoaded,     // LoadLibraryA failed
    NoEntryPoint,  // GetProcAddress found no "DllRegisterServer"
    Called,        // the entry point ran and gave `result`
  };
  Stage stage = Stage::NotLoaded;
  std::int32_t result = 0;  // the HRESULT, when called
};

class Com {
 public:
  virtual ~Com() = default;
  // LoadLibraryA(path), GetProcAddress("DllRegisterServer"), the call, FreeLibrary.
  virtual DllRegisterOutcome CallDllRegisterServer(const std::string& path) = 0;
  // LoadTypeLib(path), GetLibAttr, GetDocumentation(-1) for the help file, RegisterTypeLib
  // with the help file's directory, ReleaseTLibAttr. The first failing HRESULT, or kSOk.
  virtual std::int32_t RegisterTypeLibrary(const std::string& fullPath) = 0;
};

}  // namespace platform
