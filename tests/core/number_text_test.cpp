#include "core/number_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

namespace kv {
namespace {

constexpr long double kInf = std::numeric_limits<long double>::infinity();
constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();

TEST(RoundToInt, HalvesGoTowardZeroAndLargeValuesSaturate) {
  struct Case {
    long double x;
    std::int32_t expected;
  };
  const Case cases[] = {
      {0.0L, 0},          {0.5L, 0},          {1.5L, 1},           {1.5000001L, 2},
      {2.5L, 2},          {2.51L, 3},         {-2.5L, -2},         {-2.7L, -3},
      {-0.4L, 0},         {0.4999999L, 0},    {7.0L, 7},           {-7.0L, -7},
      {3e9L, 2147483647}, {-3e9L, -2147483647}, {2147483647.0L, 2147483647},
      {-2147483647.0L, -2147483647},          {-2147483648.0L, -2147483647},
      {2147483646.7L, 2147483647},            {kInf, 2147483647},  {-kInf, -2147483647},
      {kNaN, 0},          {-kNaN, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(RoundToInt(c.x), c.expected) << static_cast<double>(c.x);
}

// Against floor(a) + (fraction > 1/2) over random values, halves and the
// neighbours of halves.
TEST(RoundToInt, AgreesWithFloorAndFraction) {
  auto reference = [](long double x) {
    const long double a = std::fabs(x);
    long double i = std::floor(a);
    if (a - i > 0.5) i += 1;
    const auto r = static_cast<std::int32_t>(i);
    return x < 0 ? -r : r;
  };
  std::mt19937_64 rng(11);
  std::uniform_real_distribution<double> wide(-2.1e9, 2.1e9);
  std::uniform_int_distribution<int> whole(-100000, 100000);
  for (int k = 0; k < 200000; ++k) {
    long double x = wide(rng);
    if (k % 4 == 1) x = whole(rng) + 0.5L;
    if (k % 4 == 2) x = std::nextafter(whole(rng) + 0.5L, 0.0L);
    if (k % 4 == 3) x = std::nextafter(whole(rng) + 0.5L, 1e10L) / (1 + (k % 7));
    ASSERT_EQ(RoundToInt(x), reference(x)) << static_cast<double>(x);
  }
}

TEST(FormatNumber, PrintfFixedPoint) {
  struct Case {
    long double value;
    int width;
    int decimals;
    const char* text;
  };
  const Case cases[] = {
      {3.14159L, 8, 2, "    3.14"},
      {-3.14159L, 8, 2, "   -3.14"},
      {2.5L, 1, 3, "2.500"},
      {1e6L, 3, 1, "1000000.0"},
      {0.0L, 0, 0, "0"},
      {42.0L, -5, -1, "42"},  // negative width and decimals count as 0
      {1.25L, 6, 4, "1.2500"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatNumber(c.value, c.width, c.decimals), c.text);
  std::string out = "old";
  FormatNumber(1e300L, 0, 2, out);
  EXPECT_EQ(out.size(), 301u + 3u) << "long results are not cut";
}

TEST(FormatNumberSci, SmallMagnitudesInExponentForm) {
  struct Case {
    long double value;
    int decimals;
    const char* text;
  };
  const Case cases[] = {
      {0.00012345L, 3, "1.235E-4"},
      {-0.00012345L, 3, "-1.235E-4"},
      {0.05L, 2, "5.00E-2"},
      {0.05L, 3, "0.050"},  // 2e < d: still plain
      {0.5L, 3, "0.500"},
      {123.456L, 2, "123.46"},
      {0.0L, 3, "0.00000"},
      {-1e-2200L, 2, "-0.0000"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatNumberSci(c.value, c.decimals), c.text);
}

TEST(ParseNumbers, LongDoubleWithRuntimeSemantics) {
  struct Case {
    const char* text;
    long double value;
    bool found;
  };
  const Case cases[] = {
      {"  3.5xyz", 3.5L, true}, {"-1e3", -1000.0L, true}, {"1,5", 1.0L, true},
      {"\t+0.25", 0.25L, true}, {"abc", 0.0L, false},     {"", 0.0L, false},
      {"  ", 0.0L, false},      {".5", 0.5L, true},
  };
  for (const Case& c : cases) {
    long double v = 99;
    EXPECT_EQ(ParseLongDouble(v, c.text), c.found) << c.text;
    EXPECT_EQ(v, c.value) << c.text;
  }
  long double v = 0;
  ParseLongDouble(v, "1e99999");
  EXPECT_TRUE(std::isinf(v));
}

TEST(ParseNumbers, IntLikeAtoiButSaturating) {
  struct Case {
    const char* text;
    std::int32_t value;
  };
  const Case cases[] = {
      {"42", 42},
      {"  -17abc", -17},
      {"+5", 5},
      {"\t\n12", 12},
      {"abc", 0},
      {"", 0},
      {" - 5", 0},
      {"3.9", 3},
      {"2147483647", 2147483647},
      {"2147483648", 2147483647},
      {"99999999999999999999", 2147483647},
      {"-2147483648", std::numeric_limits<std::int32_t>::min()},
      {"-99999999999999999999", std::numeric_limits<std::int32_t>::min()},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseInt(c.text), c.value) << c.text;
}

TEST(ParseNumbers, WholeNumbersAsTypedInARange) {
  struct Case {
    const char* text;
    bool ok;
    std::int32_t value;
  };
  const Case cases[] = {
      {"0", true, 0},      {" 1000\t", true, 1000}, {"007", true, 7}, {"1001", false, 0},
      {"2.5", false, 0},   {"abc", false, 0},       {"-0", false, 0}, {"+3", false, 0},
      {"", false, 0},      {"  ", false, 0},        {"1 2", false, 0}, {"99999999999999999999", false, 0},
  };
  for (const Case& c : cases) {
    std::int32_t v = -1;
    EXPECT_EQ(ParseWholeNumber(c.text, 0, 1000, v), c.ok) << c.text;
    EXPECT_EQ(v, c.ok ? c.value : -1) << c.text;
  }
}

// Formatting and parsing must ignore the process locale.
TEST(ParseNumbers, CLocaleUnderAGermanLocale) {
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "de_DE.UTF-8 not installed";
  char probe[16];
  std::snprintf(probe, sizeof probe, "%.1f", 1.5);
  const bool german = std::string(probe) == "1,5";
  const std::string formatted = FormatNumber(3.25L, 0, 2);
  const std::string sci = FormatNumberSci(0.00012345L, 3);
  long double parsed = 0;
  ParseLongDouble(parsed, "2.5");
  std::setlocale(LC_ALL, saved.c_str());
  if (!german) GTEST_SKIP() << "the locale does not use a decimal comma";
  EXPECT_EQ(formatted, "3.25");
  EXPECT_EQ(sci, "1.235E-4");
  EXPECT_EQ(parsed, 2.5L);
}

}  // namespace
}  // namespace kv
