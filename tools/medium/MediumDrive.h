// The installation medium in a drive of a sandbox machine, as setup-sim and the dry run put
// it there: a disk set starts with its first disk in the drive, and its other disks are put
// in one at a time, as a user changes diskettes at the installer's prompts.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "tools/medium/MediumDir.h"

namespace sandbox {
class Machine;
}

namespace medium {

class MediumDrive {
 public:
  // The folder a user names: a disk set's folder goes in with its disk 1, a disk of a set
  // (its folder DISKn) as it is, any other folder as it is; the disks of the set, if any,
  // may be changed to.
  MediumDrive(sandbox::Machine& machine, char letter, const std::filesystem::path& folder);
  // A medium that was opened already: its disk 1 in the drive.
  MediumDrive(sandbox::Machine& machine, char letter, const MediumDir& medium);

  // Puts disk `disk` of the set into the drive: the empty text when it did, otherwise why
  // it cannot (the medium is no disk set, the set has no such disk).
  std::string Change(int disk);

 private:
  sandbox::Machine& machine_;
  char letter_;
  std::string shown_;  // the medium, for messages
  std::optional<MediumDir> set_;
};

// The disk the installer's prompt asks for ("Please, insert disk #2 into drive D: ."); 0 when
// `text` is no such prompt.
int AskedDisk(const std::string& text);

}  // namespace medium
