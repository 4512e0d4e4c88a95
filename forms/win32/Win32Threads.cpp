// The threads, locks and events of forms/Threads.h on the system's own calls, which every
// Windows from 95 and NT 4.0 on has.
#include "forms/win32/WindowsUi.h"

#include <memory>
#include <stdexcept>

#include "forms/Threads.h"

namespace forms {
namespace {

struct KernelHandleCloser {
  void operator()(HANDLE handle) const {
    if (handle) CloseHandle(handle);
  }
};
using UniqueKernelHandle = std::unique_ptr<void, KernelHandleCloser>;

}  // namespace

ThreadId ThreadId::Current() {
  // Ids of ended threads come back, but the main thread, which the comparisons are made
  // against, lives as long as the program.
  return ThreadId(GetCurrentThreadId());
}

struct Lock::System {
  System() { InitializeCriticalSection(&section); }
  ~System() { DeleteCriticalSection(&section); }
  System(const System&) = delete;
  System& operator=(const System&) = delete;
  CRITICAL_SECTION section;
};

Lock::Lock() : system_(std::make_unique<System>()) {}
Lock::~Lock() = default;
void Lock::Enter() {
  EnterCriticalSection(&system_->section);
}
void Lock::Leave() {
  LeaveCriticalSection(&system_->section);
}

struct ThreadEvent::System {
  UniqueKernelHandle handle;
};

ThreadEvent::ThreadEvent(Reset reset) : system_(std::make_unique<System>()) {
  system_->handle.reset(CreateEventA(nullptr, reset == Reset::Manual, FALSE, nullptr));
  if (!system_->handle) throw std::runtime_error("Failed to create an event");
}
ThreadEvent::~ThreadEvent() = default;

void ThreadEvent::Set() {
  SetEvent(system_->handle.get());
}

bool ThreadEvent::Wait(std::uint32_t milliseconds) {
  const DWORD limit = milliseconds == kForever ? INFINITE : milliseconds;
  return WaitForSingleObject(system_->handle.get(), limit) == WAIT_OBJECT_0;
}

struct Thread::System {
  static DWORD WINAPI Entry(void* thread) {
    static_cast<Thread*>(thread)->Run();
    return 0;
  }
  UniqueKernelHandle handle;
};

Thread::Thread() = default;

bool Thread::Launch() {
  auto system = std::make_unique<System>();
  // Windows 95 and 98 fail CreateThread without somewhere to put the new thread's id.
  DWORD id = 0;
  system->handle.reset(CreateThread(nullptr, 0, &System::Entry, this, 0, &id));
  if (!system->handle) return false;
  system_ = std::move(system);
  return true;
}

void Thread::WaitFor() {
  if (system_) WaitForSingleObject(system_->handle.get(), INFINITE);
}

Thread::~Thread() {
  WaitFor();
}

}  // namespace forms
