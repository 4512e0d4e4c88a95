// The application object: title, the forms it owns, the main loop and modal loops over a
// toolkit, the quit request, message boxes, calls from worker threads into the main thread,
// and the screen.
#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "forms/Form.h"
#include "forms/Threads.h"
#include "forms/Toolkit.h"

namespace forms {

// The screen-wide mouse cursor.
enum class ScreenCursor { Default, HourGlass };

// The screen: its size and the cursor shown over every window of the program.
class Screen {
 public:
  explicit Screen(Toolkit& toolkit) : toolkit_(toolkit) {}
  int Width() const { return toolkit_.ScreenWidth(); }
  int Height() const { return toolkit_.ScreenHeight(); }
  ScreenCursor Cursor() const { return cursor_; }
  void SetCursor(ScreenCursor cursor);

 private:
  Toolkit& toolkit_;
  ScreenCursor cursor_ = ScreenCursor::Default;
};

class Application {
 public:
  // An application on `toolkit`, run from the calling thread (the main thread).
  explicit Application(Toolkit& toolkit);
  // Frees the owned forms, newest first (OnDestroy before each), and lets every waiting
  // Synchronize return without its call.
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  const std::string& Title() const { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }
  Toolkit& GetToolkit() const { return toolkit_; }
  Screen& GetScreen() { return screen_; }

  // Creates a form owned by the application (arguments after the application go to T's
  // constructor), fires its OnCreate and returns it. The first one is the main form.
  template <class T, class... Args>
  T& CreateForm(Args&&... args) {
    auto form = std::make_unique<T>(*this, std::forward<Args>(args)...);
    T& result = *form;
    Adopt(std::move(form));
    return result;
  }
  // Takes ownership of a form made elsewhere and fires its OnCreate.
  Form& Adopt(std::unique_ptr<Form> form);
  // True when the application owns the form.
  bool Owns(const Form& form) const;
  Form* MainForm() const { return mainForm_; }
  // Every form that exists (owned or not), in creation order.
  const std::vector<Form*>& Forms() const { return forms_; }
  // The visible forms, front first.
  std::vector<Form*> VisibleForms() const;
  // The form that has the input now (null for none).
  Form* ActiveForm() const { return activeForm_; }
  // The forms whose modal loops run, innermost last.
  const std::vector<Form*>& ModalForms() const { return modalStack_; }
  // The form of the given class name (the first one), null when none.
  Form* FindForm(std::string_view className) const;

  // Shows the main form and handles messages until the application terminates.
  void Run(Form& mainForm);
  // Handles the pending messages and calls from worker threads, and frees released forms.
  void ProcessMessages();
  // The same, for a loop that runs it once per small step (see Toolkit::ServiceMessages);
  // calls from worker threads are run every time.
  void ServiceMessages();
  // Waits for the next message and handles it (the step of every loop).
  void HandleMessage();
  // The quit request: Terminated becomes true, every modal loop returns kMrCancel, the main
  // loop ends; modal forms and message boxes opened afterwards close at once as cancelled.
  void Terminate();
  bool Terminated() const { return terminated_; }

  // Shows a modal message box; returns the answer (kIdOk...). After Terminate the box is
  // not shown and the answer is CancelAnswer(flags).
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags);
  // The standard error box of event handling: the error's text (with "." added when it
  // ends in a character above "."), the title as caption, the error icon and OK.
  void ShowException(const std::exception& error);

  // Runs `call` in the main thread at its next message processing and blocks the calling
  // thread until it has run (from the main thread it runs at once). An exception of the
  // call is thrown again in the calling thread. False when the application went away
  // before running it.
  bool Synchronize(const std::function<void()>& call);

  // A line for the transcript of the run (see Toolkit::AddLine).
  void AddLine(std::string_view line) { toolkit_.AddLine(line); }

  // Used by forms and components; not for program code.
  void RegisterForm(Form& form);
  void UnregisterForm(Form& form);
  void FormShown(Form& form);
  void FormHidden(Form& form);
  void ActivateForm(Form* form);
  void PushModal(Form& form);
  void PopModal(Form& form);
  void ReleaseForm(Form& form);
  void Changed(Component& component, Property what) { toolkit_.Changed(component, what); }
  void Destroyed(Component& component);

 private:
  struct PendingCall;
  void RunPendingCalls();
  void FreeReleasedForms();
  Toolkit& toolkit_;
  Screen screen_;
  std::string title_;
  ThreadId mainThread_;
  std::vector<std::unique_ptr<Form>> owned_;
  std::vector<Form*> forms_;
  std::vector<Form*> zOrder_;  // visible forms, front first
  std::vector<Form*> modalStack_;
  std::vector<Form*> released_;
  Form* mainForm_ = nullptr;
  Form* activeForm_ = nullptr;
  bool terminated_ = false;
  Lock callsLock_;
  std::vector<std::shared_ptr<PendingCall>> pendingCalls_;
  bool closing_ = false;
};

}  // namespace forms
