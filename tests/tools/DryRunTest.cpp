// setup-check --dry-run: whole installations on sandbox machines, one for each language
// and OS family, and a finding for each run that does not end as it should.
#include <gtest/gtest.h>

#include "tests/tools/MediumFolder.h"
#include "tools/medium/DryRun.h"

namespace {

using medium::testing::ScratchDir;
using Lines = std::vector<std::string>;

struct DryRunReport {
  std::vector<medium::DryRunOutcome> outcomes;
  Lines findings;
  std::string summary;
};

DryRunReport DryRunOf(const ScratchDir& dir, const Lines& script,
                      std::vector<std::uint32_t> platforms) {
  const std::optional<medium::MediumDir> medium = medium::MediumDir::Open(dir.path());
  EXPECT_TRUE(medium);
  if (!medium) return {};
  const medium::DryRunScript facts = medium::ReadDryRunScript(script);
  DryRunReport run;
  run.outcomes = medium::DryRun(*medium, facts, platforms);
  for (const medium::Finding& finding : medium::DryRunFindings(run.outcomes, facts))
    run.findings.push_back(medium::FormatFinding(finding));
  run.summary = medium::DryRunSummary(run.outcomes, facts, platforms.size());
  return run;
}

// The finding's text up to its "; last shown:" part, which quotes the whole message.
std::string Head(const std::string& finding) {
  return finding.substr(0, finding.find("; last shown:"));
}

TEST(DryRun, EachLanguageAndFamilyRunsAndOnlyFailingRunsAreReported) {
  ScratchDir dir("dry-run");
  const Lines script = {"InstTo=C:\\App",
                        "CAPTION=App",
                        "PROCESS=10",
                        "LANG=English,en.lng,app.lng",
                        "LANG=Deutsch,de.lng,app.lng",
                        "COPYTOBASE=a.dat,a.dat$$5$$"};
  dir.PutScript(script);
  dir.Put("a.dat", "aaaaa");
  dir.Put("en.lng", "lang!");  // de.lng is missing: the German runs cannot install it
  const DryRunReport run = DryRunOf(dir, script, {1, 2});
  ASSERT_EQ(run.outcomes.size(), 4u);
  for (const medium::DryRunOutcome& outcome : run.outcomes) {
    SCOPED_TRACE(outcome.language + " " + std::to_string(outcome.platformId));
    EXPECT_EQ(outcome.result, outcome.language == "English" ? 0 : 4);
  }
  ASSERT_EQ(run.findings.size(), 2u);
  EXPECT_EQ(run.findings[0].rfind(
                "Setup.Inf: error: dry run (Deutsch, Windows 95) ended with result 4; page 91 ", 0),
            0u)
      << run.findings[0];
  EXPECT_EQ(run.findings[1].rfind(
                "Setup.Inf: error: dry run (Deutsch, Windows NT) ended with result 4; page 91 ", 0),
            0u)
      << run.findings[1];
  EXPECT_EQ(run.summary, "dry run: 4 runs (2 languages x 2 OS families), 2 failed");
}

TEST(DryRun, AStuckDestinationPageIsBlamedOnItsCause) {
  struct Case {
    std::string name;
    std::string installTo;  // the InstTo line, none when empty
    std::string cause;
  };
  const Case cases[] = {
      {"no InstTo line", "",
       "the script gives no destination directory (no InstTo line, or an empty one), so there "
       "is no disk space to measure"},
      {"a drive the machine lacks", "InstTo=Q:\\App",
       "InstTo Q:\\App lies on no drive the dry run's machine has (it has C:)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchDir dir("dry-run-stuck");
    Lines script = {"CAPTION=App", "PROCESS=5", "LANG=English,en.lng,app.lng"};
    if (!c.installTo.empty()) script.push_back(c.installTo);
    dir.PutScript(script);
    dir.Put("en.lng", "lang!");
    const DryRunReport run = DryRunOf(dir, script, {1});
    ASSERT_EQ(run.findings.size(), 1u);
    EXPECT_EQ(Head(run.findings[0]),
              "Setup.Inf: error: dry run (English, Windows 95) stopped on page 61 \"Enter "
              "destination directory\": " +
                  c.cause);
    EXPECT_EQ(run.summary, "dry run: 1 run (1 language x 1 OS family), 1 failed");
  }
}

TEST(DryRun, ADiskSetIsChangedAtEachPromptAndNeedsItsScriptOnTheLastDisk) {
  const Lines script = medium::testing::TwoDiskScript({"COPYTOBASE=c.dat,c.dat$$5$$"});
  for (const bool scriptOnLastDisk : {false, true}) {
    SCOPED_TRACE(scriptOnLastDisk ? "Setup.Inf on both disks" : "Setup.Inf on disk 1 only");
    ScratchDir dir("dry-run-disks");
    dir.PutScript(script, "DISK1/Setup.Inf");
    if (scriptOnLastDisk) dir.PutScript(script, "DISK2/Setup.Inf");
    // Only disk 2 holds c.dat, the language file and the uninstaller.
    dir.Put("DISK1/a.dat", "aaaaa");
    dir.Put("DISK2/c.dat", "ccccc");
    dir.Put("DISK2/en.lng", "lang!");
    dir.Put("DISK2/uninstkp.exe", "MZ");
    const DryRunReport run = DryRunOf(dir, script, {2});
    ASSERT_EQ(run.outcomes.size(), 1u);
    EXPECT_EQ(run.outcomes[0].result, 0) << run.outcomes[0].lastMessage;
    if (scriptOnLastDisk) {
      EXPECT_EQ(run.findings, Lines{});
    } else {
      EXPECT_EQ(run.findings,
                Lines{"Setup.Inf: error: dry run (English, Windows NT) ended with result 0 but "
                      "wrote no uninstall log C:\\App\\setup.uni, so the uninstall refuses: the "
                      "log is made from the Setup.Inf of the disk in the drive at the end"});
    }
  }
}

}  // namespace
