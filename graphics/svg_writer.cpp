#include "graphics/svg_writer.h"

#include <cstdio>
#include <vector>

#include "graphics/export_text.h"
#include "graphics/gapped_polyline.h"
#include "shell/text_helpers.h"

namespace kv {

namespace {

std::string Px(int v) { return std::to_string(v) + "px"; }

void AppendPoint(std::string& d, plat::Point p) { d += " " + std::to_string(p.x) + " " + std::to_string(p.y); }

// The dash pattern of line styles 1 dotted, 2 dashed, 3 dash-dot and 4
// dash-dot-dot; nothing for a solid line.
void AppendDashArray(std::string& s, int style) {
  if (style == 0) return;
  const char* pattern = style == 1 ? "4,4" : style == 2 ? "20,8" : style == 3 ? "2,4,6,4" : "3,3,10,3,3,3";
  AppendTextAttribute(s, " stroke-dasharray=", pattern);
}

}  // namespace

void AppendIntAttribute(std::string& text, std::string_view name, int value) {
  text += name;
  text += '"';
  text += std::to_string(value);
  text += '"';
}

void AppendTextAttribute(std::string& text, std::string_view name, std::string_view value) {
  text += name;
  text += '"';
  text += value;
  text += '"';
}

void AppendSvgRotateGroup(std::string& text, int x, int y, int angle) {
  AppendTextAttribute(text, "<g transform=",
                      "translate(" + std::to_string(x) + "," + std::to_string(y) + ") rotate(" +
                          std::to_string(angle) + ")");
  text += ">\r\n";
}

void TSvgWriter::WriteHeader(int width, int height, std::string_view title) {
  std::string s;
  AppendTextAttribute(s, "<?xml version=", "1.0");
  AppendTextAttribute(s, " encoding=", "UTF-8");
  AppendTextAttribute(s, " standalone=", "no");
  s += "?>\r\n";
  AppendTextAttribute(s, "<svg version=", "1.1");
  s += "\r\n";
  AppendTextAttribute(s, "baseProfile=", "full");
  s += "\r\n";
  AppendIntAttribute(s, "width=", width);
  AppendIntAttribute(s, " height=", height);
  s += "\r\n";
  AppendTextAttribute(s, "viewBox=", "0 0 " + std::to_string(width) + " " + std::to_string(height));
  // "defer" needs an alignment after it: alone it is not a valid value and
  // readers that check it show nothing.
  AppendTextAttribute(s, " preserveAspectRatio=", "defer xMidYMid");
  s += "\r\n";
  AppendTextAttribute(s, "xmlns=", "http://www.w3.org/2000/svg");
  s += "\r\n";
  AppendTextAttribute(s, "xmlns:xlink=", "http://www.w3.org/1999/xlink");
  s += "\r\n";
  AppendTextAttribute(s, "xmlns:ev=", "http://www.w3.org/2001/xml-events");
  s += ">\r\n";
  s += "<title>" + EscapeXml(title) + "</title>\r\n";
  out_ += s;
  patternCounter_ = 0;
}

void TSvgWriter::WriteSvgLine(plat::Point a, plat::Point b, plat::Colour colour, int width, int style) {
  if (width < 1) width = 1;
  std::string s;
  AppendIntAttribute(s, "<line x1=", a.x);
  AppendIntAttribute(s, " y1=", a.y);
  AppendIntAttribute(s, " x2=", b.x);
  AppendIntAttribute(s, " y2=", b.y);
  AppendTextAttribute(s, " stroke=", FormatHexColour(colour));
  AppendTextAttribute(s, " stroke-width=", Px(width));
  AppendDashArray(s, style);
  s += " />\r\n";
  out_ += s;
}

void TSvgWriter::WriteSvgPath(const plat::Point* points, int last, plat::Colour colour, int width,
                              std::string_view tmpl, int style) {
  if (last < 1) return;
  std::string d;
  d.reserve(static_cast<std::size_t>(last + 1) * 10);
  for (int i = 0; i <= last; ++i) {
    const bool start =
        tmpl.empty() ? i == 0 : static_cast<std::size_t>(i) < tmpl.size() && tmpl[static_cast<std::size_t>(i)] == 'M';
    if (start) d += i == 0 ? "M" : " M";
    AppendPoint(d, points[i]);
    if (start) d += " L";
  }
  std::string s;
  AppendTextAttribute(s, "<path d=", d);
  AppendTextAttribute(s, " fill=", "none");
  AppendTextAttribute(s, " stroke=", FormatHexColour(colour));
  AppendTextAttribute(s, " stroke-width=", Px(width));
  AppendDashArray(s, style);
  s += " />\r\n";
  out_ += s;
}

void TSvgWriter::WriteSvgGappedPolyline(const plat::Point* points, const std::uint8_t* flags, int last,
                                        plat::Colour colour, int width, int mode) {
  if (last < 1) return;
  std::vector<std::int32_t> runs;
  BreakRuns(runs, flags, last);
  std::string d;
  bool open = false;
  for (int i = 1; i <= last; ++i) {
    if (GappedSegmentDrawn(runs, i, mode)) {
      if (!open) {
        d += " M";
        AppendPoint(d, points[i - 1]);
        d += " L";
      }
      open = true;
      AppendPoint(d, points[i]);
    } else {
      open = false;
    }
  }
  std::string s;
  AppendTextAttribute(s, "<path d=", d);
  AppendTextAttribute(s, " fill=", "none");
  AppendTextAttribute(s, " stroke=", FormatHexColour(colour));
  AppendTextAttribute(s, " stroke-width=", Px(width));
  s += " />\r\n";
  out_ += s;
}

void TSvgWriter::WriteSvgPolygon(const plat::Point* points, int count, bool hollow, plat::Colour fill, int width,
                                 plat::Colour stroke, int hatchStyle) {
  if (count < 1 || (hollow && width < 0)) return;
  if (width == 0) width = 1;
  std::string f = hollow ? "none" : FormatHexColour(fill);
  if (!hollow && hatchStyle > 0) WriteSvgPatternDefs(f, hatchStyle);
  const std::string st = width > 0 ? FormatHexColour(stroke) : f;
  std::string pts = std::to_string(points[0].x) + "," + std::to_string(points[0].y);
  for (int i = 1; i < count; ++i) pts += " " + std::to_string(points[i].x) + "," + std::to_string(points[i].y);
  std::string s;
  AppendTextAttribute(s, "<polygon fill=", f);
  AppendTextAttribute(s, " stroke=", st);
  AppendTextAttribute(s, " stroke-width=", Px(width > 0 ? width : 1));
  AppendTextAttribute(s, " points=", pts);
  s += " />\r\n";
  out_ += s;
}

void TSvgWriter::WriteSvgRect(int x, int y, int width, int height, bool hollow, plat::Colour fill, int lineWidth,
                              plat::Colour stroke, int rx, int ry) {
  if (hollow && lineWidth < 0) return;
  std::string s;
  AppendIntAttribute(s, "<rect x=", x);
  AppendIntAttribute(s, " y=", y);
  AppendIntAttribute(s, " width=", width < 0 ? -width : width);
  AppendIntAttribute(s, " height=", height < 0 ? -height : height);
  AppendTextAttribute(s, " fill=", hollow ? std::string("none") : FormatHexColour(fill));
  AppendTextAttribute(s, " stroke=", FormatHexColour(lineWidth < 0 ? fill : stroke));
  AppendTextAttribute(s, " stroke-width=", Px(lineWidth < 0 ? -lineWidth : lineWidth));
  if (rx > 0) {
    AppendIntAttribute(s, " rx=", rx);
    AppendIntAttribute(s, " ry=", ry);
  }
  s += " />\r\n";
  out_ += s;
}

void TSvgWriter::WriteSvgCircle(int x, int y, int r, std::optional<plat::Colour> stroke, int width,
                                std::optional<plat::Colour> fill, int hatchStyle) {
  if (!stroke && !fill) return;
  if (width < 1) width = 1;
  std::string f = fill ? FormatHexColour(*fill) : "none";
  if (fill && hatchStyle > 0) WriteSvgPatternDefs(f, hatchStyle);
  std::string s;
  AppendIntAttribute(s, "<circle cx=", x);
  AppendIntAttribute(s, " cy=", y);
  AppendIntAttribute(s, " r=", r);
  AppendTextAttribute(s, " fill=", f);
  AppendTextAttribute(s, " stroke=", stroke ? FormatHexColour(*stroke) : "none");
  AppendTextAttribute(s, " stroke-width=", Px(width));
  s += " />\r\n";
  out_ += s;
}

void TSvgWriter::WriteSvgEllipse(int x, int y, int r, plat::Colour fill, plat::Colour stroke) {
  std::string s;
  AppendIntAttribute(s, "<ellipse cx=", x);
  AppendIntAttribute(s, " cy=", y);
  AppendIntAttribute(s, " rx=", r);
  AppendIntAttribute(s, " ry=", r);
  AppendTextAttribute(s, " fill=", FormatHexColour(fill));
  AppendTextAttribute(s, " stroke=", FormatHexColour(stroke));
  AppendTextAttribute(s, " stroke-width=", "1px");
  s += " />\r\n";
  out_ += s;
}

void TSvgWriter::WriteSvgPatternDefs(std::string& colourText, int style) {
  if (patternCounter_ >= 999) return;
  const int size = (style < 5 && style != 2) ? 10 : 8;
  char id[16];
  std::snprintf(id, sizeof id, "fpat%03d", static_cast<int>(patternCounter_));
  std::string strokes;
  auto stroke = [&strokes](const char* d) {
    AppendTextAttribute(strokes, "<path d=", d);
    strokes += "/>";
  };
  switch (style) {
    case 1:
      stroke("M0,10 l10,-10");
      break;
    case 2:
      stroke("M0,4 l8,0");
      stroke("M4,0 l0,8");
      break;
    case 3:
      stroke("M0,10 l10,-10");
      stroke("M0,0 l10,10");
      break;
    case 4:
      stroke("M0,0 l10,10");
      break;
    case 5:
      stroke("M0,4 l8,0");
      break;
    default:
      stroke("M4,0 l0,8");
      break;
  }
  std::string s = "<defs>\r\n";
  AppendTextAttribute(s, "<pattern id=", id);
  AppendTextAttribute(s, " patternUnits=", "userSpaceOnUse");
  AppendIntAttribute(s, " x=", 0);
  AppendIntAttribute(s, " y=", 0);
  AppendIntAttribute(s, " width=", size);
  AppendIntAttribute(s, " height=", size);
  s += ">\r\n";
  AppendTextAttribute(s, "<g style=", "fill:none; stroke:" + colourText + "; stroke-width:1px");
  s += "> " + strokes + "</g>\r\n";
  s += "</pattern>\r\n</defs>\r\n";
  out_ += s;
  colourText = std::string("url(#") + id + ")";
  ++patternCounter_;
}

void TSvgWriter::WriteSvgCross(int x, int y, int r, plat::Colour colour, bool diagonal) {
  const plat::Point plus[4] = {{x, y - r}, {x, y + r}, {x - r, y}, {x + r, y}};
  const plat::Point cross[4] = {{x - r, y - r}, {x + r, y + r}, {x + r, y - r}, {x - r, y + r}};
  WriteSvgPath(diagonal ? cross : plus, 3, colour, 1, "MLML");
}

void TSvgWriter::WriteSvgMarker(int x, int y, int style, int r, plat::Colour c) {
  auto triangle = [&](plat::Point a, plat::Point b, plat::Point e) {
    const plat::Point t[3] = {a, b, e};
    WriteSvgPolygon(t, 3, false, c, 1, c, 0);
  };
  switch (style) {
    case 0:
      WriteSvgRect(x - r, y - r, 2 * r, 2 * r, false, c, 1, c, 0, 0);
      break;
    case 1:
      WriteSvgEllipse(x, y, r, c, c);
      break;
    case 2:
      triangle({x - r, y + r}, {x + r, y + r}, {x, y - r});
      break;
    case 3:
      triangle({x - r, y - r}, {x + r, y - r}, {x, y + r});
      break;
    case 4:
      triangle({x - r, y - r}, {x - r, y + r}, {x + r, y});
      break;
    case 5:
      triangle({x + r, y - r}, {x + r, y + r}, {x - r, y});
      break;
    case 6:
      WriteSvgCross(x, y, r, c, false);
      WriteSvgRect(x - r, y - r, 2 * r, 2 * r, true, c, 1, c, 0, 0);
      break;
    case 7:
      WriteSvgRect(x - r, y - r, 2 * r, 2 * r, true, c, 1, c, 0, 0);
      break;
    case 8:
      WriteSvgCross(x, y, r, c, true);
      break;
    case 9:
      WriteSvgCross(x, y, r, c, false);
      break;
    case 10:
      WriteSvgCross(x, y, r, c, true);
      WriteSvgRect(x - r, y - r, 2 * r, 2 * r, true, c, 1, c, 0, 0);
      break;
    case 11: {
      const plat::Point q[6] = {{x, y}, {x, y - 3 * r}, {x, y}, {x + r, y - r}, {x, y}, {x - r, y - r}};
      WriteSvgPath(q, 5, c, 1, "MLMLML");
      break;
    }
    case 12: {
      const plat::Point q[6] = {{x, y}, {x, y + 3 * r}, {x, y}, {x + r, y + r}, {x, y}, {x - r, y + r}};
      WriteSvgPath(q, 5, c, 1, "MLMLML");
      break;
    }
    case 13: {
      const plat::Point q[4] = {{x, 0}, {x, clientHeight_}, {0, y}, {clientWidth_, y}};
      WriteSvgPath(q, 3, c, 1, "MLML");
      break;
    }
    default:
      break;
  }
}

void TSvgWriter::WriteSvgText(int x, int y, std::string_view text, plat::Colour colour, std::string_view face,
                              int pointSize, int weight, bool italic, int escapement) {
  std::string s;
  if (escapement != 0) {
    AppendSvgRotateGroup(s, x, y, -escapement / 10);
    x = 0;
    y = 0;
  }
  AppendIntAttribute(s, "<text x=", x);
  AppendIntAttribute(s, " y=", y);
  AppendTextAttribute(s, " font-family=", EscapeXml(face));
  AppendIntAttribute(s, " font-size=", pointSize * 4 / 3);
  AppendIntAttribute(s, " font-weight=", weight > 0 ? weight : 400);
  if (italic) AppendTextAttribute(s, " font-style=", "italic");
  AppendTextAttribute(s, " fill=", FormatHexColour(colour));
  AppendTextAttribute(s, " text-anchor=", "start");
  s += "> " + EscapeXml(text) + " </text>\r\n";
  if (escapement != 0) s += "</g>\r\n";
  out_ += s;
}

void TSvgWriter::WriteComment(std::string_view text) {
  // "--" may not appear inside an XML comment.
  std::string t(text);
  for (std::size_t k = t.find("--"); k != std::string::npos; k = t.find("--", k)) t.replace(k, 2, "- ");
  out_ += "<!-- " + EscapeXml(t) + " -->\r\n";
}

}  // namespace kv
