// The tour around the z axis: how many photos fit, and the order in which
// the film shows them.
#pragma once

#include <cstdint>

namespace kv {

inline constexpr int kMaxTourPhotos = 200;
// Photo counts outside 2..200 (a settings file that never set one) take this.
inline constexpr int kDefaultTourPhotos = 36;

// The photos the tour takes: the requested count (kDefaultTourPhotos when
// it is outside 2..200), fewer when they would not fit the memory budget at
// four bytes a pixel; 0 when not even one fits or the client is empty.
int TourPhotoCount(int requested, int width, int height, std::int64_t budgetBytes);
// The count a tour asks for: the stored one when it lies in 2..kMaxTourPhotos,
// else kDefaultTourPhotos (a new window stores none).
int RequestedTourPhotos(int stored);

// The film: photos 1..n, forwards 1, 2, ..., n, 1, ... and after a reversal
// backwards n, ..., 2, 1, n, ...
class TTourFilm {
 public:
  explicit TTourFilm(int count) : count_(count < 1 ? 1 : count) {}
  int Frame() const { return frame_; }
  bool Forward() const { return forward_; }
  void Advance();
  void Reverse() { forward_ = !forward_; }

 private:
  int count_;
  int frame_ = 1;
  bool forward_ = true;
};

// The keys of the film (upper-case letters; an accelerator comes as 'A'):
// Space reverses, 'L' adds 5 to the delay, 'S' takes 5 off while it is
// above 5; 'A' and Ctrl+Q (17) end it (true).
bool ApplyFilmKey(int key, TTourFilm& film, int& delay);

}  // namespace kv
