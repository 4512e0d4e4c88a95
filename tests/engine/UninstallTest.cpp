// The uninstall entry, the uninstaller copy, the uninstall log and the user information.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/UninstallEntry.h"
#include "tests/engine/ItemsHarness.h"

namespace {

using items_test::ItemsHarness;
using items_test::Sz;

constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\UnInstall\\";
constexpr char kUserKey[] = "SOFTWARE\\Tavrin\\Velmora Management Console\\Register";
constexpr char kMedium[] = "C:\\MEDIUM";

struct LogCase {
  const char* name;
  std::string script;
  std::string log;
};

TEST(UninstallLog, RewritesTheTwoChoiceLines) {
  const LogCase cases[] = {
      {"InstTo line takes the chosen directory",
       "CAPTION=Demo\r\nInstTo=C:\\OLD\r\nCOPYTOBASE=a,a\r\n",
       "CAPTION=Demo\r\nInstTo=D:\\NEW\r\nCOPYTOBASE=a,a\r\n"},
      {"match is case-sensitive", "INSTTO=C:\\OLD\r\nMAKEGROUP=x\r\n",
       "INSTTO=C:\\OLD\r\nMAKEGROUP=x\r\n"},
      {"InstTo anywhere in a line", "COPYTOBASE=InstTool.exe,InstTool.exe\r\n",
       "InstTo=D:\\NEW\r\n"},
      {"MakeGroup line takes the chosen group", "MakeGroup=Old\r\n", "MakeGroup=New Group\r\n"},
      {"both texts: the InstTo form", "; MakeGroup and InstTo\r\n", "InstTo=D:\\NEW\r\n"},
      {"every line ends with CR LF, the last one too", "a\nb\rc", "a\r\nb\r\nc\r\n"},
      {"blank lines are kept", "a\r\n\r\nb\r\n", "a\r\n\r\nb\r\n"},
      {"empty script gives an empty log", "", ""},
  };
  for (const LogCase& c : cases) {
    SCOPED_TRACE(c.name);
    ItemsHarness setup;
    setup.main().InstallDir = "D:\\NEW";
    setup.main().GroupName = "New Group";
    setup.PutFile("C:\\MEDIUM\\Setup.Inf", c.script);
    setup.PutFile("C:\\APP\\keep", "");
    EXPECT_TRUE(setup.main().WriteUninstallLog("C:\\MEDIUM\\setup.inf", "C:\\APP\\setup.uni"));
    EXPECT_EQ(setup.ReadFile("C:\\APP\\setup.uni"), c.log);
  }
}

TEST(UninstallLog, FailsWithoutScriptOrLogDirectory) {
  ItemsHarness setup;
  setup.PutFile("C:\\APP\\keep", "");
  EXPECT_FALSE(setup.main().WriteUninstallLog("C:\\MEDIUM\\setup.inf", "C:\\APP\\setup.uni"));
  EXPECT_EQ(setup.ReadFile("C:\\APP\\setup.uni"), std::nullopt);
  setup.PutFile("C:\\MEDIUM\\setup.inf", "a\r\n");
  EXPECT_FALSE(setup.main().WriteUninstallLog("C:\\MEDIUM\\setup.inf", "C:\\NONE\\setup.uni"));
}

// A machine with the medium, the destination directory and the wizard's user fields.
void Prepare(ItemsHarness& setup, bool withUninstaller = true) {
  setup.PutFile("C:\\MEDIUM\\Setup.Inf", "InstTo=C:\\OLD\r\nMakeGroup=G\r\n");
  if (withUninstaller) setup.PutFile("C:\\MEDIUM\\uninstkp.exe", "UNINSTALLER");
  setup.PutFile("C:\\APP\\keep", "");
  setup.main().InstallDir = "C:\\APP";
  setup.main().GroupName = "Demo Group";
  setup.wizard().PageBEdit1.SetText("Jan Novak");
  setup.wizard().PageBEdit2.SetText("Firma s.r.o.");
}

TEST(RegisterUninstall, WritesEntryUninstallerLogAndUser) {
  const struct {
    const char* name;
    std::string windowsDir;
    std::string installDir;
    std::string setupDir;
  } cases[] = {
      {"plain directories", "C:\\WINDOWS", "C:\\APP", "C:\\MEDIUM"},
      {"trailing backslash and blanks", "C:\\WINDOWS\\", "C:\\APP  ", " C:\\MEDIUM\\"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ItemsHarness setup;
    Prepare(setup);
    setup.PutFile("C:\\WINDOWS\\uninstkp.exe", "OLD UNINSTALLER, LONGER THAN THE NEW ONE");
    EXPECT_TRUE(setup.main().RegisterUninstall("Demo", c.installDir, c.windowsDir, c.setupDir));
    const std::string key = std::string(kUninstallKey) + "Demo";
    EXPECT_EQ(setup.Value(platform::kHkeyLocalMachine, key, "DisplayName"), Sz("Demo"));
    EXPECT_EQ(setup.Value(platform::kHkeyLocalMachine, key, "UnInstallString"),
              Sz("C:\\WINDOWS\\uninstkp.exe \"C:\\APP\\setup.uni\" \"Demo\""));
    EXPECT_EQ(setup.ReadFile("C:\\WINDOWS\\uninstkp.exe"), "UNINSTALLER");
    EXPECT_EQ(setup.ReadFile("C:\\APP\\setup.uni"), "InstTo=C:\\APP\r\nMakeGroup=Demo Group\r\n");
    EXPECT_EQ(setup.Value(platform::kHkeyCurrentUser, kUserKey, "UserName"), Sz("Jan Novak"));
    EXPECT_EQ(setup.Value(platform::kHkeyCurrentUser, kUserKey, "UserCompany"), Sz("Firma s.r.o."));
  }
}

TEST(RegisterUninstall, DisplayNameWithBackslashNestsTheKey) {
  ItemsHarness setup;
  Prepare(setup);
  EXPECT_TRUE(setup.main().RegisterUninstall("Tavrin\\Demo", "C:\\APP", "C:\\WINDOWS", kMedium));
  EXPECT_EQ(setup.Value(platform::kHkeyLocalMachine, std::string(kUninstallKey) + "Tavrin\\Demo",
                        "DisplayName"),
            Sz("Tavrin\\Demo"));
}

TEST(RegisterUninstall, EmptyUserFieldsAreWrittenEmpty) {
  ItemsHarness setup;
  Prepare(setup);
  setup.wizard().PageBEdit1.SetText("");
  setup.wizard().PageBEdit2.SetText("");
  EXPECT_TRUE(setup.main().RegisterUninstall("Demo", "C:\\APP", "C:\\WINDOWS", kMedium));
  EXPECT_EQ(setup.Value(platform::kHkeyCurrentUser, kUserKey, "UserName"), Sz(""));
  EXPECT_EQ(setup.Value(platform::kHkeyCurrentUser, kUserKey, "UserCompany"), Sz(""));
}

TEST(RegisterUninstall, MissingUninstallerOrLogDoNotStopTheRest) {
  ItemsHarness setup;
  Prepare(setup, false);
  EXPECT_TRUE(setup.main().RegisterUninstall("Demo", "C:\\NOWHERE", "C:\\WINDOWS", kMedium));
  EXPECT_EQ(setup.ReadFile("C:\\WINDOWS\\uninstkp.exe"), std::nullopt);
  EXPECT_EQ(setup.ReadFile("C:\\NOWHERE\\setup.uni"), std::nullopt);
  EXPECT_EQ(setup.Value(platform::kHkeyLocalMachine, std::string(kUninstallKey) + "Demo",
                        "UnInstallString"),
            Sz("C:\\WINDOWS\\uninstkp.exe \"C:\\NOWHERE\\setup.uni\" \"Demo\""));
  EXPECT_EQ(setup.Value(platform::kHkeyCurrentUser, kUserKey, "UserName"), Sz("Jan Novak"));
}

TEST(RegisterUninstall, RefusedEntryEndsTheStepBeforeTheOtherSteps) {
  ItemsHarness setup;
  Prepare(setup);
  setup.machine().faults().registryWritesRefused = true;
  EXPECT_FALSE(setup.main().RegisterUninstall("Demo", "C:\\APP", "C:\\WINDOWS", kMedium));
  EXPECT_EQ(setup.ReadFile("C:\\WINDOWS\\uninstkp.exe"), std::nullopt);
  EXPECT_EQ(setup.ReadFile("C:\\APP\\setup.uni"), std::nullopt);
  EXPECT_TRUE(items_test::Boxes(setup.transcript()).empty());
}

// An empty caption names no entry (it would land on the list key itself), and so no
// record; the uninstaller, the log and the user information are written all the same.
TEST(RegisterUninstall, AnEmptyCaptionWritesAllButTheEntry) {
  for (const char* caption : {"", "\\"}) {
    SCOPED_TRACE(caption);
    ItemsHarness setup;
    Prepare(setup);
    EXPECT_FALSE(setup.main().RegisterUninstall(caption, "C:\\APP", "C:\\WINDOWS", kMedium));
    EXPECT_EQ(setup.ReadFile("C:\\WINDOWS\\uninstkp.exe"), "UNINSTALLER");
    EXPECT_EQ(setup.ReadFile("C:\\APP\\setup.uni"), "InstTo=C:\\APP\r\nMakeGroup=Demo Group\r\n");
    EXPECT_EQ(setup.Value(platform::kHkeyCurrentUser, kUserKey, "UserName"), Sz("Jan Novak"));
    EXPECT_EQ(setup.Value(platform::kHkeyCurrentUser, kUserKey, "UserCompany"), Sz("Firma s.r.o."));
    // Nothing at all under HKEY_LOCAL_MACHINE: no entry, no record.
    EXPECT_EQ(engine::OpenedKey(setup.platform().registry, platform::kHkeyLocalMachine, "SOFTWARE")
                  .Handle(),
              0u);
  }
}

// The digest is what the uninstaller trusts: when it cannot be written, or the record
// missed a note, the entry holds none (not even an earlier run's, which would vouch for
// the old log), and the user's name and company are written all the same.
TEST(RegisterUninstall, TheDigestStandsOnItsOwn) {
  struct Case {
    const char* name;
    std::function<void(sandbox::Faults&)> fault;
    bool digest;
  };
  const Case cases[] = {
      {"written", [](sandbox::Faults&) {}, true},
      {"digest refused", [](sandbox::Faults& f) { f.refusedRegistryValues.insert("LOGDIGEST"); },
       false},
      {"record refused",
       [](sandbox::Faults& f) {
         f.refusedRegistryKeys.insert("HKEY_LOCAL_MACHINE\\SOFTWARE\\TAVRIN");
       },
       false},
  };
  const std::string key = std::string(kUninstallKey) + "Demo";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ItemsHarness setup;
    Prepare(setup);
    // An earlier installation of the product, with its digest.
    ASSERT_TRUE(setup.main().RegisterUninstall("Demo", "C:\\APP", "C:\\WINDOWS", kMedium));
    ASSERT_TRUE(setup.Value(platform::kHkeyLocalMachine, key, "LogDigest"));
    setup.wizard().PageBEdit1.SetText("Eva");
    setup.PutFile("C:\\MEDIUM\\Setup.Inf", "InstTo=C:\\OLD\r\nMakeGroup=G\r\nNEW=1\r\n");
    setup.main().Record.reset();
    c.fault(setup.machine().faults());

    // Into another directory: its log is a thing the record has not noted yet.
    setup.PutFile("C:\\APP2\\keep", "");
    EXPECT_TRUE(setup.main().RegisterUninstall("Demo", "C:\\APP2", "C:\\WINDOWS", kMedium));
    const std::string log = *setup.ReadFile("C:\\APP2\\setup.uni");
    EXPECT_EQ(setup.Value(platform::kHkeyLocalMachine, key, "LogDigest"),
              c.digest ? std::optional(Sz(setup.platform().digest.Sha256Hex(log).value()))
                       : std::nullopt);
    EXPECT_EQ(setup.Value(platform::kHkeyLocalMachine, key, "DisplayName"), Sz("Demo"));
    EXPECT_EQ(setup.Value(platform::kHkeyCurrentUser, kUserKey, "UserName"), Sz("Eva"));
  }
}

}  // namespace
