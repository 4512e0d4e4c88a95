#include "platform/sandbox/Paths.h"

#include <gtest/gtest.h>

#include "platform/WinTypes.h"
#include "tests/platform/sandbox/SandboxTestUtil.h"

namespace sandbox {
namespace {

namespace fs = std::filesystem;

class PathResolverTest : public ::testing::Test {
 protected:
  PathResolverTest() : paths_(machine_.Path()) {
    test::WriteHostFile(DriveC() / "Windows" / "System" / "Ctl3d.dll", "x");
    test::WriteHostFile(medium_.Path() / "Setup.Inf", "x");
    paths_.Mount('d', medium_.Path(), platform::kDriveCdrom);
  }
  fs::path DriveC() const { return machine_.Path() / "drive_c"; }

  test::TempDir machine_;
  test::TempDir medium_;
  PathResolver paths_;
};

TEST_F(PathResolverTest, ResolvesToFullPathAndHostEntry) {
  struct Case {
    const char* name;
    const char* current;  // current directory
    const char* input;
    const char* fullPath;
    fs::path host;  // relative to drive_c, or absolute
  };
  const fs::path medium = medium_.Path();
  const Case cases[] = {
      {"existing entries match without regard to case", "C:\\", "c:\\WINDOWS\\system\\CTL3D.DLL",
       "C:\\WINDOWS\\system\\CTL3D.DLL", "Windows/System/Ctl3d.dll"},
      {"a new name keeps the case it was given", "C:\\", "C:\\windows\\NewDir\\File.Txt",
       "C:\\windows\\NewDir\\File.Txt", "Windows/NewDir/File.Txt"},
      {"slashes separate like backslashes", "C:\\", "C:/Windows//System/", "C:\\Windows\\System",
       "Windows/System"},
      {"dot and dot-dot are resolved lexically", "C:\\", "C:\\Windows\\.\\Missing\\..\\System",
       "C:\\Windows\\System", "Windows/System"},
      {"relative from the current directory", "C:\\WINDOWS", "system\\x.dll",
       "C:\\WINDOWS\\system\\x.dll", "Windows/System/x.dll"},
      {"dot-dot from the current directory", "C:\\WINDOWS\\SYSTEM", "..\\win.ini",
       "C:\\WINDOWS\\win.ini", "Windows/win.ini"},
      {"leading backslash is the current drive's root", "D:\\", "\\setup.inf", "D:\\setup.inf",
       medium / "Setup.Inf"},
      {"drive without backslash starts at its root", "C:\\WINDOWS", "d:SETUP.INF", "D:\\SETUP.INF",
       medium / "Setup.Inf"},
      {"bare drive is its root", "C:\\WINDOWS", "C:", "C:\\", ""},
      {"trailing dots and blanks are dropped", "C:\\", "C:\\Windows.\\readme. ",
       "C:\\Windows\\readme", "Windows/readme"},
      // As on Windows, ".." at a drive's root stays there, and the drive is never left.
      {"dot-dot at the root stays at the root", "C:\\", "C:\\..\\outside\\secret.txt",
       "C:\\outside\\secret.txt", "outside/secret.txt"},
      {"dot-dot above the root from a directory", "C:\\WINDOWS\\SYSTEM",
       "..\\..\\..\\WINDOWS\\evil.exe", "C:\\WINDOWS\\evil.exe", "Windows/evil.exe"},
      {"dot-dot at a mounted root", "C:\\", "D:\\..\\..\\setup.inf", "D:\\setup.inf",
       medium / "Setup.Inf"},
  };
  for (const Case& c : cases) {
    paths_.SetCurrentDirectory(c.current);
    const Resolution r = paths_.Resolve(c.input);
    ASSERT_TRUE(r.path) << c.name;
    EXPECT_EQ(r.path->windowsPath, c.fullPath) << c.name;
    const fs::path expected =
        c.host.is_absolute() ? c.host : (c.host.empty() ? DriveC() : DriveC() / c.host);
    EXPECT_EQ(r.path->hostPath.lexically_normal(), expected.lexically_normal()) << c.name;
    EXPECT_EQ(paths_.FullPath(c.input), std::optional<std::string>(c.fullPath)) << c.name;
  }
}

TEST_F(PathResolverTest, RefusesPathsThatLeaveTheMachine) {
  const fs::path outside = machine_.Path() / "outside";
  fs::create_directories(outside);
  test::WriteHostFile(outside / "secret.txt", "secret");
  fs::create_directory_symlink(outside, DriveC() / "Link");
  fs::create_symlink(outside / "secret.txt", DriveC() / "Windows" / "win.ini");

  struct Case {
    const char* name;
    const char* input;
    std::uint32_t error;
  };
  const Case cases[] = {
      {"UNC name", "\\\\server\\share\\x", platform::kErrorAccessDenied},
      {"device path", "\\\\.\\C:", platform::kErrorAccessDenied},
      {"directory symlink", "C:\\link\\secret.txt", platform::kErrorAccessDenied},
      {"file symlink", "C:\\WINDOWS\\WIN.INI", platform::kErrorAccessDenied},
      {"symlink found by exact name", "C:\\Link", platform::kErrorAccessDenied},
      {"unmounted drive", "E:\\x", platform::kErrorPathNotFound},
      {"wildcard in a name", "C:\\a*b", platform::kErrorInvalidName},
      {"colon inside a name", "C:\\a:b", platform::kErrorInvalidName},
      {"empty path", "", platform::kErrorPathNotFound},
  };
  for (const Case& c : cases) {
    const Resolution r = paths_.Resolve(c.input);
    EXPECT_FALSE(r.path) << c.name;
    EXPECT_EQ(r.error, c.error) << c.name;
    EXPECT_FALSE(paths_.HostPath(c.input)) << c.name;
  }
}

TEST_F(PathResolverTest, PrefersTheExactMatchAmongNamesDifferingInCase) {
  test::WriteHostFile(DriveC() / "data" / "FILE.TXT", "upper");
  test::WriteHostFile(DriveC() / "data" / "file.txt", "lower");
  EXPECT_EQ(paths_.HostPath("C:\\data\\file.txt"), DriveC() / "data" / "file.txt");
  EXPECT_EQ(paths_.HostPath("C:\\data\\FILE.TXT"), DriveC() / "data" / "FILE.TXT");
  // Neither matches exactly: the first in byte order is taken.
  EXPECT_EQ(paths_.HostPath("C:\\data\\File.txt"), DriveC() / "data" / "FILE.TXT");
}

TEST_F(PathResolverTest, KnowsItsDrives) {
  EXPECT_EQ(paths_.DriveMask(), (1u << 2) | (1u << 3));
  EXPECT_EQ(paths_.DriveType('c'), platform::kDriveFixed);
  EXPECT_EQ(paths_.DriveType('D'), platform::kDriveCdrom);
  EXPECT_EQ(paths_.DriveType('E'), platform::kDriveNoRootDir);
  EXPECT_EQ(paths_.DriveRoot('d'), medium_.Path());
  EXPECT_FALSE(paths_.DriveRoot('E'));
  EXPECT_THROW(paths_.Mount('C', medium_.Path(), platform::kDriveFixed), std::invalid_argument);
}

TEST(UpperKey, TurnsOnlyAsciiLettersUp) {
  EXPECT_EQ(UpperKey("c:\\Windows\\\x9a\xe8.dll"), "C:\\WINDOWS\\\x9a\xe8.DLL");
}

}  // namespace
}  // namespace sandbox
