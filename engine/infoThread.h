// The progress thread: wakes every 100 ms and has the main thread repaint the progress
// bar, so the bar moves during long copies while the copy code never calls it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "forms/Application.h"

class TProcessForm;

class TInfoThread {
 public:
  // A thread not started yet; its updates run in `app`'s main thread.
  explicit TInfoThread(forms::Application& app);
  // Asks the thread to stop and waits for it, running the update it may be waiting on.
  ~TInfoThread();
  TInfoThread(const TInfoThread&) = delete;
  TInfoThread& operator=(const TInfoThread&) = delete;

  // The window the updates repaint (null: the update does nothing); set before Start.
  void SetProgressForm(TProcessForm* form) { form_ = form; }
  // Starts the thread body.
  void Start();
  // The stop request: the thread leaves its loop at its next check; does not wait.
  void Terminate();
  bool Terminated() const { return terminated_; }
  // The repaint, run in the main thread at the thread's request.
  void UpdateProgress();
  // How many updates have run (for checking that the thread is alive).
  int UpdateCount() const { return updates_; }

 private:
  // The thread body: 100 ms timed waits on the event, each followed by an update.
  void Execute();
  // Waits until the event is signalled or `milliseconds` pass; resets it (automatic reset).
  void WaitForEvent(int milliseconds);

  forms::Application& app_;
  TProcessForm* form_ = nullptr;
  std::atomic<bool> terminated_ = false;
  std::atomic<bool> finished_ = false;
  std::atomic<int> updates_ = 0;
  std::mutex eventMutex_;
  std::condition_variable event_;
  bool signalled_ = false;
  std::thread thread_;
};
