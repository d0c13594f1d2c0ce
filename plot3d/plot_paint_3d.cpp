// The whole-plot pass of the 3D window: the surfaces drawn fast are painted
// cell by cell, farthest first, then every entry by its kind, then the
// frame with the axes, their names and the box with two corner labels.  An
// empty window shows the three-arrow symbol of the axes instead.
#include <algorithm>
#include <cmath>
#include <new>

#include "plot3d/plot_r_win.h"
#include "plot3d/space_geometry.h"
#include "core/constants.h"
#include "shell/text_helpers.h"

namespace kv {

namespace {

// Pieces of each box edge and axis for the hidden-part tests.
constexpr int kFramePieces = 100;

bool PaintedFast(const TEquation& e) { return e.visible && IsSurfaceKind(e, true) && !e.polarInput; }

}  // namespace

int TPlotRWin::DrawEquations(plat::DC& dc) {
  if (equationCount < 0) {
    DrawEmptyAxesSymbol(dc);
    return 0;
  }
  if (IsCreated()) SetFocus();
  ForgetProjectedGrids();
  if (!animating) SetCaption(1, 0, 0);  // "Abbruch mit Taste A"
  int result = PaintSurfacesByDepth(dc);
  for (int i = 0; i <= equationCount && result == 0; ++i) result = DrawInventoryItem(dc, i);
  if (!animating) UpdateCaption(false);
  // The frame is drawn even after a stop.
  DrawBoxFrame(dc);
  return result;
}

// ---- the painted cells ----

void TPlotRWin::ProjectSurfaceCells(int i, std::vector<TSurfaceCell>& table, int& count) {
  TEquation& e = Equation(i);
  const int rows = e.divisions[0];
  const int columns = e.divisions[1];
  const std::size_t n = SurfaceGridSize(e);
  if (n == 0) return;
  if (e.samples.size() != n) SampleSurfaceGrid(i);
  if (e.samples.size() != n) return;
  // In cubic mode the grid and the eye are taken into box coordinates; the
  // copy is as large as the grid.
  std::vector<TPoint3D> scratch;
  const TPoint3D* points = e.samples.data();
  TPoint3D eye = View3D.Observer;
  if (View3D.Cubic) {
    scratch = e.samples;
    for (TPoint3D& p : scratch) NormalizeToViewBox(View3D, p);
    points = scratch.data();
    eye = View3D.ObserverInBox;
  }
  const TPoint3D& v = View3D.V;
  e.devicePoints.resize(n);
  for (std::size_t k = 0; k < n; ++k) {
    const TPoint3D& s = e.samples[k];
    if (!e.unclipped && !IsPointInEquationBox(e, s.x, s.y, s.z)) {
      e.devicePoints[k] = {-1, -1};
      continue;
    }
    const TPoint3D& p = points[k];
    const long double dx = eye.x - p.x;
    const long double dy = eye.y - p.y;
    const long double dz = eye.z - p.z;
    long double h = dx * v.x + dy * v.y + dz * v.z;
    if (std::fabs(h) < kTolerance) h = kTolerance;
    const TPoint2D world{View3D.ScaleX / h * (dx * v.y - dy * v.x),
                         View3D.ScaleY / h * (v.x * (dx * v.z - dz * v.x) + v.y * (dy * v.z - dz * v.y))};
    WorldToPixel(world, e.devicePoints[k]);
  }
  const std::size_t cells = static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns);
  e.cellDepths.resize(cells);
  e.cellFlags.resize(cells);
  const std::size_t width = static_cast<std::size_t>(columns) + 1;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      const std::size_t k = static_cast<std::size_t>(r) * width + static_cast<std::size_t>(c);
      const TPoint3D& p00 = points[k];
      const TPoint3D& p01 = points[k + 1];
      const TPoint3D& p10 = points[k + width];
      const TPoint3D& p11 = points[k + width + 1];
      const TPoint3D centre{0.25L * (p00.x + p01.x + p11.x + p10.x), 0.25L * (p00.y + p01.y + p11.y + p10.y),
                            0.25L * (p00.z + p01.z + p11.z + p10.z)};
      const std::size_t cell = static_cast<std::size_t>(r) * static_cast<std::size_t>(columns) +
                               static_cast<std::size_t>(c);
      e.cellDepths[cell] = Distance3D(centre, eye);
      e.cellFlags[cell] = CellSide(p00, p01, p10, eye);
      ++count;
      table[static_cast<std::size_t>(count)] = {static_cast<std::int16_t>(i), static_cast<std::int16_t>(r),
                                                static_cast<std::int16_t>(c), e.cellDepths[cell]};
    }
  }
}

