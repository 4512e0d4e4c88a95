// What a fresh machine holds: the Windows, system and Start-menu Programs folders of its
// Windows family, as plain directories whose marks tests can change.
#include "platform/sandbox/Machine.h"

#include <gtest/gtest.h>

#include "platform/WinTypes.h"
#include "tests/platform/sandbox/SandboxTestUtil.h"

namespace sandbox {
namespace {

TEST(MachineLayout, FoldersOfEachWindowsFamily) {
  struct Case {
    const char* name;
    std::uint32_t platformId;
    const char* windows;
    const char* system;
    const char* programs;
  };
  const Case cases[] = {
      {"95 family", platform::kPlatformWindows, "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM",
       "C:\\WINDOWS\\Start Menu\\Programs"},
      {"NT", platform::kPlatformWin32Nt, "C:\\WINNT", "C:\\WINNT\\SYSTEM32",
       "C:\\WINNT\\Profiles\\All Users\\Start Menu\\Programs"},
  };
  for (const Case& c : cases) {
    test::TempDir root;
    MachineOptions options;
    options.root = root.Path();
    options.platformId = c.platformId;
    Machine machine(options);
    platform::Files& files = machine.platform().files;
    EXPECT_EQ(machine.ProgramsDirectory(), c.programs) << c.name;
    EXPECT_EQ(files.WindowsDirectory(), c.windows) << c.name;
    EXPECT_EQ(files.SystemDirectory(), c.system) << c.name;
    for (const char* folder : {c.windows, c.system, c.programs})
      EXPECT_EQ(files.GetAttributes(folder), platform::kFileAttributeDirectory)
          << c.name << ": " << folder;
    // Found by a search of its parent, under its own name.
    bool listed = false;
    for (const platform::FindData& entry : files.Find(std::string(c.programs) + "\\..\\*.*"))
      listed = listed ||
               (entry.name == "Programs" && entry.attributes == platform::kFileAttributeDirectory);
    EXPECT_TRUE(listed) << c.name;
  }
}

TEST(MachineLayout, DirectoryMarksAddToTheDirectoryBit) {
  test::TempDir root;
  MachineOptions options;
  options.root = root.Path();
  Machine machine(options);
  platform::Files& files = machine.platform().files;
  const std::string folder = machine.ProgramsDirectory() + "\\Tools";
  ASSERT_TRUE(files.CreateDirectory(folder));
  struct Case {
    const char* name;
    std::uint32_t set;
    std::uint32_t reads;
  };
  const Case cases[] = {
      {"plain", 0, 0x10},
      {"hidden", platform::kFileAttributeHidden, 0x12},
      {"system", platform::kFileAttributeSystem, 0x14},
      {"read-only", platform::kFileAttributeReadonly, 0x11},
      {"archived", platform::kFileAttributeArchive, 0x30},
      {"hidden and system", platform::kFileAttributeHidden | platform::kFileAttributeSystem, 0x16},
      {"marks taken away again", platform::kFileAttributeNormal, 0x10},
  };
  for (const Case& c : cases) {
    if (c.set != 0) {
      ASSERT_TRUE(files.SetAttributes(folder, c.set)) << c.name;
    }
    EXPECT_EQ(files.GetAttributes(folder), c.reads) << c.name;
    // A search reports the same word.
    const std::vector<platform::FindData> found = files.Find(folder);
    ASSERT_EQ(found.size(), 1u) << c.name;
    EXPECT_EQ(found[0].attributes, c.reads) << c.name;
  }
}

}  // namespace
}  // namespace sandbox
