#include "tools/medium/DryRun.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

#include "app/Program.h"
#include "engine/FileUtil32.h"
#include "forms/headless/Answers.h"
#include "forms/headless/HeadlessToolkit.h"
#include "platform/sandbox/Machine.h"
#include "script/Header.h"
#include "script/ScriptLine.h"
#include "script/Text.h"
#include "tools/medium/MediumDrive.h"
#include "tools/medium/ScratchFolder.h"

namespace medium {
namespace fs = std::filesystem;
namespace {

// Why a run that gave no result stopped where it did, when the page shows it; empty
// otherwise. The destination page refuses Next with the disk-space message also when the
// space cannot be measured at all, so the message alone would blame the wrong thing.
std::string StopCause(const DryRunOutcome& run, const DryRunScript& script) {
  if (run.result >= 0 || run.finishPage.rfind("61 ", 0) != 0 ||
      run.lastMessage.find("Available space have to be greater") == std::string::npos)
    return "";
  const std::string installTo = script::TrimBlanks(script.installTo);
  if (installTo.empty())
    return "the script gives no destination directory (no InstTo line, or an empty one), so "
           "there is no disk space to measure";
  if (installTo.size() < 2 || installTo[1] != ':' ||
      script::UpperAscii(installTo.substr(0, 1)) != "C")
    return "InstTo " + installTo + " lies on no drive the dry run's machine has (it has C:)";
  return "drive C: has less free space than PROCESS asks for";
}

DryRunOutcome RunOnce(const MediumDir& dir, const DryRunScript& script, std::size_t languageIndex,
                      std::uint32_t platformId) {
  DryRunOutcome outcome;
  outcome.platformId = platformId;
  ScratchFolder machineFolder("setup-check-");
  sandbox::MachineOptions machineOptions;
  machineOptions.root = machineFolder.path();
  machineOptions.platformId = platformId;
  machineOptions.moduleFileName = "D:\\SETUP.EXE";
  sandbox::Machine machine(machineOptions);
  MediumDrive drive(machine, 'D', dir);
  machine.platform().files.SetCurrentDirectory("D:\\");

  std::vector<forms::headless::Action> actions =
      forms::headless::ParseAnswers("pick PageKLBX1 " + std::to_string(languageIndex) + "\n");
  forms::headless::HeadlessToolkit toolkit(actions);
  forms::headless::DefaultAnswers answers;
  answers.limit = 200;
  answers.preferred = {"nextBut", "cancbut", "okbut", "BTN_YESTOALL"};
  // A disk set is installed as a user installs it: the next disk put in at each prompt.
  answers.askedDisk = AskedDisk;
  toolkit.SetDefaultAnswers(answers);
  toolkit.SetDiskChanger([&](int disk) { return drive.Change(disk); });
  toolkit.SetIdleLimit(60000);
  toolkit.SetScreenSize(160, 120);
  std::vector<std::string> transcript;
  {
    forms::Application app(toolkit);
    try {
      RunSetup(app, machine.platform());
      transcript = toolkit.Transcript();
    } catch (const forms::headless::ScriptStopped& stopped) {
      transcript = stopped.Transcript();
      outcome.lastMessage = stopped.what();
    }
  }
  for (const std::string& line : transcript) {
    if (line.rfind("result ", 0) == 0) outcome.result = std::atoi(line.c_str() + 7);
    if (line.rfind("page ", 0) == 0) outcome.finishPage = line.substr(5);
    // What was on screen last: a message box or a modal dialog.
    if (line.rfind("message ", 0) == 0 || line.rfind("modal ", 0) == 0) outcome.lastMessage = line;
  }
  // The uninstall log is written last, from the Setup.Inf of the disk then in the drive;
  // without it the uninstaller refuses, though the installation said it succeeded.
  if (outcome.result == 0 && script.wantUninstall) {
    const std::string log = engine::DirWithSlash(script.installTo) + "setup.uni";
    outcome.logMissing =
        machine.platform().files.GetAttributes(log) == platform::kInvalidFileAttributes;
  }
  return outcome;
}

}  // namespace

DryRunScript ReadDryRunScript(const std::vector<std::string>& lines) {
  DryRunScript script;
  for (const std::string& line : lines) {
    const script::ScriptLine split = script::SplitScriptLine(line);
    switch (script::MatchHeaderKey(split.Key)) {
      case script::HeaderKey::Lang:
        script.languages.push_back(split.Value1);
        break;
      case script::HeaderKey::InstTo:
        script.installTo = split.Value1;
        break;
      case script::HeaderKey::Uninstall:
        if (script::IsFlagOn(split.Value1)) script.wantUninstall = true;
        break;
      default:
        break;
    }
  }
  return script;
}

std::vector<DryRunOutcome> DryRun(const MediumDir& dir, const DryRunScript& script,
                                  const std::vector<std::uint32_t>& platforms) {
  std::vector<DryRunOutcome> outcomes;
  const std::size_t runs = script.languages.empty() ? 1 : script.languages.size();
  for (std::uint32_t platformId : platforms)
    for (std::size_t i = 0; i < runs; ++i) {
      DryRunOutcome outcome = RunOnce(dir, script, i, platformId);
      outcome.language = script.languages.empty() ? "" : script.languages[i];
      outcomes.push_back(std::move(outcome));
    }
  return outcomes;
}

std::vector<Finding> DryRunFindings(const std::vector<DryRunOutcome>& outcomes,
                                    const DryRunScript& script) {
  std::vector<Finding> findings;
  for (const DryRunOutcome& run : outcomes) {
    if (!run.Failed()) continue;
    std::string text = "dry run (" + (run.language.empty() ? "no language" : run.language) + ", " +
                       (run.platformId == 2 ? "Windows NT" : "Windows 95") + ") ";
    if (run.logMissing) {
      text += "ended with result 0 but wrote no uninstall log " +
              engine::DirWithSlash(script.installTo) +
              "setup.uni, so the uninstall refuses: the log is made from the Setup.Inf of the "
              "disk in the drive at the end";
    } else if (const std::string cause = StopCause(run, script); !cause.empty()) {
      text += "stopped on page " + run.finishPage + ": " + cause;
    } else {
      text += run.result < 0 ? "gave no result" : "ended with result " + std::to_string(run.result);
      if (!run.finishPage.empty()) text += "; page " + run.finishPage;
    }
    if (!run.logMissing && !run.lastMessage.empty()) text += "; last shown: " + run.lastMessage;
    findings.push_back({0, Severity::Error, text});
  }
  return findings;
}

std::string DryRunSummary(const std::vector<DryRunOutcome>& outcomes, const DryRunScript& script,
                          std::size_t platformCount) {
  const auto count = [](std::size_t n, const std::string& one, const std::string& many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
  };
  const std::size_t failed = static_cast<std::size_t>(std::count_if(
      outcomes.begin(), outcomes.end(), [](const auto& run) { return run.Failed(); }));
  const std::string languages =
      script.languages.empty() ? "no language, "
                               : count(script.languages.size(), "language", "languages") + " x ";
  return "dry run: " + count(outcomes.size(), "run", "runs") + " (" + languages +
         count(platformCount, "OS family", "OS families") + "), " + std::to_string(failed) +
         " failed";
}

}  // namespace medium
