#include "engine/StateRecord.h"

#include <algorithm>
#include <array>
#include <utility>

#include "engine/RecordStore.h"
#include "engine/UninstallEntry.h"
#include "platform/FileText.h"
#include "script/Header.h"
#include "script/IniText.h"
#include "script/Text.h"
#include "script/TextLines.h"

namespace engine {
namespace {

struct KindName {
  NoteKind kind;
  const char* name;
  std::size_t whatFields;
  bool lastStands;  // a later note tells the thing as a later run left it
};

constexpr std::array<KindName, 10> kKinds = {{
    {NoteKind::Directory, "dir", 1, true},
    {NoteKind::File, "file", 1, true},
    {NoteKind::IniFile, "inifile", 1, true},
    {NoteKind::IniSection, "section", 2, false},
    {NoteKind::IniEntry, "ini", 3, false},
    {NoteKind::Key, "key", 2, false},
    {NoteKind::Value, "value", 3, false},
    {NoteKind::Count, "count", 1, false},
    {NoteKind::Log, "log", 1, true},
    // A registration follows its file: it is ours as long as the file is.
    {NoteKind::Server, "com", 2, true},
}};

constexpr std::array<std::pair<ServerForm, const char*>, 3> kServerForms = {{
    {ServerForm::Dll, "dll"},
    {ServerForm::TypeLibrary, "typelib"},
    {ServerForm::Program, "exe"},
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

// The key of the thing a note is about: its kind and what, upper-cased.
std::string ThingOf(NoteKind kind, const std::vector<std::string>& what) {
  std::string thing = KindOf(kind).name;
  for (const std::string& field : what) thing += "\t" + field;
  return script::UpperAscii(thing);
}

// An identity as the marker field carries it after "@": volume and index in hex digits.
std::string IdentityText(const platform::FileIdentity& identity) {
  std::string text;
  for (int shift = 28; shift >= 0; shift -= 4)
    text += "0123456789ABCDEF"[(identity.volume >> shift) & 0xF];
  text += ':';
  for (int shift = 60; shift >= 0; shift -= 4)
    text += "0123456789ABCDEF"[(identity.index >> shift) & 0xF];
  return text;
}

std::optional<platform::FileIdentity> IdentityOfText(const std::string& text) {
  if (text.size() != 8 + 1 + 16 || text[8] != ':') return std::nullopt;
  const std::optional<std::string> volume = BytesOfHex(text.substr(0, 8));
  const std::optional<std::string> index = BytesOfHex(text.substr(9));
  if (!volume || !index) return std::nullopt;
  platform::FileIdentity identity;
  for (char byte : *volume)
    identity.volume = (identity.volume << 8) | static_cast<unsigned char>(byte);
  for (char byte : *index)
    identity.index = (identity.index << 8) | static_cast<unsigned char>(byte);
  return identity;
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

std::string ServerFormText(ServerForm form) {
  for (const auto& [known, text] : kServerForms)
    if (known == form) return text;
  return "dll";
}

std::optional<ServerForm> ServerFormOfText(const std::string& text) {
  for (const auto& [form, known] : kServerForms)
    if (text == known) return form;
  return std::nullopt;
}

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
  if (note.identity) text += "@" + IdentityText(*note.identity);
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
        // "+" or "-", then "@" and the identity when the note carries one.
        const std::string& marker = fields[i];
        if (marker.empty() || (marker[0] != '+' && marker[0] != '-')) return std::nullopt;
        if (marker.size() > 1) {
          note.identity = marker[1] == '@' ? IdentityOfText(marker.substr(2)) : std::nullopt;
          if (!note.identity) return std::nullopt;
        }
        if (marker[0] == '+') note.was.emplace();
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

std::vector<StateNote> StandingNotes(const std::vector<StateNote>& notes) {
  std::map<std::string, std::size_t> standing;  // thing -> index of its standing note
  for (std::size_t i = 0; i < notes.size(); ++i) {
    const auto [at, first] = standing.try_emplace(ThingOf(notes[i].kind, notes[i].what), i);
    if (!first && KindOf(notes[i].kind).lastStands) at->second = i;
  }
  std::vector<std::size_t> order;
  for (const auto& [thing, index] : standing) order.push_back(index);
  std::ranges::sort(order);
  std::vector<StateNote> result;
  for (std::size_t index : order) result.push_back(notes[index]);
  return result;
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

StateRecord::StateRecord(platform::Platform& platform, std::string displayName)
    : platform_(platform),
      displayName_(std::move(displayName)),
      recordKey_(RecordKey(displayName_)) {}

StateRecord::~StateRecord() = default;

void StateRecord::LoadEarlier() {
  if (store_ || !recordKey_) return;
  // The record's own keys need no notes: they go with the record (engine/RecordStore.h).
  store_ = std::make_unique<RecordStore>(platform_.registry, *recordKey_);
  // An earlier run of the same product made notes already: they stand, and this run's
  // notes follow them.
  for (const std::string& text : store_->Texts()) {
    std::optional<StateNote> note = ParseNote(text);
    if (!note) continue;
    const std::string thing = ThingOf(note->kind, note->what);
    if (!latest_.contains(thing) || KindOf(note->kind).lastStands)
      latest_.insert_or_assign(thing, std::move(*note));
  }
}

const StateNote* StateRecord::Latest(NoteKind kind, const std::vector<std::string>& what) {
  LoadEarlier();
  const auto found = latest_.find(ThingOf(kind, what));
  return found == latest_.end() ? nullptr : &found->second;
}

bool StateRecord::Add(StateNote note) {
  if (!recordKey_ || !intact_) return false;
  LoadEarlier();
  // A setting keeps its first note; a file (and the like) gets a new one only when this
  // run left it otherwise than the last note says.
  const std::string thing = ThingOf(note.kind, note.what);
  if (const auto earlier = latest_.find(thing); earlier != latest_.end()) {
    const StateNote& last = earlier->second;
    if (!KindOf(note.kind).lastStands || (last.was == note.was && last.identity == note.identity))
      return false;
  }
  if (!store_->Append(NoteText(note))) {
    intact_ = false;
    return false;
  }
  latest_.insert_or_assign(thing, std::move(note));
  return true;
}

std::optional<platform::FileIdentity> StateRecord::IdentityOf(const std::string& path) {
  const std::optional<platform::FileInfo> info = platform_.files.InfoOf(path);
  return info ? std::optional(info->identity) : std::nullopt;
}

PendingFile StateRecord::BeginFile(const std::string& path) {
  PendingFile pending{path};
  if (!recordKey_) return pending;
  platform::Files& files = platform_.files;
  for (std::string dir = ParentPath(path); !dir.empty(); dir = ParentPath(dir)) {
    if (files.GetAttributes(dir) != platform::kInvalidFileAttributes) break;
    pending.missing.insert(pending.missing.begin(), dir);
  }
  pending.there = files.GetAttributes(path) != platform::kInvalidFileAttributes;
  pending.was = WasThere(pending.there);
  const StateNote* earlier = Latest(NoteKind::File, {path});
  if (earlier == nullptr) return pending;
  pending.noted = true;
  // What was there before this product's first run stays what it was, as long as the file
  // is still the one this product wrote last. One written since by another program (say,
  // a product installed into the same folder) is that program's now, and stays when this
  // product goes.
  const bool replaced = pending.there && earlier->identity && IdentityOf(path) != earlier->identity;
  if (!replaced) pending.was = earlier->was;
  return pending;
}

void StateRecord::CompleteFile(const PendingFile& pending, bool wrote,
                               const std::optional<platform::FileIdentity>& identity) {
  if (!recordKey_) return;
  for (const std::string& dir : pending.missing) NoteMadeDirectory(dir);
  if (wrote) {
    Add({NoteKind::File, {pending.path}, pending.was, identity});
  } else if (pending.there && !pending.noted) {
    // Not written, but there: the note keeps it from ever being taken for ours.
    Add({NoteKind::File, {pending.path}, pending.was});
  }
}

void StateRecord::NoteMadeDirectory(const std::string& path) {
  if (!recordKey_) return;
  const std::uint32_t attributes = platform_.files.GetAttributes(path);
  if (attributes == platform::kInvalidFileAttributes ||
      (attributes & platform::kFileAttributeDirectory) == 0)
    return;
  Add({NoteKind::Directory, {path}, std::nullopt, IdentityOf(path)});
}

std::string StateRecord::IniPath(const std::string& fileName) {
  // A bare name is a file of the Windows directory, as the profile writer takes it.
  const bool bare = fileName.find_first_of("\\/:") == std::string::npos;
  return bare ? platform_.files.WindowsDirectory() + "\\" + fileName : fileName;
}

void StateRecord::NoteIniEntry(const std::string& fileName, const std::string& section,
                               const std::string& key) {
  if (!recordKey_) return;
  platform::Files& files = platform_.files;
  const std::string path = IniPath(fileName);
  const std::optional<std::string> text = platform::ReadWholeFile(files, path);
  if (!iniFilesWas_.contains(script::UpperAscii(path))) {
    const StateNote* earlier = Latest(NoteKind::IniFile, {path});
    iniFilesWas_[script::UpperAscii(path)] =
        earlier != nullptr ? earlier->was : WasThere(text.has_value());
  }
  Add({NoteKind::IniSection,
       {path, section},
       WasThere(text && script::HasSection(*text, section))});
  // The profile reader gives the fallback only for a missing key: two different fallbacks
  // tell a missing key from one that holds either of them.
  platform::Profiles& profiles = platform_.profiles;
  const std::string first = profiles.ReadString(section, key, "\x01", fileName);
  const bool missing =
      first == "\x01" && profiles.ReadString(section, key, "\x02", fileName) == "\x02";
  if (missing) {
    Add({NoteKind::IniEntry, {path, section, key}, std::nullopt});
    return;
  }
  // The value is kept as the line holds it, quotes and blanks included, so that it goes
  // back as it was; the reader's value where the file's text tells otherwise.
  const std::optional<std::string> line =
      text ? script::EntryText(*text, section, key) : std::nullopt;
  const std::string earlier = line && script::ProfileValue(*line) == first ? *line : first;
  Add({NoteKind::IniEntry, {path, section, key}, Was(std::vector<std::string>{earlier})});
}

void StateRecord::CompleteIniFile(const std::string& fileName) {
  if (!recordKey_) return;
  const std::string path = IniPath(fileName);
  const auto was = iniFilesWas_.find(script::UpperAscii(path));
  if (was == iniFilesWas_.end()) return;
  Add({NoteKind::IniFile, {path}, was->second, IdentityOf(path)});
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

void StateRecord::NoteServer(const std::string& path, ServerForm form) {
  // The file's note tells whether it was there before this product's first run, and
  // whether another program wrote it since: its registration shares that fate.
  const StateNote* file = Latest(NoteKind::File, {path});
  const Was was =
      file != nullptr
          ? file->was
          : WasThere(platform_.files.GetAttributes(path) != platform::kInvalidFileAttributes);
  Add({NoteKind::Server, {path, ServerFormText(form)}, was});
}

void StateRecord::NoteSharedCount(const std::string& name) {
  if (!recordKey_) return;
  Add({NoteKind::Count, {name}, std::nullopt});
}

Was StateRecord::BeginLog(const std::string& path) {
  if (!recordKey_) return std::nullopt;
  const std::optional<std::string> earlier = platform::ReadWholeFile(platform_.files, path);
  // Another product's log is kept, to be put back when this product goes, however many
  // times this product was installed over it; this product's own earlier log is not.
  if (earlier && script::CaptionOf(script::SplitTextLines(*earlier)) != displayName_)
    return Was(std::vector<std::string>{HexOf(*earlier)});
  const StateNote* noted = Latest(NoteKind::Log, {path});
  return noted != nullptr ? noted->was : std::nullopt;
}

void StateRecord::CompleteLog(const std::string& path, const Was& was) {
  if (!recordKey_) return;
  Add({NoteKind::Log, {path}, was, IdentityOf(path)});
}

}  // namespace engine
