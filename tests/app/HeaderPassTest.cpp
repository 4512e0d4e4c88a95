// What the header pass takes from the script, read back from the windows after the run.
#include <gtest/gtest.h>

#include "tests/support/SetupHarness.h"
#include "wizard/BackNext.h"

namespace {

using testing_support::SetupHarness;

constexpr const char* kCancelAtOnce = "click cancBut\nclick Button2\n";

struct HeaderState {
  std::string caption;
  std::string installDir;
  std::string groupName;
  std::int32_t spaceKB = 0;
  bool reboot = false;
  bool uninstall = false;
  bool compressed = false;
  std::vector<std::string> languages, sources, dests;
};

HeaderState RunHeader(const std::vector<std::string>& script) {
  SetupHarness setup;
  setup.SetScript(script);
  HeaderState state;
  const auto run = setup.Run(kCancelAtOnce, [&](SetupForms& forms) {
    const TMainForm& main = *forms.MainForm;
    state.caption = main.LTitleA.Caption();
    state.installDir = main.InstallDir;
    state.groupName = main.GroupName;
    state.spaceKB = main.SpaceRequiredKB;
    state.reboot = main.RebootNeeded;
    state.uninstall = main.WantUninstall;
    state.compressed = main.Compressed;
    state.languages = forms.WizForm->PageKLBX1.Items();
    state.sources = forms.WizForm->PageKLBX1Input.Items();
    state.dests = forms.WizForm->PageKLBX1OutPut.Items();
  });
  EXPECT_EQ(run.stopCode, 0) << run.stopMessage;
  return state;
}

TEST(HeaderPass, KeysMatchInAnyCaseAndValuesAreTrimmed) {
  const HeaderState state = RunHeader({"  caption =  My Product  ", "insTTo= C:\\Apps\\My "});
  EXPECT_EQ(state.caption, "My Product");
  EXPECT_EQ(state.groupName, "My Product");
  EXPECT_EQ(state.installDir, "C:\\Apps\\My");
}

TEST(HeaderPass, LastValueWinsAndFlagsCannotBeCleared) {
  const HeaderState state =
      RunHeader({"CAPTION=First", "CAPTION=Second", "PROCESS=1000", "PROCESS=1999", "REBOOT=YES",
                 "REBOOT=NO", "UNINSTALL=true", "UNINSTALL=FALSE", "COMPRESSED=Yes"});
  EXPECT_EQ(state.caption, "Second");
  EXPECT_EQ(state.spaceKB, 1);
  EXPECT_TRUE(state.reboot);
  EXPECT_TRUE(state.uninstall);
  EXPECT_TRUE(state.compressed);
}

TEST(HeaderPass, FlagsOnlyForTrueOrYes) {
  const HeaderState state = RunHeader({"REBOOT=1", "UNINSTALL=on", "COMPRESSED= no "});
  EXPECT_FALSE(state.reboot);
  EXPECT_FALSE(state.uninstall);
  EXPECT_FALSE(state.compressed);
}

TEST(HeaderPass, ProcessBelowOneThousandIsZeroKB) {
  EXPECT_EQ(RunHeader({"PROCESS=999"}).spaceKB, 0);
  EXPECT_EQ(RunHeader({"PROCESS=1850000"}).spaceKB, 1850);
  // A byte count beyond 32 bits is still a whole number; the KB figure is held in range.
  EXPECT_EQ(RunHeader({"PROCESS=3000000000"}).spaceKB, 3000000);
  EXPECT_EQ(RunHeader({"PROCESS=+9223372036854775807"}).spaceKB, 2147483647);
  EXPECT_EQ(RunHeader({"PROCESS=-9223372036854775808"}).spaceKB, -2147483647 - 1);
}

TEST(HeaderPass, LanguageListsStayAligned) {
  const HeaderState state = RunHeader({"LANG=English,demo_en.dl_,demo.lng",
                                       "LANG=Deutsch,demo_de.dl_", "LANG=Cesky,c.dl_,c.lng,x"});
  EXPECT_EQ(state.languages, (std::vector<std::string>{"English", "Deutsch", "Cesky"}));
  EXPECT_EQ(state.sources, (std::vector<std::string>{"demo_en.dl_", "demo_de.dl_", "c.dl_"}));
  EXPECT_EQ(state.dests, (std::vector<std::string>{"demo.lng", "", "c.lng"}));
}

TEST(HeaderPass, BlockLinesAreReadToo) {
  const HeaderState state =
      RunHeader({"CAPTION=Outer", "INI FILE=demo.ini", "Caption=Inner", "END OF INI"});
  EXPECT_EQ(state.caption, "Inner");
}

TEST(HeaderPass, NoCaptionLeavesTitleAndGroupEmpty) {
  const HeaderState state = RunHeader({"INSTTO=C:\\X", "OSTYPE=WIN2000"});
  EXPECT_EQ(state.caption, "");
  EXPECT_EQ(state.groupName, "");
}

}  // namespace
