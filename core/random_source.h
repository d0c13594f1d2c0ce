// Random numbers as a source the caller hands in (the planetary system, the
// function quiz, the level-curve starts and stereogram dots): a window
// passes the program's generator, tests pass a seeded one, so every random
// choice is repeatable.
#pragma once

#include <cstdint>

namespace kv {

class TRandomSource {
 public:
  virtual ~TRandomSource() = default;
  // A value in 0 .. 2147483647.
  virtual int Next() = 0;
  // Next() mod m, 0 .. m - 1 (0 for m <= 0).
  int Below(int m) { return m > 0 ? Next() % m : 0; }
  // A coin: true when the next value is even.
  bool Coin() { return Next() % 2 == 0; }
  // (r mod 100000000) * (b - a) * 1e-8 + a: a value in [a, b) in steps of
  // (b - a) / 1e8.
  long double InRange(long double a, long double b) {
    return static_cast<long double>(Next() % 100000000) * ((b - a) * 1e-8L) + a;
  }
};

// A small seeded generator (64-bit linear congruential, upper bits).
class TSeededRandom : public TRandomSource {
 public:
  explicit TSeededRandom(std::uint64_t seed) : state_(seed * 2862933555777941757ULL + 3037000493ULL) {}
  int Next() override {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<int>(state_ >> 33);
  }

 private:
  std::uint64_t state_;
};

}  // namespace kv
