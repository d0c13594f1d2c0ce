#include "graphics/model/picture_record.h"

#include <algorithm>
#include <cmath>

namespace kv {

namespace {

constexpr std::size_t kRectangleBytes = 40;
constexpr std::size_t kBindingBlockBytes = 40;
// Rectangle, transparent flag and size: the least an older-form entry has.
constexpr std::size_t kOlderEntryBytes = kRectangleBytes + 1 + 4;

long double Finite(long double v) { return std::isfinite(v) ? v : 0.0L; }

}  // namespace

void WritePictures(ByteWriter& w, const std::vector<TPictureRecord>& pictures) {
  const std::size_t n = std::min<std::size_t>(pictures.size(), kMaxPictures);
  w.I16(static_cast<std::int16_t>(-static_cast<int>(n)));
  for (std::size_t k = 0; k < n; ++k) {
    const TPictureRecord& p = pictures[k];
    w.LongDouble(p.xmin);
    w.LongDouble(p.xmax);
    w.LongDouble(p.ymin);
    w.LongDouble(p.ymax);
    w.U8(p.transparent);
    w.I32(p.binding);
    w.Zeros(kBindingBlockBytes - 4);
    const std::size_t size = std::min<std::size_t>(p.metafile.size(), kMaxPictureBytes);
    w.U32(static_cast<std::uint32_t>(size));
    w.Bytes(p.metafile.data(), size);
  }
}

bool ReadPictures(ByteReader& r, std::vector<TPictureRecord>& pictures) {
  pictures.clear();
  const std::int16_t stored = r.I16();
  if (r.Failed()) return false;
  const bool current = stored < 0;
  const int count = current ? -stored : stored;
  const std::size_t entry = kOlderEntryBytes + (current ? kBindingBlockBytes : 0);
  if (count > kMaxPictures || static_cast<unsigned long long>(count) * entry > r.Remaining()) {
    r.Fail();
    return false;
  }
  std::vector<TPictureRecord> read;
  read.reserve(static_cast<std::size_t>(count));
  for (int k = 0; k < count; ++k) {
    TPictureRecord p;
    p.index = k;
    p.xmin = Finite(r.LongDouble());
    p.xmax = Finite(r.LongDouble());
    p.ymin = Finite(r.LongDouble());
    p.ymax = Finite(r.LongDouble());
    p.transparent = r.U8() != 0 ? 1 : 0;
    if (current) {
      p.binding = r.I32();
      r.Skip(kBindingBlockBytes - 4);
      if (p.binding < -1) p.binding = -1;
    }
    const std::uint32_t size = r.U32();
    if (r.Failed() || size > kMaxPictureBytes || size > r.Remaining()) {
      r.Fail();
      return false;
    }
    p.metafile.resize(size);
    if (size > 0 && !r.Bytes(p.metafile.data(), size)) return false;
    read.push_back(std::move(p));
  }
  pictures = std::move(read);
  return true;
}

}  // namespace kv
