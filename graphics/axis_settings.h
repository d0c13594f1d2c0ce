// The axis, tick, number and grid settings of a graphics window, with their
// defaults, and the computations that need nothing but these settings and
// the view: the tick sizes in world units and the automatic tick spacing.
// The grid dialog edits them, the axis pass draws them, plot files keep them.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "graphics/axis_format.h"
#include "graphics/view_mapping.h"
#include "core/vector2d.h"

namespace kv {

// Grid bits.
enum : std::int16_t {
  kGridQuadrant1 = 1,
  kGridQuadrant2 = 2,
  kGridQuadrant3 = 4,
  kGridQuadrant4 = 8,
  kGridRectangular = 16,
  kGridPolarSectors = 32,
  kGridAsDots = 64,
};

// Scale bits.
enum : std::int16_t {
  kScaleNumbersX = 1,
  kScaleNumbersY = 2,
  kScaleAtFrame = 4,
};

// The tick indices an axis pass draws: x ticks from left to right, y ticks
// from bottom to top (tick k of x sits at origin x + k * interval x).
struct TTickRange {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

struct TAxisSettings {
  std::uint8_t AxesShown = 0;      // "Achsen"
  std::int16_t AxisChoice = 3;     // 3 both, 1 x only, 2 y only, 4 polar, 0 none
  std::uint8_t TicksShown = 1;     // "Striche": ticks and numbers
  std::uint8_t TicksShownY = 1;    // kept with the plot file beside TicksShown
  std::uint8_t ArrowsShown = 0;    // "Pfeile"
  std::uint8_t FilledArrowHeads = 0;
  std::uint8_t RasterShown = 0;    // "Raster": crosses at the grid points
  std::uint8_t LabelsShown = 0;    // "Beschriftungen"
  std::int16_t GridBits = 15;
  std::int16_t PolarSectors = 12;
  std::int16_t ScaleBits = 0;
  std::int16_t AxisKind = 0;       // bit 0 logarithmic x, bit 1 logarithmic y
  long double TickIntervalX = 1.0L;
  long double TickIntervalY = 1.0L;
  long double TickOriginX = 0.0L;
  long double TickOriginY = 0.0L;
  long double TickStepUp = 10.0L;   // factors of the automatic spacing
  long double TickStepDown = 0.1L;
  std::int16_t DecimalsX = 1;       // mod 10 the decimals; above 9 the suffix follows
  std::int16_t DecimalsY = 1;
  std::int16_t SuffixChar = 176;    // degree sign
  std::uint8_t PiX = 0;             // numbers as fractions of π
  std::uint8_t PiY = 0;
  std::int16_t PiChar = 112;        // shows π in the Symbol font
  std::int16_t LabelFrequencyX = 1; // only every n-th tick is numbered
  std::int16_t LabelFrequencyY = 1;
  std::uint8_t OriginMark = 0;      // an "O" marks the origin ("@" after the x interval)
  std::int16_t TickLength = 10;     // pixels of the screen
  std::int16_t ShortTickLength = 7; // 7/10 of the tick length; also the arrow length
  std::int16_t PointMarkLength = 5; // grid-point crosses
  std::int16_t AxisWidthDisplay = 1;
  std::int16_t AxisWidthPrint = 2;
  std::int16_t GridWidthDisplay = 1;
  std::int16_t GridWidthPrint = 2;
  std::array<std::string, 3> AxisNames{"x", "y", "z"};
  std::int16_t TickNoticeState = 0; // 0 none, 1 pending, 2 shown
  std::int16_t NoticeColourIndex = 5;
  long double ArrowWidthRatio = 0.9L; // arrow head width over its length
  long double ArrowShapeBeta = 0.5L;  // second arrow-head proportion of the PiCTeX arrows
  std::uint8_t SettingsChanged = 0;   // a full redraw is due after a grid change
  std::uint8_t PlotBufferValid = 0;   // cleared by every view change

  // Tick sizes in world units, from UpdateTickMetrics.
  long double HalfTickX = 0;
  long double HalfTickY = 0;
  long double HalfPointMarkX = 0;
  long double HalfPointMarkY = 0;
  long double ArrowLength = 0;
  long double TickUnitsPerPixelX = 0;
  long double TickUnitsPerPixelY = 0;

  bool LogarithmicX() const { return (AxisKind & 1) != 0; }
  bool LogarithmicY() const { return (AxisKind & 2) != 0; }
  TAxisNumberStyle NumberStyleX() const {
    return {DecimalsX, PiX != 0, PiChar, SuffixChar, LogarithmicX()};
  }
  TAxisNumberStyle NumberStyleY() const {
    return {DecimalsY, PiY != 0, PiChar, SuffixChar, AxisKind == 2 || AxisKind == 3};
  }

  void UpdateTickMetrics(const TViewMapping& view);
};

// The automatic tick spacing: widens the intervals by the step factor until
// at most maxTicksX and maxTicksY ticks fit (one per 8 pixels), shrinks an
// interval far wider than the view, raises the decimals to what the numbers
// need, and fills the tick index range.  Returns 16 when an interval was
// widened, 4 when an index left the 32-bit range (the ticks are then
// switched off), else 0.  `changed` tells whether an interval changed.
// An interval that is not above 1e-16 (0, negative, NaN) is put back to 1.
std::int16_t ComputeTickSpacing(TAxisSettings& axes, const TViewMapping& view, int maxTicksX, int maxTicksY,
                                TTickRange& range, bool& changed);

}  // namespace kv
