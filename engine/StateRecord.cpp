#include "engine/StateRecord.h"

#include <array>
#include <utility>

#include "engine/UninstallEntry.h"
#include "platform/FileText.h"
#include "script/IniText.h"
#include "script/Text.h"

namespace engine {
namespace {

struct KindName {
  NoteKind kind;
  const char* name;
  std::size_t whatFields;
};

constexpr std::array<KindName, 9> kKinds = {{
    {NoteKind::Directory, "dir", 1},
    {NoteKind::File, "file", 1},
    {NoteKind::IniFile, "inifile", 1},
    {NoteKind::IniSection, "section", 2},
    {NoteKind::IniEntry, "ini", 3},
    {NoteKind::Key, "key", 2},
    {NoteKind::Value, "value", 3},
    {NoteKind::Count, "count", 1},
    {NoteKind::Log, "log", 1},
}};

const KindName& KindOf(NoteKind kind) {
  for (const KindName& entry : kKinds)
    if (entry.kind == kind) return entry;
  return kKinds[1];
}

// Fields are separated by tabs; a tab, a line end, a NUL and the escape itself are
// written as %XX so that any text of an INI entry or a name survives.
std::string Escaped(const std::string& field) {
  std::string text;
  for (char c : field) {
    if (c == '%' || c == '\t' || c == '\r' || c == '\n' || c == '\0') {
      text += '%';
      text += HexOf(std::string(1, c));
    } else {
      text += c;
    }
  }
  return text;
}

std::optional<std::string> Unescaped(const std::string& field) {
  std::string text;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '%') {
      text += field[i];
      continue;
    }
    const std::optional<std::string> byte =
        i + 2 < field.size() ? BytesOfHex(field.substr(i + 1, 2)) : std::nullopt;
    if (!byte) return std::nullopt;
    text += *byte;
    i += 2;
  }
  return text;
}

std::vector<std::string> SplitTabs(const std::string& text) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = text.find('\t', start);
    fields.push_back(
        text.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

std::string Identity(const StateNote& note) {
  std::string identity = KindOf(note.kind).name;
  for (const std::string& field : note.what) identity += "\t" + field;
  return script::UpperAscii(identity);
}

using Was = std::optional<std::vector<std::string>>;

// The earlier state of a thing that was there and has nothing more to tell.
Was WasThere(bool there) {
  return there ? Was(std::vector<std::string>()) : std::nullopt;
}

// The directory part of a path ("C:\A\B" gives "C:\A"); empty at a drive root.
std::string ParentPath(const std::string& path) {
  const std::size_t cut = path.find_last_of("\\/");
  if (cut == std::string::npos || cut < 3) return {};
  return path.substr(0, cut);
}

}  // namespace

std::string RootText(platform::HKey root) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text(8, '0');
  for (int i = 7; i >= 0; --i, root >>= 4) text[static_cast<std::size_t>(i)] = kDigits[root & 0xF];
  return text;
}

std::optional<platform::HKey> RootOfText(const std::string& text) {
  const std::optional<std::string> bytes = text.size() == 8 ? BytesOfHex(text) : std::nullopt;
  if (!bytes) return std::nullopt;
  platform::HKey root = 0;
  for (char byte : *bytes) root = (root << 8) | static_cast<unsigned char>(byte);
  return root;
}

std::string HexOf(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0xF];
  }
  return text;
}

