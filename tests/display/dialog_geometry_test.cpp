// The dialogs of the plot windows opened in the running program through
// their menus, with entries made as a user makes them so that their lists
// and texts are filled: each dialog, as the program logs it when shown,
// keeps the layout rules of support/dialog_geometry.h (no two controls
// overlapping, none clipped, one-line controls such as drop-down combo boxes
// at their natural height, texts not cut).
#include <optional>
#include <utility>
#include <vector>

#include "support/dialog_geometry.h"
#include "support/display_test.h"

namespace kvdisplay {
namespace {

struct Tool {
  int command;
  const char* dialog;  // its template
  const char* what;    // the menu item
};

class DialogGeometry : public DisplayTest {
 protected:
  void ExpectSound(const LoggedDialog& d) {
    std::string faults;
    for (const std::string& f : DialogGeometryFaults(Screen(), d)) faults += f + "\n";
    if (!faults.empty()) ADD_FAILURE() << faults;
  }

  std::optional<LoggedDialog> Open(const TopWindow& w, int command, const std::string& dialog) {
    Screen().Activate(w.id);
    const std::size_t from = program_->Log().Size();
    Menu(w, command);
    auto d = program_->WaitDialog(dialog, from, 3000);
    EXPECT_TRUE(d) << dialog << " did not open";
    return d;
  }

  std::optional<LoggedDialog> OpenByButton(const LoggedDialog& owner, int button, const std::string& dialog) {
    const std::size_t from = program_->Log().Size();
    program_->ClickControl(owner, button);
    auto d = program_->WaitDialog(dialog, from, 3000);
    EXPECT_TRUE(d) << dialog << " did not open";
    return d;
  }

  void Close(const LoggedDialog& d) {
    Screen().Activate(d.window);
    Screen().Key("Escape");
    if (Screen().WaitGone(d.window, 1000)) return;
    Screen().Close(d.window);
    EXPECT_TRUE(Screen().WaitGone(d.window, 2000)) << d.templateName << " could not be closed";
  }

  // Opens each tool through its menu, checks its dialog and closes it.
  void CheckTools(const TopWindow& w, const std::vector<Tool>& tools) {
    for (const Tool& t : tools) {
      SCOPED_TRACE(std::string(t.dialog) + ", " + t.what);
      if (auto d = Open(w, t.command, t.dialog)) {
        ExpectSound(*d);
        Close(*d);
      }
    }
  }

