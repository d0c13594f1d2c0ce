// BitmapDC draws on a 32-bit image with exact pixels: thin lines are walked
// straight on the image bits, shapes are rasterised into a coverage mask
// (with QPainter where a path has to be filled) and combined with the image
// through the raster operation in one pass.  No QPainter stays open between
// calls, so several DCs can draw on one bitmap.  This file holds the clip
// state, pixels, lines, rectangles, polygons, fills and blits; ellipses are
// in bitmap_dc_ellipse.cpp, text in bitmap_dc_text.cpp.
#include <QImage>
#include <QPainter>
#include <QPolygonF>
#include <QRegion>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "platform/bitmap.h"
#include "platform/bitmap_dc_impl.h"
#include "platform/bitmap_impl.h"
#include "platform/dc.h"
#include "platform/raster_paint.h"
#include "platform/raster_shapes.h"

namespace plat {

using namespace raster;

void BitmapDC::Impl::UpdateClip(int w, int h, const Clip& clip) {
  if (clipValid && w == clipW && h == clipH) return;
  clipValid = true;
  regionValid = false;
  clipW = w;
  clipH = h;
  clipMask = QImage();
  const Box image{0, 0, w, h};
  if (clip.kind == Clip::None) {
    clipBox = image;
  } else if (clip.kind == Clip::Rectangle) {
    clipBox = Intersect(image, MakeBox(clip.rect.left, clip.rect.top, clip.rect.right, clip.rect.bottom));
  } else {
    // A polygon region (winding rule): pixels whose centres lie inside
    // the polygon through the given corner points.
    clipBox = Box{};
    if (clip.polygon.size() < 3) return;
    i64 x0 = clip.polygon[0].x, y0 = clip.polygon[0].y, x1 = x0, y1 = y0;
    for (const Point& p : clip.polygon) {
      x0 = std::min<i64>(x0, p.x);
      y0 = std::min<i64>(y0, p.y);
      x1 = std::max<i64>(x1, p.x);
      y1 = std::max<i64>(y1, p.y);
    }
    clipBox = Intersect(image, MakeBox(x0, y0, x1, y1));
    if (clipBox.Empty()) return;
    QPolygonF poly;
    for (const Point& p : clip.polygon) poly << QPointF(p.x, p.y);
    poly = ClipPolygon(poly, clipBox.x0 - 1, clipBox.y0 - 1, clipBox.x1 + 1, clipBox.y1 + 1);
    clipMask = QImage(clipBox.W(), clipBox.H(), QImage::Format_Alpha8);
    if (clipMask.isNull()) {
      clipBox = Box{};
      return;
    }
    clipMask.fill(0);
    QPainter p(&clipMask);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.translate(-clipBox.x0, -clipBox.y0);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPolygon(poly, Qt::WindingFill);
  }
}

Canvas BitmapDC::Impl::Prepare(QImage& img, const Clip& clip, const Rect* overwrite) {
  UpdateClip(img.width(), img.height(), clip);
  if (overwrite && clipMask.isNull() && !img.isDetached() && clipBox.x0 == 0 && clipBox.y0 == 0 &&
      clipBox.x1 == img.width() && clipBox.y1 == img.height() && overwrite->left <= 0 && overwrite->top <= 0 &&
      overwrite->right >= img.width() && overwrite->bottom >= img.height())
    img = QImage(img.width(), img.height(), img.format());
  Canvas c;
  c.box = clipBox;
  if (c.box.Empty()) return c;
  c.bits = reinterpret_cast<QRgb*>(img.bits());  // detaches a shared image
  c.stride = img.bytesPerLine() / 4;
  if (!clipMask.isNull()) {
    c.mask = clipMask.constBits();
    c.maskStride = clipMask.bytesPerLine();
  }
  return c;
}

const QRegion& BitmapDC::Impl::Region() {
  if (regionValid) return region;
  regionValid = true;
  region = QRegion();
  if (clipBox.Empty()) return region;
  if (clipMask.isNull()) {
    region = QRegion(clipBox.x0, clipBox.y0, clipBox.W(), clipBox.H());
    return region;
  }
  std::vector<QRect> rects;
  for (int y = 0; y < clipBox.H(); ++y) {
    const uchar* m = clipMask.constScanLine(y);
    for (int x = 0; x < clipBox.W();) {
      if (!m[x]) {
        ++x;
        continue;
      }
      int e = x;
      while (e < clipBox.W() && m[e]) ++e;
      rects.emplace_back(clipBox.x0 + x, clipBox.y0 + y, e - x, 1);
      x = e;
    }
  }
  region.setRects(rects.data(), static_cast<int>(rects.size()));
  return region;
}

BitmapDC::BitmapDC(Bitmap& target)
    : target_(target), caps_(ScreenCaps()), impl_(std::make_unique<Impl>()) {}

BitmapDC::~BitmapDC() = default;

DeviceCaps BitmapDC::Caps() const { return caps_; }

void BitmapDC::DoClipChanged() { impl_->clipValid = false; }

// Pixels outside the clip region are left alone (and read as invalid),
// as outside the bitmap.
Colour BitmapDC::SetPixel(int x, int y, Colour c) {
  QImage& img = ImageOf(target_);
  impl_->UpdateClip(img.width(), img.height(), CurrentClip());
  if (!impl_->Visible(x, y)) return 0xFFFFFFFF;
  reinterpret_cast<QRgb*>(img.scanLine(y))[x] = QRgbOf(c);
  return c & 0xFFFFFF;
}

Colour BitmapDC::GetPixel(int x, int y) const {
  const QImage& img = ImageOf(std::as_const(target_));
  impl_->UpdateClip(img.width(), img.height(), CurrentClip());
  if (!impl_->Visible(x, y)) return 0xFFFFFFFF;
  return ColourOf(reinterpret_cast<const QRgb*>(img.constScanLine(y))[x]);
}

i64 BitmapDC::Impl::LinePhase(Point from, Point to, const Pen& pen) {
  const bool continues = haveLast && lastEnd == from && lastPen == pen;
  const i64 phase = continues ? dashPos : 0;
  haveLast = true;
  lastEnd = to;
  lastPen = pen;
  constexpr i64 kPeriods = 2 * 3 * 4 * 24;  // a multiple of all periods
  dashPos = phase + LineSteps(from, to);
  if (dashPos >= kPeriods) dashPos %= kPeriods;
  return phase;
}

void BitmapDC::DoLine(Point from, Point to) {
  const PenPaint pen = MakePenPaint(CurrentPen(), GetBkColor(), GetBkMode(), GetROP2());
  Impl& d = *impl_;
  const i64 phase = d.LinePhase(from, to, CurrentPen());
  if (!pen.visible) return;
  Canvas c = d.Prepare(ImageOf(target_), CurrentClip());
  if (c.box.Empty()) return;
  if (pen.width <= 1) {
    ThinLine(c, from, to, pen, phase);
    return;
  }
  BitmapDC::DoPolyline({from, to});
}

// The steps of a thin pen share the pen's pixels and the canvas; each is
// walked as DoLine walks it, dash phase included.  Wide pens draw step by
// step, each with its own caps.
void BitmapDC::DoPolylineTo(Point from, const Point* pts, std::size_t n) {
  const PenPaint pen = MakePenPaint(CurrentPen(), GetBkColor(), GetBkMode(), GetROP2());
  if (!pen.visible || pen.width > 1) {
    DC::DoPolylineTo(from, pts, n);
    return;
  }
  Impl& d = *impl_;
  Canvas c = d.Prepare(ImageOf(target_), CurrentClip());
  for (std::size_t i = 0; i < n; ++i) {
    const i64 phase = d.LinePhase(from, pts[i], CurrentPen());
    if (!c.box.Empty()) ThinLine(c, from, pts[i], pen, phase);
    from = pts[i];
  }
}

void BitmapDC::DoPolyline(const std::vector<Point>& pts) {
  const PenPaint pen = MakePenPaint(CurrentPen(), GetBkColor(), GetBkMode(), GetROP2());
  impl_->haveLast = false;
  if (!pen.visible || pts.size() < 2) return;
  Canvas c = impl_->Prepare(ImageOf(target_), CurrentClip());
  if (c.box.Empty()) return;
  if (pen.width <= 1) {
    i64 phase = 0;
    for (std::size_t k = 1; k < pts.size(); ++k) {
      ThinLine(c, pts[k - 1], pts[k], pen, phase);
      phase += LineSteps(pts[k - 1], pts[k]);
    }
    return;
  }
  // Wide: one mask for the whole line, so joints are drawn once.
  i64 x0 = pts[0].x, y0 = pts[0].y, x1 = x0, y1 = y0;
  for (const Point& p : pts) {
    x0 = std::min<i64>(x0, p.x);
    y0 = std::min<i64>(y0, p.y);
    x1 = std::max<i64>(x1, p.x);
    y1 = std::max<i64>(y1, p.y);
  }
  const i64 m = pen.width / 2 + 2;
  const Box box = Intersect(c.box, MakeBox(x0 - m, y0 - m, x1 + m + 1, y1 + m + 1));
  if (box.Empty()) return;
  Coverage cov(box, impl_->coverage);
  WideOutline(cov, ToPointsF(pts), false, pen.width);
  Composite(c, cov, pen, BrushPaint{}, pen.rop);
}

// Outline on columns left..right-1 and rows top..bottom-1, brush inside.
// With the null pen the filled area is one pixel smaller in both
// directions, as the classic interface does it.
void BitmapDC::DoRectangle(const Rect& r) {
  const PenPaint pen = MakePenPaint(CurrentPen(), GetBkColor(), GetBkMode(), GetROP2());
  const BrushPaint brush = MakeBrushPaint(CurrentBrush(), GetBkColor(), GetBkMode() == OPAQUE);
  impl_->haveLast = false;
  if (GetROP2() == R2_NOP) return;
  const bool hasPen = CurrentPen().style != PS_NULL;
  const i64 fr = hasPen ? r.right : i64{r.right} - 1;
  const i64 fb = hasPen ? r.bottom : i64{r.bottom} - 1;
  if (WidthOf(r) <= 0 || HeightOf(r) <= 0) return;
  Canvas c = impl_->Prepare(ImageOf(target_), CurrentClip());
  const i64 m = hasPen ? pen.width / 2 + 2 : 0;
  const Box box = Intersect(c.box, MakeBox(r.left - m, r.top - m, i64{r.right} + m, i64{r.bottom} + m));
  if (box.Empty()) return;
  Coverage cov(box, impl_->coverage);
  const i64 rowFrom = std::max<i64>(r.top, box.y0);
  if (brush.kind != BrushPaint::None)
    for (i64 y = rowFrom; y < std::min<i64>(fb, box.y1); ++y) cov.MarkRow(y, r.left, fr - 1, kFill);
  if (hasPen) {
    const int R = r.right - 1, B = r.bottom - 1;
    const std::vector<Point> corners{{r.left, r.top}, {R, r.top}, {R, B}, {r.left, B}};
    if (pen.width > 1) {
      WideOutline(cov, ToPointsF(corners), true, pen.width);
    } else if (WidthOf(r) <= 1 || HeightOf(r) <= 1) {
      for (i64 y = rowFrom; y <= std::min<i64>(B, box.y1 - 1); ++y) cov.MarkRow(y, r.left, R, kPenOn);
    } else {
      ThinOutline(cov, corners, true, pen);
    }
  }
  Composite(c, cov, pen, brush, GetROP2());
}

void BitmapDC::DoPolygon(const std::vector<Point>& pts) {
  const PenPaint pen = MakePenPaint(CurrentPen(), GetBkColor(), GetBkMode(), GetROP2());
  const BrushPaint brush = MakeBrushPaint(CurrentBrush(), GetBkColor(), GetBkMode() == OPAQUE);
  impl_->haveLast = false;
  if (GetROP2() == R2_NOP) return;
  const bool hasPen = CurrentPen().style != PS_NULL;
  Canvas c = impl_->Prepare(ImageOf(target_), CurrentClip());
  i64 x0 = pts[0].x, y0 = pts[0].y, x1 = x0, y1 = y0;
  for (const Point& p : pts) {
    x0 = std::min<i64>(x0, p.x);
    y0 = std::min<i64>(y0, p.y);
    x1 = std::max<i64>(x1, p.x);
    y1 = std::max<i64>(y1, p.y);
  }
  const i64 m = hasPen ? pen.width / 2 + 2 : 1;
  const Box box = Intersect(c.box, MakeBox(x0 - m, y0 - m, x1 + m + 1, y1 + m + 1));
  if (box.Empty()) return;
  const bool fill = brush.kind != BrushPaint::None && pts.size() >= 3;
  // The common case (the cells of a 3D surface): a solid fill and a solid
  // thin pen copied inside the image without a clip polygon.  Spans of the
  // fill go straight into the bits, then the outline over them: the pixels
  // the mask and composite below would give.
  if (GetROP2() == R2_COPYPEN && !c.mask && (!fill || brush.kind == BrushPaint::Solid) &&
      (!hasPen || (pen.width <= 1 && !pen.dash)) && c.box.Contains(x0, y0) && c.box.Contains(x1, y1)) {
    if (fill) {
      const QRgb colour = brush.colour;
      ScanPolygon(pts, GetPolyFillMode() == WINDING, impl_->edges, impl_->crossings,
                  [&c, colour](int y, int from, int to) {
                    FillPixels(&c.At(from, y), static_cast<std::size_t>(to - from), colour);
                  });
    }
    if (hasPen) {
      for (std::size_t k = 0; k < pts.size(); ++k)
        WalkLine(pts[k], pts[(k + 1) % pts.size()], box, [&c, &pen](int x, int y, i64) { c.At(x, y) = pen.fg; });
    }
    return;
  }
  Coverage cov(box, impl_->coverage);
  // The fill covers the pixels whose centres lie inside the polygon through
  // the corner points, so a filled square (0,0)-(10,10) covers 0..9; the
  // outline runs through the vertex pixels themselves.
  if (fill) {
    QPolygonF poly;
    for (const Point& p : pts) poly << QPointF(p.x, p.y);
    poly = ClipPolygon(poly, box.x0 - 1, box.y0 - 1, box.x1 + 1, box.y1 + 1);
    const Qt::FillRule rule = GetPolyFillMode() == WINDING ? Qt::WindingFill : Qt::OddEvenFill;
    PaintCoverage(cov, kFill, [&](QPainter& p) {
      p.setPen(Qt::NoPen);
      p.setBrush(Qt::white);
      p.drawPolygon(poly, rule);
    });
  }
  if (hasPen) {
    if (pen.width > 1)
      WideOutline(cov, ToPointsF(pts), true, pen.width);
    else
      ThinOutline(cov, pts, true, pen);
  }
  Composite(c, cov, pen, brush, GetROP2());
}

// The brush over the rectangle, no outline, no raster operation; hatch
// gaps take the background colour.
void BitmapDC::DoFillRect(const Rect& r, const Brush& b) {
  const BrushPaint brush = MakeBrushPaint(b, GetBkColor(), true);
  if (brush.kind == BrushPaint::None) return;
  const bool solid = brush.kind == BrushPaint::Solid;
  Canvas c = impl_->Prepare(ImageOf(target_), CurrentClip(), solid ? &r : nullptr);
  const Box box = Intersect(c.box, MakeBox(r.left, r.top, r.right, r.bottom));
  if (solid && !c.mask) {
    FillRows(c, box, brush.colour);
    return;
  }
  for (int y = box.y0; y < box.y1; ++y)
    for (int x = box.x0; x < box.x1; ++x) {
      QRgb colour;
      if (c.InClip(x, y) && brush.At(x, y, colour)) c.At(x, y) = colour;
    }
}

// Pattern operations: the current brush (hatch gaps in the background
// colour) combined with the destination.  Operations that need a source
// are ignored here, and so are pattern operations with the null brush.
void BitmapDC::DoPatBlt(const Rect& r, unsigned rop) {
  const unsigned code = (rop >> 16) & 0xFF;
  if (Rop3UsesSource(code)) return;
  const BrushPaint brush = MakeBrushPaint(CurrentBrush(), GetBkColor(), true);
  if (Rop3UsesPattern(code) && brush.kind == BrushPaint::None) return;
  const bool fill = code == 0xF0 && brush.kind == BrushPaint::Solid;
  Canvas c = impl_->Prepare(ImageOf(target_), CurrentClip(), fill ? &r : nullptr);
  const Box box = Intersect(c.box, MakeBox(r.left, r.top, r.right, r.bottom));
  // A solid pattern copied: whole rows of one colour.
  if (code == 0xF0 && brush.kind == BrushPaint::Solid && !c.mask) {
    FillRows(c, box, brush.colour | 0xFF000000u);
    return;
  }
  for (int y = box.y0; y < box.y1; ++y)
    for (int x = box.x0; x < box.x1; ++x) {
      if (!c.InClip(x, y)) continue;
      QRgb p = 0;
      brush.At(x, y, p);
      QRgb& d = c.At(x, y);
      d = ApplyRop3(code, p, 0, d) | 0xFF000000u;
    }
}

// Nearest-pixel copy from the source rectangle onto the destination
// rectangle, cut to both images and the clip.  The source may be the
// target itself: the source image is held as it was before the copy.
void BitmapDC::DoBitBlt(const Rect& dest, const Bitmap& source, const Rect& src, unsigned rop) {
  const unsigned code = (rop >> 16) & 0xFF;
  const BrushPaint brush = MakeBrushPaint(CurrentBrush(), GetBkColor(), true);
  if (Rop3UsesPattern(code) && brush.kind == BrushPaint::None) return;
  if (WidthOf(dest) <= 0 || HeightOf(dest) <= 0 || WidthOf(src) <= 0 || HeightOf(src) <= 0) return;
  const QImage from = ImageOf(source);  // shares the data; the target detaches on write
  const bool needSource = Rop3UsesSource(code);
  if (needSource && from.isNull()) return;
  const bool copy = code == 0xCC && WidthOf(dest) == WidthOf(src) && HeightOf(dest) == HeightOf(src);
  QImage& to = ImageOf(target_);
  // A copy of a whole image of the same size onto the whole target, without
  // a clip: the target shares the source's pixels (copied on a later write).
  // Every image here holds opaque pixels (alpha 0xFF), so sharing gives the
  // pixels a copy would.
  if (copy && CurrentClip().kind == Clip::None && dest.left == 0 && dest.top == 0 && src.left == 0 &&
      src.top == 0 && WidthOf(src) == from.width() && HeightOf(src) == from.height() &&
      from.width() == to.width() && from.height() == to.height() && from.format() == to.format()) {
    to = from;
    impl_->clipValid = false;
    return;
  }
  const bool covered = copy && src.left >= 0 && src.top >= 0 && src.right <= from.width() && src.bottom <= from.height();
  Canvas c = impl_->Prepare(to, CurrentClip(), covered ? &dest : nullptr);
  const Box box = Intersect(c.box, MakeBox(dest.left, dest.top, dest.right, dest.bottom));
  if (box.Empty()) return;
  const int fromW = from.width();
  const int fromH = from.height();
  // An unstretched copy without a clip polygon: row copies.
  if (copy && !c.mask) {
    const i64 dx = i64{src.left} - dest.left;
    const i64 dy = i64{src.top} - dest.top;
    // The destination columns and rows whose source pixels exist.
    const Box rows = Intersect(box, MakeBox(-dx, -dy, fromW - dx, fromH - dy));
    for (int y = rows.y0; y < rows.y1; ++y) {
      const QRgb* s = reinterpret_cast<const QRgb*>(from.constScanLine(static_cast<int>(y + dy))) + (rows.x0 + dx);
      CopyPixelsOpaque(&c.At(rows.x0, y), s, static_cast<std::size_t>(rows.W()));
    }
    return;
  }

  // Source column and row of each destination pixel (pixel centres mapped).
  auto mapAxis = [](int d, i64 d0, i64 dn, i64 s0, i64 sn) {  // d >= d0
    return Saturate(i128{s0} + i128{2 * (d - d0) + 1} * sn / (i128{2} * dn));
  };
  std::vector<i64> sxs(static_cast<std::size_t>(box.W()));
  for (int x = box.x0; x < box.x1; ++x)
    sxs[static_cast<std::size_t>(x - box.x0)] = mapAxis(x, dest.left, WidthOf(dest), src.left, WidthOf(src));
  for (int y = box.y0; y < box.y1; ++y) {
    const i64 sy = mapAxis(y, dest.top, HeightOf(dest), src.top, HeightOf(src));
    if (needSource && (sy < 0 || sy >= fromH)) continue;
    const QRgb* srow = needSource ? reinterpret_cast<const QRgb*>(from.constScanLine(static_cast<int>(sy))) : nullptr;
    for (int x = box.x0; x < box.x1; ++x) {
      if (!c.InClip(x, y)) continue;
      QRgb s = 0;
      if (needSource) {
        const i64 sx = sxs[static_cast<std::size_t>(x - box.x0)];
        if (sx < 0 || sx >= fromW) continue;
        s = srow[sx];
      }
      QRgb p = 0;
      brush.At(x, y, p);
      QRgb& d = c.At(x, y);
      d = ApplyRop3(code, p, s, d) | 0xFF000000u;
    }
  }
}

}  // namespace plat
