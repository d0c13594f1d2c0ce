// The EPS writer: the page of an export and every figure as PostScript
// text.  It knows no window: the caller fixes the page from the client
// size, the screen's pixels per inch and the view, and takes the text from
// Text() when the drawing is done.  Lines end in CR LF; the file defines
// no procedures (only a Latin-1 copy of a font when a text needs one) and
// has no showpage.  Page units are points; the page is exactly the view.
#pragma once

#include <array>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "platform/types.h"
#include "core/vector2d.h"

namespace kv {

struct TEpsPageSetup {
  int clientWidth = 2;
  int clientHeight = 2;
  int pixelsPerInch = 96;
  TSegment2D world{0, 1, 0, 1};  // xmin, xmax, ymin, ymax
  long double unitsPerPixelX = 1;
};

// Red, green and blue of the colour, each /255 as "%6.4Lf".
std::string FormatEpsColour(plat::Colour colour);

// The device pixel where a text's baseline starts, from its anchor, its
// extent in the font it is drawn with, its escapement (tenths of a degree)
// and its alignments (horizontal 1 starts at the anchor, 0 centres, -1
// ends there; vertical -1 puts the top at the anchor, 0 centres, 1 the
// bottom).  EPS and SVG texts stand there.
plat::Point TextBaselinePoint(int x, int y, int width, int height, int escapement, int hAlign, int vAlign);

class TEpsWriter {
 public:
  // Fixes page size, scales and dash statements.  A client narrower or
  // lower than 2 pixels counts as 2, so the page never divides by zero.
  void SetupPage(const TEpsPageSetup& setup);
  long double PageWidth() const { return pageWidth_; }
  long double PageHeight() const { return pageHeight_; }
  long double ScaleX() const { return scaleX_; }
  long double ScaleY() const { return scaleY_; }
  long double PointsPerPixel() const { return pointsPerPixel_; }
  const std::string& DashStatement(int style) const { return dash_[static_cast<std::size_t>(style)]; }

  std::string& Text() { return out_; }

  // The eight header lines; creator, title and date are UTF-8.
  void WriteHeader(std::string_view creator, std::string_view title, std::string_view date);
  void WriteTrailer() { out_ += "%%EOF\r\n"; }

  TPoint2D WorldToEpsPoint(const TPoint2D& p) const;
  void WriteEpsPath(const TPoint2D* points, int last, bool closed);
  // Point i starts a subpath where the template has 'M'.
  void WriteEpsTemplatePath(const TPoint2D* points, int last, std::string_view tmpl);
  // Stroked open polylines, always solid.
  void WriteEpsPolyline(const TPoint2D* points, int last, plat::Colour colour, int width);
  void WriteEpsTemplatePolyline(const TPoint2D* points, int last, plat::Colour colour, int width,
                                std::string_view tmpl);
  // A stroked segment; nothing for a style outside 0..4.
  void WriteEpsLine(const TPoint2D& a, const TPoint2D& b, plat::Colour colour, int width, int style);
  // One path with a subpath per run of drawn segments.
  void WriteEpsGappedPolyline(const TPoint2D* points, const std::uint8_t* flags, int last, plat::Colour colour,
                              int width, int style, int mode);
  // Radius in world x units; a missing colour paints nothing of that kind.
  void WriteEpsCircle(const TPoint2D& centre, long double radius, int width, std::optional<plat::Colour> fill,
                      std::optional<plat::Colour> outline);
  // Filled polygon (white instead of the fill colour when `white`) with an
  // outline of the width; width 0 counts as 1, a negative width fills only.
  void WriteEpsPolygon(const TPoint2D* points, int count, bool white, plat::Colour fill, int width,
                       plat::Colour outline);
  // Rectangle from the corner (left, top) to (right, bottom), corners
  // rounded with the radius (world x units) when it is above 1e-13.
  void WriteEpsRoundRect(const TPoint2D& p1, const TPoint2D& p2, bool white, plat::Colour fill, int width,
                         plat::Colour outline, long double radius);
  // Markers 0..13 of the given size in pixels; others write nothing.
  void WriteEpsMarker(const TPoint2D& p, int style, int sizePixels, plat::Colour colour);
  // "%" and the text: a comment line.
  void WriteExportLine(std::string_view text);
  // The text with its baseline starting at the world point.
  void WriteEpsTextWithFont(const TPoint2D& baseline, std::string_view text, plat::Colour colour,
                            std::string_view face, int pointSize, bool italic, int escapement);

 private:
  std::string Coordinates(const TPoint2D& world) const;
  std::string out_;
  TSegment2D world_{0, 1, 0, 1};
  long double unitsPerPixelX_ = 1;
  long double pageWidth_ = 1;
  long double pageHeight_ = 1;
  long double scaleX_ = 1;
  long double scaleY_ = 1;
  long double pointsPerPixel_ = 0.75L;
  std::array<std::string, 5> dash_{};
  std::set<std::string> latin1Fonts_;
};

}  // namespace kv