void TPlotRWin::CellColours(const TEquation& e, int r, int c, plat::Colour& fill, plat::Colour& edge) const {
  if (!e.interpolated) {
    edge = GetColour(CheckColourIndex(e.penColour));
    if (!e.filled) {
      fill = GetColour(1);
    } else {
      const bool back = e.cellFlags[static_cast<std::size_t>(r) * static_cast<std::size_t>(e.divisions[1]) +
                                    static_cast<std::size_t>(c)] != 0;
      fill = GetDrawColour(back ? e.sideColour2 : e.sideColour1, true);
    }
    return;
  }
  // Height tint: the brighter the higher the cell's first corner.
  const std::size_t k = static_cast<std::size_t>(r) * static_cast<std::size_t>(e.divisions[1] + 1) +
                        static_cast<std::size_t>(c);
  const long double t = HeightTint(e.samples[k].z, View3D.BoxMin.z, View3D.BoxMax.z);
  auto scale = [t](int channel) { return static_cast<int>(std::lround(channel * t)); };
  if (Printing && !ColourPrinter) {
    const int index = std::clamp<int>(e.penColour, 0, kColourCount - 1);
    const int g = scale(GreyLevels[static_cast<std::size_t>(index)]);
    fill = plat::Rgb(g, g, g);
  } else {
    const plat::Colour base = GetColour(e.penColour);
    fill = plat::Rgb(scale(plat::RedOf(base)), scale(plat::GreenOf(base)), scale(plat::BlueOf(base)));
  }
  edge = e.notVertical ? GetColour(CheckColourIndex(e.termCount)) : fill;
}

int TPlotRWin::PaintSurfacesByDepth(plat::DC& dc) {
  std::size_t n = 0;
  for (int i = 0; i <= equationCount; ++i) {
    const TEquation& e = Equation(i);
    if (PaintedFast(e) && e.divisions[0] > 0 && e.divisions[1] > 0)
      n += static_cast<std::size_t>(e.divisions[0]) * static_cast<std::size_t>(e.divisions[1]);
  }
  if (n < 1) return 0;
  std::vector<TSurfaceCell> table;
  try {
    table.resize(n + 2);
  } catch (const std::bad_alloc&) {
    return 4;
  }
  int count = 0;
  for (int i = 0; i <= equationCount; ++i)
    if (PaintedFast(Equation(i))) ProjectSurfaceCells(i, table, count);
  SortCellsByDepth(table, count);

  const plat::Pen oldPen = dc.CurrentPen();
  const plat::Brush oldBrush = dc.CurrentBrush();
  TExportSink* sink = ActiveSink();
  std::vector<plat::Point> polygon(4);
  for (int k = count; k >= 1; --k) {
    // The tour's photos read "A" every 1024 cells, so that it ends a long
    // painting at once.  Other paintings leave the keys to the commands that
    // follow them.
    if (stopKeyWhileQuiet && (k & 1023) == 0 && StopKeyPressed()) {
      dc.SelectPen(oldPen);
      dc.SelectBrush(oldBrush);
      return 'A';
    }
    const TSurfaceCell& cell = table[static_cast<std::size_t>(k)];
    const TEquation& e = Equation(cell.equation);
    const std::size_t width = static_cast<std::size_t>(e.divisions[1]) + 1;
    const std::size_t p = static_cast<std::size_t>(cell.row) * width + static_cast<std::size_t>(cell.column);
    polygon[0] = e.devicePoints[p];
    polygon[1] = e.devicePoints[p + 1];
    polygon[2] = e.devicePoints[p + width + 1];
    polygon[3] = e.devicePoints[p + width];
    if (polygon[0].x < 0 || polygon[1].x < 0 || polygon[2].x < 0 || polygon[3].x < 0) continue;
    plat::Colour fill = 0;
    plat::Colour edge = 0;
    CellColours(e, cell.row, cell.column, fill, edge);
    const bool transparent = e.densityFlag != 0;
    dc.SelectBrush(transparent ? plat::NullBrush() : plat::SolidBrush(fill));
    dc.SelectPen(plat::Pen{plat::PS_SOLID, e.penWidth, edge});
    dc.Polygon(polygon);
    if (sink) {
      TPoint2D world[4];
      for (int a = 0; a < 4; ++a) PixelToWorld(polygon[static_cast<std::size_t>(a)], world[a]);
      sink->Polygon(world, 4, transparent, fill, e.penWidth, edge);
    }
  }
  dc.SelectPen(oldPen);
  dc.SelectBrush(oldBrush);
  return 0;
}

