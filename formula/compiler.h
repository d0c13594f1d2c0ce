// The tokenizer and the compiler from formula text to expression tree.
//
// Language: + - * / ^ (right-associative), unary minus, juxtaposition as a
// product ("2x", "xsin(x)", "(x-1)(x+1)"), parentheses, "," between
// arguments.  Precedence from low to high: + -; * / and juxtaposition; unary
// minus; ^; calls and atoms.  So "-x^2" is -(x^2), "2^3^2" is 2^9 and "1/2x"
// is x/2.  Letters are case-insensitive.  At a letter the longest known name
// (built-in function, "pi", user function) that starts there is taken, else
// the single letter; a function name must be followed by "(".  Numbers use
// "." and have no exponent part ("2e3" is 2·E·3); a number directly followed
// by "i" (not starting a name such as "int") is imaginary.  Blanks are
// ignored.  Unary minus compiles to 0 - operand.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "formula/complex.h"
#include "formula/expr_node.h"
#include "formula/formula_codes.h"

namespace kv {

class TUserFunctionTable;

struct TToken {
  TComplex value;             // numbers; an imaginary literal has only im set
  std::int16_t code = 0;      // tok:: code; tok::UserCall for a user function
  std::int16_t argCount = 0;  // functions: the number of arguments they take
  std::int32_t position = 0;  // byte offset in the text
  std::int32_t length = 0;    // bytes in the text
  std::int32_t function = -1;  // user function: its index in the table
};

// Limits that keep hostile texts from exhausting the stack or the memory:
// beyond them the compiler answers kFormulaTooBig.
inline constexpr int kMaxFormulaNesting = 200;   // parentheses, signs, calls
inline constexpr int kMaxTreeDepth = 1000;
inline constexpr int kMaxTreeNodes = 100000;

// Splits a text into tokens (ending with a tok::End token).  kFormulaOk or
// kFormulaNotUnderstood with the offset of the offending character.
// `internalNames` also admits the engine's internal function names.
int Tokenize(std::string_view text, const TUserFunctionTable* functions,
             std::vector<TToken>& tokens, int* errorPosition = nullptr,
             bool internalNames = false);

// Compiles a text into a tree.  kFormulaOk with the tree, or an error code
// (kFormulaParentheses for unbalanced parentheses, kFormulaArgumentCount for
// a wrong number of arguments, kFormulaNotUnderstood for anything else not
// understood, kFormulaTooBig beyond the limits, kFormulaRecursive for a
// recursive user function) with the byte offset of the error.
int CompileFormula(std::string_view text, const TUserFunctionTable* functions, TreePtr& tree,
                   int* errorPosition = nullptr, bool internalNames = false);

}  // namespace kv
