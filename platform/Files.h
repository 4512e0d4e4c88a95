// Files and directories: the kernel32 file services the installer relies on.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/WinTypes.h"

namespace platform {

// A point in time as Windows keeps it: 100-nanosecond intervals since 1 January 1601, UTC.
struct FileTime {
  std::uint64_t ticks = 0;
  friend bool operator==(FileTime, FileTime) = default;
};

// A calendar time broken into its fields (SYSTEMTIME); dayOfWeek 0 is Sunday.
struct SystemTime {
  int year = 1601;
  int month = 1;
  int dayOfWeek = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int milliseconds = 0;
  friend bool operator==(const SystemTime&, const SystemTime&) = default;
};

// One entry of a directory search (WIN32_FIND_DATAA, the fields we use).
struct FindData {
  std::string name;  // the entry's own name, without directory
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;
  FileTime lastWriteTime;
};

// Which file a name leads to (GetFileInformationByHandle): the serial number of its volume
// and its index there. Two names with one identity are one file.
struct FileIdentity {
  std::uint32_t volume = 0;
  std::uint64_t index = 0;
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// What an open file or directory tells of itself: its identity and how many names (hard
// links) lead to it.
struct FileInfo {
  FileIdentity identity;
  std::uint32_t links = 1;
};

// An open file. Closing happens when the object is destroyed.
class File {
 public:
  virtual ~File() = default;
  // Reads up to `size` bytes; gives the count read (0 at the end), or -1 when the read fails.
  virtual std::int64_t Read(void* buffer, std::uint32_t size) = 0;
  // Writes `size` bytes; gives the count written, or -1 when the write fails.
  virtual std::int64_t Write(const void* data, std::uint32_t size) = 0;
  // Sets the last-write time (SetFileTime); false when refused.
  virtual bool SetLastWriteTime(FileTime time) = 0;
  // GetFileInformationByHandle: the file's identity and links. Nothing where the system
  // keeps no identity that outlasts a restart (the 95 family), or when the call fails.
  virtual std::optional<FileInfo> Info() { return std::nullopt; }
};

// Files, directories and the well-known places of the running system.
// Paths are Windows paths ("C:\DIR\FILE.EXT"; a relative path is taken from the current
// directory). Failing calls set LastError() to the Windows error code.
class Files {
 public:
  virtual ~Files() = default;

  // CreateFileA: opens or creates a file. Null on failure.
  virtual std::unique_ptr<File> Open(const std::string& path, std::uint32_t access,
                                     std::uint32_t share, Disposition disposition,
                                     std::uint32_t attributes = kFileAttributeNormal) = 0;
  // GetFileAttributesA: the attribute word, or kInvalidFileAttributes when nothing is there.
  virtual std::uint32_t GetAttributes(const std::string& path) = 0;
  // The identity and links of the file or directory a path leads to, as File::Info gives
  // them, from a handle opened for nothing but that (a link on the path is followed).
  virtual std::optional<FileInfo> InfoOf(const std::string& /*path*/) { return std::nullopt; }
  // SetFileAttributesA.
  virtual bool SetAttributes(const std::string& path, std::uint32_t attributes) = 0;
  // CreateDirectoryA: one level; fails when the parent is missing or the name exists.
  virtual bool CreateDirectory(const std::string& path) = 0;
  // RemoveDirectoryA: only an empty directory.
  virtual bool RemoveDirectory(const std::string& path) = 0;
  // DeleteFileA.
  virtual bool DeleteFile(const std::string& path) = 0;
  // MoveFileExA(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT): delete the file at the next restart.
  // The 95 family exports the call but does not carry it out (kErrorCallNotImplemented).
  virtual bool DeleteOnRestart(const std::string& path) = 0;
  // MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING): the file `from` takes the name `to`,
  // replacing a file there in one step. Fails, leaving both, when `to` is a directory, is
  // read-only or is held open by another program; on the 95 family always
  // (kErrorCallNotImplemented).
  virtual bool MoveReplacing(const std::string& from, const std::string& to) = 0;
  // MoveFileA(from, to): the file `from` takes the name `to`, which must not exist
  // (kErrorAlreadyExists when it does).
  virtual bool Move(const std::string& from, const std::string& to) = 0;
  // FindFirstFileA/FindNextFileA over a pattern whose last component may hold * and ?.
  // Empty when nothing matches (LastError() then tells why).
  virtual std::vector<FindData> Find(const std::string& pattern) = 0;

  // GetCurrentDirectoryA / SetCurrentDirectoryA.
  virtual std::string GetCurrentDirectory() = 0;
  virtual bool SetCurrentDirectory(const std::string& path) = 0;
  // GetWindowsDirectoryA / GetSystemDirectoryA, without trailing backslash.
  virtual std::string WindowsDirectory() = 0;
  virtual std::string SystemDirectory() = 0;
  // GetModuleFileNameA of the running program.
  virtual std::string ModuleFileName() = 0;

  // GetLastError after the last failing call of this service.
  virtual std::uint32_t LastError() = 0;
};

}  // namespace platform
