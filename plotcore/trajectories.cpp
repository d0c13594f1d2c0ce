// Trajectories of the initial-value entries (210 dx/dt, dy/dt; 211 dy/dx;
// 310 in space) and the terms of recursive sequences (212, 312): their
// items, the stepping by the item's method, and the drawers with families.
#include <algorithm>
#include <cmath>

#include "plotcore/dc_sink.h"
#include "plotcore/ode_stepper.h"

namespace kv {

namespace {

// Upper bound of the steps of one trajectory and of the terms of one
// sequence, whatever an item or a file asks for.
constexpr long kMaxTrajectorySteps = 1000000;
constexpr long kMaxSequenceTerms = 1000000;

class EquationOde : public TOdeSource {
 public:
  EquationOde(TPlotWin& w, const TEquation& e) : w_(w), kind_(e.kind) {
    if (kind_ == kKindOdeDyDx) {
      f_[1] = e.trees[2].get();
    } else {
      f_[0] = e.trees[0].get();
      f_[1] = e.trees[1].get();
      if (kind_ == kKindOde3D) f_[2] = e.trees[2].get();
    }
  }
  bool Valid() const { return kind_ == kKindOdeDyDx ? f_[1] != nullptr : (f_[0] && f_[1] && (kind_ != kKindOde3D || f_[2])); }

  bool Derivative(long double t, const TPoint3D& p, TPoint3D& d) override {
    w_.SetVariable('T', t);
    w_.Engine().SetPoint(p.x, p.y);
    if (kind_ == kKindOde3D) w_.SetVariable('Z', p.z);
    if (kind_ == kKindOdeDyDx) {
      d.x = 1;
      d.z = 0;
      return w_.EvaluateReal(f_[1], d.y);
    }
    d.z = 0;
    if (!w_.EvaluateReal(f_[0], d.x) || !w_.EvaluateReal(f_[1], d.y)) return false;
    return kind_ != kKindOde3D || w_.EvaluateReal(f_[2], d.z);
  }

