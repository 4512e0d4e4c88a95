#include "controls/Images.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "forms/StdControls.h"
#include "tests/controls/ControlsHarness.h"

namespace {

using testing_support::ControlsHarness;

constexpr forms::ColorRef kA = forms::kClRed;
constexpr forms::ColorRef kB = forms::kClGreen;

// A control at the form's top left showing picture A (red), with picture B green, both
// of the given size.
struct Pictures {
  explicit Pictures(int width = 100, int height = 100) {
    image.SetAObrazek(forms::Bitmap(width, height, kA));
    image.SetBObrazek(forms::Bitmap(width, height, kB));
  }
  // One timer interval passes.
  void Tick() { h.Wait(image.ShowSpeed()); }
  // The positions where the canvas does not show `expected(x, y)`, as text.
  std::string Mismatches(const std::function<forms::ColorRef(int, int)>& expected) const {
    std::string out;
    int count = 0;
    for (int y = 0; y < image.Height(); ++y)
      for (int x = 0; x < image.Width(); ++x)
        if (image.Shown().Pixel(x, y) != expected(x, y) && ++count <= 3)
          out += " (" + std::to_string(x) + "," + std::to_string(y) + ")";
    return count ? std::to_string(count) + " wrong, e.g." + out : "";
  }
  std::string AllShow(forms::ColorRef color) const {
    return Mismatches([color](int, int) { return color; });
  }

