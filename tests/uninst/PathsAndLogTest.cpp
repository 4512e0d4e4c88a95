// The uninstaller's path containment and its reading of the uninstall log.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/IniText.h"
#include "uninst/SafePaths.h"
#include "uninst/UninstallLog.h"

namespace {

using uninst::CopyKind;

TEST(UninstPaths, JoinInsideKeepsNamesBelowTheDirectory) {
  struct Case {
    const char* name;
    const char* directory;
    const char* relative;
    const char* expected;  // "" when the name must be refused
  };
  const Case cases[] = {
      {"plain name", "C:\\APP", "demo.exe", "C:\\APP\\demo.exe"},
      {"subdirectory", "C:\\APP\\", "help\\demo.hlp", "C:\\APP\\help\\demo.hlp"},
      {"dot and doubled separators", "C:\\APP", ".\\help\\\\x.hlp", "C:\\APP\\help\\x.hlp"},
      {"forward slash", "C:\\APP", "help/x.hlp", "C:\\APP\\help\\x.hlp"},
      {"dot-dot that stays inside", "C:\\APP", "help\\..\\x.dat", "C:\\APP\\x.dat"},
      {"dot-dot out of the directory", "C:\\APP", "..\\boot.ini", ""},
      {"dot-dot into a sibling with the same prefix", "C:\\APP", "..\\APPX\\a", ""},
      {"the directory itself", "C:\\APP", ".", ""},
      {"absolute name", "C:\\APP", "C:\\AUTOEXEC.BAT", ""},
      {"rooted name", "C:\\APP", "\\AUTOEXEC.BAT", ""},
      {"drive-relative name", "C:\\APP", "D:x", ""},
      {"empty name", "C:\\APP", "", ""},
      {"relative directory", "APP", "x", ""},
      {"above the drive", "C:\\", "..\\..\\x", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(uninst::JoinInside(c.directory, c.relative), c.expected) << c.name;
  }
}

TEST(UninstPaths, IsInsideIgnoresLetterCaseOnly) {
  EXPECT_TRUE(uninst::IsInside("c:\\app\\X", "C:\\APP"));
  EXPECT_FALSE(uninst::IsInside("C:\\APPX\\a", "C:\\APP"));
  EXPECT_FALSE(uninst::IsInside("C:\\APP", "C:\\APP\\"));
  EXPECT_FALSE(uninst::IsInside("D:\\APP\\a", "C:\\APP"));
  EXPECT_EQ(uninst::ParentOf("C:\\A\\B"), "C:\\A");
  EXPECT_EQ(uninst::ParentOf("C:\\A"), "C:");
  EXPECT_EQ(uninst::ParentOf("C:"), "");
}

TEST(UninstLog, LastLineWithoutItsLineEndWasCutShort) {
  EXPECT_EQ(uninst::CompleteLines("A=1\r\nB=2\r\n"), (std::vector<std::string>{"A=1", "B=2"}));
  EXPECT_EQ(uninst::CompleteLines("A=1\r\nCOPYTOBASE=x,de"), (std::vector<std::string>{"A=1"}));
  EXPECT_TRUE(uninst::CompleteLines("").empty());
}

TEST(UninstLog, NamesWhatTheInstallerWouldHaveWritten) {
  const std::vector<std::string> lines = {
      "InstTo=C:\\OLD",
      "CAPTION=Demo",
      "LANG=English,demo_en.dl_,demo.lng",
      "LANG=Deutsch,demo_de.dl_",
      "MakeGroup=My, Tools $",
      "COPYTOBASE=demo.ex_,demo.exe$$1200$$",
      "copytowinsys=ctl.oc_,democtl.ocx,REG",
      "COPYTOWIN=w.in_,demo.ini",
      "GROUP ITEM",
      "FILE=<TOPATH>\\demo.exe",
      "TITLE=Demo, the program",
      "END OF GROUP ITEM",
      "GROUP ITEM",
      "TITLE=never queued",
      "end of group item ",  // a blank after the end words: not an end line
      "INI FILE=demo.ini, extra",
      "Home=<TOPATH>",
      "SECTION=Paths",
      " Data = x",
      "END OF INI",
      "REGISTRY ITEM",
      "KEYROOT=HKEY_LOCAL_MACHINE",
      "KEYLEVEL=SOFTWARE\\A\\B",
      "KEYNAME=Path",
      "KEYNAMEVALUE=C:\\X",
      "KEYTYPE=String",
      "end of registry item",
      "REGISTRY ITEM",
      "KEYROOT=HKEY_CURRENT_USER",
      "KEYNAME=Ignored",
      "KEYNAMEVALUE=1",
      "KEYTYPE=BINARY",
      "END OF REGISTRY ITEM",
      "InstTo=C:\\NEW",
  };
  const uninst::UninstallLog log = uninst::ReadUninstallLog(lines);
  EXPECT_EQ(log.installTo, "C:\\NEW");
  EXPECT_EQ(log.folder, "My, Tools $");
  EXPECT_EQ(log.languageFiles, std::vector<std::string>{"demo.lng"});
  EXPECT_EQ(log.files, (std::vector<uninst::CopiedFile>{{CopyKind::Base, "demo.exe"},
                                                        {CopyKind::System, "democtl.ocx"},
                                                        {CopyKind::Windows, "demo.ini"}}));
  // The second item block never ends (its "end" line has a trailing blank), so it also
  // swallows the INI and registry blocks after it, as the installer's walk does.
  EXPECT_EQ(log.itemTitles, std::vector<std::string>{"Demo, the program"});
  EXPECT_TRUE(log.iniEntries.empty());
  EXPECT_TRUE(log.registryValues.empty());
}

TEST(UninstLog, BlocksNameEntriesAndValues) {
  const std::vector<std::string> lines = {
      "INI FILE=demo.ini, extra",
      "Home=<TOPATH>",
      "SECTION=Paths",
      " Data = x",
      "END OF INI",
      "REGISTRY ITEM",
      "KEYROOT=HKEY_LOCAL_MACHINE",
      "KEYLEVEL=SOFTWARE\\A\\B",
      "KEYNAME=Path",
      "KEYNAMEVALUE=C:\\X",
      "KEYTYPE=String",
      "end of registry item",
      "REGISTRY ITEM",
      "KEYROOT=HKEY_CURRENT_USER",
      "KEYNAME=Ignored",
      "KEYNAMEVALUE=1",
      "KEYTYPE=BINARY",
      "END OF REGISTRY ITEM",
      "REGISTRY ITEM",
      "KEYROOT=HKEY_CURRENT_USER",
      "KEYNAME=NoData",
      "KEYTYPE=STRING",
      "END OF REGISTRY ITEM",
      "INI FILE=cut.ini",
      "SECTION=S",
      "Written=before the cut",
      "REGISTRY ITEM",
      "KEYROOT=HKEY_CURRENT_USER",
      "KEYNAME=NoEnd",
      "KEYNAMEVALUE=1",
      "KEYTYPE=INTEGER",
  };
  const uninst::UninstallLog log = uninst::ReadUninstallLog(lines);
  // The unended INI block runs to the end, so its lines are all entries, as the installer
  // wrote them.
  ASSERT_EQ(log.iniEntries.size(), 8u);
  EXPECT_EQ(log.iniEntries[0], (uninst::IniEntry{"demo.ini", "", "Home"}));
  EXPECT_EQ(log.iniEntries[1], (uninst::IniEntry{"demo.ini", "Paths", " Data "}));
  EXPECT_EQ(log.iniEntries[2], (uninst::IniEntry{"cut.ini", "S", "Written"}));
  EXPECT_EQ(log.iniEntries[3], (uninst::IniEntry{"cut.ini", "S", ""}));  // "REGISTRY ITEM"
  ASSERT_EQ(log.registryValues.size(), 1u);
  EXPECT_EQ(log.registryValues[0],
            (uninst::RegistryValue{"HKEY_LOCAL_MACHINE", "SOFTWARE\\A\\B", "Path"}));
}

TEST(UninstLog, OnlyTheRewrittenGroupLineNamesAFolder) {
  EXPECT_FALSE(uninst::ReadUninstallLog({"MAKE GROUP=YES"}).folder.has_value());
  EXPECT_FALSE(uninst::ReadUninstallLog({"MAKEGROUP=YES"}).folder.has_value());
  EXPECT_EQ(uninst::ReadUninstallLog({"MakeGroup="}).folder, "");
}

TEST(UninstIniText, SectionsAndBlankFiles) {
  const std::string text = "[Empty]\r\n\r\n[ Paths ]\r\nHome=C:\\APP\r\n[Other]\r\n";
  EXPECT_FALSE(script::SectionHasLines(text, "Empty"));
  EXPECT_TRUE(script::SectionHasLines(text, "paths"));
  EXPECT_FALSE(script::SectionHasLines(text, "Other"));
  EXPECT_FALSE(script::SectionHasLines(text, "Missing"));
  EXPECT_TRUE(script::HasSection(text, " empty "));
  EXPECT_FALSE(script::HasSection(text, "Missing"));
  EXPECT_TRUE(script::IsBlankText(" \r\n\t\r\n"));
  EXPECT_FALSE(script::IsBlankText("[S]\r\n"));
}

}  // namespace
