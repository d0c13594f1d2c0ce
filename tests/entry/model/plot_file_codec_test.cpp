// The record codecs of the plot file against their byte layouts, and what
// they do with counts and lengths a file cannot hold.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "entry/model/derived_items.h"
#include "entry/model/plot_file_blocks.h"
#include "graphics/model/picture_record.h"
#include "graphics/model/text_label_record.h"
#include "plotcore/model/equation_record.h"
#include "shell/model/notes_block.h"

namespace kv {
namespace {

std::int32_t I32At(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::int32_t>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
                                   (static_cast<std::uint32_t>(b[at + 3]) << 24));
}
std::int16_t I16At(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::int16_t>(b[at] | (b[at + 1] << 8));
}
bool ExtendedAt(const std::vector<std::uint8_t>& b, std::size_t at, long double v) {
  const Extended e = EncodeExtended(v);
  return std::memcmp(b.data() + at, e.data(), e.size()) == 0;
}

TTextLabel SampleLabel() {
  TTextLabel l;
  l.number = 3;
  l.transparent = 1;
  l.text = "Maximum ä";
  l.colour = 0x00FF8040;
  l.anchorX = 1.5L;
  l.right = 2.5L;
  l.bottom = -0.75L;
  l.anchorY = 0.25L;
  l.font.height = -16;
  l.font.escapement = 450;
  l.font.SetFace("Arial");
  l.pointSize = 12;
  l.binding = kBindFrame;
  l.visible = 0;
  return l;
}

TEST(PlotFileCodec, TextLabelsHaveTheir179ByteLayoutAndListsAreRenumbered) {
  std::vector<TTextLabel> list(2, SampleLabel());
  list[1].termIndex = 1004;
  ByteWriter w;
  WriteTextLabels(w, list);
  const auto& b = w.Data();
  ASSERT_EQ(b.size(), 2 + 2 * kTextLabelSize);
  const std::size_t at = 2;
  EXPECT_EQ(I16At(b, at), 3);
  EXPECT_EQ(b[at + 2], 1);
  EXPECT_STREQ(reinterpret_cast<const char*>(b.data() + at + 3), "Maximum \xE4") << "Windows-1252";
  EXPECT_EQ(I32At(b, at + 64), 0x00FF8040);
  EXPECT_TRUE(ExtendedAt(b, at + 68, 1.5L));
  EXPECT_TRUE(ExtendedAt(b, at + 78, 2.5L));
  EXPECT_TRUE(ExtendedAt(b, at + 88, -0.75L));
  EXPECT_TRUE(ExtendedAt(b, at + 98, 0.25L));
  EXPECT_EQ(I32At(b, at + 116), 450) << "the font's escapement is the angle";
  EXPECT_EQ(I16At(b, at + 168), 12);
  EXPECT_EQ(I32At(b, at + 170), 0) << "no link in a file";
  EXPECT_EQ(I16At(b, at + 174), kBindFrame);
  EXPECT_EQ(b[at + 176], 0);
  EXPECT_EQ(I16At(b, at + 177), -1);

  const struct {
    bool keepVisibility, keepNumbers;
    std::uint8_t visible;
    std::int16_t second;
  } cases[] = {{false, false, 1, 1}, {true, false, 0, 1}, {true, true, 0, 3}};
  for (const auto& c : cases) {
    ByteReader r(b);
    std::vector<TTextLabel> read;
    ASSERT_TRUE(ReadTextLabels(r, read, c.keepVisibility, c.keepNumbers));
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[1].number, c.second);
    EXPECT_EQ(read[1].visible, c.visible);
    EXPECT_EQ(read[1].termIndex, -1);
    EXPECT_EQ(read[0].text, "Maximum ä");
  }
}

