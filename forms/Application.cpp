#include "forms/Application.h"

#include <algorithm>

#include "forms/MessageBox.h"

namespace forms {

// A call waiting to run in the main thread, and the worker waiting for it.
struct Application::PendingCall {
  enum class State { Waiting, Done, Dropped };
  const std::function<void()>* call = nullptr;
  State state = State::Waiting;
  std::exception_ptr error;
  ThreadEvent finished{ThreadEvent::Reset::Manual};  // set once the state is Done or Dropped
};

void Screen::SetCursor(ScreenCursor cursor) {
  if (cursor == cursor_) return;
  cursor_ = cursor;
  toolkit_.CursorChanged(cursor);
}

Application::Application(Toolkit& toolkit)
    : toolkit_(toolkit), screen_(toolkit), mainThread_(ThreadId::Current()) {
  toolkit_.Attach(*this);
}

Application::~Application() {
  {
    LockGuard lock(callsLock_);
    closing_ = true;
    for (auto& pending : pendingCalls_) {
      pending->state = PendingCall::State::Dropped;
      pending->finished.Set();
    }
    pendingCalls_.clear();
  }
  while (!owned_.empty()) {
    Form& form = *owned_.back();
    if (form.OnDestroy) form.OnDestroy();
    owned_.pop_back();
  }
}

Form& Application::Adopt(std::unique_ptr<Form> form) {
  Form& result = *form;
  owned_.push_back(std::move(form));
  if (!mainForm_) mainForm_ = &result;
  if (result.OnCreate) result.OnCreate();
  return result;
}

bool Application::Owns(const Form& form) const {
  return std::any_of(owned_.begin(), owned_.end(),
                     [&](const std::unique_ptr<Form>& owned) { return owned.get() == &form; });
}

std::vector<Form*> Application::VisibleForms() const {
  return zOrder_;
}

Form* Application::FindForm(std::string_view className) const {
  for (Form* form : forms_)
    if (form->ClassName() == className) return form;
  return nullptr;
}

void Application::Run(Form& mainForm) {
  mainForm_ = &mainForm;
  mainForm.Show();
  while (!terminated_) HandleMessage();
}

void Application::ProcessMessages() {
  toolkit_.ProcessMessages();
  RunPendingCalls();
  FreeReleasedForms();
}

void Application::ServiceMessages() {
  toolkit_.ServiceMessages();
  RunPendingCalls();
  FreeReleasedForms();
}

void Application::HandleMessage() {
  RunPendingCalls();
  FreeReleasedForms();
  if (terminated_) return;
  toolkit_.HandleMessage();
  RunPendingCalls();
}

void Application::Terminate() {
  terminated_ = true;
  toolkit_.Wake();
}

int Application::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  if (terminated_) return CancelAnswer(flags);
  return toolkit_.MessageBox(text, caption, flags);
}

void Application::ShowException(const std::exception& error) {
  std::string text = error.what();
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  MessageBox(text, title_, kMbOk | kMbIconError);
}

bool Application::Synchronize(const std::function<void()>& call) {
  if (ThreadId::Current() == mainThread_) {
    call();
    return true;
  }
  auto pending = std::make_shared<PendingCall>();
  pending->call = &call;
  {
    LockGuard lock(callsLock_);
    if (closing_) return false;
    pendingCalls_.push_back(pending);
    toolkit_.Wake();
  }
  // The state is written before the event is set, and the application may be gone once
  // it is: nothing of it is touched after the wait.
  pending->finished.Wait(ThreadEvent::kForever);
  if (pending->state == PendingCall::State::Dropped) return false;
  if (pending->error) std::rethrow_exception(pending->error);
  return true;
}

void Application::RunPendingCalls() {
  std::vector<std::shared_ptr<PendingCall>> calls;
  {
    LockGuard lock(callsLock_);
    calls.swap(pendingCalls_);
  }
  for (auto& pending : calls) {
    std::exception_ptr error;
    try {
      (*pending->call)();
    } catch (...) {
      error = std::current_exception();
    }
    LockGuard lock(callsLock_);
    pending->error = error;
    pending->state = PendingCall::State::Done;
    pending->finished.Set();
  }
}

void Application::RegisterForm(Form& form) {
  forms_.push_back(&form);
}

void Application::UnregisterForm(Form& form) {
  std::erase(forms_, &form);
  std::erase(zOrder_, &form);
  std::erase(modalStack_, &form);
  std::erase(released_, &form);
  if (activeForm_ == &form) activeForm_ = nullptr;
  if (mainForm_ == &form) mainForm_ = nullptr;
}

void Application::FormShown(Form& form) {
  std::erase(zOrder_, &form);
  zOrder_.insert(zOrder_.begin(), &form);
  ActivateForm(&form);
}

void Application::FormHidden(Form& form) {
  std::erase(zOrder_, &form);
  if (activeForm_ != &form) return;
  // The innermost visible modal form takes over; without one, the front form.
  for (auto it = modalStack_.rbegin(); it != modalStack_.rend(); ++it) {
    if ((*it)->Visible()) {
      ActivateForm(*it);
      return;
    }
  }
  ActivateForm(zOrder_.empty() ? nullptr : zOrder_.front());
}

void Application::ActivateForm(Form* form) {
  if (form == activeForm_) return;
  Form* previous = activeForm_;
  activeForm_ = form;
  if (previous && previous->OnDeactivate) previous->OnDeactivate();
  if (form && activeForm_ == form && form->OnActivate) form->OnActivate();
}

void Application::PushModal(Form& form) {
  modalStack_.push_back(&form);
}

void Application::PopModal(Form& form) {
  std::erase(modalStack_, &form);
  toolkit_.ModalEnded(form);
}

void Application::ReleaseForm(Form& form) {
  if (std::find(released_.begin(), released_.end(), &form) == released_.end())
    released_.push_back(&form);
}

void Application::FreeReleasedForms() {
  for (std::size_t i = 0; i < released_.size();) {
    Form* form = released_[i];
    bool running = std::find(modalStack_.begin(), modalStack_.end(), form) != modalStack_.end();
    if (running) {
      ++i;
      continue;
    }
    released_.erase(released_.begin() + static_cast<std::ptrdiff_t>(i));
    auto owned = std::find_if(owned_.begin(), owned_.end(),
                              [&](const std::unique_ptr<Form>& f) { return f.get() == form; });
    if (owned == owned_.end()) continue;  // not ours to free: it stays hidden
    if (form->OnDestroy) form->OnDestroy();
    owned_.erase(owned);
  }
}

void Application::Destroyed(Component& component) {
  toolkit_.Destroyed(component);
}

}  // namespace forms
