// The 2D window's integration and solid tools as a user drives them with
// the keyboard and the mouse: the numbers they show, the input they refuse,
// the windows they open, and the searches that follow the chosen curve.
#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "support/display_test.h"

namespace kvdisplay {
namespace {

class Tools2DIntegrals : public DisplayTest {
 protected:
  // Waits for a message containing the text since `from`.
  bool MessageShown(const std::string& text, std::size_t from) {
    return Eventually(
        [&] {
          for (const std::string& m : Messages(from))
            if (m.find(text) != std::string::npos) return true;
          return false;
        },
        3000);
  }
  // Clicks the dialog's button and returns the number its result static
  // then shows (NAN when it shows none).
  double Compute(const LoggedDialog& d, int button, int staticId) {
    const std::size_t from = program_->Log().Size();
    program_->ClickControl(d, button);
    const auto text = program_->WaitText(d.window, staticId, from, 5000);
    EXPECT_TRUE(text) << "no result in " << d.templateName;
    return text ? Number(*text) : NAN;
  }
  // The number a static of the dialog shows now.
  double Shown(const LoggedDialog& d, int staticId) { return Number(program_->TextOf(d, staticId)); }
  // The ids of the windows on the screen.
  static std::set<unsigned long> WindowIds() {
    std::set<unsigned long> ids;
    for (const TopWindow& t : Screen().Windows()) ids.insert(t.id);
    return ids;
  }
  // Answers the windows that came since `before` (a message, logged as it
  // is about to be shown) with OK.
  static void AnswerNewWindows(const std::set<unsigned long>& before) {
    ASSERT_TRUE(Eventually(
        [&] {
          for (const TopWindow& t : Screen().Windows())
            if (!before.count(t.id)) return true;
          return false;
        },
        3000))
        << "the message is not on the screen";
    for (const TopWindow& t : Screen().Windows()) {
      if (before.count(t.id)) continue;
      ASSERT_TRUE(Screen().Activate(t.id));
      Screen().Key("Return");
      EXPECT_TRUE(Screen().WaitGone(t.id, 2000)) << t.caption << " stays";
    }
  }
};

// r = 1 + cos t over its whole range [0, 2pi] in a view that ends before
// x = 2pi: the bounds are values of t, and the length is 8.
TEST_F(Tools2DIntegrals, TheArcLengthOfACardioidIsTakenOverItsParameterRange) {
  Start();
  const TopWindow w = New2D();
  EnterByKey(w, "F4", "EQUA202", {{213, "1+cos(t)"}, {221, "0"}, {223, "2pi"}});
  const LoggedDialog d = OpenDialog(w, 723, "ARCLEN");  // "&Bogenlänge ..."
  const std::size_t from = program_->Log().Size();
  program_->SetText(d, 211, "0");
  program_->SetText(d, 212, "2pi");
  program_->SetText(d, 213, "200");
  EXPECT_NEAR(Compute(d, 761, 235), 8, 1e-4);  // "Länge"
  EXPECT_TRUE(Messages(from).empty()) << "refused: " << Messages(from).front();
}

// Under y = 1 from x = 0 to 2 the ray from the origin turns clockwise over
// a triangle of area 1: the area shown is 1, not -1.
TEST_F(Tools2DIntegrals, TheSectorAreaIsPositiveWhicheverWayTheRayTurns) {
  Start();
  const TopWindow w = New2D();
  EnterByKey(w, "F1", "EQUA201", {{212, "1"}});
  const LoggedDialog d = OpenDialog(w, 716, "AREA");  // "&Sektorfläche ..."
  program_->SetText(d, 211, "0");
  program_->SetText(d, 212, "2");
  program_->SetText(d, 213, "100");
  EXPECT_NEAR(Compute(d, 761, 235), 1, 1e-5);  // "Fläche"
}

// The spiral (t cos t, t sin t) sweeps half the integral of t^2 over
// [0, 2pi], that is 4 pi^3 / 3, which only a rule of the right order
// reaches with 100 steps.
TEST_F(Tools2DIntegrals, TheSectorAreaOfASpiralIsHalfTheIntegralOfTheSquaredRadius) {
  Start();
  const TopWindow w = New2D();
  EnterByKey(w, "F2", "EQUA203", {{211, "t*cos(t)"}, {212, "t*sin(t)"}, {221, "0"}, {223, "2pi"}});
  const LoggedDialog d = OpenDialog(w, 716, "AREA");
  program_->SetText(d, 211, "0");
  program_->SetText(d, 212, "2pi");
  program_->SetText(d, 213, "100");
  EXPECT_NEAR(Compute(d, 761, 235), 4 * std::pow(M_PI, 3) / 3, 1e-4);
}

// The six sums of e^(-x^2) over [-3, 3], each by its own rule: with 3 steps
// the rules give numbers far apart (left = right = trapezoid here, the
// midpoint sum and Simpson's rule elsewhere), computed here from the rules'
// formulas; with 100 steps Simpson's rule gives the integral
// sqrt(pi) erf(3) to the digits shown.
TEST_F(Tools2DIntegrals, TheRiemannSumsFollowTheirRules) {
  Start();
  const TopWindow w = New2D();
  EnterByKey(w, "F1", "EQUA201", {{212, "exp(-x^2)"}});
  const LoggedDialog d = OpenDialog(w, 721, "RIEM");  // "&Integriere f(x) dx ..."
  for (int box : {271, 272, 273, 274, 275}) program_->ClickControl(d, box);
  program_->SetText(d, 211, "-3");
  program_->SetText(d, 212, "3");
  program_->SetText(d, 213, "3");
  const double shownSimpson = Compute(d, 761, 235);  // "Flächeninhalt"
  const auto f = [](double x) { return std::exp(-x * x); };
  const int n = 3;
  const double h = 6.0 / n;
  double left = 0, mid = 0, right = 0;
  for (int k = 0; k < n; ++k) {
    const double x0 = -3 + k * h;
    left += f(x0);
    mid += f(x0 + h / 2);
    right += f(x0 + h);
  }
  left *= h, mid *= h, right *= h;
  const double trapezoid = (left + right) / 2, simpson = (left + right + 4 * mid) / 6;
  EXPECT_NEAR(Shown(d, 231), left, 2e-5) << "Linker Endpunkt";
  EXPECT_NEAR(Shown(d, 232), mid, 2e-5) << "Mittelpunkt";
  EXPECT_NEAR(Shown(d, 233), right, 2e-5) << "Rechter Endpunkt";
  EXPECT_NEAR(Shown(d, 234), trapezoid, 2e-5) << "Trapez";
  EXPECT_NEAR(shownSimpson, simpson, 2e-5) << "Parabel";
  // The rules differ here by far more than the digits shown.
  ASSERT_GT(std::abs(mid - trapezoid), 0.5);

  program_->SetText(d, 213, "100");
  EXPECT_NEAR(Compute(d, 761, 235), std::sqrt(M_PI) * std::erf(3.0), 2e-5);
}

// The volume of revolution of e^x over [0, 1] about the x-axis is
// pi (e^2 - 1) / 2; the dialog refuses a division count beyond its field's
// 32 bits, and with both bounds tied to parameters it opens their sliders.
TEST_F(Tools2DIntegrals, TheVolumeOfRevolutionRefusesTooManyDivisionsAndBindsItsBounds) {
  Start();
  const TopWindow w = New2D();
  EnterByKey(w, "F1", "EQUA201", {{212, "exp(x)"}});
  const LoggedDialog d = OpenDialog(w, 746, "REVOLVE");  // "Rotations&volumen ..."
  program_->SetText(d, 211, "0");
  program_->SetText(d, 212, "1");
  program_->SetText(d, 213, "100");
  EXPECT_NEAR(Compute(d, 761, 235), M_PI * (std::exp(2.0) - 1) / 2, 1e-4);  // "Volumen"
  std::size_t from = program_->Log().Size();
  program_->SetText(d, 213, "2147483648");
  const std::set<unsigned long> before = WindowIds();
  program_->ClickControl(d, 761);
  ASSERT_TRUE(MessageShown("jenseits der Grenzen", from)) << "the count was taken";
  AnswerNewWindows(before);
  from = program_->Log().Size();
  program_->SetText(d, 211, "0@A");
  program_->SetText(d, 212, "1@B");
  program_->SetText(d, 213, "100");
  program_->ClickControl(d, 761);
  EXPECT_TRUE(program_->WaitDialog("SPARAM", from, 3000)) << "no slider for the bounds";
  EXPECT_TRUE(Messages(from).empty());
}

// An implicit curve is offered by "Kurve rotieren", asks only for the axis,
// and its surface appears in the window "Rotation.kv3".
TEST_F(Tools2DIntegrals, AnImplicitCurveIsTurnedIntoItsSurface) {
  Start();
  const TopWindow w = New2D();
  EnterByKey(w, "F3", "EQUA204", {{218, "x^2+(y-2)^2=1"}});
  const LoggedDialog d = OpenDialog(w, 747, "SURFREV");  // "&Kurve rotieren ..."
  const LoggedControl* from = d.Find(211);
  ASSERT_NE(from, nullptr);
  EXPECT_FALSE(from->visible) << "an implicit curve has no range to choose";
  const LoggedControl* axis = d.Find(214);
  ASSERT_NE(axis, nullptr);
  EXPECT_TRUE(axis->visible);
  const std::size_t log = program_->Log().Size();
  program_->ClickControl(d, 91);  // "Zeichne Fläche"
  const TopWindow r = Screen().WaitFor("Rotation.kv3", 5000, true);
  ASSERT_NE(r.id, 0u) << "no rotation window";
  EXPECT_TRUE(Messages(log).empty()) << Messages(log).front();
}

// y = x/2 + 1 over 0..2 turned once about the x-axis, then its curve
// changed to y = x*x + 1 in the surface's own equation dialog: the picture
// is the new surface.  Seen from (101; 0; 0), on the axis, the circles of
// the mesh at x = 0 (radius 1) and x = 2 (radius 5) show with the radii
// 100·1/101 and 100·5/99; the innermost and outermost mesh pixels keep
// that ratio (0.196; the old curve gives 0.49, a wall no ring at all).
TEST_F(Tools2DIntegrals, EditingTheCurveOfASurfaceOfRevolutionTurnsTheNewCurve) {
  Start();
  const TopWindow w = New2D();
  EnterByKey(w, "F1", "EQUA201", {{212, "x/2+1"}});
  const LoggedDialog d = OpenDialog(w, 747, "SURFREV");  // "&Kurve rotieren ..."
  for (const auto& [id, text] : std::vector<std::pair<int, std::string>>{{211, "0"}, {212, "2"}, {217, "0"}, {218, "2*pi"}})
    program_->SetText(d, id, text);
  program_->ClickControl(d, 714);  // "x-Achse"
  program_->ClickControl(d, 91);   // "Zeichne Fläche"
  const TopWindow r = Window("Rotation.kv3");
  ASSERT_NE(r.id, 0u) << "no rotation window";
  ASSERT_TRUE(StandsStill(r.id, 150, 5000)) << "the rotation window's picture does not come to rest";
  const LoggedDialog inventory = OpenDialog(r, 504, "INVENT");  // "&Inventar ..."
  ClickFirstRow(inventory, 293);
  const std::size_t from = program_->Log().Size();
  program_->ClickControl(inventory, 51);  // "Bearbeiten"
  const auto edit = AwaitDialog("EQUA307", from);
  ASSERT_TRUE(edit);
  EXPECT_EQ(program_->TextOf(*edit, 212), "x/2+1") << "the dialog shows the curve";
  FillAndEnter(*edit, {{212, "x*x+1"}});
  Screen().Activate(inventory.window);
  program_->ClickControl(inventory, 2);  // "Schließen"
  const LoggedDialog observer = OpenDialog(r, 981, "SETOBS");  // "&Koordinaten ..."
  for (const auto& [id, text] : std::vector<std::pair<int, std::string>>{{211, "101"}, {212, "0"}, {213, "0"}})
    program_->SetText(observer, id, text);
  program_->ClickControl(observer, 91);  // "Anwenden"
  program_->ClickControl(observer, 2);
  const Image p = PlotPicture(r);
  // The mesh: the colour most pixels have but the background.
  std::map<std::uint32_t, int> counts;
  for (std::uint32_t c : p.pixels) ++counts[c];
  const std::uint32_t background = p.At(p.w - 2, p.h - 2);
  std::uint32_t mesh = 0;
  for (const auto& [c, n] : counts)
    if (c != background && (mesh == 0 || n > counts[mesh])) mesh = c;
  // The surface is the tallest run of rows with mesh pixels (the entry's
  // caption above it has the same colour).
  auto inRow = [&](int y) {
    for (int x = 0; x < p.w; ++x)
      if (p.At(x, y) == mesh) return true;
    return false;
  };
  int y0 = 0, y1 = -1;
  for (int y = 0, start = -1; y <= p.h; ++y) {
    const bool on = y < p.h && inRow(y);
    if (on && start < 0) start = y;
    if (!on && start >= 0) {
      if (y - 1 - start > y1 - y0) y0 = start, y1 = y - 1;
      start = -1;
    }
  }
  int x0 = p.w, x1 = -1;
  for (int y = y0; y <= y1; ++y)
    for (int x = 0; x < p.w; ++x)
      if (p.At(x, y) == mesh) {
        x0 = std::min(x0, x);
        x1 = std::max(x1, x);
      }
  ASSERT_GT(x1 - x0, 50) << "no surface";
  const double cx = 0.5 * (x0 + x1), cy = 0.5 * (y0 + y1);
  const double outer = 0.25 * ((x1 - x0) + (y1 - y0));
  double inner = outer;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x)
      if (p.At(x, y) == mesh) inner = std::min(inner, std::hypot(x - cx, y - cy));
  EXPECT_NEAR(x1 - x0, y1 - y0, 3) << "not a surface of revolution about the line of sight";
  EXPECT_NEAR(inner / outer, (1.0 / 101) / (5.0 / 99), 0.03) << "inner " << inner << ", outer " << outer;
}

// After "Punkt" of the graph trace the zero tool still follows the curve
// the user chooses: x - 3 has its zero at 3.
TEST_F(Tools2DIntegrals, TheZeroToolFollowsTheChosenCurveAfterATracedPoint) {
  Start();
  const TopWindow w = New2D();
  EnterByKey(w, "F1", "EQUA201", {{212, "x^2-1"}});
  EnterByKey(w, "F1", "EQUA201", {{212, "x-3"}});
  const LoggedDialog zeros = OpenDialog(w, 707, "ZEROS");  // "&Nullstellen ..."
  const LoggedDialog trace = OpenDialog(w, 708, "TRACE");  // "&Graphverlauf ..."
  program_->ClickControl(trace, 712);               // "Punkt"
  Pause(500);
  // The second curve, chosen in the zero tool's list with the keyboard:
  // the result line changes at once (from the zero -1 of the first curve).
  ASSERT_TRUE(Screen().Activate(zeros.window));
  const LoggedControl* result = zeros.Find(231);
  ASSERT_NE(result, nullptr);
  const Image before = Screen().Capture(zeros.window, result->rect);
  program_->ClickControl(zeros, 295);
  Pause(300);
  Screen().Key("Down");
  Pause(100);
  Screen().Key("Return");
  EXPECT_TRUE(Eventually([&] { return Screen().Capture(zeros.window, result->rect).pixels != before.pixels; },
                         2000))
      << "the zero tool kept the old curve's zero";
  EXPECT_NEAR(Shown(zeros, 231), 3, 1e-6);
}

}  // namespace
}  // namespace kvdisplay
