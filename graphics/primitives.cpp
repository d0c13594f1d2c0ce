#include "graphics/primitives.h"

#include <cstdint>

#include "shell/text_helpers.h"

namespace kv {

int PenStyleOfCode(int code) {
  switch (code) {
    case 1:
      return plat::PS_DOT;
    case 2:
      return plat::PS_DASH;
    case 3:
      return plat::PS_DASHDOT;
    case 4:
      return plat::PS_DASHDOTDOT;
    case -1:
    case 0xFFFF:
      return plat::PS_NULL;
    default:
      return plat::PS_SOLID;
  }
}

int ScaledPenWidth(int width, const TPenRules& rules) {
  if (rules.printing) width += rules.frameWidth;
  if (rules.scaleLineWidths) width *= rules.lineWidthFactor;
  return width;
}

plat::Pen StylePen(const TPenSpec& spec, const TPenRules& rules, plat::Colour colour) {
  plat::Pen pen;
  pen.width = ScaledPenWidth(spec.width, rules);
  pen.style = PenStyleOfCode(spec.style);
  pen.colour = (rules.printing && !rules.colourPrinter) ? plat::Rgb(0, 0, 0) : colour;
  return pen;
}

bool DrawWorldLine(plat::DC& dc, const TViewMapping& view, TPoint2D p1, TPoint2D p2, bool clip) {
  if (clip && !view.ClipSegmentToView(p1, p2)) return false;
  plat::Point a;
  plat::Point b;
  view.WorldToPixel(p1, a);
  view.WorldToPixel(p2, b);
  dc.MoveTo(a.x, a.y);
  dc.LineTo(b.x, b.y);
  return true;
}

int MarkerSize(const plat::DC& dc, int code, const TPenRules& rules) {
  const long double horzRes = dc.GetDeviceCaps(plat::HORZRES);
  int r = RoundToInt(((2.0L * code + 1) * horzRes - 1023) / 2048);
  if (r < 1) r = 1;
  if (rules.scaleLineWidths) r *= rules.lineWidthFactor;
  return r;
}

void DrawMarkerAtWorld(plat::DC& dc, const TViewMapping& view, const TPoint2D& p, int style, int r) {
  plat::Point d;
  view.WorldToPixel(p, d);
  DrawMarker(dc, d.x, d.y, style, r);
}

}  // namespace kv
