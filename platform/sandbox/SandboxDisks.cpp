#include "platform/sandbox/SandboxDisks.h"

#include <sys/statvfs.h>

#include <algorithm>

#include "platform/WinTypes.h"

namespace sandbox {
namespace {

constexpr std::uint32_t kBytesPerSector = 512;
constexpr std::uint32_t kSectorsPerCluster = 8;
constexpr std::uint64_t kBytesPerCluster = kBytesPerSector * kSectorsPerCluster;

char Upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::uint32_t Clusters(std::uint64_t bytes) {
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(bytes / kBytesPerCluster, 0xFFFFFFFFu));
}

}  // namespace

std::optional<char> SandboxDisks::DriveOf(const std::string& root) const {
  if (root.empty()) return paths_.CurrentDrive();
  const bool letter = (root[0] >= 'a' && root[0] <= 'z') || (root[0] >= 'A' && root[0] <= 'Z');
  if (!letter || root.size() < 2 || root[1] != ':') return std::nullopt;
  if (root.size() == 2 || (root.size() == 3 && (root[2] == '\\' || root[2] == '/'))) {
    return Upper(root[0]);
  }
  return std::nullopt;
}

bool SandboxDisks::GetFreeSpace(const std::string& root, platform::DiskFreeSpace& space) {
  const std::optional<char> drive = DriveOf(root);
  if (!drive) return false;
  const std::optional<std::filesystem::path> hostRoot = paths_.DriveRoot(*drive);
  if (!hostRoot) return false;
  struct statvfs host {};
  const bool hostKnown = ::statvfs(hostRoot->c_str(), &host) == 0;
  const auto set = freeBytes_.find(*drive);
  if (!hostKnown && set == freeBytes_.end()) return false;
  const std::uint64_t hostFree = hostKnown ? std::uint64_t{host.f_bavail} * host.f_frsize : 0;
  const std::uint64_t hostTotal = hostKnown ? std::uint64_t{host.f_blocks} * host.f_frsize : 0;
  const std::uint64_t free = set == freeBytes_.end() ? hostFree : set->second;
  space.bytesPerSector = kBytesPerSector;
  space.sectorsPerCluster = kSectorsPerCluster;
  space.freeClusters = Clusters(free);
  space.totalClusters = Clusters(std::max(hostTotal, free));
  return true;
}

std::uint32_t SandboxDisks::DriveType(const std::string& root) {
  const std::optional<char> drive = DriveOf(root);
  return drive ? paths_.DriveType(*drive) : platform::kDriveNoRootDir;
}

std::string SandboxDisks::VolumeLabel(const std::string& root) {
  const std::optional<char> drive = DriveOf(root);
  if (!drive || !paths_.DriveRoot(*drive)) return "";
  const auto label = labels_.find(*drive);
  return label == labels_.end() ? "" : label->second;
}

void SandboxDisks::SetFreeBytes(char drive, std::uint64_t bytes) {
  freeBytes_[Upper(drive)] = bytes;
}

void SandboxDisks::SetVolumeLabel(char drive, std::string label) {
  labels_[Upper(drive)] = std::move(label);
}

}  // namespace sandbox
