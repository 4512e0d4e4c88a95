// Windows paths of the emulated machine and the host files behind them.
//
// Every drive is a host folder: C: is `<machineRoot>/drive_c`, other letters are mounted
// folders (the installation medium). A Windows path is resolved one component at a time
// without regard to the case of a-z: an existing host entry that matches is used (an exact
// match first), a name that does not exist yet is kept as written. Nothing outside the
// drive folders can be reached: `..` at a drive root stays at the root (as Windows resolves
// it), and UNC names and any component that is a symbolic link are refused. As the ANSI calls do, a
// path text longer than MAX_PATH is refused, and so is a device name (Devices.h) on the way to
// another entry; a device as the last component is reported in `device`.
//
// Finding a name whose case differs from the host entry's means reading the directory, so
// the names of directories already read are kept, each with the modification time the
// directory had when it was read: a directory whose time has moved since (an entry made or
// removed by anyone) is read again. The file service tells of the entries it makes and
// removes itself, so a directory filling with new files is not read once per file.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace sandbox {

// The key form of a Windows path used by Faults: the path with a-z turned into A-Z.
std::string UpperKey(std::string_view windowsPath);

// A Windows path resolved to its normalised Windows form and the host entry behind it.
struct ResolvedPath {
  std::string windowsPath;  // absolute, "C:\DIR\FILE.EXT" in the case the caller gave
  std::filesystem::path hostPath;
  char drive = 'C';    // upper-case drive letter
  std::string device;  // the device the last component names ("NUL", "com1"), or empty
};

// The outcome of resolving: a path, or the Windows error code that refuses it.
struct Resolution {
  std::optional<ResolvedPath> path;
  std::uint32_t error = 0;
};

class PathResolver {
 public:
  // A machine whose C: drive is `<machineRoot>/drive_c` (created when missing).
  explicit PathResolver(std::filesystem::path machineRoot);

  // Maps drive `letter` (not C) to `hostDir` with the given kDrive... type.
  void Mount(char letter, std::filesystem::path hostDir, std::uint32_t driveType);

  // Resolves `windowsPath`, relative ones from the current directory.
  Resolution Resolve(std::string_view windowsPath) const;
  // The normalised absolute Windows form, or nothing when the path is refused.
  std::optional<std::string> FullPath(const std::string& windowsPath) const;
  // The host entry behind the path (it need not exist), or nothing when refused.
  std::optional<std::filesystem::path> HostPath(const std::string& windowsPath) const;

  // The current directory as a full Windows path ("C:\" initially).
  const std::string& CurrentDirectory() const { return currentDirectory_; }
  // Sets the current directory; the caller has checked that it is a directory.
  void SetCurrentDirectory(std::string fullPath) { currentDirectory_ = std::move(fullPath); }
  // The drive letter of the current directory.
  char CurrentDrive() const { return currentDirectory_[0]; }

  // The host folder of drive `letter` (either case), or nothing when it is not mapped.
  std::optional<std::filesystem::path> DriveRoot(char letter) const;
  // GetDriveTypeA of the drive: kDriveFixed for C:, the mount's type, else kDriveNoRootDir.
  std::uint32_t DriveType(char letter) const;
  // GetLogicalDrives: one bit per mapped drive, bit 0 for A:.
  std::uint32_t DriveMask() const;

  // The file service made the entry `host` (a file or a directory) / removed it.
  void NoteCreated(const std::filesystem::path& host) { NoteChange(host, true); }
  void NoteRemoved(const std::filesystem::path& host) { NoteChange(host, false); }

 private:
  // The names of one host directory, ordered by their upper-case form and then by bytes,
  // and the directory's identity and modification time when they were read.
  struct Stamp {
    std::uint64_t inode = 0;
    std::int64_t seconds = 0;
    std::int64_t nanoseconds = 0;
    bool operator==(const Stamp&) const = default;
  };
  struct Listing {
    Stamp stamp;
    std::set<std::pair<std::string, std::string>> names;
  };
  static Stamp StampOf(const struct stat& info);
  // Brings the listing of `host`'s directory, when one is kept, up to date with one entry
  // made (`created`) or removed through the file service.
  void NoteChange(const std::filesystem::path& host, bool created);
  // The name of an entry of `dir` that equals `name` without regard to case; the first in
  // byte order when several do. Nothing when there is none or `dir` cannot be listed.
  std::optional<std::string> FindEntryIgnoringCase(const std::filesystem::path& dir,
                                                   const std::string& name) const;

  struct Drive {
    std::filesystem::path hostDir;
    std::uint32_t type = 0;
  };
  std::map<char, Drive> drives_;
  std::string currentDirectory_ = "C:\\";
  // Listings by host directory; read again when stale, forgotten all at once when many.
  mutable std::map<std::string, Listing> listings_;
};

}  // namespace sandbox
