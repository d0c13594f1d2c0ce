// Binary file helpers: little-endian integers, the 10-byte extended-precision
// image of long double, counted strings (u16 length including the NUL, then
// the bytes) and Windows-1252 for the texts the files hold as ANSI bytes.
// Every record of the program is written field by field through these.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "core/text_encoding.h"

namespace kv {

// ---- 80-bit extended precision ----
using Extended = std::array<std::uint8_t, 10>;
// The x87 image: 64-bit significand with explicit integer bit, 15-bit
// exponent, sign.  1.0L is 00 00 00 00 00 00 00 80 FF 3F.
Extended EncodeExtended(long double v);
long double DecodeExtended(const Extended& bytes);
long double DecodeExtended(const std::uint8_t* bytes);

// ---- writing into a byte buffer ----
class ByteWriter {
 public:
  void U8(std::uint8_t v);
  void I8(std::int8_t v) { U8(static_cast<std::uint8_t>(v)); }
  void U16(std::uint16_t v);
  void I16(std::int16_t v) { U16(static_cast<std::uint16_t>(v)); }
  void U32(std::uint32_t v);
  void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
  void LongDouble(long double v);
  void Double(double v);  // 8-byte IEEE
  void Bytes(const void* data, std::size_t n);
  void Zeros(std::size_t n);
  // A fixed-size field of n bytes: the text's bytes (UTF-8 converted to
  // Windows-1252), cut to n - 1, NUL-padded.
  void FixedAnsi(const std::string& utf8, std::size_t n);
  // u16 length (bytes + 1 for the NUL) then the bytes and the NUL; the text
  // is converted to Windows-1252.
  void CountedString(const std::string& utf8);

  const std::vector<std::uint8_t>& Data() const { return data_; }
  std::vector<std::uint8_t>& Data() { return data_; }
  std::size_t Size() const { return data_.size(); }

 private:
  std::vector<std::uint8_t> data_;
};

// ---- reading from a byte buffer ----
// Never reads past the end: a read that does not fit sets the failed flag,
// returns zero values and leaves the position at the end.
class ByteReader {
 public:
  ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  explicit ByteReader(const std::vector<std::uint8_t>& v) : ByteReader(v.data(), v.size()) {}
  // The reader does not own its bytes: a temporary vector would be gone
  // before the first read.
  explicit ByteReader(std::vector<std::uint8_t>&&) = delete;

  std::uint8_t U8();
  std::int8_t I8() { return static_cast<std::int8_t>(U8()); }
  std::uint16_t U16();
  std::int16_t I16() { return static_cast<std::int16_t>(U16()); }
  std::uint32_t U32();
  std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
  long double LongDouble();
  double Double();
  bool Bytes(void* out, std::size_t n);
  bool Skip(std::size_t n);
  // A fixed-size ANSI field of n bytes, up to its first NUL, as UTF-8.
  std::string FixedAnsi(std::size_t n);
  // A counted string; a stored length above maxBytes (NUL included) or past
  // the end of the data fails and returns "".
  std::string CountedString(std::size_t maxBytes);

  bool Failed() const { return failed_; }
  std::size_t Position() const { return pos_; }
  std::size_t Remaining() const { return size_ - pos_; }
  void Fail() { failed_ = true; }

 private:
  bool Take(std::size_t n);
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
  bool failed_ = false;
};

// ---- whole files ----
// The largest file the program reads whole (plot files, settings,
// pictures); anything bigger is refused rather than read.
inline constexpr std::size_t kMaxReadBytes = 64u << 20;
// Reads a regular file of at most maxBytes.  Never blocks: a FIFO, a device
// or anything else that is not a regular file is refused like a missing one.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out,
                   std::size_t maxBytes = kMaxReadBytes);
// Writes to a temporary file beside the target and renames it over the
// target, so a failed write never destroys the previous file.  Only regular
// files are written: a target that is a device, a FIFO, a socket or a
// directory is refused and left as it is; through a symbolic link of the
// user's own the regular file it points to is replaced and the link stays,
// when that file is the user's own (a link that leads nowhere, to anything
// else, to a file of anyone else's or through a link of anyone else's is
// refused); a link of anyone else's at the target is replaced itself, never
// written through.  A regular file the user may not open for writing (a
// read-only file, another user's) is refused and left as it is.  A write
// that fails (a full disk, the file-size limit) removes its temporary.
// Temporaries that interrupted saves of this program left in that folder
// (their process no longer runs) are removed on the way.
bool WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& data);
// Writes all n bytes to the file descriptor; false when a write fails (a
// full disk, the file-size limit).
bool WriteAll(int fd, const void* data, std::size_t n);
// The same save for content too large to hold whole: `fill` writes it into
// the open temporary (a file descriptor open for writing, which the save
// closes) and says whether that worked; false abandons the save and leaves
// the target as it was.
bool WriteFileAtomicallyWith(const std::string& path, const std::function<bool(int fd)>& fill);
// Adds the text to the end of a file (made when missing) for a log that
// grows line by line, which no save can replace each time: by the save's
// rules for links, except that a link of anyone else's at the target is
// refused rather than replaced.  Only a regular file is written.
bool AppendToFile(const std::string& path, const std::string& text);
// Removes those temporaries from a folder without saving (a folder whose
// file is opened).
void RemoveStaleSaveTemporaries(const std::string& folder);

}  // namespace kv
