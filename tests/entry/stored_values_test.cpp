// Every place of the plot file's settings blocks and of the window-kind
// settings files is either read back into the window and written out again,
// or listed below with the reason it is not.  Each place gets a value of
// its own (from a few candidates, so that a range check can pass); a place
// whose value does not come back through reading and writing is written and
// never read, read and never written, or replaced by something else.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/window_registry.h"
#include "core/binary_stream.h"
#include "entry/model/plot_file.h"
#include "entry/plot11_win.h"
#include "platform/app.h"
#include "platform/testing.h"
#include "plot2d/plot_c_win.h"
#include "plot3d/plot_r_win.h"
#include "shell/model/settings_file.h"
#include "shell/plot_frame.h"
#include "support/test_env.h"

namespace kv {
namespace {

enum Kind { k2D, k3D, kPlanets, kMapping, kLog };

class StoredFields : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterWindowCreators();
    kvtest::ClearSettingsFolder();
    frame_ = new TPlotFrame(nullptr, "Kurvato");
    ASSERT_TRUE(frame_->Create());
    frame_->StandardSettings = 0;
  }
  void TearDown() override {
    if (frame_ && !frame_->IsDestroyed()) frame_->Destroy();
    plat::App::DeleteDestroyedWindows();
  }
  TPlot11Win* Make(Kind kind) {
    TFileMsgWin* w = nullptr;
    switch (kind) {
      case k2D: w = frame_->New2DWindow(""); break;
      case k3D: w = frame_->New3DWindow(""); break;
      case kPlanets: w = frame_->NewPlanetWindow(""); break;
      case kMapping: w = frame_->NewMappingPair("", 0); break;
      case kLog: w = frame_->NewLogWindow("", 3); break;
    }
    return dynamic_cast<TPlot11Win*>(w);
  }
  TPlotFrame* frame_ = nullptr;
};

// A place: its block letter and index, e.g. "w47" (word 47), "f5" (flag
// byte 5), "v44" (value 44), "s0"/"m0" (slider steps), "i21"/"r24"/"b3"
// (settings file: integer, long-double and byte slots 0..62).
using Places = std::set<std::string>;

std::string Join(const Places& p) {
  std::string s;
  for (const std::string& x : p) s += x + " ";
  return s;
}

Places Range(char block, int from, int to) {
  Places p;
  for (int k = from; k <= to; ++k) p.insert(block + std::to_string(k));
  return p;
}

Places Union(std::initializer_list<Places> parts) {
  Places p;
  for (const Places& q : parts) p.insert(q.begin(), q.end());
  return p;
}

// ---- plot files ----

// Places of blocks 2 to 5 that say which blocks follow or how large they
// are: changing one alone makes another file, which the file tests cover.
const Places kStructural = {"w9", "w29", "w41", "w42", "w45", "w53", "f12", "f17"};

// Places no window keeps: written as 0 and passed over by the reader.
const Places kUnused = Union({{"w24", "f21", "v10", "v40", "v42", "v43"}, Range('w', 30, 36), Range('v', 29, 32),
                              Range('v', 62, 79)});

Places LostPlotPlaces(TPlot11Win& a, TPlot11Win& b) {
  TPlotFileState state;
  a.FillPlotState(state);
  ByteWriter w;
  WritePlotFile(w, state);
  a.ReturnPlotEntries(state);
  const std::vector<std::uint8_t> base = w.Data();

  Places lost;
  auto apply = [&](const std::vector<std::uint8_t>& bytes, TPlotSettingsBlock& out) {
    ByteReader r(bytes);
    TPlotFileState s;
    if (ReadPlotFile(r, a.FileTypeCode, s) != 0) return false;
    b.ApplyPlotState(s);
    TPlotFileState back;
    b.FillPlotState(back);
    b.ReturnPlotEntries(back);
    out = back.settings;
    return true;
  };
  const TPlotSettingsBlock original = state.settings;
  auto tryPlace = [&](const std::string& name, auto get, const auto& candidates) {
    if (kStructural.count(name)) return;
    for (const auto& c : candidates) {
      TPlotSettingsBlock s = original;
      if (get(s) == c) continue;
      get(s) = c;
      ByteWriter sw;
      WritePlotSettings(sw, s);
      std::vector<std::uint8_t> bytes = base;
      std::memcpy(bytes.data() + kCommonHeaderSize, sw.Data().data(), sw.Size());
      TPlotSettingsBlock back;
      if (apply(bytes, back) && get(back) == c) return;
    }
    lost.insert(name);
  };
  const std::int16_t words[] = {0, 1, 2, 3, 7, 9, 40, 123, 137, 150, 893, 1945};
  const std::uint8_t flags[] = {0, 1};
  const long double values[] = {0.375L, 2.5L, 7, 150, -0.5L, 0};
  const std::int32_t small[] = {150, 3};
  const std::int32_t medium[] = {5, 1};
  for (int k = 0; k < kPlotHeaderWords; ++k)
    tryPlace("w" + std::to_string(k), [k](TPlotSettingsBlock& s) -> auto& { return s.words[k]; }, words);
  for (int k = 0; k < kPlotFlagBytes; ++k)
    tryPlace("f" + std::to_string(k), [k](TPlotSettingsBlock& s) -> auto& { return s.flags[k]; }, flags);
  for (int k = 0; k < kPlotValues; ++k)
    tryPlace("v" + std::to_string(k), [k](TPlotSettingsBlock& s) -> auto& { return s.values[k]; }, values);
  for (int k = 0; k < kSliderTableEntries; ++k) {
    tryPlace("s" + std::to_string(k), [k](TPlotSettingsBlock& s) -> auto& { return s.smallSteps[k]; }, small);
    tryPlace("m" + std::to_string(k), [k](TPlotSettingsBlock& s) -> auto& { return s.mediumSteps[k]; }, medium);
  }
  return lost;
}

