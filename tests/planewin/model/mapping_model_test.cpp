// The mathematics of a plane mapping without windows: the image of the
// grid and the view around it, the Jacobian readout and the table of the
// mapped grid as text, partial sums, and the range window's state in the
// grid-family records.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string>

#include "formula/calculus.h"
#include "formula/formula_engine.h"
#include "planewin/model/mapping_grid.h"
#include "planewin/model/mapping_readouts.h"
#include "planewin/model/range_state.h"
#include "plotcore/model/equation_record.h"
#include "core/binary_stream.h"
#include "core/text_encoding.h"

namespace kv {
namespace {

double D(long double v) { return static_cast<double>(v); }

// A mapping entry compiled as the plot layer does: U (or F) and V, the
// four partial derivatives of a real mapping, F' of a complex one.
TEquation Mapping(TFormulaEngine& engine, const std::string& u, const std::string& v = {}) {
  TEquation e;
  const bool complex = v.empty();
  InitEquation(e, complex ? kKindComplexMap : kKindPlaneMap, 0, 50);
  engine.SetComplexMode(complex);
  e.formulaText[0] = u;
  e.formulaText[1] = v;
  EXPECT_EQ(engine.Compile(u, e.trees[0]), 0) << u;
  if (complex) {
    EXPECT_TRUE(Differentiate(e.trees[0].get(), 'Z', e.trees[4]));
    return e;
  }
  EXPECT_EQ(engine.Compile(v, e.trees[1]), 0) << v;
  EXPECT_TRUE(Differentiate(e.trees[0].get(), 'X', e.trees[3]));
  EXPECT_TRUE(Differentiate(e.trees[0].get(), 'Y', e.trees[4]));
  EXPECT_TRUE(Differentiate(e.trees[1].get(), 'X', e.trees[5]));
  EXPECT_TRUE(Differentiate(e.trees[1].get(), 'Y', e.trees[6]));
  return e;
}

TEST(MappingGrid, TheFittedViewHoldsTheImagesOfAllNodesWithThreePercentRoom) {
  struct Case {
    const char* u;
    const char* v;
    TMapGrid grid;
    TSegment2D box;  // of the node images
  } cases[] = {
      // z -> z² on -5..5: Re = x² - y² in [-25, 25], Im = 2xy in [-50, 50].
      {"zz", "", {}, {-25, 25, -50, 50}},
      {"2x-y", "x+y", {}, {-15, 15, -10, 10}},
      // One division each: the four corners of the unit square.
      {"zz", "", {0, 0, 1, 1, 1, 1}, {-1, 1, 0, 2}},
      // An image that is a single point gets half-extents 0.53.
      {"3", "4", {}, {3, 3, 4, 4}},
  };
  for (const Case& c : cases) {
    TFormulaEngine engine;
    const TEquation m = Mapping(engine, c.u, c.v);
    TSegment2D box;
    const TMapGrid& g = c.grid;
    int nodes = 0;
    ASSERT_TRUE(GridImageBox(
        TSegment2D{g.xmin, g.xmax, g.ymin, g.ymax}, g.nx, g.ny,
        [&](TPoint2D& p) {
          ++nodes;
          return MapByEntry(engine, m, p, p);
        },
        box))
        << c.u;
    EXPECT_EQ(nodes, (g.nx + 1) * (g.ny + 1));
    EXPECT_NEAR(D(box.xmin), D(c.box.xmin), 1e-12) << c.u;
    EXPECT_NEAR(D(box.xmax), D(c.box.xmax), 1e-12) << c.u;
    EXPECT_NEAR(D(box.ymin), D(c.box.ymin), 1e-12) << c.u;
    EXPECT_NEAR(D(box.ymax), D(c.box.ymax), 1e-12) << c.u;
    const TViewBox v = ViewAroundBox(box);
    const long double w = c.box.xmax - c.box.xmin;
    const long double h = c.box.ymax - c.box.ymin;
    EXPECT_NEAR(D(v.hx), 0.53 * (w < 1e-13L ? 1 : D(w)), 1e-12) << c.u;
    EXPECT_NEAR(D(v.hy), 0.53 * (h < 1e-13L ? 1 : D(h)), 1e-12) << c.u;
  }
}

TEST(MappingGrid, NodesWithoutAnImageAreLeftOutOfTheBox) {
  TFormulaEngine engine;
  const TEquation m = Mapping(engine, "1/z");
  TSegment2D box;
  // The node 0 has no image; the others of -1..1 with 2 divisions do.
  ASSERT_TRUE(GridImageBox(
      TSegment2D{-1, 1, -1, 1}, 2, 2, [&](TPoint2D& p) { return MapByEntry(engine, m, p, p); }, box));
  EXPECT_NEAR(D(box.xmax), 1.0, 1e-15);
  EXPECT_NEAR(D(box.ymin), -1.0, 1e-15);
  const TEquation nowhere = Mapping(engine, "sqrt(-1-xx)", "y");
  EXPECT_FALSE(GridImageBox(
      TSegment2D{-1, 1, -1, 1}, 2, 2, [&](TPoint2D& p) { return MapByEntry(engine, nowhere, p, p); }, box));
}

TEST(MappingGrid, StoredGridsOutsideTheirLimitsFallBackToTheDefault) {
  const TMapGrid fallback;
  const struct {
    TMapGrid grid;
    bool usable;
  } cases[] = {
      {{-5, -5, 5, 5, 10, 10}, true},         {{0, 0, 2, 3, 1, 200}, true},  {{0, 0, 2, 3, 0, 10}, false},
      {{0, 0, 2, 3, 10, 201}, false},         {{1, 0, 1, 3, 10, 10}, false},  // x max not above x min
      {{0, 2, 1, 2 + 1e-14L, 10, 10}, false},                                 // y range below 1e-13
      {{NAN, 0, 1, 1, 10, 10}, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsUsableGrid(c.grid), c.usable);
    EXPECT_EQ(UsableGrid(c.grid), c.usable ? c.grid : fallback);
  }
}

TEST(MappingGrid, TheFamiliesCarryTheGridInTheirRecords) {
  const TMapGrid g{-1, -2, 3, 4, 8, 6};
  TEquation x;
  TEquation y;
  InitGridFamily(x, 0, g, 16);
  InitGridFamily(y, 1, g, 5);
  EXPECT_TRUE(IsGridFamily(x));
  EXPECT_EQ(x.formulaText[0], "k");
  EXPECT_EQ(x.formulaText[1], "t");
  EXPECT_EQ(y.formulaText[0], "t");
  EXPECT_EQ(x.penColour, 16);
  EXPECT_EQ(x.arrowMode, kGridCurveVariable);
  EXPECT_EQ(x.familyLetter, kGridFamilyVariable);
  EXPECT_EQ(GridOfFamilies(x, y), g);
  // The record offsets the file keeps: 26 -1, 32 27, 40 28, 42 divisions,
  // 46 family, 71/81 family range, 121/141 curve range.
  ByteWriter w;
  WriteEquationRecord(w, x);
  const auto& b = w.Data();
  auto i16 = [&](std::size_t at) { return static_cast<std::int16_t>(b[at] | (b[at + 1] << 8)); };
  EXPECT_EQ(i16(0), 203);
  EXPECT_EQ(i16(26), -1);
  EXPECT_EQ(i16(32), 27);
  EXPECT_EQ(i16(40), 28);
  EXPECT_EQ(i16(42), 8);
  EXPECT_EQ(b[46], 1);
  EXPECT_EQ(D(DecodeExtended(b.data() + 71)), -1.0);
  EXPECT_EQ(D(DecodeExtended(b.data() + 81)), 3.0);
  EXPECT_EQ(D(DecodeExtended(b.data() + 121)), -2.0);
  EXPECT_EQ(D(DecodeExtended(b.data() + 141)), 4.0);
}

TEST(MappingReadouts, TheJacobianOfALinearMapIsItsMatrixAndDeterminant) {
  TFormulaEngine engine;
  const TEquation m = Mapping(engine, "2x-y", "x+y");
  const std::string text = JacobianText(engine, m, {0.5L, -1.25L}, TReadoutFormat{7, 5, "undefiniert"});
  EXPECT_EQ(text,
            "F(x,y) = 2x-y\r\nG(x,y) = x+y\r\n\r\n"
            "x = 0.50000\r\ny = -1.25000\r\n\r\n"
            "DxF = 2.00000\r\nDyF = -1.00000\r\nDxG = 1.00000\r\nDyG = 1.00000\r\n\r\n"
            "det = 3.00000");
}

TEST(MappingReadouts, TheComplexReadoutShowsTheDerivativeAndItsModulus) {
  struct Case {
    const char* f;
    TPoint2D z;
    const char* expected;
  } cases[] = {
      {"zz", {1, 1}, "F(z) = zz\r\n\r\nz = 1.000 + 1.000i\r\n\r\nF'(z) = 2.000 + 2.000i\r\n\r\n|F'(z)| = 2.828"},
      {"zz", {0, 0}, "F(z) = zz\r\n\r\nz = 0.000 + 0.000i\r\n\r\nF'(z) = 0.000 + 0.000i\r\n\r\n|F'(z)| = 0.000"},
      {"zzz", {0, -1}, "F(z) = zzz\r\n\r\nz = 0.000 - 1.000i\r\n\r\nF'(z) = -3.000 + 0.000i\r\n\r\n|F'(z)| = 3.000"},
      // Undefined values are said to be so, not shown as a stale number.
      {"1/z", {0, 0}, "F(z) = 1/z\r\n\r\nz = 0.000 + 0.000i\r\n\r\nF'(z) = undefiniert\r\n\r\n|F'(z)| = undefiniert"},
  };
  for (const Case& c : cases) {
    TFormulaEngine engine;
    const TEquation m = Mapping(engine, c.f);
    // A value left in the tree by an earlier evaluation must not show.
    TPoint2D image;
    MapByEntry(engine, m, {2, 3}, image);
    EXPECT_EQ(JacobianText(engine, m, c.z, TReadoutFormat{5, 3, "undefiniert"}), c.expected) << c.f;
  }
}

TEST(MappingReadouts, UndefinedDerivativesOfARealMapAreMarked) {
  TFormulaEngine engine;
  const TEquation m = Mapping(engine, "sqrt(x)", "y");
  engine.SetComplexMode(false);
  const std::string text = JacobianText(engine, m, {-1, 0}, TReadoutFormat{7, 2, "undefiniert"});
  EXPECT_NE(text.find("DxF = undefiniert\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("DyG =    1.00\r\n"), std::string::npos) << text;
  EXPECT_TRUE(text.ends_with("det = undefiniert")) << text;
}

TEST(MappingReadouts, TheTableHasAHeaderAndOneLinePerXWithOneCellPerY) {
  TFormulaEngine engine;
  const TEquation m = Mapping(engine, "zz");
  std::string text;
  ASSERT_TRUE(MappingTableText(engine, m, TMapGrid{}, TReadoutFormat{7, 2, "?"}, text));
  std::vector<std::string> lines;
  for (std::size_t a = 0, b; (b = text.find("\r\n", a)) != std::string::npos; a = b + 2)
    lines.push_back(text.substr(a, b - a));
  ASSERT_EQ(lines.size(), 12u);  // the header and 11 lines of 11 cells
  EXPECT_EQ(lines[0].substr(0, 8), "   x \\ y");
  EXPECT_EQ(lines[0].size(), 8u + 11u * (17u + 4u));
  for (std::size_t i = 1; i < lines.size(); ++i) EXPECT_EQ(lines[i].size(), 8u + 11u * 21u) << i;
  // Row x = -5, column y = -5: (-5 - 5i)² = 0 - 50i.
  EXPECT_EQ(lines[1].substr(0, 8 + 21), "   -5.00  (    0.00,   50.00)");
  // Row x = 1 (the seventh), column y = 1: (1 + i)² = 2i.
  EXPECT_EQ(lines[7].substr(8 + 6 * 21, 21), "  (    0.00,    2.00)");
}

TEST(MappingReadouts, TableCellsWithoutAnImageAreMarkedAndWideNumbersDoNotBreakTheTable) {
  TFormulaEngine engine;
  const TEquation m = Mapping(engine, "1/z");
  std::string text;
  ASSERT_TRUE(MappingTableText(engine, m, TMapGrid{-1, -1, 1, 1, 2, 2}, TReadoutFormat{7, 2, "?"}, text));
  // The middle node z = 0.
  EXPECT_NE(text.find("  (       ?,       ?)"), std::string::npos) << text;
  // Numbers far wider than the field: the text grows with them.
  const TEquation big = Mapping(engine, "zzzzzzzzzzzzzzzzzzzzzzzzzzzzzz");
  ASSERT_TRUE(MappingTableText(engine, big, TMapGrid{1000, 1000, 2000, 2000, 20, 20}, TReadoutFormat{7, 2, "?"}, text));
  EXPECT_GT(text.size(), static_cast<std::size_t>(kMaxTableEstimate));
}

TEST(MappingReadouts, TablesBeyondTheSizeLimitAreRefused) {
  const struct {
    int nx, ny, width;
    bool fits;
  } cases[] = {{10, 10, 7, true}, {50, 50, 7, true}, {52, 52, 7, false}, {200, 200, 7, false}, {10, 10, 300, false}};
  TFormulaEngine engine;
  const TEquation m = Mapping(engine, "zz");
  for (const auto& c : cases) {
    EXPECT_EQ(TableSizeEstimate(c.nx, c.ny, c.width) <= kMaxTableEstimate, c.fits);
    std::string text = "kept";
    EXPECT_EQ(MappingTableText(engine, m, TMapGrid{-5, -5, 5, 5, c.nx, c.ny}, TReadoutFormat{c.width, 2, "?"}, text),
              c.fits);
    if (!c.fits) {
      EXPECT_EQ(text, "kept");
    }
  }
}

TEST(PartialSums, TheSeventeenthRootsOfUnityCloseTheRegularSeventeenGon) {
  TFormulaEngine engine;
  engine.SetComplexMode(true);
  TreePtr term;
  ASSERT_EQ(engine.Compile("cis(2pi*n/17)", term), 0);
  const std::vector<TComplex> s = PartialSums(engine, term.get(), 'N', 1, 17);
  ASSERT_EQ(s.size(), 17u);
  // The last partial sum is the origin, where the polygon started.
  EXPECT_NEAR(D(s[16].re), 0, 1e-15);
  EXPECT_NEAR(D(s[16].im), 0, 1e-15);
  // Every side has length 1 and turns by 2π/17; every vertex lies on the
  // circumcircle of radius 1 / (2 sin(π/17)) about its centre.
  const long double r = 1 / (2 * std::sin(std::numbers::pi_v<long double> / 17));
  TComplex c{0, 0};
  for (const TComplex& p : s) c = {c.re + p.re / 17, c.im + p.im / 17};
  TComplex previous{0, 0};
  for (const TComplex& p : s) {
    EXPECT_NEAR(D(std::hypot(p.re - previous.re, p.im - previous.im)), 1, 1e-15);
    EXPECT_NEAR(D(std::hypot(p.re - c.re, p.im - c.im)), D(r), 1e-14);
    previous = p;
  }
}

TEST(PartialSums, AnUndefinedTermEndsTheSums) {
  TFormulaEngine engine;
  TreePtr term;
  ASSERT_EQ(engine.Compile("1/(n-3)", term), 0);
  EXPECT_EQ(PartialSums(engine, term.get(), 'N', 1, 10).size(), 2u);
  EXPECT_TRUE(PartialSums(engine, term.get(), 'N', 5, 4).empty());
}

TEST(RangeState, TheRangeWindowRidesInTheGridFamiliesAtItsOffsets) {
  TRangeState s;
  s.view = {1.5L, -2.25L, 26.5L, 5, 10, 0.5L, -0.5L};
  s.options = {1, 0, 1, 1, 0, 1, 1, 0, 1};
  s.pairs = {3 | (10 << 16), 2 | (2 << 16)};
  s.words = {7, 31, 3, 2, 1, 1, 2, 12};
  s.width = 320;
  s.height = 240;
  s.moreWords = {9, 4, 1, 2};
  s.colours = {0x00FFFFFF, 0x00000000, 0x0000FFFF, 0x00123456, 0x00FF7FFF};
  TEquation e0;
  TEquation e1;
  TMapGrid g;
  InitGridFamily(e0, 0, g, 16);
  InitGridFamily(e1, 1, g, 5);
  PackRangeState(s, e0, e1);
  ByteWriter w0;
  ByteWriter w1;
  WriteEquationRecord(w0, e0);
  WriteEquationRecord(w1, e1);
  const auto& b0 = w0.Data();
  const auto& b1 = w1.Data();
  const std::size_t viewAt[7] = {281, 291, 301, 311, 321, 331, 341};
  for (int k = 0; k < 7; ++k)
    EXPECT_EQ(D(DecodeExtended(b0.data() + viewAt[k])), D(s.view[static_cast<std::size_t>(k)])) << k;
  const std::size_t optionAt0[5] = {49, 55, 56, 57, 59};
  const std::size_t optionAt1[4] = {49, 55, 56, 57};
  for (int k = 0; k < 5; ++k) EXPECT_EQ(b0[optionAt0[k]], s.options[static_cast<std::size_t>(k)]);
  for (int k = 0; k < 4; ++k) EXPECT_EQ(b1[optionAt1[k]], s.options[static_cast<std::size_t>(5 + k)]);
  auto i16 = [](const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::int16_t>(b[at] | (b[at + 1] << 8));
  };
  auto i32 = [](const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::int32_t>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
                                     (static_cast<std::uint32_t>(b[at + 3]) << 24));
  };
  EXPECT_EQ(i32(b0, 117), s.pairs[0]);
  EXPECT_EQ(i32(b1, 117), s.pairs[1]);
  const std::size_t wordAt[4] = {24, 28, 30, 34};
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(i16(b0, wordAt[k]), s.words[static_cast<std::size_t>(k)]);
    EXPECT_EQ(i16(b1, wordAt[k]), s.words[static_cast<std::size_t>(4 + k)]);
  }
  EXPECT_EQ(i16(b0, 8), 320);
  EXPECT_EQ(i16(b0, 10), 240);
  EXPECT_EQ(i16(b0, 36), 9);
  EXPECT_EQ(i16(b0, 38), 4);
  EXPECT_EQ(i16(b1, 36), 1);
  EXPECT_EQ(i16(b1, 38), 2);
  // The value block under the colours is cleared; the colours are bytes of
  // the image, written over it: 20 COLORREF bytes from 371.
  for (std::size_t k = 371; k < 401; ++k) EXPECT_EQ(b0[k], 0) << k;
  const std::uint8_t golden[20] = {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF,
                                   0x00, 0x00, 0x56, 0x34, 0x12, 0x00, 0xFF, 0x7F, 0xFF, 0x00};
  const auto bytes = RangeColourBytes(s.colours);
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), golden));
  std::vector<std::uint8_t> image = b0;
  std::copy(bytes.begin(), bytes.end(), image.begin() + kRangeColourOffset);
  std::array<std::uint32_t, 5> colours{};
  ASSERT_TRUE(ReadRangeColours(image.data(), image.size(), colours));
  EXPECT_EQ(colours, s.colours);

  // Read back, through the reader's checks of the records, it is the same.
  ByteReader r0(b0);
  ByteReader r1(b1);
  TEquation back0;
  TEquation back1;
  ASSERT_TRUE(ReadEquationRecord(r0, back0));
  ASSERT_TRUE(ReadEquationRecord(r1, back1));
  SanitizeEquation(back0);
  SanitizeEquation(back1);
  TRangeState withoutColours = s;
  withoutColours.colours = {};
  EXPECT_EQ(UnpackRangeState(back0, back1), withoutColours);
  // Afterwards the records are plain grid families again.
  ClearRangeStateFields(back0);
  TEquation fresh;
  InitGridFamily(fresh, 0, g, 16);
  ByteWriter wf;
  ByteWriter wb;
  WriteEquationRecord(wf, fresh);
  WriteEquationRecord(wb, back0);
  EXPECT_EQ(wb.Data(), wf.Data());
}

