// Token codes of formula trees and the table of built-in names.
//
// Operators carry the ASCII code of their character, letters 64 + their
// variable index ('@' 0, A..Z 1..26; the extra variables 27..32 get
// 192..197), numbers 35.  Functions use codes from 128 up; COS 130, ABS 139, SIN 142,
// the square root 251 and the square 253 are the codes other parts of the
// program test for.  Codes below 32 are internal placeholders that never come
// out of the compiler.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace kv::tok {

using Code = std::int16_t;

inline constexpr Code End = 0;
// Placeholders for tree surgery (simultaneous substitution of X and Y).
inline constexpr Code PlaceholderA = 10;
inline constexpr Code PlaceholderB = 11;
// The Taylor template: coefficient k (sub-code k), the centre and the variable.
inline constexpr Code TaylorCoefficient = 12;
inline constexpr Code TaylorCentre = 13;
inline constexpr Code TaylorVariable = 14;

inline constexpr Code Number = 35;
inline constexpr Code LeftParen = 40;
inline constexpr Code RightParen = 41;
inline constexpr Code Times = 42;
inline constexpr Code Plus = 43;
inline constexpr Code Comma = 44;
inline constexpr Code Minus = 45;
inline constexpr Code Divide = 47;
inline constexpr Code Power = 94;

// Letters.  At = '@' (the time parameter), then A..Z.  The extra variables
// 27..32, which no text can name, get 192..197: 64 + index would give 91..96,
// and 94 is already the power operator '^'.
inline constexpr Code At = 64;
inline constexpr Code A = 65;
inline constexpr Code E = 69;
inline constexpr Code I = 73;
inline constexpr Code N = 78;
inline constexpr Code R = 82;
inline constexpr Code T = 84;
inline constexpr Code U = 85;
inline constexpr Code X = 88;
inline constexpr Code Y = 89;
inline constexpr Code Z = 90;
inline constexpr Code FirstExtra = 192;
inline constexpr Code LastExtra = 197;

inline constexpr int kVariableCount = 33;  // '@', A..Z and the extras 27..32
inline constexpr int kParameterCount = 27;  // '@' and A..Z

// The token of variable 0..32.
constexpr Code Letter(int index) {
  return static_cast<Code>(index < kParameterCount ? At + index : FirstExtra + (index - kParameterCount));
}
constexpr bool IsLetter(int code) {
  return (code >= At && code <= Z) || (code >= FirstExtra && code <= LastExtra);
}
// The variable number of a letter token.
constexpr int VariableIndex(int code) {
  return code <= Z ? code - At : kParameterCount + (code - FirstExtra);
}

// The variable number of a letter given as token (64..90, 192..197),
// variable number (0..32) or character ('x', 'X', '@'); -1 for none.
constexpr int VariableOf(int letter) {
  if (letter >= 0 && letter < kVariableCount) return letter;
  if (IsLetter(letter)) return VariableIndex(letter);
  if (letter >= 'a' && letter <= 'z') return letter - 'a' + 1;
  return -1;
}

// Functions.
inline constexpr Code Tan = 128;
inline constexpr Code Sec = 129;
inline constexpr Code Cos = 130;
inline constexpr Code Csc = 131;
inline constexpr Code Cot = 132;
inline constexpr Code Log = 133;
inline constexpr Code Root = 134;  // root(n, x): the n-th root of x
inline constexpr Code Pow = 135;   // pow(n, x): x to the whole power n
inline constexpr Code Cis = 136;
inline constexpr Code Sgn = 137;
inline constexpr Code Exp = 138;
inline constexpr Code Abs = 139;
inline constexpr Code ArcSin = 140;
inline constexpr Code ArcCos = 141;
inline constexpr Code Sin = 142;
inline constexpr Code ArcTan = 143;
inline constexpr Code Sinh = 144;
inline constexpr Code Cosh = 145;
inline constexpr Code Tanh = 146;
inline constexpr Code Int = 147;   // floor
inline constexpr Code Frac = 148;  // x - floor(x)
inline constexpr Code Gamma = 149;
inline constexpr Code Erf = 150;
inline constexpr Code Re = 151;
inline constexpr Code Im = 152;
inline constexpr Code Conj = 153;
inline constexpr Code Arg = 154;
// Internal: the polygamma function of order sub-code (0 = digamma); the
// derivatives of gamma need it.
inline constexpr Code Psi = 155;
// A call of a user-defined function; only in token lists (calls are expanded
// into the tree).
inline constexpr Code UserCall = 160;

// A node whose children are separate trees (a 3D curve keeps its second
// derivative and curvature so); it has no value of its own.
inline constexpr Code Container = 190;
// Reserved for a construct that binds a letter (a sum or integral over it);
// the compiler never produces it, and trees holding it are not differentiated.
inline constexpr Code LetterBinding = 191;
inline constexpr Code Sqrt = 251;
inline constexpr Code Square = 253;  // internal: x^2 built by the tree builders

// A built-in name of the formula language.
struct BuiltinName {
  std::string_view name;  // lower case
  Code code;              // Number for constants
  int arguments;          // 0 for constants
  bool internal;          // only the engine's own rule texts may use it
};

// All built-in names, constants included.
std::span<const BuiltinName> BuiltinNames();
// The entry whose name equals `name` (any case), or nullptr.
const BuiltinName* FindBuiltin(std::string_view name, bool allowInternal = false);
// The function's name as written in formulas ("sin"), or "" for codes that
// are not functions.
std::string_view FunctionName(Code code);
// Number of arguments of a function code, 0 for anything else.
int FunctionArity(Code code);
inline bool IsFunction(Code code) { return FunctionArity(code) > 0; }
// Functions whose value jumps between branches (poles or steps): tan, sec,
// csc, cot, int and frac.
constexpr bool HasBranches(Code code) {
  return code == Tan || code == Sec || code == Csc || code == Cot || code == Int || code == Frac;
}

}  // namespace kv::tok
