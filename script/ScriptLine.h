// The line syntax of the setup script: KEY = VALUE1, VALUE2, VALUE3 with an optional
// size tag written as $$digits$$ anywhere in the line.
#pragma once

#include <string>
#include <string_view>

namespace script {

// The five fields of one script line.
struct ScriptLine {
  std::string Key;
  std::string Value1;
  std::string Value2;
  std::string Value3;
  std::string SizeTag = "0";
  friend bool operator==(const ScriptLine&, const ScriptLine&) = default;
};

// Splits one line of the setup script into its key, three values and size tag.
ScriptLine SplitScriptLine(std::string_view line);

// Cuts a block line at its first "=" without trimming: key before, value after; a line
// without "=" has an empty key and the whole line as its value.
struct BlockLine {
  std::string key;
  std::string value;
};
BlockLine CutAtEquals(std::string_view line);

}  // namespace script
