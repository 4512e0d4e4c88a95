// A top-level window: shown, hidden, run modally and closed, with the close protocol
// (OnCloseQuery may refuse, OnClose picks what closing does), the cancel and default
// buttons, the active control and the keyboard path.
#pragma once

#include <functional>
#include <string>

#include "forms/Component.h"

namespace forms {

class Button;

// The frame of a form.
enum class FormBorder { None, Dialog, ToolWindow, Sizeable };
// Where a form is put when it is shown.
enum class FormPosition { Designed, Default, ScreenCenter };
// The buttons of a form's title bar.
struct BorderIconSet {
  bool systemMenu = true;  // the system menu, and with it the close box
  bool help = false;       // the help button beside the close box (only with the system menu)
  friend bool operator==(const BorderIconSet&, const BorderIconSet&) = default;
};
// What closing a form does (chosen by OnClose).
enum class CloseAction { None, Hide, Free };

// Modal results: the same numbers as the message-box answers.
constexpr int kMrNone = 0;
constexpr int kMrOk = 1;
constexpr int kMrCancel = 2;
constexpr int kMrAbort = 3;
constexpr int kMrRetry = 4;
constexpr int kMrIgnore = 5;
constexpr int kMrYes = 6;
constexpr int kMrNo = 7;

class Form : public WinControl {
 public:
  // A hidden form of `app`; `className` names it in transcripts (e.g. "TExitForm").
  Form(Application& app, std::string className);
  ~Form() override;

  const std::string& ClassName() const { return className_; }

  FormBorder BorderStyle() const { return border_; }
  void SetBorderStyle(FormBorder border);
  // What the title bar offers besides the caption; a form without a title bar shows none.
  BorderIconSet BorderIcons() const { return icons_; }
  void SetBorderIcons(BorderIconSet icons);
  FormPosition Position() const { return position_; }
  void SetPosition(FormPosition position) { position_ = position; }
  bool StayOnTop() const { return stayOnTop_; }
  void SetStayOnTop(bool stayOnTop);
  // The client area: Width and Height without the frame of the border style.
  int ClientWidth() const;
  int ClientHeight() const;
  void SetClientSize(int width, int height);
  Rect ClientRect() const override;

  // Makes the form visible, puts it in front and makes it the active form.
  void Show();
  // Makes the form invisible; the next visible form becomes active.
  void Hide() { SetVisible(false); }
  // Shows the form and runs a modal loop until ModalResult is set (and the close is not
  // refused) or the application terminates (then kMrCancel); hides it again and returns
  // the result. After Terminate it returns kMrCancel at once without showing the form.
  int ShowModal();
  // True while ShowModal runs for this form.
  bool Modal() const { return modal_; }
  int ModalResult() const { return modalResult_; }
  // Setting a result other than kMrNone ends the modal loop (through the close protocol).
  void SetModalResult(int result) { modalResult_ = result; }

  // A close request: a modal form gets ModalResult kMrCancel and closes in its loop; any
  // other form asks OnCloseQuery, then OnClose (default action Hide) and acts on it;
  // closing the main form terminates the application.
  void Close();
  // Asks OnCloseQuery; true when the form may close.
  bool CloseQuery();
  // Frees the form at the next message processing when the application owns it;
  // otherwise only hides it. Released() tells which forms were released.
  void Release();
  bool Released() const { return released_; }

  // The button pressed by Esc, and the one pressed by Enter when the focus is not on a
  // button. Button::SetCancel and Button::SetDefault set these as well.
  Button* CancelButton() const { return cancelButton_; }
  void SetCancelButton(Button* button) { cancelButton_ = button; }
  Button* DefaultButton() const { return defaultButton_; }
  void SetDefaultButton(Button* button) { defaultButton_ = button; }

  // The control with the focus (null for none).
  WinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(WinControl* control);
  // Moves the focus to the next (or previous) tab stop, wrapping around.
  void SelectNext(bool forward = true);
  // True when this is the application's active form.
  bool Active() const;

  // With KeyPreview the form's OnKeyDown and OnKeyPress see keys before the active control.
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool keyPreview) { keyPreview_ = keyPreview; }
  // The keyboard path of one key press: the form's OnKeyDown (with KeyPreview), the active
  // control's OnKeyDown, then the dialog keys (Esc presses the cancel button, Enter the
  // focused or default button, Tab moves the focus), and otherwise the character (Enter
  // "\r", Esc "\x1b") to the OnKeyPress handlers.
  void PressKey(int key);

  // What the client area shows: the colours of the form and its panels with the canvases of
  // the windowless controls drawn over them in creation order.
  Bitmap RenderClient() const;

  Event OnCreate;
  Event OnShow;
  Event OnHide;
  Event OnActivate;
  Event OnDeactivate;
  Event OnDestroy;
  std::function<void(bool& canClose)> OnCloseQuery;
  std::function<void(CloseAction& action)> OnClose;

 protected:
  void VisibleChanged() override;

 private:
  friend class Application;
  void CloseModal();
  void PlaceOnScreen();
  std::string className_;
  FormBorder border_ = FormBorder::Sizeable;
  BorderIconSet icons_;
  FormPosition position_ = FormPosition::Designed;
  bool stayOnTop_ = false;
  bool modal_ = false;
  bool keyPreview_ = false;
  bool released_ = false;
  int modalResult_ = kMrNone;
  Button* cancelButton_ = nullptr;
  Button* defaultButton_ = nullptr;
  WinControl* activeControl_ = nullptr;
};

// The width and height that the frame of a border style adds to the client area.
struct FrameSize {
  int width = 0;
  int height = 0;
};
FrameSize FrameOf(FormBorder border);

}  // namespace forms
