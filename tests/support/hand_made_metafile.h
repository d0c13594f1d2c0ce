// Metafiles made by hand for tests: records framed as a metafile of 100 x
// 100 pixels of 1 mm, and a picture record that claims many pixels in few
// bytes; many records that each cover the whole picture.
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

// The colour of the k-th of many records (k below 65536).
inline plat::Colour NthColour(int k) { return plat::Rgb(k & 0xFF, (k >> 8) & 0xFF, 0x5A); }
inline int NthOfColour(plat::Colour c) { return static_cast<int>(c & 0xFF) | static_cast<int>(c & 0xFF00); }

// `count` rectangles over the whole picture without outline, the k-th filled with NthColour(k).
inline std::vector<std::uint8_t> CoveringRectangles(int count) {
  using namespace plat::emf;
  std::vector<std::vector<std::uint8_t>> records{
      RecordBuilder(EMR_SELECTOBJECT).U32(kStockObject | NULL_PEN).Finish()};
  for (int k = 0; k < count; ++k) {
    records.push_back(RecordBuilder(EMR_CREATEBRUSHINDIRECT).U32(1).U32(0).U32(NthColour(k)).U32(0).Finish());
    records.push_back(RecordBuilder(EMR_SELECTOBJECT).U32(1).Finish());
    records.push_back(RecordBuilder(EMR_RECTANGLE).RectL(plat::Rect{0, 0, 100, 100}).Finish());
  }
  return Assemble(records);
}

// `count` pictures of one pixel stretched over the whole picture, the k-th of NthColour(k).
inline std::vector<std::uint8_t> CoveringPixels(int count) {
  using namespace plat::emf;
  std::vector<std::vector<std::uint8_t>> records;
  for (int k = 0; k < count; ++k) {
    const plat::Colour c = NthColour(k);
    RecordBuilder b(EMR_STRETCHDIBITS);
    b.RectL(plat::Rect{0, 0, 100, 100}).I32(0).I32(0).I32(0).I32(0).I32(1).I32(1);
    b.U32(80).U32(40).U32(120).U32(4).U32(0).U32(plat::SRCCOPY).I32(100).I32(100);
    b.U32(40).I32(1).I32(1).U16(1).U16(32).U32(0).U32(4).I32(2835).I32(2835).U32(0).U32(0);
    b.U32(((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF));  // blue, green, red, 0
    records.push_back(b.Finish());
  }
  return Assemble(records);
}

}  // namespace kvtest
