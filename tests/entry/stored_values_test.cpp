// What the program stores comes back.  One table of the values every
// dialog and command accepts at its extremes: typed into the dialog, saved
// (in the window's plot file, or in the window kind's settings file when
// the window closes) and read into a new window of the kind, each must be
// as it was.  And every place of the plot file's settings blocks and of
// the settings files is either read back into the window and written out
// again, or listed with the reason it is not: a place whose value does not
// come back through reading and writing is written and never read, read
// and never written, or replaced by something else.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/window_registry.h"
#include "core/binary_stream.h"
#include "entry/cobweb_dialog.h"
#include "entry/family_dialog.h"
#include "entry/field_integral_dialogs.h"
#include "entry/model/plot_file.h"
#include "entry/plot111_win.h"
#include "entry/plot11_win.h"
#include "entry/table_win.h"
#include "graphics/grid_dialog.h"
#include "planewin/dom2_win.h"
#include "planewin/map2_win.h"
#include "planewin/map_grid_dialog.h"
#include "planewin/quiz_win.h"
#include "planewin/switch_dialog.h"
#include "platform/app.h"
#include "platform/dialog.h"
#include "platform/testing.h"
#include "plot2d/plot_c_win.h"
#include "plot2d/pre_riemann_dialog.h"
#include "plot2d/riemann_dialog.h"
#include "plot3d/plot_r_win.h"
#include "plot3d/stereogram_win.h"
#include "shell/model/settings_file.h"
#include "shell/plot_frame.h"
#include "support/test_env.h"

namespace kv {
namespace {

enum Kind { k2D, k3D, kPlanets, kMapping, kLog, kQuiz };

class StoredValues : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterWindowCreators();
    kvtest::ClearSettingsFolder();
    frame_ = new TPlotFrame(nullptr, "Kurvato");
    ASSERT_TRUE(frame_->Create());
    frame_->StandardSettings = 0;
  }
  void TearDown() override {
    if (frame_ && !frame_->IsDestroyed()) frame_->Destroy();
    plat::App::DeleteDestroyedWindows();
  }
  TPlot11Win* Make(Kind kind) {
    TFileMsgWin* w = nullptr;
    switch (kind) {
      case k2D: w = frame_->New2DWindow(""); break;
      case k3D: w = frame_->New3DWindow(""); break;
      case kPlanets: w = frame_->NewPlanetWindow(""); break;
      case kMapping: w = frame_->NewMappingPair("", 0); break;
      case kLog: w = frame_->NewLogWindow("", 3); break;
      case kQuiz: w = frame_->NewQuizWindow(); break;
    }
    return dynamic_cast<TPlot11Win*>(w);
  }
  TPlotFrame* frame_ = nullptr;
};

// ---- what the dialogs accept comes back ----

enum class Store { PlotFile, Settings };

std::string Real(long double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15Lg", v);
  return buf;
}
std::string Ints(std::initializer_list<long long> values) {
  std::string s;
  for (long long v : values) s += (s.empty() ? "" : " ") + std::to_string(v);
  return s;
}

// A dialog field, the window kinds and files that keep it, what the dialog
// needs in the window (entries), how a value is typed (the values of a
// row's list may hold several fields, split at "|"; after " => " what the
// window must hold then), and the value as the window holds it.
using Where = std::vector<std::pair<Kind, Store>>;
using Enter = std::function<void(TPlot11Win&, const std::vector<std::string>&)>;
using Held = std::function<std::string(TPlot11Win&)>;
struct StoredField {
  const char* field;
  Where where;
  std::function<void(TPlot11Win&)> prepare;
  Enter enter;
  Held held;
  std::vector<std::string> values;
};

std::vector<std::string> Split(const std::string& s) {
  std::vector<std::string> parts;
  std::size_t from = 0;
  for (;;) {
    const std::size_t bar = s.find('|', from);
    parts.push_back(s.substr(from, bar - from));
    if (bar == std::string::npos) return parts;
    from = bar + 1;
  }
}

