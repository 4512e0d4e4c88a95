// What the installer and the uninstaller ask of an INI file's text:
// whether a section is there, whether it holds entries, and whether anything is left.
#pragma once

#include <string_view>

namespace script {

// True when the file has the section (name compared trimmed, without regard to the case of
// a-z) and at least one line under it that is neither blank nor another section's header.
bool SectionHasLines(std::string_view text, std::string_view section);

// True when the file has a "[section]" header line (name compared as above).
bool HasSection(std::string_view text, std::string_view section);

// True when the file holds only blanks and line ends.
bool IsBlankText(std::string_view text);

}  // namespace script
