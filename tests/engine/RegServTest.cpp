// COM registration of installed files: the kinds, the unit's messages and the
// Retry/Cancel loop.
#include <string>
#include <vector>

#include "platform/sandbox/Transcript.h"
#include "script/Text.h"
#include "tests/engine/ItemsHarness.h"

namespace {

using items_test::Boxes;
using items_test::BoxLine;
using items_test::ItemsHarness;

void Put32(std::string& image, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) image[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFFu);
}

// A PE32 image without sections whose headers hold an export directory naming one function.
std::string TinyDll(const std::string& exportName) {
  std::string image(0x400, '\0');
  image[0] = 'M';
  image[1] = 'Z';
  Put32(image, 0x3C, 0x40);
  image.replace(0x40, 4, std::string("PE\0\0", 4));
  image[0x54] = static_cast<char>(224);  // size of the optional header
  Put32(image, 0x58, 0x10B);             // PE32
  Put32(image, 0x58 + 60, 0x400);        // size of headers
  Put32(image, 0x58 + 92, 16);           // data directories
  Put32(image, 0x58 + 96, 0x200);        // export directory
  Put32(image, 0x58 + 100, 40);
  Put32(image, 0x200 + 20, 1);  // functions
  Put32(image, 0x200 + 24, 1);  // names
  Put32(image, 0x200 + 28, 0x240);
  Put32(image, 0x200 + 32, 0x250);
  Put32(image, 0x200 + 36, 0x260);
  Put32(image, 0x240, 0x1000);
  Put32(image, 0x250, 0x270);
  image.replace(0x270, exportName.size(), exportName);
  return image;
}

const std::string kTypeLibrary = std::string("MSFT\x02\x00\x01\x00", 8) + std::string(64, '\0');

// One system.log line, fields escaped as the machine writes them.
std::string LogLine(std::initializer_list<std::string> fields) {
  std::string line;
  for (const std::string& field : fields) {
    if (!line.empty()) line += '\t';
    line += sandbox::Transcript::Escape(field);
  }
  return line;
}

const std::string kRetryCaption = "Registration of COM objects";
const std::string kUserStop =
    BoxLine("Installation", "error", "OK",
            "The installation interrupted by the user.\r\nThe installation is not complete.");

std::string RetryBox(const std::string& text) {
  return BoxLine(kRetryCaption, "question", "RETRYCANCEL", text);
}

struct ComCase {
  const char* name;
  std::string value;
  std::string path;
  std::string content;  // empty: no file
  std::string answers;
  bool result;
  std::vector<std::string> log;    // system.log afterwards
  std::vector<std::string> boxes;  // message boxes shown
};

TEST(RegisterComFile, KindsMessagesAndAnswers) {
  const std::string dll = TinyDll("DllRegisterServer");
  const ComCase cases[] = {
      {"REGTLB in any case registers a type library",
       "regTlb",
       "C:\\APP\\lib.tlb",
       kTypeLibrary,
       "",
       true,
       {LogLine({"com-typelib", "C:\\APP\\lib.tlb", "0x00000000"})},
       {}},
      {"any other value registers a DLL server",
       "x",
       "C:\\APP\\srv.dll",
       dll,
       "",
       true,
       {LogLine({"com-dll", "C:\\APP\\srv.dll", "called 0x00000000"})},
       {}},
      {"no extension is loaded as a DLL",
       "REG",
       "C:\\APP\\server",
       dll,
       "",
       true,
       {LogLine({"com-dll", "C:\\APP\\server", "called 0x00000000"})},
       {}},
      {"an EXE in any case is run, even with REGTLB",
       "REGTLB",
       "C:\\Program Files\\App\\Srv.ExE",
       "MZ",
       "",
       true,
       {LogLine({"process", "\"C:\\Program Files\\App\\Srv.ExE\"", "7", "exit 0"})},
       {}},
      {"dot in a directory is no extension",
       "x",
       "C:\\A.EXE\\server",
       dll,
       "",
       true,
       {LogLine({"com-dll", "C:\\A.EXE\\server", "called 0x00000000"})},
       {}},
      {"missing file, then Cancel",
       "x",
       "C:\\APP\\none.dll",
       "",
       "reply CANCEL\nreply OK\n",
       false,
       {},
       {RetryBox("Soubor \"C:\\APP\\none.dll\" nebyl nalezen"), kUserStop}},
      {"file that is no image",
       "x",
       "C:\\APP\\bad.dll",
       "not a dll",
       "reply CANCEL\nreply OK\n",
       false,
       {LogLine({"com-dll", "C:\\APP\\bad.dll", "not-loaded"})},
       {RetryBox("Chyba vol\xE1n\xED p\xF8i na\xE8\xEDt\xE1n\xED \"C:\\APP\\bad.dll\""),
        kUserStop}},
      {"DLL without the entry point",
       "x",
       "C:\\APP\\other.dll",
       TinyDll("DllCanUnloadNow"),
       "reply CANCEL\nreply OK\n",
       false,
       {LogLine({"com-dll", "C:\\APP\\other.dll", "no-entry-point"})},
       {RetryBox("DllRegisterServer funkce nebyla nalezena v \"C:\\APP\\other.dll\""), kUserStop}},
      {"type library the platform cannot load",
       "REGTLB",
       "C:\\APP\\bad.tlb",
       "junk",
       "reply CANCEL\nreply OK\n",
       false,
       {LogLine({"com-typelib", "C:\\APP\\bad.tlb", "0x80029C4A"})},
       {RetryBox("OLE error 80029c4a"), kUserStop}},
  };
  for (const ComCase& c : cases) {
    SCOPED_TRACE(c.name);
    ItemsHarness setup(c.answers);
    if (!c.content.empty()) setup.PutFile(c.path, c.content);
    EXPECT_EQ(setup.main().RegisterComFile(c.value, c.path), c.result);
    EXPECT_EQ(setup.main().Interrupted, !c.result);
    EXPECT_EQ(setup.machine().transcript().Lines(), c.log);
    EXPECT_EQ(Boxes(setup.transcript()), c.boxes);
    EXPECT_EQ(setup.RemainingAnswers(), 0u);
  }
}

