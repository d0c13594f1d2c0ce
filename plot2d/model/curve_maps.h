// Reflections, rotations and translations of 2D entries.  A mapped entry is
// a derived entry: it keeps the map's parameters as its formula texts 0..2
// and its source's index, and its trees are built from the source's trees,
// so that it follows the source whenever that changes.
#pragma once

#include <cstdint>

#include "formula/formula_engine.h"
#include "plotcore/model/equation.h"

namespace kv {

// The derivation codes of mapped entries and of the mirror line.
enum CurveMapCode : std::int16_t {
  kMapMirrorLine = 100,   // the line reflected in (kind 208), texts a, b, c
  kMapXAxis = 101,        // (x, -y)
  kMapYAxis = 102,        // (-x, y)
  kMapDiagonal = 103,     // (y, x)
  kMapLine = 104,         // reflection in a x + b y = c; texts a, b, c
  kMapPoint = 105,        // (2 cx - x, 2 cy - y); texts "pi", cx, cy
  kMapRotation = 106,     // by the angle w about (cx, cy); texts w, cx, cy
  kMapTranslation = 110,  // (x + a, y + b); texts a, b, c (c unused)
};

inline bool IsReflectionCode(int code) { return code >= kMapXAxis && code <= kMapLine; }
inline bool IsRotationCode(int code) { return code == kMapPoint || code == kMapRotation; }
inline bool IsCurveMapCode(int code) {
  return IsReflectionCode(code) || IsRotationCode(code) || code == kMapTranslation;
}

// Whether the map accepts a source of this kind.
bool CurveMapAcceptsKind(int code, int kind);

// The kind a mapped copy of a source of `kind` gets: explicit curves become
// parametric (x = t) under the maps that do not keep graphs of functions
// (x = y, a general line, a rotation), polar curves become parametric under
// every map; other kinds stay.
int MappedKind(int code, int kind);

// Builds the trees of the mapped entry `e` (derivation code and texts set)
// from the trees of its source: kFormulaOk, the compiler's code for a
// parameter text that does not compile, kFormulaRecursive (6) for a
// translation text holding x or y or a line with a = b = 0, or
// kFormulaNotUnderstood when the source lacks its trees.  The entry's kind
// must be MappedKind of the source's.
int BuildMappedTrees(TEquation& e, const TEquation& source, TFormulaEngine& engine);

// The coefficients (a, b, c) of the image of the line a x + b y = c under
// the map of the entry's code, as trees (the map's texts compiled); used for
// mapped lines and for the mirror line itself.
int BuildMappedLine(int code, const TExprNode* const params[3], const TExprNode* const line[3], TreePtr out[3]);

}  // namespace kv
