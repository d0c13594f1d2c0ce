// Protection of a plot file: a password chosen together with protection
// bits keeps other users from saving or renaming the file, changing its
// inventory or opening its notes until they give the password; the same
// block carries the author's name, a date, an e-mail address and a
// homepage.  The password is stored scrambled byte by byte with a modular
// power; the two exponents are inverse modulo m - 1, so reading undoes
// writing for every byte from 1 to m - 1.
#pragma once

#include <cstdint>
#include <string>

#include "core/binary_stream.h"

namespace kv {

inline constexpr int kScrambleModulus = 239;
inline constexpr int kScrambleWriteExponent = 11;
inline constexpr int kScrambleReadExponent = 65;

// b^e mod m in 32-bit arithmetic (enough for m < 256); 1 for e <= 0.
int ModPow(int b, int e, int m);
// Replaces each byte b (unsigned) by ModPow(b, e, kScrambleModulus) up to
// the first NUL; a byte that becomes 0 ends the string there.
void ScramblePassword(std::string& bytes, int exponent);
// True when the password keeps its value through a file: every character
// exists in Windows-1252 and its byte lies below the modulus.
bool IsStorablePassword(const std::string& utf8);

// The five strings of the protection block, as read from a file.
struct TPasswordBlock {
  std::string Password;  // unscrambled
  std::string Author;
  std::string Date;
  std::string EMail;
  std::string Homepage;
};

// Protection bits of the protection mask.
enum : std::int16_t {
  kProtectSave = 1,        // "Speichern/Umbenennen verhindern"
  kProtectInventory = 2,   // "Inventar schützen"
  kProtectNotes = 4,       // "Notizen schützen"
  kShowCopyright = 1024,   // "Copyright anzeigen"
};

// The longest text of each protection string (the file keeps 101 bytes).
inline constexpr std::size_t kProtectionTextMax = 100;

// Writes the block: the scrambled password as raw bytes (u16 length with
// its NUL), then author, date, e-mail and homepage as counted strings;
// every text cut to kProtectionTextMax characters.
void WriteProtectionBlock(ByteWriter& w, const TPasswordBlock& block);
// Reads a block; false (and the reader failed) on a length beyond its field
// or a short read.
bool ReadProtectionBlock(ByteReader& r, TPasswordBlock& out);

}  // namespace kv
