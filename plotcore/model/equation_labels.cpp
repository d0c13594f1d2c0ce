#include "plotcore/model/equation_labels.h"

namespace kv {

TLabelStacking LabelStackingForLine(const TSegment2D& plotted, long double linePixels, long double unitsPerPixelX,
                                    long double unitsPerPixelY) {
  TLabelStacking s;
  s.plotted = plotted;
  s.lineHeight = linePixels * unitsPerPixelY;
  s.insetX = linePixels / 2 * unitsPerPixelX;
  s.insetY = linePixels / 4 * unitsPerPixelY;
  return s;
}

std::vector<TPoint2D> StackEquationLabels(const std::vector<TEquationLabel>& labels, const TLabelStacking& s) {
  std::vector<TPoint2D> places;
  places.reserve(labels.size());
  for (std::size_t k = 0; k < labels.size(); ++k) {
    const TPoint2D& a = labels[k].anchor;
    if (k > 0) {
      const TPoint2D& before = labels[k - 1].anchor;
      // Put below the label before it: the anchors share their x exactly.
      if (a.x == before.x && a.y < before.y) {
        places.push_back({places.back().x, places.back().y - s.lineHeight});
        continue;
      }
    }
    TPoint2D p = a;
    if (p.x < s.plotted.xmin) p.x = s.plotted.xmin + s.insetX;
    if (p.y > s.plotted.ymax) p.y = s.plotted.ymax - s.insetY;
    places.push_back(p);
  }
  return places;
}

}  // namespace kv
