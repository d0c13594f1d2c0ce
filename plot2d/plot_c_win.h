// The 2D command and drawing layer: the base of the linked window
// (TPlotDWin) and of the ordinary 2D window (TPlotEWin > TPlot2Win), and of
// the special plane windows.  It turns the menu "PLOT2MENU" into work
// (new equations of every 2D kind, tool dialogs, redraw and fit), keeps the
// window's settings in "kv2.ini", and draws: the paint pass, the draw-one
// dispatch by kind, and the explicit, polar and parametric curves with
// their families, gaps and end markers.
//
// Implementation: plot_c_win.cpp (construction, settings, view, state),
// plot_c_commands.cpp (the command table and its handlers),
// plot_c_paint.cpp (paint pass and dispatch), curve_drawing_2d.cpp
// (curves, cobwebs and end markers).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "entry/model/trace_point.h"
#include "plot2d/extremum_dialog.h"
#include "plot2d/intersection_dialog.h"
#include "plot2d/plot_a_win.h"
#include "plot2d/zero_dialog.h"

namespace kv {

enum : int {
  kCmReflect = 704,               // "&Spiegeln ..."
  kCmRotate = 705,                // "&Drehen ..."
  kCmTranslate = 706,             // "&Verschieben ..."
  kCmZeros = 707,                 // "&Nullstellen ..."
  kCmExtrema = 709,               // "&Extremwerte ..."
  kCmIntersections = 710,         // "&Schnittpunkte ..."
  kCmShadeExplicit = 713,         // "e&xplizit ..." (Schraffur)
  kCmSectorArea = 716,            // "&Sektorfläche ..."
  kCmIntegrate = 721,             // "&Integriere f(x) dx ..." (F7)
  kCmIntegrateDifference = 722,   // "&Integriere (f(x)-g(x)) dx ..."
  kCmMouseData = 735,             // "&Maus ..." (Daten)
  kCmRevolutionVolume = 746,      // "Rotations&volumen ..."
  kCmRotateCurve = 747,           // "&Kurve rotieren ..."
  kCmFitWindow = 765,             // "&Fenster anpassen" (Pos1)
  kCmShadeImplicit = 769,         // "i&mplizit ..." (Schraffur)
  kCmRevolutionSurface = 784,     // "Rotations&fläche ..."
  kCmCrossSections = 786,         // "&Polygonkörper ..."
  kCmRoulettes = 789,             // "&Rollkurven ..."
  kCmEvolute = 792,               // "Ev&olute ..."
  kCmRedraw = 809,                // "N&eu zeichnen" (F5)
  kCmToggleImplicitUpdate = 810,  // "Implizit a&ktualisieren"
  kCmVolumeBetween = 812,         // "&Rotationsvolumen ..." (Zwei)
  kCmLagrangeAccept = 822,        // "&Übernehmen"
  kCmLagrangeAttributes = 823,    // "&Attribute ..."
  kCmLagrangeCoordinates = 824,   // "&Koordinaten (x;y) ..."
  kCmLagrangeShowEquation = 825,  // "&Gleichung anzeigen ..."
  kCmLinkedWindow = 874,          // "&Fenster ..."
  kCmNewExplicit = 901,           // "&1. y = f(x) ..." (F1)
  kCmNewPolar = 902,              // "&4. Polarkurve ..." (F4)
  kCmNewParametric = 903,         // "&2. Parametrisch ..." (F2)
  kCmNewImplicit = 904,           // "&3. Implizit ..." (F3)
  kCmNewSegmentXY = 905,          // "(&x;y) ..." (Strecke)
  kCmNewLine = 908,               // "&Gerade ..."
  kCmNewPointXY = 909,            // "(&x;y) ..." (Punkt)
  kCmNewSystemDT = 910,           // "dy/d&t ..."
  kCmNewSlopeDX = 911,            // "dy/d&x ..."
  kCmNewRecursion = 912,          // "Re&kursion ..."
  kCmNewLagrange = 913,           // "Poly&nom ..."
  kCmNewPointRT = 914,            // "(&r;t) ..." (Punkt)
  kCmNewSegmentRT = 916,          // "(&r;t) ..." (Strecke)
};

// Marker codes of a curve's ends: 0 none, > 0 filled, < 0 hollow; the size
// code is the absolute value.
struct TEndMarkers {
  int startDot = 0;
  int startArrow = 0;
  int endDot = 0;
  int endArrow = 0;
};

class TShadeDlg;
class TCentroidDlg;
class TIvp10Dlg;
class TIvp11Dlg;
class TIvp12Dlg;

class TPlotCWin : public TPlotBWin {
 public:
  TPlotCWin(plat::Window* parent, const std::string& title);
  ~TPlotCWin() override;

