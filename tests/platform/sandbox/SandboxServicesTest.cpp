#include "platform/sandbox/SandboxServices.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "platform/WinTypes.h"
#include "platform/sandbox/SandboxRestart.h"

namespace sandbox {
namespace {

// A machine's system.log in a directory of its own, removed after the test.
class RecordedServicesTest : public ::testing::Test {
 protected:
  RecordedServicesTest()
      : dir_(std::filesystem::temp_directory_path() /
             ("services-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name())),
        transcript_((std::filesystem::create_directories(dir_), dir_ / "system.log")) {}
  ~RecordedServicesTest() override { std::filesystem::remove_all(dir_); }

  std::filesystem::path dir_;
  Outcomes outcomes_;
  Transcript transcript_;
};

TEST_F(RecordedServicesTest, DdeConnectsOnlyToAPresentProgramManager) {
  struct Case {
    const char* name;
    bool serverPresent;
    const char* service;
    const char* topic;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"Program Manager, empty topic", true, "PROGMAN", "", {"dde-connect\tPROGMAN\t\tok"}},
      {"service and topic in any case",
       true,
       "progman",
       "Progman",
       {"dde-connect\tprogman\tProgman\tok"}},
      {"no Program Manager",
       false,
       "PROGMAN",
       "",
       {"dde-connect\tPROGMAN\t\tno-server", "process\tPROGMAN\t7\tnot-started"}},
      {"another service",
       true,
       "WINWORD",
       "System",
       {"dde-connect\tWINWORD\tSystem\tno-server", "process\tWINWORD System\t7\tnot-started"}},
      {"another topic",
       true,
       "PROGMAN",
       "Groups",
       {"dde-connect\tPROGMAN\tGroups\tno-server", "process\tPROGMAN Groups\t7\tnot-started"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Transcript transcript(dir_ / (std::string(c.name) + ".log"));
    outcomes_.ddeServerPresent = c.serverPresent;
    SandboxDde dde(transcript, outcomes_);
    auto conversation = dde.Connect(c.service, c.topic);
    EXPECT_EQ(conversation != nullptr, c.lines.size() == 1);
    EXPECT_EQ(transcript.Lines(), c.lines);
  }
}

TEST_F(RecordedServicesTest, DdeExecuteRecordsTheWholeCommandText) {
  SandboxDde dde(transcript_, outcomes_);
  auto conversation = dde.Connect("PROGMAN", "");
  ASSERT_NE(conversation, nullptr);
  EXPECT_TRUE(conversation->Execute(
      "[CreateGroup(My "
      "Tools)]\r\n[AddItem(\"C:\\Demo\\demo.exe\",\"Demo\",,,,,\"C:\\Demo\")]\r\n"));
  EXPECT_EQ(transcript_.Lines().back(),
            "dde-execute\tPROGMAN\t\t[CreateGroup(My Tools)]\\r\\n"
            "[AddItem(\"C:\\\\Demo\\\\demo.exe\",\"Demo\",,,,,\"C:\\\\Demo\")]\\r\\n");
}

TEST_F(RecordedServicesTest, ProcessesEndAsTheOutcomesSay) {
  outcomes_.processExitCodes["C:\\APP\\SERVER.EXE"] = 3;
  outcomes_.processesNotStartable.insert("C:\\APP\\BROKEN.EXE");
  struct Case {
    const char* commandLine;
    std::optional<std::uint32_t> exitCode;
    const char* line;
  };
  const Case cases[] = {
      {"C:\\APP\\OTHER.EXE", 0u, "process\tC:\\\\APP\\\\OTHER.EXE\t7\texit 0"},
      {"c:\\app\\server.exe", 3u, "process\tc:\\\\app\\\\server.exe\t7\texit 3"},
      {"C:\\App\\Broken.exe", std::nullopt, "process\tC:\\\\App\\\\Broken.exe\t7\tnot-started"},
  };
  SandboxProcesses processes(transcript_, outcomes_);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.commandLine);
    EXPECT_EQ(processes.RunAndWait(c.commandLine, platform::kSwShowMinNoActive), c.exitCode);
    EXPECT_EQ(transcript_.Lines().back(), c.line);
  }
}

TEST_F(RecordedServicesTest, PrivilegesAreLookedUpByTheirWindowsNames) {
  struct Case {
    const char* name;
    bool found;
    std::uint32_t luid;
  };
  const Case cases[] = {
      {"SeShutdownPrivilege", true, 19},
      {"seshutdownprivilege", true, 19},
      {"SeShutdown", false, 77},
      {"", false, 77},
  };
  SandboxRestart restart(transcript_, outcomes_);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform::Luid luid{77, 0};
    EXPECT_EQ(restart.LookupPrivilegeValue(c.name, luid), c.found);
    EXPECT_EQ(restart.LastError(), c.found ? platform::kErrorSuccess : kErrorNoSuchPrivilege);
    EXPECT_EQ(luid.lowPart, c.luid) << "a failed lookup leaves the LUID alone";
  }
}

TEST_F(RecordedServicesTest, ShutdownPrivilegeAndExitWindowsFollowTheOutcomes) {
  struct Case {
    const char* name;
    std::uint32_t tokenAccess;
    bool privilegeGranted;
    bool exitSucceeds;
    bool adjusted;
    std::uint32_t adjustError;
    std::uint32_t exitError;
    std::vector<std::string> lines;
  };
  const std::uint32_t access = platform::kTokenAdjustPrivileges | platform::kTokenQuery;
  const Case cases[] = {
      {"restart allowed",
       access,
       true,
       true,
       true,
       0,
       0,
       {"privilege\tSeShutdownPrivilege\tok", "exit-windows\t6\tok"}},
      {"privilege refused",
       access,
       false,
       true,
       false,
       platform::kErrorNotAllAssigned,
       0,
       {"privilege\tSeShutdownPrivilege\trefused", "exit-windows\t6\tok"}},
      {"exit refused",
       access,
       true,
       false,
       true,
       0,
       1234,
       {"privilege\tSeShutdownPrivilege\tok", "exit-windows\t6\tfailed 1234"}},
      {"token opened for query only",
       platform::kTokenQuery,
       true,
       true,
       false,
       platform::kErrorAccessDenied,
       0,
       {"exit-windows\t6\tok"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Transcript transcript(dir_ / (std::string(c.name) + ".log"));
    outcomes_.privilegeGranted = c.privilegeGranted;
    outcomes_.exitWindowsSucceeds = c.exitSucceeds;
    outcomes_.exitWindowsError = 1234;
    SandboxRestart restart(transcript, outcomes_);
    auto token = restart.OpenProcessToken(c.tokenAccess);
    ASSERT_NE(token, nullptr);
    platform::Luid luid;
    ASSERT_TRUE(restart.LookupPrivilegeValue("SeShutdownPrivilege", luid));
    EXPECT_EQ(restart.AdjustTokenPrivilege(*token, luid, platform::kSePrivilegeEnabled),
              c.adjusted);
    EXPECT_EQ(restart.LastError(), c.adjustError);
    EXPECT_EQ(restart.ExitWindows(platform::kEwxReboot | platform::kEwxForce, 0), c.exitSucceeds);
    EXPECT_EQ(restart.LastError(), c.exitError);
    EXPECT_EQ(transcript.Lines(), c.lines);
  }
}

}  // namespace
}  // namespace sandbox
