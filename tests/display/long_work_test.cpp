// Long work runs inside a command and reads the keyboard itself; a key
// pressed anywhere in the program must reach it.  Each loop is started as a
// user starts it, stopped with its key once with the focus in the plot
// window and once in its dialog (or, where the dialog hides while the work
// runs, in another window of the program), and the program must answer at
// once.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

#include "support/display_test.h"

namespace kvdisplay {
namespace {

class LongWork : public DisplayTest {
 protected:
  // True once the window's pixels change: within 3 s (stretched), or exactly ms where they should stand still.
  bool Moving(unsigned long window, int ms = 0) {
    const Image a = Screen().Capture(window);
    const auto moved = [&] { return Screen().Capture(window).pixels != a.pixels; };
    return ms ? WithinMs(moved, ms) : Eventually(moved, 3000);
  }
  // How often the window's pixels changed within ms.
  int Changes(unsigned long window, int ms) {
    int n = 0;
    Image last = Screen().Capture(window);
    WithinMs(
        [&] {
          Image now = Screen().Capture(window);
          if (now.pixels != last.pixels) ++n;
          last = std::move(now);
          return false;
        },
        ms);
    return n;
  }
  // Presses the key with the focus in `focus`: the work reads it, and `window` answers, within a second of the
  // key.
  void PressStopKey(unsigned long window, unsigned long focus, const std::string& key) {
    EXPECT_TRUE(Screen().Activate(focus)) << "the window to type into is not there";
    const int code = key == "Escape" ? 27 : key == "ctrl+q" ? 17 : 'A';
    std::int64_t pressed = 0;
    EXPECT_TRUE(program_->KeyReadWithin(key, code, 1000, &pressed)) << "the work and " << key;
    EXPECT_TRUE(program_->AnswersWithin(window, 1000, pressed)) << "after " << key;
  }
  // Presses the key with the focus in `focus` and checks that the work in
  // `window` stops within a second: its picture stands still and its menu
  // opens.
  void StopWith(const TopWindow& window, unsigned long focus, const std::string& key) {
    ASSERT_TRUE(Moving(window.id)) << "the work is not running";
    PressStopKey(window.id, focus, key);
    EXPECT_FALSE(Moving(window.id, 1000)) << "still running after " << key;
  }
  // The same for work that shows the caption `busy` while it runs: the
  // caption must return.
  void StopWhileCaption(const TopWindow& window, unsigned long focus, const std::string& key, const std::string& busy) {
    ASSERT_TRUE(Eventually([&] { return Screen().Caption(window.id) == busy; }, 3000)) << "the work is not running";
    Pause(300);
    PressStopKey(window.id, focus, key);
    EXPECT_TRUE(Eventually([&] { return Screen().Caption(window.id) != busy; }, 1000))
        << "the caption stays " << busy;
    EXPECT_FALSE(Moving(window.id, 500)) << "still running after " << key;
  }
  // Waits for the dialog of the template to appear and to be drawn.
  std::optional<LoggedDialog> Await(const std::string& templateName, std::size_t from) {
    auto d = program_->WaitDialog(templateName, from, 3000);
    if (d) Settled(d->window);
    return d;
  }
  // The window with this caption, or one that showed a menu bar of this
  // menu at or after log line `from`.
  // The window with this caption, or else the latest window other than
  // `other` whose menu bar was logged since `from`.
  unsigned long WindowWithMenu(const std::string& menu, std::size_t from, const std::string& caption,
                               unsigned long other = 0) {
    unsigned long id = 0;
    Eventually(
        [&] {
          if ((id = Screen().Find(caption).id)) return true;
          const auto& lines = program_->Log().Lines();
          for (std::size_t i = from; i < lines.size(); ++i) {
            char name[64] = {};
            unsigned long window = 0;
            if (std::sscanf(lines[i].c_str(), "menubar %lu %63s", &window, name) == 2 && menu == name &&
                window != other)
              id = window;
          }
          return id != 0;
        },
        3000);
    return id;
  }
  // Types the formula into the 2D window's y = f(x) dialog.
  void Enter2D(const std::string& formula) {
    const std::size_t from = program_->Log().Size();
    Screen().Key("F1");
    auto eq = Await("EQUA201", from);
    ASSERT_TRUE(eq) << "the dialog of y = f(x) did not appear";
    program_->SetText(*eq, 212, formula);
    Screen().Key("Return");
    ASSERT_TRUE(Screen().WaitGone(eq->window, 3000));
  }
  // Opens a 3D window from the frame's menu "&Fenster" and types the
  // surface z = f(x;y) into its first equation dialog.
  TopWindow New3D(const std::string& surface) {
    Menu(Frame(), 403);  // "&3-dim"
    const TopWindow w = Window("Unbenannt");
    const std::size_t from = program_->Log().Size();
    Screen().Key("F1");
    auto eq = Await("EQUA301", from);
    EXPECT_TRUE(eq) << "the dialog of z = f(x;y) did not appear";
    if (!eq) return w;
    program_->SetText(*eq, 213, surface);
    Screen().Key("Return");
    EXPECT_TRUE(Screen().WaitGone(eq->window, 3000));
    Settled(w.id);
    return w;
  }
  // Opens the slider dialog of a command of the menu "&Anim".
  LoggedDialog Slider(const TopWindow& w, int command, const std::string& templateName) {
    const std::size_t from = program_->Log().Size();
    Menu(w, command);
    auto slider = Await(templateName, from);
    EXPECT_TRUE(slider) << "the slider dialog did not appear";
    return slider ? *slider : LoggedDialog{};
  }
  // A 2D window drawing y = A sin(x) with the slider dialog of A open.
  std::pair<TopWindow, LoggedDialog> SliderOfA() {
    const TopWindow w = New2D();
    Enter2D("Asin(x)");
    return {w, Slider(w, 601, "SPARAM")};  // "&A ..."
  }
  // The slider dialog is hidden while its animation runs and comes back
  // when it ends.
  void SliderBack(const LoggedDialog& slider) {
    EXPECT_TRUE(Screen().WaitFor(slider.caption, 2000).id) << "the slider dialog did not come back";
  }
};

// The continuous animations; the slider dialog hides while they run, so the
// key is pressed in the plot window and in the main frame.  Escape is read
// and goes by: only A stops them.
TEST_F(LongWork, TheSliderAnimationsStopOnAWhereverTheFocusIs) {
  Start();
  const TopWindow frame = Frame();
  auto [w, slider] = SliderOfA();
  ASSERT_NE(slider.window, 0u);
  const std::string caption = Screen().Caption(w.id);
  for (int button : {740, 738}) {  // "Autozyk", "Autorev"
    SCOPED_TRACE(button);
    program_->ClickControl(slider, button);
    StopWith(w, w.id, "a");
    EXPECT_EQ(Screen().Caption(w.id), caption);
    SliderBack(slider);
    program_->ClickControl(slider, button);
    ASSERT_TRUE(Moving(w.id)) << "the work is not running";
    ASSERT_TRUE(Screen().Activate(frame.id));
    EXPECT_TRUE(program_->KeyReadWithin("Escape", 27, 1000)) << "the animation did not read Escape";
    EXPECT_TRUE(Moving(w.id)) << "Escape stopped the animation";
    StopWith(w, frame.id, "a");
    SliderBack(slider);
  }
  // "P" pauses the animation until "P" again, also typed in another window.
  program_->ClickControl(slider, 740);
  ASSERT_TRUE(Moving(w.id));
  ASSERT_TRUE(Screen().Activate(frame.id));
  ASSERT_TRUE(program_->KeysRead("p", 'P', 1000)) << "the animation did not read P";
  Settled(w.id, 300);
  EXPECT_FALSE(Moving(w.id, 800)) << "P did not pause the animation";
  Screen().Key("p");
  EXPECT_TRUE(Moving(w.id)) << "the second P did not go on";
  StopWith(w, w.id, "a");
  SliderBack(slider);
}

// "Vorberechnen": the frames are drawn into memory under the caption
// "Foto #", then played; whole-number steps ("[value]" typed into the
// slider's edit) step through the range with a delay.
TEST_F(LongWork, PrecomputedFramesAndWholeNumberStepsStopOnTheirKeys) {
  Start();
  const TopWindow frame = Frame();
  auto [w, slider] = SliderOfA();
  ASSERT_NE(slider.window, 0u);
  const std::string caption = Screen().Caption(w.id);
  program_->ClickControl(slider, 271);  // "Vorberechnen"
  program_->SetText(slider, 212, "200");  // "Fotos", the most
  // A stop key while the photos are taken only ends the taking: the photos
  // there are are played.  The keys here stop the playing.
  auto photos = [&] {
    EXPECT_TRUE(Eventually([&] { return Screen().Caption(w.id).find("Foto #") != std::string::npos; }, 3000))
        << "no photos were taken";
    EXPECT_TRUE(Eventually([&] { return Screen().Caption(w.id) == caption; }, 5000)) << "the photos never ended";
  };
  program_->ClickControl(slider, 738);  // "Autorev"
  photos();
  StopWith(w, w.id, "a");
  SliderBack(slider);
  program_->ClickControl(slider, 740);  // "Autozyk"
  photos();
  StopWith(w, frame.id, "a");
  SliderBack(slider);
  EXPECT_EQ(Screen().Caption(w.id), caption);

  // Whole numbers: the check box goes away, the animation steps.  The
  // dialog lays out its buttons anew; it is closed and opened again to
  // read where they are now (the mode survives hiding).
  program_->ClickControl(slider, 271);
  program_->SetText(slider, 211, "[2]");
  Screen().Key("Return");
  Settled(slider.window);
  program_->ClickControl(slider, 2);  // "Schließen"
  ASSERT_TRUE(Screen().WaitGone(slider.window, 3000));
  ASSERT_TRUE(Screen().Activate(w.id));
  slider = Slider(w, 601, "SPARAM");
  ASSERT_NE(slider.window, 0u);
  {
    const LoggedControl* photos = slider.Find(271);
    EXPECT_TRUE(photos && !photos->visible) << "whole-number steps were not taken up";
  }
  for (auto [focus, key] : {std::pair{w.id, std::string("a")}, std::pair{frame.id, std::string("a")}}) {
    program_->ClickControl(slider, 740);
    // A step waits half a second; "S" shortens the wait by 50 ms.
    ASSERT_TRUE(Moving(w.id));
    if (focus == w.id) {
      // One key is read per step: the nine keys take a few steps.
      const int slow = Changes(w.id, 2000);
      ASSERT_TRUE(program_->KeysRead("s", 'S', 1000, 9)) << "the steps did not read the nine S";
      EXPECT_GT(Changes(w.id, 2000), 2 * slow) << "S did not shorten the steps";
    }
    StopWith(w, focus, key);
    SliderBack(slider);
  }
}

// The time parameter "@" runs with the clock ("Sekunden"); only A counts.
TEST_F(LongWork, TheTimeParameterStopsOnA) {
  Start();
  const TopWindow frame = Frame();
  const TopWindow w = New2D();
  Enter2D("sin(x+@)");
  const LoggedDialog slider = Slider(w, 600, "TPARAM");  // "&@ ..."
  ASSERT_NE(slider.window, 0u);
  program_->ClickControl(slider, 740);  // "Sekunden"
  StopWith(w, w.id, "a");
  SliderBack(slider);
  program_->ClickControl(slider, 740);
  StopWith(w, frame.id, "a");
  SliderBack(slider);
}

// The 3D window: the slider animation, the slices' animation and the tour
// around the z-axis.
TEST_F(LongWork, TheThreeDimensionalAnimationsAndTheTourStopOnTheirKeys) {
  Start();
  const TopWindow frame = Frame();
  const TopWindow w = New3D("Asin(x)cos(y)");
  const std::string caption = Screen().Caption(w.id);

  const LoggedDialog slider = Slider(w, 601, "SPARAM");  // "&A ..."
  ASSERT_NE(slider.window, 0u);
  program_->ClickControl(slider, 740);  // "Autozyk"
  StopWith(w, w.id, "a");
  SliderBack(slider);
  program_->ClickControl(slider, 738);  // "Autorev"
  StopWith(w, frame.id, "a");
  SliderBack(slider);
  EXPECT_EQ(Screen().Caption(w.id), caption);
  program_->ClickControl(slider, 2);  // "Schließen"

  // "&Schnitte": the dialog hides while a slice moves.
  std::size_t from = program_->Log().Size();
  Menu(w, 766);
  auto slices = Await("SLICER", from);
  ASSERT_TRUE(slices) << "the slice dialog did not appear";
  // It has no OK button: Enter in a value field reads the values typed.
  EXPECT_EQ(slices->Find(1), nullptr);
  from = program_->Log().Size();
  program_->SetText(*slices, 211, "1+");
  Screen().Key("Return");
  EXPECT_TRUE(MessageSince(from, "unverständlich", 3000)) << "Enter did not read the value";
  Confirm("?");
  program_->SetText(*slices, 211, "0");
  program_->ClickControl(*slices, 740);  // "Autozyk" of the first slice
  StopWith(w, w.id, "a");
  EXPECT_TRUE(Screen().WaitFor(slices->caption, 2000).id) << "the slice dialog did not come back";
  EXPECT_EQ(Screen().Caption(w.id), caption);
  program_->ClickControl(*slices, 838);  // "Autorev" of the second slice
  StopWith(w, frame.id, "a");
  EXPECT_TRUE(Screen().WaitFor(slices->caption, 2000).id);
  EXPECT_EQ(Screen().Caption(w.id), caption);
  program_->ClickControl(*slices, 2);  // "Schließen"

  // The tour takes its photos under "Foto #k/n", then plays them; A ends
  // either part, wherever the focus is, and Strg+Q ends the film.
  auto touring = [&] { return Screen().Caption(w.id) != caption; };
  auto filming = [&] { return Screen().Caption(w.id) == "A=Abbruch L=Langsamer S=Schneller"; };
  for (auto [focus, key] : {std::pair{w.id, std::string("a")}, std::pair{frame.id, std::string("a")},
                            std::pair{w.id, std::string("ctrl+q")}}) {
    SCOPED_TRACE(key);
    ASSERT_TRUE(Screen().Activate(w.id));
    Screen().Key("ctrl+t");
    ASSERT_TRUE(Eventually(touring, 3000)) << "the tour did not start";
    if (key == "ctrl+q") {
      ASSERT_TRUE(Eventually(filming, 10000)) << "the film did not start";
    }
    Pause(500);
    PressStopKey(w.id, focus, key);
    EXPECT_TRUE(Eventually([&] { return !touring(); }, 1000)) << "the caption stays " << Screen().Caption(w.id);
  }
}

// "Höhe suchen" in the level dialog and "Suchen" in the dialog of an
// intersection curve search for pieces of curves in a companion window
// until a stop key; their dialogs stay open.
TEST_F(LongWork, TheSearchesForLevelAndIntersectionCurvesStopOnA) {
  Start();
  const TopWindow w = New3D("sin(3x)cos(3y)");
  std::size_t from = program_->Log().Size();
  Menu(w, 504);  // "&Inventar ..."
  auto inventory = Await("INVENT", from);
  ASSERT_TRUE(inventory) << "the inventory did not appear";
  from = program_->Log().Size();
  program_->ClickControl(*inventory, 797);  // "Höhen"
  auto levels = Await("LEVELS", from);
  ASSERT_TRUE(levels) << "the level dialog did not appear";

  // The search shows "Abbruch mit Taste A" as the caption of its window
  // while it runs.
  const std::string busy = "Abbruch mit Taste A";
  // The search's window is made by the first search and kept.
  unsigned long levelWindow = 0;
  auto search = [&](const LoggedDialog& d, const std::string& caption, unsigned long& c, bool inDialog) {
    const std::size_t at = program_->Log().Size();
    program_->ClickControl(d, 353);  // "Höhe suchen" / "Suchen"
    // The level window shows the same menu: the course window is another.
    if (!c) c = WindowWithMenu("LEVELMENU", at, caption, &c == &levelWindow ? 0 : levelWindow);
    ASSERT_NE(c, 0u) << "no window " << caption;
    const auto searching = [&] { return Screen().Caption(c) == busy; };
    ASSERT_TRUE(Eventually(searching, 3000)) << "no search in " << caption;
    Pause(300);
    PressStopKey(c, inDialog ? d.window : c, "a");
    EXPECT_TRUE(Eventually([&] { return Screen().Caption(c) == caption; }, 1000))
        << "the caption stays " << Screen().Caption(c);
    EXPECT_TRUE(Screen().Exists(d.window));
  };
  search(*levels, "Höhen.kv3", levelWindow, false);
  search(*levels, "Höhen.kv3", levelWindow, true);
  program_->ClickControl(*levels, 2);  // "Verwerfen"

  // A second surface and the curve where the two meet.
  from = program_->Log().Size();
  Screen().Activate(w.id);
  Screen().Key("F1");
  auto eq = Await("EQUA301", from);
  ASSERT_TRUE(eq);
  program_->SetText(*eq, 213, "x/3");
  Screen().Key("Return");
  ASSERT_TRUE(Screen().WaitGone(eq->window, 3000));
  from = program_->Log().Size();
  Menu(w, 787);  // "&Schnittkurve ..."
  auto pair = Await("EQUA317", from);
  ASSERT_TRUE(pair) << "the choice of two surfaces did not appear";
  Screen().Key("Return");
  auto curve = Await("INTERC", from);
  ASSERT_TRUE(curve) << "the dialog of the intersection curve did not appear";
  unsigned long courseWindow = 0;
  search(*curve, "Verlauf.kv3", courseWindow, false);
  search(*curve, "Verlauf.kv3", courseWindow, true);
}

// A planet run follows the bodies on the screen ("Verfolgen") for as many
// positions as asked; the body editor closes before it runs, so the key
// is pressed in the planet window and in the main frame.  The runs start
// from a system of a file: a new window's system is random, and one that
// collides would end every run from its start at once.
TEST_F(LongWork, APlanetRunStopsOnA) {
  Start();
  const TopWindow frame = Frame();
  std::size_t from = program_->Log().Size();
  Menu(frame, 409);  // "&Planeten"
  // The new window runs its system at once, under the caption that asks
  // for "A"; the run ends where a body leaves the view, or where two
  // collide (the caption then says "Kollision!" after the name).
  TopWindow first;
  first.id = WindowWithMenu("PLOT2MENU", from, "Unbenannt1.kv2");
  ASSERT_NE(first.id, 0u) << "no planet window";
  ASSERT_TRUE(Eventually([&] { return Screen().Caption(first.id).rfind("Unbenannt1.kv2", 0) == 0; }, 30000))
      << "the first run did not end";
  Settled(first.id);
  ASSERT_TRUE(Screen().Activate(first.id));
  Menu(first, 59);  // "Ö&ffnen ..."
  ASSERT_TRUE(ChooseInFileDialog("Öffnen", FixtureCopy("walkplanets.kv2")));
  const TopWindow w = Window("walkplanets.kv2");
  ASSERT_NE(w.id, 0u);
  Settled(w.id);
  from = program_->Log().Size();
  Menu(w, 504);  // "&Inventar ..."
  auto inventory = Await("INVENT", from);
  ASSERT_TRUE(inventory) << "the inventory did not appear";
  ClickFirstRow(*inventory, 293);  // the planet system
  for (unsigned long focus : {w.id, frame.id}) {
    from = program_->Log().Size();
    program_->ClickControl(*inventory, 51);  // "Bearbeiten"
    auto bodies = Await("EQUA219", from);
    ASSERT_TRUE(bodies) << "the body editor did not appear";
    program_->SetText(*bodies, 220, "10000000");  // "Positionen"
    // The new system follows its bodies and stops at the border of the
    // view; this run goes on past it.
    if (focus == w.id) program_->ClickControl(*bodies, 272);  // "Grenzen setzen"
    program_->ClickControl(*bodies, 1);  // "Zeichnen"
    ASSERT_TRUE(Screen().WaitGone(bodies->window, 3000));
    StopWhileCaption(w, focus, "a", "Abbruch mit Taste A");
  }
}

// Riemann sums and the measures of solids integrate with as many steps as
// typed; their dialogs stay open, the window's caption asks for "A".
TEST_F(LongWork, RiemannSumsAndSolidIntegrationsStopOnA) {
  Start();
  const TopWindow w = New2D();
  Enter2D("sin(x)^2+cos(x)^2+exp(sin(x))");
  const std::string busy = "Abbruch mit Taste A";
  auto run = [&](int command, const std::string& templateName) {
    SCOPED_TRACE(templateName);
    ASSERT_TRUE(Screen().Activate(w.id));
    std::size_t from = program_->Log().Size();
    Menu(w, command);
    auto d = Await(templateName, from);
    ASSERT_TRUE(d) << "the dialog did not appear";
    for (unsigned long focus : {w.id, d->window}) {
      program_->SetText(*d, 213, "2147483647");  // "Stützstellen", the most allowed
      program_->ClickControl(*d, 761);          // "Flächeninhalt" / "Volumen"
      StopWhileCaption(w, focus, "a", busy);
      EXPECT_TRUE(Screen().Exists(d->window));
    }
    program_->ClickControl(*d, 2);  // "Schließen"
    Screen().WaitGone(d->window, 2000);
  };
  run(721, "RIEM");     // "&Integriere f(x) dx ..."
  run(746, "REVOLVE");  // "Rotations&volumen ..."
  run(784, "REVOLVE");  // "Rotations&fläche ..."
}

// "Verfolgen" in the initial-value dialogs shows a solution step by step
// with the delay typed; the dialogs stay open.
class FollowingSolutions : public LongWork {
 protected:
  // Enters a system through the command's dialog and opens the initial-value
  // dialog of the other command.
  std::optional<LoggedDialog> System(const TopWindow& w, int command, const std::string& templateName,
                                     const std::vector<std::pair<int, std::string>>& texts, int ivpCommand,
                                     const std::string& ivpTemplate) {
    std::size_t from = program_->Log().Size();
    Menu(w, command);
    auto system = Await(templateName, from);
    EXPECT_TRUE(system) << "the dialog " << templateName << " did not appear";
    if (!system) return std::nullopt;
    for (const auto& [id, text] : texts) program_->SetText(*system, id, text);
    std::size_t after = program_->Log().Size();
    Screen().Key("Return");
    EXPECT_TRUE(Screen().WaitGone(system->window, 3000));
    // The 3D window asks for the box of a new system.
    if (auto box = program_->WaitDialog("AUTOBOXB", after, 1000)) {
      Settled(box->window);
      Screen().Key("Return");
      EXPECT_TRUE(Screen().WaitGone(box->window, 3000));
    }
    Settled(w.id);
    Screen().Activate(w.id);
    from = program_->Log().Size();
    Menu(w, ivpCommand);
    auto ivp = Await(ivpTemplate, from);
    EXPECT_TRUE(ivp) << "the initial-value dialog " << ivpTemplate << " did not appear";
    return ivp;
  }
  // At the delay 50 (5 ms a step) the solution grows many times a second.
  void FollowAndStop(const TopWindow& w, const LoggedDialog& ivp) {
    for (unsigned long focus : {w.id, ivp.window}) {
      program_->ClickControl(ivp, 742);  // "Verfolgen"
      EXPECT_TRUE(focus != w.id || Changes(w.id, 1000) >= 5) << ivp.templateName << ": the solution does not grow";
      StopWith(w, focus, "a");
      EXPECT_TRUE(Screen().Exists(ivp.window));
    }
  }
  // A sequence turning about the origin by 0.01 a term, 3000 terms at the delay 100 (10 ms a term), from
  // the radius 1 and then 0.5: its terms come one by one (the picture changes more than once in the
  // first second, and still changes after it), and "a" ends the run within a tenth of a second of the
  // program's reading the key.
  void FollowTermsAndStop(const TopWindow& w, const LoggedDialog& ivp) {
    program_->SetText(ivp, 221, "3000");  // "Terme"
    program_->SetText(ivp, 215, "100");   // "Verzögerung"
    const char* radius[] = {"1", "0.5"};
    int run = 0;
    for (unsigned long focus : {w.id, ivp.window}) {
      program_->SetText(ivp, 211, radius[run++]);
      Settled(w.id);
      program_->ClickControl(ivp, 742);  // "Verfolgen"
      EXPECT_GE(Changes(w.id, 1000), 2) << "the terms do not come one by one";
      ASSERT_TRUE(Moving(w.id)) << "the run is over: all terms came at once";
      ASSERT_TRUE(Screen().Activate(focus));
      const std::size_t from = program_->Log().Size();
      std::int64_t pressed = 0;
      ASSERT_TRUE(program_->KeyReadWithin("a", 'A', 1000, &pressed)) << "the run and a";
      EXPECT_GE(program_->Log().WaitFor("done " + std::to_string(ivp.window) + " 742", from, 100), 0)
          << "the run did not end at once";
      EXPECT_TRUE(program_->AnswersWithin(w.id, 1000, pressed)) << "after a";
      EXPECT_FALSE(Moving(w.id, 1000)) << "still running after a";
    }
  }
};

// The rotation x(n+1) = x cos 0.01 - y sin 0.01, y(n+1) = x sin 0.01 + y cos 0.01 (z stays).
const std::vector<std::pair<int, std::string>> kTurningSequence = {
    {211, "x*cos(0.01)-y*sin(0.01)"}, {212, "x*sin(0.01)+y*cos(0.01)"}, {213, "z"}};

TEST_F(FollowingSolutions, OfPlaneSequencesComeTermByTermAndStopOnA) {
  Start();
  const TopWindow w = New2D();
  auto ivp = System(w, 912, "EQUA212", {kTurningSequence.begin(), kTurningSequence.end() - 1}, 782,
                    "IVP12");  // "Re&kursion ...", "&Folgen ..."
  ASSERT_TRUE(ivp);
  program_->SetText(*ivp, 212, "0");
  FollowTermsAndStop(w, *ivp);
}

TEST_F(FollowingSolutions, OfSequencesInSpaceComeTermByTermAndStopOnA) {
  Start();
  const TopWindow w = New3D("0");
  auto ivp = System(w, 1012, "EQUA312", kTurningSequence, 782, "IVP12");  // "Rekursio&n ...", "F&olgen ..."
  ASSERT_TRUE(ivp);
  program_->SetText(*ivp, 212, "0");
  program_->SetText(*ivp, 213, "0");
  FollowTermsAndStop(w, *ivp);
}

TEST_F(FollowingSolutions, OfPlaneSystemsStopOnA) {
  Start();
  const TopWindow w = New2D();
  // A spiral that winds slowly towards the origin and never leaves the view.
  auto ivp = System(w, 910, "EQUA210", {{211, "-0.01x-y"}, {212, "x-0.01y"}}, 780, "IVP10");  // "dy/d&t ..."
  ASSERT_TRUE(ivp);
  program_->SetText(*ivp, 211, "3");
  program_->SetText(*ivp, 212, "0");
  program_->SetText(*ivp, 215, "50");  // "Verzögerung", tenths of a millisecond
  FollowAndStop(w, *ivp);
  program_->ClickControl(*ivp, 2);  // "Schließen"
  // "Kurvenverlauf" along the solution has no OK button: Enter in its
  // parameter field reads the value typed.
  std::size_t from = program_->Log().Size();
  Menu(w, 882);
  auto trace = Await("TRACETRAJ", from);
  ASSERT_TRUE(trace) << "the trajectory trace did not appear";
  EXPECT_EQ(trace->Find(1), nullptr);
  from = program_->Log().Size();
  program_->SetText(*trace, 211, "1+");
  Screen().Key("Return");
  EXPECT_TRUE(MessageSince(from, "unverständlich", 3000)) << "Enter did not read the value";
  Confirm("?");
  program_->ClickControl(*trace, 2);  // "Schließen"

  // dy/dx with tiny steps crawls along its graph.
  ivp = System(w, 911, "EQUA211", {{213, "cos(x)"}}, 781, "IVP11");  // "dy/d&x ..."
  ASSERT_TRUE(ivp);
  program_->SetText(*ivp, 211, "-5");
  program_->SetText(*ivp, 212, "0");
  program_->SetText(*ivp, 220, "0.001");     // "Schrittweite"
  program_->SetText(*ivp, 217, "10000000");  // "Schritte"
  program_->SetText(*ivp, 215, "50");
  FollowAndStop(w, *ivp);
}

// The 3D window's "DGL Kurve": the system its "DGL" command proposes stays
// in a bounded region for ever, away from its resting points.
TEST_F(FollowingSolutions, OfSpaceSystemsStopOnA) {
  Start();
  const TopWindow w = New3D("0");
  auto ivp = System(w, 1010, "EQUA310", {}, 780, "IVP10");  // "&DGL ...", "&DGL Kurve ..."
  ASSERT_TRUE(ivp);
  for (int id : {211, 212, 213}) program_->SetText(*ivp, id, "1");  // off the resting point
  program_->SetText(*ivp, 215, "50");
  FollowAndStop(w, *ivp);
}

// Random darts estimate the centroid of a region given by an inequality;
// "Punkte anzeigen" marks the hits as they fall.  The dialog stays open.
TEST_F(LongWork, DartsIntoARegionStopOnA) {
  Start();
  const TopWindow w = New2D();
  std::size_t from = program_->Log().Size();
  Screen().Key("F3");
  auto implicit = Await("EQUA204", from);
  ASSERT_TRUE(implicit) << "the dialog of an implicit curve did not appear";
  program_->SetText(*implicit, 218, "x^2+y^2=9");
  Screen().Key("Return");
  ASSERT_TRUE(Screen().WaitGone(implicit->window, 3000));
  Settled(w.id);
  from = program_->Log().Size();
  Menu(w, 769);  // "Sc&hraffur" > "i&mplizit ..."
  auto region = Await("CENTROID", from);
  ASSERT_TRUE(region) << "the region dialog did not appear";
  program_->ClickControl(*region, 770);  // "Ändere = zu <"
  Settled(w.id);
  program_->ClickControl(*region, 251);  // "Schwerpunkt"
  Settled(region->window);
  from = program_->Log().Size();
  // The count and its button show now; the dialog's new layout is read
  // again from a fresh showing.
  Screen().Close(region->window);
  ASSERT_TRUE(Screen().WaitGone(region->window, 3000));
  Screen().Activate(w.id);
  Menu(w, 769);
  region = Await("CENTROID", from);
  ASSERT_TRUE(region);
  program_->SetText(*region, 212, "10000000");
  program_->ClickControl(*region, 272);  // "Punkte anzeigen"
  for (unsigned long focus : {w.id, region->window}) {
    program_->ClickControl(*region, 91);  // "Erzeuge"
    StopWith(w, focus, "a");
    EXPECT_TRUE(Screen().Exists(region->window));
  }
}

// A family with "Verfolgen" shows its members one after another with the
// delay typed in the family dialog, which closes before; the key is
// pressed in the plot window and in the inventory.  The entry is the
// inventory's only one, so it is chosen.
class FollowedFamilies : public LongWork {
 protected:
  // Draws the inventory's only entry as a family in a: 211 "von", 212 "bis", 213 "Schritte", 215 "Verzögerung (ms)".
  void DrawFamily(const LoggedDialog& inventory, const std::vector<std::pair<int, std::string>>& fields, bool follow) {
    const std::size_t from = program_->Log().Size();
    program_->ClickControl(inventory, 818);  // "Schar"
    auto family = Await("FAM", from);
    ASSERT_TRUE(family) << "the family dialog did not appear";
    program_->SetText(*family, 214, "a");
    for (const auto& [id, text] : fields) program_->SetText(*family, id, text);
    if (follow) program_->ClickControl(*family, 271);  // "Verfolgen"
    program_->ClickControl(*family, 91);                // "Zeichnen"
    ASSERT_TRUE(Screen().WaitGone(family->window, 3000));
  }
  void FollowAndStop(const TopWindow& w) {
    std::size_t from = program_->Log().Size();
    Menu(w, 504);  // "&Inventar ..."
    auto inventory = Await("INVENT", from);
    ASSERT_TRUE(inventory) << "the inventory did not appear";
    for (unsigned long focus : {w.id, inventory->window}) {
      DrawFamily(*inventory, {{211, "-5"}, {212, "5"}, {213, "2000"}, {215, "20"}}, focus == w.id);
      StopWhileCaption(w, focus, "a", "Abbruch mit Taste A");
    }
  }
  // The members shown (lines across): runs of rows where the column at 3/4 of the width differs from `before`.
  static int Members(const Image& before, const Image& now) {
    if (now.w != before.w || now.h != before.h) return -1;
    const int x = now.w * 3 / 4;
    int runs = 0;
    for (int y = 0; y < now.h; ++y)
      if (now.At(x, y) != before.At(x, y) && (y == 0 || now.At(x, y - 1) == before.At(x, y - 1))) ++runs;
    return runs;
  }
  // Members a = -1.5 .. 1.5 of the entry in a - 10 lie at y = a, each followed by a pause of 1500 ms: two
  // are shown mid-way through the second, and "A" then ends the family within a tenth of a second (logged).
  void SecondPauseShowsTwoMembersAndAEndsIt(const TopWindow& w) {
    constexpr int kDelay = 1500;
    const Image before = PlotPicture(w);
    const LoggedDialog inventory = OpenDialog(w, 504, "INVENT");  // "&Inventar ..."
    ASSERT_NE(inventory.window, 0u);
    const std::size_t from = program_->Log().Size();
    DrawFamily(inventory, {{211, "-11.5"}, {212, "-8.5"}, {213, "3"}, {215, std::to_string(kDelay)}}, true);
    ASSERT_GE(program_->Log().WaitFor("family 2 ", from, 3 * kDelay), 0) << "no second member";
    const std::int64_t paused = program_->Log().MsOf("family 2 ", from);
    Pause(static_cast<int>(paused + kDelay / 2 - NowMs()));
    const Image middle = PlotPicture(w, false);
    ASSERT_LT(program_->Log().Find("family 3 ", from), 0) << "the picture was not taken within the pause";
    EXPECT_EQ(Members(before, middle), 2) << "members on the screen in the second pause";
    const std::int64_t pressed = NowMs();
    Screen().Key("a");
    ASSERT_GE(program_->Log().WaitFor("family stopped", from, 3000), 0) << "A did not end the family";
    const std::int64_t key = program_->Log().MsOf("typed ", from);
    ASSERT_GE(key, paused) << "the key was not logged";
    EXPECT_LE(program_->Log().MsOf("family stopped", from) - key, 100) << "the key was read late";
    EXPECT_LT(program_->Log().Find("family 3 ", from), 0);
    EXPECT_TRUE(program_->AnswersWithin(w.id, 1000, pressed)) << "after A";
    EXPECT_EQ(Members(before, PlotPicture(w)), 2) << "members after A";
  }
};

// y = f(x) and a segment, as lines across the plot.
TEST_F(FollowedFamilies, ShowEachMemberDuringItsOwnPauseAndStopOnAWithinIt) {
  Start();
  const TopWindow w = New2D();
  Enter2D("a+10");
  SecondPauseShowsTwoMembersAndAEndsIt(w);
  Menu(Frame(), 402);  // "&2-dim"
  const TopWindow segments = Window("Unbenannt2");
  EnterByCommand(segments, 905, "EQUA205", {{211, "-20"}, {212, "a+10"}, {213, "20"}, {214, "a+10"}});  // "(&x;y) ..."
  SecondPauseShowsTwoMembersAndAEndsIt(segments);
}

// The family of y' = x - a y for a = -2 .. 2 in ten steps, a second after each member: "q"
// in the pause after the fourth is read there and ends the family; no member after it comes.
TEST_F(FollowedFamilies, OfDyDxEquationsStopOnAnyKeyInTheirPause) {
  Start();
  const TopWindow w = New2D();
  EnterByCommand(w, 911, "EQUA211", {{213, "x-a*y"}});  // "dy/d&x ..."
  const LoggedDialog inventory = OpenDialog(w, 504, "INVENT");  // "&Inventar ..."
  ASSERT_NE(inventory.window, 0u);
  const std::size_t from = program_->Log().Size();
  DrawFamily(inventory, {{211, "-2"}, {212, "2"}, {213, "10"}, {215, "1000"}}, true);
  ASSERT_GE(program_->Log().WaitFor("family 4 ", from, 10000), 0) << "no fourth member";
  Pause(static_cast<int>(program_->Log().MsOf("family 4 ", from) + 500 - NowMs()));
  ASSERT_TRUE(Screen().Activate(w.id));
  ASSERT_TRUE(program_->KeyReadWithin("q", 'Q', 1000)) << "the family and q";
  ASSERT_GE(program_->Log().WaitFor("family stopped", from, 1000), 0) << "q did not end the family";
  EXPECT_LT(program_->Log().Find("family 5 ", from), 0);
  const Image stopped = PlotPicture(w);
  Pause(2500);
  EXPECT_TRUE(PlotPicture(w).pixels == stopped.pixels) << "members drawn after q";
  EXPECT_LT(program_->Log().Find("family 5 ", from), 0);
}

// The file holds y' = x - A y as a family shown member by member (A from -2 to 2 in ten steps, a second after
// each) between other entries, a roulette after it.  The solutions through (0; -2) are the only red on the
// screen; member A crosses x = 0.4 at y = 0.4/A - 1/A^2 + (1/A^2 - 2) e^(-0.4 A), so the first four (A = -2,
// -1.6, -1.2, -0.8) at -4.35, -3.74, -3.18, -2.63.  A in the pause after the fourth ends the picture there, when
// the file opens, after F5 ("N&eu zeichnen"), and after a new pen width for the family's field typed in its
// equation dialog while the screen shows the whole family (the look alone changed): four red crossings stay,
// and no roulette.
TEST_F(FollowedFamilies, AInThePauseLeavesFourMembersAmongOtherEntries) {
  constexpr std::uint32_t kSolution = 0xFF0000, kRoulette = 0xFF00FF;
  // Member crossings with x = 0.4 in the view -6..6: runs of red rows in that column.
  const auto crossings = [](const Image& im) {
    const int x = static_cast<int>((0.4 + 6) / 12 * im.w + 0.5);
    int runs = 0;
    for (int y = 0; y < im.h; ++y)
      if (im.At(x, y) == kSolution && (y == 0 || im.At(x, y - 1) != kSolution)) ++runs;
    return runs;
  };
  // The roulette's pixels right of x = 1 and above y = 1 (its label stands at the top left).
  const auto roulette = [](const Image& im) {
    int n = 0;
    for (int y = 0; y < im.h * 2 / 5; ++y)
      for (int x = im.w * 7 / 12; x < im.w; ++x) n += im.At(x, y) == kRoulette;
    return n;
  };
  Start({FixtureCopy("stepped_family.kv2")});
  // The window draws the family as it opens, under the caption "Abbruch mit Taste A".
  TopWindow w;
  w.id = WindowWithMenu("PLOT2MENU", 0, "stepped_family.kv2");
  ASSERT_NE(w.id, 0u);
  std::size_t from = 0;
  enum Road { kOpened, kRedraw, kPenWidth };
  for (const Road road : {kOpened, kRedraw, kPenWidth}) {
    SCOPED_TRACE(road == kOpened ? "opened" : road == kRedraw ? "F5" : "pen width");
    if (road != kOpened) {
      ASSERT_TRUE(Screen().Activate(w.id));
      from = program_->Log().Size();
      Screen().Key("F5");
    }
    if (road == kPenWidth) {
      // The whole family and the roulette first.
      const int last = program_->Log().WaitFor("family 11 ", from, 20000);
      ASSERT_GE(last, 0) << "no eleventh member";
      ASSERT_GE(program_->Log().WaitFor("idle", static_cast<std::size_t>(last), 5000), 0);
      const Image whole = PlotPicture(w);
      ASSERT_GT(crossings(whole), 4);
      ASSERT_GT(roulette(whole), 0);
      const LoggedDialog inventory = OpenDialog(w, 504, "INVENT");  // "&Inventar ..."
      ASSERT_NE(inventory.window, 0u);
      ClickRow(inventory, 293, 3);
      from = program_->Log().Size();
      program_->ClickControl(inventory, 51);  // "Bearbeiten"
      auto slope = AwaitDialog("EQUA211", from);
      ASSERT_TRUE(slope) << "the dialog of dy/dx did not appear";
      from = program_->Log().Size();
      FillAndEnter(*slope, {{227, "2"}});  // "Stiftbreite"
    }
    ASSERT_GE(program_->Log().WaitFor("family 4 ", from, 10000), 0) << "no fourth member";
    Pause(static_cast<int>(program_->Log().MsOf("family 4 ", from) + 500 - NowMs()));
    const Image inPause = PlotPicture(w, false);
    EXPECT_EQ(crossings(inPause), 4) << "members in the pause after the fourth";
    // After the edit the key goes where the user's clicks left the focus.
    if (road != kPenWidth) {
      ASSERT_TRUE(Screen().Activate(w.id));
    }
    ASSERT_TRUE(program_->KeyReadWithin("a", 'A', 1000)) << "the family and A";
    ASSERT_GE(program_->Log().WaitFor("family stopped", from, 1000), 0) << "A did not end the family";
    const Image stopped = PlotPicture(w);
    EXPECT_EQ(crossings(stopped), 4) << "members after A";
    EXPECT_EQ(roulette(stopped), 0) << "the entry after the family was drawn";
    Pause(2500);
    EXPECT_LT(program_->Log().Find("family 5 ", from), 0) << "a member after A";
    EXPECT_TRUE(PlotPicture(w).pixels == stopped.pixels) << "the picture changed after A";
  }
}

TEST_F(FollowedFamilies, OfPlaneCurvesStopOnA) {
  Start();
  const TopWindow w = New2D();
  Enter2D("Asin(x)");
  FollowAndStop(w);
}

TEST_F(FollowedFamilies, OfSpaceCurvesStopOnA) {
  Start();
  Menu(Frame(), 403);  // "&3-dim"
  const TopWindow w = Window("Unbenannt");
  std::size_t from = program_->Log().Size();
  Menu(w, 1004);  // "&Kurve ..."
  auto curve = Await("EQUA304", from);
  ASSERT_TRUE(curve) << "the dialog of a space curve did not appear";
  program_->SetText(*curve, 211, "Acos(7t)");
  // The 3D window draws the members without a delay: many points keep it drawing till the key.
  program_->SetText(*curve, 219, "5000");  // "Kurvenpunkte"
  from = program_->Log().Size();
  Screen().Key("Return");
  ASSERT_TRUE(Screen().WaitGone(curve->window, 3000));
  if (auto box = program_->WaitDialog("AUTOBOXB", from, 1000)) {
    Settled(box->window);
    Screen().Key("Return");
    ASSERT_TRUE(Screen().WaitGone(box->window, 3000));
  }
  Settled(w.id);
  FollowAndStop(w);
}

// The double integral and the surface area of a surface sum as many cells
// as typed; the dialog stays open, the 3D window's caption asks for "A".
TEST_F(LongWork, DoubleIntegralsAndSurfaceAreasStopOnA) {
  Start();
  const TopWindow w = New3D("sin(x)cos(y)+exp(x/10)");
  for (int command : {774, 836}) {  // "&Integriere f(x,y) dxdy ...", "&Flächeninhalt ..."
    SCOPED_TRACE(command);
    ASSERT_TRUE(Screen().Activate(w.id));
    std::size_t from = program_->Log().Size();
    Menu(w, command);
    auto d = Await("RIEM3", from);
    ASSERT_TRUE(d) << "the integration dialog did not appear";
    program_->SetText(*d, 213, "30000");  // "Teilungen" in x
    program_->SetText(*d, 216, "30000");  // and in y
    for (unsigned long focus : {w.id, d->window}) {
      program_->ClickControl(*d, 91);  // "Wert ="
      StopWhileCaption(w, focus, "a", "Abbruch mit Taste A");
      EXPECT_TRUE(Screen().Exists(d->window));
    }
    program_->ClickControl(*d, 2);  // "Schließen"
    Screen().WaitGone(d->window, 2000);
  }
}

}  // namespace
}  // namespace kvdisplay
