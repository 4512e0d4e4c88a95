// The file system as the browse dialog's lists see it, and the creation of a directory
// with its parents.
#include "wizard/DirSource.h"

#include <gtest/gtest.h>

#include "tests/wizard/PageHarness.h"

namespace {

using page_test::PageHarness;

TEST(ForceDirectories, CreatesWhatIsMissingAndReportsWhatExists) {
  struct Case {
    const char* name;
    const char* path;
    bool exists;                    // the result
    std::vector<std::string> made;  // what it reports it made, outermost first
  };
  const Case cases[] = {
      {"every missing parent",
       "C:\\One\\Two\\Three",
       true,
       {"C:\\One", "C:\\One\\Two", "C:\\One\\Two\\Three"}},
      {"trailing backslash ignored", "C:\\Four\\Five\\", true, {"C:\\Four", "C:\\Four\\Five"}},
      {"existing directory", "C:\\WINDOWS", true, {}},
      {"below an existing one", "C:\\WINDOWS\\New", true, {"C:\\WINDOWS\\New"}},
      {"drive root", "C:\\", true, {}},
      {"drive alone", "C:", true, {}},
      {"drive that is not there", "Q:\\APP", false, {}},
      {"short name in the current directory", "ab", true, {"ab"}},
      {"network path", "\\\\server\\share\\app", false, {}},
  };
  for (const Case& c : cases) {
    PageHarness h;
    platform::Files& files = h.platform().files;
    ASSERT_TRUE(files.SetCurrentDirectory("C:\\WINDOWS"));
    std::vector<std::string> made;
    EXPECT_EQ(ForceDirectories(files, c.path, made), c.exists) << c.name;
    EXPECT_EQ(made, c.made) << c.name;
    for (const std::string& directory : made)
      EXPECT_TRUE(DirectoryExists(files, directory)) << c.name;
  }
  PageHarness h;
  try {
    std::vector<std::string> made;
    ForceDirectories(h.platform().files, "", made);
    ADD_FAILURE() << "an empty path was accepted";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Unable to create directory");
  }
}

TEST(PlatformDirectorySource, SubdirectoriesShownInTheList) {
  PageHarness h;
  platform::Files& files = h.platform().files;
  for (const char* name : {"beta", "Alpha", "Gamma", "Hidden", "System", "ReadOnly"})
    h.MakeDir(std::string("C:\\APP\\") + name);
  testing_support::WriteHostFile(h.machine().HostPath("C:\\APP") / "file.txt", "x");
  ASSERT_TRUE(files.SetAttributes("C:\\APP\\Hidden", platform::kFileAttributeHidden));
  ASSERT_TRUE(files.SetAttributes("C:\\APP\\System", platform::kFileAttributeSystem));
  ASSERT_TRUE(files.SetAttributes("C:\\APP\\ReadOnly", platform::kFileAttributeReadonly));
  PlatformDirectorySource source(h.platform());
  const std::vector<std::string> expected = {"Alpha", "beta", "Gamma", "ReadOnly"};
  EXPECT_EQ(source.SubDirectories("C:\\APP"), expected);
  EXPECT_EQ(source.SubDirectories("C:\\APP\\"), expected);
  EXPECT_TRUE(source.SubDirectories("C:\\NONE").empty());
}

TEST(PlatformDirectorySource, ChangesTheCurrentDirectoryOrSaysWhyNot) {
  PageHarness h;
  PlatformDirectorySource source(h.platform());
  std::string error;
  EXPECT_TRUE(source.ChangeDirectory("c:\\windows", error));
  EXPECT_EQ(h.platform().files.GetCurrentDirectory(), source.CurrentDirectory());
  EXPECT_FALSE(source.ChangeDirectory("C:\\NOT HERE", error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(source.CurrentDirectory(), h.platform().files.GetCurrentDirectory());
}

TEST(PlatformDirectorySource, DrivesWithTheirKindAndLabel) {
  PageHarness h;
  h.machine().disks().SetVolumeLabel('C', "SYSTEM");
  h.machine().disks().SetVolumeLabel('D', "SETUP");
  PlatformDirectorySource source(h.platform());
  const std::vector<forms::DriveEntry> drives = source.Drives();
  const std::vector<forms::DriveEntry> expected = {{'C', forms::DriveKind::Fixed, "SYSTEM"},
                                                   {'D', forms::DriveKind::CdRom, "SETUP"}};
  EXPECT_EQ(drives, expected);
}

}  // namespace