int Append(TPlot11Win& w, int kind, std::initializer_list<std::string_view> texts) {
  const int i = w.AppendEquation(kind, texts);
  w.CompileEquation(i);
  w.EquationsChanged(false);
  return i;
}

// A modal dialog of a command: value k is typed into the k-th id.
Enter ByDialog(const char* templateName, int command, std::vector<int> ids) {
  return [=](TPlot11Win& w, const std::vector<std::string>& v) {
    std::vector<std::pair<int, std::string>> texts;
    for (std::size_t k = 0; k < ids.size(); ++k) texts.emplace_back(ids[k], v[std::min(k, v.size() - 1)]);
    plat::testing::AnswerDialog(templateName, texts, plat::IDOK);
    w.Command(command);
  };
}
// A modeless dialog the command opens: the values go into the ids, then
// the button is pressed.
template <class D>
Enter ByModeless(int command, std::function<D*(TPlot11Win&)> dialog, std::vector<int> ids, int button) {
  return [=](TPlot11Win& w, const std::vector<std::string>& v) {
    w.Command(command);
    D* d = dialog(w);
    ASSERT_NE(d, nullptr);
    for (std::size_t k = 0; k < ids.size(); ++k) d->SetItemText(ids[k], v[std::min(k, v.size() - 1)]);
    d->Press(button);
  };
}
Enter ByInput(int command) { return ByDialog("ONEINPUT", command, {211}); }

std::string Range(const TSimpsonRange& r) { return Real(r.lower) + " " + Real(r.upper) + " " + Ints({r.parts}); }

