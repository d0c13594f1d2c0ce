// A device context for tests that draws nothing and logs every primitive
// with the pen, brush and text state it was drawn with.  Text measures 6
// pixels per character and 12 pixels high.
#pragma once

#include <string>
#include <vector>

#include "platform/dc.h"

namespace kvtest {

struct DrawCall {
  enum Kind { Line, Rectangle, Ellipse, Polygon, Arc, Text, Fill } kind = Line;
  std::vector<plat::Point> points;  // lines: from, to; shapes: corners; arcs: box corners, start, end
  std::string text;
  plat::Pen pen;
  plat::Brush brush;
  unsigned align = 0;
  int bkMode = 0;
  plat::LogFont font;
};

class RecordingDC : public plat::DC {
 public:
  std::vector<DrawCall> calls;
  plat::DeviceCaps caps;

  plat::Colour SetPixel(int, int, plat::Colour c) override { return c; }
  plat::Colour GetPixel(int, int) const override { return 0xFFFFFFFF; }
  plat::DeviceCaps Caps() const override { return caps; }

  std::vector<DrawCall> Of(DrawCall::Kind kind) const {
    std::vector<DrawCall> out;
    for (const auto& c : calls)
      if (c.kind == kind) out.push_back(c);
    return out;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const auto& c : calls)
      if (c.kind == DrawCall::Text) out.push_back(c.text);
    return out;
  }
  const DrawCall* FindText(const std::string& text) const {
    for (const auto& c : calls)
      if (c.kind == DrawCall::Text && c.text == text) return &c;
    return nullptr;
  }

 protected:
  void Log(DrawCall::Kind kind, std::vector<plat::Point> pts, std::string text = {}) {
    DrawCall c;
    c.kind = kind;
    c.points = std::move(pts);
    c.text = std::move(text);
    c.pen = CurrentPen();
    c.brush = CurrentBrush();
    c.align = GetTextAlign();
    c.bkMode = GetBkMode();
    c.font = CurrentFont();
    calls.push_back(std::move(c));
  }
  void DoLine(plat::Point from, plat::Point to) override { Log(DrawCall::Line, {from, to}); }
  void DoRectangle(const plat::Rect& r) override {
    Log(DrawCall::Rectangle, {{r.left, r.top}, {r.right, r.bottom}});
  }
  void DoEllipse(const plat::Rect& r) override { Log(DrawCall::Ellipse, {{r.left, r.top}, {r.right, r.bottom}}); }
  void DoPolygon(const std::vector<plat::Point>& pts) override { Log(DrawCall::Polygon, pts); }
  void DoArc(const plat::Rect& box, plat::Point start, plat::Point end, bool) override {
    Log(DrawCall::Arc, {{box.left, box.top}, {box.right, box.bottom}, start, end});
  }
  void DoFillRect(const plat::Rect& r, const plat::Brush&) override {
    Log(DrawCall::Fill, {{r.left, r.top}, {r.right, r.bottom}});
  }
  void DoPatBlt(const plat::Rect& r, unsigned) override { Log(DrawCall::Fill, {{r.left, r.top}, {r.right, r.bottom}}); }
  void DoTextOut(plat::Point p, const std::string& text) override { Log(DrawCall::Text, {p}, text); }
  plat::Size DoTextExtent(const std::string& text) const override {
    int chars = 0;
    for (unsigned char ch : text)
      if ((ch & 0xC0) != 0x80) ++chars;
    return {6 * chars, 12};
  }
  TextMetrics DoTextMetrics() const override { return {12, 10, 2, 6}; }
  void DoBitBlt(const plat::Rect&, const plat::Bitmap&, const plat::Rect&, unsigned) override {}
};

}  // namespace kvtest
