#include "controls/Logo.h"

#include <cstdint>

void DrawSetupTile(forms::Canvas& canvas, int left, int top) {
  constexpr int kSide = 30;
  // Blue fading downwards like the main window behind it, corners cut.
  for (int y = 0; y < kSide; ++y) {
    canvas.SetBrushColor(forms::Rgb(0, static_cast<std::uint8_t>(40 + y * 2),
                                    static_cast<std::uint8_t>(255 - y * 5)));
    const int cut = y == 0 || y == kSide - 1 ? 1 : 0;
    canvas.FillRect({left + cut, top + y, left + kSide - cut, top + y + 1});
  }
  // The T, with a one-pixel navy shadow as the window's labels have.
  canvas.SetBrushColor(forms::kClNavy);
  canvas.FillRect({left + 7, top + 7, left + 25, top + 11});
  canvas.FillRect({left + 14, top + 11, left + 18, top + 25});
  canvas.SetBrushColor(forms::kClWhite);
  canvas.FillRect({left + 6, top + 6, left + 24, top + 10});
  canvas.FillRect({left + 13, top + 10, left + 17, top + 24});
}

void DrawSetupBars(forms::Canvas& canvas, int left, int top, int length) {
  // Falling length and brightness: the installation moving along.
  struct Bar {
    int shorter;
    forms::ColorRef color;
  };
  constexpr Bar kBars[] = {{0, forms::Rgb(255, 255, 255)},
                           {10, forms::Rgb(160, 170, 255)},
                           {22, forms::Rgb(70, 90, 200)}};
  for (const Bar& bar : kBars) {
    canvas.SetBrushColor(bar.color);
    canvas.FillRect({left, top, left + length - bar.shorter, top + 4});
    top += 7;
  }
}

forms::Bitmap SetupLogo() {
  forms::Bitmap logo(86, 30, forms::kClBlack);
  forms::Canvas canvas(logo);
  DrawSetupTile(canvas, 0, 0);
  DrawSetupBars(canvas, 36, 6, 50);
  return logo;
}
