#include "uninst/IniText.h"

#include <string>

#include "script/Text.h"
#include "script/TextLines.h"

namespace uninst {
namespace {

// The name of a "[name]" header line, or nothing for any other line.
bool HeaderName(const std::string& line, std::string& name) {
  const std::string trimmed = script::TrimBlanks(line);
  if (trimmed.size() < 2 || trimmed.front() != '[') return false;
  const std::size_t close = trimmed.find(']');
  if (close == std::string::npos) return false;
  name = script::TrimBlanks(std::string_view(trimmed).substr(1, close - 1));
  return true;
}

}  // namespace

bool SectionHasLines(std::string_view text, std::string_view section) {
  const std::string wanted = script::TrimBlanks(section);
  bool inside = false;
  for (const std::string& line : script::SplitTextLines(text)) {
    std::string name;
    if (HeaderName(line, name)) {
      inside = script::EqualsUpper(name, wanted);
    } else if (inside && !script::TrimBlanks(line).empty()) {
      return true;
    }
  }
  return false;
}

bool IsBlankText(std::string_view text) {
  return script::TrimBlanks(text).empty();
}

}  // namespace uninst
