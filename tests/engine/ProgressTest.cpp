// The progress window's arithmetic and layout, and the thread that repaints it.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "engine/infoThread.h"
#include "tests/engine/CopyHarness.h"

namespace {

using copy_test::CopyHarness;

TEST(ProgressArithmetic, PositionAndPercent) {
  struct Case {
    const char* name;
    std::int64_t bytes;
    std::int32_t maximum;
    std::int32_t position;
    const char* percent;
  };
  const Case cases[] = {
      {"half of PROCESS 2 500 000", 1250000, 2500, 1250, "50%"},
      {"nothing yet", 0, 2500, 0, "0%"},
      {"below one thousand bytes", 999, 2500, 0, "0%"},
      {"beyond the maximum stays full", 9000000, 2500, 2500, "100%"},
      {"maximum 0 divides by nothing", 5000, 0, 0, "0%"},
      {"past 2 GB", 3000000000LL, 4000000, 3000000, "75%"},
      {"past 4 GB of a large maximum", 6000000000000LL, 2000000000, 2000000000, "100%"},
  };
  for (const Case& c : cases) {
    const std::int32_t position = ProgressPosition(c.bytes, c.maximum);
    EXPECT_EQ(position, c.position) << c.name;
    EXPECT_EQ(PercentText(position, c.maximum), c.percent) << c.name;
  }
}

TEST(ProcessForm, LayoutAndFrame) {
  CopyHarness h;
  TProcessForm& p = h.progress();
  EXPECT_EQ(p.ClientWidth(), 352);
  EXPECT_EQ(p.ClientHeight(), 169);
  EXPECT_EQ(p.Left(), (1024 - p.Width()) / 2);
  EXPECT_EQ(p.Top(), 768 - p.Height() - 20);
  EXPECT_EQ(p.Button1.Caption(), "&Cancel");
  EXPECT_TRUE(p.Button1.Default());
  EXPECT_FALSE(p.RegPan.Visible());
  EXPECT_EQ(p.RegPan.BoundsRect(), (forms::Rect{0, 0, 352, 135}));
  EXPECT_EQ(p.Gauge.BoundsRect(), (forms::Rect{16, 96, 334, 114}));
  // The frame cannot close it; the driver can.
  p.Show();
  p.Close();
  EXPECT_TRUE(p.Visible());
  p.CloseByDriver();
  EXPECT_FALSE(p.Visible());
}

TEST(ProcessForm, FollowsTheLargerOfTheTwoCounts) {
  CopyHarness h;
  TProcessForm& p = h.progress();
  p.Gauge.SetRange(0, 2500);
  h.main().InstalledTotal = 500000;
  h.main().BytesCopied = 1250000;
  p.UpdateProgress();
  EXPECT_EQ(p.Gauge.Position(), 1250);
  EXPECT_EQ(p.GaugeLab.Caption(), "50%");
  h.main().InstalledTotal = 2000000;
  p.UpdateProgress();
  EXPECT_EQ(p.GaugeLab.Caption(), "80%");
}

TEST(ProcessForm, LabelRisesDuringOneLongCopy) {
  CopyHarness h;
  const std::size_t size = 1000000;
  h.PutFile("D:\\BIG.BIN", std::string(size, 'b'));
  TProcessForm& p = h.progress();
  p.Gauge.SetRange(0, static_cast<std::int32_t>(size / 1000));
  h.main().BytesCopied = 0;
  std::vector<std::string> seen;
  engine::CopyContext copy = h.main().CopyContextOf();
  // What the thread's repaint would show at each block's message processing.
  copy.pumpMessages = [&] {
    p.UpdateProgress();
    if (seen.empty() || seen.back() != p.GaugeLab.Caption()) seen.push_back(p.GaugeLab.Caption());
  };
  ASSERT_EQ(engine::CopyPlainFile(copy, "D:\\BIG.BIN", "C:\\BIG.BIN"), engine::CopyResult::CopyOk);
  EXPECT_GT(seen.size(), 50u);
  EXPECT_EQ(seen.back(), "100%");
  for (std::size_t i = 1; i < seen.size(); ++i)
    EXPECT_LT(std::stoi(seen[i - 1]), std::stoi(seen[i])) << seen[i];
}

TEST(InfoThread, RepaintsFromTheMainThreadUntilStopped) {
  CopyHarness h;
  TProcessForm& p = h.progress();
  p.Gauge.SetRange(0, 100);
  h.main().BytesCopied = 40000;
  {
    TInfoThread thread(h.app());
    thread.SetProgressForm(&p);
    thread.Start();
    // Handle messages until two repaints have come (or give up after a generous while).
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (thread.UpdateCount() < 2 && std::chrono::steady_clock::now() < giveUp) {
      h.app().ProcessMessages();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_GE(thread.UpdateCount(), 2);
    EXPECT_EQ(p.GaugeLab.Caption(), "40%");
    thread.Terminate();
    EXPECT_TRUE(thread.Terminated());
  }  // the destructor joins, running the update the thread may be waiting on
}

TEST(InfoThread, WithoutAFormTheUpdateDoesNothing) {
  CopyHarness h;
  TInfoThread thread(h.app());
  h.progress().GaugeLab.SetCaption("untouched");
  thread.UpdateProgress();
  EXPECT_EQ(thread.UpdateCount(), 1);
  EXPECT_EQ(h.progress().GaugeLab.Caption(), "untouched");
}

}  // namespace
