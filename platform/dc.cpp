// The state shared by every device context: pen, brush, font, colours,
// modes, current position, clip region and the saved levels.  The public
// drawing calls normalise their rectangles and hand them to the target's
// primitives; BitmapDC, which draws them on an image, is in bitmap_dc.cpp
// (shapes and blits), bitmap_dc_ellipse.cpp and bitmap_dc_text.cpp.
#include "platform/dc.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "platform/pixel_rect.h"

namespace plat {

// ============================================================================
// Device capabilities
// ============================================================================

int DeviceCaps::Get(int index) const {
  switch (index) {
    case HORZSIZE: return horzSizeMm;
    case VERTSIZE: return vertSizeMm;
    case HORZRES: return horzRes;
    case VERTRES: return vertRes;
    case BITSPIXEL: return bitsPixel;
    case RASTERCAPS: return rasterCaps;
    case LOGPIXELSX: return logPixelsX;
    case LOGPIXELSY: return logPixelsY;
    case PHYSICALWIDTH: return physicalWidth;
    case PHYSICALHEIGHT: return physicalHeight;
    case PHYSICALOFFSETX: return physicalOffsetX;
    case PHYSICALOFFSETY: return physicalOffsetY;
    default: return 0;
  }
}

// ============================================================================
// DC: state shared by every target
// ============================================================================

struct DC::Saved {
  Pen pen;
  Brush brush;
  LogFont font;
  Colour textColour;
  Colour bkColour;
  int bkMode;
  int rop2;
  unsigned textAlign;
  int polyFillMode;
  Point cp;
  Clip clip;
};

DC::DC() = default;
DC::~DC() = default;

Pen DC::SelectPen(const Pen& pen) { return std::exchange(pen_, pen); }
Brush DC::SelectBrush(const Brush& brush) { return std::exchange(brush_, brush); }
LogFont DC::SelectFont(const LogFont& font) { return std::exchange(font_, font); }
Colour DC::SetTextColor(Colour c) { return std::exchange(textColour_, c & 0xFFFFFF); }
Colour DC::SetBkColor(Colour c) { return std::exchange(bkColour_, c & 0xFFFFFF); }

// Invalid modes are refused (0) and leave the state alone.
int DC::SetBkMode(int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  return std::exchange(bkMode_, mode);
}

int DC::SetROP2(int rop) {
  if (rop < R2_BLACK || rop > R2_WHITE) return 0;
  return std::exchange(rop2_, rop);
}

unsigned DC::SetTextAlign(unsigned align) { return std::exchange(textAlign_, align); }

int DC::SetPolyFillMode(int mode) {
  if (mode != ALTERNATE && mode != WINDING) return 0;
  return std::exchange(polyFillMode_, mode);
}

int DC::SaveDC() {
  saved_.push_back(Saved{pen_, brush_, font_, textColour_, bkColour_, bkMode_, rop2_, textAlign_,
                         polyFillMode_, cp_, clip_});
  return static_cast<int>(saved_.size());
}

// `saved` > 0 names the level SaveDC returned; < 0 counts back from the
// last save (-1 is the last one).  Levels above the restored one are gone.
bool DC::RestoreDC(int saved) {
  const std::int64_t count = static_cast<std::int64_t>(saved_.size());
  const std::int64_t level = saved > 0 ? saved : count + 1 + static_cast<std::int64_t>(saved);
  if (saved == 0 || level < 1 || level > count) return false;
  Saved& s = saved_[static_cast<std::size_t>(level - 1)];
  pen_ = s.pen;
  brush_ = s.brush;
  font_ = s.font;
  textColour_ = s.textColour;
  bkColour_ = s.bkColour;
  bkMode_ = s.bkMode;
  rop2_ = s.rop2;
  textAlign_ = s.textAlign;
  polyFillMode_ = s.polyFillMode;
  cp_ = s.cp;
  clip_ = std::move(s.clip);
  saved_.resize(static_cast<std::size_t>(level - 1));
  DoClipChanged();
  return true;
}

Point DC::MoveTo(int x, int y) { return std::exchange(cp_, Point{x, y}); }

void DC::LineTo(int x, int y) {
  DoLine(cp_, Point{x, y});
  cp_ = Point{x, y};
}

void DC::PolylineTo(const Point* points, std::size_t n) {
  if (n == 0) return;
  DoPolylineTo(cp_, points, n);
  cp_ = points[n - 1];
}

void DC::DoPolylineTo(Point from, const Point* pts, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    DoLine(from, pts[i]);
    from = pts[i];
  }
}

