// The uninstall log setup.uni read back: the setup script with the chosen destination and
// folder written in, turned into the list of what the installation made. The log is read
// with the installer's own rules, so that it names exactly what the installer would have
// written from that text and nothing more.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace uninst {

// One entry of an INI FILE block.
struct IniEntry {
  std::string file;  // as the installer handed it to the profile writer
  std::string section;
  std::string key;
  friend bool operator==(const IniEntry&, const IniEntry&) = default;
};

// The value of one complete REGISTRY ITEM block.
struct RegistryValue {
  std::string root;     // the KEYROOT text, looked up as the installer does
  std::string keyPath;  // KEYLEVEL as written
  std::string name;     // KEYNAME
  friend bool operator==(const RegistryValue&, const RegistryValue&) = default;
};

// Where a copy line put its file.
enum class CopyKind { Windows, System, Base };

// One copy line: the destination name relative to its target directory.
struct CopiedFile {
  CopyKind kind = CopyKind::Base;
  std::string name;
  friend bool operator==(const CopiedFile&, const CopiedFile&) = default;
};

// Everything the log names, each list in script order.
struct UninstallLog {
  std::optional<std::string> caption;    // the last CAPTION line: the product's name
  std::optional<std::string> installTo;  // the last "InstTo=" line
  std::optional<std::string> folder;     // the last "MakeGroup=" line: the Start-menu folder
  std::vector<std::string> itemTitles;   // titles of complete GROUP ITEM blocks
  std::vector<IniEntry> iniEntries;
  std::vector<RegistryValue> registryValues;
  std::vector<CopiedFile> files;
  std::vector<std::string> languageFiles;  // every LANG line's destination name
};

// The lines of the log that were written whole. The installer ends every line with CR LF,
// the last one too, so a last line without its line end was cut short and is dropped.
std::vector<std::string> CompleteLines(std::string_view bytes);

// Reads the log's lines with the installer's walk and block rules.
UninstallLog ReadUninstallLog(const std::vector<std::string>& lines);

}  // namespace uninst
