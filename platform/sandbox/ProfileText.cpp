#include "platform/sandbox/ProfileText.h"

#include <vector>

#include "script/Text.h"

namespace sandbox {

namespace {

// One line of the file: where it starts, where its content ends (before CR LF or LF) and
// where the next line starts.
struct Line {
  std::size_t begin = 0;
  std::size_t contentEnd = 0;
  std::size_t end = 0;
};

// The name of a section header line's content, or nullopt for any other line.
std::optional<std::string> HeaderName(std::string_view content) {
  // Most lines are entries: tell them apart before copying anything.
  std::size_t first = 0;
  while (first < content.size() && static_cast<unsigned char>(content[first]) <= ' ') ++first;
  if (first == content.size() || content[first] != '[') return std::nullopt;
  std::string trimmed = script::TrimBlanks(content);
  std::size_t close = trimmed.find(']');
  return script::TrimBlanks(std::string_view(trimmed).substr(
      1, close == std::string::npos ? std::string::npos : close - 1));
}

// The key of an entry line's content: the trimmed text before its first "=".
std::string EntryKey(std::string_view content) {
  return script::TrimBlanks(content.substr(0, content.find('=')));
}

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t newline = text.find('\n', begin);
    Line line{begin, newline == std::string_view::npos ? text.size() : newline, 0};
    line.end = newline == std::string_view::npos ? text.size() : newline + 1;
    if (line.contentEnd > begin && text[line.contentEnd - 1] == '\r') --line.contentEnd;
    lines.push_back(line);
    begin = line.end;
  }
  return lines;
}

// The lines of one section: its header line (none for the lines before the first header)
// and the lines after it, up to the next header.
struct Region {
  std::optional<std::size_t> header;
  std::size_t first = 0;
  std::size_t end = 0;
};

// The parsed file: its lines, and where the wanted section and key were found.
class Profile {
 public:
  explicit Profile(std::string_view text) : text_(text), lines_(SplitLines(text)) {}

  std::string_view Content(std::size_t index) const {
    const Line& line = lines_[index];
    return text_.substr(line.begin, line.contentEnd - line.begin);
  }
  bool IsBlank(std::size_t index) const { return script::TrimBlanks(Content(index)).empty(); }
  // The name of a section header line, or nullopt for any other line.
  std::optional<std::string> SectionName(std::size_t index) const {
    return HeaderName(Content(index));
  }
  // The lines of `section`, or nullopt when the file has none. An empty name (blanks
  // only) stands for the lines before the first header, as in Windows, which writes an
  // entry of no section there, at the top of the file, with no header of its own.
  std::optional<Region> FindRegion(std::string_view section) const {
    const std::string wanted = script::TrimBlanks(section);
    if (wanted.empty()) return Region{std::nullopt, 0, SectionEnd(0)};
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      std::optional<std::string> name = SectionName(i);
      if (name && script::EqualsUpper(*name, wanted)) return Region{i, i + 1, SectionEnd(i + 1)};
    }
    return std::nullopt;
  }
  // One past the last line of the section whose lines start at `first`.
  std::size_t SectionEnd(std::size_t first) const {
    std::size_t i = first;
    while (i < lines_.size() && !SectionName(i)) ++i;
    return i;
  }
  // The line index of `key` within `region`, or nullopt.
  std::optional<std::size_t> FindKey(const Region& region, std::string_view key) const {
    const std::string wanted = script::TrimBlanks(key);
    for (std::size_t i = region.first; i < region.end; ++i) {
      if (IsBlank(i)) continue;
      std::string_view content = Content(i);
      if (script::EqualsUpper(EntryKey(content), wanted)) return i;
    }
    return std::nullopt;
  }
  // Byte offsets of line boundaries; `index` may be the line count (the end of the text).
  std::size_t Begin(std::size_t index) const {
    return index < lines_.size() ? lines_[index].begin : text_.size();
  }
  std::size_t ContentEnd(std::size_t index) const { return lines_[index].contentEnd; }
  std::size_t End(std::size_t index) const { return lines_[index].end; }
  // Only LF ends a line: a last line cut off after its CR has no end yet, and a new line
  // written straight after it would run on from it.
  bool HasLineEnd(std::size_t index) const {
    return lines_[index].end > lines_[index].begin && text_[lines_[index].end - 1] == '\n';
  }

 private:
  std::string_view text_;
  std::vector<Line> lines_;
};

// `text` with the bytes [from, to) replaced by `insert`.
std::string Splice(std::string_view text, std::size_t from, std::size_t to,
                   std::string_view insert) {
  std::string out(text.substr(0, from));
  out += insert;
  out += text.substr(to);
  return out;
}

std::string EntryLine(std::string_view key, std::string_view value) {
  return std::string(key) + "=" + std::string(value) + "\r\n";
}

}  // namespace

std::string SetProfileEntry(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value) {
  const Profile profile(text);
  const std::optional<Region> region = profile.FindRegion(section);
  if (!region) {
    std::string added = text.empty() || text.back() == '\n' ? "" : "\r\n";
    added += "[" + std::string(section) + "]\r\n" + EntryLine(key, value);
    return std::string(text) + added;
  }
  if (const std::optional<std::size_t> found = profile.FindKey(*region, key)) {
    std::string_view content = profile.Content(*found);
    std::size_t equals = content.find('=');
    std::size_t from =
        profile.Begin(*found) + (equals == std::string_view::npos ? content.size() : equals + 1);
    std::string insert = equals == std::string_view::npos ? "=" : "";
    insert += value;
    return Splice(text, from, profile.ContentEnd(*found), insert);
  }
  std::optional<std::size_t> last = region->header;
  for (std::size_t i = region->first; i < region->end; ++i)
    if (!profile.IsBlank(i)) last = i;
  // The lines before the first header hold nothing yet: the entry opens the file.
  if (!last) return Splice(text, 0, 0, EntryLine(key, value));
  if (!profile.HasLineEnd(*last)) {
    return Splice(text, profile.End(*last), profile.End(*last), "\r\n" + EntryLine(key, value));
  }
  return Splice(text, profile.End(*last), profile.End(*last), EntryLine(key, value));
}

