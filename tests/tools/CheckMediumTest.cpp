// setup-check's findings: each case is a medium that shows one mistake, with the exact
// lines the checker must print for it.
#include <gtest/gtest.h>

#include "script/TextLines.h"
#include "tests/tools/MediumFolder.h"
#include "tools/medium/CheckMedium.h"
#include "tools/medium/Szdd.h"

namespace {

using medium::testing::ScratchDir;
using medium::testing::TinyDll;
using Lines = std::vector<std::string>;

// A clean medium of six lines; a case adds its lines after them (from line 7 on).
Lines Base(const Lines& extra, const std::string& process = "10") {
  Lines lines = {"InstTo=C:\\App",
                 "CAPTION=App",
                 "PROCESS=" + process,
                 "UNINSTALL=YES",
                 "LANG=English,en.lng,app.lng",
                 "COPYTOBASE=a.dat,a.dat$$5$$"};
  lines.insert(lines.end(), extra.begin(), extra.end());
  return lines;
}

const std::string kData = "0123456789abcdefghij";  // 20 bytes

struct Case {
  std::string name;
  Lines script;
  std::map<std::string, std::string> files;  // beside the base's a.dat, en.lng, uninstkp.exe
  Lines expected;
  std::optional<std::uint32_t> platformId = std::nullopt;
};

Lines Check(const Case& c) {
  ScratchDir dir("check");
  dir.PutScript(c.script);
  dir.Put("a.dat", "aaaaa");
  dir.Put("en.lng", "lang!");
  dir.Put("uninstkp.exe", "");  // a case that counts the uninstaller's size gives one
  for (const auto& [name, bytes] : c.files) dir.Put(name, bytes);
  const std::optional<medium::MediumDir> medium = medium::MediumDir::Open(dir.path());
  EXPECT_TRUE(medium);
  std::vector<medium::Finding> findings =
      medium::CheckMedium(*medium, c.script, {c.platformId, {}});
  std::stable_sort(findings.begin(), findings.end(),
                   [](const auto& a, const auto& b) { return a.line < b.line; });
  Lines printed;
  for (const medium::Finding& finding : findings) printed.push_back(medium::FormatFinding(finding));
  return printed;
}

void RunCases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Check(c), c.expected);
  }
}

TEST(CheckMedium, CleanMediumHasNoFinding) {
  RunCases({{"base", Base({}), {}, {}},
            {"case of names, subdirectory, group, INI and registry blocks",
             Base({"MakeGroup=YES",
                   "COPYTOBASE=SUB\\B.DAT,sub\\b.dat$$5$$",
                   "GROUP ITEM",
                   "FILE=<TOPATH>\\a.dat",
                   "TITLE=A",
                   "PATH=<TOPATH>",
                   "END OF GROUP ITEM",
                   "INI FILE=app.ini",
                   "SECTION=S",
                   "Home=<TOPATH>",
                   "END OF INI",
                   "REGISTRY ITEM",
                   "KEYROOT=HKEY_LOCAL_MACHINE",
                   "KEYLEVEL=SOFTWARE\\App",
                   "KEYNAME=Count",
                   "KEYNAMEVALUE=$10",
                   "KEYTYPE=INTEGER",
                   "END OF REGISTRY ITEM",
                   "DISK=2",
                   "COPYTOWINSYS=ctl.dll,ctl.dll,REG$$1024$$"},
                  "1039"),
             {{"sub/b.dat", "bbbbb"}, {"ctl.dll", TinyDll("DllRegisterServer")}},
             {}}});
}

