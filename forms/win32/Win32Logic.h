// The parts of the Win32 toolkit that are plain logic rather than calls: pixel conversion,
// font sizes and face fall-backs, which controls get a native window, and where a native
// child window is visible and enabled. Kept free of <windows.h> so that the native unit
// tests check them on Linux too.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "forms/Component.h"
#include "forms/ExtControls.h"
#include "forms/Form.h"
#include "forms/Graphics.h"
#include "forms/StdControls.h"
#include "script/Text.h"

namespace forms::win32 {

// A colour as a pixel of a 32-bit top-down DIB (0x00RRGGBB), system colours resolved.
inline std::uint32_t DibPixelOf(ColorRef color) {
  const ColorRef rgb = ColorToRgb(color);
  return (static_cast<std::uint32_t>(RedOf(rgb)) << 16) |
         (static_cast<std::uint32_t>(GreenOf(rgb)) << 8) | BlueOf(rgb);
}

// The lfHeight of a font: its character height in pixels as a negative number (a
// character height, not a cell height); points are scaled by `dpi` and rounded as MulDiv
// does.
inline int FontLogicalHeight(const TextFont& font, int dpi) {
  if (font.height > 0) return -font.height;
  const int size = font.size > 0 ? font.size : 8;
  return -((size * dpi + 36) / 72);
}

// The faces to try for a font name, best first: the name itself, then faces that look
// alike and are found on Windows or installed with Wine.
inline std::vector<std::string> FaceCandidates(std::string_view face) {
  std::vector<std::string> out{std::string(face)};
  const auto add = [&out](std::initializer_list<const char*> names) {
    for (const char* name : names)
      if (!script::EqualsUpper(out.front(), name)) out.emplace_back(name);
  };
  if (script::EqualsUpper(face, "MS Sans Serif"))
    add({"Microsoft Sans Serif", "Tahoma", "Arial", "Liberation Sans", "DejaVu Sans"});
  else if (script::EqualsUpper(face, "Arial"))
    add({"Liberation Sans", "Helvetica", "Tahoma", "DejaVu Sans"});
  else
    add({"Tahoma", "Arial", "Liberation Sans", "DejaVu Sans"});
  return out;
}

// Window style bits with the values <windows.h> gives them (FormWindows.cpp checks them
// against it), so that the frame of each form can be worked out and tested anywhere.
namespace style {
inline constexpr std::uint32_t kPopup = 0x80000000u;
inline constexpr std::uint32_t kClipChildren = 0x02000000u;
inline constexpr std::uint32_t kCaption = 0x00C00000u;
inline constexpr std::uint32_t kSysMenu = 0x00080000u;
inline constexpr std::uint32_t kOverlappedWindow = 0x00CF0000u;  // caption, sizing frame, boxes
inline constexpr std::uint32_t kModalFrame = 0x00000080u;        // DS_MODALFRAME
inline constexpr std::uint32_t kExDlgModalFrame = 0x00000001u;
inline constexpr std::uint32_t kExTopmost = 0x00000008u;
inline constexpr std::uint32_t kExToolWindow = 0x00000080u;
inline constexpr std::uint32_t kExContextHelp = 0x00000400u;
inline constexpr std::uint32_t kExAppWindow = 0x00040000u;
}  // namespace style

// The style and extended style of a form's window.
struct FrameStyle {
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  friend bool operator==(const FrameStyle&, const FrameStyle&) = default;
};

// The frame of a form: its border style and title-bar buttons. Without the system menu the
// title bar has no close box either, so the frame offers no way to close the window. The
// help button cannot stand beside minimize and maximize boxes, so a sizeable frame has none.
inline FrameStyle FrameStyleOf(FormBorder border, BorderIconSet icons, bool stayOnTop,
                               bool mainForm) {
  FrameStyle out;
  bool titleBar = true;
  switch (border) {
    case FormBorder::None:
      out.style = style::kPopup;
      titleBar = false;
      break;
    case FormBorder::Dialog:
      out.style = style::kPopup | style::kCaption | style::kModalFrame;
      out.exStyle = style::kExDlgModalFrame;
      break;
    case FormBorder::ToolWindow:
      out.style = style::kPopup | style::kCaption;
      out.exStyle = style::kExToolWindow;
      break;
    case FormBorder::Sizeable:
    default:
      out.style = style::kOverlappedWindow & ~style::kSysMenu;
      break;
  }
  if (titleBar && icons.systemMenu) {
    out.style |= style::kSysMenu;
    if (icons.help && border != FormBorder::Sizeable) out.exStyle |= style::kExContextHelp;
  }
  out.style |= style::kClipChildren;
  if (stayOnTop) out.exStyle |= style::kExTopmost;
  if (mainForm) out.exStyle |= style::kExAppWindow;
  return out;
}

inline FrameStyle FrameStyleOf(const Form& form, bool mainForm) {
  return FrameStyleOf(form.BorderStyle(), form.BorderIcons(), form.StayOnTop(), mainForm);
}

// What kind of native child window a control is shown as; None for controls that their
// form paints (labels, images, panels, group boxes and any other container).
enum class NativeKind {
  None,
  Edit,
  Memo,
  Button,
  RadioButton,
  CheckBox,
  ListBox,
  ComboBox,
  Progress
};

inline NativeKind NativeKindOf(const Control& control) {
  if (dynamic_cast<const Edit*>(&control)) return NativeKind::Edit;
  if (dynamic_cast<const Memo*>(&control)) return NativeKind::Memo;
  if (dynamic_cast<const Button*>(&control)) return NativeKind::Button;
  if (dynamic_cast<const RadioButton*>(&control)) return NativeKind::RadioButton;
  if (dynamic_cast<const CheckBox*>(&control)) return NativeKind::CheckBox;
  if (dynamic_cast<const ListBox*>(&control)) return NativeKind::ListBox;
  if (dynamic_cast<const ComboBox*>(&control)) return NativeKind::ComboBox;
  if (dynamic_cast<const ProgressBar*>(&control)) return NativeKind::Progress;
  return NativeKind::None;
}

// Native controls are children of their form's window whatever containers the class
// library puts between them; these say whether such a window is shown and enabled, given
// that the form window itself carries the form's own state. A control outside any form is
// neither.
inline bool VisibleInForm(const Control& control) {
  for (const Control* c = &control; c; c = c->Parent()) {
    if (dynamic_cast<const Form*>(c)) return true;
    if (!c->Visible()) return false;
  }
  return false;
}

inline bool EnabledInForm(const Control& control) {
  for (const Control* c = &control; c; c = c->Parent()) {
    if (dynamic_cast<const Form*>(c)) return true;
    if (!c->Enabled()) return false;
  }
  return false;
}

// A progress bar's range and position as the 16-bit values of PBM_SETRANGE, which every
// comctl32 takes (PBM_SETRANGE32 came with 4.70, which Windows 95 and NT 4.0 did not ship
// with): a range within 0..65535 as it is, any other scaled onto 0..65535. The bar has far
// fewer pixels than steps, so the scaling shows nothing.
struct BarSteps {
  std::uint16_t min = 0;
  std::uint16_t max = 0;
  std::uint16_t position = 0;
  friend bool operator==(const BarSteps&, const BarSteps&) = default;
};

inline BarSteps BarStepsOf(int min, int max, int position) {
  position = std::clamp(position, min, std::max(min, max));
  if (min >= 0 && max <= 0xFFFF)
    return {static_cast<std::uint16_t>(min), static_cast<std::uint16_t>(std::max(min, max)),
            static_cast<std::uint16_t>(position)};
  const std::int64_t span = std::int64_t{max} - min;
  if (span <= 0) return {};
  return {0, 0xFFFF, static_cast<std::uint16_t>((std::int64_t{position} - min) * 0xFFFF / span)};
}

// When the copy's message pump looks at the system's queue. The copy runs it once for
// every 8 KiB block, and under Wine a PeekMessage that finds nothing costs several trips
// to the server (measured: 0.3 ms and more on a busy machine, more than the block's read
// and write), asking the queue's state one. So the pump asks the queue at most once per
// tick of the millisecond clock, sweeps it when it holds something (a posted wake-up, a
// message sent by another process, a timer, input, a repaint), and sweeps it anyway every
// kForcedSweepMs, for events the window system has not yet put into the queue. Nothing
// waits longer than that: the progress bar and the Cancel button stay as live as a
// sweep after every block kept them.
class QueueGate {
 public:
  static constexpr std::uint32_t kForcedSweepMs = 10;

