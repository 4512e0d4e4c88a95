#include "forms/win32/NativeControls.h"

#include <commctrl.h>

#include "forms/DirControls.h"
#include "forms/ExtControls.h"
#include "forms/StdControls.h"
#include "forms/win32/ControlIds.h"

namespace forms::win32 {
namespace {

DWORD ScrollBarStyle(ScrollBars bars) {
  switch (bars) {
    case ScrollBars::Horizontal:
      return WS_HSCROLL;
    case ScrollBars::Vertical:
      return WS_VSCROLL;
    case ScrollBars::Both:
      return WS_HSCROLL | WS_VSCROLL;
    case ScrollBars::None:
    default:
      return 0;
  }
}

void FillList(HWND window, const std::vector<std::string>& items, int index, bool combo) {
  SendMessageA(window, combo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
  for (const std::string& item : items)
    SendMessageA(window, combo ? CB_ADDSTRING : LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(item.c_str()));
  SendMessageA(window, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void SetTextIfChanged(HWND window, const std::string& text) {
  if (WindowText(window) != text) SetWindowTextA(window, text.c_str());
}

}  // namespace

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int got = GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return text;
}

NativeStyle StyleOf(const Control& control, NativeKind kind) {
  const DWORD child = WS_CHILD | WS_TABSTOP | WS_CLIPSIBLINGS;
  switch (kind) {
    case NativeKind::Edit:
      return {"EDIT", child | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case NativeKind::Memo: {
      const auto& memo = static_cast<const Memo&>(control);
      DWORD style = child | ES_MULTILINE | ES_AUTOVSCROLL | ScrollBarStyle(memo.ScrollBarsShown());
      if (!memo.WordWrap()) style |= ES_AUTOHSCROLL;
      return {"EDIT", style, WS_EX_CLIENTEDGE};
    }
    case NativeKind::Button: {
      const bool isDefault = static_cast<const Button&>(control).Default();
      return {"BUTTON", child | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0};
    }
    case NativeKind::RadioButton:
      return {"BUTTON", child | BS_RADIOBUTTON, 0};
    case NativeKind::CheckBox:
      return {"BUTTON", child | BS_CHECKBOX, 0};
    case NativeKind::ListBox: {
      // The directory tree is drawn by the toolkit (DirPainter), from the control's entries.
      const DWORD drawn =
          dynamic_cast<const DirectoryListBox*>(&control) ? LBS_OWNERDRAWFIXED | LBS_HASSTRINGS : 0;
      return {"LISTBOX", child | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | drawn,
              WS_EX_CLIENTEDGE};
    }
    case NativeKind::ComboBox: {
      const bool list = static_cast<const ComboBox&>(control).Style() == ComboStyle::DropDownList;
      const DWORD drawn =
          dynamic_cast<const DriveComboBox*>(&control) ? CBS_OWNERDRAWFIXED | CBS_HASSTRINGS : 0;
      return {
          "COMBOBOX",
          child | WS_VSCROLL | (list ? CBS_DROPDOWNLIST : CBS_DROPDOWN | CBS_AUTOHSCROLL) | drawn,
          0};
    }
    case NativeKind::Progress:
      return {PROGRESS_CLASSA, WS_CHILD | WS_CLIPSIBLINGS, 0};
    case NativeKind::None:
    default:
      return {};
  }
}

RECT PlaceOf(const Control& control, NativeKind kind) {
  const Rect r = control.FormRect();
  RECT place{r.left, r.top, r.right, r.bottom};
  // A combo box window is as high as its dropped list; its closed height follows the font.
  if (kind == NativeKind::ComboBox) place.bottom += 200;
  return place;
}

HWND CreateNative(const Control& control, NativeKind kind, HWND formWindow, HINSTANCE instance,
                  HFONT font) {
  const NativeStyle style = StyleOf(control, kind);
  const RECT place = PlaceOf(control, kind);
  const int id = ControlIdOf(control.Name());
  HWND window =
      CreateWindowExA(style.exStyle, style.className, "", style.style, place.left, place.top,
                      place.right - place.left, place.bottom - place.top, formWindow,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  if (!window) return nullptr;
  SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  for (Property what :
       {Property::Range, Property::Position, Property::Items, Property::Caption, Property::Checked,
        Property::ReadOnly, Property::Style, Property::Selection})
    ApplyProperty(window, control, kind, what);
  return window;
}

void ApplyProperty(HWND window, const Control& control, NativeKind kind, Property what) {
  switch (kind) {
    case NativeKind::Edit: {
      const auto& edit = static_cast<const Edit&>(control);
      if (what == Property::Caption) SetTextIfChanged(window, edit.Text());
      if (what == Property::ReadOnly) SendMessageA(window, EM_SETREADONLY, edit.ReadOnly(), 0);
      if (what == Property::Style) SendMessageA(window, EM_LIMITTEXT, edit.MaxLength(), 0);
      if (what == Property::Selection)
        SendMessageA(window, EM_SETSEL, edit.SelStart(), edit.SelStart() + edit.SelLength());
      break;
    }
    case NativeKind::Memo: {
      const auto& memo = static_cast<const Memo&>(control);
      if (what == Property::Caption) SetTextIfChanged(window, memo.Text());
      if (what == Property::ReadOnly) SendMessageA(window, EM_SETREADONLY, memo.ReadOnly(), 0);
      if (what == Property::Selection) {
        SendMessageA(window, EM_SETSEL, memo.SelStart(), memo.SelStart() + memo.SelLength());
        SendMessageA(window, EM_SCROLLCARET, 0, 0);
      }
      break;
    }
    case NativeKind::Button:
      if (what == Property::Caption) SetTextIfChanged(window, control.Caption());
      break;
    case NativeKind::RadioButton:
    case NativeKind::CheckBox: {
      if (what == Property::Caption) SetTextIfChanged(window, control.Caption());
      if (what == Property::Checked) {
        const bool checked = kind == NativeKind::RadioButton
                                 ? static_cast<const RadioButton&>(control).Checked()
                                 : static_cast<const CheckBox&>(control).Checked();
        SendMessageA(window, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
      }
      break;
    }
    case NativeKind::ListBox: {
      const auto& list = static_cast<const ListBox&>(control);
      if (what == Property::Items) FillList(window, list.Items(), list.ItemIndex(), false);
      if (what == Property::ItemIndex)
        SendMessageA(window, LB_SETCURSEL, static_cast<WPARAM>(list.ItemIndex()), 0);
      break;
    }
    case NativeKind::ComboBox: {
      const auto& combo = static_cast<const ComboBox&>(control);
      if (what == Property::Items) FillList(window, combo.Items(), combo.ItemIndex(), true);
      if (what == Property::ItemIndex)
        SendMessageA(window, CB_SETCURSEL, static_cast<WPARAM>(combo.ItemIndex()), 0);
      if (what == Property::Caption && combo.Style() == ComboStyle::DropDown)
        SetTextIfChanged(window, combo.Text());
      break;
    }
    case NativeKind::Progress: {
      const auto& bar = static_cast<const ProgressBar&>(control);
      const BarSteps steps = BarStepsOf(bar.Min(), bar.Max(), bar.Position());
      if (what == Property::Range)
        SendMessageA(window, PBM_SETRANGE, 0, MAKELPARAM(steps.min, steps.max));
      if (what == Property::Range || what == Property::Position)
        SendMessageA(window, PBM_SETPOS, steps.position, 0);
      break;
    }
    case NativeKind::None:
      break;
  }
}

void HandleNotification(HWND window, Control& control, NativeKind kind, int code) {
  switch (kind) {
    case NativeKind::Edit:
    case NativeKind::Memo:
      if (code == EN_CHANGE) {
        std::string text = WindowText(window);
        if (text != control.Text()) control.SetText(std::move(text));
      }
      break;
    case NativeKind::Button:
    case NativeKind::RadioButton:
    case NativeKind::CheckBox:
      if (code == BN_CLICKED) control.Click();
      break;
    case NativeKind::ListBox: {
      auto& list = static_cast<ListBox&>(control);
      if (code == LBN_SELCHANGE) {
        list.SetItemIndex(static_cast<int>(SendMessageA(window, LB_GETCURSEL, 0, 0)));
        list.Click();
      } else if (code == LBN_DBLCLK) {
        list.DblClick();
      }
      break;
    }
    case NativeKind::ComboBox: {
      auto& combo = static_cast<ComboBox&>(control);
      if (code == CBN_SELCHANGE)
        combo.SetItemIndex(static_cast<int>(SendMessageA(window, CB_GETCURSEL, 0, 0)));
      else if (code == CBN_EDITCHANGE)
        combo.SetText(WindowText(window));
      break;
    }
    case NativeKind::Progress:
    case NativeKind::None:
      break;
  }
}

}  // namespace forms::win32
