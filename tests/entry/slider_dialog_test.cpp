// The slider dialogs of the parameters: the slider moves a parameter and
// the plot follows, typed values and limits, whole-number steps, the three
// animations with their keys on a fake clock, and the dialogs' state in the
// plot file.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <unistd.h>

#include "entry/slider_dialog.h"
#include "platform/keys.h"
#include "platform/testing.h"
#include "plot2d/plot2_test_util.h"
#include "support/test_env.h"

namespace kv {
namespace {

using test2d::GraphCoverage;

double D(long double v) { return static_cast<double>(v); }

class Sliders : public test2d::Plot2Test {
 protected:
  void SetUp() override {
    Plot2Test::SetUp();
    plat::testing::ClearMessages();
    w = MakeWindow();
  }
  void TearDown() override {
    plat::testing::FakeTicks(false);
    Plot2Test::TearDown();
  }
  // y = a·x² through "&1. y = f(x) ..." and its dialog.
  void EnterParabola() {
    RunWithDialog(w, kCmNewExplicit, "EQUA201", [](plat::Dialog& d) {
      d.SetItemText(212, "a*x^2");
      d.Press(plat::IDOK);
    });
  }
  void SetRange(int k, long double lo, long double value, long double hi) {
    w->Tables().lower[static_cast<std::size_t>(k)] = TComplex(lo);
    w->Tables().value[static_cast<std::size_t>(k)] = TComplex(value);
    w->Tables().upper[static_cast<std::size_t>(k)] = TComplex(hi);
  }
  long double Value(int k) { return w->Tables().value[static_cast<std::size_t>(k)].re; }
  TSlideDlg& Open(int k) {
    w->OpenSliderDialog(k);
    TSlideDlg* d = w->SliderDialog(k);
    EXPECT_NE(d, nullptr);
    return *d;
  }
  // The user drags the thumb to a position.
  static void Drag(TSlideDlg& d, int position) {
    d.SetScrollPos(kIdSliderBar, position);
    d.EvControl(kIdSliderBar, plat::SB_CHANGED);
  }
  static void Type(TSlideDlg& d, const std::string& text, int command) {
    d.SetItemText(kIdSliderValue, text);
    d.Press(command);
  }
  void Keys(const std::string& keys) {
    for (char c : keys) {
      if (c == ' ') {
        plat::testing::InjectKey(*w, plat::VK_SPACE, 0, ' ');
      } else {
        plat::testing::InjectKey(*w, static_cast<unsigned>(c));
      }
    }
  }
  double Coverage(const std::function<long double(long double)>& f) {
    Settle(w);
    return GraphCoverage(*w, w->Surface(), test2d::EntryColour(*w, 0), f);
  }
  std::string LastMessage() {
    const auto& m = plat::testing::Messages();
    return m.empty() ? std::string() : m.back().text;
  }
  TPlot2Win* w = nullptr;
};

TEST_F(Sliders, TheSliderMovesAAndTheParabolaFollows) {
  SetRange(1, -2, 1, 2);
  EnterParabola();
  ASSERT_EQ(w->equationCount, 0);
  EXPECT_GT(Coverage([](long double x) { return x * x; }), 0.95);

  w->Command(601);  // "&A ..."
  TSlideDlg* d = w->SliderDialog(1);
  ASSERT_NE(d, nullptr);
  EXPECT_TRUE(d->IsVisible());
  EXPECT_EQ(d->GetCaption(), "aktueller A-Wert");
  EXPECT_EQ(d->GetScrollRange(kIdSliderBar), std::make_pair(0, 100));
  EXPECT_EQ(d->GetScrollPos(kIdSliderBar), 75) << "A = 1 in -2..2";
  EXPECT_EQ(d->GetItemText(kIdSliderValue), "1.00000");

  w->Modified = 0;
  Drag(*d, 100);
  EXPECT_EQ(D(Value(1)), 2.0);
  EXPECT_EQ(d->GetItemText(kIdSliderValue), "2.00000");
  EXPECT_TRUE(w->Modified);
  EXPECT_GT(Coverage([](long double x) { return 2 * x * x; }), 0.95);
  EXPECT_LT(Coverage([](long double x) { return x * x; }), 0.5);

  Drag(*d, 0);
  EXPECT_EQ(D(Value(1)), -2.0);
  EXPECT_GT(Coverage([](long double x) { return -2 * x * x; }), 0.95);

  // Every position is left + position * span / steps.
  Drag(*d, 10);
  EXPECT_NEAR(D(Value(1)), -1.6, 1e-15);
  EXPECT_GT(Coverage([](long double x) { return -1.6L * x * x; }), 0.95);

  // Opening it again raises the same dialog.
  w->Command(601);
  EXPECT_EQ(w->SliderDialog(1), d);
  EXPECT_EQ(d->GetScrollPos(kIdSliderBar), 10);
}

TEST_F(Sliders, TheSliderOfAComplexParameterMovesItsRealPart) {
  SetRange(2, 0, 1, 4);
  w->SetComplexVariable('B', TComplex(1, 0.5L));
  TSlideDlg& d = Open(2);
  Drag(d, 50);
  EXPECT_EQ(D(w->Variable('B').re), 2.0);
  EXPECT_EQ(D(w->Variable('B').im), 0.5);
  Type(d, "3", plat::IDOK);
  EXPECT_EQ(D(w->Variable('B').re), 3.0);
  EXPECT_EQ(D(w->Variable('B').im), 0.5);
}

TEST_F(Sliders, TypedValuesWidenTheLimitsAndBracketsSwitchToWholeNumbers) {
  struct Case {
    const char* text;
    long double value, lo, hi;
    bool whole;
    int steps;
    int position;
    const char* shown;
  } cases[] = {
      {"1.5", 1.5L, -2, 2, false, 100, 87, "1.5"},
      {"3", 3, -2, 3, false, 100, 100, "3"},
      {"-5", -5, -5, 2, false, 100, 0, "-5"},
      {"sqrt(2)", std::sqrt(2.0L), -2, 2, false, 100, 85, "sqrt(2)"},
      // Whole numbers: the nearest, a half toward zero, on both sides of 0.
      {"[2.6]", 3, -2, 3, true, 5, 5, "3"},
      {"[2.5]", 2, -2, 2, true, 4, 4, "2"},
      {"[-2.6]", -3, -3, 2, true, 5, 0, "-3"},
      {"[-2.5]", -2, -2, 2, true, 4, 0, "-2"},
      {"[-3.4]", -3, -3, 2, true, 5, 0, "-3"},
      {"[0.4]", 0, -2, 2, true, 4, 2, "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    SetRange(3, -2, 0, 2);
    TSlideDlg& d = Open(3);
    if (d.IsWholeNumber()) Type(d, "[0]", plat::IDOK);  // back to plain steps
    SetRange(3, -2, 0, 2);
    d.ReinitSlider();
    Type(d, c.text, plat::IDOK);
    EXPECT_NEAR(D(Value(3)), D(c.value), 1e-15);
    EXPECT_EQ(D(w->Tables().lower[3].re), D(c.lo));
    EXPECT_EQ(D(w->Tables().upper[3].re), D(c.hi));
    EXPECT_EQ(d.IsWholeNumber(), c.whole);
    EXPECT_EQ(d.Steps(), c.steps);
    EXPECT_EQ(d.GetScrollPos(kIdSliderBar), c.position);
    EXPECT_EQ(d.GetItemText(kIdSliderValue), c.shown);
    EXPECT_EQ(d.IsItemVisible(kIdSliderOption), !c.whole) << "no precomputed whole-number animation";
  }
  EXPECT_TRUE(plat::testing::Messages().empty());

  // Leaving whole-number mode shows the value with the window's decimals.
  TSlideDlg& d = Open(3);
  ASSERT_TRUE(d.IsWholeNumber());
  Type(d, "[1]", plat::IDOK);
  EXPECT_FALSE(d.IsWholeNumber());
  EXPECT_EQ(d.Steps(), 100);
  EXPECT_EQ(d.GetItemText(kIdSliderValue), "1.00000");
  EXPECT_TRUE(d.IsItemVisible(kIdSliderFrames));
}

TEST_F(Sliders, RefusedTextsShowAMessageAndChangeNothing) {
  struct Case {
    int dialog;
    const char* text;
    const char* message;
  } cases[] = {
      {4, "[2", "unverständlich"},         // no closing bracket
      {4, "x+", ""},                       // the compiler's own message
      {kAllParametersDialog, "[2]", "unverständlich"},
      {0, "[2]", "unverständlich"},        // the time parameter has no whole numbers
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    plat::testing::ClearMessages();
    SetRange(4, -2, 1, 2);
    SetRange(1, -2, 1, 2);
    SetRange(0, 0, 1, 10);
    TSlideDlg& d = Open(c.dialog);
    const int index = d.Index();
    Type(d, c.text, plat::IDOK);
    ASSERT_EQ(plat::testing::Messages().size(), 1u);
    if (*c.message) {
      EXPECT_EQ(LastMessage(), c.message);
    }
    EXPECT_EQ(D(Value(index)), 1.0);
    EXPECT_FALSE(d.IsWholeNumber());
  }
}

TEST_F(Sliders, LimitButtonsTakeTheTypedNumberWhenItLeavesARange) {
  SetRange(5, -2, 0, 2);
  TSlideDlg& d = Open(5);
  Type(d, "-1", kCmSliderLeftLimit);
  EXPECT_EQ(D(w->Tables().lower[5].re), -1.0);
  EXPECT_EQ(D(Value(5)), -1.0);
  EXPECT_EQ(d.GetScrollPos(kIdSliderBar), 0);
  Type(d, "1.5", kCmSliderRightLimit);
  EXPECT_EQ(D(w->Tables().upper[5].re), 1.5);
  EXPECT_EQ(d.GetScrollPos(kIdSliderBar), 100);
  // A left limit not below the right one, and text that is no number, are
  // ignored without a message.
  Type(d, "1.5", kCmSliderLeftLimit);
  Type(d, "?", kCmSliderRightLimit);
  EXPECT_EQ(D(w->Tables().lower[5].re), -1.0);
  EXPECT_EQ(D(w->Tables().upper[5].re), 1.5);
  EXPECT_TRUE(plat::testing::Messages().empty());

  // In whole-number mode the limit is rounded and the steps follow the span.
  Type(d, "[0]", plat::IDOK);
  ASSERT_TRUE(d.IsWholeNumber());
  Type(d, "7.6", kCmSliderRightLimit);
  EXPECT_EQ(D(w->Tables().upper[5].re), 8.0);
  EXPECT_EQ(d.Steps(), 9) << "-1 .. 8";
  EXPECT_EQ(d.GetScrollRange(kIdSliderBar), std::make_pair(0, 9));
  Drag(d, 4);
  EXPECT_EQ(D(Value(5)), 3.0);
  Type(d, "-2.7", kCmSliderLeftLimit);
  EXPECT_EQ(D(w->Tables().lower[5].re), -3.0) << "-2.7 rounded";
  EXPECT_EQ(d.Steps(), 11) << "-3 .. 8";
}

// Whatever moves a slider or shows a value (the user, the dialog's own
// commands, a tool that stores into the parameter), the dialog is the
// active window afterwards; a hidden dialog stays hidden and inactive.
TEST_F(Sliders, TheDialogIsActiveAfterEachOfItsChanges) {
  SetRange(1, -2, 0, 2);
  SetRange(0, 0, 1, 10);
  EnterParabola();
  TSlideDlg& d = Open(1);
  TSlideDlg& at = Open(0);
  TSlideDlg& hidden = Open(2);
  hidden.Hide();
  const struct {
    const char* what;
    TSlideDlg* dialog;
    std::function<void()> change;
  } cases[] = {
      {"slider", &d, [&] { Drag(d, 60); }},
      {"typed value", &d, [&] { Type(d, "0.5", plat::IDOK); }},
      {"left limit", &d, [&] { Type(d, "-1", kCmSliderLeftLimit); }},
      {"right limit", &d, [&] { Type(d, "1.5", kCmSliderRightLimit); }},
      {"value stored by a tool", &d, [&] { d.ShowValue(); }},
      {"time parameter's value", &at, [&] { at.ShowValue(); }},
  };
  for (const auto& c : cases) {
    w->BringToTop();
    Settle(w);
    ASSERT_TRUE(w->IsActive()) << c.what;
    c.change();
    Settle(w);
    EXPECT_TRUE(c.dialog->IsActive()) << c.what;
  }
  w->BringToTop();
  Settle(w);
  hidden.ShowValue();
  Settle(w);
  EXPECT_TRUE(w->IsActive());
  EXPECT_FALSE(hidden.IsVisible());
}

TEST_F(Sliders, AnEmptyRangePlacesTheSliderAsIfTheSpanWereOne) {
  SetRange(6, 1, 1.5L, 1);
  TSlideDlg& d = Open(6);
  EXPECT_EQ(d.GetScrollPos(kIdSliderBar), 50);
}

TEST_F(Sliders, TheTimeParameterHasNoSliderAndShowsItsValueWider) {
  SetRange(0, 0, 2.5L, 10);
  TSlideDlg& d = Open(0);
  EXPECT_EQ(d.Bar(), nullptr);
  EXPECT_FALSE(d.HasItem(kIdSliderBar));
  EXPECT_EQ(d.GetCaption(), "aktueller @-Wert");
  EXPECT_EQ(d.GetItemText(kIdSliderValue), "2.50000");
  EXPECT_EQ(d.GetItemText(kIdSliderFrames), "");
}

TEST_F(Sliders, TheAllParametersDialogChoosesItsLetter) {
  SetRange(1, -2, 1, 2);
  SetRange(3, 0, 5, 10);
  TSlideDlg& d = Open(kAllParametersDialog);
  EXPECT_TRUE(d.IsAllParameters());
  EXPECT_EQ(d.Index(), 1);
  EXPECT_EQ(d.ListCount(kIdSliderLetter), 23);
  EXPECT_EQ(d.GetCaption(), "aktueller A-Wert");
  d.ListSetSel(kIdSliderLetter, 2);
  d.EvControl(kIdSliderLetter, plat::CBN_SELCHANGE);
  EXPECT_EQ(d.Index(), 3);
  EXPECT_EQ(d.GetCaption(), "aktueller C-Wert");
  EXPECT_EQ(w->selectedParameter, 3);
  EXPECT_EQ(d.GetScrollPos(kIdSliderBar), 50);
  Drag(d, 100);
  EXPECT_EQ(D(Value(3)), 10.0);
  EXPECT_EQ(D(Value(1)), 1.0);
}

TEST_F(Sliders, ChangedStepSettingsReachOpenDialogsButNotWholeNumberOnes) {
  SetRange(1, 0, 5, 10);
  SetRange(2, 0, 5, 10);
  TSlideDlg& a = Open(1);
  TSlideDlg& b = Open(2);
  Type(b, "[5]", plat::IDOK);
  // The all-parameters dialog keeps its steps in its own entry 24, whatever
  // letter it shows.
  TSlideDlg& all = Open(kAllParametersDialog);
  all.ListSetSel(kIdSliderLetter, 2);
  all.EvControl(kIdSliderLetter, plat::CBN_SELCHANGE);
  ASSERT_EQ(w->SetSliderSteps(200, 10), 0);
  EXPECT_EQ(a.Steps(), 200);
  EXPECT_EQ(a.GetScrollRange(kIdSliderBar), std::make_pair(0, 200));
  EXPECT_EQ(a.GetScrollPos(kIdSliderBar), 100);
  EXPECT_EQ(b.Steps(), 10);
  EXPECT_EQ(all.Steps(), 200);
  EXPECT_EQ(w->smallSteps[kAllParametersDialog], 200);
  EXPECT_EQ(w->mediumSteps[kAllParametersDialog], 20);
  EXPECT_EQ(w->smallSteps[3], 100) << "C's own slider keeps its entry";
}

// ---- animations ----

class SliderAnimations : public Sliders {
 protected:
  void SetUp() override {
    Sliders::SetUp();
    plat::testing::FakeTicks(true);
    SetRange(1, 0, 5, 10);
    EnterParabola();
  }
};

TEST_F(SliderAnimations, ContinuousAnimationTakesItsKeysAndStopsWhereItIs) {
  struct Case {
    const char* keys;
    bool reversing;
    long double end;
  } cases[] = {
      {" SLA", false, 4.675L},   // back by 0.1, then 0.125, then 0.1
      {"QQQA", false, 5.3L},
      {"QP  PA", false, 5.2L},   // paused: Space waits with the pause
      {"QQ\x1b" "A", false, 5.3L},  // Escape is no stop key
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys);
    SetRange(1, 0, 5, 10);
    TSlideDlg& d = Open(1);
    Keys(c.keys);
    d.Press(c.reversing ? kCmAnimateReversing : kCmAnimateCycling);
    EXPECT_NEAR(D(Value(1)), D(c.end), 1e-15);
    EXPECT_TRUE(d.IsVisible()) << "shown again";
    EXPECT_EQ(d.GetItemText(kIdSliderValue), FormatNumber(c.end, 6, 5));
    EXPECT_FALSE(w->animating);
  }
  // The graph shows the value where it stopped.
  EXPECT_GT(Coverage([](long double x) { return 5.2L * x * x; }), 0.95);
}

TEST_F(SliderAnimations, WholeNumberSteppingChangesItsDelay) {
  TSlideDlg& d = Open(1);
  Type(d, "[3]", plat::IDOK);
  ASSERT_TRUE(d.IsWholeNumber());
  Keys("SSLA");
  const std::int64_t start = plat::TickMilliseconds();
  d.Press(kCmAnimateCycling);
  EXPECT_EQ(D(Value(1)), 5.0) << "3, 4, 5, then A";
  EXPECT_EQ(w->steppingDelay, 450);
  EXPECT_EQ(plat::TickMilliseconds() - start, 450 + 400 + 450);
}

TEST_F(SliderAnimations, PrecomputedFramesArePlayedWithTheirDelayKeys) {
  TSlideDlg& d = Open(1);
  d.SetCheck(kIdSliderOption, true);
  d.SetItemText(kIdSliderFrames, "5");
  const std::string caption = w->GetCaption();
  // Five pictures (0, 2.5, .., 10) each poll once; then frames 0, 2.5, 5
  // are shown, "L" and "S" change the delay, "A" stops on 5.
  Keys("QQQQQLLSA");
  d.Press(kCmAnimateReversing);
  EXPECT_EQ(D(Value(1)), 5.0);
  EXPECT_EQ(w->frameDelay, 155);
  EXPECT_EQ(w->GetCaption(), caption);

  // Out of 3..200 nothing runs.
  plat::testing::ClearMessages();
  d.SetItemText(kIdSliderFrames, "2");
  d.Press(kCmAnimateReversing);
  EXPECT_EQ(LastMessage(), "jenseits der Grenzen");
  EXPECT_EQ(D(Value(1)), 5.0);
}

TEST_F(SliderAnimations, TheTimeParameterFollowsTheClockAndCycles) {
  struct Case {
    long double hi;
    bool endAt;
    const char* end;
    std::int64_t stopAt;
    unsigned key;
    long double expected;
  } cases[] = {
      {10, false, "", 1000, 'A', 0.95L},            // a frame every 50 ms
      {0.5L, false, "", 1000, 'A', 0.45L},          // through 0..0.5 again and again
      {10, false, "", 500, plat::VK_ESCAPE, 0.95L}, // Escape is no stop key: A at 1000 ms
      {10, true, "0.3", 0, 0, 0.3L},                 // "Ende bei" stops by itself
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(D(c.expected));
    plat::testing::FakeTicks(true);
    SetRange(0, 0, 0, c.hi);
    TSlideDlg& d = Open(0);
    d.SetCheck(kIdSliderOption, c.endAt);
    d.SetItemText(kIdSliderFrames, c.end);
    if (c.key) {
      plat::testing::AtTick(c.stopAt, [this, key = c.key] { plat::testing::InjectKey(*w, key); });
      if (c.key != 'A') plat::testing::AtTick(1000, [this] { plat::testing::InjectKey(*w, 'A'); });
    }
    d.Press(kCmAnimateCycling);
    EXPECT_NEAR(D(Value(0)), D(c.expected), 1e-15);
    EXPECT_EQ(w->timeMode, 0);
    EXPECT_EQ(d.GetItemText(kIdSliderValue), FormatNumber(c.expected, 7, 5));
  }
}

TEST_F(Sliders, ClosingTheWindowEndsItsAnimationAndThenClosesIt) {
  struct Observed : TPlot2Win {
    using TPlot2Win::TPlot2Win;
    bool* gone = nullptr;
    ~Observed() override { *gone = true; }
  };
  bool gone = false;
  auto* v = new Observed(nullptr, "Zu.kv2");
  v->gone = &gone;
  v->FileVersion = 33;
  ASSERT_TRUE(v->Create());
  v->Show(plat::SW_SHOW);
  Settle(v);
  plat::testing::FakeTicks(true);
  v->Tables().lower[1] = TComplex(0);
  v->Tables().value[1] = TComplex(5);
  v->Tables().upper[1] = TComplex(10);
  v->OpenSliderDialog(1);
  plat::testing::AtTick(200, [v] { plat::testing::RequestClose(*v); });
  v->SliderDialog(1)->Press(kCmAnimateCycling);
  EXPECT_NEAR(D(v->Tables().value[1].re), 6.0, 1e-15) << "ten frames of 20 ms, then the close request";
  EXPECT_FALSE(gone) << "not in the middle of the work";
  v->Modified = 0;
  for (int k = 0; k < 400 && !gone; ++k) {
    plat::App::ProcessEvents();
    usleep(5000);
  }
  EXPECT_TRUE(gone);
}

// ---- plot file ----

TEST_F(Sliders, OpenSliderDialogsSurviveSavingAndReopening) {
  const std::string path = kvtest::MakeTempDir("sliders") + "regler.kv2";
  SetRange(2, -3, 1, 3);
  Open(0);
  Open(2);
  Open(7).Hide();
  Open(kAllParametersDialog);
  w->parametersAsValues = 1;
  w->FileData.FileName = path;
  ASSERT_TRUE(w->WriteFile());

  TPlot2Win* v = MakeWindow();
  v->FileData.FileName = path;
  ASSERT_EQ(v->OpenFile(), 0);
  for (int k = 0; k <= kAllParametersDialog; ++k) {
    const bool open = k == 0 || k == 2 || k == kAllParametersDialog;
    EXPECT_EQ(v->IsSliderDialogOpen(k), open) << k;
  }
  EXPECT_EQ(v->SliderDialog(2)->GetScrollPos(kIdSliderBar), 67) << "B = 1 in -3..3";
  EXPECT_EQ(v->parametersAsValues, 1);
}

}  // namespace
}  // namespace kv
