#include "forms/Component.h"

#include <algorithm>
#include <array>

#include "forms/Application.h"
#include "forms/Form.h"

namespace forms {

Component::Component(Component* owner, std::string name)
    : owner_(owner), app_(owner ? owner->app_ : nullptr), name_(std::move(name)) {
  if (owner_) owner_->components_.push_back(this);
}

Component::Component(Application& app, std::string name) : app_(&app), name_(std::move(name)) {}

Component::~Component() {
  if (app_) app_->Destroyed(*this);
  if (owner_) std::erase(owner_->components_, this);
  // Owned components normally went first (C++ destroys members before bases); any left
  // over simply lose their owner.
  for (Component* owned : components_) owned->owner_ = nullptr;
}

Component* Component::FindComponent(std::string_view name) const {
  for (Component* owned : components_) {
    if (owned->name_ == name) return owned;
    if (Component* found = owned->FindComponent(name)) return found;
  }
  return nullptr;
}

void Component::Notify(Property what) {
  if (app_) app_->Changed(*this, what);
}

Control::Control(WinControl& parent, std::string name)
    : Component(&parent, std::move(name)), parent_(&parent) {
  parent.InsertControl(*this);
}

Control::Control(Application& app, std::string name) : Component(app, std::move(name)) {}

Control::~Control() {
  if (parent_) parent_->RemoveControl(*this);
}

void Control::SetParent(WinControl* parent) {
  if (parent == parent_) return;
  if (parent_) parent_->RemoveControl(*this);
  parent_ = parent;
  if (parent_) parent_->InsertControl(*this);
  Notify(Property::Parent);
}

Form* Control::ParentForm() const {
  const Control* top = this;
  while (top->parent_) top = top->parent_;
  return const_cast<Form*>(dynamic_cast<const Form*>(top));
}

void Control::SetLeft(int left) {
  SetBounds(left, Top(), Width(), Height());
}
void Control::SetTop(int top) {
  SetBounds(Left(), top, Width(), Height());
}
void Control::SetWidth(int width) {
  SetBounds(Left(), Top(), width, Height());
}
void Control::SetHeight(int height) {
  SetBounds(Left(), Top(), Width(), height);
}

void Control::SetBounds(int left, int top, int width, int height) {
  Rect bounds{left, top, left + std::max(width, 0), top + std::max(height, 0)};
  if (bounds == bounds_) return;
  bounds_ = bounds;
  Notify(Property::Bounds);
  BoundsChanged();
  if (align_ != AlignMode::None && parent_) parent_->Realign();
}

Rect Control::FormRect() const {
  Rect r = bounds_;
  for (const Control* up = parent_; up && up->parent_; up = up->parent_) {
    r.left += up->Left();
    r.right += up->Left();
    r.top += up->Top();
    r.bottom += up->Top();
  }
  return r;
}

void Control::SetAlign(AlignMode align) {
  if (align == align_) return;
  align_ = align;
  if (parent_) parent_->Realign();
}

void Control::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Notify(Property::Visible);
  if (align_ != AlignMode::None && parent_) parent_->Realign();
  VisibleChanged();
}

bool Control::Showing() const {
  if (!visible_) return false;
  if (parent_) return parent_->Showing();
  return dynamic_cast<const Form*>(this) != nullptr;
}

bool Control::Actionable() const {
  if (!Showing()) return false;
  for (const Control* c = this; c; c = c->parent_)
    if (!c->enabled_) return false;
  return true;
}

void Control::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Notify(Property::Enabled);
}

void Control::SetText(std::string text) {
  if (text == text_) return;
  text_ = std::move(text);
  Notify(Property::Caption);
  TextChanged();
}

void Control::SetColor(ColorRef color) {
  if (color == color_) return;
  color_ = color;
  Notify(Property::Color);
}

void Control::SetFont(const TextFont& font) {
  if (font == font_) return;
  font_ = font;
  Notify(Property::Font);
  FontChanged();
}

void Control::Click() {
  if (OnClick) OnClick();
}

void Control::DblClick() {
  if (OnDblClick) OnDblClick();
}

void Control::KeyDown(int& key) {
  if (OnKeyDown) OnKeyDown(key);
}

void Control::KeyPress(char& key) {
  if (OnKeyPress) OnKeyPress(key);
}

WinControl::WinControl(WinControl& parent, std::string name) : Control(parent, std::move(name)) {
  // Control's constructor put this into the parent before it was a WinControl.
  parent.tabList_.push_back(this);
}