 private:
  TPlotWin& w_;
  int kind_;
  TExprNode* f_[3] = {nullptr, nullptr, nullptr};
};

bool IsTrajectoryKind(int kind) { return kind == kKindOde || kind == kKindOdeDyDx || kind == kKindOde3D; }

}  // namespace

bool TPlotWin::StepTrajectory(int i, int method, long double t, long double h, TPoint3D& p) {
  if (!IsValidIndex(i) || !IsTrajectoryKind(Equation(i).kind)) return false;
  EquationOde ode(*this, Equation(i));
  return ode.Valid() && OdeStep(ode, method, t, h, p);
}

long TPlotWin::RunTrajectory(int i, TEquationItem& item, TPolylineSink* sink, bool& finished, TPoint3D* end) {
  finished = false;
  if (!IsValidIndex(i)) return 0;
  TEquation& e = Equation(i);
  if (!IsTrajectoryKind(e.kind)) return 0;
  EquationOde ode(*this, e);
  if (!ode.Valid()) return 0;
  long double h = item.paramEnd;
  if (!(h != 0) || !std::isfinite(h)) h = DefaultTrajectoryStep() * (item.direction < 0 ? -1 : 1);
  const bool untilLeft = !(item.stepLimit > 0);
  const long limit = untilLeft ? kMaxTrajectorySteps
                               : static_cast<long>(std::min<long double>(item.stepLimit, kMaxTrajectorySteps));
  TExprNode* restriction = e.restricted ? e.trees[3].get() : nullptr;
  // The view (the box in 3D) with a margin: a curve that leaves it is done.
  TSegment2D area = World;
  const long double mx = (World.xmax - World.xmin) * 0.1L;
  const long double my = (World.ymax - World.ymin) * 0.1L;
  area = {area.xmin - mx, area.xmax + mx, area.ymin - my, area.ymax + my};
  auto outside = [&](const TPoint3D& p) {
    if (e.kind == kKindOde3D && is3D) return IsBeyondBoxRange(View3D, p) || !InBox3D(View3D, p);
    return !(p.x >= area.xmin && p.x <= area.xmax && p.y >= area.ymin && p.y <= area.ymax);
  };
  const bool savedJumps = JumpDetection();
  SetJumpDetection(false);
  long double t = item.paramStart;
  TPoint3D p = item.start;
  if (sink) {
    sink->MoveTo(ProjectByViewMode(p));
    sink->StepPoint(t, p);
  }
  long n = 0;
  int still = 0;
  for (; n < limit; ++n) {
    if (sink && (n & 255) == 255 && sink->Cancelled()) break;
    const TPoint3D prev = p;
    if (!OdeStep(ode, item.method, t, h, p)) break;
    t += h;
    if (sink) {
      sink->LineTo(ProjectByViewMode(p));
      sink->StepPoint(t, p);
    }
    if (restriction) {
      long double g;
      SetPointVariables(p);
      if (!EvaluateReal(restriction, g) || !(g > 0)) break;
    }
    if (untilLeft && outside(p)) {
      finished = true;
      ++n;
      break;
    }
    // A point at rest would run to the step limit for nothing.
    const long double moved = std::fabs(p.x - prev.x) + std::fabs(p.y - prev.y) + std::fabs(p.z - prev.z);
    const long double size = 1 + std::fabs(p.x) + std::fabs(p.y) + std::fabs(p.z);
    if (moved <= 1e-15L * size) {
      if (++still > 50) {
        finished = true;
        ++n;
        break;
      }
    } else {
      still = 0;
    }
  }
  if (n >= limit) finished = true;
  SetJumpDetection(savedJumps);
  if (end) *end = p;
  return n;
}

bool TPlotWin::RunTrajectoryItem(int i, TEquationItem& item, long double target, TPoint3D& point) {
  if (!IsValidIndex(i) || !std::isfinite(target)) return false;
  EquationOde ode(*this, Equation(i));
  if (!ode.Valid()) return false;
  long double h = std::fabs(item.paramEnd);
  if (!(h > 0) || !std::isfinite(h)) h = DefaultTrajectoryStep();
  long double t = item.paramStart;
  const long double span = target - t;
  if (span < 0) h = -h;
  const long double whole = std::floor(std::fabs(span) / std::fabs(h));
  if (whole > kMaxTrajectorySteps) return false;
  const bool savedJumps = JumpDetection();
  SetJumpDetection(false);
  TPoint3D p = item.start;
  bool ok = true;
  for (long k = 0; ok && k < static_cast<long>(whole); ++k) {
    ok = OdeStep(ode, item.method, t, h, p);
    t += h;
  }
  const long double rest = target - t;
  if (ok && rest != 0) ok = OdeStep(ode, item.method, t, rest, p);
  SetJumpDetection(savedJumps);
  if (ok) point = p;
  return ok;
}

int TPlotWin::ComputeTrajectoryOffscreen(int i, TEquationItem& item, TPoint3D& end, long double& t, int direction) {
  TEquationItem copy = CloneEquationItem(item);
  copy.direction = static_cast<std::int8_t>(direction < 0 ? -1 : 1);
  if (copy.paramEnd != 0) copy.paramEnd = std::fabs(copy.paramEnd) * copy.direction;
  bool finished = false;
  const long steps = RunTrajectory(i, copy, nullptr, finished, &end);
  long double h = copy.paramEnd != 0 ? copy.paramEnd : DefaultTrajectoryStep() * copy.direction;
  t = copy.paramStart + static_cast<long double>(steps) * h;
  return finished ? 0 : 1;
}

TEquationItem& TPlotWin::AddTrajectoryItem(int i, const TPoint3D& start, int method, long double h,
                                           long double steps, int direction) {
  TEquation& e = Equation(i);
  TEquationItem item;
  InitEquationItem(item, 0, e.penColour, e.penWidth, e.penStyle);
  item.start = start;
  item.method = static_cast<std::uint16_t>(std::clamp(method, 0, 2));
  item.direction = static_cast<std::int8_t>(direction < 0 ? -1 : 1);
  item.paramEnd = std::fabs(h) * item.direction;
  item.stepLimit = steps;
  item.serial = static_cast<std::uint16_t>(e.items.empty() ? 1 : e.items.front().serial + 1);
  e.items.push_front(std::move(item));
  return e.items.front();
}

TEquationItem& TPlotWin::AddItemForKind211(int i, const TPoint3D& start, long double h, int method, int colour,
                                           int width) {
  TEquationItem& item = AddTrajectoryItem(i, start, method, h, 0, h < 0 ? -1 : 1);
  SetTriple16(item.pen, static_cast<std::uint16_t>(colour), static_cast<std::uint16_t>(width), 0);
  return item;
}

std::vector<TPoint3D> TPlotWin::IterateSequenceItem(int i, const TEquationItem& item, long count) {
  std::vector<TPoint3D> out;
  if (!IsValidIndex(i)) return out;
  const TEquation& e = Equation(i);
  const bool space = e.kind == kKindSequence3D;
  if (e.kind != kKindSequence && !space) return out;
  TExprNode* f0 = e.trees[0].get();
  TExprNode* f1 = e.trees[1].get();
  TExprNode* f2 = e.trees[2].get();
  const bool complex = e.kind == kKindSequence && e.kindFlag;
  if (!f0 || (!complex && !f1) || (space && !f2)) return out;
  count = std::clamp<long>(count, 0, kMaxSequenceTerms);
  out.reserve(static_cast<std::size_t>(std::min<long>(count, 4095)) + 1);
  TPoint3D p = item.start;
  out.push_back(p);
  const bool savedJumps = JumpDetection();
  const bool savedComplex = ComplexMode();
  SetJumpDetection(false);
  // A complex sequence runs in z whatever the window's mode.
  if (complex) SetComplexMode(true);
  for (long k = 0; k < count; ++k) {
    SetVariable('N', static_cast<long double>(k));
    TPoint3D q = p;
    if (complex) {
      SetComplexVariable('Z', TComplex(p.x, p.y));
      if (!Evaluate(f0)) break;
      q.x = f0->value.re;
      q.y = f0->value.im;
    } else {
      Engine().SetPoint(p.x, p.y);
      if (space) SetVariable('Z', p.z);
      if (!EvaluateReal(f0, q.x) || !EvaluateReal(f1, q.y)) break;
      if (space && !EvaluateReal(f2, q.z)) break;
    }
    if (!std::isfinite(q.x) || !std::isfinite(q.y) || !std::isfinite(q.z)) break;
    p = q;
    out.push_back(p);
  }
  SetComplexMode(savedComplex);
  SetJumpDetection(savedJumps);
  return out;
}

std::vector<long double> TPlotWin::IterateSequence(int i) {
  std::vector<long double> out;
  if (!IsValidIndex(i)) return out;
  TEquation& e = Equation(i);
  TExprNode* f = e.trees[1].get();
  if (e.kind != kKindExplicit || !f) return out;
  long double x = e.subKind > 0 && e.subKind < tok::kParameterCount ? Variable(e.subKind).re : e.webStart();
  const int terms = std::clamp<int>(e.termCount, 0, 1000);
  out.push_back(x);
  for (int k = 0; k < terms; ++k) {
    long double next;
    SetVariable('X', x);
    if (!EvaluateReal(f, next)) break;
    x = next;
    out.push_back(x);
  }
  return out;
}

bool TPlotWin::CompileEquationItem(TEquationItem& item) {
  bool ok = true;
  for (std::size_t k = 0; k < item.texts.size(); ++k) {
    item.trees[k].reset();
    if (item.texts[k].empty()) continue;
    TreePtr t;
    if (Compile(item.texts[k], t) == kFormulaOk) {
      item.trees[k] = std::move(t);
    } else {
      ok = false;
    }
  }
  return ok;
}

bool TPlotWin::EvaluateItemStart(TEquationItem& item) {
  if (item.startCode <= 1000) return true;
  if (!CompileEquationItem(item)) return false;
  long double v[4] = {item.start.x, item.start.y, item.start.z, item.paramStart};
  for (std::size_t k = 0; k < 4; ++k)
    if (item.trees[k] && !EvaluateReal(item.trees[k].get(), v[k])) return false;
  item.start = {v[0], v[1], v[2]};
  item.paramStart = v[3];
  return true;
}

template <class Draw>
int TPlotWin::DrawIntoBuffers(Draw draw) {
  int r = 0;
  bool drawnSomewhere = false;
  for (std::size_t k : {std::size_t{1}, std::size_t{0}}) {
    plat::Bitmap& b = BackBuffers[k];
    if (b.IsNull() || !BufferValid[k]) continue;
    plat::BitmapDC dc(b);
    r = draw(dc);
    drawnSomewhere = true;
    if (r != 0) break;
  }
  if (drawnSomewhere && IsCreated()) {
    plat::ClientDC screen(*this);
    BlitBackBuffer(0, screen);
  } else {
    InvalidatePlot();
  }
  return r;
}

int TPlotWin::AddTrajectoryBuffered(int i, const TPoint3D& start, int direction, long double steps, int width) {
  if (!IsValidIndex(i) || !IsTrajectoryKind(Equation(i).kind)) return 0;
  TEquation& e = Equation(i);
  std::vector<TEquationItem*> added;
  for (int d : {1, -1}) {
    if (direction != 0 && d != direction) continue;
    TEquationItem& item = AddTrajectoryItem(i, start, kMethodRungeKutta, DefaultTrajectoryStep(), steps, d);
    SetTriple16(item.pen, e.penColour, static_cast<std::uint16_t>(width > 0 ? width : e.penWidth),
                static_cast<std::uint16_t>(e.penStyle));
    added.push_back(&item);
  }
  Modified = 1;
  return DrawIntoBuffers([&](plat::DC& dc) {
    for (TEquationItem* item : added) {
      const plat::Pen old = dc.SelectPen(CreateStylePen(item->pen));
      TDcSink sink(*this, dc);
      bool finished = false;
      RunTrajectory(i, *item, &sink, finished);
      dc.SelectPen(old);
      if (sink.Stopped()) return static_cast<int>('A');
    }
    return 0;
  });
}

long TPlotWin::SequenceTermCount(const TEquationItem& item) {
  return item.stepLimit > 0 ? static_cast<long>(std::min<long double>(item.stepLimit, kMaxSequenceTerms)) : 100;
}

int TPlotWin::DrawSequenceItem(plat::DC& dc, int i, const TEquationItem& item) {
  const TEquation& e = Equation(i);
  const std::vector<TPoint3D> terms = IterateSequenceItem(i, item, SequenceTermCount(item));
  const int style = item.pen.style > 0 ? item.pen.style : 1;
  if (e.notVertical && terms.size() > 1) {
    const plat::Pen old = dc.SelectPen(CreateStylePen(item.pen));
    BeginCurveRecording(static_cast<long>(terms.size()));
    TDcSink sink(*this, dc);
    sink.MoveTo(ProjectByViewMode(terms[0]));
    for (std::size_t k = 1; k < terms.size(); ++k) sink.LineTo(ProjectByViewMode(terms[k]));
    EndCurveRecording(item.pen.colour, item.pen.width, 0);
    dc.SelectPen(old);
  }
  for (const TPoint3D& p : terms) PlotPoint(dc, ProjectByViewMode(p), item.pen.colour, style);
  return StopKeyPressed() ? 'A' : 0;
}

int TPlotWin::DrawSequenceItemBuffered(int i, const TPoint3D& start, long count) {
  if (!IsValidIndex(i)) return 0;
  TEquation& e = Equation(i);
  if (e.kind != kKindSequence && e.kind != kKindSequence3D) return 0;
  TEquationItem& item = AddTrajectoryItem(i, start, 0, 0, static_cast<long double>(count), 1);
  Modified = 1;
  return DrawIntoBuffers([&](plat::DC& dc) { return DrawSequenceItem(dc, i, item); });
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
    const plat::Pen old = dc.SelectPen(CreateStylePen(item.pen));
    BeginCurveRecording(2000);
    TDcSink sink(*this, dc);
    bool finished = false;
    RunTrajectory(i, item, &sink, finished);
    EndCurveRecording(item.pen.colour, item.pen.width, item.pen.style);
    dc.SelectPen(old);
    if (sink.Stopped()) return 'A';
  }
  return 0;
}

