#include "forms/win32/Fallbacks.h"

#include <commctrl.h>

namespace forms::win32 {
namespace {

// The address of `name` in the loaded module `module` as a function of type F; null when
// the module is not loaded or has no such export.
template <class F>
F LaterFunction(const char* module, const char* name) {
  HMODULE handle = GetModuleHandleA(module);
  if (!handle) return nullptr;
  // GetProcAddress gives every export the same type; F is the one the system documents.
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(handle, name)));
}

}  // namespace

HWND RootWindowOf(HWND window) {
  while (window && (GetWindowLongA(window, GWL_STYLE) & WS_CHILD)) {
    HWND parent = GetParent(window);
    if (!parent) break;
    window = parent;
  }
  return window;
}

void InitCommonControlClasses(Lookup lookup) {
  using InitEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  // comctl32 is loaded already: the program imports InitCommonControls from it.
  const auto initEx = lookup == Lookup::Later
                          ? LaterFunction<InitEx>("comctl32.dll", "InitCommonControlsEx")
                          : nullptr;
  const INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  if (!initEx || !initEx(&classes)) InitCommonControls();
}

HWND CreateHiddenWindow(HINSTANCE instance, const char* className, void* param, Lookup lookup) {
  if (lookup == Lookup::Later) {
    if (HWND window = CreateWindowExA(0, className, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      instance, param))
      return window;
  }
  return CreateWindowExA(WS_EX_TOOLWINDOW, className, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                         instance, param);
}

QueueProbe::QueueProbe(Lookup lookup) {
  if (lookup == Lookup::Later)
    waitEx_ = LaterFunction<WaitEx>("user32.dll", "MsgWaitForMultipleObjectsEx");
  // NT 4.0 has the function but not the flag that counts messages seen and left, and a
  // call with a flag it does not know fails: a probe that always failed would say the queue
  // holds nothing, so such a system gets the fallback.
  if (waitEx_ && waitEx_(0, nullptr, 0, QS_ALLINPUT, MWMO_INPUTAVAILABLE) == WAIT_FAILED)
    waitEx_ = nullptr;
}

bool QueueProbe::HoldsSomething() const {
  if (waitEx_) return waitEx_(0, nullptr, 0, QS_ALLINPUT, MWMO_INPUTAVAILABLE) == WAIT_OBJECT_0;
  return MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT) == WAIT_OBJECT_0;
}

}  // namespace forms::win32
