// The file service of the emulated machine: Windows file semantics over the host folders
// that PathResolver maps the drives to.
//
// Sharing between handles of this service follows Windows; attributes other than the
// directory bit are kept in memory (a file reads as archive, a directory as exactly
// directory, until marked otherwise); last-write times are the host's modification times.
// A CD-ROM drive is read-only. Injected faults: files held in use by another program (as
// if it had them open for reading, sharing only reading), drives that fill up, and files
// that vanish between being looked for and being opened. On the 95 family (platform id 1)
// MoveFileExA fails with kErrorCallNotImplemented, as those systems only export it.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "platform/sandbox/Faults.h"
#include "platform/sandbox/Paths.h"
#include "platform/sandbox/SandboxFile.h"

namespace sandbox {

class SandboxFiles : public platform::Files {
 public:
  // `paths` and `faults` must outlive this object and every file it opens.
  SandboxFiles(PathResolver& paths, Faults& faults, std::string windowsDir, std::string systemDir,
               std::string moduleFileName, std::uint32_t platformId);

  std::unique_ptr<platform::File> Open(
      const std::string& path, std::uint32_t access, std::uint32_t share,
      platform::Disposition disposition,
      std::uint32_t attributes = platform::kFileAttributeNormal) override;
  std::uint32_t GetAttributes(const std::string& path) override;
  std::optional<platform::FileInfo> InfoOf(const std::string& path) override;
  bool SetAttributes(const std::string& path, std::uint32_t attributes) override;
  bool CreateDirectory(const std::string& path) override;
  bool RemoveDirectory(const std::string& path) override;
  bool DeleteFile(const std::string& path) override;
  bool DeleteOnRestart(const std::string& path) override;
  bool MoveReplacing(const std::string& from, const std::string& to) override;
  bool Move(const std::string& from, const std::string& to) override;
  std::vector<platform::FindData> Find(const std::string& pattern) override;

  std::string GetCurrentDirectory() override { return paths_.CurrentDirectory(); }
  bool SetCurrentDirectory(const std::string& path) override;
  std::string WindowsDirectory() override { return windowsDir_; }
  std::string SystemDirectory() override { return systemDir_; }
  std::string ModuleFileName() override { return moduleFileName_; }
  std::uint32_t LastError() override { return state_->lastError; }

  // Changes what ModuleFileName() gives.
  void SetModuleFileName(std::string name) { moduleFileName_ = std::move(name); }
  // Full paths of the files to be deleted at the next restart, in the order asked.
  const std::vector<std::string>& PendingDeletes() const { return pendingDeletes_; }

 private:
  bool Fail(std::uint32_t error);
  // MoveReplacing and Move: the rename, replacing a file at `to` or refusing it.
  bool Rename(const std::string& from, const std::string& to, bool replace);
  // True on the 95 family, where MoveFileExA is only a stub.
  bool LacksMoveFileEx() const { return platformId_ == platform::kPlatformWindows; }
  std::unique_ptr<platform::File> FailOpen(std::uint32_t error);
  std::vector<platform::FindData> FailFind(std::uint32_t error);
  // Resolves `path`, setting the last error when it is refused.
  std::optional<ResolvedPath> Resolve(std::string_view path);
  // The attribute word of an existing host entry.
  std::uint32_t AttributesOf(const std::filesystem::path& host, bool isDirectory) const;
  platform::FindData FindDataOf(const std::filesystem::path& host, std::string name) const;
  bool DriveIsReadOnly(char drive) const;
  bool IsInUse(const ResolvedPath& path) const;
  // Why a file may not be removed or replaced now (read-only, in use, held open without
  // leave to delete it): the Windows error code, or kErrorSuccess when nothing stands in the way.
  std::uint32_t RemovalRefusal(const ResolvedPath& file) const;
  // Removes the file when the filesVanishAfterOpens fault says this open is its last.
  void Vanish(const ResolvedPath& path);

  PathResolver& paths_;
  std::shared_ptr<FilesState> state_;
  std::string windowsDir_;
  std::string systemDir_;
  std::string moduleFileName_;
  std::vector<std::string> pendingDeletes_;
  std::uint32_t platformId_;
};

}  // namespace sandbox
