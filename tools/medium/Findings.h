// What the medium checker reports: one finding per script line, in the form compilers use
// so that editors jump to it.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

namespace medium {

enum class Severity { Error, Warning };

struct Finding {
  std::size_t line = 0;  // 1-based line of Setup.Inf; 0 for the medium as a whole
  Severity severity = Severity::Error;
  std::string text;
  friend bool operator==(const Finding&, const Finding&) = default;
};

// "Setup.Inf:LINE: error: TEXT" (or warning); "Setup.Inf: error: TEXT" for line 0. `file`
// names the script the lines are of.
std::string FormatFinding(const Finding& finding, const std::string& file = "Setup.Inf");

// Prints every finding in line order, then the `notes` (a line each), then "N errors, M
// warnings".
void PrintFindings(std::vector<Finding> findings, std::ostream& out,
                   const std::string& file = "Setup.Inf",
                   const std::vector<std::string>& notes = {});

std::size_t CountErrors(const std::vector<Finding>& findings);

}  // namespace medium