std::string DeleteProfileEntry(std::string_view text, std::string_view section,
                               std::string_view key) {
  const Profile profile(text);
  const std::optional<Region> region = profile.FindRegion(section);
  if (!region) return std::string(text);
  const std::optional<std::size_t> found = profile.FindKey(*region, key);
  if (!found) return std::string(text);
  return Splice(text, profile.Begin(*found), profile.End(*found), "");
}

std::string DeleteProfileSection(std::string_view text, std::string_view section) {
  const Profile profile(text);
  const std::optional<Region> region = profile.FindRegion(section);
  if (!region) return std::string(text);
  return Splice(text, profile.Begin(region->header.value_or(region->first)),
                profile.Begin(region->end), "");
}

std::optional<std::string> ReadProfileEntry(std::string_view text, std::string_view section,
                                            std::string_view key) {
  const Profile profile(text);
  const std::optional<Region> region = profile.FindRegion(section);
  if (!region) return std::nullopt;
  const std::optional<std::size_t> found = profile.FindKey(*region, key);
  if (!found) return std::nullopt;
  std::string_view content = profile.Content(*found);
  std::size_t equals = content.find('=');
  if (equals == std::string_view::npos) return std::string();
  std::string value = script::TrimBlanks(content.substr(equals + 1));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return value;
}

std::vector<std::string> ReadProfileSection(std::string_view text, std::string_view section) {
  const Profile profile(text);
  const std::optional<Region> region = profile.FindRegion(section);
  std::vector<std::string> lines;
  if (!region) return lines;
  for (std::size_t i = region->first; i < region->end; ++i)
    if (!profile.IsBlank(i)) lines.push_back(script::TrimBlanks(profile.Content(i)));
  return lines;
}

std::string ReplaceProfileSection(std::string_view text, std::string_view section,
                                  const std::vector<std::string>& lines) {
  std::string body;
  for (const std::string& line : lines) body += line + "\r\n";
  const Profile profile(text);
  const std::optional<Region> region = profile.FindRegion(section);
  if (!region) {
    std::string added = text.empty() || text.back() == '\n' ? "" : "\r\n";
    return std::string(text) + added + "[" + std::string(section) + "]\r\n" + body;
  }
  // A header that ends the text without a line end gets one before the lines.
  const std::string lead = region->header && !profile.HasLineEnd(*region->header) ? "\r\n" : "";
  const std::size_t from = region->header ? profile.End(*region->header) : 0;
  return Splice(text, from, profile.Begin(region->end), lead + body);
}

ProfileTail::ProfileTail(std::string_view text) {
  Append(text);
}

void ProfileTail::Append(std::string_view added) {
  if (added.empty()) return;
  empty_ = false;
  std::size_t begin = 0;
  for (std::size_t newline; (newline = added.find('\n', begin)) != std::string_view::npos;
       begin = newline + 1) {
    if (partial_.empty()) {
      Feed(added.substr(begin, newline - begin));
    } else {
      partial_.append(added.substr(begin, newline - begin));
      Feed(partial_);
      partial_.clear();
    }
  }
  partial_.append(added.substr(begin));
}

// One whole line, without its LF.
void ProfileTail::Feed(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (std::optional<std::string> name = HeaderName(line)) {
    std::string upper = script::UpperAscii(*name);
    // A later header of a name already seen is never the one a write finds.
    const bool first = sections_.insert(upper).second;
    lastSection_ = first ? std::optional<std::string>(std::move(upper)) : std::nullopt;
    lastKeys_.clear();
    endsInEntry_ = true;
    return;
  }
  const bool blank = script::TrimBlanks(line).empty();
  endsInEntry_ = !blank;
  if (!blank) lastKeys_.insert(script::UpperAscii(EntryKey(line)));
}

std::optional<std::string> ProfileTail::Addition(std::string_view section, std::string_view key,
                                                 std::string_view value) const {
  if (!partial_.empty()) return std::nullopt;
  const std::string wanted = script::UpperAscii(script::TrimBlanks(section));
  // An entry of no section goes before the first header: at the end only of a text that
  // has none.
  if (wanted.empty()) {
    if (!sections_.empty() || (!empty_ && !endsInEntry_)) return std::nullopt;
    if (lastKeys_.contains(script::UpperAscii(script::TrimBlanks(key)))) return std::nullopt;
    return EntryLine(key, value);
  }
  if (!sections_.contains(wanted)) {
    // A new section goes at the end; the text ends in a line end or is empty here.
    return "[" + std::string(section) + "]\r\n" + EntryLine(key, value);
  }
  // A new key of the last section goes straight after its last non-blank line: at the
  // end, when that line is the text's last one.
  if (empty_ || !endsInEntry_ || lastSection_ != wanted) return std::nullopt;
  if (lastKeys_.contains(script::UpperAscii(script::TrimBlanks(key)))) return std::nullopt;
  return EntryLine(key, value);
}

}  // namespace sandbox
