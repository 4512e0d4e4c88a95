// setup-pack's images and signatures, read back with the same host tools that made them.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <map>

#include "tests/tools/MediumFolder.h"
#include "tools/medium/Diskette.h"
#include "tools/medium/HostTool.h"
#include "tools/medium/Images.h"
#include "tools/medium/MediumOut.h"
#include "tools/medium/Release.h"

namespace {

namespace fs = std::filesystem;
using medium::RunHostTool;
using medium::testing::ScratchDir;
using Tree = std::map<std::string, std::string>;

// Every file below `root` ("/"-separated relative name -> bytes); folders map to "/".
Tree TreeOf(const fs::path& root) {
  Tree tree;
  // What xorriso extracts is read-only, folders too: the scratch folder must go afterwards.
  fs::permissions(root, fs::perms::owner_all, fs::perm_options::add);
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
    const std::string name = fs::relative(entry.path(), root).generic_string();
    if (entry.is_directory()) {
      tree[name] = "/";
      fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
      continue;
    }
    std::ifstream in(entry.path(), std::ios::binary);
    tree[name] = std::string(std::istreambuf_iterator<char>(in), {});
  }
  return tree;
}

// Bytes that no coder shrinks, so that sizes on the disks are what they seem.
std::string Noise(std::size_t size, std::uint32_t seed) {
  std::string bytes(size, '\0');
  for (char& c : bytes) {
    seed = seed * 1103515245u + 12345u;
    c = static_cast<char>(seed >> 24);
  }
  return bytes;
}

// PATH for the length of a test.
class PathFor {
 public:
  explicit PathFor(const std::string& path) : old_(getenv("PATH") ? getenv("PATH") : "") {
    setenv("PATH", path.c_str(), 1);
  }
  ~PathFor() { setenv("PATH", old_.c_str(), 1); }

 private:
  std::string old_;
};

class Release : public ::testing::Test {
 protected:
  Release() : work_("release") {
    work_.Put("programs/setup.exe", medium::testing::TinyDll("Setup"));
    work_.Put("programs/uninstkp.exe", medium::testing::TinyDll("Uninstall"));
    work_.Put("product/big1.bin", Noise(900000, 1));
    work_.Put("product/big2.bin", Noise(700000, 2));
    work_.Put("product/Help/App.hlp", "help text");
    work_.Put("product/Readme for App.txt", "read me");
    work_.Put("product/en.lng", "english");
    work_.PutScript(
        {"InstTo=C:\\App", "CAPTION=App 2.0 (Beta)", "UNINSTALL=YES", "LANG=English,en.lng,app.lng",
         "COPYTOBASE=big1.bin,big1.bin", "COPYTOBASE=Help\\App.hlp,help\\app.hlp",
         "COPYTOBASE=Readme for App.txt,readme.txt", "COPYTOBASE=big2.bin,big2.bin"},
        "template.inf");
  }
  medium::PackOptions Options(std::optional<std::uint64_t> diskKB) const {
    medium::PackOptions options = medium::testing::PackOptionsIn(work_.path());
    options.diskKB = diskKB;
    return options;
  }
  // Names the files of `folder` and their first bytes: nothing half written may be left.
  Tree Listing(const std::string& folder) const {
    Tree names;
    for (const auto& [name, bytes] : TreeOf(work_.path() / folder))
      names[name] = bytes.substr(0, 5);
    return names;
  }
  ScratchDir work_;
};

TEST_F(Release, DisketteImagesHoldEachDiskUnderItsLabel) {
  const medium::PackOptions options = Options(1440);
  medium::PackMedium(options);
  const std::vector<fs::path> images = medium::MakeDisketteImages(options.out, 1440);
  ASSERT_EQ(images.size(), 2u);
  for (std::size_t i = 0; i < images.size(); ++i) {
    const std::string disk = "DISK" + std::to_string(i + 1);
    SCOPED_TRACE(disk);
    EXPECT_EQ(images[i], options.out / (disk + ".img"));
    EXPECT_EQ(fs::file_size(images[i]), 1474560u);
    EXPECT_EQ(work_.Read("out/" + disk + ".img").substr(54, 8), "FAT12   ");
    EXPECT_NE(RunHostTool({"mlabel", "-i", images[i].string(), "-s", "::"}, "mtools")
                  .find("Volume label is " + disk + " "),
              std::string::npos);
    const fs::path back = work_.path() / ("back" + disk);
    fs::create_directories(back);
    RunHostTool({"mcopy", "-i", images[i].string(), "-s", "-n", "::/*", back.string()}, "mtools");
    EXPECT_EQ(TreeOf(back), TreeOf(options.out / disk));
  }
}