void DC::Polyline(const std::vector<Point>& points) {
  if (points.size() >= 2) DoPolyline(points);
}

void DC::DoPolyline(const std::vector<Point>& pts) {
  for (std::size_t i = 1; i < pts.size(); ++i) DoLine(pts[i - 1], pts[i]);
}

void DC::Rectangle(int left, int top, int right, int bottom) {
  DoRectangle(Normalised(left, top, right, bottom));
}

void DC::Ellipse(int left, int top, int right, int bottom) {
  DoEllipse(Normalised(left, top, right, bottom));
}

void DC::Polygon(const std::vector<Point>& points) {
  if (points.size() >= 2) DoPolygon(points);
}

void DC::Arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd) {
  DoArc(Normalised(left, top, right, bottom), Point{xStart, yStart}, Point{xEnd, yEnd}, false);
}

void DC::Pie(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd) {
  DoArc(Normalised(left, top, right, bottom), Point{xStart, yStart}, Point{xEnd, yEnd}, true);
}

void DC::FillRect(const Rect& r, const Brush& brush) {
  const Rect n = Normalised(r.left, r.top, r.right, r.bottom);
  if (WidthOf(n) > 0 && HeightOf(n) > 0) DoFillRect(n, brush);
}

void DC::PatBlt(int x, int y, int width, int height, unsigned rop) {
  const Rect n = Normalised(x, y, std::int64_t{x} + width, std::int64_t{y} + height);
  if (WidthOf(n) > 0 && HeightOf(n) > 0) DoPatBlt(n, rop);
}

// With TA_UPDATECP the text starts at the current position, which then
// moves past it.
void DC::TextOut(int x, int y, const std::string& text) {
  if (text.empty()) return;
  if (!(textAlign_ & TA_UPDATECP)) {
    DoTextOut(Point{x, y}, text);
    return;
  }
  DoTextOut(cp_, text);
  const int cx = DoTextExtent(text).cx;
  const unsigned horizontal = textAlign_ & TA_CENTER;
  if (horizontal == TA_LEFT) cp_.x = ClampToInt(std::int64_t{cp_.x} + cx);
  if (horizontal == TA_RIGHT) cp_.x = ClampToInt(std::int64_t{cp_.x} - cx);
}

Size DC::GetTextExtent(const std::string& text) const { return DoTextExtent(text); }
DC::TextMetrics DC::GetTextMetrics() const { return DoTextMetrics(); }

// Sizes must be positive; mirrored copies are not supported.
void DC::BitBlt(int x, int y, int width, int height, const Bitmap& source, int sx, int sy,
                unsigned rop) {
  if (width <= 0 || height <= 0) return;
  DoBitBlt(Normalised(x, y, std::int64_t{x} + width, std::int64_t{y} + height), source,
           Normalised(sx, sy, std::int64_t{sx} + width, std::int64_t{sy} + height), rop);
}

void DC::StretchBlt(int x, int y, int width, int height, const Bitmap& source, int sx, int sy,
                    int swidth, int sheight, unsigned rop) {
  if (width <= 0 || height <= 0 || swidth <= 0 || sheight <= 0) return;
  DoBitBlt(Normalised(x, y, std::int64_t{x} + width, std::int64_t{y} + height), source,
           Normalised(sx, sy, std::int64_t{sx} + swidth, std::int64_t{sy} + sheight), rop);
}

void DC::SelectClipRect(const Rect& r) {
  clip_.kind = Clip::Rectangle;
  clip_.rect = Normalised(r.left, r.top, r.right, r.bottom);
  clip_.polygon.clear();
  DoClipChanged();
}

void DC::SelectClipPolygon(const std::vector<Point>& points) {
  clip_.kind = Clip::Polygon;
  clip_.rect = Rect{};
  clip_.polygon = points;
  DoClipChanged();
}

void DC::ClearClip() {
  clip_ = Clip{};
  DoClipChanged();
}

int DC::GetDeviceCaps(int index) const { return Caps().Get(index); }

}  // namespace plat
