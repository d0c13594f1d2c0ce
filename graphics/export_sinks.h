// The sinks of the three export formats, bound to the window whose view
// maps their points: each turns the figures of the drawing routines into
// its writer's text.
#pragma once

#include "graphics/eps_writer.h"
#include "graphics/export_sink.h"
#include "graphics/pictex_writer.h"
#include "graphics/svg_writer.h"

namespace kv {

class TZORWing;

class TEpsSink : public TExportSink {
 public:
  explicit TEpsSink(TZORWing& w) : w_(w) {}
  TEpsWriter& Writer() { return writer_; }
  TExportFormat Format() const override { return TExportFormat::Eps; }
  void Line(const TPoint2D& a, const TPoint2D& b, const TExportPen& pen) override;
  void Rule(const TPoint2D& a, const TPoint2D& b, const TExportPen& pen) override { Line(a, b, pen); }
  void PixelLine(plat::Point a, plat::Point b, const TExportPen& pen) override;
  void Polyline(const TPoint2D* points, int last, const TExportPen& pen) override;
  void GappedPolyline(const TPoint2D* points, const std::uint8_t* flags, int last, const TExportPen& pen,
                      int mode) override;
  void Polygon(const TPoint2D* points, int count, bool hollow, plat::Colour fill, int width,
               plat::Colour stroke) override;
  void Hatch(const TPoint2D* points, int count, plat::Colour colour, int hatchStyle) override;
  void Circle(const TPoint2D& centre, int radiusPixels, int width, std::optional<plat::Colour> fill,
              std::optional<plat::Colour> stroke) override;
  void Marker(const TPoint2D& p, int style, int r, plat::Colour colour, int pictexStyle) override;
  void Text(plat::DC& dc, const TExportText& text) override;
  void Rect(const plat::Rect& box, bool hollow, plat::Colour fill, int lineWidth, plat::Colour stroke,
            int radius) override;
  void Arrow(const TExportArrow& arrow) override;
  void Comment(std::string_view text) override { writer_.WriteExportLine(text); }

 private:
  TZORWing& w_;
  TEpsWriter writer_;
};

class TSvgSink : public TExportSink {
 public:
  explicit TSvgSink(TZORWing& w) : w_(w) {}
  TSvgWriter& Writer() { return writer_; }
  TExportFormat Format() const override { return TExportFormat::Svg; }
  void Line(const TPoint2D& a, const TPoint2D& b, const TExportPen& pen) override;
  void Rule(const TPoint2D& a, const TPoint2D& b, const TExportPen& pen) override { Line(a, b, pen); }
  void PixelLine(plat::Point a, plat::Point b, const TExportPen& pen) override;
  void Polyline(const TPoint2D* points, int last, const TExportPen& pen) override;
  void Stroke(const TPoint2D* points, int last, const TExportPen& pen) override;
  void GappedPolyline(const TPoint2D* points, const std::uint8_t* flags, int last, const TExportPen& pen,
                      int mode) override;
  void Polygon(const TPoint2D* points, int count, bool hollow, plat::Colour fill, int width,
               plat::Colour stroke) override;
  void Hatch(const TPoint2D* points, int count, plat::Colour colour, int hatchStyle) override;
  void Circle(const TPoint2D& centre, int radiusPixels, int width, std::optional<plat::Colour> fill,
              std::optional<plat::Colour> stroke) override;
  void Marker(const TPoint2D& p, int style, int r, plat::Colour colour, int pictexStyle) override;
  void PixelCross(plat::Point p, int r, plat::Colour colour) override { writer_.WriteSvgCross(p.x, p.y, r, colour, false); }
  void Text(plat::DC& dc, const TExportText& text) override;
  void Rect(const plat::Rect& box, bool hollow, plat::Colour fill, int lineWidth, plat::Colour stroke,
            int radius) override;
  void Arrow(const TExportArrow& arrow) override;
  void Comment(std::string_view text) override { writer_.WriteComment(text); }

 private:
  std::vector<plat::Point>& Pixels(const TPoint2D* points, int count);
  TZORWing& w_;
  TSvgWriter writer_;
  std::vector<plat::Point> pixels_;
};

class TPictexSink : public TExportSink {
 public:
  explicit TPictexSink(TZORWing& w) : w_(w) {}
  TPictexWriter& Writer() { return writer_; }
  TExportFormat Format() const override { return TExportFormat::Pictex; }
  void Line(const TPoint2D& a, const TPoint2D& b, const TExportPen& pen) override;
  void Rule(const TPoint2D& a, const TPoint2D& b, const TExportPen& pen) override;
  void PixelLine(plat::Point a, plat::Point b, const TExportPen& pen) override;
  void Polyline(const TPoint2D* points, int last, const TExportPen& pen) override;
  void GappedPolyline(const TPoint2D* points, const std::uint8_t* flags, int last, const TExportPen& pen,
                      int mode) override;
  // PiCTeX has no filled polygons or boxes: a hollow polygon is written as
  // its outline, a filled one is left out and counted.
  void Polygon(const TPoint2D* points, int count, bool hollow, plat::Colour fill, int width,
               plat::Colour stroke) override;
  void Hatch(const TPoint2D* points, int count, plat::Colour colour, int hatchStyle) override;
  void Circle(const TPoint2D& centre, int radiusPixels, int width, std::optional<plat::Colour> fill,
              std::optional<plat::Colour> stroke) override;
  void Marker(const TPoint2D& p, int style, int r, plat::Colour colour, int pictexStyle) override;
  void Text(plat::DC& dc, const TExportText& text) override;
  long double TextLineHeight() const override { return writer_.TextLineHeight(); }
  void Rect(const plat::Rect&, bool, plat::Colour, int, plat::Colour, int) override {}
  void Arrow(const TExportArrow& arrow) override;
  void LineStyle(int style, bool solid) override { writer_.WritePictexLineStyle(style, solid); }
  void Comment(std::string_view text) override { writer_.WriteComment(text); }
  void BeginPointPattern() override { writer_.BeginPictexPattern(); }
  void PatternPoint(const TPoint2D& p) override { writer_.AddPictexPatternPoint(p); }
  void EndPointPattern() override { writer_.EndPictexPattern(); }
  // Filled polygons and shaded regions the file lacks.
  int LeftOutFills() const { return leftOutFills_; }

 private:
  TZORWing& w_;
  TPictexWriter writer_;
  int leftOutFills_ = 0;
};

}  // namespace kv
