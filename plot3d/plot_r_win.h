// The full 3D plot window (the base of the ordinary 3D window and of the
// secondary one): menu "PLOT3MENU" with its command enablers, the settings
// in "kv3.ini", the "&Neu" state, the camera (view frame, fitting the
// picture to the box, the observer and its dialog), the box that follows
// the graphs, the entry of every 3D kind with its example values, and the
// drawing: one item by kind, the surfaces' cells farthest first, the frame
// with axes and box, the symbol of an empty window.
//
// Implementation: plot_r_win.cpp (construction, settings, reset,
// notifications, command table), box_fitting.cpp (extents and box, camera
// fitting, observer moves), equation_entry_3d.cpp (entry commands, box
// dialog), item_drawing_3d.cpp (one item by kind), plot_paint_3d.cpp (the
// whole-plot pass, cells, frame), derived_equations_3d.cpp (the rebuild of
// derived entries, intersection curves, slice entries), companions_3d.cpp
// (the level, course and stereogram windows and the tool-dialog openers).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "plot3d/cell_painter.h"
#include "plot3d/plot_q_win.h"
#include "plot3d/tool_overlays.h"
#include "plotcore/model/implicit_tracer.h"

namespace kv {

class TObsDlg;
class TIntCSDlg;
class TRiem3Dlg;
class TSliceDlg;
class TIvp10Dlg;
class TIvp12Dlg;
class TLevelDlg;
class TIntSSDlg;
class TRDSDlg;
class TRDSWin;
class TLevelWin;

// Command ids of the 3D window's menu.
enum : int {
  kCm3Trajectories = 122,       // "&Bahnkurven" (mouse mode)
  kCm3AxisLabelFlag = 118,      // accelerator only
  kCm3ShowAxisLabels = 116,     // "Zeige Be&schriftung"
  kCm3Cubic = 700,              // "K&ubisch"
  kCm3GraphTrace = 708,         // "&Graphverlauf ..."
  kCm3IntersectionPoints = 710, // "&Schnittpunkte ..."
  kCm3Tour = 725,               // "&Fahrt um die z-Achse ..."
  kCm3PhotoCount = 748,         // "&Anzahl Fotos ..."
  kCm3FitWindow = 764,          // "&Fenster anpassen"
  kCm3Slices = 766,             // "&Schnitte ..."
  kCm3BoxVisible = 773,         // "&Box sichtbar"
  kCm3Integrate = 774,          // "&Integriere f(x,y) dxdy ..."
  kCm3BoxCoordinates = 775,     // "&Koordinaten" (box)
  kCm3HideEdges = 776,          // "Kanten &verdecken"
  kCm3OdeCurve = 780,           // "&DGL Kurve ..."
  kCm3Sequences = 782,          // "F&olgen ..."
  kCm3Stereogram = 783,         // "Stereogra&mm (RDS) ..."
  kCm3IntersectionCurve = 787,  // "&Schnittkurve ..."
  kCm3AtParameters = 788,       // "bei &Parametern"
  kCm3DashedEdges = 794,        // "&Gestrichelte"
  kCm3Meridian = 795,           // "&Meridian ..."
  kCm3BoxPenDisplay = 807,      // "Stiftbreite für An&zeige ..."
  kCm3BoxPenPrint = 808,        // "Stiftbreite für Aus&druck ..."
  kCm3FastDrawing = 826,        // "Sch&nell zeichnen"
  kCm3SlowDrawing = 827,        // "&Langsam zeichnen"
  kCm3AxisLength = 830,         // "Achsenlänge &setzen ..."
  kCm3FluxIntegral = 833,       // "&Flächenintegral ..."
  kCm3SurfaceArea = 836,        // "&Flächeninhalt ..."
  kCm3SecondaryWindow = 874,    // "&Fenster ..."
  kCm3ObserverDialog = 981,     // "&Koordinaten ..." (Betrachter)
  kCm3ObserverIn = 982,         // "Hinei&n"
  kCm3ObserverOut = 983,        // "Hinau&s"
  kCm3RotateRight = 984,        // "&Rechts"
  kCm3RotateLeft = 985,         // "&Links"
  kCm3ObserverFarOut = 986,     // "Wei&t hinaus"
  kCm3RotateUp = 987,           // "&Hoch"
  kCm3RotateDown = 988,         // "&Runter"
  kCm3StepAngle = 989,          // "&Winkel ..."
  kCm3Isometric = 990,          // "&Isometrisch"
  kCm3RotateAboutOrigin = 991,  // accelerator only
  kCm3NewExplicit = 1001,       // "&1. Explizit ..." (F1)
  kCm3NewCylindrical = 1002,    // "&4. Zylinderkoordinaten ..." (F4)
  kCm3NewParametric = 1003,     // "&2. Parametrisch ..." (F2)
  kCm3NewCurve = 1004,          // "&Kurve ..."
  kCm3NewImplicit = 1005,       // "&3. Implizit ..." (F3)
  kCm3NewTube = 1006,           // "&Röhre ..."
  kCm3NewSegment = 1008,        // "&Strecke ..."
  kCm3NewCartesianPoint = 1009, // "&Kartesisch ..."
  kCm3NewOde = 1010,            // "&DGL ..."
  kCm3NewRecursion = 1012,      // "Rekursio&n ..."
  kCm3NewCylindricalPoint = 1013, // "&Zylindrisch ..."
  kCm3NewSphericalPoint = 1014, // "&Sphärisch ..."
  kCm3NewPlane = 1015,          // "&Ebene ..."
  kCm3NewSpherical = 1016,      // "&5. Kugelkoordinaten ..." (F5)
};

// String ids of the window.
enum : int {
  kStr3Tangent = 329,   // "Tangente"
  kStr3Secant = 332,    // "Sekante"
  kStr3Frenet = 353,    // "Frenet"
};

// Font slot of the coordinates (the list font's slot is the entry window's).
inline constexpr int kCoordinateFontSlot = 8;
// The colour slot the item dialogs' "Farbe" edits.
inline constexpr int kItemColourSlot = 8;

// The colour slot of the box edges; the axes take the graphics layer's
// axis slot.
inline constexpr int kBoxColourSlot = 2;
inline constexpr int kAxisColourSlot = 3;

// One corner label of the box: its text and where it stands (device
// pixels of its top-left corner).
struct TCornerLabel {
  std::string text;
  plat::Point position;
};

class TPlotRWin : public TPlotQWin {
 public:
  TPlotRWin(plat::Window* parent, const std::string& title);
  ~TPlotRWin() override;

