#include "tools/medium/CheckMedium.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <unordered_map>

#include "engine/FileUtil32.h"
#include "engine/RegistryAccess.h"
#include "script/Blocks.h"
#include "script/Header.h"
#include "script/Numbers.h"
#include "script/ScriptLine.h"
#include "script/Text.h"
#include "script/TextLines.h"
#include "tools/medium/Destinations.h"
#include "tools/medium/FileFacts.h"
#include "tools/medium/KeyHints.h"
#include "tools/medium/TextChecks.h"

namespace medium {
namespace {

// Keys a line outside a block may carry, for the nearest-key suggestion.
constexpr std::string_view kKnownKeys[] = {
    "INSTTO",    "CAPTION", "OSTYPE",     "CSDVERSION",   "REBOOT",    "PROCESS",
    "UNINSTALL", "LANG",    "COMPRESSED", "MAKE GROUP",   "MAKEGROUP", "DISK",
    "INI FILE",  "INIFILE", "COPYTOWIN",  "COPYTOWINSYS", "COPYTOBASE"};
constexpr std::string_view kRegistryKeys[] = {"KEYROOT", "KEYLEVEL", "KEYNAME", "KEYNAMEVALUE",
                                              "KEYTYPE"};
constexpr std::string_view kGroupItemKeys[] = {"FILE", "TITLE", "PATH"};

// Lines of a block whose key the block does not know: (line index, key).
using UnknownKeys = std::vector<std::pair<std::size_t, std::string>>;

struct Language {
  std::size_t line;
  script::ScriptLine split;
};

class Checker {
 public:
  Checker(const MediumDir& dir, const std::vector<std::string>& lines, const CheckOptions& options)
      : dir_(dir), lines_(lines), options_(options) {}

  std::vector<Finding> Run() {
    HeaderPass();
    Walk();
    Closing();
    return std::move(findings_);
  }

 private:
  // The number line `index` is reported by.
  std::size_t LineNumber(std::size_t index) const {
    return index < options_.lineNumbers.size() ? options_.lineNumbers[index] : index + 1;
  }
  void Error(std::size_t index, std::string text) {
    findings_.push_back({LineNumber(index), Severity::Error, std::move(text)});
  }
  void Warn(std::size_t index, std::string text) {
    findings_.push_back({LineNumber(index), Severity::Warning, std::move(text)});
  }
  // Findings of the medium as a whole, on no line.
  void MediumError(std::string text) { findings_.push_back({0, Severity::Error, std::move(text)}); }
  void MediumWarning(std::string text) {
    findings_.push_back({0, Severity::Warning, std::move(text)});
  }

  // The header keys, read from every line as the header pass reads them.
  void HeaderPass() {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      const script::ScriptLine split = script::SplitScriptLine(lines_[i]);
      CheckLogForm(i, split);
      switch (script::MatchHeaderKey(split.Key)) {
        case script::HeaderKey::InstTo:
          installTo_ = split.Value1;
          installToLine_ = i;
          CheckShownText(i, "InstTo", split.Value1);
          break;
        case script::HeaderKey::Caption:
          caption_ = split.Value1;
          CheckShownText(i, "CAPTION", split.Value1);
          break;
        case script::HeaderKey::OsType: {
          const script::OsTypeCheck check =
              script::CheckOSType(split.Value1, options_.platformId.value_or(1));
          if (check.name.empty()) {
            Warn(i, "OSTYPE " + split.Value1 +
                        " is not known (WIN95, WINNT, WIN95/NT, WINNT/95); no check is made");
          } else if (options_.platformId && check.failed) {
            Error(i, "OSTYPE " + split.Value1 + " stops the installation on " +
                         (*options_.platformId == 2 ? "Windows NT" : "Windows 95"));
          }
          break;
        }
        case script::HeaderKey::CsdVersion:
          CheckCsdVersion(i, split.Value1);
          break;
        case script::HeaderKey::Process:
          processLine_ = i;
          process_ = script::ParseDecimal64(split.Value1);
          if (!process_)
            Error(i, "PROCESS " + split.Value1 +
                         " is not a whole number: the installation stops at start-up");
          break;
        case script::HeaderKey::Uninstall:
          if (script::IsFlagOn(split.Value1)) uninstallLine_ = i;
          break;
        case script::HeaderKey::Lang:
          languages_.push_back({i, split});
          CheckShownText(i, "language name", split.Value1);
          break;
        case script::HeaderKey::Compressed:
          if (script::IsFlagOn(split.Value1)) compressed_ = true;
          break;
        default:
          break;
      }
    }
  }