// The colours are the 20 bytes from 371 and nothing else: five black
// colours stay black whatever the bytes after them hold, and bytes that are
// no colours (a high byte set) give none.
TEST(RangeState, ColoursAreTheTwentyBytesFrom371Alone) {
  std::vector<std::uint8_t> image(kEquationRecordSize, 0);
  // Behind five black colours, a whole number in the long double at 391.
  const Extended e = EncodeExtended(0x00ABCDEF);
  std::copy(e.begin(), e.end(), image.begin() + 391);
  std::array<std::uint32_t, 5> out{1, 1, 1, 1, 1};
  ASSERT_TRUE(ReadRangeColours(image.data(), image.size(), out));
  EXPECT_EQ(out, (std::array<std::uint32_t, 5>{}));
  // Colours with a high byte set are no colours.
  const long double two32 = 4294967296.0L;
  const Extended big = EncodeExtended(0x00C0C0C0 + 0x000000FF * two32);
  std::copy(big.begin(), big.end(), image.begin() + 371);
  EXPECT_FALSE(ReadRangeColours(image.data(), image.size(), out));
  image.assign(kEquationRecordSize, 0xFF);
  EXPECT_FALSE(ReadRangeColours(image.data(), image.size(), out));
  // An image too short to hold them.
  image.assign(kEquationRecordSize, 0);
  EXPECT_FALSE(ReadRangeColours(image.data(), 390, out));
  EXPECT_FALSE(ReadRangeColours(nullptr, 0, out));
}

