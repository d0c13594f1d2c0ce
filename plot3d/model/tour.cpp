#include "plot3d/model/tour.h"

namespace kv {

int TourPhotoCount(int requested, int width, int height, std::int64_t budgetBytes) {
  const int n = RequestedTourPhotos(requested);
  if (width <= 0 || height <= 0 || budgetBytes <= 0) return 0;
  const std::int64_t bytes = std::int64_t{width} * height * 4;
  const std::int64_t fit = budgetBytes / bytes;
  return fit < n ? static_cast<int>(fit) : n;
}

int RequestedTourPhotos(int stored) {
  return stored >= 2 && stored <= kMaxTourPhotos ? stored : kDefaultTourPhotos;
}

void TTourFilm::Advance() {
  if (forward_) {
    frame_ = frame_ >= count_ ? 1 : frame_ + 1;
  } else {
    frame_ = frame_ <= 1 ? count_ : frame_ - 1;
  }
}

bool ApplyFilmKey(int key, TTourFilm& film, int& delay) {
  switch (key) {
    case ' ':
      film.Reverse();
      return false;
    case 'L':
      delay += 5;
      return false;
    case 'S':
      if (delay > 5) delay -= 5;
      return false;
    case 'A':
    case 17:  // Ctrl+Q
      return true;
    default:
      return false;
  }
}

}  // namespace kv
