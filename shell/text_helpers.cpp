// Text and number helpers.  Unsuffixed decimal constants are doubles widened
// to long double where they meet long doubles, like every decimal constant
// of the program's numerics.
#include "shell/text_helpers.h"

#include <cmath>
#include <cstdio>

#include "platform/app.h"

namespace kv {

namespace {

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

// ---- setters of small records ----

void SetSegment2D(TSegment2D& s, long double a, long double b, long double c, long double d) {
  s = TSegment2D{a, b, c, d};
}

void SetSegment2DRaw(TSegment2D& s, long double a, long double b, long double c, long double d) {
  SetSegment2D(s, a, b, c, d);
}

void SetInt3(TInt3& record, std::int32_t a, std::int32_t b, std::int32_t c) { record = TInt3{a, b, c}; }

void SetPlacement(TPlacement& p, std::int32_t x, std::int32_t y, std::int32_t width,
                  std::int32_t height, std::uint8_t maximised) {
  p = TPlacement{x, y, width, height, maximised};
}

void WritePlacement(ByteWriter& w, const TPlacement& p) {
  w.I32(p.x);
  w.I32(p.y);
  w.I32(p.width);
  w.I32(p.height);
  w.U8(p.maximised);
}

TPlacement ReadPlacement(ByteReader& r) {
  TPlacement p;
  p.x = r.I32();
  p.y = r.I32();
  p.width = r.I32();
  p.height = r.I32();
  p.maximised = r.U8();
  return p;
}

int TimeOfDayHundredths() {
  const plat::LocalTime t = plat::Now();
  return t.hundredths + 100 * t.second + 6000 * t.minute + 360000 * t.hour;
}

// ---- string editing ----

void AppendChar(std::string& s, char c) { s += c; }

void ConcatStrings(std::string& dest, std::string_view s1, std::string_view s2, std::string_view s3,
                   std::string_view s4, std::string_view s5, std::string_view s6,
                   std::string_view s7, std::string_view s8) {
  for (const std::string_view s : {s1, s2, s3, s4, s5, s6, s7, s8}) dest.append(s);
}

void CopyBlanksToDashes(std::string& dest, std::string_view source) {
  dest.assign(source);
  for (char& c : dest) {
    if (c == ' ') c = '-';
  }
}

void RemoveChar(std::string& s, char c) { std::erase(s, c); }

void ReplaceMinus(std::string& s, char c) {
  for (char& ch : s) {
    if (ch == '-') ch = c;
  }
}

void PadLeft(int width, std::string& s, char fill) {
  const std::size_t want = width < 0 ? 0 : static_cast<std::size_t>(width);
  std::size_t chars = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (IsContinuationByte(s[i])) continue;
    if (chars == want) {  // s[i] starts the first character past the width
      s.resize(i);
      return;
    }
    ++chars;
  }
  if (chars < want) s.insert(0, want - chars, fill);
}

std::array<std::string, 6> SplitCommaFields(std::string_view text, int count) {
  std::array<std::string, 6> fields;
  const int n = count < 0 ? 0 : (count > 6 ? 6 : count);
  std::size_t pos = 0;
  for (int i = 0; i < n; ++i) {
    const std::size_t comma = text.find(',', pos);
    if (comma == std::string_view::npos) break;
    fields[static_cast<std::size_t>(i)] = std::string(text.substr(pos, comma - pos));
    pos = comma + 1;
  }
  return fields;
}

// ---- file names ----

void EnsureTrailingBackslash(std::string& path) {
  if (!path.empty() && path.back() != '/') path += '/';
}

void GetFileNamePart(std::string& dest, std::string_view path) {
  const std::size_t sep = path.find_last_of("/\\");
  dest.assign(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

long double RandomInRange(long double a, long double b) {
  // Rand() spans 2^31 values, no whole multiple of 1e8: the draws above the
  // last whole multiple are thrown again, or the lower 47 % of the range
  // would come up 5 % more often (darts would pull centroids to the left).
  constexpr int kLimit = 2100000000;
  int r = plat::Rand();
  while (r >= kLimit) r = plat::Rand();
  r %= 100000000;
  return static_cast<long double>(r) * ((b - a) * 1e-8) + a;
}

void BusyDelay(int n) {
  if (n <= 0) return;
  volatile long double v = 3.14159265;
  const long long rounds = static_cast<long long>(n) * 2000;
  for (long long k = 0; k < rounds; ++k) v = std::cos(static_cast<long double>(v));
}

// ---- colours ----

long double Luminance(plat::Colour colour) {
  // In whole hundredths and one division: the double constants 0.3, 0.59
  // and 0.11 sum to a hair below 1, so a grey (g, g, g) came out a hair
  // below g and its truncated grey level one too low (191 for 192).
  const long hundredths = 30L * plat::RedOf(colour) + 59L * plat::GreenOf(colour) + 11L * plat::BlueOf(colour);
  return static_cast<long double>(hundredths) / 100.0L;
}

void FormatHexColour(plat::Colour colour, std::string& dest) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%02x%02x%02x", plat::RedOf(colour), plat::GreenOf(colour),
                plat::BlueOf(colour));
  dest = buf;
}

std::string FormatHexColour(plat::Colour colour) {
  std::string s;
  FormatHexColour(colour, s);
  return s;
}

}  // namespace kv