TEST(CheckMedium, KeysAndBlocks) {
  RunCases({
      {"mistyped key",
       Base({"COPYTOBSE=a.dat,b.dat$$5$$"}),
       {},
       {"Setup.Inf:7: error: unknown key COPYTOBSE (did you mean COPYTOBASE?); the line is "
        "ignored"}},
      {"mistyped header key",
       Base({"CAPTOIN=App"}),
       {},
       {"Setup.Inf:7: warning: unknown key CAPTOIN (did you mean CAPTION?); the line is ignored"}},
      {"unknown key far from every known one",
       Base({"VENDOR=Someone"}),
       {},
       {"Setup.Inf:7: warning: unknown key VENDOR; the line is ignored"}},
      {"block without its end line",
       Base({"INI FILE=app.ini", "SECTION=S", "COPYTOBASE=a.dat,b.dat$$5$$"}),
       {},
       {"Setup.Inf:7: error: INI FILE block without END OF INI: the rest of the script (2 lines) "
        "is read as this block and its items are dropped"}},
      {"unknown key inside a registry item",
       Base({"REGISTRY ITEM", "KEYROOT=HKEY_CURRENT_USER", "KEYNAM=x", "KEYNAMEVALUE=1",
             "KEYTYPE=STRING", "END OF REGISTRY ITEM"}),
       {},
       {"Setup.Inf:7: error: REGISTRY ITEM without KEYNAME: nothing is written",
        "Setup.Inf:9: warning: unknown key KEYNAM in a REGISTRY ITEM block (did you mean "
        "KEYNAME?); "
        "the line is ignored"}},
      {"a key the registry item lacks, mistyped far off",
       Base({"REGISTRY ITEM", "KEYROOT=HKEY_LOCAL_MACHINE", "KEYPATH=SOFTWARE\\App",
             "KEYNAME=Version", "KEYNAMEVALUE=1.0", "KEYTYPE=STRING", "END OF REGISTRY ITEM"}),
       {},
       {"Setup.Inf:7: error: REGISTRY ITEM without KEYLEVEL: the value is written on the root key "
        "HKEY_LOCAL_MACHINE itself",
        "Setup.Inf:9: warning: unknown key KEYPATH in a REGISTRY ITEM block (did you mean "
        "KEYLEVEL?); the line is ignored"}},
      {"group item keys: one mistyped, one far from all",
       Base({"MakeGroup=YES", "GROUP ITEM", "FILE=<TOPATH>\\a.dat", "TITEL=A", "ICON=a.ico",
             "PATH=<TOPATH>", "END OF GROUP ITEM"}),
       {},
       {"Setup.Inf:8: warning: GROUP ITEM without TITLE",
        "Setup.Inf:10: warning: unknown key TITEL in a GROUP ITEM block (did you mean TITLE?); the "
        "line is ignored",
        "Setup.Inf:11: warning: unknown key ICON in a GROUP ITEM block; the line is ignored"}},
      {"group item without its end line",
       Base({"MakeGroup=YES", "GROUP ITEM", "FILE=x"}),
       {},
       {"Setup.Inf:8: error: GROUP ITEM block without END OF GROUP ITEM: the rest of the script "
        "(1 line) is read as this block and its items are dropped"}},
  });
}

