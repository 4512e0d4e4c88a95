// Install, then uninstall, on one sandbox machine: the machine must end as it began, but
// for shared files still counted elsewhere and user data.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/uninst/UninstHarness.h"

namespace {

using namespace uninst_testing;
using testing_support::Joined;
using testing_support::WriteHostFile;

constexpr const char* kSharedCounts = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
  return std::ranges::find(lines, line) != lines.end();
}

void Install(SetupHarness& setup, const std::string& answers = kInstallAnswers) {
  const testing_support::RunResult install = setup.Run(answers);
  ASSERT_EQ(install.stopCode, 0) << install.stopMessage;
  ASSERT_TRUE(Contains(install.transcript, "result 0")) << Joined(install.transcript);
}

TEST(UninstRoundTrip, LeavesTheMachineAsBeforeButUserDataAndCountedSharedFiles) {
  SetupHarness setup;
  std::vector<std::string> script = DemoScript();
  script.push_back("COPYTOWINSYS=shared.dll,shared.dll");
  AddDemoMedium(setup, script);
  // What was there before: another product's entry in win.ini and its registry value next
  // to ours, and its count of the shared DLL.
  WriteHostFile(setup.machine().HostPath("C:\\WINDOWS\\WIN.INI"),
                "[windows]\r\nload=\r\n[Demo]\r\nKeep=1\r\n");
  SetDword(setup.machine(), platform::kHkeyLocalMachine, "SOFTWARE\\Other", "Version", 3);
  // A value in a key of our path: that key holds something and stays.
  SetDword(setup.machine(), platform::kHkeyLocalMachine, "SOFTWARE\\Demo", "Owner", 7);
  SetDword(setup.machine(), platform::kHkeyLocalMachine, kSharedCounts,
           "C:\\WINDOWS\\SYSTEM\\shared.dll", 1);
  const Snapshot before = TakeSnapshot(setup.machine());

  Install(setup);
  ASSERT_TRUE(std::filesystem::exists(setup.machine().HostPath("C:\\DEMO\\data\\sub\\deep.dat")));
  ASSERT_NE(TakeSnapshot(setup.machine()).registry, before.registry);

  const UninstallRun run = RunUninstaller(setup, "reply YES\nreply OK\n");
  EXPECT_EQ(run.code, uninst::kUninstallDone) << Joined(run.transcript);
  EXPECT_EQ(run.transcript.back(), "uninstall-result 0");
  // The running uninstaller cannot delete itself: it goes at the next restart.
  EXPECT_EQ(run.pendingDeletes, std::vector<std::string>{"C:\\WINDOWS\\uninstkp.exe"});

  Snapshot after = WithoutRestartDeletion(SnapshotAfterUninstall(setup));
  // The shared DLL stays: another product still counts it.
  EXPECT_EQ(after.files["drive_c/WINDOWS/SYSTEM/shared.dll"], "contents of shared.dll");
  after.files.erase("drive_c/WINDOWS/SYSTEM/shared.dll");
  EXPECT_EQ(after.files, before.files);
  EXPECT_EQ(after.directories, before.directories);
  EXPECT_EQ(WithoutKeyBlock(after.registry, kUserInfoKey), before.registry);
  // Program Manager was told to show the group before deleting from it, one command each.
  const std::string system = ReadHostFile(setup.machine().options().root / "system.log");
  EXPECT_NE(system.find("dde-execute\tPROGMAN\tPROGMAN\t[ShowGroup(Demo,1)]\n"
                        "dde-execute\tPROGMAN\tPROGMAN\t[DeleteItem(Demo Program)]\n"
                        "dde-execute\tPROGMAN\tPROGMAN\t[DeleteGroup(Demo)]\n"),
            std::string::npos)
      << system;
}

