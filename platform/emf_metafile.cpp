#include "platform/emf_metafile.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "core/binary_stream.h"

namespace plat {

std::optional<EnhMetafile> EnhMetafile::FromBytes(const std::uint8_t* data, std::size_t size) {
  std::optional<emf::Header> h = emf::DecodeHeader(data, size);
  if (!h) return std::nullopt;
  // The size the header gives is believed only as far as the bytes reach.
  std::size_t kept = size;
  if (h->bytes >= h->recordSize && h->bytes <= size) kept = h->bytes;
  if (kept > kMaxBytes) return std::nullopt;
  EnhMetafile m;
  m.bits_.assign(data, data + kept);
  if (h->bytes != kept) {
    h->bytes = static_cast<std::uint32_t>(kept);
    for (int k = 0; k < 4; ++k) m.bits_[48 + k] = static_cast<std::uint8_t>(kept >> (8 * k));
  }
  m.header_ = std::move(*h);
  return m;
}

std::optional<EnhMetafile> EnhMetafile::ReadFile(const std::string& path) {
  // Only a regular file: a FIFO would block and a device never end.
  std::vector<std::uint8_t> bytes;
  if (!kv::ReadWholeFile(path, bytes, kMaxBytes) || bytes.empty()) return std::nullopt;
  return FromBytes(bytes);
}

bool EnhMetafile::WriteFile(const std::string& path) const {
  // Like every save: only a regular file is replaced (a FIFO would block).
  return !IsNull() && kv::WriteFileAtomically(path, bits_);
}

Size EnhMetafile::NaturalSize() const {
  if (IsNull()) return Size{};
  const emf::Header& h = header_;
  const std::int64_t fw = std::int64_t{h.frame.right} - h.frame.left;
  const std::int64_t fh = std::int64_t{h.frame.bottom} - h.frame.top;
  double w, hgt;
  if (fw > 0 && fh > 0 && h.device.cx > 0 && h.device.cy > 0 && h.millimetres.cx > 0 &&
      h.millimetres.cy > 0) {
    w = double(fw) * h.device.cx / (h.millimetres.cx * 100.0);
    hgt = double(fh) * h.device.cy / (h.millimetres.cy * 100.0);
  } else {
    w = double(std::int64_t{h.bounds.right} - h.bounds.left + 1);
    hgt = double(std::int64_t{h.bounds.bottom} - h.bounds.top + 1);
  }
  auto clampSide = [](double v) { return static_cast<int>(std::lround(std::clamp(v, 1.0, double(1 << 20)))); };
  return Size{clampSide(w), clampSide(hgt)};
}

}  // namespace plat
