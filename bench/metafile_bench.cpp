// Plays of the costliest metafiles a picture may be: as many records as a
// metafile may hold (64 MB), each covering the whole picture (rectangles,
// one-pixel pictures stretched), or text, lines of a wide pen, polygons of
// ten thousand corners, clip regions of many rectangles, played onto a
// picture of 1024 x 768 pixels.  The budget of drawing work stops each
// play: "ms" is the time of one play, "drawn" the share of its records
// played (the rest are skipped or not read), so that no picture keeps a
// paint longer than about a third of a second.
//
//   kurvato_bench --benchmark_filter=MetafilePlay
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/bitmap.h"
#include "platform/dc.h"
#include "platform/emf_metafile.h"
#include "platform/emf_player.h"
#include "platform/emf_records.h"
#include "tests/support/hand_made_metafile.h"

namespace {

using namespace plat;
using namespace plat::emf;
using Record = std::vector<std::uint8_t>;

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// As many of the record as a metafile holds, after the set-up records.
std::vector<std::uint8_t> Filled(std::vector<Record> records, const std::function<Record(int)>& next) {
  std::size_t bytes = 4096;
  for (const Record& r : records) bytes += r.size();
  for (int k = 0;; ++k) {
    Record r = next(k);
    if (bytes + r.size() > EnhMetafile::kMaxBytes) break;
    bytes += r.size();
    records.push_back(std::move(r));
  }
  return kvtest::Assemble(records);
}

std::vector<std::uint8_t> Text() {
  RecordBuilder font(EMR_EXTCREATEFONTINDIRECTW);
  font.U32(1);
  LogFont f;
  f.SetFace("Liberation Sans");
  f.height = -3;  // 3 mm
  EncodeLogFontW(font, f);
  return Filled({font.Finish(), RecordBuilder(EMR_SELECTOBJECT).U32(1).Finish()}, [](int k) {
    RecordBuilder b(EMR_EXTTEXTOUTW);
    b.RectL(Rect{0, 0, 100, 100}).U32(1).F32(1).F32(1);
    b.I32(k % 90).I32(k / 90 % 95).U32(10).U32(76).U32(ETO_NO_RECT).U32(0);
    while (b.Offset() < 76) b.U32(0);
    for (char16_t c : std::u16string(u"Kurvato 12")) b.U16(c);
    return b.Pad4().Finish();
  });
}

std::vector<std::uint8_t> WideLines() {
  return Filled({RecordBuilder(EMR_CREATEPEN).U32(1).U32(PS_SOLID).I32(2).I32(0).U32(0).Finish(),
                 RecordBuilder(EMR_SELECTOBJECT).U32(1).Finish()},
                [](int k) { return RecordBuilder(EMR_LINETO).I32(k % 2 ? 100 : 0).I32(k % 101).Finish(); });
}

std::vector<std::uint8_t> ZigZags() {
  return Filled({}, [](int) {
    constexpr int kCorners = 10000;
    RecordBuilder b(EMR_POLYGON16);
    b.RectL(Rect{0, 0, 100, 100}).U32(kCorners);
    for (int k = 0; k < kCorners; ++k)
      b.I16(static_cast<std::int16_t>(k % 2 ? 100 : 0)).I16(static_cast<std::int16_t>(k / 100));
    return b.Finish();
  });
}

// A checkerboard of 4096 rectangles as the clip, then a pixel.
std::vector<std::uint8_t> ClipRegions() {
  RecordBuilder b(EMR_EXTSELECTCLIPRGN);
  b.U32(32 + 16 * 4096).U32(RGN_COPY).U32(32).U32(1).U32(4096).U32(16 * 4096).RectL(Rect{0, 0, 100, 100});
  for (int k = 0; k < 4096; ++k) {
    const int x = k % 64 + k / 64 % 2, y = k / 64;
    b.RectL(Rect{x, y, x + 1, y + 1});
  }
  const Record clip = b.Finish();
  return Filled({}, [&clip](int k) {
    return k % 2 ? RecordBuilder(EMR_SETPIXELV).I32(k % 100).I32(50).U32(0).Finish() : clip;
  });
}

void BM_MetafilePlay(benchmark::State& state, const std::function<std::vector<std::uint8_t>()>& make) {
  const std::optional<EnhMetafile> emf = EnhMetafile::FromBytes(make());
  if (!emf) {
    state.SkipWithError("the metafile was refused");
    return;
  }
  Bitmap picture(kWidth, kHeight);
  EmfPlayStats stats;
  double ms = 0;
  for (auto _ : state) {
    BitmapDC dc(picture);
    const auto start = std::chrono::steady_clock::now();
    stats = PlayEnhMetafile(dc, *emf, Rect{0, 0, kWidth, kHeight});
    ms += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  }
  state.counters["ms"] = ms / static_cast<double>(state.iterations());
  state.counters["drawn"] = static_cast<double>(stats.played) / emf->Header().records;
}

BENCHMARK_CAPTURE(BM_MetafilePlay, CoveringRectangles, [] { return kvtest::CoveringRectangles(1'100'000); })
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MetafilePlay, CoveringPixels, [] { return kvtest::CoveringPixels(540'000); })
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MetafilePlay, Text, Text)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MetafilePlay, WideLines, WideLines)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MetafilePlay, ZigZags, ZigZags)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MetafilePlay, ClipRegions, ClipRegions)->Unit(benchmark::kMillisecond);

}  // namespace