  // The uninstall log is the script with every line that holds "InstTo" (in this case)
  // written as InstTo= and the directory the user chose, and every other line that holds
  // "MakeGroup" as MakeGroup= and the folder; the uninstaller reads both from there.
  void CheckLogForm(std::size_t i, const script::ScriptLine& split) {
    const std::string& line = lines_[i];
    const bool instTo = line.find("InstTo") != std::string::npos;
    const bool makeGroup = line.find("MakeGroup") != std::string::npos;
    const bool isInstTo = script::MatchHeaderKey(split.Key) == script::HeaderKey::InstTo;
    const bool isMakeGroup = script::MatchDriverRule(line, split) == script::DriverRule::MakeGroup;
    if (isInstTo && !instTo) {
      Warn(i,
           "write the key as InstTo: the uninstall log records the directory the user chose "
           "only on a line that holds InstTo, so the uninstall looks in " +
               split.Value1);
    } else if (isMakeGroup && !makeGroup && !instTo) {
      Warn(i,
           "write the key as MakeGroup: the uninstall log records the folder the user chose "
           "only on a line that holds MakeGroup, so the uninstall leaves the folder");
    } else if (instTo && !isInstTo) {
      Warn(i,
           "the line holds InstTo: the uninstall log has InstTo= and the chosen directory in "
           "its place");
    } else if (makeGroup && !isMakeGroup) {
      Warn(i,
           "the line holds MakeGroup: the uninstall log has MakeGroup= and the chosen folder in "
           "its place");
    }
  }

  // A text the user sees, as the installer's windows show it.
  void CheckShownText(std::size_t i, const std::string& what, const std::string& text) {
    if (const std::optional<std::string> problem = Cp1250Problem(text))
      Warn(i, what + " " + text + " " + *problem);
  }

  void CheckCsdVersion(std::size_t i, const std::string& value) {
    // The check compares with the system's service-pack text, which reads "Service Pack N".
    const std::string upper = script::UpperAscii(script::TrimBlanks(value));
    const std::string prefix = "SERVICE PACK ";
    const bool known = upper.size() > prefix.size() &&
                       upper.compare(0, prefix.size(), prefix) == 0 &&
                       upper.find_first_not_of("0123456789", prefix.size()) == std::string::npos;
    if (!known)
      Warn(i, "CSDVERSION " + value +
                  " is no service-pack text the system gives (Service Pack N); the check fails "
                  "on every system");
  }

  // The driver's walk: blocks consume their lines, copy lines and DISK lines are looked at.
  void Walk() {
    bool makeGroup = false;
    std::optional<std::size_t> firstGroupItem;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      const std::string& line = lines_[i];
      const script::ScriptLine split = script::SplitScriptLine(line);
      const script::DriverRule rule = script::MatchDriverRule(line, split);
      switch (rule) {
        case script::DriverRule::MakeGroup:
          makeGroup = true;
          break;
        case script::DriverRule::GroupItem:
          if (!firstGroupItem) firstGroupItem = i;
          ReadGroupItem(i);
          break;
        case script::DriverRule::Disk:
          CheckDisk(i, split.Value1);
          break;
        case script::DriverRule::IniFile:
          ReadIniBlock(i, split.Value1);
          break;
        case script::DriverRule::RegistryItem:
          ReadRegistryItem(i);
          break;
        case script::DriverRule::None:
          if (!split.Key.empty() && script::MatchHeaderKey(split.Key) == script::HeaderKey::None)
            UnknownKey(i, split.Key);
          break;
        default:
          CheckCopyLine(i, split, rule);
          break;
      }
    }
    if (firstGroupItem && !makeGroup)
      Error(*firstGroupItem,
            "GROUP ITEM without a MAKE GROUP line in the script: no group command is sent");
  }

