#include "platform/sandbox/SandboxCom.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "platform/sandbox/PeImage.h"
#include "tests/platform/sandbox/TestFileStore.h"
#include "tests/support/TinyDll.h"

namespace sandbox {
namespace {

using Stage = platform::DllRegisterOutcome::Stage;

using testing_support::Put16;
using testing_support::Put32;
using testing_support::TinyDll;

TEST(PeImage, FindsExportsOfWellFormedImages) {
  struct Case {
    const char* name;
    std::vector<std::string> exports;
    bool pe32Plus;
    PeExportLookup expected;
  };
  const Case cases[] = {
      {"PE32 server", {"DllRegisterServer"}, false, PeExportLookup::Exported},
      {"PE32+ server", {"DllRegisterServer"}, true, PeExportLookup::Exported},
      {"among other exports",
       {"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer", "DllUnregisterServer"},
       false,
       PeExportLookup::Exported},
      {"only the unregistration", {"DllUnregisterServer"}, false, PeExportLookup::NotExported},
      {"name in another case", {"dllregisterserver"}, false, PeExportLookup::NotExported},
      {"name as a prefix only", {"DllRegisterServerEx"}, false, PeExportLookup::NotExported},
      {"no names at all", {}, false, PeExportLookup::NotExported},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FindPeExport(TinyDll(c.exports, c.pe32Plus).image, "DllRegisterServer"), c.expected);
  }
}

TEST(PeImage, NoTruncationOfAnImageFindsTheExport) {
  for (bool pe32Plus : {false, true}) {
    const std::string image = TinyDll({"DllRegisterServer"}, pe32Plus).image;
    ASSERT_EQ(FindPeExport(image, "DllRegisterServer"), PeExportLookup::Exported);
    for (std::size_t size = 0; size < image.size(); ++size) {
      EXPECT_NE(FindPeExport(std::string_view(image).substr(0, size), "DllRegisterServer"),
                PeExportLookup::Exported)
          << "cut to " << size << " bytes, PE32+ " << pe32Plus;
    }
  }
}

TEST(PeImage, HostileHeadersAreRefusedNotFollowed) {
  struct Case {
    const char* name;
    void (*damage)(TinyDll&);
    PeExportLookup expected;
  };
  const Case cases[] = {
      {"no MZ", [](TinyDll& d) { d.image[0] = 'X'; }, PeExportLookup::NotAnImage},
      {"e_lfanew past the end", [](TinyDll& d) { Put32(d.image, 0x3C, 0xFFFFFFF0u); },
       PeExportLookup::NotAnImage},
      {"no PE signature", [](TinyDll& d) { d.image[TinyDll::kPe + 1] = 'X'; },
       PeExportLookup::NotAnImage},
      {"unknown optional header magic",
       [](TinyDll& d) { Put16(d.image, TinyDll::kOptional, 0x107); }, PeExportLookup::NotAnImage},
      {"section count beyond the file",
       [](TinyDll& d) { Put16(d.image, TinyDll::kFileHeader + 2, 0xFFFF); },
       PeExportLookup::NotAnImage},
      {"optional header size beyond the file",
       [](TinyDll& d) { Put16(d.image, TinyDll::kFileHeader + 16, 0xFFFF); },
       PeExportLookup::NotAnImage},
      {"no data directories", [](TinyDll& d) { Put32(d.image, d.exportEntry - 4, 0); },
       PeExportLookup::NotExported},
      {"export directory outside every section",
       [](TinyDll& d) { Put32(d.image, d.exportEntry, 0x7FFF0000u); }, PeExportLookup::NotExported},
      {"name count far too large",
       [](TinyDll& d) { Put32(d.image, d.directory + 24, 0xFFFFFFFFu); },
       PeExportLookup::NotExported},
      {"name pointer outside the file",
       [](TinyDll& d) { Put32(d.image, d.directory + 32, 0xFFFFFFF0u); },
       PeExportLookup::NotExported},
      {"ordinal beyond the function count", [](TinyDll& d) { Put32(d.image, d.directory + 20, 0); },
       PeExportLookup::NotExported},
      {"function address zero", [](TinyDll& d) { Put32(d.image, TinyDll::kSection + 40, 0); },
       PeExportLookup::NotExported},
      {"raw data pointer past the end",
       [](TinyDll& d) { Put32(d.image, d.sectionHeader + 20, 0xFFFFFF00u); },
       PeExportLookup::NotExported},
      {"raw size wrapping around",
       [](TinyDll& d) { Put32(d.image, d.sectionHeader + 16, 0xFFFFFFFFu); },
       PeExportLookup::Exported},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TinyDll dll({"DllRegisterServer"});
    c.damage(dll);
    EXPECT_EQ(FindPeExport(dll.image, "DllRegisterServer"), c.expected);
  }
}

class SandboxComTest : public ::testing::Test {
 protected:
  SandboxComTest()
      : dir_(std::filesystem::temp_directory_path() /
             ("com-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name())),
        transcript_((std::filesystem::create_directories(dir_), dir_ / "system.log")),
        com_(files_, transcript_, outcomes_) {}
  ~SandboxComTest() override { std::filesystem::remove_all(dir_); }

  std::filesystem::path dir_;
  TestFileStore files_;
  Outcomes outcomes_;
  Transcript transcript_;
  SandboxCom com_;
};

TEST_F(SandboxComTest, DllRegistrationGetsAsFarAsTheFileAllows) {
  files_.Put("C:\\APP\\GOOD.DLL", TinyDll({"DllRegisterServer"}).image);
  files_.Put("C:\\APP\\FAILS.DLL", TinyDll({"DllRegisterServer"}, true).image);
  files_.Put("C:\\APP\\PLAIN.DLL", TinyDll({"DllMain"}).image);
  files_.Put("C:\\APP\\README.DLL", "not an image");
  outcomes_.dllRegisterResults["C:\\APP\\FAILS.DLL"] = platform::kSFalse;

  struct Case {
    const char* path;
    Stage stage;
    std::int32_t result;
    const char* line;
  };
  const Case cases[] = {
      {"C:\\APP\\GOOD.DLL", Stage::Called, platform::kSOk,
       "com-dll\tC:\\\\APP\\\\GOOD.DLL\tcalled 0x00000000"},
      {"c:\\app\\fails.dll", Stage::Called, platform::kSFalse,
       "com-dll\tc:\\\\app\\\\fails.dll\tcalled 0x00000001"},
      {"C:\\APP\\PLAIN.DLL", Stage::NoEntryPoint, 0,
       "com-dll\tC:\\\\APP\\\\PLAIN.DLL\tno-entry-point"},
      {"C:\\APP\\README.DLL", Stage::NotLoaded, 0, "com-dll\tC:\\\\APP\\\\README.DLL\tnot-loaded"},
      {"C:\\APP\\MISSING.DLL", Stage::NotLoaded, 0,
       "com-dll\tC:\\\\APP\\\\MISSING.DLL\tnot-loaded"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const platform::DllRegisterOutcome outcome = com_.CallDllRegisterServer(c.path);
    EXPECT_EQ(outcome.stage, c.stage);
    EXPECT_EQ(outcome.result, c.result);
    EXPECT_EQ(transcript_.Lines().back(), c.line);
  }
}

// Taking a registration back is recorded as its own kind of line, with its own outcomes:
// a DLL needs the export "DllUnregisterServer" (the registration's export is not enough),
// and a crash ends the caller.
TEST_F(SandboxComTest, UnregistrationHasItsOwnEntryPointAndOutcomes) {
  files_.Put("C:\\APP\\BOTH.DLL", TinyDll({"DllRegisterServer", "DllUnregisterServer"}).image);
  files_.Put("C:\\APP\\ONLYREG.DLL", TinyDll({"DllRegisterServer"}).image);
  files_.Put("C:\\APP\\FAILS.DLL", TinyDll({"DllUnregisterServer"}).image);
  files_.Put("C:\\APP\\CRASHES.DLL", TinyDll({"DllUnregisterServer"}).image);
  outcomes_.dllUnregisterResults["C:\\APP\\FAILS.DLL"] = platform::kEFail;
  outcomes_.dllRegisterResults["C:\\APP\\BOTH.DLL"] = platform::kEFail;
  outcomes_.dllUnregisterCrashes.insert("C:\\APP\\CRASHES.DLL");

  struct Case {
    const char* path;
    Stage stage;
    std::int32_t result;
    const char* outcome;
  };
  const Case cases[] = {
      {"C:\\APP\\BOTH.DLL", Stage::Called, platform::kSOk, "called 0x00000000"},
      {"C:\\APP\\ONLYREG.DLL", Stage::NoEntryPoint, 0, "no-entry-point"},
      {"c:\\app\\fails.dll", Stage::Called, platform::kEFail, "called 0x80004005"},
      {"C:\\APP\\MISSING.DLL", Stage::NotLoaded, 0, "not-loaded"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const platform::DllRegisterOutcome outcome = com_.CallDllUnregisterServer(c.path);
    EXPECT_EQ(outcome.stage, c.stage);
    EXPECT_EQ(outcome.result, c.result);
    EXPECT_EQ(transcript_.Lines().back(),
              "com-dll-unregister\t" + Transcript::Escape(c.path) + "\t" + c.outcome);
  }
  EXPECT_THROW(com_.CallDllUnregisterServer("C:\\APP\\CRASHES.DLL"), ServerCrashed);
  EXPECT_EQ(transcript_.Lines().back(), "com-dll-unregister\tC:\\\\APP\\\\CRASHES.DLL\tcrashed");

  using TlbStage = platform::TypeLibUnregisterOutcome::Stage;
  files_.Put("C:\\APP\\OURS.TLB", "MSFT....");
  files_.Put("C:\\APP\\SHARED.TLB", "MSFT....");
  files_.Put("C:\\APP\\TEXT.TLB", "library Demo {}");
  outcomes_.typeLibsRegisteredElsewhere.insert("C:\\APP\\SHARED.TLB");
  struct TlbCase {
    const char* path;
    bool missingFunction;
    TlbStage stage;
    const char* outcome;
  };
  const TlbCase tlbCases[] = {
      {"C:\\APP\\OURS.TLB", false, TlbStage::Called, "0x00000000"},
      {"C:\\APP\\SHARED.TLB", false, TlbStage::OtherFile, "other-file"},
      {"C:\\APP\\TEXT.TLB", false, TlbStage::Called, "0x80029C4A"},
      {"C:\\APP\\OURS.TLB", true, TlbStage::Unsupported, "unsupported"},
  };
  for (const TlbCase& c : tlbCases) {
    SCOPED_TRACE(c.path);
    outcomes_.typeLibUnregisterMissing = c.missingFunction;
    EXPECT_EQ(com_.UnregisterTypeLibrary(c.path).stage, c.stage);
    EXPECT_EQ(transcript_.Lines().back(),
              "com-typelib-unregister\t" + Transcript::Escape(c.path) + "\t" + c.outcome);
  }
}

TEST_F(SandboxComTest, TypeLibrariesNeedTheirSignature) {
  files_.Put("C:\\APP\\NEW.TLB", std::string("MSFT\x02\x00\x01\x00", 8));
  files_.Put("C:\\APP\\OLD.TLB", "SLTG....");
  files_.Put("C:\\APP\\REFUSED.TLB", "MSFT....");
  files_.Put("C:\\APP\\TEXT.TLB", "library Demo {}");
  files_.Put("C:\\APP\\SHORT.TLB", "MSF");
  outcomes_.typeLibResults["C:\\APP\\REFUSED.TLB"] = platform::kEFail;

  struct Case {
    const char* path;
    std::int32_t result;
    const char* text;
  };
  const Case cases[] = {
      {"C:\\APP\\NEW.TLB", platform::kSOk, "0x00000000"},
      {"C:\\APP\\OLD.TLB", platform::kSOk, "0x00000000"},
      {"c:\\App\\Refused.tlb", platform::kEFail, "0x80004005"},
      {"C:\\APP\\TEXT.TLB", kTypeECantLoadLibrary, "0x80029C4A"},
      {"C:\\APP\\SHORT.TLB", kTypeECantLoadLibrary, "0x80029C4A"},
      {"C:\\APP\\MISSING.TLB", kTypeECantLoadLibrary, "0x80029C4A"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(com_.RegisterTypeLibrary(c.path), c.result);
    EXPECT_EQ(transcript_.Lines().back(),
              "com-typelib\t" + Transcript::Escape(c.path) + "\t" + c.text);
  }
}

}  // namespace
}  // namespace sandbox
