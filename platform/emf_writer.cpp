#include "platform/emf_writer.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QString>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

#include "platform/bitmap.h"
#include "platform/bitmap_impl.h"
#include "platform/emf_records.h"
#include "platform/font_mapping.h"

namespace plat {

using namespace emf;

namespace {

// Object table slots: two per kind, so that a new object is created and
// selected before the old one is deleted.
constexpr std::uint32_t kPenSlots[2] = {1, 2};
constexpr std::uint32_t kBrushSlots[2] = {3, 4};
constexpr std::uint32_t kFontSlots[2] = {5, 6};
constexpr std::uint16_t kHandles = 7;

// Texts longer than this get per-character advances instead of exact
// prefix widths (which cost a measurement per character).
constexpr std::size_t kExactAdvanceLimit = 256;

bool Rop3UsesSource(unsigned code) { return (((code >> 2) ^ code) & 0x33) != 0; }
bool Rop3UsesPattern(unsigned code) { return (((code >> 4) ^ code) & 0x0F) != 0; }

bool FitsInt16(const std::vector<Point>& pts) {
  for (const Point& p : pts)
    if (p.x < -32768 || p.x > 32767 || p.y < -32768 || p.y > 32767) return false;
  return true;
}

bool SameClip(int kind, const Rect& rect, const std::vector<Point>& polygon, int kind2,
              const Rect& rect2, const std::vector<Point>& polygon2) {
  return kind == kind2 && rect == rect2 && polygon == polygon2;
}

}  // namespace

std::string EmfDescription(const std::string& program, const std::string& picture) {
  std::string d = program;
  d += '\0';
  d += picture;
  return d;
}

struct EmfDC::Impl {
  EmfDC& dc;
  DeviceCaps caps;
  Rect frame;
  std::string description;
  std::vector<std::uint8_t> body;
  std::uint32_t records = 0;
  bool closed = false;
  bool full = false;  // the size limit was reached: further records are dropped

  // Inclusive bounds of what was drawn.
  std::int64_t minX = std::numeric_limits<std::int64_t>::max(), minY = minX;
  std::int64_t maxX = std::numeric_limits<std::int64_t>::min(), maxY = maxX;

  // The state the metafile holds so far (nothing known at the start).
  std::optional<Pen> pen;
  std::optional<Brush> brush;
  std::optional<LogFont> font;
  std::optional<Colour> textColour, bkColour;
  std::optional<int> bkMode, rop2, fillMode;
  std::optional<unsigned> align;
  int penSlot = -1, brushSlot = -1, fontSlot = -1;  // index into the slot pairs, -1: stock
  Point cp{0, 0};
  int clipKind = Clip::None;
  Rect clipRect;
  std::vector<Point> clipPolygon;

  Bitmap measureSurface{1, 1};
  BitmapDC measure{measureSurface};
  std::optional<LogFont> advanceFontKey;
  QFont advanceFont;

  Impl(EmfDC& d, const DeviceCaps& c, const Rect& f, const std::string& desc)
      : dc(d), caps(c), frame(f), description(desc) {}

  void Emit(RecordBuilder& b) {
    if (closed || full) return;
    const std::vector<std::uint8_t>& bytes = b.Finish();
    if (body.size() + bytes.size() + kHeaderSize + 1024 + description.size() * 2 >
        EnhMetafile::kMaxBytes) {
      full = true;
      return;
    }
    body.insert(body.end(), bytes.begin(), bytes.end());
    ++records;
  }

  void EmitU32(std::uint32_t type, std::uint32_t v) {
    RecordBuilder b(type);
    b.U32(v);
    Emit(b);
  }

  void Include(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1) {
    minX = std::min(minX, std::min(x0, x1));
    minY = std::min(minY, std::min(y0, y1));
    maxX = std::max(maxX, std::max(x0, x1));
    maxY = std::max(maxY, std::max(y0, y1));
  }
  // A shape's exclusive rectangle, widened by half the pen.
  void IncludeShape(const Rect& r, bool withPen) {
    const int w = withPen ? PenReach() : 0;
    Include(std::int64_t{r.left} - w, std::int64_t{r.top} - w, std::int64_t{r.right} - 1 + w,
            std::int64_t{r.bottom} - 1 + w);
  }
  void IncludePoints(const std::vector<Point>& pts) {
    const int w = PenReach();
    for (const Point& p : pts) Include(std::int64_t{p.x} - w, std::int64_t{p.y} - w, std::int64_t{p.x} + w, std::int64_t{p.y} + w);
  }
  int PenReach() const {
    const Pen& p = dc.CurrentPen();
    if (p.style == PS_NULL) return 0;
    return std::clamp(p.width, 1, 10000) / 2;
  }
  Rect Bounds() const {
    if (minX > maxX) return Rect{0, 0, -1, -1};
    auto c = [](std::int64_t v) {
      return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    };
    return Rect{c(minX), c(minY), c(maxX), c(maxY)};
  }