  // The program a group item starts, when it lies in the destination directory, must be
  // one the script puts there (the language file included).
  void CheckGroupItemFile(std::size_t i, const std::string& file) {
    const std::string upper = script::UpperAscii(file);
    const std::size_t marker = upper.find("<TOPATH>");
    if (marker == std::string::npos) return;
    std::string rest = upper.substr(marker + 8);
    std::replace(rest.begin(), rest.end(), '/', '\\');
    rest.erase(0, rest.find_first_not_of('\\'));
    // The file's name ends where the command line's next argument or a closing quote
    // begins; a name with blanks is tried at each of them.
    for (std::size_t end = 0; end <= rest.size(); ++end) {
      if (end < rest.size() && std::string_view(" \"\t,").find(rest[end]) == std::string_view::npos)
        continue;
      if (installedBase_.count(rest.substr(0, end))) return;
    }
    Warn(i, "FILE " + file + " names no file the script installs in the destination directory");
  }

  // A mistyped copy, DISK, INI or group key loses what the line asks for; any other
  // unknown key is probably a remark.
  void UnknownKey(std::size_t i, const std::string& key) {
    const std::string nearest = NearestKey(key, kKnownKeys);
    const std::string text = UnknownKeyText(key, nearest, "");
    script::ScriptLine asNearest;
    asNearest.Key = nearest;
    if (!nearest.empty() && script::MatchDriverRule("", asNearest) != script::DriverRule::None)
      Error(i, text);
    else
      Warn(i, text);
  }

  void CheckDisk(std::size_t i, const std::string& value) {
    const std::optional<std::int32_t> disk = script::ParseInteger(value);
    if (!disk) {
      Error(i, "DISK " + value + " is not a whole number; no disk is asked for");
      return;
    }
    if (*disk <= disk_) {
      Warn(i, "DISK " + value + " does not go past disk " + std::to_string(disk_) +
                  "; no disk is asked for");
      return;
    }
    disk_ = *disk;
    if (dir_.IsDiskSet() && disk_ > dir_.DiskCount())
      Error(i, "DISK " + value + ": the medium has " + std::to_string(dir_.DiskCount()) + " disks");
  }

  // The disk whose files the installer finds now: a single folder holds every disk.
  int DiskInDrive() const { return dir_.IsDiskSet() ? disk_ : 1; }

  // Where the files of the present disk are looked for, for messages.
  std::string OnDisk() const {
    return dir_.IsDiskSet() ? "on disk " + std::to_string(disk_) : "on the medium";
  }

  // The facts of a source file as the installer finds it on the present disk; null when
  // it is not there (reported).
  const FileFacts* FindSource(std::size_t i, const std::string& source, const char* what) {
    const std::optional<std::filesystem::path> host = dir_.Find(DiskInDrive(), source);
    if (!host) {
      Error(i, std::string(what) + " " + source + " is not " + OnDisk());
      return nullptr;
    }
    const FileFacts& facts = cache_.Of(*host, compressed_);
    if (!facts.readable) {
      Error(i, std::string(what) + " " + source + " cannot be read");
      return nullptr;
    }
    if (facts.szdd && !compressed_)
      Error(i, source +
                   " is compressed (SZDD) but the script has no COMPRESSED=YES: it would be "
                   "installed compressed");
    if (facts.szdd && !facts.szddIntact) Error(i, source + " cannot be expanded: " + facts.damage);
    return &facts;
  }

  std::string TargetDirectory(script::DriverRule rule) const {
    const bool nt = options_.platformId == 2u || !options_.platformId;
    if (rule == script::DriverRule::CopyToWin) return nt ? "C:\\WINNT" : "C:\\WINDOWS";
    if (rule == script::DriverRule::CopyToWinSys)
      return nt ? "C:\\WINNT\\SYSTEM32" : "C:\\WINDOWS\\SYSTEM";
    return installTo_;
  }

