// The tour around the z-axis (Strg+T) on a real display: after its photos
// the film plays on the screen, picture after picture, at 150 ms a picture,
// and its keys work: L plays it slower, S faster (5 ms a key), A ends it and
// gives the window back.
#include <algorithm>
#include <cstdio>
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
    // The user starts the tour once the picture is there: the program has
    // painted the file (a key during the painting would end it) and the
    // picture stands still.
    if (w.id) {
      EXPECT_TRUE(FilePainted()) << "the plot was not drawn";
      EXPECT_TRUE(StandsStill(w.id)) << "the plot did not come to rest";
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
  // The film's pace as the program logs it with its steady clock
  // ("film <frame> <delay> <ms>", one line a picture): the median time
  // from a picture shown with the delay to the next, over the first
  // `frames` such pictures logged at or after line `from`; waits for them
  // (stretched for a busy machine), -1 when they did not come.
  int FilmPace(std::size_t from, int delay, int frames = 8) {
    std::vector<std::int64_t> gaps;
    Eventually(
        [&] {
          gaps.clear();
          const auto& lines = program_->Log().Lines();
          long long lastMs = -1;
          int lastDelay = -1;
          for (std::size_t i = from; i < lines.size(); ++i) {
            int frame = 0, d = 0;
            long long ms = 0;
            if (std::sscanf(lines[i].c_str(), "film %d %d %lld", &frame, &d, &ms) != 3) continue;
            if (lastDelay == delay && lastMs >= 0) gaps.push_back(ms - lastMs);
            lastMs = ms;
            lastDelay = d;
          }
          return static_cast<int>(gaps.size()) >= frames;
        },
        20000);
    if (static_cast<int>(gaps.size()) < frames) return -1;
    gaps.resize(static_cast<std::size_t>(frames));
    std::sort(gaps.begin(), gaps.end());
    return static_cast<int>(gaps[gaps.size() / 2]);
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

  // Each picture waits the delay, a millisecond a unit on every machine:
  // 150 ms at first; L adds 5 ms, S takes 5 ms off (the film reads one key
  // a picture).  The pace is the program's own steady clock, not stretched.
  std::size_t from = program_->Log().Size();
  const int normal = FilmPace(from, 150);
  EXPECT_GE(normal, 150) << "the film runs faster than 150 ms a picture";
  EXPECT_LT(normal, 175) << "the film runs slower than 150 ms a picture";
  from = program_->Log().Size();
  ASSERT_TRUE(program_->KeysRead("l", 'L', 2000, 5)) << "the film did not read the L keys one a picture";
  const int slow = FilmPace(from, 175);
  EXPECT_GE(slow, 175) << "five L: not 175 ms a picture";
  EXPECT_LT(slow, 200) << "five L: not 175 ms a picture";
  from = program_->Log().Size();
  ASSERT_TRUE(program_->KeysRead("s", 'S', 2000, 5)) << "the film did not read the S keys one a picture";
  const int back = FilmPace(from, 150);
  EXPECT_GE(back, 150) << "five S after five L: not 150 ms a picture";
  EXPECT_LT(back, 175) << "five S after five L: not 150 ms a picture";

  // The window answers during the film: a key is taken at once, also while
  // the film waits between pictures (an L and an S leave the pace as it
  // is), and a click on the menu bar waits for the film.  A ends the film
  // within a second of the key: the caption and the view come back, and the
  // menu clicked during the film opens.
  for (const char* key : {"l", "s", "l", "s"}) EXPECT_TRUE(program_->KeyTakenWithin(key, *key - 32, 50)) << key;
  const auto bar = program_->MenuBar(w.id);
  ASSERT_TRUE(bar && !bar->entries.empty());
  int x = bar->entries.front().rect.CentreX(), y = bar->entries.front().rect.CentreY();
  Screen().ToScreen(w.id, x, y);
  from = program_->Log().Size();
  Screen().Click(x, y);
  std::int64_t pressed = 0;
  ASSERT_TRUE(program_->KeyReadWithin("a", 'A', 1000, &pressed)) << "the film did not read A";
  EXPECT_TRUE(WithinMsOf(pressed, [&] { return Screen().Caption(w.id) == caption; }, 1000)) << Screen().Caption(w.id);
  const int popup = program_->Log().WaitFor("popup ", from, 2000);
  ASSERT_GE(popup, 0) << "the click on the menu bar was lost";
  long long shown = -1;  // "popup <rect> <count> <ms> <title>"
  std::sscanf(program_->Log().Lines()[static_cast<std::size_t>(popup)].c_str(), "popup %*s %*d %lld", &shown);
  EXPECT_GE(shown, pressed) << "the menu opened during the film";
  EXPECT_LT(shown - pressed, 1000) << "ms from A to the menu";
  program_->CloseMenus(1);
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
  std::int64_t pressed = 0;
  ASSERT_TRUE(program_->KeyReadWithin("a", 'A', 1000, &pressed)) << "the photos and A";
  EXPECT_TRUE(program_->AnswersWithin(w.id, 1000, pressed)) << "after A";
  EXPECT_TRUE(Eventually([&] { return Screen().Caption(w.id) == caption; }, 2000))
      << "the film ran all the same: the caption is " << Screen().Caption(w.id) << ", not " << caption;
}

// Strg+T typed while the menu "&Datei" is open: the menu closes, the film
// plays, and A stops it within a second, the window answering again.
TEST_F(TourOnScreen, AKeyStopsTheTourStartedUnderAnOpenMenu) {
  const TopWindow w = Open();
  ASSERT_NE(w.id, 0u);
  const std::string caption = Screen().Caption(w.id);
  std::size_t from = program_->Log().Size();
  ASSERT_TRUE(program_->OpenMenu(w.id, {"&Datei"})) << "the menu did not open";
  Screen().Key("ctrl+t");
  ASSERT_TRUE(FilmRuns(w)) << "the film did not start; caption " << Screen().Caption(w.id);
  EXPECT_GE(program_->Log().WaitFor("popdown &Datei", from, 2000), 0) << "the menu stays open over the film";
  std::int64_t pressed = 0;
  ASSERT_TRUE(program_->KeyReadWithin("a", 'A', 1000, &pressed)) << "the film did not read A";
  EXPECT_TRUE(WithinMsOf(pressed, [&] { return Screen().Caption(w.id) == caption; }, 1000)) << Screen().Caption(w.id);
  EXPECT_TRUE(program_->AnswersWithin(w.id, 1000, pressed)) << "after A";
  EXPECT_TRUE(program_->WaitIdle(from, 5000)) << "the tour's command did not return";
}

}  // namespace
}  // namespace kvdisplay