TEST_F(Release, EveryDisketteSizeHoldsADiskThePackerFilled) {
  for (const std::uint64_t kb : {160, 180, 320, 360, 720, 1200, 1440, 2880}) {
    SCOPED_TRACE(kb);
    ASSERT_TRUE(medium::IsStandardDiskette(kb));
    // Setup.Inf in one cluster and a file in all the others: as full as the packer fills one.
    const medium::DisketteFormat format = medium::DisketteFormatOf(kb);
    ScratchDir out("full");
    out.Put("DISK1/Setup.Inf", "CAPTION=Full");
    out.Put("DISK1/FILL.BIN", Noise(std::uint64_t{format.clusters - 1} * format.clusterBytes, 3));
    medium::DiskUsage usage(format);
    usage.AddFile({"Setup.Inf"}, 12);
    usage.AddFile({"FILL.BIN"}, fs::file_size(out.path() / "DISK1/FILL.BIN"));
    ASSERT_TRUE(usage.Fits());
    EXPECT_NO_THROW(medium::MakeDisketteImages(out.path(), kb));
  }
}

TEST_F(Release, ItsOwnMediumWithImagesIsReplacedAndSoIsWhatAStoppedRunLeft) {
  const medium::PackOptions options = Options(1440);
  medium::ReleaseOptions release;
  release.diskImages = true;
  const fs::path list = options.out / medium::kMediumListName;
  const fs::path seen = work_.path() / "list-while-imaging";
  // The host's mformat, which first keeps a copy of the list as it stands while an image is
  // made: what a run stopped there would leave.
  work_.Put("fake/mformat", "#!/bin/sh\ncp '" + list.string() + "' '" + seen.string() +
                                "'\nexec /usr/bin/mformat \"$@\"\n");
  fs::permissions(work_.path() / "fake/mformat", fs::perms::owner_all);
  PathFor path((work_.path() / "fake").string() + ":" + getenv("PATH"));

  medium::PackMedium(options);
  ASSERT_EQ(medium::MakeReleaseImages(options, release).size(), 2u);
  const std::string pending = medium::PendingFile::PathFor("DISK2.img").string();
  EXPECT_NE(work_.Read("list-while-imaging").find("\n" + pending + "\n"), std::string::npos);
  for (const char* image : {"\nDISK1.img\n", "\nDISK2.img\n"})
    EXPECT_NE(work_.Read("out/.setup-pack").find(image), std::string::npos) << image;
  EXPECT_EQ(work_.Read("out/.setup-pack").find(".part-"), std::string::npos);

  // Again into the same folder, with images; then after a run that stopped half way.
  EXPECT_NO_THROW(medium::PackMedium(options));
  EXPECT_FALSE(fs::exists(options.out / "DISK1.img"));  // gone until it is made anew
  EXPECT_EQ(medium::MakeReleaseImages(options, release).size(), 2u);
  fs::copy_file(seen, list, fs::copy_options::overwrite_existing);
  work_.Put("out/" + pending, "half an image");
  EXPECT_NO_THROW(medium::PackMedium(options));
  EXPECT_FALSE(fs::exists(options.out / pending));
  EXPECT_EQ(medium::MakeReleaseImages(options, release).size(), 2u);
  EXPECT_EQ(fs::file_size(options.out / "DISK2.img"), 1474560u);
}

