#include "tools/medium/DryRun.h"

#include <cstdlib>
#include <system_error>

#include "app/Program.h"
#include "forms/headless/Answers.h"
#include "forms/headless/HeadlessToolkit.h"
#include "platform/sandbox/Machine.h"
#include "tools/medium/ScratchFolder.h"

namespace medium {
namespace fs = std::filesystem;
namespace {

// The medium as one folder: a disk set's disks laid over each other in their order, as
// the drive holds each in turn.
fs::path OneFolder(const MediumDir& dir, const fs::path& scratch) {
  if (!dir.IsDiskSet()) return dir.DiskRoot(1);
  const fs::path merged = scratch / "medium";
  for (int disk = 1; disk <= dir.DiskCount(); ++disk)
    fs::copy(dir.DiskRoot(disk), merged,
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  return merged;
}

DryRunOutcome RunOnce(const fs::path& mediumFolder, std::size_t languageIndex,
                      std::uint32_t platformId) {
  DryRunOutcome outcome;
  outcome.platformId = platformId;
  ScratchFolder machineFolder("setup-check-");
  sandbox::MachineOptions machineOptions;
  machineOptions.root = machineFolder.path();
  machineOptions.platformId = platformId;
  machineOptions.moduleFileName = "D:\\SETUP.EXE";
  sandbox::Machine machine(machineOptions);
  machine.Mount('D', mediumFolder);
  machine.platform().files.SetCurrentDirectory("D:\\");

  std::vector<forms::headless::Action> actions =
      forms::headless::ParseAnswers("pick PageKLBX1 " + std::to_string(languageIndex) + "\n");
  forms::headless::HeadlessToolkit toolkit(actions);
  forms::headless::DefaultAnswers answers;
  answers.limit = 200;
  answers.preferred = {"nextBut", "cancbut", "okbut", "BTN_YESTOALL"};
  toolkit.SetDefaultAnswers(answers);
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
  return outcome;
}

}  // namespace

std::vector<DryRunOutcome> DryRun(const MediumDir& dir, const std::vector<std::string>& languages,
                                  const std::vector<std::uint32_t>& platforms) {
  std::vector<DryRunOutcome> outcomes;
  ScratchFolder scratch("setup-check-");
  const fs::path folder = OneFolder(dir, scratch.path());
  const std::size_t runs = languages.empty() ? 1 : languages.size();
  for (std::uint32_t platformId : platforms)
    for (std::size_t i = 0; i < runs; ++i) {
      DryRunOutcome outcome = RunOnce(folder, i, platformId);
      outcome.language = languages.empty() ? "" : languages[i];
      outcomes.push_back(std::move(outcome));
    }
  return outcomes;
}

std::vector<Finding> DryRunFindings(const std::vector<DryRunOutcome>& outcomes) {
  std::vector<Finding> findings;
  for (const DryRunOutcome& run : outcomes) {
    if (run.result == 0) continue;
    std::string text = "dry run (" + (run.language.empty() ? "no language" : run.language) + ", " +
                       (run.platformId == 2 ? "Windows NT" : "Windows 95") + ") ";
    text += run.result < 0 ? "gave no result" : "ended with result " + std::to_string(run.result);
    if (!run.finishPage.empty()) text += "; page " + run.finishPage;
    if (!run.lastMessage.empty()) text += "; last shown: " + run.lastMessage;
    findings.push_back({0, Severity::Error, text});
  }
  return findings;
}

}  // namespace medium
