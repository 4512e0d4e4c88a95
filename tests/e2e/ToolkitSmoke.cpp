// A Windows-side check of what the Win32 toolkit takes from the system: its threads, lock
// and events (forms/win32/Win32Threads.cpp), a worker's call into the main thread while the
// main thread waits in the message loop, and the fallbacks for functions that Windows 95 or
// NT 4.0 lack (forms/win32/Fallbacks.h), each tried both ways on a system that has both.
// Prints each failure and a closing "N passed, N failed"; exits 0 when all passed.

// The Windows headers first, through the one place that removes their clashing macros.
#include "forms/win32/WindowsUi.h"
// Then the toolkit, before anything else of the class library.
#include "forms/win32/Win32Toolkit.h"

#include <commctrl.h>

#include <stdexcept>
#include <string>

#include "forms/Application.h"
#include "forms/Threads.h"
#include "forms/win32/Fallbacks.h"
#include "tests/e2e/Checks.h"

namespace {

using forms::win32::Lookup;

// A thread that runs a given body.
template <class Body>
class BodyThread : public forms::Thread {
 public:
  explicit BodyThread(Body body) : body_(std::move(body)) {}
  ~BodyThread() override { WaitFor(); }

 protected:
  void Execute() override { body_(*this); }

 private:
  Body body_;
};

template <class Body>
BodyThread(Body) -> BodyThread<Body>;

const char* NameOf(Lookup lookup) {
  return lookup == Lookup::Later ? "later" : "fallback";
}

void CheckThreads(Checks& checks) {
  forms::ThreadEvent automatic;
  automatic.Set();
  checks.Expect(automatic.Wait(0), "an event that is set ends the wait");
  const DWORD before = GetTickCount();
  checks.Expect(!automatic.Wait(50), "the wait reset it: the next one times out");
  checks.Expect(GetTickCount() - before >= 40, "... after its time",
                std::to_string(GetTickCount() - before) + " ms");
  forms::ThreadEvent manual(forms::ThreadEvent::Reset::Manual);
  manual.Set();
  checks.Expect(manual.Wait(0) && manual.Wait(0), "a manual-reset event stays set");

  DWORD workerId = 0;
  forms::ThreadEvent running;
  BodyThread worker([&](forms::Thread& self) {
    workerId = GetCurrentThreadId();
    running.Set();
    while (!self.Terminated()) Sleep(1);
  });
  checks.Expect(worker.Start(), "a thread starts");
  checks.Expect(running.Wait(5000), "... and runs");
  checks.Expect(workerId != 0 && workerId != GetCurrentThreadId(), "... in a thread of its own");
  checks.Expect(!worker.Finished(), "... until asked to stop");
  worker.Terminate();
  worker.WaitFor();
  checks.Expect(worker.Finished(), "it stops when asked");

  forms::Lock lock;
  long count = 0;
  const auto add = [&](forms::Thread&) {
    for (int i = 0; i < 100000; ++i) {
      forms::LockGuard hold(lock);
      ++count;
    }
  };
  BodyThread first(add), second(add);
  checks.Expect(first.Start() && second.Start(), "two threads start");
  first.WaitFor();
  second.WaitFor();
  checks.EqualNumber(static_cast<std::uint64_t>(count), 200000,
                     "the lock keeps their counts apart");

  BodyThread failing([](forms::Thread&) { throw std::runtime_error("lost"); });
  checks.Expect(failing.Start(), "a thread whose body fails starts");
  failing.WaitFor();
  checks.Expect(failing.Finished(), "... and ends without ending the program");
}

// A worker's Synchronize is carried out while the main thread waits in GetMessage: the
// toolkit's wake-up must reach the loop.
void CheckSynchronize(Checks& checks) {
  forms::win32::Win32Toolkit toolkit(GetModuleHandleA(nullptr));
  forms::Application app(toolkit);
  const forms::ThreadId main = forms::ThreadId::Current();
  bool inMain = false, returned = false;
  BodyThread worker([&](forms::Thread&) {
    Sleep(50);  // the main thread is in GetMessage by then
    returned = app.Synchronize([&] { inMain = forms::ThreadId::Current() == main; });
  });
  checks.Expect(worker.Start(), "a worker starts");
  const DWORD giveUp = GetTickCount() + 10000;
  while (!worker.Finished() && GetTickCount() < giveUp) app.HandleMessage();
  worker.WaitFor();
  checks.Expect(returned, "a worker's call returns once the waiting main thread ran it");
  checks.Expect(inMain, "... in the main thread");
}

void Drain() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP || message == WM_TIMER) {
    auto* count = reinterpret_cast<int*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (count) ++*count;
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void CheckQueueProbe(Checks& checks, Lookup lookup) {
  const std::string way = std::string(" (") + NameOf(lookup) + ")";
  const forms::win32::QueueProbe probe(lookup);
  Drain();
  checks.Expect(!probe.HoldsSomething(), "an empty queue holds nothing" + way);
  PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
  checks.Expect(probe.HoldsSomething(), "a posted message is seen" + way);
  checks.Expect(probe.HoldsSomething(), "... and left in the queue" + way);
  MSG message;
  checks.Expect(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) != 0, "... for the sweep" + way);
  if (lookup == Lookup::Later) {
    PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    checks.Expect(probe.HoldsSomething(), "a message seen and left is still seen" + way);
  }
  Drain();
}

