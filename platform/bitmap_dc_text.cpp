// BitmapDC's text: drawn with the toolkit in the selected font and text
// colour, aligned to the reference point and turned by the escapement, and
// the font's extents and metrics.
#include <QFontMetrics>
#include <QPainter>
#include <QPointF>
#include <QRectF>

#include <string>

#include "platform/bitmap_dc_impl.h"
#include "platform/bitmap_impl.h"
#include "platform/dc.h"
#include "platform/font_mapping.h"

namespace plat {

// Text in the selected font and text colour (raster operations do not
// apply), aligned to the reference point and turned by the escapement
// around it.  OPAQUE mode first fills the text cell with the background
// colour.
void BitmapDC::DoTextOut(Point at, const std::string& text) {
  QImage& img = ImageOf(target_);
  Impl& d = *impl_;
  d.UpdateClip(img.width(), img.height(), CurrentClip());
  if (d.clipBox.Empty()) return;
  const QFont& font = d.FontFor(CurrentFont());
  const QString s = TextForFont(CurrentFont(), text);
  const QFontMetrics fm(font);
  const int width = fm.horizontalAdvance(s);
  const int ascent = fm.ascent();
  const int descent = fm.descent();

  const unsigned align = GetTextAlign();
  double x = 0;
  if ((align & TA_CENTER) == TA_CENTER)
    x = -width / 2.0;
  else if ((align & TA_CENTER) == TA_RIGHT)
    x = -width;
  double baseline = ascent;
  if ((align & TA_BASELINE) == TA_BASELINE)
    baseline = 0;
  else if ((align & TA_BASELINE) == TA_BOTTOM)
    baseline = -descent;

  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setRenderHint(QPainter::TextAntialiasing, false);
  if (CurrentClip().kind != Clip::None) p.setClipRegion(d.Region());
  p.translate(at.x, at.y);
  p.rotate(-CurrentFont().escapement / 10.0);
  if (GetBkMode() == OPAQUE)
    p.fillRect(QRectF(x, baseline - ascent, width, ascent + descent), QColor(QRgbOf(GetBkColor())));
  p.setFont(font);
  p.setPen(QColor(QRgbOf(GetTextColor())));
  p.drawText(QPointF(x, baseline), s);
}

Size BitmapDC::DoTextExtent(const std::string& text) const {
  const QFontMetrics fm(impl_->FontFor(CurrentFont()));
  return Size{fm.horizontalAdvance(TextForFont(CurrentFont(), text)), fm.ascent() + fm.descent()};
}

DC::TextMetrics BitmapDC::DoTextMetrics() const {
  const QFontMetrics fm(impl_->FontFor(CurrentFont()));
  TextMetrics m;
  m.ascent = fm.ascent();
  m.descent = fm.descent();
  m.height = m.ascent + m.descent;
  m.aveCharWidth = fm.averageCharWidth();
  return m;
}

}  // namespace plat
