// Paints a form's client area: the colours of the form and its containers, the canvases
// of the windowless controls and the texts of labels, in creation order, into one
// off-screen bitmap per paint. Native child windows paint themselves.
#pragma once

#include "forms/win32/WindowsUi.h"

#include <optional>
#include <string_view>

#include "forms/Form.h"
#include "forms/win32/GdiCache.h"

namespace forms::win32 {

// Paints the part `area` (client coordinates) of the form onto `target`.
void PaintFormArea(HDC target, const Form& form, const RECT& area, GdiCache& cache);

// The size `text` takes when a label draws it in `font` (as PaintFormArea does): on its own
// lines, or broken into lines no wider than `wrapWidth` when that is above 0.
std::optional<Size> MeasureLabelText(GdiCache& cache, const TextFont& font, std::string_view text,
                                     int wrapWidth);

}  // namespace forms::win32
