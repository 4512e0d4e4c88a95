// The interface between the class library and what puts it on a screen (or not). The
// application drives its loops through it; controls report their changes to it; it feeds
// user input back only through the controls' public methods.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "forms/Graphics.h"

namespace forms {

class Application;
class Component;
class Form;
enum class Property;
enum class ScreenCursor;

class Toolkit {
 public:
  virtual ~Toolkit() = default;

  // Called once by the application that uses this toolkit.
  virtual void Attach(Application& app) = 0;

  // Handles every message that is pending now (input, due timers, repaints) without
  // waiting.
  virtual void ProcessMessages() = 0;
  // As ProcessMessages, for a loop that calls it thousands of times a second (the copy,
  // once per block): the toolkit may skip looking at the system's queue when it has just
  // looked, as long as nothing waits longer than a few milliseconds.
  virtual void ServiceMessages() { ProcessMessages(); }
  // Waits for the next message and handles it; returns also when Wake was called.
  virtual void HandleMessage() = 0;
  // Makes a waiting HandleMessage return; may be called from any thread.
  virtual void Wake() = 0;

  // Shows a message box and returns the answer (kIdOk...), the flags as MB_* values.
  virtual int MessageBox(const std::string& text, const std::string& caption, unsigned flags) = 0;

  // The size `text` takes in `font` as a label draws it: on one line, or broken into lines
  // no wider than `wrapWidth` when that is above 0. Nothing when the toolkit has no text
  // metrics (no screen): the label's size then stays as it was set.
  virtual std::optional<Size> MeasureText(const TextFont& font, std::string_view text,
                                          int wrapWidth) {
    (void)font, (void)text, (void)wrapWidth;
    return std::nullopt;
  }

  // Milliseconds since some start (a virtual clock in the headless toolkit).
  virtual std::uint32_t TickCount() = 0;
  // The screen size in pixels.
  virtual int ScreenWidth() = 0;
  virtual int ScreenHeight() = 0;
  virtual void CursorChanged(ScreenCursor cursor) = 0;

  // A component's state changed (controls and timers).
  virtual void Changed(Component& component, Property what) = 0;
  // A component is being destroyed: forget it. Its derived parts are already gone.
  virtual void Destroyed(Component& component) = 0;
  // A modal loop starts for a shown form, or has ended (the form is hidden again).
  virtual void ModalStarted(Form& form) = 0;
  virtual void ModalEnded(Form& form) = 0;

  // A line for the transcript of the run (the headless toolkit records it; others may
  // ignore it).
  virtual void AddLine(std::string_view line) = 0;
};

}  // namespace forms
