// The standard controls: labels, edits, buttons, radio buttons, check boxes, panels,
// group boxes, list and combo boxes and the multi-line memo.
#pragma once

#include <string>
#include <vector>

#include "forms/Component.h"

namespace forms {

// Horizontal placement of a text.
enum class TextAlignment { Left, Right, Center };

// A text painted by its parent.
class Label : public GraphicControl {
 public:
  explicit Label(WinControl& parent, std::string name = {});
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool transparent);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool wordWrap);
  TextAlignment Alignment() const { return alignment_; }
  void SetAlignment(TextAlignment alignment);
  // With AutoSize (on by default) the label takes the size of its text whenever its text,
  // font, word wrap or AutoSize changes, as far as the toolkit can measure text: the width
  // and height of one line, or with WordWrap the height of the lines at its width. A
  // right-aligned label keeps its right edge, any other its left.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool autoSize);
  bool Opaque() const override { return !transparent_; }

 protected:
  // Fills the label with its colour; the toolkit draws the text.
  void Paint() override;
  void TextChanged() override { AdjustBounds(); }
  void FontChanged() override { AdjustBounds(); }

 private:
  // Fits the bounds to the text when AutoSize asks for it.
  void AdjustBounds();

  bool transparent_ = false;
  bool wordWrap_ = false;
  bool autoSize_ = true;
  TextAlignment alignment_ = TextAlignment::Left;
};

// A single-line text field. Its Text is Control::Text; OnChange fires at every change.
class Edit : public WinControl {
 public:
  explicit Edit(WinControl& parent, std::string name = {});
  // The most characters the user may type (0: no limit); SetText is not limited.
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int maxLength);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly);
  // The selected part of the text: start and length in bytes, kept within the text.
  int SelStart() const { return selStart_; }
  int SelLength() const { return selLength_; }
  void SetSelection(int start, int length);
  // Selects the whole text.
  void SelectAll() { SetSelection(0, static_cast<int>(Text().size())); }
  Event OnChange;

 protected:
  void TextChanged() override;

 private:
  int maxLength_ = 0;
  bool readOnly_ = false;
  int selStart_ = 0;
  int selLength_ = 0;
};

// A push button; Click sets the form's ModalResult to the button's (when not kMrNone) and
// then fires OnClick.
class Button : public WinControl {
 public:
  explicit Button(WinControl& parent, std::string name = {});
  ~Button() override;
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int result) { modalResult_ = result; }
  // True when the button is its form's cancel (Esc) button; setting makes it so.
  bool Cancel() const;
  void SetCancel(bool cancel);
  // True when the button is its form's default (Enter) button; setting makes it so.
  bool Default() const;
  void SetDefault(bool isDefault);
  void Click() override;

 private:
  int modalResult_ = 0;
};

// A round choice button; checking one unchecks the other radio buttons of the same parent.
class RadioButton : public WinControl {
 public:
  explicit RadioButton(WinControl& parent, std::string name = {});
  bool Checked() const { return checked_; }
  // Checking fires OnClick (as a user's click does); unchecking fires nothing.
  void SetChecked(bool checked);
  // Checks the button: OnClick fires when it was not checked yet.
  void Click() override;

 private:
  bool checked_ = false;
};

// A square yes/no box; Click toggles it.
class CheckBox : public WinControl {
 public:
  explicit CheckBox(WinControl& parent, std::string name = {});
  bool Checked() const { return checked_; }
  // Fires OnClick when the state changes.
  void SetChecked(bool checked);
  void Click() override;

 private:
  bool checked_ = false;
};

// The edges of a panel.
enum class Bevel { None, Lowered, Raised };

// A container with a colour, an optional caption and bevelled edges.
class Panel : public WinControl {
 public:
  explicit Panel(WinControl& parent, std::string name = {});
  Bevel BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(Bevel bevel);
  Bevel BevelInner() const { return bevelInner_; }
  void SetBevelInner(Bevel bevel);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int width);
  TextAlignment Alignment() const { return alignment_; }
  void SetAlignment(TextAlignment alignment);

 private:
  Bevel bevelOuter_ = Bevel::Raised;
  Bevel bevelInner_ = Bevel::None;
  int bevelWidth_ = 1;
  TextAlignment alignment_ = TextAlignment::Center;
};

// A framed container with a caption.
class GroupBox : public WinControl {
 public:
  explicit GroupBox(WinControl& parent, std::string name = {});
};

// A list of text entries with at most one selected.
class ListBox : public WinControl {
 public:
  explicit ListBox(WinControl& parent, std::string name = {});
  const std::vector<std::string>& Items() const { return items_; }
  int Count() const { return static_cast<int>(items_.size()); }
  // Replaces the entries; the selection is cleared.
  void SetItems(std::vector<std::string> items);
  void AddItem(std::string item);
  void Clear();
  // The selected entry: -1 for none.
  int ItemIndex() const { return itemIndex_; }
  // Selects an entry (an index outside the list selects none); fires OnChange.
  void SetItemIndex(int index);
  // The selected entry's text, empty when none is selected.
  std::string SelectedText() const;
  // Fired when the selection changes (by program or user); a user's click then fires
  // OnClick as well.
  Event OnChange;

 private:
  std::vector<std::string> items_;
  int itemIndex_ = -1;
};

// How a combo box takes its text.
enum class ComboStyle { DropDown, DropDownList };

// An edit with a drop-down list. In the DropDownList style the text is always the selected
// entry (empty when none).
class ComboBox : public WinControl {
 public:
  explicit ComboBox(WinControl& parent, std::string name = {});
  ComboStyle Style() const { return style_; }
  void SetStyle(ComboStyle style);
  const std::vector<std::string>& Items() const { return items_; }
  int Count() const { return static_cast<int>(items_.size()); }
  void SetItems(std::vector<std::string> items);
  void AddItem(std::string item);
  // Removes all entries and empties the text.
  void Clear();
  int ItemIndex() const { return itemIndex_; }
  // Selects an entry and takes its text (an index outside the list selects none and, in
  // the DropDownList style, empties the text); fires OnChange when the selection changed.
  void SetItemIndex(int index);
  Event OnChange;

 protected:
  void TextChanged() override;

 private:
  std::vector<std::string> items_;
  int itemIndex_ = -1;
  ComboStyle style_ = ComboStyle::DropDown;
  bool selecting_ = false;
};

// Which scroll bars a memo shows.
enum class ScrollBars { None, Horizontal, Vertical, Both };

// A multi-line text field; Text is the lines joined, each ended by "\r\n".
class Memo : public WinControl {
 public:
  explicit Memo(WinControl& parent, std::string name = {});
  const std::vector<std::string>& Lines() const { return lines_; }
  void SetLines(std::vector<std::string> lines);
  void AddLine(std::string line);
  void Clear();
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool wordWrap);
  ScrollBars ScrollBarsShown() const { return scrollBars_; }
  void SetScrollBars(ScrollBars scrollBars);
  int SelStart() const { return selStart_; }
  int SelLength() const { return selLength_; }
  void SetSelection(int start, int length);
  Event OnChange;

 protected:
  void TextChanged() override;

 private:
  std::vector<std::string> lines_;
  bool readOnly_ = false;
  bool wordWrap_ = true;
  ScrollBars scrollBars_ = ScrollBars::None;
  int selStart_ = 0;
  int selLength_ = 0;
  bool syncing_ = false;
};

}  // namespace forms