  const plat::CommandTable& Commands() const override;
  void SetupWindow() override;
  void Destroy() override;
  void EvCommandNotify(int code) override;
  void ResetDrawing() override;
  void ChooseColourForSlot(int slot) override;
  void UpdateMenuChecks(bool drawMenuBar) override;

  // ---- settings ("kv3.ini") ----
  // The live settings into the words of the settings file, and back (the
  // latter only when the file was read).
  void StoreSettings();
  void ApplySettings();

  // ---- inventory notifications ----
  void EquationsChanged(bool selectLast) override;
  // The first differential equation and the first sequence in space, for
  // "DGL Kurve" and "Folgen".
  void FindTrajectoryEquations();
  bool IsEquationDrawable(int i) override;
  void CloseStaleDialogs(bool all) override;
  bool ResizeInventory(int newCapacity, bool copy) override;
  void SyncSliderDialogs() override;
  // A parameter moved (slider or animation): the surfaces that use it are
  // sampled again before the picture is drawn.
  void RedrawEquation(int parameter) override;
  void AnimationFrame(int index) override;
  void ResampleSurfacesUsing(int parameter);
  void RedrawEditedEquation(int i, bool recomputed) override { EquationEdited(i, recomputed); }
  // After entry i was entered or edited: its box (when asked), a repaint,
  // the modified flag and the caption.
  void EquationEdited(int i, bool updateBox);
  // ---- the trajectory and sequence dialogs ----
  // The index of the open trajectory dialog's equation, or -1.
  virtual int ActiveTrajectoryEquation() const;
  // Takes the dialog's drawing density into the window.
  virtual void ReadTrajectoryDensity();
  // The dialog's pen width (1..25; 0 without a dialog) and direction (1
  // forward, -1 backward, 0 both ways).
  virtual int TrajectoryDelay() const;
  virtual int TrajectoryDirection() const;
  // The dialog refills its list of start points.
  virtual void TrajectoryStartsChanged();
  TIvp10Dlg* TrajectoryDialog() const { return ivp10_.get(); }
  TIvp12Dlg* SequenceDialog() const { return ivp12_.get(); }
  // "DGL Kurve" and "Folgen": the dialog is made when missing, the other
  // one hidden, this one shown.
  void OpenTrajectoryDialog(bool sequences);
  void RepaintNow(bool fit) override;
  // The plot buffer holds the surfaces with their box, without 2D axes.
  void DrawPlotLayer(plat::DC& dc) override;
  // Nor does the printed page have them: the axes are those of space.
  void DrawPlaneAxes(plat::DC&) override {}
  // Half the height of the letter "A" in the axis font, in world units.
  void UpdateTextMetrics(plat::DC& dc);