  ControlsHarness h;
  TTimerImage image{h.form, "PresentPicture"};
};

TEST(TTimerImage, StripeStylesGrowToFullCoverThenFinish) {
  struct Case {
    TShowStyle style;
    std::function<bool(int x, int y, int phase)> covered;
  };
  const Case cases[] = {
      {ssHorLines, [](int, int y, int p) { return y % 10 < p; }},
      {ssVertLines, [](int x, int, int p) { return x % 10 < p; }},
      {ssCubes, [](int x, int y, int p) { return x % 10 < p && y % 10 < p; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("style " + std::to_string(c.style));
    Pictures t;
    ASSERT_EQ(t.AllShow(kA), "");
    t.image.SetShowStyle(c.style);
    t.image.SetAOnTop(false);
    ASSERT_TRUE(t.image.InTransition());
    EXPECT_EQ(t.image.Phase(), -1);
    for (int tick = 1; tick <= 12; ++tick) {
      t.Tick();
      const int phase = tick - 1;
      ASSERT_EQ(t.image.Phase(), phase) << "tick " << tick;
      EXPECT_EQ(t.Mismatches([&](int x, int y) { return c.covered(x, y, phase) ? kB : kA; }), "")
          << "tick " << tick;
    }
    EXPECT_TRUE(t.image.InTransition());
    t.Tick();  // the 13th finishes
    EXPECT_FALSE(t.image.InTransition());
    EXPECT_EQ(t.AllShow(kB), "");
  }
}

TEST(TTimerImage, ShowIncThreeSkipsPhases) {
  Pictures t;
  t.image.SetShowInc(3);
  t.image.SetAOnTop(false);
  for (int phase : {2, 5, 8, 11}) {
    t.Tick();
    EXPECT_EQ(t.image.Phase(), phase);
    EXPECT_TRUE(t.image.InTransition());
  }
  EXPECT_EQ(t.AllShow(kB), "");
  t.Tick();  // 14 > 13
  EXPECT_FALSE(t.image.InTransition());
}

TEST(TTimerImage, UpLinesCopiesEveryTenthCellAPass) {
  Pictures t;
  t.image.SetShowStyle(ssUpLines);
  t.image.SetAOnTop(false);
  EXPECT_EQ(t.image.Cols(), 11);
  EXPECT_EQ(t.image.Rows(), 11);
  EXPECT_EQ(t.image.Cells(), 121);
  EXPECT_EQ(t.image.Phase(), 10);
  for (int tick = 1; tick <= 10; ++tick) {
    t.Tick();
    const int phase = 10 - tick;
    ASSERT_EQ(t.image.Phase(), phase);
    // Cell k (row by row, 11 a row) is drawn once k mod 10 has come down to the phase.
    EXPECT_EQ(t.Mismatches([&](int x, int y) {
      const int cell = (y / 10) * 11 + x / 10;
      return cell % 10 >= phase ? kB : kA;
    }),
              "")
        << "tick " << tick;
  }
  EXPECT_TRUE(t.image.InTransition());
  t.Tick();  // the 11th finishes
  EXPECT_FALSE(t.image.InTransition());
  EXPECT_EQ(t.AllShow(kB), "");
}

TEST(TTimerImage, UpLinesOnANarrowControlCoversTheRightEdge) {
  Pictures t(95, 100);
  t.image.SetShowStyle(ssUpLines);
  t.image.SetAOnTop(false);
  EXPECT_EQ(t.image.Cols(), 10);
  t.Tick();  // cells 9, 19, 29...: the last column, x 90 to 94
  EXPECT_EQ(t.image.Shown().Pixel(94, 0), kB);
  EXPECT_EQ(t.image.Shown().Pixel(90, 55), kB);
  EXPECT_EQ(t.image.Shown().Pixel(89, 0), kA);
  EXPECT_EQ(t.image.Shown().Pixel(0, 10), kA);
}

TEST(TTimerImage, NoEffectDrawsThePictureAtTheFirstTick) {
  Pictures t;
  t.image.SetShowStyle(ssNoEffect);
  t.image.SetAOnTop(false);
  EXPECT_EQ(t.AllShow(kA), "");
  t.Tick();
  EXPECT_FALSE(t.image.InTransition());
  EXPECT_EQ(t.AllShow(kB), "");
}

TEST(TTimerImage, SwitchingBackMidwayDrawsTheTargetThenStartsAgain) {
  Pictures t;
  t.image.SetAOnTop(false);
  for (int i = 0; i < 4; ++i) t.Tick();
  ASSERT_NE(t.AllShow(kA), "");
  ASSERT_NE(t.AllShow(kB), "");

  // Writing the present value changes nothing.
  t.image.SetAOnTop(false);
  EXPECT_TRUE(t.image.InTransition());
  EXPECT_EQ(t.image.Phase(), 3);

  t.image.SetAOnTop(true);
  EXPECT_EQ(t.AllShow(kB), "");  // B in full at once
  EXPECT_TRUE(t.image.InTransition());
  EXPECT_EQ(t.image.Phase(), -1);
  t.Tick();
  t.Tick();
  EXPECT_EQ(t.Mismatches([](int, int y) { return y % 10 < 1 ? kA : kB; }), "");
}

TEST(TTimerImage, BothPicturesEmptyOnlyChangesTheFlag) {
  ControlsHarness h;
  TTimerImage image(h.form);
  image.SetAOnTop(false);
  EXPECT_FALSE(image.AOnTop());
  EXPECT_FALSE(image.InTransition());
}

TEST(TTimerImage, InvisibleDrawsNothingAndStartsNoTransition) {
  Pictures t;
  t.image.SetVisible(false);
  t.image.SetAOnTop(false);
  EXPECT_FALSE(t.image.InTransition());
  // The form shows its own colour where the control is.
  EXPECT_EQ(t.h.form.RenderClient().Pixel(50, 50), forms::kClNavy);
  t.image.SetVisible(true);
  EXPECT_EQ(t.AllShow(kB), "");
  EXPECT_EQ(t.h.form.RenderClient().Pixel(50, 50), kB);
}

TEST(TTimerImage, EmptyPictureShowsTheFormUnderIt) {
  ControlsHarness h(300, 300);
  forms::Panel right(h.form, "right");
  right.SetBounds(150, 0, 150, 300);
  right.SetColor(forms::kClMaroon);
  TTimerImage image(h.form);
  image.SetBounds(100, 0, 100, 100);
  // Left half over the form, right half over the panel; the control itself is left out.
  EXPECT_EQ(image.Snapshot().Pixel(0, 0), forms::kClNavy);
  EXPECT_EQ(image.Snapshot().Pixel(49, 0), forms::kClNavy);
  EXPECT_EQ(image.Snapshot().Pixel(50, 0), forms::kClMaroon);
  EXPECT_EQ(image.Shown(), image.Snapshot());
  EXPECT_EQ(image.SnapshotBounds(), (forms::Rect{100, 0, 200, 100}));

  // The snapshot is kept while the control stays where it is...
  right.SetColor(forms::kClYellow);
  image.Repaint();
  EXPECT_EQ(image.Snapshot().Pixel(50, 0), forms::kClMaroon);
  // ...and taken again when it moves.
  image.SetLeft(160);
  EXPECT_EQ(image.Snapshot().Pixel(0, 0), forms::kClYellow);
  EXPECT_EQ(image.Shown().Pixel(99, 99), forms::kClYellow);
}

TEST(TTimerImage, PictureSettersSizeTheControl) {
  ControlsHarness h;
  TTimerImage image(h.form);
  EXPECT_EQ(image.Width(), 100);
  image.SetAObrazek(forms::Bitmap(60, 30, kA));
  EXPECT_EQ(image.Width(), 60);
  EXPECT_EQ(image.Height(), 30);
  EXPECT_EQ(image.Shown().Pixel(59, 29), kA);
  image.SetBObrazek(forms::Bitmap());
  EXPECT_EQ(image.Width(), 60);
  // In place: no resize; the next paint cuts a larger picture at the edges.
  image.PictureA() = forms::Bitmap(80, 80, kB);
  EXPECT_EQ(image.Width(), 60);
  image.Repaint();
  EXPECT_EQ(image.Shown(), forms::Bitmap(60, 30, kB));
}

TEST(GrabBackground, CopiesTheGradientUnderThePicture) {
  ControlsHarness h(400, 300);
  forms::Panel panel(h.form, "Panel1");
  panel.SetAlign(forms::AlignMode::Client);
  TGradientBack back(panel, "GRB");
  TTimerImage image(h.form, "PresentPicture");
  image.SetBounds(20, 30, 40, 50);
  ASSERT_TRUE(GrabBackground(image, back));
  ASSERT_EQ(image.BObrazek().Width(), 40);
  ASSERT_EQ(image.BObrazek().Height(), 50);
  for (int y : {0, 25, 49})
    for (int x : {0, 39})
      EXPECT_EQ(image.BObrazek().Pixel(x, y), back.Shown().Pixel(20 + x, 30 + y)) << x << "," << y;
}

}  // namespace
