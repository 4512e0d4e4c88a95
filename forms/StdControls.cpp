#include "forms/StdControls.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "forms/Application.h"
#include "forms/Form.h"

namespace forms {

Label::Label(WinControl& parent, std::string name) : GraphicControl(parent, std::move(name)) {
  InitColor(parent.Color());
}

void Label::SetTransparent(bool transparent) {
  if (transparent == transparent_) return;
  transparent_ = transparent;
  Repaint();
}

void Label::SetWordWrap(bool wordWrap) {
  if (wordWrap == wordWrap_) return;
  wordWrap_ = wordWrap;
  Notify(Property::Style);
  AdjustBounds();
}

void Label::SetAlignment(TextAlignment alignment) {
  if (alignment == alignment_) return;
  alignment_ = alignment;
  Notify(Property::Style);
}

void Label::SetAutoSize(bool autoSize) {
  if (autoSize == autoSize_) return;
  autoSize_ = autoSize;
  Notify(Property::Style);
  AdjustBounds();
}

void Label::AdjustBounds() {
  if (!autoSize_ || App() == nullptr) return;
  // An empty label keeps the height of a line: a blank is measured in its place.
  const std::string_view text = Caption().empty() ? std::string_view(" ") : Caption();
  const std::optional<Size> size =
      App()->GetToolkit().MeasureText(Font(), text, wordWrap_ ? std::max(Width(), 1) : 0);
  if (!size) return;
  const int width = wordWrap_ ? Width() : size->width;
  const int left = alignment_ == TextAlignment::Right ? Left() + Width() - width : Left();
  SetBounds(left, Top(), width, size->height);
}

void Label::Paint() {
  Surface().SetBrushColor(Color());
  Surface().FillRect(ClientRect());
}

Edit::Edit(WinControl& parent, std::string name) : WinControl(parent, std::move(name)) {
  InitColor(kClWindow);
  SetTabStop(true);
}

void Edit::SetMaxLength(int maxLength) {
  maxLength = std::max(maxLength, 0);
  if (maxLength == maxLength_) return;
  maxLength_ = maxLength;
  Notify(Property::Style);
}

void Edit::SetReadOnly(bool readOnly) {
  if (readOnly == readOnly_) return;
  readOnly_ = readOnly;
  Notify(Property::ReadOnly);
}

void Edit::SetSelection(int start, int length) {
  int size = static_cast<int>(Text().size());
  start = std::clamp(start, 0, size);
  length = std::clamp(length, 0, size - start);
  if (start == selStart_ && length == selLength_) return;
  selStart_ = start;
  selLength_ = length;
  Notify(Property::Selection);
}

void Edit::TextChanged() {
  // A new text puts the caret at its end, as typing does.
  selStart_ = static_cast<int>(Text().size());
  selLength_ = 0;
  if (OnChange) OnChange();
}

Button::Button(WinControl& parent, std::string name) : WinControl(parent, std::move(name)) {
  SetTabStop(true);
}

Button::~Button() {
  if (Form* form = ParentForm()) {
    if (form->CancelButton() == this) form->SetCancelButton(nullptr);
    if (form->DefaultButton() == this) form->SetDefaultButton(nullptr);
  }
}

bool Button::Cancel() const {
  Form* form = ParentForm();
  return form && form->CancelButton() == this;
}

void Button::SetCancel(bool cancel) {
  Form* form = ParentForm();
  if (!form) return;
  if (cancel)
    form->SetCancelButton(this);
  else if (form->CancelButton() == this)
    form->SetCancelButton(nullptr);
}

bool Button::Default() const {
  Form* form = ParentForm();
  return form && form->DefaultButton() == this;
}

void Button::SetDefault(bool isDefault) {
  Form* form = ParentForm();
  if (!form) return;
  if (isDefault)
    form->SetDefaultButton(this);
  else if (form->DefaultButton() == this)
    form->SetDefaultButton(nullptr);
  Notify(Property::Style);
}

void Button::Click() {
  if (Form* form = ParentForm(); form && modalResult_ != kMrNone)
    form->SetModalResult(modalResult_);
  Control::Click();
}

RadioButton::RadioButton(WinControl& parent, std::string name)
    : WinControl(parent, std::move(name)) {
  SetTabStop(true);
}

void RadioButton::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  Notify(Property::Checked);
  if (!checked) return;
  if (WinControl* group = Parent()) {
    for (Control* sibling : group->Controls()) {
      auto* other = dynamic_cast<RadioButton*>(sibling);
      if (!other || other == this || !other->checked_) continue;
      other->checked_ = false;
      other->Notify(Property::Checked);
    }
  }
  Control::Click();
}

void RadioButton::Click() {
  SetChecked(true);
}

CheckBox::CheckBox(WinControl& parent, std::string name) : WinControl(parent, std::move(name)) {
  SetTabStop(true);
}

void CheckBox::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  Notify(Property::Checked);
  Control::Click();
}

void CheckBox::Click() {
  SetChecked(!checked_);
}

Panel::Panel(WinControl& parent, std::string name) : WinControl(parent, std::move(name)) {}

void Panel::SetBevelOuter(Bevel bevel) {
  if (bevel == bevelOuter_) return;
  bevelOuter_ = bevel;
  Notify(Property::Style);
}

void Panel::SetBevelInner(Bevel bevel) {
  if (bevel == bevelInner_) return;
  bevelInner_ = bevel;
  Notify(Property::Style);
}

