// The paint pass of the 2D window.  Every drawing of the plot (screen,
// printer, metafile, exports, animation frames) is DrawEquations followed
// by DrawPlot on one device context; an export is the same pass with a
// recording flag set.
#include "graphics/export_sink.h"
#include "plot2d/centroid_dialog.h"
#include "plot2d/plot_c_win.h"

namespace kv {

int TPlotCWin::DrawEquations(plat::DC& dc) {
  if (equationCount < 0) {
    DrawAxes(dc);
    return 0;
  }
  if (!mappedFlag) SetFocus();
  if (!quietDrawing) SetCaption(1, 0, 0);  // "Abbruch mit Taste A"
  DrawShadings(dc);
  DrawInequalityRegions(dc);
  DrawAxes(dc);
  auto isPoint = [this](int i) {
    const int k = Equation(i).kind;
    return k == kKindPoint || k == kKindPointSequence;
  };
  int result = 0;
  // Curves first, then points and point sequences on top of them; the stop
  // key "A" ends both.
  for (int pass = 0; pass < 2 && result != 'A'; ++pass) {
    for (int i = 0; i <= equationCount; ++i) {
      if (isPoint(i) != (pass == 1)) continue;
      result = DrawEquation(dc, i);
      if (result == 'A') break;
    }
  }
  if (!quietDrawing) UpdateCaption(false);
  // A stopped drawing counts as done; the last drawer's other code is
  // passed on.
  return result == 'A' ? 0 : result;
}

int TPlotCWin::DrawEquation(plat::DC& dc, int i) {
  if (!IsValidIndex(i)) return 0;
  TEquation& e = Equation(i);
  if (!e.visible) return 0;
  SaveVariables();
  if (MouseMode == kCmMouseLagrange && IsLagrangePolynomial(e)) {
    for (int k = 0; k < 9 && k < static_cast<int>(e.cellDepths.size()); ++k) {
      TComplex v = Variable(1 + k);
      v.re = e.cellDepths[static_cast<std::size_t>(k)];
      SetComplexVariable(1 + k, v);
    }
  }
  int result = 0;
  switch (e.kind) {
    case kKindExplicit:
    case kKindPolar:
    case kKindParametric:
      result = DrawCurve(dc, i);
      break;
    case kKindImplicit:
      result = DrawImplicitEquation(dc, i);
      break;
    case kKindSegment:
      result = DrawSegmentEquation(dc, i);
      break;
    case kKindLine:
      result = DrawLineEquation(dc, i);
      break;
    case kKindPoint:
    case kKindPointSequence:
      result = DrawPointItem(dc, i);
      break;
    case kKindOde:
      result = DrawFamilyTrajectories(dc, i);
      break;
    case kKindOdeDyDx:
      result = DrawDyDxEquation(dc, i);
      break;
    case kKindSequence:
      result = DrawFamilyItems(dc, i);
      break;
    case kKindSum:
      result = DrawSum(dc, i);
      break;
    case kKindAntiderivative:
      result = DrawAntiderivative(dc, i);
      break;
    case kKindRoulette:
      result = DrawRoulette(dc, i);
      break;
    default:
      // The other kinds have no 2D drawing.
      break;
  }
  // A key read here is the entry's result; "A" ends the pass.
  if (result == 0) result = KeyPressed();
  RestoreVariables();
  return result;
}

void TPlotCWin::DrawShadings(plat::DC& dc) {
  for (TShadeRecord& s : shadings)
    if (s.intervalFlag && s.packedCode > 8) RefreshBoundShading(s);
  ShadeAll(dc);
}

void TPlotCWin::DrawInequalityRegions(plat::DC& dc) {
  if (regionMode <= 0) {
    DotInequalities(dc);
  } else if (regionMode == 2) {
    // Each shown inequality takes the next lattice; a hidden one none.
    int n = 0;
    for (int i = 0; i <= equationCount; ++i) {
      const TEquation& e = Equation(i);
      if (e.kind == kKindImplicit && e.subKind != 0 && e.visible) DotInequalityRegion(dc, i, n++);
    }
  }
}

void TPlotCWin::DrawPlot(plat::DC& dc) {
  DrawEquationLabels(dc);
  DrawPlacedObjects(dc);
  DrawRoughPolyline(dc);
  // A page or an EPS or SVG file gets the darts of the centroid dialog
  // thrown anew; on the screen the dialog draws them when it runs.
  if (TCentroidDlg* c = CentroidDialog()) {
    const TExportSink* sink = ActiveSink();
    if (Printing || (sink && sink->Format() != TExportFormat::Pictex)) c->DrawDarts(dc);
  }
  // Nodes of the polynomials: while one is edited, and where "Punkte immer
  // sichtbar" asks for them.
  for (int i = 0; i <= equationCount; ++i) {
    const TEquation& e = Equation(i);
    if (IsLagrangePolynomial(e) && e.visible && (MouseMode == kCmMouseLagrange || e.filled)) DrawLagrangeNodes(dc, i);
  }
  // The Riemann strips lie under the marks of the tools.
  DrawIntegrationOverlays(dc);
  DrawRevolutionRange(dc);
  DrawToolMarks(dc);
  DrawTraceOverlays(dc);
}

}  // namespace kv
