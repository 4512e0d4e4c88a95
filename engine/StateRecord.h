// The record of the state before: before the installation writes a file, an INI entry, a
// registry value or a key, it notes here what was there (or that nothing was). The notes
// go one by one into the product's record under HKEY_LOCAL_MACHINE as they are made
// (engine/RecordStore.h), so that a run that stops half way leaves a true record of what it
// did, and a later run of the same product adds to it. The record lies apart from the
// uninstall entry, which only a run that ends well makes. The first note of a setting wins: a
// second run finds the first run's values and must not take them for the user's. Files,
// directories, INI files and logs also carry the identity the installation left them with, which
// changes when a later run writes them again, so their last note stands (see StandingNotes).
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/regserv.h"
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
  Server,      // what: path, form (ServerFormText). Noted before the file is registered
               // with COM; it was there before when the file was.
};

// One note: the thing, what it was before (nothing when it was not there), and for files,
// directories, INI files and logs the identity the installation left it with (nothing
// when the installation did not write it, or the system keeps no lasting identity).
struct StateNote {
  NoteKind kind = NoteKind::File;
  std::vector<std::string> what;
  std::optional<std::vector<std::string>> was;
  std::optional<platform::FileIdentity> identity = std::nullopt;
  friend bool operator==(const StateNote&, const StateNote&) = default;
};

// The notes that stand, in the order they were made: of a file, directory, INI file or
// log the last note (it tells the thing as the installation last left it, and carries
// forward what was there before), of every other thing the first.
std::vector<StateNote> StandingNotes(const std::vector<StateNote>& notes);

// What a file's place held before the installation writes it: taken by BeginFile before
// the write, handed to CompleteFile after it.
struct PendingFile {
  std::string path;
  std::vector<std::string> missing = {};  // directories missing on its way, outermost first
  bool there = false;                     // something was at the place
  bool noted = false;                     // an earlier note of this product names the file
  std::optional<std::vector<std::string>> was = std::nullopt;  // what the note will say
};

// A note as one line of text, and back; nothing for a line that is no note.
std::string NoteText(const StateNote& note);
std::optional<StateNote> ParseNote(const std::string& text);

// A registration's form as a server note writes it ("dll", "typelib", "exe"), and back.
std::string ServerFormText(ServerForm form);
std::optional<ServerForm> ServerFormOfText(const std::string& text);

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

class RecordStore;

class StateRecord {
 public:
  // The record of `displayName`; it makes no notes when the name gives no uninstall entry
  // (an empty caption).
  StateRecord(platform::Platform& platform, std::string displayName);
  ~StateRecord();
  StateRecord(const StateRecord&) = delete;
  StateRecord& operator=(const StateRecord&) = delete;

  // False once a note could not be written: the record then no longer tells the whole
  // truth, and the uninstaller must not rely on it.
  bool Intact() const { return intact_; }

  // Before a file is written: the directories missing on its way, whether it is there,
  // and whether it is still as this product last left it.
  PendingFile BeginFile(const std::string& path);
  // After the write, or after it was given up: the directories made on the way and the
  // file, with the identity the write's own handle gave (`wrote` false when nothing was
  // written at the place).
  void CompleteFile(const PendingFile& pending, bool wrote,
                    const std::optional<platform::FileIdentity>& identity);
  // A directory made for this installation before any note could be made (the wizard's
  // browse dialog makes the destination).
  void NoteMadeDirectory(const std::string& path);
  // Before an INI entry is written through the profile writer under `fileName`.
  void NoteIniEntry(const std::string& fileName, const std::string& section,
                    const std::string& key);
  // After the entries of a block were written into `fileName`: the file with its identity.
  void CompleteIniFile(const std::string& fileName);
  // Before a registry item creates `keyPath` below `root` and writes `name` (no name when
  // only the keys are made).
  void NoteRegistryValue(platform::HKey root, const std::string& keyPath,
                         const std::optional<std::string>& name);
  // Before the file at `path`, installed a moment ago, is registered with COM.
  void NoteServer(const std::string& path, ServerForm form);
  // After a shared-DLL count was raised.
  void NoteSharedCount(const std::string& name);
  // Before the uninstall log is written: another product's log there is noted with its
  // bytes, to be put back when this product goes.
  std::optional<std::vector<std::string>> BeginLog(const std::string& path);
  // After the log was written.
  void CompleteLog(const std::string& path, const std::optional<std::vector<std::string>>& was);

 private:
  bool Add(StateNote note);
  void LoadEarlier();
  void NoteMissingKeys(platform::HKey root, const std::vector<std::string>& levels);
  // The last note made of a thing, in this run or an earlier one.
  const StateNote* Latest(NoteKind kind, const std::vector<std::string>& what);
  std::optional<platform::FileIdentity> IdentityOf(const std::string& path);
  std::string IniPath(const std::string& fileName);

  platform::Platform& platform_;
  std::string displayName_;
  std::optional<std::string> recordKey_;
  std::unique_ptr<RecordStore> store_;  // read at the first look, written to at each note
  bool intact_ = true;
  std::map<std::string, StateNote> latest_;  // by the thing's key (kind and what, upper-cased)
  std::map<std::string, std::optional<std::vector<std::string>>> iniFilesWas_;  // of this run
};

}  // namespace engine
