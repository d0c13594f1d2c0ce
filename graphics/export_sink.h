// The one interface through which every drawing routine hands its figures
// to the vector export being recorded.  A routine asks its window once for
// the active sink (none while nothing records) and gives it the figure in
// world coordinates or, for figures measured in pixels, in device pixels;
// each format's sink turns it into its own text or leaves it out.  Whether
// the routine also draws on the device context is the routine's decision.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/dc.h"
#include "core/vector2d.h"

namespace kv {

enum class TExportFormat { Pictex, Svg, Eps };

// A stroke: colour, width in pixels and line style 0 solid, 1 dotted,
// 2 dashed, 3 dash-dot, 4 dash-dot-dot.
struct TExportPen {
  plat::Colour colour = 0;
  int width = 1;
  int style = 0;
};

// A text of the plot.  SVG and EPS place it at the device anchor with the
// alignments (horizontal 1 starts at the anchor, 0 centres, -1 ends there;
// vertical -1 hangs from it, 0 centres, 1 stands on it); PiCTeX puts it at
// the world anchor with its orientation ("[lt]", "[b]", ...), in math mode
// when `math` is set.  The font gives face, weight, italic flag and
// escapement (tenths of a degree); the text is UTF-8.  Text labels of any
// font and angle use the same record.
struct TExportText {
  std::string text;
  plat::Point anchor;
  TPoint2D world;
  plat::Colour colour = 0;
  plat::LogFont font;
  int pointSize = 10;
  int hAlign = 1;
  int vAlign = -1;
  std::string orientation;
  bool math = false;
};

// An arrow head: tip, the two back corners (world points) and the head's
// vector (its length is the head length), open or filled.
struct TExportArrow {
  TPoint2D c1;
  TPoint2D tip;
  TPoint2D c2;
  TPoint2D vector;
  long double headLength = 0;
  bool filled = false;
  TExportPen pen;
};

class TExportSink {
 public:
  virtual ~TExportSink() = default;
  virtual TExportFormat Format() const = 0;
  // Grid lines and grid points go to the PiCTeX and SVG files instead of
  // the screen; an EPS page leaves them out and the screen shows them.
  bool TakesGrid() const { return Format() != TExportFormat::Eps; }

  virtual void Line(const TPoint2D& a, const TPoint2D& b, const TExportPen& pen) = 0;
  // An axis-parallel line (axes, ticks, grid): a rule in PiCTeX, written
  // only when both ends lie in the view.
  virtual void Rule(const TPoint2D& a, const TPoint2D& b, const TExportPen& pen) = 0;
  virtual void PixelLine(plat::Point a, plat::Point b, const TExportPen& pen) = 0;
  virtual void Polyline(const TPoint2D* points, int last, const TExportPen& pen) = 0;
  // Solid where flagged, every other step where not (mode 1); see
  // gapped_polyline.h.
  virtual void GappedPolyline(const TPoint2D* points, const std::uint8_t* flags, int last, const TExportPen& pen,
                              int mode) = 0;
  // A filled polygon with its outline (width 0 counts as 1, negative: no
  // outline); hollow ones are outlined only.
  virtual void Polygon(const TPoint2D* points, int count, bool hollow, plat::Colour fill, int width,
                       plat::Colour stroke) = 0;
  // A shaded area: hatched with the style (above 0) where the format has
  // patterns, filled otherwise.
  virtual void Hatch(const TPoint2D* points, int count, plat::Colour colour, int hatchStyle) = 0;
  // The arc of the circle from angle a1 to a2 (radians, counter-clockwise),
  // cut to the rectangle `clip` (xmin, xmax, ymin, ymax): each piece inside
  // it goes to Stroke.  A file cannot leave to a clip region what the
  // screen leaves, so it must not hold what lies beyond the view.
  void Arc(const TPoint2D& centre, long double radius, long double a1, long double a2, long double unitsPerPixel,
           const TSegment2D& clip, const TExportPen& pen);
  // A smooth stroke through the points 0..last in the pen's line style,
  // the dashes running on along its whole length where the format can
  // (SVG); the others write it as a polyline.
  virtual void Stroke(const TPoint2D* points, int last, const TExportPen& pen) { Polyline(points, last, pen); }
  virtual void Circle(const TPoint2D& centre, int radiusPixels, int width, std::optional<plat::Colour> fill,
                      std::optional<plat::Colour> stroke) = 0;
  // A point marker of half-size r pixels; PiCTeX writes its own symbol.
  // SVG leaves out a marker outside the client area.
  virtual void Marker(const TPoint2D& p, int style, int r, plat::Colour colour, int pictexStyle) = 0;
  // A plus of half-size r at a device point, also one clamped beyond the
  // client area (the grid points of SVG); the other formats leave it out.
  virtual void PixelCross(plat::Point p, int r, plat::Colour colour) {}
  // The text measured in the font the caller selected into dc.
  virtual void Text(plat::DC& dc, const TExportText& text) = 0;
  // A line of text in world y units where the format sets its texts in a
  // size of its own (PiCTeX: the document's font); 0 where the texts take
  // the size of the font the device context measures.
  virtual long double TextLineHeight() const { return 0; }
  // A box in device pixels, filled (unless hollow) and outlined with the
  // line width (negative: outline in the fill colour), corners rounded by
  // the radius in pixels.
  virtual void Rect(const plat::Rect& box, bool hollow, plat::Colour fill, int lineWidth, plat::Colour stroke,
                    int radius) = 0;
  virtual void Arrow(const TExportArrow& arrow) = 0;
  // Sets the line style of the lines that follow (solid: back to solid
  // lines) where the format keeps one for many lines (PiCTeX); the others
  // take the style with each line.
  virtual void LineStyle(int style, bool solid) {}
  // A comment line that marks a section of the file.
  virtual void Comment(std::string_view text) = 0;
  // A pattern of invisible marks at points (PiCTeX); the other formats
  // leave it out.
  virtual void BeginPointPattern() {}
  virtual void PatternPoint(const TPoint2D&) {}
  virtual void EndPointPattern() {}
};

}  // namespace kv
