// What the plane windows leave on the screen after the user's work: the
// image of a trajectory in the range window of a mapping, a followed
// solution stopped with "A", the continuous search for an implicit curve,
// and the quiz's answer box.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "support/display_test.h"

namespace kvdisplay {
namespace {

// The pixels that differ between two captures of one window.
std::vector<std::pair<int, int>> Difference(const Image& before, const Image& after) {
  std::vector<std::pair<int, int>> at;
  if (before.w != after.w || before.h != after.h) return at;
  for (int y = 0; y < after.h; ++y)
    for (int x = 0; x < after.w; ++x)
      if (before.At(x, y) != after.At(x, y)) at.emplace_back(x, y);
  return at;
}

// The plotted rectangle of a plot window's capture: below the menu bar,
// where the background colour (the commonest of the lower half) fills
// most of a row, to the bottom and over the whole width.
Rect PlotArea(const Image& im) {
  std::map<std::uint32_t, int> count;
  for (int y = im.h / 2; y < im.h; ++y)
    for (int x = 0; x < im.w; ++x) ++count[im.At(x, y)];
  std::uint32_t background = 0;
  int most = 0;
  for (const auto& [c, n] : count)
    if (n > most) most = n, background = c;
  int top = 0;
  for (; top < im.h / 2; ++top) {
    int n = 0;
    for (int x = 0; x < im.w; ++x) n += im.At(x, top) == background;
    if (2 * n > im.w) break;
  }
  return {0, top, im.w, im.h - top};
}

// How the drawn pixels lie around a circle about `centre` (pixels):
// the share within `tolerance` of the radius, and how many of 36 sectors
// around it they reach.
struct CircleFit {
  double onCircle = 0;
  int sectors = 0;
};

CircleFit FitCircle(const std::vector<std::pair<int, int>>& at, double cx, double cy, double radius, double tolerance) {
  CircleFit f;
  if (at.empty()) return f;
  int on = 0;
  bool reached[36] = {};
  for (const auto& [x, y] : at) {
    const double dx = x - cx, dy = y - cy;
    if (std::fabs(std::hypot(dx, dy) - radius) > tolerance) continue;
    ++on;
    const double a = std::atan2(dy, dx) + M_PI;
    reached[std::min(35, static_cast<int>(a / (2 * M_PI) * 36))] = true;
  }
  f.onCircle = static_cast<double>(on) / static_cast<double>(at.size());
  for (bool r : reached) f.sectors += r;
  return f;
}

class PlaneResults : public DisplayTest {
 protected:
  // Runs the command and fills the dialog it opens, then presses Enter.
  void EnterThrough(const TopWindow& w, int command, const std::string& templateName,
                    const std::vector<std::pair<int, std::string>>& texts) {
    EnterByCommand(w, command, templateName, texts);
  }
};

// A new complex mapping pair with z ==> 1/z and, in the domain window, the
// field (-y, x); its trajectory from z = 2 is the circle |z| = 2, whose
// image in the range window is the circle |w| = 1/2, also after F5.
TEST_F(PlaneResults, ATrajectoryOfTheDomainHasItsImageInTheRangeWindow) {
  Start();
  Menu(Frame(), 407);  // "Ebene &z"
  const TopWindow range = Window("Wertebereich [Abbildung1.maz]");
  const TopWindow domain = Window("Abbildung1.maz");
  ASSERT_NE(range.id, 0u);
  ASSERT_NE(domain.id, 0u);
  EnterThrough(domain, 1102, "EQUA401", {{211, "1/z"}});  // "&Neu ..." of "&Abbild"
  Settled(range.id);

  // The range view: centre 0, width 2 (u from -1 to 1 over the width).
  ASSERT_TRUE(Screen().Activate(range.id));
  std::size_t from = program_->Log().Size();
  Screen().Key("ctrl+v");
  auto view = AwaitDialog("VIEWCEN", from);
  ASSERT_TRUE(view) << "the view dialog of the range window did not appear";
  program_->SetText(*view, 215, "0");  // "x-Pos"
  program_->SetText(*view, 216, "0");  // "y-Pos"
  program_->SetText(*view, 217, "2");  // "Breite"
  program_->ClickControl(*view, 1);    // "Anwenden"
  program_->ClickControl(*view, 2);    // "Schließen"
  ASSERT_TRUE(Screen().WaitGone(view->window, 3000));

  ASSERT_TRUE(Screen().Activate(domain.id));
  EnterThrough(domain, 910, "EQUA210", {{211, "-y"}, {212, "x"}});  // "dy/d&t ..."
  from = program_->Log().Size();
  Menu(domain, 780);  // "dy/d&t Bahnkurve ..."
  auto ivp = AwaitDialog("IVP10", from);
  ASSERT_TRUE(ivp) << "the trajectory dialog did not appear";
  program_->SetText(*ivp, 211, "2");  // "z ="
  // The range window with the field's marks, before the trajectory.
  const Image before = Settled(range.id, 300, 3000);
  program_->ClickControl(*ivp, 91);  // "Zeichnen"
  program_->ClickControl(*ivp, 2);   // "Schließen": it closes once the drawing is done
  ASSERT_TRUE(Screen().WaitGone(ivp->window, 20000));

  const Rect area = PlotArea(before);
  ASSERT_GT(area.h, area.w / 2) << "no plotted rectangle found";
  // u from -1 to 1 over the width: |w| = 1/2 is a quarter of it.
  const double cx = area.x + area.w / 2.0, cy = area.y + area.h / 2.0, radius = area.w / 4.0;
  auto check = [&](const Image& after, const char* when) {
    const auto drawn = Difference(before, after);
    ASSERT_GT(drawn.size(), static_cast<std::size_t>(radius * 4)) << "no image of the trajectory " << when;
    const CircleFit f = FitCircle(drawn, cx, cy, radius, 2.5);
    EXPECT_GT(f.onCircle, 0.95) << "the drawn pixels are not the circle |w| = 1/2 " << when;
    EXPECT_EQ(f.sectors, 36) << "the circle |w| = 1/2 is not drawn all round " << when;
  };
  check(Settled(range.id, 300, 5000), "after drawing");

  // "N&eu zeichnen" in the domain draws both windows anew.
  ASSERT_TRUE(Screen().Activate(domain.id));
  Screen().Key("F5");
  ASSERT_TRUE(program_->Answers(domain.id, 20000)) << "F5 did not end";
  ASSERT_TRUE(program_->Answers(range.id, 20000)) << "the range window was not drawn anew";
  check(Settled(range.id, 300, 5000), "after F5");
}

// "Verfolgen" shows a solution step by step; stopped with "a", what was
// traced stays on the screen: every pixel it had drawn before the key is
// still drawn afterwards.  A spiral of dy/dt and a slow crawl of dy/dx.
TEST_F(PlaneResults, AFollowedSolutionStoppedWithAStaysOnTheScreen) {
  Start();
  const TopWindow w = New2D();
  ASSERT_NE(w.id, 0u);
  struct Case {
    int command;
    std::string equationTemplate;
    std::vector<std::pair<int, std::string>> equation;
    int ivpCommand;
    std::string ivpTemplate;
    std::vector<std::pair<int, std::string>> start;
  };
  const Case cases[] = {
      {910, "EQUA210", {{211, "-0.01x-y"}, {212, "x-0.01y"}}, 780, "IVP10", {{211, "3"}, {212, "0"}}},
      {911, "EQUA211", {{213, "cos(x)"}}, 781, "IVP11",
       {{211, "-5"}, {212, "0"}, {220, "0.002"}, {217, "10000000"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ivpTemplate);
    ASSERT_TRUE(Screen().Activate(w.id));
    EnterThrough(w, c.command, c.equationTemplate, c.equation);
    std::size_t from = program_->Log().Size();
    Menu(w, c.ivpCommand);
    auto ivp = AwaitDialog(c.ivpTemplate, from);
    ASSERT_TRUE(ivp) << "the initial-value dialog did not appear";
    for (const auto& [id, text] : c.start) program_->SetText(*ivp, id, text);
    program_->SetText(*ivp, 215, "20");  // "Verzögerung"
    const Image before = Settled(w.id, 300, 3000);
    program_->ClickControl(*ivp, 742);  // "Verfolgen"
    // Some of the solution on the screen, then the key.
    ASSERT_TRUE(Eventually([&] { return Difference(before, Screen().Capture(w.id)).size() > 150; }, 5000))
        << "nothing is traced";
    const Image traced = Screen().Capture(w.id);
    ASSERT_TRUE(Screen().Activate(w.id));
    const std::int64_t pressed = NowMs();
    Screen().Key("a");
    ASSERT_TRUE(program_->AnswersWithin(w.id, 1000, pressed)) << "after a";
    const Image after = Settled(w.id, 300, 3000);
    const auto shown = Difference(before, traced);
    std::size_t kept = 0;
    for (const auto& [x, y] : shown) kept += after.At(x, y) != before.At(x, y);
    EXPECT_GE(kept, shown.size() * 95 / 100)
        << kept << " of the " << shown.size() << " pixels traced before the key are still drawn";
    program_->ClickControl(*ivp, 2);  // "Schließen"
    ASSERT_TRUE(Screen().WaitGone(ivp->window, 3000));
  }
}

// "Fortwährend" in the dialog of an implicit curve: the search goes on
// under the caption "Abbruch mit Taste A" until the key a; then the curve
// stands where it belongs and the caption is the window's again.
TEST_F(PlaneResults, AContinuousSearchForAnImplicitCurveGoesOnUntilA) {
  Start();
  const TopWindow w = New2D();
  ASSERT_NE(w.id, 0u);
  const std::string caption = Screen().Caption(w.id);
  // The view the window shows, as its view dialog gives it.
  std::size_t from = program_->Log().Size();
  Screen().Key("ctrl+v");
  auto view = AwaitDialog("VIEWCOR", from);
  ASSERT_TRUE(view) << "the view dialog did not appear";
  double corner[4] = {};
  for (int k = 0; k < 4; ++k) {
    const LoggedControl* c = view->Find(211 + k);  // "links", "rechts", "unten", "oben"
    ASSERT_NE(c, nullptr);
    corner[k] = std::atof(c->text.c_str());
  }
  ASSERT_LT(corner[0], -3);
  ASSERT_GT(corner[1], 3);
  ASSERT_LT(corner[2], -3);
  ASSERT_GT(corner[3], 3);
  program_->ClickControl(*view, 2);  // "Schließen"
  ASSERT_TRUE(Screen().WaitGone(view->window, 3000));
  ASSERT_TRUE(Screen().Activate(w.id));
  const Image before = Settled(w.id);

  from = program_->Log().Size();
  Screen().Key("F3");
  auto d = AwaitDialog("EQUA204", from);
  ASSERT_TRUE(d) << "the dialog of an implicit curve did not appear";
  program_->SetText(*d, 218, "x^2+y^2=9");
  program_->ClickControl(*d, 271);  // "Fortwährend"
  program_->ClickControl(*d, 1);    // "OK"
  const std::string busy = "Abbruch mit Taste A";
  ASSERT_TRUE(Eventually([&] { return Screen().Caption(w.id) == busy; }, 3000)) << "the search does not run";
  // One search of the view takes a blink; this one goes on.
  Pause(1500);
  EXPECT_EQ(Screen().Caption(w.id), busy) << "the search ended by itself";
  ASSERT_TRUE(Screen().Activate(w.id));
  const std::int64_t pressed = NowMs();
  Screen().Key("a");
  EXPECT_TRUE(WithinMsOf(pressed, [&] { return Screen().Caption(w.id) == caption; }, 1000))
      << "the caption stays " << Screen().Caption(w.id);
  EXPECT_TRUE(program_->AnswersWithin(w.id, 1000, pressed)) << "after a";

  // The circle of radius 3 about the origin, against the view.
  const Image after = Settled(w.id, 300, 3000);
  const Rect area = PlotArea(before);
  const double sx = area.w / (corner[1] - corner[0]), sy = area.h / (corner[3] - corner[2]);
  const double cx = area.x - corner[0] * sx, cy = area.y + corner[3] * sy;
  int on = 0;
  bool reached[36] = {};
  const auto drawn = Difference(before, after);
  for (const auto& [x, y] : drawn) {
    const double u = (x - cx) / sx, v = (cy - y) / sy;
    const double r = std::hypot(u, v);
    if (std::fabs(r - 3) > 2.5 / std::min(sx, sy)) continue;
    ++on;
    reached[std::min(35, static_cast<int>((std::atan2(v, u) + M_PI) / (2 * M_PI) * 36))] = true;
  }
  int sectors = 0;
  for (bool r : reached) sectors += r;
  EXPECT_EQ(sectors, 36) << "the circle x^2+y^2=9 is not drawn all round";
  // Beside the circle only the equation's label.
  EXPECT_GT(on, static_cast<int>(drawn.size()) * 3 / 4) << on << " of " << drawn.size() << " on the circle";
}

// "&Antwort ..." of the quiz shows the task in a message box captioned
// "Antwort", wide enough for the window manager to show the whole caption.
// The colour window of the answer's colour bears the same caption in a
// wide title bar: the text drawn there must stand in the box's title bar
// pixel for pixel, not cut short.
TEST_F(PlaneResults, TheQuizAnswerBoxShowsItsWholeCaption) {
  Start();
  Menu(Frame(), 404);  // "&Funktions-Quiz"
  const TopWindow quiz = Window("Rate meine Gleichung");
  ASSERT_NE(quiz.id, 0u);
  Menu(quiz, 213);  // "&Antwort ..." of the menu "&Farbe"
  const TopWindow colours = Screen().WaitFor("Antwort", 3000);
  ASSERT_NE(colours.id, 0u) << "no colour window";
  ASSERT_TRUE(Screen().Activate(colours.id));
  Settled(colours.id);
  // The title bars above the windows, active both.
  constexpr int kTitle = 24;
  // Once the window manager has drawn it for the focus: unchanged for a
  // while.
  auto titleBar = [&](unsigned long id) {
    const Rect c = Screen().Geometry(id);
    const Rect strip{c.x, c.y - kTitle, c.w, kTitle};
    Image last = Screen().CaptureScreen(strip);
    int quiet = 0;
    Eventually(
        [&] {
          Image now = Screen().CaptureScreen(strip);
          quiet = now.pixels == last.pixels ? quiet + 1 : 0;
          last = std::move(now);
          return quiet >= 8;
        },
        1000);
    return last;
  };
  const Image reference = titleBar(colours.id);

  ASSERT_TRUE(Screen().Activate(quiz.id));
  Screen().Key("F5");  // "&Antwort ..." of the menu "&Gleichung"
  TopWindow box;
  ASSERT_TRUE(Eventually(
      [&] {
        for (const TopWindow& t : Screen().Windows())
          if (t.caption == "Antwort" && t.id != colours.id) box = t;
        return box.id != 0;
      },
      3000))
      << "no answer box";
  Settled(box.id);
  ASSERT_TRUE(Screen().Activate(box.id));
  const Image title = titleBar(box.id);

  // Each row's commonest colour; the title bars are the rows up from the
  // client where both have the same (the gradient of the active title).
  auto background = [](const Image& im, int y) {
    std::map<std::uint32_t, int> count;
    for (int x = 0; x < im.w; ++x) ++count[im.At(x, y)];
    std::uint32_t c = 0;
    int most = 0;
    for (const auto& [colour, n] : count)
      if (n > most) most = n, c = colour;
    return c;
  };
  int top = kTitle;
  while (top > 0 && background(reference, top - 1) == background(title, top - 1)) --top;
  ASSERT_LT(top, kTitle - 8) << "no title bars above the windows";
  // The caption's text, centred in the colour window's wide title bar:
  // what differs from the row's colour in its middle half.
  int x0 = reference.w, x1 = -1, y0 = kTitle, y1 = -1;
  for (int y = top; y < kTitle; ++y) {
    const std::uint32_t c = background(reference, y);
    for (int x = reference.w / 4; x < reference.w * 3 / 4; ++x) {
      if (reference.At(x, y) == c) continue;
      x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
    }
  }
  ASSERT_GT(x1 - x0, 20) << "no caption text in the colour window's title bar";
  bool whole = false;
  for (int ox = 0; !whole && ox + (x1 - x0) < title.w; ++ox) {
    whole = true;
    for (int y = y0; whole && y <= y1; ++y)
      for (int x = x0; whole && x <= x1; ++x) whole = title.At(ox + x - x0, y) == reference.At(x, y);
  }
  EXPECT_TRUE(whole) << "the answer box (" << box.rect.w << " pixels wide) cuts its caption";
  Screen().Key("Return");
  EXPECT_TRUE(Screen().WaitGone(box.id, 3000));
}

}  // namespace
}  // namespace kvdisplay
