#include "forms/Form.h"

#include <stdexcept>

#include "forms/Application.h"
#include "forms/StdControls.h"

namespace forms {

FrameSize FrameOf(FormBorder border) {
  // Classic Windows metrics: 3-pixel dialog edges, 4-pixel sizing edges, an 18-pixel caption
  // (15 for tool windows) and its 1-pixel line.
  switch (border) {
    case FormBorder::None:
      return {0, 0};
    case FormBorder::Dialog:
      return {6, 25};
    case FormBorder::ToolWindow:
      return {6, 22};
    case FormBorder::Sizeable:
    default:
      return {8, 27};
  }
}

Form::Form(Application& app, std::string className)
    : WinControl(app, {}), className_(std::move(className)) {
  InitVisible(false);
  app.RegisterForm(*this);
}

Form::~Form() {
  if (Application* app = App()) app->UnregisterForm(*this);
}

void Form::SetBorderStyle(FormBorder border) {
  if (border == border_) return;
  int width = ClientWidth();
  int height = ClientHeight();
  border_ = border;
  Notify(Property::Style);
  SetClientSize(width, height);
}

void Form::SetBorderIcons(BorderIconSet icons) {
  if (icons == icons_) return;
  icons_ = icons;
  Notify(Property::Style);
}

void Form::SetStayOnTop(bool stayOnTop) {
  if (stayOnTop == stayOnTop_) return;
  stayOnTop_ = stayOnTop;
  Notify(Property::Style);
}

int Form::ClientWidth() const {
  return std::max(Width() - FrameOf(border_).width, 0);
}

int Form::ClientHeight() const {
  return std::max(Height() - FrameOf(border_).height, 0);
}

Rect Form::ClientRect() const {
  return {0, 0, ClientWidth(), ClientHeight()};
}

void Form::SetClientSize(int width, int height) {
  FrameSize frame = FrameOf(border_);
  SetBounds(Left(), Top(), width + frame.width, height + frame.height);
}

void Form::PlaceOnScreen() {
  if (position_ != FormPosition::ScreenCenter) return;
  Screen& screen = App()->GetScreen();
  SetBounds((screen.Width() - Width()) / 2, (screen.Height() - Height()) / 2, Width(), Height());
}

void Form::Show() {
  if (Visible()) {
    App()->FormShown(*this);  // already visible: to the front, active
    return;
  }
  PlaceOnScreen();
  SetVisible(true);
}

void Form::VisibleChanged() {
  if (Visible()) {
    if (OnShow) OnShow();
    App()->FormShown(*this);
  } else {
    if (OnHide) OnHide();
    App()->FormHidden(*this);
  }
}

int Form::ShowModal() {
  Application& app = *App();
  if (app.Terminated()) return modalResult_ = kMrCancel;
  if (modal_) throw std::logic_error("The form " + className_ + " is already modal");
  modalResult_ = kMrNone;
  modal_ = true;
  app.PushModal(*this);
  // Whatever ends the loop (also a stopped script), the form leaves the modal stack.
  struct ModalScope {
    Form& form;
    Application& app;
    ~ModalScope() {
      if (!form.modal_) return;
      form.modal_ = false;
      app.PopModal(form);
    }
  } scope{*this, app};
  Show();
  app.GetToolkit().ModalStarted(*this);
  for (;;) {
    if (app.Terminated()) {
      modalResult_ = kMrCancel;
      break;
    }
    if (modalResult_ != kMrNone) {
      CloseModal();
      if (modalResult_ != kMrNone) break;
      continue;
    }
    app.HandleMessage();
  }
  modal_ = false;
  app.PopModal(*this);
  Hide();
  return modalResult_;
}

void Form::CloseModal() {
  CloseAction action = CloseAction::None;
  if (CloseQuery()) {
    action = CloseAction::Hide;
    if (OnClose) OnClose(action);
  }
  if (action == CloseAction::None)
    modalResult_ = kMrNone;
  else if (action == CloseAction::Free)
    Release();
}

void Form::Close() {
  if (modal_) {
    modalResult_ = kMrCancel;
    return;
  }
  if (!CloseQuery()) return;
  CloseAction action = CloseAction::Hide;
  if (OnClose) OnClose(action);
  if (action == CloseAction::None) return;
  Application& app = *App();
  if (app.MainForm() == this)
    app.Terminate();
  else if (action == CloseAction::Hide)
    Hide();
  else
    Release();
}

bool Form::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(canClose);
  return canClose;
}

