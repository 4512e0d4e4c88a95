// setup-sim: runs the installer headless on a sandbox machine. The medium folder is drive
// D: and the program is D:\SETUP.EXE; the answers file plays the user. A disk set's folder,
// or one disk of it, may be the medium: its disks are changed by `disk N` answers. The transcript
// of the run goes to standard output, one event a line.
//
// Exit codes: 0 the program ended normally; 1 bad command line or files, or a machine whose
// registry.reg could not be saved; 2 an answer did
// not fit what was open; 3 the answers ran out while the installer waited for the user;
// 4 the run went on too long with only timers firing. With --uninstall the uninstaller
// runs next on the same machine with the answers the installation left. --help prints the
// usage, --version the version, both to standard output with exit code 0.
#include <fstream>
#include <iostream>
#include <sstream>

#include "app/Program.h"
#include "forms/headless/Answers.h"
#include "forms/headless/HeadlessToolkit.h"
#include "platform/sandbox/Machine.h"
#include "platform/sandbox/SandboxDisks.h"
#include "platform/sandbox/SandboxFiles.h"
#include "tools/medium/MediumDrive.h"
#include "tools/medium/ToolArgs.h"
#include "tools/setup-sim/SimOptions.h"
#include "tools/setup-sim/Summary.h"
#include "uninst/RunUninstall.h"

namespace {

void PrintLines(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) std::cout << line << '\n';
  std::cout.flush();
}

// Saves the machine's registry after a run that ended with `code`. What the run wrote to
// the registry (the uninstall record among it) is lost when the file cannot be written, so
// the run does not pass for a success then.
int SaveMachine(sandbox::Machine& machine, int code) {
  if (machine.Save()) return code;
  std::cerr << "setup-sim: the registry could not be saved to "
            << (machine.options().root / "registry.reg").string() << '\n';
  return code == 0 ? 1 : code;
}

// The uninstaller on the machine the installation left, as the uninstall entry starts it:
// C:\WINDOWS\uninstkp.exe (C:\WINNT on NT) with the log path and the display name. Its
// transcript follows the installation's; files it schedules for deletion at the next
// restart are listed after it as "pending-delete PATH".
int RunUninstaller(const sim::SimOptions& options,
                   const std::vector<forms::headless::Action>& actions, std::size_t used) {
  sandbox::MachineOptions machineOptions;
  machineOptions.root = options.machine;
  machineOptions.platformId = options.platformId;
  machineOptions.csdVersion = options.csdVersion;
  machineOptions.moduleFileName = options.platformId == platform::kPlatformWin32Nt
                                      ? "C:\\WINNT\\uninstkp.exe"
                                      : "C:\\WINDOWS\\uninstkp.exe";
  sandbox::Machine machine(machineOptions);
  const std::vector<forms::headless::Action> rest(actions.begin() + static_cast<long>(used),
                                                  actions.end());
  forms::headless::HeadlessToolkit toolkit(rest);
  int code = 0;
  const std::vector<std::string> earlierDeletions = machine.DeletionsAtRestart();
  {
    forms::Application app(toolkit);
    try {
      // The uninstaller's own result is its "uninstall-result" line; the exit code keeps
      // the meanings above.
      uninst::RunUninstall(app, machine.platform(), {options.uninstallLog, options.uninstallName});
      PrintLines(toolkit.Transcript());
    } catch (const forms::headless::ScriptStopped& stopped) {
      PrintLines(stopped.Transcript());
      std::cerr << "setup-sim: " << stopped.what() << '\n';
      code = stopped.Code();
    }
  }
  // On the 95 family the list lies in WININIT.INI, which may hold earlier runs' lines.
  const std::vector<std::string> deletions = machine.DeletionsAtRestart();
  for (std::size_t i = earlierDeletions.size(); i < deletions.size(); ++i)
    std::cout << "pending-delete " << deletions[i] << '\n';
  return SaveMachine(machine, code);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (medium::AnswerHelpOrVersion(args, "setup-sim", sim::Usage(), std::cout)) return 0;
  std::string error;
  const std::optional<sim::SimOptions> options = sim::ParseOptions(args, error);
  if (!options) {
    std::cerr << "setup-sim: " << error << '\n' << sim::Usage();
    return 1;
  }
  if (!options->medium.empty() && !std::filesystem::is_directory(options->medium)) {
    std::cerr << "setup-sim: the medium " << options->medium << " is not a folder\n";
    return 1;
  }

  std::vector<forms::headless::Action> actions;
  if (!options->answers.empty()) {
    std::ifstream in(options->answers, std::ios::binary);
    if (!in) {
      std::cerr << "setup-sim: cannot read the answers file " << options->answers << '\n';
      return 1;
    }
    std::stringstream text;
    text << in.rdbuf();
    try {
      actions = forms::headless::ParseAnswers(text.str());
    } catch (const forms::headless::AnswersError& bad) {
      std::cerr << "setup-sim: " << options->answers << ":" << bad.Line() << ": " << bad.what()
                << '\n';
      return 2;
    }
  }

  std::filesystem::create_directories(options->machine);
  const sim::MachineSnapshot before = sim::TakeSnapshot(options->machine);
  int code = 0;
  std::size_t used = 0;  // answers the installation took
  if (!options->medium.empty()) {
    sandbox::MachineOptions machineOptions;
    machineOptions.root = options->machine;
    machineOptions.platformId = options->platformId;
    machineOptions.csdVersion = options->csdVersion;
    machineOptions.moduleFileName = "D:\\SETUP.EXE";
    sandbox::Machine machine(machineOptions);
    // A disk set's folder is started with its first disk in the drive; `disk N` answers
    // put another of its disks there.
    medium::MediumDrive mediumDrive(machine, 'D', options->medium);
    // Started from the medium, as a person starts setup.exe from its CD: D:\ is the current
    // directory, where the main window looks for Present.bmp.
    machine.platform().files.SetCurrentDirectory("D:\\");
    for (const auto& [drive, kb] : options->freeKB) machine.disks().SetFreeBytes(drive, kb * 1024);

    forms::headless::HeadlessToolkit toolkit(actions);
    toolkit.SetDiskChanger([&](int disk) { return mediumDrive.Change(disk); });
    {
      forms::Application app(toolkit);
      try {
        code = RunSetup(app, machine.platform());
        PrintLines(toolkit.Transcript());
      } catch (const forms::headless::ScriptStopped& stopped) {
        PrintLines(stopped.Transcript());
        std::cerr << "setup-sim: " << stopped.what() << '\n';
        code = stopped.Code();
      }
    }
    used = actions.size() - toolkit.RemainingActions();
    code = SaveMachine(machine, code);
  }
  if (options->uninstall && code == 0) code = RunUninstaller(*options, actions, used);
  if (options->summary) sim::PrintSummary(options->machine, before, std::cout);
  return code;
}
