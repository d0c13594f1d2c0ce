// The 3D window's EPS export on a real display: the file the menu writes
// marks the lines of a space curve, each axis and the box as sections in
// the order they are drawn, and an empty window's symbol keeps the names of
// its axes; a first point brings the axes and is written as the screen
// shows it.
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "support/display_test.h"
#include "support/eps_sections.h"
#include "support/temp_dir.h"

namespace kvdisplay {
namespace {

class Window3DExports : public DisplayTest {
 protected:
  // A new 3D window from the frame's menu.
  TopWindow New3D() {
    Menu(Frame(), 403);  // "&3-dim"
    const TopWindow w = Window("Unbenannt");
    EXPECT_NE(w.id, 0u) << "no 3D window";
    Settled(w.id);
    return w;
  }
  // Puts a checkable command of the window's menu in the state asked for:
  // it is clicked only when its mark says otherwise.
  void SetChecked(const TopWindow& w, int id, bool on) {
    const auto item = program_->MenuItem(w.id, id);
    ASSERT_TRUE(item) << "no menu item " << id;
    ASSERT_NE(item->check, '-') << id << " is not checkable";
    if ((item->check == 'c') != on) Menu(w, id);
  }
  // "&EPS Datei ...": the path typed once into the file dialog, then the
  // file's text once the program reports it saved.
  std::string ExportEps(const TopWindow& w, const std::string& path) {
    const std::size_t from = program_->Log().Size();
    Menu(w, 85);
    EXPECT_TRUE(ChooseInFileDialog("Speichern unter", path)) << "no file dialog, or it stayed open";
    EXPECT_TRUE(MessageSince(from, "EPS Datei gespeichert", 10000)) << "no report of the saved file";
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
};

// The example curve with axes and box: its one line, the three axes (one
// straight line each, meeting in the origin) and the box (twelve edges,
// three at each of eight corners) stand in the file after their marks.
TEST_F(Window3DExports, TheEpsFileMarksTheCurveEachAxisAndTheBox) {
  Start();
  const TopWindow w = New3D();
  ASSERT_NE(w.id, 0u);
  const std::size_t from = program_->Log().Size();
  Menu(w, 1004);  // "&Kurve ..." with its example
  auto entry = program_->WaitDialog("EQUA304", from, 3000);
  ASSERT_TRUE(entry) << "no curve dialog";
  program_->ClickControl(*entry, 1);  // "OK"
  ASSERT_TRUE(Screen().WaitGone(entry->window, 3000));
  Settled(w.id, 300, 10000);
  SetChecked(w, 109, true);   // "&Achsen"
  SetChecked(w, 773, true);   // "&Box sichtbar"
  SetChecked(w, 776, false);  // "Kanten &verdecken": every edge whole
  Settled(w.id, 300, 10000);

  const std::string eps = ExportEps(w, kvtest::MakeTempDir("eps3d") + "kurve.eps");
  const std::vector<kvtest::EpsSection> sections = kvtest::EpsSections(eps);
  const std::vector<std::string> expected{"begin one slice", "draw axis", "draw axis", "draw axis",
                                          "begin view box"};
  ASSERT_EQ(kvtest::EpsMarks(sections), expected) << eps.substr(0, 3000);

  const auto curve = kvtest::EpsPaths(sections[1]);
  ASSERT_FALSE(curve.empty()) << "no polyline after the curve's mark";
  EXPECT_GT(curve.front().size(), 20u);
  EXPECT_EQ(kvtest::EpsAxesFault(sections, 2), "");
  // The box: twelve lines between eight corners, three at each.
  EXPECT_EQ(kvtest::EpsBoxFault(sections[5]), "");
}

// A first point, entered hollow in a new window, brings the axes ("Achsen"
// checked) and stands in the EPS file beside them as an unfilled circle.
TEST_F(Window3DExports, AFirstPointBringsTheAxesAndExportsAsAHollowCircle) {
  Start();
  const TopWindow w = New3D();
  ASSERT_NE(w.id, 0u);
  auto axesChecked = [&] { return program_->MenuItem(w.id, 109).value_or(LoggedItem{}).check == 'c'; };
  ASSERT_FALSE(axesChecked()) << "a new window shows its axes";
  const LoggedDialog entry = OpenDialog(w, 1009, "EQUA309");  // "&Kartesisch ..."
  program_->ClickControl(entry, 252);  // "hohl"
  program_->ClickControl(entry, 1);    // "OK"
  ASSERT_TRUE(Screen().WaitGone(entry.window, 3000));
  Settled(w.id, 300, 10000);
  EXPECT_TRUE(axesChecked()) << "the axes are still off";

  const std::string eps = ExportEps(w, kvtest::MakeTempDir("eps3d") + "punkt.eps");
  EXPECT_EQ(kvtest::EpsMarks(kvtest::EpsSections(eps)), (std::vector<std::string>{"draw axis", "draw axis", "draw axis"}));
  const std::size_t arc = eps.find(" 0 360 arc");
  EXPECT_TRUE(arc != std::string::npos && eps.find(" 0 360 arc", arc + 1) == std::string::npos) << "not one circle";
  EXPECT_EQ(eps.find("begin circle fill"), std::string::npos) << "the hollow point is filled";
}

// An empty window shows three labelled arrows; the file has the labels.
TEST_F(Window3DExports, AnEmptyWindowExportsTheNamesOfItsAxes) {
  Start();
  const TopWindow w = New3D();
  ASSERT_NE(w.id, 0u);
  const std::string eps = ExportEps(w, kvtest::MakeTempDir("eps3d") + "leer.eps");
  for (const char* name : {"x", "y", "z"})
    EXPECT_NE(eps.find(std::string("(") + name + ") show"), std::string::npos) << name << "\n" << eps;
}

}  // namespace
}  // namespace kvdisplay
