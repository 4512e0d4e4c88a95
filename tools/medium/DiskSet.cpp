#include "tools/medium/DiskSet.h"

#include "script/Text.h"
#include "tools/medium/MediumDir.h"

namespace medium {
namespace {

std::vector<std::string> PartsOf(const std::string& name) {
  return RelativeParts(name).value_or(std::vector<std::string>{name});
}

std::string Key(const std::string& name) {
  std::string key;
  for (const std::string& part : PartsOf(name))
    key += (key.empty() ? "" : "\\") + script::UpperAscii(part);
  return key;
}

}  // namespace

std::string Grouped(std::uint64_t n) {
  std::string digits = std::to_string(n);
  for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
  return digits;
}

DiskSet::DiskSet(std::optional<std::uint64_t> diskKB) : diskKB_(diskKB) {
  if (diskKB) format_ = DisketteFormatOf(*diskKB);
}

std::size_t DiskSet::Start() {
  Disk disk;
  if (format_) disk.usage.emplace(*format_);
  disks_.push_back(std::move(disk));
  return disks_.size();
}

bool DiskSet::Holds(std::size_t disk, const std::string& name) const {
  return disks_.at(disk - 1).names.count(Key(name)) > 0;
}

bool DiskSet::Fit(std::size_t disk, const std::vector<DiskFile>& files) const {
  const Disk& target = disks_.at(disk - 1);
  if (!target.usage) return true;
  DiskUsage usage = *target.usage;
  std::set<std::string> names = target.names;
  for (const DiskFile& file : files)
    if (names.insert(Key(file.name)).second) usage.AddFile(PartsOf(file.name), file.size);
  return usage.Fits();
}

bool DiskSet::FitEmpty(const std::vector<DiskFile>& files) const {
  if (!format_) return true;
  DiskSet empty(diskKB_);
  empty.Start();
  return empty.Fit(1, files);
}

bool DiskSet::Add(std::size_t disk, const DiskFile& file) {
  Disk& target = disks_.at(disk - 1);
  if (!target.names.insert(Key(file.name)).second) return false;
  if (target.usage) target.usage->AddFile(PartsOf(file.name), file.size);
  return true;
}

std::uint64_t DiskSet::BytesOnDisk(const std::vector<DiskFile>& files) const {
  DiskUsage usage(format_.value_or(DisketteFormat{}));
  for (const DiskFile& file : files) usage.AddFile(PartsOf(file.name), file.size);
  return usage.Bytes();
}

std::string DiskSet::Capacity() const {
  if (!format_) return "";
  return "a " + std::to_string(*diskKB_) + " KB disk holds " + Grouped(format_->Bytes()) +
         " bytes (" + Grouped(format_->clusters) + " clusters of " +
         std::to_string(format_->clusterBytes) + " bytes) and " +
         std::to_string(format_->rootEntries - 1) + " root folder entries";
}

}  // namespace medium
