// The overwrite dialog: its texts, size text and icons, and the remembered to-all answers.
#include <gtest/gtest.h>

#include "engine/Icons.h"
#include "tests/engine/CopyHarness.h"

namespace {

using copy_test::At;
using copy_test::CopyHarness;
using copy_test::Joined;
using copy_test::LinesStarting;

TEST(SizeText, KilobytesWithThreeDecimals) {
  struct Case {
    std::int64_t bytes;
    const char* text;
  };
  const Case cases[] = {
      {0, "0.000 kB"},
      {1024, "1.000 kB"},
      {1536, "1.500 kB"},
      {1100, "1.074 kB"},
      {1023, "0.999 kB"},
      {10485760, "10240.000 kB"},
      {5000000000LL, "4882812.500 kB"},  // past 4 GB: no wrap
  };
  for (const Case& c : cases) EXPECT_EQ(SizeText(c.bytes), c.text) << c.bytes << " bytes";
}

TEST(ReplForm, CreatedHiddenAboveTheFootOfTheScreenWithItsCaptions) {
  CopyHarness h;
  TReplForm& f = h.replace();
  EXPECT_FALSE(f.Visible());
  EXPECT_EQ(f.Caption(), "Confirm to overwrite the file");
  EXPECT_EQ(f.ClientWidth(), 394);
  EXPECT_EQ(f.ClientHeight(), 253);
  EXPECT_EQ(f.Left(), (1024 - f.Width()) / 2);
  EXPECT_EQ(f.Top(), 768 - f.Height() - 20);
  EXPECT_EQ(f.BTN_YES.Caption(), "&Yes");
  EXPECT_EQ(f.BTN_NO.Caption(), "&No");
  EXPECT_EQ(f.BTN_YESTOALL.Caption(), "Yes &to all");
  EXPECT_EQ(f.BTN_NOTOALL.Caption(), "No to &all");
  EXPECT_EQ(f.CancelButton(), &f.BTN_NO);
  EXPECT_EQ(f.Answer, TReplForm::kAnswerNo);
  EXPECT_FALSE(f.SkladA.Visible());
  EXPECT_FALSE(f.SkladB.Visible());
}

TEST(ReplForm, TabGoesYesYesToAllNoNoToAllAndBack) {
  CopyHarness h;
  TReplForm& f = h.replace();
  f.Show();
  ASSERT_TRUE(f.BTN_YES.Focused()) << "Yes has the focus when the dialog opens";
  std::string forward;
  for (int i = 0; i < 4; ++i) {
    f.PressKey(forms::kVkTab);
    forward += f.ActiveControl()->Name() + " ";
  }
  EXPECT_EQ(forward, "BTN_YESTOALL BTN_NO BTN_NOTOALL BTN_YES ");
  f.SelectNext(false);
  EXPECT_EQ(f.ActiveControl(), &f.BTN_NOTOALL) << "Shift+Tab from Yes";
  f.Hide();
}

TEST(ReplForm, FillsBothFilesDetailsAndTheIconOfTheKind) {
  for (const char* kind : {"WIN", "WINSYS"}) {
    CopyHarness h("click BTN_NO");
    h.PutFile("D:\\NEW\\shared.dll", std::string(1536, 'n'));
    h.SetFileTime("D:\\NEW\\shared.dll", At(2021, 6, 7, 8, 9, 10));
    h.PutFile("C:\\WINDOWS\\SHARED.DLL", std::string(1100, 'o'));
    h.SetFileTime("C:\\WINDOWS\\SHARED.DLL", At(2019, 12, 31, 0, 0, 0));
    EXPECT_FALSE(h.main().ConfirmOverwrite("D:\\NEW\\shared.dll", "C:\\WINDOWS\\shared.dll", kind));
    TReplForm& f = h.replace();
    EXPECT_EQ(f.LBL_SLO1.Caption(), "Destination directory already contain file with name:");
    EXPECT_EQ(f.LBL_SLO2.Caption(), "Do you want to overwrite the existing file");
    EXPECT_EQ(f.LBL_SLO3.Caption(), "by following file?");
    EXPECT_EQ(f.PNL_FILE.Caption(), "\x84SHARED.DLL\x94");
    EXPECT_EQ(f.LBL_FSIZE.Caption(), "1.074 kB");
    EXPECT_EQ(f.LBL_FDATE.Caption(), "changed 31.12.2019");
    EXPECT_EQ(f.LBL_SSIZE.Caption(), "1.500 kB");
    EXPECT_EQ(f.LBL_SDATE.Caption(), "changed 07.06.2021 08:09:10");
    const forms::Bitmap& marked =
        std::string(kind) == "WIN" ? f.SkladA.Picture() : f.SkladB.Picture();
    EXPECT_EQ(f.IMG_F.Picture(), marked) << kind;
    EXPECT_EQ(f.IMG_S.Picture(), marked) << kind;
    EXPECT_EQ(LinesStarting(h.transcript(), "modal "),
              std::vector<std::string>{"modal TReplForm \"Confirm to overwrite the file\""});
  }
}

TEST(ReplForm, TheIconsDifferByTheirMark) {
  const forms::Bitmap plain = engine::SystemFileIcon();
  const forms::Bitmap win = engine::SystemFileIcon("WIN");
  const forms::Bitmap winsys = engine::SystemFileIcon("WINSYS");
  const forms::Bitmap replace = engine::ReplaceIcon();
  for (const forms::Bitmap* icon : {&plain, &win, &winsys, &replace}) {
    EXPECT_EQ(icon->Width(), 32);
    EXPECT_EQ(icon->Height(), 32);
  }
  EXPECT_NE(plain, win);
  EXPECT_NE(win, winsys);
  EXPECT_NE(plain, replace);
  // The replaced page is crossed out in red.
  int red = 0;
  for (forms::ColorRef pixel : replace.Pixels())
    if (forms::RedOf(pixel) > 0xC0 && forms::GreenOf(pixel) < 0x40) ++red;
  EXPECT_GT(red, 40);
}

// Three existing files asked about one after another within one run.
TEST(ConfirmOverwrite, RememberedAnswersOfOneRun) {
  struct Case {
    const char* name;
    const char* answers;
    std::vector<bool> results;
    std::size_t dialogs;
  };
  const Case cases[] = {
      {"Yes then No then Yes",
       "click BTN_YES\nclick BTN_NO\nclick BTN_YES",
       {true, false, true},
       3},
      {"Yes to all asks no more", "click BTN_YESTOALL", {true, true, true}, 1},
      {"No to all asks no more", "click BTN_NOTOALL", {false, false, false}, 1},
      {"Esc is No", "click BTN_YES\nkey esc\nclick BTN_YES", {true, false, true}, 3},
      {"the close button is No", "close\nclick BTN_YES\nclose", {false, true, false}, 3},
  };
  for (const Case& c : cases) {
    CopyHarness h(c.answers);
    std::vector<bool> results;
    for (int i = 0; i < 3; ++i) {
      const std::string name = "F" + std::to_string(i) + ".DLL";
      h.PutFile("D:\\" + name, "new");
      h.PutFile("C:\\WINDOWS\\" + name, "old");
      results.push_back(h.main().ConfirmOverwrite("D:\\" + name, "C:\\WINDOWS\\" + name, "WIN"));
    }
    EXPECT_EQ(results, c.results) << c.name;
    EXPECT_EQ(LinesStarting(h.transcript(), "modal TReplForm").size(), c.dialogs) << c.name;
    EXPECT_EQ(h.RemainingAnswers(), 0u) << c.name << "\n" << Joined(h.transcript());
  }
}

TEST(ConfirmOverwrite, MissingDestinationNeverAsksEvenAfterNoToAll) {
  CopyHarness h;
  h.main().NoToAll = true;
  h.PutFile("D:\\A.DLL", "new");
  EXPECT_TRUE(h.main().ConfirmOverwrite("D:\\A.DLL", "C:\\WINDOWS\\A.DLL", "WIN"));
  EXPECT_TRUE(h.transcript().empty());
}

TEST(ConfirmOverwrite, AFailureWhileFillingKeepsTheFileAndTheAnswers) {
  CopyHarness h;
  h.main().YesToAll = false;
  h.PutFile("C:\\WINDOWS\\A.DLL", "old");
  // The source has no time stamp to show: the dialog cannot be filled.
  EXPECT_FALSE(h.main().ConfirmOverwrite("D:\\NONE.DLL", "C:\\WINDOWS\\A.DLL", "WIN"));
  EXPECT_FALSE(h.main().YesToAll);
  EXPECT_FALSE(h.main().NoToAll);
  EXPECT_TRUE(LinesStarting(h.transcript(), "modal ").empty());
}

}  // namespace