  // ---- state ----

  void SelectStock(std::uint32_t stock) { EmitU32(EMR_SELECTOBJECT, kStockObject | stock); }

  // Creates the object in the free slot of its pair, selects it and deletes
  // the one it replaces.
  template <typename Create>
  void Replace(int& slot, const std::uint32_t (&pair)[2], Create create) {
    const int next = slot == 0 ? 1 : 0;
    create(pair[next]);
    EmitU32(EMR_SELECTOBJECT, pair[next]);
    if (slot >= 0) EmitU32(EMR_DELETEOBJECT, pair[slot]);
    slot = next;
  }
  void DropObject(int& slot, const std::uint32_t (&pair)[2]) {
    if (slot >= 0) EmitU32(EMR_DELETEOBJECT, pair[slot]);
    slot = -1;
  }

  void SyncPen() {
    const Pen& want = dc.CurrentPen();
    if (pen && *pen == want) return;
    pen = want;
    if (want.style == PS_NULL) {
      SelectStock(NULL_PEN);
      DropObject(penSlot, kPenSlots);
      return;
    }
    Replace(penSlot, kPenSlots, [&](std::uint32_t slot) {
      RecordBuilder b(EMR_CREATEPEN);
      b.U32(slot).U32(static_cast<std::uint32_t>(want.style)).I32(want.width).I32(0).U32(want.colour & 0xFFFFFF);
      Emit(b);
    });
  }

  void SyncBrush(const Brush& want) {
    if (brush && *brush == want) return;
    brush = want;
    if (want.style == BS_NULL) {
      SelectStock(NULL_BRUSH);
      DropObject(brushSlot, kBrushSlots);
      return;
    }
    Replace(brushSlot, kBrushSlots, [&](std::uint32_t slot) {
      RecordBuilder b(EMR_CREATEBRUSHINDIRECT);
      b.U32(slot).U32(want.style == BS_HATCHED ? 2u : 0u).U32(want.colour & 0xFFFFFF);
      b.U32(want.style == BS_HATCHED ? static_cast<std::uint32_t>(want.hatch) : 0u);
      Emit(b);
    });
  }

  // The font as written: a symbol-charset font becomes the family that
  // draws it here, with an ordinary charset (its text is converted).
  static LogFont WrittenFont(const LogFont& f) {
    if (f.charSet != SYMBOL_CHARSET) return f;
    LogFont w = f;
    w.charSet = DEFAULT_CHARSET;
    w.SetFace(FamilyForFace(f.Face()).toStdString());
    return w;
  }

  void SyncFont() {
    const LogFont want = WrittenFont(dc.CurrentFont());
    if (font && *font == want) return;
    font = want;
    Replace(fontSlot, kFontSlots, [&](std::uint32_t slot) {
      RecordBuilder b(EMR_EXTCREATEFONTINDIRECTW);
      b.U32(slot);
      EncodeLogFontW(b, want);
      Emit(b);
    });
  }

  template <typename T>
  void SyncValue(std::optional<T>& have, T want, std::uint32_t type) {
    if (have && *have == want) return;
    have = want;
    EmitU32(type, static_cast<std::uint32_t>(want));
  }

  void SyncLineState() {
    SyncPen();
    SyncValue(rop2, dc.GetROP2(), EMR_SETROP2);
    SyncClip();
  }
  void SyncFillState() {
    SyncLineState();
    SyncBrush(dc.CurrentBrush());
    SyncValue(bkColour, dc.GetBkColor(), EMR_SETBKCOLOR);
    SyncValue(bkMode, dc.GetBkMode(), EMR_SETBKMODE);
  }

  void ResetClip() {
    RecordBuilder b(EMR_EXTSELECTCLIPRGN);
    b.U32(0).U32(RGN_COPY);
    Emit(b);
  }