  const plat::CommandTable& Commands() const override;
  void SetupWindow() override;
  void Destroy() override;
  void UpdateMenuChecks(bool drawMenuBar) override;
  void EvCommandNotify(int code) override;
  // While a polynomial is edited the caption reads "Polynom bearbeiten".
  void UpdateCaption(bool saving, const char* extra = nullptr) override;

  // ---- state and settings ----
  // Everything of a drawing freed, the view back to (0, 0) ± 5.
  void ClearDrawing() override;
  // The live settings into the words of "kv2.ini", and back (the latter
  // only when the file was read).
  void StoreSettings();
  void ApplySettings();

  // ---- view ----
  void PreviousView() override;
  void ZoomView(bool out) override;
  void PanView(long double fx, long double fy) override;
  void ResetView() override;
  void UpdateView() override;
  // Zoom about a device point, which becomes the view's centre; the
  // half-extents are multiplied by the factor (1: re-centre only).
  virtual void ZoomCentered(plat::Point p, long double factor);
  // Every explicit curve without its own interval takes the shown x range.
  void FitDomainsToView();
  // The view around every visible curve, segment, point and sum.
  virtual void FitWindowToGraphs();

  // ---- derived entries (derived_equations_2d.cpp) ----
  // Rebuilds every entry derived from entry i (all derived entries when i
  // is negative) in index order.
  void RebuildDerivedEquations(int i) override;
  // Rebuilds entry i by the builder of its derivation code; false when the
  // code has none or the builder failed.
  bool RebuildByDerivation(int i);
  // The builder of entries that are compiled from their own texts.
  bool RecompileDerivedEquation(int i);

  // ---- inventory notifications ----
  void EquationsChanged(bool selectLast) override;
  void CloseStaleDialogs(bool all) override;
  // After a parameter changed: the open tool dialogs follow (the trace
  // dialogs re-read their entry, the integration dialogs recompute).
  virtual void RefreshToolDialogs() {
    RefreshTraceDialogs();
    RefreshIntegrationDialogs();
  }
  // ---- initial-value dialogs and the trajectory mouse (plot_c_ivp.cpp) ----
  // The dy/dt, dy/dx and sequence dialogs: created once, the other two
  // hidden, the mouse switched to trajectories.
  void OpenAutonomousTrajectoryDialog() override;
  void OpenSlopeTrajectoryDialog() override;
  void OpenSequenceDialog() override;
  TIvp10Dlg* AutonomousTrajectoryDialog() const { return ivp10_.get(); }
  TIvp11Dlg* SlopeTrajectoryDialog() const { return ivp11_.get(); }
  TIvp12Dlg* SequenceDialog() const { return ivp12_.get(); }
  // The entry of the initial-value dialog that is shown (dy/dt first, then
  // dy/dx, then sequences), or -1.
  virtual int ActiveIvpEquation();
  // The side windows and the shown initial-value dialogs.
  std::int32_t GetOpenWindowsMask() override;
  // A click in the trajectory mouse mode: a solution (a sequence) of the
  // active dialog's entry from the clicked point, followed on the screen
  // for the left button.  0, 9 without an active dialog, or the code of a
  // bad setting of the dialog.
  int TrajectoryClick(plat::Point p, bool left);
  // Appends an entry of the kind and runs the equation dialog on it; on OK
  // it is compiled, labelled and drawn, on cancel removed.  The entry's
  // index, or -1.
  int NewEquation(int kind, long double lower, long double upper, std::string_view text1,
                  std::string_view text2 = {}, std::string_view text3 = {}, std::string_view text4 = {},
                  std::string_view text5 = {}, const std::function<void(TEquation&)>& prepare = {});

