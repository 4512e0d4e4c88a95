#include "forms/Graphics.h"

#include <algorithm>
#include <cstddef>

namespace forms {

ColorRef ColorToRgb(ColorRef color) {
  if ((color & kClSystemBit) == 0) return color & 0x00FFFFFF;
  // The classic Windows scheme, which the installer's windows were designed in.
  switch (color & 0xFF) {
    case 5:  // window background
      return kClWhite;
    case 8:   // window text
    case 18:  // button text
      return kClBlack;
    case 15:  // button face
    default:
      return kClSilver;
  }
}

Rect Intersect(const Rect& a, const Rect& b) {
  Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
         std::min(a.bottom, b.bottom)};
  if (r.Empty()) return {};
  return r;
}

Bitmap::Bitmap(int width, int height, ColorRef fill)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * height_, fill) {}

void Bitmap::Resize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return;
  std::vector<ColorRef> pixels(static_cast<std::size_t>(width) * height, kClBlack);
  for (int y = 0; y < std::min(height, height_); ++y)
    std::copy_n(pixels_.begin() + static_cast<std::ptrdiff_t>(y) * width_, std::min(width, width_),
                pixels.begin() + static_cast<std::ptrdiff_t>(y) * width);
  pixels_ = std::move(pixels);
  width_ = width;
  height_ = height;
}

ColorRef Bitmap::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return kClInvalid;
  return pixels_[static_cast<std::size_t>(y) * width_ + x];
}

void Bitmap::SetPixel(int x, int y, ColorRef color) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[static_cast<std::size_t>(y) * width_ + x] = color;
}

void Canvas::Touched(const Rect& rect) {
  if (OnChange && !rect.Empty()) OnChange(rect);
}

void Canvas::FillRect(const Rect& rect) {
  Bitmap& bitmap = *target_;
  Rect area = Intersect(rect, {0, 0, bitmap.Width(), bitmap.Height()});
  if (area.Empty()) return;
  ColorRef color = ColorToRgb(brushColor_);
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) bitmap.SetPixel(x, y, color);
  Touched(area);
}

void Canvas::SetPixel(int x, int y, ColorRef color) {
  target_->SetPixel(x, y, ColorToRgb(color));
  Touched(Intersect({x, y, x + 1, y + 1}, {0, 0, target_->Width(), target_->Height()}));
}

void Canvas::BitBlt(int x, int y, int width, int height, const Bitmap& source, int sourceX,
                    int sourceY) {
  // Clip against the source first, then the target, moving both origins together.
  Rect from = Intersect({sourceX, sourceY, sourceX + width, sourceY + height},
                        {0, 0, source.Width(), source.Height()});
  Rect to{x + (from.left - sourceX), y + (from.top - sourceY), 0, 0};
  to.right = to.left + from.Width();
  to.bottom = to.top + from.Height();
  Rect area = Intersect(to, {0, 0, target_->Width(), target_->Height()});
  if (area.Empty()) return;
  int dx = from.left - to.left;
  int dy = from.top - to.top;
  if (&source == target_) {
    // Copying inside one bitmap: go through a copy so overlapping blocks stay whole.
    Bitmap copy = source;
    for (int row = area.top; row < area.bottom; ++row)
      for (int col = area.left; col < area.right; ++col)
        target_->SetPixel(col, row, copy.Pixel(col + dx, row + dy));
  } else {
    for (int row = area.top; row < area.bottom; ++row)
      for (int col = area.left; col < area.right; ++col)
        target_->SetPixel(col, row, source.Pixel(col + dx, row + dy));
  }
  Touched(area);
}

void Canvas::CopyRect(const Rect& dest, const Bitmap& source, const Rect& sourceRect) {
  if (dest.Width() == sourceRect.Width() && dest.Height() == sourceRect.Height()) {
    BitBlt(dest.left, dest.top, dest.Width(), dest.Height(), source, sourceRect.left,
           sourceRect.top);
    return;
  }
  if (dest.Empty() || sourceRect.Empty()) return;
  Bitmap copy = source;
  Rect area = Intersect(dest, {0, 0, target_->Width(), target_->Height()});
  for (int y = area.top; y < area.bottom; ++y) {
    int sy = sourceRect.top + (y - dest.top) * sourceRect.Height() / dest.Height();
    for (int x = area.left; x < area.right; ++x) {
      int sx = sourceRect.left + (x - dest.left) * sourceRect.Width() / dest.Width();
      ColorRef c = copy.Pixel(sx, sy);
      if (c != kClInvalid) target_->SetPixel(x, y, c);
    }
  }
  Touched(area);
}

void Canvas::Draw(int x, int y, const Bitmap& picture) {
  BitBlt(x, y, picture.Width(), picture.Height(), picture, 0, 0);
}

}  // namespace forms
