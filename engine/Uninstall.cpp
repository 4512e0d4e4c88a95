// Uninstall registration: the entry in the system's list of removable programs, the
// uninstaller in the Windows directory, the uninstall log and the user's name and company.
#include <optional>
#include <string>
#include <vector>

#include "app/Setup_.h"
#include "engine/FileExists.h"
#include "engine/FileUtil32.h"
#include "engine/RegistryAccess.h"
#include "engine/UninstallEntry.h"
#include "platform/FileText.h"
#include "script/TextLines.h"
#include "wizard/BackNext.h"

namespace {

constexpr char kUserInfoKey[] = "SOFTWARE\\Tavrin\\Velmora Management Console\\Register";
constexpr char kUninstaller[] = "uninstkp.exe";
constexpr char kScriptName[] = "setup.inf";
constexpr char kLogName[] = "setup.uni";

}  // namespace

bool TMainForm::RegisterUninstall(const std::string& displayName, const std::string& installDir,
                                  const std::string& windowsDir, const std::string& setupDir) {
  // A display name without a key of its own (an empty caption) would put the entry on the
  // list key itself, among every other product's: no entry then, and no record, but the
  // uninstaller, the log and the user's name and company all the same.
  const std::optional<std::string> entryKey = engine::UninstallEntryKey(displayName);
  // Tests and callers outside a run have no record yet: the entry's own keys, the
  // uninstaller and the log are noted all the same.
  if (!Record) Record = std::make_unique<engine::StateRecord>(Platform(), displayName);
  const std::string logPath = engine::DirWithSlash(installDir) + kLogName;
  try {
    if (entryKey) {
      // The entry's keys are noted before anything is written there.
      Record->NoteRegistryValue(platform::kHkeyLocalMachine, *entryKey, std::nullopt);
      engine::RegistryAccess access(Platform().registry);
      access.SetRoot(platform::kHkeyLocalMachine);
      // Not tested: when the key cannot be had, the first write fails and ends the step.
      access.OpenKey(*entryKey, true);
      access.WriteString("DisplayName", displayName);
      access.WriteString("UnInstallString", engine::DirWithSlash(windowsDir) + kUninstaller +
                                                " \"" + logPath + "\" \"" + displayName + "\"");
    }

    const std::string uninstaller = engine::DirWithSlash(windowsDir) + kUninstaller;
    platform::Files& files = Platform().files;
    const engine::PendingFile pending = Record->BeginFile(uninstaller);
    if (engine::FileExists(files, uninstaller)) files.DeleteFile(uninstaller);
    engine::CopyContext copy = CopyContextOf();
    engine::CopyPlainFile(copy, engine::DirWithSlash(setupDir) + kUninstaller, uninstaller);
    Record->CompleteFile(pending, copy.written.wrote, copy.written.identity);

    const std::optional<std::vector<std::string>> earlierLog = Record->BeginLog(logPath);
    WriteUninstallLog(engine::DirWithSlash(setupDir) + kScriptName, logPath);
    Record->CompleteLog(logPath, earlierLog);
  } catch (const std::exception&) {
    return false;
  }
  // The digest stands on its own: without it the uninstaller refuses, but the user's
  // name and company are written all the same.
  if (entryKey) WriteLogDigest(*entryKey, logPath);
  return WriteUserInformation() && entryKey.has_value();
}

bool TMainForm::WriteLogDigest(const std::string& entryKey, const std::string& logPath) {
  // What the uninstaller trusts: the log exactly as written now, where it was written, and
  // a record that missed no note. Without all three it refuses to remove anything.
  const std::optional<std::string> log = platform::ReadWholeFile(Platform().files, logPath);
  const std::optional<std::string> digest = log ? Platform().digest.Sha256Hex(*log) : std::nullopt;
  engine::RegistryAccess access(Platform().registry);
  access.SetRoot(platform::kHkeyLocalMachine);
  if (!access.OpenKey(entryKey, false)) return false;
  if (digest && Record->Intact()) {
    try {
      access.WriteString(engine::kLogPathValue, logPath);
      access.WriteString(engine::kLogDigestValue, *digest);
      return true;
    } catch (const engine::RegistryError&) {
    }
  }
  // An earlier run's digest would now vouch for a log it was not taken of.
  platform::Registry& registry = Platform().registry;
  registry.DeleteValue(access.CurrentKey(), engine::kLogDigestValue);
  registry.DeleteValue(access.CurrentKey(), engine::kLogPathValue);
  return false;
}

bool TMainForm::WriteUserInformation() {
  const TWizForm* wizard = Context().forms.WizForm;
  try {
    engine::RegistryAccess access(Platform().registry);
    access.SetRoot(platform::kHkeyCurrentUser);
    access.OpenKey(kUserInfoKey, true);
    access.WriteString("UserName", wizard != nullptr ? wizard->PageBEdit1.Text() : "");
    access.WriteString("UserCompany", wizard != nullptr ? wizard->PageBEdit2.Text() : "");
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool TMainForm::WriteUninstallLog(const std::string& scriptPath, const std::string& logPath) {
  platform::Files& files = Platform().files;
  const std::optional<std::string> script = platform::ReadWholeFile(files, scriptPath);
  if (!script) return false;
  // The user's two choices replace the lines that carried them; the match is
  // case-sensitive, unlike the header pass, and a line with both texts takes InstTo.
  std::string log;
  for (const std::string& line : script::SplitTextLines(*script)) {
    if (line.find("InstTo") != std::string::npos) {
      log += "InstTo=" + InstallDir;
    } else if (line.find("MakeGroup") != std::string::npos) {
      log += "MakeGroup=" + GroupName;
    } else {
      log += line;
    }
    log += "\r\n";
  }
  return platform::WriteWholeFile(files, logPath, log);
}