  void CheckCopyLine(std::size_t i, const script::ScriptLine& split, script::DriverRule rule) {
    const std::string& line = lines_[i];
    if (split.Value1.empty()) {
      Error(i, "copy line without a source file");
    }
    CheckDestination(i, split.Value2, rule);
    const FileFacts* facts =
        split.Value1.empty() ? nullptr : FindSource(i, split.Value1, "source file");
    if (facts != nullptr) {
      sizes_.copies += facts->expandedSize;
      CheckSizeTag(i, line, split, facts->expandedSize);
      CheckRegistration(i, split, *facts);
    }
  }

  void CheckDestination(std::size_t i, const std::string& dest, script::DriverRule rule) {
    if (dest.empty()) {
      Error(i, "copy line with an empty destination");
      return;
    }
    for (std::string& error : DestinationErrors(dest, TargetDirectory(rule), 1))
      Error(i, std::move(error));
    const std::optional<std::string> key = DestinationKey(dest);
    if (!key) return;
    if (rule == script::DriverRule::CopyToBase) installedBase_.insert(*key);
    const auto [earlier, fresh] =
        destinations_.emplace(std::to_string(static_cast<int>(rule)) + "|" + *key, i);
    if (!fresh)
      Warn(i, "destination " + dest + " is also written by line " +
                  std::to_string(LineNumber(earlier->second)));
  }

  void CheckSizeTag(std::size_t i, const std::string& line, const script::ScriptLine& split,
                    std::uint64_t installed) {
    if (line.find('$') == std::string::npos) {
      Warn(i, "copy line without a size tag; " + split.Value1 + " is " + std::to_string(installed) +
                  " bytes installed ($$" + std::to_string(installed) + "$$)");
      return;
    }
    const std::optional<std::int32_t> tag = script::ParseInteger(split.SizeTag);
    if (!tag) {
      Warn(i, "size tag " + split.SizeTag + " is not a whole number; the file counts 0");
    } else if (*tag < 0 || static_cast<std::uint64_t>(*tag) != installed) {
      Warn(i, "size tag " + split.SizeTag + " is not the installed size of " + split.Value1 + " (" +
                  std::to_string(installed) + " bytes)");
    }
  }

  void CheckRegistration(std::size_t i, const script::ScriptLine& split, const FileFacts& facts) {
    if (split.Value3.empty()) return;
    if (script::EqualsUpper(split.Value3, "REGTLB")) {
      if (!facts.typeLibrary) Error(i, "REGTLB on " + split.Value2 + ", which is no type library");
      return;
    }
    // An EXE server registers itself when started; only DLL servers need the export.
    const std::string upper = script::UpperAscii(split.Value2);
    if (upper.size() >= 4 && upper.compare(upper.size() - 4, 4, ".EXE") == 0) return;
    if (!facts.exportsRegisterServer)
      Error(i, split.Value3 + " on " + split.Value2 + ", which has no DllRegisterServer export");
  }

  // Moves `i` to the block's end line; false (and `i` at the last line) when it has none.
  bool ToEndLine(std::size_t& i, bool (*isEnd)(std::string_view)) {
    while (i + 1 < lines_.size()) {
      ++i;
      if (isEnd(lines_[i])) return true;
    }
    return false;
  }

  void NoEndLine(std::size_t start, const char* block, const char* end) {
    const std::size_t rest = lines_.size() - start - 1;
    Error(start, std::string(block) + " block without " + end + ": the rest of the script (" +
                     std::to_string(rest) + (rest == 1 ? " line" : " lines") +
                     ") is read as this block and its items are dropped");
  }