TEST(PlotFileCodec, PicturesAreWrittenInTheCurrentFormAndReadInBoth) {
  TPictureRecord p;
  p.metafile = {1, 0, 0, 0, 0xAA, 0xBB};
  p.binding = 4;
  p.transparent = 0;
  p.xmin = -1;
  p.xmax = 2;
  p.ymin = -3;
  p.ymax = 4;
  ByteWriter w;
  WritePictures(w, {p});
  const auto& b = w.Data();
  ASSERT_EQ(b.size(), 2 + 85 + p.metafile.size());
  EXPECT_EQ(I16At(b, 0), -1) << "negative count: binding blocks follow";
  EXPECT_TRUE(ExtendedAt(b, 2, -1));
  EXPECT_TRUE(ExtendedAt(b, 32, 4));
  EXPECT_EQ(b[42], 0);
  EXPECT_EQ(I32At(b, 43), 4);
  EXPECT_EQ(I32At(b, 83), 6);
  EXPECT_EQ(b[91], 0xAA);
  ByteReader r(b);
  std::vector<TPictureRecord> read;
  ASSERT_TRUE(ReadPictures(r, read));
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0], p);

  ByteWriter older;  // a positive count: no binding block
  older.I16(1);
  for (long double v : {0.0L, 1.0L, 0.0L, 1.0L}) older.LongDouble(v);
  older.U8(1);
  older.U32(2);
  older.U16(0x0907);
  ByteReader r2(older.Data());
  ASSERT_TRUE(ReadPictures(r2, read));
  EXPECT_EQ(read[0].binding, -1);
  EXPECT_EQ(read[0].metafile, (std::vector<std::uint8_t>{7, 9}));
  EXPECT_EQ(r2.Remaining(), 0u);
}

TEST(PlotFileCodec, TermLabelsCarryTheirBlocksAndNumberOnFromTheTable) {
  TTermBlock block;
  block.terms = {"sin(x)", "A", "", "0"};
  block.show = {1, 1, 0, 0, 1};
  block.shownCount = 2;
  block.hyphenChar = 150;
  block.decimals = {2, 4, 3};
  block.values[9] = 77;
  TTextLabel label = SampleLabel();
  label.termIndex = kTermIndexBase + 1;
  ByteWriter w;
  WriteTermTexts(w, {label}, {TTermBlock{}, block});
  const auto& b = w.Data();
  ASSERT_EQ(b.size(), 2 + kTextLabelSize + kTermBlockSize + 4 * kTermStringSize);
  const std::size_t at = 2 + kTextLabelSize;
  EXPECT_EQ(I32At(b, at + 21), 2) << "shown count of the first three";
  EXPECT_EQ(I32At(b, at + 25), 150);
  EXPECT_EQ(I32At(b, at + 33), 4);
  EXPECT_EQ(I32At(b, at + 77), 77);
  EXPECT_STREQ(reinterpret_cast<const char*>(b.data() + at + kTermBlockSize), "sin(x)");

  std::vector<TTextLabel> labels;
  std::vector<TTermBlock> blocks(3);  // three blocks already in the table
  ByteReader r(b);
  ASSERT_TRUE(ReadTermTexts(r, labels, blocks));
  ASSERT_EQ(blocks.size(), 4u);
  EXPECT_EQ(labels.at(0).termIndex, kTermIndexBase + 3);
  EXPECT_EQ(blocks[3], block);
}

// Every reader refuses what its block cannot hold and marks the stream
// failed, so the file reader gives up.
TEST(PlotFileCodec, CountsAndSizesBeyondTheDataOrTheLimitsAreRefused) {
  using Build = std::function<void(ByteWriter&)>;
  using Read = std::function<bool(ByteReader&)>;
  const Read labels = [](ByteReader& r) { std::vector<TTextLabel> l; return ReadTextLabels(r, l, true); };
  const Read pictures = [](ByteReader& r) { std::vector<TPictureRecord> p; return ReadPictures(r, p); };
  const struct {
    const char* what;
    Build build;
    Read read;
  } cases[] = {
      {"negative label count", [](ByteWriter& w) { w.I16(-1); }, labels},
      {"label count beyond the data", [](ByteWriter& w) { w.I16(2); w.Zeros(kTextLabelSize); }, labels},
      {"picture count beyond the limit", [](ByteWriter& w) { w.I16(-(kMaxPictures + 1)); w.Zeros(100000); }, pictures},
      {"picture bigger than the data", [](ByteWriter& w) { w.I16(-1); w.Zeros(81); w.U32(1000); w.Zeros(10); }, pictures},
      {"picture bigger than any picture", [](ByteWriter& w) { w.I16(1); w.Zeros(41); w.U32(0xFFFFFFFFu); }, pictures},
      {"more term labels than the table holds",
       [](ByteWriter& w) {
         w.I16(kMaxTermBlocks + 1);
         w.Zeros((kMaxTermBlocks + 1) * (kTextLabelSize + kTermBlockSize + 4 * kTermStringSize));
       },
       [](ByteReader& r) {
         std::vector<TTextLabel> l;
         std::vector<TTermBlock> b;
         return ReadTermTexts(r, l, b);
       }},
      {"notes longer than 64000 characters",
       [](ByteWriter& w) { w.U16(kNotesBlockMax + 1); w.Zeros(kNotesBlockMax + 1); },
       [](ByteReader& r) { std::string n; return ReadNotesBlock(r, n); }},
      {"axis title longer than its field", [](ByteWriter& w) { w.U16(300); w.Zeros(304); },
       [](ByteReader& r) { std::array<std::string, 3> t; return ReadAxisTitles(r, t); }},
  };
  for (const auto& c : cases) {
    ByteWriter w;
    c.build(w);
    ByteReader r(w.Data());
    EXPECT_FALSE(c.read(r)) << c.what;
    EXPECT_TRUE(r.Failed()) << c.what;
  }
  ByteWriter w;
  WriteNotesBlock(w, std::string(kNotesMaxChars + 5, 'n'));
  EXPECT_EQ(w.Size(), 2 + kNotesBlockMax) << "the writer cuts what the reader would refuse";
}

