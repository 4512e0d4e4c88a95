#include "tools/medium/Diskette.h"

#include <iterator>

#include "script/Text.h"

namespace medium {
namespace {

constexpr std::uint32_t kSector = 512;
constexpr std::uint32_t kEntryBytes = 32;
constexpr std::uint32_t kMaxFat12Clusters = 4084;

struct StandardFormat {
  std::uint64_t kb;
  DisketteFormat format;
};

// As the standard diskettes are formatted (sectors per cluster, root entries and FAT size
// from their boot sectors).
constexpr StandardFormat kStandard[] = {
    {160, {512, 313, 64}},      // 320 sectors: 1 boot, 2 x 1 FAT, 4 root, 313 data
    {180, {512, 351, 64}},      // 360 sectors: 1 boot, 2 x 2 FAT, 4 root, 351 data
    {320, {1024, 315, 112}},    // 640 sectors: 1 boot, 2 x 1 FAT, 7 root, 630 data
    {360, {1024, 354, 112}},    // 720 sectors: 1 boot, 2 x 2 FAT, 7 root, 708 data
    {720, {1024, 713, 112}},    // 1440 sectors: 1 boot, 2 x 3 FAT, 7 root, 1426 data
    {1200, {512, 2371, 224}},   // 2400 sectors: 1 boot, 2 x 7 FAT, 14 root, 2371 data
    {1440, {512, 2847, 224}},   // 2880 sectors: 1 boot, 2 x 9 FAT, 14 root, 2847 data
    {2880, {1024, 2863, 240}},  // 5760 sectors: 1 boot, 2 x 9 FAT, 15 root, 5726 data
};

std::uint64_t Ceil(std::uint64_t value, std::uint64_t unit) {
  return (value + unit - 1) / unit;
}

bool IsShortName(const std::string& name) {
  const std::size_t dot = name.find('.');
  const std::string base = name.substr(0, dot);
  const std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
  if (base.empty() || base.size() > 8 || ext.size() > 3 || ext.find('.') != std::string::npos)
    return false;
  for (const char c : base + ext) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= ' ' || (c >= 'a' && c <= 'z') ||
        std::string_view("\"*+,/:;<=>?[\\]|").find(c) != std::string_view::npos)
      return false;
  }
  return true;
}

}  // namespace

DisketteFormat DisketteFormatOf(std::uint64_t kb) {
  for (const StandardFormat& standard : kStandard)
    if (standard.kb == kb) return standard.format;
  const std::uint64_t sectors = kb * 1024 / kSector;
  DisketteFormat format;
  format.rootEntries = kb >= 1200 ? 224 : kb >= 320 ? 112 : 16;
  const std::uint64_t rootSectors = Ceil(format.rootEntries * kEntryBytes, kSector);
  for (std::uint64_t perCluster = 1;; perCluster *= 2) {
    // The FATs grow with the clusters they map: find the layout where both agree.
    std::uint64_t fatSectors = 1;
    std::uint64_t clusters = 0;
    for (int round = 0; round < 8; ++round) {
      const std::uint64_t overhead = 1 + 2 * fatSectors + rootSectors;
      clusters = sectors > overhead ? (sectors - overhead) / perCluster : 0;
      fatSectors = Ceil((clusters + 2) * 3 / 2 + 1, kSector);
    }
    if (clusters <= kMaxFat12Clusters || perCluster >= 128) {
      format.clusterBytes = static_cast<std::uint32_t>(perCluster * kSector);
      format.clusters =
          static_cast<std::uint32_t>(std::min<std::uint64_t>(clusters, kMaxFat12Clusters));
      return format;
    }
  }
}

bool IsStandardDiskette(std::uint64_t kb) {
  for (const StandardFormat& standard : kStandard)
    if (standard.kb == kb) return true;
  return false;
}

std::string StandardDisketteSizes() {
  std::string text;
  for (const StandardFormat& standard : kStandard)
    text += (text.empty()                           ? ""
             : &standard == std::end(kStandard) - 1 ? " or "
                                                    : ", ") +
            std::to_string(standard.kb);
  return text;
}

std::uint32_t DirectoryEntriesOf(const std::string& name) {
  if (IsShortName(name)) return 1;
  return 1 + static_cast<std::uint32_t>(Ceil(name.size(), 13));
}

DiskUsage::DiskUsage(const DisketteFormat& format) : format_(format) {
  entries_[""] = 1;  // the volume label
}

void DiskUsage::AddFile(const std::vector<std::string>& parts, std::uint64_t size) {
  std::string folder;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const bool last = i + 1 == parts.size();
    const std::string path = (folder.empty() ? "" : folder + "\\") + script::UpperAscii(parts[i]);
    if (!last && !entries_.count(path)) {
      entries_[folder] += DirectoryEntriesOf(parts[i]);
      entries_[path] = 2;  // "." and ".."
    }
    if (last) entries_[folder] += DirectoryEntriesOf(parts[i]);
    folder = path;
  }
  fileClusters_ += Ceil(size, format_.clusterBytes);
}

std::uint64_t DiskUsage::Clusters() const {
  std::uint64_t clusters = fileClusters_;
  for (const auto& [folder, entries] : entries_)
    if (!folder.empty())
      clusters += Ceil(std::uint64_t{entries} * kEntryBytes, format_.clusterBytes);
  return clusters;
}

std::uint32_t DiskUsage::RootEntries() const {
  return entries_.at("");
}

bool DiskUsage::Fits(const std::vector<std::string>& parts, std::uint64_t size) const {
  DiskUsage with = *this;
  with.AddFile(parts, size);
  return with.Fits();
}

}  // namespace medium
