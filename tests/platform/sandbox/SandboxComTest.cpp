#include "platform/sandbox/SandboxCom.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "platform/sandbox/PeImage.h"
#include "tests/platform/sandbox/TestFileStore.h"

namespace sandbox {
namespace {

using Stage = platform::DllRegisterOutcome::Stage;

void Put16(std::string& image, std::size_t offset, std::uint16_t value) {
  image[offset] = static_cast<char>(value);
  image[offset + 1] = static_cast<char>(value >> 8);
}

void Put32(std::string& image, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) image[offset + i] = static_cast<char>(value >> (8 * i));
}

// A minimal DLL: MZ stub, PE headers, one section at RVA 0x1000 (file offset 0x200) that
// holds the export directory, its three arrays and the names. The offsets are kept so that
// tests can damage the image field by field.
struct TinyDll {
  static constexpr std::size_t kPe = 0x80;
  static constexpr std::size_t kFileHeader = kPe + 4;
  static constexpr std::size_t kOptional = kFileHeader + 20;
  static constexpr std::size_t kSection = 0x200;
  static constexpr std::uint32_t kSectionRva = 0x1000;

  std::string image;
  std::size_t sectionHeader = 0;
  std::size_t exportEntry = 0;  // data directory 0
  std::size_t directory = kSection;

  TinyDll(const std::vector<std::string>& names, bool pe32Plus = false) {
    const std::size_t optionalSize = pe32Plus ? 240 : 224;
    const std::size_t directoryOffset = pe32Plus ? 112 : 96;
    const auto count = static_cast<std::uint32_t>(names.size());
    const std::uint32_t functions = kSectionRva + 40;
    const std::uint32_t nameTable = functions + 4 * count;
    const std::uint32_t ordinals = nameTable + 4 * count;
    std::uint32_t text = ordinals + 2 * count;

    image.assign(kSection + (text - kSectionRva), '\0');
    image[0] = 'M';
    image[1] = 'Z';
    Put32(image, 0x3C, kPe);
    image.replace(kPe, 4, std::string("PE\0\0", 4));
    Put16(image, kFileHeader, pe32Plus ? 0x8664 : 0x14C);
    Put16(image, kFileHeader + 2, 1);
    Put16(image, kFileHeader + 16, static_cast<std::uint16_t>(optionalSize));
    Put16(image, kFileHeader + 18, 0x2102);
    Put16(image, kOptional, pe32Plus ? 0x20B : 0x10B);
    Put32(image, kOptional + 60, kSection);
    Put32(image, kOptional + directoryOffset - 4, 16);
    exportEntry = kOptional + directoryOffset;
    Put32(image, exportEntry, kSectionRva);
    Put32(image, exportEntry + 4, 40);

    Put32(image, directory + 20, count);
    Put32(image, directory + 24, count);
    Put32(image, directory + 28, functions);
    Put32(image, directory + 32, nameTable);
    Put32(image, directory + 36, ordinals);
    for (std::uint32_t i = 0; i < count; ++i) {
      Put32(image, kSection + (functions - kSectionRva) + 4 * i, 0x2000 + 16 * i);
      Put32(image, kSection + (nameTable - kSectionRva) + 4 * i, text);
      Put16(image, kSection + (ordinals - kSectionRva) + 2 * i, static_cast<std::uint16_t>(i));
      image += names[i] + '\0';
      text += static_cast<std::uint32_t>(names[i].size() + 1);
    }
    sectionHeader = kOptional + optionalSize;
    image.replace(sectionHeader, 6, ".edata");
    const auto rawSize = static_cast<std::uint32_t>(image.size() - kSection);
    Put32(image, sectionHeader + 8, rawSize);
    Put32(image, sectionHeader + 12, kSectionRva);
    Put32(image, sectionHeader + 16, rawSize);
    Put32(image, sectionHeader + 20, kSection);
  }
};

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
