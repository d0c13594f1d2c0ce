// The full 3D window's construction, command table, settings in
// "kv3.ini", the "&Neu" state, inventory notifications and the buffered
// paint.
#include "plot3d/plot_r_win.h"

#include <algorithm>
#include <cmath>

#include "entry/side_windows.h"
#include "entry/trajectory_dialogs.h"
#include "platform/resources.h"
#include "plotcore/model/compile_equation.h"
#include "plot3d/level_win.h"
#include "plot3d/observer_dialog.h"
#include "plot3d/slice_dialog.h"
#include "plot3d/space_geometry.h"
#include "shell/text_helpers.h"

namespace kv {

TPlotRWin::TPlotRWin(plat::Window* parent, const std::string& title) : TPlotQWin(parent, title) {
  ColourCaptionIds[4] = kStr3Tangent;
  ColourCaptionIds[5] = kStr3Secant;
  ColourCaptionIds[9] = kStr3Frenet;
  ColourTargets[9] = 1;
  // The axes carry their names (116) and arrow heads (118) unless the user
  // turns them off.
  LabelsShown = 1;
  ArrowsShown = 1;
}

TPlotRWin::~TPlotRWin() = default;

const plat::CommandTable& TPlotRWin::Commands() const {
  using W = TPlotRWin;
  static const auto table = plat::CommandTable::Build<W>(
      &TPlotQWin::Commands(), {
                                  // Equation entry.
                                  {kCm3NewExplicit, &W::CmNewExplicit, &W::CeRoom},
                                  {kCm3NewCylindrical, &W::CmNewCylindrical, &W::CeRoom},
                                  {kCm3NewParametric, &W::CmNewParametric, &W::CeRoom},
                                  {kCm3NewCurve, &W::CmNewCurve, &W::CeRoom},
                                  {kCm3NewImplicit, &W::CmNewImplicit, &W::CeRoom},
                                  {kCm3NewTube, &W::CmNewTube, &W::CeRoom},
                                  {kCm3NewSegment, &W::CmNewSegment, &W::CeRoom},
                                  {kCm3NewCartesianPoint, &W::CmNewCartesianPoint, &W::CeRoom},
                                  {kCm3NewOde, &W::CmNewOde, &W::CeRoom},
                                  {kCm3NewRecursion, &W::CmNewRecursion, &W::CeRoom},
                                  {kCm3NewCylindricalPoint, &W::CmNewCylindricalPoint, &W::CeRoom},
                                  {kCm3NewSphericalPoint, &W::CmNewSphericalPoint, &W::CeRoom},
                                  {kCm3NewPlane, &W::CmNewPlane, &W::CeRoom},
                                  {kCm3NewSpherical, &W::CmNewSpherical, &W::CeRoom},
                                  {kCm3Meridian, &W::CmMeridian},
                                  // The view.
                                  {kCm3FastDrawing, &W::CmFastDrawing, &W::CeSurfaces},
                                  {kCm3SlowDrawing, &W::CmSlowDrawing, &W::CeSurfaces},
                                  {kCm3FitWindow, &W::CmFitWindow},
                                  {kCm3ObserverDialog, &W::CmObserverDialog},
                                  {kCm3Isometric, &W::CmIsometric},
                                  {kCm3RotateRight, &W::CmRotateRight},
                                  {kCm3RotateLeft, &W::CmRotateLeft},
                                  {kCm3RotateUp, &W::CmRotateUp},
                                  {kCm3RotateDown, &W::CmRotateDown},
                                  {kCm3ObserverIn, &W::CmObserverIn},
                                  {kCm3ObserverOut, &W::CmObserverOut},
                                  {kCm3ObserverFarOut, &W::CmObserverFarOut},
                                  {kCm3StepAngle, &W::CmStepAngle},
                                  {kCm3RotateAboutOrigin, &W::CmRotateAboutOrigin},
                                  {kCm3PhotoCount, &W::CmPhotoCount},
                                  {kCm3HideEdges, &W::CmHideEdges},
                                  {kCm3AtParameters, &W::CmMeshAtParameters},
                                  {kCm3BoxVisible, &W::CmBoxVisible},
                                  {kCm3BoxCoordinates, &W::CmBoxCoordinates},
                                  {kCm3DashedEdges, &W::CmDashedEdges},
                                  {kCm3Cubic, &W::CmCubic},
                                  {kCm3BoxPenDisplay, &W::CmBoxPenDisplay},
                                  {kCm3BoxPenPrint, &W::CmBoxPenPrint},
                                  {kCm3AxisLabelFlag, &W::CmAxisLabelFlag},
                                  {kCm3ShowAxisLabels, &W::CmShowAxisLabels},
                                  {kCm3AxisLength, &W::CmAxisLength},
                                  // The tools' commands; their dialogs come with the tools.
                                  {kCm3Trajectories, nullptr, &W::CeTrajectories},
                                  {kCm3OdeCurve, &W::CmOdeCurve, &W::CeOdeCurve},
                                  {kCm3Sequences, &W::CmSequences, &W::CeSequences},
                                  {kCm3FluxIntegral, &W::CmFluxIntegral, &W::CeFluxIntegral},
                                  {kCm3IntersectionPoints, &W::CmIntersections, &W::CeIntersectionPoints},
                                  {kCm3Stereogram, &W::CmStereogram, &W::CeStereogram},
                                  {kCm3Integrate, &W::CmIntegrate, &W::CeIntegrate},
                                  {kCm3SurfaceArea, &W::CmSurfaceArea, &W::CeSurfaceArea},
                                  {kCm3Slices, &W::CmSlices, &W::CeSlices},
                                  {kCm3IntersectionCurve, &W::CmIntersectionCurve, &W::CeIntersectionCurve},
                                  {kCm3GraphTrace, &W::CmGraphTrace, &W::CeGraphTrace},
                                  {kCm3Tour, &W::TourAroundZAxis, &W::CeTour},
                              });
  return table;
}

void TPlotRWin::SetupWindow() {
  TPlotQWin::SetupWindow();
  ObserverDlg = new TObsDlg(this, "SETOBS");
  if (ObserverDlg->Create()) {
    ObserverDlg->Hide();
  } else {
    delete ObserverDlg;
    ObserverDlg = nullptr;
  }
}

void TPlotRWin::Destroy() {
  if (IsDestroyed()) return;
  CloseStaleDialogs(true);
  DestroyTrajectoryDialogs();
  // The observer dialog goes with its owner window (the platform deletes
  // owned windows, but dialogs belong to whoever made them).
  delete ObserverDlg;
  ObserverDlg = nullptr;
  TPlotQWin::Destroy();
}

void TPlotRWin::EvCommandNotify(int code) {
  if (code == kListFontSlot) {
    // The inventory font changed: the inventory list and the open dialogs
    // fill their lists again, in it.
    InventoryChanged(false);
    RefreshCompanionDialogs();
    BufferValid[0] = 0;
    Invalidate(false);
    return;
  }
  TPlotQWin::EvCommandNotify(code);
}

void TPlotRWin::ChooseColourForSlot(int slot) {
  // "&Frenet ..." edits the Frenet colour, not the slot of its command.
  if (slot == 6 && !UseSlot6Once) slot = 9;
  UseSlot6Once = 0;
  TPlotQWin::ChooseColourForSlot(slot);
}

void TPlotRWin::UpdateMenuChecks(bool drawMenuBar) {
  TPlotQWin::UpdateMenuChecks(drawMenuBar);
  if (!IsCreated()) return;
  const std::pair<int, bool> checks[] = {
      {kCm3Cubic, View3D.Cubic != 0},           {kCm3BoxVisible, View3D.BoxVisible != 0},
      {kCm3BoxCoordinates, View3D.BoxCoordinates != 0}, {kCm3HideEdges, View3D.HideEdges != 0},
      {kCm3AtParameters, View3D.AtParameters != 0}, {kCm3DashedEdges, View3D.DashedEdges != 0},
      {kCm3ShowAxisLabels, LabelsShown != 0},   {kCm3AxisLabelFlag, ArrowsShown != 0},
      {kCm3RotateAboutOrigin, RotateAboutOrigin == 0}, {kCm3AxisLength, View3D.AxisLengthSet != 0},
  };
  for (const auto& [id, on] : checks)
    if (HasMenuItem(id)) CheckMenu(id, on);
}

// ---- settings ----

namespace {

// Slot k of the 63 words (or long doubles, bytes) of a settings file: block
// k / 21, entry k mod 21.
std::int32_t& IntSlot(TSettingsBlocks& b, int k) {
  return b.Ints[static_cast<std::size_t>(k / 21)][static_cast<std::size_t>(k % 21)];
}
long double& RealSlot(TSettingsBlocks& b, int k) {
  return b.Reals[static_cast<std::size_t>(k / 21)][static_cast<std::size_t>(k % 21)];
}
std::int16_t I16(std::int32_t v) { return static_cast<std::int16_t>(std::clamp<std::int32_t>(v, -32768, 32767)); }
std::uint8_t Flag(std::int32_t v) { return v != 0 ? 1 : 0; }

}  // namespace

void TPlotRWin::StoreSettings() {
  TSettingsBlocks& b = SettingsBlocks;
  IntSlot(b, 19) = FileTypeCode;
  IntSlot(b, 20) = PackTimeWindowValues([](const TSideWin& w) { return w.ColourSlots[0]; });
  IntSlot(b, 21) = MouseMode == kCmMouseTrajectories ? static_cast<int>(kCmMouseCoordinates) : MouseMode;
  IntSlot(b, 22) = LabelsShown;
  IntSlot(b, 23) = View3D.PointSize;
  IntSlot(b, 24) = View3D.PhotoCount;
  IntSlot(b, 25) = StereogramSettings[0];
  IntSlot(b, 26) = StereogramSettings[1];
  IntSlot(b, 30) = StereogramSettings[2];
  IntSlot(b, 27) = Decimals;
  IntSlot(b, 38) = FieldWidth;
  IntSlot(b, 28) = LongHyphen;
  IntSlot(b, 29) = LongHyphenChar;
  for (int k : {31, 32, 34, 36, 37, 39, 40, 42, 43}) IntSlot(b, k) = 0;
  IntSlot(b, 33) = trajectoryDensity;
  IntSlot(b, 35) = View3D.SegmentPieces;
  IntSlot(b, 41) = View3D.FarHiddenMode;
  IntSlot(b, 44) = PiChar;
  IntSlot(b, 45) = frameDelay;
  IntSlot(b, 46) = OpaqueLabels;
  IntSlot(b, 47) = FilledArrowHeads;
  IntSlot(b, 48) = WithBackground;
  RealSlot(b, 21) = View3D.Observer.x;
  RealSlot(b, 22) = View3D.Observer.y;
  RealSlot(b, 23) = View3D.Observer.z;
  RealSlot(b, 24) = animationStepFactor;
  RealSlot(b, 25) = View3D.RotationStep;
  RealSlot(b, 26) = StereogramDepth;
  RealSlot(b, 29) = smallSteps[0];
  RealSlot(b, 30) = mediumSteps[0];
}

void TPlotRWin::ApplySettings() {
  if (!SettingsLoaded) return;
  TSettingsBlocks& b = SettingsBlocks;
  MouseMode = I16(IntSlot(b, 21));
  if (MouseMode < kCmMouseText || MouseMode > kCmMouseCoordinates) MouseMode = kCmMouseText;
  LabelsShown = Flag(IntSlot(b, 22));
  View3D.PointSize = I16(IntSlot(b, 23));
  View3D.PhotoCount = I16(IntSlot(b, 24));
  // Settings outside the dialog's bounds keep their defaults.
  const std::int32_t stereogram[3] = {IntSlot(b, 25), IntSlot(b, 26), IntSlot(b, 30)};
  for (std::size_t k = 0; k < 3; ++k)
    if (stereogram[k] >= 1 && stereogram[k] <= 99) StereogramSettings[k] = stereogram[k];
  Decimals = I16(IntSlot(b, 27));
  FieldWidth = I16(IntSlot(b, 38));
  LongHyphen = Flag(IntSlot(b, 28));
  LongHyphenChar = I16(IntSlot(b, 29));
  trajectoryDensity = IntSlot(b, 33) < 1 ? 400 : IntSlot(b, 33);
  View3D.SegmentPieces = std::max<std::int16_t>(1, I16(IntSlot(b, 35)));
  View3D.SegmentPieceLength = 1.0L / View3D.SegmentPieces;
  View3D.FarHiddenMode = Flag(IntSlot(b, 41));
  // A character the pi command would refuse falls back to its default.
  PiChar = I16(IntSlot(b, 44) < 32 ? 112 : IntSlot(b, 44));
  frameDelay = IntSlot(b, 45);
  OpaqueLabels = Flag(IntSlot(b, 46));
  FilledArrowHeads = Flag(IntSlot(b, 47));
  WithBackground = Flag(IntSlot(b, 48));
  View3D.Observer = {RealSlot(b, 21), RealSlot(b, 22), RealSlot(b, 23)};
  StoreObserverInBox(View3D);
  animationStepFactor = RealSlot(b, 24);
  View3D.RotationStep = RealSlot(b, 25);
  if (RealSlot(b, 26) >= 1e-13L && std::isfinite(RealSlot(b, 26))) StereogramDepth = RealSlot(b, 26);
  long double a = RealSlot(b, 29);
  long double m = RealSlot(b, 30);
  // The slider-step dialog stores the steps of a page: 1 up to all of them.
  if (!(a >= 2) || a > 2147483647.0L || !(m >= 1) || m > a) {
    a = 200;
    m = 5;
  }
  smallSteps[0] = RoundToInt(a);
  mediumSteps[0] = RoundToInt(m);
  ComputeViewFrame();
}

// ---- the "&Neu" state ----

void TPlotRWin::ResetDrawing() {
  ClearInventory();
  FreePicture();
  FreeTextList();
  FreeUserFunctions();
  AxesShown = 0;
  View3D.OdeIndex = -1;
  View3D.SequenceIndex = -1;
  firstOdeEquation = -1;
  firstSequenceEquation = -1;
  CloseStaleDialogs(true);
  SetView(0, 0, 5, 5, ViewMode);
  UpdateView();
  Modified = 0;
  View3D.Cubic = 0;
  ClearProtection();
  SetVariable('E', std::exp(1.0L));
  View3D.ObserverSet = 0;
  drawn = 0;
  PlotBufferValid = 0;
}

// ---- inventory notifications ----

void TPlotRWin::EquationsChanged(bool selectLast) {
  InventoryChanged(selectLast);
  // A point a tool adds of its own changes none of the entries these look
  // for or list.
  if (!toolPointFlag) FindTrajectoryEquations();
  if (((ProtectionMask & 2) == 0 || Unlocked) && !inventoryHidden) ShowInventory();
  if (!toolPointFlag) RefreshCompanionDialogs();
}

void TPlotRWin::FindTrajectoryEquations() {
  View3D.OdeIndex = static_cast<std::int16_t>(FindEquationOfKinds({kKindOde3D}));
  View3D.SequenceIndex = static_cast<std::int16_t>(FindEquationOfKinds({kKindSequence3D}));
}

bool TPlotRWin::IsEquationDrawable(int i) {
  if (!IsValidIndex(i)) return false;
  const TEquation& e = Equation(i);
  if (e.kind == kKindPointSequence) return true;
  return e.kind >= 301 && e.kind <= 398 && e.subValue >= 0;
}

void TPlotRWin::CloseStaleDialogs(bool all) {
  TPlotQWin::CloseStaleDialogs(all);
  CloseCompanions(all);
  CloseRiemannDialogs(all);
  HideStaleTrajectoryDialogs(all);
  if (all || !Present({kKindSpaceCurve})) CloseGraphTraceDialog();
}

bool TPlotRWin::ResizeInventory(int newCapacity, bool copy) {
  // The companion windows, once they exist, share the new records.
  return TPlotQWin::ResizeInventory(newCapacity, copy);
}

void TPlotRWin::SyncSliderDialogs() {
  TPlotQWin::SyncSliderDialogs();
  if (SliceDlg) SliceDlg->Refresh();
  if (LevelWin) LevelWin->SyncDirectionSlider(smallSteps[0], mediumSteps[0]);
}

// Painted surfaces come from their sampled grid, which keeps the values of
// the parameters at the time it was sampled.
void TPlotRWin::ResampleSurfacesUsing(int parameter) {
  if (parameter < 0 || parameter >= tok::kVariableCount) return;
  for (int i = 0; i <= equationCount; ++i) {
    const TEquation& e = Equation(i);
    if (!IsSurfaceKind(e, true)) continue;
    std::array<std::uint8_t, tok::kVariableCount> used{};
    MarkEquationLetters(e, used);
    if (used[static_cast<std::size_t>(parameter)]) UpdateItemExtent(i);
  }
}

void TPlotRWin::RedrawEquation(int parameter) {
  ResampleSurfacesUsing(parameter);
  TPlotQWin::RedrawEquation(parameter);
}

void TPlotRWin::AnimationFrame(int index) {
  ResampleSurfacesUsing(index);
  TPlotQWin::AnimationFrame(index);
}

void TPlotRWin::EquationEdited(int i, bool updateBox) {
  SetCaption(1, 0, 0);
  if (updateBox) UpdateBox(i);
  if (IsCreated()) {
    SetFocus();
    plat::ClientDC dc(*this);
    PlotBufferValid = 0;
    PaintBuffered(dc);
  }
  Modified = 1;
  UpdateCaption(false);
}

void TPlotRWin::RepaintNow(bool fit) {
  if (fit) FitWindowToBox();
  PlotBufferValid = 0;
  if (!IsCreated()) return;
  plat::ClientDC dc(*this);
  PaintBuffered(dc);
}

// ---- enablers ----

void TPlotRWin::CeTrajectories(plat::CommandEnabler& ce) {
  ce.Enable(ActiveTrajectoryEquation() >= 0);
  ce.SetCheck(MouseMode == kCmMouseTrajectories);
}

void TPlotRWin::CeSlices(plat::CommandEnabler& ce) {
  ce.Enable(Present({kKindSurface, kKindCylinderSurface, kKindParametricSurface, kKindTube, kKindRevolution,
                     kKindPlane, kKindSphericalSurface}));
}

void TPlotRWin::CeIntersectionCurve(plat::CommandEnabler& ce) {
  const int parametric = CountEquationsOfKind(kKindParametricSurface);
  const int implicit = CountEquationsOfKind(kKindImplicitSurface);
  const int n = CountEquationsOfKind(kKindSurface) + parametric + implicit + CountEquationsOfKind(kKindPlane);
  ce.Enable(n >= 2 && n > parametric && n > implicit);
}

// ---- painting ----

void TPlotRWin::UpdateTextMetrics(plat::DC& dc) {
  const plat::LogFont old = dc.SelectFont(FontSlots[kAxisLabelFontSlot]);
  View3D.LabelOffset = UnitsPerPixelY * dc.GetTextExtent("A").cy * 0.5L;
  dc.SelectFont(old);
}

void TPlotRWin::DrawPlotLayer(plat::DC& dc) {
  // The box frame and the 3D axes are drawn with the surfaces, not the 2D
  // axes of the graphics layer.
  UpdateTextMetrics(dc);
  PaintBackground(dc);
  DrawEquations(dc);
  SettingsChanged = 0;
}

}  // namespace kv
