// Threads, locks and events for the few places that need a second thread: the progress
// thread and the calls it makes into the main thread. Each build brings its own
// implementation: the standard library's on the build machine (headless/StdThreads.cpp),
// the system's own in the Windows programs (win32/Win32Threads.cpp), whose compiler keeps
// to what Windows 95 and NT 4.0 export and so has no std::thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

namespace forms {

// Which thread runs: comparable with the value taken in another thread.
class ThreadId {
 public:
  // The calling thread's.
  static ThreadId Current();
  friend bool operator==(ThreadId, ThreadId) = default;

 private:
  explicit ThreadId(std::uint64_t value) : value_(value) {}
  std::uint64_t value_;
};

// A lock that one thread holds at a time (not recursive).
class Lock {
 public:
  Lock();
  ~Lock();
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

  void Enter();
  void Leave();

 private:
  struct System;
  std::unique_ptr<System> system_;
};

// Holds a lock for its lifetime.
class LockGuard {
 public:
  explicit LockGuard(Lock& lock) : lock_(lock) { lock_.Enter(); }
  ~LockGuard() { lock_.Leave(); }
  LockGuard(const LockGuard&) = delete;
  LockGuard& operator=(const LockGuard&) = delete;

 private:
  Lock& lock_;
};

// An event that one thread sets and another waits for. With automatic reset, a wait that
// finds it set resets it, so each Set releases one wait; with manual reset it stays set.
class ThreadEvent {
 public:
  enum class Reset { Automatic, Manual };
  static constexpr std::uint32_t kForever = 0xFFFFFFFFu;

  explicit ThreadEvent(Reset reset = Reset::Automatic);
  ~ThreadEvent();
  ThreadEvent(const ThreadEvent&) = delete;
  ThreadEvent& operator=(const ThreadEvent&) = delete;

  void Set();
  // Waits until the event is set or `milliseconds` pass (kForever: no limit); true when it
  // was set.
  bool Wait(std::uint32_t milliseconds);

 private:
  struct System;
  std::unique_ptr<System> system_;
};

// A second thread running Execute. Terminate is the stop request that Execute checks; it
// does not wait. The owner waits for the end with WaitFor before its own members go: the
// destructor waits too, but by then a derived object is half gone.
class Thread {
 public:
  Thread();
  virtual ~Thread();
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  // Runs Execute in a new thread; does nothing when started already. False when the
  // system would not start one.
  bool Start();
  virtual void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }
  bool Started() const { return system_ != nullptr; }
  // True once Execute has returned.
  bool Finished() const { return finished_; }
  // Waits until Execute has returned; at once when the thread never started.
  void WaitFor();

 protected:
  // The thread's body. An exception it lets out ends the body, not the program.
  virtual void Execute() = 0;

 private:
  // The thread's entry: Execute, then Finished.
  void Run();
  // Starts the system's thread on Run and keeps it in system_; false when the system would
  // not start one.
  bool Launch();

  std::atomic<bool> terminated_ = false;
  std::atomic<bool> finished_ = false;
  struct System;
  std::unique_ptr<System> system_;
};

}  // namespace forms
