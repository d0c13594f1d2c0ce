// The quiz's task generator and checker without a window: every family's
// texts compile and show in their views, the pieces of polynomial and
// rational tasks, signs that stay in the text, and the checker's verdicts.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <string>

#include "formula/formula_engine.h"
#include "planewin/model/quiz_checker.h"
#include "planewin/model/quiz_tasks.h"

namespace kv {
namespace {

using namespace quiz;

constexpr long double kPi = 3.141592653589793L;

TQuizSettings AllTypes(bool absolute, int minDegree = 1, int maxDegree = 8) {
  TQuizSettings s;
  s.enabled.fill(true);
  s.enabled[0] = absolute;
  s.minDegree = minDegree;
  s.maxDegree = maxDegree;
  return s;
}

TQuizView StartView() {
  TQuizView v;
  v.ratio = 0.75L;  // a client of 4 : 3
  v.Update();
  return v;
}

const TQuizContext kContext{640, 480, {}, {}};
// A square client, where rational tasks of every degree scale.
const TQuizContext kSquare{600, 600, {}, {}};

// A compiled task text, evaluated at x.
class Formula {
 public:
  explicit Formula(const std::string& text) : code_(engine_.Compile(text, tree_)) {}
  bool Compiled() const { return code_ == 0 && tree_; }
  bool At(long double x, long double& y) {
    engine_.SetJumpDetection(false);
    engine_.SetVariable('X', x);
    engine_.ClearEvaluationError();
    if (!engine_.Evaluate(tree_.get())) return false;
    y = tree_->value.re;
    return std::isfinite(y);
  }

