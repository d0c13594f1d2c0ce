#include "platform/emf_metafile.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

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
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  in.seekg(0, std::ios::end);
  const std::streamoff length = in.tellg();
  if (length <= 0 || static_cast<std::uint64_t>(length) > kMaxBytes) return std::nullopt;
  in.seekg(0);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
  if (!in.read(reinterpret_cast<char*>(bytes.data()), length)) return std::nullopt;
  return FromBytes(bytes);
}

bool EnhMetafile::WriteFile(const std::string& path) const {
  if (IsNull()) return false;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(reinterpret_cast<const char*>(bits_.data()), static_cast<std::streamsize>(bits_.size()));
  out.close();
  return static_cast<bool>(out);
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