// ---- the empty window ----

void TPlotRWin::DrawEmptyAxesSymbol(plat::DC& dc) {
  PaintBackground(dc);
  SetView(0, 2, 8, 7, 0);
  UpdateView();
  const int colour = CheckColourIndex(ColourSlots[kAxisColourSlot]);
  const int width = Printing ? AxisWidthPrint : AxisWidthDisplay;
  const plat::LogFont oldFont = dc.SelectFont(FontSlots[kAxisLabelFontSlot]);
  const plat::Colour oldText = dc.SetTextColor(GetColourAvoidingBackground(colour));
  const unsigned oldAlign = dc.SetTextAlign(plat::TA_BASELINE | plat::TA_CENTER);
  const int oldMode = dc.SetBkMode(plat::TRANSPARENT);
  const long double head = ArrowHeadLength();
  TExportSink* sink = ActiveSink();
  // An EPS or SVG file takes the names as its own texts, centred over
  // their tips as on the screen.
  const bool exportNames = sink && sink->Format() != TExportFormat::Pictex;
  TPoint2D v{-std::sqrt(48.0L), -4};
  for (int k = 0; k < 3; ++k) {
    DrawSegment(dc, {0, 0}, v, head, PackPen(colour, width), 0, true, 3);
    const long double f = 1 + 1.125L * UnitsPerPixelX;
    const TPoint2D tip{v.x * f, v.y * f};
    plat::Point p;
    WorldToPixel(tip, p);
    const std::string& name = AxisNames[static_cast<std::size_t>(k)];
    if (exportNames)
      sink->Text(dc, SlotText(name, p, tip, GetColourAvoidingBackground(colour), kAxisLabelFontSlot, 0, 1));
    else if (!Recording())
      dc.TextOut(p.x, p.y, name);
    Rotate2D(v, 2 * Pi / 3);
  }
  dc.SetBkMode(oldMode);
  dc.SetTextAlign(oldAlign);
  dc.SetTextColor(oldText);
  dc.SelectFont(oldFont);
}

// ---- the frame ----

