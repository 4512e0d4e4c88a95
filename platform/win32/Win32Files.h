// Files and directories on the kernel32 ...A calls.
#pragma once

#include "platform/Files.h"

namespace win32 {

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
  // The NT family: a file's index there lasts as long as the file. The 95 family's may
  // change at a restart, and its file systems have no links to guard against.
  bool lastingIdentity_ = false;
};

}  // namespace win32
