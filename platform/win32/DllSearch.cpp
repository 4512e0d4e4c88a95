#include "platform/win32/DllSearch.h"

namespace win32 {
namespace {

// The flags of SetDefaultDllDirectories and LoadLibraryExA, which older headers and older
// systems lack (Windows 8, or 7 and Vista with their loader update).
constexpr DWORD kSearchDllLoadDir = 0x00000100;   // LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR
constexpr DWORD kSearchSystem32 = 0x00000800;     // LOAD_LIBRARY_SEARCH_SYSTEM32
constexpr DWORD kSearchDefaultDirs = 0x00001000;  // LOAD_LIBRARY_SEARCH_DEFAULT_DIRS

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryFunction = BOOL(WINAPI*)(LPCSTR);

// A kernel32 export that not every Windows has; null when this one lacks it.
template <typename Function>
Function Kernel32Function(const char* name) {
  return LoadedFunction<Function>("kernel32.dll", name);
}

// True when the loader knows the LOAD_LIBRARY_SEARCH_... flags; SetDefaultDllDirectories
// came with them.
bool LoaderHasSearchFlags() {
  return Kernel32Function<SetDefaultDllDirectoriesFunction>("SetDefaultDllDirectories") != nullptr;
}

// "C:\dir\x.dll" or "\\server\share\x.dll": the search flags below want such a path.
bool IsFullPath(const std::string& path) {
  const auto slash = [](char c) { return c == '\\' || c == '/'; };
  if (path.size() >= 3 && path[1] == ':' && slash(path[2])) return true;
  return path.size() >= 2 && slash(path[0]) && slash(path[1]);
}

}  // namespace

std::vector<UniqueLibrary> RestrictDllSearchToSystem() {
  auto setDefault = Kernel32Function<SetDefaultDllDirectoriesFunction>("SetDefaultDllDirectories");
  if (!setDefault || !setDefault(kSearchSystem32)) {
    // Without SetDefaultDllDirectories the most a program can do is take the current
    // directory out of the search. What remains is the program's own directory (the
    // medium, searched first), the system directories, the Windows directory and the
    // PATH: a DLL beside setup.exe still wins there, so everything the program loads itself
    // goes by full path (LoadSystemLibrary, LoadLibraryWithItsDirectory), and so do the
    // pins below. Windows 95 and NT 4 lack even SetDllDirectoryA.
    if (auto setDirectory = Kernel32Function<SetDllDirectoryFunction>("SetDllDirectoryA")) {
      setDirectory("");
    }
  }
  // The common controls of version 6 load uxtheme.dll by name when they first draw. Where
  // the search above could not be limited, that name would be looked up beside setup.exe
  // first; and Wine's loader resolves delay-loaded imports without the default
  // directories. A DLL already loaded is taken by its name without any search, so it is
  // loaded here from the system directory, before any window exists.
  std::vector<UniqueLibrary> pinned;
  for (const char* name : {"uxtheme.dll"}) {
    if (UniqueLibrary library = LoadSystemLibrary(name)) pinned.push_back(std::move(library));
  }
  return pinned;
}

UniqueLibrary LoadSystemLibrary(const char* name) {
  char directory[MAX_PATH + 1] = {};
  const UINT length = ::GetSystemDirectoryA(directory, sizeof directory);
  if (length == 0 || length >= sizeof directory) return UniqueLibrary();
  std::string path(directory, length);
  if (path.back() != '\\') path += '\\';
  path += name;
  return UniqueLibrary(::LoadLibraryA(path.c_str()));
}

UniqueLibrary LoadLibraryWithItsDirectory(const std::string& path) {
  if (!IsFullPath(path)) return UniqueLibrary(::LoadLibraryExA(path.c_str(), nullptr, 0));
  if (LoaderHasSearchFlags()) {
    return UniqueLibrary(
        ::LoadLibraryExA(path.c_str(), nullptr, kSearchDllLoadDir | kSearchDefaultDirs));
  }
  // Older loaders: the DLL's own directory takes the place of the program's in the search
  // for its dependencies.
  return UniqueLibrary(::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

}  // namespace win32
