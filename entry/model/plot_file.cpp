#include "entry/model/plot_file.h"

#include <algorithm>

#include "plotcore/model/equation_record.h"
#include "shell/model/notes_block.h"

namespace kv {

namespace {

// The inventory is resized to the stored last index + 9 (its capacity, an
// i16 last index allowed); the largest stored last index that leaves room.
constexpr int kMaxStoredLastIndex = 32766 - 9;
// The fewest bytes an equation group can have: record, two empty lists and
// seven empty texts (a length field each).
constexpr std::size_t kLeastGroupBytes = kEquationRecordSize + 2 + 2 + kFormulaSlots * 2;

bool HasProtection(const TPlotSettingsBlock& s) {
  // The block is there whenever the mask is not 0: that is how it was
  // written, whatever the sign of the mask.
  return s.words[kWordProtection] != 0;
}
bool HasTerms(const TPlotSettingsBlock& s) { return s.words[kWordTerms] > 0; }
bool HasNotes(const TPlotSettingsBlock& s) { return s.flags[kFlagNoNotes] == 0; }
bool HasPicture(const TPlotSettingsBlock& s) { return s.words[kWordPicture] == kPictureMark; }
bool RealMode(const TPlotSettingsBlock& s) { return s.flags[kFlagRealMode] != 0; }

bool ReadBody(ByteReader& r, std::int32_t version, TPlotFileState& b) {
  if (!ReadPlotSettings(r, version, b.settings)) return false;
  const auto& words = b.settings.words;

  const int last = words[kWordLastIndex];
  if (last < -1 || last > kMaxStoredLastIndex ||
      static_cast<std::size_t>(last + 1) * kLeastGroupBytes > r.Remaining())
    return false;
  b.entries.reserve(static_cast<std::size_t>(last + 1));
  for (int i = 0; i <= last; ++i) {
    TPlotEntry entry;
    if (!ReadEquationGroup(r, version, words[kWordNameLength], entry)) return false;
    b.entries.push_back(std::move(entry));
  }
  if (!ReadAxisTitles(r, b.axisTitles)) return false;
  if (HasProtection(b.settings) && !ReadProtectionBlock(r, b.password)) return false;
  if (!b.tables.Read(r, !RealMode(b.settings))) return false;
  if (!r.Skip(kReservedBlockSize)) return false;
  if (!b.functions->ReadUserFunctions(r)) return false;
  if (!ReadTextLabels(r, b.labels, true)) return false;
  if (HasTerms(b.settings) && !ReadTermTexts(r, b.termLabels, b.termBlocks)) return false;
  if (!ReadPictures(r, b.pictures)) return false;
  if (!ReadTextLabels(r, b.captions, true, true)) return false;
  if (!ReadShadeRecords(r, b.shadings, version)) return false;
  if (version > 23 && !ReadMouseMarks(r, b.marks)) return false;
  if (HasNotes(b.settings) && !ReadNotesBlock(r, b.notes)) return false;
  if (HasPicture(b.settings)) b.pictureName = r.FixedAnsi(kPictureNameSize);
  return !r.Failed();
}

}  // namespace

int ReadPlotFile(ByteReader& r, std::int32_t fileType, TPlotFileState& state) {
  if (ReadCommonHeader(r, fileType, state.header) != THeaderResult::Ok || state.header.Version <= 0) return 11;
  if (state.header.Version > kPlotFileVersion) return 8;
  return ReadBody(r, state.header.Version, state) ? 0 : 11;
}

void WritePlotFile(ByteWriter& w, const TPlotFileState& s) {
  WriteCommonHeader(w, s.header);
  // The entry count and the name field follow from what is written.
  TPlotSettingsBlock settings = s.settings;
  settings.words[kWordLastIndex] = static_cast<std::int16_t>(s.entries.size()) - 1;
  settings.words[kWordNameLength] = kStoredNameLength;
  WritePlotSettings(w, settings);
  for (const TPlotEntry& entry : s.entries) {
    const std::size_t start = w.Size();
    WriteEquationGroup(w, entry.equation, entry.name, entry.groupMember);
    const std::size_t n = entry.recordPatch.size();
    if (n > 0 && n <= kEquationRecordSize && entry.recordPatchOffset <= kEquationRecordSize - n)
      std::copy(entry.recordPatch.begin(), entry.recordPatch.end(),
                w.Data().begin() + static_cast<std::ptrdiff_t>(start + entry.recordPatchOffset));
  }
  WriteAxisTitles(w, s.axisTitles);
  if (HasProtection(s.settings)) WriteProtectionBlock(w, s.password);
  s.tables.Write(w, !RealMode(s.settings));
  w.Zeros(kReservedBlockSize);
  s.functions->WriteUserFunctions(w);
  WriteTextLabels(w, s.labels);
  if (HasTerms(s.settings)) WriteTermTexts(w, s.termLabels, s.termBlocks);
  WritePictures(w, s.pictures);
  WriteTextLabels(w, s.captions);
  WriteShadeRecords(w, s.shadings);
  WriteMouseMarks(w, s.marks);
  if (HasNotes(s.settings)) WriteNotesBlock(w, s.notes);
  if (HasPicture(s.settings)) w.FixedAnsi(s.pictureName, kPictureNameSize);
}

}  // namespace kv
