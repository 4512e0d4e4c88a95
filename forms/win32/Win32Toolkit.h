// The toolkit on the real Windows user interface: forms are top-level windows, edits,
// buttons, lists, combo boxes and progress bars are native child windows of their form,
// and everything else is painted by the form. Timers are SetTimer timers of a hidden
// window, which also wakes the message loop for calls from worker threads.
//
// Controls tell the toolkit of every change, also while they are being constructed; so
// windows are made only at the next message processing or when a form is shown, when the
// controls are complete.
#pragma once

#include "forms/win32/WindowsUi.h"

#include <map>
#include <unordered_map>
#include <vector>

#include "forms/Application.h"
#include "forms/Toolkit.h"
#include "forms/win32/Fallbacks.h"
#include "forms/win32/FormPainter.h"
#include "forms/win32/GdiCache.h"
#include "forms/win32/NativeControls.h"
#include "forms/win32/Win32Logic.h"

namespace forms::win32 {

class Win32Toolkit : public Toolkit {
 public:
  // A toolkit for the program module `instance`; registers its window classes.
  explicit Win32Toolkit(HINSTANCE instance);
  ~Win32Toolkit() override;
  Win32Toolkit(const Win32Toolkit&) = delete;
  Win32Toolkit& operator=(const Win32Toolkit&) = delete;

  // The window of a form or native control; null when it has none (yet).
  HWND WindowOf(const Component& component) const;

  void Attach(Application& app) override { app_ = &app; }
  void ProcessMessages() override;
  void ServiceMessages() override;
  void HandleMessage() override;
  void Wake() override;
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
  // Labels are measured as the form paints them.
  std::optional<Size> MeasureText(const TextFont& font, std::string_view text,
                                  int wrapWidth) override {
    return MeasureLabelText(gdi_, font, text, wrapWidth);
  }
  std::uint32_t TickCount() override { return GetTickCount(); }
  int ScreenWidth() override { return GetSystemMetrics(SM_CXSCREEN); }
  int ScreenHeight() override { return GetSystemMetrics(SM_CYSCREEN); }
  void CursorChanged(ScreenCursor cursor) override;
  void Changed(Component& component, Property what) override;
  void Destroyed(Component& component) override;
  void ModalStarted(Form& form) override;
  void ModalEnded(Form& form) override;
  void AddLine(std::string_view) override {}

 private:
  // A window made for a form or a native control, and what was last put into it.
  struct Node {
    HWND window = nullptr;
    Control* control = nullptr;
    Form* form = nullptr;                // set for a form's own window
    NativeKind kind = NativeKind::None;  // None for a form
    NativeStyle style;
    RECT place{};
    bool shown = false;
    bool enabled = true;
  };

  static LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK HiddenProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnFormMessage(Form& form, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Runs a handler of user input; an error it raises is shown as the application does.
  template <class Handler>
  void Guarded(Handler&& handler);

  // Makes the windows that are missing: the form's own, and those of its native controls.
  void Realize(Form& form);
  void RealizeChildren(Form& form, WinControl& container);
  void MakeNative(Form& form, Control& control, NativeKind kind);
  void DropNode(const Component& component);
  // Realizes pending controls of every form that has a window.
  void Sync();
  // Puts place, visibility and enabled state of the form's native windows right.
  void LayOutNatives(Form& form);
  void LayOutNative(Node& node);
  void PlaceForm(Form& form);
  void ShowForm(Form& form, bool visible);
  // Gives the keyboard focus to the form's active control (or the form itself).
  void ApplyFocus(Form& form);
  // Makes the form's active control the one that has the keyboard focus now.
  void TakeFocusFromWindow(Form& form);
  void InvalidateControl(Control& control, bool whole);
  // Paints the texts that changed since the last paint when TextRepaintGate says so;
  // `idle` before the program waits for input.
  void PaintChangedTexts(bool idle);
  void ChangedNative(Node& node, Property what);
  void ChangedForm(Form& form, Property what);
  void ChangedTimer(Component& component);
  // Handles one message: the dialog keys go to the form's keyboard path, the rest to the
  // window procedures.
  void Dispatch(MSG& message);
  bool HandleDialogKey(const MSG& message);
  Form* FormOfWindow(HWND window) const;
  Node* NodeOfWindow(HWND window);
  // Takes into the form's edits what the user (or a robot) typed, in case a change
  // notification was not sent.
  void PullTexts(Form& form);
  void Recreate(Node& node);

  HINSTANCE instance_;
  Application* app_ = nullptr;
  HWND hidden_ = nullptr;
  GdiCache gdi_;
  std::unordered_map<const Component*, Node> nodes_;
  std::unordered_map<HWND, Node*> byWindow_;
  std::map<UINT_PTR, Timer*> timers_;
  std::unordered_map<const Component*, UINT_PTR> timerIds_;
  UINT_PTR nextTimerId_ = 1;
  std::map<const Form*, std::vector<HWND>> disabledByModal_;
  ScreenCursor cursor_ = ScreenCursor::Default;
  bool pending_ = false;          // controls were added since the last Sync
  QueueGate queueGate_;           // when ServiceMessages looks at the queue
  QueueProbe queueProbe_;         // how it looks
  TextRepaintGate textRepaints_;  // when changed texts are painted
  // Windowless controls whose new text waits to be painted.
  std::unordered_map<const Component*, Control*> changedTexts_;
  const Control* feeding_ = nullptr;  // a control taking a value from its own window
};

}  // namespace forms::win32

namespace forms::win32 {

template <class Handler>
void Win32Toolkit::Guarded(Handler&& handler) {
  // Errors must not unwind through the system's window code: show them as the
  // application shows errors of event handlers, and carry on.
  try {
    handler();
  } catch (const std::exception& error) {
    if (app_) app_->ShowException(error);
  } catch (...) {
  }
  // A handler run for a message sent from another thread or process (a robot's click)
  // runs inside GetMessage, which then goes on waiting: wake it so that the loop sees
  // what the handler changed (a modal result, a quit request).
  Wake();
}

}  // namespace forms::win32