TEST(CheckMedium, SourceFilesAndDestinations) {
  RunCases({
      {"source missing",
       Base({"COPYTOBASE=c.dat,c.dat$$5$$"}),
       {},
       {"Setup.Inf:7: error: source file c.dat is not on the medium"}},
      {"no LANG line",
       {"InstTo=C:\\App", "PROCESS=5", "COPYTOBASE=a.dat,a.dat$$5$$"},
       {},
       {"Setup.Inf: error: no LANG line: the wizard stops the installation"}},
      {"language file missing",
       Base({"LANG=Deutsch,de.lng,app.lng"}),
       {},
       {"Setup.Inf:7: error: language file de.lng is not on the medium"}},
      {"empty destination",
       Base({"COPYTOBASE=a.dat,$$5$$"}, "15"),
       {},
       {"Setup.Inf:7: error: copy line with an empty destination"}},
      {"destination out of its directory",
       Base({"COPYTOBASE=a.dat,..\\evil.dat$$5$$"}, "15"),
       {},
       {"Setup.Inf:7: error: destination ..\\evil.dat leads out of its directory"}},
      {"destination naming a device",
       Base({"COPYTOWIN=a.dat,sub\\nul.txt$$5$$"}, "15"),
       {},
       {"Setup.Inf:7: error: destination sub\\nul.txt names a device"}},
      {"destination too long",
       Base({"COPYTOBASE=a.dat," + std::string(253, 'd') + "$$5$$"}, "15"),
       {},
       {"Setup.Inf:7: error: destination C:\\App\\" + std::string(253, 'd') +
        " is 260 characters long, more than a path may have (259)"}},
      {"destination the directory itself",
       Base({"COPYTOBASE=a.dat,.$$5$$"}, "15"),
       {},
       {"Setup.Inf:7: error: destination . names a folder, not a file: the copy fails (result 1)"}},
      {"destination a folder",
       Base({"COPYTOWIN=a.dat,sub\\$$5$$"}, "15"),
       {},
       {"Setup.Inf:7: error: destination sub\\ names a folder, not a file: the copy fails "
        "(result 1)"}},
      {"destination with a wildcard",
       Base({"COPYTOBASE=a.dat,a?.dat$$5$$"}, "15"),
       {},
       {"Setup.Inf:7: error: destination a?.dat holds a character no file name may have "
        "(<>\"|?* or a control character): the copy fails (result 1)"}},
      {"language file out of its directory",
       Base({"LANG=Deutsch,en.lng,..\\p.lng"}),
       {},
       {"Setup.Inf:7: error: destination ..\\p.lng leads out of its directory"}},
      {"language file a device",
       Base({"LANG=Deutsch,en.lng,CON"}),
       {},
       {"Setup.Inf:7: error: destination CON names a device"}},
      {"language file too long",
       Base({"LANG=Deutsch,en.lng," + std::string(293, 'l')}),
       {},
       {"Setup.Inf:7: error: destination C:\\App\\" + std::string(293, 'l') +
        " is 300 characters long, more than a path may have (259)"}},
      {"two lines, one destination",
       Base({"COPYTOBASE=a.dat,A.DAT$$5$$"}, "15"),
       {},
       {"Setup.Inf:7: warning: destination A.DAT is also written by line 6"}},
  });
}

TEST(CheckMedium, CompressionAndSizes) {
  const std::string packed = medium::CompressSzdd(kData, 'T');
  RunCases({
      {"SZDD file without COMPRESSED=YES",
       Base({"COPYTOBASE=z.da_,z.dat$$" + std::to_string(packed.size()) + "$$"},
            std::to_string(10 + packed.size())),
       {{"z.da_", packed}},
       {"Setup.Inf:7: error: z.da_ is compressed (SZDD) but the script has no COMPRESSED=YES: it "
        "would be installed compressed"}},
      {"SZDD file cut short",
       Base({"COMPRESSED=YES", "COPYTOBASE=z.da_,z.dat$$20$$"}, "30"),
       {{"z.da_", packed.substr(0, packed.size() - 3)}},
       {"Setup.Inf:8: error: z.da_ cannot be expanded: it is cut short: it expands to 17 of the 20 "
        "bytes its header declares"}},
      {"compressed sizes count expanded",
       Base({"COMPRESSED=YES", "COPYTOBASE=z.da_,z.dat$$20$$"}, "30"),
       {{"z.da_", packed}},
       {}},
      {"size tag missing",
       Base({"COPYTOBASE=b.dat,b.dat"}, "15"),
       {{"b.dat", "bbbbb"}},
       {"Setup.Inf:7: warning: copy line without a size tag; b.dat is 5 bytes installed ($$5$$)"}},
      {"size tag wrong",
       Base({"COPYTOBASE=b.dat,b.dat$$50$$"}, "15"),
       {{"b.dat", "bbbbb"}},
       {"Setup.Inf:7: warning: size tag 50 is not the installed size of b.dat (5 bytes)"}},
      {"PROCESS no whole number",
       Base({}, "10.5"),
       {},
       {"Setup.Inf:3: error: PROCESS 10.5 is not a whole number: the installation stops at "
        "start-up"}},
      {"PROCESS too small",
       Base({}, "9"),
       {},
       {"Setup.Inf:3: error: PROCESS 9 is smaller than the installed files (10 bytes): the "
        "disk-space check lets too small a disk pass"}},
      {"PROCESS without the uninstaller, which the installation writes too",
       Base({}),
       {{"uninstkp.exe", "MZ" + std::string(18, 'u')}},
       {"Setup.Inf:3: error: PROCESS 10 is smaller than the installed files (30 bytes): the "
        "disk-space check lets too small a disk pass"}},
      {"PROCESS more than twice the files",
       Base({}, "21"),
       {},
       {"Setup.Inf:3: warning: PROCESS 21 is more than twice the installed files (10 bytes)"}},
  });
}

