// The base classes of the class library: components with a name and an owner, controls
// with bounds, visibility and text, windowed controls that hold children and take the
// focus, and windowless controls that paint on their own canvas.
//
// Controls only hold state. A setter does nothing when the value is unchanged; otherwise
// it stores the value, tells the toolkit (through the application) what changed, and
// fires the matching On... event. User input of every kind comes back through the same
// public methods (Click, SetText, SetItemIndex, Form::Close, Form::PressKey).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "forms/Graphics.h"

namespace forms {

class Application;
class Form;
class WinControl;

// What changed on a component, so that a toolkit can mirror it.
enum class Property {
  Parent,  // a control was put into a parent (or taken out); its class may be incomplete
  Bounds,  // left, top, width or height
  Visible,
  Enabled,
  Caption,  // caption or text
  Color,
  Font,
  Style,      // any look-only setting: alignment, word wrap, bevel, border, scroll bars...
  Items,      // the entries of a list
  ItemIndex,  // the selected entry of a list
  Checked,
  Selection,  // the selected part of an edit's text
  ReadOnly,
  Range,     // minimum or maximum of a progress bar
  Position,  // position of a progress bar
  Focus,     // the active control of a form
  Pixels,    // a windowless control drew on its canvas
  Timer,     // interval, enabled state or handler of a timer
};

// A parameterless event handler.
using Event = std::function<void()>;

// How a control is placed inside its parent.
enum class AlignMode { None, Top, Bottom, Left, Right, Client };

// Key codes passed to key events are Windows virtual-key codes.
constexpr int kVkTab = 0x09;
constexpr int kVkReturn = 0x0D;
constexpr int kVkEscape = 0x1B;

// Something with a name that an owner keeps a (non-owning) list of; lifetime is C++'s.
class Component {
 public:
  // A component owned by `owner` (null for none); takes the owner's application.
  explicit Component(Component* owner, std::string name = {});
  virtual ~Component();
  Component(const Component&) = delete;
  Component& operator=(const Component&) = delete;

  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  Component* Owner() const { return owner_; }
  // The components this one owns, in creation order.
  const std::vector<Component*>& Components() const { return components_; }
  // The owned component of that exact name, searched depth first through the owned tree.
  Component* FindComponent(std::string_view name) const;
  // FindComponent cast to T; null when missing or of another kind.
  template <class T>
  T* Find(std::string_view name) const {
    return dynamic_cast<T*>(FindComponent(name));
  }
  // The application the component belongs to (null for a free-standing one).
  Application* App() const { return app_; }
  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }

 protected:
  // A component without owner that belongs to `app` (forms).
  Component(Application& app, std::string name);
  // Tells the toolkit that `what` changed.
  void Notify(Property what);

 private:
  Component* owner_ = nullptr;
  Application* app_ = nullptr;
  std::string name_;
  std::vector<Component*> components_;
  int tag_ = 0;
};

// Something on screen: a place in a parent, bounds, visibility, text, colour and font.
class Control : public Component {
 public:
  // A control inside `parent`, which also owns it.
  explicit Control(WinControl& parent, std::string name = {});
  ~Control() override;

  WinControl* Parent() const { return parent_; }
  // Moves the control into another parent (null: none); the owner stays.
  void SetParent(WinControl* parent);
  // The form that holds the control (the control itself when it is a form); null when none.
  Form* ParentForm() const;

  int Left() const { return bounds_.left; }
  int Top() const { return bounds_.top; }
  int Width() const { return bounds_.Width(); }
  int Height() const { return bounds_.Height(); }
  void SetLeft(int left);
  void SetTop(int top);
  void SetWidth(int width);
  void SetHeight(int height);
  void SetBounds(int left, int top, int width, int height);
  // The bounds in the parent's client area.
  const Rect& BoundsRect() const { return bounds_; }
  // The area children are placed in: (0, 0, Width, Height), a form's without its frame.
  virtual Rect ClientRect() const { return {0, 0, Width(), Height()}; }
  // The bounds in the client area of the form that holds the control.
  Rect FormRect() const;

  AlignMode Align() const { return align_; }
  void SetAlign(AlignMode align);

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  // True when the control and all its parents are visible, up to a visible form.
  bool Showing() const;
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  // True when the user can reach it now: showing, and it and its parents are enabled.
  bool Actionable() const;

