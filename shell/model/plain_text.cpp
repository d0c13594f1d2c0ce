#include "shell/model/plain_text.h"

namespace kv {

namespace {

std::u32string Decode(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) out.push_back(NextUtf8Char(s, i));
  return out;
}

// Lower case as the classic case-insensitive comparison knows it: ASCII and
// the Latin-1 letters.
char32_t Fold(char32_t c) {
  if (c >= U'A' && c <= U'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  return c;
}

bool IsUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    const int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0 || (extra == 1 && b < 0xC2)) return false;
    if (i + static_cast<std::size_t>(extra) >= s.size() && extra > 0) return false;
    for (int k = 1; k <= extra; ++k)
      if ((static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]) & 0xC0) != 0x80) return false;
    i += static_cast<std::size_t>(extra) + 1;
  }
  return true;
}

// Byte offset of character `chars` of s.
std::size_t ByteOffset(std::string_view s, std::size_t chars) {
  std::size_t i = 0;
  for (std::size_t k = 0; k < chars && i < s.size(); ++k) NextUtf8Char(s, i);
  return i;
}

}  // namespace

char32_t NextUtf8Char(std::string_view s, std::size_t& i) {
  const auto b = static_cast<unsigned char>(s[i]);
  int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
  if (extra > 0 && i + static_cast<std::size_t>(extra) >= s.size()) extra = 0;
  char32_t c = extra == 0 ? b : b & (0x3F >> extra);
  ++i;
  for (int k = 0; k < extra && i < s.size(); ++k, ++i) c = (c << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
  return c;
}

std::size_t Utf8CharCount(std::string_view s) {
  std::size_t n = 0;
  for (char c : s)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  return n;
}

std::string CutToChars(const std::string& text, std::size_t n) { return text.substr(0, ByteOffset(text, n)); }

std::string CutHelpText(const std::string& text) {
  std::string s = text.substr(0, text.find('\0'));
  if (std::size_t marker = s.find("???"); marker != std::string::npos) s.resize(marker);
  return CutToChars(s, kTextMaxChars);
}

int FindFolded(const std::string& text, const std::string& pattern, int from) {
  const std::u32string t = Decode(text);
  const std::u32string p = Decode(pattern);
  if (p.empty() || from < 0) return -1;
  for (std::size_t s = static_cast<std::size_t>(from); s + p.size() <= t.size(); ++s) {
    std::size_t k = 0;
    while (k < p.size() && Fold(t[s + k]) == Fold(p[k])) ++k;
    if (k == p.size()) return static_cast<int>(s);
  }
  return -1;
}

std::string TextFromFileBytes(const std::string& bytes) {
  std::string s = bytes.substr(0, bytes.find('\0'));
  // At most four bytes per character were read: a character cut at the
  // end does not make the rest Windows-1252.
  std::size_t complete = s.size();
  for (std::size_t back = 1; back <= 4 && back <= s.size(); ++back) {
    const auto b = static_cast<unsigned char>(s[s.size() - back]);
    if ((b & 0xC0) == 0x80) continue;
    const std::size_t needed = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    if (back - 1 < needed) complete = s.size() - back;
    break;
  }
  if (IsUtf8(std::string_view(s).substr(0, complete))) {
    s.resize(complete);
  } else {
    s = Cp1252ToUtf8(s);
  }
  return CutToChars(s, kTextMaxChars);
}

}  // namespace kv
