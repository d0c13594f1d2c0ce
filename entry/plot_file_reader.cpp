// Reading a plot file into a plot window.  The whole file is parsed into a
// TPlotFileState first (entry/model/plot_file.h), which checks every count,
// length and name.  Only a complete state is applied, so a truncated or
// damaged file gives message 11 and leaves the window as it was.
#include <filesystem>
#include <system_error>

#include "entry/inventory_dialog.h"
#include "entry/model/plot_file.h"
#include "entry/plot11_win.h"
#include "platform/dc.h"
#include "shell/note_win.h"

namespace kv {

namespace {

bool IsRegularFile(const std::string& name) {
  std::error_code ec;
  return !name.empty() && std::filesystem::is_regular_file(name, ec);
}

}  // namespace

int TPlot11Win::ReadFile() {
  if (!OpenForReading(FileData.FileName)) return 11;
  TPlotFileState state;
  const int code = ReadPlotFile(*In(), FileTypeCode, state);
  AbandonFile();
  if (code != 0) return code;
  ApplyFileHeader(state.header);
  ApplyPlotState(state);
  return 0;
}

void TPlot11Win::ApplyPlotState(TPlotFileState& b) {
  const std::int32_t version = b.header.Version;
  const TPlotSettingsBlock& s = b.settings;
  loadedFileVersion = version;
  CloseStaleDialogs(true);
  TakeRecordBytes(b);

  // Protection: an empty stored password protects nothing.
  std::int16_t mask = s.words[kWordProtection];
  if (s.words[kWordProtection] != 0) {
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
  // The file holds the 27 parameters; the extra variables and the backup
  // stay the window's.
  TParameterTables& tables = Tables();
  tables.lower = b.tables.lower;
  tables.upper = b.tables.upper;
  for (std::size_t k = 0; k < tok::kParameterCount; ++k) tables.value[k] = b.tables.value[k];
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
  // file could name a device or a pipe).  A picture that cannot be opened
  // keeps its name for the next save.
  FreePicture();
  if (s.words[kWordPicture] == kPictureMark) {
    PictureFileData.FileName = b.pictureName;
    const bool opened = IsRegularFile(b.pictureName) && OpenPicture() == 0;
    PictureFileMissing = !opened && !b.pictureName.empty() ? 1 : 0;
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
  // A file whose inventory is protected hides an inventory dialog left open
  // from before, so the new entries are shown only after the password.
  // Otherwise the dialog stays as it was and its flag with it.
  if (batch || (ProtectionMask & kProtectInventory) != 0) {
    if (TFnListDlg* d = InventoryDialog()) d->Hide();
    inventoryHidden = 1;
  }
  InventoryChanged(false);
  if (s.flags[kFlagInventoryShown] && !batch) ShowInventory();
  RefreshSliderDialogs();
  for (int k = 0; k < kSliderFlagCount; ++k)
    if (!batch && s.flags[static_cast<std::size_t>(kFlagSliderHiddenFirst + k)] == 0) OpenSliderDialog(k);
  // Protected notes are hidden too when their window was left open.
  const bool notesProtected = (ProtectionMask & kProtectNotes) != 0;
  if (notesProtected && NotesWindow && !NotesWindow->Hidden) NotesWindow->Hide();
  const bool showNotes = !batch && s.flags[kFlagNotesHidden] == 0 && !notesProtected;
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