// A product of 3,000 files in 30 folders: its record fits the 95 family's registry, whose
// keys the sandbox's machine of that family keeps to 16,300 bytes a value and 65,535 bytes
// of values a key (a write past them fails, and with it the installation), and the
// uninstall takes it all out again; on NT too.
TEST(UninstRoundTrip, ThousandsOfFilesFitThe95FamilysRegistryAndGoAgain) {
  for (const std::uint32_t platformId : {platform::kPlatformWindows, platform::kPlatformWin32Nt}) {
    SetupHarness setup(platformId);
    SCOPED_TRACE(setup.machine().WindowsDirectory());
    std::vector<std::string> script = {"InstTo=C:\\BIG", "CAPTION=Big", "UNINSTALL=YES",
                                       "LANG=English,lang.en,big.lng"};
    for (int i = 0; i < 3000; ++i)
      script.push_back("COPYTOBASE=f.dat,folder" + std::to_string(i % 30) + "\\file" +
                       std::to_string(i) + ".dat");
    setup.SetScript(script);
    setup.AddMediumFile("f.dat", "small");
    setup.AddMediumFile("lang.en", "english");
    setup.AddMediumFile("uninstkp.exe", "MZ uninstaller");
    const Snapshot before = TakeSnapshot(setup.machine());

    Install(setup);
    ASSERT_TRUE(
        std::filesystem::exists(setup.machine().HostPath("C:\\BIG\\folder29\\file2999.dat")));
    const UninstallRun run =
        RunUninstaller(setup, "reply YES\nreply OK\n", {"C:\\BIG\\setup.uni", "Big"});
    EXPECT_EQ(run.code, uninst::kUninstallDone) << Joined(run.transcript);
    const Snapshot after = WithoutRestartDeletion(SnapshotAfterUninstall(setup));
    EXPECT_EQ(after.files, before.files);
    EXPECT_EQ(after.directories, before.directories);
    EXPECT_EQ(WithoutKeyBlock(after.registry, kUserInfoKey), before.registry);
  }
}

TEST(UninstRoundTrip, AFileTheUserAddedSurvivesWithItsDirectories) {
  SetupHarness setup;
  AddDemoMedium(setup, DemoScript());
  Install(setup);
  WriteHostFile(setup.machine().HostPath("C:\\DEMO\\data\\sub\\notes.txt"), "mine");

  const UninstallRun run = RunUninstaller(setup, "reply YES\nreply OK\n");
  EXPECT_EQ(run.code, uninst::kUninstallDone) << Joined(run.transcript);
  const Snapshot after = SnapshotAfterUninstall(setup);
  EXPECT_EQ(after.files.at("drive_c/DEMO/data/sub/notes.txt"), "mine");
  EXPECT_FALSE(after.files.contains("drive_c/DEMO/data/sub/deep.dat"));
  EXPECT_FALSE(after.files.contains("drive_c/DEMO/setup.uni"));
  EXPECT_FALSE(after.directories.contains("drive_c/DEMO/help"));
  EXPECT_TRUE(after.directories.contains("drive_c/DEMO/data/sub"));
}

// The count of a shared DLL that only this product used falls to zero: the user decides,
// and keeping the file is the default.
TEST(UninstRoundTrip, ASharedFileNoLongerCountedIsRemovedOnlyWhenTheUserSaysSo) {
  struct Case {
    const char* name;
    const char* answer;
    bool fileStays;
  };
  for (const Case& c : {Case{"kept", "NO", true}, Case{"removed", "YES", false}}) {
    SetupHarness setup;
    std::vector<std::string> script = DemoScript();
    script.push_back("COPYTOWINSYS=shared.dll,shared.dll");
    AddDemoMedium(setup, script);
    SetDword(setup.machine(), platform::kHkeyLocalMachine, kSharedCounts,
             "C:\\WINDOWS\\SYSTEM\\shared.dll", 0);
    Install(setup);

    const UninstallRun run =
        RunUninstaller(setup, std::string("reply YES\nreply ") + c.answer + "\nreply OK\n");
    EXPECT_EQ(run.code, uninst::kUninstallDone) << c.name << Joined(run.transcript);
    ASSERT_GE(run.transcript.size(), 2u) << c.name;
    EXPECT_EQ(run.transcript[1],
              "message \"Uninstallation\" question YESNO \"The shared file "
              "\\x84C:\\\\WINDOWS\\\\SYSTEM\\\\SHARED.DLL\\x94 is no longer used by any "
              "registered application.\\r\\nOther programs may still need it.\\r\\n\\r\\n"
              "Do you want to remove it?\"")
        << c.name;
    const Snapshot after = SnapshotAfterUninstall(setup);
    EXPECT_EQ(after.files.contains("drive_c/WINDOWS/SYSTEM/shared.dll"), c.fileStays) << c.name;
    const bool countStays = after.registry.find("shared.dll\"=dword:00000000") != std::string::npos;
    EXPECT_EQ(countStays, c.fileStays) << c.name << after.registry;
  }
}