  // Makes an entry in its equation dialog (checked too): the fields typed,
  // then Return.
  void Enter(const TopWindow& w, int command, const std::string& dialog,
             const std::vector<std::pair<int, std::string>>& fields) {
    SCOPED_TRACE(dialog);
    auto d = Open(w, command, dialog);
    if (!d) return;
    ExpectSound(*d);
    Screen().Activate(d->window);
    for (const auto& [id, text] : fields) program_->SetText(*d, id, text);
    Screen().Key("Return");
    EXPECT_TRUE(Screen().WaitGone(d->window, 3000)) << dialog << " did not take the entry";
  }
};

TEST_F(DialogGeometry, TheToolsOfThe2DWindow) {
  Start();
  const TopWindow w = New2D();
  ASSERT_NE(w.id, 0u);
  Enter(w, 902, "EQUA202", {});  // first: the tools show a polar curve
  Enter(w, 901, "EQUA201", {{212, "xsin(x)"}});
  Enter(w, 903, "EQUA203", {{211, "cos(t)"}, {212, "sin(2t)"}});
  Enter(w, 904, "EQUA204", {{218, "x^2+y^2=4"}});
  Enter(w, 910, "EQUA210", {{211, "y"}, {212, "-x"}});
  Enter(w, 911, "EQUA211", {{213, "x-y"}});
  Enter(w, 912, "EQUA212", {{211, "y"}, {212, "-x/2"}});
  Settled(w.id, 300, 10000);
  CheckTools(w, {
                    {707, "ZEROS", "Nullstellen"},
                    {709, "EXTREMES", "Extremwerte"},
                    {710, "INTER", "Schnittpunkte"},
                    {708, "TRACE", "Graphverlauf"},
                    {721, "RIEM", "Integriere f(x) dx"},
                    {716, "AREA", "Sektorfläche"},
                    {723, "ARCLEN", "Bogenlänge"},
                    {746, "REVOLVE", "Rotationsvolumen"},
                    {812, "VOLTWO", "Zwei, Rotationsvolumen"},
                    {786, "SECTION", "Polygonkörper"},
                    {713, "SHADE", "Schraffur explizit"},
                    {769, "CENTROID", "Schraffur implizit"},
                    {706, "TRANSLATE", "Verschieben"},
                    {704, "REFLECT", "Spiegeln"},
                    {705, "ROTATE", "Drehen"},
                    {789, "ROUL", "Rollkurven"},
                    {792, "EVOL", "Evolute"},
                    {747, "SURFREV", "Kurve rotieren"},
                    {750, "COMBOS", "Kombinationen"},
                    {780, "IVP10", "dy/dt Bahnkurve"},
                    {781, "IVP11", "dy/dx Bahnkurve"},
                    {782, "IVP12", "Folgen"},
                    {832, "RIEM4", "Kurvenintegral"},
                    {507, "PTLIST", "Punktfolge zeichnen"},
                    {508, "MANYPTS", "Liste"},
                    {735, "LBDATA", "Daten, Maus"},
                    {600, "TPARAM", "Anim @"},
                    {601, "SPARAM", "Anim A"},
                    {624, "PARAMS", "Alle Parameter"},
                    {1169, "CALIB", "Schieberegler"},
                    {884, "FUNCDLG", "Funktionen"},
                    {104, "VIEWCOR", "Ansicht"},
                });
  // The graph trace shows the polar curve's three coordinate lines in full.
  if (auto trace = Open(w, 708, "TRACE")) {
    const LoggedControl* lines = trace->Find(232);
    ASSERT_NE(lines, nullptr);
    EXPECT_GE(lines->rect.h, lines->hintH) << lines->text;
    Close(*trace);
  }

  // The cobweb diagram of the first entry, from the inventory's "Netz".
  auto inventory = Open(w, 504, "INVENT");
  ASSERT_TRUE(inventory);
  ExpectSound(*inventory);
  ClickFirstRow(*inventory, 293);
  Screen().Key("Down");  // the explicit entry, below the polar curve
  if (auto web = OpenByButton(*inventory, 798, "WEB")) {
    ExpectSound(*web);
    Close(*web);
  }
  Close(*inventory);
}

TEST_F(DialogGeometry, TheToolsOfThe3DWindow) {
  Start();
  Menu(Frame(), 403);  // "&3-dim"
  const TopWindow w = Window("Unbenannt1.kv3");
  ASSERT_NE(w.id, 0u);
  Enter(w, 1001, "EQUA301", {});
  Enter(w, 1001, "EQUA301", {{213, "x+y"}});
  Enter(w, 1004, "EQUA304", {});
  // A system of differential equations asks for the box its path may fill.
  const std::size_t from = program_->Log().Size();
  Enter(w, 1010, "EQUA310", {});
  if (auto box = program_->WaitDialog("AUTOBOXB", from, 3000)) {
    ExpectSound(*box);
    Screen().Activate(box->window);
    Screen().Key("Return");
    Screen().WaitGone(box->window, 2000);
  }
  Screen().Activate(w.id);
  Screen().Key("a");
  ASSERT_TRUE(program_->Answers(w.id, 3000));
  Settled(w.id, 300, 10000);
  CheckTools(w, {
                    {766, "SLICER", "Schnitte"},
                    {708, "TRACE3", "Graphverlauf"},
                    {774, "RIEM3", "Integriere f(x,y) dxdy"},
                    {832, "RIEM4", "Kurvenintegral"},
                    {780, "IVP10", "DGL Kurve"},
                    {750, "COMBOS", "Kombinationen"},
                    {783, "RDS", "Stereogramm"},
                    {710, "INTER", "Schnittpunkte"},
                    {981, "SETOBS", "Betrachter, Koordinaten"},
                    {830, "AXLEN", "Achsenlänge setzen"},
                    {601, "SPARAM", "Anim A"},
                });

  // The intersection curve of the two surfaces: the pair is chosen first.
  auto pair = Open(w, 787, "EQUA317");
  ASSERT_TRUE(pair);
  ExpectSound(*pair);
  const std::size_t before = program_->Log().Size();
  Screen().Activate(pair->window);
  Screen().Key("Return");
  auto curve = program_->WaitDialog("INTERC", before, 5000);
  ASSERT_TRUE(curve) << "the intersection curve dialog did not open";
  ExpectSound(*curve);
  Close(*curve);
}

TEST_F(DialogGeometry, ThePlanetSystemEditor) {
  Start();
  Menu(Frame(), 409);  // "&Planeten"
  const TopWindow w = Window("Unbenannt1.kv2");
  ASSERT_NE(w.id, 0u);
  // The planet window draws its run again whenever a dialog uncovers it;
  // clicks and keys wait until that work is over and the program is idle.
  const std::size_t from = program_->Log().Size();
  auto inventory = Open(w, 504, "INVENT");
  ASSERT_TRUE(inventory);
  ASSERT_TRUE(program_->WaitCommandDone(w.id, 504, from, 10000)) << "the run was not drawn to its end";
  ClickFirstRow(*inventory, 293);
  auto editor = OpenByButton(*inventory, 51, "EQUA219");  // "Bearbeiten"
  ASSERT_TRUE(editor);
  EXPECT_EQ(editor->caption, "Planetensystem");
  ExpectSound(*editor);
  Close(*editor);
  Close(*inventory);
}

}  // namespace
}  // namespace kvdisplay
