// The native child windows that show edits, memos, buttons, radio buttons, check boxes,
// list and combo boxes and progress bars: their window classes and styles, how a control's
// state is put into its window, and how the window's notifications come back into the
// control through its public methods.
#pragma once

#include "forms/win32/WindowsUi.h"

#include <string>

#include "forms/Component.h"
#include "forms/win32/Win32Logic.h"

namespace forms::win32 {

// The class and styles of a control's window, without visibility and enabled state.
struct NativeStyle {
  const char* className = "";
  DWORD style = 0;
  DWORD exStyle = 0;
  friend bool operator==(const NativeStyle&, const NativeStyle&) = default;
};
NativeStyle StyleOf(const Control& control, NativeKind kind);

// Where the window goes in the form's client area (a combo box's includes its list).
RECT PlaceOf(const Control& control, NativeKind kind);

// Creates the window of `control` as a child of the form window, hidden, with the
// control's id, font and whole state.
HWND CreateNative(const Control& control, NativeKind kind, HWND formWindow, HINSTANCE instance,
                  HFONT font);

// Puts one changed part of the control's state into its window (not bounds, visibility,
// enabled state, font or styles that need a new window).
void ApplyProperty(HWND window, const Control& control, NativeKind kind, Property what);

// Feeds a WM_COMMAND notification of the window back into the control.
void HandleNotification(HWND window, Control& control, NativeKind kind, int code);

// The window's text as the user left it.
std::string WindowText(HWND window);

}  // namespace forms::win32
