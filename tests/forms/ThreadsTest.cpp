// The threads, locks and events of forms/Threads.h, and the calls a worker makes into the
// main thread with Application::Synchronize.
#include "forms/Threads.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>

#include "forms/Application.h"
#include "forms/headless/HeadlessToolkit.h"

namespace forms {
namespace {

// A thread running a given body.
class BodyThread : public Thread {
 public:
  explicit BodyThread(std::function<void(BodyThread&)> body) : body_(std::move(body)) {}
  ~BodyThread() override { WaitFor(); }

 protected:
  void Execute() override { body_(*this); }

 private:
  std::function<void(BodyThread&)> body_;
};

// Handles the application's messages (and so the workers' calls) until `done` or a generous
// while has passed; false when it gave up.
bool PumpUntil(Application& app, const std::function<bool()>& done) {
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > giveUp) return false;
    app.ProcessMessages();
  }
  return true;
}

TEST(ThreadEvent, AutomaticResetReleasesOneWaitPerSetManualResetStaysSet) {
  ThreadEvent automatic;
  EXPECT_FALSE(automatic.Wait(0)) << "a new event is not set";
  automatic.Set();
  automatic.Set();  // a second Set before a wait does not count twice
  EXPECT_TRUE(automatic.Wait(0));
  EXPECT_FALSE(automatic.Wait(20)) << "the wait that saw it set reset it";

  ThreadEvent manual(ThreadEvent::Reset::Manual);
  manual.Set();
  EXPECT_TRUE(manual.Wait(0));
  EXPECT_TRUE(manual.Wait(ThreadEvent::kForever));
}

TEST(Thread, RunsInItsOwnThreadStopsOnRequestAndSurvivesItsBodysError) {
  const ThreadId mine = ThreadId::Current();
  ThreadEvent running;
  bool otherThread = false;
  BodyThread looping([&](BodyThread& self) {
    otherThread = !(ThreadId::Current() == mine);
    running.Set();
    while (!self.Terminated()) {
    }
  });
  EXPECT_FALSE(looping.Started());
  looping.WaitFor();  // at once: never started
  ASSERT_TRUE(looping.Start());
  ASSERT_TRUE(looping.Start()) << "a second Start does nothing";
  ASSERT_TRUE(running.Wait(ThreadEvent::kForever));
  EXPECT_FALSE(looping.Finished());
  looping.Terminate();
  looping.WaitFor();
  EXPECT_TRUE(looping.Finished());
  EXPECT_TRUE(otherThread);

  BodyThread failing([](BodyThread&) { throw std::runtime_error("lost"); });
  ASSERT_TRUE(failing.Start());
  failing.WaitFor();
  EXPECT_TRUE(failing.Finished());
}

TEST(Synchronize, RunsTheCallInTheMainThreadWhileTheWorkerWaits) {
  headless::HeadlessToolkit toolkit;
  Application app(toolkit);
  const ThreadId main = ThreadId::Current();
  bool ranInMain = false, returned = false, answered = false;
  BodyThread worker([&](BodyThread&) {
    returned = app.Synchronize([&] { ranInMain = ThreadId::Current() == main; });
    answered = true;
  });
  ASSERT_TRUE(worker.Start());
  ASSERT_TRUE(PumpUntil(app, [&] { return worker.Finished(); }));
  EXPECT_TRUE(answered);
  EXPECT_TRUE(returned);
  EXPECT_TRUE(ranInMain);

  // From the main thread the call runs at once.
  bool direct = false;
  EXPECT_TRUE(app.Synchronize([&] { direct = true; }));
  EXPECT_TRUE(direct);
}

TEST(Synchronize, TheCallsErrorIsThrownAgainInTheWorker) {
  headless::HeadlessToolkit toolkit;
  Application app(toolkit);
  std::string caught;
  BodyThread worker([&](BodyThread&) {
    try {
      app.Synchronize([] { throw std::runtime_error("repaint failed"); });
    } catch (const std::runtime_error& error) {
      caught = error.what();
    }
  });
  ASSERT_TRUE(worker.Start());
  ASSERT_TRUE(PumpUntil(app, [&] { return worker.Finished(); }));
  EXPECT_EQ(caught, "repaint failed");
}

// The headless toolkit, telling when a worker's call has been queued (the wake-up comes
// right after).
class WakeToolkit : public headless::HeadlessToolkit {
 public:
  void Wake() override {
    HeadlessToolkit::Wake();
    woken.Set();
  }
  ThreadEvent woken{ThreadEvent::Reset::Manual};
};

TEST(Synchronize, AnApplicationThatGoesAwayLetsTheWaitingWorkerGoWithoutTheCall) {
  WakeToolkit toolkit;
  auto app = std::make_unique<Application>(toolkit);
  int ran = 0;
  bool returned = true;
  BodyThread worker([&](BodyThread&) { returned = app->Synchronize([&] { ++ran; }); });
  ASSERT_TRUE(worker.Start());
  ASSERT_TRUE(toolkit.woken.Wait(ThreadEvent::kForever));
  app.reset();  // the call is queued and never handled
  worker.WaitFor();
  EXPECT_FALSE(returned);
  EXPECT_EQ(ran, 0);
}

}  // namespace
}  // namespace forms