TEST_F(StoredFields, EveryPlaceOfAPlotFileIsReadBackOrListedWhyNot) {
  // What each window kind does not keep as it was read, besides the places
  // no window keeps.
  const std::map<Kind, Places> expected = {
      // The shown rectangle follows from the centre, the half width and
      // the client size; the logarithmic axes (word 51) belong to the
      // logarithmic windows; the integration dialog names entries of the
      // inventory (words 54, 55), and these windows have none.
      {k2D, {"v3", "v4", "v5", "v6", "w51", "w54", "w55"}},
      {kPlanets, {"v3", "v4", "v5", "v6", "w51", "w54", "w55"}},
      {kMapping, {"v3", "v4", "v5", "v6", "w51", "w54", "w55"}},
      // The 3D window: the box centre and the direction of sight follow
      // from the box and the observer.
      {k3D, Union({{"v3", "v4", "v5", "v6", "w1", "w51"}, Range('v', 14, 19)})},
      // The logarithmic window draws a free rectangle with its own grid.
      {kLog, {"f0", "v0", "v1", "v2", "v8", "v9", "v22", "v23", "v41", "w54", "w55"}},
  };
  for (const auto& [kind, places] : expected) {
    SCOPED_TRACE(kind);
    TPlot11Win* a = Make(kind);
    TPlot11Win* b = Make(kind);
    ASSERT_TRUE(a && b);
    const Places lost = LostPlotPlaces(*a, *b);
    const Places wanted = Union({places, kUnused});
    EXPECT_EQ(Join(lost), Join(wanted));
  }
}


// ---- settings files ----

// The settings file of the window's kind, written from its state.
template <class W>
std::vector<std::uint8_t> SettingsOf(W& w) {
  w.StoreSettings();
  return w.SettingsFileBytes();
}

template <class W>
Places LostSettingsPlaces(W& a, W& b) {
  const std::vector<std::uint8_t> base = SettingsOf(a);
  const std::string ini = WindowsDirectory() + a.SettingsFileName;
  constexpr std::size_t kIntsAt = kCommonHeaderSize;
  constexpr std::size_t kRealsAt = kIntsAt + 3 * 84;
  constexpr std::size_t kBytesAt = kRealsAt + 3 * 210;
  Places lost;
  auto tryPlace = [&](const std::string& name, std::size_t at, const std::vector<std::vector<std::uint8_t>>& candidates) {
    for (const auto& c : candidates) {
      if (std::memcmp(base.data() + at, c.data(), c.size()) == 0) continue;
      std::vector<std::uint8_t> bytes = base;
      std::memcpy(bytes.data() + at, c.data(), c.size());
      {
        std::ofstream f(ini, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
      }
      b.SettingsLoaded = b.LoadSettings() ? 1 : 0;
      b.ApplySettings();
      const std::vector<std::uint8_t> again = SettingsOf(b);
      if (again.size() == base.size() && std::memcmp(again.data() + at, c.data(), c.size()) == 0) return;
    }
    lost.insert(name);
  };
  auto i32 = [](std::int32_t v) {
    ByteWriter w;
    w.I32(v);
    return w.Data();
  };
  auto ld = [](long double v) {
    ByteWriter w;
    w.LongDouble(v);
    return w.Data();
  };
  for (int k = 0; k < 63; ++k)
    tryPlace("i" + std::to_string(k), kIntsAt + 4 * static_cast<std::size_t>(k), {i32(0), i32(1), i32(3), i32(9), i32(40), i32(124)});
  for (int k = 0; k < 63; ++k)
    tryPlace("r" + std::to_string(k), kRealsAt + 10 * static_cast<std::size_t>(k), {ld(0.375L), ld(7), ld(150)});
  for (int k = 0; k < 63; ++k) tryPlace("b" + std::to_string(k), kBytesAt + static_cast<std::size_t>(k), {{1}, {'x'}});
  return lost;
}

TEST_F(StoredFields, EverySlotOfASettingsFileIsReadBackOrListedWhyNot) {
  {
    SCOPED_TRACE("kv2.ini");
    auto* a = dynamic_cast<TPlotCWin*>(Make(k2D));
    auto* b = dynamic_cast<TPlotCWin*>(Make(k2D));
    ASSERT_TRUE(a && b);
    // Integer block 1 word 1 holds the count of saved colours (10), word 19
    // the type code and word 20 the side windows' modes: written, not read.
    // Block 2 word 10 is the mark 32000 that tells word 11 is a flag.
    // Block 3 words 4-7 and 18 are written as 0.
    EXPECT_EQ(Join(LostSettingsPlaces(*a, *b)), Join({"i1", "i19", "i20", "i31", "i46", "i47", "i48", "i49", "i60"}));
  }
  {
    SCOPED_TRACE("kv3.ini");
    auto* a = dynamic_cast<TPlotRWin*>(Make(k3D));
    auto* b = dynamic_cast<TPlotRWin*>(Make(k3D));
    ASSERT_TRUE(a && b);
    // Words 1, 19 and 20 as above; the words written as 0.
    EXPECT_EQ(Join(LostSettingsPlaces(*a, *b)),
              Join({"i1", "i19", "i20", "i31", "i32", "i34", "i36", "i37", "i39", "i40", "i42", "i43"}));
  }
}

}  // namespace
}  // namespace kv
