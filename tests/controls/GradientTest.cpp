#include "controls/Gradient.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/controls/ControlsHarness.h"

namespace {

using testing_support::ControlsHarness;
using testing_support::DrawCounter;

TEST(GradientTable, EachColourAndDirection) {
  struct Case {
    TGradColor color;
    bool red, green, blue;
  };
  const Case colours[] = {
      {gclAqua, false, true, true},   {gclBlue, false, false, true}, {gclGreen, false, true, false},
      {gclPurple, true, false, true}, {gclRed, true, false, false},  {gclWhite, true, true, true},
      {gclYellow, true, true, false},
  };
  for (const Case& c : colours) {
    for (TGradDirection d : {gdDown, gdUp, gdLeft, gdRight}) {
      SCOPED_TRACE("colour " + std::to_string(c.color) + ", direction " + std::to_string(d));
      const auto table = GradientTable(c.color, d);
      const bool falling = d == gdDown || d == gdLeft;
      for (int i : {0, 1, 100, 254, 255}) {
        const auto level = static_cast<std::uint8_t>(falling ? 255 - i : i);
        EXPECT_EQ(table[i], forms::Rgb(c.red ? level : 0, c.green ? level : 0, c.blue ? level : 0))
            << "entry " << i;
      }
    }
  }
}

// Which table entry shows on a row (or column) of a gradient of that length.
struct BandCase {
  int length;
  int at;
  int entry;
};

// Worked out by hand from the band rule: band 0 and 1 start at 0, band k at
// Trunc((k - 1) * step) with step = length / 255 in single precision, each band
// Trunc(step + 1) long, later bands covering earlier ones.
const BandCase kBands[] = {
    {154, 0, 2},
    {154, 1, 4},
    {154, 2, 5},
    {154, 153, 255},  // 1-pixel bands
    {510, 0, 1},
    {510, 1, 1},
    {510, 2, 2},
    {510, 3, 2},
    {510, 507, 254},
    {510, 508, 255},
    {510, 509, 255},  // step 2, band 3
    {100, 0, 3},
    {100, 1, 6},
    {100, 99, 255},  // several entries a row
    {255, 0, 1},
    {255, 254, 255},
    // 85 * 261 / 255 is 87 exactly, but the single-precision step lands band 86 on row 86.
    {261, 85, 85},
    {261, 86, 86},
    {261, 87, 86},
    {261, 88, 87},
    {1080, 0, 1},
    {1080, 3, 1},
    {1080, 4, 2},
    {1080, 1079, 255},
};

TEST(TGradientBack, DownwardBandsLandOnTheirRows) {
  for (const BandCase& c : kBands) {
    SCOPED_TRACE("height " + std::to_string(c.length) + ", row " + std::to_string(c.at));
    ControlsHarness h(40, c.length);
    TGradientBack back(h.form, "GRB");
    ASSERT_EQ(back.Height(), c.length);
    const forms::ColorRef expected = forms::Rgb(0, 0, static_cast<std::uint8_t>(255 - c.entry));
    EXPECT_EQ(back.Shown().Pixel(0, c.at), expected);
    EXPECT_EQ(back.Shown().Pixel(39, c.at), expected);
  }
}

TEST(TGradientBack, EveryDirection) {
  struct Case {
    TGradDirection direction;
    int x, y;
    std::uint8_t blue;
  };
  // On a 510 x 510 control: the first row or column shows entry 1, the last entry 255.
  const Case cases[] = {
      {gdDown, 200, 0, 254}, {gdDown, 200, 509, 0},    {gdUp, 200, 0, 1},
      {gdUp, 200, 509, 255}, {gdLeft, 0, 300, 254},    {gdLeft, 509, 300, 0},
      {gdRight, 0, 300, 1},  {gdRight, 509, 300, 255}, {gdRight, 2, 0, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("direction " + std::to_string(c.direction) + " at " + std::to_string(c.x) + "," +
                 std::to_string(c.y));
    ControlsHarness h(510, 510);
    TGradientBack back(h.form);
    back.SetDirection(c.direction);
    EXPECT_EQ(back.Shown().Pixel(c.x, c.y), forms::Rgb(0, 0, c.blue));
  }
}

TEST(TGradientBack, APaintIs256FillsWhateverTheSize) {
  for (auto [width, height] : {std::pair{1, 1}, {40, 154}, {1920, 1080}, {3, 4000}}) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    ControlsHarness h(width, height);
    TGradientBack back(h.form);
    DrawCounter fills(back.Surface());
    back.Repaint();
    EXPECT_EQ(fills.Count(), 256);
    back.SetDirection(gdLeft);
    EXPECT_EQ(fills.Count(), 512);
  }
}

TEST(TGradientBack, NothingVisibleOnAnEmptyArea) {
  ControlsHarness h(200, 0);
  TGradientBack back(h.form);
  DrawCounter fills(back.Surface());
  back.Repaint();
  back.SetDirection(gdRight);
  EXPECT_EQ(fills.Count(), 0);
  EXPECT_TRUE(back.Shown().Empty());
  EXPECT_EQ(back.BackCanvas, &back.Surface());
}

TEST(TGradientBack, SettersRebuildAndRepaintAtOnce) {
  ControlsHarness h(300, 100);
  TGradientBack back(h.form);
  back.SetBackColor(gclRed);
  EXPECT_EQ(back.ColorTable(), GradientTable(gclRed, gdDown));
  EXPECT_EQ(back.Shown().Pixel(150, 0), forms::Rgb(252, 0, 0));  // height 100: row 0 is entry 3
  back.SetDirection(gdLeft);
  EXPECT_EQ(back.ColorTable(), GradientTable(gclRed, gdLeft));
  // Bright on the left along the whole height, the bottom row too.
  EXPECT_EQ(back.Shown().Pixel(0, 99), forms::Rgb(254, 0, 0));
  EXPECT_EQ(back.Shown().Pixel(299, 99), forms::Rgb(0, 0, 0));

  // Setting the same value paints again.
  DrawCounter fills(back.Surface());
  back.SetDirection(gdLeft);
  back.SetBackColor(gclRed);
  EXPECT_EQ(fills.Count(), 512);
}

TEST(TGradientBack, BackCanvasReadsThePaintedPixels) {
  ControlsHarness h(64, 300);
  TGradientBack back(h.form);
  ASSERT_NE(back.BackCanvas, nullptr);
  EXPECT_EQ(back.BackCanvas->Target(), back.Shown());
  EXPECT_EQ(back.BackCanvas->Pixel(10, 299), forms::kClBlack);
  // The form shows it over its own colour.
  EXPECT_EQ(h.form.RenderClient(), back.Shown());
}

}  // namespace
