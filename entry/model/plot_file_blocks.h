// The blocks of a plot file that belong to the plot windows themselves: the
// 80-word plot header, the 50 flag bytes, the 80 long-double values, the
// two slider-step tables, the equation groups and the axis titles.  The
// other blocks have their codecs beside their records (labels, pictures,
// notes, protection, parameter tables, user functions, shading, marks).
//
// The file, block by block (no block headers; a block's presence follows
// from fields read before it):
//    1 common header                      always
//    2 plot header, 80 x i16              always
//    3 flag block, 50 bytes               always
//    4 value block, 80 x 10-byte reals    always
//    5 slider steps, 2 x 40 x i32         written always, read when version > 31
//    6 equation groups                    word 9 + 1 of them
//    7 axis titles, 3 counted strings     always
//    8 protection block                   word 42 != 0
//    9 parameter tables                   3 x 270 (real mode) or 3 x 540 bytes
//   10 reserved, 51 zero bytes            always
//   11 user functions                     always
//   12 text labels                        always
//   13 term labels                        word 45 > 0
//   14 pictures                           always
//   15 equation captions                  always
//   16 shading records                    always
//   17 mouse marks                        written always, read when version > 23
//   18 notes                              flag 17 = 0
//   19 background picture name, 256 bytes word 29 = 137
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "graphics/model/text_label_record.h"
#include "plotcore/model/equation.h"
#include "core/binary_stream.h"