  // ---- mouse (mouse_2d.cpp) ----
  // What a click does depends on the mouse mode (121..129).
  void EvLButtonDown(unsigned keys, plat::Point p) override;
  void EvRButtonDown(unsigned keys, plat::Point p) override;
  void EvLButtonDblClk(unsigned keys, plat::Point p) override;
  // Mode 122 goes to TrajectoryClick (plot_c_ivp.cpp).

  // ---- Lagrange editor (lagrange_editor.cpp) ----
  void CmNewLagrange();
  void CmLagrangeAccept();
  void CmLagrangeAttributes();
  void CmLagrangeCoordinates();
  void CmLagrangeShowEquation();
  // Enters the editor for entry i: mouse mode 126, the menu "LAGMENU".
  void SwapLagrangeMenu(int i) override;
  void SolveLagrangeNodes(int i) override;
  // A polynomial read from a file: its nodes from the record, the
  // coefficients solved and bound into its tree.
  void RebuildInterpolation(int i) override;
  // The node of the edited polynomial within four pixels of the world
  // point, or -1.
  int FindLagrangeNode(const TPoint2D& p) const;
  // Left button in mode 126: drags the node under the point until the
  // button is released.
  void DragLagrangeNode(plat::Point p);
  // Right button in mode 126: adds a node, or deletes the one under the
  // point; with "&Koordinaten (x;y) ..." checked the point dialog decides.
  void EditLagrangeNode(plat::Point p);

  // ---- trace dialogs (trace_overlays_2d.cpp) ----
  // "&Graphverlauf ...": "TRACE" over the graphs and curves of the window.
  void OpenGraphTraceDialog() override;
  void CmGraphTrace() { OpenGraphTraceDialog(); }
  // The marks of the shown trace dialogs: the traced point, the secant and
  // the tangent, the traced trajectory's point and velocity.
  void DrawTraceOverlays(plat::DC& dc);

  // ---- overlays (trace_overlays_2d.cpp, point_guides_2d.cpp) ----
  // The circles of the nodes of Lagrange polynomial i.
  void DrawLagrangeNodes(plat::DC& dc, int i);
  // The secant (mode 0) or the tangent (mode 1) of a graph trace, with the
  // osculating circle when the Taylor degree is above 1.
  void DrawTraceLine(plat::DC& dc, int mode, const TTraceState& st, bool secantChecked, int degree);
  // The traced trajectory point and its velocity vector in the colour of
  // the traced trajectory.
  void DrawTrajectoryTrace(plat::DC& dc, const TTrajectoryTrace& t, int colourIndex);
  // The arc of the circle about c from angle a0 to a1 as n chords.
  void DrawArcChords(plat::DC& dc, const TPoint2D& c, long double r, long double a0, long double a1, int n);
  // Guide lines of point entry i (its style code in subKind).
  void DrawSampledItem(plat::DC& dc, int i) override;
  // The world length of the arrow heads of the trace marks.
  long double TraceArrowHead() const;
  // Pen width of the trace marks and the nodes: 2 with bold marks (the
  // clear tangent), else 1; in high-resolution output the scale factor.
  int TraceMarkWidth() const;

