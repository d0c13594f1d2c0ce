// An export sink for tests: records every figure handed to it, as a call
// name and with its points, under the format it pretends to be.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "graphics/export_sink.h"
#include "graphics/export_state.h"

namespace kvtest {

class RecordingSink : public kv::TExportSink {
 public:
  explicit RecordingSink(kv::TExportFormat f) : format_(f) {}
  kv::TExportFormat Format() const override { return format_; }

  struct Segment {
    kv::TPoint2D a;
    kv::TPoint2D b;
  };
  std::vector<std::string> calls;
  std::vector<Segment> lines;  // Line and Rule
  std::vector<kv::TExportPen> linePens;
  std::vector<std::vector<kv::TPoint2D>> polylines;
  std::vector<kv::TExportText> texts;
  std::vector<kv::TPoint2D> lastPolygon;
  std::vector<kv::TPoint2D> markers;
  std::vector<kv::TPoint2D> patternPoints;

  int Count(const std::string& call) const {
    int n = 0;
    for (const auto& c : calls) n += c == call;
    return n;
  }
  bool HasText(const std::string& t) const {
    for (const auto& x : texts)
      if (x.text == t) return true;
    return false;
  }

  void Line(const kv::TPoint2D& a, const kv::TPoint2D& b, const kv::TExportPen& pen) override {
    calls.push_back("Line");
    lines.push_back({a, b});
    linePens.push_back(pen);
  }
  void Rule(const kv::TPoint2D& a, const kv::TPoint2D& b, const kv::TExportPen&) override {
    calls.push_back("Rule");
    lines.push_back({a, b});
  }
  void PixelLine(plat::Point, plat::Point, const kv::TExportPen&) override { calls.push_back("PixelLine"); }
  void Polyline(const kv::TPoint2D* p, int last, const kv::TExportPen&) override {
    calls.push_back("Polyline " + std::to_string(last));
    polylines.emplace_back(p, p + last + 1);
  }
  void GappedPolyline(const kv::TPoint2D* p, const std::uint8_t*, int last, const kv::TExportPen&,
                      int mode) override {
    calls.push_back("Gapped " + std::to_string(last) + " mode " + std::to_string(mode));
    polylines.emplace_back(p, p + last + 1);
  }
  void Polygon(const kv::TPoint2D* p, int count, bool hollow, plat::Colour, int width, plat::Colour) override {
    calls.push_back("Polygon " + std::to_string(count) + (hollow ? " hollow" : " filled") + " w" +
                    std::to_string(width));
    lastPolygon.assign(p, p + count);
  }
  void Hatch(const kv::TPoint2D* p, int count, plat::Colour, int style) override {
    calls.push_back("Hatch " + std::to_string(style));
    lastPolygon.assign(p, p + count);
  }
  void Circle(const kv::TPoint2D&, int, int, std::optional<plat::Colour>, std::optional<plat::Colour>) override {
    calls.push_back("Circle");
  }
  void Marker(const kv::TPoint2D& p, int style, int r, plat::Colour, int) override {
    calls.push_back("Marker " + std::to_string(style) + " r" + std::to_string(r));
    markers.push_back(p);
  }
  void PixelCross(plat::Point p, int r, plat::Colour) override {
    calls.push_back("PixelCross " + std::to_string(p.x) + " " + std::to_string(p.y) + " r" + std::to_string(r));
  }
  void Text(plat::DC&, const kv::TExportText& t) override {
    calls.push_back("Text");
    texts.push_back(t);
  }
  void Rect(const plat::Rect&, bool, plat::Colour, int, plat::Colour, int) override { calls.push_back("Rect"); }
  void Arrow(const kv::TExportArrow& a) override {
    calls.push_back(std::string("Arrow ") + (a.filled ? "filled" : "open") + " w" + std::to_string(a.pen.width));
  }
  void LineStyle(int style, bool solid) override {
    calls.push_back("LineStyle " + std::to_string(style) + (solid ? " solid" : ""));
  }
  void Comment(std::string_view text) override { calls.push_back("Comment " + std::string(text)); }
  void BeginPointPattern() override { calls.push_back("BeginPattern"); }
  void PatternPoint(const kv::TPoint2D& p) override {
    calls.push_back("PatternPoint");
    patternPoints.push_back(p);
  }
  void EndPointPattern() override { calls.push_back("EndPattern"); }

 private:
  kv::TExportFormat format_;
};

// Lets the window record into a new recording sink of the format, as an
// export run does between its begin and end; returns the sink.
inline RecordingSink& StartRecording(kv::TExportState& w, kv::TExportFormat f) {
  w.PictexFlag = w.SvgFlag = w.EpsFlag = 0;
  auto sink = std::make_unique<RecordingSink>(f);
  RecordingSink& r = *sink;
  w.Sink = std::move(sink);
  if (f == kv::TExportFormat::Pictex) w.PictexFlag = 1;
  if (f == kv::TExportFormat::Svg) w.SvgFlag = 1;
  if (f == kv::TExportFormat::Eps) w.EpsFlag = 1;
  return r;
}

inline void StopRecording(kv::TExportState& w) {
  w.PictexFlag = w.SvgFlag = w.EpsFlag = 0;
  w.Sink.reset();
}

}  // namespace kvtest
