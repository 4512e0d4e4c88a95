// setup-pack: a template and the product's files give a complete medium that checks clean.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>

#include "platform/SzddHeader.h"
#include "script/TextLines.h"
#include "tests/tools/MediumFolder.h"
#include "tools/medium/CheckMedium.h"
#include "tools/medium/Pack.h"
#include "tools/medium/Szdd.h"

namespace {

using medium::testing::ScratchDir;
using Lines = std::vector<std::string>;

Lines CheckOf(const std::filesystem::path& out) {
  const std::optional<medium::MediumDir> dir = medium::MediumDir::Open(out);
  EXPECT_TRUE(dir);
  if (!dir) return {"<no medium>"};
  Lines printed;
  for (const medium::Finding& f : medium::CheckMedium(*dir, *medium::ReadMediumScript(*dir), {}))
    printed.push_back(medium::FormatFinding(f));
  return printed;
}

// Every file below `root` with its bytes, to tell that nothing was touched.
std::map<std::string, std::string> Snapshot(const std::filesystem::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    files[entry.path().lexically_relative(root).generic_string()] =
        std::string(std::istreambuf_iterator<char>(in), {});
  }
  return files;
}

class Pack : public ::testing::Test {
 protected:
  Pack() : work_("pack") {
    work_.Put("programs/SETUP.EXE", "MZsetup");
    work_.Put("programs/uninstkp.exe", "MZuninstall");
    work_.Put("product/app.exe", std::string(3000, 'x'));
    work_.Put("product/Help/App.hlp", "help text help text help text");
    work_.Put("product/data.bin", std::string(5000, 'd'));
    work_.Put("product/en.lng", "english");
    work_.Put("product/present.bmp", "BM");
    work_.PutScript(
        {"InstTo=C:\\App", "CAPTION=App", "UNINSTALL=YES", "LANG=English,en.ln_,app.lng",
         "COPYTOBASE=app.ex_,app.exe", "COPYTOBASE=help\\app.hl_,help\\app.hlp$$1$$", "DISK=2",
         "COPYTOBASE=data.bi_,data.bin"},
        "template.inf");
  }
  medium::PackOptions Options() const { return medium::testing::PackOptionsIn(work_.path()); }
  ScratchDir work_;
};

TEST_F(Pack, CompressedMediumHasSizesProcessAndProgramsAndChecksClean) {
  medium::PackOptions options = Options();
  options.compress = true;
  medium::PackMedium(options);
  EXPECT_EQ(script::SplitTextLines(work_.Read("out/Setup.Inf")),
            (Lines{"InstTo=C:\\App", "CAPTION=App", "UNINSTALL=YES", "LANG=English,en.ln_,app.lng",
                   "PROCESS=8047", "COMPRESSED=YES", "COPYTOBASE=app.ex_,app.exe$$3000$$",
                   "COPYTOBASE=help\\app.hl_,help\\app.hlp$$29$$", "DISK=2",
                   "COPYTOBASE=data.bi_,data.bin$$5000$$"}));
  const medium::SzddExpansion app = medium::ExpandSzdd(work_.Read("out/app.ex_"));
  EXPECT_TRUE(app.bytes == std::string(3000, 'x'));
  EXPECT_EQ(work_.Read("out/app.ex_")[9], 'e');
  EXPECT_EQ(work_.Read("out/en.ln_"), "english");  // SZDD would be longer
  EXPECT_EQ(work_.Read("out/setup.exe"), "MZsetup");
  EXPECT_EQ(work_.Read("out/uninstkp.exe"), "MZuninstall");
  EXPECT_EQ(work_.Read("out/Present.bmp"), "BM");
  EXPECT_EQ(CheckOf(options.out), Lines{});
}

