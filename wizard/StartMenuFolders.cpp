#include "wizard/StartMenuFolders.h"

#include "wizard/DirSource.h"

namespace {

// GetWindowsDirectoryA is called with a 120-byte buffer: a longer path does not fit.
constexpr std::size_t kWindowsDirBuffer = 120;

// The directory with exactly one trailing backslash: blanks around it trimmed, one
// trailing backslash dropped, then one added.
std::string WithOneSlash(const std::string& directory) {
  const std::size_t first = directory.find_first_not_of(' ');
  if (first == std::string::npos) return "\\";
  std::string text = directory.substr(first, directory.find_last_not_of(' ') - first + 1);
  if (!text.empty() && text.back() == '\\') text.pop_back();
  return text + "\\";
}

}  // namespace

std::string StartMenuProgramsFolder(platform::Platform& platform) {
  const std::uint32_t platformId = platform.system.Version().platformId;
  if (platformId != platform::kPlatformWindows && platformId != platform::kPlatformWin32Nt)
    return {};
  const std::string windows = platform.files.WindowsDirectory();
  if (windows.empty() || windows.size() >= kWindowsDirBuffer) return {};
  const std::string base = WithOneSlash(windows);
  if (platformId == platform::kPlatformWin32Nt) {
    const std::string folder = base + "Profiles\\All Users\\Start Menu\\Programs";
    return DirectoryExists(platform.files, folder) ? folder : std::string();
  }
  for (const char* name : {"Start Menu\\Programs",
                           "Nab\xED"
                           "dka Start\\Programy"}) {
    const std::string folder = base + name;
    if (DirectoryExists(platform.files, folder)) return folder;
  }
  return {};
}

bool ListStartMenuFolders(platform::Platform& platform, forms::ListBox& list) {
  const std::string folder = StartMenuProgramsFolder(platform);
  if (folder.empty()) return false;
  for (const platform::FindData& entry : platform.files.Find(folder + "\\*.*")) {
    if (entry.name == "." || entry.name == "..") continue;
    // Only a plain directory: any other mark (read-only, hidden, system, archive) hides it.
    if (platform.files.GetAttributes(folder + "\\" + entry.name) ==
        platform::kFileAttributeDirectory)
      list.AddItem(entry.name);
  }
  return true;
}