  void SyncClip() {
    const Clip& c = dc.CurrentClip();
    if (SameClip(c.kind, c.rect, c.polygon, clipKind, clipRect, clipPolygon)) return;
    clipKind = c.kind;
    clipRect = c.rect;
    clipPolygon = c.polygon;
    if (c.kind == Clip::None) {
      ResetClip();
    } else if (c.kind == Clip::Rectangle) {
      ResetClip();
      RecordBuilder b(EMR_INTERSECTCLIPRECT);
      b.RectL(c.rect);
      Emit(b);
    } else {
      // A polygon region fills by the winding rule.
      SyncValue(fillMode, static_cast<int>(WINDING), EMR_SETPOLYFILLMODE);
      RecordBuilder begin(EMR_BEGINPATH);
      Emit(begin);
      PolyRecord(EMR_POLYGON16, EMR_POLYGON, c.polygon);
      RecordBuilder end(EMR_ENDPATH);
      Emit(end);
      EmitU32(EMR_SELECTCLIPPATH, RGN_COPY);
    }
  }

  // ---- records ----

  void PolyRecord(std::uint32_t type16, std::uint32_t type32, const std::vector<Point>& pts) {
    const bool small = FitsInt16(pts);
    RecordBuilder b(small ? type16 : type32);
    b.RectL(PointBounds(pts)).U32(static_cast<std::uint32_t>(pts.size()));
    for (const Point& p : pts) {
      if (small)
        b.I16(static_cast<std::int16_t>(p.x)).I16(static_cast<std::int16_t>(p.y));
      else
        b.PointL(p);
    }
    Emit(b);
  }

  static Rect PointBounds(const std::vector<Point>& pts) {
    if (pts.empty()) return Rect{0, 0, -1, -1};
    Rect r{pts[0].x, pts[0].y, pts[0].x, pts[0].y};
    for (const Point& p : pts) {
      r.left = std::min(r.left, p.x);
      r.top = std::min(r.top, p.y);
      r.right = std::max(r.right, p.x);
      r.bottom = std::max(r.bottom, p.y);
    }
    return r;
  }

  // A bit block without a source: the brush combined with the destination.
  void PatternRecord(const Rect& r, unsigned rop) {
    RecordBuilder b(EMR_BITBLT);
    b.RectL(Rect{r.left, r.top, r.right - 1, r.bottom - 1});
    auto extent = [](int from, int to) {
      return static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{to} - from, std::numeric_limits<std::int32_t>::max()));
    };
    b.I32(r.left).I32(r.top).I32(extent(r.left, r.right)).I32(extent(r.top, r.bottom)).U32(rop);
    b.I32(0).I32(0);
    b.F32(1).F32(0).F32(0).F32(1).F32(0).F32(0);  // source transform: identity
    b.U32(0).U32(0);                              // background colour, usage
    b.U32(0).U32(0).U32(0).U32(0);                // no bitmap
    Emit(b);
    IncludeShape(r, false);
  }

  // Advances of the UTF-16 units of `text` in the written font; a
  // character's advance goes to its first unit.
  std::vector<std::int32_t> Advances(const LogFont& written, const QString& text) {
    if (!advanceFontKey || !(*advanceFontKey == written)) {
      advanceFontKey = written;
      advanceFont = QFontFromLogFont(written);
    }
    const QFontMetrics fm(advanceFont);
    std::vector<std::int32_t> dx(static_cast<std::size_t>(text.size()), 0);
    const bool exact = static_cast<std::size_t>(text.size()) <= kExactAdvanceLimit;
    int before = 0;
    for (qsizetype i = 0; i < text.size();) {
      const qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
      int adv;
      if (exact) {
        const int upto = fm.horizontalAdvance(text.left(i + len));
        adv = upto - before;
        before = upto;
      } else {
        adv = fm.horizontalAdvance(text.mid(i, len));
      }
      dx[static_cast<std::size_t>(i)] = adv;
      i += len;
    }
    return dx;
  }
};

EmfDC::EmfDC(const DeviceCaps& reference, const Rect& frame, const std::string& description)
    : impl_(std::make_unique<Impl>(*this, reference, frame, description)) {}

EmfDC::~EmfDC() = default;