void Panel::SetBevelWidth(int width) {
  if (width == bevelWidth_) return;
  bevelWidth_ = width;
  Notify(Property::Style);
}

void Panel::SetAlignment(TextAlignment alignment) {
  if (alignment == alignment_) return;
  alignment_ = alignment;
  Notify(Property::Style);
}

GroupBox::GroupBox(WinControl& parent, std::string name) : WinControl(parent, std::move(name)) {}

ListBox::ListBox(WinControl& parent, std::string name) : WinControl(parent, std::move(name)) {
  InitColor(kClWindow);
  SetTabStop(true);
}

void ListBox::SetItems(std::vector<std::string> items) {
  int previous = itemIndex_;
  items_ = std::move(items);
  itemIndex_ = -1;
  Notify(Property::Items);
  if (previous != -1 && OnChange) OnChange();
}

void ListBox::AddItem(std::string item) {
  items_.push_back(std::move(item));
  Notify(Property::Items);
}

void ListBox::Clear() {
  SetItems({});
}

void ListBox::SetItemIndex(int index) {
  if (index < 0 || index >= Count()) index = -1;
  if (index == itemIndex_) return;
  itemIndex_ = index;
  Notify(Property::ItemIndex);
  if (OnChange) OnChange();
}

std::string ListBox::SelectedText() const {
  return itemIndex_ >= 0 ? items_[static_cast<std::size_t>(itemIndex_)] : std::string();
}

ComboBox::ComboBox(WinControl& parent, std::string name) : WinControl(parent, std::move(name)) {
  InitColor(kClWindow);
  SetTabStop(true);
}

void ComboBox::SetStyle(ComboStyle style) {
  if (style == style_) return;
  style_ = style;
  Notify(Property::Style);
  if (style_ == ComboStyle::DropDownList && itemIndex_ < 0) SetText({});
}

void ComboBox::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  bool hadSelection = itemIndex_ != -1;
  itemIndex_ = -1;
  Notify(Property::Items);
  selecting_ = true;
  if (style_ == ComboStyle::DropDownList) SetText({});
  selecting_ = false;
  if (hadSelection && OnChange) OnChange();
}

void ComboBox::AddItem(std::string item) {
  items_.push_back(std::move(item));
  Notify(Property::Items);
}

void ComboBox::Clear() {
  SetItems({});
  selecting_ = true;
  SetText({});
  selecting_ = false;
}

void ComboBox::SetItemIndex(int index) {
  if (index < 0 || index >= Count()) index = -1;
  if (index == itemIndex_) return;
  itemIndex_ = index;
  Notify(Property::ItemIndex);
  selecting_ = true;
  if (index >= 0)
    SetText(items_[static_cast<std::size_t>(index)]);
  else if (style_ == ComboStyle::DropDownList)
    SetText({});
  selecting_ = false;
  if (OnChange) OnChange();
}

void ComboBox::TextChanged() {
  if (selecting_) return;
  auto found = std::find(items_.begin(), items_.end(), Text());
  int index = found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
  if (style_ == ComboStyle::DropDownList) {
    // A list that cannot be typed in takes a text only as the choice of an entry.
    itemIndex_ = index;
    Notify(Property::ItemIndex);
    if (index < 0) {
      selecting_ = true;
      SetText({});
      selecting_ = false;
    }
  } else if (itemIndex_ >= 0 && items_[static_cast<std::size_t>(itemIndex_)] != Text()) {
    itemIndex_ = -1;
    Notify(Property::ItemIndex);
  }
  if (OnChange) OnChange();
}

namespace {

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

}  // namespace

Memo::Memo(WinControl& parent, std::string name) : WinControl(parent, std::move(name)) {
  InitColor(kClWindow);
  SetTabStop(true);
}

void Memo::SetLines(std::vector<std::string> lines) {
  std::string text = JoinLines(lines);
  bool itemsChanged = lines != lines_;
  lines_ = std::move(lines);
  if (itemsChanged) Notify(Property::Items);
  if (text == Text()) return;
  syncing_ = true;
  SetText(std::move(text));
  syncing_ = false;
  selStart_ = selLength_ = 0;
  if (OnChange) OnChange();
}

void Memo::AddLine(std::string line) {
  std::vector<std::string> lines = lines_;
  lines.push_back(std::move(line));
  SetLines(std::move(lines));
}

void Memo::Clear() {
  SetLines({});
}

void Memo::SetReadOnly(bool readOnly) {
  if (readOnly == readOnly_) return;
  readOnly_ = readOnly;
  Notify(Property::ReadOnly);
}

void Memo::SetWordWrap(bool wordWrap) {
  if (wordWrap == wordWrap_) return;
  wordWrap_ = wordWrap;
  Notify(Property::Style);
}

void Memo::SetScrollBars(ScrollBars scrollBars) {
  if (scrollBars == scrollBars_) return;
  scrollBars_ = scrollBars;
  Notify(Property::Style);
}

void Memo::SetSelection(int start, int length) {
  int size = static_cast<int>(Text().size());
  start = std::clamp(start, 0, size);
  length = std::clamp(length, 0, size - start);
  if (start == selStart_ && length == selLength_) return;
  selStart_ = start;
  selLength_ = length;
  Notify(Property::Selection);
}

void Memo::TextChanged() {
  if (syncing_) return;
  lines_ = SplitLines(Text());
  Notify(Property::Items);
  selStart_ = selLength_ = 0;
  if (OnChange) OnChange();
}

}  // namespace forms
