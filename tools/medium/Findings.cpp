#include "tools/medium/Findings.h"

#include <algorithm>

namespace medium {

std::string FormatFinding(const Finding& finding, const std::string& file) {
  std::string text = file + ":";
  if (finding.line > 0) text += std::to_string(finding.line) + ":";
  text += finding.severity == Severity::Error ? " error: " : " warning: ";
  return text + finding.text;
}

std::size_t CountErrors(const std::vector<Finding>& findings) {
  return static_cast<std::size_t>(
      std::count_if(findings.begin(), findings.end(),
                    [](const Finding& f) { return f.severity == Severity::Error; }));
}

void PrintFindings(std::vector<Finding> findings, std::ostream& out, const std::string& file,
                   const std::vector<std::string>& notes) {
  std::stable_sort(findings.begin(), findings.end(),
                   [](const Finding& a, const Finding& b) { return a.line < b.line; });
  for (const Finding& finding : findings) out << FormatFinding(finding, file) << '\n';
  for (const std::string& note : notes) out << note << '\n';
  const std::size_t errors = CountErrors(findings);
  out << errors << " errors, " << findings.size() - errors << " warnings\n";
}

}  // namespace medium
