#include "forms/win32/Win32Toolkit.h"

#include "forms/ExtControls.h"
#include "forms/StdControls.h"
#include "forms/win32/Fallbacks.h"

namespace forms::win32 {
namespace {

constexpr const char* kHiddenClass = "TavrinSetupHidden";
constexpr UINT kWakeMessage = WM_APP + 1;

}  // namespace

extern const char* const kFormClass;

Win32Toolkit::Win32Toolkit(HINSTANCE instance) : instance_(instance) {
  InitCommonControlClasses();

  WNDCLASSEXA form{};
  form.cbSize = sizeof(form);
  form.style = CS_DBLCLKS;
  form.lpfnWndProc = FormProc;
  form.hInstance = instance_;
  // The program's own icon (its first icon resource) where it has one.
  form.hIcon = LoadIconA(instance_, MAKEINTRESOURCEA(1));
  if (!form.hIcon) form.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  form.hCursor = LoadCursor(nullptr, IDC_ARROW);
  form.lpszClassName = kFormClass;
  RegisterClassExA(&form);

  WNDCLASSEXA hidden{};
  hidden.cbSize = sizeof(hidden);
  hidden.lpfnWndProc = HiddenProc;
  hidden.hInstance = instance_;
  hidden.lpszClassName = kHiddenClass;
  RegisterClassExA(&hidden);
  hidden_ = CreateHiddenWindow(instance_, kHiddenClass, this);
}

Win32Toolkit::~Win32Toolkit() {
  for (const auto& [id, timer] : timers_) KillTimer(hidden_, id);
  std::vector<HWND> windows;
  for (const auto& [window, node] : byWindow_)
    if (node->form) windows.push_back(window);
  byWindow_.clear();
  nodes_.clear();
  for (HWND window : windows) DestroyWindow(window);
  if (hidden_) DestroyWindow(hidden_);
  UnregisterClassA(kFormClass, instance_);
  UnregisterClassA(kHiddenClass, instance_);
}

HWND Win32Toolkit::WindowOf(const Component& component) const {
  auto found = nodes_.find(&component);
  return found == nodes_.end() ? nullptr : found->second.window;
}

LRESULT CALLBACK Win32Toolkit::HiddenProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32Toolkit*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self && message == WM_TIMER) {
    auto found = self->timers_.find(wParam);
    if (found != self->timers_.end()) {
      Timer* timer = found->second;
      self->Guarded([timer] { timer->Tick(); });  // may stop or free the timer
    }
    return 0;
  }
  if (message == kWakeMessage) return 0;  // only makes the waiting loop return
  return DefWindowProcA(window, message, wParam, lParam);
}

void Win32Toolkit::Sync() {
  if (!pending_ || !app_) return;
  pending_ = false;
  for (Form* form : app_->Forms()) {
    HWND window = WindowOf(*form);
    if (!window) continue;
    Realize(*form);
    InvalidateRect(window, nullptr, FALSE);
    ApplyFocus(*form);
  }
}

void Win32Toolkit::ServiceMessages() {
  // Cheap when nothing can be waiting: see QueueGate. The queue is asked without clearing
  // its "new since last looked" state (GetQueueStatus would), which waits rely on.
  const DWORD now = GetTickCount();
  PaintChangedTexts(false);
  if (!queueGate_.ShouldAsk(now) || !queueGate_.ShouldSweep(now, queueProbe_.HoldsSomething())) {
    Sync();
    return;
  }
  ProcessMessages();
}

void Win32Toolkit::ProcessMessages() {
  Sync();
  PaintChangedTexts(false);
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      if (app_) app_->Terminate();
      break;
    }
    Dispatch(message);
  }
  Sync();
}

void Win32Toolkit::HandleMessage() {
  Sync();
  PaintChangedTexts(true);
  MSG message;
  if (GetMessageA(&message, nullptr, 0, 0) <= 0) {
    if (app_) app_->Terminate();
    return;
  }
  Dispatch(message);
}

void Win32Toolkit::Wake() {
  PostMessageA(hidden_, kWakeMessage, 0, 0);
}

void Win32Toolkit::Dispatch(MSG& message) {
  if (HandleDialogKey(message)) return;
  TranslateMessage(&message);
  DispatchMessageA(&message);
}

bool Win32Toolkit::HandleDialogKey(const MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  const int key = static_cast<int>(message.wParam);
  if (key != VK_TAB && key != VK_RETURN && key != VK_ESCAPE) return false;
  Form* form = FormOfWindow(message.hwnd);
  if (!form || !IsWindowEnabled(WindowOf(*form))) return false;
  // An open drop-down list takes Enter and Esc itself.
  if (Node* node = NodeOfWindow(message.hwnd); node && node->kind == NativeKind::ComboBox &&
                                               SendMessageA(node->window, CB_GETDROPPEDSTATE, 0, 0))
    return false;
  Guarded([&] {
    TakeFocusFromWindow(*form);
    PullTexts(*form);
    if (key == VK_TAB && GetKeyState(VK_SHIFT) < 0)
      form->SelectNext(false);
    else
      form->PressKey(key);
  });
  return true;
}

int Win32Toolkit::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  Sync();
  PaintChangedTexts(true);
  HWND owner = nullptr;
  if (Form* active = app_ ? app_->ActiveForm() : nullptr) {
    HWND window = WindowOf(*active);
    if (window && IsWindowVisible(window) && IsWindowEnabled(window)) owner = window;
  }
  UINT type = flags | MB_SETFOREGROUND;
  if (!owner) type |= MB_TASKMODAL;  // then every window of the program waits for the answer
  return ::MessageBoxA(owner, text.c_str(), caption.c_str(), type);
}

