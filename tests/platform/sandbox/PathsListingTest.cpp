// The names of directories already read are kept between resolutions: whatever changes a
// directory afterwards, through the file service or behind its back, must be seen.
#include <gtest/gtest.h>

#include <functional>

#include "platform/WinTypes.h"
#include "platform/sandbox/Paths.h"
#include "platform/sandbox/SandboxFiles.h"
#include "tests/platform/sandbox/SandboxTestUtil.h"

namespace sandbox {
namespace {

namespace fs = std::filesystem;

class PathsListingTest : public ::testing::Test {
 protected:
  PathsListingTest()
      : paths_(machine_.Path()),
        files_(paths_, faults_, "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM", "D:\\SETUP.EXE",
               platform::kPlatformWin32Nt) {
    test::WriteHostFile(Data() / "Old.txt", "old");
    test::WriteHostFile(Data() / "Sub" / "Inner.txt", "inner");
  }
  fs::path C() const { return machine_.Path() / "drive_c"; }
  fs::path Data() const { return C() / "Data"; }
  bool Create(const std::string& path) {
    return files_.Open(path, platform::kGenericRead | platform::kGenericWrite, 0,
                       platform::Disposition::CreateNew) != nullptr;
  }

  test::TempDir machine_;
  test::TempDir outside_;
  PathResolver paths_;
  Faults faults_;
  SandboxFiles files_;
};

TEST_F(PathsListingTest, SeesEveryChangeMadeAfterTheDirectoryWasRead) {
  struct Case {
    const char* name;
    std::function<void()> change;  // run after the listing of Data was read
    const char* lookup;
    fs::path host;  // relative to drive_c
  };
  const Case cases[] = {
      {"file made by the service", [&] { ASSERT_TRUE(Create("C:\\DATA\\New.Txt")); },
       "c:\\data\\NEW.TXT", "Data/New.Txt"},
      {"directory made by the service",
       [&] { ASSERT_TRUE(files_.CreateDirectory("c:\\data\\Made")); }, "C:\\DATA\\MADE\\x",
       "Data/Made/x"},
      {"file removed by the service, then made again in another case",
       [&] {
         ASSERT_TRUE(files_.DeleteFile("C:\\Data\\Old.txt"));
         ASSERT_TRUE(Create("C:\\Data\\OLD.TXT"));
       },
       "c:\\data\\old.txt", "Data/OLD.TXT"},
      {"file removed by the service, name now new",
       [&] { ASSERT_TRUE(files_.DeleteFile("C:\\Data\\Old.txt")); }, "C:\\DATA\\old.TXT",
       "Data/old.TXT"},
      {"directory removed by the service",
       [&] {
         ASSERT_TRUE(files_.DeleteFile("C:\\Data\\Sub\\Inner.txt"));
         ASSERT_TRUE(files_.RemoveDirectory("C:\\Data\\Sub"));
       },
       "C:\\DATA\\SUB", "Data/SUB"},
      {"file made on the host, then another removed by the service",
       [&] {
         test::WriteHostFile(Data() / "Host.Txt", "h");
         ASSERT_TRUE(files_.DeleteFile("C:\\Data\\Old.txt"));
       },
       "C:\\data\\HOST.TXT", "Data/Host.Txt"},
      {"directory made on the host at the root, then a file removed there by the service",
       [&] {
         test::WriteHostFile(C() / "Top.txt", "t");
         ASSERT_TRUE(paths_.HostPath("C:\\TOP.TXT"));
         fs::create_directory(C() / "HostDir");
         ASSERT_TRUE(files_.DeleteFile("C:\\Top.txt"));
       },
       "C:\\hostdir\\x", "HostDir/x"},
      {"file made on the host", [&] { test::WriteHostFile(Data() / "Host.Txt", "h"); },
       "C:\\data\\host.txt", "Data/Host.Txt"},
      {"file renamed on the host", [&] { fs::rename(Data() / "Old.txt", Data() / "Renamed.TXT"); },
       "C:\\DATA\\renamed.txt", "Data/Renamed.TXT"},
      {"old name of a file renamed on the host",
       [&] { fs::rename(Data() / "Old.txt", Data() / "Renamed.TXT"); }, "C:\\DATA\\OLD.TXT",
       "Data/OLD.TXT"},
      {"directory replaced on the host",
       [&] {
         fs::remove_all(Data());
         test::WriteHostFile(Data() / "Fresh.txt", "f");
       },
       "C:\\DATA\\FRESH.TXT", "Data/Fresh.txt"},
  };
  for (const Case& c : cases) {
    fs::remove_all(C() / "Data");
    test::WriteHostFile(Data() / "Old.txt", "old");
    test::WriteHostFile(Data() / "Sub" / "Inner.txt", "inner");
    // A name in another case has the directory read; a missing name is looked up in it.
    ASSERT_EQ(paths_.HostPath("C:\\DATA\\OLD.TXT"), Data() / "Old.txt") << c.name;
    ASSERT_EQ(paths_.HostPath("C:\\DATA\\Missing"), Data() / "Missing") << c.name;
    c.change();
    EXPECT_EQ(paths_.HostPath(c.lookup), C() / c.host) << c.name;
  }
}

TEST_F(PathsListingTest, SymlinkAppearingAfterTheDirectoryWasReadIsRefused) {
  ASSERT_EQ(paths_.HostPath("C:\\DATA\\OLD.TXT"), Data() / "Old.txt");
  fs::create_directory_symlink(outside_.Path(), Data() / "Escape");
  const Resolution r = paths_.Resolve("C:\\data\\ESCAPE\\x");
  EXPECT_FALSE(r.path);
  EXPECT_EQ(r.error, platform::kErrorAccessDenied);
}

TEST_F(PathsListingTest, ManyDirectoriesStayCorrect) {
  // More directories than are kept at once, each read, then each changed and asked again.
  constexpr int kDirs = 150;
  for (int i = 0; i < kDirs; ++i)
    test::WriteHostFile(C() / ("D" + std::to_string(i)) / "File.Txt", "x");
  for (int i = 0; i < kDirs; ++i)
    ASSERT_EQ(paths_.HostPath("C:\\d" + std::to_string(i) + "\\FILE.TXT"),
              C() / ("D" + std::to_string(i)) / "File.Txt");
  for (int i = 0; i < kDirs; ++i) {
    const std::string dir = "C:\\d" + std::to_string(i);
    ASSERT_TRUE(files_.DeleteFile(dir + "\\file.txt")) << i;
    ASSERT_TRUE(Create(dir + "\\FILE.txt")) << i;
  }
  for (int i = 0; i < kDirs; ++i)
    EXPECT_EQ(paths_.HostPath("C:\\D" + std::to_string(i) + "\\file.txt"),
              C() / ("D" + std::to_string(i)) / "FILE.txt")
        << i;
}

TEST_F(PathsListingTest, ManyNewFilesInOneDirectoryKeepTheirNames) {
  // The case a large installation puts the listing through: each new name is checked
  // against the listing and then added to it.
  for (int i = 0; i < 500; ++i) {
    const std::string name = "F" + std::to_string(i) + ".Dat";
    ASSERT_TRUE(Create("C:\\DATA\\" + name)) << name;
    ASSERT_FALSE(Create("c:\\data\\f" + std::to_string(i) + ".DAT")) << name;
    ASSERT_EQ(files_.LastError(), platform::kErrorFileExists) << name;
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(Data()), fs::directory_iterator()), 502);
}

}  // namespace
}  // namespace sandbox