// ---- equation groups ----

TEST(PlotFileCodec, AGroupMembersColourIsStoredPlus1000AndTheNameFollowsWord41) {
  TEquation e;
  InitEquation(e, kKindExplicit, 7, 50);
  e.formulaText[1] = "xsin(x)";
  ByteWriter w;
  WriteEquationGroup(w, e, "Parabel", true);
  EXPECT_EQ(I16At(w.Data(), 461), 1007);
  EXPECT_EQ(e.penColour, 7) << "the live colour stays";
  EXPECT_EQ(I16At(w.Data(), kEquationRecordSize + 4 + 3), 8) << "\"xsin(x)\" and its NUL";
  ByteReader r(w.Data());
  TPlotEntry entry;
  ASSERT_TRUE(ReadEquationGroup(r, kPlotFileVersion, kStoredNameLength, entry));
  EXPECT_EQ(r.Remaining(), 0u);
  EXPECT_EQ(entry.equation.penColour, 7);
  EXPECT_TRUE(entry.groupMember);
  EXPECT_EQ(entry.name, "Parabel");

  // The name takes word 41 + 1 bytes; only 20 characters are kept.
  const struct {
    int nameLength;
    std::string stored, expected;
  } names[] = {{20, "Kreis", "Kreis"}, {0, "", ""}, {5, "abcde", "abcde"}, {40, std::string(40, 'q'), std::string(20, 'q')}};
  for (const auto& c : names) {
    ByteWriter g;
    WriteEquationGroup(g, e, "", false);
    std::vector<std::uint8_t> bytes(g.Data().begin(), g.Data().end() - kEquationNameSize);
    std::string field = c.stored;
    if (c.nameLength > 0) field.resize(static_cast<std::size_t>(c.nameLength) + 1, '\0');
    bytes.insert(bytes.end(), field.begin(), field.end());
    bytes.push_back(0x5A);  // what follows the group
    ByteReader rn(bytes);
    ASSERT_TRUE(ReadEquationGroup(rn, kPlotFileVersion, c.nameLength, entry)) << c.nameLength;
    EXPECT_EQ(entry.name, c.expected);
    EXPECT_EQ(rn.U8(), 0x5A) << "the stream stays in step";
  }
}

TEST(PlotFileCodec, InterpolationNodesTravelInTheRecordsValueBlocks) {
  TEquation e;
  InitEquation(e, kKindLagrange, 3, 50);
  InitEquationBuffers(e);
  for (int j = 0; j < 9; ++j) e.samples[static_cast<std::size_t>(j)] = {j * 0.5L, j * j - 1.0L, 0};
  PackNodesIntoRecord(e);
  ByteWriter w;
  WriteEquationGroup(w, e, "", false);
  EXPECT_TRUE(ExtendedAt(w.Data(), 291, -1.0L)) << "y of node 0";
  EXPECT_TRUE(ExtendedAt(w.Data(), 301, 0.5L)) << "x of node 1";
  EXPECT_TRUE(ExtendedAt(w.Data(), 451, 63.0L)) << "y of node 8 ends at byte 460";
  ByteReader r(w.Data());
  TPlotEntry entry;
  ASSERT_TRUE(ReadEquationGroup(r, kPlotFileVersion, kStoredNameLength, entry));
  for (std::size_t j = 0; j < 9; ++j) {
    EXPECT_EQ(entry.equation.samples.at(j).x, e.samples[j].x);
    EXPECT_EQ(entry.equation.samples.at(j).y, e.samples[j].y);
  }
}

