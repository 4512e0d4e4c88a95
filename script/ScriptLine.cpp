#include "script/ScriptLine.h"

#include "script/Text.h"

#include <algorithm>

namespace script {

namespace {

// Removes the size tag from `line` and gives it. A "$" anywhere marks a tag: the tag is
// what lies between the first two "$$"; the line loses everything from the first "$$"
// through the end of the second. With a lone "$" and no "$$" the line stays as it is and
// the tag is the line less its first character, as scripts of old have always been read.
std::string TakeSizeTag(std::string& line) {
  if (line.find('$') == std::string::npos) return "0";
  const std::size_t first = line.find("$$");
  const std::size_t afterFirst = (first == std::string::npos) ? 1 : first + 2;
  std::string tag = line.substr(std::min(afterFirst, line.size()));
  const std::size_t second = tag.find("$$");
  if (second != std::string::npos) tag.erase(second);
  if (first != std::string::npos) {
    const std::size_t secondInLine = line.find("$$", first + 2);
    const std::size_t cutEnd = (secondInLine == std::string::npos) ? first + 2 : secondInLine + 2;
    line.erase(first, cutEnd - first);
  }
  return tag;
}

// Splits off the text before the first comma, trimmed; `rest` keeps what follows it.
std::string TakeValue(std::string& rest) {
  const std::size_t comma = rest.find(',');
  if (comma == std::string::npos) {
    std::string value = TrimBlanks(rest);
    rest.clear();
    return value;
  }
  std::string value = TrimBlanks(std::string_view(rest).substr(0, comma));
  rest.erase(0, comma + 1);
  return value;
}

}  // namespace

ScriptLine SplitScriptLine(std::string_view text) {
  ScriptLine result;
  std::string line(text);
  result.SizeTag = TakeSizeTag(line);

  std::string rest;
  const std::size_t equals = line.find('=');
  if (equals == std::string::npos) {
    rest = line;
  } else {
    result.Key = TrimBlanks(std::string_view(line).substr(0, equals));
    rest = line.substr(equals + 1);
  }

  // Every comma separates; text after a third comma is dropped.
  result.Value1 = TakeValue(rest);
  result.Value2 = TakeValue(rest);
  result.Value3 = TakeValue(rest);
  return result;
}

BlockLine CutAtEquals(std::string_view line) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return {"", std::string(line)};
  return {std::string(line.substr(0, equals)), std::string(line.substr(equals + 1))};
}

}  // namespace script
