// Registry items and INI blocks that the machine refuses, and key paths far deeper than any
// registry allows. The user is told what the Parts say, the result is 3, the walk goes on
// with the next line, and the registry and the files keep everything the item did not
// get to write.
#include <gtest/gtest.h>

#include <functional>

#include "tests/faults/FaultHarness.h"

namespace {

using copy_test::BoxLine;
using copy_test::Joined;
using fault_test::FaultDriver;

const std::string kRegistryBox =
    BoxLine("Installation", "error", "OK",
            "The installation interrupted by error while writing values into system "
            "registers.\r\nThe installation is not complete.");

std::vector<std::string> RegistryItem(const std::string& keyPath) {
  return {"REGISTRY ITEM",       "KEYROOT=HKEY_LOCAL_MACHINE",
          "KEYLEVEL=" + keyPath, "KEYNAME=Name",
          "KEYNAMEVALUE=v",      "KEYTYPE=STRING",
          "END OF REGISTRY ITEM"};
}

std::vector<std::string> Then(std::vector<std::string> lines, const std::string& last) {
  lines.push_back(last);
  return lines;
}

struct ItemFaultCase {
  const char* name;
  std::vector<std::string> script;
  std::function<void(FaultDriver&)> arrange;
  std::int32_t result;
  std::vector<std::string> boxes;
  // Exactly the registry entries and machine files that change (upper case).
  std::set<std::string> changed;
  std::map<std::string, std::string> intact;
};

TEST(ItemFaults, RefusedWritesAreToldKeepTheRestAndTheWalkGoesOn) {
  const std::string copyB = "COPYTOBASE=B.TXT,B.TXT";
  const std::set<std::string> filesWritten = {"C:\\APP", "C:\\APP\\B.TXT", "C:\\APP\\LANG.DLL"};
  const auto plus = [&](std::set<std::string> more) {
    more.insert(filesWritten.begin(), filesWritten.end());
    return more;
  };
  const ItemFaultCase cases[] = {
      {"target key refused: the levels above it stay, as made",
       Then(RegistryItem("SOFTWARE\\Demo\\Locked"), copyB),
       [](FaultDriver& h) {
         h.machine().faults().refusedRegistryKeys.insert(
             "HKEY_LOCAL_MACHINE\\SOFTWARE\\DEMO\\LOCKED");
       },
       3,
       {kRegistryBox},
       plus({"HKEY_LOCAL_MACHINE\\SOFTWARE\\DEMO"}),
       {}},
      {"every registry write refused",
       Then(RegistryItem("SOFTWARE\\Demo\\Locked"), copyB),
       [](FaultDriver& h) { h.machine().faults().registryWritesRefused = true; },
       3,
       {kRegistryBox},
       filesWritten,
       {}},
      {"value refused in a key that is there: no message",
       Then(RegistryItem("SOFTWARE\\Demo"), copyB),
       [](FaultDriver& h) {
         platform::HKey key = 0;
         platform::Registry& registry = h.platform().registry;
         ASSERT_EQ(registry.CreateKey(platform::kHkeyLocalMachine, "SOFTWARE\\Demo",
                                      platform::kKeyAllAccess, key),
                   0);
         ASSERT_EQ(registry.SetValue(key, "Other", platform::kRegSz, "kept"), 0);
         registry.CloseKey(key);
         h.machine().faults().refusedRegistryKeys.insert("HKEY_LOCAL_MACHINE\\SOFTWARE\\DEMO");
       },
       3,
       {},
       filesWritten,
       {}},
      {"INI file refused: told once, the rest of the block skipped, other blocks written",
       {"INI FILE=DEMO.INI", "SECTION=Main", "A=1", "B=2", "END OF INI", "INI FILE=OTHER.INI",
        "SECTION=S", "K=<TOPATH>", "END OF INI", copyB},
       [](FaultDriver& h) {
         h.PutFile("C:\\WINDOWS\\DEMO.INI", "[Main]\r\nA=0\r\n");
         h.machine().faults().refusedProfileFiles.insert("DEMO.INI");
       },
       3,
       {BoxLine("Installation", "error", "OK",
                "Unable to write to DEMO.INI\r\nThe installation is not complete.")},
       plus({"C:\\WINDOWS\\OTHER.INI"}),
       {{"C:\\WINDOWS\\DEMO.INI", "[Main]\r\nA=0\r\n"}}},
      {"INI file in a directory that is not there",
       {"INI FILE=C:\\NODIR\\DEMO.INI", "SECTION=Main", "A=1", "END OF INI", copyB},
       [](FaultDriver&) {},
       3,
       {BoxLine("Installation", "error", "OK",
                "Unable to write to C:\\NODIR\\DEMO.INI\r\nThe installation is not complete.")},
       filesWritten,
       {}},
      {"incomplete registry item writes nothing and fails nothing",
       {"REGISTRY ITEM", "KEYROOT=HKEY_LOCAL_MACHINE", "KEYLEVEL=SOFTWARE\\Demo", "KEYNAME=Name",
        "KEYTYPE=STRING", "END OF REGISTRY ITEM", copyB},
       [](FaultDriver&) {},
       0,
       {},
       filesWritten,
       {}},
  };
  for (const ItemFaultCase& c : cases) {
    std::string answers;
    for (std::size_t i = 0; i < c.boxes.size(); ++i) answers += "reply OK\n";
    FaultDriver h(answers);
    h.SetScript(c.script);
    h.PutFile("D:\\B.TXT", "bbb");
    c.arrange(h);
    const fault_test::MachineState before = fault_test::Snapshot(h.machine());

    EXPECT_EQ(h.main().RunInstallation(), c.result) << c.name << "\n" << Joined(h.transcript());

    EXPECT_EQ(h.Boxes(), c.boxes) << c.name;
    EXPECT_EQ(h.ReadFile("C:\\APP\\B.TXT"), "bbb") << c.name;
    EXPECT_EQ(fault_test::Changed(before, fault_test::Snapshot(h.machine())), c.changed) << c.name;
    for (const auto& [path, bytes] : c.intact) EXPECT_EQ(h.ReadFile(path), bytes) << c.name;
  }
}

}  // namespace

