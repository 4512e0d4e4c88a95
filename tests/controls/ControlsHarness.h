// A headless application with one borderless form for the control tests, and helpers
// that read colours back.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "forms/Application.h"
#include "forms/Form.h"
#include "forms/headless/HeadlessToolkit.h"

namespace testing_support {

class ControlsHarness {
 public:
  explicit ControlsHarness(int width = 300, int height = 300) {
    form.SetBorderStyle(forms::FormBorder::None);
    form.SetColor(forms::kClNavy);
    form.SetBounds(0, 0, width, height);
  }
  // Lets `milliseconds` of virtual time pass and the due timers fire.
  void Wait(std::uint32_t milliseconds) {
    toolkit.Advance(milliseconds);
    app.ProcessMessages();
  }

  forms::headless::HeadlessToolkit toolkit;
  forms::Application app{toolkit};
  forms::Form& form = app.CreateForm<forms::Form>("TTestForm");
};

// Counts the drawing calls a canvas reports, passing them on to its previous hook.
class DrawCounter {
 public:
  explicit DrawCounter(forms::Canvas& canvas) : canvas_(canvas), previous_(canvas.OnChange) {
    canvas.OnChange = [this](const forms::Rect& rect) {
      ++count_;
      if (previous_) previous_(rect);
    };
  }
  ~DrawCounter() { canvas_.OnChange = previous_; }
  DrawCounter(const DrawCounter&) = delete;
  DrawCounter& operator=(const DrawCounter&) = delete;
  int Count() const { return count_; }
  void Reset() { count_ = 0; }

 private:
  forms::Canvas& canvas_;
  std::function<void(const forms::Rect&)> previous_;
  int count_ = 0;
};

}  // namespace testing_support
