// Writing a plot window into its plot file: the window's fields into a
// TPlotFileState (entry/model/plot_file.h), written into the window's open
// file and put on disk by CloseFile through a temporary file and a rename,
// so a save that fails midway leaves the previous file as it was.
#include "entry/model/plot_file.h"
#include "entry/plot11_win.h"
#include "shell/note_win.h"

namespace kv {

namespace {

// Planet systems keep their bodies in ten blocks of twelve buffer entries.
constexpr std::size_t kPlanetBlock = 12;
constexpr std::size_t kPlanetMasses = 2 * kPlanetBlock;
constexpr std::size_t kPlanetStarts = 5 * kPlanetBlock;
constexpr std::size_t kPlanetVelocities = 6 * kPlanetBlock;
constexpr std::size_t kPlanetBufferSize = 10 * kPlanetBlock;

}  // namespace

void TPlot11Win::PackInterpolationNodes(int i) {
  if (IsValidIndex(i) && IsLagrangePolynomial(Equation(i))) PackNodesIntoRecord(Equation(i));
}

void TPlot11Win::PackPlanetBodies(int i) {
  if (!IsValidIndex(i)) return;
  TEquation& e = Equation(i);
  if (e.kind != kKindPlanets || e.samples.size() < kPlanetBufferSize) return;
  // Bodies 0..n-1 and the centre of mass n, at most one block's worth.
  const int last = std::min<int>(e.auxValue1, static_cast<int>(kPlanetBlock) - 1);
  const int digits = Decimals >= 2 ? Decimals - 2 : 0;
  int k = 0;
  for (TEquationItem& item : e.items) {
    if (k > last) break;
    const auto b = static_cast<std::size_t>(k);
    item.start = e.samples[kPlanetStarts + b];
    item.scale = e.samples[kPlanetMasses + b].x;
    const TPoint3D& v = e.samples[kPlanetVelocities + b];
    item.texts[0] = FormatNumber(v.x, Decimals, digits);
    item.texts[1] = FormatNumber(v.y, Decimals, digits);
    item.texts[2] = FormatNumber(v.z, Decimals, digits);
    ++k;
  }
}

void TPlot11Win::ReadPlanetValues(int i) {
  if (!IsValidIndex(i)) return;
  TEquation& e = Equation(i);
  if (e.kind != kKindPlanets || e.samples.size() < kPlanetBufferSize) return;
  const int last = std::min<int>(e.auxValue1, static_cast<int>(kPlanetBlock) - 1);
  int k = 0;
  for (const TEquationItem& item : e.items) {
    if (k > last) break;
    const auto b = static_cast<std::size_t>(k);
    e.samples[kPlanetStarts + b] = item.start;
    e.samples[kPlanetMasses + b].x = item.scale;
    TPoint3D& v = e.samples[kPlanetVelocities + b];
    long double value = 0;
    v.x = ParseLongDouble(value, item.texts[0]) ? value : 0;
    v.y = ParseLongDouble(value, item.texts[1]) ? value : 0;
    v.z = ParseLongDouble(value, item.texts[2]) ? value : 0;
    ++k;
  }
}

std::string TPlot11Win::StoredPictureName() const {
  // A picture opened from a file keeps that file's name, and so does one
  // whose file is missing (the name as the plot file gave it); a pasted one
  // is named after the plot file ("name1.bmp"), as saving offers to write it.
  if ((PictureFromFile || PictureFileMissing) && !PictureFileData.FileName.empty()) return PictureFileData.FileName;
  std::string name;
  if (MakePictureFileName(name, FileData.FileName)) return name;
  return PictureFileData.FileName;
}

void TPlot11Win::FillPlotState(TPlotFileState& s) {
  // The blocks are those of the current version, whatever the window's own
  // version field says.
  s.header = MakeFileHeader(FileTypeCode);
  s.header.Version = kPlotFileVersion;
  StoreFileSettings(s.settings);
  s.entries.resize(static_cast<std::size_t>(equationCount + 1));
  for (int i = 0; i <= equationCount; ++i) {
    if (IsLagrangePolynomial(Equation(i))) PackInterpolationNodes(i);
    if (Equation(i).kind == kKindPlanets) PackPlanetBodies(i);
    TPlotEntry& entry = s.entries[static_cast<std::size_t>(i)];
    // Moved, not copied: ReturnPlotEntries gives them back after writing.
    entry.equation = std::move(Equation(i));
    entry.name = EquationName(i);
    entry.groupMember = EquationFlag(i) != 0;
  }
  s.axisTitles = AxisNames;
  s.password = TPasswordBlock{Password, Author, Date, EMail, Homepage};
  s.tables = Tables();
  {
    ByteWriter functions;
    WriteUserFunctions(functions);
    ByteReader reader(functions.Data());
    s.functions->ReadUserFunctions(reader);
  }
  s.labels = TextLabels;
  s.termLabels = TermLabels;
  s.termBlocks = TermBlocks;
  s.pictures = Pictures;
  const std::size_t slot = TextFontSlot >= 0 && TextFontSlot < kFontSlotCount ? TextFontSlot : 0;
  s.captions = CaptionRecords(equationLabels, FontSlots[slot], static_cast<std::int16_t>(FontPointSizes[slot]));
  s.shadings = shadings;
  s.marks = mouseMarks;
  s.notes = GetNotes();
  if (KeepsPictureName()) s.pictureName = StoredPictureName();
}

void TPlot11Win::ReturnPlotEntries(TPlotFileState& s) {
  for (int i = 0; i <= equationCount && static_cast<std::size_t>(i) < s.entries.size(); ++i)
    Equation(i) = std::move(s.entries[static_cast<std::size_t>(i)].equation);
}

bool TPlot11Win::WriteFile() {
  if (!OpenForWriting(FileData.FileName)) return false;
  TPlotFileState state;
  FillPlotState(state);
  AddRecordBytes(state);
  WritePlotFile(*Out(), state);
  ReturnPlotEntries(state);
  // The notes as written are the saved ones.
  if (!state.notes.empty() && NotesWindow && NotesWindow->Edit()) NotesWindow->Edit()->SetModified(false);
  return CloseFile();
}

}  // namespace kv