TEST(PlotFileCodec, TheReaderFixesRecordsByKindAndVersion) {
  const struct {
    const char* what;
    int kind;
    std::int32_t version;
    std::function<void(TEquation&)> prepare;
    std::function<void(const TEquation&)> check;
  } cases[] = {
      {"204 gets byte 58", kKindImplicit, 33, [](TEquation& e) { e.polarInput = 0; },
       [](const TEquation& e) { EXPECT_EQ(e.polarInput, 1); }},
      {"204 before version 11 loses byte 50", kKindImplicit, 10, [](TEquation& e) { e.restricted = 1; },
       [](const TEquation& e) { EXPECT_EQ(e.restricted, 0); }},
      {"204 from version 11 keeps byte 50", kKindImplicit, 11, [](TEquation& e) { e.restricted = 1; },
       [](const TEquation& e) { EXPECT_EQ(e.restricted, 1); }},
      {"215 counts the numbers of its fourth text", kKindPointSequence, 33,
       [](TEquation& e) { e.formulaText[3] = "1.5; -2 x 7"; e.auxValue3 = 99; },
       [](const TEquation& e) {
         EXPECT_EQ(e.auxValue3, 3);
         EXPECT_EQ(e.cellDepths, (std::vector<long double>{1.5L, -2.0L, 7.0L}));
       }},
      {"an old point with byte 57 gets byte 59", kKindPoint, 29, [](TEquation& e) { e.drawFilled = 1; },
       [](const TEquation& e) { EXPECT_EQ(e.interpolated, 1); }},
      {"a current point keeps byte 59 and its roles", kKindPoint, 30,
       [](TEquation& e) { e.drawFilled = 1; e.subKind = 14; },
       [](const TEquation& e) { EXPECT_EQ(e.interpolated, 0); EXPECT_EQ(e.subKind, 14); }},
      // An old point's roles from its coordinates: x and y, r and t (the
      // guide pieces 0, 1, 3 and 4), in space also z and p.
      {"an old point gets the roles XY", kKindPoint, 29, [](TEquation& e) { e.subKind = 7777; },
       [](const TEquation& e) { EXPECT_EQ(e.subKind, 1 + 4); }},
      {"an old polar point gets the roles XY/RT", kKindPoint, 29, [](TEquation& e) { e.polarInput = 1; },
       [](const TEquation& e) { EXPECT_EQ(e.subKind, 1 + 4 + 64 + 256); }},
      // A graph's point saved by earlier builds kept its parameter in the
      // seventh text; it is read into the fourth, where the point is drawn from.
      {"a graph's point moves its parameter from the seventh text", kKindPoint, 33,
       [](TEquation& e) { e.derivation = kDerivedTracePoint; e.formulaText[6] = "1.5"; },
       [](const TEquation& e) { EXPECT_EQ(e.formulaText[3], "1.5"); EXPECT_EQ(e.formulaText[6], ""); }},
      {"a graph's point keeps a fourth text", kKindPoint, 33,
       [](TEquation& e) { e.derivation = kDerivedTracePoint; e.formulaText[3] = "2"; e.formulaText[6] = "x"; },
       [](const TEquation& e) { EXPECT_EQ(e.formulaText[3], "2"); EXPECT_EQ(e.formulaText[6], "x"); }},
      {"an old spherical point gets the roles XYZ/RTP", kKindPoint3D, 29, [](TEquation& e) { e.arrowMode = 2; },
       [](const TEquation& e) { EXPECT_EQ(e.subKind, 1 + 4 + 16 + 64 + 256 + 1024); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TEquation e;
    InitEquation(e, c.kind, 2, 50);
    c.prepare(e);
    ByteWriter w;
    WriteEquationGroup(w, e, "", false);
    ByteReader r(w.Data());
    TPlotEntry entry;
    ASSERT_TRUE(ReadEquationGroup(r, c.version, kStoredNameLength, entry));
    c.check(entry.equation);
  }
}

}  // namespace
}  // namespace kv