void CheckHiddenWindow(Checks& checks, HINSTANCE instance, Lookup lookup) {
  const std::string way = std::string(" (") + NameOf(lookup) + ")";
  int count = 0;
  HWND window = forms::win32::CreateHiddenWindow(instance, "ToolkitSmokeHidden", nullptr, lookup);
  if (!checks.Expect(window != nullptr, "the hidden window is made" + way)) return;
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&count));
  checks.Expect(!IsWindowVisible(window), "... and not shown" + way);
  PostMessageA(window, WM_APP, 0, 0);
  SetTimer(window, 1, 10, nullptr);
  const DWORD giveUp = GetTickCount() + 5000;
  MSG message;
  while (count < 2 && GetTickCount() < giveUp && GetMessageA(&message, nullptr, 0, 0) > 0)
    DispatchMessageA(&message);
  KillTimer(window, 1);
  checks.Expect(count >= 2, "it receives posted messages and timers" + way);
  DestroyWindow(window);
}

void CheckRootWindow(Checks& checks, HINSTANCE instance) {
  HWND top = CreateWindowExA(0, "ToolkitSmokeHidden", "top", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                             nullptr, nullptr, instance, nullptr);
  HWND child = CreateWindowExA(0, "BUTTON", "child", WS_CHILD, 0, 0, 50, 20, top, nullptr, instance,
                               nullptr);
  HWND combo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWN, 0, 30, 80, 100, top,
                               nullptr, instance, nullptr);
  HWND comboEdit = GetWindow(combo, GW_CHILD);
  HWND popup = CreateWindowExA(0, "ToolkitSmokeHidden", "owned", WS_POPUP, 0, 0, 50, 50, top,
                               nullptr, instance, nullptr);
  const struct {
    const char* name;
    HWND window;
  } cases[] = {{"a top-level window", top},
               {"a child window", child},
               {"the edit inside a combo box", comboEdit},
               {"an owned pop-up window", popup}};
  for (const auto& c : cases) {
    if (!checks.Expect(c.window != nullptr, std::string(c.name) + " is made")) continue;
    checks.Expect(forms::win32::RootWindowOf(c.window) == GetAncestor(c.window, GA_ROOT),
                  std::string("the root of ") + c.name + " is GetAncestor's");
  }
  DestroyWindow(popup);
  DestroyWindow(top);
}

void CheckCommonControls(Checks& checks, HINSTANCE instance, Lookup lookup) {
  forms::win32::InitCommonControlClasses(lookup);
  HWND bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_POPUP, 0, 0, 100, 10, nullptr, nullptr,
                             instance, nullptr);
  checks.Expect(bar != nullptr, std::string("a progress bar can be made (") + NameOf(lookup) + ")");
  if (!bar) return;
  SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 65535));
  checks.EqualNumber(static_cast<std::uint64_t>(SendMessageA(bar, PBM_GETRANGE, FALSE, 0)), 65535,
                     "... and takes the widest 16-bit range");
  DestroyWindow(bar);
}

}  // namespace

int main() {
  Checks checks;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = CountingProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = "ToolkitSmokeHidden";
  RegisterClassExA(&windowClass);

  CheckThreads(checks);
  CheckSynchronize(checks);
  for (Lookup lookup : {Lookup::Later, Lookup::Fallback}) {
    CheckQueueProbe(checks, lookup);
    CheckHiddenWindow(checks, instance, lookup);
    CheckCommonControls(checks, instance, lookup);
  }
  CheckRootWindow(checks, instance);
  return Report(checks);
}
