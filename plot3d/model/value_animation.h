// The values of the slice dialog's two scroll bars and the stepping of the
// loop that animates one value between two bounds.
#pragma once

namespace kv {

// A value and its scroll position: value = lower + (upper - lower) / N ·
// position; position = round(N (value - lower) / (upper - lower)).  With
// N < 1 or upper <= lower every position gives the lower bound and every
// value position 0.
long double ValueAtPosition(int position, long double lower, long double upper, int steps);
int PositionOfValue(long double value, long double lower, long double upper, int steps);

// The parameter letters the slice dialog offers: a .. w without r, t and u
// (the letters of the surfaces' own parameters), 20 rows.
inline constexpr int kSliceLetterRows = 20;
char SliceLetter(int row);
// The parameter number 1..26 of a row ('a' = 1), 0 for a row outside.
int SliceLetterParameter(int row);

// One animated value: positions 0..N, value lower + step · position.  The
// reverse mode turns at the ends without showing an end twice (..., N-1,
// N, N-1, ..., 1, 0, 1, ...); the cycle mode jumps from N to 0 (or from 0
// to N while running backwards).
class TValueAnimation {
 public:
  TValueAnimation(long double lower, long double value, long double upper, int steps, bool reverse);
  // False when the bounds or the step count leave nothing to animate.
  bool Valid() const { return valid_; }
  int Position() const { return position_; }
  long double Value() const;
  void Advance();
  void Reverse() { direction_ = -direction_; }

 private:
  long double lower_;
  long double step_ = 0;
  int steps_;
  int position_ = 0;
  int direction_ = 1;
  bool reverse_;
  bool valid_;
};

// The keys of an animation run (upper-case letters; an accelerator comes
// as 'A'): Space reverses, 'L' adds 5 to the delay, 'S' takes 5 off while
// it is above 5, 'A' ends the run (true).
bool ApplyAnimationKey(int key, TValueAnimation& animation, int& delay);

}  // namespace kv
