#include "platform/win32/Win32Com.h"

#include "platform/win32/Convert.h"
#include "platform/win32/DllSearch.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32Logic.h"
#include "script/Text.h"

namespace win32 {
namespace {

// The entry points every self-registering DLL exports.
using SelfRegistrationFunction = HRESULT(STDAPICALLTYPE*)();
// oleaut32 exports that the first releases of Windows 95 and NT 4.0 may lack: looked up
// when needed, never imported.
using UnRegisterTypeLibFunction = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);
using QueryPathOfRegTypeLibFunction = HRESULT(WINAPI*)(REFGUID, USHORT, USHORT, LCID, LPBSTR);

// The attributes of a type library, given back to it when they go out of scope.
class LibraryAttributes {
 public:
  explicit LibraryAttributes(ITypeLib& library) : library_(library) {}
  ~LibraryAttributes() {
    if (attributes_) library_.ReleaseTLibAttr(attributes_);
  }
  LibraryAttributes(const LibraryAttributes&) = delete;
  LibraryAttributes& operator=(const LibraryAttributes&) = delete;

  HRESULT Read() { return library_.GetLibAttr(&attributes_); }
  const TLIBATTR& Get() const { return *attributes_; }

 private:
  ITypeLib& library_;
  TLIBATTR* attributes_ = nullptr;
};

// Loads the DLL by its full path, with its own directory searched for the DLLs it needs,
// and calls the entry point `name`; the library is freed however the call ends.
platform::DllRegisterOutcome CallSelfRegistration(const std::string& path, const char* name) {
  platform::DllRegisterOutcome outcome;
  UniqueLibrary library = LoadLibraryWithItsDirectory(path);
  if (!library) return outcome;
    // GetProcAddress gives a generic function pointer; the cast names the entry's real type.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wcast-function-type"
  const auto entry =
      reinterpret_cast<SelfRegistrationFunction>(::GetProcAddress(library.Get(), name));
#pragma GCC diagnostic pop
  if (!entry) {
    outcome.stage = platform::DllRegisterOutcome::Stage::NoEntryPoint;
    return outcome;
  }
  outcome.stage = platform::DllRegisterOutcome::Stage::Called;
  outcome.result = entry();
  return outcome;
}

}  // namespace

platform::DllRegisterOutcome Win32Com::CallDllRegisterServer(const std::string& path) {
  return CallSelfRegistration(path, "DllRegisterServer");
}

platform::DllRegisterOutcome Win32Com::CallDllUnregisterServer(const std::string& path) {
  return CallSelfRegistration(path, "DllUnregisterServer");
}

std::int32_t Win32Com::RegisterTypeLibrary(const std::string& fullPath) {
  std::wstring widePath = AnsiToWide(fullPath);
  ComPtr<ITypeLib> library;
  HRESULT result = ::LoadTypeLib(widePath.c_str(), library.Out());
  if (FAILED(result)) return result;
  LibraryAttributes attributes(*library.Get());
  result = attributes.Read();
  if (FAILED(result)) return result;
  UniqueBstr helpFile;
  result = library->GetDocumentation(-1, nullptr, nullptr, nullptr, helpFile.Out());
  if (FAILED(result)) return result;
  std::wstring helpDirectory = AnsiToWide(DirectoryPart(WideToAnsi(helpFile.Get())));
  result = ::RegisterTypeLib(library.Get(), widePath.data(),
                             helpDirectory.empty() ? nullptr : helpDirectory.data());
  return result;
}

platform::TypeLibUnregisterOutcome Win32Com::UnregisterTypeLibrary(const std::string& fullPath) {
  using Stage = platform::TypeLibUnregisterOutcome::Stage;
  const auto unregister =
      LoadedFunction<UnRegisterTypeLibFunction>("oleaut32.dll", "UnRegisterTypeLib");
  const auto queryPath =
      LoadedFunction<QueryPathOfRegTypeLibFunction>("oleaut32.dll", "QueryPathOfRegTypeLib");
  if (!unregister || !queryPath) return {Stage::Unsupported, 0};
  const std::wstring widePath = AnsiToWide(fullPath);
  ComPtr<ITypeLib> library;
  HRESULT result = ::LoadTypeLib(widePath.c_str(), library.Out());
  if (FAILED(result)) return {Stage::Called, result};
  LibraryAttributes attributes(*library.Get());
  result = attributes.Read();
  if (FAILED(result)) return {Stage::Called, result};
  const TLIBATTR& identity = attributes.Get();
  // Another product may have registered the same library from a file of its own since:
  // that registration is not ours to take.
  UniqueBstr registered;
  if (FAILED(queryPath(identity.guid, identity.wMajorVerNum, identity.wMinorVerNum, identity.lcid,
                       registered.Out())) ||
      !script::EqualsUpper(WideToAnsi(registered.Get()), fullPath)) {
    return {Stage::OtherFile, 0};
  }
  return {Stage::Called, unregister(identity.guid, identity.wMajorVerNum, identity.wMinorVerNum,
                                    identity.lcid, identity.syskind)};
}

}  // namespace win32
