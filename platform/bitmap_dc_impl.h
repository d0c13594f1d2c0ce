// Platform-internal: the state a BitmapDC keeps between calls: the clip for
// the current image size (as a mask and as a toolkit region), the dash
// position carried across LineTo calls, the buffers reused from shape to
// shape and the toolkit font of the selected record.
#pragma once

#include <QFont>
#include <QImage>
#include <QRegion>

#include <cstdint>
#include <vector>

#include "platform/dc.h"
#include "platform/font_mapping.h"
#include "platform/raster_paint.h"
#include "platform/raster_shapes.h"

namespace plat {

struct BitmapDC::Impl {
  // Clip state for the current image size; rebuilt when either changes.
  bool clipValid = false;
  int clipW = -1, clipH = -1;
  raster::Box clipBox;     // image cut down to the clip bounds
  QImage clipMask;         // polygon clip over clipBox (Alpha8), else null
  bool regionValid = false;
  QRegion region;          // the same for QPainter (text)

  // Dash pattern continuity between LineTo calls.
  bool haveLast = false;
  Point lastEnd;
  Pen lastPen;
  raster::i64 dashPos = 0;
  // Notes a line from `from` to `to` drawn with `pen` and returns the dash
  // phase it starts at: where the last line left off when it continues it.
  raster::i64 LinePhase(Point from, Point to, const Pen& pen);

  // Buffers kept from one shape to the next.
  std::vector<std::uint8_t> coverage;
  std::vector<raster::ScanEdge> edges;
  std::vector<raster::Crossing> crossings;

  // The Qt font of the selected record.
  bool haveFont = false;
  LogFont font;
  QFont qfont;

  void UpdateClip(int w, int h, const Clip& clip);

  bool Visible(int x, int y) const {
    if (!clipBox.Contains(x, y)) return false;
    return clipMask.isNull() || clipMask.constScanLine(y - clipBox.y0)[x - clipBox.x0];
  }

  // `overwrite`: the caller is about to write every pixel of that box.  When
  // it is the whole image, an image shared with other bitmaps is replaced by
  // a fresh one instead of being copied first.
  raster::Canvas Prepare(QImage& img, const Clip& clip, const Rect* overwrite = nullptr);

  // The clip as a QPainter region (rows of the mask for a polygon).
  const QRegion& Region();

  enum EllipseKind { Whole, ArcOnly, PieShape };
  void DrawEllipse(BitmapDC& dc, const Rect& box, Point start, Point end, EllipseKind kind);

  const QFont& FontFor(const LogFont& lf) {
    if (!haveFont || !(font == lf)) {
      qfont = QFontFromLogFont(lf);
      font = lf;
      haveFont = true;
    }
    return qfont;
  }
};

}  // namespace plat
