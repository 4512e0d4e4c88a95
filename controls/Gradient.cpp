#include "controls/Gradient.h"

namespace {

// The colour of one band at intensity `c`.
forms::ColorRef BandColor(TGradColor color, std::uint8_t c) {
  switch (color) {
    case gclAqua:
      return forms::Rgb(0, c, c);
    case gclGreen:
      return forms::Rgb(0, c, 0);
    case gclPurple:
      return forms::Rgb(c, 0, c);
    case gclRed:
      return forms::Rgb(c, 0, 0);
    case gclWhite:
      return forms::Rgb(c, c, c);
    case gclYellow:
      return forms::Rgb(c, c, 0);
    case gclBlue:
    default:
      return forms::Rgb(0, 0, c);
  }
}

}  // namespace

std::array<forms::ColorRef, 256> GradientTable(TGradColor color, TGradDirection direction) {
  const bool falling = direction == gdDown || direction == gdLeft;
  std::array<forms::ColorRef, 256> table{};
  for (int i = 0; i < 256; ++i)
    table[i] = BandColor(color, static_cast<std::uint8_t>(falling ? 255 - i : i));
  return table;
}

TGradientBack::TGradientBack(forms::WinControl& parent, std::string name)
    : forms::GraphicControl(parent, std::move(name)) {
  table_ = GradientTable(FBackColor, FDirection);
  BackCanvas = &Surface();
  SetAlign(forms::AlignMode::Client);
}

void TGradientBack::SetBackColor(TGradColor color) {
  FBackColor = color;
  table_ = GradientTable(FBackColor, FDirection);
  Repaint();
}

void TGradientBack::SetDirection(TGradDirection direction) {
  FDirection = direction;
  table_ = GradientTable(FBackColor, FDirection);
  Repaint();
}

void TGradientBack::Paint() {
  forms::Canvas& canvas = Surface();
  const bool across = FDirection == gdDown || FDirection == gdUp;
  const int length = across ? Height() : Width();
  // The step is kept in single precision on purpose: where length * k / 255 is a whole
  // number, the rounded step puts the band one pixel earlier, and the bands must land on
  // the same rows on every build. The products below are exact in double.
  const float step = static_cast<float>(static_cast<double>(length) / 255.0);
  const int band = static_cast<int>(static_cast<double>(step) + 1.0);
  int at = 0;
  for (int k = 0; k < 256; ++k) {
    canvas.SetBrushColor(table_[k]);
    if (across)
      canvas.FillRect({0, at, Width(), at + band});
    else
      canvas.FillRect({at, 0, at + band, Height()});
    at = static_cast<int>(static_cast<double>(k) * static_cast<double>(step));
  }
  BackCanvas = &canvas;
}
