// Windows paths of the emulated machine and the host files behind them.
//
// Every drive is a host folder: C: is `<machineRoot>/drive_c`, other letters are mounted
// folders (the installation medium). A Windows path is resolved one component at a time
// without regard to the case of a-z: an existing host entry that matches is used (an exact
// match first), a name that does not exist yet is kept as written. Nothing outside the
// drive folders can be reached: UNC names, `..` above a drive root and any component that
// is a symbolic link are refused.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace sandbox {

// The key form of a Windows path used by Faults: the path with a-z turned into A-Z.
std::string UpperKey(std::string_view windowsPath);

// A Windows path resolved to its normalised Windows form and the host entry behind it.
struct ResolvedPath {
  std::string windowsPath;  // absolute, "C:\DIR\FILE.EXT" in the case the caller gave
  std::filesystem::path hostPath;
  char drive = 'C';  // upper-case drive letter
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

 private:
  struct Drive {
    std::filesystem::path hostDir;
    std::uint32_t type = 0;
  };
  std::map<char, Drive> drives_;
  std::string currentDirectory_ = "C:\\";
};

}  // namespace sandbox
