// Whole installations of a medium on fresh sandbox machines, the way setup-sim runs one,
// with every question answered by the headless toolkit's generic user.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/medium/Findings.h"
#include "tools/medium/MediumDir.h"

namespace medium {

struct DryRunOutcome {
  std::string language;  // the language chosen (the LANG line's first value)
  std::uint32_t platformId = 1;
  int result = -1;          // the installation's result, -1 when it gave none
  std::string finishPage;   // the last page line of the transcript
  std::string lastMessage;  // the last message box of the transcript
};

// One run for each language of `languages` on each platform of `platforms`.
std::vector<DryRunOutcome> DryRun(const MediumDir& dir, const std::vector<std::string>& languages,
                                  const std::vector<std::uint32_t>& platforms);

// A finding for every run that did not end with result 0.
std::vector<Finding> DryRunFindings(const std::vector<DryRunOutcome>& outcomes);

}  // namespace medium
