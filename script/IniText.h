// What the installer and the uninstaller ask of an INI file's text:
// whether a section is there, whether it holds entries, and whether anything is left.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace script {

// True when the file has the section (name compared trimmed, without regard to the case of
// a-z) and at least one line under it that is neither blank nor another section's header.
bool SectionHasLines(std::string_view text, std::string_view section);

// True when the file has a "[section]" header line (name compared as above).
bool HasSection(std::string_view text, std::string_view section);

// The text after the "=" of the first line of `key` in the first `section` (key and name
// compared trimmed, without regard to the case of a-z), exactly as the line holds it:
// quotes and blanks included. Nothing when there is no such line, or it has no "=".
std::optional<std::string> EntryText(std::string_view text, std::string_view section,
                                     std::string_view key);

// An entry's text as the profile reader gives it: blanks trimmed at both ends, then one
// pair of matching quotes (' or ") around it removed.
std::string ProfileValue(std::string_view entryText);

// True when the file holds only blanks and line ends.
bool IsBlankText(std::string_view text);

}  // namespace script
