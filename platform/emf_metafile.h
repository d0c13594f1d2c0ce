// An enhanced metafile held as its bytes: made by EmfDC, read from a file,
// the clipboard or a plot file, written to a file, played by
// PlayEnhMetafile.  A value type; copies are independent.
//
// Bytes are accepted when they start with a sound header record.  The kept
// bytes are exactly as long as the header says (trailing bytes are cut
// off); a metafile cut short is kept with what is present, and its header
// then says that length, so that the header's size always matches the bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/emf_records.h"
#include "platform/types.h"

namespace plat {

class EnhMetafile {
 public:
  EnhMetafile() = default;  // null: no picture

  static std::optional<EnhMetafile> FromBytes(const std::uint8_t* data, std::size_t size);
  static std::optional<EnhMetafile> FromBytes(const std::vector<std::uint8_t>& bytes) {
    return FromBytes(bytes.data(), bytes.size());
  }
  // Files larger than kMaxBytes are refused.
  static std::optional<EnhMetafile> ReadFile(const std::string& path);
  bool WriteFile(const std::string& path) const;

  static constexpr std::size_t kMaxBytes = 64u * 1024u * 1024u;

  bool IsNull() const { return bits_.empty(); }
  // The metafile's bytes; their count is Header().bytes.
  const std::vector<std::uint8_t>& Bits() const { return bits_; }
  const emf::Header& Header() const { return header_; }
  // Program and picture name, separated by a NUL character.
  const std::string& Description() const { return header_.description; }
  // The frame's size in pixels of the reference device (at least 1 x 1
  // for a non-null metafile).
  Size NaturalSize() const;

  friend bool operator==(const EnhMetafile& a, const EnhMetafile& b) { return a.bits_ == b.bits_; }

 private:
  std::vector<std::uint8_t> bits_;
  emf::Header header_;
};

}  // namespace plat
