#include "controls/Pictures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string_view>

#include "controls/Logo.h"

namespace {

constexpr int kIconSide = 32;
constexpr double kPi = 3.14159265358979323846;

// The face of the dialogs the icons stand on (there is no transparency to show it through).
forms::ColorRef Face() {
  return forms::ColorToRgb(forms::kClBtnFace);
}

std::uint8_t Channel(double value) {
  return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

// `a` turned towards `b` by `amount` (0 keeps a, 1 gives b).
forms::ColorRef Mix(forms::ColorRef a, forms::ColorRef b, double amount) {
  const auto part = [amount](std::uint8_t from, std::uint8_t to) {
    return Channel(from + (to - from) * amount);
  };
  return forms::Rgb(part(forms::RedOf(a), forms::RedOf(b)),
                    part(forms::GreenOf(a), forms::GreenOf(b)),
                    part(forms::BlueOf(a), forms::BlueOf(b)));
}

void Fill(forms::Bitmap& bitmap, int left, int top, int right, int bottom, forms::ColorRef c) {
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) bitmap.SetPixel(x, y, c);
}

// How much of the pixel (x, y) lies inside the circle, from 16 sample points.
double Coverage(int x, int y, double cx, double cy, double radius) {
  int inside = 0;
  for (int sy = 0; sy < 4; ++sy) {
    for (int sx = 0; sx < 4; ++sx) {
      const double dx = x + (sx + 0.5) / 4 - cx;
      const double dy = y + (sy + 0.5) / 4 - cy;
      if (dx * dx + dy * dy <= radius * radius) ++inside;
    }
  }
  return inside / 16.0;
}

// A sign on a blue disc with a dark rim, lit from the top left, with a soft shadow below
// on the right. Rows of 'X' mark the sign's white pixels; it is centred on the disc.
template <std::size_t N>
forms::Bitmap Badge(const std::array<std::string_view, N>& sign) {
  forms::Bitmap bitmap(kIconSide, kIconSide, Face());
  constexpr double kCentre = 15.5;
  constexpr double kRadius = 14.5;
  const forms::ColorRef rim = forms::Rgb(0, 24, 110);
  for (int y = 0; y < kIconSide; ++y) {
    for (int x = 0; x < kIconSide; ++x) {
      forms::ColorRef c = bitmap.Pixel(x, y);
      c = Mix(c, forms::kClGray, 0.6 * Coverage(x, y, kCentre + 1.5, kCentre + 1.5, kRadius));
      c = Mix(c, rim, Coverage(x, y, kCentre, kCentre, kRadius));
      // The light falls from the top left: brighter there, deep blue at the lower right.
      const double lit = std::clamp(((x - kCentre) + (y - kCentre)) / (4 * kRadius) + 0.5, 0., 1.);
      const forms::ColorRef body = Mix(forms::Rgb(90, 150, 255), forms::Rgb(10, 50, 190), lit);
      c = Mix(c, body, Coverage(x, y, kCentre, kCentre, kRadius - 1.2));
      bitmap.SetPixel(x, y, c);
    }
  }
  const int width = static_cast<int>(sign.front().size());
  const int left = (kIconSide - width) / 2;
  const int top = (kIconSide - static_cast<int>(N)) / 2;
  for (std::size_t row = 0; row < N; ++row)
    for (int col = 0; col < width; ++col)
      if (sign[row][static_cast<std::size_t>(col)] == 'X')
        bitmap.SetPixel(left + col, top + static_cast<int>(row), forms::kClWhite);
  return bitmap;
}

}  // namespace

