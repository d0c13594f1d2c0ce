// The metafile player's text records: wide and 8-bit strings placed at their
// reference point in the mapped font, with the options of the records
// (opaque and clipping rectangles).

#include <QString>

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "core/text_encoding.h"
#include "platform/emf_player_impl.h"

namespace plat::emf_play {

std::string Player::ShownText(const std::u16string& units) const {
  QString s = QString::fromStdU16String(units);
  QString out;
  out.reserve(s.size());
  const bool symbol = s_.font.charSet == SYMBOL_CHARSET;
  for (QChar c : s) {
    char16_t u = c.unicode();
    if (u == 0) continue;
    if (symbol && u >= 0xF020 && u <= 0xF0FF) u = static_cast<char16_t>(u - 0xF000);
    out.append(QChar(u));
  }
  return out.toStdString();
}

void Player::DrawText(QPointF ref, const std::string& text, std::uint32_t options, const std::optional<Rect>& rect) {
  if (!transformSound_) return;
  const bool updateCp = (s_.align & TA_UPDATECP) != 0;
  if (updateCp) ref = s_.cp;
  const Point at = Px(Map(ref));
  const Affine& m = M();
  ApplyClip();
  if (rect && (options & ETO_OPAQUE)) {
    const QRegion box = LogicalRectRegion(*rect);
    dc_.SetBkColor(s_.bkColour);
    for (const QRect& q : box)
      if (AffordBox(q))
        dc_.FillRect(Rect{q.x(), q.y(), q.x() + q.width(), q.y() + q.height()}, SolidBrush(s_.bkColour));
  }
  const LogFont font = DeviceFont();
  if (!text.empty() && !Afford(kDrawWork + GlyphWork(text, font))) return;
  if (rect && (options & ETO_CLIPPED)) {
    const QRegion eff = (s_.clip ? (*s_.clip & base_) : base_) & LogicalRectRegion(*rect);
    PushClip(eff);
    clipDirty_ = true;
  }
  dc_.SelectFont(font);
  dc_.SetTextColor(s_.textColour);
  dc_.SetBkColor(s_.bkColour);
  dc_.SetBkMode(s_.bkMode);
  dc_.SetTextAlign(s_.align & ~static_cast<unsigned>(TA_UPDATECP));
  if (!text.empty()) dc_.TextOut(at.x, at.y, text);
  if (updateCp && std::abs(m.a) > 1e-12 && !text.empty()) {
    const double advance = dc_.GetTextExtent(text).cx / m.a;
    const unsigned horizontal = s_.align & TA_CENTER;
    if (horizontal == TA_LEFT) s_.cp.rx() += advance;
    if (horizontal == TA_RIGHT) s_.cp.rx() -= advance;
  }
}

bool Player::ExtTextOut(std::uint32_t type, const RecordView& r) {
  // Bounds, graphics mode, x and y scale, then the text block.
  constexpr std::size_t t = 36;
  if (!r.Has(t, 1, 20)) return false;
  const QPointF ref = ReadPointL(r, t);
  const std::uint32_t n = r.U32(t + 8), offString = r.U32(t + 12), options = r.U32(t + 16);
  std::optional<Rect> rect;
  if (!(options & ETO_NO_RECT)) {
    if (!r.Has(t + 20, 1, 16)) return false;
    rect = ReadRect(r, t + 20);
  }
  const bool wide = type == EMR_EXTTEXTOUTW;
  if (!r.Has(offString, n, wide ? 2 : 1)) return false;
  const std::uint32_t shown = std::min<std::uint32_t>(n, kMaxTextUnits);
  Spend(kCharWork * shown);
  std::string text;
  if (options & ETO_GLYPH_INDEX) {
    text.clear();  // glyph numbers of a font we do not have: nothing to show
  } else if (wide) {
    std::u16string units(shown, u'\0');
    for (std::uint32_t k = 0; k < shown; ++k) units[k] = static_cast<char16_t>(r.U16(offString + 2 * std::size_t{k}));
    text = ShownText(units);
  } else {
    text = AnsiText(r, offString, shown);
  }
  DrawText(ref, text, options, rect);
  return true;
}

std::string Player::AnsiText(const RecordView& r, std::size_t offset, std::uint32_t n) const {
  std::string text;
  const bool symbol = s_.font.charSet == SYMBOL_CHARSET;
  for (std::uint32_t k = 0; k < n; ++k) {
    const unsigned char b = r.U8(offset + k);
    if (b == 0) continue;
    kv::AppendUtf8(text, symbol ? char32_t{b} : kv::Cp1252ToUnicode(b));
  }
  return text;
}

bool Player::SmallTextOut(const RecordView& r) {
  if (!r.Has(8, 1, 28)) return false;
  const QPointF ref(r.I32(8), r.I32(12));
  const std::uint32_t n = r.U32(16), options = r.U32(20);
  std::size_t at = 36;
  std::optional<Rect> rect;
  if (!(options & ETO_NO_RECT)) {
    if (!r.Has(at, 1, 16)) return false;
    rect = ReadRect(r, at);
    at += 16;
  }
  const bool narrow = (options & ETO_SMALL_CHARS) != 0;
  if (!r.Has(at, n, narrow ? 1 : 2)) return false;
  const std::uint32_t shown = std::min<std::uint32_t>(n, kMaxTextUnits);
  Spend(kCharWork * shown);
  std::string text;
  if (narrow) {
    text = AnsiText(r, at, shown);
  } else {
    std::u16string units(shown, u'\0');
    for (std::uint32_t k = 0; k < shown; ++k) units[k] = static_cast<char16_t>(r.U16(at + 2 * std::size_t{k}));
    text = ShownText(units);
  }
  DrawText(ref, text, options, rect);
  return true;
}

}  // namespace plat::emf_play
