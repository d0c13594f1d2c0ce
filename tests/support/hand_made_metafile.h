// Metafiles made by hand for tests: records framed as a metafile of 100 x
// 100 pixels of 1 mm, and a picture record that claims many pixels in few
// bytes.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/dc.h"
#include "platform/emf_records.h"

namespace kvtest {

inline std::vector<std::uint8_t> Assemble(const std::vector<std::vector<std::uint8_t>>& records,
                                          std::uint16_t handles = 8) {
  using namespace plat::emf;
  Header h;
  h.bounds = plat::Rect{0, 0, 99, 99};
  h.frame = plat::Rect{0, 0, 10000, 10000};
  h.device = h.millimetres = plat::Size{100, 100};
  h.handles = handles;
  h.records = static_cast<std::uint32_t>(records.size() + 2);
  std::vector<std::uint8_t> body;
  for (const auto& r : records) body.insert(body.end(), r.begin(), r.end());
  const std::vector<std::uint8_t> eof = RecordBuilder(EMR_EOF).U32(0).U32(16).U32(20).Finish();
  body.insert(body.end(), eof.begin(), eof.end());
  h.bytes = static_cast<std::uint32_t>(EncodeHeader(h).size() + body.size());
  std::vector<std::uint8_t> out = EncodeHeader(h);
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

// The bits of a side x side run-length bitmap (8 bits) of palette colour
// `index`: runs of 255 pixels, about 42 bytes a row of 5000.
inline std::vector<std::uint8_t> RunLengthBits(int side, std::uint8_t index) {
  std::vector<std::uint8_t> bits;
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; x += 255)
      bits.insert(bits.end(), {static_cast<std::uint8_t>(std::min(255, side - x)), index});
    bits.insert(bits.end(), {0, 0});
  }
  bits.insert(bits.end(), {0, 1});
  return bits;
}

// A side x side picture of one colour as a run-length bitmap, stretched
// onto the logical rectangle.
inline std::vector<std::uint8_t> RunLengthPicture(int side, plat::Colour colour, const plat::Rect& onto) {
  using namespace plat::emf;
  const std::vector<std::uint8_t> bits = RunLengthBits(side, 0);
  const auto count = static_cast<std::uint32_t>(bits.size());
  RecordBuilder b(EMR_STRETCHDIBITS);
  b.RectL(onto).I32(onto.left).I32(onto.top).I32(0).I32(0).I32(side).I32(side);
  b.U32(80).U32(44).U32(124).U32(count).U32(0).U32(plat::SRCCOPY).I32(onto.Width()).I32(onto.Height());
  b.U32(40).I32(side).I32(side).U16(1).U16(8).U32(1).U32(count).I32(2835).I32(2835).U32(1).U32(0);
  b.U32(((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF));  // blue, green, red, 0
  b.Bytes(bits.data(), bits.size());
  return b.Finish();
}

}  // namespace kvtest
