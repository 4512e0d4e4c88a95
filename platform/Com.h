// Self-registration of COM servers and type libraries, and taking it back.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// How far a call of a DLL's "DllRegisterServer" or "DllUnregisterServer" got.
struct DllRegisterOutcome {
  enum class Stage {
    NotLoaded,     // LoadLibraryA failed
    NoEntryPoint,  // GetProcAddress found no such export
    Called,        // the entry point ran and gave `result`
  };
  Stage stage = Stage::NotLoaded;
  std::int32_t result = 0;  // the HRESULT, when called
};

// How an attempt to take back a type library's registration ended.
struct TypeLibUnregisterOutcome {
  enum class Stage {
    Unsupported,  // this Windows' oleaut32 has no UnRegisterTypeLib
    OtherFile,    // the registration of the library's identity names another file: kept
    Called,       // `result`: the first failing HRESULT of the steps, or kSOk
  };
  Stage stage = Stage::Called;
  std::int32_t result = 0;
};

class Com {
 public:
  virtual ~Com() = default;
  // LoadLibraryA(path), GetProcAddress("DllRegisterServer"), the call, FreeLibrary.
  virtual DllRegisterOutcome CallDllRegisterServer(const std::string& path) = 0;
  // The same with "DllUnregisterServer".
  virtual DllRegisterOutcome CallDllUnregisterServer(const std::string& path) = 0;
  // LoadTypeLib(path), GetLibAttr, GetDocumentation(-1) for the help file, RegisterTypeLib
  // with the help file's directory, ReleaseTLibAttr. The first failing HRESULT, or kSOk.
  virtual std::int32_t RegisterTypeLibrary(const std::string& fullPath) = 0;
  // LoadTypeLib(path), GetLibAttr, and UnRegisterTypeLib of its identity (library id,
  // version, locale, system kind) when the registration of that identity names this file.
  virtual TypeLibUnregisterOutcome UnregisterTypeLibrary(const std::string& fullPath) = 0;
};

}  // namespace platform
