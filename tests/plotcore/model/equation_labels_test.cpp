// The places of the equation labels on a device: stacked by the device's
// text line below the first of a stack, a label moved on its own at its
// anchor, and a stack that starts beside the plotted rectangle moved into it.
#include <gtest/gtest.h>

#include <vector>

#include "plotcore/model/equation_labels.h"

namespace kv {
namespace {

std::vector<TEquationLabel> Labels(const std::vector<TPoint2D>& anchors) {
  std::vector<TEquationLabel> out;
  for (const TPoint2D& a : anchors) {
    TEquationLabel l;
    l.index = static_cast<std::int16_t>(out.size());
    l.anchor = a;
    out.push_back(l);
  }
  return out;
}

struct StackCase {
  const char* what;
  std::vector<TPoint2D> anchors;
  std::vector<TPoint2D> places;
};

TEST(EquationLabels, AStackTakesTheDevicesLineAndStartsInsideThePlottedRectangle) {
  // Plotted [0, 10] x [0, 10]; a line of 0.5 y units, insets 0.25 and 0.125.
  const TLabelStacking s = LabelStackingForLine({0, 10, 0, 10}, 5, 0.1L, 0.1L);
  EXPECT_EQ(s.lineHeight, 0.5L);
  const StackCase cases[] = {
      // Put 0.2 apart on a screen whose line was smaller: one line apart.
      {"stacked", {{1, 9}, {1, 8.8L}, {1, 8.6L}}, {{1, 9}, {1, 8.5L}, {1, 8}}},
      // The second was moved away: it stands at its anchor, and the third,
      // no longer at its x, at its own.
      {"moved", {{1, 9}, {4, 5}, {1, 8.6L}}, {{1, 9}, {4, 5}, {1, 8.6L}}},
      // The third moved straight up beside the second's x: not below it.
      {"above", {{1, 9}, {1, 8.8L}, {1, 9.5L}}, {{1, 9}, {1, 8.5L}, {1, 9.5L}}},
      // A stack left of and above the rectangle (the axis-number margin of a
      // window with logarithmic axes) starts inside it.
      {"margin", {{-1, 10.5L}, {-1, 10.3L}}, {{0.25L, 9.875L}, {0.25L, 9.375L}}},
      // Only the side that lies outside moves.
      {"left only", {{-1, 5}}, {{0.25L, 5}}},
  };
  for (const StackCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<TPoint2D> got = StackEquationLabels(Labels(c.anchors), s);
    ASSERT_EQ(got.size(), c.places.size());
    for (std::size_t k = 0; k < got.size(); ++k) {
      EXPECT_NEAR(static_cast<double>(got[k].x), static_cast<double>(c.places[k].x), 1e-12) << k;
      EXPECT_NEAR(static_cast<double>(got[k].y), static_cast<double>(c.places[k].y), 1e-12) << k;
    }
  }
}

TEST(EquationLabels, AHiddenLabelKeepsItsLineInTheStack) {
  std::vector<TEquationLabel> labels = Labels({{1, 9}, {1, 8.8L}, {1, 8.6L}});
  labels[1].visible = 0;
  const std::vector<TPoint2D> got = StackEquationLabels(labels, LabelStackingForLine({0, 10, 0, 10}, 5, 0.1L, 0.1L));
  EXPECT_NEAR(static_cast<double>(got[2].y), 8.0, 1e-12);
}

}  // namespace
}  // namespace kv
