#include "controls/Logo.h"

#include <cstdint>

forms::Bitmap SetupLogo() {
  constexpr int kWidth = 86;
  constexpr int kHeight = 30;
  forms::Bitmap logo(kWidth, kHeight, forms::kClBlack);
  forms::Canvas canvas(logo);
  // The tile: 30 x 30, blue fading downwards like the window behind it, corners cut.
  for (int y = 0; y < kHeight; ++y) {
    canvas.SetBrushColor(forms::Rgb(0, static_cast<std::uint8_t>(40 + y * 2),
                                    static_cast<std::uint8_t>(255 - y * 5)));
    const int cut = y == 0 || y == kHeight - 1 ? 1 : 0;
    canvas.FillRect({cut, y, 30 - cut, y + 1});
  }
  // The T, with a one-pixel navy shadow as the window's labels have.
  canvas.SetBrushColor(forms::kClNavy);
  canvas.FillRect({7, 7, 25, 11});
  canvas.FillRect({14, 11, 18, 25});
  canvas.SetBrushColor(forms::kClWhite);
  canvas.FillRect({6, 6, 24, 10});
  canvas.FillRect({13, 10, 17, 24});
  // Three bars of falling length and brightness: the installation moving along.
  struct Bar {
    int top;
    int right;
    forms::ColorRef color;
  };
  constexpr Bar kBars[] = {{6, 86, forms::Rgb(255, 255, 255)},
                           {13, 76, forms::Rgb(160, 170, 255)},
                           {20, 64, forms::Rgb(70, 90, 200)}};
  for (const Bar& bar : kBars) {
    canvas.SetBrushColor(bar.color);
    canvas.FillRect({36, bar.top, bar.right, bar.top + 4});
  }
  return logo;
}
