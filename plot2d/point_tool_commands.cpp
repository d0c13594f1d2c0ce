// The 2D window's commands of the point-finding tools ("&Nullstellen ...",
// "&Extremwerte ...", "&Schnittpunkte ..."): each opens its modeless dialog
// (created on first use; an open one searches again), closes it when its
// kinds leave the inventory, and marks the point it shows over the plot.
#include <vector>

#include "graphics/export_sink.h"
#include "plot2d/plot_c_win.h"
#include "plot2d/ivp_dialogs.h"

namespace kv {

namespace {

// The marks are drawn in the colour of "&Zeiger": a zero as a small
// marker of style 11, an extremum and the start of an initial-value problem
// as style 8, an intersection as style 9 (the style and half-size of each).
constexpr int kCursorSlot = 1;
struct TMarkLook {
  int style;
  int size;
};
constexpr TMarkLook kZeroMark{11, 5};
constexpr TMarkLook kExtremumMark{8, 7};
constexpr TMarkLook kIntersectionMark{9, 7};
constexpr TMarkLook kStartMark{8, 7};

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
  // The zeros go with the last graph, though they are also sought on
  // segments and lines.
  if (all || !HasKind({kKindExplicit})) CloseTool(zeroDialog_);
  if (all || !HasKind({kKindExplicit, kKindPolar, kKindParametric})) CloseTool(extremumDialog_);
  if (all || !HasKind({kKindExplicit, kKindPolar, kKindParametric, kKindImplicit, kKindSegment, kKindLine}))
    CloseTool(intersectionDialog_);
}

void TPlotCWin::DrawToolMarks(plat::DC& dc) {
  struct TMark {
    TPoint2D at;
    TMarkLook look;
  };
  std::vector<TMark> marks;
  // A found point lies where the window shows it: through the mapping of a
  // range window or onto logarithmic axes; one that cannot be mapped is
  // not marked.
  auto found = [&](const auto& dialog, TMarkLook look) {
    TPoint2D p;
    if (dialog && dialog->Mark(p) && MapWorldPoint(p) && IsInView(p)) marks.push_back({p, look});
  };
  // Mapping a point sets the window's variables.
  SaveVariables();
  found(zeroDialog_, kZeroMark);
  found(extremumDialog_, kExtremumMark);
  found(intersectionDialog_, kIntersectionMark);
  // The start points of the initial-value dialogs, where they are in view;
  // the dy/dx dialog keeps its start in values, the dy/dt dialog in the
  // window's own coordinates.
  if (ivp10_ && ivp10_->IsCreated() && !ivp10_->IsHidden()) {
    const TPoint2D start{ivp10_->StartPoint().x, ivp10_->StartPoint().y};
    if (IsInView(start)) marks.push_back({start, kStartMark});
  }
  if (ivp11_ && ivp11_->IsCreated() && !ivp11_->IsHidden()) {
    TPoint2D start{ivp11_->StartPoint().x, ivp11_->StartPoint().y};
    if ((LogWindowType <= 0 || MapWorldPoint(start)) && IsInView(start)) marks.push_back({start, kStartMark});
  }
  RestoreVariables();
  if (marks.empty()) return;
  const int colour = CheckColourIndex(ColourSlots[kCursorSlot]);
  const plat::Pen old = dc.SelectPen(CreateColourPen(colour, 1, plat::PS_SOLID));
  for (const TMark& m : marks) MarkWorldPoint(dc, m.at, m.look.style, m.look.size, GetColour(colour));
  dc.SelectPen(old);
}

}  // namespace kv
