#include "platform/sandbox/SandboxDisks.h"

#include <gtest/gtest.h>

#include "platform/WinTypes.h"
#include "tests/platform/sandbox/SandboxTestUtil.h"

namespace sandbox {
namespace {

class SandboxDisksTest : public ::testing::Test {
 protected:
  SandboxDisksTest() : paths_(machine_.Path()), disks_(paths_) {
    paths_.Mount('d', medium_.Path(), platform::kDriveCdrom);
  }

  test::TempDir machine_;
  test::TempDir medium_;
  PathResolver paths_;
  SandboxDisks disks_;
};

TEST_F(SandboxDisksTest, ReportsASetFigureInNtfsClusters) {
  struct Case {
    const char* name;
    std::uint64_t bytes;
    std::uint32_t freeClusters;
  };
  const Case cases[] = {
      {"10 MB", 10u * 1024 * 1024, 2560},
      {"less than a cluster", 4095, 0},
      {"odd size", 4096 * 3 + 100, 3},
      {"beyond 32-bit cluster counts", 0x1000000000000ull, 0xFFFFFFFFu},
  };
  for (const Case& c : cases) {
    disks_.SetFreeBytes('c', c.bytes);
    platform::DiskFreeSpace space;
    ASSERT_TRUE(disks_.GetFreeSpace("C:\\", space)) << c.name;
    EXPECT_EQ(space.bytesPerSector, 512u) << c.name;
    EXPECT_EQ(space.sectorsPerCluster, 8u) << c.name;
    EXPECT_EQ(space.freeClusters, c.freeClusters) << c.name;
    EXPECT_GE(space.totalClusters, space.freeClusters) << c.name;
  }
}

TEST_F(SandboxDisksTest, FindsTheDriveOfARoot) {
  disks_.SetFreeBytes('D', 8192);
  platform::DiskFreeSpace space;
  ASSERT_TRUE(paths_.DriveRoot('D'));
  paths_.SetCurrentDirectory("D:\\");
  ASSERT_TRUE(disks_.GetFreeSpace("", space));  // the current drive
  EXPECT_EQ(space.freeClusters, 2u);
  ASSERT_TRUE(disks_.GetFreeSpace("d:", space));
  EXPECT_EQ(space.freeClusters, 2u);
  EXPECT_TRUE(disks_.GetFreeSpace("C:\\", space));  // the host's figure
  EXPECT_FALSE(disks_.GetFreeSpace("E:\\", space));
  EXPECT_FALSE(disks_.GetFreeSpace("C:\\WINDOWS\\", space));
  EXPECT_FALSE(disks_.GetFreeSpace("\\\\server\\share\\", space));
}

TEST_F(SandboxDisksTest, KnowsDriveTypesAndLabels) {
  EXPECT_EQ(disks_.LogicalDrives(), 0x0Cu);
  EXPECT_EQ(disks_.DriveType("C:\\"), platform::kDriveFixed);
  EXPECT_EQ(disks_.DriveType("d:\\"), platform::kDriveCdrom);
  EXPECT_EQ(disks_.DriveType("E:\\"), platform::kDriveNoRootDir);
  EXPECT_EQ(disks_.DriveType(""), platform::kDriveFixed);
  EXPECT_EQ(disks_.VolumeLabel("D:\\"), "");
  disks_.SetVolumeLabel('d', "PRODUCT_CD1");
  disks_.SetVolumeLabel('E', "NOWHERE");
  EXPECT_EQ(disks_.VolumeLabel("D:\\"), "PRODUCT_CD1");
  EXPECT_EQ(disks_.VolumeLabel("E:\\"), "");  // not mapped
}

}  // namespace
}  // namespace sandbox
