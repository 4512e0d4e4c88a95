#include "engine/Icons.h"

#include <array>

namespace engine {
namespace {

constexpr forms::ColorRef kBackground = forms::kClSilver;  // the dialog face shows through
constexpr forms::ColorRef kPaper = forms::kClWhite;
constexpr forms::ColorRef kInk = forms::kClBlack;
constexpr forms::ColorRef kFold = forms::kClGray;
constexpr forms::ColorRef kArrow = forms::Rgb(0xE0, 0x00, 0x00);
constexpr forms::ColorRef kGear = forms::Rgb(0x60, 0x60, 0x60);
constexpr forms::ColorRef kBand = forms::kClNavy;

void Fill(forms::Bitmap& bitmap, int left, int top, int right, int bottom, forms::ColorRef c) {
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) bitmap.SetPixel(x, y, c);
}

// A sheet of paper with a folded top right corner, outlined in black.
void DrawPage(forms::Bitmap& bitmap, int left, int top, int right, int bottom) {
  const int fold = (right - left) / 4;
  Fill(bitmap, left, top, right, bottom, kPaper);
  for (int i = 0; i < fold; ++i)
    for (int x = right - fold + i; x < right; ++x) bitmap.SetPixel(x, top + i, kBackground);
  for (int x = left; x < right - fold; ++x) bitmap.SetPixel(x, top, kInk);
  for (int x = left; x < right; ++x) bitmap.SetPixel(x, bottom - 1, kInk);
  for (int y = top; y < bottom; ++y) bitmap.SetPixel(left, y, kInk);
  for (int y = top + fold; y < bottom; ++y) bitmap.SetPixel(right - 1, y, kInk);
  for (int i = 0; i <= fold; ++i) {
    bitmap.SetPixel(right - fold + i - 1, top + i, kInk);  // the diagonal of the fold
    bitmap.SetPixel(right - fold - 1, top + i, kFold);
    bitmap.SetPixel(right - fold - 1 + i, top + fold, kFold);
  }
}

// A gear wheel: a ring with eight teeth around a hole.
void DrawGear(forms::Bitmap& bitmap, int cx, int cy, int radius) {
  for (int y = -radius - 2; y <= radius + 2; ++y) {
    for (int x = -radius - 2; x <= radius + 2; ++x) {
      const int d2 = x * x + y * y;
      const bool ring = d2 <= radius * radius && d2 > (radius / 2) * (radius / 2);
      const bool tooth = (x == 0 || y == 0 || x == y || x == -y) &&
                         d2 <= (radius + 2) * (radius + 2) && d2 > radius * radius;
      if (ring || tooth) bitmap.SetPixel(cx + x, cy + y, kGear);
    }
  }
}

// Letters of 3x5 pixels, enough for the marks the dialog needs.
struct Glyph {
  char letter;
  std::array<const char*, 5> rows;
};
constexpr Glyph kGlyphs[] = {
    {'W', {"X.X", "X.X", "X.X", "XXX", "X.X"}}, {'I', {"XXX", ".X.", ".X.", ".X.", "XXX"}},
    {'N', {"XX.", "X.X", "X.X", "X.X", "X.X"}}, {'S', {".XX", "X..", ".X.", "..X", "XX."}},
    {'Y', {"X.X", "X.X", ".X.", ".X.", ".X."}},
};

void DrawText(forms::Bitmap& bitmap, int left, int top, std::string_view text) {
  for (char letter : text) {
    for (const Glyph& glyph : kGlyphs) {
      if (glyph.letter != letter) continue;
      for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 3; ++x)
          if (glyph.rows[y][x] == 'X') bitmap.SetPixel(left + x, top + y, kPaper);
    }
    left += 4;
  }
}

// A horizontal arrow pointing right, three pixels thick, with its head.
void DrawArrow(forms::Bitmap& bitmap, int left, int right, int y) {
  Fill(bitmap, left, y - 1, right - 2, y + 2, kArrow);
  for (int i = 0; i < 4; ++i)
    Fill(bitmap, right - 4 + i, y - 3 + i, right - 3 + i, y + 4 - i, kArrow);
}

}  // namespace

forms::Bitmap ReplaceIcon() {
  forms::Bitmap bitmap(kIconSize, kIconSize, kBackground);
  DrawPage(bitmap, 0, 6, 12, 22);
  DrawPage(bitmap, 19, 6, 31, 22);
  DrawArrow(bitmap, 12, 20, 11);
  DrawArrow(bitmap, 12, 20, 17);
  for (int i = 0; i < 16; ++i) {  // the cross over the page being replaced
    bitmap.SetPixel(18 + i * 14 / 15, 6 + i, kArrow);
    bitmap.SetPixel(19 + i * 14 / 15, 6 + i, kArrow);
    bitmap.SetPixel(32 - i * 14 / 15, 6 + i, kArrow);
    bitmap.SetPixel(31 - i * 14 / 15, 6 + i, kArrow);
  }
  return bitmap;
}

forms::Bitmap SystemFileIcon(std::string_view mark) {
  forms::Bitmap bitmap(kIconSize, kIconSize, kBackground);
  DrawPage(bitmap, 4, 0, 28, 32);
  DrawGear(bitmap, 12, 12, 4);
  DrawGear(bitmap, 19, 20, 3);
  if (!mark.empty()) {
    const int width = static_cast<int>(mark.size()) * 4 + 1;
    const int left = 16 - width / 2;
    Fill(bitmap, left, 24, left + width, 31, kBand);
    DrawText(bitmap, left + 1, 25, mark);
  }
  return bitmap;
}

}  // namespace engine
