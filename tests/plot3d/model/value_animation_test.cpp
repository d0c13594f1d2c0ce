// The slice dialog's values and the stepping of the value animation.
#include <gtest/gtest.h>

#include <vector>

#include "plot3d/model/value_animation.h"

namespace kv {
namespace {

TEST(SliceValues, PositionsAndValues) {
  EXPECT_EQ(PositionOfValue(0, -5, 5, 200), 100);
  EXPECT_DOUBLE_EQ(static_cast<double>(ValueAtPosition(70, -5, 5, 200)), -1.5);
  EXPECT_EQ(PositionOfValue(5, -5, 5, 200), 200);
  // Nothing to divide by: the lower bound and position 0.
  EXPECT_EQ(PositionOfValue(3, 1, 1, 200), 0);
  EXPECT_EQ(ValueAtPosition(7, 1, 1, 200), 1);
  EXPECT_EQ(ValueAtPosition(7, -1, 1, 0), -1);
}

TEST(SliceValues, LettersSkipTheSurfaceParameters) {
  std::string letters;
  for (int row = 0; row < kSliceLetterRows; ++row) letters += SliceLetter(row);
  EXPECT_EQ(letters, "abcdefghijklmnopqsvw");
  EXPECT_EQ(SliceLetterParameter(0), 1);
  EXPECT_EQ(SliceLetterParameter(17), 19);  // s
  EXPECT_EQ(SliceLetterParameter(18), 22);  // v
  EXPECT_EQ(SliceLetterParameter(19), 23);  // w
  EXPECT_EQ(SliceLetterParameter(20), 0);
}

std::vector<int> Positions(TValueAnimation a, int n) {
  std::vector<int> out;
  for (int k = 0; k < n; ++k) {
    out.push_back(a.Position());
    a.Advance();
  }
  return out;
}

TEST(ValueAnimation, ReverseTurnsAndCycleJumps) {
  EXPECT_EQ(Positions(TValueAnimation(0, 4, 4, 4, true), 10), (std::vector<int>{4, 3, 2, 1, 0, 1, 2, 3, 4, 3}));
  EXPECT_EQ(Positions(TValueAnimation(0, 2, 4, 4, true), 5), (std::vector<int>{2, 3, 4, 3, 2}));
  EXPECT_EQ(Positions(TValueAnimation(0, 4, 4, 4, false), 4), (std::vector<int>{4, 0, 1, 2}));
  TValueAnimation back(0, 1, 4, 4, false);
  back.Reverse();
  EXPECT_EQ(Positions(back, 4), (std::vector<int>{1, 0, 4, 3}));
  TValueAnimation a(-5, 0, 5, 200, true);
  EXPECT_DOUBLE_EQ(static_cast<double>(a.Value()), 0);
  EXPECT_FALSE(TValueAnimation(1, 1, 1, 10, true).Valid());
  EXPECT_FALSE(TValueAnimation(0, 1, 1, 0, true).Valid());
}

TEST(ValueAnimation, Keys) {
  TValueAnimation a(0, 0, 4, 4, true);
  int delay = 5;
  EXPECT_FALSE(ApplyAnimationKey('S', a, delay));
  EXPECT_EQ(delay, 5);
  ApplyAnimationKey('L', a, delay);
  EXPECT_EQ(delay, 10);
  ApplyAnimationKey('S', a, delay);
  EXPECT_EQ(delay, 5);
  a.Advance();
  ApplyAnimationKey(' ', a, delay);
  a.Advance();
  EXPECT_EQ(a.Position(), 0);
  EXPECT_TRUE(ApplyAnimationKey('A', a, delay));
}

}  // namespace
}  // namespace kv
