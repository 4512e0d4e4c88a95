#include "engine/infoThread.h"

#include <chrono>
#include <thread>

#include "engine/Gaugep_.h"

TInfoThread::TInfoThread(forms::Application& app) : app_(app) {}

TInfoThread::~TInfoThread() {
  Terminate();
  if (!Started()) return;
  // The thread may be blocked in Synchronize until the main thread runs its update, so the
  // main thread keeps handling calls while it waits for the thread to end.
  while (!Finished()) {
    app_.ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  WaitFor();
}

void TInfoThread::Terminate() {
  forms::Thread::Terminate();
  // Nothing else sets the event: a stop request ends the current wait early so that the
  // driver is not held up by the thread's last 100 ms.
  event_.Set();
}

void TInfoThread::Execute() {
  while (!Terminated()) {
    event_.Wait(100);
    if (Terminated()) break;
    try {
      app_.Synchronize([this] { UpdateProgress(); });
    } catch (...) {
      // A repaint that failed is skipped; the next one comes 100 ms later.
    }
  }
}

void TInfoThread::UpdateProgress() {
  ++updates_;
  if (form_ == nullptr) return;
  form_->UpdateProgress();
}
