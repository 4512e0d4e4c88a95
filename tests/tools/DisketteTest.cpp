// What a FAT12 diskette holds: whole clusters, directory entries, folders of their own.
#include "tools/medium/Diskette.h"

#include <gtest/gtest.h>

namespace {

using medium::DisketteFormatOf;
using medium::DiskUsage;

TEST(Diskette, FormatsHoldWhatTheirBootSectorsSay) {
  struct Case {
    std::uint64_t kb;
    std::uint64_t bytes;
    std::uint32_t rootEntries;
  };
  const Case cases[] = {{1440, 1457664, 224},
                        {720, 730112, 112},
                        {160, 313 * 512, 64},
                        {180, 351 * 512, 64},
                        {320, 315 * 1024, 112},
                        {1200, 1213952, 224},
                        {2880, 2931712, 240},
                        // Any other size is laid out the same way: 100 KB has 200 sectors, 1 boot,
                        // 2 x 1 FAT and 1 of root (16 entries), 196 for clusters.
                        {100, 196 * 512, 16}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kb);
    EXPECT_EQ(DisketteFormatOf(c.kb).Bytes(), c.bytes);
    EXPECT_EQ(DisketteFormatOf(c.kb).rootEntries, c.rootEntries);
  }
}

TEST(Diskette, FilesTakeWholeClustersNamesTakeEntriesFoldersTakeClusters) {
  const DiskUsage empty(DisketteFormatOf(1440));
  struct File {
    std::vector<std::string> parts;
    std::uint64_t size;
  };
  struct Case {
    std::string name;
    std::vector<File> files;
    bool fits;
  };
  std::vector<File> shortNames;
  for (int i = 0; i < 223; ++i) shortNames.push_back({{"F" + std::to_string(i) + ".DAT"}, 1});
  std::vector<File> oneTooMany = shortNames;
  oneTooMany.push_back({{"LAST.DAT"}, 1});
  std::vector<File> mixedCase = shortNames;
  mixedCase.back() = {{"Last.dat"}, 1};  // a long name entry besides its short one
  const Case cases[] = {
      {"as bytes they fit, in clusters they do not",
       {{{"A.EXE"}, 730000}, {{"B.BIN"}, 735000}},
       false},
      {"the whole disk in one file", {{{"A.EXE"}, 1457664}}, true},
      {"the whole disk less a cluster, and a file in a folder",
       {{{"A.EXE"}, 1457152}, {{"HELP", "B.HLP"}, 1}},
       false},
      {"the whole disk less two clusters, and a file in a folder",
       {{{"A.EXE"}, 1456640}, {{"HELP", "B.HLP"}, 1}},
       true},
      {"223 names beside the volume label", shortNames, true},
      {"224 names", oneTooMany, false},
      {"a mixed-case name takes two entries", mixedCase, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DiskUsage usage = empty;
    for (const File& file : c.files) usage.AddFile(file.parts, file.size);
    EXPECT_EQ(usage.Fits(), c.fits);
  }
  EXPECT_EQ(medium::DirectoryEntriesOf("SETUP.EXE"), 1u);
  EXPECT_EQ(medium::DirectoryEntriesOf("Setup.Inf"), 2u);
  EXPECT_EQ(medium::DirectoryEntriesOf("a name of twenty-seven.text"), 4u);
}

}  // namespace
