// Editing the text of a profile (INI) file the way WritePrivateProfileStringA does, while
// keeping every byte that the change does not touch.
//
// A section starts at a line whose first non-blank byte is "[", its name running to the
// next "]" (or the line end). An entry line is any other non-blank line: its key is the
// text before the first "=" (the whole line when there is none). Section and key names
// are compared after trimming blanks, without regard to ASCII case; the first match wins.
// Lines before the first section header belong to no section, which an empty (or blank)
// section name stands for: as Windows does, an entry of no section is written there, at
// the top of the file, with no header line of its own. Names and values are
// written exactly as given, so a key written with blanks around it (" Home ") is found
// again by its trimmed name ("home").
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace sandbox {

// `text` with `key` in `section` set to `value`: an existing entry keeps everything up
// to its "=" and gets the new value; a new key goes after the last non-blank line of its
// section; a new section is appended at the end. New lines end in CR LF.
std::string SetProfileEntry(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value);

// `text` without the line of `key` in `section` (unchanged when there is none).
std::string DeleteProfileEntry(std::string_view text, std::string_view section,
                               std::string_view key);

// `text` without `section`: its header and every line up to the next header.
std::string DeleteProfileSection(std::string_view text, std::string_view section);

// The value of `key` in `section` as GetPrivateProfileStringA gives it: blanks trimmed
// and one pair of matching surrounding quotes (' or ") removed; an entry without "="
// reads as empty. Nullopt when the section or key is missing.
std::optional<std::string> ReadProfileEntry(std::string_view text, std::string_view section,
                                            std::string_view key);

// The lines of `section` as GetPrivateProfileSectionA gives them: every non-blank line up
// to the next header, blanks trimmed at both ends, in order; empty when it is missing.
std::vector<std::string> ReadProfileSection(std::string_view text, std::string_view section);

// `text` with every line of `section` replaced by `lines`, as WritePrivateProfileSectionA
// does; a missing section is appended at the end. New lines end in CR LF.
std::string ReplaceProfileSection(std::string_view text, std::string_view section,
                                  const std::vector<std::string>& lines);

// What a profile's text says about its end: enough to tell, without reading the text
// again, when SetProfileEntry would only add lines at the end of it. An INI block that
// fills a section of a new file entry by entry writes nothing else.
class ProfileTail {
 public:
  // Reads `text` once.
  explicit ProfileTail(std::string_view text);
  // The bytes SetProfileEntry(text, section, key, value) adds at the end of the text this
  // tail has seen, when that is all it changes; nothing otherwise.
  std::optional<std::string> Addition(std::string_view section, std::string_view key,
                                      std::string_view value) const;
  // Takes note of `added` written at the end of the text.
  void Append(std::string_view added);

 private:
  void Feed(std::string_view line);

  std::unordered_set<std::string> sections_;  // upper-cased names of every header
  std::optional<std::string> lastSection_;    // of the last header, when it is the first so named
  std::unordered_set<std::string> lastKeys_;  // upper-cased keys of the lines after it
  bool empty_ = true;
  bool endsInEntry_ = false;  // the text ends in LF after a non-blank line
  std::string partial_;       // a last line without its LF yet
};

}  // namespace sandbox
