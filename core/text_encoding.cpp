#include "core/text_encoding.h"

namespace kv {

namespace {

constexpr char32_t kNoChar = 0xFFFD;

// Bytes 0x80..0x9F of Windows-1252; the five unassigned ones are U+FFFD.
constexpr char32_t kCp1252High[32] = {
    0x20AC, kNoChar, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030,  0x0160, 0x2039, 0x0152, kNoChar, 0x017D, kNoChar,  // 88..8F
    kNoChar, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122,  0x0161, 0x203A, 0x0153, kNoChar, 0x017E, 0x0178,  // 98..9F
};

}  // namespace

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

char32_t NextUtf8(const std::string& s, std::size_t& i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char lead = byte(i++);
  if (lead < 0x80) return lead;
  int extra;
  char32_t c;
  char32_t lowest;
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1, c = lead & 0x1F, lowest = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2, c = lead & 0x0F, lowest = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3, c = lead & 0x07, lowest = 0x10000;
  } else {
    return kNoChar;
  }
  for (int k = 0; k < extra; ++k) {
    if (i >= s.size() || (byte(i) & 0xC0) != 0x80) return kNoChar;
    const char32_t next = (c << 6) | (byte(i) & 0x3F);
    // Reject overlong forms, surrogates and values past U+10FFFF as soon
    // as the second byte shows them.
    if (k == 0) {
      const char32_t top = next << (6 * (extra - 1));
      if (top < lowest || (top >= 0xD800 && top <= 0xDFFF) || top > 0x10FFFF) return kNoChar;
    }
    c = next;
    ++i;
  }
  return c;
}

int Cp1252ByteOf(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
  for (int k = 0; k < 32; ++k) {
    if (kCp1252High[k] == c && c != kNoChar) return 0x80 + k;
  }
  return -1;
}

char32_t Cp1252ToUnicode(unsigned char b) {
  return (b >= 0x80 && b <= 0x9F) ? kCp1252High[b - 0x80] : static_cast<char32_t>(b);
}

std::string Utf8ToCp1252(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const int b = Cp1252ByteOf(NextUtf8(utf8, i));
    out += b < 0 ? '?' : static_cast<char>(b);
  }
  return out;
}

std::string Cp1252ToUtf8(const std::string& ansi) {
  std::string out;
  out.reserve(ansi.size() + ansi.size() / 4);
  for (const char ch : ansi) AppendUtf8(out, Cp1252ToUnicode(static_cast<unsigned char>(ch)));
  return out;
}

std::string TruncateChars(const std::string& text, int n) {
  if (n <= 0) return {};
  int chars = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      if (chars == n) return text.substr(0, i);
      ++chars;
    }
  }
  return text;
}

}  // namespace kv
