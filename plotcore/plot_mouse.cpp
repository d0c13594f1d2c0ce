// Mouse interaction in the plots: the rubber-band box zoom, zooming at a
// point, the coordinates beside the cursor and the freehand strokes.  The
// drags run inside the button's handler and take the following mouse
// events from the poll until the button is released.
#include <cmath>

#include "graphics/mouse_drag.h"
#include "plotcore/plot_win.h"

namespace kv {

namespace {

std::string Trimmed(std::string s) {
  const std::size_t b = s.find_first_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b);
}

long double PixelDistanceToSegment(plat::Point p, plat::Point a, plat::Point b) {
  const long double dx = b.x - a.x;
  const long double dy = b.y - a.y;
  const long double len2 = dx * dx + dy * dy;
  long double s = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
  s = s < 0 ? 0 : (s > 1 ? 1 : s);
  const long double ex = a.x + s * dx - p.x;
  const long double ey = a.y + s * dy - p.y;
  return std::sqrt(ex * ex + ey * ey);
}

}  // namespace

bool TPlotWin::DragZoomBox(plat::Point start) {
  plat::ClientDC dc(*this);
  plat::Point last = start;
  const plat::Pen oldPen = dc.SelectPen(plat::Pen{plat::PS_DOT, 1, plat::Rgb(0, 0, 0)});
  const plat::Brush oldBrush = dc.SelectBrush(plat::NullBrush());
  for (;;) {
    plat::MouseEvent e;
    NextDragEvent(*this, e, last);
    last = {e.x, e.y};
    if (IsButtonRelease(e)) break;
    if (e.type != plat::MouseEvent::Move) continue;
    BlitBackBuffer(0, dc);
    dc.Rectangle(std::min(start.x, last.x), std::min(start.y, last.y), std::max(start.x, last.x) + 1,
                 std::max(start.y, last.y) + 1);
  }
  dc.SelectBrush(oldBrush);
  dc.SelectPen(oldPen);
  BlitBackBuffer(0, dc);
  if (std::abs(last.x - start.x) < 3 || std::abs(last.y - start.y) < 3) return false;
  const TPoint2D a = PixelToWorldPoint(start);
  const TPoint2D b = PixelToWorldPoint(last);
  NewView((a.x + b.x) / 2, (a.y + b.y) / 2, std::fabs(a.x - b.x) / 2, std::fabs(a.y - b.y) / 2, ViewMode);
  InvalidatePlot();
  return true;
}

void TPlotWin::ZoomAtPoint(plat::Point p, long double factor, bool recentre) {
  if (!(factor > 0) || !std::isfinite(factor)) return;
  const TPoint2D w = PixelToWorldPoint(p);
  TPoint2D c = w;
  if (!recentre) {
    // The world point under the cursor stays where it is: the centre moves
    // towards it in proportion to the zoom.
    c = {w.x + (Centre.x - w.x) * factor, w.y + (Centre.y - w.y) * factor};
  }
  NewView(c.x, c.y, HalfX * factor, HalfY * factor, ViewMode);
  InvalidatePlot();
}

std::string TPlotWin::FormatMouseCoordinates(const TPoint2D& p) const {
  std::string x, y;
  FormatWindowNumber(p.x, x);
  FormatWindowNumber(std::fabs(p.y), y);
  x = Trimmed(x);
  y = Trimmed(y);
  if (ComplexMode()) return x + (p.y < 0 ? " - " : " + ") + y + "i";
  if (p.y < 0) y = "-" + y;
  return "(" + x + ";" + y + ")";
}

TPoint2D TPlotWin::TrackMouseCoordinates(plat::Point start) {
  plat::ClientDC dc(*this);
  plat::Point last = start;
  TPoint2D w = PixelToWorldPoint(start);
  auto show = [&](plat::Point at) {
    BlitBackBuffer(0, dc);
    dc.SetBkMode(plat::OPAQUE);
    dc.TextOut(at.x + 8, at.y - 20, FormatMouseCoordinates(w));
  };
  show(start);
  for (;;) {
    plat::MouseEvent e;
    NextDragEvent(*this, e, last);
    last = {e.x, e.y};
    w = PixelToWorldPoint(last);
    if (IsButtonRelease(e)) break;
    if (e.type == plat::MouseEvent::Move) show(last);
  }
  BlitBackBuffer(0, dc);
  return w;
}

void TPlotWin::TrackMouseMarks(plat::Point start) {
  TMouseMark pen;
  pen.kind = kMarkPen;
  SetTriple32x16x16(pen.pen, GetColour(ColourSlots[13]), static_cast<std::uint16_t>(mouseMarkPenWidth), 0);
  mouseMarks.push_back(pen);
  MouseMarkAdded(pen);
  TMouseMark first;
  first.kind = kMarkBreak;
  first.point = PixelToWorldPoint(start);
  mouseMarks.push_back(first);
  MouseMarkAdded(first);
  plat::ClientDC dc(*this);
  const plat::Pen old = dc.SelectPen(CreateRgbPen(StrokeColourOn(dc, pen.pen.colour), pen.pen.width, 0));
  plat::Point last = start;
  for (;;) {
    plat::MouseEvent e;
    NextDragEvent(*this, e, last);
    const plat::Point p{e.x, e.y};
    if (!(p == last)) {
      TMouseMark m;
      m.kind = kMarkNext;
      m.point = PixelToWorldPoint(p);
      mouseMarks.push_back(m);
      MouseMarkAdded(m);
      dc.MoveTo(last.x, last.y);
      dc.LineTo(p.x, p.y);
      last = p;
    }
    if (IsButtonRelease(e)) break;
  }
  dc.SelectPen(old);
  BufferValid[0] = 0;
  Modified = 1;
}

bool TPlotWin::EraseMouseMarks(plat::Point p) {
  constexpr long double kReach = 4;  // pixels
  const std::size_t n = mouseMarks.size();
  for (std::size_t s = 0; s < n; ++s) {
    if (mouseMarks[s].kind != kMarkBreak) continue;
    std::size_t e = s + 1;
    while (e < n && mouseMarks[e].kind == kMarkNext) ++e;
    bool hit = false;
    plat::Point a;
    WorldToPixel(mouseMarks[s].point, a);
    if (e == s + 1) hit = PixelDistanceToSegment(p, a, a) <= kReach;
    for (std::size_t k = s + 1; k < e && !hit; ++k) {
      plat::Point b;
      WorldToPixel(mouseMarks[k].point, b);
      hit = PixelDistanceToSegment(p, a, b) <= kReach;
      a = b;
    }
    if (!hit) continue;
    // The stroke goes, and its pen when no other stroke follows it.
    std::size_t from = s;
    const bool penBefore = s > 0 && mouseMarks[s - 1].kind == kMarkPen;
    const bool strokeAfter = e < n && mouseMarks[e].kind == kMarkBreak;
    if (penBefore && !strokeAfter) from = s - 1;
    mouseMarks.erase(mouseMarks.begin() + static_cast<std::ptrdiff_t>(from),
                     mouseMarks.begin() + static_cast<std::ptrdiff_t>(e));
    BufferValid[0] = 0;
    Invalidate(false);
    Modified = 1;
    MouseMarksChanged();
    return true;
  }
  return false;
}

}  // namespace kv