std::int32_t TPlotRWin::DrawBoxFrame(plat::DC& dc) {
  int result = 0;
  if (AxesShown) {
    int colour = ColourSlots[kAxisColourSlot];
    if (Printing && !ColourPrinter) colour = 0;
    if (colour == ColourSlots[0]) colour = colour == 0 ? 1 : 0;
    const int width = Printing ? AxisWidthPrint : AxisWidthDisplay;
    const plat::Pen oldPen = dc.SelectPen(plat::Pen{plat::PS_SOLID, width, GetColour(colour)});
    const plat::Brush oldBrush = dc.SelectBrush(plat::SolidBrush(GetColour(colour)));
    const plat::LogFont oldFont = dc.SelectFont(FontSlots[kAxisLabelFontSlot]);
    if (!View3D.AxisLengthSet) SetAxisEnds();
    const TPoint3D& lo = View3D.AxisStart;
    const TPoint3D& hi = View3D.AxisEnd;
    const TPoint3D ends[3][2] = {{{lo.x, 0, 0}, {hi.x, 0, 0}}, {{0, lo.y, 0}, {0, hi.y, 0}}, {{0, 0, lo.z}, {0, 0, hi.z}}};
    const long double head = ArrowHeadLength();
    for (int axis = 0; axis < 3 && result == 0; ++axis) {
      result = DrawAxis(dc, ends[axis][0], ends[axis][1], axis);
      // The head only: the shaft was drawn with its hidden pieces left out.
      if (ArrowsShown && !IsPointHidden(ends[axis][1]))
        DrawSegment(dc, ProjectRotated(TPoint3D{}), ProjectRotated(ends[axis][1]), head, PackPen(colour, width), 0,
                    true, 2);
    }
    dc.SelectFont(oldFont);
    dc.SelectBrush(oldBrush);
    dc.SelectPen(oldPen);
  }
  if (View3D.BoxVisible && result == 0) result = DrawViewBox(dc);
  return result;
}

int TPlotRWin::DrawAxis(plat::DC& dc, const TPoint3D& from, const TPoint3D& to, int axis) {
  int colour = ColourSlots[kAxisColourSlot];
  if (Printing && !ColourPrinter) colour = 0;
  if (colour == ColourSlots[0]) colour = colour == 0 ? 1 : 0;
  const int width = Printing ? AxisWidthPrint : AxisWidthDisplay;
  MarkEpsSection("draw axis");
  const int r = DrawSegment3D(dc, from, to, PackPen(colour, width), 0, false, false, kFramePieces, 0);
  if (r != 0 || !LabelsShown) return r;
  // The name stands nine pixels beyond the axis end, along the axis.
  const TPoint2D a = ProjectRotated(from);
  const TPoint2D b = ProjectRotated(to);
  const long double length = std::hypot(b.x - a.x, b.y - a.y);
  if (!(length > kTolerance)) return r;
  const long double f = 9 * UnitsPerPixelX / length;
  TPoint2D label{b.x + (b.x - a.x) * f, b.y + (b.y - a.y) * f};
  if (!IsInView(label) || IsPointHidden(to)) return r;
  std::string text = AxisNames[static_cast<std::size_t>(axis)];
  if (TExportSink* sink = ActiveSink(); sink && sink->Format() == TExportFormat::Pictex) {
    TExportText t = SlotText(text, {}, label, 0, kAxisLabelFontSlot, 0, 0);
    t.math = true;
    sink->Text(dc, t);
    return r;
  }
  plat::Rect box;
  TextExtentWorld(dc, text, label, 0, 0, box);
  DrawTextBox(dc, text, box, 0, kAxisColourSlot, kAxisLabelFontSlot);
  if (!Printing) AxisLabelRects[static_cast<std::size_t>(axis)] = box;
  return r;
}