  // ---- camera ----
  // The view frame from the observer and the box centre (cubic mode: in
  // box coordinates).
  void ComputeViewFrame();
  // The default axis ends from the box.
  void SetAxisEnds();
  // The 2D view around the projected box (and the axes, when shown).
  void FitWindowToBox();
  // Where the view's top-left corner lay and how large a pixel was; the
  // equation captions keep their distance in pixels from that corner when
  // the view or the window's size changes.
  struct TLabelFrame {
    long double left = 0, top = 0, unitsX = 0, unitsY = 0;
  };
  TLabelFrame LabelFrame() const { return {World.xmin, World.ymax, UnitsPerPixelX, UnitsPerPixelY}; }
  void KeepLabelsInPlace(const TLabelFrame& before);
  void EvSize(unsigned sizeType, plat::Size clientSize) override;
  // Keeps the observer within reach of the box and off its ground plan,
  // and refreshes the observer dialog.
  void ClampObserverDistance();
  // Shows E in the observer dialog when the dialog is shown.
  void RefreshObserverDialog();
  // A new observer position: stored, in box coordinates, the view frame.
  void SetObserver(const TPoint3D& e);
  TObsDlg* ObserverDlg = nullptr;

  // ---- extents and box ----
  void UpdateBox(int i) override;
  // Steps 1 to 4 of UpdateBox: the extent of entry i without refitting.
  void UpdateItemExtent(int i);
  void ComputeItemExtent(int i);
  bool FitBoxToGraphs() override;
  // Whether entry i takes part in the window's box.
  bool IsIncludedInBox(int i) const;

  // ---- equation entry ----
  // Appends an entry of the kind, lets `prepare` set its further example
  // values and runs its equation dialog; on OK it is counted, compiled,
  // labelled and shown, on cancel removed again.  Its index, or -1.
  int NewEquation3D(int kind, long double lower, long double upper, std::initializer_list<std::string_view> texts,
                    const std::function<void(TEquation&)>& prepare = {});
  void EditBoxDialog(int i, bool force) override;

  // ---- drawing ----
  int DrawEquations(plat::DC& dc) override;
  int DrawInventoryItem(plat::DC& dc, int i) override;
  int DrawSegmentItem(plat::DC& dc, int i);
  int DrawSpaceCurveItem(plat::DC& dc, int i);
  // The direction field of a kind-310 entry under its trajectories.
  int DrawFieldElements(plat::DC& dc, int i) override { return PrepareFill(dc, i); }
  int PrepareFill(plat::DC& dc, int i);
  void DrawFieldArrow(plat::DC& dc, int i, const TPoint3D& p);
  // The guide lines and angle arcs of a point.
  void DrawSampledItem(plat::DC& dc, int i) override;
  void OnViewChanged() override;
  void UpdateSurfaceGrids() override;
  // The painted surfaces: 0, or 4 when the cell table could not be made.
  int PaintSurfacesByDepth(plat::DC& dc);
  // The device points, cell depths and sides of surface i, and its cells
  // appended to the table.
  void ProjectSurfaceCells(int i, std::vector<TSurfaceCell>& table, int& count);
  void DrawEmptyAxesSymbol(plat::DC& dc);
  // The frame of the picture: the axes and the box.
  std::int32_t DrawBoxFrame(plat::DC& dc) override;
  int DrawAxis(plat::DC& dc, const TPoint3D& from, const TPoint3D& to, int axis);
  int DrawViewBox(plat::DC& dc);
  void DrawCornerLabels(plat::DC& dc);
  // The length of the arrow heads of axes and tool arrows, in world units.
  long double ArrowHeadLength() const { return ArrowLength > 0 ? ArrowLength : ShortTickLength * UnitsPerPixelX; }
  // The frame's piece count rule: 0 here.
  int FrameQuery() const { return 0; }

