// The removal itself: takes out what the uninstall log names, in the reverse of the order
// in which the installer made it, and collects what could not be removed. Nothing outside
// the destination, Windows and system directories is touched, nothing the log does not
// name is deleted, and a directory is removed only when it is empty.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

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
  std::string logPath;      // the uninstall log; its directory is the destination
  std::string displayName;  // the name of the uninstall entry
};

// The name of the uninstaller in the Windows directory, as the installer copies it there.
inline constexpr const char* kUninstallerName = "uninstkp.exe";

class Remover {
 public:
  Remover(platform::Platform& platform, UninstallLog log, RemovalTarget target, RemovalHooks hooks);

  // The destination directory: the log's own directory, normalised.
  const std::string& DestinationDir() const { return destDir_; }
  // What the log names.
  const UninstallLog& Log() const { return log_; }
  // How many times Run calls showItem.
  int StepCount() const;
  // Removes everything; gives one line for each item that could not be removed.
  std::vector<std::string> Run();

 private:
  void Step(const std::string& item);
  void Fail(std::string item) { failures_.push_back(std::move(item)); }
  bool Allowed(const std::string& path) const;
  std::string DirectoryOf(CopyKind kind) const;
  void RemoveGroup();
  void RemoveIniEntries();
  void TidyIniFile(const std::string& path, const std::set<std::string>& sections);
  void RemoveRegistryValues();
  void ReleaseSharedFiles();
  void ReleaseSharedFile(const std::string& countName, const std::string& path);
  void RemoveFiles();
  void RemoveFile(const std::string& path);
  void RemoveEmptyDirectory(const std::string& directory);
  void RemoveLogAndDirectories();
  void RemoveEntry();
  void RemoveUninstaller();

  platform::Platform& platform_;
  UninstallLog log_;
  RemovalTarget target_;
  RemovalHooks hooks_;
  std::string windowsDir_;
  std::string systemDir_;
  std::string destDir_;
  std::set<std::string> directories_;  // directories of removed files, below destDir_
  std::vector<std::string> failures_;
};

// A path as messages show it: upper-cased between „ and ”.
std::string Quoted(const std::string& path);

}  // namespace uninst