WinControl::WinControl(Application& app, std::string name) : Control(app, std::move(name)) {}

WinControl::~WinControl() {
  if (Form* form = ParentForm(); form && form->ActiveControl() == this)
    form->SetActiveControl(nullptr);
  if (WinControl* parent = Parent()) std::erase(parent->tabList_, this);
  for (Control* child : controls_) child->parent_ = nullptr;
}

void WinControl::InsertControl(Control& control) {
  controls_.push_back(&control);
  // A control still being constructed is no WinControl yet; its constructor adds it.
  if (auto* windowed = dynamic_cast<WinControl*>(&control)) tabList_.push_back(windowed);
  control.Notify(Property::Parent);
  if (control.Align() != AlignMode::None) Realign();
}

void WinControl::RemoveControl(Control& control) {
  std::erase(controls_, &control);
  std::erase_if(tabList_, [&control](const WinControl* windowed) { return windowed == &control; });
  if (Form* form = ParentForm()) {
    // A control leaving the form cannot keep its focus.
    for (WinControl* active = form->ActiveControl(); active;) {
      if (active == &control) {
        form->SetActiveControl(nullptr);
        break;
      }
      active = active->Parent();
    }
  }
}

Control* WinControl::FindControl(std::string_view name) const {
  for (Control* child : controls_) {
    if (child->Name() == name) return child;
    if (auto* container = dynamic_cast<WinControl*>(child))
      if (Control* found = container->FindControl(name)) return found;
  }
  return nullptr;
}

int WinControl::TabOrder() const {
  const WinControl* parent = Parent();
  if (!parent) return -1;
  const auto at = std::find(parent->tabList_.begin(), parent->tabList_.end(), this);
  return at == parent->tabList_.end() ? -1 : static_cast<int>(at - parent->tabList_.begin());
}

void WinControl::SetTabOrder(int order) {
  WinControl* parent = Parent();
  const int from = TabOrder();
  if (from < 0) return;
  std::vector<WinControl*>& list = parent->tabList_;
  const int to = std::clamp(order, 0, static_cast<int>(list.size()) - 1);
  if (to == from) return;
  list.erase(list.begin() + from);
  list.insert(list.begin() + to, this);
}

bool WinControl::Focused() const {
  Form* form = ParentForm();
  return form && form->ActiveControl() == this;
}

bool WinControl::CanFocus() const {
  return Actionable();
}

void WinControl::SetFocus() {
  if (Form* form = ParentForm(); form && form != this) form->SetActiveControl(this);
}

void WinControl::Realign() {
  if (aligning_) return;
  aligning_ = true;
  Rect area = ClientRect();
  constexpr std::array kOrder{AlignMode::Top, AlignMode::Bottom, AlignMode::Left, AlignMode::Right,
                              AlignMode::Client};
  for (AlignMode mode : kOrder) {
    for (Control* child : controls_) {
      if (child->Align() != mode || !child->Visible()) continue;
      int width = std::max(area.Width(), 0);
      int height = std::max(area.Height(), 0);
      switch (mode) {
        case AlignMode::Top:
          child->SetBounds(area.left, area.top, width, child->Height());
          area.top += child->Height();
          break;
        case AlignMode::Bottom:
          child->SetBounds(area.left, area.bottom - child->Height(), width, child->Height());
          area.bottom -= child->Height();
          break;
        case AlignMode::Left:
          child->SetBounds(area.left, area.top, child->Width(), height);
          area.left += child->Width();
          break;
        case AlignMode::Right:
          child->SetBounds(area.right - child->Width(), area.top, child->Width(), height);
          area.right -= child->Width();
          break;
        default:
          child->SetBounds(area.left, area.top, width, height);
          break;
      }
    }
  }
  aligning_ = false;
}

GraphicControl::GraphicControl(WinControl& parent, std::string name)
    : Control(parent, std::move(name)), canvas_(bitmap_) {
  canvas_.OnChange = [this](const Rect&) { Notify(Property::Pixels); };
}

void GraphicControl::Repaint() {
  Paint();
  Notify(Property::Pixels);
}

void GraphicControl::BoundsChanged() {
  if (bitmap_.Width() == Width() && bitmap_.Height() == Height()) return;
  bitmap_.Resize(Width(), Height());
  Repaint();
}

}  // namespace forms
