// The shared layer of the mapping windows: construction defaults, the
// commands both windows answer (fit to the grid, complex point, sum), the
// view hooks that keep the domain informed, the partial sums, the cursor
// cross and the images of the freehand strokes.
#include "planewin/map2_win.h"

#include <cmath>

#include "planewin/dom2_win.h"
#include "planewin/model/mapping_readouts.h"
#include "planewin/ran2_win.h"
#include "platform/app.h"
#include "platform/resources.h"
#include "core/constants.h"

namespace kv {

namespace {

constexpr int kCursorMarkerStyle = 8;  // diagonal cross
constexpr int kCursorMarkerHalfSize = 7;

}  // namespace

TMap2Win::TMap2Win(plat::Window* parent, const std::string& title) : TPlotEWin(parent, title) {
  ViewTemplate = "VIEWCEN";
  ColourSlots[0] = 18;
  ColourSlots[4] = 16;
  ColourSlots[5] = 5;
  ColourSlots[13] = 0;
  const int side = HalfScreenWidth * 4 / 5;
  kv::SetPlacement(Placement, plat::Rand() % 50, plat::Rand() % 30 + CaptionMenuHeight, side, side, 0);
  RangePlacement = Placement;
  RangePlacement.x += HalfScreenWidth;
  MoveWindow(Placement.x, Placement.y, Placement.width, Placement.height);
}

const plat::CommandTable& TMap2Win::Commands() const {
  using C = TMap2Win;
  static const auto table = plat::CommandTable::Build<TMap2Win>(
      &TPlotEWin::Commands(), {
                                  {kCmFitToGrid, &C::CmFitToGrid},
                                  {kCmNewComplexPoint, &C::CmNewComplexPoint},
                                  {kCmNewSum, &C::CmNewSum, &C::CeNewSum},
                              });
  return table;
}

void TMap2Win::Destroy() {
  if (IsDestroyed()) return;
  mouseMarks.clear();
  TPlotEWin::Destroy();
}

void TMap2Win::ClearDrawing() {
  TPlotEWin::ClearDrawing();
  sumCounter_ = 0;
}

TDom2Win* TMap2Win::Domain() {
  if (DomainWindow) return DomainWindow;
  return dynamic_cast<TDom2Win*>(this);
}

void TMap2Win::FollowDomain() {
  TDom2Win* d = DomainWindow;
  if (!d || d->IsDestroyed()) return;
  BorrowInventory(d);
  selectedMapping = d->selectedMapping;
}

// ---- view ----

void TMap2Win::CopyFontSlot(TFontWin& from, int fromSlot, TFontWin& to, int toSlot) {
  to.FontSlots[static_cast<std::size_t>(toSlot)] = from.FontSlots[static_cast<std::size_t>(fromSlot)];
  to.FontPointSizes[static_cast<std::size_t>(toSlot)] = from.FontPointSizes[static_cast<std::size_t>(fromSlot)];
}

void TMap2Win::UpdateView() {
  // The x range of the domain's explicit curves follows the domain's view
  // only: a range window skips the 2D layer's fitting of those ranges.
  if (DomainWindow) {
    TPlotBWin::UpdateView();
  } else {
    TPlotEWin::UpdateView();
  }
  if (DomainWindow) {
    DomainWindow->RangeViewCentre = Centre;
    DomainWindow->RangeViewHalfX = HalfX;
  }
}

void TMap2Win::ChangeView(long double cx, long double cy, long double hx) {
  if (TDom2Win* d = Domain()) d->viewChanged = 1;
  TPlotEWin::ChangeView(cx, cy, hx);
}

void TMap2Win::NewView(long double cx, long double cy, long double hx, long double hy, std::uint8_t mode) {
  if (TDom2Win* d = Domain()) d->viewChanged = 1;
  TPlotEWin::NewView(cx, cy, hx, hy, mode);
}

void TMap2Win::FitRangeToGrid() {
  FollowDomain();
  if (equationCount < 1) return;
  const TMapGrid g = GridOfFamilies(Equation(0), Equation(1));
  TSegment2D rect{g.xmin, g.xmax, g.ymin, g.ymax};
  TDom2Win* d = DomainWindow;
  if (d && d->viewChanged) rect = d->World;
  SaveVariables();
  TSegment2D box;
  const bool any = GridImageBox(
      rect, g.nx, g.ny, [this](TPoint2D& p) { return MapWorldPoint(p); }, box);
  RestoreVariables();
  if (!any) return;
  const TViewBox v = ViewAroundBox(box);
  SetView(v.cx, v.cy, v.hx, v.hy, 0);
  UpdateView();
}

void TMap2Win::CmFitToGrid() {
  if (TDom2Win* d = Domain()) d->viewChanged = 0;
  FitRangeToGrid();
  RedrawNow(1);
}

void TMap2Win::FitWindowToGraphs() {
  FollowDomain();
  if (equationCount < 1) return;
  const TMapGrid g = GridOfFamilies(Equation(0), Equation(1));
  SaveVariables();
  TSegment2D box;
  bool any = GridImageBox(
      TSegment2D{g.xmin, g.xmax, g.ymin, g.ymax}, g.nx, g.ny, [this](TPoint2D& p) { return MapWorldPoint(p); }, box);
  auto widen = [&](const TPoint2D& p) {
    if (!any) {
      box = {p.x, p.x, p.y, p.y};
      any = true;
      return;
    }
    box.xmin = std::min(box.xmin, p.x);
    box.xmax = std::max(box.xmax, p.x);
    box.ymin = std::min(box.ymin, p.y);
    box.ymax = std::max(box.ymax, p.y);
  };
  for (int i = 2; i <= equationCount; ++i) {
    TEquation& e = Equation(i);
    if (e.kind != kKindSum || !e.visible || !e.trees[0] || !e.trees[1]) continue;
    for (const TComplex& s :
         PartialSums(Engine(), e.trees[1].get(), e.trees[0]->token, e.divisions[0], e.divisions[1])) {
      TPoint2D p{s.re, s.im};
      if (!MapWorldPoint(p)) break;
      widen(p);
    }
  }
  RestoreVariables();
  if (!any) return;
  const TViewBox v = ViewAroundBox(box);
  NewView(v.cx, v.cy, v.hx, v.hy, ViewMode);
}

// ---- drawing ----

void TMap2Win::PaintBuffered(plat::DC& dc) {
  TDom2Win* d = Domain();
  if (!d) {
    TPlotEWin::PaintBuffered(dc);
    return;
  }
  if (d->pairPainting > 0) {
    BlitBackBuffer(0, dc);
    paintDeferred_ = true;
    return;
  }
  ++d->pairPainting;
  TPlotEWin::PaintBuffered(dc);
  --d->pairPainting;
  for (TMap2Win* w : {static_cast<TMap2Win*>(d), static_cast<TMap2Win*>(d->RangeWindow)}) {
    if (!w || !w->paintDeferred_) continue;
    w->paintDeferred_ = false;
    w->Invalidate(false);
  }
}

void TMap2Win::DrawPlot(plat::DC& dc) {
  TPlotEWin::DrawPlot(dc);
  if (!CursorShown) return;
  const plat::Pen old = dc.SelectPen(CreateColourPen(ColourSlots[1], 1, 0));
  DrawMarkerAtWorld(dc, CursorImage, kCursorMarkerStyle, kCursorMarkerHalfSize);
  dc.SelectPen(old);
}

int TMap2Win::DrawSum(plat::DC& dc, int i) {
  if (!IsValidIndex(i)) return 0;
  TEquation& e = Equation(i);
  if (!e.trees[0] || !e.trees[1]) return 0;
  SaveVariables();
  const int colour = CheckColourIndex(e.penColour);
  TPenSpec spec;
  spec.colour = static_cast<std::uint16_t>(colour);
  spec.width = static_cast<std::uint16_t>(e.penWidth < 1 ? 1 : e.penWidth);
  spec.style = static_cast<std::uint16_t>(e.penStyle);
  const plat::Pen oldPen = dc.SelectPen(CreateStylePen(spec));
  const plat::Brush oldBrush = dc.SelectBrush(plat::SolidBrush(DrawingColourOf(colour)));
  // A PiCTeX file gets an invisible mark at every drawn point.
  TExportSink* sink = ActiveSink();
  if (sink) sink->BeginPointPattern();
  BeginCurveRecording(2000);
  // The running sums, unmapped; the drawing ends where a term is undefined
  // or a sum has no image.
  const std::vector<TComplex> sums =
      PartialSums(Engine(), e.trees[1].get(), e.trees[0]->token, e.divisions[0], e.divisions[1]);
  TPoint2D previous{0, 0};
  bool previousValid = MapWorldPoint(previous) && IsInView(previous);
  if (previousValid) RecordCurvePoint(previous);
  for (const TComplex& s : sums) {
    TPoint2D p{s.re, s.im};
    if (!MapWorldPoint(p)) break;
    if (!IsInView(p)) {
      previousValid = false;
      MarkCurveBreak();
      continue;
    }
    // The equation dialog keeps "Punktgröße" in the second option byte.
    if (e.webToAxis || e.filled) PlotPoint(dc, p, colour, e.subKind);
    if (sink) sink->PatternPoint(p);
    if (e.notVertical && previousValid) DrawSegmentOnDc(dc, previous, p);
    previous = p;
    previousValid = true;
  }
  if (sink) sink->EndPointPattern();
  EndCurveRecording(colour, spec.width, spec.style);
  dc.SelectBrush(oldBrush);
  dc.SelectPen(oldPen);
  RestoreVariables();
  return StopKeyPressed() ? 'A' : 0;
}

void TMap2Win::RedrawNow(int which) {
  if (!IsCreated() || IsDestroyed()) return;
  FollowDomain();
  if (which == 0) {
    BufferValid[0] = 0;
  } else {
    BufferValid[1] = 0;
    PlotBufferValid = 0;
    drawn = 0;
  }
  if (DomainWindow) quietDrawing = 1;
  // Only the picture: the entries did not change here, so neither the
  // inventory list nor the modified state is touched.
  plat::ClientDC dc(*this);
  PaintBuffered(dc);
}

void TMap2Win::UpdateRangeTitle() {
  TDom2Win* d = Domain();
  if (!d || !d->RangeWindow) return;
  std::string name;
  GetFileNamePart(name, d->FileData.FileName);
  d->RangeWindow->SetCaption(plat::res::String(kStrRange) + " [" + name + "]");
}

// ---- strokes and cursor ----

void TMap2Win::AddMarkImage(const TMouseMark& m) {
  TMouseMark copy = m;
  if (copy.kind == kMarkNext || copy.kind == kMarkBreak) {
    FollowDomain();
    SaveVariables();
    if (!MapWorldPoint(copy.point)) copy.kind = kMarkBreak;
    RestoreVariables();
  }
  mouseMarks.push_back(copy);
  BufferValid[0] = 0;
  Invalidate(false);
}

void TMap2Win::ShowCursorImage(const TPoint2D& p, bool shown) {
  FollowDomain();
  TPoint2D q = p;
  SaveVariables();
  const bool mapped = MapWorldPoint(q);
  RestoreVariables();
  CursorShown = shown && mapped ? 1 : 0;
  if (mapped) CursorImage = q;
  RedrawNow(0);
}

// ---- new sum ----

void TMap2Win::CmNewSum() {
  if (!CanAddEquation(true) || !CheckInventoryIdle()) return;
  const int colour = GetSavedValue(sumCounter_);
  int mask = 0;
  const int i = AppendAndEditEquation(
      kKindSum, 0, 1, {"n", "cis(2pi*n/17)", {}, {}, {}},
      [colour](TEquation& e) {
        e.penColour = static_cast<std::uint16_t>(colour);
        e.density = 50;
        e.divisions[0] = 1;
        e.divisions[1] = 17;
        e.notVertical = 1;
        e.webToAxis = 0;
        e.subKind = 3;
      },
      mask);
  if (i < 0) return;
  EquationName(i).clear();
  ++sumCounter_;
  CompileEquation(i);
  AddEquationLabel();
  EquationsChanged(true);
  Modified = 1;
  FitWindowToGraphs();
  DrawEquationBuffered(i);
}

}  // namespace kv
