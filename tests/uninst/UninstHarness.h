// Install-then-uninstall on one sandbox machine: the installation through SetupHarness,
// then the uninstaller started as the uninstall entry starts it, and a snapshot of the
// machine folder to compare the two ends with.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/UninstallEntry.h"
#include "forms/headless/Answers.h"
#include "forms/headless/HeadlessToolkit.h"
#include "platform/sandbox/Machine.h"
#include "platform/sandbox/SandboxCom.h"
#include "platform/sandbox/SandboxFiles.h"
#include "platform/sandbox/SandboxRegistry.h"
#include "tests/support/SetupHarness.h"
#include "uninst/RunUninstall.h"

namespace uninst_testing {

using testing_support::ReadHostFile;
using testing_support::SetupHarness;

// The script every round trip starts from: files in the destination and a subdirectory,
// a language file, an INI entry, a registry value, a program group with one item.
inline std::vector<std::string> DemoScript() {
  return {"InstTo=C:\\DEMO",
          "CAPTION=Demo",
          "UNINSTALL=YES",
          "LANG=English,lang.en,demo.lng",
          "MakeGroup=YES",
          "COPYTOBASE=demo.exe,demo.exe$$10$$",
          "COPYTOBASE=demo.hlp,help\\demo.hlp",
          "COPYTOBASE=deep.dat,data\\sub\\deep.dat",
          "GROUP ITEM",
          "FILE=<TOPATH>\\demo.exe",
          "TITLE=Demo Program",
          "PATH=<TOPATH>",
          "END OF GROUP ITEM",
          "INI FILE=demo.ini",
          "SECTION=Paths",
          "Home=<TOPATH>",
          "END OF INI",
          "INI FILE=win.ini",
          "SECTION=Demo",
          "Run=<TOPATH>\\demo.exe",
          "END OF INI",
          "REGISTRY ITEM",
          "KEYROOT=HKEY_LOCAL_MACHINE",
          "KEYLEVEL=SOFTWARE\\Demo\\Settings",
          "KEYNAME=Path",
          "KEYNAMEVALUE=C:\\DEMO",
          "KEYTYPE=STRING",
          "END OF REGISTRY ITEM"};
}

// A product's script: its destination and caption, an uninstall entry, a language, then
// `body`.
inline std::vector<std::string> ProductScript(const std::string& caption, const std::string& dir,
                                              const std::vector<std::string>& body) {
  std::vector<std::string> script = {"InstTo=" + dir, "CAPTION=" + caption, "UNINSTALL=YES",
                                     "LANG=English,lang.en,demo.lng"};
  script.insert(script.end(), body.begin(), body.end());
  return script;
}

// Puts the script's files and the uninstaller on the medium.
inline void AddDemoMedium(SetupHarness& setup, const std::vector<std::string>& script) {
  setup.SetScript(script);
  for (const char* name : {"demo.exe", "demo.hlp", "deep.dat", "lang.en", "shared.dll"})
    setup.AddMediumFile(name, std::string("contents of ") + name);
  setup.AddMediumFile("uninstkp.exe", "MZ uninstaller");
}

// The answers of a user who installs with the defaults.
inline constexpr const char* kInstallAnswers =
    "click nextBut\nclick nextBut\n"
    "type PageBEdit1 Jan Novak\ntype PageBEdit2 ACME\nclick nextBut\n"
    "click nextBut\nclick nextBut\nclick nextBut\nclick nextBut\n"
    "click cancBut\n";

// Every file below the machine's drives with its bytes, and registry.reg.
struct Snapshot {
  std::map<std::string, std::string> files;  // path relative to the machine folder
  std::set<std::string> directories;
  std::string registry;
};

// Reads the machine folder as it is on disk (save the machine's registry first when it
// has been changed through that machine).
inline Snapshot ReadSnapshot(const std::filesystem::path& root) {
  Snapshot snapshot;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root / "drive_c")) {
    const std::string relative = entry.path().lexically_relative(root).generic_string();
    if (entry.is_directory()) {
      snapshot.directories.insert(relative);
    } else {
      snapshot.files[relative] = ReadHostFile(entry.path());
    }
  }
  snapshot.registry = ReadHostFile(root / "registry.reg");
  return snapshot;
}

// The state of the harness machine before or after its installation run.
inline Snapshot TakeSnapshot(sandbox::Machine& machine) {
  machine.Save();
  return ReadSnapshot(machine.options().root);
}

// The state after an uninstaller run, which saved its own view of the machine.
inline Snapshot SnapshotAfterUninstall(SetupHarness& setup) {
  return ReadSnapshot(setup.machine().options().root);
}