void Win32Toolkit::CursorChanged(ScreenCursor cursor) {
  cursor_ = cursor;
  SetCursor(LoadCursor(nullptr, cursor == ScreenCursor::HourGlass ? IDC_WAIT : IDC_ARROW));
}

void Win32Toolkit::ModalStarted(Form& form) {
  Sync();
  // Every other window that takes input now waits for this form, as a dialog's owner does.
  std::vector<HWND>& disabled = disabledByModal_[&form];
  for (Form* other : app_->Forms()) {
    if (other == &form) continue;
    HWND window = WindowOf(*other);
    if (window && IsWindowVisible(window) && IsWindowEnabled(window)) {
      EnableWindow(window, FALSE);
      disabled.push_back(window);
    }
  }
}

void Win32Toolkit::ModalEnded(Form& form) {
  // Called before the form hides, so that Windows activates the window it returns to.
  auto found = disabledByModal_.find(&form);
  if (found == disabledByModal_.end()) return;
  for (HWND window : found->second)
    if (IsWindow(window)) EnableWindow(window, TRUE);
  disabledByModal_.erase(found);
}

void Win32Toolkit::ChangedTimer(Component& component) {
  auto* timer = dynamic_cast<Timer*>(&component);
  if (!timer) return;
  auto known = timerIds_.find(timer);
  if (timer->Running()) {
    const UINT_PTR id = known != timerIds_.end() ? known->second : nextTimerId_++;
    SetTimer(hidden_, id, static_cast<UINT>(timer->Interval()), nullptr);  // restarts it
    timers_[id] = timer;
    timerIds_[timer] = id;
  } else if (known != timerIds_.end()) {
    KillTimer(hidden_, known->second);
    timers_.erase(known->second);
    timerIds_.erase(known);
  }
}

void Win32Toolkit::Changed(Component& component, Property what) {
  if (what == Property::Timer) {
    ChangedTimer(component);
    return;
  }
  if (what == Property::Parent) {
    // The control may still be under construction: its window is made at the next Sync.
    pending_ = true;
    if (auto found = nodes_.find(&component); found != nodes_.end() && !found->second.form)
      LayOutNative(found->second);
    return;
  }
  if (auto found = nodes_.find(&component); found != nodes_.end()) {
    Node& node = found->second;
    if (node.form)
      ChangedForm(*node.form, what);
    else
      ChangedNative(node, what);
    return;
  }
  // A form is given its window when it is first shown.
  if (auto* form = dynamic_cast<Form*>(&component)) {
    if (what == Property::Visible && form->Visible()) ShowForm(*form, true);
    return;
  }
  // A control that its form paints, or a native one whose window is not made yet.
  auto* control = dynamic_cast<Control*>(&component);
  if (!control) return;
  Form* form = control->ParentForm();
  if (!form || !WindowOf(*form)) return;
  switch (what) {
    case Property::Bounds:
    case Property::Visible:
    case Property::Enabled:
      LayOutNatives(*form);
      InvalidateControl(*control, true);
      break;
    case Property::Caption:
      changedTexts_.emplace(control, control);
      textRepaints_.Changed();
      break;
    default:
      InvalidateControl(*control, false);
      break;
  }
}

void Win32Toolkit::PaintChangedTexts(bool idle) {
  if (changedTexts_.empty() || !textRepaints_.ShouldPaint(GetTickCount(), idle)) return;
  for (const auto& [component, control] : changedTexts_) InvalidateControl(*control, false);
  changedTexts_.clear();
}

void Win32Toolkit::ChangedNative(Node& node, Property what) {
  switch (what) {
    case Property::Bounds:
    case Property::Visible:
    case Property::Enabled:
      LayOutNative(node);
      break;
    case Property::Font:
      SendMessageA(node.window, WM_SETFONT,
                   reinterpret_cast<WPARAM>(gdi_.Font(node.control->Font())), TRUE);
      break;
    case Property::Color:
      InvalidateRect(node.window, nullptr, TRUE);
      break;
    case Property::Style:
      if (StyleOf(*node.control, node.kind) != node.style)
        Recreate(node);
      else
        ApplyProperty(node.window, *node.control, node.kind, what);
      break;
    case Property::Caption:
      if (feeding_ != node.control) ApplyProperty(node.window, *node.control, node.kind, what);
      break;
    default:
      ApplyProperty(node.window, *node.control, node.kind, what);
      break;
  }
}

void Win32Toolkit::Destroyed(Component& component) {
  changedTexts_.erase(&component);
  if (auto timer = timerIds_.find(&component); timer != timerIds_.end()) {
    KillTimer(hidden_, timer->second);
    timers_.erase(timer->second);
    timerIds_.erase(timer);
  }
  for (auto it = disabledByModal_.begin(); it != disabledByModal_.end();) {
    if (static_cast<const Component*>(it->first) == &component)
      it = disabledByModal_.erase(it);
    else
      ++it;
  }
  DropNode(component);
}

void Win32Toolkit::DropNode(const Component& component) {
  auto found = nodes_.find(&component);
  if (found == nodes_.end()) return;
  HWND window = found->second.window;
  const bool isForm = found->second.form != nullptr;
  byWindow_.erase(window);
  nodes_.erase(found);
  if (isForm) {
    // Child windows still listed go with the form's window.
    for (auto it = nodes_.begin(); it != nodes_.end();) {
      if (GetParent(it->second.window) == window) {
        byWindow_.erase(it->second.window);
        it = nodes_.erase(it);
      } else {
        ++it;
      }
    }
  }
  // Forgotten first: the messages sent while the window goes find no control.
  if (window) DestroyWindow(window);
}

}  // namespace forms::win32
