#include "forms/win32/DirPainter.h"

#include <string>

#include "forms/win32/GdiHandles.h"

namespace forms::win32 {
namespace {

using UniquePen = GdiObject<HPEN>;

// How far each level of the tree is indented, and the size of the pictures.
constexpr int kIndent = 12;
constexpr int kGlyphWidth = 16;
constexpr int kGlyphHeight = 12;

constexpr COLORREF kFolderYellow = RGB(240, 208, 96);
constexpr COLORREF kFolderLight = RGB(255, 236, 160);
constexpr COLORREF kOutline = RGB(96, 80, 32);
constexpr COLORREF kCase = RGB(192, 192, 192);
constexpr COLORREF kCaseDark = RGB(96, 96, 96);

// Fills a polygon in `fill` with a one-pixel `outline`.
void Shape(HDC dc, const POINT* points, int count, COLORREF fill, COLORREF outline) {
  UniqueBrush brush(CreateSolidBrush(fill));
  UniquePen pen(CreatePen(PS_SOLID, 1, outline));
  SelectScope useBrush(dc, brush.get());
  SelectScope usePen(dc, pen.get());
  Polygon(dc, points, count);
}

void Box(HDC dc, int left, int top, int right, int bottom, COLORREF fill, COLORREF outline) {
  const POINT points[] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
  Shape(dc, points, 4, fill, outline);
}

// A folder with its tab at the top left; an open one shows its lighter front tilted.
void DrawFolder(HDC dc, int x, int y, bool open) {
  const POINT back[] = {{x, y + 1},      {x + 5, y + 1},   {x + 7, y + 3},
                        {x + 14, y + 3}, {x + 14, y + 11}, {x, y + 11}};
  Shape(dc, back, 6, kFolderYellow, kOutline);
  if (!open) return;
  const POINT front[] = {{x + 3, y + 5}, {x + 16, y + 5}, {x + 13, y + 11}, {x, y + 11}};
  Shape(dc, front, 4, kFolderLight, kOutline);
}

void DrawDrive(HDC dc, int x, int y, DriveKind kind) {
  switch (kind) {
    case DriveKind::Removable: {
      // A diskette: dark square, metal shutter at the top, label below.
      Box(dc, x + 2, y, x + 14, y + 12, RGB(32, 48, 112), RGB(16, 16, 48));
      Box(dc, x + 5, y, x + 11, y + 4, kCase, kCaseDark);
      Box(dc, x + 4, y + 7, x + 12, y + 11, RGB(240, 240, 240), RGB(240, 240, 240));
      break;
    }
    case DriveKind::CdRom: {
      UniqueBrush brush(CreateSolidBrush(RGB(216, 216, 232)));
      UniquePen pen(CreatePen(PS_SOLID, 1, kCaseDark));
      SelectScope useBrush(dc, brush.get());
      SelectScope usePen(dc, pen.get());
      Ellipse(dc, x + 2, y, x + 14, y + 12);
      Ellipse(dc, x + 6, y + 4, x + 10, y + 8);
      break;
    }
    case DriveKind::Remote: {
      // A drive with the cable that joins it to the network.
      Box(dc, x, y + 1, x + 15, y + 7, kCase, kCaseDark);
      Box(dc, x + 7, y + 7, x + 8, y + 10, kCaseDark, kCaseDark);
      Box(dc, x + 2, y + 10, x + 13, y + 11, kCaseDark, kCaseDark);
      break;
    }
    case DriveKind::RamDisk: {
      // A memory chip with its legs.
      Box(dc, x + 2, y + 2, x + 14, y + 10, RGB(32, 112, 48), RGB(16, 64, 24));
      for (int leg = x + 3; leg < x + 14; leg += 3) {
        Box(dc, leg, y, leg + 1, y + 2, kCaseDark, kCaseDark);
        Box(dc, leg, y + 10, leg + 1, y + 12, kCaseDark, kCaseDark);
      }
      break;
    }
    case DriveKind::Fixed:
    case DriveKind::Unknown:
    default:
      // A hard disk: a flat case with its green light.
      Box(dc, x, y + 3, x + 15, y + 10, kCase, kCaseDark);
      Box(dc, x + 11, y + 6, x + 13, y + 7, RGB(0, 192, 0), RGB(0, 128, 0));
      break;
  }
}

// Paints the entry's background and sets the text colours for its state.
void PaintBackground(const DRAWITEMSTRUCT& item) {
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  SetBkMode(item.hDC, TRANSPARENT);
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  SetTextColor(item.hDC, GetSysColor(disabled   ? COLOR_GRAYTEXT
                                     : selected ? COLOR_HIGHLIGHTTEXT
                                                : COLOR_WINDOWTEXT));
}

void DrawLabel(const DRAWITEMSTRUCT& item, int left, const std::string& text) {
  RECT place = item.rcItem;
  place.left = left;
  DrawTextA(item.hDC, text.c_str(), static_cast<int>(text.size()), &place,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void DrawFocus(const DRAWITEMSTRUCT& item) {
  if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0)
    DrawFocusRect(item.hDC, &item.rcItem);
}

int GlyphTop(const DRAWITEMSTRUCT& item) {
  return item.rcItem.top + (item.rcItem.bottom - item.rcItem.top - kGlyphHeight) / 2;
}

}  // namespace

void DrawDirectoryItem(const DRAWITEMSTRUCT& item, const DirectoryListBox& list) {
  const int index = static_cast<int>(item.itemID);
  if (item.itemID == static_cast<UINT>(-1) || index >= list.Count()) {
    DrawFocus(item);
    return;
  }
  SavedDc saved(item.hDC);
  PaintBackground(item);
  const int level = list.Level(index);
  const int x = item.rcItem.left + 2 + level * kIndent;
  const int y = GlyphTop(item);
  // The root is its drive; below it the folders down to the current one are open.
  if (level == 0 && list.IsOpen(index))
    DrawDrive(item.hDC, x, y, DriveKind::Fixed);
  else
    DrawFolder(item.hDC, x, y, list.IsOpen(index));
  DrawLabel(item, x + kGlyphWidth + 4, list.Items()[static_cast<std::size_t>(index)]);
  DrawFocus(item);
}

void DrawDriveItem(const DRAWITEMSTRUCT& item, const DriveComboBox& drives) {
  const int index = static_cast<int>(item.itemID);
  if (item.itemID == static_cast<UINT>(-1) || index >= static_cast<int>(drives.Drives().size())) {
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_WINDOW));
    DrawFocus(item);
    return;
  }
  SavedDc saved(item.hDC);
  PaintBackground(item);
  const DriveEntry& drive = drives.Drives()[static_cast<std::size_t>(index)];
  const int x = item.rcItem.left + 2;
  DrawDrive(item.hDC, x, GlyphTop(item), drive.kind);
  DrawLabel(item, x + kGlyphWidth + 4, DriveComboBox::EntryText(drive));
  DrawFocus(item);
}

}  // namespace forms::win32
