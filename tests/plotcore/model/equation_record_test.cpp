// File images of the equation record and its attached records: every field
// at its offset (checked against images built from the offset table, not
// from the codec), pointer places zero, damaged input harmless.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "plotcore/model/equation_record.h"

namespace kv {
namespace {

// An expected image built byte by byte at the offsets of the file format.
class Image {
 public:
  explicit Image(std::size_t size) : bytes(size, 0) {}
  void U16(std::size_t off, std::uint16_t v) {
    bytes.at(off) = static_cast<std::uint8_t>(v & 0xFF);
    bytes.at(off + 1) = static_cast<std::uint8_t>(v >> 8);
  }
  void I16(std::size_t off, std::int16_t v) { U16(off, static_cast<std::uint16_t>(v)); }
  void U32(std::size_t off, std::uint32_t v) {
    for (int k = 0; k < 4; ++k) bytes.at(off + static_cast<std::size_t>(k)) = static_cast<std::uint8_t>(v >> (8 * k));
  }
  void U8(std::size_t off, std::uint8_t v) { bytes.at(off) = v; }
  void LD(std::size_t off, long double v) {
    const Extended e = EncodeExtended(v);
    std::memcpy(&bytes.at(off), e.data(), e.size());
  }
  void Text(std::size_t off, const char* s) { std::memcpy(&bytes.at(off), s, std::strlen(s)); }
  std::vector<std::uint8_t> bytes;
};

// A record whose every field holds a value of its own.
TEquation DistinctEquation() {
  TEquation e;
  e.kind = 0x0102;
  std::int16_t v = 3;
  for (std::int16_t* f : {&e.derivation, &e.source1, &e.source2, &e.auxValue1, &e.auxValue2, &e.stepDensity,
                          &e.fieldRows, &e.fieldMode, &e.fieldLength, &e.sideColour1, &e.sideColour2, &e.subKind,
                          &e.subValue, &e.familyDelay, &e.arrowSize, &e.arrowMode, &e.termCount, &e.auxValue3,
                          &e.auxValue4, &e.familyLetter, &e.familySteps, &e.density})
    *f = static_cast<std::int16_t>(v++ * 257);
  std::uint8_t b = 0x41;
  for (std::uint8_t* f : {&e.familyOn, &e.bounded, &e.visible, &e.densityFlag, &e.restricted, &e.filled,
                          &e.unclipped, &e.reserved53, &e.automaticExtent, &e.kindFlag, &e.webToAxis, &e.drawFilled,
                          &e.polarInput, &e.interpolated, &e.notVertical})
    *f = b++;
  e.elementLength = 1.25L;
  e.familyStart = -2.5L;
  e.familyEnd = 3.75L;
  e.rangeMin = -7.125L;
  e.rangeMax = 8.0625L;
  e.divisions = {101, 102, 103};
  e.curvePoints = {201, -202};
  e.lowerBound = {0.5L, 1.5L};
  e.upperBound = {2.5L, 3.5L};
  for (std::size_t k = 0; k < e.values.size(); ++k)
    e.values[k] = {10.0L * k + 1, 10.0L * k + 2, -(10.0L * k + 3)};
  e.penColour = 1017;
  e.penWidth = 4;
  e.penStyle = 3;
  // Heap parts, which the image must not carry.
  e.formulaText[1] = "xsin(x)";
  e.samples.resize(3);
  e.items.emplace_back();
  e.results.emplace_back();
  return e;
}

Image ExpectedEquationImage(const TEquation& e) {
  Image im(kEquationRecordSize);
  im.U16(0, e.kind);
  const std::int16_t words[] = {e.derivation, e.source1,     e.source2,     e.auxValue1,    e.auxValue2,
                                e.stepDensity, e.fieldRows,  e.fieldMode,   e.fieldLength,  e.sideColour1,
                                e.sideColour2, e.subKind,    e.subValue,    e.familyDelay,  e.arrowSize,
                                e.arrowMode,   e.termCount,  e.auxValue3,   e.auxValue4,    e.familyLetter,
                                e.familySteps, e.density};
  for (std::size_t k = 0; k < std::size(words); ++k) im.I16(2 + 2 * k, words[k]);
  const std::uint8_t flags[] = {e.familyOn,  e.bounded,         e.visible,  e.densityFlag, e.restricted,
                                e.filled,    e.unclipped,       e.reserved53, e.automaticExtent, e.kindFlag,
                                e.webToAxis, e.drawFilled,      e.polarInput, e.interpolated, e.notVertical};
  for (std::size_t k = 0; k < std::size(flags); ++k) im.U8(46 + k, flags[k]);
  im.LD(61, e.elementLength);
  im.LD(71, e.familyStart);
  im.LD(81, e.familyEnd);
  im.LD(91, e.rangeMin);
  im.LD(101, e.rangeMax);
  im.I16(111, e.divisions[0]);
  im.I16(113, e.divisions[1]);
  im.I16(115, e.divisions[2]);
  im.I16(117, e.curvePoints[0]);
  im.I16(119, e.curvePoints[1]);
  im.LD(121, e.lowerBound.x);
  im.LD(131, e.lowerBound.y);
  im.LD(141, e.upperBound.x);
  im.LD(151, e.upperBound.y);
  for (std::size_t k = 0; k < 10; ++k) {
    im.LD(161 + 30 * k, e.values[k].x);
    im.LD(171 + 30 * k, e.values[k].y);
    im.LD(181 + 30 * k, e.values[k].z);
  }
  im.U16(461, e.penColour);
  im.I16(463, e.penWidth);
  im.I16(465, e.penStyle);
  return im;  // 467..546: the pointers, zero
}

TEST(EquationRecord, EveryFieldAtItsOffsetAndBackEqual) {
  const TEquation e = DistinctEquation();
  ByteWriter w;
  WriteEquationRecord(w, e);
  const Image expected = ExpectedEquationImage(e);
  ASSERT_EQ(w.Size(), kEquationRecordSize);
  for (std::size_t k = 0; k < kEquationRecordSize; ++k) ASSERT_EQ(w.Data()[k], expected.bytes[k]) << "offset " << k;

  TEquation back;
  back.formulaText[0] = "stale";
  ByteReader r(w.Data());
  ASSERT_TRUE(ReadEquationRecord(r, back));
  EXPECT_EQ(r.Position(), kEquationRecordSize);
  ByteWriter again;
  WriteEquationRecord(again, back);
  EXPECT_EQ(again.Data(), w.Data());
  EXPECT_EQ(back.values[9].z, -93.0L);
  EXPECT_EQ(back.penColour, 1017);
  EXPECT_TRUE(back.formulaText[0].empty());
  EXPECT_TRUE(back.items.empty());
}

TEST(EquationRecord, GarbageInThePointerPlacesIsIgnored) {
  const TEquation e = DistinctEquation();
  Image im = ExpectedEquationImage(e);
  for (std::size_t k = 467; k < kEquationRecordSize; ++k) im.bytes[k] = static_cast<std::uint8_t>(0xA5 ^ k);
  TEquation back;
  ByteReader r(im.bytes);
  ASSERT_TRUE(ReadEquationRecord(r, back));
  for (const auto& t : back.trees) EXPECT_EQ(t, nullptr);
  for (const auto& s : back.formulaText) EXPECT_TRUE(s.empty());
  EXPECT_TRUE(back.samples.empty() && back.items.empty() && back.results.empty());
  ByteWriter w;
  WriteEquationRecord(w, back);
  EXPECT_EQ(w.Data(), ExpectedEquationImage(e).bytes);
}

TEST(EquationRecord, ShortImageFailsAndLeavesTheRecord) {
  ByteWriter w;
  WriteEquationRecord(w, DistinctEquation());
  TEquation target;
  target.kind = 204;
  ByteReader r(w.Data().data(), 546);
  EXPECT_FALSE(ReadEquationRecord(r, target));
  EXPECT_EQ(target.kind, 204);
}

TEST(EquationRecord, SanitizeBoundsEveryCountADrawerLoopsOver) {
  TEquation e;
  e.kind = kKindSurface;
  e.stepDensity = 0;
  e.fieldRows = -4;
  e.fieldLength = 32767;
  e.familySteps = -32000;
  e.density = -9;
  e.divisions = {32767, 32767, -1};
  e.curvePoints = {0, 32767};
  e.rangeMin = std::numeric_limits<long double>::quiet_NaN();
  e.values[4].x = std::numeric_limits<long double>::infinity();
  SanitizeEquation(e);
  EXPECT_EQ(e.stepDensity, 1);
  EXPECT_EQ(e.fieldRows, 1);
  EXPECT_EQ(e.fieldLength, 32767);  // what the dialog takes is kept
  EXPECT_EQ(e.familySteps, -kMaxFamilySteps);
  EXPECT_EQ(e.density, 1);
  EXPECT_LE((e.divisions[0] + 1) * (e.divisions[1] + 1), 6000);
  EXPECT_GE(e.divisions[2], 1);
  EXPECT_EQ(e.curvePoints[0], 1);
  EXPECT_EQ(e.curvePoints[1], 32000);
  EXPECT_EQ(e.rangeMin, 0);
  EXPECT_EQ(e.values[4].x, 0);
  // Kept as the dialogs store them: a family of 0 steps, a table of 20000
  // steps and the running index -5 .. 7 of a sum.
  e.familySteps = 0;
  e.density = 20000;
  e.kind = kKindSum;
  e.divisions = {-5, 7, 36};
  SanitizeEquation(e);
  EXPECT_EQ(e.familySteps, 0);
  EXPECT_EQ(e.density, 20000);
  EXPECT_EQ(e.divisions, (std::array<std::int16_t, 3>{-5, 7, 36}));
}

// ---- items ----

TEST(EquationItemRecord, NinetyFiveBytesAtTheirOffsetsThenTheTexts) {
  TEquationItem item;
  item.start = {1.5L, -2.5L, 3.5L};
  item.startCode = 1005;
  item.direction = -1;
  item.paramStart = 0.125L;
  item.paramEnd = -0.01L;
  item.tag = 25;
  item.level = 6.5L;
  item.scale = 7.25L;
  item.stepLimit = 400;
  SetTriple16(item.pen, 12, 3, 2);
  item.method = 2;
  item.serial = 77;
  item.texts = {"1+a", "b", "", "t0"};
  ByteWriter w;
  WriteEquationItem(w, item);
  Image im(kEquationItemFileSize);
  im.LD(0, 1.5L);
  im.LD(10, -2.5L);
  im.LD(20, 3.5L);
  im.I16(30, 1005);
  im.U8(32, 0xFF);
  im.LD(33, 0.125L);
  im.LD(43, -0.01L);
  im.I16(53, 25);
  im.LD(55, 6.5L);
  im.LD(65, 7.25L);
  im.LD(75, 400);
  im.U16(85, 12);
  im.U16(87, 3);
  im.U16(89, 2);
  im.U16(91, 2);
  im.U16(93, 77);
  EXPECT_EQ(w.Data(), im.bytes);

  std::list<TEquationItem> list;
  list.push_back(CloneEquationItem(item));
  item.startCode = 3;  // without texts
  list.push_back(CloneEquationItem(item));
  ByteWriter lw;
  WriteEquationItems(lw, list);
  // count, part, four counted strings, part
  EXPECT_EQ(lw.Size(), 2 + 95 + (2 + 4) + (2 + 2) + (2 + 1) + (2 + 3) + 95);
  std::list<TEquationItem> back;
  ByteReader r(lw.Data());
  ASSERT_TRUE(ReadEquationItems(r, back));
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back.front().texts[0], "1+a");
  EXPECT_EQ(back.front().texts[3], "t0");
  EXPECT_EQ(back.front().start, item.start);
  EXPECT_EQ(back.back().texts[0], "");
  EXPECT_EQ(back.back().serial, 77);
}

TEST(EquationItemRecord, TextsFollowFromStartCode1000On) {
  // A trajectory item (code 0) raised by 1000 keeps its start texts.
  for (const auto& [code, texts] : {std::pair<std::int16_t, bool>{999, false}, {1000, true}, {1219, true}}) {
    TEquationItem item;
    item.startCode = code;
    item.texts = {"a", "b", "c", "d"};
    std::list<TEquationItem> list;
    list.push_back(std::move(item));
    ByteWriter w;
    WriteEquationItems(w, list);
    EXPECT_EQ(w.Size(), 2 + 95 + (texts ? 4 * (2 + 2) : 0)) << code;
    std::list<TEquationItem> back;
    ByteReader r(w.Data());
    ASSERT_TRUE(ReadEquationItems(r, back)) << code;
    EXPECT_EQ(back.front().texts[3], texts ? "d" : "") << code;
  }
}

TEST(EquationItemRecord, CountsThatTheBytesCannotHoldFail) {
  struct Case {
    std::int16_t count;
    std::size_t following;
  } cases[] = {{-1, 200}, {3, 2 * 95}, {30000, 95}};
  for (const Case& c : cases) {
    ByteWriter w;
    w.I16(c.count);
    w.Zeros(c.following);
    std::list<TEquationItem> items;
    items.emplace_back();
    ByteReader r(w.Data());
    EXPECT_FALSE(ReadEquationItems(r, items)) << c.count;
    EXPECT_TRUE(items.empty());
  }
}

// ---- results, marks, shading ----

TEST(ResultPointRecord, SeventyEightBytes) {
  TResultPoint p;
  p.code = 53;
  p.count = 3;
  p.values = {1.5L, -2, 3.25L, 0};
  p.text = "(links,rechts,Wert,Teilung)";
  ByteWriter w;
  WriteResultPoint(w, p);
  Image im(kResultPointSize);
  im.I16(0, 53);
  im.I16(2, 3);
  im.LD(4, 1.5L);
  im.LD(14, -2);
  im.LD(24, 3.25L);
  im.LD(34, 0);
  im.Text(44, "(links,rechts,Wert,Teilung)");
  EXPECT_EQ(w.Data(), im.bytes);
  TResultPoint back;
  ByteReader r(w.Data());
  ASSERT_TRUE(ReadResultPoint(r, back));
  EXPECT_EQ(back.text, p.text);
  EXPECT_EQ(back.values, p.values);
  // A text of 40 characters keeps 29 and its NUL.
  p.text = std::string(40, 'x');
  ByteWriter w2;
  WriteResultPoint(w2, p);
  ByteReader r2(w2.Data());
  ReadResultPoint(r2, back);
  EXPECT_EQ(back.text, std::string(29, 'x'));
}

TEST(MouseMarkRecord, PenAndPointFormsOfTwentySixBytes) {
  TMouseMark pen;
  pen.kind = kMarkPen;
  SetTriple32x16x16(pen.pen, 0x00112233u, 3, 1);
  TMouseMark point;
  point.kind = kMarkNext;
  point.point = {0.75L, -1.25L};
  ByteWriter w;
  WriteMouseMarks(w, {pen, point});
  Image im(4 + 2 * kMouseMarkSize);
  im.U32(0, 2);
  im.U32(4, 0x00112233u);
  im.U16(8, 3);
  im.U16(10, 1);
  im.I16(24, 0);
  im.LD(30, 0.75L);
  im.LD(40, -1.25L);
  im.I16(50, 1);
  EXPECT_EQ(w.Data(), im.bytes);
  std::vector<TMouseMark> back;
  ByteReader r(w.Data());
  ASSERT_TRUE(ReadMouseMarks(r, back));
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0].pen, pen.pen);
  EXPECT_EQ(back[1].point, point.point);
  // A count of 2^31 - 1 with nothing behind it is refused before anything is
  // allocated.
  ByteWriter huge;
  huge.I32(0x7FFFFFFF);
  ByteReader hr(huge.Data());
  EXPECT_FALSE(ReadMouseMarks(hr, back));
  EXPECT_TRUE(back.empty());
}

