// The installation driver: walks Setup.Inf and carries out its blocks in order, installs
// the language file, and gives one result code.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "engine/Gaugep_.h"
#include "engine/infoThread.h"
#include "forms/MessageBox.h"
#include "platform/FileText.h"
#include "script/Blocks.h"
#include "script/Numbers.h"
#include "script/ScriptLine.h"
#include "script/TextLines.h"
#include "wizard/ShortenPath.h"

namespace {

constexpr const char* kFilesCaption = "I am installing files of the application ...";
constexpr const char* kSystemFilesCaption = "I am installing a system files of the application ...";
constexpr const char* kLanguageCaption = "I am installing localization file ...";

// How long the finished progress window stays on screen before it closes.
constexpr std::chrono::milliseconds kClosingPause{250};

// The installation's result codes.
constexpr std::int32_t kResultFileFailed = 1;
constexpr std::int32_t kResultComFailed = 2;
constexpr std::int32_t kResultRegistryFailed = 3;
constexpr std::int32_t kResultAbandoned = 4;
constexpr std::int32_t kResultInterrupted = 5;
constexpr std::int32_t kResultLanguageFailed = 8;

// Where a copy line puts its file.
struct CopyTarget {
  std::string directory;
  const char* kind;
  bool confirm;
  const char* caption;
};

}  // namespace

