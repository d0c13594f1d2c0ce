// Text encodings at the edges of the program: UTF-8 inside, Windows-1252
// in the files and records that hold ANSI bytes.  A table, no toolkit.
#pragma once

#include <string>

namespace kv {

// Appends the UTF-8 form of a code point.
void AppendUtf8(std::string& out, char32_t c);
// Decodes one UTF-8 character at s[i] and advances i.  A malformed sequence
// (bad lead byte, missing continuation, overlong form, surrogate, beyond
// U+10FFFF) yields U+FFFD and skips only the bytes that looked valid, so one
// broken character costs one replacement.
char32_t NextUtf8(const std::string& s, std::size_t& i);
// The character of a Windows-1252 byte (U+FFFD for the five unassigned ones).
char32_t Cp1252ToUnicode(unsigned char b);
// The Windows-1252 byte of a character, or -1 when it has none.
int Cp1252ByteOf(char32_t c);

// Whole texts; characters Windows-1252 cannot hold become '?'.
std::string Utf8ToCp1252(const std::string& utf8);
std::string Cp1252ToUtf8(const std::string& ansi);

// The first n characters (not bytes) of a UTF-8 text.
std::string TruncateChars(const std::string& text, int n);

}  // namespace kv
