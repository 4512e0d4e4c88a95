// The windows of forms: their creation and styles, the window procedure, the native
// child windows inside them, and the keyboard focus.
#include "forms/win32/WindowsUi.h"

#include "forms/StdControls.h"
#include "forms/win32/DirPainter.h"
#include "forms/win32/FormPainter.h"
#include "forms/win32/Win32Toolkit.h"

namespace forms::win32 {

extern const char* const kFormClass;
const char* const kFormClass = "TavrinSetupForm";

namespace {

// Posted to a form's window after it was activated.
constexpr UINT kRefocusMessage = WM_APP + 2;

static_assert(style::kPopup == WS_POPUP && style::kClipChildren == WS_CLIPCHILDREN &&
              style::kCaption == WS_CAPTION && style::kSysMenu == WS_SYSMENU &&
              style::kOverlappedWindow == WS_OVERLAPPEDWINDOW &&
              style::kModalFrame == DS_MODALFRAME);
static_assert(style::kExDlgModalFrame == WS_EX_DLGMODALFRAME &&
              style::kExTopmost == WS_EX_TOPMOST && style::kExToolWindow == WS_EX_TOOLWINDOW &&
              style::kExContextHelp == WS_EX_CONTEXTHELP && style::kExAppWindow == WS_EX_APPWINDOW);

// The window rectangle whose client area is the form's client area at the form's place.
RECT WindowRectOf(const Form& form, const FrameStyle& style) {
  RECT r{0, 0, form.ClientWidth(), form.ClientHeight()};
  AdjustWindowRectEx(&r, style.style, FALSE, style.exStyle);
  return {form.Left(), form.Top(), form.Left() + (r.right - r.left),
          form.Top() + (r.bottom - r.top)};
}

}  // namespace

LRESULT CALLBACK Win32Toolkit::FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32Toolkit*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self) {
    auto found = self->byWindow_.find(window);
    if (found != self->byWindow_.end() && found->second->form)
      return self->OnFormMessage(*found->second->form, window, message, wParam, lParam);
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT Win32Toolkit::OnFormMessage(Form& form, HWND window, UINT message, WPARAM wParam,
                                    LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      PaintFormArea(dc, form, paint.rcPaint, gdi_);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // the paint covers everything
    case WM_COMMAND: {
      Node* node = NodeOfWindow(reinterpret_cast<HWND>(lParam));
      if (!node || !node->control || node->form) break;
      const int code = HIWORD(wParam);
      const bool fromWindow = code == EN_CHANGE || code == CBN_EDITCHANGE;
      Control& control = *node->control;
      HWND child = node->window;
      const NativeKind kind = node->kind;
      Guarded([&] {
        if (fromWindow) {
          feeding_ = &control;
          struct Reset {
            const Control*& feeding;
            ~Reset() { feeding = nullptr; }
          } reset{feeding_};
          HandleNotification(child, control, kind, code);
        } else {
          TakeFocusFromWindow(form);
          PullTexts(form);
          HandleNotification(child, control, kind, code);
        }
      });
      return 0;
    }
    case WM_MEASUREITEM: {
      // Only the directory and drive lists are drawn by the toolkit.
      auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (measure->CtlType != ODT_LISTBOX && measure->CtlType != ODT_COMBOBOX) break;
      measure->itemHeight = kDirItemHeight;
      return TRUE;
    }
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      Node* node = NodeOfWindow(item.hwndItem);
      if (!node || !node->control) break;
      if (const auto* list = dynamic_cast<const DirectoryListBox*>(node->control)) {
        DrawDirectoryItem(item, *list);
        return TRUE;
      }
      if (const auto* drives = dynamic_cast<const DriveComboBox*>(node->control)) {
        DrawDriveItem(item, *drives);
        return TRUE;
      }
      break;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX: {
      Node* node = NodeOfWindow(reinterpret_cast<HWND>(lParam));
      if (!node || !node->control) break;
      HDC dc = reinterpret_cast<HDC>(wParam);
      if (IsWindowEnabled(node->window)) SetTextColor(dc, ColorToRgb(node->control->Font().color));
      SetBkColor(dc, ColorToRgb(node->control->Color()));
      return reinterpret_cast<LRESULT>(gdi_.Brush(node->control->Color()));
    }
    case WM_CLOSE:
      Guarded([&] { form.Close(); });
      return 0;
    case WM_SETCURSOR:
      if (cursor_ == ScreenCursor::HourGlass) {
        SetCursor(LoadCursor(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_ACTIVATE: {
      // Windows gives the focus to the window itself; the form's active control wants it.
      // Given later, and only when nothing else took it meanwhile: an activation that a
      // click on a button causes must leave the focus on the button, or the click is lost.
      LRESULT result = DefWindowProcA(window, message, wParam, lParam);
      if (LOWORD(wParam) != WA_INACTIVE) PostMessageA(window, kRefocusMessage, 0, 0);
      return result;
    }
    case kRefocusMessage:
      if (GetFocus() == window) ApplyFocus(form);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void Win32Toolkit::Realize(Form& form) {
  Node& node = nodes_[&form];
  if (!node.window) {
    node.control = &form;
    node.form = &form;
    const bool isMain = app_ && app_->MainForm() == &form;
    const FrameStyle style = FrameStyleOf(form, isMain);
    const RECT r = WindowRectOf(form, style);
    HWND owner = nullptr;
    if (!isMain && app_ && app_->MainForm()) owner = WindowOf(*app_->MainForm());
    node.window =
        CreateWindowExA(style.exStyle, kFormClass, form.Caption().c_str(), style.style, r.left,
                        r.top, r.right - r.left, r.bottom - r.top, owner, nullptr, instance_, this);
    if (!node.window) {
      nodes_.erase(&form);
      return;
    }
    byWindow_[node.window] = &node;
  }
  RealizeChildren(form, form);
  LayOutNatives(form);
}

void Win32Toolkit::RealizeChildren(Form& form, WinControl& container) {
  for (Control* child : container.Controls()) {
    const NativeKind kind = NativeKindOf(*child);
    if (kind != NativeKind::None) {
      if (!WindowOf(*child)) MakeNative(form, *child, kind);
    } else if (auto* windowed = dynamic_cast<WinControl*>(child)) {
      RealizeChildren(form, *windowed);
    }
  }
}

void Win32Toolkit::MakeNative(Form& form, Control& control, NativeKind kind) {
  HWND window = CreateNative(control, kind, WindowOf(form), instance_, gdi_.Font(control.Font()));
  if (!window) return;
  Node& node = nodes_[&control];
  node = Node{};
  node.window = window;
  node.control = &control;
  node.kind = kind;
  node.style = StyleOf(control, kind);
  node.place = PlaceOf(control, kind);
  node.shown = false;
  node.enabled = true;
  byWindow_[window] = &node;
  LayOutNative(node);
}

void Win32Toolkit::Recreate(Node& node) {
  Control& control = *node.control;
  const NativeKind kind = node.kind;
  const bool focused = GetFocus() == node.window;
  Form* form = control.ParentForm();
  DropNode(control);
  if (!form || !WindowOf(*form)) return;
  MakeNative(*form, control, kind);
  if (focused) ApplyFocus(*form);
}

void Win32Toolkit::LayOutNatives(Form& form) {
  for (auto& [component, node] : nodes_)
    if (!node.form && node.control->ParentForm() == &form) LayOutNative(node);
}

void Win32Toolkit::LayOutNative(Node& node) {
  const RECT place = PlaceOf(*node.control, node.kind);
  if (!EqualRect(&place, &node.place)) {
    SetWindowPos(node.window, nullptr, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    node.place = place;
  }
  const bool enabled = EnabledInForm(*node.control);
  if (enabled != node.enabled) {
    EnableWindow(node.window, enabled);
    node.enabled = enabled;
  }
  const bool shown = VisibleInForm(*node.control);
  if (shown != node.shown) {
    ShowWindow(node.window, shown ? SW_SHOWNA : SW_HIDE);
    node.shown = shown;
  }
}

void Win32Toolkit::PlaceForm(Form& form) {
  HWND window = WindowOf(form);
  if (!window) return;
  const FrameStyle style = FrameStyleOf(form, app_ && app_->MainForm() == &form);
  SetWindowLongPtrA(window, GWL_STYLE,
                    static_cast<LONG_PTR>(style.style | (GetWindowLongPtrA(window, GWL_STYLE) &
                                                         (WS_VISIBLE | WS_DISABLED))));
  SetWindowLongPtrA(window, GWL_EXSTYLE, static_cast<LONG_PTR>(style.exStyle));
  const RECT r = WindowRectOf(form, style);
  SetWindowPos(window, form.StayOnTop() ? HWND_TOPMOST : HWND_NOTOPMOST, r.left, r.top,
               r.right - r.left, r.bottom - r.top, SWP_NOACTIVATE | SWP_FRAMECHANGED);
  InvalidateRect(window, nullptr, FALSE);
}

void Win32Toolkit::ShowForm(Form& form, bool visible) {
  if (!visible) {
    if (HWND window = WindowOf(form)) ShowWindow(window, SW_HIDE);
    return;
  }
  Realize(form);
  HWND window = WindowOf(form);
  if (!window) return;
  SetWindowPos(window, form.StayOnTop() ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE);
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  UpdateWindow(window);
  ApplyFocus(form);
}

void Win32Toolkit::ChangedForm(Form& form, Property what) {
  HWND window = WindowOf(form);
  switch (what) {
    case Property::Visible:
      ShowForm(form, form.Visible());
      break;
    case Property::Caption:
      SetWindowTextA(window, form.Caption().c_str());
      break;
    case Property::Bounds:
    case Property::Style:
      PlaceForm(form);
      break;
    case Property::Enabled:
      EnableWindow(window, form.Enabled());
      break;
    case Property::Focus:
      ApplyFocus(form);
      break;
    default:
      InvalidateRect(window, nullptr, FALSE);
      break;
  }
}

void Win32Toolkit::ApplyFocus(Form& form) {
  HWND window = WindowOf(form);
  // Only the window Windows made active takes the focus; another keeps it for later.
  if (!window || !IsWindowVisible(window) || GetActiveWindow() != window) return;
  HWND target = window;
  if (WinControl* active = form.ActiveControl()) {
    HWND own = WindowOf(*active);
    if (own && IsWindowVisible(own) && IsWindowEnabled(own)) target = own;
  }
  if (GetFocus() != target) SetFocus(target);
}

void Win32Toolkit::TakeFocusFromWindow(Form& form) {
  Node* node = NodeOfWindow(GetFocus());
  if (!node || node->form || node->control->ParentForm() != &form) return;
  if (auto* windowed = dynamic_cast<WinControl*>(node->control))
    if (form.ActiveControl() != windowed) form.SetActiveControl(windowed);
}

void Win32Toolkit::PullTexts(Form& form) {
  for (auto& [component, node] : nodes_) {
    if (node.kind != NativeKind::Edit || node.control->ParentForm() != &form) continue;
    std::string text = WindowText(node.window);
    if (text == node.control->Text()) continue;
    feeding_ = node.control;
    node.control->SetText(std::move(text));
    feeding_ = nullptr;
  }
}

void Win32Toolkit::InvalidateControl(Control& control, bool whole) {
  Form* form = control.ParentForm();
  HWND window = form ? WindowOf(*form) : nullptr;
  if (!window) return;
  if (whole) {
    InvalidateRect(window, nullptr, FALSE);
    return;
  }
  const Rect r = control.FormRect();
  RECT area{r.left, r.top, r.right, r.bottom};
  InvalidateRect(window, &area, FALSE);
}

Form* Win32Toolkit::FormOfWindow(HWND window) const {
  if (!window) return nullptr;
  auto found = byWindow_.find(RootWindowOf(window));
  return found == byWindow_.end() ? nullptr : found->second->form;
}

Win32Toolkit::Node* Win32Toolkit::NodeOfWindow(HWND window) {
  // The edit inside a combo box stands for the combo box.
  for (int depth = 0; window && depth < 2; ++depth, window = GetParent(window)) {
    auto found = byWindow_.find(window);
    if (found != byWindow_.end()) return found->second;
  }
  return nullptr;
}

}  // namespace forms::win32
