// The record of the state before: before the installation writes a file, an INI entry, a
// registry value or a key, it notes here what was there (or that nothing was). The notes
// go one by one into the product's record under HKEY_LOCAL_MACHINE as they are made
// (engine/RecordStore.h), so that a run that stops half way leaves a true record of what it
// did, and a later run of the same product adds to it. The record is apart from the
// uninstall entry, which only a run that ends well makes. The first note of a thing wins: a
// second run finds the first run's files and must not take them for the user's.
#pragma once

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/RecordStore.h"
#include "platform/Platform.h"

namespace engine {

// What one note is about.
enum class NoteKind {
  Directory,   // what: path. Only directories the installation made are noted.
  File,        // what: path.
  IniFile,     // what: path of the INI file.
  IniSection,  // what: path, section.
  IniEntry,    // what: path, section, key. was: the earlier value.
  Key,         // what: root (8 hex digits), path. Only keys the installation made.
  Value,       // what: root, key path, name. was: type (decimal), data (hex).
  Count,       // what: the shared-DLL count's name. The installation raised it by one.
  Log,         // what: path of setup.uni. was: the earlier log's bytes (hex).
};

// One note: the thing, and what it was before (nothing when it was not there).
struct StateNote {
  NoteKind kind = NoteKind::File;
  std::vector<std::string> what;
  std::optional<std::vector<std::string>> was;
  friend bool operator==(const StateNote&, const StateNote&) = default;
};

// A note as one line of text, and back; nothing for a line that is no note.
std::string NoteText(const StateNote& note);
std::optional<StateNote> ParseNote(const std::string& text);

// Bytes as hexadecimal digits, and back (nothing for text that is not).
std::string HexOf(const std::string& bytes);
std::optional<std::string> BytesOfHex(const std::string& hex);

// A predefined root as the notes write it (8 hex digits), and back.
std::string RootText(platform::HKey root);
std::optional<platform::HKey> RootOfText(const std::string& text);

// The notes of the record of `displayName`, in the order they were made; nothing when the
// product has no record.
std::optional<std::vector<StateNote>> ReadNotes(platform::Registry& registry,
                                                const std::string& displayName);

class StateRecord {
 public:
  // The record of `displayName`; it makes no notes when the name gives no uninstall entry
  // (an empty caption).
  StateRecord(platform::Platform& platform, const std::string& displayName);
  ~StateRecord();

  // False once a note could not be written: the record then no longer tells the whole
  // truth, and the uninstaller must not rely on it.
  bool Intact() const { return intact_; }

  // Before a file is written: the directories missing on its way, and whether it is there.
  void NoteFile(const std::string& path);
  // Before an INI entry is written through the profile writer under `fileName`.
  void NoteIniEntry(const std::string& fileName, const std::string& section,
                    const std::string& key);
  // Before a registry item creates `keyPath` below `root` and writes `name` (no name when
  // only the keys are made).
  void NoteRegistryValue(platform::HKey root, const std::string& keyPath,
                         const std::optional<std::string>& name);
  // After a shared-DLL count was raised.
  void NoteSharedCount(const std::string& name);
  // Before the uninstall log is written.
  void NoteLog(const std::string& path);

 private:
  bool Add(StateNote note);
  bool OpenRecord();
  void NoteMissingKeys(platform::HKey root, const std::vector<std::string>& levels);

  platform::Platform& platform_;
  std::optional<std::string> recordKey_;
  std::unique_ptr<RecordStore> store_;  // made at the first note
  bool intact_ = true;
  std::set<std::string> noted_;  // identities of the notes made, upper-cased
};

}  // namespace engine
