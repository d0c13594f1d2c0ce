// The 2D layer's construction, its settings in "kv2.ini", the new-drawing
// state, the view operations and the inventory notifications.
#include "plot2d/plot_c_win.h"

#include <algorithm>
#include <cmath>

#include "core/constants.h"
#include "entry/side_windows.h"
#include "plot2d/centroid_dialog.h"
#include "plot2d/shade_dialog.h"
#include "plot2d/ivp_dialogs.h"

namespace kv {

TPlotCWin::TPlotCWin(plat::Window* parent, const std::string& title) : TPlotBWin(parent, title) {}

TPlotCWin::~TPlotCWin() = default;

void TPlotCWin::SetupWindow() { TPlotBWin::SetupWindow(); }

void TPlotCWin::Destroy() {
  if (IsDestroyed()) return;
  CloseRegionDialogs(true);
  DestroyIvpDialogs();
  ClosePointTools(true);
  TPlotBWin::Destroy();
}

void TPlotCWin::UpdateMenuChecks(bool drawMenuBar) {
  if (IsCreated()) {
    const std::pair<int, bool> checks[] = {
        {kCmMouseData, mouseDataEquation >= 0},
        {kCmLagrangeCoordinates, showLagrangeCoordinates != 0},
        {kCmToggleImplicitUpdate, updateImplicitCurves != 0},
    };
    for (const auto& [id, on] : checks)
      if (HasMenuItem(id)) CheckMenu(id, on);
  }
  TPlotBWin::UpdateMenuChecks(drawMenuBar);
}

void TPlotCWin::EvCommandNotify(int code) {
  if (code == kListFontSlot) {
    // The list font changed: the labels are drawn in it anew, and the
    // region dialog, the inventory and the tool dialogs fill their lists
    // again, in it.
    if (TCentroidDlg* c = CentroidDialog(); c && c->IsCreated()) c->FillLists();
    InventoryChanged(false);
    BufferValid[0] = 0;
    Invalidate(false);
    return;
  }
  TPlotBWin::EvCommandNotify(code);
}

// ---- a new drawing ----

void TPlotCWin::ClearDrawing() {
  FreePicture();
  ClearInventory();
  FreeUserFunctions();
  firstOdeEquation = -1;
  firstSlopeEquation = -1;
  firstSequenceEquation = -1;
  CloseStaleDialogs(true);
  SetView(0, 0, 5, 5, ViewMode);
  UpdateView();
  Modified = 0;
  lagrangeCounter = 0;
  entryCounter = 0;
  currentEquation = -1;
  ClearProtection();
  SetVariable('E', std::exp(1.0L));
  mouseMarks.clear();
  viewChanged = 0;
  drawn = 0;
  PlotBufferValid = 0;
}

// ---- settings ----

namespace {

std::int32_t InRange(std::int32_t v, std::int32_t lo, std::int32_t hi, std::int32_t fallback) {
  return v >= lo && v <= hi ? v : fallback;
}
std::int32_t AtLeast(std::int32_t v, std::int32_t lo, std::int32_t fallback) { return v >= lo ? v : fallback; }
std::uint8_t Flag(std::int32_t v) { return v != 0 ? 1 : 0; }
std::int16_t I16(std::int32_t v) { return static_cast<std::int16_t>(std::clamp<std::int32_t>(v, -32768, 32767)); }

}  // namespace

void TPlotCWin::StoreSettings() {
  // The first ten equations' colours become the colours of new equations.
  for (int i = 0; i <= equationCount && i < static_cast<int>(SavedValues.size()); ++i)
    SavedValues[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(Equation(i).penColour);
  // Closing the integration dialog clears the overlay flags: the mask is
  // taken as the window showed it.
  const int overlayMask = GetOverlayMask();
  CloseStaleDialogs(true);
  auto& b1 = SettingsBlocks.Ints[0];
  auto& b2 = SettingsBlocks.Ints[1];
  auto& b3 = SettingsBlocks.Ints[2];
  auto& r2 = SettingsBlocks.Reals[1];
  b1[19] = FileTypeCode;
  b1[20] = PackTimeWindowValues([](const TSideWin& w) { return w.PlaneCode(); });
  b2[0] = mouseMarkPenWidth;
  b2[1] = AxisWidthPrint;
  b2[2] = MarkerSizeCode;
  b2[3] = trajectoryDensity;
  b2[4] = PiX;
  b2[5] = PiY;
  b2[6] = Decimals;
  b2[7] = LongHyphen;
  b2[8] = LongHyphenChar;
  b2[9] = overlayMask;
  b2[10] = 32000;
  b2[11] = TicksShown;
  b2[12] = ArrowsShown;
  b2[13] = LabelsShown;
  b2[14] = RasterShown;
  b2[15] = SavedValuesOff;  // new graphs in black
  b2[16] = TickLength;
  b2[17] = FieldWidth;
  b2[18] = DecimalsX;
  b2[19] = DecimalsY;
  b2[20] = GridBits;
  b3[0] = ScaleBits;
  b3[1] = LabelFrequencyX;
  b3[2] = LabelFrequencyY;
  b3[3] = View3D.SegmentPieces;
  for (int w = 4; w <= 7; ++w) b3[static_cast<std::size_t>(w)] = 0;
  b3[8] = GridWidthDisplay;
  b3[9] = GridWidthPrint;
  b3[10] = criticalAngle;
  b3[11] = infiniteSlope;
  b3[12] = AxisWidthDisplay;
  b3[13] = showLagrangeCoordinates;
  b3[14] = PiChar;
  b3[15] = angleInDegrees;
  b3[16] = ViewMode;
  b3[17] = FilledArrowHeads;
  b3[18] = 0;
  b3[19] = HighResolution;
  b3[20] = fillInsteadOfHatch;
  r2[0] = animationStepFactor;
  r2[1] = ZoomFactor;
  r2[2] = centreZoomFactor;
  r2[7] = PanShare - 0.05L;
  r2[8] = smallSteps[0];
  r2[9] = mediumSteps[0];
}

void TPlotCWin::ApplySettings() {
  if (!SettingsLoaded) return;
  MouseMode = kCmMouseCoordinates;
  const auto& b2 = SettingsBlocks.Ints[1];
  const auto& b3 = SettingsBlocks.Ints[2];
  const auto& r2 = SettingsBlocks.Reals[1];
  mouseMarkPenWidth = I16(InRange(b2[0], 1, 6, 1));
  AxisWidthPrint = I16(AtLeast(b2[1], 1, 2));
  MarkerSizeCode = I16(InRange(b2[2], 1, 64, 3));
  trajectoryDensity = AtLeast(b2[3], 1, 400);
  PiX = Flag(b2[4]);
  PiY = Flag(b2[5]);
  Decimals = I16(InRange(b2[6], 0, 19, 5));
  LongHyphen = Flag(b2[7]);
  // The minus and pi characters, and widths of 0 on the screen, come back
  // as their commands accept them.
  LongHyphenChar = I16(InRange(b2[8], 32, 255, 150));
  SetOverlayMask(b2[9]);
  defaultDensity = I16(InRange(b2[10], 1, 1000, 50));
  if (b2[10] == 32000) TicksShown = Flag(b2[11]);
  ArrowsShown = Flag(b2[12]);
  LabelsShown = Flag(b2[13]);
  RasterShown = Flag(b2[14]);
  SavedValuesOff = Flag(b2[15]);
  // The grid dialog takes tick lengths up to nearly the screen's width.
  TickLength = I16(InRange(b2[16], 1, 32767, 10));
  FieldWidth = I16(InRange(b2[17], Decimals + 2, 100, Decimals + 2));
  DecimalsX = I16(b2[18]);
  DecimalsY = I16(b2[19]);
  GridBits = I16(b2[20] < 0 ? 15 : b2[20]);
  ScaleBits = I16(InRange(b3[0], 0, 7, 0));
  // The grid dialog takes frequencies 1..98.
  LabelFrequencyX = I16(InRange(b3[1], 1, 98, 1));
  LabelFrequencyY = I16(InRange(b3[2], 1, 98, 1));
  View3D.SegmentPieces = I16(InRange(b3[3], 1, 512, 12));
  View3D.SegmentPieceLength = 1.0L / View3D.SegmentPieces;
  GridWidthDisplay = I16(AtLeast(b3[8], 0, 1));
  GridWidthPrint = I16(AtLeast(b3[9], 1, 2));
  criticalAngle = Flag(b3[10]);
  infiniteSlope = Flag(b3[11]);
  AxisWidthDisplay = I16(AtLeast(b3[12], 0, 1));
  showLagrangeCoordinates = Flag(b3[13]);
  PiChar = I16(InRange(b3[14], 32, 255, 112));
  angleInDegrees = Flag(b3[15]);
  ViewMode = Flag(b3[16]);
  FilledArrowHeads = Flag(b3[17]);
  HighResolution = Flag(b3[19]);
  fillInsteadOfHatch = Flag(b3[20]);
  animationStepFactor = r2[0];
  ZoomFactor = r2[1] < 1e-16L ? 1.01L : r2[1];
  centreZoomFactor = r2[2];
  PanShare = 0.05L + r2[7];
  long double small = r2[8];
  long double medium = r2[9];
  // The slider-step dialog stores the steps of a page: 1 up to all of them.
  if (!(small >= 2) || small > 2147483647.0L || !(medium >= 1) || medium > small) {
    small = 100;
    medium = 10;
  }
  smallSteps[0] = RoundToInt(small);
  mediumSteps[0] = RoundToInt(medium);
}

// ---- view ----

void TPlotCWin::DropImplicitCurves() {
  if (!updateImplicitCurves) return;
  for (int i = 0; i <= equationCount; ++i) {
    TEquation& e = Equation(i);
    if (e.kind != kKindImplicit) continue;
    ClearEquationItems(e);
    e.webToAxis = 1;  // traced again at the next drawing
  }
}

void TPlotCWin::PanView(long double fx, long double fy) {
  if (LogWindowType >= 1) return;
  viewChanged = 1;
  DropImplicitCurves();
  TPlotBWin::PanView(fx, fy);
}

void TPlotCWin::ZoomView(bool out) {
  if (LogWindowType >= 1) return;
  viewChanged = 1;
  DropImplicitCurves();
  TPlotBWin::ZoomView(out);
}

void TPlotCWin::ZoomCentered(plat::Point p, long double factor) {
  if (LogWindowType >= 1) return;
  viewChanged = 1;
  DropImplicitCurves();
  ZoomAtPoint(p, factor, true);
}

void TPlotCWin::PreviousView() {
  DropImplicitCurves();
  TPlotBWin::PreviousView();
}

void TPlotCWin::ResetView() {
  DropImplicitCurves();
  TPlotBWin::ResetView();
}

void TPlotCWin::UpdateView() {
  TPlotBWin::UpdateView();
  FitDomainsToView();
}

void TPlotCWin::FitDomainsToView() {
  long double lo = 0;
  long double hi = 0;
  ShownValuesX(lo, hi);
  for (int i = 0; i <= equationCount; ++i) {
    TEquation& e = Equation(i);
    if ((e.kind != kKindExplicit && e.kind != kKindAntiderivative) || e.bounded) continue;
    e.lowerBound.x = lo;
    e.upperBound.x = hi;
  }
}

void TPlotCWin::FitWindowToGraphs() {
  if (equationCount < 0) return;
  SaveVariables();
  const long double big = std::exp(42.0L);
  TPoint2D lo{big, big};
  TPoint2D hi{-big, -big};
  bool seen = false;
  auto add = [&](long double x, long double y) {
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    lo.x = std::min(lo.x, x);
    lo.y = std::min(lo.y, y);
    hi.x = std::max(hi.x, x);
    hi.y = std::max(hi.y, y);
    seen = true;
  };
  for (int i = 0; i <= equationCount; ++i) {
    TEquation& e = Equation(i);
    if (!e.visible) continue;
    switch (e.kind) {
      case kKindExplicit:
      case kKindPolar:
      case kKindParametric: {
        TExprNode* y = e.trees[1].get();
        TExprNode* x = e.kind == kKindExplicit ? nullptr : e.trees[0].get();
        if (!y || (e.kind != kKindExplicit && !x)) break;
        const int density = e.stepDensity == 0 ? 1 : std::abs(e.stepDensity);
        const long double a = e.lowerBound.x;
        const long double b = e.upperBound.x;
        const long double step = (b - a) / (density * (ClientWidth + 1) * 0.2L);
        if (!(step > 0)) break;
        const int letter = e.kind == kKindExplicit ? 'X' : 'T';
        for (long double t = a + 1e-16L; t < b; t += step) {
          SetVariable(letter, t);
          ClearEvaluationError();
          if (!Evaluate(y)) continue;
          if (x) {
            if (!Evaluate(x)) continue;
            add(x->value.re, y->value.re);
          } else {
            add(t, y->value.re);
          }
        }
        break;
      }
      case kKindSegment: {
        TPoint2D p1;
        TPoint2D p2;
        if (EvaluateSegmentEnds(i, p1, p2) == 0) {
          add(p1.x, p1.y);
          add(p2.x, p2.y);
        }
        break;
      }
      case kKindPoint: {
        TExprNode* x = e.trees[0].get();
        TExprNode* y = e.trees[1].get();
        if (!x || !y || !Evaluate(x) || !Evaluate(y)) break;
        TPoint2D p{x->value.re, y->value.re};
        if (e.polarInput) p = {p.x * std::cos(p.y), p.x * std::sin(p.y)};
        add(p.x, p.y);
        break;
      }
      case kKindSum: {
        // In complex mode every partial sum over the summation letter from
        // the first to the last index, where the window maps it; the sums
        // end at an undefined term, as their drawing does.
        TExprNode* letter = e.trees[0].get();
        TExprNode* term = e.trees[1].get();
        if (!ComplexMode() || !letter || !term) break;
        TPoint2D sum{0, 0};
        for (long n = e.divisions[0]; n <= e.divisions[1]; ++n) {
          SetVariable(letter->token, static_cast<long double>(n));
          ClearEvaluationError();
          if (!Evaluate(term)) break;
          sum.x += term->value.re;
          sum.y += term->value.im;
          TPoint2D p = sum;
          if (MapWorldPoint(p)) add(p.x, p.y);
        }
        break;
      }
      default:
        break;
    }
  }
  RestoreVariables();
  if (!seen) return;
  DropImplicitCurves();
  long double hx = (hi.x - lo.x) / 2;
  long double hy = (hi.y - lo.y) / 2;
  if (std::fabs(hx) + std::fabs(hy) < 1e-13L) {
    hx = 5;
    hy = 5;
  }
  NewView((lo.x + hi.x) / 2, (lo.y + hi.y) / 2, hx * 1.03L, hy * 1.03L, ViewMode);
}

// ---- inventory notifications ----

void TPlotCWin::EquationsChanged(bool selectLast) {
  InventoryChanged(selectLast);
  // A point a tool adds of its own changes none of these.
  if (!toolPointFlag) {
    firstOdeEquation = static_cast<std::int16_t>(FindEquationOfKinds({kKindOde}));
    firstSlopeEquation = static_cast<std::int16_t>(FindEquationOfKinds({kKindOdeDyDx}));
    firstSequenceEquation = static_cast<std::int16_t>(FindEquationOfKinds({kKindSequence}));
  }
  if (((ProtectionMask & 2) == 0 || Unlocked) && !inventoryHidden) ShowInventory();
}

void TPlotCWin::CloseStaleDialogs(bool all) {
  TPlotBWin::CloseStaleDialogs(all);
  CloseRegionDialogs(all);
  CloseStaleIvpDialogs(all);
  if (all || !HasKind({kKindExplicit, kKindPolar, kKindParametric})) CloseGraphTraceDialog();
  ClosePointTools(all);
}

void TPlotCWin::RedrawEquation(int parameter) {
  TPlotBWin::RedrawEquation(parameter);
  RefreshIvpDialogs();
  RefreshToolDialogs();
}

}  // namespace kv
