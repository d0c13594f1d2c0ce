// A plot file as a value.  The reader parses the bytes into a plain state
// and checks every count, length and name against its field and the bytes
// left; the writer writes a state.  The plot windows fill a state from
// their fields and apply one (TPlot11Win::ReadFile, WriteFile), so a
// truncated or damaged file changes nothing of a window, and the codec
// runs without one.  The block order is in plot_file_blocks.h.
#pragma once

#include <array>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "core/binary_stream.h"
#include "entry/model/plot_file_blocks.h"
#include "formula/formula_engine.h"
#include "formula/parameter_tables.h"
#include "graphics/model/picture_record.h"
#include "graphics/model/text_label_record.h"
#include "plotcore/model/equation.h"
#include "shell/model/protection_block.h"
#include "shell/model/settings_file.h"

namespace kv {

struct TPlotFileState {
  TCommonHeader header;
  // Blocks 2 to 5.  They also say which optional blocks follow: the
  // protection block (word 42 not 0), term labels (word 45 above 0), notes
  // (flag 17 = 0), the background picture name (word 29 = 137); and the
  // parameter tables' form (flag 12: real mode).
  TPlotSettingsBlock settings;
  std::vector<TPlotEntry> entries;
  std::array<std::string, 3> axisTitles;
  TPasswordBlock password;
  // The lower limits, values and upper limits of the 27 parameters.
  TParameterTables tables;
  // The user functions, checked as the engine reads them.
  std::unique_ptr<TFormulaEngine> functions = std::make_unique<TFormulaEngine>();
  std::vector<TTextLabel> labels;
  std::vector<TTextLabel> termLabels;
  std::vector<TTermBlock> termBlocks;
  std::vector<TPictureRecord> pictures;
  std::vector<TTextLabel> captions;
  std::list<TShadeRecord> shadings;
  std::vector<TMouseMark> marks;
  std::string notes;
  std::string pictureName;
};

// Reads a whole plot file of the window type: 0, 11 (another window kind's
// file, truncated or damaged) or 8 (a newer format).  The state is complete
// only with 0.
int ReadPlotFile(ByteReader& r, std::int32_t fileType, TPlotFileState& state);
// Writes the state; the header is written as it stands (its version should
// be kPlotFileVersion, the layout written).  Header words 9 (last index)
// and 41 (name length) are set from what is written.
void WritePlotFile(ByteWriter& w, const TPlotFileState& state);

}  // namespace kv
