// The progress window's Cancel at every point of a run: before the first file, while the
// first file is copied, in the middle, during a registry item and after the last file,
// answered with "&End" and with "&Continue". "&End" stops before the next script line:
// the file being copied is finished whole, nothing after it is written, no language file,
// no uninstall entry, result 5. "&Continue" changes nothing about the run.
#include <gtest/gtest.h>

#include "tests/faults/FaultHarness.h"

namespace {

using copy_test::Joined;

// Where the products' records lie.
constexpr const char* kRecords = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Tavrin\\Setup\\Records";
using copy_test::LinesStarting;
using fault_test::FaultDriver;

const std::string kBig(40000, 'g');  // five copy blocks: Cancel lands inside the copy

struct CancelCase {
  const char* name;
  std::vector<std::string> script;
  const char* answers;  // "END" / "CONTINUE" stand for the confirmation's answer
  std::map<std::string, std::string> installed;  // path -> bytes
  std::vector<std::string> notInstalled;
};

std::string WithAnswer(std::string answers, bool end) {
  const std::string button = end ? "click Button2" : "click Button1";
  const std::size_t at = answers.find("ANSWER");
  answers.replace(at, 6, button);
  return answers;
}

TEST(CancelFromTheProgressWindow, EndStopsBeforeTheNextLineContinueGoesOn) {
  const std::vector<std::string> registryItem = {"REGISTRY ITEM",
                                                 "KEYROOT=HKEY_LOCAL_MACHINE",
                                                 "KEYLEVEL=SOFTWARE\\Demo\\Deep",
                                                 "KEYNAME=Name",
                                                 "KEYNAMEVALUE=v",
                                                 "KEYTYPE=STRING",
                                                 "END OF REGISTRY ITEM"};
  std::vector<std::string> registryAfterDisk = {"COPYTOBASE=A.TXT,A.TXT", "DISK=2"};
  registryAfterDisk.insert(registryAfterDisk.end(), registryItem.begin(), registryItem.end());
  registryAfterDisk.push_back("COPYTOBASE=B.TXT,B.TXT");

  const CancelCase cases[] = {
      {"before the first file",
       {"COPYTOBASE=A.TXT,A.TXT", "COPYTOBASE=B.TXT,B.TXT"},
       "click Button1\nANSWER",
       {},
       {"C:\\APP\\A.TXT", "C:\\APP\\B.TXT"}},
      {"while the first file is copied",
       {"COPYTOWIN=BIG.BIN,BIG.BIN", "COPYTOBASE=A.TXT,A.TXT", "COPYTOBASE=B.TXT,B.TXT"},
       "click BTN_YES\nclick Button1\nANSWER",
       {{"C:\\WINDOWS\\BIG.BIN", kBig}},
       {"C:\\APP\\A.TXT", "C:\\APP\\B.TXT"}},
      {"in the middle",
       {"COPYTOBASE=A.TXT,A.TXT", "COPYTOWIN=BIG.BIN,BIG.BIN", "COPYTOBASE=B.TXT,B.TXT"},
       "click BTN_YES\nclick Button1\nANSWER",
       {{"C:\\APP\\A.TXT", "aaa"}, {"C:\\WINDOWS\\BIG.BIN", kBig}},
       {"C:\\APP\\B.TXT"}},
      {"during a registry item",
       registryAfterDisk,
       "reply OK\nclick Button1\nANSWER",
       {{"C:\\APP\\A.TXT", "aaa"}},
       {"C:\\APP\\B.TXT"}},
      {"after the last file",
       {"COPYTOBASE=A.TXT,A.TXT", "COPYTOBASE=B.TXT,B.TXT", "DISK=2"},
       "reply OK\nclick Button1\nANSWER",
       {{"C:\\APP\\A.TXT", "aaa"}, {"C:\\APP\\B.TXT", "bbb"}},
       {}},
  };
  for (const CancelCase& c : cases) {
    for (const bool end : {true, false}) {
      const std::string name = std::string(c.name) + (end ? ", End" : ", Continue");
      FaultDriver h(WithAnswer(c.answers, end));
      h.SetScript(c.script);
      h.PutFile("D:\\A.TXT", "aaa");
      h.PutFile("D:\\B.TXT", "bbb");
      h.PutFile("D:\\BIG.BIN", kBig);
      h.PutFile("D:\\uninstkp.exe", "uninstaller");
      h.PutFile("C:\\WINDOWS\\BIG.BIN", "old big");
      h.main().WantUninstall = true;
      h.main().ProductCaption = "Demo";
      const fault_test::MachineState before = fault_test::Snapshot(h.machine());

      const std::int32_t result = h.main().RunInstallation();

      EXPECT_EQ(h.RemainingAnswers(), 0u) << name << "\n" << Joined(h.transcript());
      EXPECT_EQ(LinesStarting(h.transcript(), "modal TExitForm").size(), 1u) << name;
      EXPECT_FALSE(h.progress().Visible()) << name;
      EXPECT_EQ(h.app().Terminated(), end) << name;
      const std::set<std::string> changed =
          fault_test::Changed(before, fault_test::Snapshot(h.machine()));
      if (end) {
        EXPECT_EQ(result, 5) << name;
        EXPECT_TRUE(h.main().Interrupted) << name;
        // A file whose copy had begun is there whole; nothing after it, no language file,
        // no uninstall entry, no registry item.
        for (const auto& [path, bytes] : c.installed)
          EXPECT_EQ(h.ReadFile(path), bytes) << name << " " << path;
        for (const std::string& path : c.notInstalled)
          EXPECT_FALSE(h.ReadFile(path)) << name << " " << path;
        EXPECT_FALSE(h.ReadFile("C:\\APP\\LANG.DLL")) << name;
        EXPECT_FALSE(h.ReadFile("C:\\APP\\setup.uni")) << name;
        std::vector<std::string> allowed;
        for (const auto& [path, bytes] : c.installed) allowed.push_back(path);
        // What the run wrote is noted in the product's record as it goes, but there is no
        // uninstall entry: a later installation of the product adds to that record, and its
        // uninstall then takes back both runs.
        if (!c.installed.empty()) allowed.push_back(kRecords);
        EXPECT_EQ(fault_test::Unexpected(changed, allowed), std::vector<std::string>{}) << name;
      } else {
        EXPECT_EQ(result, 0) << name << "\n" << Joined(h.transcript());
        for (const std::string& path : c.notInstalled)
          EXPECT_TRUE(h.ReadFile(path)) << name << " " << path;
        EXPECT_EQ(h.ReadFile("C:\\APP\\LANG.DLL"), "english") << name;
        EXPECT_TRUE(h.ReadFile("C:\\APP\\setup.uni")) << name;
        EXPECT_EQ(fault_test::Unexpected(
                      changed, {"C:\\APP", "C:\\WINDOWS\\BIG.BIN", "C:\\WINDOWS\\uninstkp.exe",
                                "HKEY_LOCAL_MACHINE\\SOFTWARE\\Demo",
                                "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\"
                                "CurrentVersion\\UnInstall\\Demo",
                                kRecords, "HKEY_CURRENT_USER\\SOFTWARE\\Tavrin"}),
                  std::vector<std::string>{})
            << name;
      }
    }
  }
}

}  // namespace