TEST_F(Pack, CompressionKeepsAFileAsItIsWhenItWouldNotBeSmaller) {
  const std::string signature("SZDD\x88\xF0\x27\x33", 8);
  struct Case {
    std::string name;
    std::string bytes;
    bool compressed;
  };
  const Case cases[] = {
      {"what compresses", std::string(3000, 'x'), true},
      {"a short readme",
       "Demo Office 2.0\r\nRead the help file for what is new. Questions go to the address on "
       "the box.\r\n",
       false},
      {"a plain file that begins like an SZDD one", signature + "plain", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchDir work("pack-store");
    work.Put("programs/setup.exe", "MZsetup");
    work.Put("product/file.dat", c.bytes);
    work.PutScript(
        {"InstTo=C:\\App", "LANG=English,file.dat,app.lng", "COPYTOBASE=file.da_,file.dat"},
        "template.inf");
    medium::PackOptions options = medium::testing::PackOptionsIn(work.path());
    options.compress = true;
    medium::PackMedium(options);
    const std::string stored = work.Read("out/file.da_");
    EXPECT_EQ(platform::HasSzddSignature(stored), c.compressed);
    EXPECT_EQ(c.compressed ? medium::ExpandSzdd(stored).bytes : stored, c.bytes);
    EXPECT_EQ(CheckOf(options.out), Lines{});
  }
}

TEST_F(Pack, DiskettesAreFilledInWholeClustersInTheTemplatesOrder) {
  // 730,000 and 735,000 bytes are 1,465,000 together, less than 1440 KB, but take
  // 1,465,344 bytes in 512-byte clusters, more than the 1,457,664 a diskette holds.
  work_.Put("product/app.exe", std::string(730000, 'a'));
  work_.Put("product/data.bin", std::string(735000, 'd'));
  work_.PutScript({"InstTo=C:\\App", "CAPTION=App", "UNINSTALL=YES", "LANG=English,en.lng,app.lng",
                   "COPYTOBASE=app.exe,app.exe", "COPYTOBASE=data.bin,data.bin", "DISK=7",
                   "COPYTOBASE=app.exe,copy.exe"},
                  "template.inf");
  medium::PackOptions options = Options();
  options.diskKB = 1440;
  medium::PackMedium(options);
  const Lines script = {"InstTo=C:\\App",
                        "CAPTION=App",
                        "UNINSTALL=YES",
                        "LANG=English,en.lng,app.lng",
                        "PROCESS=2195018",  // the uninstaller counted
                        "COPYTOBASE=app.exe,app.exe$$730000$$",
                        "DISK=2",
                        "COPYTOBASE=data.bin,data.bin$$735000$$",
                        "DISK=3",
                        "COPYTOBASE=app.exe,copy.exe$$730000$$"};
  EXPECT_EQ(script::SplitTextLines(work_.Read("out/DISK1/Setup.Inf")), script);
  EXPECT_EQ(work_.Read("out/DISK2/data.bin").size(), 735000u);
  EXPECT_EQ(work_.Read("out/DISK3/app.exe").size(), 730000u);
  EXPECT_EQ(work_.Read("out/DISK3/en.lng"), "english");
  EXPECT_EQ(work_.Read("out/DISK3/uninstkp.exe"), "MZuninstall");
  // The installer makes the uninstall log from the Setup.Inf of the disk in the drive at
  // the end: the last disk carries it too.
  EXPECT_EQ(work_.Read("out/DISK3/Setup.Inf"), work_.Read("out/DISK1/Setup.Inf"));
  EXPECT_EQ(CheckOf(options.out), Lines{});
}

TEST_F(Pack, NeverWritesADiskThatDoesNotFit) {
  struct Case {
    std::string name;
    std::string file;  // a file of the work folder made too big
    std::string message;
  };
  const Case cases[] = {
      {"setup.exe too big for disk 1", "programs/setup.exe",
       "disk 1 cannot hold what must be on it: Setup.Inf (up to "},
      {"a product file too big for any disk", "product/data.bin",
       "data.bi_ (1,457,665 bytes) does not fit on a disk: a 1440 KB disk holds 1,457,664 bytes "
       "(2,847 clusters of 512 bytes) and 223 root folder entries"},
      {"the uninstaller too big for the last disk", "programs/uninstkp.exe",
       "the last disk cannot hold what is taken from it at the end: en.ln_ (7 bytes), "
       "uninstkp.exe (1,457,665 bytes), Setup.Inf (up to "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchDir work("pack-oversize");
    for (const auto& [name, bytes] : Snapshot(work_.path())) work.Put(name, bytes);
    work.Put(c.file, std::string(1457665, 'x'));
    medium::PackOptions options = medium::testing::PackOptionsIn(work.path());
    options.diskKB = 1440;
    try {
      medium::PackMedium(options);
      ADD_FAILURE() << "packed";
    } catch (const medium::PackError& error) {
      EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
    }
    EXPECT_FALSE(std::filesystem::exists(options.out));
  }
}

TEST_F(Pack, RefusesWhatCannotBePacked) {
  medium::PackOptions options = Options();
  options.diskKB = 2;
  EXPECT_THROW(medium::PackMedium(options), medium::PackError);
  work_.PutScript({"COPYTOBASE=missing.dat,m.dat"}, "template.inf");
  EXPECT_THROW(medium::PackMedium(Options()), medium::PackError);
}

TEST_F(Pack, FindingsAreReportedAtTheTemplatesLines) {
  work_.PutScript(
      {"InstTo=C:\\App", "CAPTION=App", "LANG=English,en.lng,app.lng", "COPYTOBASE=app.exe,app.exe",
       "COPYTOBSE=app.exe,b.exe", "COPYTOBASE=data.bin,APP.EXE"},
      "template.inf");
  medium::PackOptions options = Options();
  options.compress = true;  // PROCESS and COMPRESSED=YES are added before the copy lines
  const medium::PackResult packed = medium::PackMedium(options);
  const std::optional<medium::MediumDir> dir = medium::MediumDir::Open(options.out);
  ASSERT_TRUE(dir);
  medium::CheckOptions check;
  check.lineNumbers = packed.templateLines;
  Lines printed;
  for (const medium::Finding& f : medium::CheckMedium(*dir, *medium::ReadMediumScript(*dir), check))
    printed.push_back(medium::FormatFinding(f, "template.inf"));
  EXPECT_EQ(printed,
            (Lines{"template.inf:5: error: unknown key COPYTOBSE (did you mean "
                   "COPYTOBASE?); the line is ignored",
                   "template.inf:6: warning: destination APP.EXE is also written by line 4"}));
}

TEST_F(Pack, RefusesAnOutFolderThatIsNotItsOwnAndTouchesNothing) {
  medium::PackMedium(Options());  // out/ now holds a medium of ours
  const auto work = work_.path();
  struct Case {
    std::string name;
    std::function<void(medium::PackOptions&)> change;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"out is the product folder", [&](auto& o) { o.out = o.files; }, " is --files "},
      {"out holds the inputs", [&](auto& o) { o.out = work; }, " holds --script "},
      {"out lies inside the product folder", [&](auto& o) { o.out = o.files / "medium"; },
       " lies inside --files "},
      {"out is the programs folder, named another way",
       [&](auto& o) { o.out = work / "product" / ".." / "programs/"; }, " is --programs "},
      {"a vendor's file beside our medium", [&](auto&) { work_.Put("out/notes.txt", "mine"); },
       " holds notes.txt, which"},
      {"a vendor's folder with a medium of another",
       [&](auto& o) {
         work_.Put("other/Setup.Inf", "CAPTION=Other");
         o.out = work / "other";
       },
       " holds Setup.Inf, which"},
      {"a list that names files outside the folder",
       [&](auto& o) {
         work_.Put("listed/.setup-pack", "setup-pack medium\n../product/app.exe\n");
         o.out = work / "listed";
       },
       " holds .setup-pack, which"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    medium::PackOptions options = Options();
    c.change(options);
    const auto before = Snapshot(work);
    try {
      medium::PackMedium(options);
      ADD_FAILURE() << "packed into " << options.out;
    } catch (const medium::PackError& error) {
      EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
    }
    EXPECT_EQ(Snapshot(work), before);
  }
}

TEST_F(Pack, ReplacesItsOwnMediumOnlyAfterReadingEverything) {
  medium::PackOptions options = Options();
  options.diskKB = 1440;
  medium::PackMedium(options);
  ASSERT_TRUE(std::filesystem::exists(work_.path() / "out" / "DISK1"));
  // A template that names a missing file leaves the medium as it was.
  const auto before = Snapshot(work_.path() / "out");
  work_.PutScript({"COPYTOBASE=missing.dat,m.dat"}, "template.inf");
  EXPECT_THROW(medium::PackMedium(Options()), medium::PackError);
  EXPECT_EQ(Snapshot(work_.path() / "out"), before);
  // A good one replaces it: the disk folders go, the one-folder medium comes.
  work_.PutScript({"InstTo=C:\\App", "LANG=English,en.lng,app.lng", "COPYTOBASE=app.exe,app.exe"},
                  "template.inf");
  medium::PackMedium(Options());
  EXPECT_FALSE(std::filesystem::exists(work_.path() / "out" / "DISK1"));
  EXPECT_EQ(
      work_.Read("out/.setup-pack"),
      "setup-pack medium\nPresent.bmp\nSetup.Inf\napp.exe\nen.lng\nsetup.exe\nuninstkp.exe\n");
}

TEST(SizeTag, SetOrAppended) {
  EXPECT_EQ(medium::WithSizeTag("COPYTOBASE=a,b", 7), "COPYTOBASE=a,b$$7$$");
  EXPECT_EQ(medium::WithSizeTag("COPYTOBASE=a,b$$1$$ rest", 7), "COPYTOBASE=a,b$$7$$ rest");
  EXPECT_EQ(medium::WithSizeTag("COPYTOBASE=a,b,REG$$", 7), "COPYTOBASE=a,b,REG$$7$$");
}

}  // namespace
