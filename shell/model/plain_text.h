// Plain text as the text windows hold it: UTF-8 characters (a stray byte
// counts as one), texts cut to a number of characters, the case-insensitive
// search and the bytes of a text file taken in as text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/text_encoding.h"

namespace kv {

inline constexpr int kTextMaxChars = 64000;

// Reads the character at byte i and moves i past it.
char32_t NextUtf8Char(std::string_view s, std::size_t& i);
std::size_t Utf8CharCount(std::string_view s);
// The first `n` characters of a UTF-8 text, never splitting a character.
std::string CutToChars(const std::string& text, std::size_t n);
// A help text as the help window shows it: up to its first "???" and at
// most 64000 characters.
std::string CutHelpText(const std::string& text);
// The position (in characters) of the first case-insensitive occurrence of
// `pattern` in `text` at or after `from`, or -1.  Letters of Latin-1 fold
// to lower case.
int FindFolded(const std::string& text, const std::string& pattern, int from);
// A text file's bytes as UTF-8: taken as they are when they are UTF-8, else
// read as Windows-1252; ends at the first zero byte and at 64000
// characters.
std::string TextFromFileBytes(const std::string& bytes);

}  // namespace kv
