// The generic user that answers what the scripted actions do not: which reply a message
// box gets, which control of a form it acts on, and that its limit still ends a run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/MessageBox.h"
#include "forms/StdControls.h"
#include "forms/headless/Answers.h"
#include "forms/headless/HeadlessToolkit.h"

namespace forms {
namespace {

using headless::DefaultAnswers;
using headless::HeadlessToolkit;
using headless::ScriptStopped;

DefaultAnswers Limit(std::size_t limit, std::vector<std::string> preferred = {}) {
  DefaultAnswers answers;
  answers.limit = limit;
  answers.preferred = std::move(preferred);
  return answers;
}

struct ReplyCase {
  unsigned buttons;
  int expected;
  const char* line;
};

TEST(DefaultAnswers, MessageBoxGetsAnAnswerThatGoesOnWithoutRetry) {
  const ReplyCase cases[] = {
      {kMbOk, kIdOk, "default reply OK"},
      {kMbOkCancel, kIdOk, "default reply OK"},
      {kMbAbortRetryIgnore, kIdIgnore, "default reply IGNORE"},
      {kMbYesNo, kIdYes, "default reply YES"},
      {kMbYesNoCancel, kIdYes, "default reply YES"},
      {kMbRetryCancel, kIdCancel, "default reply CANCEL"},
  };
  for (const ReplyCase& c : cases) {
    HeadlessToolkit toolkit;
    toolkit.SetDefaultAnswers(Limit(1));
    Application app(toolkit);
    EXPECT_EQ(app.MessageBox("text", "caption", c.buttons), c.expected) << ButtonsName(c.buttons);
    EXPECT_EQ(toolkit.Transcript().back(), c.line) << ButtonsName(c.buttons);
  }
}

TEST(DefaultAnswers, AnActionThatDoesNotFitIsKeptForLater) {
  HeadlessToolkit toolkit(headless::ParseAnswers("click ok\n"));
  toolkit.SetDefaultAnswers(Limit(1));
  Application app(toolkit);
  EXPECT_EQ(app.MessageBox("text", "caption", kMbYesNo), kIdYes);
  EXPECT_EQ(toolkit.RemainingActions(), 1u);
  // Without the mode the same box stops the run.
  HeadlessToolkit strict(headless::ParseAnswers("click ok\n"));
  Application strictApp(strict);
  try {
    strictApp.MessageBox("text", "caption", kMbYesNo);
    ADD_FAILURE() << "a box no action fits did not stop the run";
  } catch (const ScriptStopped& stopped) {
    EXPECT_EQ(stopped.Code(), 2);
  }
}

// A dialog whose buttons the cases switch on and off; a press ends it with the button's
// tag as the result.
class Choices : public Form {
 public:
  explicit Choices(Application& app) : Form(app, "TChoices") {
    int tag = 10;
    for (Button* button : {&back, &next, &help, &cancel}) {
      button->SetModalResult(tag++);
      button->SetVisible(false);
    }
    cancel.SetCancel(true);
    name.SetVisible(false);
  }
  Button back{*this, "back"};
  Button next{*this, "next"};
  Button help{*this, "help"};
  Button cancel{*this, "cancel"};
  Edit name{*this, "name"};
};

struct FormCase {
  const char* name;
  std::vector<const char*> shown;  // controls made visible
  const char* defaultButton;       // null: none
  std::vector<std::string> preferred;
  std::vector<std::string> expectedLines;
  int expectedResult;
};

TEST(DefaultAnswers, FormGetsItsEmptyEditFilledThenTheMostLikelyButtonPressed) {
  const FormCase cases[] = {
      {"last button that is not the cancel button",
       {"back", "next", "cancel"},
       nullptr,
       {},
       {"default click next"},
       11},
      {"preferred button first",
       {"back", "next", "help", "cancel"},
       nullptr,
       {"missing", "back"},
       {"default click back"},
       10},
      {"hidden preferred button is passed over",
       {"next", "help"},
       nullptr,
       {"back"},
       {"default click help"},
       12},
      {"default button before the others",
       {"back", "next", "help"},
       "back",
       {},
       {"default click back"},
       10},
      {"only the cancel button", {"cancel"}, nullptr, {}, {"default click cancel"}, 13},
      {"no button: the form is closed", {}, nullptr, {}, {"default close"}, kMrCancel},
      {"empty edit filled first",
       {"name", "next", "cancel"},
       nullptr,
       {},
       {"default type name User", "default click next"},
       11},
  };
  for (const FormCase& c : cases) {
    HeadlessToolkit toolkit;
    toolkit.SetDefaultAnswers(Limit(5, c.preferred));
    Application app(toolkit);
    Choices& form = app.CreateForm<Choices>();
    for (const char* shown : c.shown) form.FindControl(shown)->SetVisible(true);
    if (c.defaultButton)
      form.SetDefaultButton(dynamic_cast<Button*>(form.FindControl(c.defaultButton)));
    EXPECT_EQ(form.ShowModal(), c.expectedResult) << c.name;
    std::vector<std::string> lines = toolkit.Transcript();
    lines.erase(lines.begin());  // the "modal" line
    EXPECT_EQ(lines, c.expectedLines) << c.name;
    if (!form.name.Visible()) continue;
    EXPECT_EQ(form.name.Text(), "User") << c.name;
  }
}

TEST(DefaultAnswers, TheLimitEndsARunThatNeverCloses) {
  HeadlessToolkit toolkit;
  toolkit.SetDefaultAnswers(Limit(3));
  Application app(toolkit);
  Choices& form = app.CreateForm<Choices>();
  form.next.SetModalResult(kMrNone);  // pressing it changes nothing
  form.next.SetVisible(true);
  try {
    form.ShowModal();
    ADD_FAILURE() << "the run went on past the limit";
  } catch (const ScriptStopped& stopped) {
    EXPECT_EQ(stopped.Code(), 3);
  }
  EXPECT_EQ(toolkit.DefaultAnswersUsed(), 3u);
}

}  // namespace
}  // namespace forms