  // True when the queue's state is worth asking for at tick `now`.
  bool ShouldAsk(std::uint32_t now) {
    if (asked_ && now == lastAsk_) return false;
    asked_ = true;
    lastAsk_ = now;
    return true;
  }
  // True when the queue must be swept at `now`, given whether it holds anything.
  bool ShouldSweep(std::uint32_t now, bool queueHoldsSomething) {
    if (!queueHoldsSomething && swept_ && now - lastSweep_ < kForcedSweepMs) return false;
    swept_ = true;
    lastSweep_ = now;
    return true;
  }

 private:
  bool asked_ = false;
  bool swept_ = false;
  std::uint32_t lastAsk_ = 0;
  std::uint32_t lastSweep_ = 0;
};

// When the new texts of windowless controls (labels) are painted. A label that the copy
// gives a new file name for every file would otherwise be painted twice per file, and under
// Wine one paint of a label costs more than the copy of a small file (measured: about
// 1.4 ms, against 1 to 2 ms for the whole of a 4 KiB file). So a changed text is painted
// at once when nothing was painted for kIntervalMs, and otherwise at the first pump after
// that: no text shows for less than that, a burst of texts shows at 25 a second, and the
// last one of a burst is on the screen within kIntervalMs, or before the program waits for
// the user, whichever comes first.
class TextRepaintGate {
 public:
  static constexpr std::uint32_t kIntervalMs = 40;

  // A text changed and waits to be painted.
  void Changed() { waiting_ = true; }
  // True when the waiting texts are to be painted now, at tick `now`; `idle` when the
  // program is about to wait for input (then they are painted whatever the time).
  bool ShouldPaint(std::uint32_t now, bool idle) {
    if (!waiting_) return false;
    if (!idle && painted_ && now - lastPaint_ < kIntervalMs) return false;
    waiting_ = false;
    painted_ = true;
    lastPaint_ = now;
    return true;
  }

 private:
  bool waiting_ = false;
  bool painted_ = false;
  std::uint32_t lastPaint_ = 0;
};

}  // namespace forms::win32
