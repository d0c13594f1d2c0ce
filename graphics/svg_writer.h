// The SVG writer: an SVG 1.1 document whose user units are the window's
// device pixels (origin top left, y downwards).  It knows no window: the
// caller maps world points to pixels and takes the text from Text().
// Every element ends with CR LF; texts, font names and the title are UTF-8
// and escaped for XML.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace kv {

// name="value" appended to the text (the name carries its leading blank).
void AppendIntAttribute(std::string& text, std::string_view name, int value);
void AppendTextAttribute(std::string& text, std::string_view name, std::string_view value);
// The start of a group translated to (x, y) and rotated by the angle.
void AppendSvgRotateGroup(std::string& text, int x, int y, int angle);

class TSvgWriter {
 public:
  std::string& Text() { return out_; }
  // The client size, which the cross-hair marker spans.
  void SetClientSize(int width, int height) {
    clientWidth_ = width;
    clientHeight_ = height;
  }

  // The nine header lines with the document's size and view box; the
  // pattern numbering starts again.
  void WriteHeader(int width, int height, std::string_view title);
  void WriteTrailer() { out_ += "</svg>\r\n"; }
  std::int16_t PatternCounter() const { return patternCounter_; }

  void WriteSvgLine(plat::Point a, plat::Point b, plat::Colour colour, int width, int style);
  // A path through the points 0..last; the template's 'M' starts a subpath
  // (without one only point 0 does).  Nothing for fewer than two points.
  // A line style above 0 dashes the path as it dashes a line.
  void WriteSvgPath(const plat::Point* points, int last, plat::Colour colour, int width,
                    std::string_view tmpl = {}, int style = 0);
  void WriteSvgGappedPolyline(const plat::Point* points, const std::uint8_t* flags, int last, plat::Colour colour,
                              int width, int mode);
  // A hatch style above 0 fills with a pattern of the fill colour.
  void WriteSvgPolygon(const plat::Point* points, int count, bool hollow, plat::Colour fill, int width,
                       plat::Colour stroke, int hatchStyle);
  void WriteSvgRect(int x, int y, int width, int height, bool hollow, plat::Colour fill, int lineWidth,
                    plat::Colour stroke, int rx, int ry);
  // A missing stroke or fill is "none"; nothing when both are missing.
  void WriteSvgCircle(int x, int y, int r, std::optional<plat::Colour> stroke, int width,
                      std::optional<plat::Colour> fill, int hatchStyle);
  void WriteSvgEllipse(int x, int y, int r, plat::Colour fill, plat::Colour stroke);
  // Writes the pattern of the hatch style in the colour and makes the
  // colour text refer to it; after 999 patterns the colour stays solid.
  void WriteSvgPatternDefs(std::string& colourText, int hatchStyle);
  // Markers 0..13 of half-size r; others write nothing.
  void WriteSvgMarker(int x, int y, int style, int r, plat::Colour colour);
  void WriteSvgCross(int x, int y, int r, plat::Colour colour, bool diagonal);
  // The text with its baseline starting at (x, y); rotated in a group when
  // the escapement is not 0.
  void WriteSvgText(int x, int y, std::string_view text, plat::Colour colour, std::string_view face, int pointSize,
                    int weight, bool italic, int escapement);
  void WriteComment(std::string_view text);

 private:
  std::string out_;
  std::int16_t patternCounter_ = 0;
  int clientWidth_ = 0;
  int clientHeight_ = 0;
};

}  // namespace kv
