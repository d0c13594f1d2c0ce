// Rebuilding the derived entries of the 2D window.  An entry made by a tool
// records its derivation code and sources; when a source changes, the
// forward pass of the equation-entry layer visits every entry that depends
// on it, in index order, and the table below says how an entry of each code
// is rebuilt from its sources.
//
// To add a derived kind: write its builder (a member taking the entry's
// index and leaving its trees ready to draw; false when the sources no
// longer allow it) and add one row with its code below.  Codes without a
// row are left as they are; their captions are still refreshed.
#include <algorithm>
#include <iterator>

#include "entry/model/combinations.h"
#include "entry/model/point_lists.h"
#include "entry/model/derived_items.h"
#include "plot2d/model/curve_maps.h"
#include "plot2d/model/roulettes.h"
#include "plot2d/plot_c_win.h"

namespace kv {

namespace {

struct TDerivation {
  std::int16_t code;
  bool (TPlotCWin::*rebuild)(int i);
};

constexpr TDerivation kDerivations[] = {
    {kDerivedTaylor, &TPlotCWin::RebuildTaylorItem},               // 65 'A'
    {kDerivedDerivativeGraph, &TPlotCWin::RebuildDerivativeGraph}, // 68 'D'
    {kDerivedCoordinateCurve, &TPlotCWin::CloneSourceTrees},       // 71 'G'
    {kDerivedAntiderivative, &TPlotCWin::BuildAntiderivativeItem}, // 73 'I'
    {kDerivedTangentLine, &TPlotCWin::RebuildLineItem},            // 76 'L'
    {kDerivedTrajectoryPoint, &TPlotCWin::RebuildTrajectoryPointItem},    // 78 'N'
    {kDerivedTrajectoryVector, &TPlotCWin::RebuildTrajectoryVectorItem},  // 79 'O'
    {kDerivedTrajectoryLine, &TPlotCWin::RebuildTrajectoryVectorItem},    // 80 'P'
    {kDerivedRoulette, &TPlotCWin::RebuildRoulette},               // 82 'R'
    {kDerivedEvolute, &TPlotCWin::RebuildEvolute},                 // 83 'S'
    {kDerivedMirrorLine, &TPlotCWin::RecompileDerivedEquation},    // 100 'd'
    {kMapXAxis, &TPlotCWin::RebuildMappedEquation},                // 101..106 reflections, rotations
    {kMapYAxis, &TPlotCWin::RebuildMappedEquation},
    {kMapDiagonal, &TPlotCWin::RebuildMappedEquation},
    {kMapLine, &TPlotCWin::RebuildMappedEquation},
    {kMapPoint, &TPlotCWin::RebuildMappedEquation},
    {kMapRotation, &TPlotCWin::RebuildMappedEquation},
    {kDerivedTracePoint, &TPlotCWin::RebuildTracePointItem},       // 109 'm'
    {kMapTranslation, &TPlotCWin::RebuildMappedEquation},          // 110 'n'
    {kDerivedAbsoluteValue, &TPlotCWin::RebuildAbsoluteValueItem}, // 111 'o' |f|
    {kDerivedSegmentEnd, &TPlotCWin::RebuildEndPointItem},         // 125 '}'
    {kDerivedFrozenCopy, &TPlotCWin::RebuildCopyItem},             // 180
    {kDerivedPointSequence, &TPlotCWin::RefreshPointSequenceEquation},  // 99 'c'
    {kComboProduct, &TPlotCWin::RebuildCombinedEquation},          // 42 f * g
    {kComboSum, &TPlotCWin::RebuildCombinedEquation},              // 43 f + g
    {kComboDifference, &TPlotCWin::RebuildCombinedEquation},       // 45 f - g
    {kComboQuotient, &TPlotCWin::RebuildCombinedEquation},         // 47 f / g
    {kComboPower, &TPlotCWin::RebuildCombinedEquation},            // 94 f ^ g
    {kComboParallel, &TPlotCWin::RebuildCombinedEquation},         // 150
    {kComboPerpendicular, &TPlotCWin::RebuildCombinedEquation},    // 151
    {kComboComposition, &TPlotCWin::RebuildCombinedEquation},      // 177 f(g)
};

}  // namespace

bool TPlotCWin::RebuildByDerivation(int i) {
  const std::int16_t code = Equation(i).derivation;
  const auto row = std::find_if(std::begin(kDerivations), std::end(kDerivations),
                                [code](const TDerivation& d) { return d.code == code; });
  if (row == std::end(kDerivations)) return false;
  return (this->*row->rebuild)(i);
}

bool TPlotCWin::RecompileDerivedEquation(int i) {
  CompileEquation(i);
  return true;
}

void TPlotCWin::RebuildDerivedEquations(int i) {
  RebuildDerivedPass(i, [this](int k) { RebuildByDerivation(k); });
}

}  // namespace kv
