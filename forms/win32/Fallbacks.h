// What the toolkit takes from the window system that Windows 95 or NT 4.0 lacks. A program
// that imports a function its Windows does not export does not start at all, so each later
// function is looked up at run time and has a fallback that those systems have.
#pragma once

#include "forms/win32/WindowsUi.h"

namespace forms::win32 {

// Which way a fallback goes: the later function where the system has it, or the fallback
// in any case (for checking the fallback on a system that has both).
enum class Lookup { Later, Fallback };

// The top-level window that `window` belongs to, as GetAncestor's GA_ROOT gives it (which
// Windows 95 and NT 4.0 lack): its parents, walked up while it is a child window. An owned
// pop-up window is its own root, although GetParent gives its owner.
HWND RootWindowOf(HWND window);

// Registers the common control classes the toolkit uses: with InitCommonControlsEx where
// comctl32 has it (4.70 on: 95 OSR2, NT 4.0 with a later Internet Explorer), else with
// InitCommonControls, whose classes include the progress bar.
void InitCommonControlClasses(Lookup lookup = Lookup::Later);

// A window that is never shown, for timers and wake-up messages: message-only where the
// system has them (2000 on), else an ordinary top-level window.
HWND CreateHiddenWindow(HINSTANCE instance, const char* className, void* param,
                        Lookup lookup = Lookup::Later);

// Whether the calling thread's queue holds something to handle, asked without taking
// anything from it and without clearing what a later wait would see. The probe is a wait
// that times out at once: with MsgWaitForMultipleObjectsEx and its MWMO_INPUTAVAILABLE (98
// and 2000 on) it counts messages a PeekMessage saw and left; without them (95, NT 4.0)
// only what came since the queue was last read, which the pump's sweep every few
// milliseconds makes up for.
class QueueProbe {
 public:
  explicit QueueProbe(Lookup lookup = Lookup::Later);
  bool HoldsSomething() const;

 private:
  using WaitEx = DWORD(WINAPI*)(DWORD, const HANDLE*, DWORD, DWORD, DWORD);
  WaitEx waitEx_ = nullptr;
};

}  // namespace forms::win32