void Form::Release() {
  released_ = true;
  Hide();
  App()->ReleaseForm(*this);
}

void Form::SetActiveControl(WinControl* control) {
  if (control == activeControl_) return;
  activeControl_ = control;
  Notify(Property::Focus);
}

namespace {

void CollectTabStops(const WinControl& container, std::vector<WinControl*>& out) {
  for (WinControl* windowed : container.TabList()) {
    if (!windowed->Visible()) continue;
    if (windowed->TabStop() && windowed->CanFocus()) out.push_back(windowed);
    CollectTabStops(*windowed, out);
  }
}

}  // namespace

void Form::SelectNext(bool forward) {
  std::vector<WinControl*> stops;
  CollectTabStops(*this, stops);
  if (stops.empty()) return;
  auto at = std::find(stops.begin(), stops.end(), activeControl_);
  std::ptrdiff_t count = static_cast<std::ptrdiff_t>(stops.size());
  std::ptrdiff_t index = at == stops.end() ? (forward ? -1 : count) : at - stops.begin();
  index = ((forward ? index + 1 : index - 1) + count) % count;
  SetActiveControl(stops[static_cast<std::size_t>(index)]);
}

bool Form::Active() const {
  return App()->ActiveForm() == this;
}

void Form::PressKey(int key) {
  if (keyPreview_) {
    KeyDown(key);
    if (key == 0) return;
  }
  WinControl* target = activeControl_ && activeControl_->Actionable() ? activeControl_ : nullptr;
  if (target) {
    target->KeyDown(key);
    if (key == 0) return;
  }
  if (key == kVkEscape && cancelButton_ && cancelButton_->Actionable()) {
    cancelButton_->Click();
    return;
  }
  if (key == kVkReturn) {
    if (auto* focused = dynamic_cast<Button*>(target)) {
      focused->Click();
      return;
    }
    if (defaultButton_ && defaultButton_->Actionable()) {
      defaultButton_->Click();
      return;
    }
  }
  if (key == kVkTab) {
    SelectNext(true);
    return;
  }
  char ch = 0;
  if (key == kVkReturn)
    ch = '\r';
  else if (key == kVkEscape)
    ch = '\x1b';
  else if (key >= 0x20 && key < 0x7F)
    ch = static_cast<char>(key);
  if (ch == 0) return;
  if (keyPreview_) {
    KeyPress(ch);
    if (ch == 0) return;
  }
  if (target) target->KeyPress(ch);
}

namespace {

void RenderChildren(const WinControl& container, int originX, int originY, const Rect& clip,
                    Canvas& canvas) {
  for (const Control* child : container.Controls()) {
    if (!child->Visible()) continue;
    Rect r = child->BoundsRect();
    r = {r.left + originX, r.top + originY, r.right + originX, r.bottom + originY};
    Rect area = Intersect(r, clip);
    if (area.Empty()) continue;
    if (auto* graphic = dynamic_cast<const GraphicControl*>(child)) {
      if (graphic->Opaque())
        canvas.BitBlt(area.left, area.top, area.Width(), area.Height(), graphic->Shown(),
                      area.left - r.left, area.top - r.top);
    } else if (auto* windowed = dynamic_cast<const WinControl*>(child)) {
      canvas.SetBrushColor(windowed->Color());
      canvas.FillRect(area);
      RenderChildren(*windowed, r.left, r.top, area, canvas);
    }
  }
}

}  // namespace

Bitmap Form::RenderClient() const {
  Bitmap out(ClientWidth(), ClientHeight(), ColorToRgb(Color()));
  Canvas canvas(out);
  RenderChildren(*this, 0, 0, {0, 0, out.Width(), out.Height()}, canvas);
  return out;
}

}  // namespace forms
