// The answers file is shared by setup-sim and the Wine robot, so its reading is pinned here:
// every verb, the exact text of `type`, remarks and line ends, and the line a bad answer names.
#include "forms/headless/Answers.h"

#include <gtest/gtest.h>

#include "forms/Component.h"
#include "forms/MessageBox.h"

namespace forms::headless {
namespace {

struct GoodLine {
  const char* name;
  const char* text;
  Action expected;
};

Action Make(Verb verb, std::string name = {}, std::string text = {}) {
  Action action;
  action.verb = verb;
  action.name = std::move(name);
  action.text = std::move(text);
  action.line = 1;
  return action;
}

Action WithIndex(Action action, int index) {
  action.index = index;
  return action;
}
Action WithKey(int key) {
  Action action = Make(Verb::Key);
  action.key = key;
  return action;
}
Action WithAnswer(int answer) {
  Action action = Make(Verb::Reply);
  action.answer = answer;
  return action;
}
Action WithDisk(int disk) {
  Action action = Make(Verb::Disk);
  action.disk = disk;
  return action;
}

TEST(Answers, EachVerbReadsItsOperands) {
  const GoodLine cases[] = {
      {"click", "click nextBut", Make(Verb::Click, "nextBut")},
      {"check", "check PageJRB2", Make(Verb::Check, "PageJRB2")},
      {"dblclick", "dblclick CHFDLB", Make(Verb::DblClick, "CHFDLB")},
      {"leading blanks", "  \tclick nextBut  ", Make(Verb::Click, "nextBut")},
      {"type keeps blanks", "type PageBEdit1  Jan  Novak ",
       Make(Verb::Type, "PageBEdit1", " Jan  Novak ")},
      {"type empty", "type PageBEdit1", Make(Verb::Type, "PageBEdit1", "")},
      {"type one blank", "type PageBEdit1 ", Make(Verb::Type, "PageBEdit1", "")},
      {"type keeps a hash", "type PageDEdit1 #1 Tools", Make(Verb::Type, "PageDEdit1", "#1 Tools")},
      {"pick", "pick PageKLBX1 12", WithIndex(Make(Verb::Pick, "PageKLBX1"), 12)},
      {"close", "close", Make(Verb::Close)},
      {"key esc", "key esc", WithKey(kVkEscape)},
      {"key enter", "key enter", WithKey(kVkReturn)},
      {"reply OK", "reply OK", WithAnswer(kIdOk)},
      {"reply NO", "reply NO", WithAnswer(kIdNo)},
      {"reply IGNORE", "reply IGNORE", WithAnswer(kIdIgnore)},
      {"disk", "disk 12", WithDisk(12)},
  };
  for (const GoodLine& c : cases) {
    std::vector<Action> actions = ParseAnswers(c.text);
    ASSERT_EQ(actions.size(), 1u) << c.name;
    EXPECT_EQ(actions[0], c.expected) << c.name;
  }
}

TEST(Answers, RemarksBlankLinesAndLineEndsAreSkippedAndLinesCounted) {
  std::vector<Action> actions =
      ParseAnswers("# user page\r\n\r\n   \r\ntype PageBEdit1 Jan\r\n  # next\nclick nextBut");
  ASSERT_EQ(actions.size(), 2u);
  EXPECT_EQ(actions[0].text, "Jan");  // the CR of the line end is not typed
  EXPECT_EQ(actions[0].line, 4);
  EXPECT_EQ(actions[1].line, 6);
}

TEST(Answers, DescribeWritesTheLineBack) {
  const char* lines[] = {"click nextBut",
                         "type PageBEdit1 Jan Novak",
                         "pick PageKLBX1 3",
                         "check PageJRB1",
                         "dblclick CHFDLB",
                         "close",
                         "key esc",
                         "key enter",
                         "reply YES",
                         "reply RETRY",
                         "disk 2"};
  for (const char* line : lines) {
    std::vector<Action> actions = ParseAnswers(line);
    ASSERT_EQ(actions.size(), 1u) << line;
    EXPECT_EQ(DescribeAction(actions[0]), line);
  }
}

TEST(Answers, ABadLineIsNamedByNumber) {
  struct BadLine {
    const char* text;
    const char* message;
  };
  const BadLine cases[] = {
      {"jump nextBut", "unknown action \"jump\""},
      {"click", "missing control name"},
      {"click nextBut twice", "unexpected \"twice\" at the end"},
      {"pick PageKLBX1", "missing entry index"},
      {"pick PageKLBX1 -1", "the entry index \"-1\" is not a number"},
      {"pick PageKLBX1 9999999999", "the entry index \"9999999999\" is not a number"},
      {"key space", "unknown key \"space\" (esc or enter)"},
      {"reply MAYBE", "unknown button \"MAYBE\""},
      {"close now", "unexpected \"now\" at the end"},
      {"disk", "missing disk number"},
      {"disk two", "the disk number \"two\" is not a number"},
      {"disk 0", "the disks of a set count from 1"},
      {"disk 2 3", "unexpected \"3\" at the end"},
  };
  for (const BadLine& c : cases) {
    std::string text = std::string("click nextBut\n\n") + c.text + "\nclick nextBut";
    try {
      ParseAnswers(text);
      ADD_FAILURE() << c.text << ": accepted";
    } catch (const AnswersError& error) {
      EXPECT_EQ(error.Line(), 3) << c.text;
      EXPECT_EQ(std::string(error.what()), std::string("answers line 3: ") + c.message) << c.text;
    }
  }
}

}  // namespace
}  // namespace forms::headless
