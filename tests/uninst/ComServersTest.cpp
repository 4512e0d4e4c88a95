// COM registrations the installation made, taken back by the uninstaller just before their
// files go: DLL servers through DllUnregisterServer, type libraries through the system;
// servers that were there before, program servers and files that are no longer the
// installation's keep their registrations, and the closing message says so.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/TinyDll.h"
#include "tests/uninst/UninstHarness.h"

namespace {

using namespace uninst_testing;
using testing_support::Joined;
using testing_support::TinyDll;
using testing_support::WriteHostFile;

namespace fs = std::filesystem;

constexpr const char* kSharedCounts = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
const std::string kServer = TinyDll({"DllRegisterServer", "DllUnregisterServer"}).image;
const std::string kTypeLibrary = "MSFT....";

void Install(SetupHarness& setup) {
  const testing_support::RunResult install = setup.Run(kInstallAnswers);
  ASSERT_EQ(install.stopCode, 0) << install.stopMessage << Joined(install.transcript);
}

// The medium of a product whose script is `body`, with `files` (name, bytes) on it.
void AddMedium(SetupHarness& setup, const std::vector<std::string>& body,
               const std::vector<std::pair<std::string, std::string>>& files) {
  setup.SetScript(ProductScript("Demo", "C:\\DEMO", body));
  for (const auto& [name, bytes] : files) setup.AddMediumFile(name, bytes);
  setup.AddMediumFile("lang.en", "english");
  setup.AddMediumFile("uninstkp.exe", "MZ uninstaller");
}

// The lines of system.log that take a registration back.
std::vector<std::string> UnregisterCalls(SetupHarness& setup) {
  std::vector<std::string> calls;
  const std::string log = ReadHostFile(setup.machine().options().root / "system.log");
  for (std::size_t start = 0, end; (end = log.find('\n', start)) != std::string::npos;
       start = end + 1) {
    const std::string line = log.substr(start, end - start);
    if (line.starts_with("com-dll-unregister\t") || line.starts_with("com-typelib-unregister\t"))
      calls.push_back(line);
  }
  return calls;
}

// The closing message of an uninstaller run that ended normally.
std::string ClosingMessage(const UninstallRun& run) {
  return run.transcript.size() >= 2 ? run.transcript[run.transcript.size() - 2] : "";
}

// Servers the installation made are unregistered before their files go; one that was
// there before, and a program server, keep their registrations; the machine ends as it was.
TEST(UninstComServers, RegisteredAtInstallUnregisteredAtUninstall) {
  SetupHarness setup;
  AddMedium(setup,
            {"COPYTOBASE=server.dll,server.dll,REG", "COPYTOBASE=old.dll,old.dll,REG",
             "COPYTOBASE=lib.tlb,lib.tlb,REGTLB", "COPYTOBASE=srv.exe,srv.exe,REG"},
            {{"server.dll", kServer},
             {"old.dll", kServer},
             {"lib.tlb", kTypeLibrary},
             {"srv.exe", "MZ program server"}});
  WriteHostFile(setup.machine().HostPath("C:\\DEMO\\old.dll"), kServer);
  const Snapshot before = TakeSnapshot(setup.machine());
  Install(setup);

  const UninstallRun run = RunUninstaller(setup, "reply YES\nreply OK\n");
  EXPECT_EQ(run.code, uninst::kUninstallDone) << Joined(run.transcript);
  EXPECT_EQ(ClosingMessage(run),
            "message \"Uninstallation\" info OK \"\\x84"
            "Demo\\x94 was removed from your computer.\\r\\n\\r\\n"
            "Unregistered from COM:\\r\\n\\x84"
            "C:\\\\DEMO\\\\LIB.TLB\\x94\\r\\n\\x84"
            "C:\\\\DEMO\\\\SERVER.DLL\\x94\\r\\n\\r\\n"
            "Left on your computer:\\r\\n"
            "COM registration of \\x84"
            "C:\\\\DEMO\\\\SRV.EXE\\x94: a program server is not started to unregister itself\\r\\n"
            "COM registration of \\x84"
            "C:\\\\DEMO\\\\OLD.DLL\\x94: it was there before the installation\\r\\n"
            "File \\x84"
            "C:\\\\DEMO\\\\OLD.DLL\\x94: it was there before the installation\"");
  // Each called while its file was still there (the sandbox reads the file to call it).
  EXPECT_EQ(UnregisterCalls(setup),
            (std::vector<std::string>{
                "com-typelib-unregister\tC:\\\\DEMO\\\\lib.tlb\t0x00000000",
                "com-dll-unregister\tC:\\\\DEMO\\\\server.dll\tcalled 0x00000000"}));

  const Snapshot after = WithoutRestartDeletion(SnapshotAfterUninstall(setup));
  EXPECT_EQ(after.files, before.files);
  EXPECT_EQ(after.directories, before.directories);
  EXPECT_EQ(WithoutKeyBlock(after.registry, kUserInfoKey), before.registry);
}

// One server the installation made, and what may stand in the way of taking its
// registration back. A file that is no longer the one installed is never called.
TEST(UninstComServers, WhatKeepsARegistrationAndWhy) {
  struct Case {
    const char* name;
    const char* file;  // installed into C:\DEMO
    const char* registration;
    std::string bytes;
    std::function<void(sandbox::Machine&)> spoil;    // after the installation
    std::function<void(sandbox::Machine&)> prepare;  // the uninstaller's machine
    int code;
    std::string message;  // a part of the closing message (escaped)
    bool fileStays;
    std::vector<std::string> calls;
  };
  const auto replaced = [](sandbox::Machine& m) {
    WriteHostFile(m.HostPath("C:\\DEMO\\new.dll"), "MZ someone else's");
    fs::rename(m.HostPath("C:\\DEMO\\new.dll"), m.HostPath("C:\\DEMO\\server.dll"));
  };
  const auto gone = [](sandbox::Machine& m) { fs::remove(m.HostPath("C:\\DEMO\\server.dll")); };
  const std::string server = "\\x84C:\\\\DEMO\\\\SERVER.DLL\\x94";
  const std::string library = "\\x84C:\\\\DEMO\\\\LIB.TLB\\x94";
  const std::string dllCall = "com-dll-unregister\tC:\\\\DEMO\\\\server.dll\t";
  const std::string tlbCall = "com-typelib-unregister\tC:\\\\DEMO\\\\lib.tlb\t";
  const Case cases[] = {
      {"DllUnregisterServer fails: the file stays for the user to unregister",
       "server.dll",
       "REG",
       kServer,
       nullptr,
       [](sandbox::Machine& m) {
         m.outcomes().dllUnregisterResults["C:\\DEMO\\SERVER.DLL"] = platform::kEFail;
       },
       uninst::kUninstallIncomplete,
       "except:\\r\\n\\r\\nCOM registration of " + server +
           " (DllUnregisterServer gave 0x80004005)\\r\\n\\r\\nPlease, remove",
       true,
       {dllCall + "called 0x80004005"}},
      {"not a DLL (its registration could not have run): the file goes",
       "server.dll",
       "REG",
       kServer,
       [](sandbox::Machine& m) {
         // Written over in place: the same file, so the uninstaller calls it.
         WriteHostFile(m.HostPath("C:\\DEMO\\server.dll"), "not an image");
       },
       nullptr,
       uninst::kUninstallDone,
       "COM registration of " + server + ": the server cannot be loaded to unregister itself",
       false,
       {dllCall + "not-loaded"}},
      {"no DllUnregisterServer: the file goes, its registration stays",
       "server.dll",
       "REG",
       TinyDll({"DllRegisterServer"}).image,
       nullptr,
       nullptr,
       uninst::kUninstallDone,
       "COM registration of " + server + ": the server has no DllUnregisterServer",
       false,
       {dllCall + "no-entry-point"}},
      {"replaced since the installation",
       "server.dll",
       "REG",
       kServer,
       replaced,
       nullptr,
       uninst::kUninstallDone,
       "COM registration of " + server + ": it was replaced after the installation",
       true,
       {}},
      {"its file is gone",
       "server.dll",
       "REG",
       kServer,
       gone,
       nullptr,
       uninst::kUninstallDone,
       "COM registration of " + server + ": its file is gone, so it cannot unregister itself",
       false,
       {}},
      {"a type library registered from another file since",
       "lib.tlb",
       "REGTLB",
       kTypeLibrary,
       nullptr,
       [](sandbox::Machine& m) {
         m.outcomes().typeLibsRegisteredElsewhere.insert("C:\\DEMO\\LIB.TLB");
       },
       uninst::kUninstallDone,
       "COM registration of " + library + ": the type library is registered from another file now",
       false,
       {tlbCall + "other-file"}},
      {"a Windows that cannot unregister type libraries",
       "lib.tlb",
       "REGTLB",
       kTypeLibrary,
       nullptr,
       [](sandbox::Machine& m) { m.outcomes().typeLibUnregisterMissing = true; },
       uninst::kUninstallDone,
       "COM registration of " + library +
           ": this Windows cannot take back the registration of a type library",
       false,
       {tlbCall + "unsupported"}},
      {"a type library that fails",
       "lib.tlb",
       "REGTLB",
       kTypeLibrary,
       nullptr,
       [](sandbox::Machine& m) {
         m.outcomes().typeLibUnregisterResults["C:\\DEMO\\LIB.TLB"] = platform::kEFail;
       },
       uninst::kUninstallIncomplete,
       "COM registration of " + library + " (error 0x80004005)",
       true,
       {tlbCall + "0x80004005"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetupHarness setup;
    const std::string file = c.file;
    AddMedium(setup, {"COPYTOBASE=" + file + "," + file + "," + c.registration}, {{file, c.bytes}});
    Install(setup);
    if (c.spoil) c.spoil(setup.machine());

    const UninstallRun run =
        RunUninstaller(setup, "reply YES\nreply OK\n", {"C:\\DEMO\\setup.uni", "Demo"}, c.prepare);
    EXPECT_EQ(run.code, c.code) << Joined(run.transcript);
    EXPECT_NE(ClosingMessage(run).find(c.message), std::string::npos) << ClosingMessage(run);
    EXPECT_EQ(fs::exists(setup.machine().HostPath("C:\\DEMO\\" + file)), c.fileStays);
    EXPECT_EQ(UnregisterCalls(setup), c.calls);
  }
}

// A server in the system directory keeps its registration as long as its count keeps the
// file: only when the count falls to zero and the user lets the file go is it unregistered.
TEST(UninstComServers, ASharedServerIsUnregisteredOnlyWhenItsFileGoes) {
  struct Case {
    const char* name;
    std::uint32_t count;  // before the installation
    const char* answer;   // to the question whether the unused file goes
    bool fileStays;
    bool called;
  };
  const Case cases[] = {
      {"another product counts it", 1, nullptr, true, false},
      {"no longer counted, the user keeps it", 0, "NO", true, false},
      {"no longer counted, the user lets it go", 0, "YES", false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetupHarness setup;
    AddMedium(setup, {"COPYTOWINSYS=shared.dll,shared.dll,REG"}, {{"shared.dll", kServer}});
    SetDword(setup.machine(), platform::kHkeyLocalMachine, kSharedCounts,
             "C:\\WINDOWS\\SYSTEM\\shared.dll", c.count);
    Install(setup);

    const std::string answers = c.answer
                                    ? std::string("reply YES\nreply ") + c.answer + "\nreply OK\n"
                                    : "reply YES\nreply OK\n";
    const UninstallRun run = RunUninstaller(setup, answers);
    EXPECT_EQ(run.code, uninst::kUninstallDone) << Joined(run.transcript);
    EXPECT_EQ(fs::exists(setup.machine().HostPath("C:\\WINDOWS\\SYSTEM\\shared.dll")), c.fileStays);
    EXPECT_EQ(UnregisterCalls(setup).size(), c.called ? 1u : 0u);
  }
}

// A server that crashes in DllUnregisterServer ends the uninstaller. The entry remembers the
// call, so the next run does not call it again and can finish: the server stays, and the
// message says why.
TEST(UninstComServers, AServerThatCrashedIsNotCalledAgain) {
  SetupHarness setup;
  AddMedium(setup, {"COPYTOBASE=demo.exe,demo.exe", "COPYTOBASE=server.dll,server.dll,REG"},
            {{"demo.exe", "MZ demo"}, {"server.dll", kServer}});
  Install(setup);
  const auto crashes = [](sandbox::Machine& m) {
    m.outcomes().dllUnregisterCrashes.insert("C:\\DEMO\\SERVER.DLL");
  };

  const UninstallRun first =
      RunUninstaller(setup, "reply YES\nreply OK\n", {"C:\\DEMO\\setup.uni", "Demo"}, crashes);
  ASSERT_TRUE(first.crashed) << Joined(first.transcript);
  EXPECT_EQ(TextValue(setup, platform::kHkeyLocalMachine,
                      std::string(engine::kUninstallListKey) + "\\Demo", "Unregistering"),
            "C:\\DEMO\\server.dll");

  const UninstallRun second =
      RunUninstaller(setup, "reply YES\nreply OK\n", {"C:\\DEMO\\setup.uni", "Demo"}, crashes);
  EXPECT_FALSE(second.crashed);
  EXPECT_EQ(second.code, uninst::kUninstallIncomplete) << Joined(second.transcript);
  EXPECT_NE(ClosingMessage(second).find("COM registration of \\x84"
                                        "C:\\\\DEMO\\\\SERVER.DLL\\x94 (the server ended the last "
                                        "uninstallation when it was called)"),
            std::string::npos)
      << ClosingMessage(second);
  EXPECT_EQ(UnregisterCalls(setup),
            std::vector<std::string>{"com-dll-unregister\tC:\\\\DEMO\\\\server.dll\tcrashed"});
  EXPECT_TRUE(fs::exists(setup.machine().HostPath("C:\\DEMO\\server.dll")));
  EXPECT_FALSE(fs::exists(setup.machine().HostPath("C:\\DEMO\\demo.exe")));
  EXPECT_EQ(TextValue(setup, platform::kHkeyLocalMachine,
                      std::string(engine::kUninstallListKey) + "\\Demo", "Unregistering"),
            "");
}

}  // namespace