TEST(CheckMedium, RegistryItems) {
  const auto item = [](const std::string& root, const std::string& value, const std::string& type) {
    Lines lines = {"REGISTRY ITEM"};
    if (!root.empty()) lines.push_back("KEYROOT=" + root);
    lines.push_back("KEYNAME=N");
    lines.push_back("KEYNAMEVALUE=" + value);
    if (!type.empty()) lines.push_back("KEYTYPE=" + type);
    lines.push_back("KEYLEVEL=Software\\Tavrin");
    lines.push_back("END OF REGISTRY ITEM");
    return Base(lines);
  };
  RunCases({
      {"KEYTYPE missing",
       item("HKEY_USERS", "1", ""),
       {},
       {"Setup.Inf:7: error: REGISTRY ITEM without KEYTYPE: nothing is written"}},
      {"KEYTYPE no type",
       item("HKEY_USERS", "1", "DWORD"),
       {},
       {"Setup.Inf:11: error: KEYTYPE DWORD is no type (INTEGER, STRING or BOOLEAN): no value is "
        "written"}},
      {"KEYROOT no root (case counts)",
       item("hkey_users", "1", "STRING"),
       {},
       {"Setup.Inf:8: warning: KEYROOT hkey_users is no root key; the value goes under "
        "HKEY_CURRENT_USER"}},
      {"INTEGER reading as 0",
       item("HKEY_USERS", "12abc", "integer"),
       {},
       {"Setup.Inf:10: warning: KEYNAMEVALUE 12abc is not a whole number; INTEGER writes 0"}},
      {"INTEGER written as 0", item("HKEY_USERS", "-0", "INTEGER"), {}, {}},
      {"BOOLEAN neither true nor false",
       item("HKEY_USERS", "yes", "BOOLEAN"),
       {},
       {"Setup.Inf:10: warning: KEYNAMEVALUE yes is neither TRUE nor FALSE; BOOLEAN writes 0"}},
      {"BOOLEAN false", item("HKEY_USERS", "False", "BOOLEAN"), {}, {}},
      {"KEYLEVEL missing",
       Base({"REGISTRY ITEM", "KEYROOT=HKEY_LOCAL_MACHINE", "KEYNAME=Version", "KEYNAMEVALUE=1.0",
             "KEYTYPE=STRING", "END OF REGISTRY ITEM"}),
       {},
       {"Setup.Inf:7: error: REGISTRY ITEM without KEYLEVEL: the value is written on the root key "
        "HKEY_LOCAL_MACHINE itself"}},
      {"KEYLEVEL of backslashes only",
       Base({"REGISTRY ITEM", "KEYROOT=HKEY_USERS", "KEYLEVEL=\\\\", "KEYNAME=N", "KEYNAMEVALUE=1",
             "KEYTYPE=STRING", "END OF REGISTRY ITEM"}),
       {},
       {"Setup.Inf:9: error: KEYLEVEL \\\\ names no key below the root: the value is written on "
        "the root key HKEY_USERS itself"}},
  });
}

