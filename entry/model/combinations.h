// Combinations of two inventory entries f and g: f + g, f - g, f * g,
// f / g, f ^ g, the composition f(g), and for vector fields the parallel and
// perpendicular parts of f along g and the cross product.  The combined
// entry keeps the operator as its derivation code and f and g as its
// sources, and its trees are built from copies of theirs, so the same
// builder makes it and rebuilds it when f or g change.
#pragma once

#include "plotcore/model/equation.h"

namespace kv {

enum : int {
  kComboProduct = 42,        // '*'
  kComboSum = 43,            // '+'
  kComboDifference = 45,     // '-'
  kComboQuotient = 47,       // '/'
  kComboPower = 94,          // '^'
  kComboCrossProduct = 142,  // f x g (3D fields)
  kComboParallel = 150,      // the part of f along g
  kComboPerpendicular = 151, // f minus that part
  kComboComposition = 177,   // f(g)
};

// The buttons of the combinations dialog.
enum : int {
  kComboButtonSum = 751,
  kComboButtonDifference = 752,
  kComboButtonProduct = 753,
  kComboButtonQuotient = 754,     // or the parallel part of two fields
  kComboButtonComposition = 755,  // or the cross product in 3D
  kComboButtonPower = 756,        // or the perpendicular part
};

bool IsCombinationCode(int code);
// Two vector fields (210 or 310 with the same kind): 754 and 756 make the
// parallel and perpendicular parts.
bool AreVectorFields(int fKind, int gKind);
// Whether the button applies to entries of these kinds in a window of the
// dimension (2 or 3).
bool CombinationButtonEnabled(int button, int fKind, int gKind, int dimension);
// The derivation code a button makes for f's kind.
int CombinationCode(int button, int fKind);

// The kind of the combined entry: f's, except that a mapping (401, 402)
// composed with a parametric curve gives the image curve (203).
int CombinedKind(int code, int fKind, int gKind);

// A new combined entry: a deep copy of the operand whose kind it takes,
// without its items; explicit curves take g's interval; the sources and
// the code set.  The trees are built by RebuildCombinedTrees.
void PrepareCombinedEquation(TEquation& e, int code, const TEquation& f, int fIndex, const TEquation& g,
                             int gIndex);

// The trees of combined entry e from its operands (in a window of the
// dimension), its derivative trees and its interval (the intersection of
// theirs; an empty one becomes [0, 1] and the entry hidden).  False when an
// operand lacks a tree the combination needs (e unchanged then).
bool RebuildCombinedTrees(TEquation& e, const TEquation& f, const TEquation& g, int dimension);

}  // namespace kv
