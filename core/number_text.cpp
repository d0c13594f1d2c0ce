// Numbers to text and back.  Unsuffixed decimal constants are doubles
// widened to long double where they meet long doubles, like every decimal
// constant of the program's numerics.
#include "core/number_text.h"

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <locale.h>
#if defined(__APPLE__)
#include <xlocale.h>
#endif

#include "core/constants.h"

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

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

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

bool ParseWholeNumber(std::string_view text, std::int32_t lo, std::int32_t hi, std::int32_t& value) {
  std::size_t a = 0;
  std::size_t b = text.size();
  while (a < b && IsBlank(text[a])) ++a;
  while (b > a && IsBlank(text[b - 1])) --b;
  if (a == b) return false;
  std::int64_t v = 0;
  for (std::size_t i = a; i < b; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    v = v * 10 + (text[i] - '0');
    if (v > hi) return false;  // also keeps v far from overflowing
  }
  if (v < lo) return false;
  value = static_cast<std::int32_t>(v);
  return true;
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

// The nearest integer of |x| is guessed through double (an SSE conversion:
// no switch of the x87 rounding mode, no 80-bit value read back as an
// integer) and corrected at full precision: below 2^31, |x| minus the guess
// is exact in long double, so halves and their neighbours are decided
// exactly.  Points of every drawn curve pass through here.
std::int32_t RoundToInt(long double x) {
  if (std::isnan(x)) return 0;
  const bool negative = x < 0;
  const long double a = std::fabs(x);
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  if (a > static_cast<long double>(kMax)) return negative ? -kMax : kMax;
  std::int32_t r = static_cast<std::int32_t>(static_cast<double>(a) + 0.5);
  const long double rest = a - static_cast<long double>(r);
  if (rest > 0.5L)
    ++r;
  else if (rest <= -0.5L)
    --r;
  return negative ? -r : r;
}

}  // namespace kv
