#include "platform/win32/Win32Disks.h"

#include "platform/win32/WindowsApi.h"

namespace win32 {

bool Win32Disks::GetFreeSpace(const std::string& root, platform::DiskFreeSpace& space) {
  DWORD sectorsPerCluster = 0;
  DWORD bytesPerSector = 0;
  DWORD freeClusters = 0;
  DWORD totalClusters = 0;
  // An empty root means the current drive, which the API asks for with a null pointer.
  const char* rootPath = root.empty() ? nullptr : root.c_str();
  if (!::GetDiskFreeSpaceA(rootPath, &sectorsPerCluster, &bytesPerSector, &freeClusters,
                           &totalClusters)) {
    return false;
  }
  space.sectorsPerCluster = sectorsPerCluster;
  space.bytesPerSector = bytesPerSector;
  space.freeClusters = freeClusters;
  space.totalClusters = totalClusters;
  return true;
}

std::uint32_t Win32Disks::LogicalDrives() {
  return ::GetLogicalDrives();
}

std::uint32_t Win32Disks::DriveType(const std::string& root) {
  return ::GetDriveTypeA(root.c_str());
}

std::string Win32Disks::VolumeLabel(const std::string& root) {
  char label[MAX_PATH + 1] = {};
  if (!::GetVolumeInformationA(root.c_str(), label, sizeof label, nullptr, nullptr, nullptr,
                               nullptr, 0)) {
    return {};
  }
  return label;
}

}  // namespace win32
