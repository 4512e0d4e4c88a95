// The removal itself: takes back what the record of the state before says the installation
// did, in the reverse of the order in which it was done. A thing the installation made
// goes; a thing it changed is put back as it was; a thing that was there before stays.
// Nothing is deleted through a link, a junction or any other reparse point, a directory or
// key only goes when the installation made it and it is empty, and every thing left is
// reported with its reason.
#pragma once

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/StateRecord.h"
#include "platform/Platform.h"
#include "uninst/UninstallLog.h"

namespace uninst {

// What the removal asks of the user interface.
struct RemovalHooks {
  // Called before each step with a short description of what goes now.
  std::function<void(const std::string& item)> showItem;
  // A shared file's count has fallen to zero: true to delete the file too.
  std::function<bool(const std::string& path)> removeUnusedSharedFile;
};

// Where the installation lies and under which name it is registered.
struct RemovalTarget {
  std::string logPath;      // the uninstall log
  std::string displayName;  // the name of the uninstall entry
  std::string entryKey;     // the entry's key below HKEY_LOCAL_MACHINE
};

// How the removal went, for the closing message.
struct RemovalOutcome {
  std::vector<std::string> failures;      // could not be removed or put back
  std::vector<std::string> unregistered;  // COM registrations taken back
  std::vector<std::string> putBack;       // restored to what it was before the installation
  std::vector<std::string> left;          // left on purpose, each with its reason
};

// The name of the uninstaller in the Windows directory, as the installer copies it there.
inline constexpr const char* kUninstallerName = "uninstkp.exe";

class Remover {
 public:
  Remover(platform::Platform& platform, UninstallLog log, std::vector<engine::StateNote> notes,
          RemovalTarget target, RemovalHooks hooks);

  // How many times Run calls showItem.
  int StepCount() const;
  // Takes everything back.
  RemovalOutcome Run();

 private:
  void Step(const std::string& item);
  void Fail(std::string item) { outcome_.failures.push_back(std::move(item)); }
  // As Fail, for a thing at `place` (a path, or a key as ROOT\PATH).
  void FailAt(std::string item, const std::string& place);
  // True when a failure lies at or below `place`: what is left there is already told.
  bool FailedWithin(const std::string& place) const;
  void Leave(const std::string& item, const std::string& why);
  bool LinkOnPath(const std::string& path);
  // Why the file or directory at `path` is not the one the installation left there (another
  // identity than `noted`), or must not be changed (more names lead to it); nothing when
  // it is the installation's own.
  std::optional<std::string> IdentityProblem(const std::string& path,
                                             const std::optional<platform::FileIdentity>& noted,
                                             bool directory = false);
  // The same for what a handle on the file or directory tells of it.
  static std::optional<std::string> IdentityProblem(
      const std::optional<platform::FileInfo>& info,
      const std::optional<platform::FileIdentity>& noted, bool directory = false);
  // The standing note of a file-like thing at a normalised path, and its identity.
  const engine::StateNote* StandingNote(engine::NoteKind kind, const std::string& path) const;
  std::optional<platform::FileIdentity> NotedIdentity(engine::NoteKind kind,
                                                      const std::string& path) const;
  // True when the INI file at `path` may be changed: no link on its path, and the file the
  // installation left there.
  bool IniFileIsOurs(const std::string& path);
  std::vector<const engine::StateNote*> NotesOf(engine::NoteKind kind) const;
  void RemoveGroup();
  void RestoreIniEntries();
  void TidyIniFiles();
  void RestoreRegistryValues();
  // COM registrations the installation made (uninst/ComServers.cpp): each is taken back
  // just before its file is deleted, and only then; all of those of uncounted files before
  // any file goes, as a server may need the files beside it to load.
  void UnregisterServers();
  // Takes back the registrations of the file at `path`, which is about to be deleted.
  // False when one failed: the file then stays, to be unregistered by hand.
  bool UnregisterFile(const std::string& path);
  bool UnregisterServer(const engine::StateNote& note, const std::string& path);
  bool UnregisterDll(const std::string& path, const std::string& item);
  bool UnregisterTypeLibrary(const std::string& path, const std::string& item);
  // Ends a call that gave `result` (nothing: an error escaped it): listed as unregistered,
  // or as a failure with `what` and the code.
  bool Unregistered(const std::string& path, const std::string& item,
                    const std::optional<std::int32_t>& result, const std::string& what);
  // The path of the server whose DllUnregisterServer an earlier run called and never saw
  // come back, and the mark in the entry that tells it to the next run (none: the call
  // came back).
  std::optional<std::string> ReadInterruptedCall();
  void MarkCall(const std::optional<std::string>& path);
  void ReleaseSharedFiles();
  void ReleaseSharedFile(const std::string& countName, const std::string& path);
  void RemoveFiles();
  void RemoveFile(const std::string& path, const std::optional<platform::FileIdentity>& identity);
  void RestoreLog();
  void RestoreLogAt(const std::string& path, const engine::StateNote& note, bool own);
  // True when another product's entry still starts the uninstaller with the log `log`
  // (another product's log bytes) at `path`.
  bool EntryNamesLog(const std::string& log, const std::string& path);
  void RemoveDirectories();
  void RemoveEntry();
  void RemoveEntryKey();
  void RemoveRecord();
  void RemoveCreatedKeys();
  void RemoveUninstaller();
  bool OtherEntryNames(const std::string& uninstaller);
  bool EntryBelowNames(platform::HKey key, const std::string& path, const std::string& uninstaller,
                       int depth);

  platform::Platform& platform_;
  UninstallLog log_;
  std::vector<engine::StateNote> notes_;
  RemovalTarget target_;
  RemovalHooks hooks_;
  std::string windowsDir_;
  std::string logPath_;
  std::string uninstallerPath_;
  std::vector<std::string> failedPlaces_;  // upper-cased
  std::set<std::string> counted_;          // upper-cased paths whose count decided their fate
  std::set<std::string> keptServers_;      // upper-cased paths of servers kept registered
  std::optional<std::string> interruptedCall_;
  RemovalOutcome outcome_;
};

// A path as messages show it: upper-cased between „ and ”.
std::string Quoted(const std::string& path);

}  // namespace uninst
