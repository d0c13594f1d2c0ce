// The notes of a plot window in its plot file: one counted string (u16
// length = bytes + 1, the text with CR LF line ends, a closing NUL).
#pragma once

#include <string>

#include "core/binary_stream.h"

namespace kv {

// The notes hold at most 64000 characters; the block at most 64001 bytes.
inline constexpr std::size_t kNotesMaxChars = 64000;
inline constexpr std::size_t kNotesBlockMax = kNotesMaxChars + 1;

// Longer notes are cut to kNotesMaxChars (Windows-1252 bytes).
void WriteNotesBlock(ByteWriter& w, const std::string& notes);
// False (notes unchanged, reader failed) when the stored length exceeds
// kNotesBlockMax or the bytes left.
bool ReadNotesBlock(ByteReader& r, std::string& notes);

}  // namespace kv
