// Files and directories on the kernel32 ...A calls.
#pragma once

#include <cstdint>
#include <map>
#include <tuple>

#include "platform/Files.h"
#include "platform/win32/WindowsApi.h"

namespace win32 {

// The identity and links of open files, told cheaply. GetFileInformationByHandle asks the
// file's volume for its serial number every time, and under Wine that is a round trip to the
// mount manager in another process (measured: 0.4 to 1.7 ms, as much as the whole copy of a
// small file). The index and the links are the file's own and cost a few microseconds
// (NtQueryInformationFile); the serial is the volume's, so it is asked once per volume. A
// volume is told apart by the root of the path the file was opened through and by its
// geometry (NtQueryVolumeInformationFile, as cheap): the first file on a volume so told, a
// file on a drive whose medium can be changed (a diskette, a disc), a system without the NT
// calls (the 95 family, which keeps no lasting identity anyway) and a call that fails get
// GetFileInformationByHandle in full.
class FileIdentities {
 public:
  FileIdentities();
  FileIdentities(const FileIdentities&) = delete;
  FileIdentities& operator=(const FileIdentities&) = delete;

  // The identity and links of the file open as `handle`, opened through a path of `root`
  // (PathRoot; empty when unknown). Nothing when the system cannot tell them.
  std::optional<platform::FileInfo> Of(HANDLE handle, const std::string& root);

 private:
  // True when the drive of `root` keeps its volume (a fixed or a network drive).
  bool Lasting(const std::string& root);

  using Query = LONG(WINAPI*)(HANDLE, void* status, void* data, ULONG size, ULONG what);
  Query queryFile_ = nullptr;    // NtQueryInformationFile
  Query queryVolume_ = nullptr;  // NtQueryVolumeInformationFile
  // Whether each root's drive keeps its volume, asked once per root.
  std::map<std::string, bool> lasting_;
  // Serial numbers by root, allocation units and bytes in one.
  std::map<std::tuple<std::string, std::uint64_t, std::uint64_t>, std::uint32_t> serials_;
};

// The Files service of the running Windows.
class Win32Files final : public platform::Files {
 public:
  Win32Files();
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
  std::string GetCurrentDirectory() override;
  bool SetCurrentDirectory(const std::string& path) override;
  std::string WindowsDirectory() override;
  std::string SystemDirectory() override;
  std::string ModuleFileName() override;
  std::uint32_t LastError() override { return lastError_; }

 private:
  // Keeps GetLastError when `ok` is false; gives `ok`.
  bool Note(bool ok);

  std::uint32_t lastError_ = 0;
  FileIdentities identities_;
  // The NT family: a file's index there lasts as long as the file. The 95 family's may
  // change at a restart, and its file systems have no links to guard against.
  bool lastingIdentity_ = false;
};

}  // namespace win32
