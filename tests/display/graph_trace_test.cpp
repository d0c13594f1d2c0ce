// "Graphverlauf" on a real display: the dialog shows the tool's controls and
// no OK button, and Enter in its "x =" field moves the point to the typed
// place.
#include <cmath>
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

}  // namespace
}  // namespace kvdisplay
