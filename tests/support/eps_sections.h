// An EPS file as the export tests read it back: cut at the comment lines
// that mark its sections, each section's paths with their points, and the
// two shapes a 3D window's frame leaves in it (three axes through one
// point, the twelve edges of a box).
#pragma once

#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace kvtest {

struct EpsPoint {
  double x = 0;
  double y = 0;
};

struct EpsSection {
  std::string mark;  // the comment's text, empty for the head
  std::vector<std::string> lines;
};

// The head (up to the first mark), then one section per comment line with
// a single "%" (the header's "%%" and "%!" lines stay with the head).
inline std::vector<EpsSection> EpsSections(const std::string& eps) {
  std::vector<EpsSection> sections(1);
  std::istringstream in(eps);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > 1 && line[0] == '%' && line[1] != '%' && line[1] != '!')
      sections.push_back({line.substr(1), {}});
    else
      sections.back().lines.push_back(line);
  }
  return sections;
}

inline std::vector<std::string> EpsMarks(const std::vector<EpsSection>& sections) {
  std::vector<std::string> marks;
  for (std::size_t k = 1; k < sections.size(); ++k) marks.push_back(sections[k].mark);
  return marks;
}

// The paths of a section in order, each with its points (moveto and lineto
// from "newpath" to "stroke" or "fill").
inline std::vector<std::vector<EpsPoint>> EpsPaths(const EpsSection& s) {
  std::vector<std::vector<EpsPoint>> paths;
  bool open = false;
  for (const std::string& line : s.lines) {
    if (line == "newpath") {
      paths.emplace_back();
      open = true;
      continue;
    }
    if (line == "stroke" || line == "fill") open = false;
    std::istringstream in(line);
    double x = 0, y = 0;
    std::string op;
    if (open && (in >> x >> y >> op) && (op == "moveto" || op == "lineto")) paths.back().push_back({x, y});
  }
  return paths;
}

using EpsLine = std::pair<EpsPoint, EpsPoint>;

// The first path of each of the `count` sections from `first` on, when each
// is one straight line (an axis after its mark); empty otherwise.
inline std::vector<EpsLine> EpsLeadingLines(const std::vector<EpsSection>& sections, std::size_t first,
                                            std::size_t count) {
  std::vector<EpsLine> lines;
  for (std::size_t k = first; k < first + count && k < sections.size(); ++k) {
    const auto paths = EpsPaths(sections[k]);
    if (paths.empty() || paths.front().size() != 2) return {};
    lines.emplace_back(paths.front()[0], paths.front()[1]);
  }
  return lines.size() == count ? lines : std::vector<EpsLine>{};
}

// The first `count` paths of the section, when each is one straight line
// (a box's edges); empty otherwise.
inline std::vector<EpsLine> EpsStraightPaths(const EpsSection& s, std::size_t count) {
  const auto paths = EpsPaths(s);
  std::vector<EpsLine> lines;
  for (std::size_t k = 0; k < count && k < paths.size(); ++k) {
    if (paths[k].size() != 2) return {};
    lines.emplace_back(paths[k][0], paths[k][1]);
  }
  return lines.size() == count ? lines : std::vector<EpsLine>{};
}

// How far the third line passes from the point where the first two cross
// (points of the page); a large number when the first two are parallel.
inline double EpsLinesMiss(const std::vector<std::pair<EpsPoint, EpsPoint>>& lines) {
  const auto [a, b] = lines.at(0);
  const auto [c, d] = lines.at(1);
  const auto [e, f] = lines.at(2);
  const double den = (b.x - a.x) * (d.y - c.y) - (b.y - a.y) * (d.x - c.x);
  if (std::fabs(den) < 1e-9) return 1e9;
  const double t = ((c.x - a.x) * (d.y - c.y) - (c.y - a.y) * (d.x - c.x)) / den;
  const EpsPoint p{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)};
  return std::fabs((f.x - e.x) * (p.y - e.y) - (f.y - e.y) * (p.x - e.x)) / std::hypot(f.x - e.x, f.y - e.y);
}

// The ends of the edges counted per point (to a hundredth of a point): a
// box's twelve edges meet three at each of its eight corners.
inline std::map<std::pair<long, long>, int> EpsCornerCounts(const std::vector<std::pair<EpsPoint, EpsPoint>>& edges) {
  std::map<std::pair<long, long>, int> corners;
  for (const auto& [p, q] : edges)
    for (const EpsPoint& e : {p, q}) ++corners[{std::lround(e.x * 100), std::lround(e.y * 100)}];
  return corners;
}

// What is wrong with the three axes that lead the sections from `first`
// on (each one straight line, the three through one point); "" when
// nothing is.
inline std::string EpsAxesFault(const std::vector<EpsSection>& sections, std::size_t first) {
  const auto axes = EpsLeadingLines(sections, first, 3);
  if (axes.size() != 3) return "the axes are no straight lines after their marks";
  if (EpsLinesMiss(axes) >= 0.01) return "the axes do not meet in one point";
  return "";
}

// What is wrong with the section as a box: its first twelve paths straight
// edges between eight corners, three at each; "" when nothing is.
inline std::string EpsBoxFault(const EpsSection& s) {
  const auto edges = EpsStraightPaths(s, 12);
  if (edges.size() != 12) return "the box has no twelve straight edges";
  const auto corners = EpsCornerCounts(edges);
  if (corners.size() != 8) return std::to_string(corners.size()) + " corners, not 8";
  for (const auto& [p, n] : corners)
    if (n != 3)
      return "corner " + std::to_string(p.first) + " " + std::to_string(p.second) + " has " + std::to_string(n) +
             " edges";
  return "";
}

}  // namespace kvtest
