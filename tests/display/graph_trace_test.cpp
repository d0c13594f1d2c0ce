// "Graphverlauf" on a real display: the dialog shows the tool's controls and
// no OK button, and Enter in its "x =" field moves the point to the typed
// place; along a trajectory it follows the solution clicked in its list.
#include <cmath>
#include <cstdio>
#include <optional>
#include <set>
#include <string>

#include "support/display_test.h"

namespace kvdisplay {
namespace {

class GraphTrace : public DisplayTest {
 protected:
  LoggedDialog Open(const TopWindow& w) {
    Screen().Activate(w.id);
    const std::size_t from = program_->Log().Size();
    Menu(w, 708);  // "&Graphverlauf ..."
    auto d = program_->WaitDialog("TRACE", from, 3000);
    EXPECT_TRUE(d) << "TRACE did not appear";
    return d ? *d : LoggedDialog{};
  }
  // The number after the label in a control's text, NaN without one.
  static double After(const LoggedControl* c, const std::string& label) {
    if (!c) return NAN;
    const std::size_t at = c->text.find(label);
    if (at == std::string::npos) return NAN;
    try {
      return std::stod(c->text.substr(at + label.size()));
    } catch (...) {
      return NAN;
    }
  }
};

// y = x^2 traced to the typed x = 1.5 with Enter: the dialog, closed and
// opened again, shows y = 2.25 there.
TEST_F(GraphTrace, EnterInTheParameterFieldTracesToTheTypedPlace) {
  Start();
  const TopWindow w = New2D();
  ASSERT_NE(w.id, 0u);
  std::size_t from = program_->Log().Size();
  Screen().Key("F1");
  auto eq = program_->WaitDialog("EQUA201", from, 3000);
  ASSERT_TRUE(eq) << "no equation dialog";
  program_->SetText(*eq, 212, "x^2");
  Screen().Key("Return");
  ASSERT_TRUE(Screen().WaitGone(eq->window, 3000));
  Settled(w.id);

  const LoggedDialog d = Open(w);
  ASSERT_NE(d.window, 0u);
  std::set<int> ids;
  for (const LoggedControl& c : d.controls)
    if (c.id >= 0) ids.insert(c.id);
  EXPECT_EQ(ids, (std::set<int>{2, 3, 211, 231, 232, 233, 271, 272, 273, 295, 297, 298, 711, 712, 720}));
  const double start = After(d.Find(232), "y = ");
  ASSERT_FALSE(std::isnan(start)) << "no y shown";
  ASSERT_GT(std::fabs(start - 2.25), 0.01) << "the point starts where it should go";

  program_->SetText(d, 211, "1.5");
  Screen().Key("Return");
  Settled(w.id);
  program_->ClickControl(d, 2);  // "Schließen"
  ASSERT_TRUE(Screen().WaitGone(d.window, 3000) || !Screen().Exists(d.window));
  const LoggedDialog again = Open(w);
  EXPECT_NEAR(After(again.Find(232), "y = "), 2.25, 1e-9);
  EXPECT_NEAR(After(again.Find(211), ""), 1.5, 1e-9);
}

// "Kurvenverlauf" along the solutions of x' = 1, y' = y from (0; c) at t = 0, which run on x = t, y = c e^t: each
// solution runs for the time 2, so the dialog opens at the middle of the newest one, t = 1; a row of its list
// clicked is traced at the t shown before, Enter reads the t typed, and "Punkt" adds the point.
TEST_F(GraphTrace, ATrajectoryClickedInTheListIsTraced) {
  Start();
  const TopWindow w = New2D();
  ASSERT_NE(w.id, 0u);
  EnterByCommand(w, 910, "EQUA210", {{211, "1"}, {212, "y"}});  // "dy/d&t ..."
  const LoggedDialog ivp = OpenDialog(w, 780, "IVP10");
  program_->ClickControl(ivp, 251);  // "vor": one solution from each start
  program_->ClickControl(ivp, 271);  // "Dauer begrenzen auf"
  program_->SetText(ivp, 217, "2");
  program_->SetText(ivp, 216, "0");  // t
  for (const char* c : {"0.5", "1"}) {
    program_->SetText(ivp, 211, "0");
    program_->SetText(ivp, 212, c);
    const std::size_t from = program_->Log().Size();
    program_->ClickControl(ivp, 91);  // "Zeichnen"
    ASSERT_TRUE(program_->WaitCommandDone(ivp.window, 91, from, 5000)) << "no solution from (0; " << c << ")";
  }
  program_->ClickControl(ivp, 2);
  const LoggedDialog d = OpenDialog(w, 882, "TRACETRAJ");  // "&Kurvenverlauf ..."
  ASSERT_NE(d.window, 0u);
  // "( x ; y ) [ x' ; y' ]" as shown after `what`: the point of the solution from (0; c) at t.
  const auto expectOnCurve = [&](const std::optional<std::string>& text, double c, double t, const char* what) {
    ASSERT_TRUE(text) << "the values stay as they were after " << what;
    double x = NAN, y = NAN, vx = NAN, vy = NAN;
    ASSERT_EQ(std::sscanf(text->c_str(), "( %lf ; %lf ) [ %lf ; %lf ]", &x, &y, &vx, &vy), 4) << *text;
    EXPECT_NEAR(x, t, 1e-4) << what << ": " << *text;
    EXPECT_NEAR(y, c * std::exp(t), 1e-4) << what << ": " << *text;
    EXPECT_NEAR(vx, 1, 1e-9) << what << ": " << *text;
    EXPECT_NEAR(vy, y, 1e-9) << what << ": " << *text;
  };
  expectOnCurve(program_->TextOf(d, 232), 1, 1, "opening");  // the newest solution first
  std::size_t from = program_->Log().Size();
  ClickRow(d, 294, 1);
  expectOnCurve(program_->WaitText(d.window, 232, from, 3000), 0.5, 1, "a click on the row");
  program_->SetText(d, 211, "0.5");
  from = program_->Log().Size();
  Screen().Key("Return");
  expectOnCurve(program_->WaitText(d.window, 232, from, 3000), 0.5, 0.5, "Enter");
  from = program_->Log().Size();
  program_->ClickControl(d, 712);  // "Punkt"
  bool refused = true;
  EXPECT_TRUE(program_->WaitCommand(d.window, 712, from, 3000, &refused) >= 0 && !refused) << "\"Punkt\" was not taken";
}

}  // namespace
}  // namespace kvdisplay
