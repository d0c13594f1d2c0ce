#include "plotcore/plot_win.h"

#include <cmath>

#include "platform/app.h"
#include "platform/bitmap.h"
#include "platform/testing.h"
#include "shell/generic_dialogs.h"

namespace kv {

TPlotWin::TPlotWin(plat::Window* parent, const std::string& title) : TFuncWin(parent, title) {
  ViewTemplate = "VIEWCOR";
  HasBindingList = 1;  // labels and pictures can follow the points
  EnsureInventoryArrays();
  SetupViewBoxScale(View3D);
  ComputeViewFrame(View3D);
}

TPlotWin::~TPlotWin() = default;

const plat::CommandTable& TPlotWin::Commands() const {
  static const auto table = plat::CommandTable::Build<TPlotWin>(
      &TFuncWin::Commands(), {
                                 {kCmMouseFirst, kCmMouseLast, &TPlotWin::CmMouseMode, &TPlotWin::CeMouseMode},
                                 {kCmInventorySize, &TPlotWin::CmInventorySize},
                             });
  return table;
}

void TPlotWin::SetupWindow() {
  TFuncWin::SetupWindow();
  Engine().SetNewDrawingDefaults();
}

// ---- mouse-mode and inventory commands ----

void TPlotWin::CmMouseMode(int id) { MouseMode = static_cast<std::int16_t>(id); }

void TPlotWin::CeMouseMode(plat::CommandEnabler& ce) { ce.SetCheck(ce.id == MouseMode); }

void TPlotWin::CmInventorySize() {
  std::int32_t value = equationCapacity + 1;
  const int lowest = equationCount + 1 > 1 ? equationCount + 1 : 1;
  const int code = AskWholeNumber("Inventarumfang", "Anzahl der Einträge", lowest, 1000, true, value);
  if (code == 12) return;
  if (code != 0) {
    ShowMessageById(code);
    return;
  }
  if (!ResizeInventory(value - 1, true)) ShowMessageById(3);
}

// ---- paint ----

void TPlotWin::Paint(plat::DC& dc, bool erase, const plat::Rect& rect) { PaintBuffered(dc); }

void TPlotWin::PaintBuffered(plat::DC& dc) {
  // The stop-key poll of a long drawing lets events through; a paint that
  // arrives meanwhile shows the last picture instead of drawing into the
  // buffers being drawn.
  if (painting_) {
    NoteRedrawDuringPaint();
    BlitBackBuffer(0, dc);
    return;
  }
  struct Guard {
    bool& flag;
    explicit Guard(bool& f) : flag(f) { flag = true; }
    ~Guard() { flag = false; }
  } guard(painting_);
  paintCommandDepth_ = plat::Window::CommandDepth();
  redrawAfterPaint_ = false;
  if (ClientSizeChanged()) UpdateView();
  auto fits = [this](const plat::Bitmap& b) {
    return !b.IsNull() && b.Width() == ClientWidth && b.Height() == ClientHeight;
  };
  const bool sizeDiffers = !fits(BackBuffers[0]) || !fits(BackBuffers[1]);
  if (sizeDiffers) CreateBackBuffers(1, dc);
  const bool plotStale = sizeDiffers || !BufferValid[1] || !PlotBufferValid || SettingsChanged || !drawn;
  const bool overlaysStale = plotStale || !BufferValid[0];
  if (plotStale) {
    plat::BitmapDC b1(BackBuffers[1]);
    b1.SetCaps(dc.Caps());
    DrawPlotLayer(b1);
    BufferValid[1] = 1;
    PlotBufferValid = 1;
  }
  if (overlaysStale) {
    BackBuffers[0] = BackBuffers[1];
    plat::BitmapDC b0(BackBuffers[0]);
    b0.SetCaps(dc.Caps());
    DrawPlot(b0);
    BufferValid[0] = 1;
  }
  BlitBackBuffer(0, dc);
  PaintFromBuffer(dc);
  drawn = 1;
  if (redrawAfterPaint_) {
    // What the command asked for: the picture drawn again, after this one.
    redrawAfterPaint_ = false;
    drawn = 0;
    PlotBufferValid = 0;
    BufferValid[0] = 0;
    BufferValid[1] = 0;
    Invalidate(false);
  }
}

void TPlotWin::NoteRedrawDuringPaint() {
  if (painting_ && plat::Window::CommandDepth() > paintCommandDepth_) redrawAfterPaint_ = true;
}

void TPlotWin::InvalidateBackBuffer(int index) {
  NoteRedrawDuringPaint();
  TFuncWin::InvalidateBackBuffer(index);
  if (index >= 0) PlotBufferValid = 0;
}

void TPlotWin::DrawPlotLayer(plat::DC& dc) {
  PaintBackground(dc);
  DrawFrame(dc);
  DrawPlaneAxes(dc);
  DrawEquations(dc);
}

void TPlotWin::InvalidatePlot() {
  NoteRedrawDuringPaint();
  drawn = 0;
  PlotBufferValid = 0;
  Invalidate(false);
}

void TPlotWin::RepaintNow(bool fit) {
  if (!IsCreated()) return;
  plat::ClientDC dc(*this);
  PaintBuffered(dc);
}

bool TPlotWin::StopKeyPressed() { return KeyPressed() == 'A'; }

int TPlotWin::KeyPressed() {
  if ((quietDrawing && !stopKeyWhileQuiet) || !IsCreated()) return 0;
  return plat::PollKey(*this);
}

int TPlotWin::DrawEquations(plat::DC& dc) {
  for (int i = 0; i <= equationCount; ++i) {
    const TEquation& e = Equation(i);
    if (!e.visible || !IsEquationDrawable(i)) continue;
    if (DrawEquation(dc, i) == 'A') return 'A';
  }
  return 0;
}

int TPlotWin::DrawEquation(plat::DC& dc, int i) {
  switch (Equation(i).kind) {
    case kKindExplicit:
    case kKindPolar:
    case kKindParametric:
      return DrawSampledCurve(dc, i);
    case kKindImplicit:
      return DrawImplicitCurve(dc, i);
    case kKindOde:
    case kKindOde3D:
      return DrawFamilyTrajectories(dc, i);
    case kKindSequence:
    case kKindSequence3D:
      return DrawFamilyItems(dc, i);
    default:
      return 0;
  }
}

void TPlotWin::DrawPlot(plat::DC& dc) { DrawRoughPolyline(dc); }

void TPlotWin::RedrawEquation(int parameter) {
  if (parameter < 0 || parameter >= tok::kVariableCount) return;
  if (usedLetters[static_cast<std::size_t>(parameter)]) InvalidatePlot();
}

void TPlotWin::ClearMouseMarks() {
  if (ClearMouseMarkList()) InvalidatePlot();
}

// ---- notifications ----

void TPlotWin::EvViewNotify(std::int32_t code) {
  if (code == 0) {
    SetBkgndColor(GetColour(ColourSlots[0]));
    InvalidatePlot();
  } else if (code == 1 || code == 3) {
    drawn = 0;
    PlotBufferValid = 0;
  }
}

void TPlotWin::UpdateView() {
  TFuncWin::UpdateView();
  if (!IsCreated()) return;
  plat::ClientDC dc(*this);
  dc.SelectFont(FontSlots[kAxisNumberFontSlot]);
  const int h = dc.GetTextMetrics().height;
  labelLineHeight = static_cast<std::int16_t>(h > 0 ? h : 16);
}

std::vector<std::string> TPlotWin::FormulaTextsInUse() const {
  std::vector<std::string> out;
  for (int i = 0; i <= equationCount; ++i)
    for (const std::string& s : Equation(i).formulaText)
      if (!s.empty()) out.push_back(s);
  return out;
}

void TPlotWin::UserFunctionsChanged() {
  CompileAllEquations();
  InvalidatePlot();
}

// ---- mouse ----

void TPlotWin::EvLButtonDown(unsigned keys, plat::Point p) {
  switch (MouseMode) {
    case kCmMouseBoxZoom:
      DragZoomBox(p);
      break;
    case kCmMouseCoordinates:
      TrackMouseCoordinates(p);
      break;
    case kCmMouseDraw:
      TrackMouseMarks(p);
      break;
    default:
      break;
  }
}

void TPlotWin::EvRButtonDown(unsigned keys, plat::Point p) {
  switch (MouseMode) {
    case kCmMouseBoxZoom:
      ZoomAtPoint(p, centreZoomFactor, false);
      break;
    case kCmMouseCoordinates:
      ZoomAtPoint(p, 1.0L, true);
      break;
    case kCmMouseDraw:
      EraseMouseMarks(p);
      break;
    default:
      break;
  }
}

void TPlotWin::EvLButtonDblClk(unsigned keys, plat::Point p) {
  if (MouseMode == kCmMouseDraw) EraseMouseMarks(p);
}

// ---- 3D view ----

bool TPlotWin::ProjectToPixel(const TPoint3D& p, plat::Point& pixel) const {
  return WorldToPixel(ProjectRotated(p), pixel);
}

TPoint2D TPlotWin::ProjectByViewMode(const TPoint3D& p) const {
  if (is3D) return ProjectRotated(p);
  return {p.x, p.y};
}

bool TPlotWin::ProjectIfVisible(const TPoint3D& p, TPoint2D& out) const {
  if (is3D && !InBox3D(View3D, p)) return false;
  out = ProjectByViewMode(p);
  return IsInView(out);
}

bool TPlotWin::IsPointHidden(TPoint3D p) {
  if (!is3D) return false;
  TPoint3D d{View3D.Observer.x - p.x, View3D.Observer.y - p.y, View3D.Observer.z - p.z};
  const long double nudge = View3D.BoxTolerance * (View3D.FarHiddenMode ? 10 : 1);
  if (ScaleToLength3D(d, nudge)) p = {p.x + d.x, p.y + d.y, p.z + d.z};
  for (int i = 0; i <= equationCount; ++i) {
    const TEquation& e = Equation(i);
    if (!e.visible || !IsSurfaceKind(e, false)) continue;
    if (e.penColour == static_cast<std::uint16_t>(ColourSlots[0])) continue;
    bool hidden = false;
    if (e.kind == kKindImplicitSurface || (e.kind == kKindRevolution && e.subKind == kKindImplicit)) {
      hidden = HiddenByImplicitSurface(i, p);
    } else if (e.kind == kKindSurface) {
      hidden = HiddenByExplicitSurface(i, p);
    } else if (e.kind == kKindCylinderSurface) {
      hidden = HiddenByCylinderSurface(i, p);
    } else if (e.kind == kKindPlane) {
      hidden = HiddenByPlane(i, p);
    } else {
      hidden = HiddenByParametricSurface(i, p);
    }
    if (hidden) return true;
  }
  return false;
}

}  // namespace kv