  // ---- hidden by a surface (hidden_surfaces.cpp) ----
  bool HiddenByCylinderSurface(int i, const TPoint3D& p) override;
  bool HiddenByImplicitSurface(int i, const TPoint3D& p) override;
  bool HiddenByParametricSurface(int i, const TPoint3D& p) override;
  bool HiddenByPlane(int i, const TPoint3D& p) override;
  bool HiddenByExplicitSurface(int i, const TPoint3D& p) override;
  // The piece of the sight line from P to the observer over the domain of
  // graph i (kind 305 and revolved implicit curves: its extent in x and y;
  // other kinds: its parameter bounds); a on the observer's side.
  bool ClipSightLineToDomain(int i, const TPoint3D& p, TPoint3D& a, TPoint3D& b, bool wholeLine);
  // The same over the disc of a cylindrical surface (radius r max).
  bool ClipSightLineToDisc(int i, const TPoint3D& p, TPoint3D& a, TPoint3D& b);
  // Cuts a-b to the z-range of graph i, d = a - b; false when it misses it.
  bool ClipSegmentToGraph(int i, TPoint3D& a, TPoint3D& b, TPoint3D& d);
  int SignOfImplicitFunction(int i, const TPoint3D& q);
  int SignAboveExplicitSurface(int i, const TPoint3D& q);
  int SignAboveCylindricalSurface(int i, const TPoint3D& q, int turn);
  // A grid projected for one view: the view's observer, box and mode and the
  // grid's buffer tell whether it is still current.
  struct TGridProjection {
    TPoint3D observer, boxMin, boxMax;
    std::uint8_t cubic = 0;
    const TPoint3D* samples = nullptr;
    std::size_t count = 0;
    std::vector<TPoint2D> points;
    std::vector<TSegment2D> cellBounds;  // per cell, row by row
  };
  // The picture-plane points of graph i's grid and the bounding rectangle
  // of each cell, projected for the current view (kept until the view or
  // the grid changes).
  const TGridProjection& ProjectedGrid(int i);
  // Every drawing pass projects the grids anew: they may have been sampled
  // again in place.
  void ForgetProjectedGrids() { projectedGrids_.clear(); }

  // ---- buffered painting and tool overlays (overlays_3d.cpp) ----
  // The tool overlays over the kept plot picture (slot 108).
  void DrawPlot(plat::DC& dc) override;
  // The level window's course over a copy of the composed picture (slot 96).
  void PaintFromBuffer(plat::DC& dc) override;
  void DrawSliceLines(plat::DC& dc);
  void DrawTraceLine(plat::DC& dc, bool tangent);
  void DrawFrenetFrame(plat::DC& dc);
  void DrawTrajectoryTrace(plat::DC& dc);
  // A tool's marker at a space point, in the colour index: into the export
  // while one runs, else on the DC; left out when its pixel lies outside
  // the client area.
  void DrawOverlayMarker(plat::DC& dc, const TPoint3D& p, int style, int r, int colour);
  // "&Graphverlauf ...": "TRACE3" over the space curves.
  void OpenGraphTraceDialog() override;
  // The trace overlays from the shown trace dialogs.
  void SyncTraceOverlays();

  // ---- derived entries and intersection curves (derived_equations_3d.cpp) ----
  // Rebuilds every derived entry after entry i changed (all for i < 0), in
  // one forward sweep: an entry whose source was rebuilt is rebuilt too.
  void RebuildDerivedEquations(int i) override;
  // One derived entry by its code; false when no builder of this window
  // handles the code (the entry keeps its trees).
  bool RebuildDerivedEquation(int j);
  // The trees, normals, box and intervals of intersection curve i from its
  // two sources.  Outside a file's reading its traced pieces are dropped and
  // searched for again.
  void BuildIntersectionCurve(int i);
  // Command 787: chooses two surfaces and makes (or finds) their curve.
  void CmIntersectionCurve();
  // Kind 317 in space: its stored pieces traced in its plane and lifted,
  // and, when asked, a search for new pieces; 0 or the stop key.
  int DrawIntersectionCurve(plat::DC& dc, int i);
  // The tracer over the curve's plane box for the picture of space.
  TTracerSettings CurveTracerSettings(int i) const;
  // The slice dialog's "Ebene" (one plane) and "Kreuz" (two lines) at the
  // parameters (p, q) of surface i; letters 1..26 bind p and q to those
  // parameters.  The first new index, or -1.
  int AddSliceItem(int i, long double p, long double q, int letterP, int letterQ);
  int AddSliceCrossItem(int i, long double p, long double q, int letterP, int letterQ);
  // The texts of slice entry j anew from its source; false when they cannot
  // be made (the entry keeps its trees).
  bool RebuildSliceItem(int j);

