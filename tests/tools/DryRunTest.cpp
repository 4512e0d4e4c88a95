// setup-check --dry-run: whole installations on sandbox machines, one for each language
// and OS family, and a finding for each run that does not end with result 0.
#include <gtest/gtest.h>

#include "tests/tools/MediumFolder.h"
#include "tools/medium/DryRun.h"

namespace {

using medium::testing::ScratchDir;

TEST(DryRun, EachLanguageAndFamilyRunsAndOnlyFailingRunsAreReported) {
  ScratchDir dir("dry-run");
  dir.PutScript({"InstTo=C:\\App", "CAPTION=App", "PROCESS=10", "LANG=English,en.lng,app.lng",
                 "LANG=Deutsch,de.lng,app.lng", "COPYTOBASE=a.dat,a.dat$$5$$"});
  dir.Put("a.dat", "aaaaa");
  dir.Put("en.lng", "lang!");  // de.lng is missing: the German runs cannot install it
  const std::optional<medium::MediumDir> medium = medium::MediumDir::Open(dir.path());
  ASSERT_TRUE(medium);
  const std::vector<medium::DryRunOutcome> outcomes =
      medium::DryRun(*medium, {"English", "Deutsch"}, {1, 2});
  ASSERT_EQ(outcomes.size(), 4u);
  for (const medium::DryRunOutcome& run : outcomes) {
    SCOPED_TRACE(run.language + " " + std::to_string(run.platformId));
    EXPECT_EQ(run.result, run.language == "English" ? 0 : 4);
  }
  const std::vector<medium::Finding> findings = medium::DryRunFindings(outcomes);
  ASSERT_EQ(findings.size(), 2u);
  EXPECT_EQ(
      findings[0].text.rfind("dry run (Deutsch, Windows 95) ended with result 4; page 91 ", 0), 0u)
      << findings[0].text;
  EXPECT_EQ(
      findings[1].text.rfind("dry run (Deutsch, Windows NT) ended with result 4; page 91 ", 0), 0u)
      << findings[1].text;
}

}  // namespace
