// The logarithmic window, the mapping pair and the exports on a real
// display: what a user sees after typing equations, adding mappings and
// exporting, driven by key presses and mouse clicks alone.
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "support/display_test.h"
#include "support/temp_dir.h"

namespace kvdisplay {
namespace {

class PlaneAndExports : public DisplayTest {
 protected:
  // Enters y = f(x) through "&1. y = f(x) ..." (F1) and waits for the
  // window to show it.
  void EnterExplicit(const TopWindow& w, const std::string& formula) {
    const Image before = Settled(w.id);
    Screen().Activate(w.id);
    const std::size_t from = program_->Log().Size();
    Screen().Key("F1");
    auto d = program_->WaitDialog("EQUA201", from, 3000);
    ASSERT_TRUE(d) << "no equation dialog for " << formula;
    program_->SetText(*d, 212, formula);
    Screen().Key("Return");
    ASSERT_TRUE(Screen().WaitGone(d->window, 3000));
    ASSERT_TRUE(Eventually([&] { return Screen().Capture(w.id).pixels != before.pixels; }, 8000))
        << formula << " was not drawn";
    Settled(w.id);
  }
};

// How many pixels of the picture have a colour that the plain window
// `plain` nowhere has: the pixels of the curves and their captions.
int CurvePixels(const Image& plain, const Image& img) {
  std::set<std::uint32_t> known(plain.pixels.begin(), plain.pixels.end());
  int n = 0;
  for (std::uint32_t c : img.pixels) n += known.count(c) == 0;
  return n;
}

// Three curves on log-log axes are three thin lines: y = x^2, x^3 and 3x
// colour a few thousand pixels of a fresh window (lines and captions), not
// the tens of thousands a filled area beside a curve would; and the same
// after the window is maximised.
TEST_F(PlaneAndExports, CurvesOnLogLogAxesAreLinesNotFilledAreas) {
  Start();
  Menu(Frame(), 415);  // "&3   (log x ; log y)"
  const TopWindow w = Window("Unbenannt1.lkv");
  ASSERT_NE(w.id, 0u);
  const Image empty = Settled(w.id);
  EnterExplicit(w, "x^2");
  EnterExplicit(w, "x^3");
  EnterExplicit(w, "3x");
  const Image drawn = Settled(w.id);
  EXPECT_LT(CurvePixels(empty, drawn), 6000) << "the curves fill areas of the window";

  // Maximised by a double click on its title bar, as a user makes it larger.
  const Rect g = Screen().Geometry(w.id);
  int x = g.w / 2, y = -10;
  Screen().ToScreen(w.id, x, y);
  Screen().DoubleClick(x, y);
  ASSERT_TRUE(Eventually([&] { return Screen().Geometry(w.id).w > g.w + 50; }, 5000)) << "the window kept its size";
  const Image larger = Settled(w.id);
  EXPECT_LT(CurvePixels(empty, larger), 7000) << "the curves fill areas of the larger window";
}

// A new mapping of a fresh pair: the entry dialog's OK draws it and opens
// nothing else (no inventory list of either window), and every entry of the
// domain window's menu bar lies inside the window, in as many rows as it
// takes.
TEST_F(PlaneAndExports, ANewMappingOpensNoListAndTheDomainMenuBarFitsItsWindow) {
  Start();
  Menu(Frame(), 405);  // "Ebene &xy"
  const TopWindow range = Window("Wertebereich [Abbildung1.ma2]");
  const TopWindow domain = Window("Abbildung1.ma2");
  ASSERT_NE(domain.id, 0u);
  ASSERT_NE(range.id, 0u);
  const auto bar = program_->WaitMenuBar(domain.id, 3000);
  ASSERT_TRUE(bar);
  EXPECT_EQ(bar->menu, "DOM2MENU");
  const Rect g = Screen().Geometry(domain.id);
  for (const LoggedItem& e : bar->entries) {
    EXPECT_GE(e.rect.x, 0) << e.text;
    EXPECT_LE(e.rect.x + e.rect.w, g.w) << e.text << " lies beyond the window's right edge";
  }
  const std::size_t windows = Screen().Windows().size();
  const std::size_t from = program_->Log().Size();
  Menu(domain, 1102);  // "&Neu ..." of "&Abbild"
  auto d = program_->WaitDialog("EQUA402", from, 3000);
  ASSERT_TRUE(d) << "the mapping's dialog did not appear";
  program_->ClickControl(*d, 1);  // "OK"
  ASSERT_TRUE(Screen().WaitGone(d->window, 3000));
  ASSERT_TRUE(program_->WaitCommandDone(domain.id, 1102, from, 5000)) << "the mapping's command did not return";
  Settled(range.id);
  for (const TopWindow& t : Screen().Windows())
    EXPECT_EQ(t.caption.rfind("Inventar", 0), std::string::npos) << t.caption;
  EXPECT_EQ(Screen().Windows().size(), windows);
}

// A surface of painted cells exported to PiCTeX, a format without filled
// areas: the message says that the file lacks them rather than reporting a
// plain success.
TEST_F(PlaneAndExports, APictexExportOfPaintedCellsSaysWhatTheFileLacks) {
  Start();
  Menu(Frame(), 403);  // "&3-dim"
  const TopWindow w = Window("Unbenannt1.kv3");
  ASSERT_NE(w.id, 0u);
  std::size_t from = program_->Log().Size();
  Menu(w, 1001);  // z = f(x;y) with its example
  auto entry = program_->WaitDialog("EQUA301", from, 3000);
  ASSERT_TRUE(entry);
  program_->ClickControl(*entry, 1);  // "OK"
  ASSERT_TRUE(Screen().WaitGone(entry->window, 3000));
  Settled(w.id, 300, 10000);

  const std::string path = kvtest::MakeTempDir("pictex") + "flaeche.tex";
  from = program_->Log().Size();
  Menu(w, 70);  // "&PiCTeX Datei ..."
  ASSERT_TRUE(ChooseInFileDialog("Speichern unter", path));
  auto setup = program_->WaitDialog("PICTEX", from, 5000);
  ASSERT_TRUE(setup);
  program_->ClickControl(*setup, 1);  // "OK"
  std::string message;
  EXPECT_TRUE(Eventually(
      [&] {
        const auto& lines = program_->Log().Lines();
        for (std::size_t i = from; i < lines.size(); ++i)
          if (lines[i].rfind("message ", 0) == 0) message = lines[i].substr(8);
        return !message.empty();
      },
      10000));
  EXPECT_EQ(message.rfind("PiCTeX Datei ohne gefüllte Flächen gespeichert", 0), 0u) << message;
  std::ifstream file(path, std::ios::binary);
  EXPECT_TRUE(file.good()) << "no file written";
}

}  // namespace
}  // namespace kvdisplay
