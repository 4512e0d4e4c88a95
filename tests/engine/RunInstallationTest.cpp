// The installation driver: the walk over the script, the disk prompt, the language step,
// the result code, and the progress window's Cancel.
#include <gtest/gtest.h>

#include "tests/engine/CopyHarness.h"

namespace {

using copy_test::BoxLine;
using copy_test::CopyHarness;
using copy_test::Joined;
using copy_test::LinesStarting;

// A harness with the language file ENGLISH.LNG on the medium, chosen for LANG.DLL.
struct Driver : CopyHarness {
  explicit Driver(const std::string& answers = "") : CopyHarness(answers) {
    PutFile("D:\\ENGLISH.LNG", "english");
    main().LangSourceFile = "ENGLISH.LNG";
    main().LangDestFile = "LANG.DLL";
    main().SpaceRequiredKB = 100;
  }
};

const std::vector<std::string> kRefusedRegistryItem = {
    "REGISTRY ITEM",           "KEYROOT=HKEY_LOCAL_MACHINE",
    "KEYLEVEL=SOFTWARE\\Demo", "KEYNAME=Name",
    "KEYNAMEVALUE=v",          "KEYTYPE=STRING",
    "END OF REGISTRY ITEM",
};

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(RunInstallation, ResultCodes) {
  struct Case {
    const char* name;
    std::vector<std::string> script;
    const char* answers;
    bool chooseLanguage;
    bool registryRefused;
    std::int32_t result;
    bool languageCopied;
  };
  const Case cases[] = {
      {"nothing fails", {"COPYTOBASE=A.TXT,A.TXT"}, "", true, false, 0, true},
      {"no copy lines at all", {"CAPTION=Demo"}, "", true, false, 0, true},
      {"no language chosen", {"COPYTOBASE=A.TXT,A.TXT"}, "", false, false, 8, false},
      {"a file given up: 4 overrides 8",
       {"COPYTOBASE=A.TXT,A.TXT", "COPYTOBASE=GONE.TXT,G.TXT"},
       "close",
       false,
       false,
       4,
       false},
      {"a file given up, language still copied",
       {"COPYTOBASE=GONE.TXT,G.TXT", "COPYTOBASE=A.TXT,A.TXT"},
       "click cancbut",
       true,
       false,
       4,
       true},
      {"a file failed: 1 stops the walk",
       {"COPYTOBASE=BUSY.TXT,BUSY.TXT", "COPYTOBASE=A.TXT,A.TXT"},
       "reply ABORT\nreply OK",
       true,
       false,
       1,
       true},
      {"a file failed then the language: 8 wins",
       {"COPYTOBASE=BUSY.TXT,BUSY.TXT", "COPYTOBASE=A.TXT,A.TXT"},
       "reply ABORT\nreply OK",
       false,
       false,
       8,
       false},
      {"registry failed, walk goes on", Concat(kRefusedRegistryItem, {"COPYTOBASE=A.TXT,A.TXT"}),
       "reply OK", true, true, 3, true},
      {"registry failed then no language: 8 wins",
       Concat(kRefusedRegistryItem, {"COPYTOBASE=A.TXT,A.TXT"}), "reply OK", false, true, 8, false},
  };
  for (const Case& c : cases) {
    Driver h(c.answers);
    h.SetScript(c.script);
    h.PutFile("D:\\A.TXT", "a");
    h.PutFile("D:\\BUSY.TXT", "new");
    h.PutFile("C:\\APP\\BUSY.TXT", "old");
    h.SetFileTime("C:\\APP\\BUSY.TXT", copy_test::At(2000, 1, 1, 0, 0, 0));
    h.machine().faults().filesInUse.insert("C:\\APP\\BUSY.TXT");
    h.machine().faults().registryWritesRefused = c.registryRefused;
    if (!c.chooseLanguage) h.main().LangSourceFile.clear();
    EXPECT_EQ(h.main().RunInstallation(), c.result) << c.name << "\n" << Joined(h.transcript());
    EXPECT_EQ(h.ReadFile("C:\\APP\\LANG.DLL").has_value(), c.languageCopied) << c.name;
    EXPECT_FALSE(h.progress().Visible()) << c.name;
    EXPECT_EQ(h.RemainingAnswers(), 0u) << c.name << "\n" << Joined(h.transcript());
    // Nothing after a line whose file failed or was given up is installed.
    if (c.result == 1 || c.result == 4) {
      EXPECT_EQ(h.ReadFile("C:\\APP\\A.TXT").has_value(), c.script[0] == "COPYTOBASE=A.TXT,A.TXT")
          << c.name;
    }
  }
}

TEST(RunInstallation, DiskPromptsOnlyForHigherDisks) {
  Driver h("reply OK\nreply OK");
  h.SetScript({"DISK=2", "DISK=2", "DISK=1", "DISK=abc", "DISK=3"});
  EXPECT_EQ(h.main().RunInstallation(), 0);
  const auto prompt = [](int disk) {
    return BoxLine("Installation", "info", "OK",
                   "Please, insert disk #" + std::to_string(disk) + " into drive D: .");
  };
  EXPECT_EQ(LinesStarting(h.transcript(), "message "),
            (std::vector<std::string>{prompt(2), prompt(3)}));
}

TEST(RunInstallation, CopyLinesByTargetWithCaptionsAndSizes) {
  Driver h("click BTN_YES");
  h.SetScript({"INSTTO=C:\\IGNORED", "COPYTOBASE=A.TXT,help\\a.hlp $$1500$$",
               "COPYTOBASE=A.TXT,b.txt $$x1$$", "COPYTOWIN=A.TXT,win.ini $$2000$$",
               "copytowinsys=A.TXT,sys.dll $$3000$$", "COPYTOBASE=A.TXT,c.txt"});
  h.PutFile("D:\\A.TXT", "a");
  h.PutFile("C:\\WINDOWS\\WIN.INI", "old");
  EXPECT_EQ(h.main().RunInstallation(), 0) << Joined(h.transcript());
  for (const char* path : {"C:\\APP\\HELP\\A.HLP", "C:\\APP\\B.TXT", "C:\\WINDOWS\\WIN.INI",
                           "C:\\WINDOWS\\SYSTEM\\SYS.DLL", "C:\\APP\\C.TXT", "C:\\APP\\LANG.DLL"})
    EXPECT_EQ(h.ReadFile(path), std::string(path).ends_with("LANG.DLL") ? "english" : "a") << path;
  // A size tag that is not a whole number adds nothing.
  EXPECT_EQ(h.main().InstalledTotal, 6500);
  EXPECT_EQ(LinesStarting(h.transcript(), "progress "),
            (std::vector<std::string>{
                "progress \"I am installing files of the application ...\"",
                "progress \"I am installing a system files of the application ...\"",
                "progress \"I am installing files of the application ...\"",
                "progress \"I am installing localization file ...\""}));
  EXPECT_EQ(LinesStarting(h.transcript(), "modal "),
            std::vector<std::string>{"modal TReplForm \"Confirm to overwrite the file\""});
}

TEST(RunInstallation, ProgressWindowIsPreparedAndClosed) {
  Driver h;
  h.SetScript({"COPYTOBASE=A.TXT,A.TXT $$250000$$"});
  h.PutFile("D:\\A.TXT", "a");
  h.main().SpaceRequiredKB = 500;
  EXPECT_EQ(h.main().RunInstallation(), 0);
  TProcessForm& p = h.progress();
  EXPECT_FALSE(p.Visible());
  EXPECT_EQ(p.Gauge.Max(), 500);
  EXPECT_EQ(p.Label1.Caption(), "Destination:");
  EXPECT_EQ(p.Label2.Caption(), "Source:");
  EXPECT_EQ(p.DestLab.Caption(), "C:\\APP\\LANG.DLL");
  p.UpdateProgress();
  EXPECT_EQ(p.GaugeLab.Caption(), "50%");
}

TEST(RunInstallation, CancelThenContinueKeepsGoing) {
  Driver h("click Button1\nclick Button1");
  h.SetScript({"COPYTOBASE=A.TXT,A.TXT", "COPYTOBASE=A.TXT,B.TXT"});
  h.PutFile("D:\\A.TXT", "a");
  EXPECT_EQ(h.main().RunInstallation(), 0) << Joined(h.transcript());
  EXPECT_EQ(LinesStarting(h.transcript(), "modal "),
            std::vector<std::string>{"modal TExitForm \"End of the installation\""});
  EXPECT_TRUE(h.ReadFile("C:\\APP\\B.TXT").has_value());
  EXPECT_TRUE(h.ReadFile("C:\\APP\\LANG.DLL").has_value());
  EXPECT_FALSE(h.app().Terminated());
}

TEST(RunInstallation, CancelThenEndStopsBeforeTheNextLine) {
  // The overwrite question of the first line is answered, then Cancel is pressed while
  // that file is being copied and the user chooses to end.
  Driver h("click BTN_YES\nclick Button1\nclick Button2");
  h.SetScript({"COPYTOWIN=A.TXT,A.TXT", "COPYTOBASE=A.TXT,B.TXT", "UNINSTALL=1"});
  h.PutFile("D:\\A.TXT", "a");
  h.PutFile("C:\\WINDOWS\\A.TXT", "old");
  h.main().WantUninstall = true;
  EXPECT_EQ(h.main().RunInstallation(), 5) << Joined(h.transcript());
  EXPECT_TRUE(h.main().Interrupted);
  EXPECT_TRUE(h.app().Terminated());
  EXPECT_EQ(h.ReadFile("C:\\WINDOWS\\A.TXT"), "a");
  EXPECT_FALSE(h.ReadFile("C:\\APP\\B.TXT").has_value());
  EXPECT_FALSE(h.ReadFile("C:\\APP\\LANG.DLL").has_value());
  EXPECT_FALSE(h.progress().Visible());
}

TEST(RunInstallation, ANewRunForgetsTheToAllAnswersAndTheFlags) {
  Driver h("click BTN_NOTOALL\nclick BTN_YES");
  h.SetScript({"COPYTOWIN=A.TXT,A.TXT"});
  h.PutFile("D:\\A.TXT", "a");
  h.PutFile("C:\\WINDOWS\\A.TXT", "old");
  h.main().SourceAbandoned = true;
  EXPECT_EQ(h.main().RunInstallation(), 0);
  EXPECT_EQ(h.ReadFile("C:\\WINDOWS\\A.TXT"), "old");
  EXPECT_EQ(h.main().RunInstallation(), 0);
  EXPECT_EQ(h.ReadFile("C:\\WINDOWS\\A.TXT"), "a");
  EXPECT_EQ(LinesStarting(h.transcript(), "modal TReplForm").size(), 2u);
}

}  // namespace

namespace {

TEST(RunInstallation, AnInterruptedRunStillAsksForAMissingLanguageFile) {
  // The COM registration of A.DLL fails and is cancelled; the language step follows and
  // asks for its missing source, and giving that up outranks the interruption.
  Driver h("reply CANCEL\nreply OK\nclose");
  h.SetScript({"COPYTOBASE=A.TXT,A.DLL,REGDLL"});
  h.PutFile("D:\\A.TXT", "no entry points");
  h.main().LangSourceFile = "MISSING.LNG";
  EXPECT_EQ(h.main().RunInstallation(), 4) << Joined(h.transcript());
  EXPECT_TRUE(h.main().Interrupted);
  EXPECT_EQ(LinesStarting(h.transcript(), "modal TNotFileForm").size(), 1u)
      << Joined(h.transcript());
  EXPECT_EQ(h.RemainingAnswers(), 0u);
}

}  // namespace