  // ---- drawing ----
  int DrawEquations(plat::DC& dc) override;
  void DrawPlot(plat::DC& dc) override;
  int DrawEquation(plat::DC& dc, int i) override;
  int DrawInventoryItem(plat::DC& dc, int i) override { return DrawEquation(dc, i); }
  void RedrawEquation(int parameter) override;
  // The sums of the mapping windows; nothing in the 2D window.
  virtual int DrawSum(plat::DC& dc, int i) { return 0; }
  void DrawShadings(plat::DC& dc);
  void DrawInequalityRegions(plat::DC& dc);
  // Kinds 201, 202 and 203: 65 when the stop key ended it, else 0.
  int DrawCurve(plat::DC& dc, int i);
  // Kinds 206 (antiderivative) and 207 (roulette), antiderivative_roulette_drawing.cpp.
  int DrawAntiderivative(plat::DC& dc, int i);
  int DrawRoulette(plat::DC& dc, int i);
  // The curve range of the open "Kurve rotieren" dialog, highlighted.
  void DrawRevolutionRange(plat::DC& dc);
  struct TRunPen;
  void AddRunPoint(TRunPen& pen, const TPoint2D& p);
  void DrawDiagonal(plat::DC& dc);
  void DrawCobweb(plat::DC& dc, int i);
  void DrawCobwebSegment(plat::DC& dc, const TPoint2D& from, const TPoint2D& to, bool vertical, int arrowSize);
  // ---- segments and lines (segment_line_drawing.cpp) ----
  // Kind 205 with its family and arrow heads, clipped to the view (in a
  // window with logarithmic axes or a mapping: through the mapping, without
  // heads); records the drawn box, the arrow length and the vertical flag.
  // 0, the evaluation's code when the ends are undefined, 9 when no member
  // was visible.
  int DrawSegmentEquation(plat::DC& dc, int i);
  // The image of the world segment a-b under the window's point mapping,
  // from 101 mapped points; the polyline breaks where the mapping fails or
  // leaves the view.
  void DrawMappedSegment(plat::DC& dc, const TPoint2D& a, const TPoint2D& b, std::uint32_t packedPen, int style);
  // Kind 208 across the view with its family; stores the drawn piece for
  // the range window of a mapping.  0, or 65 when stopped.
  int DrawLineEquation(plat::DC& dc, int i);
  // ---- direction fields and dy/dx equations (direction_field_drawing.cpp) ----
  // The direction field of a 210 or 211 entry; 0, or the stop key's code.
  int DrawDirectionField(plat::DC& dc, int i);
  int DrawFieldElements(plat::DC& dc, int i) override { return DrawDirectionField(dc, i); }
  // The element of entry i at world point p (segment or arrow).
  virtual void DrawFieldElement(plat::DC& dc, int i, const TPoint2D& p, std::uint32_t packedPen, int style);
  // Kind 211 with its family: the solutions through its start points, then
  // its field.  0, or the first non-zero result.
  int DrawDyDxEquation(plat::DC& dc, int i);

  // End markers of a bounded curve at world point p.  packedPen holds the
  // colour index (low 16 bits) and the width (high 16 bits); brush is the
  // curve's solid brush for filled markers.
  void DrawEndDot(plat::DC& dc, const TPoint2D& p, int marker, std::uint32_t packedPen, int style,
                  const plat::Brush& brush);
  void DrawEndArrow(plat::DC& dc, const TPoint2D& p, int marker, const TPoint2D& direction,
                    std::uint32_t packedPen, int style, const plat::Brush& brush);
  // The end markers of entry i as the drawer uses them (none where the
  // kind or the interval option has none).
  TEndMarkers EndMarkersOf(int i) const;

  // ---- the point-finding tools (point_tool_commands.cpp) ----
  TZeroDlg* ZeroDialog() const { return zeroDialog_.get(); }
  TExtrDlg* ExtremumDialog() const { return extremumDialog_.get(); }
  TInterCCDlg* IntersectionDialog() const { return intersectionDialog_.get(); }
  // Closes those tools whose kinds left the inventory (all of them: every
  // one).
  void ClosePointTools(bool all);
  // The points the open tools show, marked over the plot.
  void DrawToolMarks(plat::DC& dc);

