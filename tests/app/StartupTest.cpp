// The start-up run and the header pass, seen as the user sees them.
#include <gtest/gtest.h>

#include "tests/support/SetupHarness.h"

namespace {

using testing_support::Joined;
using testing_support::SetupHarness;

constexpr const char* kFirstPage = "page 1 \"Welcome in Wizard \"";

// Answers that leave the wizard at once: Cancel, then End in the confirmation.
constexpr const char* kCancelAtOnce = "click cancBut\nclick Button2\n";

TEST(Startup, MissingScriptShowsOneMessageAndEnds) {
  SetupHarness setup;
  const auto run = setup.Run("reply OK\n");
  ASSERT_EQ(run.stopCode, 0) << run.stopMessage;
  EXPECT_EQ(
      Joined(run.transcript),
      "message \"Installation\" error OK \"Source file of the installation \\\"D:\\\\Setup.Inf\\\" "
      "not found.\\r\\n\\r\\nThe installation will be terminated.\"\nexit\n");
}

TEST(Startup, ScriptNameIsFoundInAnyCase) {
  SetupHarness setup;
  setup.AddMediumFile("SETUP.INF", "CAPTION=X\r\nLANG=English,a,b\r\n");
  const auto run = setup.Run(kCancelAtOnce);
  ASSERT_EQ(run.stopCode, 0) << run.stopMessage;
  EXPECT_EQ(run.transcript.front(), kFirstPage);
}

TEST(Startup, RunsOnceHoweverOftenTheWindowActivates) {
  SetupHarness setup;
  setup.SetScript({"CAPTION=Demo"});
  // Leaving the wizard through the confirmation ends the program; a second start-up run
  // would show page 1 again.
  const auto run = setup.Run(kCancelAtOnce);
  ASSERT_EQ(run.stopCode, 0) << run.stopMessage;
  int pageOnes = 0;
  for (const std::string& line : run.transcript) pageOnes += line == kFirstPage;
  EXPECT_EQ(pageOnes, 1) << Joined(run.transcript);
  EXPECT_EQ(run.transcript.back(), "exit");
}

struct HeaderFailure {
  const char* name;
  std::vector<std::string> script;
  std::uint32_t platformId;
  std::string csd;
  std::string message;
};

TEST(Startup, FailedChecksShowTheirMessageAndEndWithoutWizard) {
  const HeaderFailure cases[] = {
      {"OSTYPE WINNT on the 95 family",
       {"CAPTION=A", "OSTYPE=winnt", "LANG=English,a,b"},
       platform::kPlatformWindows,
       "",
       "Program can be started only in operating system Windows NT 4.0.\\r\\n\\r\\nThe "
       "installation will be terminated."},
      {"OSTYPE WIN95 on NT",
       {"OSTYPE=Win95"},
       platform::kPlatformWin32Nt,
       "Service Pack 3",
       "Program can be started only in operating system Windows 95.\\r\\n\\r\\nThe "
       "installation will be terminated."},
      {"CSDVERSION not matching",
       {"CSDVERSION=Service Pack 4"},
       platform::kPlatformWin32Nt,
       "Service Pack 3",
       "CSD version of the operation system \\x84Service Pack 4\\x94 not found.\\r\\nPlease, "
       "install this CSD version into your operation system and then start installation "
       "program again.\\r\\nThe installation will be terminated."},
      {"PROCESS not a number",
       {"PROCESS=12kB"},
       platform::kPlatformWindows,
       "",
       "The system has detected unidentificable error.\\r\\n\\r\\nThe installation will be "
       "terminated."},
      {"PROCESS in hexadecimal",
       {"PROCESS=$1000"},
       platform::kPlatformWindows,
       "",
       "The system has detected unidentificable error.\\r\\n\\r\\nThe installation will be "
       "terminated."},
      {"PROCESS in long hexadecimal",
       {"PROCESS=$FFFFFF"},
       platform::kPlatformWindows,
       "",
       "The system has detected unidentificable error.\\r\\n\\r\\nThe installation will be "
       "terminated."},
      {"PROCESS beyond 64 bits",
       {"PROCESS=9223372036854775808"},
       platform::kPlatformWindows,
       "",
       "The system has detected unidentificable error.\\r\\n\\r\\nThe installation will be "
       "terminated."},
  };
  for (const HeaderFailure& c : cases) {
    SetupHarness setup(c.platformId, c.csd);
    setup.SetScript(c.script);
    const auto run = setup.Run("reply OK\n");
    ASSERT_EQ(run.stopCode, 0) << c.name << ": " << run.stopMessage;
    EXPECT_EQ(Joined(run.transcript),
              "message \"Installation\" error OK \"" + c.message + "\"\nexit\n")
        << c.name;
  }
}

TEST(Startup, FailedOsCheckStopsTheHeaderPass) {
  // The LANG line after the failing check is never read: had it been, the wizard's list
  // would not be empty — but no wizard is shown at all, and only one message comes.
  SetupHarness setup;
  setup.SetScript({"CAPTION=A", "OSTYPE=WINNT", "OSTYPE=WINNT", "LANG=English,a,b"});
  const auto run = setup.Run("reply OK\n");
  ASSERT_EQ(run.stopCode, 0) << run.stopMessage;
  EXPECT_EQ(run.transcript.size(), 2u) << Joined(run.transcript);
}

TEST(Startup, MatchingCsdVersionPasses) {
  SetupHarness setup(platform::kPlatformWin32Nt, "Service Pack 3");
  setup.SetScript({"CSDVERSION= service pack 3 ", "OSTYPE=WINNT", "LANG=English,a,b"});
  const auto run = setup.Run(kCancelAtOnce);
  ASSERT_EQ(run.stopCode, 0) << run.stopMessage;
  EXPECT_EQ(run.transcript.front(), kFirstPage);
}

}  // namespace
