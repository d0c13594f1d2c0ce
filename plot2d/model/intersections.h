// Crossings of two 2D curves, one at a time, with the angle at which they
// cross.  Every pair of kinds is reduced to one function of one variable
// whose zeros are the crossings (the difference of two graphs, a graph or
// an implicit curve along a parametric curve, ...), and that function is
// scanned in 101 cells from a remembered cell on, as the zeros are.  Two
// implicit curves are crossed along the pieces the second one's drawing
// traced: each piece is walked in 101 steps of its length, and a step over
// which the first curve's F changes sign is refined onto the crossing.
//
// Classes of entries: F function-like (201, and 205 or 208 that do not
// stand vertical), P polar or parametric (202, 203), V vertical (205, 208),
// O implicit (204).
#pragma once

#include <memory>
#include <vector>

#include "core/vector2d.h"
#include "formula/formula_engine.h"
#include "plot2d/model/zeros.h"
#include "plotcore/model/equation.h"

namespace kv {

enum CurveClass : int { kClassV = 0, kClassF = 1, kClassP = 2, kClassO = 3, kClassNone = -1 };

// The class of an entry; segments and lines need their geometry.
int CurveClassOf(TEquation& e, TFormulaEngine& engine, const TSegment2D& view);
// The pair code of two classes: -1 (no search), 0..14.
int IntersectionPairCode(int classA, int classB);

struct TIntersectionSettings {
  TSegment2D view{-5, 5, -5, 5};
};

// What "Nächster Schnittpunkt" remembers between calls.
struct TIntersectionState {
  int counter = 0;
  // The walk along the traced pieces of an implicit second curve: the trace
  // walked (its drawing's), the piece and the length walked on it.
  std::shared_ptr<const TTracedCurve> trace;
  std::size_t piece = 0;
  long double position = 0;
  // A new search: the first cell, no piece.
  void Reset() {
    counter = 0;
    TakeFirstPiece(nullptr);
  }
  // A new second curve (or a new trace of it): the start of its first
  // piece; the counter stays.
  void TakeFirstPiece(std::shared_ptr<const TTracedCurve> traced) {
    trace = std::move(traced);
    piece = 0;
    position = 0;
  }
};

struct TIntersection {
  long double x = 0;
  long double y = 0;
  long double angle = 0;  // radians, 0..pi (two implicit curves: 0..pi/2)
  long double t = 0;      // the parameter at the crossing where there is one
};

// The next crossing of A and B.  kScanNone for pairs without a search (the
// same entry twice, two parametric curves, two verticals) and for an
// implicit B that has not been drawn; a crossing found in a cell but not on
// both curves (beyond a segment's end) ends the search with kScanNone, or
// kScanTooMany after more than ten touching cells.
ScanResult FindNextIntersection(TEquation& a, TEquation& b, TFormulaEngine& engine, const TIntersectionSettings& s,
                                TIntersectionState& state, TIntersection& out, const TScanStop& stop = {});

}  // namespace kv
