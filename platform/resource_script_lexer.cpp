// The resource script's lexer (see resource_script_lexer.h) and the strict
// UTF-8 check that the resource loader shares.
#include "platform/resource_script_lexer.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace plat::res::detail {

bool IsValidUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    int more = 0;
    std::uint32_t cp = 0;
    if (c < 0x80) { ++i; continue; }
    if (c >= 0xC2 && c <= 0xDF) { more = 1; cp = c & 0x1F; }
    else if (c >= 0xE0 && c <= 0xEF) { more = 2; cp = c & 0x0F; }
    else if (c >= 0xF0 && c <= 0xF4) { more = 3; cp = c & 0x07; }
    else return false;
    if (i + static_cast<std::size_t>(more) >= s.size()) return false;
    for (int k = 1; k <= more; ++k) {
      const auto d = static_cast<unsigned char>(s[i + k]);
      if ((d & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (d & 0x3F);
    }
    if ((more == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
        (more == 3 && (cp < 0x10000 || cp > 0x10FFFF)))
      return false;
    i += static_cast<std::size_t>(more) + 1;
  }
  return true;
}

namespace {

bool IsIdentStart(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsIdentChar(unsigned char c) { return IsIdentStart(c) || IsDigit(c); }

// A byte for an error message: the character itself when printable.
std::string Shown(unsigned char c) {
  if (c >= 0x20 && c < 0x7F) return "'" + std::string(1, static_cast<char>(c)) + "'";
  static const char* hex = "0123456789ABCDEF";
  return std::string("byte 0x") + hex[c >> 4] + hex[c & 15];
}

// Reads a string literal starting at src[i] == '"'; leaves i after it.  An
// unterminated string ends at the end of its line.
std::string LexString(std::string_view src, std::size_t& i, int line, Errors& errors) {
  std::string text;
  ++i;
  while (i < src.size()) {
    const auto d = static_cast<unsigned char>(src[i]);
    if (d == '"') {
      ++i;
      if (!IsValidUtf8(text)) {
        errors.Add(line, "string is not valid UTF-8");
        text.clear();
      }
      return text;
    }
    if (d == '\n' || (d == '\r' && i + 1 < src.size() && src[i + 1] == '\n')) break;
    if (d == '\\' && i + 1 < src.size() && src[i + 1] != '\n' && src[i + 1] != '\r') {
      const auto e = static_cast<unsigned char>(src[i + 1]);
      i += 2;
      switch (e) {
        case '"': text += '"'; break;
        case '\\': text += '\\'; break;
        case 't': text += '\t'; break;
        case 'n': text += '\n'; break;
        default: errors.Add(line, "unknown escape: '\\' followed by " + Shown(e) + " (use \\\" \\\\ \\t \\n)");
      }
      continue;
    }
    if (d < 0x20 || d == 0x7F) errors.Add(line, "control character in a string (write \\t or \\n)");
    else if (d != '\\') text += static_cast<char>(d);
    ++i;
  }
  errors.Add(line, "unterminated string");
  return IsValidUtf8(text) ? text : std::string();
}

}  // namespace

std::vector<Token> Tokenize(std::string_view src, Errors& errors) {
  constexpr long long kNumberCap = 100000000000LL;
  std::vector<Token> out;
  std::size_t i = 0;
  int line = 1;
  if (src.substr(0, 3) == "\xEF\xBB\xBF") i = 3;  // byte order mark
  bool inJunk = false;  // one error per run of unexpected bytes
  auto identAt = [&](std::size_t k) { return k < src.size() && IsIdentChar(static_cast<unsigned char>(src[k])); };
  auto digitAt = [&](std::size_t k) { return k < src.size() && IsDigit(static_cast<unsigned char>(src[k])); };
  while (i < src.size()) {
    const auto c = static_cast<unsigned char>(src[i]);
    const bool junkBefore = inJunk;
    inJunk = false;
    if (c == '\n') ++line;
    if (c == '\n' || c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
      ++i;
      continue;
    }
    if (c == '/' && i + 1 < src.size() && src[i + 1] == '/') {
      while (i < src.size() && src[i] != '\n') ++i;
      continue;
    }
    Token t;
    t.line = line;
    if (c == ',') {
      t.kind = Tok::Comma;
      ++i;
    } else if (IsIdentStart(c)) {
      t.kind = Tok::Ident;
      const std::size_t start = i;
      while (identAt(i)) ++i;
      t.text.assign(src.substr(start, i - start));
    } else if (IsDigit(c) || (c == '-' && digitAt(i + 1))) {
      t.kind = Tok::Number;
      const bool negative = c == '-';
      if (negative) ++i;
      long long v = 0;
      for (; digitAt(i); ++i) v = std::min(kNumberCap, v * 10 + (src[i] - '0'));
      if (v == kNumberCap) errors.Add(line, "number too large");
      if (identAt(i)) {
        const std::size_t start = i;
        while (identAt(i)) ++i;
        errors.Add(line, "malformed number (letters after digits: '" +
                             std::string(src.substr(start, i - start)) + "')");
      }
      t.number = negative ? -v : v;
    } else if (c == '"') {
      t.kind = Tok::String;
      t.text = LexString(src, i, line, errors);
    } else {
      if (!junkBefore)
        errors.Add(line, std::string(c >= 0x20 && c < 0x7F ? "unexpected character " : "unexpected ") + Shown(c));
      inJunk = true;
      ++i;
      continue;
    }
    out.push_back(std::move(t));
  }
  Token eof;
  eof.line = line;
  out.push_back(eof);
  return out;
}

}  // namespace plat::res::detail