  // ---- fields ----
  std::uint8_t showLagrangeCoordinates = 0;  // command 824
  std::uint8_t updateImplicitCurves = 0;     // command 810
  std::int16_t lagrangeEditIndex = -1;
  std::int16_t lagrangeCounter = 0;
  // Width of the curves a tool draws (parametric curves of variable 27),
  // on the screen and in print.
  std::int16_t toolCurveWidth = 1;
  std::int16_t toolCurvePrintWidth = 2;
  // The pressed button while a click starts a solution (1 left, 0 right).
  std::uint8_t trajectoryButton = 0;

  // ---- shading and implicit regions (region_commands.cpp) ----
  TShadeDlg* ShadeDialog() const { return shadeDialog_.get(); }
  TCentroidDlg* CentroidDialog() const { return centroidDialog_.get(); }
  // The dots of inequality entry i, the n-th with a sign, in its own colour
  // (region mode 2).
  void DotInequalityRegion(plat::DC& dc, int i, int n);
  // Closes the shading and region dialogs (all), or those whose kinds are
  // no longer visible.
  void CloseRegionDialogs(bool all);

 protected:
  // Puts the window's own menu back after the Lagrange editor.
  virtual void RestoreWindowMenu(const std::string& name) { AssignMenu(name); }
  // The part of the curve drawer that samples one family member.
  int DrawCurveMember(plat::DC& dc, int i, long double lo, long double hi, long n, bool& startDefined,
                      bool& endDefined, TPoint2D& start, TPoint2D& end);

 private:
  // Drops the computed points of the implicit curves when they follow the
  // view ("Implizit a&ktualisieren").
  void DropImplicitCurves();
  bool HasKind(std::initializer_list<int> kinds) const { return FindEquationOfKinds(kinds) >= 0; }
  // The menu the window ran before the Lagrange editor took over.
  std::string menuBeforeLagrange_;
  // The slopes at the ends of the member drawn last (explicit curves).
  long double lastStartSlope_ = 0;
  long double lastEndSlope_ = 0;
  // The curve drawn now is sampled in the exponent of x.
  bool sampleExponents_ = false;

  void CmNewExplicit();
  void CmNewParametric();
  void CmNewImplicit();
  void CmNewPolar();
  void CmNewPointXY() { NewPoint(0); }
  void CmNewPointRT() { NewPoint(1); }
  void CmNewSegmentXY() { NewSegment(false); }
  void CmNewSegmentRT() { NewSegment(true); }
  void NewSegment(bool polar);
  void CmNewLine();
  void CmNewRecursion();
  void CmNewSlopeDX();
  void CmNewSystemDT();
  void CmRedraw();
  void CmToggleImplicitUpdate();
  void CmFitWindow() { FitWindowToGraphs(); }
  void CmIntegrate() { OpenIntegrationDialog(1, true); }
  void CmIntegrateDifference() { OpenIntegrationDialog(2, true); }
  void CmArcLength() { OpenArcLengthDialog(); }
  void CmDistance() { OpenDistanceDialog(); }
  void CmShadeExplicit();
  void CmShadeImplicit();
  std::unique_ptr<TShadeDlg> shadeDialog_;
  std::unique_ptr<TCentroidDlg> centroidDialog_;
  void CmTool(int id) {}
  // The polynomial being edited, when it is still one.
  TEquation* EditedPolynomial();
  // Repaints the plot with the edited polynomial's new coefficients.
  void RepaintLagrange();
  // The polynomial's tree keeps the letters A..I while it is edited.
  void PrepareLagrangeTrees(int i);
  void CmZeros();
  void CmExtrema();
  void CmIntersections();
  std::unique_ptr<TZeroDlg> zeroDialog_;
  std::unique_ptr<TExtrDlg> extremumDialog_;
  std::unique_ptr<TInterCCDlg> intersectionDialog_;
  void CmIvpDt() { OpenAutonomousTrajectoryDialog(); }
  void CmIvpDx() { OpenSlopeTrajectoryDialog(); }
  void CmIvpSequence() { OpenSequenceDialog(); }
  // which: 0 dy/dt, 1 dy/dx, 2 sequences.
  void OpenIvpDialog(int which);
  // Closes the initial-value dialogs whose kinds left the inventory (all of
  // them with `all`), and all of them with the window.
  void CloseStaleIvpDialogs(bool all);
  void DestroyIvpDialogs();
  // After a parameter changed: the dy/dt dialog shows its start values
  // again (texts follow the parameters).
  void RefreshIvpDialogs();
  std::unique_ptr<TIvp10Dlg> ivp10_;
  std::unique_ptr<TIvp11Dlg> ivp11_;
  std::unique_ptr<TIvp12Dlg> ivp12_;