  // Caption and Text are one value (the window text), as in Windows.
  const std::string& Caption() const { return text_; }
  void SetCaption(std::string caption) { SetText(std::move(caption)); }
  const std::string& Text() const { return text_; }
  void SetText(std::string text);

  ColorRef Color() const { return color_; }
  void SetColor(ColorRef color);
  const TextFont& Font() const { return font_; }
  void SetFont(const TextFont& font);

  // The one path of a click, used by mouse, keyboard, scripts and tests: fires OnClick.
  virtual void Click();
  // A double click: fires OnDblClick.
  virtual void DblClick();
  // A key going down while this control has the focus: fires OnKeyDown (which may zero it).
  virtual void KeyDown(int& key);
  // A character typed while this control has the focus: fires OnKeyPress (may zero it).
  virtual void KeyPress(char& key);

  Event OnClick;
  Event OnDblClick;
  std::function<void(int& key)> OnKeyDown;
  std::function<void(char& key)> OnKeyPress;

 protected:
  // A control without parent: the form.
  Control(Application& app, std::string name);
  // Hooks run after the value was stored and the toolkit told.
  virtual void TextChanged() {}
  virtual void FontChanged() {}
  virtual void BoundsChanged() {}
  virtual void VisibleChanged() {}
  // Set without notifying (for constructors of derived controls).
  void InitColor(ColorRef color) { color_ = color; }
  void InitVisible(bool visible) { visible_ = visible; }

 private:
  friend class WinControl;
  WinControl* parent_ = nullptr;
  Rect bounds_;
  AlignMode align_ = AlignMode::None;
  bool visible_ = true;
  bool enabled_ = true;
  std::string text_;
  ColorRef color_ = kClBtnFace;
  TextFont font_;
};

// A control with a window of its own: holds child controls and can take the focus.
class WinControl : public Control {
 public:
  explicit WinControl(WinControl& parent, std::string name = {});
  ~WinControl() override;

  // The child controls, in creation (and tab and drawing) order.
  const std::vector<Control*>& Controls() const { return controls_; }
  // The control of that exact name among the children, searched depth first.
  Control* FindControl(std::string_view name) const;

  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool tabStop) { tabStop_ = tabStop; }
  // Where Tab visits this control among its parent's windowed children, from 0 (-1 without
  // a parent). It starts as the creation order, which a form may declare differently from
  // the order its keys should follow; setting it moves the control to that place (kept
  // within the list) and the others between up or down by one.
  int TabOrder() const;
  void SetTabOrder(int order);
  // The windowed children in tab order.
  const std::vector<WinControl*>& TabList() const { return tabList_; }
  // True when this control is the active control of its form.
  bool Focused() const;
  // True when the control can take the focus now (showing and enabled).
  bool CanFocus() const;
  // Makes this control the active control of its form.
  void SetFocus();
  // Places the aligned children again: top, bottom, left and right ones in order along the
  // edges of what is left, then the client ones in the rest.
  void Realign();

 protected:
  WinControl(Application& app, std::string name);
  void BoundsChanged() override { Realign(); }

 private:
  friend class Control;
  void InsertControl(Control& control);
  void RemoveControl(Control& control);
  std::vector<Control*> controls_;
  std::vector<WinControl*> tabList_;
  bool tabStop_ = false;
  bool aligning_ = false;
};

// A control without a window: it paints on its own canvas, which the toolkit presents on
// the parent's surface.
class GraphicControl : public Control {
 public:
  explicit GraphicControl(WinControl& parent, std::string name = {});

  // The control's canvas (as big as the control); drawing on it repaints the control.
  Canvas& Surface() { return canvas_; }
  // What the control shows: the canvas's bitmap.
  const Bitmap& Shown() const { return bitmap_; }
  // Paints the control now (calls Paint).
  void Repaint();
  // False when the parent shows through (a transparent label): nothing is drawn over it.
  virtual bool Opaque() const { return true; }

 protected:
  // Draws the control on its canvas; called by Repaint and whenever the size changes.
  virtual void Paint() {}
  void BoundsChanged() override;

 private:
  Bitmap bitmap_;
  Canvas canvas_;
};

}  // namespace forms
