// Whole runs of the program (start-up, header pass, wizard, installation, finish page) on
// media whose Setup.Inf is malformed or hostile: other line ends, no line ends, 1 MB lines,
// NUL bytes, binary garbage, blocks without end lines; and the start-up failures of the
// header pass. The program must end normally, say what the Parts say, and write nothing
// outside the destination directory and the paths the script names.
#include <gtest/gtest.h>

#include "tests/faults/FaultHarness.h"
#include "tests/support/SetupHarness.h"

namespace {

using testing_support::Joined;
using testing_support::SetupHarness;

// The user walks from the welcome page to the finish page and leaves it.
const std::string kWalkToFinish =
    "click nextBut\nclick nextBut\ntype PageBEdit1 Jan\ntype PageBEdit2 Firm\n"
    "click nextBut\nclick nextBut\nclick nextBut\nclick nextBut\nclick nextBut\n";
const std::string kLeaveFinish = "click cancBut\n";
// The user walks up to the language page, where an empty language list ends the program.
const std::string kWalkToLanguage =
    "click nextBut\nclick nextBut\ntype PageBEdit1 Jan\ntype PageBEdit2 Firm\n"
    "click nextBut\nclick nextBut\nreply OK\n";
const std::string kNoLanguageBox =
    "message \"Installation\" error OK \"Installation files are not completed.\\r\\n"
    "Installation will be aborted.\"";

const std::vector<std::string> kBaseScript = {
    "CAPTION=Demo", "INSTTO=C:\\Demo", "LANG=English,lang.en,demo.lng", "COPYTOBASE=A.TXT,A.TXT"};

std::string Lines(const std::vector<std::string>& lines, const std::string& end = "\r\n") {
  std::string text;
  for (const std::string& line : lines) text += line + end;
  return text;
}

struct Outcome {
  testing_support::RunResult run;
  std::set<std::string> changed;
  fault_test::MachineState after;
};

// Runs the program on a medium with `setupInf` as its script, A.TXT and the language file.
Outcome RunWithScript(const std::string& setupInf, const std::string& answers,
                      const std::function<void(SetupHarness&)>& arrange = nullptr) {
  SetupHarness setup;
  setup.AddMediumFile("Setup.Inf", setupInf);
  setup.AddMediumFile("A.TXT", "aaa");
  setup.AddMediumFile("lang.en", "English texts");
  if (arrange) arrange(setup);
  const fault_test::MachineState before = fault_test::Snapshot(setup.machine(), "");
  Outcome outcome;
  outcome.run = setup.Run(answers);
  outcome.after = fault_test::Snapshot(setup.machine(), "");
  outcome.changed = fault_test::Changed(before, outcome.after);
  return outcome;
}

std::vector<std::string> Boxes(const std::vector<std::string>& transcript) {
  return copy_test::LinesStarting(transcript, "message ");
}

std::string ResultLine(const std::vector<std::string>& transcript) {
  const std::vector<std::string> lines = copy_test::LinesStarting(transcript, "result ");
  return lines.empty() ? "" : lines.back();
}

TEST(HostileScripts, LineEndsOfAnyKindGiveTheSameInstallation) {
  const std::vector<std::string> script = {
      "CAPTION=Demo",           "INSTTO=C:\\Demo",   "LANG=English,lang.en,demo.lng",
      "COPYTOBASE=A.TXT,A.TXT", "INI FILE=DEMO.INI", "SECTION=S",
      "Home=<TOPATH>",          "END OF INI",        "COPYTOBASE=A.TXT,B.TXT"};
  const Outcome reference = RunWithScript(Lines(script), kWalkToFinish + kLeaveFinish);
  ASSERT_EQ(reference.run.stopCode, 0) << reference.run.stopMessage;
  ASSERT_EQ(ResultLine(reference.run.transcript), "result 0");
  ASSERT_TRUE(reference.after.files.contains("C:\\DEMO\\B.TXT"));

  std::string mixed;
  for (std::size_t i = 0; i < script.size(); ++i)
    mixed += script[i] + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r");
  std::string noLastEnd = Lines(script);
  noLastEnd.resize(noLastEnd.size() - 2);
  const std::pair<const char*, std::string> variants[] = {
      {"CR only", Lines(script, "\r")},
      {"LF only", Lines(script, "\n")},
      {"mixed", mixed},
      {"last line without an end", noLastEnd},
  };
  for (const auto& [name, text] : variants) {
    const Outcome outcome = RunWithScript(text, kWalkToFinish + kLeaveFinish);
    EXPECT_EQ(outcome.run.stopCode, 0) << name << ": " << outcome.run.stopMessage;
    EXPECT_EQ(outcome.run.transcript, reference.run.transcript) << name;
    EXPECT_EQ(outcome.after.files, reference.after.files) << name;
    EXPECT_EQ(outcome.changed, reference.changed) << name;
  }
}

struct HostileCase {
  const char* name;
  std::string setupInf;
  std::string answers;
  std::string result;  // the transcript's result line; empty when no installation ran
  std::vector<std::string> boxes;
  std::vector<std::string> allowed;
  std::map<std::string, std::string> written;
  std::vector<std::string> absent;
};

TEST(HostileScripts, EndNormallyAndWriteOnlyWhereTheScriptSays) {
  const std::string megabyte(1 << 20, 'x');
  const std::string baseText = Lines(kBaseScript);
  const std::string giantCaption = "CAPTION=" + std::string(1 << 20, 'C');
  const HostileCase cases[] = {
      {"no line ends: one line, so no language list",
       "CAPTION=Demo INSTTO=C:\\Demo LANG=English,lang.en,demo.lng COPYTOBASE=A.TXT,A.TXT",
       kWalkToLanguage,
       "",
       {kNoLanguageBox},
       {},
       {},
       {}},
      {"1 MB lines: a remark, commas, a size tag, an INI value",
       baseText + megabyte + "\r\n" + "COPYTOBASE=A.TXT,B.TXT" + std::string(1 << 20, ',') +
           "\r\n" + "COPYTOBASE=A.TXT,C.TXT $$" + std::string(1 << 20, '9') + "$$\r\n" +
           std::string(1 << 20, '=') + "\r\n" +
           Lines({"INI FILE=DEMO.INI", "SECTION=S", "K=" + megabyte, "END OF INI"}),
       kWalkToFinish + kLeaveFinish,
       "result 0",
       {},
       {"C:\\Demo", "C:\\WINDOWS\\DEMO.INI"},
       {{"C:\\Demo\\B.TXT", "aaa"},
        {"C:\\Demo\\C.TXT", "aaa"},
        {"C:\\WINDOWS\\DEMO.INI", "[S]\r\nK=" + megabyte + "\r\n"}},
       {}},
      {"size tags and disk numbers that are no whole numbers count 0",
       baseText + Lines({"DISK=2x", "DISK=99999999999", "DISK=", "COPYTOBASE=A.TXT,F.TXT $$12abc$$",
                         "COPYTOBASE=A.TXT,G.TXT $$-$$", "COPYTOBASE=A.TXT,H.TXT $"}),
       kWalkToFinish + kLeaveFinish,
       "result 0",
       {},
       {"C:\\Demo"},
       {{"C:\\Demo\\F.TXT", "aaa"}, {"C:\\Demo\\G.TXT", "aaa"}, {"C:\\Demo\\H.TXT $", "aaa"}},
       {}},
      {"1 MB source name: asked for, given up",
       baseText + "COPYTOBASE=" + megabyte + ",D.TXT\r\nCOPYTOBASE=A.TXT,E.TXT\r\n",
       kWalkToFinish + "click cancbut\n" + kLeaveFinish,
       "result 4",
       {},
       {"C:\\Demo"},
       {{"C:\\Demo\\A.TXT", "aaa"}, {"C:\\Demo\\demo.lng", "English texts"}},
       {"C:\\Demo\\D.TXT", "C:\\Demo\\E.TXT"}},
      {"1 MB caption",
       giantCaption + "\r\n" +
           Lines({"INSTTO=C:\\Demo", "LANG=English,lang.en,demo.lng", "COPYTOBASE=A.TXT,A.TXT"}),
       kWalkToFinish + kLeaveFinish,
       "result 0",
       {},
       {"C:\\Demo"},
       {{"C:\\Demo\\A.TXT", "aaa"}},
       {}},
      {"NUL bytes inside keys, values and remarks",
       baseText + std::string("COPY\0TOBASE=A.TXT,X.TXT\r\n", 25) +
           std::string("\0\0\0\r\nCOPYTOBASE=A.TXT,N\0UL.TXT\r\n", 30) +
           std::string("CAPTION=De\0mo\r\n", 15),
       kWalkToFinish + kLeaveFinish,
       "result 0",
       {},
       {"C:\\Demo"},
       // A path ends at its first NUL byte, as for the Windows file functions.
       {{"C:\\Demo\\A.TXT", "aaa"}, {"C:\\Demo\\N", "aaa"}},
       {"C:\\Demo\\X.TXT"}},
      {"registry item without an end line swallows the rest",
       baseText +
           Lines({"REGISTRY ITEM", "KEYROOT=HKEY_LOCAL_MACHINE", "KEYLEVEL=SOFTWARE\\Demo",
                  "KEYNAME=Name", "KEYNAMEVALUE=v", "KEYTYPE=STRING", "COPYTOBASE=A.TXT,LATE.TXT"}),
       kWalkToFinish + kLeaveFinish,
       "result 0",
       {},
       {"C:\\Demo"},
       {{"C:\\Demo\\demo.lng", "English texts"}},
       {"C:\\Demo\\LATE.TXT"}},
      {"INI block without an end line writes the rest as entries",
       baseText + Lines({"INI FILE=DEMO.INI", "SECTION=S", "K=v", "COPYTOBASE=A.TXT,LATE.TXT"}),
       kWalkToFinish + kLeaveFinish,
       "result 0",
       {},
       {"C:\\Demo", "C:\\WINDOWS\\DEMO.INI"},
       {{"C:\\WINDOWS\\DEMO.INI", "[S]\r\nK=v\r\nCOPYTOBASE=A.TXT,LATE.TXT\r\n"}},
       {"C:\\Demo\\LATE.TXT"}},
      {"group item without an end line swallows the rest",
       baseText + Lines({"MakeGroup=YES", "GROUP ITEM", "FILE=<TOPATH>\\A.TXT", "TITLE=A",
                         "COPYTOBASE=A.TXT,LATE.TXT"}),
       kWalkToFinish + kLeaveFinish,
       "result 0",
       {},
       {"C:\\Demo"},
       {{"C:\\Demo\\A.TXT", "aaa"}},
       {"C:\\Demo\\LATE.TXT"}},
  };
  for (const HostileCase& c : cases) {
    const Outcome outcome = RunWithScript(c.setupInf, c.answers);
    EXPECT_EQ(outcome.run.stopCode, 0) << c.name << ": " << outcome.run.stopMessage << "\n"
                                       << Joined(outcome.run.transcript);
    EXPECT_EQ(outcome.run.transcript.back(), "exit") << c.name;
    EXPECT_EQ(ResultLine(outcome.run.transcript), c.result) << c.name;
    EXPECT_EQ(Boxes(outcome.run.transcript), c.boxes) << c.name;
    EXPECT_EQ(fault_test::Unexpected(outcome.changed, c.allowed), std::vector<std::string>{})
        << c.name;
    for (const auto& [path, bytes] : c.written) {
      const auto it = outcome.after.files.find(script::UpperAscii(path));
      EXPECT_TRUE(it != outcome.after.files.end() && it->second == bytes) << c.name << " " << path;
    }
    for (const std::string& path : c.absent)
      EXPECT_FALSE(outcome.after.files.contains(script::UpperAscii(path))) << c.name << " " << path;
  }
}

// Binary garbage before a valid script, and garbage alone: every seed gives the same kind
// of run, and nothing is written but the destination directory.
TEST(HostileScripts, BinaryGarbage) {
  for (std::uint32_t seed = 1; seed <= 4; ++seed) {
    const std::string garbage = fault_test::Garbage(seed, 256 * 1024);
    const Outcome withScript =
        RunWithScript(garbage + "\r\n" + Lines(kBaseScript), kWalkToFinish + kLeaveFinish);
    EXPECT_EQ(withScript.run.stopCode, 0) << seed << ": " << withScript.run.stopMessage;
    EXPECT_EQ(ResultLine(withScript.run.transcript), "result 0") << seed;
    EXPECT_EQ(fault_test::Unexpected(withScript.changed, {"C:\\Demo"}), std::vector<std::string>{})
        << seed;
    EXPECT_TRUE(withScript.after.files.contains("C:\\DEMO\\A.TXT")) << seed;

    const Outcome alone = RunWithScript(garbage, kWalkToLanguage);
    EXPECT_EQ(alone.run.stopCode, 0) << seed << ": " << alone.run.stopMessage;
    EXPECT_EQ(Boxes(alone.run.transcript), std::vector<std::string>{kNoLanguageBox}) << seed;
    EXPECT_EQ(alone.changed, std::set<std::string>{}) << seed;
  }
}

}  // namespace