EnhMetafile EmfDC::Close() {
  Impl& m = *impl_;
  if (m.closed) return EnhMetafile();
  RecordBuilder eof(EMR_EOF);
  eof.U32(0).U32(16).U32(static_cast<std::uint32_t>(kEofSize));
  const bool wasFull = m.full;
  m.full = false;  // the end record always fits: the limit keeps room for it
  m.Emit(eof);
  m.full = wasFull;
  m.closed = true;

  Header h;
  h.bounds = m.Bounds();
  h.device = Size{m.caps.horzRes, m.caps.vertRes};
  h.millimetres = Size{m.caps.horzSizeMm, m.caps.vertSizeMm};
  h.micrometres = Size{m.caps.horzSizeMm * 1000, m.caps.vertSizeMm * 1000};
  h.frame = m.frame;
  if (h.frame.right <= h.frame.left || h.frame.bottom <= h.frame.top) {
    // The drawn bounds on paper.
    auto mm = [](std::int64_t px, int size, int res) {
      return res > 0 ? static_cast<int>(std::llround(double(px) * size * 100.0 / res)) : 0;
    };
    const Rect b = h.bounds.right >= h.bounds.left ? h.bounds : Rect{0, 0, 0, 0};
    h.frame = Rect{mm(b.left, m.caps.horzSizeMm, m.caps.horzRes), mm(b.top, m.caps.vertSizeMm, m.caps.vertRes),
                   mm(std::int64_t{b.right} + 1, m.caps.horzSizeMm, m.caps.horzRes),
                   mm(std::int64_t{b.bottom} + 1, m.caps.vertSizeMm, m.caps.vertRes)};
  }
  h.handles = kHandles;
  h.description = m.description;
  h.records = m.records + 1;
  std::vector<std::uint8_t> bytes = EncodeHeader(h);
  h.bytes = static_cast<std::uint32_t>(bytes.size() + m.body.size());
  bytes = EncodeHeader(h);
  bytes.insert(bytes.end(), m.body.begin(), m.body.end());
  m.body.clear();
  m.body.shrink_to_fit();
  std::optional<EnhMetafile> out = EnhMetafile::FromBytes(bytes);
  return out ? std::move(*out) : EnhMetafile();
}

Colour EmfDC::SetPixel(int x, int y, Colour c) {
  Impl& m = *impl_;
  m.SyncClip();
  RecordBuilder b(EMR_SETPIXELV);
  b.PointL(Point{x, y}).U32(c & 0xFFFFFF);
  m.Emit(b);
  m.Include(x, y, x, y);
  return c & 0xFFFFFF;
}

Colour EmfDC::GetPixel(int, int) const { return kInvalidColour; }

DeviceCaps EmfDC::Caps() const { return impl_->caps; }

void EmfDC::DoLine(Point from, Point to) {
  Impl& m = *impl_;
  m.SyncLineState();
  if (!(m.cp == from)) {
    RecordBuilder b(EMR_MOVETOEX);
    b.PointL(from);
    m.Emit(b);
  }
  RecordBuilder b(EMR_LINETO);
  b.PointL(to);
  m.Emit(b);
  m.cp = to;
  m.IncludePoints({from, to});
}

void EmfDC::DoPolyline(const std::vector<Point>& pts) {
  Impl& m = *impl_;
  m.SyncLineState();
  m.PolyRecord(EMR_POLYLINE16, EMR_POLYLINE, pts);
  m.IncludePoints(pts);
}

void EmfDC::DoRectangle(const Rect& r) {
  Impl& m = *impl_;
  m.SyncFillState();
  RecordBuilder b(EMR_RECTANGLE);
  b.RectL(r);
  m.Emit(b);
  m.IncludeShape(r, true);
}

void EmfDC::DoEllipse(const Rect& r) {
  Impl& m = *impl_;
  m.SyncFillState();
  RecordBuilder b(EMR_ELLIPSE);
  b.RectL(r);
  m.Emit(b);
  m.IncludeShape(r, true);
}

void EmfDC::DoPolygon(const std::vector<Point>& pts) {
  Impl& m = *impl_;
  m.SyncFillState();
  m.SyncValue(m.fillMode, GetPolyFillMode(), EMR_SETPOLYFILLMODE);
  m.PolyRecord(EMR_POLYGON16, EMR_POLYGON, pts);
  m.IncludePoints(pts);
}