  void ReadIniBlock(std::size_t& i, const std::string& fileName) {
    const std::size_t start = i;
    const std::string name = script::TrimBlanks(fileName.substr(0, fileName.find(',')));
    if (name.empty()) Error(start, "INI FILE without a file name");
    if (script::UpperAscii(name).find("<TOPATH>") != std::string::npos)
      Error(start, "INI FILE " + name +
                       ": <TOPATH> stands for the destination only in entry values, not in the "
                       "file name, so the file cannot be written (result 3)");
    bool inSection = false;
    while (i + 1 < lines_.size()) {
      ++i;
      if (script::IsIniEnd(lines_[i])) return;
      if (script::IsIniSection(script::CutAtEquals(lines_[i]).key)) {
        inSection = true;
      } else if (!inSection) {
        Warn(i,
             "INI line before the first SECTION= of its block: it is written as an entry of "
             "no section, at the top of the file (" +
                 lines_[i] + ")");
      }
    }
    NoEndLine(start, "INI FILE", "END OF INI");
  }

  void ReportUnknownKeys(const UnknownKeys& unknown, std::span<const std::string_view> known,
                         const std::vector<std::string_view>& lacking, const std::string& where) {
    for (const auto& [line, key] : unknown)
      Warn(line, UnknownKeyText(key, NearestBlockKey(key, known, lacking), where));
  }

  void ReadGroupItem(std::size_t& i) {
    const std::size_t start = i;
    std::map<script::GroupItemField, std::string> fields;
    std::size_t fileLine = start;
    std::optional<std::size_t> titleLine;
    UnknownKeys unknown;
    // A mistyped key is reported with the key it stands for once the block is read.
    const auto reportUnknown = [&] {
      std::vector<std::string_view> lacking;
      for (std::string_view key : kGroupItemKeys)
        if (fields[script::MatchGroupItemField(key)].empty()) lacking.push_back(key);
      ReportUnknownKeys(unknown, kGroupItemKeys, lacking, " in a GROUP ITEM block");
    };
    while (i + 1 < lines_.size()) {
      ++i;
      const script::BlockLine entry = script::CutAtEquals(lines_[i]);
      const script::GroupItemField field = script::MatchGroupItemField(entry.key);
      if (field == script::GroupItemField::File) {
        fields[field] = entry.value;
        fileLine = i;
      } else if (script::IsGroupItemEnd(lines_[i])) {
        if (fields[script::GroupItemField::File].empty())
          Error(start, "GROUP ITEM without FILE: the item starts nothing");
        else
          groupItemFiles_.emplace_back(fileLine, fields[script::GroupItemField::File]);
        if (titleLine) CheckShownText(*titleLine, "TITLE", fields[script::GroupItemField::Title]);
        if (fields[script::GroupItemField::Title].empty()) Warn(start, "GROUP ITEM without TITLE");
        if (engine::TrimDir(fields[script::GroupItemField::Path]).empty())
          Warn(start, "GROUP ITEM without PATH");
        reportUnknown();
        return;
      } else if (field != script::GroupItemField::None) {
        fields[field] = entry.value;
        if (field == script::GroupItemField::Title) titleLine = i;
      } else if (!entry.key.empty()) {
        unknown.emplace_back(i, entry.key);
      }
    }
    reportUnknown();
    NoEndLine(start, "GROUP ITEM", "END OF GROUP ITEM");
  }

  void ReadRegistryItem(std::size_t& i) {
    const std::size_t start = i;
    std::map<script::RegistryField, std::pair<std::size_t, std::string>> fields;
    UnknownKeys unknown;
    const auto reportUnknown = [&] {
      std::vector<std::string_view> lacking;
      for (std::string_view key : kRegistryKeys)
        if (fields[script::MatchRegistryField(key)].second.empty()) lacking.push_back(key);
      ReportUnknownKeys(unknown, kRegistryKeys, lacking, " in a REGISTRY ITEM block");
    };
    while (i + 1 < lines_.size()) {
      ++i;
      const script::BlockLine entry = script::CutAtEquals(lines_[i]);
      const script::RegistryField field = script::MatchRegistryField(entry.key);
      if (field != script::RegistryField::None) {
        fields[field] = {i, entry.value};
      } else if (script::IsRegistryItemEnd(lines_[i])) {
        reportUnknown();
        CheckRegistryItem(start, fields);
        return;
      } else if (!entry.key.empty()) {
        unknown.emplace_back(i, entry.key);
      }
    }
    reportUnknown();
    NoEndLine(start, "REGISTRY ITEM", "END OF REGISTRY ITEM");
  }