const std::vector<StoredField>& Fields() {
  auto none = [](TPlot11Win&) {};
  auto curve = [](TPlot11Win& w) { Append(w, kKindExplicit, {"", "x*x"}); };
  const Where file2D = {{k2D, Store::PlotFile}};
  const Where file3D = {{k3D, Store::PlotFile}};
  const Where both2D = {{k2D, Store::PlotFile}, {k2D, Store::Settings}};
  const Held sliderSteps = [](TPlot11Win& w) {
    auto& s = dynamic_cast<TPlot111Win&>(w);
    return Ints({s.smallSteps[0], s.mediumSteps[0]});
  };
  const Held mapGrid = [](TPlot11Win& w) {
    const TMapGrid g = dynamic_cast<TDom2Win&>(w).CurrentGrid();
    return Ints({g.nx, g.ny});
  };
  auto gridDialog = [](TPlot11Win& w) { return dynamic_cast<TGridWin&>(w).GridDlg(); };
  static const std::vector<StoredField> fields = {
      // ---- plot files and settings files of the 2D windows ----
      {"Tabellenparameter: Schrittanzahl", file2D, curve,
       [](TPlot11Win& w, const std::vector<std::string>& v) {
         w.OpenEntryTable(0);
         plat::testing::AnswerDialog("TABLELOHI", {{211, "-1"}, {212, "1"}, {213, v[0]}}, plat::IDOK);
         w.TableWindow()->Command(kCmTableParameters);
       },
       [](TPlot11Win& w) { return Ints({w.defaultDensity, w.Equation(0).density}); }, {"1", "32767"}},
      {"Achsendicke für Ausdruck",
       {{k2D, Store::PlotFile}, {k2D, Store::Settings}, {kLog, Store::PlotFile}, {kPlanets, Store::PlotFile}}, none,
       ByInput(kCmAxisPrintWidth), [](TPlot11Win& w) { return Ints({w.AxisWidthPrint}); }, {"1", "32767"}},
      {"Achsendicke für Anzeige", both2D, none, ByInput(kCmAxisDisplayWidth),
       [](TPlot11Win& w) { return Ints({w.AxisWidthDisplay}); }, {"0", "32767"}},
      {"Gitterlinien: Achsendicke für Anzeige", {{k2D, Store::Settings}}, none, ByInput(kCmGridDisplayWidth),
       [](TPlot11Win& w) { return Ints({w.GridWidthDisplay}); }, {"0", "32767"}},
      {"Gitterlinien: Achsendicke für Ausdruck", {{k2D, Store::Settings}}, none, ByInput(kCmGridPrintWidth),
       [](TPlot11Win& w) { return Ints({w.GridWidthPrint}); }, {"1", "32767"}},
      // The print area: the file keeps hundredths of an inch.
      {"Druckbereich: Breite und Ränder", file2D, none,
       [](TPlot11Win& w, const std::vector<std::string>& v) {
         plat::testing::ExpectDialog("", [v](plat::Dialog& d) {
           d.SetCheck(251, true);
           d.SetCheck(252, false);
           for (int id : {211, 213, 214}) d.SetItemText(id, v[0]);
           d.Press(plat::IDOK);
         });
         w.Command(304);
       },
       [](TPlot11Win& w) { return Real(w.PrintWidth) + " " + Real(w.PrintLeft) + " " + Real(w.PrintTop); },
       {"0.6604", "2540"}},
      {"Pi", {{k2D, Store::PlotFile}, {k2D, Store::Settings}, {k3D, Store::Settings}}, none,
       ByInput(kCmPiCharacter), [](TPlot11Win& w) { return Ints({w.PiChar}); }, {"32", "255"}},
      {"Bindestrich verlängern", {{k2D, Store::Settings}, {k3D, Store::Settings}}, none, ByInput(kCmMinusSign),
       [](TPlot11Win& w) { return Ints({w.LongHyphen, w.LongHyphenChar}); }, {"32", "255"}},
      {"Faktor", both2D, none, ByInput(kCmZoomFactor), [](TPlot11Win& w) { return Real(w.ZoomFactor); },
       {"1e-16", "1e300"}},
      {"Anteil", file2D, none, ByInput(kCmPanShare), [](TPlot11Win& w) { return Real(w.PanShare); },
       {"1e-16", "1e300"}},
      // The settings file keeps the share less 0.05, so a share far below
      // the 1e-19 that long doubles resolve at 0.05 comes back rounded.
      {"Anteil", {{k2D, Store::Settings}}, none, ByInput(kCmPanShare), [](TPlot11Win& w) { return Real(w.PanShare); },
       {"1e-3", "1e300"}},
      {"Stiftbreite (Maus)", both2D, none, ByInput(kCmMarkPenWidth),
       [](TPlot11Win& w) { return Ints({w.mouseMarkPenWidth}); }, {"1", "6"}},
      {"Punktgröße", {{k2D, Store::Settings}}, none, ByInput(kCmPointSize),
       [](TPlot11Win& w) { return Ints({w.MarkerSizeCode}); }, {"1", "64"}},
      {"Schieberegler: Kleine und Mittlere Schritte", {{k2D, Store::PlotFile}, {k2D, Store::Settings}, {k3D, Store::Settings}},
       none, ByDialog("CALIB", kCmSliderSteps, {211, 212}), sliderSteps,
       {"2|1", "2147483647|1", "2147483647|1073741823", "100|50"}},
      {"Gleichung: Zeichendichte und Stiftbreite", file2D, none,
       [](TPlot11Win& w, const std::vector<std::string>& v) {
         // On a short interval: 10000 samples per pixel column are drawn
         // quickly.
         plat::testing::ExpectDialog("EQUA201", [v](plat::Dialog& d) {
           d.SetCheck(271, true);
           d.SetItemText(221, "0");
           d.SetItemText(223, "0.01");
           d.SetItemText(215, v[0]);
           d.SetItemText(227, v[1]);
           d.Press(plat::IDOK);
         });
         w.Command(kCmNewExplicit);
       },
       [](TPlot11Win& w) { return Ints({w.Equation(0).stepDensity, w.Equation(0).penWidth}); },
       {"-10000|1", "10000|30"}},
      {"Beispielsschar: Schritte und Pause", file2D, curve,
       [](TPlot11Win& w, const std::vector<std::string>& v) {
         plat::testing::ExpectDialog("FAM", [v](plat::Dialog& d) {
           d.SetItemText(kFamMin, "-1e300");
           d.SetItemText(kFamMax, "1e300");
           d.SetItemText(kFamSteps, v[0]);
           d.SetItemText(kFamDelay, v[1]);
           d.SetCheck(kFamFollow, v[2] == "1");
           d.Press(kFamDraw);
         });
         w.OpenFamilyDialog(0);
       },
       [](TPlot11Win& w) {
         const TEquation& e = w.Equation(0);
         return Ints({e.familySteps, e.familyDelay}) + " " + Real(e.familyStart) + " " + Real(e.familyEnd);
       },
       {"0|0|0", "4000|32750|1"}},
      {"Netz: Schritte und Pfeilgröße", file2D, curve,
       [](TPlot11Win& w, const std::vector<std::string>& v) {
         plat::testing::AnswerDialog("WEB", {{kWebStart, "0.5"}, {kWebSteps, v[0]}, {kWebArrowSize, v[1]}}, kWebDraw);
         w.OpenCobwebDialog(0);
       },
       [](TPlot11Win& w) { return Ints({w.Equation(0).termCount, w.Equation(0).arrowSize}); }, {"0|1", "1000|1000"}},
      {"Gitter: Freq, Strichlänge, Polarsektoren", file2D, none,
       ByModeless<TGridDlg>(kCmGridDialog, gridDialog, {214, 217, 211, 218}, 91),
       [](TPlot11Win& w) { return Ints({w.LabelFrequencyX, w.LabelFrequencyY, w.TickLength, w.PolarSectors}); },
       {"1|1|0.3|4", "98|98|97.9|100"}},
      // The settings file has no place for the sectors.
      {"Gitter: Freq und Strichlänge", {{k2D, Store::Settings}}, none,
       ByModeless<TGridDlg>(kCmGridDialog, gridDialog, {214, 217, 211}, 91),
       [](TPlot11Win& w) { return Ints({w.LabelFrequencyX, w.LabelFrequencyY, w.TickLength}); },
       {"1|1|0.3", "98|98|97.9"}},
      {"Integriere f(x) dx: Grenzen und Teilungen", file2D, curve,
       ByModeless<TRiemDlg>(
           kCmIntegrate, [](TPlot11Win& w) { return dynamic_cast<TPlotCWin&>(w).RiemannDialog(); },
           {kIdLeftBound, kIdRightBound, kIdDivisions}, kIdValueButton),
       [](TPlot11Win& w) {
         auto& p = dynamic_cast<TPlotCWin&>(w);
         return Real(p.IntegrationLeft()) + " " + Real(p.IntegrationRight()) + " " + Ints({p.IntegrationDivisions()});
       },
       {"-5|5|1", "-1|4.5|100000"}},
      {"Kurvenintegral: t min, t max, Teilungen", file2D,
       [](TPlot11Win& w) {
         Append(w, kKindOde, {"-y", "x"});
         Append(w, kKindParametric, {"cos(t)", "sin(t)"});
       },
       ByModeless<TLineDlg>(
           kCmLineIntegral, [](TPlot11Win& w) { return w.lineIntegralDlg; }, {kFieldTLower, kFieldTUpper, kFieldTParts},
           kFieldCompute),
       [](TPlot11Win& w) { return Range(w.lineRange); }, {"0|1|1", "-2|7|1000"}},
      // ---- the 3D windows ----
      {"Stiftbreite für Ausdruck (Box)", file3D, none, ByInput(808),
       [](TPlot11Win& w) { return Ints({w.View3D.BoxPenHidden}); }, {"1", "32767"}},
      {"Anzahl Fotos", {{k3D, Store::PlotFile}, {k3D, Store::Settings}}, none, ByInput(748),
       [](TPlot11Win& w) { return Ints({w.View3D.PhotoCount}); }, {"2", "200"}},
      {"Verdeckte Linien", {{k3D, Store::PlotFile}, {k3D, Store::Settings}}, none, ByInput(kCmHiddenLines),
       [](TPlot11Win& w) { return Ints({w.View3D.SegmentPieces}); }, {"1", "32767"}},
      {"Ebenheit", file3D, none, ByInput(kCmFlatness), [](TPlot11Win& w) { return Ints({w.View3D.FlatnessTolerance}); },
       {"1", "32767"}},
      {"Winkel", {{k3D, Store::Settings}}, none, ByInput(989),
       [](TPlot11Win& w) { return Real(w.View3D.RotationStep * 180 / 3.14159265358979323846L); }, {"-1e300", "1e300"}},
      // A division code makes the first count 2n + 1 (from 11 on) or
      // 2n - 1 for the drawing; the second stays as typed.
      {"Rotationsfläche: Teilungen", file3D, [](TPlot11Win& w) { Append(w, kKindRevolution, {"t", "u", "0"}); },
       [](TPlot11Win& w, const std::vector<std::string>& v) {
         plat::testing::AnswerDialog("EQUA307", {{216, v[0]}, {217, v[1]}}, plat::IDOK);
         w.EditEquation(0, false);
       },
       [](TPlot11Win& w) {
         const TEquation& e = w.Equation(0);
         return Ints({e.divisions[0], e.divisions[1], e.subValue});
       },
       {"18@12|20 => 37 20 12", "18@3|20 => 35 20 3", "1@1|1 => 1 1 1", "17|31 => 17 31 0"}},
      {"Flächenintegral: t und u, Teilungen", file3D,
       [](TPlot11Win& w) {
         Append(w, kKindOde3D, {"x", "y", "z"});
         Append(w, kKindParametricSurface, {"t", "u", "0"});
       },
       ByModeless<TFluxDlg>(
           833, [](TPlot11Win& w) { return w.fluxDlg; },
           {kFieldTLower, kFieldTUpper, kFieldTParts, kFieldULower, kFieldUUpper, kFieldUParts}, kFieldCompute),
       [](TPlot11Win& w) { return Range(w.fluxRangeT) + " " + Range(w.fluxRangeU); },
       {"0|1|1|0|1|1", "-2|3|50|-4|-3|7"}},
      {"Stereogramm", {{k3D, Store::Settings}}, [](TPlot11Win& w) { Append(w, kKindSurface, {"", "", "x*y"}); },
       ByModeless<TRDSDlg>(
           783, [](TPlot11Win& w) { return dynamic_cast<TPlotRWin&>(w).StereogramDlg; },
           {kStereogramDensity, kStereogramStrips, kStereogramDotSize, kStereogramDepth}, kStereogramDraw),
       [](TPlot11Win& w) {
         auto& r = dynamic_cast<TPlotRWin&>(w);
         return Ints({r.StereogramSettings[0], r.StereogramSettings[1], r.StereogramSettings[2]}) + " " +
                Real(r.StereogramDepth);
       },
       {"1|1|1|1e-13", "99|99|99|1e300"}},
      // ---- the mapping pair and the quiz ----
      {"Gitter der Abbildung: Teilungen", {{kMapping, Store::PlotFile}, {kMapping, Store::Settings}}, none,
       ByDialog("MAPGRID", kCmMapGrid, {kGridEditXDivisions, kGridEditYDivisions}), mapGrid, {"1", "200"}},
      {"Typen zulassen: Grad", {{kQuiz, Store::Settings}}, none,
       ByDialog("SWITCH", kCmSelectTypes, {kSwitchMinDegree, kSwitchMinDegree + 1}),
       [](TPlot11Win& w) {
         auto& q = dynamic_cast<TPlotGWin&>(w);
         return Ints({q.Types.minDegree, q.Types.maxDegree});
       },
       {"1|1", "8|8"}},
  };
  return fields;
}

