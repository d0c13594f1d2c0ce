#include "plot3d/model/value_animation.h"

#include <cmath>

#include "core/number_text.h"

namespace kv {

long double ValueAtPosition(int position, long double lower, long double upper, int steps) {
  if (steps < 1 || !(upper > lower)) return lower;
  return lower + (upper - lower) / steps * position;
}

int PositionOfValue(long double value, long double lower, long double upper, int steps) {
  if (steps < 1 || !(upper > lower)) return 0;
  return RoundToInt(steps * (value - lower) / (upper - lower));
}

char SliceLetter(int row) {
  static constexpr char kLetters[] = "abcdefghijklmnopqsvw";
  return row >= 0 && row < kSliceLetterRows ? kLetters[row] : 0;
}

int SliceLetterParameter(int row) {
  const char c = SliceLetter(row);
  return c ? c - 'a' + 1 : 0;
}

TValueAnimation::TValueAnimation(long double lower, long double value, long double upper, int steps, bool reverse)
    : lower_(lower), steps_(steps), reverse_(reverse), valid_(steps >= 1 && upper > lower) {
  if (!valid_) return;
  step_ = (upper - lower) / steps;
  position_ = PositionOfValue(value, lower, upper, steps);
  if (position_ < 0) position_ = 0;
  if (position_ > steps) position_ = steps;
}

long double TValueAnimation::Value() const { return lower_ + step_ * position_; }

void TValueAnimation::Advance() {
  if (!valid_) return;
  position_ += direction_;
  if (position_ < 0) {
    if (reverse_) {
      position_ = steps_ >= 1 ? 1 : 0;
      direction_ = 1;
    } else {
      position_ = steps_;
    }
  }
  if (position_ > steps_) {
    if (reverse_) {
      position_ = steps_ - 1;
      direction_ = -1;
    } else {
      position_ = 0;
    }
  }
}

bool ApplyAnimationKey(int key, TValueAnimation& animation, int& delay) {
  switch (key) {
    case ' ':
      animation.Reverse();
      return false;
    case 'L':
      delay += 5;
      return false;
    case 'S':
      if (delay > 5) delay -= 5;
      return false;
    case 'A':
      return true;
    default:
      return false;
  }
}

}  // namespace kv
