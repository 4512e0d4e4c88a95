#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/ExtControls.h"
#include "forms/StdControls.h"
#include "forms/headless/Answers.h"
#include "tests/forms/TestSupport.h"

namespace forms {
namespace {

using headless::ParseAnswers;

// A dialog with the usual buttons; `log` collects what its handlers saw.
class Dialog : public Form {
 public:
  Dialog(Application& app, std::string className, std::vector<std::string>* log)
      : Form(app, std::move(className)) {
    SetCaption("Dialog");
    ok.SetModalResult(kMrOk);
    cancel.SetCancel(true);
    cancel.OnClick = [this] { Close(); };
    OnCloseQuery = [this, log](bool& canClose) {
      log->push_back(ClassName() + " query");
      canClose = allowClose;
    };
    OnClose = [this, log](CloseAction& action) {
      log->push_back(ClassName() + " close");
      action = closeAction;
    };
    OnActivate = [this, log] { log->push_back(ClassName() + " activate"); };
  }
  Button ok{*this, "ok"};
  Button cancel{*this, "cancel"};
  Edit name{*this, "name"};
  bool allowClose = true;
  CloseAction closeAction = CloseAction::Hide;
};

class FormTest : public ::testing::Test {
 protected:
  void Answer(std::string_view text) { toolkit.AddActions(ParseAnswers(text)); }
  std::vector<std::string> log;
  testing::CountingToolkit toolkit;
  Application app{toolkit};
  Dialog& main = app.CreateForm<Dialog>("TMain", &log);
  Dialog& dialog = app.CreateForm<Dialog>("TDialog", &log);
};

struct ModalEndCase {
  const char* name;
  const char* answers;
  int expected;
};

TEST_F(FormTest, ShowModalEndsByResultButtonEscCloseAndTerminate) {
  const ModalEndCase cases[] = {
      {"button with a modal result", "click ok\n", kMrOk},
      {"cancel button by click", "click cancel\n", kMrCancel},
      {"Esc presses the cancel button", "key esc\n", kMrCancel},
      {"title-bar close", "close\n", kMrCancel},
  };
  for (const ModalEndCase& c : cases) {
    Answer(c.answers);
    EXPECT_EQ(dialog.ShowModal(), c.expected) << c.name;
    EXPECT_FALSE(dialog.Visible()) << c.name;
    EXPECT_FALSE(dialog.Modal()) << c.name;
    EXPECT_TRUE(app.ModalForms().empty()) << c.name;
  }
  EXPECT_EQ(toolkit.Transcript().size(), 4u);
  EXPECT_EQ(toolkit.Transcript()[0], "modal TDialog \"Dialog\"");
}

TEST_F(FormTest, RefusedCloseKeepsTheModalLoopRunning) {
  dialog.allowClose = false;
  dialog.OnCloseQuery = [&](bool& canClose) {
    log.push_back("query");
    canClose = dialog.allowClose;
    dialog.allowClose = true;  // refuse once only
  };
  Answer("key esc\nclick ok\n");
  EXPECT_EQ(dialog.ShowModal(), kMrOk);
  EXPECT_EQ(std::count(log.begin(), log.end(), "query"), 2);
  EXPECT_EQ(toolkit.RemainingActions(), 0u);
}

TEST_F(FormTest, CloseActionNoneRefusesAndFreeReleasesTheForm) {
  dialog.closeAction = CloseAction::None;
  dialog.ok.OnClick = [&] { dialog.closeAction = CloseAction::Free; };
  Answer("click cancel\nclick ok\n");
  EXPECT_EQ(dialog.ShowModal(), kMrOk);
  EXPECT_TRUE(dialog.Released());
  bool destroyed = false;
  dialog.OnDestroy = [&] { destroyed = true; };
  app.ProcessMessages();
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(app.FindForm("TDialog"), nullptr);
}

TEST_F(FormTest, TerminateEndsEveryModalLoopWithCancel) {
  Dialog inner(app, "TInner", &log);
  inner.ok.OnClick = [&] { app.Terminate(); };
  dialog.ok.SetModalResult(kMrNone);
  int innerResult = -1;
  dialog.ok.OnClick = [&] { innerResult = inner.ShowModal(); };
  Answer("click ok\nclick ok\n");
  EXPECT_EQ(dialog.ShowModal(), kMrCancel);
  EXPECT_EQ(innerResult, kMrCancel);
  EXPECT_TRUE(app.Terminated());
  // The quit request ends them without asking OnCloseQuery.
  EXPECT_EQ(std::count(log.begin(), log.end(), "TInner query"), 0);
  EXPECT_EQ(std::count(log.begin(), log.end(), "TDialog query"), 0);
  // Opened afterwards: cancelled at once, nothing shown or asked.
  EXPECT_EQ(dialog.ShowModal(), kMrCancel);
  EXPECT_EQ(app.MessageBox("x", "y", 0x4), 7);
  EXPECT_EQ(toolkit.Transcript(),
            (std::vector<std::string>{"modal TDialog \"Dialog\"", "modal TInner \"Dialog\""}));
}

TEST_F(FormTest, NestedModalFromCloseQueryReactivatesTheOuterForm) {
  // The wizard pattern: closing asks a confirmation dialog, which refuses or terminates.
  Dialog confirm(app, "TExitForm", &log);
  confirm.ok.SetModalResult(kMrNone);
  confirm.ok.OnClick = [&] { app.Terminate(); };
  dialog.OnCloseQuery = [&](bool& canClose) {
    confirm.ShowModal();
    canClose = false;
  };
  Answer("key esc\nclick cancel\nkey esc\nclick ok\n");
  log.clear();
  EXPECT_EQ(dialog.ShowModal(), kMrCancel);
  // Continue closes the confirmation through its own close protocol; End terminates,
  // which ends both loops without asking anyone.
  EXPECT_EQ(log, (std::vector<std::string>{"TDialog activate", "TExitForm activate",
                                           "TExitForm query", "TExitForm close", "TDialog activate",
                                           "TExitForm activate", "TDialog activate"}));
  EXPECT_EQ(toolkit.Transcript().size(), 3u);
}

TEST_F(FormTest, CloseOfModelessFormsAndTheMainForm) {
  dialog.Show();
  dialog.allowClose = false;
  dialog.Close();
  EXPECT_TRUE(dialog.Visible());
  dialog.allowClose = true;
  dialog.Close();
  EXPECT_FALSE(dialog.Visible());
  main.Show();
  main.Close();
  EXPECT_TRUE(app.Terminated());
}

TEST_F(FormTest, RunShowsTheMainFormUntilTerminated) {
  Timer timer(main, "RunTimer");
  timer.SetEnabled(false);
  timer.SetOnTimer([&] {
    timer.SetEnabled(false);
    main.Close();
  });
  main.OnActivate = [&] { timer.SetEnabled(true); };
  app.Run(main);
  EXPECT_TRUE(app.Terminated());
  EXPECT_EQ(toolkit.Now(), 1000u);
}

TEST_F(FormTest, KeysGoThroughPreviewControlAndDialogKeys) {
  std::string seen;
  dialog.name.OnKeyPress = [&](char& key) {
    seen += key == '\r' ? "enter " : "char ";
    if (key == '\r') dialog.ok.SetFocus();
  };
  dialog.Show();
  dialog.name.SetFocus();
  dialog.PressKey(kVkReturn);  // no default button: the edit sees the Enter
  EXPECT_EQ(seen, "enter ");
  EXPECT_TRUE(dialog.ok.Focused());
  dialog.PressKey(kVkReturn);  // on a button: Enter presses it
  EXPECT_EQ(dialog.ModalResult(), kMrOk);
  dialog.SetModalResult(kMrNone);

  dialog.SetKeyPreview(true);
  dialog.OnKeyDown = [&](int& key) {
    if (key == kVkEscape) key = 0;  // swallowed before the cancel button sees it
  };
  int cancels = 0;
  dialog.cancel.OnClick = [&] { ++cancels; };
  dialog.PressKey(kVkEscape);
  EXPECT_EQ(cancels, 0);
  dialog.OnKeyDown = nullptr;
  dialog.PressKey(kVkEscape);
  EXPECT_EQ(cancels, 1);
  dialog.cancel.SetEnabled(false);
  dialog.PressKey(kVkEscape);
  EXPECT_EQ(cancels, 1);

  dialog.name.SetFocus();
  dialog.PressKey(kVkTab);
  EXPECT_TRUE(dialog.ok.Focused());  // tab order: ok, (cancel disabled), name
}

// The names of the controls the focus visits from `form`'s first tab stop, one Tab at a time,
// until it comes round again.
std::string TabWalk(Form& form) {
  form.SetActiveControl(nullptr);
  std::string out;
  form.PressKey(kVkTab);
  const WinControl* first = form.ActiveControl();
  for (int step = 0; step < 20 && form.ActiveControl(); ++step) {
    out += (out.empty() ? "" : " ") + form.ActiveControl()->Name();
    form.PressKey(kVkTab);
    if (form.ActiveControl() == first) break;
  }
  return out;
}

TEST_F(FormTest, TabOrderMovesAControlAmongItsSiblingsAndTabFollowsIt) {
  Panel panel(dialog, "panel");
  Button a(panel, "a"), b(panel, "b"), c(panel, "c");
  Label between(panel, "label");  // windowless: never in the tab list
  Button d(panel, "d");
  for (Button* button : {&a, &b, &c, &d}) button->SetTabStop(true);
  dialog.name.SetTabStop(true);
  dialog.Show();
  EXPECT_EQ(TabWalk(dialog), "ok cancel name a b c d");  // creation order, containers in place
  EXPECT_EQ(d.TabOrder(), 3);

  d.SetTabOrder(0);  // the others move up by one
  EXPECT_EQ(TabWalk(dialog), "ok cancel name d a b c");
  EXPECT_EQ(a.TabOrder(), 1);
  a.SetTabOrder(99);  // kept within the list
  EXPECT_EQ(a.TabOrder(), 3);
  EXPECT_EQ(TabWalk(dialog), "ok cancel name d b c a");
  panel.SetTabOrder(0);  // the panel's buttons come first with it
  EXPECT_EQ(TabWalk(dialog), "d b c a ok cancel name");

  // A control that leaves its parent leaves its tab list; one that comes in goes last.
  b.SetParent(&dialog);
  EXPECT_EQ(TabWalk(dialog), "d c a ok cancel name b");
  b.SetParent(&panel);
  EXPECT_EQ(TabWalk(dialog), "d c a b ok cancel name");
  {
    Button e(panel, "e");
    e.SetTabStop(true);
    EXPECT_EQ(e.TabOrder(), 4);
  }
  EXPECT_EQ(TabWalk(dialog), "d c a b ok cancel name");
  EXPECT_EQ(panel.TabList().size(), 4u);
  EXPECT_EQ(dialog.TabOrder(), -1);  // a form has no parent
}

TEST_F(FormTest, ScreenCenterPlacesTheFrameOnShow) {
  dialog.SetBorderStyle(FormBorder::Dialog);
  dialog.SetClientSize(344, 182);
  dialog.SetPosition(FormPosition::ScreenCenter);
  dialog.Show();
  EXPECT_EQ(dialog.Width(), 350);
  EXPECT_EQ(dialog.ClientHeight(), 182);
  EXPECT_EQ(dialog.Left(), (1024 - 350) / 2);
  EXPECT_EQ(dialog.Top(), (768 - dialog.Height()) / 2);
}

}  // namespace
}  // namespace forms