  void CeRoom(plat::CommandEnabler& ce) { ce.Enable(equationCount < equationCapacity); }
  void CeSlopeDX(plat::CommandEnabler& ce) { ce.Enable(equationCount < equationCapacity && LogWindowType <= 0); }
  void CeNotEmpty(plat::CommandEnabler& ce) { ce.Enable(equationCount >= 0); }
  void CeExplicit(plat::CommandEnabler& ce) { ce.Enable(HasKind({kKindExplicit})); }
  void CeImplicit(plat::CommandEnabler& ce) { ce.Enable(HasKind({kKindImplicit})); }
  void CeZeros(plat::CommandEnabler& ce) { ce.Enable(HasKind({kKindExplicit}) && LogWindowType <= 1); }
  void CeCurves(plat::CommandEnabler& ce) { ce.Enable(HasKind({kKindExplicit, kKindPolar, kKindParametric})); }
  void CeRevolution(plat::CommandEnabler& ce) {
    ce.Enable(HasKind({kKindExplicit, kKindPolar, kKindParametric, kKindSegment}));
  }
  void CeTranslate(plat::CommandEnabler& ce) {
    ce.Enable(HasKind({kKindExplicit, kKindParametric, kKindImplicit, kKindSegment, kKindLine, kKindPoint}));
  }
  void CeReflect(plat::CommandEnabler& ce) {
    ce.Enable(HasKind({kKindExplicit, kKindPolar, kKindParametric, kKindImplicit, kKindSegment}) ||
              HasKind({kKindLine, kKindPoint, kKindOde, kKindOdeDyDx, kKindSequence}));
  }
  void CeRotateCurve(plat::CommandEnabler& ce) {
    ce.Enable(HasKind({kKindExplicit, kKindPolar, kKindParametric, kKindImplicit, kKindSegment}));
  }
  void CeIntersections(plat::CommandEnabler& ce) {
    ce.Enable(HasKind({kKindExplicit, kKindPolar, kKindParametric, kKindImplicit, kKindSegment, kKindLine}));
  }
  void CeOde(plat::CommandEnabler& ce) { ce.Enable(firstOdeEquation >= 0); }
  void CeSlope(plat::CommandEnabler& ce) { ce.Enable(firstSlopeEquation >= 0); }
  void CeSequence(plat::CommandEnabler& ce) { ce.Enable(firstSequenceEquation >= 0); }
  void CeTrajectoryMouse(plat::CommandEnabler& ce) {
    ce.Enable(ActiveIvpEquation() >= 0);
    ce.SetCheck(MouseMode == kCmMouseTrajectories);
  }
  void CeLagrangeEditing(plat::CommandEnabler& ce) { ce.Enable(lagrangeEditIndex >= 0); }
};

}  // namespace kv
