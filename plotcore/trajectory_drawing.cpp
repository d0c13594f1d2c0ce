// The plot layer's trajectories and sequences: the window's view for the
// runs of plotcore/model/trajectories.h, the items it adds, and the drawers
// with families and into the back buffers.
#include <algorithm>
#include <cmath>

#include "plotcore/dc_sink.h"
#include "plotcore/model/log_scale.h"
#include "plotcore/model/trajectories.h"

namespace kv {

TTrajectoryView TPlotWin::TrajectoryView() {
  TTrajectoryView v;
  v.world = World;
  v.box = is3D ? &View3D : nullptr;
  v.space = dimension == 3;
  v.defaultStep = DefaultTrajectoryStep();
  // A range window shows the images of the points.  A window with
  // logarithmic axes keeps its items in axis coordinates already, and
  // steps them there.
  if (!is3D && LogWindowType <= 0) v.map = PointMap();
  v.logAxes = TrajectoryLogAxes();
  return v;
}

int TPlotWin::TrajectoryLogAxes() const { return !is3D && LogWindowType > 0 ? AxisKind & 3 : 0; }

bool TPlotWin::MapTrajectoryPoint(TPoint2D& p) {
  // Terms are values: the logarithmic axes carry them as any point.
  if (!is3D && LogWindowType > 0) return MapWorldPoint(p);
  if (is3D || !mappedFlag || !IsValidIndex(selectedMapping)) return true;
  return MapWorldPoint(p);
}

bool TPlotWin::StepTrajectory(int i, int method, long double t, long double h, TPoint3D& p) {
  return IsValidIndex(i) && kv::StepTrajectory(Equation(i), Engine(), method, t, h, p, TrajectoryLogAxes());
}

long TPlotWin::RunTrajectory(int i, TEquationItem& item, TPolylineSink* sink, bool& finished, TPoint3D* end) {
  finished = false;
  if (!IsValidIndex(i)) return 0;
  return kv::RunTrajectory(Equation(i), Engine(), item, TrajectoryView(), sink, finished, end);
}

bool TPlotWin::RunTrajectoryItem(int i, TEquationItem& item, long double target, TPoint3D& point) {
  return IsValidIndex(i) &&
         kv::RunTrajectoryItem(Equation(i), Engine(), item, DefaultTrajectoryStep(), target, point,
                               TrajectoryLogAxes());
}

int TPlotWin::ComputeTrajectoryOffscreen(int i, TEquationItem& item, TPoint3D& end, long double& t, int direction) {
  if (!IsValidIndex(i)) {
    t = item.paramStart;
    return 1;
  }
  return kv::ComputeTrajectoryOffscreen(Equation(i), Engine(), item, TrajectoryView(), end, t, direction);
}

TEquationItem& TPlotWin::AddTrajectoryItem(int i, const TPoint3D& start, int method, long double h,
                                           long double steps, int direction) {
  return kv::AddTrajectoryItem(Equation(i), start, method, h, steps, direction);
}

TEquationItem& TPlotWin::AddItemForKind211(int i, const TPoint3D& start, long double h, int method, int colour,
                                           int width) {
  return kv::AddItemForKind211(Equation(i), start, h, method, colour, width);
}

std::vector<TPoint3D> TPlotWin::IterateSequenceItem(int i, const TEquationItem& item, long count) {
  if (!IsValidIndex(i)) return {};
  return kv::IterateSequenceItem(Equation(i), Engine(), item, count, TrajectoryLogAxes());
}

std::vector<long double> TPlotWin::IterateSequence(int i) {
  if (!IsValidIndex(i)) return {};
  return kv::IterateSequence(Equation(i), Engine());
}

bool TPlotWin::CompileEquationItem(TEquationItem& item) { return kv::CompileEquationItem(item, Engine()); }

TPoint3D TPlotWin::ItemPointValues(int kind, const TPoint3D& p) const {
  if (!ItemsKeepAxisCoordinates(kind)) return p;
  TPoint3D v = p;
  if (LogScaleX(AxisKind)) v.x = DecadeValue(p.x);
  if (LogScaleY(AxisKind)) v.y = DecadeValue(p.y);
  return v;
}

bool TPlotWin::EvaluateItemStart(TEquationItem& item, int kind) {
  if (!ItemsKeepAxisCoordinates(kind)) return kv::EvaluateItemStart(item, Engine());
  // The texts give values; the item keeps their exponents on a log axis.
  const TPoint3D start = item.start;
  const long double t = item.paramStart;
  if (!kv::EvaluateItemStart(item, Engine())) return false;
  TPoint3D p = item.start;
  const bool placed = (!(AxisKind & 1) || p.x > 0) && (!(AxisKind & 2) || p.y > 0);
  if (!placed) {
    item.start = start;
    item.paramStart = t;
    return false;
  }
  if (AxisKind & 1) p.x = std::log10(p.x);
  if (AxisKind & 2) p.y = std::log10(p.y);
  item.start = p;
  return true;
}

int TPlotWin::AddTrajectoryBuffered(int i, const TPoint3D& start, int direction, long double steps, int width,
                                    long double t0) {
  if (!IsValidIndex(i) || !IsTrajectoryKind(Equation(i).kind)) return 0;
  TEquation& e = Equation(i);
  std::vector<TEquationItem*> added;
  for (int d : {1, -1}) {
    if (direction != 0 && d != direction) continue;
    TEquationItem& item = AddTrajectoryItem(i, start, kMethodRungeKutta, DefaultTrajectoryStep(), steps, d);
    item.paramStart = t0;
    SetTriple16(item.pen, e.penColour, static_cast<std::uint16_t>(width > 0 ? width : e.penWidth),
                static_cast<std::uint16_t>(e.penStyle));
    added.push_back(&item);
  }
  Modified = 1;
  // A followed solution is shown on the screen step by step while the
  // first buffer is drawn.
  bool follow = followFlag != 0 && IsCreated();
  TFollowedRunScope run(*this);
  if (follow) run.Wait(added);
  return DrawIntoBuffers([&](plat::DC& dc) {
    for (TEquationItem* item : added) {
      const plat::Pen pen = CreateStylePen(item->pen);
      const plat::Pen old = dc.SelectPen(pen);
      TDcSink sink(*this, dc);
      bool finished = false;
      bool stopped = false;
      if (follow) {
        run.Follow(*item);
        plat::ClientDC screen(*this);
        const plat::Pen oldScreen = screen.SelectPen(pen);
        TDcSink shown(*this, screen);
        TFollowSink both(*this, sink, shown);
        RunTrajectory(i, *item, &both, finished);
        screen.SelectPen(oldScreen);
        stopped = both.Stopped();
      } else {
        RunTrajectory(i, *item, &sink, finished);
      }
      dc.SelectPen(old);
      if (stopped || sink.Stopped()) return static_cast<int>('A');
    }
    follow = false;
    run.End();
    return 0;
  });
}

long TPlotWin::ShownSteps(const TEquationItem& item) const {
  if (&item == followedRun.item) return followedRun.shown;
  const auto& waiting = followedRun.waiting;
  return std::find(waiting.begin(), waiting.end(), &item) != waiting.end() ? 0 : -1;
}

long TPlotWin::SequenceTermCount(const TEquationItem& item) {
  // A limit of 0 is a sequence of its start term alone.
  return item.stepLimit >= 0 ? static_cast<long>(std::min<long double>(item.stepLimit, kMaxSequenceTerms)) : 100;
}

TPlotWin::TSequencePicture TPlotWin::SequencePicture(int i, const TEquationItem& item) {
  const std::vector<TPoint3D> terms = IterateSequenceItem(i, item, SequenceTermCount(item));
  TSequencePicture p;
  p.at.resize(terms.size());
  p.hasImage.resize(terms.size());
  for (std::size_t k = 0; k < terms.size(); ++k) {
    p.at[k] = ProjectByViewMode(terms[k]);
    p.hasImage[k] = MapTrajectoryPoint(p.at[k]) ? 1 : 0;
  }
  return p;
}

int TPlotWin::SequenceMarkerStyle(const TEquationItem& item) { return item.pen.style > 0 ? item.pen.style : 1; }

void TPlotWin::DrawSequencePicture(plat::DC& dc, const TEquation& e, const TEquationItem& item,
                                   const TSequencePicture& p, std::size_t n) {
  if (e.notVertical && n > 1) {
    const plat::Pen old = dc.SelectPen(CreateStylePen(item.pen));
    BeginCurveRecording(static_cast<long>(n));
    TDcSink sink(*this, dc);
    for (std::size_t k = 0; k < n; ++k) {
      if (!p.hasImage[k]) continue;
      if (k > 0 && p.hasImage[k - 1]) {
        sink.LineTo(p.at[k]);
      } else {
        sink.MoveTo(p.at[k]);
      }
    }
    EndCurveRecording(item.pen.colour, item.pen.width, 0);
    dc.SelectPen(old);
  }
  const int style = SequenceMarkerStyle(item);
  for (std::size_t k = 0; k < n; ++k)
    if (p.hasImage[k]) PlotPoint(dc, p.at[k], item.pen.colour, style);
}

std::size_t TPlotWin::FollowSequencePicture(const TEquation& e, const TEquationItem& item, const TSequencePicture& p) {
  plat::ClientDC screen(*this);
  const plat::Pen old = screen.SelectPen(CreateStylePen(item.pen));
  const int style = SequenceMarkerStyle(item);
  std::size_t n = 0;
  while (n < p.at.size()) {
    const std::size_t k = n++;
    followedRun.shown = static_cast<long>(n);
    if (p.hasImage[k]) {
      if (e.notVertical && k > 0 && p.hasImage[k - 1]) DrawSegmentOnDc(screen, p.at[k - 1], p.at[k]);
      PlotPoint(screen, p.at[k], item.pen.colour, style);
    }
    if (FollowWait()) break;
  }
  screen.SelectPen(old);
  return n;
}

int TPlotWin::DrawSequenceItem(plat::DC& dc, int i, const TEquationItem& item) {
  const TSequencePicture p = SequencePicture(i, item);
  const long shown = ShownSteps(item);
  DrawSequencePicture(dc, Equation(i), item, p,
                      shown < 0 ? p.at.size() : std::min(p.at.size(), static_cast<std::size_t>(shown)));
  return StopKeyPressed() ? 'A' : 0;
}

int TPlotWin::DrawSequenceItemBuffered(int i, const TPoint3D& start, long count, int width) {
  if (!IsValidIndex(i)) return 0;
  TEquation& e = Equation(i);
  if (e.kind != kKindSequence && e.kind != kKindSequence3D) return 0;
  TEquationItem& item = AddTrajectoryItem(i, start, 0, 0, static_cast<long double>(count), 1);
  if (width > 0) item.pen.width = static_cast<std::uint16_t>(width);
  Modified = 1;
  // A followed sequence is shown on the screen term by term before the
  // first buffer is drawn.  Stopped, the buffers hold the terms shown, as a
  // stopped trajectory holds its steps; the item keeps its count, so the
  // next full drawing shows all its terms.
  bool follow = followFlag != 0 && IsCreated();
  TFollowedRunScope run(*this);
  return DrawIntoBuffers([&](plat::DC& dc) {
    if (!follow) return DrawSequenceItem(dc, i, item);
    follow = false;
    const TSequencePicture p = SequencePicture(i, item);
    run.Follow(item);
    const std::size_t shown = FollowSequencePicture(e, item, p);
    run.End();
    DrawSequencePicture(dc, e, item, p, shown);
    return shown < p.at.size() ? static_cast<int>('A') : 0;
  });
}

int TPlotWin::AddTrajectoryAt(int i, const TPoint2D& point) {
  if (!IsValidIndex(i) || Equation(i).kind != kKindImplicit) return 0;
  TEquation& e = Equation(i);
  if (!e.trees[2]) return 0;
  // The traced piece is kept as an item: its start point on the curve.
  TEquationItem item;
  InitEquationItem(item, 0, e.penColour, e.penWidth, e.penStyle);
  item.start = {point.x, point.y, 0};
  item.serial = static_cast<std::uint16_t>(e.items.empty() ? 1 : e.items.front().serial + 1);
  e.items.push_front(std::move(item));
  Modified = 1;
  return DrawIntoBuffers([&](plat::DC& dc) {
    const plat::Pen old = dc.SelectPen(CreateStylePen(e.PenSpec()));
    TDcSink sink(*this, dc);
    TraceEquationFrom(i, point, sink);
    dc.SelectPen(old);
    return sink.Stopped() ? static_cast<int>('A') : 0;
  });
}

int TPlotWin::DrawTrajectories(plat::DC& dc, int i) {
  TEquation& e = Equation(i);
  for (TEquationItem& item : e.items) {
    if (e.kind == kKindOdeDyDx) {
      std::string text;
      if (DrawAnalysis(dc, i, item, text, -1, 0) == 'A') return 'A';
      continue;
    }
    // Start values kept as texts follow the parameters.
    if (KeepsStartTexts(item) && !EvaluateItemStart(item, e.kind)) continue;
    // Of a run being followed, what the screen shows so far.
    const long shown = ShownSteps(item);
    if (shown == 0) continue;
    const plat::Pen old = dc.SelectPen(CreateStylePen(item.pen));
    BeginCurveRecording(2000);
    TDcSink sink(*this, dc);
    TShownStepsSink part(sink, shown);
    bool finished = false;
    RunTrajectory(i, item, shown < 0 ? static_cast<TPolylineSink*>(&sink) : &part, finished);
    EndCurveRecording(item.pen.colour, item.pen.width, item.pen.style);
    dc.SelectPen(old);
    if (sink.Stopped()) return 'A';
  }
  return 0;
}

namespace {

// Runs `draw` once, or once per family member with the family letter set;
// a family with "Verfolgen" shows each member on dc's window, and any key
// read in the pause after a member ends the family, as the direction
// field's own poll does.
template <class Draw>
int ForEachFamilyMember(TPlotWin& w, plat::DC& dc, const TEquation& e, Draw draw) {
  if (!e.familyOn) return draw();
  const int letter = e.familyLetter;
  if (tok::VariableOf(letter) < 1) return draw();
  const TComplex saved = w.Variable(letter);
  const TFamilyPlan family = FamilyPlan(e);
  int r = 0;
  for (int k = 0; k <= family.last && r == 0; ++k) {
    w.SetVariable(letter, family.last > 0 ? e.familyStart + (e.familyEnd - e.familyStart) * k / family.last
                                          : e.familyStart);
    r = draw();
    if (r == 0 && family.stepped) r = w.ShowFamilyMember(dc, k + 1, e.familyDelay, true);
  }
  w.SetComplexVariable(letter, saved);
  return r;
}

}  // namespace

int TPlotWin::DrawFamilyTrajectories(plat::DC& dc, int i) {
  const TEquation& e = Equation(i);
  return ForEachFamilyMember(*this, dc, e, [&] {
    const int r = DrawFieldElements(dc, i);
    return r != 0 ? r : DrawTrajectories(dc, i);
  });
}

int TPlotWin::DrawFamilyItems(plat::DC& dc, int i) {
  TEquation& e = Equation(i);
  return ForEachFamilyMember(*this, dc, e, [&] {
    for (TEquationItem& item : e.items) {
      if (KeepsStartTexts(item) && !EvaluateItemStart(item, e.kind)) continue;
      if (DrawSequenceItem(dc, i, item) != 0) return static_cast<int>('A');
    }
    return 0;
  });
}

}  // namespace kv
