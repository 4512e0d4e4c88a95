#include "uninst/Remover.h"

#include <algorithm>
#include <map>
#include <memory>
#include <optional>

#include "engine/FileExists.h"
#include "engine/FileUtil32.h"
#include "platform/FileText.h"
#include "script/Text.h"
#include "uninst/IniText.h"
#include "uninst/RegistryCleanup.h"
#include "uninst/SafePaths.h"

namespace uninst {
namespace {

constexpr char kProgramManager[] = "PROGMAN";
constexpr char kSharedDllsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\UnInstall\\";

std::size_t Depth(const std::string& path) {
  return std::ranges::count(path, '\\');
}

// True when the directory holds nothing but its "." and ".." entries.
bool IsEmptyDirectory(platform::Files& files, const std::string& directory) {
  for (const platform::FindData& entry : files.Find(directory + "\\*")) {
    if (entry.name != "." && entry.name != "..") return false;
  }
  return true;
}

bool IsDirectory(platform::Files& files, const std::string& path) {
  const std::uint32_t attributes = files.GetAttributes(path);
  return attributes != platform::kInvalidFileAttributes &&
         (attributes & platform::kFileAttributeDirectory) != 0;
}

}  // namespace

std::string Quoted(const std::string& path) {
  return "\x84" + script::UpperAscii(path) + "\x94";
}

Remover::Remover(platform::Platform& platform, UninstallLog log, RemovalTarget target,
                 RemovalHooks hooks)
    : platform_(platform),
      log_(std::move(log)),
      target_(std::move(target)),
      hooks_(std::move(hooks)),
      windowsDir_(NormalPath(platform.files.WindowsDirectory())),
      systemDir_(NormalPath(platform.files.SystemDirectory())),
      destDir_(ParentOf(NormalPath(target_.logPath))) {}

int Remover::StepCount() const {
  // The group, every entry, value and file, then directories, log and entry.
  const std::size_t steps = (log_.folder ? 1 : 0) + log_.iniEntries.size() +
                            log_.registryValues.size() + log_.files.size() +
                            log_.languageFiles.size() + 3;
  return static_cast<int>(steps);
}

void Remover::Step(const std::string& item) {
  if (hooks_.showItem) hooks_.showItem(item);
}

bool Remover::Allowed(const std::string& path) const {
  // A destination on a drive root or in the Windows directory itself still only lets go
  // of the names the log gives below it.
  return (destDir_.size() > 2 && IsInside(path, destDir_)) || IsInside(path, windowsDir_) ||
         IsInside(path, systemDir_);
}

std::string Remover::DirectoryOf(CopyKind kind) const {
  switch (kind) {
    case CopyKind::Windows:
      return windowsDir_;
    case CopyKind::System:
      return systemDir_;
    case CopyKind::Base:
      break;
  }
  return destDir_;
}

std::vector<std::string> Remover::Run() {
  failures_.clear();
  if (destDir_.size() <= 2) {
    Fail("Uninstall log " + Quoted(target_.logPath));
    return failures_;
  }
  RemoveGroup();
  RemoveIniEntries();
  RemoveRegistryValues();
  ReleaseSharedFiles();
  RemoveFiles();
  RemoveLogAndDirectories();
  RemoveEntry();
  RemoveUninstaller();
  return failures_;
}

void Remover::RemoveGroup() {
  if (!log_.folder) return;
  const std::string& folder = *log_.folder;
  Step("Program group " + folder);
  // The shell that answers for Program Manager deletes an item only from the group shown
  // last (and some crash on DeleteItem before any group was shown); each command goes on
  // its own, as some run only the first of several.
  std::vector<std::string> commands{"[ShowGroup(" + folder + ",1)]"};
  for (auto title = log_.itemTitles.rbegin(); title != log_.itemTitles.rend(); ++title) {
    if (!title->empty()) commands.push_back("[DeleteItem(" + *title + ")]");
  }
  commands.push_back("[DeleteGroup(" + folder + ")]");
  std::unique_ptr<platform::DdeConversation> conversation =
      platform_.dde.Connect(kProgramManager, kProgramManager);
  bool sent = conversation != nullptr;
  for (const std::string& command : commands) {
    if (sent) sent = conversation->Execute(command);
  }
  if (!sent) Fail("Program group " + Quoted(folder));
}

void Remover::RemoveIniEntries() {
  platform::Files& files = platform_.files;
  // File path -> the sections whose entries went, to tidy the file afterwards.
  std::map<std::string, std::set<std::string>> touched;
  for (auto entry = log_.iniEntries.rbegin(); entry != log_.iniEntries.rend(); ++entry) {
    Step("INI entry " + entry->key);
    // A bare name is a file of the Windows directory, as the profile writer takes it; a
    // name with a directory must be a full path inside the directories we may touch.
    const bool bare = entry->file.find_first_of("\\/:") == std::string::npos;
    const std::string path = bare ? JoinInside(windowsDir_, entry->file) : NormalPath(entry->file);
    if (path.empty() || !Allowed(path) || !engine::FileExists(files, path)) continue;
    if (!platform_.profiles.WriteString(entry->section, entry->key, std::nullopt, path)) {
      Fail("INI entry " + entry->key + " [" + entry->section + "] in " + Quoted(path));
      continue;
    }
    touched[path].insert(entry->section);
  }
  for (const auto& [path, sections] : touched) TidyIniFile(path, sections);
}

void Remover::TidyIniFile(const std::string& path, const std::set<std::string>& sections) {
  platform::Files& files = platform_.files;
  for (const std::string& section : sections) {
    const std::optional<std::string> text = platform::ReadWholeFile(files, path);
    if (!text) return;
    if (!SectionHasLines(*text, section))
      platform_.profiles.WriteString(section, std::nullopt, std::nullopt, path);
  }
  const std::optional<std::string> text = platform::ReadWholeFile(files, path);
  if (text && IsBlankText(*text) && !files.DeleteFile(path)) Fail("File " + Quoted(path));
}

void Remover::RemoveRegistryValues() {
  platform::Registry& registry = platform_.registry;
  for (auto value = log_.registryValues.rbegin(); value != log_.registryValues.rend(); ++value) {
    Step("Registry value " + value->name);
    const platform::HKey root = RootKeyOf(value->root);
    const std::vector<std::string> levels = KeyLevels(value->keyPath);
    const std::string where = value->root + "\\" + JoinLevels(levels, levels.size());
    const Removal removal = DeleteRegistryValue(registry, root, levels, value->name);
    if (removal == Removal::Failed) {
      Fail("Registry value " + value->name + " in " + Quoted(where));
    } else if (!PruneEmptyKeys(registry, root, levels)) {
      Fail("Registry key " + Quoted(where));
    }
  }
}

void Remover::ReleaseSharedFiles() {
  for (auto file = log_.files.rbegin(); file != log_.files.rend(); ++file) {
    if (file->kind == CopyKind::Base) continue;
    const std::string directory = file->kind == CopyKind::Windows
                                      ? platform_.files.WindowsDirectory()
                                      : platform_.files.SystemDirectory();
    // The count's name is the path exactly as the installer joined it.
    const std::string countName = engine::DirWithSlash(directory) + file->name;
    const std::string path = JoinInside(DirectoryOf(file->kind), file->name);
    Step("Shared file " + file->name);
    if (!path.empty()) ReleaseSharedFile(countName, path);
  }
}

void Remover::ReleaseSharedFile(const std::string& countName, const std::string& path) {
  platform::Registry& registry = platform_.registry;
  // The installer raises only counts that were there before: a file without a count is a
  // Windows or system file that may have been there before too, and it stays.
  if (!engine::FileExists(platform_.files, path)) return;
  OpenedKey key(registry, platform::kHkeyLocalMachine, kSharedDllsKey);
  if (key.Handle() == 0) return;
  std::uint32_t type = 0;
  std::string data;
  if (registry.QueryValue(key.Handle(), countName, type, data) != platform::kErrorSuccess) return;
  const std::optional<std::uint32_t> count = ReadDword(registry, key.Handle(), countName);
  if (!count) {
    Fail("Shared-file count of " + Quoted(path));
    return;
  }
  const std::uint32_t left = *count > 0 ? *count - 1 : 0;
  if (left > 0) {
    if (!WriteDword(registry, key.Handle(), countName, left))
      Fail("Shared-file count of " + Quoted(path));
    return;
  }
  const bool remove = hooks_.removeUnusedSharedFile && hooks_.removeUnusedSharedFile(path);
  if (!remove) {
    if (!WriteDword(registry, key.Handle(), countName, 0))
      Fail("Shared-file count of " + Quoted(path));
    return;
  }
  if (registry.DeleteValue(key.Handle(), countName) != platform::kErrorSuccess)
    Fail("Shared-file count of " + Quoted(path));
  if (!platform_.files.DeleteFile(path)) Fail("File " + Quoted(path));
}

void Remover::RemoveFiles() {
  // The language file was copied after the walk: it goes first.
  for (auto name = log_.languageFiles.rbegin(); name != log_.languageFiles.rend(); ++name) {
    Step("File " + *name);
    RemoveFile(JoinInside(destDir_, *name));
  }
  for (auto file = log_.files.rbegin(); file != log_.files.rend(); ++file) {
    if (file->kind != CopyKind::Base) continue;
    Step("File " + file->name);
    RemoveFile(JoinInside(destDir_, file->name));
  }
}

void Remover::RemoveFile(const std::string& path) {
  if (path.empty()) return;
  // Each directory between the file and the destination may be left empty now.
  for (std::string directory = ParentOf(path); IsInside(directory, destDir_);
       directory = ParentOf(directory)) {
    directories_.insert(directory);
  }
  if (!engine::FileExists(platform_.files, path)) return;
  if (!platform_.files.DeleteFile(path)) Fail("File " + Quoted(path));
}

void Remover::RemoveEmptyDirectory(const std::string& directory) {
  platform::Files& files = platform_.files;
  if (!IsDirectory(files, directory) || !IsEmptyDirectory(files, directory)) return;
  if (!files.RemoveDirectory(directory)) Fail("Directory " + Quoted(directory));
}

void Remover::RemoveLogAndDirectories() {
  Step("Directories");
  std::vector<std::string> deepestFirst(directories_.begin(), directories_.end());
  std::ranges::stable_sort(
      deepestFirst, [](const std::string& a, const std::string& b) { return Depth(a) > Depth(b); });
  for (const std::string& directory : deepestFirst) RemoveEmptyDirectory(directory);

  Step("Uninstall log");
  const std::string log = NormalPath(target_.logPath);
  if (engine::FileExists(platform_.files, log) && !platform_.files.DeleteFile(log))
    Fail("File " + Quoted(log));
  // The destination itself goes when nothing is left in it, unless it is one of the
  // system's own directories.
  const std::string upper = script::UpperAscii(destDir_);
  if (upper != script::UpperAscii(windowsDir_) && upper != script::UpperAscii(systemDir_))
    RemoveEmptyDirectory(destDir_);
}

void Remover::RemoveEntry() {
  Step("Uninstall entry");
  if (script::TrimBlanks(target_.displayName).empty()) return;
  platform::Registry& registry = platform_.registry;
  const std::vector<std::string> levels = KeyLevels(kUninstallKey + target_.displayName);
  bool removed = true;
  for (const char* name : {"DisplayName", "UnInstallString"}) {
    if (DeleteRegistryValue(registry, platform::kHkeyLocalMachine, levels, name) == Removal::Failed)
      removed = false;
  }
  if (!removed || !PruneEmptyKeys(registry, platform::kHkeyLocalMachine, levels))
    Fail("Uninstall entry " + Quoted(target_.displayName));
}

void Remover::RemoveUninstaller() {
  platform::Files& files = platform_.files;
  const std::string path = windowsDir_ + "\\" + kUninstallerName;
  if (!engine::FileExists(files, path)) return;
  // A running program cannot delete itself: its own file goes at the next restart.
  const bool running = script::EqualsUpper(NormalPath(files.ModuleFileName()), path);
  const bool done = running ? files.DeleteOnRestart(path) : files.DeleteFile(path);
  if (!done) Fail("File " + Quoted(path));
}

}  // namespace uninst
