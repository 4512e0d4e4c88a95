// The progress thread: wakes every 100 ms and has the main thread repaint the progress
// bar, so the bar moves during long copies while the copy code never calls it.
#pragma once

#include <atomic>

#include "forms/Application.h"
#include "forms/Threads.h"

class TProcessForm;

class TInfoThread : public forms::Thread {
 public:
  // A thread not started yet; its updates run in `app`'s main thread.
  explicit TInfoThread(forms::Application& app);
  // Asks the thread to stop and waits for it, running the update it may be waiting on.
  ~TInfoThread() override;

  // The window the updates repaint (null: the update does nothing); set before Start.
  void SetProgressForm(TProcessForm* form) { form_ = form; }
  // The stop request: the thread leaves its loop at its next check; does not wait.
  void Terminate() override;
  // The repaint, run in the main thread at the thread's request.
  void UpdateProgress();
  // How many updates have run (for checking that the thread is alive).
  int UpdateCount() const { return updates_; }

 protected:
  // The thread body: 100 ms timed waits on the event, each followed by an update.
  void Execute() override;

 private:
  forms::Application& app_;
  TProcessForm* form_ = nullptr;
  std::atomic<int> updates_ = 0;
  forms::ThreadEvent event_;  // automatic reset: each wait that sees it set resets it
};
