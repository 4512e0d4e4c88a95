// The logic of the Win32 toolkit that does not call Windows: control ids, pixels, fonts,
// which controls get windows, and where those windows show.
#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <memory>
#include <set>

#include "forms/headless/HeadlessToolkit.h"
#include "forms/win32/ControlIds.h"
#include "forms/win32/Win32Logic.h"
#include "tests/support/SetupHarness.h"

namespace {

using forms::win32::ControlIdOf;
using forms::win32::NativeKind;

TEST(ControlIdOf, EveryNameGetsAnIdInTheRobotsRange) {
  const std::string longName(300, 'x');
  const std::string highBytes = "Str\x8a\xe1nka\x9e";
  for (const std::string& name : {std::string("nextBut"), std::string("a"), std::string("Button1"),
                                  std::string("PageBEdit1"), longName, highBytes}) {
    const int id = ControlIdOf(name);
    EXPECT_GE(id, forms::win32::kFirstControlId) << name;
    EXPECT_LE(id, forms::win32::kLastControlId) << name;
  }
  EXPECT_EQ(ControlIdOf(""), 0);
}

TEST(ControlIdOf, NamesThatDifferInOneByteOrInCaseGetDifferentIds) {
  const std::pair<const char*, const char*> pairs[] = {
      {"PageBEdit1", "PageBEdit2"}, {"PageZRB1", "PageZRB2"}, {"Button1", "Button2"},
      {"nextBut", "NextBut"},       {"prevBut", "nextBut"},   {"PageKLBX1", "PageKLBX1Input"},
  };
  for (const auto& [a, b] : pairs) EXPECT_NE(ControlIdOf(a), ControlIdOf(b)) << a << " / " << b;
}

// The eight forms of the program, created as at its start, on a headless toolkit.
struct ProgramForms {
  ProgramForms() { CreateSetupForms(context); }
  testing_support::SetupHarness harness;
  forms::headless::HeadlessToolkit toolkit;
  forms::Application app{toolkit};
  SetupContext context{app, harness.machine().platform(), {}};
};

// Collects the names of the controls that get windows of their own, below `container`.
void CollectNatives(const forms::WinControl& container, std::vector<std::string>& names) {
  for (const forms::Control* child : container.Controls()) {
    if (forms::win32::NativeKindOf(*child) != NativeKind::None) names.push_back(child->Name());
    if (auto* windowed = dynamic_cast<const forms::WinControl*>(child))
      CollectNatives(*windowed, names);
  }
}

TEST(ControlIdOf, NoTwoWindowsOfOneProgramFormShareAnId) {
  // The robot finds a control with GetDlgItem on its form: a clash would find the wrong one.
  ProgramForms program;
  forms::Application& app = program.app;
  ASSERT_EQ(app.Forms().size(), 8u);
  for (const forms::Form* form : app.Forms()) {
    std::vector<std::string> names;
    CollectNatives(*form, names);
    std::map<int, std::string> seen;
    for (const std::string& name : names) {
      EXPECT_FALSE(name.empty()) << form->ClassName() << " has an unnamed native control";
      auto [at, fresh] = seen.emplace(ControlIdOf(name), name);
      EXPECT_TRUE(fresh) << form->ClassName() << ": " << name << " and " << at->second
                         << " share id " << at->first;
    }
  }
}

TEST(DibPixelOf, SwapsRedAndBlueAndResolvesSystemColours) {
  const struct {
    const char* what;
    forms::ColorRef color;
    std::uint32_t pixel;
  } cases[] = {
      {"red", forms::kClRed, 0xFF0000},
      {"blue", forms::kClBlue, 0x0000FF},
      {"navy", forms::kClNavy, 0x000080},
      {"mixed", forms::Rgb(0x12, 0x34, 0x56), 0x123456},
      {"button face", forms::kClBtnFace, 0xC0C0C0},
      {"window", forms::kClWindow, 0xFFFFFF},
      {"window text", forms::kClWindowText, 0x000000},
  };
  for (const auto& c : cases) EXPECT_EQ(forms::win32::DibPixelOf(c.color), c.pixel) << c.what;
}

TEST(FontLogicalHeight, PointsScaleByDpiAndPixelHeightsWin) {
  const struct {
    const char* what;
    int size;
    int height;
    int dpi;
    int expected;
  } cases[] = {
      {"8 pt at 96 dpi", 8, 0, 96, -11},   {"8 pt at 120 dpi", 8, 0, 120, -13},
      {"9 pt at 96 dpi", 9, 0, 96, -12},   {"10 pt at 96 dpi", 10, 0, 96, -13},
      {"12 pt at 96 dpi", 12, 0, 96, -16}, {"27 pixels", 8, 27, 120, -27},
      {"13 pixels", 10, 13, 96, -13},
  };
  for (const auto& c : cases) {
    forms::TextFont font;
    font.size = c.size;
    font.height = c.height;
    EXPECT_EQ(forms::win32::FontLogicalHeight(font, c.dpi), c.expected) << c.what;
  }
}

TEST(FaceCandidates, TheNameComesFirstThenLookAlikesWithoutRepeats) {
  const auto sans = forms::win32::FaceCandidates("MS Sans Serif");
  ASSERT_GE(sans.size(), 3u);
  EXPECT_EQ(sans[0], "MS Sans Serif");
  EXPECT_EQ(sans[1], "Microsoft Sans Serif");

  const auto arial = forms::win32::FaceCandidates("Arial");
  EXPECT_EQ(arial[0], "Arial");
  EXPECT_EQ(arial[1], "Liberation Sans");

  const auto tahoma = forms::win32::FaceCandidates("tahoma");
  EXPECT_EQ(tahoma[0], "tahoma");
  EXPECT_EQ(std::set<std::string>(tahoma.begin(), tahoma.end()).count("Tahoma"), 0u)
      << "the face itself, in another case, is not tried twice";
}

class FormFixture : public testing::Test {
 protected:
  forms::headless::HeadlessToolkit toolkit_;
  forms::Application app_{toolkit_};
  forms::Form form_{app_, "TTestForm"};
};

TEST_F(FormFixture, NativeKindOfGivesWindowsToInputControlsOnly) {
  forms::Panel panel(form_, "panel");
  forms::Edit edit(panel, "edit");
  forms::Memo memo(panel, "memo");
  forms::Button button(panel, "button");
  forms::RadioButton radio(panel, "radio");
  forms::CheckBox check(panel, "check");
  forms::ListBox list(panel, "list");
  forms::ComboBox combo(panel, "combo");
  forms::ProgressBar bar(panel, "bar");
  forms::Label label(panel, "label");
  forms::Image image(panel, "image");
  forms::GroupBox group(panel, "group");
  const std::pair<const forms::Control*, NativeKind> cases[] = {
      {&edit, NativeKind::Edit},      {&memo, NativeKind::Memo},
      {&button, NativeKind::Button},  {&radio, NativeKind::RadioButton},
      {&check, NativeKind::CheckBox}, {&list, NativeKind::ListBox},
      {&combo, NativeKind::ComboBox}, {&bar, NativeKind::Progress},
      {&label, NativeKind::None},     {&image, NativeKind::None},
      {&group, NativeKind::None},     {&panel, NativeKind::None},
  };
  for (const auto& [control, kind] : cases)
    EXPECT_EQ(forms::win32::NativeKindOf(*control), kind) << control->Name();
}

TEST_F(FormFixture, ANativeWindowShowsAndTakesInputAsItsContainersAllow) {
  forms::Panel page(form_, "page");
  forms::Panel inner(page, "inner");
  forms::Edit edit(inner, "edit");
  forms::Edit loose(form_, "loose");
  forms::Panel orphanParent(form_, "orphanParent");
  forms::Edit orphan(orphanParent, "orphan");
  orphan.SetParent(nullptr);

  // The form's own visibility is its window's: a hidden form does not hide its children.
  EXPECT_FALSE(form_.Visible());
  EXPECT_TRUE(forms::win32::VisibleInForm(edit));
  EXPECT_TRUE(forms::win32::VisibleInForm(loose));

  page.SetVisible(false);
  EXPECT_FALSE(forms::win32::VisibleInForm(edit)) << "a hidden page hides its edits";
  EXPECT_TRUE(forms::win32::VisibleInForm(loose));
  page.SetVisible(true);
  edit.SetVisible(false);
  EXPECT_FALSE(forms::win32::VisibleInForm(edit));

  inner.SetEnabled(false);
  EXPECT_FALSE(forms::win32::EnabledInForm(edit)) << "a disabled container disables its edits";
  EXPECT_TRUE(forms::win32::EnabledInForm(loose));
  form_.SetEnabled(false);
  EXPECT_TRUE(forms::win32::EnabledInForm(loose)) << "the form's own state is its window's";

  EXPECT_FALSE(forms::win32::VisibleInForm(orphan)) << "outside any form";
  EXPECT_FALSE(forms::win32::EnabledInForm(orphan));
}

}  // namespace