TEST_F(StoredValues, EveryValueADialogAcceptsComesBackAfterSavingAndReopening) {
  const std::string dir = kvtest::MakeTempDir("stored-values");
  for (const StoredField& f : Fields()) {
    for (const auto& [kind, store] : f.where) {
      for (const std::string& value : f.values) {
        SCOPED_TRACE(std::string(f.field) + (store == Store::Settings ? " (settings)" : " (file)") + " = " + value);
        kvtest::ClearSettingsFolder();
        plat::testing::ClearMessages();
        TPlot11Win* a = Make(kind);
        ASSERT_NE(a, nullptr);
        f.prepare(*a);
        const std::size_t arrow = value.find(" => ");
        f.enter(*a, Split(value.substr(0, arrow)));
        EXPECT_TRUE(plat::testing::Messages().empty()) << "refused: " << plat::testing::Messages().front().text;
        const std::string held = f.held(*a);
        if (arrow != std::string::npos) {
          EXPECT_EQ(held, value.substr(arrow + 4));
        }
        a->Modified = 0;
        if (store == Store::PlotFile) {
          // Only the file brings the value to the new window.
          a->FileData.FileName = dir + "gespeichert";
          ASSERT_TRUE(a->WriteFile());
          a->SaveSettingsOnClose = 0;
        }
        a->Destroy();
        TPlot11Win* b = Make(kind);
        ASSERT_NE(b, nullptr);
        if (store == Store::PlotFile) {
          b->FileData.FileName = dir + "gespeichert";
          ASSERT_EQ(b->OpenFile(), 0);
        }
        EXPECT_EQ(f.held(*b), held);
        b->Modified = 0;
        b->Destroy();
        plat::App::DeleteDestroyedWindows();
      }
    }
  }
  // "kv.ini": the main frame's two options, each on its own.
  for (int option : {48, 49}) {  // "&Letzte Datei öffnen", "&Standardeinstellungen"
    SCOPED_TRACE(option);
    kvtest::ClearSettingsFolder();
    auto* a = new TPlotFrame(nullptr, "Kurvato");
    ASSERT_TRUE(a->Create());
    a->Command(option);
    const std::string held = Ints({a->OpenLastFile, a->StandardSettings});
    a->Destroy();
    auto* b = new TPlotFrame(nullptr, "Kurvato");
    ASSERT_TRUE(b->Create());
    EXPECT_EQ(Ints({b->OpenLastFile, b->StandardSettings}), held);
    b->Destroy();
    plat::App::DeleteDestroyedWindows();
  }
}

