// The metafile player.  Coordinates go from the metafile's logical space
// through its world transform and mapping mode to pixels of the reference
// device, then through the header's frame onto the destination rectangle;
// the player draws with the DC's own primitives in destination pixels, so
// that a metafile made by EmfDC and played at its own size repeats the
// drawing pixel for pixel.  Clipping is kept as a pixel region of the
// destination and handed to the DC as a rectangle or as one polygon.  This
// file holds the run over the records and their dispatch, which plays the
// state records (mapping, modes, objects, clipping, paths) itself; the
// drawing records go to emf_player_drawing.cpp, emf_player_objects.cpp
// (bitmaps) and emf_player_text.cpp.  Every record read takes its share of
// the budget, and the play stops once the budget's work or time is spent or
// the program is told to end.
#include "platform/emf_player.h"

#include <QRegion>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "platform/app.h"
#include "platform/bitmap_impl.h"
#include "platform/emf_player_impl.h"
#include "platform/emf_records.h"

namespace plat::emf_play {

Player::Player(DC& dc, const Header& h, const Rect& dest, EmfPlayBudget& budget)
    : dc_(dc), budget_(budget), clockAt_(budget.work), h_(h), dest_(dest) {
  guard_ = QRectF(dest.left - 2.0, dest.top - 2.0, dest.Width() + 4.0, dest.Height() + 4.0);
  base_ = QRegion(dest.left, dest.top, dest.Width(), dest.Height());
  const DC::Clip& own = dc.CurrentClip();
  if (own.kind == DC::Clip::Rectangle)
    base_ &= QRegion(own.rect.left, own.rect.top, own.rect.Width(), own.rect.Height());
  else if (own.kind == DC::Clip::Polygon) {
    base_ &= PolygonRegion(ToF(own.polygon), Qt::WindingFill);
    callerShape_ = ToF(own.polygon);
  }
  int shownWidth = base_.boundingRect().width(), shownHeight = base_.boundingRect().height();
  if (const Bitmap* surface = dc.Surface(); surface && !surface->IsNull()) {
    shownWidth = std::min(shownWidth, surface->Width());
    shownHeight = std::min(shownHeight, surface->Height());
  }
  maxFontPixels_ = 2.0 * std::max({shownWidth, shownHeight, 8});
  view_ = QRectF(base_.boundingRect());
  if (const Bitmap* surface = dc.Surface(); surface && !surface->IsNull())
    view_ &= QRectF(0, 0, surface->Width(), surface->Height());
  valid_ = SetUpFinal();
}

EmfPlayStats Player::Run(const std::uint8_t* data, std::size_t size) {
  EmfPlayStats stats;
  if (!valid_ || dest_.Width() <= 0 || dest_.Height() <= 0) return stats;
  const int saved = dc_.SaveDC();
  ApplyDefaults();
  std::size_t off = 0;
  bool first = true;
  while (size - off >= 8) {
    if (App::Terminating()) break;
    const RecordView head(data + off, size - off);
    const std::uint32_t recordSize = head.U32(4);
    if (recordSize < 8 || recordSize > size - off) {
      ++stats.skipped;
      break;
    }
    budget_.work -= kRecordWork + recordSize / kByteWork;
    bool spent = budget_.work < 0;
    if (!spent && (++clockRecords_ >= kClockRecords || budget_.work <= clockAt_)) {
      spent = std::chrono::steady_clock::now() >= budget_.until;
      clockAt_ = budget_.work - kClockWork;
      clockRecords_ = 0;
    }
    if (spent) {
      ++stats.skipped;
      ++stats.overBudget;
      break;
    }
    const RecordView r(data + off, recordSize);
    off += recordSize;
    if (r.Type() == EMR_EOF) {
      stats.complete = true;
      break;
    }
    if (first) {
      first = false;
      if (r.Type() == EMR_HEADER) continue;
    }
    const bool played = Play(r);
    if (refused_) {
      refused_ = false;
      ++stats.overBudget;
      ++stats.skipped;
    } else if (played) {
      ++stats.played;
    } else {
      ++stats.skipped;
    }
  }
  dc_.RestoreDC(saved);
  return stats;
}

bool Player::SetTransform(const Affine& a) {
  if (!a.Sound()) return false;
  s_.world = a;
  transformDirty_ = true;
  clipDirty_ = true;
  return true;
}

Affine Player::ReadXform(const RecordView& r, std::size_t o) {
  return Affine{r.F32(o), r.F32(o + 4), r.F32(o + 8), r.F32(o + 12), r.F32(o + 16), r.F32(o + 20)};
}

bool Player::Play(const RecordView& r) {
  const std::uint32_t type = r.Type();
  const std::size_t size = r.Size();
  // Drawing records need a usable transform.
  M();
  switch (type) {
    // -- state --
    case EMR_SETMAPMODE: {
      const std::uint32_t mode = r.U32(8);
      if (size < 12 || mode < MM_TEXT || mode > MM_ANISOTROPIC) return false;
      s_.mapMode = mode;
      transformDirty_ = true;
      return true;
    }
    case EMR_SETWINDOWEXTEX:
    case EMR_SETWINDOWORGEX:
    case EMR_SETVIEWPORTEXTEX:
    case EMR_SETVIEWPORTORGEX: {
      if (size < 16) return false;
      const QPointF v(r.I32(8), r.I32(12));
      if (type == EMR_SETWINDOWEXTEX) {
        if (v.x() == 0 || v.y() == 0) return false;
        s_.winExt = v;
      }
      if (type == EMR_SETWINDOWORGEX) s_.winOrg = v;
      if (type == EMR_SETVIEWPORTEXTEX) {
        if (v.x() == 0 || v.y() == 0) return false;
        s_.vpExt = v;
      }
      if (type == EMR_SETVIEWPORTORGEX) s_.vpOrg = v;
      transformDirty_ = true;
      return true;
    }
    case EMR_SCALEVIEWPORTEXTEX:
    case EMR_SCALEWINDOWEXTEX: {
      if (size < 24) return false;
      const double xn = r.I32(8), xd = r.I32(12), yn = r.I32(16), yd = r.I32(20);
      if (xd == 0 || yd == 0 || xn == 0 || yn == 0) return false;
      QPointF& ext = type == EMR_SCALEVIEWPORTEXTEX ? s_.vpExt : s_.winExt;
      const QPointF scaled(ext.x() * xn / xd, ext.y() * yn / yd);
      if (!std::isfinite(scaled.x()) || !std::isfinite(scaled.y()) || scaled.x() == 0 || scaled.y() == 0) return false;
      ext = scaled;
      transformDirty_ = true;
      return true;
    }
    case EMR_SETWORLDTRANSFORM:
      if (size < 32) return false;
      return SetTransform(ReadXform(r, 8));
    case EMR_MODIFYWORLDTRANSFORM: {
      if (size < 36) return false;
      const Affine x = ReadXform(r, 8);
      switch (r.U32(32)) {
        case MWT_IDENTITY: return SetTransform(Affine{});
        case MWT_LEFTMULTIPLY: return SetTransform(x.Then(s_.world));
        case MWT_RIGHTMULTIPLY: return SetTransform(s_.world.Then(x));
        case MWT_SET: return SetTransform(x);
        default: return false;
      }
    }
    case EMR_SETBKMODE:
      if (size < 12 || (r.U32(8) != TRANSPARENT && r.U32(8) != OPAQUE)) return false;
      s_.bkMode = static_cast<int>(r.U32(8));
      return true;
    case EMR_SETPOLYFILLMODE:
      if (size < 12 || (r.U32(8) != ALTERNATE && r.U32(8) != WINDING)) return false;
      s_.fillMode = static_cast<int>(r.U32(8));
      return true;
    case EMR_SETROP2:
      if (size < 12 || r.U32(8) < R2_BLACK || r.U32(8) > R2_WHITE) return false;
      s_.rop2 = static_cast<int>(r.U32(8));
      return true;
    case EMR_SETTEXTALIGN:
      if (size < 12) return false;
      s_.align = r.U32(8) & (TA_UPDATECP | TA_CENTER | TA_BASELINE);
      return true;
    case EMR_SETTEXTCOLOR:
      if (size < 12) return false;
      s_.textColour = ColourRef(r.U32(8));
      return true;
    case EMR_SETBKCOLOR:
      if (size < 12) return false;
      s_.bkColour = ColourRef(r.U32(8));
      return true;
    case EMR_SETARCDIRECTION:
      if (size < 12) return false;
      s_.clockwise = r.U32(8) == 2;
      return true;
    case EMR_MOVETOEX:
      if (size < 16) return false;
      s_.cp = ReadPointL(r, 8);
      if (inPath_) path_.push_back(Figure{{Map(s_.cp)}, false});
      return true;
    case EMR_SAVEDC:
      if (saved_.size() >= kMaxSavedStates) return false;
      saved_.push_back(s_);
      return true;
    case EMR_RESTOREDC: {
      if (size < 12) return false;
      const std::int64_t n = r.I32(8);
      const std::int64_t count = static_cast<std::int64_t>(saved_.size());
      const std::int64_t level = n < 0 ? count + 1 + n : n;
      if (n == 0 || level < 1 || level > count) return false;
      s_ = std::move(saved_[static_cast<std::size_t>(level - 1)]);
      saved_.resize(static_cast<std::size_t>(level - 1));
      transformDirty_ = true;
      clipDirty_ = true;
      return true;
    }

    // -- objects --
    case EMR_CREATEPEN: {
      if (size < 28) return false;
      ObjectSlot o;
      o.kind = ObjectSlot::PenKind;
      const int width = r.I32(16);
      o.pen = PenSpec{PenStyleOf(r.U32(12)), std::abs(double(width)), width == 0, ColourRef(r.U32(24))};
      return Create(r.U32(8), o);
    }
    case EMR_EXTCREATEPEN: {
      if (size < 52) return false;
      ObjectSlot o;
      o.kind = ObjectSlot::PenKind;
      const std::uint32_t style = r.U32(28);
      const bool geometric = (style & 0xF0000) == 0x10000;
      const double width = r.U32(32);
      o.pen = PenSpec{PenStyleOf(style), width, !geometric || width == 0, ColourRef(r.U32(40))};
      if (r.U32(36) == 1) o.pen.style = PS_NULL;  // a hollow brush draws nothing
      return Create(r.U32(8), o);
    }
    case EMR_CREATEBRUSHINDIRECT: {
      if (size < 24) return false;
      ObjectSlot o;
      o.kind = ObjectSlot::BrushKind;
      o.brush = BrushOf(r.U32(12), ColourRef(r.U32(16)), r.U32(20));
      return Create(r.U32(8), o);
    }
    case EMR_CREATEDIBPATTERNBRUSHPT:
    case EMR_CREATEMONOBRUSH: {
      if (size < 32) return false;
      ObjectSlot o;
      o.kind = ObjectSlot::BrushKind;
      o.brush = PatternBrush(r);
      return Create(r.U32(8), o);
    }
    case EMR_EXTCREATEFONTINDIRECTW: {
      if (size < 12 + kLogFontWSize) return false;
      ObjectSlot o;
      o.kind = ObjectSlot::FontKind;
      o.font = DecodeLogFontW(r, 12);
      return Create(r.U32(8), o);
    }
    case EMR_CREATEPALETTE:
      if (size < 12) return false;
      return Create(r.U32(8), ObjectSlot{});
    case EMR_SELECTOBJECT: {
      if (size < 12) return false;
      const std::uint32_t index = r.U32(8);
      if (index & kStockObject) {
        SelectStock(index & ~kStockObject);
        return true;
      }
      const auto it = objects_.find(index);
      if (it == objects_.end()) return false;
      switch (it->second.kind) {
        case ObjectSlot::PenKind: s_.pen = it->second.pen; break;
        case ObjectSlot::BrushKind: s_.brush = it->second.brush; break;
        case ObjectSlot::FontKind: s_.font = it->second.font; break;
        default: break;
      }
      return true;
    }
    case EMR_DELETEOBJECT:
      if (size < 12) return false;
      return objects_.erase(r.U32(8)) > 0;

    // -- clipping --
    case EMR_INTERSECTCLIPRECT:
    case EMR_EXCLUDECLIPRECT:
      if (size < 24 || !transformSound_) return false;
    {
      const Rect rc = ReadRect(r, 8);
      std::vector<QPointF> shape = s_.clipShape;
      CombineClip(LogicalRectRegion(rc), type == EMR_INTERSECTCLIPRECT ? RGN_AND : RGN_DIFF);
      if (type == EMR_INTERSECTCLIPRECT && !shape.empty() && M().AxisAligned()) {
        const QPointF p = Map(rc.left, rc.top), q = Map(rc.right, rc.bottom);
        s_.clipShape = ClipToRect(shape, QRectF(QPointF(std::min(p.x(), q.x()), std::min(p.y(), q.y())),
                                                QPointF(std::max(p.x(), q.x()), std::max(p.y(), q.y()))));
        if (s_.clipShape.size() < 3) s_.clipShape.clear();
      }
      return true;
    }
    case EMR_EXTSELECTCLIPRGN: {
      if (size < 16) return false;
      const std::uint32_t bytes = r.U32(8), mode = r.U32(12);
      if (mode < RGN_AND || mode > RGN_COPY) return false;
      if (bytes == 0) {
        if (mode != RGN_COPY) return false;
        s_.clip.reset();
        s_.clipShape.clear();
        clipDirty_ = true;
        return true;
      }
      const std::optional<QRegion> region = ReadRegion(r, 16, bytes, true);
      if (!region) return false;
      CombineClip(*region, mode);
      return true;
    }
    case EMR_OFFSETCLIPRGN: {
      if (size < 16 || !transformSound_) return false;
      if (!s_.clip) return true;
      const Point v = Px(M().MapVector(r.I32(8), r.I32(12)));
      s_.clip->translate(v.x, v.y);
      CombineClip(*s_.clip, RGN_COPY);
      return true;
    }
    case EMR_SELECTCLIPPATH: {
      if (size < 12) return false;
      const std::uint32_t mode = r.U32(8);
      if (mode < RGN_AND || mode > RGN_COPY) return false;
      const bool shape = path_.size() == 1 && path_[0].pts.size() >= 3 && s_.fillMode == WINDING &&
                         (mode == RGN_COPY || (mode == RGN_AND && !s_.clip));
      CombineClip(PathRegion(), mode);
      if (shape) s_.clipShape = path_[0].pts;
      path_.clear();
      inPath_ = false;
      return true;
    }

    // -- paths --
    case EMR_BEGINPATH:
      path_.clear();
      inPath_ = true;
      return true;
    case EMR_ENDPATH:
      inPath_ = false;
      return true;
    case EMR_ABORTPATH:
      path_.clear();
      inPath_ = false;
      return true;
    case EMR_CLOSEFIGURE:
      if (!path_.empty()) path_.back().closed = true;
      return true;
    case EMR_FLATTENPATH:
    case EMR_WIDENPATH:
      return true;  // paths are flat already; widening is not done
    case EMR_FILLPATH:
    case EMR_STROKEPATH:
    case EMR_STROKEANDFILLPATH:
      if (!transformSound_) return false;
      FinishPath(type != EMR_STROKEPATH, type != EMR_FILLPATH);
      return true;

    default: break;
  }

  if (!transformSound_) return false;
  switch (type) {
    case EMR_LINETO: {
      if (size < 16) return false;
      const QPointF to = ReadPointL(r, 8);
      if (inPath_) {
        OpenFigure()->pts.push_back(Map(to));
      } else if (const Pen pen = DevicePen(); AffordStroke(std::array{Map(s_.cp), Map(to)}, false, pen)) {
        ApplyLine(pen);
        const Point a = Px(Map(s_.cp)), b = Px(Map(to));
        dc_.MoveTo(a.x, a.y);
        dc_.LineTo(b.x, b.y);
      }
      s_.cp = to;
      return true;
    }
    case EMR_POLYLINE:
    case EMR_POLYGON:
    case EMR_POLYLINETO:
    case EMR_POLYBEZIER:
    case EMR_POLYBEZIERTO:
    case EMR_POLYLINE16:
    case EMR_POLYGON16:
    case EMR_POLYLINETO16:
    case EMR_POLYBEZIER16:
    case EMR_POLYBEZIERTO16:
      return Poly(type, r);
    case EMR_POLYPOLYLINE:
    case EMR_POLYPOLYGON:
    case EMR_POLYPOLYLINE16:
    case EMR_POLYPOLYGON16:
      return PolyPoly(type, r);
    case EMR_RECTANGLE:
    case EMR_ELLIPSE:
    case EMR_ROUNDRECT:
    case EMR_ARC:
    case EMR_ARCTO:
    case EMR_CHORD:
    case EMR_PIE:
      return Shape(type, r);
    case EMR_SETPIXELV: {
      if (size < 20) return false;
      if (!Afford(kPixelWork)) return true;
      ApplyClip();
      const Point p = Px(Map(ReadPointL(r, 8)));
      dc_.SetPixel(p.x, p.y, ColourRef(r.U32(16)));
      return true;
    }
    case EMR_FILLRGN:
    case EMR_PAINTRGN:
    case EMR_INVERTRGN: {
      if (size < 28) return false;
      const std::uint32_t bytes = r.U32(24);
      const bool withBrush = type == EMR_FILLRGN;
      Brush brush = s_.brush;
      if (withBrush) {
        const std::uint32_t index = r.U32(28);
        if (index & kStockObject) {
          const Brush keep = s_.brush;
          SelectStock(index & ~kStockObject);
          brush = s_.brush;
          s_.brush = keep;
        } else {
          const auto it = objects_.find(index);
          if (it == objects_.end() || it->second.kind != ObjectSlot::BrushKind) return false;
          brush = it->second.brush;
        }
      }
      const std::optional<QRegion> region = ReadRegion(r, withBrush ? 32 : 28, bytes, false);
      if (!region) return false;
      if (type == EMR_INVERTRGN) {
        ApplyClip();
        for (const QRect& q : *region)
          if (AffordBox(q)) dc_.PatBlt(q.x(), q.y(), q.width(), q.height(), DSTINVERT);
      } else {
        FillRegion(*region, brush);
      }
      return true;
    }
    case EMR_BITBLT:
    case EMR_STRETCHBLT:
      return BitBlt(type, r);
    case EMR_STRETCHDIBITS:
    case EMR_SETDIBITSTODEVICE:
      return DibBlt(type, r);
    case EMR_EXTTEXTOUTW:
    case EMR_EXTTEXTOUTA:
      return ExtTextOut(type, r);
    case EMR_SMALLTEXTOUT:
      return SmallTextOut(r);
    default:
      return false;  // unknown or not supported: skipped
  }
}

}  // namespace plat::emf_play

namespace plat {

EmfPlayStats PlayEnhMetafile(DC& dc, const EnhMetafile& emf, const Rect& dest, EmfPlayBudget* budget) {
  // Destinations wider or taller than 2^28 pixels are refused, so that
  // their sizes never overflow.
  const std::int64_t w = std::int64_t{dest.right} - dest.left, h = std::int64_t{dest.bottom} - dest.top;
  if (emf.IsNull() || w <= 0 || h <= 0 || w > (1 << 28) || h > (1 << 28)) return EmfPlayStats{};
  EmfPlayBudget own;
  emf_play::Player player(dc, emf.Header(), dest, budget ? *budget : own);
  return player.Run(emf.Bits().data(), emf.Bits().size());
}

Bitmap RenderEnhMetafile(const EnhMetafile& emf, int width, int height, Colour background) {
  if (emf.IsNull() || width > 16384 || height > 16384 || !PictureFits(width, height)) return Bitmap();
  Bitmap out(width, height, background);
  BitmapDC dc(out);
  PlayEnhMetafile(dc, emf, Rect{0, 0, width, height});
  return out;
}

}  // namespace plat
