// The function quiz as a pupil meets it: a task on the screen, guesses
// judged in the caption, the answer, the type dialog, keys and "guess.ini".
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "planewin/quiz_win.h"
#include "planewin/switch_dialog.h"
#include "platform/app.h"
#include "platform/dialog.h"
#include "platform/keys.h"
#include "platform/testing.h"
#include "support/plot_window_test.h"

namespace kv {
namespace {

class QuizWindow : public kvtest::PlotWindowTest<TPlotGWin> {
 protected:
  TPlotGWin* MakeQuiz() { return MakeWindow("Rate meine Gleichung"); }
  // A fixed task instead of a random one.
  static void SetTask(TPlotGWin* w, const std::string& text) {
    w->Equation(0).formulaText[1] = text;
    w->CompileEquation(0);
    w->equationCount = 0;
  }
  static void Only(TPlotGWin* w, int type) {
    w->Types.enabled.fill(false);
    w->Types.enabled[static_cast<std::size_t>(type)] = true;
  }
};

TEST_F(QuizWindow, OpensWithAParabolaLikeTaskOfDegreeTwo) {
  TPlotGWin* w = MakeQuiz();
  EXPECT_EQ(w->GetCaption(), "Rate meine Gleichung");
  EXPECT_EQ(w->equationCount, 0);
  EXPECT_EQ(w->SettingsFileName, "guess.ini");
  EXPECT_EQ(w->MenuName(), "GUESSMENU");
  EXPECT_FALSE(w->HasMenuItem(57));
  EXPECT_TRUE(w->CanClose());
  // It opens no files, so it has none to print together either.
  EXPECT_FALSE(w->IsMenuItemEnabled(307));
  EXPECT_FALSE(w->Command(307));
  // Without "guess.ini" only polynomials of degree 2 come.
  for (int k = 0; k < 10; ++k) {
    w->Command(kCmNewTask);
    const TEquation& e = w->Equation(0);
    SCOPED_TRACE(e.formulaText[1]);
    ASSERT_TRUE(e.trees[1]);
    EXPECT_EQ(e.stepDensity, 3);
    EXPECT_EQ(e.lowerBound.x, w->World.xmin);
    // Degree 2: the second difference is constant.
    long double y[4];
    for (int j = 0; j < 4; ++j) ASSERT_TRUE(w->EvaluateAt(e.trees[1].get(), 'X', j, y[j]));
    EXPECT_NEAR((y[3] - 2 * y[2] + y[1]) - (y[2] - 2 * y[1] + y[0]), 0, 1e-9);
    EXPECT_NE(y[2] - 2 * y[1] + y[0], 0);
  }
}

TEST_F(QuizWindow, GuessesAreJudgedInTheCaption) {
  TPlotGWin* w = MakeQuiz();
  SetTask(w, "2x+2");
  struct Case {
    const char* guess;
    const char* caption;
    int entries;  // last index: 1 shows the wrong guess
  };
  const Case cases[] = {
      {"2(x+1)", "Perfekt!", 0},
      {"2x+2", "Perfekt!", 0},
      {"2x+3", "Nochmal versuchen?", 1},
      {"2x+2)", "Klammern nicht paarweise", 0},
      {"log(-1-x*x)", "Nochmal versuchen?", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.guess);
    w->Guess(c.guess);
    EXPECT_EQ(w->GetCaption(), c.caption);
    EXPECT_EQ(w->equationCount, c.entries);
    if (c.entries == 1) {
      EXPECT_EQ(w->Equation(1).formulaText[1], c.guess);
    }
  }
}

TEST_F(QuizWindow, RateOpensWithTheLastWrongGuess) {
  TPlotGWin* w = MakeQuiz();
  SetTask(w, "(x-1)(x-2)");
  RunWithDialog(w, kCmGuess, "ONEINPUT", [](plat::Dialog& d) {
    EXPECT_EQ(d.GetItemText(211), "");
    EXPECT_EQ(d.GetItemText(231), "y =");
    d.SetItemText(211, "x^2");
    d.Press(1);
  });
  EXPECT_EQ(w->GetCaption(), "Nochmal versuchen?");
  // The wrong answer is drawn in the answer colour.
  const plat::Colour answer = w->DrawingColourOf(w->ColourSlots[kQuizAnswerSlot]);
  EXPECT_TRUE(kvtest::ColourNear(w->Surface(), w->WorldToPixelX(1), w->WorldToPixelY(1), answer, 2));
  RunWithDialog(w, kCmGuess, "ONEINPUT", [](plat::Dialog& d) {
    EXPECT_EQ(d.GetItemText(211), "x^2");
    d.SetItemText(211, "x^2-3x+2");
    d.Press(1);
  });
  EXPECT_EQ(w->GetCaption(), "Perfekt!");
  EXPECT_EQ(w->equationCount, 0);
}

TEST_F(QuizWindow, TheAnswerShowsTheTaskTextAsGenerated) {
  TPlotGWin* w = MakeQuiz();
  const std::string text = w->Equation(0).formulaText[1];
  plat::testing::ClearMessages();
  w->Command(kCmAnswer);
  ASSERT_EQ(plat::testing::Messages().size(), 1u);
  EXPECT_EQ(plat::testing::Messages()[0].text, "y = " + text);
  EXPECT_EQ(plat::testing::Messages()[0].caption, "Antwort");
}

TEST_F(QuizWindow, TheTypeDialogAndItsLimits) {
  TPlotGWin* w = MakeQuiz();
  // Nothing ticked: parabolas, and message 25.
  plat::testing::ClearMessages();
  RunWithDialog(w, kCmSelectTypes, "SWITCH", [](plat::Dialog& d) {
    EXPECT_TRUE(d.IsChecked(kSwitchFirstBox + 1));
    EXPECT_EQ(d.GetItemText(kSwitchMinDegree), "2");
    for (int i = 0; i < 15; ++i) d.SetCheck(kSwitchFirstBox + i, false);
    d.Press(1);
  });
  ASSERT_EQ(plat::testing::Messages().size(), 1u);
  EXPECT_EQ(plat::testing::Messages()[0].text, "brauche mindestens eine");
  EXPECT_TRUE(w->Types.enabled[quiz::kParabola]);
  // Degrees out of bounds keep the dialog open with message 17.
  struct Case {
    const char* low;
    const char* high;
    bool ok;
  };
  for (const Case& c : {Case{"0", "3", false}, Case{"3", "2", false}, Case{"2", "9", false}, Case{"1", "8", true}}) {
    SCOPED_TRACE(std::string(c.low) + ".." + c.high);
    plat::testing::ClearMessages();
    RunWithDialog(w, kCmSelectTypes, "SWITCH", [&c](plat::Dialog& d) {
      d.SetCheck(kSwitchFirstBox + static_cast<int>(quiz::kTangent), true);
      d.SetItemText(kSwitchMinDegree, c.low);
      d.SetItemText(kSwitchMaxDegree, c.high);
      d.Press(1);
      if (!c.ok) d.Press(2);
    });
    EXPECT_EQ(plat::testing::Messages().size(), c.ok ? 0u : 1u);
    EXPECT_EQ(w->Types.minDegree, c.ok ? 1 : 2);
    EXPECT_TRUE(w->Types.enabled[quiz::kTangent]);
  }
}

TEST_F(QuizWindow, ResetThenNewTaskGivesAParabola) {
  TPlotGWin* w = MakeQuiz();
  w->Command(kCmSelectAll);
  EXPECT_TRUE(w->Types.enabled[0]);
  EXPECT_EQ(w->Types.maxDegree, 8);
  w->Command(kCmResetTypes);
  w->SimulateKey(plat::VK_F2);
  Settle(w);
  const TEquation& e = w->Equation(0);
  SCOPED_TRACE(e.formulaText[1]);
  // The view is centred on the vertex.
  long double vertex = 0;
  long double beside = 0;
  ASSERT_TRUE(w->EvaluateAt(e.trees[1].get(), 'X', w->Centre.x, vertex));
  ASSERT_TRUE(w->EvaluateAt(e.trees[1].get(), 'X', w->Centre.x + 1, beside));
  EXPECT_NEAR(vertex, w->Centre.y, 1e-12);
  long double left = 0;
  ASSERT_TRUE(w->EvaluateAt(e.trees[1].get(), 'X', w->Centre.x - 1, left));
  EXPECT_NEAR(left, beside, 1e-12) << "symmetric about the vertex";
}

TEST_F(QuizWindow, AsymptotesAreDrawnDottedInTheirColour) {
  TPlotGWin* w = MakeQuiz();
  Only(w, quiz::kTangent);
  w->Command(kCmNewTask);
  Settle(w);
  ASSERT_FALSE(w->VerticalAsymptotes.empty());
  const plat::Colour c = w->DrawingColourOf(w->ColourSlots[kQuizAsymptoteSlot]);
  const int x = w->WorldToPixelX(w->VerticalAsymptotes.front());
  int dots = 0;
  for (int y = 5; y < w->AreaHeight() - 5; ++y)
    if (kvtest::ColourNear(w->Surface(), x, y, c, 1)) ++dots;
  EXPECT_GT(dots, w->AreaHeight() / 4);
  EXPECT_LT(dots, w->AreaHeight() - 10) << "dotted, not solid";
  // A new colour of the answer reaches the guess entry.
  w->ColourSlots[kQuizAnswerSlot] = 9;
  w->EvViewNotify(kQuizAnswerChanged);
  EXPECT_EQ(w->Equation(1).penColour, 9);
}

TEST_F(QuizWindow, TypesAndDegreesAreKeptInGuessIni) {
  TPlotGWin* w = MakeQuiz();
  Only(w, quiz::kExponential);
  w->Types.enabled[0] = true;
  w->Types.minDegree = 3;
  w->Types.maxDegree = 5;
  w->Destroy();
  plat::App::DeleteDestroyedWindows();
  windows_.clear();
  TPlotGWin* again = MakeQuiz();
  EXPECT_TRUE(again->Types.enabled[0]);
  EXPECT_TRUE(again->Types.enabled[quiz::kExponential]);
  EXPECT_FALSE(again->Types.enabled[quiz::kPolynomial]);
  EXPECT_EQ(again->Types.minDegree, 3);
  EXPECT_EQ(again->Types.maxDegree, 5);
  EXPECT_NE(again->Equation(0).formulaText[1].find('^'), std::string::npos) << "an exponential task";
  again->Surface().WritePngFile(kvtest::BuildTreeDir() + "/quiz_exponential.png");
}

}  // namespace
}  // namespace kv
