// A toolkit without a screen. A scripted user (a queue of answers-file actions) answers
// modal forms and message boxes; every message box, modal form and program line is
// recorded in a transcript; timers run on a virtual clock.
//
// Idle rule (each HandleMessage): apply the next action when it fits what is open (the
// innermost visible modal form, or else the visible forms, active first); otherwise fire
// the earliest running timer, moving the clock to its due time; otherwise stop with code 2
// when actions remain that do not fit, or code 3 when none remain. ProcessMessages fires
// timers already due and applies the next action only when it fits a visible modeless form
// while no visible modal form is open (a click on a progress window's Cancel button).
//
// Disk changes: a `disk N` action is taken while a message box shows, before the reply, by
// the disk changer the runner set; without one, or when it refuses, the run stops (code 2).
// The generic user changes disks through the same changer: answering a message box that
// asks for a disk (as the runner's askedDisk reads it), it first puts that disk in.
//
// Default answers (off unless set): where the run would stop because no action fits or
// none remain, a generic user answers instead, up to a limit, so that any run ends. A
// message box gets the first of OK, Yes, Ignore and Cancel it has (never Retry, which may
// ask the same again for ever). On the open form the generic user first types the fill
// text into the first empty edit it can reach, otherwise presses the first preferred
// button that is actionable, else the default button, else the last button that is not
// the cancel button, else the cancel button, else closes the form. Past the limit the run
// stops as it would without them.
//
// Transcript lines written here:
//   message "CAPTION" ICON BUTTONS "TEXT"
//   modal CLASSNAME "caption"
//   default ACTION     (a generic answer, as an answers-file line)
// and whatever the program adds through AddLine.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "forms/Application.h"
#include "forms/Toolkit.h"
#include "forms/headless/Answers.h"

namespace forms {
class Control;
class Timer;
}  // namespace forms

namespace forms::headless {

// Thrown when the scripted user cannot go on: code 2, an action does not fit; code 3, the
// answers ran out while something waits for the user. Carries the transcript so far.
// Deliberately no std::exception: the program's own guards catch those and would answer
// the stop with a message box the real program never shows, so the stop passes through
// every one of them to whoever runs the scripted user.
class ScriptStopped {
 public:
  ScriptStopped(int code, std::string message, std::vector<std::string> transcript);
  int Code() const { return code_; }
  const char* what() const noexcept { return message_.c_str(); }
  const std::vector<std::string>& Transcript() const { return transcript_; }

 private:
  int code_;
  std::string message_;
  std::vector<std::string> transcript_;
};

// How the generic user answers (see above).
struct DefaultAnswers {
  std::size_t limit = 0;               // most generic answers in one run (0: none)
  std::string fill = "User";           // typed into an empty edit
  std::vector<std::string> preferred;  // control names pressed before any other button
  // The disk of the set a message box's text asks for, 0 for none: the generic user puts it
  // into the drive through the disk changer before it answers the box ("default disk N").
  std::function<int(const std::string& text)> askedDisk;
};

class HeadlessToolkit : public Toolkit {
 public:
  explicit HeadlessToolkit(std::vector<Action> actions = {});

  // The recorded lines.
  const std::vector<std::string>& Transcript() const { return transcript_; }
  // Actions not applied yet.
  std::size_t RemainingActions() const { return actions_.size() - nextAction_; }
  // Appends actions to the queue.
  void AddActions(const std::vector<Action>& actions);
  // The virtual clock in milliseconds.
  std::uint32_t Now() const { return now_; }
  // Moves the virtual clock forward (timers fire only from the message loop).
  void Advance(std::uint32_t milliseconds) { now_ += milliseconds; }
  void SetScreenSize(int width, int height);
  // The most virtual time that may pass with only timers firing before the run stops as
  // if no timer ran (code 2 or 3); 10 minutes by default.
  void SetIdleLimit(std::uint32_t milliseconds) { idleLimit_ = milliseconds; }
  // Lets a generic user answer what the actions do not (limit 0 turns it off).
  void SetDefaultAnswers(DefaultAnswers answers) { defaults_ = std::move(answers); }
  // What puts disk N of the set into the drive: gives the empty text when it did, otherwise
  // why it cannot.
  void SetDiskChanger(std::function<std::string(int disk)> changer) {
    diskChanger_ = std::move(changer);
  }
  // Generic answers given so far.
  std::size_t DefaultAnswersUsed() const { return defaultsUsed_; }
  // The cursor last set.
  ScreenCursor Cursor() const { return cursor_; }

  void Attach(Application& app) override { app_ = &app; }
  void ProcessMessages() override;
  void HandleMessage() override;
  void Wake() override;
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
  std::uint32_t TickCount() override { return now_; }
  int ScreenWidth() override { return screenWidth_; }
  int ScreenHeight() override { return screenHeight_; }
  void CursorChanged(ScreenCursor cursor) override { cursor_ = cursor; }
  void Changed(Component& component, Property what) override;
  void Destroyed(Component& component) override;
  void ModalStarted(Form& form) override;
  void ModalEnded(Form&) override {}
  void AddLine(std::string_view line) override { transcript_.emplace_back(line); }

 private:
  struct Schedule {
    Timer* timer = nullptr;
    std::uint32_t due = 0;
    std::uint64_t order = 0;  // ties fire in the order the timers were started
  };
  // Applies the next action if it fits the given forms; true when it did.
  bool TryAction(const std::vector<Form*>& targets);
  // Why the action does not fit those forms (empty when it fits, with the form and the
  // named control found).
  std::string Misfit(const Action& action, const std::vector<Form*>& targets, Form** form,
                     Control** control) const;
  void Apply(const Action& action, Form& form, Control* control);
  // Fires the earliest timer due at or before `limit`; true when one fired.
  bool FireTimer(std::uint32_t limit);
  std::vector<Form*> IdleTargets() const;
  // The generic user's action on `form` (with the control it acts on, if any).
  Action DefaultAction(Form& form, Control** control) const;
  // True when a generic answer may still be given; counts it and writes its line.
  bool TakeDefault(const Action& action);
  std::string DescribeOpen() const;
  // Takes the `disk N` actions that come next (a message box is showing).
  void ChangeDisks();
  // The generic user's disk change at a message box with the text `text`.
  void DefaultDiskChange(const std::string& text);
  [[noreturn]] void Stop(int code, const std::string& message);

  Application* app_ = nullptr;
  std::vector<Action> actions_;
  std::size_t nextAction_ = 0;
  std::vector<std::string> transcript_;
  std::map<const Component*, Schedule> timers_;
  std::uint64_t timerOrder_ = 0;
  std::uint32_t now_ = 0;
  std::uint32_t lastActionTime_ = 0;
  std::uint32_t idleLimit_ = 600000;
  int screenWidth_ = 1024;
  int screenHeight_ = 768;
  ScreenCursor cursor_{};
  DefaultAnswers defaults_;
  std::size_t defaultsUsed_ = 0;
  std::atomic<bool> woken_ = false;
  std::function<std::string(int)> diskChanger_;
};

}  // namespace forms::headless