  // ---- companion windows and tool dialogs (companions_3d.cpp) ----
  int AddLevelCurve(int i, int axis, long double level, bool mark, bool searchWithoutLimit, bool drawNow,
                    bool keepNearLevel) override;
  void HideLevelWindow() override;
  int ShowCourseWindow(int i, bool drawNow, bool searchWithoutLimit, bool mark) override;
  void HideCourseWindow() override;
  void ShowStereogramWindow() override;
  void OpenLevelDialog(int i) override;
  void OpenIntersectionDialog(int i) override;
  void CmStereogram();
  void CmIntersections();
  void CmSlices();
  // The open item and stereogram dialogs list the entries anew.
  void RefreshCompanionDialogs();
  // Ends the satellites whose entries are gone (all of them with `all`).
  void CloseCompanions(bool all);
  // The companion windows showing entry i (all for i < 0) draw again.
  void InvalidateCompanions(int i) override;
  // The integral dialogs (integral_commands_3d.cpp).
  void CmIntegrate();
  void CmSurfaceArea();
  void CmFluxIntegral() { OpenFluxDialog(); }
  // Ends the double-integral and area dialogs whose surfaces are gone.
  void CloseRiemannDialogs(bool all);

  // ---- the tour around the z axis (tour_3d.cpp) ----
  // Photographs the plot from PhotoCount observer positions on a ring about
  // the z axis into off-screen pictures, then plays them as a film until
  // "A", Ctrl+Q or Escape; the window keeps its view.
  void TourAroundZAxis();
  // A parametric surface on behalf of another window (the solids of known
  // cross-sections): compiled, labelled, boxed and shown.  Its index, or -1.
  int AddParametricSurface(std::string_view x, std::string_view y, std::string_view z, long double tLower,
                           long double tUpper, long double uLower, long double uUpper, int tDivisions,
                           int uDivisions) override;
  // The photos of a tour may take at most this many bytes.
  std::int64_t TourMemoryBudget = std::int64_t{1} << 30;
  // The photo the film showed last (1..n; 0 before the first film).
  int LastTourFrame = 0;

  // ---- mouse (mouse_3d.cpp) ----
  void EvLButtonDown(unsigned keys, plat::Point p) override;
  void EvRButtonDown(unsigned keys, plat::Point p) override;
  // A trajectory of the trajectory dialog's equation from the surface point
  // under the client point: 0, 9 (no surface there, or no trajectory
  // equation) or the drawing's result.
  int StartTrajectoryAtPoint(plat::Point p, bool buffered);
  // The surface point nearest to the observer on the sight ray through the
  // client point: 0 with the point, or 9 (point unchanged).
  int PickSurfacePoint(plat::Point mouse, TPoint3D& out);

  // ---- view commands (view_commands_3d.cpp) ----
  // Full repaint: the plot picture is drawn anew.
  void RedrawPlot();
  // Overlay repaint: the kept plot picture with new overlays (the tool
  // dialogs call it when their points move).
  void RedrawOverlays();
  void ToggleAxes() override;
  // The observer moves of the view commands, with the window's rules.
  void MoveObserverIn();
  void MoveObserverOut();
  void MoveObserverFarOut();

  // ---- fields ----
  TIntCSDlg* IntersectionPointsDlg = nullptr;
  TRiem3Dlg* IntegralDlg = nullptr;
  TRiem3Dlg* AreaDlg = nullptr;
  TSliceDlg* SliceDlg = nullptr;
  TLevelDlg* LevelDlg = nullptr;
  TIntSSDlg* IntersectionCurveDlg = nullptr;
  TRDSDlg* StereogramDlg = nullptr;
  TRDSWin* StereogramWin = nullptr;
  TLevelWin* LevelWin = nullptr;
  TLevelWin* CourseWin = nullptr;
  long double AspectLimit = 3.0L;
  long double BoxToleranceFactor = 0.001L;
  std::array<plat::Rect, 3> AxisLabelRects{};
  std::array<TCornerLabel, 2> CornerLabels{};
  std::uint8_t RotateAboutOrigin = 0;
  std::uint8_t UseSlot6Once = 0;
  // What the open tool dialogs show over the plot.
  TToolOverlays Overlays;
  std::uint8_t BoldTrace = 0;        // the trace dialog's bold lines
  std::uint8_t OwnFrenetWidth = 0;   // the Frenet frame has its own width
  std::int16_t FrenetWidth = 1;
  // Picking along the sight ray: steps of this fraction of the ray's piece
  // over a surface's domain, at most this many.
  long double PickStepFraction = 0.01L;
  std::int16_t PickSteps = 100;
  // The stereogram settings (density %, strips, dot size; depth), kept in
  // "kv3.ini".
  std::array<std::int32_t, 3> StereogramSettings{60, 8, 1};
  long double StereogramDepth = 0.75L;

