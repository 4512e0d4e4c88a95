#include "forms/headless/HeadlessToolkit.h"

#include <algorithm>

#include "forms/Application.h"
#include "forms/ExtControls.h"
#include "forms/MessageBox.h"
#include "forms/Quote.h"
#include "forms/StdControls.h"

namespace forms::headless {
namespace {

std::string DescribeForm(const Form& form) {
  return form.ClassName() + " " + Quote(form.Caption());
}

std::string DescribeForms(const std::vector<Form*>& forms) {
  if (forms.empty()) return "no form";
  std::string text;
  for (const Form* form : forms) {
    if (!text.empty()) text += ", ";
    text += DescribeForm(*form);
  }
  return text;
}

// Gives the control the focus the way a mouse click would.
void FocusForUser(Control& control) {
  auto* windowed = dynamic_cast<WinControl*>(&control);
  if (windowed && windowed->TabStop() && windowed->CanFocus()) windowed->SetFocus();
}

// Every control inside `parent`, depth first in creation order.
void CollectControls(const WinControl& parent, std::vector<Control*>& out) {
  for (Control* child : parent.Controls()) {
    out.push_back(child);
    if (auto* container = dynamic_cast<WinControl*>(child)) CollectControls(*container, out);
  }
}

bool Pressable(const Control* control) {
  return control && dynamic_cast<const Button*>(control) && control->Actionable();
}

// The generic answer to a message box: one that goes on without asking the same again.
int DefaultReply(unsigned flags) {
  for (int answer : {kIdOk, kIdYes, kIdIgnore, kIdCancel})
    if (HasButton(flags, answer)) return answer;
  return CancelAnswer(flags);
}

}  // namespace

ScriptStopped::ScriptStopped(int code, std::string message, std::vector<std::string> transcript)
    : code_(code), message_(std::move(message)), transcript_(std::move(transcript)) {}

HeadlessToolkit::HeadlessToolkit(std::vector<Action> actions) : actions_(std::move(actions)) {}

void HeadlessToolkit::AddActions(const std::vector<Action>& actions) {
  actions_.insert(actions_.end(), actions.begin(), actions.end());
}

void HeadlessToolkit::SetScreenSize(int width, int height) {
  screenWidth_ = width;
  screenHeight_ = height;
}

void HeadlessToolkit::Wake() {
  woken_ = true;
}

void HeadlessToolkit::Stop(int code, const std::string& message) {
  throw ScriptStopped(code, message, transcript_);
}

std::vector<Form*> HeadlessToolkit::IdleTargets() const {
  if (!app_) return {};
  const std::vector<Form*>& modal = app_->ModalForms();
  // The innermost modal form takes the input while it is on screen; a hidden one (a wizard
  // that stepped aside for the installation) leaves the visible forms to the user.
  if (!modal.empty() && modal.back()->Visible()) return {modal.back()};
  return app_->VisibleForms();
}

std::string HeadlessToolkit::DescribeOpen() const {
  return DescribeForms(IdleTargets());
}

std::string HeadlessToolkit::Misfit(const Action& action, const std::vector<Form*>& targets,
                                    Form** form, Control** control) const {
  if (action.verb == Verb::Reply || action.verb == Verb::Disk) return "no message box is showing";
  if (targets.empty()) return "no form is open";
  if (action.verb == Verb::Close || action.verb == Verb::Key) {
    *form = targets.front();
    return {};
  }
  for (Form* candidate : targets) {
    Control* found = candidate->FindControl(action.name);
    if (!found) continue;
    *form = candidate;
    *control = found;
    std::string name = action.name + " of " + DescribeForm(*candidate);
    if (!found->Actionable()) return name + " is hidden or disabled";
    switch (action.verb) {
      case Verb::Type: {
        auto* edit = dynamic_cast<Edit*>(found);
        auto* memo = dynamic_cast<Memo*>(found);
        auto* combo = dynamic_cast<ComboBox*>(found);
        if (!edit && !memo && !(combo && combo->Style() == ComboStyle::DropDown))
          return name + " cannot be typed in";
        if ((edit && edit->ReadOnly()) || (memo && memo->ReadOnly())) return name + " is read-only";
        return {};
      }
      case Verb::Pick: {
        int count = -1;
        if (auto* list = dynamic_cast<ListBox*>(found)) count = list->Count();
        if (auto* combo = dynamic_cast<ComboBox*>(found)) count = combo->Count();
        if (count < 0) return name + " is not a list";
        if (action.index >= count) return name + " has " + std::to_string(count) + " entries";
        return {};
      }
      case Verb::Check:
        if (!dynamic_cast<RadioButton*>(found) && !dynamic_cast<CheckBox*>(found))
          return name + " is not a radio button or check box";
        return {};
      default:
        return {};
    }
  }
  return "no control " + action.name + " in " + DescribeForms(targets);
}

void HeadlessToolkit::Apply(const Action& action, Form& form, Control* control) {
  switch (action.verb) {
    case Verb::Click:
      FocusForUser(*control);
      control->Click();
      break;
    case Verb::Type: {
      FocusForUser(*control);
      std::string text = action.text;
      if (auto* edit = dynamic_cast<Edit*>(control); edit && edit->MaxLength() > 0)
        text.resize(
            std::min<std::size_t>(text.size(), static_cast<std::size_t>(edit->MaxLength())));
      control->SetText(std::move(text));
      break;
    }
    case Verb::Pick:
      FocusForUser(*control);
      if (auto* list = dynamic_cast<ListBox*>(control)) {
        list->SetItemIndex(action.index);
        list->Click();
      } else if (auto* combo = dynamic_cast<ComboBox*>(control)) {
        combo->SetItemIndex(action.index);
      }
      break;
    case Verb::Check:
      FocusForUser(*control);
      if (auto* radio = dynamic_cast<RadioButton*>(control))
        radio->SetChecked(true);
      else if (auto* box = dynamic_cast<CheckBox*>(control))
        box->SetChecked(true);
      break;
    case Verb::DblClick:
      control->DblClick();
      break;
    case Verb::Close:
      form.Close();
      break;
    case Verb::Key:
      form.PressKey(action.key);
      break;
    case Verb::Reply:
    case Verb::Disk:
      break;
  }
}

bool HeadlessToolkit::TryAction(const std::vector<Form*>& targets) {
  if (nextAction_ >= actions_.size()) return false;
  Form* form = nullptr;
  Control* control = nullptr;
  if (!Misfit(actions_[nextAction_], targets, &form, &control).empty()) return false;
  Action action = actions_[nextAction_++];
  lastActionTime_ = now_;
  Apply(action, *form, control);
  return true;
}

Action HeadlessToolkit::DefaultAction(Form& form, Control** control) const {
  std::vector<Control*> controls;
  CollectControls(form, controls);
  Action action;
  action.verb = Verb::Click;
  for (Control* candidate : controls) {
    auto* edit = dynamic_cast<Edit*>(candidate);
    if (edit && !edit->ReadOnly() && edit->Text().empty() && edit->Actionable()) {
      action.verb = Verb::Type;
      action.name = edit->Name();
      action.text = defaults_.fill;
      *control = edit;
      return action;
    }
  }
  Control* press = nullptr;
  for (const std::string& name : defaults_.preferred) {
    if (Control* found = form.FindControl(name); Pressable(found)) {
      press = found;
      break;
    }
  }
  if (!press && Pressable(form.DefaultButton())) press = form.DefaultButton();
  if (!press)
    for (Control* candidate : controls)
      if (Pressable(candidate) && candidate != form.CancelButton()) press = candidate;
  if (!press && Pressable(form.CancelButton())) press = form.CancelButton();
  if (!press) {
    action.verb = Verb::Close;
    return action;
  }
  action.name = press->Name();
  *control = press;
  return action;
}

bool HeadlessToolkit::TakeDefault(const Action& action) {
  if (defaultsUsed_ >= defaults_.limit) return false;
  ++defaultsUsed_;
  lastActionTime_ = now_;
  transcript_.push_back("default " + DescribeAction(action));
  return true;
}

bool HeadlessToolkit::FireTimer(std::uint32_t limit) {
  auto earliest = timers_.end();
  for (auto it = timers_.begin(); it != timers_.end(); ++it) {
    const Schedule& s = it->second;
    if (s.due > limit) continue;
    if (earliest == timers_.end() || s.due < earliest->second.due ||
        (s.due == earliest->second.due && s.order < earliest->second.order))
      earliest = it;
  }
  if (earliest == timers_.end()) return false;
  Timer* timer = earliest->second.timer;
  now_ = std::max(now_, earliest->second.due);
  earliest->second.due = now_ + static_cast<std::uint32_t>(timer->Interval());
  earliest->second.order = timerOrder_++;
  timer->Tick();  // may stop, restart or free the timer
  return true;
}

void HeadlessToolkit::ProcessMessages() {
  // Only timers already due: the virtual clock moves when the program waits, not here.
  for (std::size_t i = 0, n = timers_.size(); i < n && FireTimer(now_); ++i) {
  }
  if (!app_ || nextAction_ >= actions_.size()) return;
  Verb verb = actions_[nextAction_].verb;
  if (verb == Verb::Close || verb == Verb::Key || verb == Verb::Reply || verb == Verb::Disk) return;
  for (Form* modal : app_->ModalForms())
    if (modal->Visible()) return;
  TryAction(app_->VisibleForms());
}

void HeadlessToolkit::HandleMessage() {
  if (woken_.exchange(false)) return;
  std::vector<Form*> targets = IdleTargets();
  if (TryAction(targets)) return;
  if (FireTimer(lastActionTime_ + idleLimit_)) return;
  if (!targets.empty()) {
    Form& form = *targets.front();
    Control* control = nullptr;
    const Action action = DefaultAction(form, &control);
    if (TakeDefault(action)) {
      Apply(action, form, control);
      return;
    }
  }
  if (nextAction_ < actions_.size()) {
    const Action& action = actions_[nextAction_];
    Form* form = nullptr;
    Control* control = nullptr;
    Stop(2, "answers line " + std::to_string(action.line) + ": " + DescribeAction(action) +
                " does not fit: " + Misfit(action, targets, &form, &control));
  }
  Stop(3, "the answers ran out while " + DescribeOpen() + " was open");
}

int HeadlessToolkit::MessageBox(const std::string& text, const std::string& caption,
                                unsigned flags) {
  std::string box = Quote(caption) + " " + std::string(IconName(flags)) + " " +
                    std::string(ButtonsName(flags)) + " " + Quote(text);
  transcript_.push_back("message " + box);
  ChangeDisks();
  // Where the run would stop, the generic user answers if it may.
  auto defaultOr = [&](int code, const std::string& message) {
    DefaultDiskChange(text);
    Action reply;
    reply.verb = Verb::Reply;
    reply.answer = DefaultReply(flags);
    if (!TakeDefault(reply)) Stop(code, message);
    return reply.answer;
  };
  if (nextAction_ >= actions_.size())
    return defaultOr(3, "the answers ran out while the message box " + box + " was showing");
  const Action& action = actions_[nextAction_];
  std::string prefix = "answers line " + std::to_string(action.line) + ": " +
                       DescribeAction(action) + " does not fit: ";
  if (action.verb != Verb::Reply)
    return defaultOr(2, prefix + "the message box " + box + " is showing");
  if (!HasButton(flags, action.answer))
    return defaultOr(2, prefix + "the message box " + box + " has no such button");
  ++nextAction_;
  lastActionTime_ = now_;
  return action.answer;
}

void HeadlessToolkit::ChangeDisks() {
  for (; nextAction_ < actions_.size() && actions_[nextAction_].verb == Verb::Disk; ++nextAction_) {
    const Action& change = actions_[nextAction_];
    const std::string refused =
        diskChanger_ ? diskChanger_(change.disk) : std::string("this run has no disk set");
    if (!refused.empty())
      Stop(2, "answers line " + std::to_string(change.line) + ": " + DescribeAction(change) +
                  " does not fit: " + refused);
    lastActionTime_ = now_;
  }
}

void HeadlessToolkit::DefaultDiskChange(const std::string& text) {
  if (!defaults_.askedDisk || !diskChanger_ || defaultsUsed_ >= defaults_.limit) return;
  Action change;
  change.verb = Verb::Disk;
  change.disk = defaults_.askedDisk(text);
  // A disk the set does not have stays out of the drive: the box is answered all the same,
  // and what the program does next shows in the transcript.
  if (change.disk <= 0 || !diskChanger_(change.disk).empty()) return;
  TakeDefault(change);
}

void HeadlessToolkit::Changed(Component& component, Property what) {
  if (what != Property::Timer) return;
  auto* timer = dynamic_cast<Timer*>(&component);
  if (!timer) return;
  if (timer->Running())
    timers_[timer] = {timer, now_ + static_cast<std::uint32_t>(timer->Interval()), timerOrder_++};
  else
    timers_.erase(timer);
}

void HeadlessToolkit::Destroyed(Component& component) {
  timers_.erase(&component);
}

void HeadlessToolkit::ModalStarted(Form& form) {
  transcript_.push_back("modal " + DescribeForm(form));
}

}  // namespace forms::headless
