#include "entry/side_windows.h"

#include <algorithm>

#include "platform/resources.h"
#include "plotcore/dc_sink.h"
#include "shell/note_win.h"
#include "shell/text_win.h"
#include "shell/text_helpers.h"

namespace kv {

namespace {

enum : int {
  kCmSideHelp = 354,
  kCmSideClose = 357,
  kStrTimeWindow = 162,     // "Zeitfenster"
  kStrWindowSuffix = 163,   // "-Fenster"
  kStrTimeTopic = 264,      // "Zeitfenster"
  kStrPlotFilter = 267,     // "Plot2D Dateien (*.KV2)|*.kv2"
};

constexpr long double kTimeHalfRange = 11.5L;
constexpr long double kPhaseExtent = 0.54L;

char AxisLetter(int coordinate) { return static_cast<char>('x' + coordinate); }

long double Coordinate(const TPoint3D& p, int c) { return c == 0 ? p.x : c == 1 ? p.y : p.z; }

}  // namespace

// ---- the common layer ----

TSideWin::TSideWin(TPlot1Win* owner, int number, int planeCode)
    : TPlot1Win(owner, "side"), owner_(owner), number_(number), planeCode_(planeCode) {
  AssignMenu("TXMENU");
  FileTypeCode = owner->FileTypeCode;
  FileVersion = owner->FileVersion;
  dimension = owner->dimension;
  is3D = 0;
  AxesShown = 1;
  FileData.Filter = plat::res::String(kStrPlotFilter);
  FileData.DefaultExt = "kv2";
  // The values of the owner's parameters are those shown here.
  Engine().UseTables(&owner->Tables());
}

TSideWin::~TSideWin() = default;

const plat::CommandTable& TSideWin::Commands() const {
  static const auto table = plat::CommandTable::Build<TSideWin>(&TPlot1Win::Commands(), {
                                                                                             {kCmSideHelp, &TSideWin::CmHelp},
                                                                                             {kCmSideClose, &TSideWin::CmClose},
                                                                                         });
  return table;
}

void TSideWin::SetupWindow() {
  MetafileDescription = "kurvato v." + std::to_string(FileVersion);
  TPlot1Win::SetupWindow();
  SetInitialView();
  UpdateView();
  UpdateMenuChecks(false);
}

void TSideWin::Destroy() {
  if (IsDestroyed()) return;
  // The owner's values stay with the owner.
  Engine().UseTables(nullptr);
  TPlot1Win::Destroy();
}

void TSideWin::PlaceWindow(int width, int height) {
  const int step = 20 * (number_ + 1);
  Placement.x = ScreenWidth / 7 + step;
  Placement.y = 2 * ScreenHeight / 7 + step;
  Placement.width = width;
  Placement.height = height;
  MoveWindow(Placement.x, Placement.y, Placement.width, Placement.height);
}

void TSideWin::SetSideCaption(const std::string& name) {
  std::string ownerName;
  GetFileNamePart(ownerName, owner_->FileData.FileName);
  FileData.FileName = name + " [" + ownerName + "]";
  UpdateCaption(false);
}

void TSideWin::ShowSideWindow() {
  Show(plat::SW_SHOWNORMAL);
  Hidden = 0;
  BringToTop();
  InvalidatePlot();
}

// ---- drawing ----

int TSideWin::DrawEquations(plat::DC& dc) {
  const int last = owner_->equationCount;
  int result = 0;
  if (last >= 0) {
    owner_->SaveVariables();
    for (int i = 0; i <= last && result == 0; ++i) {
      TEquation& e = owner_->Equation(i);
      if (!e.visible || !owner_->IsEquationDrawable(i) || !DrawsKind(e.kind)) continue;
      const bool sequence = e.kind == kKindSequence || e.kind == kKindSequence3D;
      for (TEquationItem& item : e.items) {
        result = sequence ? DrawSequenceItemHere(dc, i, item) : DrawTrajectoryItem(dc, i, item);
        if (result != 0) break;
      }
    }
    owner_->RestoreVariables();
  }
  UpdateCaption(false);
  return result;
}

int TSideWin::DrawTrajectoryItem(plat::DC& dc, int i, TEquationItem& item) {
  // One coordinate at a time: each is one run of the pen, as the exports
  // record it.
  class Sink : public TPolylineSink {
   public:
    Sink(TSideWin& w, plat::DC& dc, int coordinate, int kind)
        : w_(w), out_(w, dc), coordinate_(coordinate), kind_(kind) {}
    void MoveTo(const TPoint2D&) override {}
    void LineTo(const TPoint2D&) override {}
    void StepPoint(long double t, const TPoint3D& p) override {
      // The owner's logarithmic axes step exponents; shown here are values.
      TPoint2D q[3];
      if (w_.MapPoint(t, w_.owner_->ItemPointValues(kind_, p), q) <= coordinate_) return;
      if (first_) {
        out_.MoveTo(q[coordinate_]);
        first_ = false;
      } else {
        out_.LineTo(q[coordinate_]);
      }
      // A time window has nothing more to show once t runs away from its
      // view.
      if (w_.IsTimeWindow() && haveT_)
        beyond_ = (t > lastT_ && t > w_.World.xmax) || (t < lastT_ && t < w_.World.xmin);
      lastT_ = t;
      haveT_ = true;
    }
    bool Cancelled() override { return out_.Cancelled() || beyond_; }
    bool Stopped() const { return out_.Stopped(); }

   private:
    TSideWin& w_;
    TDcSink out_;
    int coordinate_;
    int kind_;
    bool first_ = true;
    bool beyond_ = false;
    bool haveT_ = false;
    long double lastT_ = 0;
  };
  TPoint2D probe[3];
  const int coordinates = MapPoint(item.paramStart, item.start, probe);
  const plat::Pen old = dc.SelectPen(CreateStylePen(item.pen));
  const int kind = owner_->Equation(i).kind;
  int result = 0;
  for (int c = 0; c < coordinates && result == 0; ++c) {
    BeginCurveRecording(2000);
    Sink sink(*this, dc, c, kind);
    bool finished = false;
    owner_->RunTrajectory(i, item, &sink, finished);
    EndCurveRecording(item.pen.colour, item.pen.width, item.pen.style);
    if (sink.Stopped()) result = 'A';
  }
  dc.SelectPen(old);
  return result;
}

int TSideWin::DrawSequenceItemHere(plat::DC& dc, int i, const TEquationItem& item) {
  const TEquation& e = owner_->Equation(i);
  const std::vector<TPoint3D> terms = owner_->IterateSequenceItem(i, item, TPlotWin::SequenceTermCount(item));
  const int style = item.pen.style > 0 ? item.pen.style : 1;
  TPoint2D probe[3];
  const int coordinates = terms.empty() ? 0 : MapPoint(0, terms[0], probe);
  for (int c = 0; c < coordinates; ++c) {
    if (e.notVertical && terms.size() > 1) {
      const plat::Pen old = dc.SelectPen(CreateStylePen(item.pen));
      BeginCurveRecording(static_cast<long>(terms.size()));
      TDcSink sink(*this, dc);
      for (std::size_t n = 0; n < terms.size(); ++n) {
        TPoint2D q[3];
        MapPoint(static_cast<long double>(n), terms[n], q);
        if (n == 0) {
          sink.MoveTo(q[c]);
        } else {
          sink.LineTo(q[c]);
        }
      }
      EndCurveRecording(item.pen.colour, item.pen.width, 0);
      dc.SelectPen(old);
    }
    for (std::size_t n = 0; n < terms.size(); ++n) {
      TPoint2D q[3];
      MapPoint(static_cast<long double>(n), terms[n], q);
      PlotPoint(dc, q[c], item.pen.colour, style);
    }
  }
  return StopKeyPressed() ? 'A' : 0;
}

// ---- commands ----

void TSideWin::CmHelp() { ShowHelpText(owner_->dimension == 3 ? "KV3VIEWH" : "KV2VIEWH", plat::res::String(kStrTimeTopic)); }

void TSideWin::CmClose() {
  plat::Window* companions[] = {TextWindow, HelpWindow, NotesWindow};
  for (plat::Window* w : companions)
    if (w) w->Show(plat::SW_HIDE);
  Show(plat::SW_HIDE);
  Hidden = 1;
}

// ---- time windows ----

TTimeWin::TTimeWin(TPlot1Win* owner, int k) : TSideWin(owner, k, 9 + k) {
  SettingsFileName = "time" + std::to_string(k) + ".ini";
  AxisNames[0] = "t";
  AxisNames[1] = Combined() ? std::string() : std::string(1, AxisLetter(k));
  SetSideCaption(Combined() ? plat::res::String(kStrTimeWindow)
                            : "t" + AxisNames[1] + plat::res::String(kStrWindowSuffix));
}

int TTimeWin::MapPoint(long double t, const TPoint3D& p, TPoint2D out[3]) const {
  if (!Combined()) {
    out[0] = {t, Coordinate(p, number_)};
    return 1;
  }
  const int n = owner_->dimension == 3 ? 3 : 2;
  for (int c = 0; c < n; ++c) out[c] = {t, Coordinate(p, c)};
  return n;
}

bool TTimeWin::DrawsKind(int kind) const {
  return kind == kKindOde || kind == kKindOde3D || kind == kKindSequence || kind == kKindSequence3D;
}

void TTimeWin::SetInitialView() {
  PlaceWindow(4 * ScreenWidth / 7, 2 * ScreenHeight / 7);
  long double lo[3] = {0, 0, 0};
  long double hi[3] = {0, 0, 0};
  if (owner_->dimension == 3) {
    View3D.BoxMin = owner_->View3D.BoxMin;
    View3D.BoxMax = owner_->View3D.BoxMax;
    View3D.BoxCentre = owner_->View3D.BoxCentre;
    for (int c = 0; c < 3; ++c) {
      lo[c] = Coordinate(owner_->View3D.BoxMin, c);
      hi[c] = Coordinate(owner_->View3D.BoxMax, c);
    }
  } else {
    // The values the owner shows: on a logarithmic axis those of its
    // plotted rectangle.
    owner_->ShownValuesX(lo[0], hi[0]);
    lo[1] = owner_->World.ymin;
    hi[1] = owner_->World.ymax;
    if (owner_->LogWindowType > 0 && (owner_->AxisKind & 2)) {
      lo[1] = owner_->LogValueRange.ymin;
      hi[1] = owner_->LogValueRange.ymax;
    }
  }
  long double bottom = lo[std::min(number_, 2)];
  long double top = hi[std::min(number_, 2)];
  if (Combined()) {
    const int n = owner_->dimension == 3 ? 3 : 2;
    bottom = *std::min_element(lo, lo + n);
    top = *std::max_element(hi, hi + n);
  }
  if (!(top > bottom)) top = bottom + 1;
  SetView(0, (bottom + top) / 2, kTimeHalfRange, (top - bottom) / 2, 1);
}

// ---- phase windows ----

TPhasWin::TPhasWin(TPlot1Win* owner, int k) : TSideWin(owner, k, k == 0 ? 3 : k == 1 ? 5 : 6) {
  const std::string letters{AxisLetter(Across()), AxisLetter(Up())};
  SettingsFileName = "phase" + letters + ".ini";
  AxisNames[0] = std::string(1, letters[0]);
  AxisNames[1] = std::string(1, letters[1]);
  SetSideCaption(letters + plat::res::String(kStrWindowSuffix));
}

int TPhasWin::MapPoint(long double, const TPoint3D& p, TPoint2D out[3]) const {
  out[0] = {Coordinate(p, Across()), Coordinate(p, Up())};
  return 1;
}

bool TPhasWin::DrawsKind(int kind) const { return kind == kKindOde3D || kind == kKindSequence3D; }

void TPhasWin::SetInitialView() {
  const int side = 4 * HalfScreenWidth / 5;
  PlaceWindow(side, side);
  View3D.BoxMin = owner_->View3D.BoxMin;
  View3D.BoxMax = owner_->View3D.BoxMax;
  View3D.BoxCentre = owner_->View3D.BoxCentre;
  const TPoint3D& lo = View3D.BoxMin;
  const TPoint3D& hi = View3D.BoxMax;
  const long double cx = (Coordinate(lo, Across()) + Coordinate(hi, Across())) / 2;
  const long double cy = (Coordinate(lo, Up()) + Coordinate(hi, Up())) / 2;
  long double hx = kPhaseExtent * (Coordinate(hi, Across()) - Coordinate(lo, Across()));
  long double hy = kPhaseExtent * (Coordinate(hi, Up()) - Coordinate(lo, Up()));
  if (!(hx > 0)) hx = 1;
  if (!(hy > 0)) hy = 1;
  SetView(cx, cy, hx, hy, 1);
}

}  // namespace kv
