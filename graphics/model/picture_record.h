// The embedded pictures of a plot window as plot files hold them: each an
// enhanced-metafile image kept as its bytes, placed on a world rectangle
// and optionally bound to an object of the plot.
//
// Block: i16 count (-n in the current form, +n in the older form without
// binding blocks), then per picture: xmin, xmax, ymin, ymax (long doubles),
// u8 transparent, in the current form a 40-byte binding block (i32 binding
// and 36 zero bytes), u32 size s and the s metafile bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "core/binary_stream.h"

namespace kv {

// Pictures a block may hold, and the bytes one picture may have.
inline constexpr int kMaxPictures = 1000;
inline constexpr std::uint32_t kMaxPictureBytes = 64u * 1024u * 1024u;

struct TPictureRecord {
  std::vector<std::uint8_t> metafile;  // the enhanced-metafile bits
  std::int32_t index = 0;              // position given at creation or reading
  std::int32_t binding = -1;           // -1 free, n >= 0 bound to object n
  std::uint8_t transparent = 1;        // 1: no background box
  long double xmin = 0;                // world rectangle (relative when bound)
  long double xmax = 0;
  long double ymin = 0;
  long double ymax = 0;
  friend bool operator==(const TPictureRecord&, const TPictureRecord&) = default;
};

// Always the current form; an empty list is the count 0 alone.
void WritePictures(ByteWriter& w, const std::vector<TPictureRecord>& pictures);
// Replaces the list; indices 0, 1, 2 ... in file order.  False (list
// empty, reader failed) on an impossible count, an oversized picture or a
// short read.
bool ReadPictures(ByteReader& r, std::vector<TPictureRecord>& pictures);

}  // namespace kv
