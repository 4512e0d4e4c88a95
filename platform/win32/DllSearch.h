// Where DLLs are looked for. An installer runs from a download folder or a network share,
// where anyone may have left a DLL named like a system one; none of those may ever be
// loaded into it.
#pragma once

#include <string>
#include <vector>

#include "platform/win32/Handles.h"

namespace win32 {

// Limits the search of every later DLL load of the process (the system's own loads
// included) to the system directory, and loads ahead, by full path, the system DLLs that
// the common controls load by name later on. Called first thing at the program's entry;
// the DLLs the program imports statically are loaded before that and must all be known
// system DLLs. The program keeps the result until it ends.
std::vector<UniqueLibrary> RestrictDllSearchToSystem();

// Loads the system DLL `name` (e.g. "lz32.dll") from the system directory by its full path.
UniqueLibrary LoadSystemLibrary(const char* name);

// An export of a system DLL the program has loaded already (kernel32, oleaut32), which not
// every Windows has; null when this one lacks it. Nothing is loaded to ask.
template <typename Function>
Function LoadedFunction(const char* module, const char* name) {
  HMODULE loaded = ::GetModuleHandleA(module);
  if (!loaded) return nullptr;
    // GetProcAddress gives a generic function pointer; the cast names the entry's real type.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wcast-function-type"
  return reinterpret_cast<Function>(::GetProcAddress(loaded, name));
#pragma GCC diagnostic pop
}

// Loads the DLL at the full path `path`, its own directory searched for its dependencies
// (a COM server may bring DLLs of its own beside it), and beyond that only the directories
// RestrictDllSearchToSystem left. Any other path (a bare name) is looked up in those alone.
UniqueLibrary LoadLibraryWithItsDirectory(const std::string& path);

}  // namespace win32
