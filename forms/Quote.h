// Quoting of texts in run transcripts, so that one record is always one line and every
// byte can be read back: `\` is written `\\`, `"` is `\"`, CR `\r`, LF `\n`, and bytes
// outside 0x20-0x7E as `\xhh` (two lower-case hex digits).
#pragma once

#include <string>
#include <string_view>

namespace forms {

// The text between double quotes, escaped as above.
std::string Quote(std::string_view text);

}  // namespace forms