namespace {

namespace style = forms::win32::style;

TEST(FrameStyleOf, TheSystemMenuBringsTheCloseBoxAndTheHelpButtonOnlyWithATitleBar) {
  using forms::FormBorder;
  const struct {
    const char* what;
    FormBorder border;
    forms::BorderIconSet icons;
    std::uint32_t style;
    std::uint32_t exStyle;
  } cases[] = {
      {"dialog",
       FormBorder::Dialog,
       {},
       style::kPopup | style::kCaption | style::kModalFrame | style::kSysMenu,
       style::kExDlgModalFrame},
      {"dialog without system menu",
       FormBorder::Dialog,
       {.systemMenu = false},
       style::kPopup | style::kCaption | style::kModalFrame,
       style::kExDlgModalFrame},
      {"dialog with help",
       FormBorder::Dialog,
       {.systemMenu = true, .help = true},
       style::kPopup | style::kCaption | style::kModalFrame | style::kSysMenu,
       style::kExDlgModalFrame | style::kExContextHelp},
      {"help needs the system menu",
       FormBorder::Dialog,
       {.systemMenu = false, .help = true},
       style::kPopup | style::kCaption | style::kModalFrame,
       style::kExDlgModalFrame},
      {"no border has no title bar",
       FormBorder::None,
       {.systemMenu = true, .help = true},
       style::kPopup,
       0},
      {"tool window",
       FormBorder::ToolWindow,
       {},
       style::kPopup | style::kCaption | style::kSysMenu,
       style::kExToolWindow},
      {"sizeable",
       FormBorder::Sizeable,
       {.systemMenu = true, .help = true},
       style::kOverlappedWindow,
       0},
      {"sizeable without system menu",
       FormBorder::Sizeable,
       {.systemMenu = false},
       style::kOverlappedWindow & ~style::kSysMenu,
       0},
  };
  for (const auto& c : cases) {
    const forms::win32::FrameStyle got =
        forms::win32::FrameStyleOf(c.border, c.icons, false, false);
    EXPECT_EQ(got.style, c.style | style::kClipChildren) << c.what;
    EXPECT_EQ(got.exStyle, c.exStyle) << c.what;
  }
  const auto topMain = forms::win32::FrameStyleOf(FormBorder::None, {}, true, true);
  EXPECT_EQ(topMain.exStyle, style::kExTopmost | style::kExAppWindow);
}

TEST(FrameStyleOf, EachFormOfTheProgramGetsItsFrame) {
  // The progress window must not be closable from its frame; the overwrite question has
  // the help button beside its close box; every other dialog has its system menu.
  ProgramForms program;
  forms::Application& app = program.app;
  const std::map<std::string, std::pair<bool, bool>> expected = {
      // class: system menu, help button
      {"TMainForm", {false, false}},   {"TProcessForm", {false, false}},
      {"TNotFileForm", {true, false}}, {"TExitForm", {true, false}},
      {"TFolderForm", {true, false}},  {"TReplForm", {true, true}},
      {"TShutForm", {false, false}},   {"TWizForm", {true, false}},
  };
  for (const forms::Form* form : app.Forms()) {
    const auto want = expected.find(form->ClassName());
    ASSERT_NE(want, expected.end()) << form->ClassName();
    const forms::win32::FrameStyle got = forms::win32::FrameStyleOf(*form, false);
    EXPECT_EQ((got.style & style::kSysMenu) != 0, want->second.first) << form->ClassName();
    EXPECT_EQ((got.exStyle & style::kExContextHelp) != 0, want->second.second) << form->ClassName();
  }
}

}  // namespace

