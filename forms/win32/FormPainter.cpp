#include "forms/win32/FormPainter.h"

#include <vector>

#include "forms/StdControls.h"
#include "forms/win32/GdiHandles.h"
#include "forms/win32/Win32Logic.h"

namespace forms::win32 {
namespace {

RECT ToRect(const Rect& r) {
  return {r.left, r.top, r.right, r.bottom};
}

void Fill(HDC dc, const Rect& area, ColorRef color, GdiCache& cache) {
  RECT r = ToRect(area);
  FillRect(dc, &r, cache.Brush(color));
}

UINT AlignmentFlags(TextAlignment alignment) {
  switch (alignment) {
    case TextAlignment::Right:
      return DT_RIGHT;
    case TextAlignment::Center:
      return DT_CENTER;
    case TextAlignment::Left:
    default:
      return DT_LEFT;
  }
}

// Draws `text` in the control's font inside `box`, clipped to `clip`.
void DrawControlText(HDC dc, const Control& control, const std::string& text, Rect box,
                     const Rect& clip, UINT flags, GdiCache& cache) {
  if (text.empty()) return;
  SavedDc saved(dc);
  IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
  SelectObject(dc, cache.Font(control.Font()));
  const bool enabled = EnabledInForm(control);
  SetTextColor(dc, enabled ? ColorToRgb(control.Font().color) : GetSysColor(COLOR_GRAYTEXT));
  SetBkMode(dc, TRANSPARENT);
  RECT r = ToRect(box);
  DrawTextA(dc, text.data(), static_cast<int>(text.size()), &r, flags | DT_EXPANDTABS);
}

// Copies the part `area` of a windowless control's picture; pixels the picture does not
// have yet take the control's colour.
void BlitShown(HDC dc, const GraphicControl& control, const Rect& bounds, const Rect& area) {
  const Bitmap& shown = control.Shown();
  const int width = area.Width();
  const int height = area.Height();
  const std::uint32_t background = DibPixelOf(control.Color());
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const ColorRef c = shown.Pixel(area.left - bounds.left + x, area.top - bounds.top + y);
      pixels[static_cast<std::size_t>(y) * width + x] =
          c == kClInvalid ? background : DibPixelOf(c);
    }
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down, as Bitmap keeps its rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(dc, area.left, area.top, width, height, 0, 0, 0, height, pixels.data(), &info,
                    DIB_RGB_COLORS);
}

void DrawBevel(HDC dc, Rect& box, Bevel bevel, int width) {
  if (bevel == Bevel::None) return;
  for (int i = 0; i < width; ++i) {
    RECT r = ToRect(box);
    DrawEdge(dc, &r, bevel == Bevel::Raised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
    box = {box.left + 1, box.top + 1, box.right - 1, box.bottom - 1};
  }
}

void PaintContainer(HDC dc, const WinControl& container, const Rect& bounds, const Rect& area,
                    GdiCache& cache) {
  Fill(dc, area, container.Color(), cache);
  SavedDc saved(dc);
  IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
  if (auto* panel = dynamic_cast<const Panel*>(&container)) {
    Rect box = bounds;
    DrawBevel(dc, box, panel->BevelOuter(), panel->BevelWidth());
    DrawBevel(dc, box, panel->BevelInner(), panel->BevelWidth());
    DrawControlText(dc, *panel, panel->Caption(), box, area,
                    DT_SINGLELINE | DT_VCENTER | AlignmentFlags(panel->Alignment()), cache);
  } else if (dynamic_cast<const GroupBox*>(&container)) {
    RECT frame = ToRect(bounds);
    frame.top += 7;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (!container.Caption().empty()) {
      SelectScope font(dc, cache.Font(container.Font()));
      SIZE size{};
      GetTextExtentPoint32A(dc, container.Caption().data(),
                            static_cast<int>(container.Caption().size()), &size);
      Rect label{bounds.left + 8, bounds.top, bounds.left + 12 + size.cx, bounds.top + size.cy};
      Fill(dc, Intersect(label, area), container.Color(), cache);
      DrawControlText(dc, container, container.Caption(),
                      {label.left + 2, label.top, label.right, label.bottom}, area,
                      DT_SINGLELINE | DT_LEFT, cache);
    }
  }
}

void PaintChildren(HDC dc, const WinControl& container, int originX, int originY, const Rect& clip,
                   GdiCache& cache) {
  for (const Control* child : container.Controls()) {
    if (!child->Visible()) continue;
    const Rect& b = child->BoundsRect();
    const Rect bounds{b.left + originX, b.top + originY, b.right + originX, b.bottom + originY};
    const Rect area = Intersect(bounds, clip);
    if (area.Empty()) continue;
    if (auto* graphic = dynamic_cast<const GraphicControl*>(child)) {
      if (graphic->Opaque()) BlitShown(dc, *graphic, bounds, area);
      if (auto* label = dynamic_cast<const Label*>(graphic)) {
        UINT flags = AlignmentFlags(label->Alignment());
        if (label->WordWrap()) flags |= DT_WORDBREAK;
        DrawControlText(dc, *label, label->Caption(), bounds, area, flags, cache);
      }
    } else if (auto* windowed = dynamic_cast<const WinControl*>(child)) {
      if (NativeKindOf(*windowed) != NativeKind::None) continue;  // a window of its own
      PaintContainer(dc, *windowed, bounds, area, cache);
      PaintChildren(dc, *windowed, bounds.left, bounds.top, area, cache);
    }
  }
}

}  // namespace

std::optional<Size> MeasureLabelText(GdiCache& cache, const TextFont& font, std::string_view text,
                                     int wrapWidth) {
  UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  if (!dc) return std::nullopt;
  SelectScope selected(dc.get(), cache.Font(font));
  // The flags the label is painted with, but for its alignment, which moves no line.
  UINT flags = DT_CALCRECT | DT_EXPANDTABS;
  if (wrapWidth > 0) flags |= DT_WORDBREAK;
  RECT box{0, 0, wrapWidth > 0 ? wrapWidth : 0, 0};
  if (DrawTextA(dc.get(), text.data(), static_cast<int>(text.size()), &box, flags) == 0)
    return std::nullopt;
  return Size{box.right - box.left, box.bottom - box.top};
}

void PaintFormArea(HDC target, const Form& form, const RECT& area, GdiCache& cache) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return;
  UniqueMemoryDc memory(CreateCompatibleDC(target));
  UniqueBitmap bitmap(CreateCompatibleBitmap(target, width, height));
  if (!memory || !bitmap) return;
  SelectScope selected(memory.get(), bitmap.get());
  // Client coordinates throughout: the bitmap's (0, 0) is the area's top left corner.
  SetViewportOrgEx(memory.get(), -area.left, -area.top, nullptr);
  const Rect clip{area.left, area.top, area.right, area.bottom};
  Fill(memory.get(), clip, form.Color(), cache);
  PaintChildren(memory.get(), form, 0, 0, clip, cache);
  BitBlt(target, area.left, area.top, width, height, memory.get(), area.left, area.top, SRCCOPY);
}

}  // namespace forms::win32
