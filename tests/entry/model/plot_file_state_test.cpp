// The plot file as a value, without a window: a state written and read back
// gives the same bytes again, every optional block travels with the word or
// flag that announces it, and damaged or foreign files are refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "entry/model/plot_file.h"

namespace kv {
namespace {

constexpr std::int32_t kType = 841;

std::vector<std::uint8_t> Bytes(const TPlotFileState& s) {
  ByteWriter w;
  WritePlotFile(w, s);
  return w.Data();
}

// A state with two entries and every optional block present.
TPlotFileState FullState() {
  TPlotFileState s;
  s.header.TypeCode = kType;
  s.header.Version = kPlotFileVersion;
  s.settings.words[kWordLastIndex] = 1;
  s.settings.words[kWordNameLength] = kStoredNameLength;
  s.settings.words[kWordProtection] = kProtectSave;
  s.settings.words[kWordTerms] = kTermMark;
  s.settings.words[kWordPicture] = kPictureMark;
  s.settings.flags[kFlagRealMode] = 0;  // complex: both parts of the tables
  s.settings.flags[kFlagNoNotes] = 0;
  for (int k = 0; k < 2; ++k) {
    TPlotEntry entry;
    InitEquation(entry.equation, k == 0 ? kKindExplicit : kKindParametric, 3 + k, 50);
    entry.equation.formulaText[1] = k == 0 ? "xsin(x)" : "sin(t)";
    entry.name = k == 0 ? "f" : "";
    entry.groupMember = k == 1;
    s.entries.push_back(std::move(entry));
  }
  s.axisTitles = {"x", "y", "z"};
  s.password = TPasswordBlock{"geheim", "Autorin", "2024", "a@b.de", "www"};
  s.tables.value[1] = TComplex(2, -1);
  EXPECT_EQ(s.functions->DefineUserFunction("quad", 1, "xx+1", false), 0);
  TTextLabel label;
  label.text = "Maximum ä";
  s.labels.push_back(label);
  TTextLabel term;
  term.termIndex = kTermIndexBase;
  s.termLabels.push_back(term);
  s.termBlocks.push_back(TTermBlock{});
  s.shadings.push_back(TShadeRecord{});
  s.marks.push_back(TMouseMark{});
  s.notes = "Notizen\r\nzwei Zeilen";
  s.pictureName = "bild.bmp";
  return s;
}

TEST(PlotFileState, WrittenStateReadsBackToTheSameBytes) {
  const std::vector<std::uint8_t> first = Bytes(FullState());
  ByteReader r(first);
  TPlotFileState back;
  ASSERT_EQ(ReadPlotFile(r, kType, back), 0);
  EXPECT_EQ(r.Remaining(), 0u);
  ASSERT_EQ(back.entries.size(), 2u);
  EXPECT_EQ(back.entries[0].equation.formulaText[1], "xsin(x)");
  EXPECT_EQ(back.entries[0].name, "f");
  EXPECT_TRUE(back.entries[1].groupMember);
  EXPECT_EQ(back.password.Password, "geheim");
  EXPECT_EQ(back.password.Homepage, "www");
  EXPECT_EQ(static_cast<double>(back.tables.value[1].im), -1.0);
  EXPECT_EQ(back.functions->UserFunctions().Count(), 1);
  EXPECT_EQ(back.labels.size(), 1u);
  EXPECT_EQ(back.termBlocks.size(), 1u);
  EXPECT_EQ(back.notes, "Notizen\r\nzwei Zeilen");
  EXPECT_EQ(back.pictureName, "bild.bmp");
  EXPECT_EQ(Bytes(back), first);
}

// Bytes a window puts over a record image land at their offset inside that
// entry's record, come back with the image on reading, and never reach past
// the record.
TEST(PlotFileState, RecordBytesGoIntoTheirEntrysImageAndComeBack) {
  TPlotFileState s = FullState();
  const std::vector<std::uint8_t> plain = Bytes(s);
  s.entries[1].recordPatchOffset = 371;
  s.entries[1].recordPatch = {0x11, 0x22, 0x33, 0x00, 0x44};
  const std::vector<std::uint8_t> patched = Bytes(s);
  ASSERT_EQ(patched.size(), plain.size());
  std::vector<std::size_t> differ;
  for (std::size_t k = 0; k < plain.size(); ++k)
    if (plain[k] != patched[k]) differ.push_back(k);
  ASSERT_FALSE(differ.empty());
  ByteReader r(patched);
  TPlotFileState back;
  ASSERT_EQ(ReadPlotFile(r, kType, back), 0);
  ASSERT_EQ(back.entries[1].recordImage.size(), kEquationRecordSize);
  EXPECT_EQ(back.entries[1].recordImage[371], 0x11);
  EXPECT_EQ(back.entries[1].recordImage[375], 0x44);
  // The record starts 371 bytes before the first changed byte.
  const std::size_t start = differ.front() - 371;
  EXPECT_TRUE(std::equal(back.entries[1].recordImage.begin(), back.entries[1].recordImage.end(),
                         patched.begin() + static_cast<std::ptrdiff_t>(start)));
  EXPECT_EQ(back.entries[0].recordImage.size(), kEquationRecordSize);

  // Bytes that would reach past the record are not written at all.
  s.entries[1].recordPatchOffset = kEquationRecordSize - 2;
  EXPECT_EQ(Bytes(s), plain);
  s.entries[1].recordPatchOffset = static_cast<std::size_t>(-1);
  EXPECT_EQ(Bytes(s), plain);
}

TEST(PlotFileState, OptionalBlocksFollowTheirAnnouncement) {
  TPlotFileState full = FullState();
  const std::size_t fullSize = Bytes(full).size();
  struct Case {
    const char* what;
    void (*drop)(TPlotFileState&);
  } cases[] = {
      {"protection", [](TPlotFileState& s) { s.settings.words[kWordProtection] = 0; }},
      {"terms", [](TPlotFileState& s) { s.settings.words[kWordTerms] = -1; }},
      {"notes", [](TPlotFileState& s) { s.settings.flags[kFlagNoNotes] = 1; }},
      {"picture name", [](TPlotFileState& s) { s.settings.words[kWordPicture] = 0; }},
      {"imaginary parts", [](TPlotFileState& s) { s.settings.flags[kFlagRealMode] = 1; }},
  };
  for (const Case& c : cases) {
    TPlotFileState s = FullState();
    c.drop(s);
    const std::vector<std::uint8_t> bytes = Bytes(s);
    EXPECT_LT(bytes.size(), fullSize) << c.what;
    ByteReader r(bytes);
    TPlotFileState back;
    EXPECT_EQ(ReadPlotFile(r, kType, back), 0) << c.what;
    EXPECT_EQ(r.Remaining(), 0u) << c.what;
  }
}

TEST(PlotFileState, ForeignNewerAndDamagedFilesAreRefused) {
  const std::vector<std::uint8_t> good = Bytes(FullState());
  {
    ByteReader r(good);
    TPlotFileState s;
    EXPECT_EQ(ReadPlotFile(r, kType + 1, s), 11) << "another window kind's file";
  }
  {
    TPlotFileState newer = FullState();
    newer.header.Version = kPlotFileVersion + 1;
    const std::vector<std::uint8_t> bytes = Bytes(newer);
    ByteReader r(bytes);
    TPlotFileState s;
    EXPECT_EQ(ReadPlotFile(r, kType, s), 8);
  }
  // Every cut of the file is refused, never read as something else.
  for (std::size_t n = 0; n < good.size(); n += 1 + n / 16) {
    const std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
    ByteReader r(cut);
    TPlotFileState s;
    EXPECT_EQ(ReadPlotFile(r, kType, s), 11) << "cut at " << n;
  }
}

}  // namespace
}  // namespace kv
