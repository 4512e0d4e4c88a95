// The disks of a medium as the packer fills them: one folder of any size, or a set of
// disks each measured as a FAT12 diskette of the set's size.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tools/medium/Diskette.h"

namespace medium {

// A file as a disk holds it: its name on the medium (a Windows relative path) and size.
struct DiskFile {
  std::string name;
  std::uint64_t size = 0;
};

class DiskSet {
 public:
  // Disks of `diskKB` KB each; without a size, one disk that holds everything.
  explicit DiskSet(std::optional<std::uint64_t> diskKB);

  std::size_t Count() const { return disks_.size(); }
  // Starts the next disk and gives its number (1-based).
  std::size_t Start();
  // True when disk `disk` holds a file of that name (compared as the installer does).
  bool Holds(std::size_t disk, const std::string& name) const;
  // True when `files` fit on disk `disk` beside what it holds; those it holds already
  // take no more room.
  bool Fit(std::size_t disk, const std::vector<DiskFile>& files) const;
  // True when `files` fit on an empty disk.
  bool FitEmpty(const std::vector<DiskFile>& files) const;
  // Puts a file on disk `disk`; false when it holds that name already.
  bool Add(std::size_t disk, const DiskFile& file);

  // What `files` take on a disk, in bytes of whole clusters (and folders).
  std::uint64_t BytesOnDisk(const std::vector<DiskFile>& files) const;
  // For messages: "a 1440 KB disk holds 1,457,664 bytes (2,847 clusters of 512 bytes) and
  // 223 root folder entries".
  std::string Capacity() const;

 private:
  struct Disk {
    std::optional<DiskUsage> usage;
    std::set<std::string> names;
  };
  std::optional<std::uint64_t> diskKB_;
  std::optional<DisketteFormat> format_;
  std::vector<Disk> disks_;
};

// `n` with its thousands set apart by commas (1,457,664).
std::string Grouped(std::uint64_t n);

}  // namespace medium
