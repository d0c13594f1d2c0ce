// The metafile player's objects (pens, brushes, fonts created and selected,
// the stock objects) and its bitmap records (bit-block transfers and
// device-independent bitmaps stretched onto the destination).

#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/bitmap_impl.h"
#include "platform/emf_player_impl.h"

namespace plat::emf_play {

bool Player::Create(std::uint32_t index, ObjectSlot slot) {
  if (index == 0 || index >= h_.handles) return false;
  objects_[index] = std::move(slot);
  return true;
}

void Player::SelectStock(std::uint32_t stock) {
  switch (stock) {
    case WHITE_BRUSH: s_.brush = SolidBrush(Rgb(255, 255, 255)); break;
    case LTGRAY_BRUSH: s_.brush = SolidBrush(Rgb(192, 192, 192)); break;
    case GRAY_BRUSH: s_.brush = SolidBrush(Rgb(128, 128, 128)); break;
    case DKGRAY_BRUSH: s_.brush = SolidBrush(Rgb(64, 64, 64)); break;
    case BLACK_BRUSH: s_.brush = SolidBrush(0); break;
    case NULL_BRUSH: s_.brush = NullBrush(); break;
    case DC_BRUSH: s_.brush = SolidBrush(Rgb(255, 255, 255)); break;
    case WHITE_PEN: s_.pen = PenSpec{PS_SOLID, 0, true, Rgb(255, 255, 255)}; break;
    case BLACK_PEN:
    case DC_PEN: s_.pen = PenSpec{}; break;
    case NULL_PEN: s_.pen = PenSpec{PS_NULL, 0, true, 0}; break;
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case ANSI_VAR_FONT:
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT:
    case SYSTEM_FIXED_FONT:
    case DEFAULT_GUI_FONT: s_.font = LogFont{}; break;
    default: break;
  }
}

int Player::PenStyleOf(std::uint32_t style) {
  switch (style & 0xF) {
    case PS_SOLID: return PS_SOLID;
    case PS_DASH: return PS_DASH;
    case PS_DOT: return PS_DOT;
    case PS_DASHDOT: return PS_DASHDOT;
    case PS_DASHDOTDOT: return PS_DASHDOTDOT;
    case PS_NULL: return PS_NULL;
    case 7: return PS_DASH;  // user-defined dashes
    case 8: return PS_DOT;   // every other pixel
    default: return PS_SOLID;
  }
}

Brush Player::BrushOf(std::uint32_t style, Colour colour, std::uint32_t hatch) {
  if (style == 1) return NullBrush();
  if (style == 2) return Brush{BS_HATCHED, colour, hatch <= HS_DIAGCROSS ? static_cast<int>(hatch) : static_cast<int>(HS_HORIZONTAL)};
  return SolidBrush(colour);
}

// A pattern brush stands in as a solid brush of its average colour.
Brush Player::PatternBrush(const RecordView& r) {
  const Bitmap bmp = ReadDib(r, r.U32(16), r.U32(20), r.U32(24), r.U32(28));
  if (bmp.IsNull()) return SolidBrush(Rgb(128, 128, 128));
  std::uint64_t sr = 0, sg = 0, sb = 0;
  const std::uint64_t n = std::uint64_t(bmp.Width()) * bmp.Height();
  const int stepX = std::max(1, bmp.Width() / 64), stepY = std::max(1, bmp.Height() / 64);
  std::uint64_t taken = 0;
  for (int y = 0; y < bmp.Height(); y += stepY)
    for (int x = 0; x < bmp.Width(); x += stepX) {
      const Colour c = bmp.GetPixel(x, y);
      sr += RedOf(c);
      sg += GreenOf(c);
      sb += BlueOf(c);
      ++taken;
    }
  if (n == 0 || taken == 0) return SolidBrush(Rgb(128, 128, 128));
  return SolidBrush(Rgb(int(sr / taken), int(sg / taken), int(sb / taken)));
}

// The device-independent bitmap of a record: its info block and bits,
// both checked to lie inside the record.  The pixels it claims are taken
// from what the play may still decode, and as much drawing work with the
// work of drawing it; a bitmap beyond either is not decoded.
Bitmap Player::ReadDib(const RecordView& r, std::uint32_t offBmi, std::uint32_t cbBmi, std::uint32_t offBits,
                       std::uint32_t cbBits, std::int64_t drawWork) {
  if (cbBmi < 12 || !r.Has(offBmi, cbBmi) || !r.Has(offBits, cbBits)) return Bitmap();
  const bool core = r.U32(offBmi) == 12;
  const std::int64_t width = core ? r.U16(offBmi + 4) : std::abs(std::int64_t{r.I32(offBmi + 4)});
  const std::int64_t height = core ? r.U16(offBmi + 6) : std::abs(std::int64_t{r.I32(offBmi + 8)});
  if (width * height > budget_.pixels) {
    refused_ = true;
    return Bitmap();
  }
  if (!Afford(drawWork + width * height)) return Bitmap();
  budget_.pixels -= width * height;
  std::vector<std::uint8_t> file;
  file.reserve(14 + std::size_t{cbBmi} + cbBits);
  const std::uint32_t total = 14 + cbBmi + cbBits;
  const std::uint32_t pixels = 14 + cbBmi;
  const std::uint8_t head[14] = {'B', 'M',
                                 std::uint8_t(total), std::uint8_t(total >> 8), std::uint8_t(total >> 16), std::uint8_t(total >> 24),
                                 0, 0, 0, 0,
                                 std::uint8_t(pixels), std::uint8_t(pixels >> 8), std::uint8_t(pixels >> 16), std::uint8_t(pixels >> 24)};
  file.insert(file.end(), head, head + 14);
  file.insert(file.end(), r.Data() + offBmi, r.Data() + offBmi + cbBmi);
  file.insert(file.end(), r.Data() + offBits, r.Data() + offBits + cbBits);
  return Bitmap::FromBmpBytes(file);
}

// Whether the bitmap info at `offBmi` describes rows stored bottom-up.
bool Player::BottomUp(const RecordView& r, std::uint32_t offBmi) {
  if (r.U32(offBmi) == 12) return true;
  return r.I32(offBmi + 8) > 0;
}

// Draws `bmp` (source rectangle sx, sy, sw, sh) onto the logical
// rectangle x, y, w, h; a turned picture unturned onto its bounding box.
void Player::Blit(double x, double y, double w, double h, const Bitmap& bmp, int sx, int sy, int sw, int sh, unsigned rop) {
  if (bmp.IsNull() || sw <= 0 || sh <= 0) return;
  const Affine& m = M();
  const QPointF p = m.Map(x, y), q = m.Map(x + w, y + h);
  const bool mirrorX = m.AxisAligned() && q.x() < p.x(), mirrorY = m.AxisAligned() && q.y() < p.y();
  const QRectF box = DeviceBox(x, y, w, h);
  const Point a = Px(box.topLeft()), b = Px(box.bottomRight());
  if (b.x <= a.x || b.y <= a.y) return;
  ApplyClip();
  dc_.SelectBrush(s_.brush);
  dc_.SetBkColor(s_.bkColour);
  if (!mirrorX && !mirrorY) {
    dc_.StretchBlt(a.x, a.y, b.x - a.x, b.y - a.y, bmp, sx, sy, sw, sh, rop);
    return;
  }
  Bitmap flipped;
  ImageOf(flipped) = ImageOf(bmp).mirrored(mirrorX, mirrorY);
  auto flip = [](int size, int at, int extent) {
    return static_cast<int>(std::clamp<std::int64_t>(std::int64_t{size} - at - extent, INT32_MIN, INT32_MAX));
  };
  const int fx = mirrorX ? flip(bmp.Width(), sx, sw) : sx;
  const int fy = mirrorY ? flip(bmp.Height(), sy, sh) : sy;
  dc_.StretchBlt(a.x, a.y, b.x - a.x, b.y - a.y, flipped, fx, fy, sw, sh, rop);
}

void Player::PatternBlit(double x, double y, double w, double h, unsigned rop) {
  if (w == 0 || h == 0) return;
  const Affine& m = M();
  const QPointF p = m.Map(x, y), q = m.Map(x + w, y + h);
  const Point a = Px(QPointF(std::min(p.x(), q.x()), std::min(p.y(), q.y())));
  const Point b = Px(QPointF(std::max(p.x(), q.x()), std::max(p.y(), q.y())));
  if (b.x <= a.x || b.y <= a.y || !Afford(BlitWork(x, y, w, h))) return;
  ApplyClip();
  dc_.SelectBrush(s_.brush);
  dc_.SetBkColor(s_.bkColour);
  dc_.PatBlt(a.x, a.y, b.x - a.x, b.y - a.y, rop);
}

bool Player::BitBlt(std::uint32_t type, const RecordView& r) {
  const std::size_t fixed = type == EMR_STRETCHBLT ? 108 : 100;
  if (r.Size() < fixed) return false;
  const double x = r.I32(24), y = r.I32(28), w = r.I32(32), h = r.I32(36);
  const unsigned rop = r.U32(40);
  const std::uint32_t offBmi = r.U32(84), cbBmi = r.U32(88), offBits = r.U32(92), cbBits = r.U32(96);
  if (cbBmi == 0) {
    PatternBlit(x, y, w, h, rop);
    return true;
  }
  const Bitmap bmp = ReadDib(r, offBmi, cbBmi, offBits, cbBits, BlitWork(x, y, w, h));
  if (bmp.IsNull()) return false;
  const int sw = type == EMR_STRETCHBLT ? r.I32(100) : static_cast<int>(w);
  const int sh = type == EMR_STRETCHBLT ? r.I32(104) : static_cast<int>(h);
  Blit(x, y, w, h, bmp, r.I32(44), r.I32(48), sw, sh, rop);
  return true;
}

bool Player::DibBlt(std::uint32_t type, const RecordView& r) {
  const std::size_t fixed = type == EMR_STRETCHDIBITS ? 80 : 76;
  if (r.Size() < fixed) return false;
  const std::uint32_t offBmi = r.U32(48), cbBmi = r.U32(52), offBits = r.U32(56), cbBits = r.U32(60);
  const int sx = r.I32(32), sw = r.I32(40), sh = r.I32(44);
  const double x = r.I32(24), y = r.I32(28);
  const double w = type == EMR_STRETCHDIBITS ? r.I32(72) : sw;
  const double h = type == EMR_STRETCHDIBITS ? r.I32(76) : sh;
  const Bitmap bmp = ReadDib(r, offBmi, cbBmi, offBits, cbBits, BlitWork(x, y, w, h));
  if (bmp.IsNull()) return false;
  int sy = r.I32(36);
  // Source rows of a bottom-up bitmap count from its last row.
  if (BottomUp(r, offBmi)) sy = static_cast<int>(std::clamp<std::int64_t>(std::int64_t{bmp.Height()} - sy - sh, INT32_MIN, INT32_MAX));
  const unsigned rop = type == EMR_STRETCHDIBITS ? r.U32(68) : SRCCOPY;
  Blit(x, y, w, h, bmp, sx, sy, sw, sh, rop);
  return true;
}

}  // namespace plat::emf_play
