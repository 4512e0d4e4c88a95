// TGradientBack: a windowless control that fills its area with 256 bands running from one
// of seven base colours at full intensity to black, in one of four directions. The main
// window shows one behind its title, and copies from its surface the background under the
// presentation picture.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "forms/Component.h"

// The base colour of the gradient.
enum TGradColor : std::uint8_t {
  gclAqua = 0,
  gclBlue = 1,
  gclGreen = 2,
  gclPurple = 3,
  gclRed = 4,
  gclWhite = 5,
  gclYellow = 6,
};

// Where the gradient runs: gdDown and gdLeft are bright at the top (left), gdUp and gdRight
// at the bottom (right).
enum TGradDirection : std::uint8_t {
  gdDown = 0,
  gdUp = 1,
  gdLeft = 2,
  gdRight = 3,
};

// The 256 band colours of a base colour and direction, band 0 first.
std::array<forms::ColorRef, 256> GradientTable(TGradColor color, TGradDirection direction);

class TGradientBack : public forms::GraphicControl {
 public:
  // A gradient filling `parent` (aligned to its client area): blue, bright at the top.
  explicit TGradientBack(forms::WinControl& parent, std::string name = {});

  TGradColor BackColor() const { return FBackColor; }
  // Stores the colour, rebuilds the table and paints at once (also when unchanged).
  void SetBackColor(TGradColor color);
  TGradDirection Direction() const { return FDirection; }
  // Stores the direction, rebuilds the table and paints at once (also when unchanged).
  void SetDirection(TGradDirection direction);
  // The band colours in use.
  const std::array<forms::ColorRef, 256>& ColorTable() const { return table_; }

  // The canvas the gradient was painted on, for copying its pixels (not owned).
  forms::Canvas* BackCanvas = nullptr;

 protected:
  // 256 solid fills over the whole area, whatever its size.
  void Paint() override;

 private:
  TGradColor FBackColor = gclBlue;
  TGradDirection FDirection = gdDown;
  std::array<forms::ColorRef, 256> table_{};
};