// A shared count goes back as it was, and the file with it only when the installation made
// it and it is still there: one that was there before (a stale count of zero over it) is
// never offered, and one already gone has its count lowered all the same.
TEST(UninstRoundTrip, SharedCountsGoBackAsTheyWere) {
  struct Case {
    const char* name;
    const char* before;  // the file's bytes before the installation, or null
    std::uint32_t count;
    bool goneBeforeUninstall;
    const char* left;  // the closing message's line for the file, or null
  };
  const Case cases[] = {
      {"gone, counted by another product", nullptr, 1, true, nullptr},
      {"gone, counted by none", nullptr, 0, true, nullptr},
      {"there before with a stale count", "the user's own", 0, false,
       "File \\x84C:\\\\WINDOWS\\\\SYSTEM\\\\SHARED.DLL\\x94: it was there before the "
       "installation"},
  };
  for (const Case& c : cases) {
    SetupHarness setup;
    std::vector<std::string> script = DemoScript();
    script.push_back("COPYTOWINSYS=shared.dll,shared.dll");
    AddDemoMedium(setup, script);
    const std::filesystem::path dll = setup.machine().HostPath("C:\\WINDOWS\\SYSTEM\\shared.dll");
    if (c.before != nullptr) WriteHostFile(dll, c.before);
    SetDword(setup.machine(), platform::kHkeyLocalMachine, kSharedCounts,
             "C:\\WINDOWS\\SYSTEM\\shared.dll", c.count);
    // The system file there is replaced when the user says so.
    std::string answers = kInstallAnswers;
    if (c.before != nullptr) answers.insert(answers.rfind("click cancBut"), "click BTN_YES\n");
    Install(setup, answers);
    if (c.goneBeforeUninstall) std::filesystem::remove(dll);

    // No question about the file: straight to the closing message.
    const UninstallRun run = RunUninstaller(setup, "reply YES\nreply OK\n");
    EXPECT_EQ(run.code, uninst::kUninstallDone) << c.name << Joined(run.transcript);
    ASSERT_EQ(run.transcript.size(), 3u) << c.name << Joined(run.transcript);
    EXPECT_EQ(run.transcript[1].find("SHARED.DLL") != std::string::npos, c.left != nullptr)
        << c.name << run.transcript[1];
    if (c.left != nullptr) {
      EXPECT_NE(run.transcript[1].find(c.left), std::string::npos) << c.name;
    }
    EXPECT_EQ(std::filesystem::exists(dll), !c.goneBeforeUninstall) << c.name;
    const std::string registry = SnapshotAfterUninstall(setup).registry;
    const std::string count =
        "\"C:\\\\WINDOWS\\\\SYSTEM\\\\shared.dll\"=dword:0000000" + std::to_string(c.count);
    EXPECT_NE(registry.find(count), std::string::npos) << c.name << registry;
  }
}

// A log cut short (or damaged) no longer matches the digest in its entry: it is refused
// before the question, and nothing is removed.
TEST(UninstRoundTrip, ATruncatedLogIsRefusedAndNothingRemoved) {
  SetupHarness setup;
  AddDemoMedium(setup, DemoScript());
  Install(setup);
  const std::filesystem::path logFile = setup.machine().HostPath("C:\\DEMO\\setup.uni");
  const std::string log = ReadHostFile(logFile);
  // Cut inside the third copy line, after a line of garbage.
  const std::size_t cut = log.find("COPYTOBASE=deep.dat,data\\sub\\de");
  ASSERT_NE(cut, std::string::npos);
  WriteHostFile(logFile,
                log.substr(0, cut) + "\x01\xff garbage=,,\r\n" +
                    log.substr(cut, std::string("COPYTOBASE=deep.dat,data\\sub\\de").size()));
  const Snapshot installed = TakeSnapshot(setup.machine());

  const UninstallRun run = RunUninstaller(setup, "reply OK\n");
  EXPECT_EQ(run.code, uninst::kUninstallNoLog) << Joined(run.transcript);
  const Snapshot after = SnapshotAfterUninstall(setup);
  EXPECT_EQ(after.files, installed.files);
  EXPECT_EQ(after.registry, installed.registry);
}

TEST(UninstRoundTrip, AnsweringNoChangesNothing) {
  SetupHarness setup;
  AddDemoMedium(setup, DemoScript());
  Install(setup);
  const Snapshot installed = TakeSnapshot(setup.machine());

  const UninstallRun run = RunUninstaller(setup, "reply NO\n");
  EXPECT_EQ(run.code, uninst::kUninstallDeclined);
  EXPECT_EQ(run.transcript,
            (std::vector<std::string>{
                "message \"Uninstallation\" question YESNO \"Do you really want to remove "
                "\\x84Demo\\x94 and all of its components from your computer?\"",
                "uninstall-result 1"}));
  const Snapshot after = SnapshotAfterUninstall(setup);
  EXPECT_EQ(after.files, installed.files);
  EXPECT_EQ(after.registry, installed.registry);
}

}  // namespace
