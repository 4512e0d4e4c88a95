#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "forms/ExtControls.h"
#include "forms/StdControls.h"
#include "tests/forms/TestSupport.h"

namespace forms {
namespace {

class ControlsForm : public Form {
 public:
  explicit ControlsForm(Application& app) : Form(app, "TControlsForm") {}
  Edit edit{*this, "edit"};
  ListBox list{*this, "list"};
  ComboBox combo{*this, "combo"};
  Memo memo{*this, "memo"};
  ProgressBar bar{*this, "bar"};
  CheckBox box{*this, "box"};
  Panel groupA{*this, "groupA"};
  RadioButton a1{groupA, "a1"};
  RadioButton a2{groupA, "a2"};
  Panel groupB{*this, "groupB"};
  RadioButton b1{groupB, "b1"};
};

class ControlsTest : public ::testing::Test {
 protected:
  testing::CountingToolkit toolkit;
  Application app{toolkit};
  ControlsForm& form = app.CreateForm<ControlsForm>();
};

// Each case changes one value twice to the same thing: the event and the toolkit's report
// come once, and a third, different value reports again.
struct SetterCase {
  const char* name;
  std::function<void(ControlsForm&, int)> set;  // 0 and 1 are the same value, 2 another
  std::function<Event&(ControlsForm&)> event;
  std::function<Component&(ControlsForm&)> control;
  Property property;
};

TEST_F(ControlsTest, SettersReportAndFireOnlyOnChange) {
  const SetterCase cases[] = {
      {"edit text", [](ControlsForm& f, int v) { f.edit.SetText(v < 2 ? "a" : "b"); },
       [](ControlsForm& f) -> Event& { return f.edit.OnChange; },
       [](ControlsForm& f) -> Component& { return f.edit; }, Property::Caption},
      {"list index",
       [](ControlsForm& f, int v) {
         if (f.list.Count() == 0) f.list.SetItems({"x", "y"});
         f.list.SetItemIndex(v < 2 ? 0 : 1);
       },
       [](ControlsForm& f) -> Event& { return f.list.OnChange; },
       [](ControlsForm& f) -> Component& { return f.list; }, Property::ItemIndex},
      {"combo index",
       [](ControlsForm& f, int v) {
         if (f.combo.Count() == 0) f.combo.SetItems({"x", "y"});
         f.combo.SetItemIndex(v < 2 ? 1 : 0);
       },
       [](ControlsForm& f) -> Event& { return f.combo.OnChange; },
       [](ControlsForm& f) -> Component& { return f.combo; }, Property::ItemIndex},
      {"check box", [](ControlsForm& f, int v) { f.box.SetChecked(v < 2); },
       [](ControlsForm& f) -> Event& { return f.box.OnClick; },
       [](ControlsForm& f) -> Component& { return f.box; }, Property::Checked},
      {"memo lines",
       [](ControlsForm& f, int v) {
         f.memo.SetLines(v < 2 ? std::vector<std::string>{"a", "b"} : std::vector<std::string>{});
       },
       [](ControlsForm& f) -> Event& { return f.memo.OnChange; },
       [](ControlsForm& f) -> Component& { return f.memo; }, Property::Caption},
  };
  for (const SetterCase& c : cases) {
    int fired = 0;
    c.event(form) = [&] { ++fired; };
    int before = toolkit.Count(c.control(form), c.property);
    c.set(form, 0);
    c.set(form, 1);
    EXPECT_EQ(fired, 1) << c.name;
    EXPECT_EQ(toolkit.Count(c.control(form), c.property) - before, 1) << c.name;
    c.set(form, 2);
    EXPECT_EQ(fired, 2) << c.name;
    EXPECT_EQ(toolkit.Count(c.control(form), c.property) - before, 2) << c.name;
  }
}

TEST_F(ControlsTest, BoundsAndVisibilityReportOnlyChanges) {
  form.edit.SetBounds(1, 2, 30, 40);
  form.edit.SetBounds(1, 2, 30, 40);
  form.edit.SetLeft(1);
  EXPECT_EQ(toolkit.Count(form.edit, Property::Bounds), 1);
  form.edit.SetVisible(true);
  EXPECT_EQ(toolkit.Count(form.edit, Property::Visible), 0);
  form.edit.SetVisible(false);
  EXPECT_EQ(toolkit.Count(form.edit, Property::Visible), 1);
  EXPECT_EQ(form.edit.BoundsRect(), (Rect{1, 2, 31, 42}));
}

TEST_F(ControlsTest, RadioButtonsAreGroupedByParent) {
  int clicks = 0;
  form.a1.OnClick = [&] { ++clicks; };
  form.a1.SetChecked(true);
  form.b1.SetChecked(true);
  EXPECT_TRUE(form.a1.Checked());
  EXPECT_TRUE(form.b1.Checked());  // another parent, another group
  form.a2.Click();
  EXPECT_FALSE(form.a1.Checked());
  EXPECT_TRUE(form.a2.Checked());
  EXPECT_TRUE(form.b1.Checked());
  EXPECT_EQ(toolkit.Count(form.a1, Property::Checked), 2);  // checked, then unchecked by a2
  EXPECT_EQ(clicks, 1);                                     // unchecking fires nothing
  form.a1.Click();
  form.a1.Click();  // already checked: no second OnClick
  EXPECT_EQ(clicks, 2);
}

TEST_F(ControlsTest, ComboBoxDropDownListTakesTextOnlyFromItsEntries) {
  form.combo.SetStyle(ComboStyle::DropDownList);
  form.combo.SetItems({"English", "Czech"});
  EXPECT_EQ(form.combo.Text(), "");
  form.combo.SetItemIndex(1);
  EXPECT_EQ(form.combo.Text(), "Czech");
  form.combo.SetText("English");
  EXPECT_EQ(form.combo.ItemIndex(), 0);
  form.combo.SetText("German");
  EXPECT_EQ(form.combo.ItemIndex(), -1);
  EXPECT_EQ(form.combo.Text(), "");
  form.combo.SetItemIndex(5);
  EXPECT_EQ(form.combo.ItemIndex(), -1);

  ComboBox plain(form, "plain");
  plain.SetItems({"A", "B"});
  plain.SetItemIndex(0);
  plain.SetText("typed");
  EXPECT_EQ(plain.ItemIndex(), -1);
  EXPECT_EQ(plain.Text(), "typed");
}

TEST_F(ControlsTest, MemoLinesAndTextAgree) {
  form.memo.SetText("one\r\ntwo\nthree\r\n");
  EXPECT_EQ(form.memo.Lines(), (std::vector<std::string>{"one", "two", "three"}));
  form.memo.SetLines({"a", "", "b"});
  EXPECT_EQ(form.memo.Text(), "a\r\n\r\nb\r\n");
  form.memo.AddLine("c");
  EXPECT_EQ(form.memo.Lines().size(), 4u);
  form.memo.Clear();
  EXPECT_EQ(form.memo.Text(), "");
}

TEST_F(ControlsTest, ProgressBarKeepsPositionInRange) {
  struct Case {
    int min, max, position, expected;
  };
  const Case cases[] = {
      {0, 2500, 1250, 1250}, {0, 2500, 9999, 2500}, {0, 100, -5, 0}, {10, 20, 5, 10}, {0, 0, 7, 0}};
  for (const Case& c : cases) {
    form.bar.SetRange(c.min, c.max);
    form.bar.SetPosition(c.position);
    EXPECT_EQ(form.bar.Position(), c.expected) << c.min << ".." << c.max << " at " << c.position;
  }
  form.bar.SetRange(0, 1000);
  form.bar.SetPosition(900);
  form.bar.SetMax(500);
  EXPECT_EQ(form.bar.Position(), 500);
}

TEST_F(ControlsTest, EditSelectionStaysInsideTheText) {
  form.edit.SetText("Program");
  form.edit.SelectAll();
  EXPECT_EQ(form.edit.SelStart(), 0);
  EXPECT_EQ(form.edit.SelLength(), 7);
  form.edit.SetSelection(5, 100);
  EXPECT_EQ(form.edit.SelLength(), 2);
  form.edit.SetText("P");
  EXPECT_EQ(form.edit.SelStart(), 1);
  EXPECT_EQ(form.edit.SelLength(), 0);
}

TEST_F(ControlsTest, FindControlSearchesNestedParents) {
  EXPECT_EQ(form.FindControl("b1"), &form.b1);
  EXPECT_EQ(form.Find<RadioButton>("a2"), &form.a2);
  EXPECT_EQ(form.Find<Edit>("a2"), nullptr);
  EXPECT_EQ(form.FindControl("missing"), nullptr);
  {
    Timer timer(form.groupB, "inner");
    EXPECT_EQ(form.FindComponent("inner"), &timer);
  }
  EXPECT_EQ(form.FindComponent("inner"), nullptr);
}

TEST_F(ControlsTest, AlignedChildrenShareTheParent) {
  Panel host(form, "host");
  host.SetBounds(0, 0, 200, 300);
  Panel top(host), bottom(host), client(host);
  top.SetHeight(20);
  bottom.SetHeight(110);
  top.SetAlign(AlignMode::Top);
  bottom.SetAlign(AlignMode::Bottom);
  client.SetAlign(AlignMode::Client);
  EXPECT_EQ(top.BoundsRect(), (Rect{0, 0, 200, 20}));
  EXPECT_EQ(bottom.BoundsRect(), (Rect{0, 190, 200, 300}));
  EXPECT_EQ(client.BoundsRect(), (Rect{0, 20, 200, 190}));
  host.SetHeight(400);
  EXPECT_EQ(bottom.BoundsRect(), (Rect{0, 290, 200, 400}));
  EXPECT_EQ(client.BoundsRect(), (Rect{0, 20, 200, 290}));
  top.SetVisible(false);
  EXPECT_EQ(client.BoundsRect(), (Rect{0, 0, 200, 290}));
}

TEST_F(ControlsTest, TimerReportsOnlyWhenItsStateChanges) {
  Timer timer(form, "RunTimer");
  timer.SetEnabled(false);
  timer.SetInterval(1000);  // the default: nothing to report
  timer.SetOnTimer([] {});
  int before = toolkit.Count(timer, Property::Timer);
  timer.SetEnabled(false);
  EXPECT_EQ(toolkit.Count(timer, Property::Timer), before);
  timer.SetEnabled(true);
  EXPECT_EQ(toolkit.Count(timer, Property::Timer), before + 1);
  EXPECT_TRUE(timer.Running());
}

// A toolkit with text metrics: every character 6 pixels wide, a line two pixels higher than
// the font (11 pixels when it has no height); wrapped text takes as many lines as its width
// needs.
class MeasuringToolkit : public testing::CountingToolkit {
 public:
  std::optional<Size> MeasureText(const TextFont& font, std::string_view text,
                                  int wrapWidth) override {
    const int width = 6 * static_cast<int>(text.size());
    const int lines = wrapWidth > 0 ? std::max(1, (width + wrapWidth - 1) / wrapWidth) : 1;
    const int line = (font.height > 0 ? font.height : 11) + 2;
    return Size{wrapWidth > 0 ? std::min(width, wrapWidth) : width, lines * line};
  }
};

class LabelForm : public Form {
 public:
  explicit LabelForm(Application& app) : Form(app, "TLabelForm") {}
  Label label{*this, "label"};
};

TEST(LabelAutoSize, FitsTheTextWhenAskedTo) {
  TextFont big;
  big.height = 20;
  struct Case {
    const char* name;
    std::function<void(Label&)> change;
    Rect bounds;
  };
  const Case cases[] = {
      {"a caption sizes a label placed without a size",
       [](Label& l) { l.SetCaption("Source:"); },
       {16, 16, 58, 29}},
      {"a new font measures again",
       [&](Label& l) {
         l.SetCaption("Source:");
         l.SetFont(big);
       },
       {16, 16, 58, 38}},
      {"an empty caption keeps the height of a line",
       [](Label& l) {
         l.SetCaption("Source:");
         l.SetCaption("");
       },
       {16, 16, 22, 29}},
      {"without AutoSize the bounds stay as set",
       [](Label& l) {
         l.SetAutoSize(false);
         l.SetBounds(16, 32, 320, 13);
         l.SetCaption("Destination:");
       },
       {16, 32, 336, 45}},
      {"turning AutoSize on fits at once",
       [](Label& l) {
         l.SetAutoSize(false);
         l.SetCaption("Destination:");
         l.SetAutoSize(true);
       },
       {16, 16, 88, 29}},
      {"a right-aligned label keeps its right edge",
       [](Label& l) {
         l.SetAlignment(TextAlignment::Right);
         l.SetBounds(100, 16, 100, 13);
         l.SetCaption("12 kB");
       },
       {170, 16, 200, 29}},
      {"a wrapped label keeps its width and takes the height of its lines",
       [](Label& l) {
         l.SetBounds(16, 16, 60, 13);
         l.SetWordWrap(true);
         l.SetCaption("twenty-one characters");
       },
       {16, 16, 76, 55}},
  };
  for (const Case& c : cases) {
    MeasuringToolkit toolkit;
    Application app(toolkit);
    Label& label = app.CreateForm<LabelForm>().label;
    label.SetLeft(16);
    label.SetTop(16);
    c.change(label);
    EXPECT_EQ(label.BoundsRect(), c.bounds) << c.name << ": " << label.Left() << "," << label.Top()
                                            << " " << label.Width() << "x" << label.Height();
  }
}

TEST(LabelAutoSize, WithoutTextMetricsTheSizeStaysAsSet) {
  testing::CountingToolkit toolkit;  // headless: no screen, no fonts
  Application app(toolkit);
  Label& label = app.CreateForm<LabelForm>().label;
  label.SetBounds(16, 16, 0, 0);
  label.SetCaption("Source:");
  EXPECT_EQ(label.BoundsRect(), (Rect{16, 16, 16, 16}));
}

}  // namespace
}  // namespace forms