namespace {

TEST(BarStepsOf, KeepsSixteenBitRangesAndScalesWiderOnes) {
  const struct {
    const char* name;
    int min, max, position;
    forms::win32::BarSteps expected;
  } cases[] = {
      {"a percentage as it is", 0, 100, 40, {0, 100, 40}},
      {"the largest range as it is", 0, 65535, 65535, {0, 65535, 65535}},
      {"a range that starts above zero", 10, 20, 15, {10, 20, 15}},
      {"kilobytes of a large installation, half done", 0, 300000, 150000, {0, 65535, 32767}},
      {"the end of a wide range is the end of the bar", 0, 300000, 300000, {0, 65535, 65535}},
      {"a range below zero", -100, 100, 0, {0, 65535, 32767}},
      {"the whole int range", INT_MIN, INT_MAX, INT_MAX, {0, 65535, 65535}},
      {"a position outside the range is kept inside", 0, 100, 250, {0, 100, 100}},
      {"an empty wide range", 70000, 70000, 70000, {0, 0, 0}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(forms::win32::BarStepsOf(c.min, c.max, c.position), c.expected) << c.name;
}

// The pump's look at the queue: (tick, queue holds something) -> (asked, swept).
TEST(QueueGate, AsksOncePerTickAndSweepsWhatWaitsOrEveryTenMilliseconds) {
  struct Step {
    std::uint32_t tick;
    bool holds;
    bool asked;
    bool swept;
  };
  const struct {
    const char* name;
    std::vector<Step> steps;
  } cases[] = {
      {"the first pump sweeps", {{1000, false, true, true}}},
      {"the same tick does not ask again",
       {{1000, true, true, true}, {1000, true, false, false}, {1001, true, true, true}}},
      {"an empty queue is swept every 10 ms",
       {{1000, false, true, true},
        {1001, false, true, false},
        {1009, false, true, false},
        {1010, false, true, true},
        {1011, false, true, false}}},
      {"a queue that holds something is swept at once",
       {{1000, false, true, true}, {1003, true, true, true}, {1004, false, true, false}}},
      {"the clock wraps",
       {{0xFFFFFFFAu, false, true, true},
        {0xFFFFFFFFu, false, true, false},
        {4, false, true, true}}},
  };
  for (const auto& c : cases) {
    forms::win32::QueueGate gate;
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
      const Step& step = c.steps[i];
      const bool asked = gate.ShouldAsk(step.tick);
      const bool swept = asked && gate.ShouldSweep(step.tick, step.holds);
      EXPECT_EQ(asked, step.asked) << c.name << ", step " << i;
      EXPECT_EQ(swept, step.swept) << c.name << ", step " << i;
    }
  }
}

TEST(TextRepaintGate, PaintsAtOnceAfterAQuietSpellAndThenAtMostEveryFortyMilliseconds) {
  struct Step {
    std::uint32_t tick;
    bool changed;  // a text changed before this pump
    bool idle;     // the program is about to wait for input
    bool painted;
  };
  const struct {
    const char* name;
    std::vector<Step> steps;
  } cases[] = {
      {"the first text is painted at once", {{1000, true, false, true}}},
      {"nothing changed, nothing painted",
       {{1000, false, false, false}, {1000, false, true, false}}},
      {"a burst waits for the interval, then its last text is painted",
       {{1000, true, false, true},
        {1001, true, false, false},
        {1039, true, false, false},
        {1040, false, false, true},
        {1041, false, false, false}}},
      {"a text changed after a quiet spell is painted at once",
       {{1000, true, false, true}, {1500, true, false, true}}},
      {"before a wait the waiting text is painted whatever the time",
       {{1000, true, false, true}, {1002, true, false, false}, {1003, false, true, true}}},
      {"the clock wraps",
       {{0xFFFFFFF0u, true, false, true},
        {0xFFFFFFFFu, true, false, false},
        {0x00000018u, false, false, true}}},
  };
  for (const auto& c : cases) {
    forms::win32::TextRepaintGate gate;
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
      const Step& step = c.steps[i];
      if (step.changed) gate.Changed();
      EXPECT_EQ(gate.ShouldPaint(step.tick, step.idle), step.painted) << c.name << ", step " << i;
    }
  }
}

}  // namespace