namespace kv {

// The layout above; a file of a newer version is refused.
inline constexpr std::int32_t kPlotFileVersion = 33;

inline constexpr int kPlotHeaderWords = 80;
inline constexpr int kPlotFlagBytes = 50;
inline constexpr int kPlotValues = 80;
inline constexpr int kSliderTableEntries = 40;
inline constexpr std::size_t kReservedBlockSize = 3 * 17;
inline constexpr std::size_t kPictureNameSize = 256;
// The name field of an equation group.
inline constexpr std::int16_t kStoredNameLength = 20;
// The marks of optional blocks in the plot header.
inline constexpr std::int16_t kPictureMark = 137;  // word 29, and word 37 for "K&ubisch"
inline constexpr std::int16_t kTermMark = 1945;    // word 45
// A group member's colour is stored plus this.
inline constexpr int kGroupColourOffset = 1000;

// Plot header words with a meaning of their own in the file.
enum PlotHeaderWord : int {
  kWordDecimals = 0,
  kWordMouseMode = 1,
  kWordHideEdges = 2,
  kWordColourMode3D = 3,
  kWordLabelFrequencyX = 4,
  kWordLabelFrequencyY = 5,
  kWordAxisChoice = 6,
  kWordAxisFlags = 7,
  kWordAxisWidthPrint = 8,
  kWordLastIndex = 9,
  kWordFlatness = 10,
  kWordTickLength = 11,
  kWordView3DA = 12,
  kWordFieldWidth = 13,
  kWordGridBits = 14,
  kWordOpaqueLabels = 15,
  kWordScaleBits = 16,
  kWordView3DB = 17,
  kWordHiddenLineSteps = 18,
  kWordPhotoCount = 19,
  kWordView3DC = 20,
  kWordDecimalsX = 21,
  kWordDecimalsY = 22,
  kWordColourMode3D2 = 23,
  kWordOverlayMask = 25,
  kWordSetting3D = 26,
  kWordPrintPenWidth = 27,
  kWordPictexMode = 28,
  kWordPicture = 29,
  kWordCubic = 37,
  kWordAxisWidthDisplay = 38,
  kWordPiChar = 39,
  kWordPolarSectors = 40,
  kWordNameLength = 41,
  kWordProtection = 42,
  kWordFillInsteadOfHatch = 43,
  kWordDrawingMode = 44,
  kWordTerms = 45,
  kWordDensity = 46,
  kWordPlaneWindow = 47,
  kWordSuffixChar = 48,
  kWordCriticalAngle = 49,
  kWordRegionMode = 50,
  kWordAxisKind = 51,
  kWordMarkPenWidth = 52,
  kWordOpenWindows = 53,
  kWordIntegrationFirst = 54,  // 54..79: the integration dialog's state
};

// Flag bytes.
enum PlotFlagByte : int {
  kFlagViewMode = 0,
  kFlagInventoryShown = 1,
  kFlagBoxVisible = 2,
  kFlagTicksShown = 3,
  kFlagAxesShown = 4,
  kFlagAutoTicks = 5,
  kFlagFilledArea = 6,
  kFlagAxisLength = 7,
  kFlagPiX = 8,
  kFlagPiY = 9,
  kFlagLabelsShown = 10,
  kFlagTicksShownY = 11,
  kFlagRealMode = 12,
  kFlagBoxCoordinates = 13,
  kFlagPlotOptionFirst = 14,  // 14..16
  kFlagNoNotes = 17,
  kFlagDashedEdges = 18,
  kFlagNotNextBlack = 19,
  kFlagFilledArrowHeads = 20,
  kFlagSliderHiddenFirst = 22,  // 22..46: slider dialog k hidden or absent
  kFlagNotesHidden = 47,
  kFlagNotParametersAsValues = 48,
  kFlagShadeIntersection = 49,
};
inline constexpr int kSliderFlagCount = 25;

// Entries of the value block.
enum PlotValue : int {
  kValueCentreX = 0,
  kValueCentreY = 1,
  kValueHalfX = 2,
  kValueRectFirst = 3,  // 3..6: xmin, xmax, ymin, ymax
  kValueAnimation = 7,
  kValueTickIntervalX = 8,
  kValueTickIntervalY = 9,
  kValueObserver = 11,   // 11..13
  kValueBoxCentre = 14,  // 14..16
  kValueSight = 17,      // 17..19
  kValuePanShare = 20,
  kValueArrowRatio = 21,
  kValueTickOriginX = 22,
  kValueTickOriginY = 23,
  kValueArrowBeta = 24,
  kValueZoomFactor = 25,
  kValueIntegrationA = 33,
  kValueIntegrationB = 34,
  kValueIntegrationN = 35,
  kValueCentreZoom = 36,
  kValueDartCount = 37,
  kValueTrajectoryDensity = 38,
  kValueAnimationFrames = 39,
  kValueAspect = 41,
  kValueLineIntegral = 44,  // 44..46
  kValueFluxFirst = 47,     // 47..49
  kValueFluxSecond = 50,    // 50..52
  kValueBoxMin = 53,        // 53..55
  kValueBoxMax = 56,        // 56..58
  kValue3DFirst = 59,       // 59..61
};

// Blocks 2 to 5.
struct TPlotSettingsBlock {
  std::array<std::int16_t, kPlotHeaderWords> words{};
  std::array<std::uint8_t, kPlotFlagBytes> flags{};
  std::array<long double, kPlotValues> values{};
  std::array<std::int32_t, kSliderTableEntries> smallSteps{};
  std::array<std::int32_t, kSliderTableEntries> mediumSteps{};
  bool hasSliderSteps = false;  // reading: the file held the tables
  friend bool operator==(const TPlotSettingsBlock&, const TPlotSettingsBlock&) = default;
};

void WritePlotSettings(ByteWriter& w, const TPlotSettingsBlock& s);
// Reads blocks 2 to 4 and, for versions above 31, block 5.  False on a
// short read.
bool ReadPlotSettings(ByteReader& r, std::int32_t version, TPlotSettingsBlock& s);

// ---- equation groups ----
// One inventory entry as the file holds it.
struct TPlotEntry {
  TEquation equation;
  std::string name;
  bool groupMember = false;
  // The record image as it was read.  A window that keeps bytes of its own
  // in fields its records do not use (the mapping pair's range colours)
  // finds them here.
  std::vector<std::uint8_t> recordImage;
  // Bytes the writer puts over the record image at recordPatchOffset;
  // nothing when empty or when they would reach past the record.
  std::size_t recordPatchOffset = 0;
  std::vector<std::uint8_t> recordPatch;
};

// The record image (with the colour + 1000 of a group member), the item
// and result lists, the seven formula texts and the 21-byte name.
void WriteEquationGroup(ByteWriter& w, const TEquation& e, const std::string& name, bool groupMember);
// Reads one group; nameLength is header word 41 (a name of that many
// characters and its NUL follows when it is above 0).  The record is
// checked and its counts clamped; the group mark is split off the colour;
// the fixes older versions need are made.  False on a short read or a text
// longer than its field.
bool ReadEquationGroup(ByteReader& r, std::int32_t version, int nameLength, TPlotEntry& entry);
// Copies the first nine nodes of an interpolated entry (x, y of its sample
// buffer) into record value blocks 4..9, where the file keeps them.
void PackNodesIntoRecord(TEquation& e);

// ---- axis titles ----
void WriteAxisTitles(ByteWriter& w, const std::array<std::string, 3>& titles);
bool ReadAxisTitles(ByteReader& r, std::array<std::string, 3>& titles);

// ---- equation captions (the file's second label list) ----
// Each caption as a label record: its first field is the entry's index,
// its colour field the colour index, its visibility the caption's.
std::vector<TTextLabel> CaptionRecords(const std::vector<TEquationLabel>& captions, const LogFont& font,
                                       std::int16_t pointSize);
// The captions back, for the entries 0..lastIndex (records naming another
// entry are dropped).
std::vector<TEquationLabel> CaptionsFromRecords(const std::vector<TTextLabel>& records, int lastIndex);

// A text as a counted string of at most maxBytes (NUL included) in
// Windows-1252, cut when longer.
void WriteBoundedString(ByteWriter& w, const std::string& utf8, std::size_t maxBytes);

}  // namespace kv
