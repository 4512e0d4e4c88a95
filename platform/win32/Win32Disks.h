// Drives and free space on the kernel32 ...A calls.
#pragma once

#include "platform/Disks.h"

namespace win32 {

// The Disks service of the running Windows.
class Win32Disks final : public platform::Disks {
 public:
  bool GetFreeSpace(const std::string& root, platform::DiskFreeSpace& space) override;
  std::uint32_t LogicalDrives() override;
  std::uint32_t DriveType(const std::string& root) override;
  std::string VolumeLabel(const std::string& root) override;
};

}  // namespace win32