// A place: its block letter and index, e.g. "w47" (word 47), "f5" (flag
// byte 5), "v44" (value 44), "s0"/"m0" (slider steps), "i21"/"r24"/"b3"
// (settings file: integer, long-double and byte slots 0..62).
using Places = std::set<std::string>;

std::string Join(const Places& p) {
  std::string s;
  for (const std::string& x : p) s += x + " ";
  return s;
}

Places Range(char block, int from, int to) {
  Places p;
  for (int k = from; k <= to; ++k) p.insert(block + std::to_string(k));
  return p;
}

Places Union(std::initializer_list<Places> parts) {
  Places p;
  for (const Places& q : parts) p.insert(q.begin(), q.end());
  return p;
}

// ---- plot files ----

// Places of blocks 2 to 5 that say which blocks follow or how large they
// are: changing one alone makes another file, which the file tests cover.
const Places kStructural = {"w9", "w29", "w41", "w42", "w45", "w53", "f12", "f17"};

// Places no window keeps: written as 0 and passed over by the reader.
const Places kUnused = Union({{"w24", "f21", "v10", "v40", "v42", "v43"}, Range('w', 30, 36), Range('v', 29, 32),
                              Range('v', 62, 79)});

Places LostPlotPlaces(TPlot11Win& a, TPlot11Win& b) {
  TPlotFileState state;
  a.FillPlotState(state);
  ByteWriter w;
  WritePlotFile(w, state);
  a.ReturnPlotEntries(state);
  const std::vector<std::uint8_t> base = w.Data();

  Places lost;
  auto apply = [&](const std::vector<std::uint8_t>& bytes, TPlotSettingsBlock& out) {
    ByteReader r(bytes);
    TPlotFileState s;
    if (ReadPlotFile(r, a.FileTypeCode, s) != 0) return false;
    b.ApplyPlotState(s);
    TPlotFileState back;
    b.FillPlotState(back);
    b.ReturnPlotEntries(back);
    out = back.settings;
    return true;
  };
  const TPlotSettingsBlock original = state.settings;
  auto tryPlace = [&](const std::string& name, auto get, const auto& candidates) {
    if (kStructural.count(name)) return;
    for (const auto& c : candidates) {
      TPlotSettingsBlock s = original;
      if (get(s) == c) continue;
      get(s) = c;
      ByteWriter sw;
      WritePlotSettings(sw, s);
      std::vector<std::uint8_t> bytes = base;
      std::memcpy(bytes.data() + kCommonHeaderSize, sw.Data().data(), sw.Size());
      TPlotSettingsBlock back;
      if (apply(bytes, back) && get(back) == c) return;
    }
    lost.insert(name);
  };
  const std::int16_t words[] = {0, 1, 2, 3, 7, 9, 40, 123, 137, 150, 893, 1945};
  const std::uint8_t flags[] = {0, 1};
  const long double values[] = {0.375L, 2.5L, 7, 150, -0.5L, 0};
  const std::int32_t small[] = {150, 3};
  const std::int32_t medium[] = {5, 1};
  for (int k = 0; k < kPlotHeaderWords; ++k)
    tryPlace("w" + std::to_string(k), [k](TPlotSettingsBlock& s) -> auto& { return s.words[k]; }, words);
  for (int k = 0; k < kPlotFlagBytes; ++k)
    tryPlace("f" + std::to_string(k), [k](TPlotSettingsBlock& s) -> auto& { return s.flags[k]; }, flags);
  for (int k = 0; k < kPlotValues; ++k)
    tryPlace("v" + std::to_string(k), [k](TPlotSettingsBlock& s) -> auto& { return s.values[k]; }, values);
  for (int k = 0; k < kSliderTableEntries; ++k) {
    tryPlace("s" + std::to_string(k), [k](TPlotSettingsBlock& s) -> auto& { return s.smallSteps[k]; }, small);
    tryPlace("m" + std::to_string(k), [k](TPlotSettingsBlock& s) -> auto& { return s.mediumSteps[k]; }, medium);
  }
  return lost;
}

