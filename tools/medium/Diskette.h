// How much a FAT12 diskette holds. Files take whole clusters, every name takes directory
// entries (a long or mixed-case name several), a folder takes clusters of its own, and
// the root folder has a fixed number of entries: a disk of a set must fit in that, not
// merely in its size in bytes.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace medium {

struct DisketteFormat {
  std::uint32_t clusterBytes = 512;  // bytes of one cluster
  std::uint32_t clusters = 0;        // clusters for files and folders
  std::uint32_t rootEntries = 0;     // directory entries of the root folder
  std::uint64_t Bytes() const { return std::uint64_t{clusterBytes} * clusters; }
};

// The format of a diskette of `kb` KB: the standard formats (160, 180, 320, 360, 720,
// 1200, 1440 and 2880 KB) as they are formatted, 1440 KB say as 2847 clusters of 512 bytes
// (1,457,664 bytes) and 224 root entries; any other size laid out the same way (512-byte sectors,
// one boot sector, two FATs, clusters of as few sectors as FAT12 allows).
DisketteFormat DisketteFormatOf(std::uint64_t kb);

// True when `kb` is the size of a standard format, one that diskette images are made of.
bool IsStandardDiskette(std::uint64_t kb);
// "160, 180, 320, 360, 720, 1200, 1440 or 2880": the standard sizes in KB, for messages.
std::string StandardDisketteSizes();

// The directory entries a name takes: one, and one more for each 13 characters of its
// long name when it is no upper-case 8.3 name.
std::uint32_t DirectoryEntriesOf(const std::string& name);

// What the files of one disk take on a diskette.
class DiskUsage {
 public:
  explicit DiskUsage(const DisketteFormat& format);

  // Adds the file `parts` (folders, then the name) of `size` bytes.
  void AddFile(const std::vector<std::string>& parts, std::uint64_t size);

  // The clusters taken so far, folders included.
  std::uint64_t Clusters() const;
  std::uint64_t Bytes() const { return Clusters() * format_.clusterBytes; }
  // The root folder's entries taken (the volume label included).
  std::uint32_t RootEntries() const;
  bool Fits() const {
    return Clusters() <= format_.clusters && RootEntries() <= format_.rootEntries;
  }
  // True when the file would fit beside what is there.
  bool Fits(const std::vector<std::string>& parts, std::uint64_t size) const;

 private:
  DisketteFormat format_;
  std::uint64_t fileClusters_ = 0;
  // Entries of each folder by its upper-cased path ("" for the root).
  std::map<std::string, std::uint32_t> entries_;
};

}  // namespace medium