TEST(CheckMedium, GroupsAndCom) {
  const std::string dll = TinyDll("DllRegisterServer");
  const std::string other = TinyDll("DllCanUnloadNow");
  const std::string tlb = std::string("MSFT\x02\x00\x01\x00", 8) + std::string(64, '\0');
  const auto sized = [](const std::string& bytes) { return std::to_string(bytes.size()); };
  RunCases({
      {"group item without MAKE GROUP",
       Base({"GROUP ITEM", "FILE=a", "TITLE=b", "PATH=c", "END OF GROUP ITEM"}),
       {},
       {"Setup.Inf:7: error: GROUP ITEM without a MAKE GROUP line in the script: no group command "
        "is sent"}},
      {"group item lacking fields",
       Base({"MakeGroup=YES", "GROUP ITEM", "TITLE=b", "PATH=\\", "END OF GROUP ITEM"}),
       {},
       {"Setup.Inf:8: error: GROUP ITEM without FILE: the item starts nothing",
        "Setup.Inf:8: warning: GROUP ITEM without PATH"}},
      {"REG on a file without the export",
       Base({"COPYTOWINSYS=o.dll,o.dll,REG$$" + sized(other) + "$$"},
            std::to_string(10 + other.size())),
       {{"o.dll", other}},
       {"Setup.Inf:7: error: REG on o.dll, which has no DllRegisterServer export"}},
      {"REG on an EXE server is left to the server",
       Base({"COPYTOBASE=o.exe,o.exe,REG$$2$$"}, "12"),
       {{"o.exe", "MZ"}},
       {}},
      {"REGTLB on no type library",
       Base({"COPYTOWINSYS=o.dll,o.tlb,REGTLB$$" + sized(dll) + "$$"},
            std::to_string(10 + dll.size())),
       {{"o.dll", dll}},
       {"Setup.Inf:7: error: REGTLB on o.tlb, which is no type library"}},
      {"REGTLB on a type library",
       Base({"COPYTOWINSYS=l.tlb,l.tlb,regtlb$$" + sized(tlb) + "$$"},
            std::to_string(10 + tlb.size())),
       {{"l.tlb", tlb}},
       {}},
  });
}

TEST(CheckMedium, HeaderAndLayout) {
  RunCases({
      {"disks going down and repeating",
       Base({"DISK=3", "DISK=3", "DISK=2"}),
       {},
       {"Setup.Inf:8: warning: DISK 3 does not go past disk 3; no disk is asked for",
        "Setup.Inf:9: warning: DISK 2 does not go past disk 3; no disk is asked for"}},
      {"unknown OSTYPE and CSDVERSION",
       Base({"OSTYPE=WIN98", "CSDVERSION=SP3"}),
       {},
       {"Setup.Inf:7: warning: OSTYPE WIN98 is not known (WIN95, WINNT, WIN95/NT, WINNT/95); no "
        "check is made",
        "Setup.Inf:8: warning: CSDVERSION SP3 is no service-pack text the system gives (Service "
        "Pack N); "
        "the check fails on every system"}},
      {"OSTYPE for the other family",
       Base({"OSTYPE=WINNT", "CSDVERSION=Service Pack 3"}),
       {},
       {"Setup.Inf:7: error: OSTYPE WINNT stops the installation on Windows 95"},
       1},
  });
}