TEST(ShadeRecordFile, ThirtySevenBytesWithTheFourUnwrittenKept) {
  TShadeRecord s;
  s.graphA = 3;
  s.graphB = kShadeBelow;
  s.packedCode = static_cast<std::int16_t>(PackShadeCode(5, 2, 7));
  s.intervalFlag = 1;
  s.from = -1.5L;
  s.to = 2.25L;
  s.colour = 14;
  s.reserved = 0xDEADBEEF;
  std::list<TShadeRecord> list{s};
  ByteWriter w;
  WriteShadeRecords(w, list);
  Image im(2 + kShadeRecordSize);
  im.I16(0, 1);
  im.I16(2, 3);
  im.I16(4, -2);
  im.I16(6, static_cast<std::int16_t>(5 + 9 * 2 + 225 * 7));
  im.U8(8, 1);
  im.LD(9, -1.5L);
  im.LD(19, 2.25L);
  im.I16(29, 14);
  im.U32(31, 0xDEADBEEF);
  EXPECT_EQ(w.Data(), im.bytes);
  std::list<TShadeRecord> back;
  ByteReader r(w.Data());
  ASSERT_TRUE(ReadShadeRecords(r, back, 30));
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back.front().reserved, 0xDEADBEEFu);
  const TPackedLetters l = SplitPackedCode(back.front().packedCode);
  EXPECT_EQ(l.pattern, 5);
  EXPECT_EQ(l.fromLetter, 2);
  EXPECT_EQ(l.toLetter, 7);
}