  void CheckRegistryItem(
      std::size_t start,
      std::map<script::RegistryField, std::pair<std::size_t, std::string>>& fields) {
    using script::RegistryField;
    const auto missing = [&](RegistryField field, const char* key) {
      if (!fields[field].second.empty()) return false;
      Error(start, std::string("REGISTRY ITEM without ") + key + ": nothing is written");
      return true;
    };
    bool incomplete = missing(RegistryField::Root, "KEYROOT");
    incomplete |= missing(RegistryField::Name, "KEYNAME");
    incomplete |= missing(RegistryField::Value, "KEYNAMEVALUE");
    incomplete |= missing(RegistryField::Type, "KEYTYPE");
    if (incomplete) return;
    const auto& [levelLine, level] = fields[RegistryField::Level];
    const std::string onRoot =
        ": the value is written on the root key " + fields[RegistryField::Root].second + " itself";
    if (level.empty())
      Error(start, "REGISTRY ITEM without KEYLEVEL" + onRoot);
    else if (level.find_first_not_of('\\') == std::string::npos)
      Error(levelLine, "KEYLEVEL " + level + " names no key below the root" + onRoot);
    const auto& [rootLine, root] = fields[RegistryField::Root];
    if (!engine::FindRootKey(root))
      Warn(rootLine, "KEYROOT " + root + " is no root key; the value goes under HKEY_CURRENT_USER");
    const auto& [typeLine, type] = fields[RegistryField::Type];
    const auto& [valueLine, value] = fields[RegistryField::Value];
    switch (script::MatchRegistryValueType(type)) {
      case script::RegistryValueType::None:
        Error(typeLine,
              "KEYTYPE " + type + " is no type (INTEGER, STRING or BOOLEAN): no value is written");
        break;
      case script::RegistryValueType::Integer:
        if (!script::ParseInteger(value))
          Warn(valueLine, "KEYNAMEVALUE " + value + " is not a whole number; INTEGER writes 0");
        break;
      case script::RegistryValueType::Boolean: {
        const std::string upper = script::UpperAscii(value);
        if (upper != "TRUE" && upper != "FALSE")
          Warn(valueLine, "KEYNAMEVALUE " + value + " is neither TRUE nor FALSE; BOOLEAN writes 0");
        break;
      }
      case script::RegistryValueType::String:
        break;
    }
  }

  // What the run does after the walk: the language file and the uninstaller, both taken
  // from the disk in the drive at the end.
  void Closing() {
    if (languages_.empty()) MediumError("no LANG line: the wizard stops the installation");
    for (const Language& language : languages_) {
      if (language.split.Value2.empty()) {
        Error(language.line, "LANG line without a language file");
        continue;
      }
      if (language.split.Value3.empty())
        Error(language.line,
              "LANG line without the file name it gets in the destination directory");
      else
        for (std::string& error : DestinationErrors(language.split.Value3, installTo_, 8))
          Error(language.line, std::move(error));
      if (const std::optional<std::string> key = DestinationKey(language.split.Value3))
        installedBase_.insert(*key);
      if (const FileFacts* facts =
              FindSource(language.line, language.split.Value2, "language file"))
        sizes_.largestLanguage = std::max(sizes_.largestLanguage, facts->expandedSize);
    }
    for (const auto& [line, file] : groupItemFiles_) CheckGroupItemFile(line, file);
    if (uninstallLine_) CheckUninstaller(*uninstallLine_);
    if (uninstallLine_ && script::TrimBlanks(caption_).empty())
      Error(*uninstallLine_,
            "UNINSTALL=YES but the script has no CAPTION: the uninstall entry is named by it, so "
            "no entry, log or uninstaller is made");
    if (script::TrimBlanks(installTo_).empty()) {
      const std::string text =
          ": the destination page offers no directory and the installation cannot go on "
          "(write, say, InstTo=C:\\Program Files\\Product)";
      if (installToLine_)
        Error(*installToLine_, "InstTo is empty" + text);
      else
        MediumError("no InstTo line" + text);
    }
    CheckProcess();
  }