namespace {

// A script may ask for any depth; the registry makes at most 512 levels below a root. The
// item creates its path level by level, so the levels made before the refusal stay (as for
// any failed step) and the user is told once; the walk goes on.
TEST(DeepKeyPaths, TenThousandLevelsStopAtTheRegistrysDepth) {
  const std::string deepest = "HKEY_LOCAL_MACHINE\\" + fault_test::DeepKeyPath(512);
  struct Case {
    const char* name;
    std::string keyPath;
    std::int32_t result;
    std::vector<std::string> boxes;
    std::set<std::string> registryChanged;
  };
  const Case cases[] = {
      {"10 000 levels", fault_test::DeepKeyPath(10000), 3, {kRegistryBox}, {deepest}},
      {"10 000 levels and a trailing backslash",
       fault_test::DeepKeyPath(10000) + "\\",
       3,
       {kRegistryBox},
       {deepest}},
      {"10 000 empty levels add none: the value goes under the root",
       std::string(10000, '\\'),
       0,
       {},
       {"HKEY_LOCAL_MACHINE", "HKEY_LOCAL_MACHINE|\"Name\"=\"v\""}},
      {"exactly 512 levels are made",
       fault_test::DeepKeyPath(512),
       0,
       {},
       {deepest, deepest + "|\"Name\"=\"v\""}},
  };
  for (const Case& c : cases) {
    FaultDriver h("reply OK\n");
    std::vector<std::string> script = RegistryItem(c.keyPath);
    script.push_back("COPYTOBASE=B.TXT,B.TXT");
    h.SetScript(script);
    h.PutFile("D:\\B.TXT", "bbb");
    const fault_test::MachineState before = fault_test::Snapshot(h.machine());

    EXPECT_EQ(h.main().RunInstallation(), c.result) << c.name;

    EXPECT_EQ(h.Boxes(), c.boxes) << c.name;
    EXPECT_EQ(h.ReadFile("C:\\APP\\B.TXT"), "bbb") << c.name;
    std::set<std::string> registryChanged;
    for (const std::string& name : fault_test::Changed(before, fault_test::Snapshot(h.machine())))
      if (name.starts_with("HKEY_")) registryChanged.insert(name);
    EXPECT_EQ(registryChanged, c.registryChanged) << c.name;
  }
}

}  // namespace
