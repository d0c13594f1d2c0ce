#include "formula/tokens.h"

#include <array>
#include <cctype>

namespace kv::tok {
namespace {

constexpr std::array kNames = {
    BuiltinName{"abs", Abs, 1, false},       BuiltinName{"sin", Sin, 1, false},
    BuiltinName{"cos", Cos, 1, false},       BuiltinName{"tan", Tan, 1, false},
    BuiltinName{"sec", Sec, 1, false},       BuiltinName{"csc", Csc, 1, false},
    BuiltinName{"cot", Cot, 1, false},       BuiltinName{"log", Log, 1, false},
    BuiltinName{"ln", Log, 1, false},        BuiltinName{"sqrt", Sqrt, 1, false},
    BuiltinName{"cis", Cis, 1, false},       BuiltinName{"root", Root, 2, false},
    BuiltinName{"pow", Pow, 2, false},       BuiltinName{"sgn", Sgn, 1, false},
    BuiltinName{"exp", Exp, 1, false},       BuiltinName{"arcsin", ArcSin, 1, false},
    BuiltinName{"arccos", ArcCos, 1, false}, BuiltinName{"arctan", ArcTan, 1, false},
    BuiltinName{"sinh", Sinh, 1, false},     BuiltinName{"cosh", Cosh, 1, false},
    BuiltinName{"tanh", Tanh, 1, false},     BuiltinName{"int", Int, 1, false},
    BuiltinName{"frac", Frac, 1, false},     BuiltinName{"gamma", Gamma, 1, false},
    BuiltinName{"erf", Erf, 1, false},       BuiltinName{"re", Re, 1, false},
    BuiltinName{"im", Im, 1, false},         BuiltinName{"conj", Conj, 1, false},
    BuiltinName{"arg", Arg, 1, false},       BuiltinName{"pi", Number, 0, false},
    BuiltinName{"psi", Psi, 1, true},        BuiltinName{"sqr", Square, 1, true},
};

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

}  // namespace

std::span<const BuiltinName> BuiltinNames() { return kNames; }

const BuiltinName* FindBuiltin(std::string_view name, bool allowInternal) {
  for (const BuiltinName& b : kNames) {
    if ((allowInternal || !b.internal) && EqualNoCase(b.name, name)) return &b;
  }
  return nullptr;
}

std::string_view FunctionName(Code code) {
  for (const BuiltinName& b : kNames) {
    if (b.code == code && b.arguments > 0) return b.name;  // "log" comes before "ln"
  }
  return {};
}

int FunctionArity(Code code) {
  switch (code) {
    case Root:
    case Pow:
      return 2;
    case Tan: case Sec: case Cos: case Csc: case Cot: case Log: case Cis: case Sgn: case Exp:
    case Abs: case ArcSin: case ArcCos: case Sin: case ArcTan: case Sinh: case Cosh: case Tanh:
    case Int: case Frac: case Gamma: case Erf: case Re: case Im: case Conj: case Arg: case Psi:
    case Sqrt: case Square:
      return 1;
    default:
      return 0;
  }
}

}  // namespace kv::tok
