// The script's line syntax on any bytes: the split into lines, the split of each line into
// key, values and size tag, block lines, and the header keys and checks read from them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/WinTypes.h"
#include "script/Header.h"
#include "script/Numbers.h"
#include "script/ScriptLine.h"
#include "script/Text.h"
#include "script/TextLines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (const std::string& line : script::SplitTextLines(bytes)) {
    // A line never keeps a line end.
    if (line.find_first_of("\r\n") != std::string::npos) std::abort();
    const script::ScriptLine split = script::SplitScriptLine(line);
    script::CutAtEquals(line);
    script::MatchHeaderKey(split.Key);
    script::MatchHeaderKey(script::UpperAscii(split.Key));
    script::IsFlagOn(split.Value1);
    for (std::uint32_t platformId : {platform::kPlatformWindows, platform::kPlatformWin32Nt})
      script::CheckOSType(split.Value1, platformId);
    script::CheckCSDVersion(split.Value1, split.Value2);
    script::ParseInteger(split.Value1);
    script::IntegerOrZero(split.SizeTag);
    script::EqualsUpper(script::TrimBlanks(split.Value2), split.Value3);
  }
  return 0;
}
