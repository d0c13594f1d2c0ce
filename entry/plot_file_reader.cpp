// Reading a plot file into a plot window (the block order is in
// plot_file_blocks.h).  The whole file is read into a TPlotFileBody first;
// every count, length and name is checked against its field and the bytes
// left.  Only a complete body is applied, so a truncated or damaged file
// gives message 11 and leaves the window as it was.
#include <filesystem>
#include <list>
#include <memory>
#include <system_error>

#include "entry/plot11_win.h"
#include "formula/formula_engine.h"
#include "graphics/picture_record.h"
#include "graphics/text_label_record.h"
#include "platform/dc.h"
#include "plotcore/equation_record.h"
#include "shell/notes_block.h"
#include "shell/settings_file.h"

namespace kv {

namespace {

// The inventory is resized to the stored last index + 9 (its capacity, an
// i16 last index allowed); the largest stored last index that leaves room.
constexpr int kMaxStoredLastIndex = 32766 - 9;
// The fewest bytes an equation group can have: record, two empty lists and
// seven empty texts (a length field each).
constexpr std::size_t kLeastGroupBytes = kEquationRecordSize + 2 + 2 + kFormulaSlots * 2;

bool IsRegularFile(const std::string& name) {
  std::error_code ec;
  return !name.empty() && std::filesystem::is_regular_file(name, ec);
}

}  // namespace

struct TPlot11Win::TPlotFileBody {
  TPlotSettingsBlock settings;
  std::vector<TPlotEntry> entries;
  std::array<std::string, 3> axisTitles;
  bool hasPassword = false;
  TPasswordBlock password;
  TParameterTables tables;
  // The user functions as read and checked, handed to the window's own
  // engine when the body is applied.
  std::unique_ptr<TFormulaEngine> functions = std::make_unique<TFormulaEngine>();
  std::vector<TTextLabel> labels;
  std::vector<TTextLabel> termLabels;
  std::vector<TTermBlock> termBlocks;
  std::vector<TPictureRecord> pictures;
  std::vector<TTextLabel> captions;
  std::list<TShadeRecord> shadings;
  std::vector<TMouseMark> marks;
  std::string notes;
  bool hasPicture = false;
  std::string pictureName;
};

int TPlot11Win::ReadFile() {
  if (!OpenForReading(FileData.FileName)) return 11;
  TCommonHeader header;
  if (ReadCommonHeader(*In(), FileTypeCode, header) != THeaderResult::Ok || header.Version <= 0) {
    AbandonFile();
    return 11;
  }
  if (header.Version > kPlotFileVersion) {
    AbandonFile();
    return 8;
  }
  TPlotFileBody body;
  const bool complete = ReadPlotBody(header.Version, body);
  AbandonFile();
  if (!complete) return 11;
  ApplyFileHeader(header);
  ApplyPlotBody(header.Version, body);
  return 0;
}

bool TPlot11Win::ReadPlotBody(std::int32_t version, TPlotFileBody& b) {
  ByteReader& r = *In();
  if (!ReadPlotSettings(r, version, b.settings)) return false;
  const auto& words = b.settings.words;
  const auto& flags = b.settings.flags;

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
  // The block is there whenever the mask is not 0: that is how it was
  // written, whatever the sign of the mask.
  b.hasPassword = words[kWordProtection] != 0;
  if (b.hasPassword && !ParsePasswordBlock(b.password)) return false;
  b.tables = Tables();
  if (!b.tables.Read(r, flags[kFlagRealMode] == 0)) return false;
  if (!r.Skip(kReservedBlockSize)) return false;
  if (!b.functions->ReadUserFunctions(r)) return false;
  if (!ReadTextLabels(r, b.labels, true)) return false;
  if (words[kWordTerms] > 0 && !ReadTermTexts(r, b.termLabels, b.termBlocks)) return false;
  if (!ReadPictures(r, b.pictures)) return false;
  if (!ReadTextLabels(r, b.captions, true, true)) return false;
  if (!ReadShadeRecords(r, b.shadings, version)) return false;
  if (version > 23 && !ReadMouseMarks(r, b.marks)) return false;
  if (flags[kFlagNoNotes] == 0 && !ReadNotesBlock(r, b.notes)) return false;
  b.hasPicture = words[kWordPicture] == kPictureMark;
  if (b.hasPicture) b.pictureName = r.FixedAnsi(kPictureNameSize);
  return !r.Failed();
}

void TPlot11Win::ApplyPlotBody(std::int32_t version, TPlotFileBody& b) {
  const TPlotSettingsBlock& s = b.settings;
  loadedFileVersion = version;
  CloseStaleDialogs(true);

  // Protection: an empty stored password protects nothing.
  std::int16_t mask = s.words[kWordProtection];
  if (b.hasPassword) {
    ApplyPasswordBlock(b.password);
    if (Password.empty()) mask = 0;
  } else {
    ClearProtection();
  }
  ProtectionMask = mask;
  Unlocked = ProtectionMask > 0 ? 0 : 1;

  ApplyFileSettings(s, version);

  // The inventory, with room for nine more entries.
  const int last = static_cast<int>(b.entries.size()) - 1;
  firstOdeEquation = firstSlopeEquation = firstSequenceEquation = -1;
  selectedMapping = -1;
  if (!ResizeInventory(last + 9, false)) {
    ClearInventory();
    b.entries.clear();
  }
  for (int i = 0; i < static_cast<int>(b.entries.size()); ++i) {
    TPlotEntry& entry = b.entries[static_cast<std::size_t>(i)];
    Equation(i) = std::move(entry.equation);
    EquationName(i) = std::move(entry.name);
    EquationFlag(i) = entry.groupMember ? 1 : 0;
    equationCount = static_cast<std::int16_t>(i);
    const int kind = Equation(i).kind;
    auto remember = [i](std::int16_t& field) {
      if (field < 0) field = static_cast<std::int16_t>(i);
    };
    if (kind % 100 == 10) remember(firstOdeEquation);
    if (kind % 100 == 11) remember(firstSlopeEquation);
    if (kind % 100 == 12) remember(firstSequenceEquation);
    if (kind >= 401 && kind <= 403) selectedMapping = static_cast<std::int16_t>(i);
    if (kind == kKindPlanets) ReadPlanetValues(i);
  }
  currentEquation = -1;

  AxisNames = std::move(b.axisTitles);
  Tables() = b.tables;
  {
    ByteWriter functions;
    b.functions->WriteUserFunctions(functions);
    ByteReader reader(functions.Data());
    ReadUserFunctions(reader);
  }
  TextLabels = std::move(b.labels);
  TermBlocks = std::move(b.termBlocks);
  TermLabels = std::move(b.termLabels);
  Pictures = std::move(b.pictures);
  equationLabels = CaptionsFromRecords(b.captions, equationCount);
  shadings = std::move(b.shadings);
  mouseMarks = std::move(b.marks);
  SetNotes(b.notes);

  // The background picture: only a plain file is opened (a name read from a
  // file could name a device or a pipe).
  FreePicture();
  if (b.hasPicture) {
    PictureFileData.FileName = b.pictureName;
    if (IsRegularFile(b.pictureName)) OpenPicture();
  }

  // Trees, interpolations and derived entries anew.
  for (int i = 0; i <= equationCount; ++i)
    if (Equation(i).derivation < 1) CompileEquation(i);
  for (int i = 0; i <= equationCount; ++i)
    if (IsLagrangePolynomial(Equation(i))) RebuildInterpolation(i);
  loading = 1;
  RebuildDerivedEquations(-1);
  loading = 0;
  OnViewChanged();
  ViewHistory(0);
  drawn = 0;
  PlotBufferValid = 0;
  BufferValid.fill(0);
  InvalidateBackBuffer(PaintBufferIndex);
  if (IsCreated()) {
    SetBkgndColor(GetColour(ColourSlots[0]));
    plat::ClientDC dc(*this);
    MeasureLineHeight(dc);
  }
  UpdateView();
  UpdateMenuChecks(false);

  RestoreDialogs(s, version);
  Modified = 0;
}

void TPlot11Win::RestoreDialogs(const TPlotSettingsBlock& s, std::int32_t version) {
  // While several files are printed one after another nothing opens.
  const bool batch = SimultaneousPrint != 0;
  inventoryHidden = 1;
  InventoryChanged(false);
  if (s.flags[kFlagInventoryShown] && !batch) ShowInventory();
  RefreshSliderDialogs();
  for (int k = 0; k < kSliderFlagCount; ++k)
    if (!batch && s.flags[static_cast<std::size_t>(kFlagSliderHiddenFirst + k)] == 0) OpenSliderDialog(k);
  const bool showNotes = !batch && s.flags[kFlagNotesHidden] == 0 && (ProtectionMask & kProtectNotes) == 0;
  NotesShown = showNotes ? 1 : 0;
  if (showNotes) ShowNotes();
  const std::int32_t open = version < 25 ? 0 : static_cast<std::uint16_t>(s.words[kWordOpenWindows]);
  RestoreSideWindows(open);
  RestoreIntegrationDialog(s.words[kWordIntegrationFirst], s.words[kWordIntegrationFirst + 1],
                           version < 25 ? std::int16_t{0} : s.words[kWordIntegrationFirst + 2]);
}

void TPlot11Win::RestoreSideWindows(std::int32_t mask) {
  // Bits 0-3 the time windows and 7-9 the plane windows; 4, 5, 6 the dy/dt,
  // dy/dx and sequence dialogs.
  for (int k = 0; k < kTimeWindowCount; ++k)
    if (mask & (1 << k)) OpenTimeWindow(k);
  for (int k = 0; k < kPlaneWindowCount; ++k)
    if (mask & (1 << (kOpenPlaneShift + k))) OpenPlaneWindow(k);
  if (mask & 16) OpenAutonomousTrajectoryDialog();
  if (mask & 32) OpenSlopeTrajectoryDialog();
  if (mask & 64) OpenSequenceDialog();
}

}  // namespace kv
