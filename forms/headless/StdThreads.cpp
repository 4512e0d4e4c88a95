// The threads, locks and events of forms/Threads.h on the standard library, for the build
// machine's programs and tests.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "forms/Threads.h"

namespace forms {

ThreadId ThreadId::Current() {
  // Numbers handed out in the order threads first ask: unique for the life of the process.
  static std::atomic<std::uint64_t> last = 0;
  thread_local const std::uint64_t mine = ++last;
  return ThreadId(mine);
}

struct Lock::System {
  std::mutex mutex;
};

Lock::Lock() : system_(std::make_unique<System>()) {}
Lock::~Lock() = default;
void Lock::Enter() {
  system_->mutex.lock();
}
void Lock::Leave() {
  system_->mutex.unlock();
}

struct ThreadEvent::System {
  std::mutex mutex;
  std::condition_variable changed;
  bool set = false;
  bool manual = false;
};

ThreadEvent::ThreadEvent(Reset reset) : system_(std::make_unique<System>()) {
  system_->manual = reset == Reset::Manual;
}
ThreadEvent::~ThreadEvent() = default;

void ThreadEvent::Set() {
  {
    std::lock_guard lock(system_->mutex);
    system_->set = true;
  }
  if (system_->manual)
    system_->changed.notify_all();
  else
    system_->changed.notify_one();
}

bool ThreadEvent::Wait(std::uint32_t milliseconds) {
  std::unique_lock lock(system_->mutex);
  const auto isSet = [this] { return system_->set; };
  if (milliseconds == kForever)
    system_->changed.wait(lock, isSet);
  else if (!system_->changed.wait_for(lock, std::chrono::milliseconds(milliseconds), isSet))
    return false;
  if (!system_->manual) system_->set = false;
  return true;
}

struct Thread::System {
  std::thread thread;
};

Thread::Thread() = default;

bool Thread::Launch() {
  auto system = std::make_unique<System>();
  try {
    system->thread = std::thread([this] { Run(); });
  } catch (const std::system_error&) {
    return false;
  }
  system_ = std::move(system);
  return true;
}

void Thread::WaitFor() {
  if (system_ && system_->thread.joinable()) system_->thread.join();
}

Thread::~Thread() {
  WaitFor();
}

}  // namespace forms