 private:
  // ---- command handlers ----
  void CmNewExplicit();
  void CmNewParametric();
  void CmNewImplicit();
  void CmNewCylindrical();
  void CmNewSpherical();
  void CmNewCurve();
  void CmNewTube();
  void CmNewCartesianPoint() { NewPoint(0); }
  void CmNewCylindricalPoint() { NewPoint(1); }
  void CmNewSphericalPoint() { NewPoint(2); }
  void CmNewSegment();
  void CmNewPlane();
  void CmNewRecursion();
  void CmNewOde();
  void CmMeridian();
  void CmObserverDialog();
  void CmIsometric();
  void CmFitWindow();
  void CmFastDrawing() { SetDrawingMode(0); }
  void CmSlowDrawing() { SetDrawingMode(1); }
  void SetDrawingMode(std::uint8_t mesh);
  void CmRotateRight() { RotateAboutZ(true); }
  void CmRotateLeft() { RotateAboutZ(false); }
  void CmRotateUp() { Tilt(true); }
  void CmRotateDown() { Tilt(false); }
  void RotateAboutZ(bool right);
  void Tilt(bool up);
  // The camera repaint of the observer moves.
  void CameraMoved();
  void CmObserverIn();
  void CmObserverOut();
  void CmObserverFarOut();
  void CmStepAngle();
  void CmPhotoCount();
  void CmAxisLength();
  void CmMeshAtParameters();
  void CmDashedEdges();
  void CmCubic();
  void CmRotateAboutOrigin();
  void CmBoxPenPrint();
  void CmBoxPenDisplay();
  void CmAxisLabelFlag();
  void CmShowAxisLabels();
  void CmBoxVisible();
  void CmBoxCoordinates();
  void CmHideEdges();

  // ---- enablers ----
  bool Present(std::initializer_list<int> kinds) const { return FindEquationOfKinds(kinds) >= 0; }
  void CeRoom(plat::CommandEnabler& ce) { ce.Enable(equationCount < equationCapacity); }
  void CeTrajectories(plat::CommandEnabler& ce);
  void CeOdeCurve(plat::CommandEnabler& ce) { ce.Enable(View3D.OdeIndex >= 0); }
  void CeSequences(plat::CommandEnabler& ce) { ce.Enable(View3D.SequenceIndex >= 0); }
  void CeFluxIntegral(plat::CommandEnabler& ce) {
    ce.Enable(Present({kKindParametricSurface}) && Present({kKindOde3D}));
  }
  void CeIntersectionPoints(plat::CommandEnabler& ce) {
    ce.Enable(Present({kKindSurface, kKindImplicitSurface, kKindPlane}) && Present({kKindSpaceCurve}));
  }
  void CeStereogram(plat::CommandEnabler& ce) { ce.Enable(Present({kKindSurface, kKindCylinderSurface})); }
  void CeIntegrate(plat::CommandEnabler& ce) { ce.Enable(Present({kKindSurface})); }
  void CeSurfaceArea(plat::CommandEnabler& ce) { ce.Enable(Present({kKindSurface, kKindParametricSurface})); }
  void CeSlices(plat::CommandEnabler& ce);
  void CeIntersectionCurve(plat::CommandEnabler& ce);
  void CeGraphTrace(plat::CommandEnabler& ce) { ce.Enable(Present({kKindSpaceCurve})); }
  void CmGraphTrace() { OpenGraphTraceDialog(); }
  void CeTour(plat::CommandEnabler& ce) { ce.Enable(equationCount >= 0); }
  void CeSurfaces(plat::CommandEnabler& ce) { CeSlices(ce); }

  std::vector<TGridProjection> projectedGrids_;
  std::unique_ptr<TIvp10Dlg> ivp10_;
  std::unique_ptr<TIvp12Dlg> ivp12_;
  void CmOdeCurve() { OpenTrajectoryDialog(false); }
  void CmSequences() { OpenTrajectoryDialog(true); }
  // Hides a dialog whose entry kind is gone (every one when `all`).
  void HideStaleTrajectoryDialogs(bool all);
  void DestroyTrajectoryDialogs();

  // The painter's per-pass colours of a cell.
  void CellColours(const TEquation& e, int r, int c, plat::Colour& fill, plat::Colour& edge) const;
};

}  // namespace kv
