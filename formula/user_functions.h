// User-defined functions of one to three arguments, written in X, Y and Z and
// called as name(a), name(a, b), name(a, b, c).  The compiler expands a call
// in place (the body with its arguments substituted), so compiled trees never
// refer back to the table and evaluation needs no call frames.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "formula/expr_node.h"

namespace kv {

struct TUserFunction {
  std::string name;     // 2 to 10 ASCII letters and digits, starting with a letter
  std::string formula;  // at most 55 characters
  std::int16_t argCount = 1;  // 1..3
  friend bool operator==(const TUserFunction&, const TUserFunction&) = default;
};

// File record: name 11 bytes, formula 56 bytes (both NUL-padded
// Windows-1252), i16 argument count, 8 zero bytes.
inline constexpr std::size_t kUserFunctionRecordSize = 77;
inline constexpr std::size_t kUserFunctionNameSize = 11;
inline constexpr std::size_t kUserFunctionFormulaSize = 56;
inline constexpr int kMaxUserFunctions = 100;

// Whether `name` has the form of a user-function name (not whether it is free).
bool IsValidUserFunctionName(std::string_view name);

class TUserFunctionTable {
 public:
  TUserFunctionTable() = default;
  TUserFunctionTable(const TUserFunctionTable& other);
  TUserFunctionTable& operator=(const TUserFunctionTable& other);

  const std::vector<TUserFunction>& Functions() const { return functions_; }
  int Count() const { return static_cast<int>(functions_.size()); }
  // Index of the function of that name (any case), or -1.
  int Find(std::string_view name) const;
  // Length of the longest function name that starts at text[pos] (any case),
  // with its index; 0 when none does.
  std::size_t MatchAt(std::string_view text, std::size_t pos, int& index) const;

  // Changes without checks (TFormulaEngine checks names and formulas).
  void Clear();
  void Add(TUserFunction f);
  void Replace(int index, TUserFunction f);
  void Remove(int index);

  // The body of function `index` compiled with its calls expanded; compiled
  // on first use.  kFormulaOk, the compiler's code for a bad formula, or
  // kFormulaRecursive when the function reaches itself through its calls.
  // Size facts of a compiled body, so that a call's expansion can be
  // measured before it is made.
  struct BodyShape {
    int depth = 0;
    long nodes = 0;
    long uses[3] = {0, 0, 0};  // occurrences of X, Y and Z
  };
  int Body(int index, const TExprNode*& body, BodyShape* shape = nullptr) const;

 private:
  void ResetCache() const;
  std::vector<TUserFunction> functions_;
  mutable std::vector<TreePtr> bodies_;
  mutable std::vector<signed char> state_;  // 0 not compiled, 1 compiling, 2 done
  mutable std::vector<int> codes_;
  mutable std::vector<BodyShape> shapes_;
};

}  // namespace kv
