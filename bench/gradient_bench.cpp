// gradient_bench: times one full paint of the gradient background on a 1920 x 1080 window
// and one transition tick of the presentation picture (400 x 240, horizontal stripes, and
// the ssUpLines cells), and counts the fills of a paint, which must stay 256 whatever the
// size.
//
//   gradient_bench [REPEATS]     default: 200
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "controls/Gradient.h"
#include "controls/Images.h"
#include "forms/Application.h"
#include "forms/Form.h"
#include "forms/StdControls.h"
#include "forms/headless/HeadlessToolkit.h"

namespace {

using Clock = std::chrono::steady_clock;

// Mean microseconds of `repeats` runs of `work`.
double MeanMicros(int repeats, const std::function<void()>& work) {
  const auto start = Clock::now();
  for (int i = 0; i < repeats; ++i) work();
  const std::chrono::duration<double, std::micro> spent = Clock::now() - start;
  return spent.count() / repeats;
}

// Counts the drawing calls of one paint.
int FillsOfOnePaint(TGradientBack& back) {
  forms::Canvas& canvas = back.Surface();
  auto previous = canvas.OnChange;
  int fills = 0;
  canvas.OnChange = [&](const forms::Rect& rect) {
    ++fills;
    if (previous) previous(rect);
  };
  back.Repaint();
  canvas.OnChange = previous;
  return fills;
}

}  // namespace

int main(int argc, char** argv) {
  const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  forms::headless::HeadlessToolkit toolkit;
  toolkit.SetScreenSize(1920, 1080);
  forms::Application app(toolkit);
  auto& form = app.CreateForm<forms::Form>("TBenchForm");
  form.SetBorderStyle(forms::FormBorder::None);
  form.SetBounds(0, 0, 1920, 1080);
  forms::Panel panel(form, "Panel1");
  panel.SetAlign(forms::AlignMode::Client);
  TGradientBack back(panel, "GRB");

  std::printf("gradient paint %dx%d: %.1f us, %d fills\n", back.Width(), back.Height(),
              MeanMicros(repeats, [&] { back.Repaint(); }), FillsOfOnePaint(back));
  for (auto [w, h] : {std::pair{1, 1}, {400, 240}, {3840, 2160}})
    std::printf("  fills at %dx%d: %d\n", w, h,
                (panel.SetAlign(forms::AlignMode::None), panel.SetBounds(0, 0, w, h),
                 FillsOfOnePaint(back)));
  panel.SetAlign(forms::AlignMode::Client);

  TTimerImage picture(form, "PresentPicture");
  picture.SetBounds((1920 - 400) / 2, 100, 400, 240);
  picture.SetAObrazek(forms::Bitmap(400, 240, forms::kClRed));
  GrabBackground(picture, back);
  for (TShowStyle style : {ssHorLines, ssCubes, ssUpLines}) {
    picture.SetShowStyle(style);
    double total = 0;
    int ticks = 0;
    for (int i = 0; i < repeats; ++i) {
      picture.SetAOnTop(!picture.AOnTop());
      // The middle of the transition: the widest stripes short of the full picture.
      for (int step = 0; step < 5; ++step) picture.TimerTick();
      total += MeanMicros(1, [&] { picture.TimerTick(); });
      ++ticks;
    }
    std::printf("transition tick, style %d: %.1f us\n", static_cast<int>(style), total / ticks);
  }
  return 0;
}