// The machine as the uninstaller leaves it by design: without its own file, which goes at
// the next restart, and, on the 95 family, the list of such deletions in WININIT.INI.
inline Snapshot WithoutRestartDeletion(Snapshot snapshot) {
  snapshot.files.erase("drive_c/WINDOWS/uninstkp.exe");
  snapshot.files.erase("drive_c/WINDOWS/WININIT.INI");
  snapshot.files.erase("drive_c/WINNT/uninstkp.exe");
  return snapshot;
}

// registry.reg without the block of one key: the user's name and company stay behind as
// user data.
inline std::string WithoutKeyBlock(const std::string& registry, const std::string& key) {
  const std::string header = "[" + key + "]";
  const std::size_t start = registry.find(header);
  if (start == std::string::npos) return registry;
  std::size_t end = registry.find("\r\n\r\n", start);
  end = end == std::string::npos ? registry.size() : end + 4;
  return registry.substr(0, start) + registry.substr(end);
}

inline constexpr const char* kUserInfoKey =
    "HKEY_CURRENT_USER\\SOFTWARE\\Tavrin\\Velmora Management Console\\Register";

// What one uninstaller run did.
struct UninstallRun {
  int code = -1;
  bool crashed = false;  // a COM server crashed the uninstaller (nothing after it ran)
  std::vector<std::string> transcript;
  std::vector<std::string> pendingDeletes;
};

// Runs the uninstaller on the machine the installation left, as uninstkp.exe of its Windows
// directory with the log and the display name; `prepare` may set faults first.
inline UninstallRun RunUninstaller(SetupHarness& setup, const std::string& answers,
                                   std::vector<std::string> args = {"C:\\DEMO\\setup.uni", "Demo"},
                                   const std::function<void(sandbox::Machine&)>& prepare = {}) {
  setup.machine().Save();
  sandbox::MachineOptions options = setup.machine().options();
  options.moduleFileName = setup.machine().WindowsDirectory() + "\\uninstkp.exe";
  sandbox::Machine machine(options);
  if (prepare) prepare(machine);
  forms::headless::HeadlessToolkit toolkit(forms::headless::ParseAnswers(answers));
  UninstallRun run;
  {
    forms::Application app(toolkit);
    try {
      run.code = uninst::RunUninstall(app, machine.platform(), args);
      run.transcript = toolkit.Transcript();
    } catch (const sandbox::ServerCrashed&) {
      // The process ends; what it wrote into the registry so far stays, as on Windows.
      run.crashed = true;
      run.transcript = toolkit.Transcript();
    } catch (const forms::headless::ScriptStopped& stopped) {
      ADD_FAILURE() << stopped.what() << "\n" << testing_support::Joined(stopped.Transcript());
    }
  }
  run.pendingDeletes = machine.DeletionsAtRestart();
  machine.Save();
  // The harness machine reads back what the uninstaller left, for the runs that follow.
  setup.machine().registry().Load();
  return run;
}

// The whole transcript of an uninstaller that refuses with `message` (escaped as the
// transcript writes it) before asking anything.
inline std::vector<std::string> RefusalTranscript(const std::string& message) {
  return {"message \"Uninstallation\" error OK \"" + message +
              "\\r\\n\\r\\nThe uninstallation will be terminated.\"",
          "uninstall-result 3"};
}

// A REG_SZ value of the harness machine, or "" when missing.
inline std::string TextValue(SetupHarness& setup, platform::HKey root, const std::string& key,
                             const std::string& name) {
  platform::Registry& registry = setup.machine().platform().registry;
  const engine::OpenedKey opened(registry, root, key);
  std::uint32_t type = 0;
  std::string data;
  if (opened.Handle() == 0 || registry.QueryValue(opened.Handle(), name, type, data) != 0)
    return {};
  return data;
}

// The uninstaller's arguments as the product's entry gives them.
inline std::vector<std::string> EntryArgs(SetupHarness& setup, const std::string& name) {
  const std::string command =
      TextValue(setup, platform::kHkeyLocalMachine,
                std::string(engine::kUninstallListKey) + "\\" + name, "UnInstallString");
  EXPECT_FALSE(command.empty()) << "no uninstall entry for " << name;
  return uninst::UninstallArguments(command.substr(command.find(' ') + 1));
}

// Writes a REG_DWORD value, creating the key (for counts other products keep).
inline void SetDword(sandbox::Machine& machine, platform::HKey root, const std::string& key,
                     const std::string& name, std::uint32_t value) {
  platform::Registry& registry = machine.platform().registry;
  platform::HKey handle = 0;
  ASSERT_EQ(registry.CreateKey(root, key, platform::kKeyAllAccess, handle), 0);
  std::string data(4, '\0');
  for (int i = 0; i < 4; ++i) data[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  ASSERT_EQ(registry.SetValue(handle, name, platform::kRegDword, data), 0);
  registry.CloseKey(handle);
}

}  // namespace uninst_testing
