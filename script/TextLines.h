// Text files of the installer: 8-bit bytes passed through unchanged, lines ended by CR LF,
// a lone CR or a lone LF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace script {

// The lines of a text file's bytes, without their line ends. A last line without an end
// counts; a file ending in a line end has no empty line after it.
std::vector<std::string> SplitTextLines(std::string_view bytes);

}  // namespace script
