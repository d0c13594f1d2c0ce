// What the 2D window's integration tools show as their result, driven with
// the keyboard and the mouse: the bounds their own dialog shows are taken
// again, a run stopped with A leaves no result, the Riemann strips stay
// with the Riemann dialog's own fields, and the cross-section volume shows
// that it is busy and stops on A; a point of the graph trace is drawn when
// its file is read again.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "support/display_test.h"
#include "support/temp_dir.h"

namespace kvdisplay {
namespace {

constexpr int kIntegrate = 721;      // "&Integriere f(x) dx ..."
constexpr int kSectorArea = 716;     // "&Sektorfläche ..."
constexpr int kArcLength = 723;      // "&Bogenlänge ..."
constexpr int kCrossSections = 786;  // "&Polygonkörper ..."
constexpr int kCheckData = 866;      // "&Prüfen ..." (the results window)
constexpr int kSelectAll = 119;      // "Alles markiere&n" (the results window)
constexpr int kCopy = 95;            // "&Kopieren" (the results window)
const char* const kNoResults = "bisher keine Daten";
constexpr int kGraphTrace = 708;     // "&Graphverlauf ..."
constexpr int kSaveAs = 58;          // "Speichern &unter ..."
const char* const kBusy = "Abbruch mit Taste A";

class Tools2DResults : public DisplayTest {
 protected:
  // Closes the tool with "Schließen" and opens it again with its command:
  // the dialog as it is logged when shown, with what its controls show.
  // Clicks are handled in turn, so it shows what the work before left.
  LoggedDialog Reopen(const TopWindow& w, const LoggedDialog& d, int command) {
    program_->ClickControl(d, 2);
    EXPECT_TRUE(Screen().WaitGone(d.window, 3000) || !Screen().Exists(d.window));
    return OpenDialog(w, command, d.templateName);
  }
  static std::string Text(const LoggedDialog& d, int id) {
    const LoggedControl* c = d.Find(id);
    EXPECT_NE(c, nullptr) << "no control " << id << " in " << d.templateName;
    return c ? c->text : std::string();
  }
  static std::string Joined(const std::vector<std::string>& v) {
    std::string s;
    for (const std::string& t : v) s += "[" + t + "] ";
    return s;
  }
  // Clicks the button that starts long work in the window, waits for its
  // busy caption, presses A once and waits for the caption to return.
  void StartAndStop(const TopWindow& w, const LoggedDialog& d, int button) {
    program_->ClickControl(d, button);
    ASSERT_TRUE(Eventually([&] { return Screen().Caption(w.id) == kBusy; }, 5000))
        << "the work shows no busy caption";
    Screen().Key("a");
    ASSERT_TRUE(Eventually([&] { return Screen().Caption(w.id) != kBusy; }, 2000))
        << "A did not stop the work";
  }
  // The text the results window shows for the first entry, as a user takes
  // it from there: "Alles markieren" and "Kopieren" put it on the
  // clipboard.  One line a result, "bisher keine Daten" for none.
  std::string ResultsText(const TopWindow& w) {
    Screen().Activate(w.id);
    Menu(w, kCheckData);
    const TopWindow data = Screen().WaitFor("Daten [", 3000, true);
    EXPECT_NE(data.id, 0u) << "no results window";
    if (!data.id) return {};
    Screen().ClearClipboard();
    Menu(data, kSelectAll);
    Menu(data, kCopy);
    EXPECT_TRUE(Eventually([] { return Screen().ClipboardOwner() != 0; }, 2000)) << "the results were not copied";
    std::string text = Screen().ClipboardText();
    // Out of the way of the dialogs again.
    Screen().Close(data.id);
    EXPECT_TRUE(Screen().WaitGone(data.id, 3000));
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
  }
};

// r = 1 + cos t over [0, 2pi]: "Sektorfläche" leaves these bounds in the
// dialogs, which show 2pi rounded up as "6.28319"; "Bogenlänge" takes them
// as they stand and shows the length 8.
TEST_F(Tools2DResults, TheArcLengthTakesTheBoundsItsDialogShows) {
  Start();
  const TopWindow w = New2D();
  EnterByKey(w, "F4", "EQUA202", {{213, "1+cos(t)"}, {221, "0"}, {223, "2pi"}});
  const LoggedDialog sector = OpenDialog(w, kSectorArea, "AREA");
  program_->SetText(sector, 211, "0");
  program_->SetText(sector, 212, "2pi");
  program_->SetText(sector, 213, "200");
  std::size_t from = program_->Log().Size();
  program_->ClickControl(sector, 761);  // "Fläche"
  const LoggedDialog area = Reopen(w, sector, kSectorArea);
  EXPECT_NEAR(Number(Text(area, 235)), 1.5 * M_PI, 1e-5);
  EXPECT_TRUE(Messages(from).empty()) << Joined(Messages(from));
  program_->ClickControl(area, 2);
  ASSERT_TRUE(Screen().WaitGone(area.window, 3000));

  const LoggedDialog length = OpenDialog(w, kArcLength, "ARCLEN");
  ASSERT_EQ(Text(length, 211), "0.00000");
  ASSERT_EQ(Text(length, 212), "6.28319");
  from = program_->Log().Size();
  program_->ClickControl(length, 761);  // "Länge"
  const LoggedDialog shown = Reopen(w, length, kArcLength);
  EXPECT_TRUE(Messages(from).empty()) << "the shown bounds were refused: " << Joined(Messages(from));
  EXPECT_NEAR(Number(Text(shown, 235)), 8, 1e-5);
}

// Integrieren over e^(-x^2) with ten million divisions, stopped with A: the
// six fields show no partial sums and no result is stored.  The same
// fields with 8 divisions then show the six sums.
TEST_F(Tools2DResults, AnIntegrationStoppedWithAIsNoResult) {
  Start();
  const TopWindow w = New2D();
  EnterByKey(w, "F1", "EQUA201", {{212, "exp(-x^2)"}});
  ASSERT_EQ(ResultsText(w), kNoResults);
  const LoggedDialog d = OpenDialog(w, kIntegrate, "RIEM");
  for (int id = 271; id <= 276; ++id) program_->ClickControl(d, id);  // all six rules
  program_->SetText(d, 211, "-3");
  program_->SetText(d, 212, "3");
  program_->SetText(d, 213, "10000000");
  std::size_t from = program_->Log().Size();
  StartAndStop(w, d, 761);  // "Flächeninhalt"
  const LoggedDialog stopped = Reopen(w, d, kIntegrate);
  for (int id = 231; id <= 236; ++id) EXPECT_EQ(Text(stopped, id), "") << "field " << id << " after the stop";
  EXPECT_TRUE(Messages(from).empty()) << Joined(Messages(from));
  EXPECT_EQ(ResultsText(w), kNoResults) << "the sums of the stopped run were stored";

  program_->SetText(stopped, 213, "8");
  from = program_->Log().Size();
  program_->ClickControl(stopped, 761);
  const LoggedDialog sums = Reopen(w, stopped, kIntegrate);
  EXPECT_TRUE(Messages(from).empty()) << Joined(Messages(from));
  const auto f = [](long double x) { return std::exp(-x * x); };
  const long double h = 0.75L;
  long double left = 0, mid = 0, right = 0, low = 0, high = 0;
  for (int k = 0; k < 8; ++k) {
    const long double a = -3 + h * k, b = a + h;
    left += h * f(a);
    mid += h * f((a + b) / 2);
    right += h * f(b);
    // e^(-x^2) is monotonic on each strip (0 is a strip's end).
    low += h * std::min(f(a), f(b));
    high += h * std::max(f(a), f(b));
  }
  const double tolerance = 6e-6;  // five decimals shown
  EXPECT_NEAR(Number(Text(sums, 231)), static_cast<double>(left), tolerance);
  EXPECT_NEAR(Number(Text(sums, 232)), static_cast<double>(mid), tolerance);
  EXPECT_NEAR(Number(Text(sums, 233)), static_cast<double>(right), tolerance);
  EXPECT_NEAR(Number(Text(sums, 234)), static_cast<double>((left + right) / 2), tolerance);
  EXPECT_NEAR(Number(Text(sums, 235)), static_cast<double>((left + 4 * mid + right) / 6), tolerance);
  const double random = Number(Text(sums, 236));
  EXPECT_GE(random, static_cast<double>(low) - tolerance);
  EXPECT_LE(random, static_cast<double>(high) + tolerance);
  // The finished run is stored as one line: the bounds, the sum by
  // Simpson's rule (the one "Flächeninhalt" shows) and the count.
  const std::string stored = ResultsText(w);
  double a = NAN, b = NAN, value = NAN, count = NAN;
  ASSERT_EQ(std::sscanf(stored.c_str(), "(links,rechts,Wert,Teilung) = (%lf,%lf,%lf,%lf)", &a, &b, &value, &count), 4)
      << "the finished sums were not stored: " << stored;
  EXPECT_EQ(stored.find('\n'), std::string::npos) << "more than the one result: " << stored;
  EXPECT_EQ(a, -3);
  EXPECT_EQ(b, 3);
  EXPECT_NEAR(value, static_cast<double>((left + 4 * mid + right) / 6), tolerance);
  EXPECT_EQ(count, 8);
}

// The strips of the Riemann dialog, as the plot shows them: where the axes
// are, how long one unit is, and which columns carry a strip's side.
struct StripPicture {
  int axisRow = -1;     // y = 0
  int axisColumn = -1;  // x = 0
  double unit = 0;      // pixels per unit on the x-axis, from its ticks
  std::vector<int> sides;    // columns of the strips' sides, besides the axis
  std::vector<int> heights;  // their heights in pixels
};

bool Black(std::uint32_t p) { return (p & 0xFFFFFF) == 0; }

// The distance of neighbouring ticks, in pixels: the median, so that a tick
// hidden under a curve or a label does not count.
double TickSpacing(const std::vector<int>& ticks) {
  if (ticks.size() < 3) return 0;
  std::vector<int> d;
  for (std::size_t k = 1; k < ticks.size(); ++k) d.push_back(ticks[k] - ticks[k - 1]);
  std::sort(d.begin(), d.end());
  return d[d.size() / 2];
}

StripPicture Analyse(const Image& p) {
  StripPicture s;
  int best = 0;
  for (int y = 0; y < p.h; ++y) {
    int n = 0;
    for (int x = 0; x < p.w; ++x) n += Black(p.At(x, y));
    if (n > best) best = n, s.axisRow = y;
  }
  best = 0;
  for (int x = 0; x < p.w; ++x) {
    int n = 0;
    for (int y = 0; y < p.h; ++y) n += Black(p.At(x, y));
    if (n > best) best = n, s.axisColumn = x;
  }
  if (s.axisRow < 3 || s.axisColumn < 0 || s.axisRow + 3 >= p.h) return s;
  // The ticks cross the x-axis at the whole numbers.
  const auto tick = [&](int x) { return Black(p.At(x, s.axisRow - 2)) && Black(p.At(x, s.axisRow + 2)); };
  std::vector<int> ticks;
  for (int x = 0; x < p.w; ++x)
    if (tick(x) && (x == 0 || !tick(x - 1))) ticks.push_back(x);
  s.unit = TickSpacing(ticks);
  // A side rises from the x-axis in black for more than a tick's length
  // and ends below the top (the y-axis reaches it).
  for (int x = 0; x < p.w; ++x) {
    if (x == s.axisColumn) continue;
    int y = s.axisRow - 1;
    while (y >= 0 && Black(p.At(x, y))) --y;
    const int height = s.axisRow - 1 - y;
    if (height > 8 && y >= 0) {
      s.sides.push_back(x);
      s.heights.push_back(height + 1);
    }
  }
  return s;
}

// y = 2 with 8 strips on [-3, 3] by the left rule; then the sector area of
// r = 1 + cos t on [0, 2pi] with 100 divisions moves the shared bounds.
// After a redraw the strips still stand where the Riemann dialog's fields
// put them, and the dialog still shows its own bounds, count and sum.
TEST_F(Tools2DResults, TheStripsStayWithTheRiemannDialogAfterTheSectorArea) {
  Start();
  const TopWindow w = New2D();
  EnterByKey(w, "F4", "EQUA202", {{213, "1+cos(t)"}, {221, "0"}, {223, "2pi"}});
  EnterByKey(w, "F1", "EQUA201", {{212, "2"}});
  const LoggedDialog d = OpenDialog(w, kIntegrate, "RIEM");
  program_->ClickControl(d, 271);  // "Linker Endpunkt:"
  program_->ClickControl(d, 277);  // "Darstellung"
  program_->SetText(d, 211, "-3");
  program_->SetText(d, 212, "3");
  program_->SetText(d, 213, "8");
  program_->ClickControl(d, 761);
  const LoggedDialog riemann = Reopen(w, d, kIntegrate);
  ASSERT_NEAR(Number(Text(riemann, 231)), 12, 1e-9);

  // Eight sides a quarter of a unit apart left and right of the y-axis,
  // two units high (the fifth side lies on the y-axis).
  auto checkStrips = [&](const Image& picture, const char* when) {
    SCOPED_TRACE(when);
    const StripPicture s = Analyse(picture);
    ASSERT_GT(s.unit, 10) << "no ticks on the x-axis";
    ASSERT_EQ(s.sides.size(), 8u) << "sides of the strips";
    for (std::size_t k = 0; k < 8; ++k) {
      const int step = static_cast<int>(k) < 4 ? static_cast<int>(k) - 4 : static_cast<int>(k) - 3;
      EXPECT_NEAR(s.sides[k], s.axisColumn + 0.75 * step * s.unit, 1.5) << "side " << k;
      EXPECT_NEAR(s.heights[k], 2.0 * s.unit, 2.5) << "side " << k;
    }
  };
  const Image before = Settled(w.id);
  checkStrips(before, "after Integrieren");

  const LoggedDialog sector = OpenDialog(w, kSectorArea, "AREA");
  program_->SetText(sector, 211, "0");
  program_->SetText(sector, 212, "2pi");
  program_->SetText(sector, 213, "100");
  program_->ClickControl(sector, 761);
  const LoggedDialog area = Reopen(w, sector, kSectorArea);
  EXPECT_NEAR(Number(Text(area, 235)), 1.5 * M_PI, 1e-5);

  ASSERT_TRUE(Screen().Activate(w.id));
  Screen().Key("F5");  // "N&eu zeichnen"
  // A menu that opens comes after the redraw.
  ASSERT_TRUE(program_->Answers(w.id, 3000));
  checkStrips(Settled(w.id), "after Sektorfläche and a redraw");

  const LoggedDialog again = Reopen(w, riemann, kIntegrate);
  EXPECT_NEAR(Number(Text(again, 211)), -3, 1e-9);
  EXPECT_NEAR(Number(Text(again, 212)), 3, 1e-9);
  EXPECT_EQ(Text(again, 213), "8");
  EXPECT_NEAR(Number(Text(again, 231)), 12, 1e-9);
}

// "Volumen" of "Polygonkörper" with ten million divisions shows the busy
// caption and stops on A, leaving no result and no message; with 100 the
// unit square over [0, 2] gives the volume 2.  Then the solid is drawn.
TEST_F(Tools2DResults, TheCrossSectionVolumeIsBusyUntilAStopsIt) {
  Start();
  const TopWindow w = New2D();
  EnterByKey(w, "F1", "EQUA201", {{212, "1"}});
  EnterByKey(w, "F1", "EQUA201", {{212, "0"}});
  const LoggedDialog d = OpenDialog(w, kCrossSections, "SECTION");
  program_->SetText(d, 212, "0");
  program_->SetText(d, 213, "2");
  program_->SetText(d, 216, "10000000");
  std::size_t from = program_->Log().Size();
  StartAndStop(w, d, 785);  // "Volumen"
  const LoggedDialog stopped = Reopen(w, d, kCrossSections);
  EXPECT_EQ(Text(stopped, 231), "");
  EXPECT_TRUE(Messages(from).empty()) << Joined(Messages(from));

  program_->SetText(stopped, 216, "100");
  from = program_->Log().Size();
  program_->ClickControl(stopped, 785);
  const LoggedDialog volume = Reopen(w, stopped, kCrossSections);
  EXPECT_TRUE(Messages(from).empty()) << Joined(Messages(from));
  EXPECT_NEAR(Number(Text(volume, 231)), 2, 1e-9);

  // "Zeichne Körper" over [0, 20]: a bar twenty times as long as it is wide
  // lies whole in the 3D window, long and thin, below the four labels.
  program_->SetText(volume, 213, "20");
  program_->ClickControl(volume, 91);
  const TopWindow s = Window("Sections", Patient(8000));
  const Image p = Settled(s.id);
  int left = p.w, right = -1, top = p.h, bottom = -1;
  for (int y = 100; y < p.h; ++y)
    for (int x = 0; x < p.w; ++x)
      if (const std::uint32_t c = p.At(x, y); c != 0xC0C0C0 && c != 0xFFFFFF) {
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
  ASSERT_GT(right, left);
  EXPECT_GT(right - left, 2 * (bottom - top)) << "the bar was cut to a block";
  EXPECT_GT(top, 105);
  EXPECT_LT(bottom, p.h - 5);
  EXPECT_GT(left, 5);
  EXPECT_LT(right, p.w - 5);
}

// Where the plot's axes lie and how long a unit is on each, from the axes
// and their ticks (black, one tick per whole number).
struct PlotScale {
  int axisRow = -1, axisColumn = -1;
  double unitX = 0, unitY = 0;
  bool Ok() const { return unitX > 10 && unitY > 10; }
  int X(double x) const { return static_cast<int>(std::lround(axisColumn + x * unitX)); }
  int Y(double y) const { return static_cast<int>(std::lround(axisRow - y * unitY)); }
};

PlotScale ScaleOf(const Image& p) {
  PlotScale s;
  const StripPicture axes = Analyse(p);
  s.axisRow = axes.axisRow;
  s.axisColumn = axes.axisColumn;
  s.unitX = axes.unit;
  if (s.axisColumn < 0 || s.axisColumn + 2 >= p.w) return s;
  if (s.axisColumn < 2) return s;
  // Ticks cross the y-axis where it is drawn.
  const auto tick = [&](int y) {
    return Black(p.At(s.axisColumn, y)) && Black(p.At(s.axisColumn - 2, y)) && Black(p.At(s.axisColumn + 2, y));
  };
  std::vector<int> ticks;
  for (int y = 0; y < p.h; ++y)
    if (tick(y) && (y == 0 || !tick(y - 1))) ticks.push_back(y);
  s.unitY = TickSpacing(ticks);
  return s;
}

// Pixels within `r` of (x, y) in a colour: neither the plot's background
// (its most common colour) nor black.
int ColouredAround(const Image& p, int x, int y, int r) {
  std::map<std::uint32_t, int> count;
  for (std::uint32_t c : p.pixels) ++count[c & 0xFFFFFF];
  std::uint32_t background = 0;
  int most = 0;
  for (const auto& [c, n] : count)
    if (n > most) most = n, background = c;
  int n = 0;
  for (int py = std::max(0, y - r); py <= std::min(p.h - 1, y + r); ++py)
    for (int px = std::max(0, x - r); px <= std::min(p.w - 1, x + r); ++px) {
      const std::uint32_t c = p.At(px, py) & 0xFFFFFF;
      if (c != background && c != 0) ++n;
    }
  return n;
}

// "Punkt" of "Graphverlauf" at x = 1 on y = x^2/2: the point is drawn at
// (1, 0.5), and again when the saved file is opened.  A second point typed
// between the scroll bar's steps leaves the trace where it was typed.
TEST_F(Tools2DResults, ATracedPointIsDrawnAgainFromItsFile) {
  Start();
  const TopWindow w = New2D();
  EnterByKey(w, "F1", "EQUA201", {{212, "x^2/2"}});
  const Image plain = Settled(w.id);
  const PlotScale before = ScaleOf(plain);
  ASSERT_TRUE(before.Ok()) << "no axes with ticks";
  // The curve alone crosses the square of 7 x 7 pixels about the point.
  ASSERT_LT(ColouredAround(plain, before.X(1), before.Y(0.5), 3), 20);

  const LoggedDialog trace = OpenDialog(w, kGraphTrace, "TRACE");
  program_->SetText(trace, 211, "1");
  program_->ClickControl(trace, 712);  // "Punkt"
  // A second point between the scroll bar's steps: the trace stays there.
  program_->SetText(trace, 211, "1.234");
  Screen().Key("Return");
  program_->ClickControl(trace, 712);
  ASSERT_TRUE(program_->Answers(w.id, 3000));
  const std::string shown = program_->TextOf(trace, 232);
  const std::size_t y = shown.find("y = ");
  EXPECT_NEAR(Number(shown.substr(y == std::string::npos ? 0 : y + 4)), 1.234 * 1.234 / 2, 1e-5) << shown;
  program_->ClickControl(trace, 2);  // "Schließen"
  ASSERT_TRUE(Screen().WaitGone(trace.window, 3000) || !Screen().Exists(trace.window));
  ASSERT_TRUE(program_->Answers(w.id, 3000));
  const Image added = Settled(w.id);
  EXPECT_GE(ColouredAround(added, before.X(1), before.Y(0.5), 3), 30) << "no point at (1, 0.5)";

  const std::string path = kvtest::MakeTempDir("trace-point") + "punkt.kv2";
  Screen().Activate(w.id);
  Menu(w, kSaveAs);
  ASSERT_TRUE(ChooseInFileDialog("Speichern unter", path));
  ASSERT_TRUE(Eventually([&] { return std::filesystem::exists(path) && std::filesystem::file_size(path) > 0; },
                         3000))
      << "the file was not written";
  ASSERT_TRUE(program_->Answers(w.id, 3000));

  Start({path});
  const TopWindow r = Window("punkt.kv2");
  ASSERT_NE(r.id, 0u);
  const Image read = Settled(r.id, 300, 8000);
  const PlotScale after = ScaleOf(read);
  ASSERT_TRUE(after.Ok()) << "no axes with ticks";
  EXPECT_GE(ColouredAround(read, after.X(1), after.Y(0.5), 3), 30) << "no point at (1, 0.5) in the file read again";
}

}  // namespace
}  // namespace kvdisplay
