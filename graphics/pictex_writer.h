// The PiCTeX writer: a TeX picture in world coordinates, scaled by units in
// centimetres that the preamble computes from the view.  It knows no
// window: the caller gives the view and the settings of the set-up dialog
// and takes the text from Text().  Lines end in CR LF; texts are escaped
// for TeX.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/vector2d.h"

namespace kv {

struct TPictexSetup {
  int mode = 0;            // 0 TeX standalone, 1 LaTeX2e standalone, 2 TeX compilable, 3 TeX to insert
  int boxNumber = 1;
  long double widthCm = 8;
  int decimals = 5;
  TSegment2D world{0, 1, 0, 1};  // xmin, xmax, ymin, ymax
  int clientWidth = 2;
  int clientHeight = 2;
  long double unitsPerPixelX = 1;
  // The window's arrow-head proportions (plot files keep them): the two
  // shape values of an open \arrow.
  long double arrowBeta = 0.5L;
  long double arrowGamma = 0.9L;
};

class TPictexWriter {
 public:
  std::string& Text() { return out_; }
  // The preamble up to \setlinear.  False when the x unit, written with
  // the decimals, is more than 10 % off the picture's width (the caller
  // warns; the file is written anyway).
  bool WritePreamble(const TPictexSetup& setup);
  // \endpicture, closing the box in modes 0 and 1.
  void WriteEnd();

  void WritePictexShadeSymbol();
  // A segment: \plot for a slanted one, a rule for an axis-parallel one;
  // dotted with the dot distance in points when it is above 0.
  void WritePictexLine(const TPoint2D& a, const TPoint2D& b, int dotStyle);
  // Only when both ends lie in the view.
  void WritePictexRule(const TPoint2D& a, const TPoint2D& b);
  void BeginPictexPlot();
  void AddPictexPlotPoint(const TPoint2D& p);
  // Writes the list unless it holds a single point.
  void EndPictexPlot();
  void WritePictexPolyline(const TPoint2D* points, int last);
  void WritePictexGappedPolyline(const TPoint2D* points, const std::uint8_t* flags, int last, int mode);
  // A polygon monotone in x (in y when not vertical) as \vshade (\hshade);
  // false, with nothing but a shade-grid line written, when it cannot be.
  bool WritePictexShadedPolygon(const TPoint2D* points, int n, bool vertical, int hatchStyle);
  bool WritePictexShadeGrid(int hatchStyle);
  // An arrow from t - v to t.  Filled heads are shaded triangles with the
  // back corners c1, c2 (offsets from the tip); `haveCorners` false writes
  // nothing for a filled head.
  void WritePictexArrow(const TPoint2D& v, const TPoint2D& t, long double headLength, bool filled,
                        bool haveCorners, const TPoint2D& c1, const TPoint2D& c2);
  std::string PictexMarkerSymbol(int style, bool open) const;
  void WritePictexMarker(const TPoint2D& p, int style, bool open);
  // The text (UTF-8) at the point with the orientation ("[lt]", "[b]", ...).
  void WritePictexText(std::string_view text, std::string_view orientation, const TPoint2D& p, bool math);
  void WritePictexLineStyle(int style, bool solid);
  void WritePictexCoordinates(const TPoint2D& p);
  void WritePictexPhantom(const TPoint2D& p);
  void WritePictexMultiput();
  // A point pattern: one \multiput of invisible marks, kept apart from
  // what is written meanwhile and written at its end when it holds a point.
  void BeginPictexPattern();
  void AddPictexPatternPoint(const TPoint2D& p);
  void EndPictexPattern();
  void WriteComment(std::string_view text);

  // One line of text in the picture, world y units: TeX's baseline
  // distance for its ten-point font (12 pt) at the picture's y unit.
  long double TextLineHeight() const;

  bool PlotOpen() const { return plotOpen_; }
  std::int32_t PlotPointCount() const { return pointCount_; }

 private:
  std::string Number(long double v) const;
  std::string Coordinates(const TPoint2D& p) const { return Number(p.x) + " " + Number(p.y); }
  bool InView(const TPoint2D& p) const;
  std::string out_;
  std::string plot_;
  bool plotOpen_ = false;
  std::string pattern_;
  bool patternOpen_ = false;
  std::int32_t pointCount_ = 0;
  TPictexSetup setup_;
};

}  // namespace kv
