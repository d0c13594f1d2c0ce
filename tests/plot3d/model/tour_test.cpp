// The photo count of the tour and the order of its film.
#include <gtest/gtest.h>

#include <vector>

#include "plot3d/model/tour.h"

namespace kv {
namespace {

TEST(TourFilm, PhotoCountIsBoundedByTheRequestAndTheMemory) {
  struct Case {
    int requested, width, height;
    std::int64_t budget;
    int expected;
  } cases[] = {
      {4, 100, 100, 1 << 30, 4},
      {200, 100, 100, 1 << 30, 200},
      {201, 100, 100, 1 << 30, kDefaultTourPhotos},  // outside 2..200
      {0, 100, 100, 1 << 30, kDefaultTourPhotos},
      {10, 100, 100, 3 * 40000 + 5, 3},
      {10, 100, 100, 39999, 0},
      {10, 0, 100, 1 << 30, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TourPhotoCount(c.requested, c.width, c.height, c.budget), c.expected) << c.requested << " " << c.budget;
}

TEST(TourFilm, FilmRunsRoundAndBackAfterSpace) {
  TTourFilm film(4);
  int delay = 10;
  std::vector<int> shown;
  for (int k = 0; k < 5; ++k) {
    shown.push_back(film.Frame());
    film.Advance();
  }
  EXPECT_EQ(shown, (std::vector<int>{1, 2, 3, 4, 1}));
  EXPECT_FALSE(ApplyFilmKey(' ', film, delay));
  shown.clear();
  for (int k = 0; k < 5; ++k) {
    film.Advance();
    shown.push_back(film.Frame());
  }
  EXPECT_EQ(shown, (std::vector<int>{1, 4, 3, 2, 1}));
}

TEST(TourFilm, FilmKeys) {
  TTourFilm film(3);
  int delay = 10;
  EXPECT_FALSE(ApplyFilmKey('L', film, delay));
  EXPECT_EQ(delay, 15);
  EXPECT_FALSE(ApplyFilmKey('S', film, delay));
  EXPECT_FALSE(ApplyFilmKey('S', film, delay));
  EXPECT_EQ(delay, 5);
  EXPECT_FALSE(ApplyFilmKey('S', film, delay));  // not below 5
  EXPECT_EQ(delay, 5);
  for (int key : {int{'A'}, 17}) EXPECT_TRUE(ApplyFilmKey(key, film, delay)) << key;
  // Escape is no stop key of the film; closing the window reads as "A".
  for (int key : {int{'X'}, 27}) EXPECT_FALSE(ApplyFilmKey(key, film, delay)) << key;
}

}  // namespace
}  // namespace kv