// ---- defaults ----

TEST(InitEquation, DefaultsByKind) {
  struct Case {
    int kind;
    std::uint16_t storedKind;
    std::uint8_t interpolated;
    std::int16_t familyDelay;
    std::int16_t termCount;
    std::int16_t auxValue1;
  } cases[] = {
      {201, 201, 0, 50, 10, 0}, {202, 202, 0, 0, 0, 0}, {213, 201, 1, 50, 10, 0},
      {219, 219, 0, 0, 0, 3},   {301, 301, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    TEquation e;
    e.formulaText[0] = "left over";
    e.items.emplace_back();
    InitEquation(e, c.kind, 7, 50);
    SCOPED_TRACE(c.kind);
    EXPECT_EQ(e.kind, c.storedKind);
    EXPECT_EQ(e.interpolated, c.interpolated);
    EXPECT_EQ(e.familyDelay, c.familyDelay);
    EXPECT_EQ(e.termCount, c.termCount);
    EXPECT_EQ(e.auxValue1, c.auxValue1);
    EXPECT_EQ(e.penColour, 7);
    EXPECT_EQ(e.density, 50);
    EXPECT_EQ(e.stepDensity, 1);
    EXPECT_EQ(e.fieldRows, 20);
    EXPECT_EQ(e.fieldMode, 1);
    EXPECT_EQ(e.fieldLength, 15);
    EXPECT_EQ(e.familyLetter, 1);
    EXPECT_EQ(e.familySteps, 20);
    EXPECT_EQ(e.visible, 1);
    EXPECT_EQ(e.elementLength, 0.2L);
    EXPECT_EQ(e.rangeMin, -5);
    EXPECT_EQ(e.rangeMax, 5);
    EXPECT_EQ(e.divisions, (std::array<std::int16_t, 3>{36, 36, 36}));
    EXPECT_EQ(e.curvePoints, (std::array<std::int16_t, 2>{150, 150}));
    EXPECT_EQ(e.sideColour1, 5);
    EXPECT_EQ(e.sideColour2, 22);
    EXPECT_EQ(e.unclipped, 1);
    EXPECT_EQ(e.automaticExtent, 1);
    EXPECT_EQ(e.filled, 0);
    EXPECT_EQ(e.source1, -1);
    EXPECT_EQ(e.source2, -1);
    EXPECT_EQ(e.lowerBound, (TPoint2D{0, 0}));
    EXPECT_EQ(e.upperBound, (TPoint2D{1, 1}));
    EXPECT_EQ(e.boxMin(), (TPoint3D{0, 0, 0}));
    EXPECT_EQ(e.boxMax(), (TPoint3D{1, 1, 1}));
    EXPECT_EQ(e.values[2], e.values[0]);
    EXPECT_EQ(e.values[3], e.values[1]);
    EXPECT_TRUE(e.formulaText[0].empty());
    EXPECT_TRUE(e.items.empty());
  }
}

TEST(InitEquation, LagrangeBuffersAndDeepCopies) {
  TEquation e;
  InitEquation(e, kKindLagrange, 3, 50);
  EXPECT_TRUE(IsLagrangePolynomial(e));
  InitEquationBuffers(e);
  EXPECT_EQ(e.samples.size(), 9u);
  EXPECT_EQ(e.cellDepths.size(), 9u);
  e.formulaText[1] = "Polynom 1";
  e.trees[1].reset(NewNumberNode(TComplex(2)));
  TEquationItem item;
  item.trees[0].reset(NewNumberNode(TComplex(5)));
  e.items.push_back(std::move(item));
  TEquation copy;
  CopyEquation(copy, e);
  ASSERT_NE(copy.trees[1], nullptr);
  EXPECT_NE(copy.trees[1].get(), e.trees[1].get());
  EXPECT_TRUE(TreesEqual(copy.trees[1].get(), e.trees[1].get()));
  ASSERT_EQ(copy.items.size(), 1u);
  EXPECT_NE(copy.items.front().trees[0].get(), e.items.front().trees[0].get());
  TEquation noTrees;
  ReinitAndCopyEquation(noTrees, e, false);
  EXPECT_EQ(noTrees.formulaText[1], "Polynom 1");
  EXPECT_EQ(noTrees.trees[1], nullptr);
  FreeEquation(e);
  EXPECT_TRUE(e.items.empty() && e.samples.empty() && e.formulaText[1].empty() && !e.trees[1]);
}

TEST(RecordHelpers, NumberListsMatricesFrustaAndKinds) {
  std::vector<long double> v;
  // A minus belongs to a number only directly in front of it.
  EXPECT_EQ(ScanNumberList("1, -2.5; .5 x3-4 - 7 1.2.3", v), 8);
  EXPECT_EQ(v, (std::vector<long double>{1, -2.5L, 0.5L, 3, -4, 7, 1.2L, 0.3L}));
  std::string many;
  for (int k = 0; k < 200; ++k) many += "1 ";
  EXPECT_EQ(ScanNumberList(many, v), kMaxNumberList);

  const long double m[4] = {4, 7, 2, 6};
  long double inv[4];
  long double det = 0;
  ASSERT_EQ(InvertMatrix(m, inv, 2, det), 0);
  EXPECT_NEAR(static_cast<double>(det), 10, 1e-15);
  EXPECT_NEAR(static_cast<double>(inv[0]), 0.6, 1e-15);
  EXPECT_NEAR(static_cast<double>(inv[1]), -0.7, 1e-15);
  const long double singular[4] = {1, 2, 2, 4};
  EXPECT_EQ(InvertMatrix(singular, inv, 2, det), 14);

  // A cylinder of radius 1 and height 2 about the x axis; a cone through
  // the axis splits at the crossing.
  const TFrustum cyl = FrustumAreaVolume({0, 1}, {2, 1}, 0);
  EXPECT_NEAR(static_cast<double>(cyl.area), 4 * 3.141592653589793, 1e-12);
  EXPECT_NEAR(static_cast<double>(cyl.volume), 2 * 3.141592653589793, 1e-12);
  const TFrustum cones = FrustumAreaVolume({0, -1}, {2, 1}, 0);
  EXPECT_NEAR(static_cast<double>(cones.volume), 2 * 3.141592653589793 / 3, 1e-12);

  TEquation e;
  for (int k : {301, 302, 303, 306, 315, 316}) {
    e.kind = static_cast<std::uint16_t>(k);
    EXPECT_TRUE(IsSurfaceKind(e, true)) << k;
  }
  e.kind = kKindImplicitSurface;
  EXPECT_TRUE(IsSurfaceKind(e, false));
  EXPECT_FALSE(IsSurfaceKind(e, true));
  e.kind = kKindRevolution;
  e.subKind = kKindImplicit;
  EXPECT_FALSE(IsSurfaceKind(e, true));
  EXPECT_TRUE(IsSurfaceKind(e, false));
  e.values[0] = {0, 0, 0};
  e.values[1] = {1, 1, 1};
  EXPECT_TRUE(IsPointInEquationBox(e, 1, 0, 0.5L));
  EXPECT_FALSE(IsPointInEquationBox(e, 1.01L, 0, 0.5L));
}

}  // namespace
}  // namespace kv
