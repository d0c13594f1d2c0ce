// The view commands of the 3D window: where the observer stands and how it
// turns, the box and axes toggles and their pens, the axis lengths, how
// surfaces are drawn.  Each changes window fields and asks for one of three
// repaints: the whole plot anew, only the overlays over the kept plot, or
// at once after a camera move.
#include <array>
#include <cmath>

#include "platform/resources.h"
#include "plot3d/observer_dialog.h"
#include "plot3d/model/tour.h"
#include "plot3d/plot_r_win.h"
#include "plot3d/space_geometry.h"
#include "core/constants.h"
#include "core/number_text.h"
#include "shell/generic_dialogs.h"

namespace kv {

namespace {

// String ids of the one-value dialogs.
constexpr int kStrPhotoCount = 195;   // "Anzahl Fotos"
constexpr int kStrTour = 196;         // "Fahrt um die z-Achse"
constexpr int kStrStepAngle = 197;    // "Beobachtungswinkel (Grad)"
constexpr int kStrInput = 5;          // "Eingabe"
constexpr int kStrPrintPen = 15;      // "Stiftbreite für Ausdruck"
constexpr int kStrDisplayPen = 16;    // "Stiftbreite für Anzeige"
// The buffer of the step angle and the photo count: 20 characters.
constexpr int kShortInput = 21;

void Toggle(std::uint8_t& flag) { flag = flag ? 0 : 1; }

}  // namespace

// ---- repaints ----

void TPlotRWin::RedrawPlot() {
  PlotBufferValid = 0;
  InvalidatePlot();
}

void TPlotRWin::RedrawOverlays() {
  BufferValid[0] = 0;
  if (IsCreated()) Invalidate(false);
}

void TPlotRWin::CameraMoved() {
  View3D.ObserverSet = 1;
  SetObserver(View3D.Observer);
  Modified = 1;
  RepaintNow(false);
}

// ---- drawing of the surfaces ----

void TPlotRWin::SetDrawingMode(std::uint8_t mesh) {
  for (int i = 0; i <= equationCount; ++i)
    if (IsSurfaceKind(Equation(i), true)) Equation(i).polarInput = mesh;
  RedrawPlot();
}

void TPlotRWin::CmHideEdges() {
  Toggle(View3D.HideEdges);
  UpdateMenuChecks(false);
  // The surfaces' edges change with or without axes and box; the flag is
  // worth saving only when there are axes or a box to hide.
  if (AxesShown || View3D.BoxVisible) Modified = 1;
  RedrawPlot();
}

void TPlotRWin::CmMeshAtParameters() {
  Toggle(View3D.AtParameters);
  UpdateMenuChecks(false);
  if (Present({kKindParametricSurface, kKindTube, kKindRevolution, kKindSphericalSurface})) RedrawPlot();
}

// ---- the observer ----

void TPlotRWin::CmFitWindow() {
  ViewHistory(0);
  FitBoxToGraphs();
  FitWindowToBox();
  RedrawPlot();
}

void TPlotRWin::CmObserverDialog() {
  if (ObserverDlg) ObserverDlg->Open();
}

void TPlotRWin::CmIsometric() {
  View3D.ObserverSet = 1;
  SetObserver(IsometricObserver(View3D));
  FitWindowToBox();
  RedrawPlot();
}

void TPlotRWin::MoveObserverIn() {
  if (MoveObserverHalfwayIn(View3D)) CameraMoved();
}

void TPlotRWin::MoveObserverOut() {
  MoveObserverTwiceOut(View3D);
  CameraMoved();
}

void TPlotRWin::MoveObserverFarOut() {
  kv::MoveObserverFarOut(View3D);
  CameraMoved();
}

void TPlotRWin::CmObserverIn() { MoveObserverIn(); }
void TPlotRWin::CmObserverOut() { MoveObserverOut(); }
void TPlotRWin::CmObserverFarOut() { MoveObserverFarOut(); }

// ---- turning ----

void TPlotRWin::CmStepAngle() {
  std::string text;
  FormatWindowNumber(View3D.RotationStep * (1 / Pi) * 180, text);
  TInpDlg dialog(this, plat::res::String(kStrStepAngle), plat::res::String(kStrInput), text, kShortInput);
  if (dialog.Execute() != plat::IDOK) return;
  long double degrees = 0;
  if (TextToValue(text, degrees) != 0 || !std::isfinite(degrees)) {
    ShowMessageById(1);  // "unverständlich"
    return;
  }
  View3D.RotationStep = Pi * degrees * (1.0L / 180);
}

void TPlotRWin::RotateAboutZ(bool right) {
  RotateObserver(View3D, right ? View3D.RotationStep : -View3D.RotationStep, RotateAboutOrigin != 0);
  CameraMoved();
}

void TPlotRWin::Tilt(bool up) {
  if (TiltObserver(View3D, up, RotateAboutOrigin != 0)) CameraMoved();
}

void TPlotRWin::CmRotateAboutOrigin() {
  Toggle(RotateAboutOrigin);
  Modified = 1;
  UpdateMenuChecks(false);
}

void TPlotRWin::CmPhotoCount() {
  // The count the next tour takes (a new window has none stored yet).
  std::string text = std::to_string(RequestedTourPhotos(View3D.PhotoCount));
  TInpDlg dialog(this, plat::res::String(kStrPhotoCount), plat::res::String(kStrTour), text, kShortInput);
  if (dialog.Execute() != plat::IDOK) return;
  const int count = ParseInt(text);
  if (count < 2 || count > 200) {
    ShowMessageById(17);  // "jenseits der Grenzen"
    return;
  }
  View3D.PhotoCount = static_cast<std::int16_t>(count);
}

// ---- the box ----

void TPlotRWin::CmBoxVisible() {
  Toggle(View3D.BoxVisible);
  UpdateMenuChecks(false);
  RedrawPlot();
}

void TPlotRWin::CmBoxCoordinates() {
  Toggle(View3D.BoxCoordinates);
  UpdateMenuChecks(false);
  RedrawOverlays();
}

void TPlotRWin::CmDashedEdges() {
  Toggle(View3D.DashedEdges);
  UpdateMenuChecks(false);
  RedrawPlot();
}

void TPlotRWin::CmCubic() {
  Toggle(View3D.Cubic);
  Modified = 1;
  FitBoxToGraphs();
  SetupViewBoxScale(View3D);
  StoreObserverInBox(View3D);
  FitWindowToBox();
  UpdateMenuChecks(false);
  RedrawPlot();
}

void TPlotRWin::CmBoxPenDisplay() {
  if (!InputThickness(View3D.BoxPenVisible, kStrDisplayPen)) return;
  Modified = 1;
  if (View3D.BoxVisible) RedrawPlot();
}

void TPlotRWin::CmBoxPenPrint() {
  if (InputThickness(View3D.BoxPenHidden, kStrPrintPen)) Modified = 1;
  if (View3D.BoxPenHidden < 1) View3D.BoxPenHidden = 1;
}

// ---- the axes ----

void TPlotRWin::ToggleAxes() {
  if (equationCount < 0) return;
  Toggle(AxesShown);
  UpdateMenuChecks(false);
  // Points have their extent computed afresh: the point +-0.25.
  int points = 0;
  for (int i = 0; i <= equationCount; ++i) {
    TEquation& e = Equation(i);
    if (e.kind != kKindPoint3D) continue;
    const std::uint8_t automatic = e.automaticExtent;
    e.automaticExtent = 1;
    ComputeItemExtent(i);
    e.automaticExtent = automatic;
    ++points;
  }
  if (points > 0) {
    FitBoxToGraphs();
    FitWindowToBox();
    RedrawPlot();
  } else if (AxesShown) {
    DrawEquationBuffered(-1);
  } else {
    RedrawPlot();
  }
}

void TPlotRWin::CmAxisLabelFlag() {
  Toggle(ArrowsShown);
  UpdateMenuChecks(false);
  if (AxesShown) RedrawPlot();
}

void TPlotRWin::CmShowAxisLabels() {
  Toggle(LabelsShown);
  UpdateMenuChecks(false);
  if (LabelsShown) {
    DrawEquationBuffered(-1);
  } else {
    RedrawPlot();
  }
}

void TPlotRWin::CmAxisLength() {
  TPoint3D lo = View3D.AxisStart;
  TPoint3D hi = View3D.AxisEnd;
  std::array<std::string, 6> texts;
  const long double shown[6] = {lo.x, hi.x, lo.y, hi.y, lo.z, hi.z};
  for (std::size_t k = 0; k < texts.size(); ++k) FormatWindowNumber(shown[k], texts[k]);
  TGenDlg dialog(this, "AXLEN", 20, &texts[0], &texts[1], &texts[2], &texts[3], &texts[4], &texts[5]);
  // "Festlegen" ends with 1, "Aufheben" (and closing) with 2.
  const bool fixed = dialog.Execute() == plat::IDOK;
  // Both buttons convert the dialog's texts: "Festlegen" those typed,
  // "Aufheben" those shown, which a cancelled dialog leaves as they were.
  int code = TextToValue(texts[0], lo.x);
  if (code == 0) code = TextToValue(texts[2], lo.y);
  if (code == 0) code = TextToValue(texts[4], lo.z);
  if (code == 0) code = TextToValue(texts[1], hi.x);
  if (code == 0 && hi.x < lo.x + 1e-13L) code = 6;
  if (code == 0) code = TextToValue(texts[3], hi.y);
  if (code == 0 && hi.y < lo.y + 1e-13L) code = 6;
  if (code == 0) code = TextToValue(texts[5], hi.z);
  if (code == 0 && hi.z < lo.z + 1e-13L) code = 6;
  if (code != 0 && fixed) {
    ShowMessageById(code);  // 6: "widersprüchliche Daten"
    return;
  }
  // "Aufheben" stores the shown ends and lets the box decide the lengths
  // again.
  if (Distance3D(hi, View3D.AxisEnd) < 1e-13L && Distance3D(lo, View3D.AxisStart) < 1e-13L &&
      fixed == (View3D.AxisLengthSet != 0))
    return;
  View3D.AxisStart = lo;
  View3D.AxisEnd = hi;
  View3D.AxisLengthSet = fixed ? 1 : 0;
  UpdateMenuChecks(false);
  RedrawPlot();
}

}  // namespace kv
