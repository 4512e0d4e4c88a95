#include "script/IniText.h"

#include <string>

#include "script/Text.h"
#include "script/TextLines.h"

namespace script {
namespace {

// The name of a "[name]" header line, or nothing for any other line.
bool HeaderName(const std::string& line, std::string& name) {
  const std::string trimmed = TrimBlanks(line);
  if (trimmed.size() < 2 || trimmed.front() != '[') return false;
  const std::size_t close = trimmed.find(']');
  if (close == std::string::npos) return false;
  name = TrimBlanks(std::string_view(trimmed).substr(1, close - 1));
  return true;
}

}  // namespace

bool SectionHasLines(std::string_view text, std::string_view section) {
  const std::string wanted = TrimBlanks(section);
  bool inside = false;
  for (const std::string& line : SplitTextLines(text)) {
    std::string name;
    if (HeaderName(line, name)) {
      inside = EqualsUpper(name, wanted);
    } else if (inside && !TrimBlanks(line).empty()) {
      return true;
    }
  }
  return false;
}

bool HasSection(std::string_view text, std::string_view section) {
  const std::string wanted = TrimBlanks(section);
  for (const std::string& line : SplitTextLines(text)) {
    std::string name;
    if (HeaderName(line, name) && EqualsUpper(name, wanted)) return true;
  }
  return false;
}

bool IsBlankText(std::string_view text) {
  return TrimBlanks(text).empty();
}

}  // namespace script
