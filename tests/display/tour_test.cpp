// The tour around the z-axis (Strg+T) on a real display: after its photos
// the film plays on the screen, picture after picture, and its keys work:
// L plays it slower, S faster, A ends it and gives the window back.
#include <algorithm>
#include <set>
#include <vector>

#include "support/display_test.h"

namespace kvdisplay {
namespace {

constexpr const char* kFilmCaption = "A=Abbruch L=Langsamer S=Schneller";

class TourOnScreen : public DisplayTest {
 protected:
  // The 3D window with the walk's plot file (six photos to a tour).
  TopWindow Open() {
    Start({FixtureCopy("walk.kv3")});
    const TopWindow w = Window("walk.kv3");
    // The user starts the tour once the picture is there.
    if (w.id) {
      EXPECT_TRUE(Eventually(
          [&] {
            const Image p = Picture(w);
            return p.Count(0x000000) < p.w * p.h / 2;
          },
          20000))
          << "the plot was not drawn";
      Settled(w.id);
    }
    return w;
  }
  // The picture below the menu bar.
  Image Picture(const TopWindow& w) {
    Rect r = Screen().Geometry(w.id);
    const auto bar = program_->MenuBar(w.id);
    int top = 0;
    if (bar)
      for (const LoggedItem& e : bar->entries) top = std::max(top, e.rect.y + e.rect.h);
    return Screen().Capture(w.id, Rect{0, top, r.w, r.h - top});
  }
  // The times (ms) at which the picture changed, watched for at most ms
  // (stretched for a busy machine) or until `changes` changes were seen.
  std::vector<std::int64_t> Changes(const TopWindow& w, int changes, int ms) {
    std::vector<std::int64_t> at;
    std::uint64_t last = Picture(w).Hash();
    const std::int64_t end = NowMs() + Patient(ms);
    while (NowMs() < end && static_cast<int>(at.size()) < changes) {
      const std::uint64_t now = Picture(w).Hash();
      if (now != last) {
        at.push_back(NowMs());
        last = now;
      }
      Pause(5);
    }
    return at;
  }
  // The median time between two pictures of the film, or -1.
  int FrameTime(const TopWindow& w) {
    const std::vector<std::int64_t> at = Changes(w, 8, 6000);
    if (at.size() < 4) return -1;
    std::vector<std::int64_t> d;
    for (std::size_t k = 1; k < at.size(); ++k) d.push_back(at[k] - at[k - 1]);
    std::sort(d.begin(), d.end());
    return static_cast<int>(d[d.size() / 2]);
  }
  bool FilmRuns(const TopWindow& w) {
    return Eventually([&] { return Screen().Caption(w.id) == kFilmCaption; }, 20000);
  }
};

TEST_F(TourOnScreen, TheFilmPlaysOnTheScreenAndItsKeysWork) {
  const TopWindow w = Open();
  ASSERT_NE(w.id, 0u);
  const Image before = Settled(w.id);
  const std::string caption = Screen().Caption(w.id);
  Screen().Key("ctrl+t");
  ASSERT_TRUE(FilmRuns(w)) << "the film did not start; caption " << Screen().Caption(w.id);

  // Picture after picture on the screen: the views from around the z-axis.
  std::set<std::uint64_t> seen;
  const std::int64_t end = NowMs() + Patient(4000);
  while (NowMs() < end && seen.size() < 4) {
    seen.insert(Picture(w).Hash());
    Pause(10);
  }
  EXPECT_GE(seen.size(), 4u) << "the film does not reach the screen";

  // L makes each picture wait longer, S shorter (the wait is a busy loop
  // of the processor: 5 units a key); the film reads one key a picture.
  const int normal = FrameTime(w);
  ASSERT_GT(normal, 0) << "the film stands still";
  ASSERT_TRUE(program_->KeysRead("l", 'L', 2000, 100)) << "the film did not read the L keys one a picture";
  int slow = -1;
  EXPECT_TRUE(Eventually([&] { return (slow = FrameTime(w)) >= normal * 3 / 2; }, 20000))
      << "L did not slow the film: " << normal << " ms, then " << slow << " ms a picture";
  // As many S as L: back to the first speed once the film has read them.
  ASSERT_TRUE(program_->KeysRead("s", 'S', 2000, 100)) << "the film did not read the S keys one a picture";
  int fast = -1;
  EXPECT_TRUE(Eventually([&] { return (fast = FrameTime(w)) > 0 && fast <= normal * 5 / 4; }, 20000))
      << "S did not speed the film up: " << slow << " ms, then " << fast << " ms a picture";

  // A ends it within a second of the film reading it: the caption and the
  // view come back, the menu answers.
  const std::size_t from = program_->Log().Size();
  ASSERT_TRUE(program_->KeysRead("a", 'A', 2000)) << "the film did not read A";
  EXPECT_TRUE(Eventually([&] { return Screen().Caption(w.id) == caption; }, 1000)) << Screen().Caption(w.id);
  EXPECT_TRUE(program_->Answers(w.id, 1000)) << "no answer after A";
  EXPECT_TRUE(program_->WaitIdle(from, 5000)) << "the tour's command did not return";
  EXPECT_EQ(Settled(w.id).pixels, before.pixels) << "the view from before the tour is not back";
}

// A during the photos ends the tour at once: no film.
TEST_F(TourOnScreen, ADuringThePhotosEndsTheTour) {
  const TopWindow w = Open();
  ASSERT_NE(w.id, 0u);
  const std::string caption = Screen().Caption(w.id);
  Screen().Key("ctrl+t");
  ASSERT_TRUE(Eventually([&] { return Screen().Caption(w.id).rfind("Foto #", 0) == 0; }, 10000));
  ASSERT_TRUE(program_->KeysRead("a", 'A', 1000)) << "the photos did not read A";
  EXPECT_TRUE(program_->Answers(w.id, 1000)) << "no answer after A";
  EXPECT_TRUE(Eventually([&] { return Screen().Caption(w.id) == caption; }, 2000)) << "the film ran all the same";
}

}  // namespace
}  // namespace kvdisplay
