// What the uninstaller may be trusted with: a log the entry does not vouch for is refused
// with nothing removed, and a trusted one takes back only what the installation made,
// putting back what it changed. Each round trip compares the whole machine (every file with
// its bytes and registry.reg) before the installation and after the uninstall.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/RecordStore.h"
#include "engine/UninstallEntry.h"
#include "script/Text.h"
#include "tests/uninst/UninstHarness.h"

namespace {

using namespace uninst_testing;
using testing_support::Joined;
using testing_support::WriteHostFile;

constexpr const char* kUninstallList = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\UnInstall";
// The installation's answers up to the summary's Next, which starts the copying.
constexpr const char* kStartInstall =
    "click nextBut\nclick nextBut\n"
    "type PageBEdit1 Jan Novak\ntype PageBEdit2 ACME\nclick nextBut\n"
    "click nextBut\nclick nextBut\nclick nextBut\nclick nextBut\n";

void Install(SetupHarness& setup, const std::string& answers = kInstallAnswers) {
  const testing_support::RunResult install = setup.Run(answers);
  ASSERT_EQ(install.stopCode, 0) << install.stopMessage << Joined(install.transcript);
}

// Uninstalls through the entry, answering yes to everything; gives the closing message.
std::string UninstallAll(SetupHarness& setup, const std::string& name, int code = 0) {
  const UninstallRun run = RunUninstaller(setup, "reply YES\nreply OK\n", EntryArgs(setup, name));
  EXPECT_EQ(run.code, code) << name << "\n" << Joined(run.transcript);
  return run.transcript.size() >= 2 ? run.transcript[run.transcript.size() - 2] : "";
}

// The machine as the test compares it: the uninstaller, which goes at the next restart, and
// the user's name and company, which are user data, left out.
Snapshot Picture(Snapshot snapshot) {
  snapshot = WithoutRestartDeletion(std::move(snapshot));
  // The key keeps the letter case of the first program that made its path.
  const std::string upper = script::UpperAscii(snapshot.registry);
  const std::size_t at = upper.find(script::UpperAscii(kUserInfoKey));
  if (at != std::string::npos)
    snapshot.registry = WithoutKeyBlock(
        snapshot.registry, snapshot.registry.substr(at, std::string(kUserInfoKey).size()));
  return snapshot;
}

void ExpectSameMachine(const Snapshot& before, const Snapshot& after, const std::string& name) {
  const Snapshot a = Picture(before);
  const Snapshot b = Picture(after);
  EXPECT_EQ(a.files, b.files) << name;
  EXPECT_EQ(a.directories, b.directories) << name;
  EXPECT_EQ(a.registry, b.registry) << name;
}

void PutDemoFiles(SetupHarness& setup, const std::vector<std::string>& names) {
  for (const std::string& name : names) setup.AddMediumFile(name, "contents of " + name);
  setup.AddMediumFile("uninstkp.exe", "MZ uninstaller");
  setup.AddMediumFile("lang.en", "english");
}

std::vector<std::string> RegistryItem(const std::string& root, const std::string& key,
                                      const std::string& name, const std::string& value) {
  return {"REGISTRY ITEM",         "KEYROOT=" + root, "KEYLEVEL=" + key,     "KEYNAME=" + name,
          "KEYNAMEVALUE=" + value, "KEYTYPE=STRING",  "END OF REGISTRY ITEM"};
}

std::vector<std::string> Joined(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Whole round trips: the machine after the uninstall is the machine before the
// installation, whatever the script did to it.
TEST(UninstTrust, RoundTripsLeaveTheMachineAsItWas) {
  struct Case {
    const char* name;
    std::vector<std::string> script;
    const char* displayName;
  };
  const std::vector<std::string> files = {"COPYTOBASE=demo.exe,demo.exe",
                                          "COPYTOBASE=demo.hlp,help\\demo.hlp"};
  const Case cases[] = {
      {"demo", DemoScript(), "Demo"},
      // Earlier INI values, registry values and keys put back; keys that were there stay.
      {"overwrites earlier settings",
       Joined(Joined(Joined(ProductScript("Demo", "C:\\DEMO", files),
                            {"INI FILE=win.ini", "SECTION=windows", "load=<TOPATH>\\demo.exe",
                             "run=<TOPATH>\\demo.exe", "END OF INI", "INI FILE=system.ini",
                             "SECTION=Empty", "New=1", "END OF INI"}),
                     RegistryItem("HKEY_CURRENT_USER", "Software\\Shared\\Settings", "Editor",
                                  "C:\\DEMO\\demo.exe")),
              RegistryItem("HKEY_CURRENT_USER", "Software\\Shared\\Empty\\Deeper", "X", "1")),
       "Demo"},
      // A file outside the destination is the installation's all the same.
      {"file outside the destination",
       ProductScript("Demo", "C:\\DEMO",
                     Joined(files, {"COPYTOBASE=shared.exe,..\\Common\\shared.exe"})),
       "Demo"},
      {"destination at a drive root", ProductScript("Demo", "C:\\", files), "Demo"},
      {"destination key in capitals",
       [&] {
         std::vector<std::string> s = ProductScript("Demo", "C:\\DEMO", files);
         s[0] = "INSTTO=C:\\DEMO";
         return s;
       }(),
       "Demo"},
      {"quotes in the caption", ProductScript("Demo \"Pro\" 2", "C:\\DEMO", files),
       "Demo \"Pro\" 2"},
  };
  for (const Case& c : cases) {
    SetupHarness setup;
    PutDemoFiles(setup, {"demo.exe", "demo.hlp", "deep.dat", "shared.exe"});
    setup.SetScript(c.script);
    sandbox::Machine& machine = setup.machine();
    WriteHostFile(machine.HostPath("C:\\WINDOWS\\WIN.INI"),
                  "[windows]\r\nload=  keep.exe  \r\nrun=\"C:\\Program Files\\T\\t.exe\"\r\n");
    WriteHostFile(machine.HostPath("C:\\WINDOWS\\SYSTEM.INI"), "[boot]\r\nshell=x\r\n[Empty]\r\n");
    SetDword(machine, platform::kHkeyCurrentUser, "Software\\Shared\\Settings", "Size", 1);
    {
      platform::Registry& registry = machine.platform().registry;
      const engine::OpenedKey settings(registry, platform::kHkeyCurrentUser,
                                       "Software\\Shared\\Settings");
      registry.SetValue(settings.Handle(), "Editor", platform::kRegSz, "C:\\NOTEPAD.EXE");
      const engine::OpenedKey empty(registry, platform::kHkeyCurrentUser, "Software\\Shared\\Empty",
                                    true);
    }
    const Snapshot before = TakeSnapshot(machine);
    Install(setup);
    ASSERT_NE(TakeSnapshot(machine).registry, before.registry) << c.name;

    const std::string message = UninstallAll(setup, c.displayName);
    EXPECT_EQ(message.find("except"), std::string::npos) << c.name << message;
    ExpectSameMachine(before, SnapshotAfterUninstall(setup), c.name);
    EXPECT_EQ(TextValue(setup, platform::kHkeyLocalMachine, kUninstallList, "DisplayName"), "")
        << c.name;
  }
}

TEST(UninstTrust, TheMessageTellsWhatWasPutBackAndWhatWasLeft) {
  SetupHarness setup;
  PutDemoFiles(setup, {"notepad.exe"});
  // Installed into the Windows directory over a file of the system's own.
  setup.SetScript(Joined(
      ProductScript("Demo", "C:\\WINDOWS",
                    {"COPYTOBASE=notepad.exe,notepad.exe", "INI FILE=win.ini", "SECTION=windows",
                     "load=demo.exe", "END OF INI"}),
      RegistryItem("HKEY_CURRENT_USER", "Software\\Shared\\Settings", "Editor", "C:\\DEMO.EXE")));
  WriteHostFile(setup.machine().HostPath("C:\\WINDOWS\\notepad.exe"), "the system's notepad");
  WriteHostFile(setup.machine().HostPath("C:\\WINDOWS\\WIN.INI"), "[windows]\r\nload=keep.exe\r\n");
  {
    platform::Registry& registry = setup.machine().platform().registry;
    const engine::OpenedKey settings(registry, platform::kHkeyCurrentUser,
                                     "Software\\Shared\\Settings", true);
    registry.SetValue(settings.Handle(), "Editor", platform::kRegSz, "C:\\NOTEPAD.EXE");
  }
  Install(setup);

  const std::string message = UninstallAll(setup, "Demo");
  EXPECT_EQ(message,
            "message \"Uninstallation\" info OK \"\\x84"
            "Demo\\x94 was removed from your "
            "computer.\\r\\n\\r\\nPut back as they were before the installation:\\r\\n"
            "INI entry load [windows] in \\x84C:\\\\WINDOWS\\\\WIN.INI\\x94\\r\\n"
            "Registry value Editor in \\x84HKEY_CURRENT_USER\\\\SOFTWARE\\\\SHARED\\\\SETTINGS"
            "\\x94\\r\\n\\r\\nLeft on your computer:\\r\\nFile \\x84C:\\\\WINDOWS\\\\NOTEPAD.EXE"
            "\\x94: it was there before the installation\"");
  const Snapshot after = SnapshotAfterUninstall(setup);
  EXPECT_TRUE(after.files.contains("drive_c/WINDOWS/notepad.exe"));
  EXPECT_EQ(after.files.at("drive_c/WINDOWS/WIN.INI"), "[windows]\r\nload=keep.exe\r\n");
  EXPECT_NE(after.registry.find("\"Editor\"=\"C:\\\\NOTEPAD.EXE\""), std::string::npos);
  EXPECT_NE(after.registry.find("[HKEY_CURRENT_USER\\Software\\Shared\\Settings]"),
            std::string::npos);
}

// A key the installation made and someone filled since stays, and the message says with what.
TEST(UninstTrust, AKeyLeftSaysWhatItHolds) {
  struct Case {
    const char* name;
    bool value;
    bool subkey;
    const char* reason;
  };
  const Case cases[] = {
      {"a value", true, false, "it holds values the installation did not write"},
      {"a subkey", false, true, "it holds subkeys the installation did not make"},
      {"both", true, true, "it holds values and subkeys the installation did not make"},
  };
  for (const Case& c : cases) {
    SetupHarness setup;
    PutDemoFiles(setup, {"demo.exe"});
    setup.SetScript(Joined(ProductScript("Demo", "C:\\DEMO", {"COPYTOBASE=demo.exe,demo.exe"}),
                           RegistryItem("HKEY_CURRENT_USER", "Software\\Made\\Deep", "X", "1")));
    Install(setup);
    if (c.value) SetDword(setup.machine(), platform::kHkeyCurrentUser, "Software\\Made", "Y", 2);
    if (c.subkey)
      engine::OpenedKey(setup.machine().platform().registry, platform::kHkeyCurrentUser,
                        "Software\\Made\\User", true);
    const std::string message = UninstallAll(setup, "Demo");
    EXPECT_NE(message.find("Registry key \\x84HKEY_CURRENT_USER\\\\SOFTWARE\\\\MADE\\x94: " +
                           std::string(c.reason)),
              std::string::npos)
        << c.name << message;
  }
}

// Logs the entry does not vouch for: refused before the question, nothing removed.
TEST(UninstTrust, ALogTheEntryDoesNotVouchForIsRefused) {
  struct Case {
    const char* name;
    std::function<void(SetupHarness&)> spoil;
    const char* message;
  };
  const Case cases[] = {
      {"missing log",
       [](SetupHarness& s) {
         std::filesystem::remove(s.machine().HostPath("C:\\DEMO\\setup.uni"));
       },
       "The uninstall log \\x84C:\\\\DEMO\\\\SETUP.UNI\\x94 cannot be read."},
      {"blocks added to the log",
       [](SetupHarness& s) {
         const std::filesystem::path log = s.machine().HostPath("C:\\DEMO\\setup.uni");
         WriteHostFile(log, ReadHostFile(log) +
                                "COPYTOWIN=x,SYSTEM.INI\r\nCOPYTOWIN=x,WIN.INI\r\n"
                                "INI FILE=C:\\WINDOWS\\SYSTEM\\kernel.dll\r\nSECTION=S\r\nK=v\r\n"
                                "END OF INI\r\nREGISTRY ITEM\r\nKEYROOT=HKEY_CURRENT_USER\r\n"
                                "KEYLEVEL=Control Panel\\Desktop\r\nKEYNAME=Wallpaper\r\n"
                                "KEYNAMEVALUE=x\r\nKEYTYPE=STRING\r\nEND OF REGISTRY ITEM\r\n");
       },
       "The uninstall log \\x84C:\\\\DEMO\\\\SETUP.UNI\\x94 was changed after the installation."},
      {"no digest in the entry",
       [](SetupHarness& s) {
         platform::Registry& registry = s.machine().platform().registry;
         const engine::OpenedKey entry(registry, platform::kHkeyLocalMachine,
                                       std::string(kUninstallList) + "\\Demo");
         registry.DeleteValue(entry.Handle(), engine::kLogDigestValue);
       },
       "The uninstall entry of \\x84"
       "Demo\\x94 holds no trustworthy record of the installation."},
      // As an installer before this one left it: the notes in the entry, no record.
      {"entry without a record",
       [](SetupHarness& s) {
         engine::DeleteRecord(s.machine().platform().registry, *engine::RecordKey("Demo"));
       },
       "The uninstall entry of \\x84"
       "Demo\\x94 holds no trustworthy record of the installation."},
  };
  for (const Case& c : cases) {
    SetupHarness setup;
    AddDemoMedium(setup, DemoScript());
    WriteHostFile(setup.machine().HostPath("C:\\WINDOWS\\SYSTEM.INI"), "[boot]\r\n");
    WriteHostFile(setup.machine().HostPath("C:\\WINDOWS\\SYSTEM\\kernel.dll"), "MZ kernel");
    SetDword(setup.machine(), platform::kHkeyCurrentUser, "Control Panel\\Desktop", "Wallpaper", 0);
    Install(setup);
    c.spoil(setup);
    const Snapshot spoiled = TakeSnapshot(setup.machine());

    const UninstallRun run = RunUninstaller(setup, "reply OK\n");
    EXPECT_EQ(run.code, uninst::kUninstallNoLog) << c.name;
    EXPECT_EQ(run.transcript, RefusalTranscript(c.message)) << c.name;
    const Snapshot after = SnapshotAfterUninstall(setup);
    EXPECT_EQ(after.files, spoiled.files) << c.name;
    EXPECT_EQ(after.registry, spoiled.registry) << c.name;
  }
}

// Two products in one folder: the second one's log lies where the first one's was. The
// first is refused until the second is gone, which puts the first one's log back.
TEST(UninstTrust, TwoProductsInOneFolder) {
  SetupHarness setup;
  PutDemoFiles(setup, {"alpha.exe", "beta.exe", "common.dll"});
  const Snapshot before = TakeSnapshot(setup.machine());
  // Each product: its own program and key, and a DLL both bring.
  const auto suiteProduct = [](const std::string& name, const std::string& program) {
    return Joined(ProductScript(name, "C:\\SUITE",
                                {"COPYTOBASE=" + program + "," + program,
                                 "COPYTOBASE=common.dll,common.dll"}),
                  RegistryItem("HKEY_LOCAL_MACHINE", "Software\\" + name, "Path", "C:\\SUITE"));
  };
  setup.SetScript(suiteProduct("Alpha", "alpha.exe"));
  Install(setup);
  const Snapshot alphaOnly = TakeSnapshot(setup.machine());
  setup.SetScript(suiteProduct("Beta", "beta.exe"));
  Install(setup);
  const Snapshot both = TakeSnapshot(setup.machine());

  const UninstallRun refused = RunUninstaller(setup, "reply OK\n", EntryArgs(setup, "Alpha"));
  EXPECT_EQ(refused.code, uninst::kUninstallNoLog) << Joined(refused.transcript);
  ASSERT_FALSE(refused.transcript.empty());
  EXPECT_EQ(refused.transcript[0],
            "message \"Uninstallation\" error OK \"The uninstall log \\x84"
            "C:\\\\SUITE\\\\SETUP.UNI\\x94 belongs to \\x84"
            "Beta\\x94, not to \\x84"
            "Alpha\\x94.\\r\\n\\r\\nThe uninstallation will be terminated.\"");
  EXPECT_EQ(SnapshotAfterUninstall(setup).files, both.files);
  EXPECT_EQ(SnapshotAfterUninstall(setup).registry, both.registry);

  UninstallAll(setup, "Beta");
  Snapshot afterBeta = SnapshotAfterUninstall(setup);
  EXPECT_EQ(afterBeta.files, alphaOnly.files);
  // Beta wrote the files both bring anew: they are no longer the ones Alpha left, so they
  // stay, and the message says why.
  const std::string message = UninstallAll(setup, "Alpha");
  for (const char* name : {"COMMON.DLL", "DEMO.LNG"}) {
    EXPECT_NE(message.find(std::string("File \\x84C:\\\\SUITE\\\\") + name +
                           "\\x94: it was replaced after the installation"),
              std::string::npos)
        << message;
  }
  Snapshot after = SnapshotAfterUninstall(setup);
  EXPECT_EQ(after.files.at("drive_c/SUITE/common.dll"), "contents of common.dll");
  after.files.erase("drive_c/SUITE/common.dll");
  after.files.erase("drive_c/SUITE/demo.lng");
  after.directories.erase("drive_c/SUITE");
  ExpectSameMachine(before, after, "both gone");
}

// Several products share the one uninstaller: it goes with the last of them, at the next
// restart, as the system can arrange it (WININIT.INI on the 95 family).
TEST(UninstTrust, TheSharedUninstallerGoesWithTheLastEntryThatNamesIt) {
  for (const std::uint32_t platformId : {platform::kPlatformWindows, platform::kPlatformWin32Nt}) {
    SetupHarness setup(platformId);
    const std::string windows = setup.machine().WindowsDirectory();
    SCOPED_TRACE(windows);
    PutDemoFiles(setup, {"a.exe", "b.exe"});
    // The list of entries, as every Windows has it.
    engine::OpenedKey(setup.machine().platform().registry, platform::kHkeyLocalMachine,
                      kUninstallList, true);
    const Snapshot before = TakeSnapshot(setup.machine());
    setup.SetScript(ProductScript("Alpha", "C:\\ALPHA", {"COPYTOBASE=a.exe,a.exe"}));
    Install(setup);
    setup.SetScript(ProductScript("Beta", "C:\\BETA", {"COPYTOBASE=b.exe,b.exe"}));
    Install(setup);

    UninstallRun run = RunUninstaller(setup, "reply YES\nreply OK\n", EntryArgs(setup, "Alpha"));
    EXPECT_EQ(run.code, uninst::kUninstallDone) << Joined(run.transcript);
    EXPECT_TRUE(run.pendingDeletes.empty());
    EXPECT_NE(run.transcript[1].find("File \\x84C:\\\\" + script::UpperAscii(windows.substr(3)) +
                                     "\\\\UNINSTKP.EXE\\x94: other "
                                     "applications still use it to uninstall"),
              std::string::npos)
        << run.transcript[1];
    EXPECT_TRUE(std::filesystem::exists(setup.machine().HostPath(windows + "\\uninstkp.exe")));

    run = RunUninstaller(setup, "reply YES\nreply OK\n", EntryArgs(setup, "Beta"));
    EXPECT_EQ(run.code, uninst::kUninstallDone) << Joined(run.transcript);
    EXPECT_EQ(run.pendingDeletes, std::vector<std::string>{windows + "\\uninstkp.exe"});
    ExpectSameMachine(before, SnapshotAfterUninstall(setup), "both gone");
  }
}

// A link put where the installation made a directory leads nowhere the uninstaller goes.
TEST(UninstTrust, ALinkOnThePathIsNeverFollowed) {
  SetupHarness setup;
  PutDemoFiles(setup, {"file.txt"});
  setup.SetScript(ProductScript("Demo", "C:\\DEMO", {"COPYTOBASE=file.txt,link\\file.txt"}));
  Install(setup);
  sandbox::Machine& machine = setup.machine();
  const std::filesystem::path link = machine.HostPath("C:\\DEMO\\link");
  std::filesystem::remove_all(link);
  WriteHostFile(machine.HostPath("C:\\OTHER\\file.txt"), "not the product's");
  std::filesystem::create_directory_symlink("../OTHER", link);

  const std::string message = UninstallAll(setup, "Demo");
  EXPECT_EQ(ReadHostFile(machine.HostPath("C:\\OTHER\\file.txt")), "not the product's");
  EXPECT_NE(message.find("File \\x84C:\\\\DEMO\\\\LINK\\\\FILE.TXT\\x94: a link or junction lies "
                         "on its path"),
            std::string::npos)
      << message;
  EXPECT_NE(message.find("Directory \\x84C:\\\\DEMO\\\\LINK\\x94: a link or junction"),
            std::string::npos)
      << message;
  EXPECT_TRUE(std::filesystem::is_symlink(link));
}

// A run that stops half way (here: the user gives up a missing file) leaves a true record;
// the next installation of the product adds to it, and its uninstall takes back both.
TEST(UninstTrust, AnInstallationStoppedHalfWayIsTakenBackWithTheNextOne) {
  struct Case {
    const char* name;
    bool firstCompletes;  // a full installation before the stopped one
  };
  for (const Case& c :
       {Case{"cancelled first installation", false}, Case{"cancelled re-installation", true}}) {
    SetupHarness setup;
    PutDemoFiles(setup, {"demo.exe", "new.dll"});
    const std::vector<std::string> full =
        ProductScript("Demo", "C:\\DEMO", {"COPYTOBASE=demo.exe,demo.exe"});
    const Snapshot before = TakeSnapshot(setup.machine());
    if (c.firstCompletes) {
      setup.SetScript(full);
      Install(setup);
    }
    setup.SetScript(
        ProductScript("Demo", "C:\\DEMO",
                      {"COPYTOBASE=demo.exe,demo.exe", "COPYTOBASE=new.dll,bin\\new.dll",
                       "COPYTOBASE=gone.dat,gone.dat"}));
    const testing_support::RunResult stopped =
        setup.Run(std::string(kStartInstall) + "click cancbut\nclick cancBut\n");
    ASSERT_EQ(stopped.stopCode, 0) << c.name << stopped.stopMessage << Joined(stopped.transcript);
    ASSERT_TRUE(std::filesystem::exists(setup.machine().HostPath("C:\\DEMO\\bin\\new.dll")))
        << c.name;
    if (!c.firstCompletes) {
      setup.SetScript(full);
      Install(setup);
    }
    UninstallAll(setup, "Demo");
    ExpectSameMachine(before, SnapshotAfterUninstall(setup), c.name);
  }
}

// Only a run that ends with result 0, 2 or 8 makes the uninstall entry: after any other the
// product has none, whether the run was its first or it was installed before (whose entry
// then stays as it was). What the failed run did is in the product's record all the same,
// and the uninstall that follows a good run takes back both.
TEST(UninstTrust, AFailedRunMakesNoEntryAndIsTakenBackWithTheNextGoodOne) {
  struct Case {
    const char* name;
    std::vector<std::string> body;  // script lines that make the run fail
    std::function<void(sandbox::Machine&)> fault;
    const char* answers;  // from the summary's Next to the finish page
    const char* result;
  };
  const Case cases[] = {
      {"a file not installed",
       {"COPYTOBASE=gone.dat,gone.dat"},
       [](sandbox::Machine& m) { m.faults().filesVanishAfterOpens["D:\\GONE.DAT"] = 0; },
       "reply OK\n",
       "result 1"},
      {"a registry item failed",
       RegistryItem("HKEY_LOCAL_MACHINE", "SOFTWARE\\Refused", "Path", "x"),
       [](sandbox::Machine& m) {
         m.faults().refusedRegistryKeys.insert("HKEY_LOCAL_MACHINE\\SOFTWARE\\REFUSED");
       },
       "reply OK\n", "result 3"},
      {"a missing file given up",
       {"COPYTOBASE=missing.dat,missing.dat"},
       {},
       "click cancbut\n",
       "result 4"},
      {"interrupted",
       {"COPYTOBASE=bad.dll,bad.dll,REG"},
       {},
       "reply CANCEL\nreply OK\n",
       "result 5"},
  };
  const std::string entry = std::string(kUninstallList) + "\\Demo";
  for (const Case& c : cases) {
    for (const bool installedBefore : {false, true}) {
      for (const std::uint32_t platformId :
           {platform::kPlatformWindows, platform::kPlatformWin32Nt}) {
        SetupHarness setup(platformId);
        const std::string name = std::string(c.name) +
                                 (installedBefore ? ", re-installation" : "") + ", " +
                                 setup.machine().WindowsDirectory();
        SCOPED_TRACE(name);
        PutDemoFiles(setup, {"demo.exe", "new.dll", "gone.dat", "bad.dll"});
        const std::vector<std::string> good =
            ProductScript("Demo", "C:\\DEMO", {"COPYTOBASE=demo.exe,demo.exe"});
        const Snapshot before = TakeSnapshot(setup.machine());
        if (installedBefore) {
          setup.SetScript(good);
          Install(setup);
        }
        const std::string digest =
            TextValue(setup, platform::kHkeyLocalMachine, entry, engine::kLogDigestValue);
        setup.SetScript(
            ProductScript("Demo", "C:\\DEMO", Joined({"COPYTOBASE=new.dll,bin\\new.dll"}, c.body)));
        if (c.fault) c.fault(setup.machine());
        const testing_support::RunResult failed =
            setup.Run(std::string(kStartInstall) + c.answers + "click cancBut\nclick Button2\n");
        ASSERT_EQ(failed.stopCode, 0) << failed.stopMessage << Joined(failed.transcript);
        EXPECT_NE(std::ranges::find(failed.transcript, c.result), failed.transcript.end())
            << Joined(failed.transcript);
        setup.machine().faults() = {};
        ASSERT_TRUE(std::filesystem::exists(setup.machine().HostPath("C:\\DEMO\\bin\\new.dll")));
        EXPECT_EQ(engine::OpenedKey(setup.machine().platform().registry,
                                    platform::kHkeyLocalMachine, entry)
                          .Handle() != 0,
                  installedBefore);
        EXPECT_EQ(TextValue(setup, platform::kHkeyLocalMachine, entry, engine::kLogDigestValue),
                  digest);

        if (!installedBefore) {
          setup.SetScript(good);
          Install(setup);
        }
        UninstallAll(setup, "Demo");
        ExpectSameMachine(before, SnapshotAfterUninstall(setup), name);
      }
    }
  }
}

// An empty caption names no entry of its own: nothing is written on the list key, and no
// record; the log, the uninstaller and the user's name and company are written all the same.
TEST(UninstTrust, AnEmptyCaptionMakesNoEntry) {
  for (const std::uint32_t platformId : {platform::kPlatformWindows, platform::kPlatformWin32Nt}) {
    SetupHarness setup(platformId);
    const std::string windows = setup.machine().WindowsDirectory();
    SCOPED_TRACE(windows);
    PutDemoFiles(setup, {"demo.exe"});
    setup.SetScript(ProductScript("", "C:\\DEMO", {"COPYTOBASE=demo.exe,demo.exe"}));
    Install(setup);
    const Snapshot installed = TakeSnapshot(setup.machine());
    EXPECT_EQ(installed.registry.find("UnInstall]"), std::string::npos) << installed.registry;
    EXPECT_EQ(installed.registry.find("UnInstall\\"), std::string::npos) << installed.registry;
    EXPECT_EQ(installed.registry.find("Records"), std::string::npos) << installed.registry;
    EXPECT_TRUE(installed.files.contains("drive_c/DEMO/setup.uni"));
    EXPECT_TRUE(installed.files.contains("drive_c/" + windows.substr(3) + "/uninstkp.exe"));
    EXPECT_NE(
        installed.registry.find("[" + std::string(kUserInfoKey) +
                                "]\r\n\"UserCompany\"=\"ACME\"\r\n\"UserName\"=\"Jan Novak\""),
        std::string::npos)
        << installed.registry;

    const UninstallRun run = RunUninstaller(setup, "reply OK\n", {"C:\\DEMO\\setup.uni", ""});
    EXPECT_EQ(run.code, uninst::kUninstallNoLog) << Joined(run.transcript);
    EXPECT_EQ(SnapshotAfterUninstall(setup).files, installed.files);
  }
}

TEST(UninstCommandLine, TheEntrysCommandLineKeepsQuotesInTheName) {
  struct Case {
    const char* line;
    std::vector<std::string> args;
  };
  const Case cases[] = {
      {"\"C:\\DEMO\\setup.uni\" \"Demo\"", {"C:\\DEMO\\setup.uni", "Demo"}},
      {"\"C:\\DEMO\\setup.uni\" \"Demo \"Pro\" 2\"", {"C:\\DEMO\\setup.uni", "Demo \"Pro\" 2"}},
      {"\"C:\\DEMO\\setup.uni\" \"\"", {"C:\\DEMO\\setup.uni", ""}},
      {"\"C:\\DEMO\\setup.uni\"", {"C:\\DEMO\\setup.uni"}},
      {"C:\\DEMO\\setup.uni Demo", {"C:\\DEMO\\setup.uni", "Demo"}},
  };
  for (const Case& c : cases) EXPECT_EQ(uninst::UninstallArguments(c.line), c.args) << c.line;
}

}  // namespace
