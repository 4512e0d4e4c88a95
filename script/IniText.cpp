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

std::optional<std::string> EntryText(std::string_view text, std::string_view section,
                                     std::string_view key) {
  const std::string wantedSection = TrimBlanks(section);
  const std::string wantedKey = TrimBlanks(key);
  bool inside = false;
  bool seen = false;
  for (const std::string& line : SplitTextLines(text)) {
    std::string name;
    if (HeaderName(line, name)) {
      // The first section of the name is the one the profile functions read.
      if (inside) return std::nullopt;
      inside = !seen && EqualsUpper(name, wantedSection);
      seen = seen || inside;
      continue;
    }
    if (!inside) continue;
    const std::size_t equals = line.find('=');
    if (!EqualsUpper(TrimBlanks(std::string_view(line).substr(0, equals)), wantedKey)) continue;
    if (equals == std::string::npos) return std::nullopt;
    return line.substr(equals + 1);
  }
  return std::nullopt;
}

std::string ProfileValue(std::string_view entryText) {
  std::string value = TrimBlanks(entryText);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return value;
}

bool IsBlankText(std::string_view text) {
  return TrimBlanks(text).empty();
}

}  // namespace script
