// Result codes of the formula engine.  A positive code n is shown to the user
// as numbered message 400 + n.
#pragma once

#include <cstdint>

namespace kv {

// The outcome at each point of a block evaluation.
enum TPointStatus : std::uint8_t {
  kPointUndefined = 0,
  kPointDefined = 1,
  kPointJump = 2,  // defined, but a function landed on another branch (jump detection)
};

enum FormulaCode : int {
  kFormulaOk = 0,
  kFormulaNotUnderstood = 1,      // "unverständlich"; also an undefined value
  kFormulaNotFound = 2,           // "nicht zu finden": BisectRoot's residue too big
  kFormulaNoRoom = 4,             // "kein Platz mehr": too many user functions
  kFormulaRecursive = 6,          // "widersprüchliche Daten": a function calls itself
  kFormulaOutOfBounds = 17,       // "jenseits der Grenzen"
  kFormulaTooBig = 20,            // "zu groß": nesting or expansion beyond the limits
  kFormulaArgumentCount = 101,    // "zu viele Argumente": wrong number of arguments
  kFormulaNoSignChange = 104,     // "kein Vorzeichenwechsel"
  kFormulaParentheses = 108,      // "Klammern nicht paarweise"
  kFormulaNotDifferentiable = 117,  // "nicht abzuleiten"
  kFormulaNameTaken = 122,        // "Bezeichnung schon vorhanden"
  kFormulaRootAtEnd = -1,         // BisectRoot: an end of the interval is the zero
};

}  // namespace kv
