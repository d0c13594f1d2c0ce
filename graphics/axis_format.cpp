#include "graphics/axis_format.h"

#include <cmath>
#include <cstdlib>

#include "core/binary_stream.h"
#include "core/constants.h"
#include "shell/text_helpers.h"

namespace kv {

std::string AnsiChar(int code) {
  return Cp1252ToUtf8(std::string(1, static_cast<char>(code & 0xFF)));
}

void ReplaceMinusByCode(std::string& text, int code) {
  if (text.find('-') == std::string::npos) return;
  const std::string c = AnsiChar(code);
  std::string out;
  out.reserve(text.size() + 4);
  for (char ch : text) {
    if (ch == '-') {
      out += c;
    } else {
      out += ch;
    }
  }
  text.swap(out);
}

std::int32_t IntGcd(std::int32_t a, std::int32_t b) {
  // Magnitudes in 64 bits: |INT32_MIN| does not fit 32.
  std::int64_t x = std::llabs(static_cast<std::int64_t>(a));
  std::int64_t y = std::llabs(static_cast<std::int64_t>(b));
  while (y != 0) {
    std::int64_t r = x % y;
    x = y;
    y = r;
  }
  return static_cast<std::int32_t>(x);
}

void ApproximateFraction(long double v, std::int32_t& numerator, std::int32_t& denominator) {
  const std::int32_t n = denominator < 1 ? 1 : denominator;
  const long double a = std::fabs(v);
  std::int32_t p = 0;
  std::int32_t q = 1;
  for (q = 1; q <= n; ++q) {
    p = RoundToInt(a * q);
    if (std::fabs(a * q - p) < 0.5L / n) break;
  }
  if (q > n) q = n;  // none qualified: the last q and its p stand
  std::int32_t g = IntGcd(p, q);
  if (g == 0) g = 1;
  p /= g;
  q /= g;
  if (v < 0) p = -p;
  numerator = p;
  denominator = q;
}

std::string FormatPiFraction(long double v, std::int32_t maxDenominator, int piChar) {
  std::int32_t p = 0;
  std::int32_t q = maxDenominator;
  ApproximateFraction(v / Pi, p, q);
  // "" for 1 and "-" for -1: the π character alone stands for them.
  std::string text;
  if (p == -1) {
    text.push_back('-');
  } else if (p != 1) {
    text = std::to_string(p);
  }
  text += AnsiChar(piChar);
  if (q > 1) {
    text += '/';
    text += std::to_string(q);
  }
  return text;
}

std::string FormatPowerOfTen(std::int32_t k, bool caret) {
  static const char* const kSmall[] = {"0.001", "0.01", "0.1", "1", "10", "100", "1000"};
  if (k >= -3 && k <= 3) return kSmall[k + 3];
  std::string text = "10";
  text += caret ? '^' : 'E';
  text += std::to_string(k);
  return text;
}

std::string FormatAxisNumber(long double v, const TAxisNumberStyle& style) {
  if (style.logarithmic) return FormatPowerOfTen(RoundToInt(v), false);
  const int d = style.decimals % 10;
  std::string text = d == 0 ? std::to_string(RoundToInt(v)) : FormatNumber(v, d + 2, d);
  if (style.piFraction) text = FormatPiFraction(v, 100, style.piChar);
  if (style.decimals > 9) text += AnsiChar(style.suffixChar);
  return text;
}

}  // namespace kv
