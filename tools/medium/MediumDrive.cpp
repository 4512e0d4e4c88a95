#include "tools/medium/MediumDrive.h"

#include <climits>
#include <cstdlib>
#include <string_view>

#include "platform/sandbox/Machine.h"

namespace medium {
namespace fs = std::filesystem;

MediumDrive::MediumDrive(sandbox::Machine& machine, char letter, const fs::path& folder)
    : machine_(machine), letter_(letter), shown_(folder.string()), set_(DiskSetOf(folder)) {
  const std::optional<MediumDir> given = MediumDir::Open(folder);
  machine_.Mount(letter_, given && given->IsDiskSet() ? given->DiskRoot(1) : folder);
}

MediumDrive::MediumDrive(sandbox::Machine& machine, char letter, const MediumDir& medium)
    : machine_(machine), letter_(letter), shown_(medium.DiskRoot(1).string()) {
  if (medium.IsDiskSet()) set_ = medium;
  machine_.Mount(letter_, medium.DiskRoot(1));
}

std::string MediumDrive::Change(int disk) {
  if (!set_) return "the medium " + shown_ + " is no disk set (DISK1, DISK2, ...)";
  if (disk < 1 || disk > set_->DiskCount())
    return "the disk set has " + std::to_string(set_->DiskCount()) + " disks";
  machine_.Mount(letter_, set_->DiskRoot(disk));
  return {};
}

int AskedDisk(const std::string& text) {
  constexpr std::string_view kPrompt = "Please, insert disk #";
  if (text.compare(0, kPrompt.size(), kPrompt) != 0) return 0;
  // strtoll saturates where a number is too long: such a disk is none a set has.
  const long long disk = std::strtoll(text.c_str() + kPrompt.size(), nullptr, 10);
  return disk > 0 && disk <= INT_MAX ? static_cast<int>(disk) : 0;
}

}  // namespace medium
