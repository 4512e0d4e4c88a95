#include "uninst/Remover.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "engine/FileExists.h"
#include "engine/FileMoves.h"
#include "engine/RecordStore.h"
#include "engine/UninstallEntry.h"
#include "platform/FileText.h"
#include "script/Header.h"
#include "script/IniText.h"
#include "script/Text.h"
#include "uninst/Reasons.h"
#include "uninst/RunUninstall.h"
#include "uninst/SafePaths.h"

namespace uninst {
namespace {

using engine::NoteKind;
using engine::StateNote;

constexpr char kProgramManager[] = "PROGMAN";
constexpr char kSharedDllsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
// How deep entries nest below the list of uninstall entries, at most, when the search for
// other products' entries looks at them: far deeper than any caption goes.
constexpr int kDeepestEntry = 32;
constexpr char kNotFullPath[] = "its name is not a full path";

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

std::string RootName(platform::HKey root) {
  switch (root) {
    case platform::kHkeyClassesRoot:
      return "HKEY_CLASSES_ROOT";
    case platform::kHkeyLocalMachine:
      return "HKEY_LOCAL_MACHINE";
    case platform::kHkeyUsers:
      return "HKEY_USERS";
    case platform::kHkeyCurrentConfig:
      return "HKEY_CURRENT_CONFIG";
    case platform::kHkeyDynData:
      return "HKEY_DYN_DATA";
    default:
      return "HKEY_CURRENT_USER";
  }
}

// The program of an UnInstallString: up to the first blank, or between quotes.
std::string ProgramOf(const std::string& command) {
  if (!command.empty() && command.front() == '"')
    return command.substr(1, command.find('"', 1) == std::string::npos ? std::string::npos
                                                                       : command.find('"', 1) - 1);
  return command.substr(0, command.find(' '));
}

// What follows the program in an UnInstallString.
std::string ArgumentsOf(const std::string& command) {
  const std::size_t end =
      !command.empty() && command.front() == '"' ? command.find('"', 1) : command.find(' ');
  return end == std::string::npos ? std::string() : command.substr(end + 1);
}

}  // namespace

std::string Quoted(const std::string& path) {
  return "\x84" + script::UpperAscii(path) + "\x94";
}

Remover::Remover(platform::Platform& platform, UninstallLog log, std::vector<StateNote> notes,
                 RemovalTarget target, RemovalHooks hooks)
    : platform_(platform),
      log_(std::move(log)),
      notes_(engine::StandingNotes(notes)),
      target_(std::move(target)),
      hooks_(std::move(hooks)),
      windowsDir_(NormalPath(platform.files.WindowsDirectory())),
      logPath_(NormalPath(target_.logPath)),
      uninstallerPath_(windowsDir_ + "\\" + kUninstallerName) {}

int Remover::StepCount() const {
  // The group, every note, then the log, the entry and the uninstaller.
  return static_cast<int>((log_.folder ? 1 : 0) + notes_.size() + 3);
}

void Remover::Step(const std::string& item) {
  if (hooks_.showItem) hooks_.showItem(item);
}

void Remover::FailAt(std::string item, const std::string& place) {
  failedPlaces_.push_back(script::UpperAscii(place));
  Fail(std::move(item));
}

bool Remover::FailedWithin(const std::string& place) const {
  const std::string upper = script::UpperAscii(place);
  return std::ranges::any_of(failedPlaces_, [&](const std::string& failed) {
    return failed == upper || (failed.starts_with(upper) && failed[upper.size()] == '\\');
  });
}

void Remover::Leave(const std::string& item, const std::string& why) {
  outcome_.left.push_back(item + ": " + why);
}

bool Remover::LinkOnPath(const std::string& path) {
  // Every component from the drive down: a reparse point anywhere would lead the deletion
  // somewhere the installation never wrote.
  platform::Files& files = platform_.files;
  for (std::size_t cut = path.find('\\', 3);; cut = path.find('\\', cut + 1)) {
    const std::string prefix = path.substr(0, cut);
    const std::uint32_t attributes = files.GetAttributes(prefix);
    if (attributes == platform::kInvalidFileAttributes) return false;
    if ((attributes & platform::kFileAttributeReparsePoint) != 0) return true;
    if (cut == std::string::npos) return false;
  }
}

std::optional<std::string> Remover::IdentityProblem(
    const std::string& path, const std::optional<platform::FileIdentity>& noted, bool directory) {
  return IdentityProblem(platform_.files.InfoOf(path), noted, directory);
}

std::optional<std::string> Remover::IdentityProblem(
    const std::optional<platform::FileInfo>& info,
    const std::optional<platform::FileIdentity>& noted, bool directory) {
  // Attribute bits do not show every link (a file's symbolic link under Wine, a hard link
  // anywhere): what the name leads to now must be what the installation left there.
  if (noted && (!info || info->identity != *noted)) return kReplaced;
  // A directory's count of names counts its subdirectories' "..", on some systems.
  if (!directory && info && info->links > 1) return kHardLinked;
  return std::nullopt;
}

const StateNote* Remover::StandingNote(NoteKind kind, const std::string& path) const {
  for (const StateNote& note : notes_)
    if (note.kind == kind && script::EqualsUpper(NormalPath(note.what[0]), path)) return &note;
  return nullptr;
}

std::optional<platform::FileIdentity> Remover::NotedIdentity(NoteKind kind,
                                                             const std::string& path) const {
  const StateNote* note = StandingNote(kind, path);
  return note != nullptr ? note->identity : std::nullopt;
}

std::vector<const StateNote*> Remover::NotesOf(NoteKind kind) const {
  // Newest first: the reverse of the order the installation made them in.
  std::vector<const StateNote*> found;
  for (auto note = notes_.rbegin(); note != notes_.rend(); ++note)
    if (note->kind == kind) found.push_back(&*note);
  return found;
}

RemovalOutcome Remover::Run() {
  outcome_ = {};
  counted_.clear();
  keptServers_.clear();
  interruptedCall_ = ReadInterruptedCall();
  // A counted file's count decides its fate, and its registration's.
  for (const StateNote* note : NotesOf(NoteKind::Count)) {
    const std::string path = NormalPath(note->what[0]);
    if (!path.empty()) counted_.insert(script::UpperAscii(path));
  }
  RemoveGroup();
  RestoreIniEntries();
  TidyIniFiles();
  RestoreRegistryValues();
  UnregisterServers();
  ReleaseSharedFiles();
  RemoveFiles();
  RestoreLog();
  RemoveDirectories();
  RemoveEntry();
  RemoveEntryKey();
  RemoveCreatedKeys();
  // Last of the keys: the keys on the way to the record may be on the way to others too.
  RemoveRecord();
  RemoveUninstaller();
  return outcome_;
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

void Remover::RestoreIniEntries() {
  for (const StateNote* note : NotesOf(NoteKind::IniEntry)) {
    const std::string path = NormalPath(note->what[0]);
    const std::string& section = note->what[1];
    const std::string& key = note->what[2];
    const std::string item = "INI entry " + key + " [" + section + "] in " + Quoted(note->what[0]);
    Step("INI entry " + key);
    if (path.empty()) {
      Leave(item, kNotFullPath);
      continue;
    }
    if (LinkOnPath(path)) {
      Leave(item, kThroughLink);
      continue;
    }
    if (!engine::FileExists(platform_.files, path)) continue;
    if (const std::optional<std::string> problem =
            IdentityProblem(path, NotedIdentity(NoteKind::IniFile, path))) {
      Leave(item, *problem);
      continue;
    }
    const std::optional<std::string> earlier =
        note->was && !note->was->empty() ? std::optional(note->was->front()) : std::nullopt;
    if (!platform_.profiles.WriteString(section, key, earlier, path)) {
      Fail(item);
    } else if (earlier) {
      outcome_.putBack.push_back(item);
    }
  }
}

bool Remover::IniFileIsOurs(const std::string& path) {
  // What stands in the way is told with the entries already.
  return !path.empty() && !LinkOnPath(path) && engine::FileExists(platform_.files, path) &&
         !IdentityProblem(path, NotedIdentity(NoteKind::IniFile, path));
}

void Remover::TidyIniFiles() {
  platform::Files& files = platform_.files;
  // A section the installation began is taken out when nothing is left in it.
  for (const StateNote* note : NotesOf(NoteKind::IniSection)) {
    const std::string path = NormalPath(note->what[0]);
    if (note->was || !IniFileIsOurs(path)) continue;
    const std::optional<std::string> text = platform::ReadWholeFile(files, path);
    if (text && script::HasSection(*text, note->what[1]) &&
        !script::SectionHasLines(*text, note->what[1]))
      platform_.profiles.WriteString(note->what[1], std::nullopt, std::nullopt, path);
  }
  // An INI file the installation made goes when it is left blank; one that was there
  // before never goes.
  for (const StateNote* note : NotesOf(NoteKind::IniFile)) {
    const std::string path = NormalPath(note->what[0]);
    if (note->was || !IniFileIsOurs(path)) continue;
    const std::optional<std::string> text = platform::ReadWholeFile(files, path);
    if (!text) continue;
    if (!script::IsBlankText(*text)) {
      Leave("File " + Quoted(path), "it holds INI entries the installation did not write");
    } else if (!files.DeleteFile(path)) {
      Fail("File " + Quoted(path));
    }
  }
}

void Remover::RestoreRegistryValues() {
  platform::Registry& registry = platform_.registry;
  for (const StateNote* note : NotesOf(NoteKind::Value)) {
    const std::optional<platform::HKey> root = engine::RootOfText(note->what[0]);
    const std::string& path = note->what[1];
    const std::string& name = note->what[2];
    Step("Registry value " + name);
    if (!root) continue;
    const std::string place = RootName(*root) + "\\" + path;
    const std::string item = "Registry value " + name + " in " + Quoted(place);
    const engine::OpenedKey key(registry, *root, path);
    if (key.Handle() == 0) continue;
    std::uint32_t type = 0;
    std::string data;
    const bool there = registry.QueryValue(key.Handle(), name, type, data) == 0;
    const std::optional<std::string> earlierData =
        note->was && note->was->size() == 2 ? engine::BytesOfHex((*note->was)[1]) : std::nullopt;
    if (earlierData) {
      const auto earlierType = static_cast<std::uint32_t>(std::stoul("0" + (*note->was)[0]));
      if (registry.SetValue(key.Handle(), name, earlierType, *earlierData) != 0)
        FailAt(item, place);
      else
        outcome_.putBack.push_back(item);
    } else if (there && registry.DeleteValue(key.Handle(), name) != 0) {
      FailAt(item, place);
    }
  }
}

void Remover::ReleaseSharedFiles() {
  for (const StateNote* note : NotesOf(NoteKind::Count)) {
    const std::string& countName = note->what[0];
    const std::string path = NormalPath(countName);
    Step("Shared file " + countName);
    if (!path.empty()) ReleaseSharedFile(countName, path);
  }
}

void Remover::ReleaseSharedFile(const std::string& countName, const std::string& path) {
  platform::Registry& registry = platform_.registry;
  if (LinkOnPath(path)) {
    Leave("File " + Quoted(path), kThroughLink);
    return;
  }
  // A file already gone still had its count raised: the count is lowered all the same.
  const bool there = engine::FileExists(platform_.files, path);
  const engine::OpenedKey key(registry, platform::kHkeyLocalMachine, kSharedDllsKey);
  if (key.Handle() == 0) return;
  std::uint32_t type = 0;
  std::string data;
  if (registry.QueryValue(key.Handle(), countName, type, data) != 0) return;
  if (type != platform::kRegDword || data.size() != 4) {
    Fail("Shared-file count of " + Quoted(path));
    return;
  }
  const std::uint32_t count = engine::DwordValue(data);
  const std::uint32_t left = count > 0 ? count - 1 : 0;
  const auto writeCount = [&](std::uint32_t value) {
    if (registry.SetValue(key.Handle(), countName, platform::kRegDword, engine::DwordData(value)) !=
        0)
      Fail("Shared-file count of " + Quoted(path));
  };
  if (left > 0 || !there) {
    writeCount(left);
    if (there) Leave("File " + Quoted(path), "other applications still use it");
    return;
  }
  // A file that was there before the installation (its count stale at zero, say) is
  // never offered for deletion, nor one that is no longer what the installation left.
  const StateNote* file = StandingNote(NoteKind::File, path);
  std::optional<std::string> keep;
  if (file != nullptr && file->was) keep = kThereBefore;
  if (!keep) keep = IdentityProblem(path, file != nullptr ? file->identity : std::nullopt);
  if (keep) {
    writeCount(0);
    Leave("File " + Quoted(path), *keep);
    return;
  }
  if (!hooks_.removeUnusedSharedFile || !hooks_.removeUnusedSharedFile(path)) {
    writeCount(0);
    Leave("File " + Quoted(path), "you chose to keep it");
    return;
  }
  // A server whose registration could not be taken back stays, to be unregistered by hand.
  if (!UnregisterFile(path)) {
    writeCount(0);
    return;
  }
  if (registry.DeleteValue(key.Handle(), countName) != 0)
    Fail("Shared-file count of " + Quoted(path));
  if (!platform_.files.DeleteFile(path)) FailAt("File " + Quoted(path), path);
}

void Remover::RemoveFiles() {
  for (const StateNote* note : NotesOf(NoteKind::File)) {
    const std::string path = NormalPath(note->what[0]);
    Step("File " + note->what[0]);
    const std::string upper = script::UpperAscii(path);
    // The uninstaller and the log have their own rules; a counted file's count decided.
    // A server that could not be unregistered is told of already.
    if (path.empty() || counted_.contains(upper) || upper == script::UpperAscii(logPath_) ||
        upper == script::UpperAscii(uninstallerPath_) || keptServers_.contains(upper))
      continue;
    if (note->was) {
      if (engine::FileExists(platform_.files, path)) Leave("File " + Quoted(path), kThereBefore);
      continue;
    }
    RemoveFile(path, note->identity);
  }
}

void Remover::RemoveFile(const std::string& path,
                         const std::optional<platform::FileIdentity>& identity) {
  if (LinkOnPath(path)) {
    Leave("File " + Quoted(path), kThroughLink);
    return;
  }
  if (!engine::FileExists(platform_.files, path)) return;
  if (const std::optional<std::string> problem = IdentityProblem(path, identity)) {
    Leave("File " + Quoted(path), *problem);
    return;
  }
  if (!platform_.files.DeleteFile(path)) FailAt("File " + Quoted(path), path);
}

void Remover::RestoreLog() {
  Step("Uninstall log");
  // Every log this product wrote goes: the one it was started with, and those an earlier
  // run left in another destination.
  bool ownNoted = false;
  for (const StateNote* note : NotesOf(NoteKind::Log)) {
    const std::string path = NormalPath(note->what[0]);
    if (path.empty()) continue;
    const bool own = script::EqualsUpper(path, logPath_);
    ownNoted = ownNoted || own;
    RestoreLogAt(path, *note, own);
  }
  if (!ownNoted) RemoveFile(logPath_, std::nullopt);
}

void Remover::RestoreLogAt(const std::string& path, const StateNote& note, bool own) {
  if (LinkOnPath(path)) {
    Leave("File " + Quoted(path), kThroughLink);
    return;
  }
  const std::optional<std::string> bytes = platform::ReadWholeFile(platform_.files, path);
  if (!bytes) return;
  // An earlier destination's log may have been written over since by another product:
  // it is that product's now.
  if (!own && script::CaptionOf(CompleteLines(*bytes)) != target_.displayName) return;
  if (const std::optional<std::string> problem = IdentityProblem(path, note.identity)) {
    Leave("File " + Quoted(path), *problem);
    return;
  }
  // Another product's log that this installation wrote over goes back in its place, so
  // that the other product can still be removed; when that product is gone, nothing.
  const std::optional<std::string> earlier =
      note.was && note.was->size() == 1 ? engine::BytesOfHex(note.was->front()) : std::nullopt;
  if (!earlier || !EntryNamesLog(*earlier, path)) {
    if (!platform_.files.DeleteFile(path)) FailAt("File " + Quoted(path), path);
  } else if (!platform::WriteWholeFile(platform_.files, path, *earlier)) {
    Fail("File " + Quoted(path));
  } else {
    outcome_.putBack.push_back("Uninstall log " + Quoted(path) +
                               " of the application installed before");
  }
}

bool Remover::EntryNamesLog(const std::string& log, const std::string& path) {
  const std::optional<std::string> caption = script::CaptionOf(CompleteLines(log));
  const std::optional<std::string> entryKey =
      caption ? engine::UninstallEntryKey(*caption) : std::nullopt;
  if (!entryKey || script::EqualsUpper(*entryKey, target_.entryKey)) return false;
  platform::Registry& registry = platform_.registry;
  const engine::OpenedKey entry(registry, platform::kHkeyLocalMachine, *entryKey);
  std::uint32_t type = 0;
  std::string command;
  if (entry.Handle() == 0 ||
      registry.QueryValue(entry.Handle(), "UnInstallString", type, command) != 0)
    return false;
  const std::vector<std::string> args = UninstallArguments(ArgumentsOf(command));
  return !args.empty() && script::EqualsUpper(NormalPath(args.front()), path);
}

void Remover::RemoveDirectories() {
  platform::Files& files = platform_.files;
  std::vector<std::string> deepestFirst;
  for (const StateNote* note : NotesOf(NoteKind::Directory)) {
    const std::string path = NormalPath(note->what[0]);
    if (!path.empty()) deepestFirst.push_back(path);
  }
  std::ranges::stable_sort(
      deepestFirst, [](const std::string& a, const std::string& b) { return Depth(a) > Depth(b); });
  for (const std::string& directory : deepestFirst) {
    std::optional<std::string> problem;
    if (LinkOnPath(directory)) {
      Leave("Directory " + Quoted(directory), kThroughLink);
    } else if (!IsDirectory(files, directory)) {
      continue;
    } else if ((problem = IdentityProblem(directory, NotedIdentity(NoteKind::Directory, directory),
                                          true))) {
      Leave("Directory " + Quoted(directory), *problem);
    } else if (!IsEmptyDirectory(files, directory) ||
               (!files.RemoveDirectory(directory) &&
                files.LastError() == platform::kErrorDirNotEmpty)) {
      // (A search may not show everything a directory holds: a link, say.)
      if (!FailedWithin(directory))
        Leave("Directory " + Quoted(directory),
              "it holds files the installation did not put there");
    } else if (IsDirectory(files, directory)) {
      Fail("Directory " + Quoted(directory));
    }
  }
}

void Remover::RemoveEntry() {
  Step("Uninstall entry");
  platform::Registry& registry = platform_.registry;
  const engine::OpenedKey entry(registry, platform::kHkeyLocalMachine, target_.entryKey);
  if (entry.Handle() == 0) return;
  const std::string names[] = {"DisplayName", "UnInstallString", engine::kLogDigestValue,
                               engine::kLogPathValue, engine::kUnregisteringValue};
  std::uint32_t type = 0;
  std::string data;
  bool removed = true;
  for (const std::string& name : names) {
    if (registry.QueryValue(entry.Handle(), name, type, data) == 0 &&
        registry.DeleteValue(entry.Handle(), name) != 0)
      removed = false;
  }
  if (!removed)
    FailAt("Uninstall entry " + Quoted(target_.displayName),
           RootName(platform::kHkeyLocalMachine) + "\\" + target_.entryKey);
}

void Remover::RemoveEntryKey() {
  // The entry's own key goes when it is empty, even when an installer before this one
  // made it and the record does not name it.
  platform::Registry& registry = platform_.registry;
  std::uint32_t subKeys = 0;
  std::uint32_t values = 0;
  {
    const engine::OpenedKey entry(registry, platform::kHkeyLocalMachine, target_.entryKey);
    if (entry.Handle() == 0 || registry.QueryInfo(entry.Handle(), subKeys, values) != 0) return;
  }
  if (subKeys == 0 && values == 0 &&
      registry.DeleteKey(platform::kHkeyLocalMachine, target_.entryKey) != 0)
    Fail("Uninstall entry " + Quoted(target_.displayName));
}

void Remover::RemoveRecord() {
  // The record goes with the entry: the notes are read, and a later installation of the
  // product begins a record of its own.
  const std::optional<std::string> recordKey = engine::RecordKey(target_.displayName);
  if (!recordKey || engine::DeleteRecord(platform_.registry, *recordKey)) return;
  // To the user the record is part of the entry: one failure tells of both.
  const std::string place = RootName(platform::kHkeyLocalMachine) + "\\" + *recordKey;
  const std::string item = "Uninstall entry " + Quoted(target_.displayName);
  if (std::ranges::find(outcome_.failures, item) == outcome_.failures.end()) {
    FailAt(item, place);
  } else {
    failedPlaces_.push_back(script::UpperAscii(place));
  }
}

void Remover::RemoveCreatedKeys() {
  platform::Registry& registry = platform_.registry;
  std::vector<const StateNote*> keys = NotesOf(NoteKind::Key);
  std::ranges::stable_sort(keys, [](const StateNote* a, const StateNote* b) {
    return Depth(a->what[1]) > Depth(b->what[1]);
  });
  // The list of uninstall entries, the key of the records and the keys above them hold
  // other products' entries and records: that is no news for the user.
  const std::string sharedKeys[] = {script::UpperAscii(engine::kUninstallListKey),
                                    script::UpperAscii(engine::kRecordsKey)};
  for (const StateNote* note : keys) {
    const std::optional<platform::HKey> root = engine::RootOfText(note->what[0]);
    if (!root) continue;
    const std::string& path = note->what[1];
    std::uint32_t subKeys = 0;
    std::uint32_t values = 0;
    {
      const engine::OpenedKey key(registry, *root, path);
      if (key.Handle() == 0 || registry.QueryInfo(key.Handle(), subKeys, values) != 0) continue;
    }
    if (subKeys == 0 && values == 0) {
      if (registry.DeleteKey(*root, path) != 0)
        Fail("Registry key " + Quoted(RootName(*root) + "\\" + path));
      continue;
    }
    const std::string upper = script::UpperAscii(path);
    if (*root == platform::kHkeyLocalMachine &&
        std::ranges::any_of(sharedKeys, [&](const std::string& shared) {
          return shared == upper || shared.starts_with(upper + "\\");
        }))
      continue;
    if (FailedWithin(RootName(*root) + "\\" + path)) continue;
    const char* holds = values == 0 ? "it holds subkeys the installation did not make"
                        : subKeys == 0
                            ? "it holds values the installation did not write"
                            : "it holds values and subkeys the installation did not make";
    Leave("Registry key " + Quoted(RootName(*root) + "\\" + path), holds);
  }
}

bool Remover::OtherEntryNames(const std::string& uninstaller) {
  const engine::OpenedKey list(platform_.registry, platform::kHkeyLocalMachine,
                               engine::kUninstallListKey);
  return list.Handle() != 0 &&
         EntryBelowNames(list.Handle(), engine::kUninstallListKey, uninstaller, 1);
}

bool Remover::EntryBelowNames(platform::HKey key, const std::string& path,
                              const std::string& uninstaller, int depth) {
  // Entries nest (a caption with a backslash in it): every level is looked at, the keys
  // below this product's own entry too. Its own entry does not count, even when its
  // values could not be deleted.
  platform::Registry& registry = platform_.registry;
  std::string name;
  for (std::uint32_t index = 0; registry.EnumKey(key, index, name) == 0; ++index) {
    const std::string below = path + "\\" + name;
    const engine::OpenedKey entry(registry, key, name);
    if (entry.Handle() == 0) continue;
    std::uint32_t type = 0;
    std::string command;
    if (!script::EqualsUpper(below, target_.entryKey) &&
        registry.QueryValue(entry.Handle(), "UnInstallString", type, command) == 0 &&
        script::EqualsUpper(NormalPath(ProgramOf(command)), uninstaller))
      return true;
    if (depth < kDeepestEntry && EntryBelowNames(entry.Handle(), below, uninstaller, depth + 1))
      return true;
  }
  return false;
}

void Remover::RemoveUninstaller() {
  platform::Files& files = platform_.files;
  const std::string& path = uninstallerPath_;
  if (!engine::FileExists(files, path)) return;
  // Other products' entries start the same program: it stays while any of them is there.
  if (OtherEntryNames(path)) {
    Leave("File " + Quoted(path), "other applications still use it to uninstall");
    return;
  }
  if (LinkOnPath(path)) {
    Leave("File " + Quoted(path), kThroughLink);
    return;
  }
  // Every product's installation writes the uninstaller anew, so its identity tells
  // nothing; its names still do.
  if (const std::optional<std::string> problem = IdentityProblem(path, std::nullopt)) {
    Leave("File " + Quoted(path), *problem);
    return;
  }
  // A running program cannot delete itself: its own file goes at the next restart. (On the
  // 95 family the Windows directory has a short name, and so has uninstkp.exe, as the
  // system's list of deletions at restart needs.)
  const bool running = script::EqualsUpper(NormalPath(files.ModuleFileName()), path);
  const bool done = running ? engine::DeleteAtRestart(platform_, path) : files.DeleteFile(path);
  if (!done) Fail("File " + Quoted(path));
}

}  // namespace uninst
