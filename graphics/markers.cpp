// The thirteen point markers.  Lines leave out their end pixel, so several
// strokes reach one pixel further on purpose to include it.
#include <vector>

#include "graphics/primitives.h"

namespace kv {

namespace {

void Stroke(plat::DC& dc, int x1, int y1, int x2, int y2) {
  dc.MoveTo(x1, y1);
  dc.LineTo(x2, y2);
}

void Triangle(plat::DC& dc, plat::Point a, plat::Point b, plat::Point c) {
  // One buffer for every filled marker: markers are drawn by the thousand.
  static thread_local std::vector<plat::Point> points(3);
  points[0] = a;
  points[1] = b;
  points[2] = c;
  dc.Polygon(points);
}

void SquareOutline(plat::DC& dc, int x, int y, int r) {
  dc.MoveTo(x - r, y - r);
  dc.LineTo(x + r, y - r);
  dc.LineTo(x + r, y + r);
  dc.LineTo(x - r, y + r);
  dc.LineTo(x - r, y - r);
}

}  // namespace

void DrawMarker(plat::DC& dc, int x, int y, int style, int r) {
  switch (style) {
    case 0:
      dc.Rectangle(x - r, y - r, x + r + 1, y + r + 1);
      break;
    case 1:
      dc.Ellipse(x - r, y - r, x + r + 1, y + r + 1);
      break;
    case 2:
      Triangle(dc, {x - r, y + r}, {x + r, y + r}, {x, y - r});
      break;
    case 3:
      Triangle(dc, {x - r, y - r}, {x + r, y - r}, {x, y + r});
      break;
    case 4:
      Triangle(dc, {x - r, y - r}, {x - r, y + r}, {x + r, y});
      break;
    case 5:
      Triangle(dc, {x + r, y - r}, {x + r, y + r}, {x - r, y});
      break;
    case 6:
      Stroke(dc, x, y - r, x, y + r + 1);
      Stroke(dc, x - r, y, x + r + 1, y);
      SquareOutline(dc, x, y, r);
      break;
    case 7:
      SquareOutline(dc, x, y, r);
      break;
    case 8:
      Stroke(dc, x - r, y - r, x + r + 1, y + r + 1);
      Stroke(dc, x - r, y + r, x + r + 1, y - r - 1);
      break;
    case 9:
      Stroke(dc, x, y - r, x, y + r);
      Stroke(dc, x - r, y, x + r, y);
      break;
    case 10:
      Stroke(dc, x - r, y - r, x + r, y + r);
      dc.MoveTo(x - r, y + r);
      dc.LineTo(x + r, y - r);
      dc.LineTo(x - r, y - r);
      dc.LineTo(x - r, y + r);
      dc.LineTo(x + r, y + r);
      dc.LineTo(x + r, y - r);
      break;
    case 11:
      Stroke(dc, x, y, x, y - 3 * r);
      Stroke(dc, x, y, x + r, y - r);
      Stroke(dc, x, y, x - r, y - r);
      break;
    case 12:
      Stroke(dc, x, y, x, y + 3 * r);
      Stroke(dc, x, y, x + r, y + r);
      Stroke(dc, x, y, x - r, y + r);
      break;
    default:
      break;  // 13 and above are export-only styles
  }
}

}  // namespace kv