TEST_F(Release, CdImageHoldsTheMediumUnderItsJolietNames) {
  medium::PackOptions options = Options(std::nullopt);
  medium::ReleaseOptions release;
  release.cdImage = work_.path() / "app.iso";
  medium::CheckReleaseOptions(options, release);
  medium::PackMedium(options);
  EXPECT_EQ(medium::MakeReleaseImages(options, release), std::vector<fs::path>{release.cdImage});
  const std::string shown =
      RunHostTool({"xorriso", "-no_rc", "-osirrox", "on", "-read_fs", "norock", "-indev",
                   release.cdImage.string(), "-extract", "/", (work_.path() / "back").string()},
                  "xorriso");
  EXPECT_NE(shown.find("Volume id    : 'APP_2_0_BETA'"), std::string::npos) << shown;
  // setup-pack's list of what it wrote stays in the folder and off the CD.
  Tree medium = TreeOf(options.out);
  EXPECT_EQ(medium.erase(medium::kMediumListName), 1u);
  EXPECT_EQ(TreeOf(work_.path() / "back"), medium);
  EXPECT_TRUE(medium::IsCdImage(release.cdImage));
}

TEST(CdLabel, LettersAndDigitsOfTheCaption) {
  EXPECT_EQ(medium::CdLabel("Demo Office"), "DEMO_OFFICE");
  EXPECT_EQ(medium::CdLabel("  \212achy 2.0!  "), "ACHY_2_0");  // a Windows-1250 letter
  EXPECT_EQ(medium::CdLabel("A very long product caption"), "A_VERY_LONG_PROD");
  EXPECT_EQ(medium::CdLabel("Office Suite 2000"), "OFFICE_SUITE_200");
  EXPECT_EQ(medium::CdLabel("Fifteen letters p"), "FIFTEEN_LETTERS");
  EXPECT_EQ(medium::CdLabel("\x84\x94"), "SETUP");
}

TEST_F(Release, AFailingToolLeavesNoImageAndTheOldOneStands) {
  const std::string fakeTools = (work_.path() / "fake").string();
  work_.Put("fake/mformat", "#!/bin/sh\nexec /usr/bin/mformat \"$@\"\n");
  work_.Put("fake/mcopy", "#!/bin/sh\necho 'Disk full' >&2\nexit 1\n");
  work_.Put("fake/xorriso",
            "#!/bin/sh\nwhile [ $# -gt 0 ]; do [ \"$1\" = -o ] && echo partial >\"$2\"; shift; "
            "done\nexit 3\n");
  for (const char* tool : {"mformat", "mcopy", "xorriso"})
    fs::permissions(work_.path() / "fake" / tool, fs::perms::owner_all);
  medium::PackMedium(Options(1440));
  const Tree before = Listing("out");
  const std::string oldImage = std::string(32769, '\0') + "CD001 the image made before";
  work_.Put("app.iso", oldImage);
  PathFor path(fakeTools);
  try {
    medium::MakeDisketteImages(work_.path() / "out", 1440);
    ADD_FAILURE() << "a failed mcopy was not reported";
  } catch (const medium::ToolError& failure) {
    EXPECT_NE(std::string(failure.what()).find("Disk full"), std::string::npos);
  }
  EXPECT_EQ(Listing("out"), before);
  medium::PackMedium(Options(std::nullopt));
  EXPECT_THROW(medium::MakeCdImage(work_.path() / "out", work_.path() / "app.iso", "APP"),
               medium::ToolError);
  EXPECT_EQ(work_.Read("app.iso"), oldImage);
  for (const auto& [name, bytes] : TreeOf(work_.path()))
    EXPECT_EQ(name.find(".part-"), std::string::npos) << name;
}

