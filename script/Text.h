// Text helpers shared by every layer: the installer's texts are single-byte Windows-1250
// strings, and keywords are matched after turning only a-z into A-Z.
#pragma once

#include <string>
#include <string_view>

namespace script {

// `text` with the ASCII letters a-z turned into A-Z; every other byte unchanged.
std::string UpperAscii(std::string_view text);

// True when the two texts are equal after UpperAscii.
bool EqualsUpper(std::string_view a, std::string_view b);

// `text` without the blanks (bytes 0 to 32) at both ends.
std::string TrimBlanks(std::string_view text);

}  // namespace script
