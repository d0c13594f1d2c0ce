// The command table of the 2D layer: new equations of every 2D kind, the
// tool dialogs (each enabled only while an equation of its kinds exists),
// redraw, fit and the implicit-curve option.
#include "plot2d/plot_c_win.h"

#include "core/constants.h"

namespace kv {

const plat::CommandTable& TPlotCWin::Commands() const {
  using C = TPlotCWin;
  static const auto table = plat::CommandTable::Build<TPlotCWin>(
      &TPlotBWin::Commands(),
      {
          // New equations.
          {kCmNewExplicit, &C::CmNewExplicit, &C::CeRoom},
          {kCmNewParametric, &C::CmNewParametric, &C::CeRoom},
          {kCmNewImplicit, &C::CmNewImplicit, &C::CeRoom},
          {kCmNewPolar, &C::CmNewPolar, &C::CeRoom},
          {kCmNewPointXY, &C::CmNewPointXY, &C::CeRoom},
          {kCmNewPointRT, &C::CmNewPointRT, &C::CeRoom},
          {kCmNewSegmentXY, &C::CmNewSegmentXY, &C::CeRoom},
          {kCmNewSegmentRT, &C::CmNewSegmentRT, &C::CeRoom},
          {kCmNewLine, &C::CmNewLine, &C::CeRoom},
          {kCmNewRecursion, &C::CmNewRecursion, &C::CeRoom},
          {kCmNewSlopeDX, &C::CmNewSlopeDX, &C::CeSlopeDX},
          {kCmNewSystemDT, &C::CmNewSystemDT, &C::CeRoom},
          {kCmNewLagrange, &C::CmNewLagrange, &C::CeRoom},
          // Drawing and view.
          {kCmRedraw, &C::CmRedraw, &C::CeNotEmpty},
          {kCmToggleImplicitUpdate, &C::CmToggleImplicitUpdate},
          {kCmFitWindow, &C::CmFitWindow},
          // Tool dialogs.
          {kCmShadeExplicit, &C::CmShadeExplicit, &C::CeExplicit},
          {kCmShadeImplicit, &C::CmShadeImplicit, &C::CeImplicit},
          {kCmMouseData, &C::CmMouseData, &C::CeNotEmpty},
          {kCmZeros, &C::CmZeros, &C::CeZeros},
          {kCmExtrema, &C::CmExtrema, &C::CeCurves},
          {kCmIntegrate, &C::CmIntegrate, &C::CeExplicit},
          {kCmSectorArea, &C::CmSectorArea, &C::CeCurves},
          {kCmRevolutionVolume, &C::CmRevolutionVolume, &C::CeRevolution},
          {kCmRevolutionSurface, &C::CmRevolutionSurface, &C::CeRevolution},
          {kCmTranslate, &C::CmTranslate, &C::CeTranslate},
          {kCmReflect, &C::CmReflect, &C::CeReflect},
          {kCmRotate, &C::CmRotate, &C::CeReflect},
          {kCmRoulettes, &C::CmRoulettes, &C::CeCurves},
          {kCmEvolute, &C::CmEvolute, &C::CeCurves},
          {kCmRotateCurve, &C::CmRotateCurve, &C::CeRotateCurve},
          {kCmIntersections, &C::CmIntersections, &C::CeIntersections},
          {kCmIntegrateDifference, &C::CmIntegrateDifference, &C::CeExplicit},
          {kCmVolumeBetween, &C::CmVolumeBetween, &C::CeExplicit},
          {kCmCrossSections, &C::CmCrossSections, &C::CeExplicit},
          // Initial-value dialogs.
          {kCmAutonomousTrajectory, &C::CmIvpDt, &C::CeOde},
          {kCmSlopeTrajectory, &C::CmIvpDx, &C::CeSlope},
          {kCmSequences, &C::CmIvpSequence, &C::CeSequence},
          // The Lagrange editor's menu.
          {kCmLagrangeAccept, &C::CmLagrangeAccept, &C::CeLagrangeEditing},
          {kCmLagrangeAttributes, &C::CmLagrangeAttributes, &C::CeLagrangeEditing},
          {kCmLagrangeCoordinates, &C::CmLagrangeCoordinates},
          {kCmLagrangeShowEquation, &C::CmLagrangeShowEquation, &C::CeLagrangeEditing},
          // Handlers of analysis commands the layers below enable.
          {kCmArcLength, &C::CmArcLength},
          {kCmDistance, &C::CmDistance},
          // Enablers of commands the layers below handle.
          {kCmGraphTrace, &C::CmGraphTrace, &C::CeCurves},
          {kCmMouseTrajectories, nullptr, &C::CeTrajectoryMouse},
      });
  return table;
}

// ---- new equations ----

int TPlotCWin::NewEquation(int kind, long double lower, long double upper, std::string_view text1,
                           std::string_view text2, std::string_view text3, std::string_view text4,
                           std::string_view text5, const std::function<void(TEquation&)>& prepare) {
  if (!CanAddEquation(true)) return -1;
  int mask = 0;
  const int i = AppendAndEditEquation(kind, lower, upper, {text1, text2, text3, text4, text5}, prepare, mask);
  if (i < 0) return -1;
  TEquation& e = Equation(i);
  if (kind == kKindExplicit) {
    e.sideColour1 = static_cast<std::int16_t>(e.penColour);
    e.subKind = -1;
  }
  if ((kind == kKindOde || kind == kKindOdeDyDx) && e.arrowMode > 0) SetVariable(e.arrowMode, 0.1L * e.fieldLength);
  CompileEquation(i);
  AddEquationLabel();
  if (kind == kKindSequence) {
    firstSequenceEquation = static_cast<std::int16_t>(i);
  } else {
    DrawEquationBuffered(i);
  }
  EquationsChanged(true);
  MarkUsedVariables();
  SetForeground();
  if (kind == kKindSegment && (mask & kChangeEndPoints)) AddSegmentEndPoints(i);
  return i;
}

void TPlotCWin::CmNewExplicit() {
  long double lo = 0;
  long double hi = 0;
  ShownValuesX(lo, hi);
  NewEquation(kKindExplicit, lo, hi, {}, "xsin(x)");
}

void TPlotCWin::CmNewParametric() { NewEquation(kKindParametric, 0, 2 * Pi, "3cos(3t)", "3sin(4t)"); }

void TPlotCWin::CmNewImplicit() {
  NewEquation(kKindImplicit, 0, 1, {}, {}, {}, {}, "xx+yy=13", [](TEquation& e) {
    e.kindFlag = 0;
    e.drawFilled = 0;
  });
}

void TPlotCWin::CmNewPolar() { NewEquation(kKindPolar, 0, 2 * Pi, {}, {}, "3cos(2t)"); }

void TPlotCWin::NewSegment(bool polar) {
  NewEquation(kKindSegment, 0, 1, "-1.5", "3.0", "3.5", "1.0", {},
              [polar](TEquation& e) { e.polarInput = polar ? 1 : 0; });
}

void TPlotCWin::CmNewLine() { NewEquation(kKindLine, 0, 1, "2.54", "1.732", "3.141"); }

void TPlotCWin::CmNewRecursion() {
  const bool complex = ComplexMode();
  NewEquation(kKindSequence, 0, 1, complex ? "(0.9+0.1i)z" : "1+abs(x)-y", "x", {}, {}, {},
              [complex](TEquation& e) { e.kindFlag = complex ? 1 : 0; });
}

void TPlotCWin::CmNewSlopeDX() { NewEquation(kKindOdeDyDx, 0, 1, {}, {}, "x-y"); }

void TPlotCWin::CmNewSystemDT() { NewEquation(kKindOde, 0, 1, "xx-yy", "2xy"); }

// ---- drawing commands ----

void TPlotCWin::CmRedraw() {
  DropImplicitCurves();
  InvalidatePlot();
}

void TPlotCWin::CmToggleImplicitUpdate() {
  updateImplicitCurves = updateImplicitCurves ? 0 : 1;
  UpdateMenuChecks(false);
}

}  // namespace kv
