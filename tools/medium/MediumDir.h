// A medium on the host: one folder, or a disk set whose disks are the folders DISK1, DISK2,
// ... Files are found as the installer finds them on a medium: the path relative to the
// disk's root, its components matched without regard to case.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace medium {

class MediumDir {
 public:
  // Empty when `root` is neither a folder with Setup.Inf nor one with DISK1\Setup.Inf.
  static std::optional<MediumDir> Open(const std::filesystem::path& root);

  // Any folder as a single disk (the product's files, the programs).
  static std::optional<MediumDir> OpenFolder(const std::filesystem::path& root);

  // A file on disk `disk` whose name matches `windowsPath` but for its last letter (the
  // original of a compressed name such as DEMO.EX_), or nothing.
  std::optional<std::filesystem::path> FindLastLetterAny(int disk,
                                                         const std::string& windowsPath) const;

  // Disks of the medium (1 for a single folder).
  int DiskCount() const { return static_cast<int>(disks_.size()); }
  bool IsDiskSet() const { return diskSet_; }
  // The host folder of disk `disk` (1-based).
  const std::filesystem::path& DiskRoot(int disk) const { return disks_.at(disk - 1); }

  // The host file a Windows path relative to the disk's root names on disk `disk`, or
  // nothing when there is none (a path with ".." or a drive leads off the medium).
  std::optional<std::filesystem::path> Find(int disk, const std::string& windowsPath) const;

 private:
  // The host entry (file or folder) the path names on disk `disk`.
  std::optional<std::filesystem::path> Locate(int disk, const std::string& windowsPath) const;
  // The entries of a host folder by upper-cased name, listed once.
  const std::map<std::string, std::filesystem::path>& Listing(
      const std::filesystem::path& dir) const;

  std::vector<std::filesystem::path> disks_;
  bool diskSet_ = false;
  mutable std::map<std::filesystem::path, std::map<std::string, std::filesystem::path>> listings_;
};

// The disk set `folder` holds (DISK1, DISK2, ... inside) or is a disk of (a folder DISKn of
// such a set); nothing when it is neither.
std::optional<MediumDir> DiskSetOf(const std::filesystem::path& folder);

// The parts of a Windows relative path (split at "\" and "/", empty parts dropped); empty
// when a part is ".." or the path names a drive.
std::optional<std::vector<std::string>> RelativeParts(const std::string& windowsPath);

}  // namespace medium
