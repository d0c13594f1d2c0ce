#include "core/constants.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace kv {
namespace {

// The full long-double values, to show which constants deliberately differ.
constexpr long double kTruePi = 3.14159265358979323846264338327950288L;

std::uint64_t DoubleBits(double d) {
  std::uint64_t bits;
  std::memcpy(&bits, &d, 8);
  return bits;
}

TEST(SharedConstants, MatchTheirValuesTo13Digits) {
  struct Case {
    const char* name;
    long double value;
    long double expected;
  };
  const Case cases[] = {
      {"SqrtPi", SqrtPi, 1.7724538509055L},
      {"LnSqrtPi", LnSqrtPi, 0.5723649429247L},
      {"TwoOverSqrtPi", TwoOverSqrtPi, 1.1283791670955L},
      {"SqrtTwoPi", SqrtTwoPi, 2.5066282746310L},
      {"InvSqrtTwoPi", InvSqrtTwoPi, 0.3989422804014L},
      {"Sqrt2", Sqrt2, 1.4142135623731L},
      {"Sqrt3", Sqrt3, 1.7320508075689L},
      {"HalfSqrt3", HalfSqrt3, 0.8660254037844L},
      {"Sqrt24Third", Sqrt24Third, 1.6329931618555L},
      {"GoldenRatio", GoldenRatio, 1.6180339887499L},
      {"Ln2", Ln2, 0.6931471805599L},
      {"Ln10", Ln10, 2.3025850929940L},
      {"LnTwoPi", LnTwoPi, 1.8378770664093L},
      {"InvLn10", InvLn10, 0.4342944819033L},
      {"Exp42", Exp42, 1.7392749415205e18L},
      {"DegPerRad", DegPerRad, 57.295779513082L},
  };
  // The expected values are rounded in their last digit.
  for (const Case& c : cases) {
    EXPECT_NEAR(static_cast<double>(c.value / c.expected), 1.0, 1.5e-13) << c.name;
  }
}

TEST(SharedConstants, ExtremeMagnitudes) {
  if (std::numeric_limits<long double>::max_exponent10 < 4000) GTEST_SKIP() << "needs the extended range";
  const long double log10Of5000 = 5000.0L / std::log(10.0L);  // 2171.47...
  EXPECT_NEAR(static_cast<double>(std::log10(ExpPlus5000) - log10Of5000), 0.0, 1e-9);
  EXPECT_NEAR(static_cast<double>(std::log10(ExpMinus5000) + log10Of5000), 0.0, 1e-9);
  EXPECT_GT(ExpMinus5000, 0.0L);
  EXPECT_LT(ExpMinus5000, 1e-2171L);
}

TEST(SharedConstants, DoublePrecisionQuirksAreKept) {
  EXPECT_EQ(DoubleBits(static_cast<double>(Pi)), 0x400921FB54442D18ULL);
  EXPECT_EQ(Pi, static_cast<long double>(static_cast<double>(Pi))) << "π is the double π widened";
  EXPECT_NE(Pi, kTruePi);
  EXPECT_EQ(HalfPi, Pi / 2);

  EXPECT_EQ(SqrtPi, std::sqrt(Pi));
  EXPECT_NE(SqrtPi, std::sqrt(kTruePi)) << "SqrtPi comes from the double π";

  // 180 times the stored double 1/π, not 180 / π in long double.
  const double oneOverPi = 1.0 / 3.141592653589793;
  EXPECT_EQ(DoubleBits(oneOverPi), 0x3FD45F306DC9C883ULL);
  EXPECT_EQ(DegPerRad, static_cast<long double>(oneOverPi) * 180.0L);
  EXPECT_NE(DegPerRad, 180.0L / kTruePi);
  EXPECT_NE(DegPerRad, 180.0L / Pi);

  EXPECT_EQ(GoldenRatio, (std::sqrt(5.0L) + 1.0L) / 2.0L);

  EXPECT_EQ(Sqrt24Third, std::sqrt(24.0L) * static_cast<long double>(1.0 / 3.0));
  EXPECT_NE(Sqrt24Third, std::sqrt(24.0L) / 3.0L) << "the double 1/3 is used";

  EXPECT_EQ(Exp42, static_cast<long double>(static_cast<double>(Exp42))) << "Exp42 is a widened double";
  EXPECT_EQ(HalfSqrt3, Sqrt3 * 0.5L);
  EXPECT_EQ(InvLn10, 1.0L / Ln10);
}

TEST(SharedConstants, ComplexOneAndZeroPoints) {
  EXPECT_EQ(kComplexOne, (TPoint2D{1, 0}));
  EXPECT_EQ(kPlaneZero, (TPoint2D{0, 0}));
  EXPECT_EQ(kZero, 0.0L);
  EXPECT_EQ(kSpaceZero, (TPoint3D{0, 0, 0}));
  EXPECT_FALSE(std::signbit(kPlaneZero.x));
}

// A static of another file that uses the constants sees them computed.
const long double g_twiceSqrt2 = 2.0L * Sqrt2;

TEST(SharedConstants, ReadyForOtherStaticInitialisers) { EXPECT_EQ(g_twiceSqrt2, 2.0L * std::sqrt(2.0L)); }

TEST(JoinArguments, JoinsWithSingleBlanksAsTheyCome) {
  struct Case {
    std::vector<const char*> argv;
    std::string joined;
  };
  const Case cases[] = {
      {{}, ""},
      {{"kurvato"}, ""},
      {{"kurvato", "plot.kv2"}, "plot.kv2"},
      {{"kurvato", "/home/a/My", "Plots/sine.kv2"}, "/home/a/My Plots/sine.kv2"},
      {{"kurvato", " x ", "", "y"}, " x   y"},
      {{"kurvato", "\"quoted name\""}, "\"quoted name\""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(JoinArguments(static_cast<int>(c.argv.size()), c.argv.data()), c.joined);
  }
}

// A long name stays whole: cut short it could name another file.
TEST(JoinArguments, LongNamesStayWhole) {
  const std::string longArg(300, 'a');
  const char* argv[] = {"kurvato", longArg.c_str(), "more"};
  EXPECT_EQ(JoinArguments(3, argv), longArg + " more");
}

}  // namespace
}  // namespace kv
