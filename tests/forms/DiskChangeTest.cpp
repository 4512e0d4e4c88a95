// `disk N` answers: taken while a message box asks, before its reply, by the runner's disk
// changer; a run that cannot change the disk stops and says why. The generic user changes
// disks through the same changer.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "forms/MessageBox.h"
#include "forms/headless/Answers.h"
#include "forms/headless/HeadlessToolkit.h"

namespace forms {
namespace {

using headless::HeadlessToolkit;
using headless::ParseAnswers;
using headless::ScriptStopped;

TEST(DiskChange, TakenAtAMessageBoxBeforeItsReply) {
  HeadlessToolkit toolkit(ParseAnswers("disk 2\ndisk 3\nreply OK\nclick nextBut\n"));
  std::vector<int> inserted;
  toolkit.SetDiskChanger([&](int disk) {
    inserted.push_back(disk);
    return std::string();
  });
  Application app(toolkit);
  EXPECT_EQ(app.MessageBox("Please, insert disk #2", "Installation", kMbOk), kIdOk);
  EXPECT_EQ(inserted, (std::vector<int>{2, 3}));
  EXPECT_EQ(toolkit.RemainingActions(), 1u);
}

TEST(DiskChange, ARunThatCannotChangeTheDiskStops) {
  const struct {
    const char* name;
    std::function<std::string(int)> changer;
    const char* message;
  } cases[] = {
      {"no disk set", nullptr, "answers line 1: disk 2 does not fit: this run has no disk set"},
      {"refused", [](int) { return std::string("the disk set has 1 disks"); },
       "answers line 1: disk 2 does not fit: the disk set has 1 disks"},
  };
  for (const auto& c : cases) {
    HeadlessToolkit toolkit(ParseAnswers("disk 2\nreply OK\n"));
    if (c.changer) toolkit.SetDiskChanger(c.changer);
    Application app(toolkit);
    try {
      app.MessageBox("Please, insert disk #2", "Installation", kMbOk);
      ADD_FAILURE() << c.name << ": the run went on";
    } catch (const ScriptStopped& stopped) {
      EXPECT_EQ(stopped.Code(), 2) << c.name;
      EXPECT_STREQ(stopped.what(), c.message) << c.name;
    }
  }
}

TEST(DiskChange, TheGenericUserPutsInTheDiskABoxAsksForThroughTheSameChanger) {
  const struct {
    const char* text;
    std::string refusal;
    std::vector<int> inserted;
    std::vector<std::string> lines;
  } cases[] = {
      {"Please, insert disk #2", "", {2}, {"default disk 2", "default reply OK"}},
      {"Please, insert disk #7", "the disk set has 3 disks", {7}, {"default reply OK"}},
      {"Files copied.", "", {}, {"default reply OK"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    HeadlessToolkit toolkit;
    headless::DefaultAnswers answers;
    answers.limit = 5;
    answers.askedDisk = [](const std::string& text) {
      return text.rfind("Please, insert disk #", 0) == 0 ? text.back() - '0' : 0;
    };
    toolkit.SetDefaultAnswers(answers);
    std::vector<int> inserted;
    toolkit.SetDiskChanger([&](int disk) {
      inserted.push_back(disk);
      return c.refusal;
    });
    Application app(toolkit);
    EXPECT_EQ(app.MessageBox(c.text, "Installation", kMbOk), kIdOk);
    EXPECT_EQ(inserted, c.inserted);
    EXPECT_EQ(
        std::vector<std::string>(toolkit.Transcript().begin() + 1, toolkit.Transcript().end()),
        c.lines);
  }
}

}  // namespace
}  // namespace forms
