// Failures of the start-up run and of the header pass: the wrong operating system or
// service pack, a PROCESS value that is no number, and a script that vanishes after it was
// found. The user is told once, no wizard page follows, and the machine is not touched.
#include <gtest/gtest.h>

#include "tests/faults/FaultHarness.h"
#include "tests/support/SetupHarness.h"

namespace {

using testing_support::Joined;
using testing_support::SetupHarness;

std::string Box(const std::string& text) {
  return copy_test::BoxLine("Installation", "error", "OK", text);
}

const std::string kUnidentified =
    "The system has detected unidentificable error.\r\n\r\nThe installation will be terminated.";

TEST(StartupFaults, ToldOnceNoWizardNothingWritten) {
  struct Case {
    const char* name;
    std::uint32_t platformId;
    std::string csd;
    std::vector<std::string> script;
    int scriptOpensBeforeItVanishes;  // -1: it stays
    std::string box;
  };
  const std::vector<std::string> base = {"CAPTION=Demo", "INSTTO=C:\\Demo",
                                         "LANG=English,lang.en,demo.lng", "COPYTOBASE=A.TXT,A.TXT"};
  const auto with = [&](const std::string& first) {
    std::vector<std::string> script = {first};
    script.insert(script.end(), base.begin(), base.end());
    return script;
  };
  const Case cases[] = {
      {"NT only, on the 95 family", platform::kPlatformWindows, "", with("OSTYPE=WINNT"), -1,
       Box("Program can be started only in operating system Windows NT 4.0.\r\n\r\nThe "
           "installation will be terminated.")},
      {"another service pack", platform::kPlatformWin32Nt, "Service Pack 3",
       with("CSDVERSION=Service Pack 6"), -1,
       Box("CSD version of the operation system \x84Service Pack 6\x94 not found.\r\nPlease, "
           "install this CSD version into your operation system and then start installation "
           "program again.\r\nThe installation will be terminated.")},
      {"PROCESS is no number", platform::kPlatformWindows, "", with("PROCESS=12 000"), -1,
       Box(kUnidentified)},
      {"script vanishes after it was found", platform::kPlatformWindows, "", base, 0,
       Box(kUnidentified)},
  };
  for (const Case& c : cases) {
    SetupHarness setup(c.platformId, c.csd);
    setup.SetScript(c.script);
    setup.AddMediumFile("A.TXT", "aaa");
    setup.AddMediumFile("lang.en", "English texts");
    if (c.scriptOpensBeforeItVanishes >= 0)
      setup.machine().faults().filesVanishAfterOpens["D:\\SETUP.INF"] =
          c.scriptOpensBeforeItVanishes;
    const fault_test::MachineState before = fault_test::Snapshot(setup.machine(), "");

    const testing_support::RunResult run = setup.Run("reply OK\n");

    EXPECT_EQ(run.stopCode, 0) << c.name << ": " << run.stopMessage;
    EXPECT_EQ(copy_test::LinesStarting(run.transcript, "message "), std::vector<std::string>{c.box})
        << c.name << "\n"
        << Joined(run.transcript);
    EXPECT_TRUE(copy_test::LinesStarting(run.transcript, "page ").empty()) << c.name;
    EXPECT_EQ(run.transcript.back(), "exit") << c.name;
    EXPECT_EQ(fault_test::Changed(before, fault_test::Snapshot(setup.machine(), "")),
              std::set<std::string>{})
        << c.name;
  }
}

// The script is read again when the installation starts; when it is gone by then, nothing
// can be installed, and the run must not pass for a success.
TEST(StartupFaults, ScriptGoneWhenTheInstallationStarts) {
  SetupHarness setup;
  setup.SetScript({"CAPTION=Demo", "INSTTO=C:\\Demo", "UNINSTALL=YES",
                   "LANG=English,lang.en,demo.lng", "COPYTOBASE=A.TXT,A.TXT"});
  setup.AddMediumFile("A.TXT", "aaa");
  setup.AddMediumFile("lang.en", "English texts");
  setup.AddMediumFile("uninstkp.exe", "uninstaller");
  setup.machine().faults().filesVanishAfterOpens["D:\\SETUP.INF"] = 1;
  const fault_test::MachineState before = fault_test::Snapshot(setup.machine(), "");

  const testing_support::RunResult run = setup.Run(
      "click nextBut\nclick nextBut\ntype PageBEdit1 Jan\ntype PageBEdit2 Firm\n"
      "click nextBut\nclick nextBut\nclick nextBut\nclick nextBut\nclick nextBut\n"
      "reply OK\nclick cancBut\nclick Button2\n");

  EXPECT_EQ(run.stopCode, 0) << run.stopMessage;
  EXPECT_EQ(copy_test::LinesStarting(run.transcript, "message "),
            std::vector<std::string>{fault_test::OpenFailureBox("D:\\SETUP.INF")})
      << Joined(run.transcript);
  EXPECT_EQ(copy_test::LinesStarting(run.transcript, "result "),
            std::vector<std::string>{"result 1"});
  // The language file still comes, as after any failed file; no uninstall entry points at
  // a log that was never written. What the run wrote is noted in the product's record, for
  // the next installation of the product to add to.
  std::set<std::string> changed =
      fault_test::Changed(before, fault_test::Snapshot(setup.machine(), ""));
  std::erase_if(changed, [&](const std::string& item) {
    return item.starts_with("HKEY_LOCAL_MACHINE\\SOFTWARE\\TAVRIN\\SETUP\\RECORDS");
  });
  EXPECT_EQ(changed, (std::set<std::string>{"C:\\DEMO", "C:\\DEMO\\DEMO.LNG"}));
}

}  // namespace
