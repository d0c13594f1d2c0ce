// The 2D window's commands of the point-finding tools ("&Nullstellen ...",
// "&Extremwerte ...", "&Schnittpunkte ..."): each opens its modeless dialog
// (created on first use; an open one searches again), closes it when its
// kinds leave the inventory, and marks the point it shows over the plot.
#include "plot2d/plot_c_win.h"

namespace kv {

namespace {

// The mark: style 9 (the tool point), half-size 7, in the cursor colour.
constexpr int kCursorSlot = 1;
constexpr int kToolMarkStyle = 9;
constexpr int kToolMarkSize = 7;

template <class D>
void ShowTool(D& d) {
  d.Reveal();
  d.BringToTop();
}

template <class D>
void CloseTool(std::unique_ptr<D>& d) {
  if (!d) return;
  if (!d->IsDestroyed()) d->Destroy();
  d.reset();
}

}  // namespace

void TPlotCWin::CmZeros() {
  if (!zeroDialog_) {
    zeroDialog_ = std::make_unique<TZeroDlg>(*this);
    zeroDialog_->Create();
  } else {
    zeroDialog_->FindNextZero();
  }
  ShowTool(*zeroDialog_);
}

void TPlotCWin::CmExtrema() {
  if (!extremumDialog_) {
    extremumDialog_ = std::make_unique<TExtrDlg>(*this);
    extremumDialog_->Create();
  } else {
    extremumDialog_->FindNextExtremum();
  }
  ShowTool(*extremumDialog_);
}

void TPlotCWin::CmIntersections() {
  if (!intersectionDialog_) {
    intersectionDialog_ = std::make_unique<TInterCCDlg>(*this);
    intersectionDialog_->Create();
  } else {
    intersectionDialog_->FindNextIntersection();
  }
  ShowTool(*intersectionDialog_);
}

void TPlotCWin::ClosePointTools(bool all) {
  if (all || !HasKind({kKindExplicit, kKindSegment, kKindLine})) CloseTool(zeroDialog_);
  if (all || !HasKind({kKindExplicit, kKindPolar, kKindParametric})) CloseTool(extremumDialog_);
  if (all || !HasKind({kKindExplicit, kKindPolar, kKindParametric, kKindImplicit, kKindSegment, kKindLine}))
    CloseTool(intersectionDialog_);
}

void TPlotCWin::DrawToolMarks(plat::DC& dc) {
  TPoint2D marks[3];
  int n = 0;
  if (zeroDialog_ && zeroDialog_->Mark(marks[n])) ++n;
  if (extremumDialog_ && extremumDialog_->Mark(marks[n])) ++n;
  if (intersectionDialog_ && intersectionDialog_->Mark(marks[n])) ++n;
  if (n == 0) return;
  const plat::Pen old = dc.SelectPen(CreateColourPen(CheckColourIndex(ColourSlots[kCursorSlot]), 0, plat::PS_SOLID));
  for (int k = 0; k < n; ++k) DrawMarkerAtWorld(dc, marks[k], kToolMarkStyle, kToolMarkSize);
  dc.SelectPen(old);
}

}  // namespace kv
