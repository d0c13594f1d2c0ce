// Text and number helpers.  Unsuffixed decimal constants are doubles widened
// to long double where they meet long doubles, like every decimal constant
// of the program's numerics.
#include "shell/text_helpers.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <locale.h>
#if defined(__APPLE__)
#include <xlocale.h>
#endif

#include "platform/app.h"
#include "shell/constants.h"

namespace kv {

namespace {

// Switches the calling thread to the C locale for the lifetime of the object,
// so printf and strtold use '.' whatever LC_NUMERIC the process has.
class CLocaleScope {
 public:
  CLocaleScope() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    if (c != static_cast<locale_t>(0)) previous_ = uselocale(c);
  }
  ~CLocaleScope() {
    if (previous_ != static_cast<locale_t>(0)) uselocale(previous_);
  }
  CLocaleScope(const CLocaleScope&) = delete;
  CLocaleScope& operator=(const CLocaleScope&) = delete;

 private:
  locale_t previous_ = static_cast<locale_t>(0);
};

// Widths and decimals come from dialogs and files; keep the text bounded.
constexpr int kMaxFieldWidth = 4096;

int ClampField(int v) { return v < 0 ? 0 : (v > kMaxFieldWidth ? kMaxFieldWidth : v); }

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

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

// ---- numbers and text ----

bool ParseLongDouble(long double& dest, std::string_view text) {
  const std::string s(text);  // strtold needs the terminating NUL
  char* end = nullptr;
  long double v;
  {
    CLocaleScope c;
    v = std::strtold(s.c_str(), &end);
  }
  if (end == s.c_str()) {
    dest = 0;
    return false;
  }
  dest = v;
  return true;
}

std::int32_t ParseInt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // Accumulate toward the sign so INT32_MIN itself is reachable.
  constexpr std::int64_t kLimit = 2147483648LL;
  std::int64_t v = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    v = v * 10 + (text[i] - '0');
    if (v > kLimit) v = kLimit;  // saturated; keep reading the digits
  }
  if (negative) return static_cast<std::int32_t>(-v);
  return static_cast<std::int32_t>(v > kLimit - 1 ? kLimit - 1 : v);
}

void FormatNumber(long double value, int width, int decimals, std::string& dest) {
  const int w = ClampField(width);
  const int d = ClampField(decimals);
  CLocaleScope c;
  char small[64];
  const int n = std::snprintf(small, sizeof small, "%*.*Lf", w, d, value);
  if (n < 0) {
    dest.clear();
  } else if (static_cast<std::size_t>(n) < sizeof small) {
    dest.assign(small, static_cast<std::size_t>(n));
  } else {
    dest.assign(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(dest.data(), dest.size(), "%*.*Lf", w, d, value);
    dest.resize(static_cast<std::size_t>(n));
  }
}

std::string FormatNumber(long double value, int width, int decimals) {
  std::string s;
  FormatNumber(value, width, decimals, s);
  return s;
}

void FormatNumberSci(long double value, int decimals, std::string& dest) {
  const long double a = std::fabs(value);
  if (a < ExpMinus5000) {
    dest = value < 0 ? "-" : "";
    dest += FormatNumber(0, decimals, decimals + 2);
    return;
  }
  const std::int32_t e = RoundToInt(std::floor(std::fabs(1e-13 + std::log(a) / Ln10)));
  if (a > 0.1 || 2LL * e < decimals) {
    FormatNumber(value, decimals + 2, decimals, dest);
    return;
  }
  const std::int64_t shift = static_cast<std::int64_t>(e) + 1;
  FormatNumber(value * std::exp(Ln10 * static_cast<long double>(shift)), decimals + 2, decimals,
               dest);
  dest += "E-";
  dest += std::to_string(shift);
}

std::string FormatNumberSci(long double value, int decimals) {
  std::string s;
  FormatNumberSci(value, decimals, s);
  return s;
}

namespace {

std::string FormatExponent(long double value, int decimals) {
  CLocaleScope c;
  char buf[96];
  const int n = std::snprintf(buf, sizeof buf, "%.*Le", ClampField(decimals) > 60 ? 60 : ClampField(decimals), value);
  return n < 0 ? std::string() : std::string(buf, static_cast<std::size_t>(n));
}

// The digits of a fixed-point text from its first non-zero one.
int SignificantDigits(const std::string& text) {
  int n = 0;
  bool started = false;
  for (char c : text) {
    if (c < '0' || c > '9') continue;
    if (c != '0') started = true;
    if (started) ++n;
  }
  return n;
}

}  // namespace

std::string FormatTableCell(long double value, int width, int decimals) {
  std::string s;
  if (width <= 0) {
    // Fixed-point of a huge magnitude would be hundreds of digits that a
    // long double does not hold.
    if (std::isfinite(value) && std::fabs(value) >= 1e18L) return FormatExponent(value, decimals);
    FormatNumber(value, 0, decimals, s);
    return s;
  }
  const std::size_t room = static_cast<std::size_t>(ClampField(width - 1));
  FormatNumber(value, 0, decimals, s);
  if (s.size() > room && std::isfinite(value)) {
    // Fewer decimals or the exponent form, whichever shows more digits.
    int fixedDigits = -1;
    for (int d = ClampField(decimals) - 1; d >= 0 && fixedDigits < 0; --d) {
      std::string f;
      FormatNumber(value, 0, d, f);
      if (f.size() > room) continue;
      fixedDigits = SignificantDigits(f);
      s = f;
    }
    for (int d = ClampField(decimals); d >= 0; --d) {
      std::string e = FormatExponent(value, d);
      if (e.size() > room && d > 0) continue;
      if (fixedDigits < 0 || d + 1 > fixedDigits) s = e;
      break;
    }
  }
  if (s.size() < static_cast<std::size_t>(width)) s.insert(0, static_cast<std::size_t>(width) - s.size(), ' ');
  return s;
}

std::int32_t RoundToInt(long double x) {
  if (std::isnan(x)) return 0;
  const bool negative = x < 0;
  const long double a = std::fabs(x);
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  if (a > static_cast<long double>(kMax)) return negative ? -kMax : kMax;
  long double i = std::floor(a);
  if (a - i > 0.5) i += 1;
  const auto r = static_cast<std::int32_t>(i);
  return negative ? -r : r;
}

long double RandomInRange(long double a, long double b) {
  const int r = plat::Rand() % 100000000;
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
  return 0.3 * static_cast<long double>(plat::RedOf(colour)) +
         0.59 * static_cast<long double>(plat::GreenOf(colour)) +
         0.11 * static_cast<long double>(plat::BlueOf(colour));
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
