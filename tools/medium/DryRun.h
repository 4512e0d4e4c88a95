// Whole installations of a medium on fresh sandbox machines, the way setup-sim runs one,
// with every question answered by the headless toolkit's generic user. A disk set is
// installed as a user installs it: disk 1 in the drive, the next disk put in at each
// prompt for it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/medium/Findings.h"
#include "tools/medium/MediumDir.h"

namespace medium {

// What the dry run needs to know of the script.
struct DryRunScript {
  std::vector<std::string> languages;  // the LANG lines' names, in order
  std::string installTo;               // the destination the wizard offers
  bool wantUninstall = false;          // UNINSTALL=YES
};

// Reads the header keys of the script's lines as the installer's header pass does.
DryRunScript ReadDryRunScript(const std::vector<std::string>& lines);

struct DryRunOutcome {
  std::string language;  // the language chosen (the LANG line's first value)
  std::uint32_t platformId = 1;
  int result = -1;          // the installation's result, -1 when it gave none
  std::string finishPage;   // the last page line of the transcript
  std::string lastMessage;  // the last message box of the transcript
  bool logMissing = false;  // UNINSTALL=YES, but no setup.uni in the destination afterwards
  bool Failed() const { return result != 0 || logMissing; }
};

// One run for each language of the script on each platform of `platforms`.
std::vector<DryRunOutcome> DryRun(const MediumDir& dir, const DryRunScript& script,
                                  const std::vector<std::uint32_t>& platforms);

// A finding for every run that failed, naming its cause where the run shows it.
std::vector<Finding> DryRunFindings(const std::vector<DryRunOutcome>& outcomes,
                                    const DryRunScript& script);

// "dry run: 4 runs (2 languages x 2 OS families), 1 failed".
std::string DryRunSummary(const std::vector<DryRunOutcome>& outcomes, const DryRunScript& script,
                          std::size_t platformCount);

}  // namespace medium