forms::Bitmap WizardSidePicture() {
  constexpr int kWidth = 120;
  constexpr int kHeight = 260;
  forms::Bitmap picture(kWidth, kHeight);
  // Rings around a point below the lower left corner, lighter and darker in turn, over a
  // field running from a bright blue at the top to navy at the foot.
  constexpr double kRingX = -30;
  constexpr double kRingY = 330;
  for (int y = 0; y < kHeight; ++y) {
    const double down = static_cast<double>(y) / (kHeight - 1);
    const forms::ColorRef field = Mix(forms::Rgb(40, 110, 245), forms::Rgb(0, 12, 80), down);
    for (int x = 0; x < kWidth; ++x) {
      const double distance = std::hypot(x - kRingX, y - kRingY);
      // Soft waves, 40 pixels apart, fading towards the top where the field is bright.
      const double wave = 0.5 + 0.5 * std::cos(distance * 2 * kPi / 40);
      picture.SetPixel(x, y, Mix(field, forms::kClWhite, wave * (0.06 + 0.12 * down)));
    }
  }
  forms::Canvas canvas(picture);
  // A thin light line along the right edge, where the picture meets the pages.
  canvas.SetBrushColor(forms::Rgb(150, 190, 255));
  canvas.FillRect({kWidth - 2, 0, kWidth - 1, kHeight});
  canvas.SetBrushColor(forms::Rgb(0, 0, 60));
  canvas.FillRect({kWidth - 1, 0, kWidth, kHeight});
  DrawSetupTile(canvas, 16, 20);
  DrawSetupBars(canvas, 52, 26, 50);
  return picture;
}

forms::Bitmap SetupBoxIcon() {
  forms::Bitmap bitmap(kIconSide, kIconSide, Face());
  const forms::ColorRef ink = forms::kClBlack;
  const forms::ColorRef card = forms::Rgb(214, 168, 96);
  const forms::ColorRef cardDark = forms::Rgb(160, 112, 50);
  const forms::ColorRef inside = forms::Rgb(110, 72, 30);
  // The carton: its dark inside, the front and the right side, the front flap folded outwards.
  Fill(bitmap, 5, 15, 25, 19, inside);
  Fill(bitmap, 4, 19, 24, 31, card);
  for (int x = 24; x < 29; ++x) Fill(bitmap, x, 19 - (x - 24), x + 1, 31 - (x - 24), cardDark);
  for (int i = 0; i < 5; ++i) Fill(bitmap, 1 + i, 14 + i, 5 + i, 15 + i, cardDark);
  for (int x = 4; x < 24; ++x) {
    bitmap.SetPixel(x, 19, ink);
    bitmap.SetPixel(x, 30, ink);
  }
  for (int y = 19; y < 31; ++y) {
    bitmap.SetPixel(4, y, ink);
    bitmap.SetPixel(23, y, ink);
  }
  // A band of tape down the front.
  Fill(bitmap, 12, 20, 16, 30, forms::Rgb(236, 214, 160));
  // The diskette going in: blue, with its metal shutter and white label.
  const forms::ColorRef disk = forms::Rgb(30, 70, 200);
  Fill(bitmap, 8, 1, 22, 17, disk);
  Fill(bitmap, 11, 1, 19, 6, forms::kClSilver);
  Fill(bitmap, 16, 2, 18, 5, forms::kClGray);
  Fill(bitmap, 10, 9, 20, 17, forms::kClWhite);
  for (int y = 11; y < 17; y += 2) Fill(bitmap, 11, y, 19, y + 1, forms::Rgb(160, 170, 220));
  for (int x = 8; x < 22; ++x) bitmap.SetPixel(x, 0, forms::kClNavy);
  for (int y = 0; y < 17; ++y) {
    bitmap.SetPixel(7, y, forms::kClNavy);
    bitmap.SetPixel(22, y, forms::kClNavy);
  }
  // A green arrow beside it: into the box.
  const forms::ColorRef arrow = forms::Rgb(0, 150, 40);
  Fill(bitmap, 26, 1, 29, 6, arrow);
  for (int i = 0; i < 4; ++i) Fill(bitmap, 24 + i, 6 + i, 31 - i, 7 + i, arrow);
  return bitmap;
}

forms::Bitmap QuestionIcon() {
  constexpr std::array<std::string_view, 16> kSign = {
      "..XXXXXX..", ".XXXXXXXX.", "XXX....XXX", "XXX....XXX", ".......XXX", "......XXX.",
      ".....XXX..", "....XXX...", "....XXX...", "....XXX...", "..........", "..........",
      "....XXX...", "....XXX...", "....XXX...", "..........",
  };
  return Badge(kSign);
}

forms::Bitmap InformationIcon() {
  constexpr std::array<std::string_view, 16> kSign = {
      "...XX...", "..XXXX..", "..XXXX..", "...XX...", "........", "........",
      ".XXXXX..", "..XXXX..", "..XXXX..", "..XXXX..", "..XXXX..", "..XXXX..",
      "..XXXX..", "..XXXX..", ".XXXXXX.", "........",
  };
  return Badge(kSign);
}
