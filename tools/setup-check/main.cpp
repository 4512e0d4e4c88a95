// setup-check: finds the mistakes of an installation medium before it ships. The findings
// go to standard output as "Setup.Inf:LINE: error: TEXT" (or warning), then one summary
// line "N errors, M warnings".
//
// Exit codes: 0 no errors; 1 errors; 2 the medium cannot be read or a bad command line.
#include <filesystem>
#include <iostream>

#include "tools/medium/CheckMedium.h"
#include "tools/medium/DryRun.h"
#include "tools/medium/ToolArgs.h"

namespace {

constexpr char kUsage[] =
    "usage: setup-check MEDIUM_DIR [--platform 95|nt] [--dry-run]\n"
    "  Reads MEDIUM_DIR/Setup.Inf (or MEDIUM_DIR/DISK1/Setup.Inf of a disk set) as the\n"
    "  installer does and reports every mistake of the medium.\n"
    "  --platform 95|nt  the platform family the medium is meant for (default: both)\n"
    "  --dry-run         also install the medium on fresh sandbox machines, once for each\n"
    "                    language and platform family (a disk set disk by disk, changed at\n"
    "                    each prompt), report each run that fails and how many ran\n"
    "  exit code: 0 no errors, 1 errors, 2 the medium cannot be read\n";

struct Options {
  std::string medium;
  std::optional<std::uint32_t> platformId;
  bool dryRun = false;
};

std::optional<Options> Parse(const std::vector<std::string>& args, std::string& error) {
  Options options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--dry-run") {
      options.dryRun = true;
    } else if (arg == "--platform") {
      options.platformId = medium::ParsePlatform(i + 1 < args.size() ? args[++i] : "");
      if (!options.platformId) {
        error = "--platform takes 95 or nt";
        return std::nullopt;
      }
    } else if (arg.rfind("-", 0) == 0) {
      error = "unknown option " + arg;
      return std::nullopt;
    } else if (options.medium.empty()) {
      options.medium = arg;
    } else {
      error = "one medium only (" + arg + ")";
      return std::nullopt;
    }
  }
  if (options.medium.empty()) {
    error = "MEDIUM_DIR is required";
    return std::nullopt;
  }
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (medium::AnswerHelpOrVersion(args, "setup-check", kUsage, std::cout)) return 0;
  std::string error;
  const std::optional<Options> options = Parse(args, error);
  if (!options) {
    std::cerr << "setup-check: " << error << '\n' << kUsage;
    return 2;
  }
  const std::optional<medium::MediumDir> dir = medium::MediumDir::Open(options->medium);
  if (!dir) {
    std::cerr << "setup-check: " << options->medium
              << " is no medium: it holds neither Setup.Inf nor DISK1\\Setup.Inf\n";
    return 2;
  }
  const std::optional<std::vector<std::string>> script = medium::ReadMediumScript(*dir);
  if (!script) {
    std::cerr << "setup-check: cannot read the Setup.Inf of " << options->medium << '\n';
    return 2;
  }
  const std::vector<std::string>& lines = *script;
  std::vector<medium::Finding> findings =
      medium::CheckMedium(*dir, lines, {options->platformId, {}});

  std::vector<std::string> notes;
  if (options->dryRun) {
    const medium::DryRunScript script = medium::ReadDryRunScript(lines);
    std::vector<std::uint32_t> platforms = {1, 2};
    if (options->platformId) platforms = {*options->platformId};
    try {
      const std::vector<medium::DryRunOutcome> outcomes = medium::DryRun(*dir, script, platforms);
      for (medium::Finding& finding : medium::DryRunFindings(outcomes, script))
        findings.push_back(std::move(finding));
      notes.push_back(medium::DryRunSummary(outcomes, script, platforms.size()));
    } catch (const std::filesystem::filesystem_error& failure) {
      std::cerr << "setup-check: the dry run cannot start: " << failure.what() << "\n";
      return 2;
    }
  }
  medium::PrintFindings(findings, std::cout, "Setup.Inf", notes);
  return medium::CountErrors(findings) > 0 ? 1 : 0;
}
