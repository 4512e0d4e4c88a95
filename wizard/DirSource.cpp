#include "wizard/DirSource.h"

#include <algorithm>
#include <stdexcept>

#include "engine/FileUtil32.h"
#include "script/Text.h"

namespace {

// GetDriveTypeA's value for a RAM disk, which the installer itself never asks about.
constexpr std::uint32_t kDriveRamdisk = 6;

forms::DriveKind KindOf(std::uint32_t driveType) {
  switch (driveType) {
    case platform::kDriveRemovable:
      return forms::DriveKind::Removable;
    case platform::kDriveFixed:
      return forms::DriveKind::Fixed;
    case platform::kDriveRemote:
      return forms::DriveKind::Remote;
    case platform::kDriveCdrom:
      return forms::DriveKind::CdRom;
    case kDriveRamdisk:
      return forms::DriveKind::RamDisk;
    default:
      return forms::DriveKind::Unknown;
  }
}

std::string WithoutSlash(const std::string& path) {
  return !path.empty() && path.back() == '\\' ? path.substr(0, path.size() - 1) : path;
}

}  // namespace

std::string PlatformDirectorySource::CurrentDirectory() {
  return platform_.files.GetCurrentDirectory();
}

bool PlatformDirectorySource::ChangeDirectory(const std::string& path, std::string& error) {
  if (platform_.files.SetCurrentDirectory(path)) return true;
  const std::uint32_t code = platform_.files.LastError();
  error = platform_.system.ErrorText(code);
  if (error.empty()) error = "System error " + std::to_string(code);
  return false;
}

std::vector<std::string> PlatformDirectorySource::SubDirectories(const std::string& directory) {
  std::vector<std::string> names;
  const std::string pattern = WithoutSlash(directory) + "\\*.*";
  constexpr std::uint32_t kHiddenOrSystem =
      platform::kFileAttributeHidden | platform::kFileAttributeSystem;
  for (const platform::FindData& entry : platform_.files.Find(pattern)) {
    if (entry.name == "." || entry.name == "..") continue;
    if ((entry.attributes & platform::kFileAttributeDirectory) == 0) continue;
    if ((entry.attributes & kHiddenOrSystem) != 0) continue;
    names.push_back(entry.name);
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return script::UpperAscii(a) < script::UpperAscii(b);
  });
  return names;
}

std::vector<forms::DriveEntry> PlatformDirectorySource::Drives() {
  std::vector<forms::DriveEntry> drives;
  const std::uint32_t mask = platform_.disks.LogicalDrives();
  for (int bit = 0; bit < 26; ++bit) {
    if ((mask & (1u << bit)) == 0) continue;
    forms::DriveEntry drive;
    drive.letter = static_cast<char>('A' + bit);
    const std::string root{drive.letter, ':', '\\'};
    drive.kind = KindOf(platform_.disks.DriveType(root));
    // A removable drive is not read: that would wait for a diskette.
    if (drive.kind != forms::DriveKind::Removable) drive.label = platform_.disks.VolumeLabel(root);
    drives.push_back(std::move(drive));
  }
  return drives;
}

bool DirectoryExists(platform::Files& files, const std::string& path) {
  if (path.empty()) return false;
  const std::uint32_t attributes = files.GetAttributes(path);
  return attributes != platform::kInvalidFileAttributes &&
         (attributes & platform::kFileAttributeDirectory) != 0;
}

bool ForceDirectories(platform::Files& files, const std::string& path,
                      std::vector<std::string>& made) {
  if (path.empty()) throw std::runtime_error("Unable to create directory");
  const std::string directory = WithoutSlash(path);
  // A drive root ("C:", "C:\", "\") cannot be created: it is there or it is not.
  if (directory.empty() || (directory.size() == 2 && directory[1] == ':'))
    return DirectoryExists(files, directory.empty() ? path : directory + "\\");
  std::vector<std::string> missing;
  for (std::string level = directory; !level.empty() && !DirectoryExists(files, level);) {
    missing.insert(missing.begin(), level);
    std::string parent = engine::TrimDir(engine::DirectoryPart(level));
    if (parent.size() >= level.size() || (parent.size() == 2 && parent[1] == ':')) break;
    level = std::move(parent);
  }
  engine::ForceDirectories(files, directory);
  for (const std::string& level : missing)
    if (DirectoryExists(files, level)) made.push_back(level);
  return DirectoryExists(files, directory);
}