void EmfDC::DoArc(const Rect& box, Point start, Point end, bool pie) {
  Impl& m = *impl_;
  if (pie)
    m.SyncFillState();
  else
    m.SyncLineState();
  RecordBuilder b(pie ? EMR_PIE : EMR_ARC);
  b.RectL(box).PointL(start).PointL(end);
  m.Emit(b);
  m.IncludeShape(box, true);
}

void EmfDC::DoFillRect(const Rect& r, const Brush& brush) {
  Impl& m = *impl_;
  m.SyncClip();
  m.SyncValue(m.bkColour, GetBkColor(), EMR_SETBKCOLOR);
  m.SyncBrush(brush);
  m.PatternRecord(r, PATCOPY);
}

void EmfDC::DoPatBlt(const Rect& r, unsigned rop) {
  Impl& m = *impl_;
  m.SyncClip();
  m.SyncValue(m.bkColour, GetBkColor(), EMR_SETBKCOLOR);
  m.SyncBrush(CurrentBrush());
  m.PatternRecord(r, rop);
}

void EmfDC::DoTextOut(Point p, const std::string& text) {
  Impl& m = *impl_;
  m.SyncClip();
  m.SyncFont();
  m.SyncValue(m.textColour, GetTextColor(), EMR_SETTEXTCOLOR);
  m.SyncValue(m.bkColour, GetBkColor(), EMR_SETBKCOLOR);
  m.SyncValue(m.bkMode, GetBkMode(), EMR_SETBKMODE);
  // The position is resolved already: the metafile's text never moves its
  // current position.
  m.SyncValue(m.align, GetTextAlign() & ~static_cast<unsigned>(TA_UPDATECP), EMR_SETTEXTALIGN);

  const QString shown = TextForFont(CurrentFont(), text);
  const std::u16string units = shown.toStdU16String();
  const std::vector<std::int32_t> dx = m.Advances(*m.font, shown);

  // Bounds: the text cell at the reference point, turned by the escapement.
  const Size ext = DoTextExtent(text);
  const TextMetrics tm = DoTextMetrics();
  const unsigned align = GetTextAlign();
  double x0 = 0;
  if ((align & TA_CENTER) == TA_CENTER)
    x0 = -ext.cx / 2.0;
  else if ((align & TA_CENTER) == TA_RIGHT)
    x0 = -ext.cx;
  double y0 = 0;
  if ((align & TA_BASELINE) == TA_BASELINE)
    y0 = -tm.ascent;
  else if ((align & TA_BASELINE) == TA_BOTTOM)
    y0 = -tm.height;
  const double angle = CurrentFont().escapement / 10.0 * std::numbers::pi / 180.0;
  const double ca = std::cos(angle), sa = std::sin(angle);
  Rect bounds{p.x, p.y, p.x, p.y};
  bool first = true;
  for (double cx : {x0, x0 + ext.cx})
    for (double cy : {y0, y0 + tm.height}) {
      const double rx = p.x + cx * ca + cy * sa, ry = p.y - cx * sa + cy * ca;
      const int ix = static_cast<int>(std::clamp(std::floor(rx), -1e9, 1e9));
      const int iy = static_cast<int>(std::clamp(std::floor(ry), -1e9, 1e9));
      const int jx = static_cast<int>(std::clamp(std::ceil(rx), -1e9, 1e9));
      const int jy = static_cast<int>(std::clamp(std::ceil(ry), -1e9, 1e9));
      if (first) bounds = Rect{ix, iy, jx, jy};
      bounds.left = std::min(bounds.left, ix);
      bounds.top = std::min(bounds.top, iy);
      bounds.right = std::max(bounds.right, jx);
      bounds.bottom = std::max(bounds.bottom, jy);
      first = false;
    }

  const float scaleX = m.caps.horzRes > 0 ? float(m.caps.horzSizeMm * 100.0 / m.caps.horzRes) : 0.f;
  const float scaleY = m.caps.vertRes > 0 ? float(m.caps.vertSizeMm * 100.0 / m.caps.vertRes) : 0.f;
  const std::uint32_t n = static_cast<std::uint32_t>(units.size());
  const std::uint32_t offString = 76;
  const std::uint32_t offDx = offString + ((2 * n + 3) / 4) * 4;
  RecordBuilder b(EMR_EXTTEXTOUTW);
  b.RectL(bounds).U32(1).F32(scaleX).F32(scaleY);  // compatible graphics mode
  b.PointL(p).U32(n).U32(offString).U32(0).RectL(Rect{0, 0, -1, -1}).U32(offDx);
  for (char16_t c : units) b.U16(static_cast<std::uint16_t>(c));
  b.Pad4();
  for (std::int32_t d : dx) b.I32(d);
  m.Emit(b);
  m.Include(bounds.left, bounds.top, bounds.right, bounds.bottom);
}

