// The finish page for every result, the finishing sequence and the restart decision.
#include <gtest/gtest.h>

#include "tests/support/SetupHarness.h"
#include "wizard/BackNext.h"

namespace {

using testing_support::Joined;
using testing_support::SetupHarness;

struct FinishCase {
  int result;
  bool reboot;
  std::string caption;
  std::string headline;
  std::string detail;
  bool restartShown;
  std::string button;
};

TEST(FinishPage, EveryResultWithAndWithoutRestart) {
  const std::string failed =
      "Program installation  \x84"
      "Demo\x94 on your computer was terminated by error.";
  const FinishCase cases[] = {
      {0, true, "Installation program terminated.",
       "Program installation  \x84"
       "Demo\x94 on your computer was finished successfully.",
       "", true, "&Finish"},
      {0, false, "Installation program terminated.",
       "Program installation  \x84"
       "Demo\x94 on your computer was finished successfully.",
       "", false, "&Finish"},
      {1, true, "Installation interrupted", failed,
       "Some file(s) were not copied to the destination directory.", false, "&OK"},
      {2, true, "Installation terminated by error(s).", failed,
       "Some file(s) of COM objects or libraries of COM objects were not registered in your "
       "operating system.",
       true, "&Finish"},
      {2, false, "Installation terminated by error(s).", failed,
       "Some file(s) of COM objects or libraries of COM objects were not registered in your "
       "operating system.",
       false, "&Finish"},
      {3, true, "Installation interrupted", failed,
       "Some data were not inserted into registers database of your operation system.", false,
       "&OK"},
      {4, true, "Installation interrupted", failed,
       "Undefined exception of the installation occurred.", false, "&OK"},
      {5, true, "Installation interrupted",
       "Program installation  \x84"
       "Demo\x94  at your computer was interrupted by the user.",
       "The installation interrupted by the user.", false, "&OK"},
      {8, true, "Setup abort", failed,
       "File with language version was not copied into destination directory.", false, "&OK"},
  };
  SetupHarness setup;
  setup.SetScript({"CAPTION=Demo", "LANG=English,a,b"});
  setup.Run("click cancBut\nclick Button2\n", [&](SetupForms& forms) {
    TWizForm& w = *forms.WizForm;
    for (const FinishCase& c : cases) {
      const std::string name = std::to_string(c.result) + (c.reboot ? " with reboot" : "");
      w.InstallResult = c.result;
      w.RebootNeeded = c.reboot;
      w.SetUpFinish();
      EXPECT_EQ(w.Caption(), c.caption) << name;
      EXPECT_EQ(w.PageZLab1.Caption(), c.headline) << name;
      EXPECT_EQ(w.PageZLab3.Caption(), c.detail) << name;
      EXPECT_EQ(w.PageZLab2.Visible(), c.restartShown) << name;
      EXPECT_EQ(w.PageZRB1.Visible(), c.restartShown) << name;
      if (c.restartShown) {
        EXPECT_TRUE(w.PageZRB1.Checked()) << name;
        EXPECT_FALSE(w.PageZRB2.Checked()) << name;
        EXPECT_EQ(w.PageZRB1.Caption(), "Yes, I want to restart computer now");
        EXPECT_EQ(w.PageZRB2.Caption(), "No, I want to restart computer later");
      }
      EXPECT_EQ(w.cancBut.Caption(), c.button) << name;
      EXPECT_FALSE(w.prevBut.Visible()) << name;
      EXPECT_FALSE(w.nextBut.Visible()) << name;
    }
  });
}

// Walks to the finish page of a successful run; `finish` is how the user leaves it.
std::string WalkToFinish(const std::string& finish) {
  return "click nextBut\nclick nextBut\ntype PageBEdit1 Jan\ntype PageBEdit2 Firm\n"
         "click nextBut\nclick nextBut\nclick nextBut\nclick nextBut\nclick nextBut\n" +
         finish;
}

// A medium whose language file exists, so the installation runs through.
void ReadyMedium(SetupHarness& setup, std::vector<std::string> script) {
  script.push_back("LANG=English,lang.en,demo.lng");
  setup.SetScript(script);
  setup.AddMediumFile("lang.en", "English texts");
}

bool LogHas(sandbox::Machine& machine, const std::string& prefix) {
  for (const std::string& line : machine.transcript().Lines())
    if (line.rfind(prefix, 0) == 0) return true;
  return false;
}

TEST(Finishing, RestartNowOnTheNinetyFiveFamily) {
  SetupHarness setup;
  ReadyMedium(setup, {"CAPTION=Demo", "INSTTO=C:\\Demo", "REBOOT=YES"});
  const auto run = setup.Run(WalkToFinish("click cancBut\n"));
  ASSERT_EQ(run.stopCode, 0) << run.stopMessage;
  const std::vector<std::string> tail(run.transcript.end() - 4, run.transcript.end());
  EXPECT_EQ(tail,
            (std::vector<std::string>{"result 0", "page 91 \"Installation program terminated.\"",
                                      "restart 6", "exit"}))
      << Joined(run.transcript);
  EXPECT_TRUE(LogHas(setup.machine(), "exit-windows\t6\tok"));
}

TEST(Finishing, RestartLaterOrNotAskedDoesNotRestart) {
  for (const auto& [script, finish] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{"REBOOT=YES"}, "check PageZRB2\nclick cancBut\n"}, {{}, "key esc\n"}}) {
    SetupHarness setup;
    std::vector<std::string> lines = script;
    lines.push_back("INSTTO=C:\\Demo");
    ReadyMedium(setup, lines);
    const auto run = setup.Run(WalkToFinish(finish));
    ASSERT_EQ(run.stopCode, 0) << run.stopMessage;
    EXPECT_EQ(run.transcript.back(), "exit");
    EXPECT_EQ(Joined(run.transcript).find("restart"), std::string::npos) << Joined(run.transcript);
    EXPECT_FALSE(LogHas(setup.machine(), "exit-windows"));
  }
}

TEST(Finishing, RestartFailureOnNtIsReported) {
  SetupHarness setup(platform::kPlatformWin32Nt, "Service Pack 3");
  setup.machine().outcomes().privilegeGranted = false;
  ReadyMedium(setup, {"INSTTO=C:\\Demo", "REBOOT=YES"});
  const auto run = setup.Run(WalkToFinish("click cancBut\nreply OK\n"));
  ASSERT_EQ(run.stopCode, 0) << run.stopMessage;
  const std::string text = Joined(run.transcript);
  EXPECT_NE(text.find("message \"Restart\" info OK \"It is not possible to restart windows "
                      "automatically.\\r\\n["),
            std::string::npos)
      << text;
  EXPECT_FALSE(LogHas(setup.machine(), "exit-windows"));
}

TEST(Finishing, RestartOnNtWithThePrivilege) {
  SetupHarness setup(platform::kPlatformWin32Nt, "Service Pack 3");
  ReadyMedium(setup, {"INSTTO=C:\\Demo", "REBOOT=YES"});
  const auto run = setup.Run(WalkToFinish("click cancBut\n"));
  ASSERT_EQ(run.stopCode, 0) << run.stopMessage;
  EXPECT_TRUE(LogHas(setup.machine(), "privilege\tSeShutdownPrivilege\tok"));
  EXPECT_TRUE(LogHas(setup.machine(), "exit-windows\t6\tok"));
}

}  // namespace