std::optional<std::string> BytesOfHex(const std::string& hex) {
  if (hex.size() % 2 != 0) return std::nullopt;
  auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  std::string bytes;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int high = digit(hex[i]);
    const int low = digit(hex[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes += static_cast<char>(high * 16 + low);
  }
  return bytes;
}

std::string NoteText(const StateNote& note) {
  std::string text = KindOf(note.kind).name;
  for (const std::string& field : note.what) text += "\t" + Escaped(field);
  text += note.was ? "\t+" : "\t-";
  if (note.was) {
    for (const std::string& field : *note.was) text += "\t" + Escaped(field);
  }
  return text;
}

std::optional<StateNote> ParseNote(const std::string& text) {
  const std::vector<std::string> fields = SplitTabs(text);
  for (const KindName& kind : kKinds) {
    if (fields.front() != kind.name) continue;
    if (fields.size() < kind.whatFields + 2) return std::nullopt;
    StateNote note;
    note.kind = kind.kind;
    for (std::size_t i = 1; i < fields.size(); ++i) {
      if (i == kind.whatFields + 1) {
        if (fields[i] != "+" && fields[i] != "-") return std::nullopt;
        if (fields[i] == "+") note.was.emplace();
        continue;
      }
      std::optional<std::string> field = Unescaped(fields[i]);
      if (!field) return std::nullopt;
      if (i <= kind.whatFields) {
        note.what.push_back(std::move(*field));
      } else if (note.was) {
        note.was->push_back(std::move(*field));
      } else {
        return std::nullopt;
      }
    }
    return note;
  }
  return std::nullopt;
}

std::optional<std::vector<StateNote>> ReadNotes(platform::Registry& registry,
                                                const std::string& displayName) {
  const std::optional<std::string> recordKey = RecordKey(displayName);
  const std::optional<std::vector<std::string>> texts =
      recordKey ? ReadRecord(registry, *recordKey) : std::nullopt;
  if (!texts) return std::nullopt;
  std::vector<StateNote> notes;
  for (const std::string& text : *texts)
    if (std::optional<StateNote> note = ParseNote(text)) notes.push_back(std::move(*note));
  return notes;
}

StateRecord::StateRecord(platform::Platform& platform, const std::string& displayName)
    : platform_(platform), recordKey_(RecordKey(displayName)) {}

StateRecord::~StateRecord() = default;

bool StateRecord::OpenRecord() {
  // The record's own keys need no notes: they go with the record (engine/RecordStore.h).
  store_ = std::make_unique<RecordStore>(platform_.registry, *recordKey_);
  if (!store_->Opened()) return false;
  // An earlier run of the same product made notes already: they stand.
  for (const std::string& text : store_->Earlier())
    if (std::optional<StateNote> note = ParseNote(text)) noted_.insert(Identity(*note));
  return true;
}

bool StateRecord::Add(StateNote note) {
  if (!recordKey_ || !intact_) return false;
  if (!store_ && !OpenRecord()) {
    intact_ = false;
    return false;
  }
  const std::string identity = Identity(note);
  if (noted_.contains(identity)) return false;
  if (!store_->Append(NoteText(note))) {
    intact_ = false;
    return false;
  }
  noted_.insert(identity);
  return true;
}

void StateRecord::NoteFile(const std::string& path) {
  if (!recordKey_) return;
  platform::Files& files = platform_.files;
  std::vector<std::string> missing;
  for (std::string dir = ParentPath(path); !dir.empty(); dir = ParentPath(dir)) {
    if (files.GetAttributes(dir) != platform::kInvalidFileAttributes) break;
    missing.push_back(dir);
  }
  // Outermost first, as they will be made.
  for (auto dir = missing.rbegin(); dir != missing.rend(); ++dir)
    Add({NoteKind::Directory, {*dir}, std::nullopt});
  const bool there = files.GetAttributes(path) != platform::kInvalidFileAttributes;
  Add({NoteKind::File, {path}, WasThere(there)});
}

void StateRecord::NoteIniEntry(const std::string& fileName, const std::string& section,
                               const std::string& key) {
  if (!recordKey_) return;
  platform::Files& files = platform_.files;
  // A bare name is a file of the Windows directory, as the profile writer takes it.
  const bool bare = fileName.find_first_of("\\/:") == std::string::npos;
  const std::string path = bare ? files.WindowsDirectory() + "\\" + fileName : fileName;
  const std::optional<std::string> text = platform::ReadWholeFile(files, path);
  Add({NoteKind::IniFile, {path}, WasThere(text.has_value())});
  Add({NoteKind::IniSection,
       {path, section},
       WasThere(text && script::HasSection(*text, section))});
  // The profile reader gives the fallback only for a missing key: two different fallbacks
  // tell a missing key from one that holds either of them.
  platform::Profiles& profiles = platform_.profiles;
  const std::string first = profiles.ReadString(section, key, "\x01", fileName);
  const bool missing =
      first == "\x01" && profiles.ReadString(section, key, "\x02", fileName) == "\x02";
  Add({NoteKind::IniEntry,
       {path, section, key},
       missing ? std::nullopt : Was(std::vector<std::string>{first})});
}

void StateRecord::NoteMissingKeys(platform::HKey root, const std::vector<std::string>& levels) {
  for (std::size_t depth = 1; depth <= levels.size(); ++depth) {
    const std::string path = JoinLevels(levels, depth);
    if (OpenedKey(platform_.registry, root, path).Handle() == 0)
      Add({NoteKind::Key, {RootText(root), path}, std::nullopt});
  }
}

void StateRecord::NoteRegistryValue(platform::HKey root, const std::string& keyPath,
                                    const std::optional<std::string>& name) {
  if (!recordKey_) return;
  const std::vector<std::string> levels = KeyLevels(keyPath);
  NoteMissingKeys(root, levels);
  if (!name) return;
  platform::Registry& registry = platform_.registry;
  const std::string path = JoinLevels(levels, levels.size());
  const OpenedKey key(registry, root, path);
  std::uint32_t type = 0;
  std::string data;
  const bool there = key.Handle() != 0 && registry.QueryValue(key.Handle(), *name, type, data) ==
                                              platform::kErrorSuccess;
  Add({NoteKind::Value,
       {RootText(root), path, *name},
       there ? Was(std::vector<std::string>{std::to_string(type), HexOf(data)}) : std::nullopt});
}

void StateRecord::NoteSharedCount(const std::string& name) {
  if (!recordKey_) return;
  Add({NoteKind::Count, {name}, std::nullopt});
}

void StateRecord::NoteLog(const std::string& path) {
  if (!recordKey_) return;
  const std::optional<std::string> earlier = platform::ReadWholeFile(platform_.files, path);
  Add({NoteKind::Log,
       {path},
       earlier ? Was(std::vector<std::string>{HexOf(*earlier)}) : std::nullopt});
}

}  // namespace engine
