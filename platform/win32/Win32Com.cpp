#include "platform/win32/Win32Com.h"

#include "platform/win32/Convert.h"
#include "platform/win32/DllSearch.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32Logic.h"

namespace win32 {
namespace {

// The entry point every self-registering DLL exports.
using DllRegisterServerFunction = HRESULT(STDAPICALLTYPE*)();

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

 private:
  ITypeLib& library_;
  TLIBATTR* attributes_ = nullptr;
};

}  // namespace

platform::DllRegisterOutcome Win32Com::CallDllRegisterServer(const std::string& path) {
  platform::DllRegisterOutcome outcome;
  // By its full path, with the server's own directory searched for the DLLs it needs.
  UniqueLibrary library = LoadLibraryWithItsDirectory(path);
  if (!library) return outcome;
    // GetProcAddress gives a generic function pointer; the cast names the entry's real type.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wcast-function-type"
  const auto entry = reinterpret_cast<DllRegisterServerFunction>(
      ::GetProcAddress(library.Get(), "DllRegisterServer"));
#pragma GCC diagnostic pop
  if (!entry) {
    outcome.stage = platform::DllRegisterOutcome::Stage::NoEntryPoint;
    return outcome;
  }
  outcome.stage = platform::DllRegisterOutcome::Stage::Called;
  outcome.result = entry();
  return outcome;
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

}  // namespace win32
