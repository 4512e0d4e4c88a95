// The main window as the user sees it: gradient, bottom panel, logo and the presentation
// picture, on a 1024 x 768 screen.
#include <gtest/gtest.h>

#include "app/Setup_.h"
#include "controls/Logo.h"
#include "tests/controls/BmpBytes.h"
#include "tests/support/SetupHarness.h"

namespace {

using testing_support::SetupHarness;
using testing_support::WriteHostFile;

// The current directory of a sandbox machine is C:\.
void PutPresentBmp(SetupHarness& setup, const std::string& bytes) {
  WriteHostFile(setup.machine().HostPath("C:\\Present.bmp"), bytes);
}

TEST(MainWindow, GradientAboveTheBlackPanelWithTheLogo) {
  SetupHarness setup;
  setup.Run("reply OK\n", [](SetupForms& forms) {
    TMainForm& main = *forms.MainForm;
    EXPECT_EQ(main.GRB.Parent(), &main.Panel1);
    EXPECT_EQ(main.GRB.BoundsRect(), (forms::Rect{0, 0, 1024, 658}));
    EXPECT_EQ(main.GRB.BackColor(), gclBlue);
    EXPECT_EQ(main.GRB.Direction(), gdDown);
    EXPECT_EQ(main.SetImg.BoundsRect(), (forms::Rect{16, 10, 102, 40}));

    const forms::Bitmap screen = main.RenderClient();
    // Height 658: row 0 shows entry 1, the last row entry 255.
    EXPECT_EQ(screen.Pixel(500, 0), forms::Rgb(0, 0, 254));
    EXPECT_EQ(screen.Pixel(500, 657), forms::kClBlack);
    EXPECT_EQ(screen.Pixel(500, 700), forms::kClBlack);  // PNL_Bot
    const forms::Bitmap logo = SetupLogo();
    forms::Bitmap shown(logo.Width(), logo.Height());
    forms::Canvas(shown).BitBlt(0, 0, logo.Width(), logo.Height(), screen, 16, 658 + 10);
    EXPECT_EQ(shown, logo);
    EXPECT_FALSE(main.PictureShown);
    EXPECT_EQ(main.PresentPicture, nullptr);
    main.SetPresentation(true);  // nothing to switch
  });
}

TEST(MainWindow, PresentBmpMakesThePictureOverTheGradient) {
  SetupHarness setup;
  PutPresentBmp(setup, testing_support::SolidBmp(500, 20, forms::kClRed));
  // No script: the start-up run still takes the background under the picture.
  const auto run = setup.Run("reply OK\n", [](SetupForms& forms) {
    TMainForm& main = *forms.MainForm;
    ASSERT_TRUE(main.PictureShown);
    TTimerImage& picture = *main.PresentPicture;
    EXPECT_EQ(picture.BoundsRect(), (forms::Rect{312, 100, 712, 340}));
    EXPECT_FALSE(picture.AOnTop());
    EXPECT_FALSE(picture.InTransition());
    EXPECT_EQ(picture.AObrazek(), forms::Bitmap(500, 20, forms::kClRed));
    EXPECT_EQ(picture.ShowStyle(), ssHorLines);

    forms::Bitmap under(400, 240);
    forms::Canvas(under).BitBlt(0, 0, 400, 240, main.GRB.Shown(), 312, 100);
    EXPECT_EQ(picture.BObrazek(), under);

    main.SetPresentation(true);
    EXPECT_TRUE(picture.InTransition());
    main.SetPresentation(false);  // ends the first at once, starts the way back
    EXPECT_TRUE(picture.InTransition());
    EXPECT_FALSE(picture.AOnTop());
  });
  ASSERT_EQ(run.stopCode, 0) << run.stopMessage;
}

TEST(MainWindow, DamagedPresentBmpShowsNoPicture) {
  SetupHarness setup;
  std::string bytes = testing_support::SolidBmp(40, 40, forms::kClRed);
  bytes.resize(bytes.size() / 2);
  PutPresentBmp(setup, bytes);
  setup.Run("reply OK\n", [](SetupForms& forms) {
    TMainForm& main = *forms.MainForm;
    ASSERT_NE(main.PresentPicture, nullptr);
    EXPECT_TRUE(main.PresentPicture->AObrazek().Empty());
    EXPECT_EQ(main.PresentPicture->Width(), 400);
  });
}

}  // namespace
