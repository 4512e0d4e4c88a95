// setup-pack: a template and the product's files give a complete medium that checks clean.
#include <gtest/gtest.h>

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
  medium::PackOptions Options() const {
    medium::PackOptions options;
    options.script = work_.path() / "template.inf";
    options.files = work_.path() / "product";
    options.out = work_.path() / "out";
    options.programs = work_.path() / "programs";
    return options;
  }
  ScratchDir work_;
};

TEST_F(Pack, CompressedMediumHasSizesProcessAndProgramsAndChecksClean) {
  medium::PackOptions options = Options();
  options.compress = true;
  medium::PackMedium(options);
  EXPECT_EQ(script::SplitTextLines(work_.Read("out/Setup.Inf")),
            (Lines{"InstTo=C:\\App", "CAPTION=App", "UNINSTALL=YES", "LANG=English,en.ln_,app.lng",
                   "PROCESS=8036", "COMPRESSED=YES", "COPYTOBASE=app.ex_,app.exe$$3000$$",
                   "COPYTOBASE=help\\app.hl_,help\\app.hlp$$29$$", "DISK=2",
                   "COPYTOBASE=data.bi_,data.bin$$5000$$"}));
  const medium::SzddExpansion app = medium::ExpandSzdd(work_.Read("out/app.ex_"));
  EXPECT_TRUE(app.bytes == std::string(3000, 'x'));
  EXPECT_EQ(work_.Read("out/app.ex_")[9], 'e');
  EXPECT_EQ(medium::ExpandSzdd(work_.Read("out/en.ln_")).bytes, "english");
  EXPECT_EQ(work_.Read("out/setup.exe"), "MZsetup");
  EXPECT_EQ(work_.Read("out/uninstkp.exe"), "MZuninstall");
  EXPECT_EQ(work_.Read("out/Present.bmp"), "BM");
  EXPECT_EQ(CheckOf(options.out), Lines{});
}

TEST_F(Pack, DisksTakeTheFilesInTheTemplatesOrder) {
  work_.PutScript({"InstTo=C:\\App", "UNINSTALL=YES", "LANG=English,en.lng,app.lng",
                   "COPYTOBASE=app.exe,app.exe", "COPYTOBASE=data.bin,data.bin", "DISK=7",
                   "COPYTOBASE=app.exe,copy.exe"},
                  "template.inf");
  medium::PackOptions options = Options();
  options.diskKB = 6;
  medium::PackMedium(options);
  EXPECT_EQ(
      script::SplitTextLines(work_.Read("out/DISK1/Setup.Inf")),
      (Lines{"InstTo=C:\\App", "UNINSTALL=YES", "LANG=English,en.lng,app.lng", "PROCESS=11007",
             "COPYTOBASE=app.exe,app.exe$$3000$$", "DISK=2", "COPYTOBASE=data.bin,data.bin$$5000$$",
             "DISK=3", "COPYTOBASE=app.exe,copy.exe$$3000$$"}));
  EXPECT_EQ(work_.Read("out/DISK2/data.bin").size(), 5000u);
  EXPECT_EQ(work_.Read("out/DISK3/app.exe").size(), 3000u);
  EXPECT_EQ(work_.Read("out/DISK3/en.lng"), "english");
  EXPECT_EQ(work_.Read("out/DISK3/uninstkp.exe"), "MZuninstall");
  EXPECT_EQ(CheckOf(options.out), Lines{});
}

TEST_F(Pack, RefusesWhatCannotBePacked) {
  medium::PackOptions options = Options();
  options.diskKB = 2;
  EXPECT_THROW(medium::PackMedium(options), medium::PackError);
  work_.PutScript({"COPYTOBASE=missing.dat,m.dat"}, "template.inf");
  EXPECT_THROW(medium::PackMedium(Options()), medium::PackError);
}

TEST(SizeTag, SetOrAppended) {
  EXPECT_EQ(medium::WithSizeTag("COPYTOBASE=a,b", 7), "COPYTOBASE=a,b$$7$$");
  EXPECT_EQ(medium::WithSizeTag("COPYTOBASE=a,b$$1$$ rest", 7), "COPYTOBASE=a,b$$7$$ rest");
  EXPECT_EQ(medium::WithSizeTag("COPYTOBASE=a,b,REG$$", 7), "COPYTOBASE=a,b,REG$$7$$");
}

}  // namespace
