// Platform-internal: what the bitmap rasteriser works with.  Pixel areas and
// saturating quotients, the raster operations on 0xRRGGBB values, the
// selected pen and brush as the pixels they paint (dash and hatch
// patterns), the canvas of pixels one call may change and the row fills.
// Only the BitmapDC sources include this header.
#pragma once

#include <QImage>
#include <QRgb>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>  // row fills and copies, 16 bytes at a time
#endif

#include "platform/bitmap_impl.h"
#include "platform/dc.h"
#include "platform/pixel_rect.h"

namespace plat::raster {

using i64 = std::int64_t;
__extension__ using i128 = __int128;

inline constexpr int kMaxPenWidth = 10000;

// A pixel area: columns x0..x1-1, rows y0..y1-1.
struct Box {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool Empty() const { return x0 >= x1 || y0 >= y1; }
  int W() const { return x1 - x0; }
  int H() const { return y1 - y0; }
  bool Contains(i64 x, i64 y) const { return x >= x0 && x < x1 && y >= y0 && y < y1; }
};

inline Box MakeBox(i64 x0, i64 y0, i64 x1, i64 y1) {
  return Box{ClampToInt(x0), ClampToInt(y0), ClampToInt(x1), ClampToInt(y1)};
}

inline Box Intersect(const Box& a, const Box& b) {
  Box r{std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
  if (r.Empty()) return Box{};
  return r;
}

// Quotients saturate to the 64-bit range; callers only compare them with
// step counts that are far smaller.
inline i64 Saturate(i128 q) {
  const i128 lo = std::numeric_limits<i64>::min(), hi = std::numeric_limits<i64>::max();
  return static_cast<i64>(q < lo ? lo : q > hi ? hi : q);
}

inline i64 FloorDiv(i128 a, i128 b) {  // b > 0
  i128 q = a / b;
  if ((a % b) != 0 && a < 0) --q;
  return Saturate(q);
}

inline i64 CeilDiv(i128 a, i128 b) {  // b > 0
  i128 q = a / b;
  if ((a % b) != 0 && a > 0) ++q;
  return Saturate(q);
}

// The same for operands that fit 64 bits.
inline i64 FloorDiv64(i64 a, i64 b) {  // b > 0
  i64 q = a / b;
  if ((a % b) != 0 && a < 0) --q;
  return q;
}

inline i64 CeilDiv64(i64 a, i64 b) {  // b > 0
  i64 q = a / b;
  if ((a % b) != 0 && a > 0) ++q;
  return q;
}

// ---- raster operations on 0xRRGGBB values ----

inline QRgb ApplyRop2(int rop, QRgb pen, QRgb dst) {
  std::uint32_t r;
  switch (rop) {
    case R2_BLACK: r = 0; break;
    case R2_NOTMERGEPEN: r = ~(pen | dst); break;
    case R2_MASKNOTPEN: r = ~pen & dst; break;
    case R2_NOTCOPYPEN: r = ~pen; break;
    case R2_MASKPENNOT: r = pen & ~dst; break;
    case R2_NOT: r = ~dst; break;
    case R2_XORPEN: r = pen ^ dst; break;
    case R2_NOTMASKPEN: r = ~(pen & dst); break;
    case R2_MASKPEN: r = pen & dst; break;
    case R2_NOTXORPEN: r = ~(pen ^ dst); break;
    case R2_NOP: r = dst; break;
    case R2_MERGENOTPEN: r = ~pen | dst; break;
    case R2_MERGEPENNOT: r = pen | ~dst; break;
    case R2_MERGEPEN: r = pen | dst; break;
    case R2_WHITE: r = 0xFFFFFF; break;
    default: r = pen; break;  // R2_COPYPEN
  }
  return r | 0xFF000000u;
}

// Ternary raster operations: bit k of `code` is the result for pattern bit
// (k >> 2) & 1, source bit (k >> 1) & 1 and destination bit k & 1.
inline std::uint32_t ApplyRop3(unsigned code, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
  switch (code) {
    case 0xCC: return s;          // SRCCOPY
    case 0xEE: return s | d;      // SRCPAINT
    case 0x88: return s & d;      // SRCAND
    case 0x66: return s ^ d;      // SRCINVERT
    case 0x33: return ~s;         // NOTSRCCOPY
    case 0x55: return ~d;         // DSTINVERT
    case 0xF0: return p;          // PATCOPY
    case 0x5A: return p ^ d;      // PATINVERT
    case 0x00: return 0;          // BLACKNESS
    case 0xFF: return ~0u;        // WHITENESS
    case 0xAA: return d;
    default: break;
  }
  std::uint32_t r = 0;
  for (unsigned k = 0; k < 8; ++k)
    if ((code >> k) & 1) r |= ((k & 4) ? p : ~p) & ((k & 2) ? s : ~s) & ((k & 1) ? d : ~d);
  return r;
}

inline bool Rop3UsesSource(unsigned code) { return ((code >> 2) & 0x33) != (code & 0x33); }
inline bool Rop3UsesPattern(unsigned code) { return ((code >> 4) & 0x0F) != (code & 0x0F); }

// ---- styled thin pens ----
//
// Patterns in pixels along the line, starting with a dash:
//   PS_DASH        18 on, 6 off
//   PS_DOT          3 on, 3 off
//   PS_DASHDOT      9 on, 6 off, 3 on, 6 off
//   PS_DASHDOTDOT   9 on, 3 off, 3 on, 3 off, 3 on, 3 off
// The pattern runs on across the segments of a polyline or shape outline
// and across LineTo calls that continue where the last line ended.

struct DashPattern {
  int period = 0;
  std::uint32_t on = 0;  // bit i: pixel i of the period is drawn
};

template <std::size_t N>
constexpr DashPattern MakeDash(const int (&runs)[N]) {
  DashPattern p;
  bool on = true;
  for (int run : runs) {
    for (int k = 0; k < run; ++k, ++p.period)
      if (on) p.on |= 1u << p.period;
    on = !on;
  }
  return p;
}

inline constexpr int kDashRuns[] = {18, 6};
inline constexpr int kDotRuns[] = {3, 3};
inline constexpr int kDashDotRuns[] = {9, 6, 3, 6};
inline constexpr int kDashDotDotRuns[] = {9, 3, 3, 3, 3, 3};
inline constexpr DashPattern kDash = MakeDash(kDashRuns);
inline constexpr DashPattern kDot = MakeDash(kDotRuns);
inline constexpr DashPattern kDashDot = MakeDash(kDashDotRuns);
inline constexpr DashPattern kDashDotDot = MakeDash(kDashDotDotRuns);

inline bool DashOn(const DashPattern* d, i64 pos) {
  return !d || ((d->on >> static_cast<int>(pos % d->period)) & 1);
}

// Everything a primitive needs to know about the selected pen.
struct PenPaint {
  bool visible = false;
  int width = 1;
  const DashPattern* dash = nullptr;  // null: solid
  QRgb fg = 0;
  QRgb bk = 0;
  bool opaqueGaps = false;  // gaps take the background colour (OPAQUE mode)
  int rop = R2_COPYPEN;
};

inline PenPaint MakePenPaint(const Pen& pen, Colour bk, int bkMode, int rop) {
  PenPaint p;
  p.visible = pen.style != PS_NULL && rop != R2_NOP;
  p.width = std::clamp(pen.width, 1, kMaxPenWidth);
  if (p.width == 1) {
    switch (pen.style) {
      case PS_DASH: p.dash = &kDash; break;
      case PS_DOT: p.dash = &kDot; break;
      case PS_DASHDOT: p.dash = &kDashDot; break;
      case PS_DASHDOTDOT: p.dash = &kDashDotDot; break;
      default: break;  // anything else draws solid
    }
  }
  p.fg = QRgbOf(pen.colour);
  p.bk = QRgbOf(bk);
  p.opaqueGaps = bkMode == OPAQUE;
  p.rop = rop;
  return p;
}

// ---- brushes ----

// 8 x 8 hatch patterns aligned to the device origin.
inline bool HatchOn(int hatch, int x, int y) {
  const int a = x & 7;
  const int b = y & 7;
  switch (hatch) {
    case HS_VERTICAL: return a == 0;
    case HS_FDIAGONAL: return ((a - b) & 7) == 0;  // '\'
    case HS_BDIAGONAL: return ((a + b) & 7) == 7;  // '/'
    case HS_CROSS: return a == 0 || b == 0;
    case HS_DIAGCROSS: return ((a - b) & 7) == 0 || ((a + b) & 7) == 7;
    default: return b == 0;  // HS_HORIZONTAL
  }
}

struct BrushPaint {
  enum Kind { None, Solid, Hatched } kind = None;
  QRgb colour = 0;
  QRgb bk = 0;
  int hatch = 0;
  bool opaqueGaps = true;
  // The brush colour at a pixel; false where the brush leaves it alone.
  bool At(int x, int y, QRgb& out) const {
    if (kind == Solid) {
      out = colour;
      return true;
    }
    if (kind == Hatched) {
      if (HatchOn(hatch, x, y)) {
        out = colour;
        return true;
      }
      out = bk;
      return opaqueGaps;
    }
    return false;
  }
};

// opaqueGaps: hatch gaps get the background colour (shapes in OPAQUE mode,
// and always for pattern blits).
inline BrushPaint MakeBrushPaint(const Brush& brush, Colour bk, bool opaqueGaps) {
  BrushPaint b;
  if (brush.style == BS_SOLID) b.kind = BrushPaint::Solid;
  if (brush.style == BS_HATCHED) b.kind = BrushPaint::Hatched;
  b.colour = QRgbOf(brush.colour);
  b.bk = QRgbOf(bk);
  b.hatch = brush.hatch;
  b.opaqueGaps = opaqueGaps;
  return b;
}

// ---- the pixels one call may change ----

struct Canvas {
  QRgb* bits = nullptr;
  qsizetype stride = 0;           // pixels per row
  Box box;                        // the image, cut down to the clip bounds
  const uchar* mask = nullptr;    // polygon clip over `box`; 0 = clipped away
  qsizetype maskStride = 0;
  bool InClip(int x, int y) const {
    return !mask || mask[(y - box.y0) * maskStride + (x - box.x0)];
  }
  QRgb& At(int x, int y) { return bits[y * stride + x]; }
  void Put(int x, int y, QRgb c, int rop) {
    QRgb& d = At(x, y);
    d = rop == R2_COPYPEN ? c : ApplyRop2(rop, c, d);
  }
};

// n pixels of one colour, and n pixels copied opaque (alpha 0xFF), the
// copy 16 bytes at a time where the processor has SSE2.
inline void FillPixels(QRgb* d, std::size_t n, QRgb colour) {
  // A wide character is a pixel wide: the C library's wide fill takes the
  // widest stores the processor has.
  static_assert(sizeof(wchar_t) == sizeof(QRgb));
  std::wmemset(reinterpret_cast<wchar_t*>(d), static_cast<wchar_t>(colour), n);
}

inline void CopyPixelsOpaque(QRgb* d, const QRgb* s, std::size_t n) {
  std::size_t k = 0;
#if defined(__SSE2__)
  const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  for (; k + 4 <= n; k += 4) {
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + k));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + k), _mm_or_si128(p, alpha));
  }
#endif
  for (; k < n; ++k) d[k] = s[k] | 0xFF000000u;
}

}  // namespace plat::raster
