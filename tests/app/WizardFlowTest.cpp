// The wizard's pages, steps, checks and close requests, as the transcript shows them.
#include <gtest/gtest.h>

#include "tests/support/SetupHarness.h"
#include "wizard/BackNext.h"

namespace {

using testing_support::Joined;
using testing_support::SetupHarness;

const std::vector<std::string> kScript = {"CAPTION=Demo", "INSTTO=C:\\Demo",
                                          "LANG=English,en.dl_,demo.lng",
                                          "LANG=Deutsch,de.dl_,demo.lng"};

// The page lines of a transcript, in order, as their codes.
std::vector<int> Pages(const std::vector<std::string>& transcript) {
  std::vector<int> pages;
  for (const std::string& line : transcript)
    if (line.rfind("page ", 0) == 0) pages.push_back(std::stoi(line.substr(5)));
  return pages;
}

TEST(WizardFlow, NextAndPreviousFollowTheSteps) {
  SetupHarness setup;
  setup.SetScript(kScript);
  const auto run = setup.Run(
      "click nextBut\nclick nextBut\ntype PageBEdit1 Jan\ntype PageBEdit2 Firm\n"
      "click nextBut\nclick nextBut\n"                                // 21 -> 61
      "click prevBut\nclick prevBut\nclick prevBut\nclick prevBut\n"  // 61 -> 21 -> 11 -> 6 -> 1
      "click cancBut\nclick Button2\n");
  ASSERT_EQ(run.stopCode, 0) << run.stopMessage;
  EXPECT_EQ(Pages(run.transcript), (std::vector<int>{1, 6, 11, 21, 61, 21, 11, 6, 1}));
}

TEST(WizardFlow, PageCaptionsAreExact) {
  SetupHarness setup;
  setup.SetScript(kScript);
  const auto run = setup.Run(
      "click nextBut\nclick nextBut\ntype PageBEdit1 Jan\ntype PageBEdit2 Firm\n"
      "click nextBut\nclick nextBut\nclick nextBut\nclick nextBut\nclick cancBut\nclick Button2\n");
  ASSERT_EQ(run.stopCode, 0) << run.stopMessage;
  const std::vector<std::string> expected = {"page 1 \"Welcome in Wizard \"",
                                             "modal TWizForm \"Welcome in Wizard \"",
                                             "page 6 \"License agreement\"",
                                             "page 11 \"Information about the user\"",
                                             "page 21 \"Localization\"",
                                             "page 61 \"Enter destination directory\"",
                                             "page 66 \"Select folder in Start menu\"",
                                             "page 71 \"Installation of folders\"",
                                             "modal TExitForm \"End of the installation\"",
                                             "exit"};
  EXPECT_EQ(run.transcript, expected) << Joined(run.transcript);
}

TEST(WizardFlow, ButtonCaptionsAndVisibilityPerPage) {
  SetupHarness setup;
  setup.SetScript(kScript);
  std::vector<std::string> seen;
  setup.Run("click nextBut\nclick cancBut\nclick Button2\n", [&](SetupForms& forms) {
    TWizForm& w = *forms.WizForm;
    for (int code : {1, 6, 11, 71}) {
      w.ShowPage(code);
      seen.push_back(std::to_string(code) + (w.prevBut.Visible() ? " prev " : " - ") +
                     w.nextBut.Caption() + " " + w.cancBut.Caption());
    }
  });
  EXPECT_EQ(seen, (std::vector<std::string>{"1 - &Next >> &Cancel", "6 prev &I do accept &Cancel",
                                            "11 prev &Next > &Cancel", "71 prev &Next > &Cancel"}));
}

TEST(WizardFlow, WelcomeTextWithoutCaptionHasDoubleBlanks) {
  SetupHarness setup;
  setup.SetScript({"LANG=English,a,b"});
  std::string text;
  setup.Run("click cancBut\nclick Button2\n",
            [&](SetupForms& forms) { text = forms.WizForm->PageALab1.Caption(); });
  EXPECT_EQ(text,
            "Welcome in Wizard  of the installation program. This program will install  to your "
            "computer.");
}

TEST(WizardFlow, UserPageRefusesEmptyNameThenEmptyCompany) {
  SetupHarness setup;
  setup.SetScript(kScript);
  std::string focused;
  const auto run = setup.Run(
      "click nextBut\nclick nextBut\n"
      "click nextBut\nreply OK\n"                      // name empty
      "type PageBEdit1  \nclick nextBut\nreply OK\n",  // a single blank passes, company empty
      [&](SetupForms& forms) {
        forms::WinControl* active = forms.WizForm->ActiveControl();
        focused = active ? active->Name() : "";
      });
  // The answers end on page 11, where the wizard waits for the user.
  ASSERT_EQ(run.stopCode, 3) << run.stopMessage;
  const std::string text = Joined(run.transcript);
  EXPECT_NE(text.find("message \"Installation\" info OK \"Field \\\"Name\\\" cannot be empty.\""),
            std::string::npos)
      << text;
  EXPECT_NE(
      text.find("message \"Installation\" info OK \"Field \\\"Company\\\" cannot be empty.\""),
      std::string::npos)
      << text;
  EXPECT_EQ(Pages(run.transcript), (std::vector<int>{1, 6, 11, 11, 11}));
  EXPECT_EQ(focused, "PageBEdit2");
}

TEST(WizardFlow, LanguagePageSelectsFirstEntryOnEveryShowing) {
  SetupHarness setup;
  setup.SetScript(kScript);
  std::string source, dest;
  int index = -2;
  const auto run = setup.Run(
      "click nextBut\nclick nextBut\ntype PageBEdit1 Jan\ntype PageBEdit2 Firm\nclick nextBut\n"
      "pick PageKLBX1 1\nclick prevBut\nclick nextBut\nclick nextBut\n"
      "click cancBut\nclick Button2\n",
      [&](SetupForms& forms) {
        index = forms.WizForm->PageKLBX1Input.ItemIndex();
        source = forms.MainForm->LangSourceFile;
        dest = forms.MainForm->LangDestFile;
      });
  ASSERT_EQ(run.stopCode, 0) << run.stopMessage;
  EXPECT_EQ(index, 0);
  EXPECT_EQ(source, "en.dl_");
  EXPECT_EQ(dest, "demo.lng");
}

TEST(WizardFlow, ChosenLanguageIsHandedToTheEngine) {
  SetupHarness setup;
  setup.SetScript(kScript);
  std::string source;
  setup.Run(
      "click nextBut\nclick nextBut\ntype PageBEdit1 Jan\ntype PageBEdit2 Firm\nclick nextBut\n"
      "pick PageKLBX1 1\nclick nextBut\nclick cancBut\nclick Button2\n",
      [&](SetupForms& forms) { source = forms.MainForm->LangSourceFile; });
  EXPECT_EQ(source, "de.dl_");
}

TEST(WizardFlow, EmptyLanguageListEndsTheProgramOnNextOnly) {
  SetupHarness setup;
  setup.SetScript({"CAPTION=Demo"});
  const auto run = setup.Run(
      "click nextBut\nclick nextBut\ntype PageBEdit1 Jan\ntype PageBEdit2 Firm\nclick nextBut\n"
      "click prevBut\nclick nextBut\n"  // Previous from 21 still works
      "click nextBut\nreply OK\n");
  ASSERT_EQ(run.stopCode, 0) << run.stopMessage;
  EXPECT_EQ(Pages(run.transcript), (std::vector<int>{1, 6, 11, 21, 11, 21, 21}));
  EXPECT_EQ(run.transcript[run.transcript.size() - 3],
            "message \"Installation\" error OK \"Installation files are not "
            "completed.\\r\\nInstallation will be aborted.\"");
  EXPECT_EQ(run.transcript.back(), "exit");
}

TEST(WizardFlow, EscAndCloseAskForConfirmationAndContinueStays) {
  for (const char* leave : {"key esc", "close", "click cancBut"}) {
    SetupHarness setup;
    setup.SetScript(kScript);
    const auto run = setup.Run(std::string("click nextBut\n") + leave +
                               "\nkey esc\nclick nextBut\n" + leave + "\nclick Button2\n");
    ASSERT_EQ(run.stopCode, 0) << leave << ": " << run.stopMessage;
    // Esc in the confirmation is Continue: the wizard goes on to page 11.
    EXPECT_EQ(Pages(run.transcript), (std::vector<int>{1, 6, 11})) << leave;
    int confirmations = 0;
    for (const std::string& line : run.transcript)
      confirmations += line == "modal TExitForm \"End of the installation\"";
    EXPECT_EQ(confirmations, 2) << leave;
    EXPECT_EQ(run.transcript.back(), "exit");
  }
}

}  // namespace