TEST_F(StoredValues, EveryPlaceOfAPlotFileIsReadBackOrListedWhyNot) {
  // What each window kind does not keep as it was read, besides the places
  // no window keeps.
  const std::map<Kind, Places> expected = {
      // The shown rectangle follows from the centre, the half width and
      // the client size; the logarithmic axes (word 51) belong to the
      // logarithmic windows; the integration dialog names entries of the
      // inventory (words 54, 55), and these windows have none.
      {k2D, {"v3", "v4", "v5", "v6", "w51", "w54", "w55"}},
      {kPlanets, {"v3", "v4", "v5", "v6", "w51", "w54", "w55"}},
      {kMapping, {"v3", "v4", "v5", "v6", "w51", "w54", "w55"}},
      // The 3D window: the box centre and the direction of sight follow
      // from the box and the observer.
      {k3D, Union({{"v3", "v4", "v5", "v6", "w1", "w51"}, Range('v', 14, 19)})},
      // The logarithmic window draws a free rectangle with its own grid.
      {kLog, {"f0", "v0", "v1", "v2", "v8", "v9", "v22", "v23", "v41", "w54", "w55"}},
  };
  for (const auto& [kind, places] : expected) {
    SCOPED_TRACE(kind);
    TPlot11Win* a = Make(kind);
    TPlot11Win* b = Make(kind);
    ASSERT_TRUE(a && b);
    const Places lost = LostPlotPlaces(*a, *b);
    const Places wanted = Union({places, kUnused});
    EXPECT_EQ(Join(lost), Join(wanted));
  }
}


