// Uninstall registration: the entry in the system's list of removable programs, the
// uninstaller in the Windows directory, the uninstall log and the user's name and company.
#include <optional>
#include <string>
#include <vector>

#include "app/Setup_.h"
#include "engine/FileExists.h"
#include "engine/FileUtil32.h"
#include "engine/RegistryAccess.h"
#include "platform/FileText.h"
#include "script/TextLines.h"
#include "wizard/BackNext.h"

namespace {

constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\UnInstall\\";
constexpr char kUserInfoKey[] = "SOFTWARE\\Tavrin\\Velmora Management Console\\Register";
constexpr char kUninstaller[] = "uninstkp.exe";
constexpr char kScriptName[] = "setup.inf";
constexpr char kLogName[] = "setup.uni";

}  // namespace

bool TMainForm::RegisterUninstall(const std::string& displayName, const std::string& installDir,
                                  const std::string& windowsDir, const std::string& setupDir) {
  try {
    {
      engine::RegistryAccess access(Platform().registry);
      access.SetRoot(platform::kHkeyLocalMachine);
      // Not tested: when the key cannot be had, the first write fails and ends the step.
      access.OpenKey(kUninstallKey + displayName, true);
      access.WriteString("DisplayName", displayName);
      access.WriteString("UnInstallString", engine::DirWithSlash(windowsDir) + kUninstaller +
                                                " \"" + engine::DirWithSlash(installDir) +
                                                kLogName + "\" \"" + displayName + "\"");
    }

    const std::string uninstaller = engine::DirWithSlash(windowsDir) + kUninstaller;
    platform::Files& files = Platform().files;
    if (engine::FileExists(files, uninstaller)) files.DeleteFile(uninstaller);
    engine::CopyContext copy = CopyContextOf();
    engine::CopyPlainFile(copy, engine::DirWithSlash(setupDir) + kUninstaller, uninstaller);

    WriteUninstallLog(engine::DirWithSlash(setupDir) + kScriptName,
                      engine::DirWithSlash(installDir) + kLogName);

    const TWizForm* wizard = Context().forms.WizForm;
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
