// The side picture and the icons of the wizard and the two notices: each one is there, at
// its size, and shows a drawing rather than a flat fill.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "controls/Pictures.h"
#include "tests/wizard/PageHarness.h"
#include "wizard/ExitFrm_.h"
#include "wizard/ShutF_.h"

namespace {

using page_test::kCancel;
using page_test::PageHarness;

// How many different colours a bitmap holds.
std::size_t ColourCount(const forms::Bitmap& bitmap) {
  return std::set<forms::ColorRef>(bitmap.Pixels().begin(), bitmap.Pixels().end()).size();
}

struct Shown {
  std::string name;
  int pictureWidth = 0;
  int pictureHeight = 0;
  int width = 0;
  int height = 0;
  std::size_t colours = 0;
  bool visible = false;
};

Shown Look(const std::string& name, const forms::Image& image) {
  return {name,
          image.Picture().Width(),
          image.Picture().Height(),
          image.Shown().Width(),
          image.Shown().Height(),
          ColourCount(image.Shown()),
          image.Showing()};
}

TEST(Pictures, SidePictureAndIconsAreDrawnAtTheirSizesAfterARun) {
  PageHarness h;
  h.SetScript({"CAPTION=Demo", "INSTTO=C:\\DEMO", "PROCESS=1000"});
  std::vector<Shown> seen;
  // Cancelled on the welcome page: the wizard is still up, with page 1 and its icon.
  const auto run = h.Run("click cancBut\nclick Button1\n", [&](SetupForms& forms) {
    seen.push_back(Look("PageImageA", forms.WizForm->PageImageA));
    seen.push_back(Look("welcome Image1", forms.WizForm->Image1));
    seen.push_back(Look("TExitForm Image1", forms.ExitForm->Image1));
    seen.push_back(Look("TShutForm Image1", forms.ShutForm->Image1));
  });
  ASSERT_EQ(run.stopCode, 3) << run.stopMessage;
  ASSERT_EQ(seen.size(), 4u);
  for (const Shown& s : seen) {
    const bool side = s.name == "PageImageA";
    const int w = side ? 120 : 32;
    const int hgt = side ? 260 : 32;
    EXPECT_EQ(s.pictureWidth, w) << s.name;
    EXPECT_EQ(s.pictureHeight, hgt) << s.name;
    EXPECT_EQ(s.width, w) << s.name;
    EXPECT_EQ(s.height, hgt) << s.name;
    // A drawing, not a fill: a gradient has dozens of shades, an icon at least a handful.
    EXPECT_GE(s.colours, side ? 40u : 5u) << s.name;
  }
  EXPECT_TRUE(seen[0].visible) << "the side picture shows on every page";
  EXPECT_TRUE(seen[1].visible) << "the welcome icon shows on page 1";
}

TEST(Pictures, TheIconsDifferAndKeepTheDialogFaceAtTheirCorners) {
  // Each icon stands on the dialog's face, which no transparency shows through: its corners
  // must be that face, and no two icons are the same picture.
  const forms::Bitmap icons[] = {SetupBoxIcon(), QuestionIcon(), InformationIcon()};
  const forms::ColorRef face = forms::ColorToRgb(forms::kClBtnFace);
  for (std::size_t i = 0; i < std::size(icons); ++i) {
    for (const auto& [x, y] : {std::pair{0, 31}, std::pair{31, 0}, std::pair{0, 0}})
      EXPECT_EQ(icons[i].Pixel(x, y), face) << "icon " << i << " at " << x << "," << y;
    for (std::size_t j = i + 1; j < std::size(icons); ++j)
      EXPECT_NE(icons[i], icons[j]) << i << " and " << j;
  }
}

}  // namespace