 private:
  TFormulaEngine engine_;
  TreePtr tree_;
  int code_;
};

TEST(QuizTasks, EveryFamilyGivesTextsThatCompileAndShowInTheirView) {
  for (int type = 1; type <= kTypeCount; ++type) {
    for (bool absolute : {false, true}) {
      for (std::uint64_t seed = 1; seed <= 60; ++seed) {
        TSeededRandom random(seed * 31 + type);
        const TQuizTask task = MakeQuizTaskOfType(type, AllTypes(absolute), StartView(), random, kSquare);
        SCOPED_TRACE(std::to_string(type) + " " + task.text);
        ASSERT_EQ(task.type, type);
        ASSERT_FALSE(task.stopped || task.gaveUp);
        Formula f(task.text);
        ASSERT_TRUE(f.Compiled());
        // The graph is visible: defined and inside the view somewhere.
        int shown = 0;
        for (int k = 0; k <= 400; ++k) {
          long double y = 0;
          const long double x = task.view.xmin() + k * (task.view.xmax() - task.view.xmin()) / 400;
          if (f.At(x, y) && y > task.view.ymin() && y < task.view.ymax()) ++shown;
        }
        EXPECT_GT(shown, 20);
        for (long double v : task.vertical) {
          EXPECT_GT(v, task.view.xmin());
          EXPECT_LT(v, task.view.xmax());
        }
      }
    }
  }
}

TEST(QuizTasks, TaskTypesFollowTheEnabledFamilies) {
  TQuizSettings s;
  s.enabled[kParabola] = true;
  s.enabled[kTangent] = true;
  TSeededRandom random(4);
  bool seen[kTypeCount + 1] = {};
  for (int k = 0; k < 200; ++k) {
    const int type = MakeQuizTask(s, StartView(), random, kContext).type;
    ASSERT_TRUE(type == kParabola || type == kTangent) << type;
    seen[type] = true;
  }
  EXPECT_TRUE(seen[kParabola] && seen[kTangent]);
  // None enabled: polynomials rather than an endless search.
  const TQuizTask t = MakeQuizTask(TQuizSettings{}, StartView(), random, kContext);
  EXPECT_EQ(t.type, kPolynomial);
}

TEST(QuizTasks, LinearTasksHaveAWholeInterceptAndRoot) {
  TQuizSettings s;
  s.enabled[kPolynomial] = true;
  s.minDegree = s.maxDegree = 1;
  for (std::uint64_t seed = 1; seed <= 200; ++seed) {
    TSeededRandom random(seed);
    const TQuizTask task = MakeQuizTaskOfType(kPolynomial, s, StartView(), random, kContext);
    SCOPED_TRACE(task.text);
    Formula f(task.text);
    ASSERT_TRUE(f.Compiled());
    long double y0 = 0;
    long double root = 1;
    ASSERT_TRUE(f.At(0, y0));
    EXPECT_NEAR(y0, std::round(y0), 1e-15);
    ASSERT_TRUE(f.At(task.view.cx, root));
    EXPECT_NEAR(root, 0, 1e-15) << "the view is centred on the root";
    EXPECT_EQ(task.view.cx, std::round(task.view.cx));
  }
}

TEST(QuizTasks, PolynomialViewsFrameTheGraphAsWritten) {
  // Without absolute values a quarter of the polynomials are turned over;
  // the text must keep that sign, since the view is framed for it.
  TQuizSettings s;
  s.enabled[kPolynomial] = true;
  s.minDegree = 2;
  s.maxDegree = 5;
  int negative = 0;
  for (std::uint64_t seed = 1; seed <= 300; ++seed) {
    TSeededRandom random(seed);
    const TQuizTask task = MakeQuizTaskOfType(kPolynomial, s, StartView(), random, kContext);
    SCOPED_TRACE(task.text);
    ASSERT_FALSE(task.gaveUp);
    Formula f(task.text);
    ASSERT_TRUE(f.Compiled());
    long double y0 = 0;
    ASSERT_TRUE(f.At(0, y0));
    EXPECT_NEAR(y0, std::round(y0), 1e-9) << "a whole value at 0";
    // Between the outer roots the graph stays within the view.
    const long double from = task.view.cx - 3.5L;
    const long double to = task.view.cx + 3.5L;
    long double top = -1e9;
    long double bottom = 1e9;
    for (int k = 0; k <= 700; ++k) {
      long double y = 0;
      ASSERT_TRUE(f.At(from + k * (to - from) / 700, y));
      top = std::max(top, y);
      bottom = std::min(bottom, y);
    }
    EXPECT_LT(bottom, task.view.ymax());
    EXPECT_GT(top, task.view.ymin());
    if (task.text[0] == '-' || task.text.rfind("(-", 0) == 0) ++negative;
  }
  EXPECT_GT(negative, 30) << "turned-over polynomials keep their minus";
}

TEST(QuizTasks, RationalTasksHaveExactlyOnePole) {
  TQuizSettings s;
  s.enabled[kRational] = true;
  s.minDegree = 1;
  s.maxDegree = 6;
  // A client taller than wide, where a lone pole scales as well.
  const TQuizContext tall{400, 800, {}, {}};
  int lonePoles = 0;
  for (std::uint64_t seed = 1; seed <= 150; ++seed) {
    TSeededRandom random(seed);
    const TQuizTask task = MakeQuizTaskOfType(kRational, s, StartView(), random, tall);
    SCOPED_TRACE(task.text);
    ASSERT_FALSE(task.gaveUp);
    ASSERT_EQ(task.vertical.size(), 1u);
    Formula f(task.text);
    ASSERT_TRUE(f.Compiled());
    long double y = 0;
    const long double pole = task.vertical[0];
    EXPECT_FALSE(f.At(pole, y) && std::fabs(y) < 1e6) << "undefined or huge at the pole";
    ASSERT_TRUE(f.At(pole + 0.5L, y));
    // Degree 1: a whole number over the one factor, "N/(x-r)", whole at 0.
    if (task.text.find("(x") == task.text.rfind("(x")) {
      ++lonePoles;
      EXPECT_TRUE(std::regex_match(task.text, std::regex(R"(-?\d*/\(x[-+][1-4]\))")));
      ASSERT_TRUE(f.At(0, y));
      EXPECT_NEAR(y, std::round(y), 1e-15);
      EXPECT_NE(y, 0);
    }
  }
  EXPECT_GT(lonePoles, 10);
  // In a client wider than 5 : 4 no lone pole scales: the search ends with
  // the fixed task after its attempts.
  s.maxDegree = 1;
  TSeededRandom random(3);
  const TQuizTask wide = MakeQuizTaskOfType(kRational, s, StartView(), random, kContext);
  EXPECT_TRUE(wide.gaveUp);
  EXPECT_EQ(wide.text, kFallbackRational);
}

TEST(QuizTasks, ParabolaVertexAndOpeningStayInTheText) {
  TQuizSettings s;
  s.enabled[kParabola] = true;
  int atZero = 0;
  int downwards = 0;
  for (std::uint64_t seed = 1; seed <= 1500; ++seed) {
    TSeededRandom random(seed);
    const TQuizTask task = MakeQuizTaskOfType(kParabola, s, StartView(), random, kContext);
    SCOPED_TRACE(task.text);
    Formula f(task.text);
    ASSERT_TRUE(f.Compiled());
    long double vertex = 0;
    long double y0 = 0;
    ASSERT_TRUE(f.At(task.view.cx, vertex));
    EXPECT_NEAR(vertex, task.view.cy, 1e-15);
    ASSERT_TRUE(f.At(0, y0));
    EXPECT_NEAR(y0, std::round(y0), 1e-15) << "through a whole point on the y axis";
    EXPECT_NE(y0, task.view.cy);
    if (task.view.cy == 0) {
      ++atZero;
      if (y0 < 0) ++downwards;
      EXPECT_NE(task.text.substr(0, 2), "0+");
    }
  }
  // With the vertex on the x axis a parabola opens downwards about as
  // often as upwards.
  ASSERT_GT(atZero, 80);
  EXPECT_GT(downwards, atZero * 35 / 100);
  EXPECT_LT(downwards, atZero * 65 / 100);
}

TEST(QuizTasks, TrigonometricTasksAndTheirAsymptotes) {
  TQuizSettings s;
  for (int type : {kTangent, kCotangent, kSecant, kCosecant}) {
    for (std::uint64_t seed = 1; seed <= 40; ++seed) {
      TSeededRandom random(seed);
      const TQuizTask task = MakeQuizTaskOfType(type, s, StartView(), random, kContext);
      SCOPED_TRACE(task.text);
      const std::size_t open = task.text.find('(');
      const std::string head = task.text.substr(0, open);
      if (type == kTangent || type == kCotangent) {
        EXPECT_TRUE(head == "tan" || head == "-tan" || head == "cot" || head == "-cot");
      }
      const std::size_t x = task.text.find("x)");
      const std::string factor = task.text.substr(open + 1, x - open - 1);
      const int b = factor.empty() ? 1 : std::stoi(factor);
      const long double p = kPi / b;
      const long double offset = (type == kTangent || type == kSecant) ? p / 2 : 0;
      ASSERT_FALSE(task.vertical.empty());
      for (long double v : task.vertical) {
        const long double k = (v - offset) / p;
        EXPECT_NEAR(k, std::round(k), 1e-12);
      }
      // Every asymptote in the view is listed.
      const long double n = std::floor((task.view.xmax() - offset) / p) - std::ceil((task.view.xmin() - offset) / p) + 1;
      EXPECT_EQ(static_cast<long double>(task.vertical.size()), n);
    }
  }
}

TEST(QuizTasks, ExponentialValueAtZeroIsInTheView) {
  TQuizSettings s = AllTypes(true);
  for (std::uint64_t seed = 1; seed <= 200; ++seed) {
    TSeededRandom random(seed);
    const TQuizTask task = MakeQuizTaskOfType(kExponential, s, StartView(), random, kContext);
    SCOPED_TRACE(task.text);
    Formula f(task.text);
    long double y0 = 0;
    ASSERT_TRUE(f.At(0, y0));
    EXPECT_GT(y0, task.view.ymin());
    EXPECT_LT(y0, task.view.ymax());
    // Far to the left the graph reaches its asymptote.
    long double far = 0;
    ASSERT_TRUE(f.At(-60, far));
    const long double d = task.horizontal.empty() ? 0 : task.horizontal[0];
    EXPECT_NEAR(far, d, 1e-9);
  }
}

TEST(QuizTasks, LogarithmFamiliesLieOnTheirSideOfTheAsymptote) {
  TQuizSettings s;
  for (int type : {kLogarithm, kMirroredLogarithm, kAbsLogarithm}) {
    for (std::uint64_t seed = 1; seed <= 60; ++seed) {
      TSeededRandom random(seed);
      const TQuizTask task = MakeQuizTaskOfType(type, s, StartView(), random, kContext);
      SCOPED_TRACE(task.text);
      Formula f(task.text);
      ASSERT_TRUE(f.Compiled());
      const long double c = task.vertical.empty() ? 0 : task.vertical[0];
      long double y = 0;
      const bool left = f.At(c - 0.5L, y);
      const bool right = f.At(c + 0.5L, y);
      // Only log(c - x) with c > 0 lies left of its asymptote; type 12 is
      // written |c| - x, |c| + x or x alone.
      const bool mirrored = type == kMirroredLogarithm && c > 0;
      EXPECT_EQ(left, type == kAbsLogarithm || mirrored);
      EXPECT_EQ(right, !mirrored);
      if (type == kMirroredLogarithm) {
        const std::string argument =
            c > 0 ? std::to_string(static_cast<int>(c)) + "-x" : c < 0 ? std::to_string(static_cast<int>(-c)) + "+x" : "x";
        EXPECT_NE(task.text.find("log(" + argument + ")/"), std::string::npos) << argument;
      }
    }
  }
}

TEST(QuizTasks, PowerTasksAreRootsRaisedToAPower) {
  TQuizSettings s;
  for (std::uint64_t seed = 1; seed <= 60; ++seed) {
    TSeededRandom random(seed);
    const TQuizTask task = MakeQuizTaskOfType(kPower, s, StartView(), random, kContext);
    SCOPED_TRACE(task.text);
    Formula f(task.text);
    ASSERT_TRUE(f.Compiled());
    long double y = 0;
    EXPECT_TRUE(f.At(5, y));
  }
}

TEST(QuizTasks, FactorTextsAndFractions) {
  TFactorMultiplicities m{};
  auto at = [&m](int r) -> std::int16_t& { return m[static_cast<std::size_t>(r + 4)]; };
  at(-1) = 1;
  at(2) = 2;
  at(3) = -1;
  std::vector<long double> poles;
  EXPECT_EQ(BuildFactorText(m, &poles), "(x+1)(x-2)(x-2)/(x-3)");
  EXPECT_EQ(poles, std::vector<long double>{3});
  EXPECT_TRUE(HasOddRoot(m));
  m = {};
  at(2) = -1;
  EXPECT_EQ(BuildFactorText(m, nullptr), "1/(x-2)");
  EXPECT_FALSE(HasOddRoot(m));
  at(-3) = -1;
  EXPECT_EQ(BuildFactorText(m, nullptr), "1/((x+3)(x-2))");
  m = {};
  at(4) = 2;
  EXPECT_FALSE(HasOddRoot(m));
  EXPECT_EQ(EvaluateFactors(m, 2), 4);

  struct Case {
    long long p, q, rp, rq;
  };
  for (const Case& c : {Case{6, 4, 3, 2}, Case{7, 7, 1, 1}, Case{12, 18, 2, 3}, Case{-6, 4, 3, -2}, Case{5, 1, 5, 1}}) {
    long long p = c.p;
    long long q = c.q;
    ReduceFraction(p, q);
    EXPECT_EQ(p, c.rp);
    EXPECT_EQ(q, c.rq);
  }
}

TEST(QuizTasks, ChosenFactorsHaveTheDegreeAndOnePole) {
  for (bool polynomial : {true, false}) {
    for (int degree = 1; degree <= 8; ++degree) {
      for (std::uint64_t seed = 1; seed <= 20; ++seed) {
        TSeededRandom random(seed * 13 + degree);
        const TChosenFactors f = ChooseFactors(degree, polynomial, seed % 2 == 0, random);
        int total = 0;
        int poles = 0;
        for (int r = -4; r <= 4; ++r) {
          const int k = f.m[static_cast<std::size_t>(r + 4)];
          total += std::abs(k);
          if (k < 0) ++poles;
          if (k != 0) {
            EXPECT_GE(r, f.rmin);
            EXPECT_LE(r, f.rmax);
            EXPECT_LE(std::abs(k), polynomial ? 4 : 2);
            if (seed % 2 == 0) {
              EXPECT_EQ(std::abs(k), 1);
            }
          }
        }
        EXPECT_EQ(f.m[4], 0) << "no factor x";
        EXPECT_EQ(total, degree);
        EXPECT_EQ(poles, polynomial ? 0 : 1);
      }
    }
  }
}

TEST(QuizTasks, TheFactorSearchEndsWhenStoppedOrAfterItsAttempts) {
  TQuizSettings s;
  s.enabled[kRational] = true;
  s.minDegree = s.maxDegree = 4;
  int started = 0;
  const TQuizContext stop{640, 480, [&started] { ++started; }, [] { return true; }};
  TSeededRandom random(8);
  TQuizView view = StartView();
  view.cx = 3;
  TQuizTask task;
  // A stop key ends the search at its first failed attempt.
  for (int k = 0; k < 50 && !task.stopped; ++k) task = MakeQuizTaskOfType(kRational, s, view, random, stop);
  ASSERT_TRUE(task.stopped);
  EXPECT_EQ(task.text, kFallbackRational);
  EXPECT_EQ(task.view.cx, 3) << "the view stays";
  EXPECT_GT(started, 0);
  // Out of attempts: the fixed task, and the caller learns it gave up.
  TQuizContext once{640, 480, {}, {}};
  once.maxAttempts = 1;
  s.minDegree = s.maxDegree = 8;
  int gaveUp = 0;
  for (int k = 0; k < 20; ++k) {
    const TQuizTask t = MakeQuizTaskOfType(kRational, s, view, random, once);
    if (!t.gaveUp) continue;
    ++gaveUp;
    EXPECT_EQ(t.text, kFallbackRational);
    EXPECT_FALSE(t.stopped);
  }
  EXPECT_GT(gaveUp, 10);
  // A client of no size is taken as square, so the search still succeeds.
  const TQuizContext empty{0, 0, {}, {}};
  TSeededRandom again(9);
  for (int degree = 2; degree <= 8; ++degree) {
    s.minDegree = s.maxDegree = degree;
    const TQuizTask t = MakeQuizTaskOfType(kRational, s, view, again, empty);
    EXPECT_FALSE(t.gaveUp) << degree;
  }
}

// ---- the checker ----

class QuizChecker : public ::testing::Test {
 protected:
  TGuessVerdict Check(const char* task, const char* guess, long double xmin = -7, long double halfX = 7) {
    TreePtr t;
    TreePtr g;
    EXPECT_EQ(engine_.Compile(task, t), 0) << task;
    EXPECT_EQ(engine_.Compile(guess, g), 0) << guess;
    TSeededRandom random(17);
    return CheckGuess(engine_, t.get(), g.get(), xmin, halfX, random);
  }
  TFormulaEngine engine_;
};

TEST_F(QuizChecker, EqualFunctionsWrittenDifferentlyAreAccepted) {
  struct Case {
    const char* task;
    const char* guess;
    bool accepted;
  };
  const Case cases[] = {
      {"(x-1)(x-2)", "x^2-3x+2", true},
      {"(x-1)(x-2)", "x^2", false},
      {"2x+2", "2(x+1)", true},
      {"2x+2", "2x+2.01", false},
      {"2x+2", "2x+2.0001", true},
      {"(x-1)(x-2)/(x+1)", "(x^2-3x+2)/(x+1)", true},
      {"-2^x-3", "-(2^x)-3", true},
      {"2*3^(x-1)+2", "(2/3)*3^x+2", true},
      {"tan(2x)-3", "sin(2x)/cos(2x)-3", true},
      {"abs( (x-1)(x+2) )", "abs(x-1)abs(x+2)", true},
      {"0-log(2-x)/log(2)", "-log(2-x)/log(2)", true},
      // Defined nowhere the task is: refused.
      {"x", "log(-1-x*x)", false},
      // Points where only one side is defined are skipped.
      {"x", "root(2,x)*root(2,x)", true},
      {"log(x-3)/log(2)", "log(abs(x-3))/log(2)", true},
      {"root(3,x)", "x^(1/3)", true},
      {"pow(2,root(3,x))", "x^(2/3)", true},
      {"root(3,x)", "x^(1/3)+0.01", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.task) + " vs " + c.guess);
    EXPECT_EQ(Check(c.task, c.guess).accepted, c.accepted);
  }
}

// A task's root(q, E) and pow(p, root(q, E)) written as powers of E.
std::string AsPowers(const std::string& task) {
  std::string s = std::regex_replace(task, std::regex(R"(pow\((\d),root\((\d),([^)]*)\)\))"), "($3)^($1/$2)");
  return std::regex_replace(s, std::regex(R"(root\((\d),([^)]*)\))"), "($2)^(1/$1)");
}

TEST_F(QuizChecker, TheGeneratorsTasksAcceptTheirNaturalAnswers) {
  int powers = 0;
  for (int type = 1; type <= kTypeCount; ++type) {
    for (bool absolute : {false, true}) {
      for (std::uint64_t seed = 1; seed <= 12; ++seed) {
        TSeededRandom random(seed * 7 + type);
        const TQuizTask task = MakeQuizTaskOfType(type, AllTypes(absolute), StartView(), random, kSquare);
        const std::string answer = AsPowers(task.text);
        powers += answer != task.text;
        SCOPED_TRACE(task.text + " as " + answer);
        const long double halfX = (task.view.xmax() - task.view.xmin()) / 2;
        const TGuessVerdict v = Check(task.text.c_str(), answer.c_str(), task.view.xmin(), halfX);
        EXPECT_TRUE(v.accepted);
        EXPECT_GT(v.jointlyDefined, 0);
      }
    }
  }
  EXPECT_GT(powers, 12);
}

TEST_F(QuizChecker, VariablesAndJumpDetectionAreLeftAsTheyWere) {
  engine_.SetVariable('X', 1.25L);
  engine_.SetJumpDetection(true);
  const TGuessVerdict v = Check("x", "x");
  EXPECT_TRUE(v.accepted);
  EXPECT_EQ(v.jointlyDefined, kCheckPoints);
  EXPECT_EQ(engine_.Variable('X').re, 1.25L);
  EXPECT_TRUE(engine_.JumpDetection());
  // A task defined nowhere in the view cannot be judged: refused.
  EXPECT_FALSE(Check("log(x)", "log(x)", -5, 2).accepted);
}

}  // namespace
}  // namespace kv
