// Colours, rectangles, 32-bit bitmaps and the canvas that draws on them. Pixels are kept
// as Windows COLORREF words (0x00BBGGRR), so what portable code paints is what a Win32
// toolkit blits unchanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace forms {

// A colour as a COLORREF word: 0x00BBGGRR, or a system colour (kClSystemBit | index).
using ColorRef = std::uint32_t;

// Composes a colour from its red, green and blue parts.
constexpr ColorRef Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return static_cast<ColorRef>(red) | (static_cast<ColorRef>(green) << 8) |
         (static_cast<ColorRef>(blue) << 16);
}
constexpr std::uint8_t RedOf(ColorRef c) {
  return static_cast<std::uint8_t>(c & 0xFF);
}
constexpr std::uint8_t GreenOf(ColorRef c) {
  return static_cast<std::uint8_t>((c >> 8) & 0xFF);
}
constexpr std::uint8_t BlueOf(ColorRef c) {
  return static_cast<std::uint8_t>((c >> 16) & 0xFF);
}

constexpr ColorRef kClBlack = 0x000000;
constexpr ColorRef kClMaroon = 0x000080;
constexpr ColorRef kClGreen = 0x008000;
constexpr ColorRef kClNavy = 0x800000;
constexpr ColorRef kClBlue = 0xFF0000;
constexpr ColorRef kClRed = 0x0000FF;
constexpr ColorRef kClYellow = 0x00FFFF;
constexpr ColorRef kClGray = 0x808080;
constexpr ColorRef kClSilver = 0xC0C0C0;
constexpr ColorRef kClWhite = 0xFFFFFF;
// System colours carry this bit and the GetSysColor index in the low byte.
constexpr ColorRef kClSystemBit = 0x80000000u;
constexpr ColorRef kClBtnFace = kClSystemBit | 15;
constexpr ColorRef kClWindow = kClSystemBit | 5;
constexpr ColorRef kClWindowText = kClSystemBit | 8;
constexpr ColorRef kClBtnText = kClSystemBit | 18;
// What Canvas::Pixel answers outside the bitmap (CLR_INVALID).
constexpr ColorRef kClInvalid = 0xFFFFFFFFu;

// The plain RGB value of a colour: system colours take the classic Windows scheme.
ColorRef ColorToRgb(ColorRef color);

// A rectangle with exclusive right and bottom edges, as Windows RECT.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// A width and a height in pixels.
struct Size {
  int width = 0;
  int height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

// The part that two rectangles share (empty when they do not meet).
Rect Intersect(const Rect& a, const Rect& b);

// A picture of 32-bit COLORREF pixels, row by row from the top.
class Bitmap {
 public:
  Bitmap() = default;
  Bitmap(int width, int height, ColorRef fill = kClBlack);
  int Width() const { return width_; }
  int Height() const { return height_; }
  // True when the bitmap has no width or no height (no image).
  bool Empty() const { return width_ <= 0 || height_ <= 0; }
  // Changes the size; pixels inside both sizes stay, new ones are black.
  void Resize(int width, int height);
  // The pixel at (x, y), or kClInvalid outside the bitmap.
  ColorRef Pixel(int x, int y) const;
  // Sets one pixel; outside the bitmap nothing happens.
  void SetPixel(int x, int y, ColorRef color);
  const std::vector<ColorRef>& Pixels() const { return pixels_; }
  friend bool operator==(const Bitmap&, const Bitmap&) = default;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<ColorRef> pixels_;
};

// The largest ".bmp" file image DecodeBmp takes: more than any picture it holds needs.
inline constexpr std::size_t kMaxBmpFileBytes = 64u << 20;

// Decodes a Windows ".bmp" file image (uncompressed 1, 4, 8, 24 or 32 bits per pixel);
// false when the bytes are not such a file, or the picture is too large to hold (over
// 4096 pixels a side or 4 Mi pixels in all, or a file over kMaxBmpFileBytes).
bool DecodeBmp(const std::string& bytes, Bitmap& out);

// Draws on a bitmap that it does not own; every drawing call clips to the bitmap and
// reports the touched area through the change hook (how a control tells its toolkit).
class Canvas {
 public:
  explicit Canvas(Bitmap& target) : target_(&target) {}
  Bitmap& Target() const { return *target_; }
  ColorRef BrushColor() const { return brushColor_; }
  void SetBrushColor(ColorRef color) { brushColor_ = color; }
  // Fills the rectangle with the brush colour.
  void FillRect(const Rect& rect);
  // The pixel at (x, y), or kClInvalid outside.
  ColorRef Pixel(int x, int y) const { return target_->Pixel(x, y); }
  void SetPixel(int x, int y, ColorRef color);
  // Raster copy (SRCCOPY) of a width x height block from (sourceX, sourceY) of the source to
  // (x, y) here; parts outside either bitmap are left out.
  void BitBlt(int x, int y, int width, int height, const Bitmap& source, int sourceX, int sourceY);
  // Copies the source rectangle into the destination rectangle, stretching when the sizes
  // differ (nearest pixel).
  void CopyRect(const Rect& dest, const Bitmap& source, const Rect& sourceRect);
  // Draws a whole bitmap at its own size with its top left corner at (x, y).
  void Draw(int x, int y, const Bitmap& picture);
  // Called with the touched area after each drawing call.
  std::function<void(const Rect&)> OnChange;

 private:
  void Touched(const Rect& rect);
  Bitmap* target_;
  ColorRef brushColor_ = kClWhite;
};

// A font as the forms describe it.
struct TextFont {
  std::string name = "MS Sans Serif";
  int size = 8;    // points
  int height = 0;  // character height in pixels; when not 0 it wins over size
  bool bold = false;
  ColorRef color = kClWindowText;
  friend bool operator==(const TextFont&, const TextFont&) = default;
};

}  // namespace forms