struct OutcomeCase {
  const char* name;
  std::string value;
  std::string path;
  std::string content;
  std::function<void(sandbox::Outcomes&)> outcome;
  std::string message;
};

TEST(RegisterComFile, FailuresReportedByTheServerOrThePlatform) {
  const std::string exe = "C:\\APP\\srv.exe";
  const OutcomeCase cases[] = {
      {"DllRegisterServer giving S_FALSE", "x", "C:\\APP\\srv.dll", TinyDll("DllRegisterServer"),
       [](sandbox::Outcomes& o) { o.dllRegisterResults["C:\\APP\\SRV.DLL"] = platform::kSFalse; },
       "Vol\xE1n\xED DllRegisterServer p\xF8"
       "eru\x9A"
       "eno v \"C:\\APP\\srv.dll\""},
      {"type library refused with a system text", "REGTLB", "C:\\APP\\lib.tlb", kTypeLibrary,
       [](sandbox::Outcomes& o) { o.typeLibResults["C:\\APP\\LIB.TLB"] = platform::kEFail; },
       "Unspecified error"},
      {"EXE server ending with a code", "x", exe, "MZ",
       [](sandbox::Outcomes& o) { o.processExitCodes["\"C:\\APP\\SRV.EXE\""] = 3; },
       "Program \"C:\\APP\\srv.exe\" skon\xE8il s k\xF3"
       "dem 3"},
      {"EXE server that cannot be started", "x", exe, "MZ",
       [](sandbox::Outcomes& o) { o.processesNotStartable.insert("\"C:\\APP\\SRV.EXE\""); },
       "Program \"C:\\APP\\srv.exe\" nelze spustit"},
  };
  for (const OutcomeCase& c : cases) {
    SCOPED_TRACE(c.name);
    ItemsHarness setup("reply CANCEL\nreply OK\n");
    setup.PutFile(c.path, c.content);
    c.outcome(setup.machine().outcomes());
    EXPECT_FALSE(setup.main().RegisterComFile(c.value, c.path));
    EXPECT_TRUE(setup.main().Interrupted);
    EXPECT_EQ(Boxes(setup.transcript()),
              (std::vector<std::string>{RetryBox(c.message), kUserStop}));
    EXPECT_EQ(setup.main().RegServ.RegStatus(), c.message);
  }
}

TEST(RegisterComFile, RetryRepeatsTheWholeRegistration) {
  ItemsHarness setup("reply RETRY\nreply RETRY\nreply CANCEL\nreply OK\n");
  const std::string missing = RetryBox("Soubor \"C:\\APP\\none.dll\" nebyl nalezen");
  EXPECT_FALSE(setup.main().RegisterComFile("x", "C:\\APP\\none.dll"));
  EXPECT_EQ(Boxes(setup.transcript()),
            (std::vector<std::string>{missing, missing, missing, kUserStop}));
}

TEST(RegisterComFile, RetryAfterAFailedCallCallsAgain) {
  ItemsHarness setup("reply RETRY\nreply CANCEL\nreply OK\n");
  setup.PutFile("C:\\APP\\srv.dll", TinyDll("DllRegisterServer"));
  setup.machine().outcomes().dllRegisterResults["C:\\APP\\SRV.DLL"] = platform::kEFail;
  EXPECT_FALSE(setup.main().RegisterComFile("x", "C:\\APP\\srv.dll"));
  const std::string called = LogLine({"com-dll", "C:\\APP\\srv.dll", "called 0x80004005"});
  EXPECT_EQ(setup.machine().transcript().Lines(), (std::vector<std::string>{called, called}));
}

TEST(RegServer, BareTypeLibraryNameIsTakenFromTheCurrentDirectory) {
  ItemsHarness setup;
  setup.PutFile("C:\\APP\\lib.tlb", kTypeLibrary);
  ASSERT_TRUE(setup.platform().files.SetCurrentDirectory("C:\\APP"));
  EXPECT_EQ(setup.main().RegServ.RegisterServerFile(setup.platform(), "lib.tlb", true),
            engine::RegResult::RegOk);
  EXPECT_EQ(setup.main().RegServ.CurrentPath(), "C:\\APP\\lib.tlb");
  EXPECT_EQ(setup.machine().transcript().Lines(),
            std::vector<std::string>{LogLine({"com-typelib", "C:\\APP\\lib.tlb", "0x00000000"})});
}

TEST(RegServer, StatusKeepsTheLastFailureAcrossSuccesses) {
  ItemsHarness setup;
  setup.PutFile("C:\\APP\\srv.dll", TinyDll("DllRegisterServer"));
  engine::RegServer& unit = setup.main().RegServ;
  EXPECT_EQ(unit.RegisterServerFile(setup.platform(), "C:\\APP\\gone.dll", false),
            engine::RegResult::RegFailed);
  EXPECT_EQ(unit.RegisterServerFile(setup.platform(), "C:\\APP\\srv.dll", false),
            engine::RegResult::RegOk);
  EXPECT_EQ(unit.RegStatus(), "Soubor \"C:\\APP\\gone.dll\" nebyl nalezen");
}

}  // namespace
