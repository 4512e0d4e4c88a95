// What the uninstaller may take as the installation's own: the file, INI file, log and
// directory the installation left, by their identity and not by their names, and the
// things other products share with it (a folder, a log, the uninstaller, an entry's key).
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "engine/UninstallEntry.h"
#include "tests/uninst/UninstHarness.h"

namespace {

using namespace uninst_testing;
using testing_support::Joined;
using testing_support::WriteHostFile;

namespace fs = std::filesystem;

void Install(SetupHarness& setup, const std::string& answers = kInstallAnswers) {
  const testing_support::RunResult install = setup.Run(answers);
  ASSERT_EQ(install.stopCode, 0) << install.stopMessage << Joined(install.transcript);
}

// The uninstaller started as the entry of `name` starts it, answering yes to everything.
UninstallRun UninstallEntry(SetupHarness& setup, const std::string& name) {
  return RunUninstaller(setup, "reply YES\nreply OK\n", EntryArgs(setup, name));
}

// Whatever was put after the installation in place of what it made (a hard link to a file
// of someone else's, another file by the same name) is left as it is, and the closing
// message says why; a log that is not the file the installation wrote is refused.
TEST(UninstIdentity, WhatIsNoLongerTheInstallationsOwnIsLeftAlone) {
  struct Case {
    const char* name;
    std::function<void(sandbox::Machine&)> spoil;
    const char* kept;     // a file of someone else's, with its bytes after the spoiling
    const char* message;  // a part of the closing message, or of the refusal
    bool refused = false;
  };
  const auto hardLink = [](const char* target, const char* link) {
    return [=](sandbox::Machine& m) {
      fs::remove(m.HostPath(link));
      fs::create_hard_link(m.HostPath(target), m.HostPath(link));
    };
  };
  const Case cases[] = {
      {"program hard-linked to another file",
       hardLink("C:\\VICTIM\\keep.txt", "C:\\DEMO\\demo.exe"), "C:\\VICTIM\\keep.txt",
       "File \\x84C:\\\\DEMO\\\\DEMO.EXE\\x94: it was replaced after the installation"},
      {"INI file hard-linked to SYSTEM.INI",
       hardLink("C:\\WINDOWS\\SYSTEM.INI", "C:\\WINDOWS\\demo.ini"), "C:\\WINDOWS\\SYSTEM.INI",
       "INI entry Home [Paths] in \\x84C:\\\\WINDOWS\\\\DEMO.INI\\x94: it was replaced after the "
       "installation"},
      {"another name for the program", hardLink("C:\\DEMO\\demo.exe", "C:\\VICTIM\\copy.exe"),
       "C:\\VICTIM\\copy.exe",
       "File \\x84C:\\\\DEMO\\\\DEMO.EXE\\x94: other names (hard links) lead to it"},
      {"help file written over by another program",
       [](sandbox::Machine& m) {
         WriteHostFile(m.HostPath("C:\\DEMO\\help\\new.hlp"), "the user's own help");
         fs::rename(m.HostPath("C:\\DEMO\\help\\new.hlp"), m.HostPath("C:\\DEMO\\help\\demo.hlp"));
       },
       "C:\\DEMO\\help\\demo.hlp",
       "File \\x84C:\\\\DEMO\\\\HELP\\\\DEMO.HLP\\x94: it was replaced after the installation"},
      {"log hard-linked to a copy of itself",
       [](sandbox::Machine& m) {
         fs::copy_file(m.HostPath("C:\\DEMO\\setup.uni"), m.HostPath("C:\\VICTIM\\copy.uni"));
         fs::remove(m.HostPath("C:\\DEMO\\setup.uni"));
         fs::create_hard_link(m.HostPath("C:\\VICTIM\\copy.uni"),
                              m.HostPath("C:\\DEMO\\setup.uni"));
       },
       "C:\\VICTIM\\copy.uni",
       "The uninstall log \\x84C:\\\\DEMO\\\\SETUP.UNI\\x94 is not the file the installation "
       "wrote.",
       true},
  };
  for (const Case& c : cases) {
    SetupHarness setup;
    AddDemoMedium(setup, DemoScript());
    sandbox::Machine& machine = setup.machine();
    WriteHostFile(machine.HostPath("C:\\WINDOWS\\SYSTEM.INI"), "[boot]\r\nshell=progman.exe\r\n");
    WriteHostFile(machine.HostPath("C:\\VICTIM\\keep.txt"), "keep me");
    Install(setup);
    c.spoil(machine);
    const std::string kept = ReadHostFile(machine.HostPath(c.kept));

    const UninstallRun run =
        RunUninstaller(setup, c.refused ? "reply OK\n" : "reply YES\nreply OK\n");
    EXPECT_EQ(run.code, c.refused ? uninst::kUninstallNoLog : uninst::kUninstallDone) << c.name;
    EXPECT_NE(Joined(run.transcript).find(c.message), std::string::npos) << c.name << "\n"
                                                                         << Joined(run.transcript);
    EXPECT_EQ(ReadHostFile(machine.HostPath(c.kept)), kept) << c.name;
  }
}

// Alpha, then Beta into one folder, then Alpha again: Alpha's uninstall puts Beta's log
// back and leaves the DLL Beta wrote, and Beta can still be uninstalled.
TEST(UninstIdentity, AProductInstalledAgainOverAnotherLeavesItsLogAndFiles) {
  SetupHarness setup;
  for (const char* name : {"alpha.exe", "beta.exe", "x.dll", "uninstkp.exe", "lang.en"})
    setup.AddMediumFile(name, std::string("contents of ") + name);
  const auto product = [](const std::string& name, const std::string& program) {
    return ProductScript(name, "C:\\SUITE",
                         {"COPYTOBASE=" + program + "," + program, "COPYTOBASE=x.dll,x.dll"});
  };
  setup.SetScript(product("Alpha", "alpha.exe"));
  Install(setup);
  setup.SetScript(product("Beta", "beta.exe"));
  Install(setup);
  const std::string betaLog = ReadHostFile(setup.machine().HostPath("C:\\SUITE\\setup.uni"));
  setup.SetScript(product("Alpha", "alpha.exe"));
  Install(setup);

  UninstallRun run = UninstallEntry(setup, "Alpha");
  EXPECT_EQ(run.code, uninst::kUninstallDone) << Joined(run.transcript);
  EXPECT_EQ(ReadHostFile(setup.machine().HostPath("C:\\SUITE\\setup.uni")), betaLog);
  Snapshot after = SnapshotAfterUninstall(setup);
  EXPECT_TRUE(after.files.contains("drive_c/SUITE/x.dll"));
  EXPECT_FALSE(after.files.contains("drive_c/SUITE/alpha.exe"));

  run = UninstallEntry(setup, "Beta");
  EXPECT_EQ(run.code, uninst::kUninstallDone) << Joined(run.transcript);
  after = SnapshotAfterUninstall(setup);
  EXPECT_FALSE(after.files.contains("drive_c/SUITE/beta.exe"));
  // Alpha, whose log Beta had written over, is gone: its log does not come back.
  EXPECT_FALSE(after.files.contains("drive_c/SUITE/setup.uni"));
}

// The same product into C:\ONE, then into C:\TWO, which the browse dialog makes: its
// uninstall takes both logs and both folders.
TEST(UninstIdentity, EveryDestinationOfTheProductIsTakenBack) {
  SetupHarness setup;
  AddDemoMedium(setup, ProductScript("Demo", "C:\\ONE", {"COPYTOBASE=demo.exe,demo.exe"}));
  const Snapshot before = TakeSnapshot(setup.machine());
  Install(setup);
  Install(setup,
          "click nextBut\nclick nextBut\ntype PageBEdit1 Jan Novak\ntype PageBEdit2 ACME\n"
          "click nextBut\nclick nextBut\n"
          "click browbut\ntype CHFEdit1 C:\\TWO\nclick okbut\nreply YES\n"
          "click nextBut\nclick nextBut\nclick nextBut\nclick cancBut\n");
  ASSERT_TRUE(fs::exists(setup.machine().HostPath("C:\\TWO\\setup.uni")));

  const UninstallRun run = UninstallEntry(setup, "Demo");
  EXPECT_EQ(run.code, uninst::kUninstallDone) << Joined(run.transcript);
  EXPECT_EQ(run.transcript.at(1),
            "message \"Uninstallation\" info OK \"\\x84"
            "Demo\\x94 was removed from your computer.\"");
  const Snapshot after = WithoutRestartDeletion(SnapshotAfterUninstall(setup));
  EXPECT_EQ(after.files, before.files);
  EXPECT_EQ(after.directories, before.directories);
}

// Entries nest below the list, one level per backslash of the caption: the uninstaller
// stays while any of them names it. A caption with an empty level ("Prod\") has no key of
// its own and makes no entry, so it never shares the entry of "Prod".
TEST(UninstIdentity, NestedEntriesAndCaptionsWithoutAKeyOfTheirOwn) {
  SetupHarness setup;
  for (const char* name : {"a.exe", "b.exe", "uninstkp.exe", "lang.en"})
    setup.AddMediumFile(name, std::string("contents of ") + name);
  setup.SetScript(ProductScript("Acme\\One", "C:\\ONE", {"COPYTOBASE=a.exe,a.exe"}));
  Install(setup);
  setup.SetScript(ProductScript("Acme\\Two", "C:\\TWO", {"COPYTOBASE=b.exe,b.exe"}));
  Install(setup);
  setup.SetScript(ProductScript("Acme\\One\\", "C:\\THREE", {"COPYTOBASE=b.exe,b.exe"}));
  Install(setup);

  const UninstallRun refused =
      RunUninstaller(setup, "reply OK\n", {"C:\\THREE\\setup.uni", "Acme\\One\\"});
  EXPECT_EQ(refused.code, uninst::kUninstallNoLog) << Joined(refused.transcript);
  EXPECT_TRUE(fs::exists(setup.machine().HostPath("C:\\ONE\\a.exe")));

  const UninstallRun run = UninstallEntry(setup, "Acme\\One");
  EXPECT_EQ(run.code, uninst::kUninstallDone) << Joined(run.transcript);
  EXPECT_TRUE(run.pendingDeletes.empty());
  EXPECT_NE(Joined(run.transcript).find("UNINSTKP.EXE\\x94: other applications still use it"),
            std::string::npos)
      << Joined(run.transcript);
  EXPECT_FALSE(fs::exists(setup.machine().HostPath("C:\\ONE\\a.exe")));
  EXPECT_TRUE(fs::exists(setup.machine().HostPath("C:\\THREE\\b.exe")));

  for (const char* name : {"Prod\\", "\\Prod", "Acme\\\\One", "\\"})
    EXPECT_FALSE(engine::UninstallEntryKey(name)) << name;
  EXPECT_EQ(engine::UninstallEntryKey("Acme\\One"),
            std::string(engine::kUninstallListKey) + "\\Acme\\One");
}

}  // namespace
