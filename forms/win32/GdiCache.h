// The fonts and solid brushes the toolkit draws with, made once per look and kept until
// the toolkit goes.
#pragma once

#include "forms/win32/WindowsUi.h"

#include <map>
#include <string>
#include <tuple>

#include "forms/Graphics.h"
#include "forms/win32/GdiHandles.h"

namespace forms::win32 {

class GdiCache {
 public:
  GdiCache() = default;
  GdiCache(const GdiCache&) = delete;
  GdiCache& operator=(const GdiCache&) = delete;

  // The font of that face, size and weight, in the closest face installed; Windows-1250
  // character set.
  HFONT Font(const TextFont& font);
  // A solid brush of the colour (system colours in the classic scheme).
  HBRUSH Brush(ColorRef color);

 private:
  // The first of the face's candidates that is installed (the name itself when none is).
  const std::string& InstalledFace(const std::string& face);

  std::map<std::tuple<std::string, int, bool>, UniqueFont> fonts_;
  std::map<ColorRef, UniqueBrush> brushes_;
  std::map<std::string, std::string> faces_;
};

}  // namespace forms::win32
