#include "forms/win32/GdiCache.h"

#include <cstring>

#include "forms/win32/Win32Logic.h"

namespace forms::win32 {
namespace {

int CALLBACK NoteFaceFound(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;  // one is enough
}

bool FaceInstalled(const std::string& face) {
  if (face.size() >= LF_FACESIZE) return false;
  LOGFONTA query{};
  query.lfCharSet = DEFAULT_CHARSET;
  std::memcpy(query.lfFaceName, face.c_str(), face.size() + 1);
  HDC screen = GetDC(nullptr);
  bool found = false;
  EnumFontFamiliesExA(screen, &query, NoteFaceFound, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found;
}

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

}  // namespace

const std::string& GdiCache::InstalledFace(const std::string& face) {
  auto known = faces_.find(face);
  if (known != faces_.end()) return known->second;
  std::string chosen = face;
  for (const std::string& candidate : FaceCandidates(face)) {
    if (FaceInstalled(candidate)) {
      chosen = candidate;
      break;
    }
  }
  return faces_.emplace(face, chosen).first->second;
}

HFONT GdiCache::Font(const TextFont& font) {
  const int height = FontLogicalHeight(font, ScreenDpi());
  auto key = std::make_tuple(font.name, height, font.bold);
  auto known = fonts_.find(key);
  if (known != fonts_.end()) return known->second.get();
  const std::string& face = InstalledFace(font.name);
  HFONT made = CreateFontA(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                           EASTEUROPE_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face.c_str());
  return fonts_.emplace(key, UniqueFont(made)).first->second.get();
}

HBRUSH GdiCache::Brush(ColorRef color) {
  const ColorRef rgb = ColorToRgb(color);
  auto known = brushes_.find(rgb);
  if (known != brushes_.end()) return known->second.get();
  return brushes_.emplace(rgb, UniqueBrush(CreateSolidBrush(rgb))).first->second.get();
}

}  // namespace forms::win32