TEST(CheckMedium, WhatTheInstallationGetsWrongUnnoticed) {
  const auto item = [](const std::string& file, const std::string& title) {
    return Base({"MakeGroup=YES", "GROUP ITEM", "FILE=" + file, "TITLE=" + title, "PATH=<TOPATH>",
                 "END OF GROUP ITEM"});
  };
  RunCases({
      {"UNINSTALL=YES without CAPTION",
       {"InstTo=C:\\App", "PROCESS=10", "UNINSTALL=YES", "LANG=English,en.lng,app.lng",
        "COPYTOBASE=a.dat,a.dat$$5$$"},
       {},
       {"Setup.Inf:3: error: UNINSTALL=YES but the script has no CAPTION: the uninstall entry is "
        "named by it, so no entry, log or uninstaller is made"}},
      {"no InstTo line",
       {"CAPTION=App", "PROCESS=10", "LANG=English,en.lng,app.lng", "COPYTOBASE=a.dat,a.dat$$5$$"},
       {},
       {"Setup.Inf: error: no InstTo line: the destination page offers no directory and the "
        "installation cannot go on (write, say, InstTo=C:\\Program Files\\Product)"}},
      {"InstTo empty",
       Base({"InstTo= "}),
       {},
       {"Setup.Inf:7: error: InstTo is empty: the destination page offers no directory and the "
        "installation cannot go on (write, say, InstTo=C:\\Program Files\\Product)"}},
      {"INI lines before the first SECTION=",
       Base({"INI FILE=app.ini", "[Settings]", "SECTION=Settings", "a=1", "END OF INI"}),
       {},
       {"Setup.Inf:8: warning: INI line before the first SECTION= of its block: it is written as "
        "an entry of no section, at the top of the file ([Settings])"}},
      {"UTF-8 in CAPTION",
       Base({"CAPTION=P\xC5\x99\xC3\xADli\xC5\xA1"}),
       {},
       {"Setup.Inf:7: warning: CAPTION P\xC5\x99\xC3\xADli\xC5\xA1 looks like UTF-8 (bytes C5 99 "
        "for one letter); Windows reads it in code page 1250 and shows other letters"}},
      {"Windows-1250 letters in CAPTION and InstTo",
       Base({"CAPTION=P\xF8\xEDli\x9A \x9Elu\x9Dou\xE8k\xFD",
             "InstTo=C:\\\x8A"
             "a\xE8h"}),
       {},
       {}},
      {"UTF-8 in a language name",
       Base({"LANG=\xC4\x8C"
             "e\xC5\xA1tina,en.lng,app.lng"}),
       {},
       {"Setup.Inf:7: warning: language name \xC4\x8C"
        "e\xC5\xA1tina looks like UTF-8 (bytes C4 "
        "8C for one letter); Windows reads it in code page 1250 and shows other letters"}},
      {"byte that is no character in a group item's title",
       item("<TOPATH>\\a.dat", "App\x81"),
       {},
       {"Setup.Inf:10: warning: TITLE App\x81 holds the byte 81, which is no character in code "
        "page 1250"}},
      {"InstTo and MakeGroup written in other cases, or standing in other lines",
       Base({"INSTTO=C:\\Other", "MAKE GROUP=YES", "COPYTOBASE=a.dat,InstTool.dat$$5$$"}, "15"),
       {},
       {"Setup.Inf:7: warning: write the key as InstTo: the uninstall log records the directory "
        "the user chose only on a line that holds InstTo, so the uninstall looks in C:\\Other",
        "Setup.Inf:8: warning: write the key as MakeGroup: the uninstall log records the folder "
        "the user chose only on a line that holds MakeGroup, so the uninstall leaves the folder",
        "Setup.Inf:9: warning: the line holds InstTo: the uninstall log has InstTo= and the chosen "
        "directory in its place"}},
      {"INI file named with the destination marker",
       Base({"INI FILE=<TOPATH>\\app.ini", "SECTION=S", "a=1", "END OF INI"}),
       {},
       {"Setup.Inf:7: error: INI FILE <TOPATH>\\app.ini: <TOPATH> stands for the destination only "
        "in entry values, not in the file name, so the file cannot be written (result 3)"}},
      {"group item starting a file the script does not install",
       item("<TOPATH>\\app.exe", "App"),
       {},
       {"Setup.Inf:9: warning: FILE <TOPATH>\\app.exe names no file the script installs in the "
        "destination directory"}},
      {"group items starting installed files: quoted, with arguments, the language file",
       Base({"MakeGroup=YES", "GROUP ITEM", "FILE=\"<topath>\\A.DAT\" /x", "TITLE=A",
             "PATH=<TOPATH>", "END OF GROUP ITEM", "GROUP ITEM",
             "FILE=notepad.exe <TOPATH>/app.lng", "TITLE=L", "PATH=<TOPATH>", "END OF GROUP ITEM",
             "GROUP ITEM", "FILE=notepad.exe", "TITLE=N", "PATH=<TOPATH>", "END OF GROUP ITEM"}),
       {},
       {}},
  });
}

