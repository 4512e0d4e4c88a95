// The medium checker: reads Setup.Inf with the installer's own script rules and looks at
// the medium's files the way the installer will find them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/medium/Findings.h"
#include "tools/medium/MediumDir.h"

namespace medium {

struct CheckOptions {
  // The platform family the medium is meant for (1: Windows 95, 2: NT); empty for both.
  std::optional<std::uint32_t> platformId;
  // The number each line of the script is reported by: its line in the template the
  // packer made it from (0 for a line the packer added). Empty: its own line number.
  std::vector<std::size_t> lineNumbers;
};

// The lines of the medium's Setup.Inf (on disk 1), or nothing when it cannot be read.
std::optional<std::vector<std::string>> ReadMediumScript(const MediumDir& dir);
// The same of the Setup.Inf on disk `disk` of a set.
std::optional<std::vector<std::string>> ReadMediumScriptOn(const MediumDir& dir, int disk);

// Every finding of the script `lines` (Setup.Inf of `dir`, split into lines).
std::vector<Finding> CheckMedium(const MediumDir& dir, const std::vector<std::string>& lines,
                                 const CheckOptions& options);

// The total the script's PROCESS should give, all the installation writes: the installed
// sizes of every copy line's file, of the largest language file and of the uninstaller.
struct InstalledSizes {
  std::uint64_t copies = 0;
  std::uint64_t largestLanguage = 0;
  std::uint64_t uninstaller = 0;
  std::uint64_t Total() const { return copies + largestLanguage + uninstaller; }
};

}  // namespace medium
