// TZORWing: construction, command table, the glue between the window base
// and the view mapping, pens and the view frame.
#include "graphics/zor_wing.h"

#include <vector>

#include "shell/text_helpers.h"

namespace kv {

TZORWing::TZORWing(plat::Window* parent, const std::string& title) : TZORWin(parent, title) {}

TZORWing::~TZORWing() = default;

const plat::CommandTable& TZORWing::Commands() const {
  static const auto table = plat::CommandTable::Build<TZORWing>(
      &TZORWin::Commands(), {
                                {kCmPiCharacter, &TZORWing::CmPiCharacter},
                                {kCmAxisPrintWidth, &TZORWing::CmAxisPrintWidth},
                                {kCmAxisDisplayWidth, &TZORWing::CmAxisDisplayWidth},
                                {kCmAxisLabels, &TZORWing::CmAxisLabels},
                                {kCmExportSvg, &TZORWing::CmExportSvg, &TZORWing::CeExportSvgForward},
                                {kCmExportEps, &TZORWing::CmExportEps, &TZORWing::CeExportEpsForward},
                                {kCmExportPictex, &TZORWing::CmExportPictex, &TZORWing::CeExportPictexForward},
                                {kCmFilledArrowHeads, &TZORWing::CmFilledArrowHeads},
                                {kCmOpaqueLabels, &TZORWing::CmToggleOpaqueLabels},
                                {kCmZoomFactor, &TZORWing::CmZoomFactor},
                                {kCmGridPrintWidth, &TZORWing::CmGridPrintWidth},
                                {kCmGridDisplayWidth, &TZORWing::CmGridDisplayWidth},
                                {kCmMinusSign, &TZORWing::CmMinusSign},
                                {kCmToggleAxes, &TZORWing::CmToggleAxes},
                                {kCmPanLeft, &TZORWing::CmPanLeft},
                                {kCmPanRight, &TZORWing::CmPanRight},
                                {kCmPanDown, &TZORWing::CmPanDown},
                                {kCmPanUp, &TZORWing::CmPanUp},
                                {kCmPanShare, &TZORWing::CmPanShare},
                            });
  return table;
}

void TZORWing::SetupWindow() {
  TZORWin::SetupWindow();
  UpdateView();
}

void TZORWing::EvSize(unsigned sizeType, plat::Size clientSize) {
  TZORWin::EvSize(sizeType, clientSize);
  UpdateView();
}

void TZORWing::Destroy() {
  ViewHistory(0);
  TZORWin::Destroy();
}

void TZORWing::UpdateMenuChecks(bool drawMenuBar) {
  CheckMenu(kCmOpaqueLabels, OpaqueLabels != 0);
  CheckMenu(kCmFilledArrowHeads, FilledArrowHeads != 0);
  CheckMenu(kCmToggleAxes, AxesShown != 0);
  CheckMenu(kCmMinusSign, LongHyphen != 0);
  TZORWin::UpdateMenuChecks(drawMenuBar);
}

// ---- mapping glue ----

void TZORWing::UpdateView() {
  UpdateClientSize();
  SetDrawingArea(ClientWidth, ClientHeight, OriginX, OriginY);
  ComputeView();
  UpdateTickMetrics();
}

void TZORWing::UpdateScale() {
  SetDrawingArea(ClientWidth, ClientHeight, OriginX, OriginY);
  TViewMapping::UpdateScale();
}

void TZORWing::BuildGreyTables() {
  TZORWin::BuildGreyTables();
  UpdateScale();
  ClientRegion = CreateClientRegion();
}

long double TZORWing::GetPrintWidth() {
  if (PrintWidth > 0) return PrintWidth;
  return PrintScale * 2 * HalfX;
}

void TZORWing::ViewHistory(int op) {
  if (op == 1) {
    PushView();
  } else if (op == -1) {
    PopView();
  } else if (op == 0) {
    ClearViewHistory();
  }
  UpdateMenuChecks(false);
}

void TZORWing::RedrawAfterViewChange(bool setModified) {
  PlotBufferValid = 0;
  Invalidate(false);
  if (setModified) Modified = 1;
}

// ---- pens ----

TPenRules TZORWing::PenRules() const {
  TPenRules r;
  r.printing = Printing != 0;
  r.colourPrinter = ColourPrinter != 0;
  r.frameWidth = FrameWidth;
  r.scaleLineWidths = ScaleLineWidths != 0;
  r.lineWidthFactor = LineWidthFactor;
  return r;
}

plat::Pen TZORWing::CreateStylePen(const TPenSpec& spec) const {
  return StylePen(spec, PenRules(), GetColourAvoidingBackground(spec.colour));
}

plat::Pen TZORWing::CreateColourPen(int colourIndex, int width, int style) const {
  TPenSpec spec;
  SetTriple16(spec, static_cast<std::uint16_t>(colourIndex), static_cast<std::uint16_t>(width),
              static_cast<std::uint16_t>(style));
  return CreateStylePen(spec);
}

plat::Pen TZORWing::CreateRgbPen(plat::Colour colour, int width, int style) const {
  return plat::Pen{style, ScaledPenWidth(width, PenRules()), colour};
}

plat::Colour TZORWing::DrawingColourOf(int colourIndex) const {
  if (Printing && !ColourPrinter) return GetColour(0);
  return GetColourAvoidingBackground(colourIndex);
}

// ---- the view frame ----

void TZORWing::DrawFrame(plat::DC& dc) {
  if (PrintDrawFrame) {
    const long double ux = UnitsPerPixelX;
    const long double uy = UnitsPerPixelY;
    const TPoint2D points[5] = {{World.xmin - ux, World.ymin - uy},
                                {World.xmax + ux, World.ymin - uy},
                                {World.xmax + ux, World.ymax + uy},
                                {World.xmin - ux, World.ymax + uy},
                                {World.xmin - ux, World.ymin - uy}};
    const plat::Colour black = plat::Rgb(0, 0, 0);
    if (TExportSink* sink = ActiveSink()) {
      if (sink->Format() == TExportFormat::Svg) {
        sink->Polygon(points, 4, true, black, FrameWidth + 1, black);
      } else {
        sink->Polyline(points, 4, {black, FrameWidth + 1, 0});
      }
    }
  }
  TZORWin::DrawFrame(dc);
}

// ---- small operations ----

std::int32_t TZORWing::TextToNumber(const std::string& text, long double& value) {
  ParseLongDouble(value, text);
  return 0;
}

void TZORWing::EvCommandNotify(int) {
  InvalidateBackBuffer(PaintBufferIndex);
  if (IsCreated()) Invalidate(false);
}

void TZORWing::ToggleAxes() {
  AxesShown = AxesShown ? 0 : 1;
  UpdateMenuChecks(false);
  InvalidateBackBuffer(2);
  Invalidate(false);
}

bool TZORWing::SetPlaneFromPoints(const TPoint3D& p1, const TPoint3D& p2, const TPoint3D& p3) {
  TPoint3D n;
  if (!UnitNormal3D(p1, p2, p3, n, true)) return false;
  PlaneA = n.x;
  PlaneB = n.y;
  PlaneC = n.z;
  PlaneD = Dot3D(n, p1);
  return true;
}

}  // namespace kv