TEST(CheckMedium, UninstallerAndDiskSets) {
  ScratchDir dir("disks");
  const Lines script = {"PROCESS=10",
                        "UNINSTALL=YES",
                        "LANG=English,en.lng,app.lng",
                        "COPYTOBASE=a.dat,a.dat$$5$$",
                        "DISK=2",
                        "COPYTOBASE=b.dat,b.dat$$5$$",
                        "COPYTOBASE=a.dat,c.dat$$5$$",
                        "DISK=3",
                        "InstTo=C:\\App",
                        "CAPTION=App"};
  dir.PutScript(script, "DISK1/Setup.Inf");
  dir.Put("DISK1/a.dat", "aaaaa");
  dir.Put("DISK2/b.dat", "bbbbb");
  dir.Put("DISK2/en.lng", "lang!");
  const std::optional<medium::MediumDir> medium = medium::MediumDir::Open(dir.path());
  ASSERT_TRUE(medium);
  EXPECT_EQ(medium->DiskCount(), 2);
  Lines printed;
  for (const medium::Finding& f : medium::CheckMedium(*medium, script, {}))
    printed.push_back(medium::FormatFinding(f));
  EXPECT_EQ(printed,
            (Lines{"Setup.Inf:7: error: source file a.dat is not on disk 2",
                   "Setup.Inf:8: error: DISK 3: the medium has 2 disks",
                   "Setup.Inf:3: error: language file en.lng is not on disk 3",
                   "Setup.Inf:2: error: UNINSTALL=YES but uninstkp.exe is not on disk 3"}));
}

TEST(CheckMedium, TheLastDiskCarriesTheScriptTheUninstallLogIsMadeFrom) {
  const Lines script = medium::testing::TwoDiskScript({});
  struct Case {
    std::string name;
    std::optional<Lines> lastDisk;  // the Setup.Inf of disk 2
    Lines expected;
  };
  const Case cases[] = {
      {"none",
       std::nullopt,
       {"Setup.Inf:4: error: UNINSTALL=YES but Setup.Inf is not on disk 2, the disk in the drive "
        "at the end: the uninstall log is made from it, so none is written and the uninstall "
        "refuses"}},
      {"the same", script, {}},
      {"another",
       Lines{"InstTo=C:\\Other"},
       {"Setup.Inf:4: error: Setup.Inf on disk 2 differs from disk 1's: the uninstall log is made "
        "from the one on the last disk and would not take back what disk 1's installed"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchDir dir("last-disk");
    dir.PutScript(script, "DISK1/Setup.Inf");
    if (c.lastDisk) dir.PutScript(*c.lastDisk, "DISK2/Setup.Inf");
    dir.Put("DISK1/a.dat", "aaaaa");
    dir.Put("DISK2/en.lng", "lang!");
    dir.Put("DISK2/uninstkp.exe", "");
    const std::optional<medium::MediumDir> medium = medium::MediumDir::Open(dir.path());
    ASSERT_TRUE(medium);
    Lines printed;
    for (const medium::Finding& f : medium::CheckMedium(*medium, script, {}))
      printed.push_back(medium::FormatFinding(f));
    EXPECT_EQ(printed, c.expected);
  }
}

}  // namespace
