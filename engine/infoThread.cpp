#include "engine/infoThread.h"

#include <chrono>

#include "engine/Gaugep_.h"

TInfoThread::TInfoThread(forms::Application& app) : app_(app) {}

TInfoThread::~TInfoThread() {
  Terminate();
  if (!thread_.joinable()) return;
  // The thread may be blocked in Synchronize until the main thread runs its update, so the
  // main thread keeps handling calls while it waits for the thread to end.
  while (!finished_) {
    app_.ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  thread_.join();
}

void TInfoThread::Start() {
  if (thread_.joinable()) return;
  thread_ = std::thread([this] { Execute(); });
}

void TInfoThread::Terminate() {
  terminated_ = true;
  // Nothing else signals the event: a stop request ends the current wait early so that
  // the driver is not held up by the thread's last 100 ms.
  {
    std::lock_guard lock(eventMutex_);
    signalled_ = true;
  }
  event_.notify_all();
}

void TInfoThread::WaitForEvent(int milliseconds) {
  std::unique_lock lock(eventMutex_);
  event_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return signalled_; });
  signalled_ = false;
}

void TInfoThread::Execute() {
  while (!terminated_) {
    WaitForEvent(100);
    if (terminated_) break;
    try {
      app_.Synchronize([this] { UpdateProgress(); });
    } catch (...) {
      // A repaint that failed is skipped; the next one comes 100 ms later.
    }
  }
  finished_ = true;
}

void TInfoThread::UpdateProgress() {
  ++updates_;
  if (form_ == nullptr) return;
  form_->UpdateProgress();
}