// ---- settings files ----

// The settings file of the window's kind, written from its state.
template <class W>
std::vector<std::uint8_t> SettingsOf(W& w) {
  w.StoreSettings();
  return w.SettingsFileBytes();
}

template <class W>
Places LostSettingsPlaces(W& a, W& b) {
  const std::vector<std::uint8_t> base = SettingsOf(a);
  const std::string ini = WindowsDirectory() + a.SettingsFileName;
  constexpr std::size_t kIntsAt = kCommonHeaderSize;
  constexpr std::size_t kRealsAt = kIntsAt + 3 * 84;
  constexpr std::size_t kBytesAt = kRealsAt + 3 * 210;
  Places lost;
  auto tryPlace = [&](const std::string& name, std::size_t at, const std::vector<std::vector<std::uint8_t>>& candidates) {
    for (const auto& c : candidates) {
      if (std::memcmp(base.data() + at, c.data(), c.size()) == 0) continue;
      std::vector<std::uint8_t> bytes = base;
      std::memcpy(bytes.data() + at, c.data(), c.size());
      {
        std::ofstream f(ini, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
      }
      b.SettingsLoaded = b.LoadSettings() ? 1 : 0;
      b.ApplySettings();
      const std::vector<std::uint8_t> again = SettingsOf(b);
      if (again.size() == base.size() && std::memcmp(again.data() + at, c.data(), c.size()) == 0) return;
    }
    lost.insert(name);
  };
  auto i32 = [](std::int32_t v) {
    ByteWriter w;
    w.I32(v);
    return w.Data();
  };
  auto ld = [](long double v) {
    ByteWriter w;
    w.LongDouble(v);
    return w.Data();
  };
  for (int k = 0; k < 63; ++k)
    tryPlace("i" + std::to_string(k), kIntsAt + 4 * static_cast<std::size_t>(k), {i32(0), i32(1), i32(3), i32(9), i32(40), i32(124)});
  for (int k = 0; k < 63; ++k)
    tryPlace("r" + std::to_string(k), kRealsAt + 10 * static_cast<std::size_t>(k), {ld(0.375L), ld(7), ld(150)});
  for (int k = 0; k < 63; ++k) tryPlace("b" + std::to_string(k), kBytesAt + static_cast<std::size_t>(k), {{1}, {'x'}});
  return lost;
}

TEST_F(StoredValues, EverySlotOfASettingsFileIsReadBackOrListedWhyNot) {
  {
    SCOPED_TRACE("kv2.ini");
    auto* a = dynamic_cast<TPlotCWin*>(Make(k2D));
    auto* b = dynamic_cast<TPlotCWin*>(Make(k2D));
    ASSERT_TRUE(a && b);
    // Integer block 1 word 1 holds the count of saved colours (10), word 19
    // the type code and word 20 the side windows' modes: written, not read.
    // Block 2 word 10 is the mark 32000 that tells word 11 is a flag.
    // Block 3 words 4-7 and 18 are written as 0.
    EXPECT_EQ(Join(LostSettingsPlaces(*a, *b)), Join({"i1", "i19", "i20", "i31", "i46", "i47", "i48", "i49", "i60"}));
  }
  {
    SCOPED_TRACE("kv3.ini");
    auto* a = dynamic_cast<TPlotRWin*>(Make(k3D));
    auto* b = dynamic_cast<TPlotRWin*>(Make(k3D));
    ASSERT_TRUE(a && b);
    // Words 1, 19 and 20 as above; the words written as 0.
    EXPECT_EQ(Join(LostSettingsPlaces(*a, *b)),
              Join({"i1", "i19", "i20", "i31", "i32", "i34", "i36", "i37", "i39", "i40", "i42", "i43"}));
  }
}

}  // namespace
}  // namespace kv