// Labels are joined with a comma after each; text longer than the limit, or
// a label with a comma of its own that reading would split, gives nothing
// (the caller's fixed labels).
TEST(RangeState, LabelsAreJoinedWithCommas) {
  const struct {
    std::vector<std::string> labels;
    std::size_t limit;
    const char* joined;
  } cases[] = {
      {{"x", "u"}, 20, "x,u,"},
      {{"x", "y", "u", "v"}, 20, "x,y,u,v,"},
      {{"a\\b", "\\alpha"}, 20, "a\\b,\\alpha,"},
      {{"", ""}, 20, ",,"},
      {{"abcdefghi", "klmnopqrst"}, 20, "abcdefghi,klmnopqrst,"},  // 21 characters: too long
      {{"Re,z", "w"}, 20, ""},
      // 21 characters in 40 bytes: too long.
      {{"ääääääääää", "ööööööööö"}, 20, "ääääääääää,ööööööööö,"},
      {{"äääääääää", "ööööööööö"}, 20, "äääääääää,ööööööööö,"},  // 20 characters
  };
  for (const auto& c : cases) {
    const int n = static_cast<int>(c.labels.size());
    const std::string joined = JoinLabels(c.labels.data(), n, c.limit);
    const bool tooLong = std::string(c.joined).size() > 0 && Utf8ToCp1252(c.joined).size() > c.limit;
    EXPECT_EQ(joined, tooLong ? "" : c.joined) << c.joined;
    if (joined.empty()) continue;
    std::string back[4];
    ASSERT_TRUE(SplitLabels(joined, back, n));
    for (int k = 0; k < n; ++k) EXPECT_EQ(back[k], c.labels[static_cast<std::size_t>(k)]);
  }
  std::string two[2];
  EXPECT_FALSE(SplitLabels("x", two, 2));
  EXPECT_FALSE(SplitLabels("x,", two, 2));
  // Only the first fields count: "x,u,v," gives x and u.
  ASSERT_TRUE(SplitLabels("x,u,v,", two, 2));
  EXPECT_EQ(two[1], "u");
}

}  // namespace
}  // namespace kv
