// Drives of the emulated machine: their types, labels and free space. Free space is the
// host's figure for the drive's folder unless a test sets one; it is reported as on an
// NTFS volume (512-byte sectors, 8 sectors to a cluster).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "platform/Disks.h"
#include "platform/sandbox/Paths.h"

namespace sandbox {

class SandboxDisks : public platform::Disks {
 public:
  // `paths` knows the drives and must outlive this object.
  explicit SandboxDisks(const PathResolver& paths) : paths_(paths) {}

  // Cluster counts above 0xFFFFFFFF are reported as 0xFFFFFFFF.
  bool GetFreeSpace(const std::string& root, platform::DiskFreeSpace& space) override;
  std::uint32_t LogicalDrives() override { return paths_.DriveMask(); }
  std::uint32_t DriveType(const std::string& root) override;
  std::string VolumeLabel(const std::string& root) override;

  // Makes drive `drive` report `bytes` free instead of the host's figure.
  void SetFreeBytes(char drive, std::uint64_t bytes);
  // Gives drive `drive` a volume label (none by default).
  void SetVolumeLabel(char drive, std::string label);

 private:
  // The drive letter a root names ("X:\", "X:", or "" for the current drive).
  std::optional<char> DriveOf(const std::string& root) const;

  const PathResolver& paths_;
  std::map<char, std::uint64_t> freeBytes_;
  std::map<char, std::string> labels_;
};

}  // namespace sandbox
