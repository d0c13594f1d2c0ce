#include "plotcore/plot0_win.h"

#include <algorithm>
#include <cmath>

#include "plotcore/model/equation_labels.h"
#include "shell/generic_dialogs.h"

namespace kv {

TPlot0Win::TPlot0Win(plat::Window* parent, const std::string& title) : TPlotWin(parent, title) {}

TPlot0Win::~TPlot0Win() = default;

const plat::CommandTable& TPlot0Win::Commands() const {
  static const auto table = plat::CommandTable::Build<TPlot0Win>(
      &TPlotWin::Commands(), {
                                 {kCmDrawOpaque, kCmDrawXor, &TPlot0Win::CmDrawingMode},
                                 {kCmFillInsteadOfHatch, &TPlot0Win::CmFillInsteadOfHatch},
                                 {kCmTraceStepLimit, &TPlot0Win::CmTraceStepLimit},
                                 {kCmLoopClosing, &TPlot0Win::CmLoopClosing},
                                 {kCmCriticalAngle, &TPlot0Win::CmCriticalAngle},
                                 {kCmHiddenLines, &TPlot0Win::CmHiddenLines},
                                 {kCmFlatness, &TPlot0Win::CmFlatness},
                                 {kCmInfiniteSlope, &TPlot0Win::CmInfiniteSlope},
                                 {kCmPointSize, &TPlot0Win::CmPointSize},
                             });
  return table;
}

void TPlot0Win::UpdateMenuChecks(bool drawMenuBar) {
  TPlotWin::UpdateMenuChecks(drawMenuBar);
  if (!IsCreated()) return;
  for (int id = kCmDrawOpaque; id <= kCmDrawXor; ++id)
    if (HasMenuItem(id)) CheckMenu(id, id == drawingMode);
  for (int id = kCmMouseFirst; id <= kCmMouseLast; ++id)
    if (HasMenuItem(id)) CheckMenu(id, id == MouseMode);
  const std::pair<int, bool> toggles[] = {
      {kCmFillInsteadOfHatch, fillInsteadOfHatch != 0},
      {kCmCriticalAngle, criticalAngle != 0},
      {kCmInfiniteSlope, infiniteSlope != 0},
  };
  for (const auto& [id, on] : toggles)
    if (HasMenuItem(id)) CheckMenu(id, on);
  if (drawMenuBar) DrawMenuBar();
}

int TPlot0Win::DrawEquations(plat::DC& dc) {
  if (ShadeAll(dc) == 'A') return 'A';
  DotInequalities(dc);
  return TPlotWin::DrawEquations(dc);
}

void TPlot0Win::DrawPlot(plat::DC& dc) {
  DrawEquationLabels(dc);
  DrawPlacedObjects(dc);
  TPlotWin::DrawPlot(dc);
}

bool TPlot0Win::CopyBackBuffer(plat::DC& dc) {
  if (BackBuffers[0].IsNull() || !drawn) RepaintNow(false);
  if (BackBuffers[0].IsNull()) return false;
  dc.BitBlt(0, 0, BackBuffers[0].Width(), BackBuffers[0].Height(), BackBuffers[0], 0, 0);
  return true;
}

bool TPlot0Win::DrawIntoDC(plat::DC& dc) {
  MeasureCharE(dc);
  const int dpi = dc.GetDeviceCaps(plat::LOGPIXELSY);
  ScaleFontsForPrinter(true, dpi);
  const plat::Rect area{AreaOriginX(), AreaOriginY(), AreaOriginX() + AreaWidth() + 1,
                        AreaOriginY() + AreaHeight() + 1};
  dc.SaveDC();
  dc.SelectClipRect(area);
  const std::uint8_t quiet = quietDrawing;
  quietDrawing = 1;  // no stop key while the printer draws
  DrawFrame(dc);
  DrawPlaneAxes(dc);
  DrawEquations(dc);
  DrawPlot(dc);
  quietDrawing = quiet;
  dc.RestoreDC();
  ScaleFontsForPrinter(false, dpi);
  return true;
}

// ---- exports ----

void TPlot0Win::DrawWholePlot(plat::DC& dc) {
  const std::uint8_t quiet = quietDrawing;
  quietDrawing = 1;  // no stop key and no caption while a file records
  DrawFrame(dc);
  DrawEquations(dc);
  DrawPlot(dc);
  quietDrawing = quiet;
}

void TPlot0Win::ExportEps() {
  EpsCreator = "ZORkin 2D plotter";
  RunExport(TExportFormat::Eps, [this](plat::DC& dc) { DrawWholePlot(dc); });
}

void TPlot0Win::ExportSvg() {
  SvgCreator = "ZORkin 2D plotter";
  RunExport(TExportFormat::Svg, [this](plat::DC& dc) { DrawWholePlot(dc); });
}

void TPlot0Win::ExportPictex() {
  RunExport(TExportFormat::Pictex, [this](plat::DC& dc) { DrawWholePlot(dc); });
}

void TPlot0Win::RenderScaled(plat::DC& dc, int scale) {
  if (scale < 1) scale = 1;
  const std::int32_t width = ClientWidth;
  const std::int32_t height = ClientHeight;
  const std::uint8_t scaled = ScaleLineWidths;
  const std::int16_t factor = LineWidthFactor;
  const std::int32_t marker = MarkerHalfSize;
  ScaleLineWidths = 1;
  LineWidthFactor = static_cast<std::int16_t>(scale);
  ClientWidth = width * scale;
  ClientHeight = height * scale;
  BuildGreyTables();
  UpdateMarkerSize(dc);
  DrawWholePlot(dc);
  ClientWidth = width;
  ClientHeight = height;
  ScaleLineWidths = scaled;
  LineWidthFactor = factor;
  BuildGreyTables();
  MarkerHalfSize = marker;
}

// ---- lookups ----

int TPlot0Win::FindEquationOfKinds(std::initializer_list<int> kinds, bool visibleOnly) const {
  for (int i = 0; i <= equationCount; ++i) {
    const TEquation& e = Equation(i);
    if (e.subValue < 0 || (visibleOnly && !e.visible)) continue;
    for (int k : kinds)
      if (k != 0 && e.kind == k) return i;
  }
  return -1;
}

bool TPlot0Win::HasValueTable(int i) const {
  if (!IsValidIndex(i)) return false;
  const TEquation& e = Equation(i);
  switch (e.kind) {
    case kKindExplicit:
    case kKindPolar:
    case kKindParametric:
    case kKindPlanets:
    case kKindSurface:
    case kKindCylinderSurface:
    case kKindSpaceCurve:
    case kKindSegment3D:
      return true;
    case kKindOde:
    case kKindOdeDyDx:
    case kKindSequence:
    case kKindOde3D:
    case kKindSequence3D:
    case kKindIntersection:
      return !e.items.empty();
    default:
      return false;
  }
}

TPoint2D TPlot0Win::GetEquationPoint(int n) {
  if (IsValidIndex(n)) {
    TEquation& e = Equation(n);
    if (e.kind == kKindPoint || e.kind == kKindPoint3D) return {e.startValue(), e.rollRadius()};
  }
  return Centre;
}

std::string TPlot0Win::FormatVariableRoles(int roles) {
  std::string digits(6, '0');
  for (int k = 5; k >= 0; --k) {
    digits[static_cast<std::size_t>(k)] = static_cast<char>('0' + (roles & 3));
    roles >>= 2;
  }
  return digits;
}

int TPlot0Win::ParseVariableRoles(std::string_view text) {
  if (text.size() != 6) return -1;
  int code = 0;
  for (char c : text) {
    if (c < '0' || c > '3') return -1;
    code = code * 4 + (c - '0');
  }
  return code;
}

// ---- labels ----

int TPlot0Win::MeasureLineHeight(plat::DC& dc) {
  dc.SelectFont(FontSlots[TextFontSlot >= 0 && TextFontSlot < kFontSlotCount ? TextFontSlot : 0]);
  const int h = dc.GetTextMetrics().height;
  labelLineHeight = static_cast<std::int16_t>(h > 0 ? h : 16);
  return labelLineHeight;
}

void TPlot0Win::AddEquationLabel() {
  if (equationCount < 0) return;
  const int i = equationCount;
  TEquationLabel label;
  label.index = static_cast<std::int16_t>(i);
  label.text = DescribeEquation(i, 60);
  label.colour = static_cast<std::int16_t>(Equation(i).penColour);
  if (equationLabels.empty()) {
    // Inside the plotted rectangle, clear of the axis numbers of a window
    // that shows them beside it.
    const TSegment2D& plotted = UseAlternate ? Alternate : World;
    label.anchor = {plotted.xmin + 8 * UnitsPerPixelX, plotted.ymax - 4 * UnitsPerPixelY};
  } else {
    const TPoint2D& prev = equationLabels.back().anchor;
    label.anchor = {prev.x, prev.y - labelLineHeight * UnitsPerPixelY};
  }
  equationLabels.push_back(std::move(label));
  BufferValid[0] = 0;
  Invalidate(false);
}

void TPlot0Win::UpdateEquationLabel(int i) {
  for (TEquationLabel& l : equationLabels)
    if (l.index == i) l.text = DescribeEquation(i, 60);
  BufferValid[0] = 0;
  Invalidate(false);
}

std::vector<TPoint2D> TPlot0Win::EquationLabelPlaces(plat::DC& dc) {
  dc.SelectFont(FontSlots[TextFontSlot >= 0 && TextFontSlot < kFontSlotCount ? TextFontSlot : 0]);
  const int h = dc.GetTextMetrics().height;
  const TSegment2D& plotted = UseAlternate ? Alternate : World;
  return StackEquationLabels(equationLabels,
                             LabelStackingForLine(plotted, h > 0 ? h : 16, UnitsPerPixelX, UnitsPerPixelY));
}

void TPlot0Win::DrawEquationLabels(plat::DC& dc) {
  if (equationLabels.empty()) return;
  const std::vector<TPoint2D> places = EquationLabelPlaces(dc);
  dc.SetTextAlign(plat::TA_LEFT | plat::TA_TOP);
  dc.SetBkMode(plat::TRANSPARENT);
  TExportSink* sink = ActiveSink();
  // A TeX picture sets the labels in the document's font, whose lines the
  // drawing's scale does not know.
  std::vector<TPoint2D> filePlaces;
  if (sink && sink->TextLineHeight() > 0) {
    const TSegment2D& plotted = UseAlternate ? Alternate : World;
    filePlaces = StackEquationLabels(
        equationLabels,
        LabelStackingForLine(plotted, sink->TextLineHeight() / UnitsPerPixelY, UnitsPerPixelX, UnitsPerPixelY));
  }
  for (std::size_t k = 0; k < equationLabels.size(); ++k) {
    const TEquationLabel& l = equationLabels[k];
    if (!l.visible) continue;
    const plat::Colour c = DrawingColourOf(l.colour);
    const int x = RoundToInt(WorldToDeviceX(places[k].x));
    const int y = RoundToInt(WorldToDeviceY(places[k].y));
    if (sink) {
      // Where the screen puts it: left and top at the place.
      TExportText t = SlotText(l.text, {x, y}, filePlaces.empty() ? places[k] : filePlaces[k], c, TextFontSlot, 1, -1);
      t.orientation = "[lt]";
      sink->Text(dc, t);
    }
    dc.SetTextColor(c);
    dc.TextOut(x, y, l.text);
  }
}

void TPlot0Win::AskPointSize() {
  std::int32_t value = MarkerSizeCode > 0 ? MarkerSizeCode : 1;
  // The window's settings keep point sizes 1..64.
  const int code = AskWholeNumber("Punktgröße", "Punktgröße (mindestens 1)", 1, 64, true, value);
  if (code == 12) return;
  if (code != 0) {
    ShowMessageById(code);
    return;
  }
  MarkerSizeCode = static_cast<std::int16_t>(value);
  View3D.PointSize = MarkerSizeCode;
  Modified = 1;
  InvalidatePlot();
}

// ---- option commands ----

int TPlot0Win::RopOfDrawingMode() const {
  switch (drawingMode) {
    case kCmDrawNotXor:
      return plat::R2_NOTXORPEN;
    case kCmDrawXor:
      return plat::R2_XORPEN;
    default:
      return plat::R2_COPYPEN;
  }
}

void TPlot0Win::CmDrawingMode(int id) {
  drawingMode = static_cast<std::int16_t>(id);
  Modified = 1;
  UpdateMenuChecks(false);
  InvalidatePlot();
}

void TPlot0Win::CmFillInsteadOfHatch() {
  fillInsteadOfHatch = fillInsteadOfHatch ? 0 : 1;
  Modified = 1;
  UpdateMenuChecks(false);
  InvalidatePlot();
}

void TPlot0Win::CmCriticalAngle() {
  criticalAngle = criticalAngle ? 0 : 1;
  UpdateMenuChecks(false);
  InvalidatePlot();
}

void TPlot0Win::CmInfiniteSlope() {
  infiniteSlope = infiniteSlope ? 0 : 1;
  UpdateMenuChecks(false);
  InvalidatePlot();
}

void TPlot0Win::CmTraceStepLimit() {
  std::int32_t value = static_cast<std::int32_t>(std::min<long>(implicitStepLimit, 2000000));
  const int code = AskWholeNumber("Schrittzahl", "Schritte je Kurvenstück", 10, 2000000, true, value);
  if (code == 12) return;
  if (code != 0) {
    ShowMessageById(code);
    return;
  }
  implicitStepLimit = value;
  InvalidatePlot();
}

void TPlot0Win::CmLoopClosing() {
  std::string text = FormatNumber(loopClosingTolerance, 0, 2);
  TInpDlg dlg(this, "Schleife schließen", "Abstand in Pixeln", text, 40);
  if (dlg.Execute() != plat::IDOK) return;
  long double v = 0;
  const int code = TextToNumber(text, v);
  if (code != 0) {
    ShowMessageById(code);
    return;
  }
  // A distance of more than 1000 pixels would close every loop at once.
  const int refused = !(v > 0) ? 14 : v > 1000 ? 17 : 0;  // "positiver Wert?", "jenseits der Grenzen"
  if (refused != 0) {
    ShowMessageById(refused);
    return;
  }
  loopClosingTolerance = v;
  InvalidatePlot();
}

void TPlot0Win::CmHiddenLines() {
  std::int32_t value = View3D.SegmentPieces;
  const int code = AskWholeNumber("Verdeckte Linien", "Teilstücke je Strecke", 1, 32767, true, value);
  if (code == 12) return;
  if (code != 0) {
    ShowMessageById(code);
    return;
  }
  View3D.SegmentPieces = static_cast<std::int16_t>(value);
  View3D.SegmentPieceLength = 1.0L / value;
  InvalidatePlot();
}

void TPlot0Win::CmFlatness() {
  std::int32_t value = View3D.FlatnessTolerance;
  const int code = AskWholeNumber("Ebenheit", "Ebenheit (Promille)", 1, 32767, true, value);
  if (code == 12) return;
  if (code != 0) {
    ShowMessageById(code);
    return;
  }
  View3D.FlatnessTolerance = static_cast<std::int16_t>(value);
  View3D.FlatnessThreshold = 0.001L * value;
  InvalidatePlot();
}

}  // namespace kv