namespace {

// Runs `draw` once, or once per family member with the family letter set.
template <class Draw>
int ForEachFamilyMember(TPlotWin& w, const TEquation& e, Draw draw) {
  if (!e.familyOn) return draw();
  const int letter = e.familyLetter;
  if (tok::VariableOf(letter) < 1) return draw();
  const TComplex saved = w.Variable(letter);
  const int steps = std::max(1, std::abs(static_cast<int>(e.familySteps)));
  int r = 0;
  for (int k = 0; k <= steps && r == 0; ++k) {
    w.SetVariable(letter, e.familyStart + (e.familyEnd - e.familyStart) * k / steps);
    r = draw();
  }
  w.SetComplexVariable(letter, saved);
  return r;
}

}  // namespace

int TPlotWin::DrawFamilyTrajectories(plat::DC& dc, int i) {
  const TEquation& e = Equation(i);
  return ForEachFamilyMember(*this, e, [&] {
    const int r = DrawFieldElements(dc, i);
    return r != 0 ? r : DrawTrajectories(dc, i);
  });
}

int TPlotWin::DrawFamilyItems(plat::DC& dc, int i) {
  TEquation& e = Equation(i);
  return ForEachFamilyMember(*this, e, [&] {
    for (const TEquationItem& item : e.items)
      if (DrawSequenceItem(dc, i, item) != 0) return static_cast<int>('A');
    return 0;
  });
}

}  // namespace kv