std::int32_t TMainForm::RunInstallation() {
  forms::Application& app = *App();
  platform::Files& files = Platform().files;
  TProcessForm& progress = *context_.forms.ProcessForm;

  SourceAbandoned = false;
  Interrupted = false;
  GroupMade = false;
  YesToAll = false;
  NoToAll = false;
  std::int32_t currentDisk = 1;
  std::int32_t result = 0;

  auto thread = std::make_unique<TInfoThread>(app);
  thread->SetProgressForm(&progress);
  thread->Start();

  GroupCommands.clear();
  // What each write finds before it is noted in the uninstall entry as the run goes.
  Record =
      WantUninstall ? std::make_unique<engine::StateRecord>(Platform(), ProductCaption) : nullptr;
  if (Record)
    for (const std::string& directory : DirectoriesMade) Record->NoteMadeDirectory(directory);

  files.SetCurrentDirectory(SetupDir);
  const std::string windowsDir = files.WindowsDirectory();
  const std::string systemDir = files.SystemDirectory();
  const std::optional<std::string> script = platform::ReadWholeFile(files, "Setup.Inf");
  const std::vector<std::string> lines =
      script ? script::SplitTextLines(*script) : std::vector<std::string>();

  progress.Gauge.SetRange(0, std::max(0, SpaceRequiredKB));
  progress.Gauge.SetPosition(0);
  InstalledTotal = 0;
  progress.GaugeLab.SetCaption("0%");
  progress.SourceLab.SetCaption("Installation of the files ...");
  progress.DestLab.SetCaption("");
  progress.Label1.SetCaption("Destination:");
  progress.Label2.SetCaption("Source:");

  const std::string sourceDir = SetupDir;
  const std::string destDir = InstallDir;

  // The presentation picture shows while files are copied.
  SetPresentation(true);
  app.ProcessMessages();
  progress.Show();
  app.ProcessMessages();

  // The script was read at start-up; when it cannot be read again now (the medium was
  // taken out, say), nothing of it can be carried out, and the run must not pass for a
  // success. The user is told as for any file of the medium that cannot be opened.
  if (!script) {
    ShowSourceNotOpened(SetupDir + "Setup.Inf");
    result = kResultFileFailed;
  }

  const CopyTarget toWindows{windowsDir, "WIN", true, kSystemFilesCaption};
  const CopyTarget toSystem{systemDir, "WINSYS", true, kSystemFilesCaption};
  const CopyTarget toBase{destDir, "BASE", false, kFilesCaption};

  for (std::size_t index = 0; index < lines.size() && !SourceAbandoned && !Interrupted; ++index) {
    const std::string& line = lines[index];
    const script::ScriptLine split = script::SplitScriptLine(line);
    const CopyTarget* target = nullptr;
    switch (script::MatchDriverRule(line, split)) {
      case script::DriverRule::MakeGroup:
        QueueGroupCommand();
        break;
      case script::DriverRule::GroupItem:
        ReadGroupItem(lines, index);
        break;
      case script::DriverRule::Disk: {
        // A disk number that is not a whole number asks for no disk.
        const std::int32_t disk = script::IntegerOrZero(split.Value1);
        if (disk > currentDisk) {
          currentDisk = disk;
          app.MessageBox("Please, insert disk #" + std::to_string(disk) + " into drive " +
                             sourceDir.substr(0, 2) + " .",
                         "Installation", forms::kMbOk | forms::kMbIconInformation);
        }
        break;
      }
      case script::DriverRule::IniFile:
        if (!ReadIniBlock(lines, index, split.Value1)) result = kResultRegistryFailed;
        break;
      case script::DriverRule::CopyToWin:
        target = &toWindows;
        break;
      case script::DriverRule::CopyToWinSys:
        target = &toSystem;
        break;
      case script::DriverRule::CopyToBase:
        target = &toBase;
        break;
      case script::DriverRule::RegistryItem:
        if (!ProcessRegistryItem(lines, index)) result = kResultRegistryFailed;
        break;
      case script::DriverRule::None:
        break;
    }
    if (target == nullptr) continue;

    progress.SetCaption(target->caption);
    const std::string dest = engine::DirWithSlash(target->directory) + split.Value2;
    progress.DestLab.SetCaption(ShortenPath(dest, 30));
    app.ProcessMessages();
    const std::string source = engine::DirWithSlash(sourceDir) + split.Value1;
    if (!InstallFile(source, dest, target->confirm, target->kind)) {
      result = kResultFileFailed;
      break;
    }
    if (!split.Value3.empty() && !RegisterComFile(split.Value3, dest)) result = kResultComFailed;
    if (target != &toBase) IncSharedDllCount(dest);
    // A size tag that is not a whole number adds nothing.
    InstalledTotal += script::IntegerOrZero(split.SizeTag);
    app.ProcessMessages();
  }

  // The language file: always, also after a stop, unless the user chose to end the
  // program from the progress window, which writes no further file.
  if (!app.Terminated()) {
    if (LangSourceFile.empty()) {
      result = kResultLanguageFailed;
    } else {
      progress.SetCaption(kLanguageCaption);
      const std::string dest = engine::DirWithSlash(destDir) + LangDestFile;
      progress.DestLab.SetCaption(ShortenPath(dest, 30));
      app.ProcessMessages();
      // "&End" may have been chosen during that message processing: still no file then.
      if (!app.Terminated() && !InstallFile(SetupDir + LangSourceFile, dest, false, "BASE"))
        result = kResultLanguageFailed;
      app.ProcessMessages();
    }
  }

  SetPresentation(false);
  app.ProcessMessages();

  // A short pause with the finished window still shown. It is measured in real time and
  // keeps handling messages (the picture's transition, the progress thread's last
  // repaint) without spinning.
  const auto pauseEnd = std::chrono::steady_clock::now() + kClosingPause;
  while (!app.Terminated() && std::chrono::steady_clock::now() < pauseEnd) {
    app.ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }

  progress.Hide();
  app.ProcessMessages();
  progress.CloseByDriver();
  app.ProcessMessages();
  thread->Terminate();
  thread.reset();

  if (SourceAbandoned) {
    result = kResultAbandoned;
  } else if (Interrupted) {
    result = kResultInterrupted;
  } else if (result != kResultFileFailed && result != kResultRegistryFailed && WantUninstall) {
    RegisterUninstall(ProductCaption, InstallDir, windowsDir, sourceDir);
  }
  return result;
}
