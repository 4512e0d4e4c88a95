// Drives and their free space.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// What GetDiskFreeSpaceA reports for one volume.
struct DiskFreeSpace {
  std::uint32_t sectorsPerCluster = 0;
  std::uint32_t bytesPerSector = 0;
  std::uint32_t freeClusters = 0;
  std::uint32_t totalClusters = 0;
};

class Disks {
 public:
  virtual ~Disks() = default;
  // GetDiskFreeSpaceA: `root` is "X:\" or empty for the current drive. False on failure.
  virtual bool GetFreeSpace(const std::string& root, DiskFreeSpace& space) = 0;
  // GetLogicalDrives: bit 0 is A:, bit 2 is C:, ...
  virtual std::uint32_t LogicalDrives() = 0;
  // GetDriveTypeA of "X:\" (the kDrive... values).
  virtual std::uint32_t DriveType(const std::string& root) = 0;
  // GetVolumeInformationA's volume label, empty when it has none or cannot be read.
  virtual std::string VolumeLabel(const std::string& root) = 0;
};

}  // namespace platform
