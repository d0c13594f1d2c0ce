// libFuzzer target for the metafile player.  The first input byte picks how
// the rest is used: bit 0 set puts a sound header in front of it (so that
// the fuzzer works on the records), else the rest is the whole metafile;
// bits 1 and 2 pick the destination (its own size, shrunk, offset and
// stretched, or under a clip of the DC).  A metafile that is taken in is
// played onto a bitmap, and recorded again through a metafile DC, whose
// output must be a sound metafile that plays too.  Crashes, hangs and
// sanitizer reports are findings.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include "platform/app.h"
#include "platform/bitmap.h"
#include "platform/dc.h"
#include "platform/emf_metafile.h"
#include "platform/emf_player.h"
#include "platform/emf_records.h"
#include "platform/emf_writer.h"
#include "platform/testing.h"

namespace {

void CheckAt(bool condition, int line) {
  if (condition) return;
  std::fprintf(stderr, "emf_player_fuzz: check in line %d failed\n", line);
  std::abort();
}
#define Check(condition) CheckAt(condition, __LINE__)

// A header for 64 x 48 pixels of a quarter millimetre, 16 object slots.
std::vector<std::uint8_t> SoundHeader(std::size_t bodySize) {
  plat::emf::Header h;
  h.bounds = plat::Rect{0, 0, 63, 47};
  h.frame = plat::Rect{0, 0, 1600, 1200};
  h.device = plat::Size{64, 48};
  h.millimetres = plat::Size{16, 12};
  h.handles = 16;
  h.bytes = static_cast<std::uint32_t>(plat::emf::EncodeHeader(h).size() + bodySize);
  return plat::emf::EncodeHeader(h);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static plat::App* app = nullptr;
  app = new plat::App(*argc, *argv);
  plat::testing::EnableTestingMode(true);
  // The toolkit goes before static destruction begins.
  std::atexit([] { delete app; });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t mode = data[0];
  std::vector<std::uint8_t> bytes;
  if (mode & 1) bytes = SoundHeader(size - 1);
  bytes.insert(bytes.end(), data + 1, data + size);

  const std::optional<plat::EnhMetafile> emf = plat::EnhMetafile::FromBytes(bytes);
  if (!emf) return 0;
  Check(emf->Bits().size() == emf->Header().bytes);
  Check(emf->Bits().size() <= bytes.size());
  const plat::Size natural = emf->NaturalSize();
  Check(natural.cx >= 1 && natural.cy >= 1);

  plat::Bitmap target(64, 48);
  plat::BitmapDC dc(target);
  plat::Rect dest{0, 0, 64, 48};
  switch ((mode >> 1) & 3) {
    case 1: dest = plat::Rect{5, 5, 25, 20}; break;
    case 2: dest = plat::Rect{-30, 10, 90, 30}; break;
    case 3: dc.SelectClipPolygon({{0, 0}, {60, 10}, {20, 45}}); break;
    default: break;
  }
  plat::PlayEnhMetafile(dc, *emf, dest);
  Check(dc.CurrentClip().kind == (((mode >> 1) & 3) == 3 ? plat::DC::Clip::Polygon : plat::DC::Clip::None));

  // Recorded again, it is a sound metafile of its own.
  plat::EmfDC recorder(plat::DeviceCaps{}, plat::Rect{0, 0, 2000, 1500}, "fuzz");
  plat::PlayEnhMetafile(recorder, *emf, plat::Rect{0, 0, 64, 48});
  const plat::EnhMetafile again = recorder.Close();
  Check(!again.IsNull());
  const std::optional<plat::EnhMetafile> reread = plat::EnhMetafile::FromBytes(again.Bits());
  Check(reread && *reread == again);
  const plat::EmfPlayStats stats = plat::PlayEnhMetafile(dc, again, plat::Rect{0, 0, 64, 48});
  Check(stats.complete);
  return 0;
}
