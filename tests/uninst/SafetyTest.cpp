// What the uninstaller must never do, and how it reports what it could not do.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sandbox/Paths.h"
#include "tests/uninst/UninstHarness.h"
#include "uninst/RunUninstall.h"

namespace {

using namespace uninst_testing;
using testing_support::Joined;
using testing_support::ScriptText;
using testing_support::WriteHostFile;

TEST(UninstSafety, NamesThatLeadOutOfItsDirectoriesAreNeverTouched) {
  SetupHarness setup;
  sandbox::Machine& machine = setup.machine();
  const std::vector<std::pair<std::string, std::string>> outside = {
      {"C:\\OUTSIDE.TXT", "outside"},   {"C:\\DEMO2\\a.txt", "sibling"},
      {"C:\\AUTOEXEC.BAT", "autoexec"}, {"C:\\OTHER\\x.ini", "[S]\r\nK=v\r\n"},
      {"C:\\lang.txt", "lang"},         {"C:\\DEMO\\data\\kept.txt", "user data"},
  };
  for (const auto& [path, bytes] : outside) WriteHostFile(machine.HostPath(path), bytes);
  SetDword(machine, platform::kHkeyLocalMachine,
           "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
           "C:\\WINDOWS\\..\\AUTOEXEC.BAT", 1);
  WriteHostFile(
      machine.HostPath("C:\\DEMO\\setup.uni"),
      ScriptText({"InstTo=C:\\DEMO", "LANG=English,a,..\\..\\lang.txt",
                  "COPYTOBASE=x,..\\OUTSIDE.TXT", "COPYTOBASE=x,..\\DEMO2\\a.txt",
                  "COPYTOBASE=x,C:\\OUTSIDE.TXT", "COPYTOBASE=x,\\OUTSIDE.TXT", "COPYTOBASE=x,data",
                  "COPYTOWIN=x,..\\AUTOEXEC.BAT", "INI FILE=C:\\OTHER\\x.ini", "SECTION=S", "K=v",
                  "END OF INI", "INI FILE=..\\OTHER\\x.ini", "SECTION=S", "K=v", "END OF INI"}));
  const Snapshot before = TakeSnapshot(machine);

  // A log that no installation wrote has no entry vouching for it: nothing at all goes,
  // the log included.
  const UninstallRun run = RunUninstaller(setup, "reply OK\n");
  EXPECT_EQ(run.code, uninst::kUninstallNoLog) << Joined(run.transcript);
  const Snapshot after = SnapshotAfterUninstall(setup);
  for (const auto& [path, bytes] : outside) {
    EXPECT_EQ(ReadHostFile(machine.HostPath(path)), bytes) << path;
  }
  EXPECT_EQ(after.files, before.files);
  EXPECT_EQ(after.registry, before.registry);
}

TEST(UninstSafety, ALogThatCannotBeUsedStopsBeforeAnyQuestion) {
  struct Case {
    const char* name;
    std::vector<std::string> args;
    const char* logText;  // written to C:\DEMO\setup.uni when not null
    const char* message;
  };
  const Case cases[] = {
      {"missing log",
       {"C:\\NOWHERE\\setup.uni", "Demo"},
       nullptr,
       "The uninstall log \\x84C:\\\\NOWHERE\\\\SETUP.UNI\\x94 cannot be read."},
      {"log of another directory",
       {"C:\\DEMO\\setup.uni", "Demo"},
       "InstTo=C:\\ELSEWHERE\r\nCOPYTOBASE=x,demo.exe\r\n",
       "The uninstall log \\x84C:\\\\DEMO\\\\SETUP.UNI\\x94 does not belong to the directory "
       "\\x84C:\\\\DEMO\\x94."},
      {"empty log",
       {"C:\\DEMO\\setup.uni", "Demo"},
       "",
       "The uninstall log \\x84C:\\\\DEMO\\\\SETUP.UNI\\x94 names no application."},
      {"binary log",
       {"C:\\DEMO\\setup.uni", "Demo"},
       "MZ\x90\x01\xff\xfe\r\n\x7f\x80",
       "The uninstall log \\x84C:\\\\DEMO\\\\SETUP.UNI\\x94 names no application."},
      {"one argument",
       {"C:\\DEMO\\setup.uni"},
       "InstTo=C:\\DEMO\r\n",
       "The uninstallation program must be started with the path of the uninstall log and "
       "the name of the application."},
  };
  for (const Case& c : cases) {
    SetupHarness setup;
    WriteHostFile(setup.machine().HostPath("C:\\DEMO\\demo.exe"), "program");
    if (c.logText != nullptr)
      WriteHostFile(setup.machine().HostPath("C:\\DEMO\\setup.uni"), c.logText);
    const Snapshot before = TakeSnapshot(setup.machine());
    const UninstallRun run = RunUninstaller(setup, "reply OK\n", c.args);
    EXPECT_EQ(run.code, uninst::kUninstallNoLog) << c.name;
    EXPECT_EQ(run.transcript, RefusalTranscript(c.message)) << c.name;
    EXPECT_EQ(SnapshotAfterUninstall(setup).files, before.files) << c.name;
  }
}

// What could not be removed is listed once, at the end; everything else still goes.
TEST(UninstSafety, FailuresAreListedOnceAtTheEnd) {
  struct Case {
    const char* name;
    std::function<void(sandbox::Machine&)> prepare;
    const char* list;
  };
  const Case cases[] = {
      {"file in use",
       [](sandbox::Machine& m) {
         m.faults().filesInUse.insert(sandbox::UpperKey("C:\\DEMO\\demo.exe"));
       },
       "File \\x84C:\\\\DEMO\\\\DEMO.EXE\\x94"},
      {"registry refused", [](sandbox::Machine& m) { m.faults().registryWritesRefused = true; },
       "Registry value Path in \\x84HKEY_LOCAL_MACHINE\\\\SOFTWARE\\\\DEMO\\\\SETTINGS\\x94\\r\\n"
       "Uninstall entry \\x84DEMO\\x94"},
      {"no Program Manager", [](sandbox::Machine& m) { m.outcomes().ddeServerPresent = false; },
       "Program group \\x84DEMO\\x94"},
  };
  for (const Case& c : cases) {
    SetupHarness setup;
    AddDemoMedium(setup, DemoScript());
    const testing_support::RunResult install = setup.Run(kInstallAnswers);
    ASSERT_EQ(install.stopCode, 0) << c.name << install.stopMessage;

    const UninstallRun run =
        RunUninstaller(setup, "reply YES\nreply OK\n", {"C:\\DEMO\\setup.uni", "Demo"}, c.prepare);
    EXPECT_EQ(run.code, uninst::kUninstallIncomplete) << c.name;
    ASSERT_EQ(run.transcript.size(), 3u) << c.name << Joined(run.transcript);
    EXPECT_EQ(run.transcript[1],
              std::string("message \"Uninstallation\" error OK \"\\x84"
                          "Demo\\x94 was removed from your computer, except:\\r\\n\\r\\n") +
                  c.list + "\\r\\n\\r\\nPlease, remove these items by hand.\"")
        << c.name;
    EXPECT_EQ(run.transcript[2], "uninstall-result 2") << c.name;
    const Snapshot after = SnapshotAfterUninstall(setup);
    EXPECT_FALSE(after.files.contains("drive_c/DEMO/help/demo.hlp")) << c.name;
    EXPECT_FALSE(after.files.contains("drive_c/DEMO/setup.uni")) << c.name;
  }
}

TEST(UninstCommandLine, SplitsAsWindowsProgramsDo) {
  struct Case {
    const char* line;
    std::vector<std::string> args;
  };
  const Case cases[] = {
      {"\"C:\\Program Files\\Demo\\setup.uni\" \"Demo Office\"",
       {"C:\\Program Files\\Demo\\setup.uni", "Demo Office"}},
      {"  C:\\DEMO\\setup.uni\tDemo  ", {"C:\\DEMO\\setup.uni", "Demo"}},
      {"\"\" x", {"", "x"}},
      {"a\"b c\"d", {"ab cd"}},
      {"", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(uninst::SplitCommandLine(c.line), c.args) << c.line;
}

}  // namespace
