// The progress bar, the picture control and the timer.
#pragma once

#include <string>

#include "forms/Component.h"

namespace forms {

// A bar filled in proportion to Position between Min and Max.
class ProgressBar : public WinControl {
 public:
  explicit ProgressBar(WinControl& parent, std::string name = {});
  int Min() const { return min_; }
  int Max() const { return max_; }
  // Sets the range; the position is kept inside it.
  void SetRange(int min, int max);
  void SetMin(int min) { SetRange(min, max_); }
  void SetMax(int max) { SetRange(min_, max); }
  int Position() const { return position_; }
  // Sets the position, kept within Min and Max.
  void SetPosition(int position);

 private:
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
};

// A windowless control that shows a bitmap.
class Image : public GraphicControl {
 public:
  explicit Image(WinControl& parent, std::string name = {});
  const Bitmap& Picture() const { return picture_; }
  // Copies the picture in; with AutoSize the control takes the picture's size.
  void SetPicture(const Bitmap& picture);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool autoSize);
  // With Stretch the picture is scaled to the control, otherwise drawn at its own size
  // (centred with Center, at the top left without).
  bool Stretch() const { return stretch_; }
  void SetStretch(bool stretch);
  bool Center() const { return center_; }
  void SetCenter(bool center);

 protected:
  void Paint() override;

 private:
  Bitmap picture_;
  bool autoSize_ = false;
  bool stretch_ = false;
  bool center_ = false;
};

// Fires OnTimer every Interval milliseconds while enabled, from the message loop.
class Timer : public Component {
 public:
  explicit Timer(Component& owner, std::string name = {});
  ~Timer() override;
  int Interval() const { return interval_; }
  void SetInterval(int interval);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  // The handler of each tick.
  void SetOnTimer(Event handler);
  // True when the timer should tick: enabled, a positive interval and a handler.
  bool Running() const { return enabled_ && interval_ > 0 && static_cast<bool>(onTimer_); }
  // One tick, called by the toolkit: fires the handler when running.
  void Tick();

 private:
  Event onTimer_;
  int interval_ = 1000;
  bool enabled_ = true;
};

}  // namespace forms
