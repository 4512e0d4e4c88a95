// Faults met while files are copied: a medium file that vanishes after it was found, a
// locked or read-only destination, a directory that cannot be made, a full disk, a missing
// file given up. Each run must tell the user exactly what the Parts say, give its result
// code, and change nothing but the paths the script names.
#include <gtest/gtest.h>

#include <functional>

#include "tests/faults/FaultHarness.h"

namespace {

using copy_test::At;
using copy_test::BoxLine;
using copy_test::Joined;
using fault_test::FaultDriver;
using fault_test::FullDiskBox;
using fault_test::OpenFailureBox;

const std::string kInUse =
    BoxLine("Copying error of the file", "question", "ABORTRETRYIGNORE",
            "Destination file  \x84"
            "C:\\APP\\BUSY.TXT\x94 is actually in use and it is not possible to overwrite it. "
            "\r\n\r\nVersion of source file:   02.02.2020 12:00:00\r\nVersion of destination "
            "file:   01.01.2010\r\n\r\nIf you want to continue, press \"Ignore\".\r\nIf you want "
            "to abort the installation, press \"Abort\".");
const std::string kCopyInterrupted = BoxLine(
    "Installation", "error", "OK",
    "The installation was interrupted by error while copying the files. \r\nThe installation "
    "is not complete");

// An older copy of BUSY.TXT on the machine that the medium's newer one cannot replace.
void OlderBusyDestination(FaultDriver& h) {
  h.PutFile("D:\\BUSY.TXT", "new busy");
  h.SetFileTime("D:\\BUSY.TXT", At(2020, 2, 2, 12, 0, 0));
  h.PutFile("C:\\APP\\BUSY.TXT", "old busy");
  h.SetFileTime("C:\\APP\\BUSY.TXT", At(2010, 1, 1, 0, 0, 0));
}

struct CopyFaultCase {
  const char* name;
  std::vector<std::string> script;
  std::function<void(FaultDriver&)> arrange;
  const char* answers;
  std::int32_t result;
  std::vector<std::string> boxes;
  // Paths that may change (and must, when listed under `written`).
  std::vector<std::string> allowed;
  std::map<std::string, std::string> written;
  // Files that were there before and must keep their bytes.
  std::map<std::string, std::string> intact;
  std::vector<std::string> absent;
};

TEST(CopyFaults, EveryFailureToldOnceAndNothingElseTouched) {
  const std::vector<std::string> abcScript = {
      "COPYTOBASE=A.TXT,A.TXT", "COPYTOBASE=GONE.TXT,GONE.TXT", "COPYTOBASE=B.TXT,B.TXT"};
  const std::vector<std::string> busyScript = {
      "COPYTOBASE=A.TXT,A.TXT", "COPYTOBASE=BUSY.TXT,BUSY.TXT", "COPYTOBASE=B.TXT,B.TXT"};
  const auto vanishing = [](FaultDriver& h) {
    h.PutFile("D:\\GONE.TXT", "gone");
    h.PutFile("C:\\APP\\GONE.TXT", "old gone");
    h.machine().faults().filesVanishAfterOpens["D:\\GONE.TXT"] = 0;
  };
  const CopyFaultCase cases[] = {
      {"medium file vanishes between the look and the open",
       abcScript,
       vanishing,
       "reply OK",
       1,
       {OpenFailureBox("D:\\GONE.TXT")},
       {"C:\\APP\\A.TXT", "C:\\APP\\LANG.DLL", "D:\\GONE.TXT"},
       {{"C:\\APP\\A.TXT", "aaa"}, {"C:\\APP\\LANG.DLL", "english"}},
       {{"C:\\APP\\GONE.TXT", "old gone"}},
       {"C:\\APP\\B.TXT"}},
      {"compressed medium file vanishes",
       {"COMPRESSED=YES", "COPYTOBASE=A.TXT,A.TXT", "COPYTOBASE=GONE.TXT,GONE.TXT",
        "COPYTOBASE=B.TXT,B.TXT"},
       [&](FaultDriver& h) {
         vanishing(h);
         h.main().Compressed = true;
       },
       "reply OK",
       1,
       {OpenFailureBox("D:\\GONE.TXT")},
       {"C:\\APP\\A.TXT", "C:\\APP\\LANG.DLL", "D:\\GONE.TXT"},
       {{"C:\\APP\\A.TXT", "aaa"}, {"C:\\APP\\LANG.DLL", "english"}},
       {{"C:\\APP\\GONE.TXT", "old gone"}},
       {"C:\\APP\\B.TXT"}},
      {"language file vanishes: 8, the old one stays",
       {"COPYTOBASE=A.TXT,A.TXT"},
       [](FaultDriver& h) {
         h.PutFile("C:\\APP\\LANG.DLL", "old english");
         h.machine().faults().filesVanishAfterOpens["D:\\ENGLISH.LNG"] = 0;
       },
       "reply OK",
       8,
       {OpenFailureBox("D:\\ENGLISH.LNG")},
       {"C:\\APP\\A.TXT", "D:\\ENGLISH.LNG"},
       {{"C:\\APP\\A.TXT", "aaa"}},
       {{"C:\\APP\\LANG.DLL", "old english"}},
       {}},
      {"locked older destination, Abort stops the walk",
       busyScript,
       [](FaultDriver& h) {
         OlderBusyDestination(h);
         h.machine().faults().filesInUse.insert("C:\\APP\\BUSY.TXT");
       },
       "reply ABORT\nreply OK",
       1,
       {kInUse, kCopyInterrupted},
       {"C:\\APP\\A.TXT", "C:\\APP\\LANG.DLL"},
       {{"C:\\APP\\A.TXT", "aaa"}},
       {{"C:\\APP\\BUSY.TXT", "old busy"}},
       {"C:\\APP\\B.TXT"}},
      {"locked older destination, Retry then Ignore goes on",
       busyScript,
       [](FaultDriver& h) {
         OlderBusyDestination(h);
         h.machine().faults().filesInUse.insert("C:\\APP\\BUSY.TXT");
       },
       "reply RETRY\nreply IGNORE",
       0,
       {kInUse, kInUse},
       {"C:\\APP\\A.TXT", "C:\\APP\\B.TXT", "C:\\APP\\LANG.DLL"},
       {{"C:\\APP\\B.TXT", "bbb"}},
       {{"C:\\APP\\BUSY.TXT", "old busy"}},
       {}},
      {"locked newer destination is kept silently",
       busyScript,
       [](FaultDriver& h) {
         OlderBusyDestination(h);
         h.SetFileTime("C:\\APP\\BUSY.TXT", At(2030, 1, 1, 0, 0, 0));
         h.machine().faults().filesInUse.insert("C:\\APP\\BUSY.TXT");
       },
       "",
       0,
       {},
       {"C:\\APP\\A.TXT", "C:\\APP\\B.TXT", "C:\\APP\\LANG.DLL"},
       {{"C:\\APP\\B.TXT", "bbb"}},
       {{"C:\\APP\\BUSY.TXT", "old busy"}},
       {}},
      {"read-only older destination asks like a locked one",
       busyScript,
       [](FaultDriver& h) {
         OlderBusyDestination(h);
         ASSERT_TRUE(h.platform().files.SetAttributes("C:\\APP\\BUSY.TXT",
                                                      platform::kFileAttributeReadonly));
       },
       "reply ABORT\nreply OK",
       1,
       {kInUse, kCopyInterrupted},
       {"C:\\APP\\A.TXT", "C:\\APP\\LANG.DLL"},
       {},
       {{"C:\\APP\\BUSY.TXT", "old busy"}},
       {"C:\\APP\\B.TXT"}},
      {"destination directory blocked by a file: 1 without a message",
       {"COPYTOBASE=A.TXT,A.TXT", "COPYTOBASE=B.TXT,SUB\\B.TXT", "COPYTOBASE=B.TXT,C.TXT"},
       [](FaultDriver& h) { h.PutFile("C:\\APP\\SUB", "a file, not a directory"); },
       "",
       1,
       {},
       {"C:\\APP\\A.TXT", "C:\\APP\\LANG.DLL"},
       {{"C:\\APP\\A.TXT", "aaa"}},
       {{"C:\\APP\\SUB", "a file, not a directory"}},
       {"C:\\APP\\C.TXT"}},
      {"full disk in the middle of a file, then the language file",
       {"COPYTOBASE=A.TXT,A.TXT", "COPYTOBASE=BIG.BIN,BIG.BIN", "COPYTOBASE=B.TXT,B.TXT"},
       [](FaultDriver& h) {
         h.PutFile("D:\\BIG.BIN", std::string(50000, 'b'));
         h.machine().faults().driveFillsAfter['C'] = 20003;
       },
       "reply OK\nreply OK",
       8,
       {FullDiskBox("C:\\APP\\BIG.BIN"), FullDiskBox("C:\\APP\\LANG.DLL")},
       // What the copies wrote before the disk was full stays, as for any failed step.
       {"C:\\APP\\A.TXT", "C:\\APP\\BIG.BIN", "C:\\APP\\LANG.DLL"},
       {{"C:\\APP\\A.TXT", "aaa"}, {"C:\\APP\\BIG.BIN", std::string(20000, 'b')}},
       {},
       {"C:\\APP\\B.TXT"}},
      {"full disk while a file is replaced: the old file stays whole",
       {"COPYTOBASE=A.TXT,A.TXT", "COPYTOBASE=BIG.BIN,BIG.BIN", "COPYTOBASE=B.TXT,B.TXT"},
       [](FaultDriver& h) {
         h.PutFile("D:\\BIG.BIN", std::string(50000, 'b'));
         h.PutFile("C:\\APP\\BIG.BIN", "old big");
         h.machine().faults().driveFillsAfter['C'] = 20003;
       },
       "reply OK\nreply OK",
       8,
       {FullDiskBox("C:\\APP\\BIG.BIN"), FullDiskBox("C:\\APP\\LANG.DLL")},
       {"C:\\APP\\A.TXT", "C:\\APP\\LANG.DLL"},
       {{"C:\\APP\\A.TXT", "aaa"}},
       {{"C:\\APP\\BIG.BIN", "old big"}},
       {"C:\\APP\\B.TXT"}},
      {"missing file given up: 4, the language file still comes",
       {"COPYTOBASE=A.TXT,A.TXT", "COPYTOBASE=NOPE.TXT,NOPE.TXT", "COPYTOBASE=B.TXT,B.TXT"},
       [](FaultDriver& h) { h.PutFile("C:\\APP\\NOPE.TXT", "old nope"); },
       "click cancbut",
       4,
       {},
       {"C:\\APP\\A.TXT", "C:\\APP\\LANG.DLL"},
       {{"C:\\APP\\LANG.DLL", "english"}},
       {{"C:\\APP\\NOPE.TXT", "old nope"}},
       {"C:\\APP\\B.TXT"}},
      {"missing file found where the user points",
       {"COPYTOBASE=NOPE.TXT,NOPE.TXT", "COPYTOBASE=B.TXT,B.TXT"},
       [](FaultDriver& h) { h.PutFile("D:\\DISK2\\NOPE.TXT", "nope"); },
       "type PathEdit D:\\DISK2\nclick okbut",
       0,
       {},
       {"C:\\APP\\NOPE.TXT", "C:\\APP\\B.TXT", "C:\\APP\\LANG.DLL"},
       {{"C:\\APP\\NOPE.TXT", "nope"}, {"C:\\APP\\B.TXT", "bbb"}},
       {},
       {}},
  };
  for (const CopyFaultCase& c : cases) {
    FaultDriver h(c.answers);
    h.SetScript(c.script);
    h.PutFile("D:\\A.TXT", "aaa");
    h.PutFile("D:\\B.TXT", "bbb");
    c.arrange(h);
    const fault_test::MachineState before = fault_test::Snapshot(h.machine());

    EXPECT_EQ(h.main().RunInstallation(), c.result) << c.name << "\n" << Joined(h.transcript());

    EXPECT_EQ(h.Boxes(), c.boxes) << c.name;
    EXPECT_EQ(h.RemainingAnswers(), 0u) << c.name << "\n" << Joined(h.transcript());
    EXPECT_FALSE(h.progress().Visible()) << c.name;
    const fault_test::MachineState after = fault_test::Snapshot(h.machine());
    EXPECT_EQ(fault_test::Unexpected(fault_test::Changed(before, after), c.allowed),
              std::vector<std::string>{})
        << c.name;
    for (const auto& [path, bytes] : c.written) EXPECT_EQ(h.ReadFile(path), bytes) << c.name;
    for (const auto& [path, bytes] : c.intact) EXPECT_EQ(h.ReadFile(path), bytes) << c.name;
    for (const std::string& path : c.absent)
      EXPECT_FALSE(h.ReadFile(path)) << c.name << " " << path;
  }
}

}  // namespace