Size EmfDC::DoTextExtent(const std::string& text) const {
  impl_->measure.SelectFont(CurrentFont());
  return impl_->measure.GetTextExtent(text);
}

DC::TextMetrics EmfDC::DoTextMetrics() const {
  impl_->measure.SelectFont(CurrentFont());
  return impl_->measure.GetTextMetrics();
}

void EmfDC::DoBitBlt(const Rect& dest, const Bitmap& source, const Rect& src, unsigned rop) {
  Impl& m = *impl_;
  const unsigned code = (rop >> 16) & 0xFF;
  m.SyncClip();
  if (Rop3UsesPattern(code)) {
    m.SyncValue(m.bkColour, GetBkColor(), EMR_SETBKCOLOR);
    m.SyncBrush(CurrentBrush());
  }
  if (!Rop3UsesSource(code)) {
    m.PatternRecord(dest, rop);
    return;
  }
  if (source.IsNull()) return;

  // Only the part of the source inside the bitmap is written; the
  // destination shrinks with it.
  const std::int64_t sw = std::int64_t{src.right} - src.left, sh = std::int64_t{src.bottom} - src.top;
  const std::int64_t dw = std::int64_t{dest.right} - dest.left, dh = std::int64_t{dest.bottom} - dest.top;
  const std::int64_t l = std::max(src.left, 0), t = std::max(src.top, 0);
  const std::int64_t r = std::min(src.right, source.Width()), btm = std::min(src.bottom, source.Height());
  if (r <= l || btm <= t || sw <= 0 || sh <= 0) return;
  const Rect d{static_cast<int>(dest.left + (l - src.left) * dw / sw), static_cast<int>(dest.top + (t - src.top) * dh / sh),
               static_cast<int>(dest.left + (r - src.left) * dw / sw), static_cast<int>(dest.top + (btm - src.top) * dh / sh)};
  if (std::int64_t{d.right} - d.left <= 0 || std::int64_t{d.bottom} - d.top <= 0 ||
      std::int64_t{d.right} - d.left > std::numeric_limits<std::int32_t>::max() ||
      std::int64_t{d.bottom} - d.top > std::numeric_limits<std::int32_t>::max())
    return;
  const int w = static_cast<int>(r - l), h = static_cast<int>(btm - t);

  // A bottom-up 24-bit bitmap of the copied part.
  const QImage& img = ImageOf(source);
  const std::uint32_t stride = static_cast<std::uint32_t>(((w * 3) + 3) / 4 * 4);
  const std::uint32_t bitsSize = stride * static_cast<std::uint32_t>(h);
  if (std::uint64_t{bitsSize} + m.body.size() + 1024 > EnhMetafile::kMaxBytes) {
    m.full = true;
    return;
  }
  RecordBuilder b(EMR_STRETCHDIBITS);
  b.RectL(Rect{d.left, d.top, d.right - 1, d.bottom - 1});
  b.I32(d.left).I32(d.top).I32(0).I32(0).I32(w).I32(h);
  b.U32(80).U32(40).U32(120).U32(bitsSize);
  b.U32(0).U32(rop).I32(d.Width()).I32(d.Height());
  b.U32(40).I32(w).I32(h).U16(1).U16(24).U32(0).U32(bitsSize).I32(0).I32(0).U32(0).U32(0);
  std::vector<std::uint8_t> row(stride, 0);
  for (int y = h - 1; y >= 0; --y) {
    const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(static_cast<int>(t) + y)) + l;
    for (int x = 0; x < w; ++x) {
      row[3 * x] = static_cast<std::uint8_t>(qBlue(line[x]));
      row[3 * x + 1] = static_cast<std::uint8_t>(qGreen(line[x]));
      row[3 * x + 2] = static_cast<std::uint8_t>(qRed(line[x]));
    }
    b.Bytes(row.data(), row.size());
  }
  m.Emit(b);
  m.IncludeShape(d, false);
}

}  // namespace plat