TEST_F(Release, MissingToolsAndNamesNoImageCarriesAreSaid) {
  medium::PackMedium(Options(1440));
  {
    PathFor path((work_.path() / "nowhere").string());
    try {
      medium::MakeDisketteImages(work_.path() / "out", 1440);
      ADD_FAILURE() << "a missing mformat was not reported";
    } catch (const medium::ToolError& failure) {
      EXPECT_STREQ(failure.what(),
                   "mformat is not installed (it comes with the Debian package mtools)");
    }
  }
  const struct {
    const char* name;
    const char* says;
  } cases[] = {{"\xE9t\xE9.txt", "a name outside plain ASCII"},
               {"x234567890123456789012345678901234567890123456789012345678901234.txt",
                "a name of more than 64 characters"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchDir folder("names");
    folder.Put(std::string("sub/") + c.name, "x");
    try {
      medium::MakeCdImage(folder.path(), work_.path() / "names.iso", "X");
      ADD_FAILURE() << "accepted";
    } catch (const medium::ToolError& failure) {
      EXPECT_NE(std::string(failure.what()).find(c.says), std::string::npos) << failure.what();
    }
    EXPECT_FALSE(fs::exists(work_.path() / "names.iso"));
  }
}

TEST_F(Release, RequestsThatCannotBeCarriedOutAreRefusedFirst) {
  work_.Put("vendor.txt", "the vendor's own file");
  work_.Put("cert.pem", "certificate");
  const fs::path root = work_.path();
  const struct {
    std::optional<std::uint64_t> diskKB;
    bool images;
    fs::path iso;
    fs::path certificate;
    const char* says;
  } cases[] = {
      {std::nullopt, true, {}, {}, "give --disk-size too"},
      {1000, true, {}, {}, "no diskette is 1000 KB"},
      {1440, false, root / "a.iso", {}, "leave out --disk-size"},
      {std::nullopt, false, root / "out/a.iso", {}, "would lie inside"},
      {std::nullopt, false, root / "product/../product/a.iso", {}, "would lie inside"},
      {std::nullopt, false, root / "vendor.txt", {}, "is no CD image: it is not replaced"},
      {std::nullopt, false, root / "template.inf", {}, "is the template"},
      {std::nullopt, false, root / "no/such/a.iso", {}, "its folder does not exist"},
      {std::nullopt, false, {}, root / "missing.pem", "is not a file that can be read"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.says);
    medium::ReleaseOptions release;
    release.diskImages = c.images;
    release.cdImage = c.iso;
    if (!c.certificate.empty()) release.sign = medium::SigningKey{c.certificate, root / "cert.pem"};
    try {
      medium::CheckReleaseOptions(Options(c.diskKB), release);
      ADD_FAILURE() << "accepted";
    } catch (const medium::PackError& refused) {
      EXPECT_NE(std::string(refused.what()).find(c.says), std::string::npos) << refused.what();
    }
  }
  EXPECT_EQ(work_.Read("vendor.txt"), "the vendor's own file");
}

TEST_F(Release, SignedProgramsVerifyAndTheBuildsStayAsTheyWere) {
  const fs::path key = work_.path() / "key.pem";
  const fs::path certificate = work_.path() / "cert.pem";
  RunHostTool({"openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key.string(),
               "-out", certificate.string(), "-days", "2", "-subj", "/CN=Throwaway Vendor"},
              "openssl");
  medium::PackOptions options = Options(1440);
  medium::ReleaseOptions release;
  release.sign = medium::SigningKey{certificate, key};
  medium::CheckReleaseOptions(options, release);
  medium::PrepareSigning(options, release);
  medium::PackMedium(options);
  const auto verify = [&](const fs::path& program) {
    RunHostTool(
        {"osslsigncode", "verify", "-CAfile", certificate.string(), "-in", program.string()},
        "osslsigncode");
  };
  for (const char* program : {"out/DISK1/setup.exe", "out/DISK2/uninstkp.exe"}) {
    SCOPED_TRACE(program);
    EXPECT_NO_THROW(verify(work_.path() / program));
    EXPECT_GT(work_.Read(program).size(), medium::testing::TinyDll("Setup").size());
  }
  EXPECT_EQ(work_.Read("programs/setup.exe"), medium::testing::TinyDll("Setup"));
  EXPECT_EQ(work_.Read("programs/uninstkp.exe"), medium::testing::TinyDll("Uninstall"));
  std::string changed = work_.Read("out/DISK1/setup.exe");
  changed[0x270] = 'X';  // the export's name: inside what the signature covers
  work_.Put("changed.exe", changed);
  EXPECT_THROW(verify(work_.path() / "changed.exe"), medium::ToolError);
}

}  // namespace