int TPlotRWin::DrawViewBox(plat::DC& dc) {
  const TPoint3D& lo = View3D.BoxMin;
  const TPoint3D& hi = View3D.BoxMax;
  const TPoint3D& eye = View3D.Observer;
  const int width = Printing ? View3D.BoxPenHidden : View3D.BoxPenVisible;
  const std::uint32_t pen = PackPen(CheckColourIndex(ColourSlots[kBoxColourSlot]), std::max<int>(1, width));
  const int pieces = FrameQuery() > 0 ? 8 : kFramePieces;
  // Whether the observer stands beyond the face of the box at side s (0
  // the minimum, 1 the maximum) across axis a: the edges of that face are
  // in front.
  auto beyond = [&](int a, int s) {
    const long double e = a == 0 ? eye.x : a == 1 ? eye.y : eye.z;
    const long double m = a == 0 ? (s ? hi.x : lo.x) : a == 1 ? (s ? hi.y : lo.y) : (s ? hi.z : lo.z);
    return s ? e > m : e < m;
  };
  auto corner = [&](int ix, int iy, int iz) {
    return TPoint3D{ix ? hi.x : lo.x, iy ? hi.y : lo.y, iz ? hi.z : lo.z};
  };
  MarkEpsSection("begin view box");
  int result = 0;
  for (int axis = 0; axis < 3 && result == 0; ++axis) {
    const int a1 = (axis + 1) % 3;
    const int a2 = (axis + 2) % 3;
    for (int s1 = 0; s1 < 2 && result == 0; ++s1)
      for (int s2 = 0; s2 < 2 && result == 0; ++s2) {
        int idx[3] = {0, 0, 0};
        idx[a1] = s1;
        idx[a2] = s2;
        const TPoint3D p = corner(idx[0], idx[1], idx[2]);
        idx[axis] = 1;
        const TPoint3D q = corner(idx[0], idx[1], idx[2]);
        const bool front = beyond(a1, s1) || beyond(a2, s2);
        const int style = View3D.DashedEdges && !front ? 1 : 0;
        result = DrawSegment3D(dc, p, q, pen, style, false, false, pieces, style);
      }
  }
  // Two opposite corners carry their coordinates.
  const TPoint3D a{eye.x <= 0 ? lo.x : hi.x, eye.y <= 0 ? lo.y : hi.y, eye.z <= 0 ? hi.z : lo.z};
  const TPoint3D b{eye.x <= 0 ? hi.x : lo.x, eye.y <= 0 ? hi.y : lo.y, eye.z <= 0 ? lo.z : hi.z};
  const plat::LogFont oldFont = dc.SelectFont(FontSlots[TextFontSlot]);
  const int line = dc.GetTextMetrics().height;
  const int side = eye.z <= 0 ? -1 : 1;
  const TPoint3D corners[2] = {a, b};
  for (int k = 0; k < 2; ++k) {
    const TPoint3D& c = corners[k];
    TCornerLabel& label = CornerLabels[static_cast<std::size_t>(k)];
    std::string text(1, '(');
    text += FormatNumber(c.x, 4, 2);
    text += ',';
    text += FormatNumber(c.y, 4, 2);
    text += ',';
    text += FormatNumber(c.z, 4, 2);
    text += ')';
    label.text = std::move(text);
    const TPoint2D image = ProjectRotated(c);
    plat::Point px;
    WorldToPixel(image, px);
    const int width = dc.GetTextExtent(label.text).cx;
    const int offset = (k == 0 ? side : -side) * line;
    label.position = {px.x - width / 2, px.y - line / 2 + offset};
    if (TExportSink* sink = ActiveSink(); sink && sink->Format() == TExportFormat::Pictex)
      sink->Text(dc, SlotText(label.text, label.position, PixelToWorldPoint(label.position), 0, TextFontSlot, 1, -1));
  }
  dc.SelectFont(oldFont);
  return result;
}

void TPlotRWin::DrawCornerLabels(plat::DC& dc) {
  if (!View3D.BoxVisible || !View3D.BoxCoordinates) return;
  const plat::LogFont oldFont = dc.SelectFont(FontSlots[TextFontSlot]);
  const plat::Colour oldText = dc.SetTextColor(GetColourAvoidingBackground(ColourSlots[kAxisColourSlot]));
  const unsigned oldAlign = dc.SetTextAlign(plat::TA_LEFT | plat::TA_TOP);
  const int oldMode = dc.SetBkMode(plat::TRANSPARENT);
  TExportSink* sink = ActiveSink();
  if (sink && sink->Format() == TExportFormat::Pictex) sink = nullptr;  // written with the box
  const plat::Colour colour = GetColourAvoidingBackground(ColourSlots[kAxisColourSlot]);
  for (const TCornerLabel& label : CornerLabels) {
    if (label.text.empty()) continue;
    if (sink) sink->Text(dc, SlotText(label.text, label.position, PixelToWorldPoint(label.position), colour,
                                      TextFontSlot, 1, -1));
    dc.TextOut(label.position.x, label.position.y, label.text);
  }
  dc.SetBkMode(oldMode);
  dc.SetTextAlign(oldAlign);
  dc.SetTextColor(oldText);
  dc.SelectFont(oldFont);
}

}  // namespace kv
