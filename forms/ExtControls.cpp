#include "forms/ExtControls.h"

#include <algorithm>

namespace forms {

ProgressBar::ProgressBar(WinControl& parent, std::string name)
    : WinControl(parent, std::move(name)) {}

void ProgressBar::SetRange(int min, int max) {
  max = std::max(max, min);
  if (min == min_ && max == max_) return;
  min_ = min;
  max_ = max;
  Notify(Property::Range);
  int kept = std::clamp(position_, min_, max_);
  if (kept != position_) {
    position_ = kept;
    Notify(Property::Position);
  }
}

void ProgressBar::SetPosition(int position) {
  position = std::clamp(position, min_, max_);
  if (position == position_) return;
  position_ = position;
  Notify(Property::Position);
}

Image::Image(WinControl& parent, std::string name) : GraphicControl(parent, std::move(name)) {}

void Image::SetPicture(const Bitmap& picture) {
  picture_ = picture;
  if (autoSize_ && !picture_.Empty()) SetBounds(Left(), Top(), picture_.Width(), picture_.Height());
  Repaint();
}

void Image::SetAutoSize(bool autoSize) {
  if (autoSize == autoSize_) return;
  autoSize_ = autoSize;
  if (autoSize_ && !picture_.Empty()) SetBounds(Left(), Top(), picture_.Width(), picture_.Height());
}

void Image::SetStretch(bool stretch) {
  if (stretch == stretch_) return;
  stretch_ = stretch;
  Repaint();
}

void Image::SetCenter(bool center) {
  if (center == center_) return;
  center_ = center;
  Repaint();
}

void Image::Paint() {
  Canvas& canvas = Surface();
  canvas.SetBrushColor(Parent() ? Parent()->Color() : kClBtnFace);
  canvas.FillRect(ClientRect());
  if (picture_.Empty()) return;
  if (stretch_) {
    canvas.CopyRect(ClientRect(), picture_, {0, 0, picture_.Width(), picture_.Height()});
  } else if (center_) {
    canvas.Draw((Width() - picture_.Width()) / 2, (Height() - picture_.Height()) / 2, picture_);
  } else {
    canvas.Draw(0, 0, picture_);
  }
}

Timer::Timer(Component& owner, std::string name) : Component(&owner, std::move(name)) {}

Timer::~Timer() = default;

void Timer::SetInterval(int interval) {
  if (interval == interval_) return;
  interval_ = interval;
  Notify(Property::Timer);
}

void Timer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Notify(Property::Timer);
}

void Timer::SetOnTimer(Event handler) {
  onTimer_ = std::move(handler);
  Notify(Property::Timer);
}

void Timer::Tick() {
  if (!Running()) return;
  Event handler = onTimer_;  // the handler may replace itself or free the timer
  handler();
}

}  // namespace forms