  // The uninstaller and the script the uninstall log is made from are both taken from the
  // disk in the drive at the end; the uninstaller is copied as it is, never expanded.
  void CheckUninstaller(std::size_t line) {
    if (const std::optional<std::filesystem::path> host = dir_.Find(DiskInDrive(), "uninstkp.exe"))
      sizes_.uninstaller = cache_.Of(*host, false).fileSize;
    else
      Error(line, "UNINSTALL=YES but uninstkp.exe is not " + OnDisk());
    if (!dir_.IsDiskSet() || DiskInDrive() == 1 || DiskInDrive() > dir_.DiskCount()) return;
    const std::optional<std::filesystem::path> last = dir_.Find(DiskInDrive(), "Setup.Inf");
    const std::string disk = "disk " + std::to_string(DiskInDrive());
    if (!last) {
      Error(line, "UNINSTALL=YES but Setup.Inf is not on " + disk +
                      ", the disk in the drive at the end: the uninstall log is made from it, so "
                      "none is written and the uninstall refuses");
    } else if (ReadMediumScriptOn(dir_, DiskInDrive()) != lines_) {
      Error(line, "Setup.Inf on " + disk +
                      " differs from disk 1's: the uninstall log is made from the one on the last "
                      "disk and would not take back what disk 1's installed");
    }
  }

  void CheckProcess() {
    const std::uint64_t total = sizes_.Total();
    if (!processLine_) {
      MediumWarning("no PROCESS line: the wizard asks for no disk space (the files take " +
                    std::to_string(total) + " bytes)");
      return;
    }
    if (!process_) return;
    const std::int64_t process = *process_;
    if (process < static_cast<std::int64_t>(total)) {
      Error(*processLine_, "PROCESS " + std::to_string(process) +
                               " is smaller than the installed files (" + std::to_string(total) +
                               " bytes): the disk-space check lets too small a disk pass");
    } else if (static_cast<std::uint64_t>(process) > 2 * total) {
      Warn(*processLine_, "PROCESS " + std::to_string(process) +
                              " is more than twice the installed files (" + std::to_string(total) +
                              " bytes)");
    }
  }

  const MediumDir& dir_;
  const std::vector<std::string>& lines_;
  const CheckOptions& options_;
  std::vector<Finding> findings_;
  FileFactsCache cache_;
  std::string installTo_;
  std::optional<std::size_t> installToLine_;
  std::string caption_;
  std::set<std::string> installedBase_;  // destinations below the destination directory
  std::vector<std::pair<std::size_t, std::string>> groupItemFiles_;  // FILE lines
  bool compressed_ = false;
  std::optional<std::int64_t> process_;
  std::optional<std::size_t> processLine_;
  std::optional<std::size_t> uninstallLine_;
  std::vector<Language> languages_;
  std::int32_t disk_ = 1;
  InstalledSizes sizes_;
  std::unordered_map<std::string, std::size_t> destinations_;
};

}  // namespace

std::optional<std::vector<std::string>> ReadMediumScript(const MediumDir& dir) {
  return ReadMediumScriptOn(dir, 1);
}

std::optional<std::vector<std::string>> ReadMediumScriptOn(const MediumDir& dir, int disk) {
  const std::optional<std::filesystem::path> path = dir.Find(disk, "Setup.Inf");
  if (!path) return std::nullopt;
  std::ifstream in(*path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (!in) return std::nullopt;
  return script::SplitTextLines(bytes.str());
}

std::vector<Finding> CheckMedium(const MediumDir& dir, const std::vector<std::string>& lines,
                                 const CheckOptions& options) {
  return Checker(dir, lines, options).Run();
}

}  // namespace medium
