#include "formula/formula_text.h"

#include <charconv>
#include <cmath>

#include "formula/tokens.h"

namespace kv {
namespace {

// Precedence levels of what a piece of text is: sums, products, a leading
// sign, powers, atoms.
enum Level { kSum = 1, kProduct = 2, kSigned = 3, kPower = 4, kAtom = 5 };

struct Piece {
  std::string text;
  int level = kAtom;
};

std::string Real(long double v) {
  char buffer[64];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(v), std::chars_format::general, 21);
  std::string s(buffer, r.ptr);
  const std::size_t e = s.find('e');
  if (e != std::string::npos) {
    // "1.5e-07" as "1.5*10^-7": the formula language reads "e" as the letter E.
    std::string exponent = s.substr(e + 1);
    if (exponent[0] == '+') exponent.erase(0, 1);
    while (exponent.size() > 1 && (exponent[0] == '0' || (exponent[0] == '-' && exponent[1] == '0'))) {
      if (exponent[0] == '-') exponent.erase(1, 1);
      else exponent.erase(0, 1);
    }
    s = "(" + s.substr(0, e) + "*10^" + exponent + ")";
  }
  return s;
}

Piece Number(const TComplex& z) {
  if (z.im == 0) {
    if (std::signbit(z.re) && z.re != 0) return {"-" + Real(z.re), kSigned};
    return {Real(z.re), kAtom};
  }
  std::string im = Real(z.im) + "i";
  if (im.front() == '(') im = "(" + Real(z.im) + "*1i)";
  if (z.re == 0) {
    if (z.im < 0) return {"-" + im, kSigned};
    return {im, kAtom};
  }
  return {"(" + (z.re < 0 ? "-" : std::string()) + Real(z.re) + (z.im < 0 ? "-" : "+") + im + ")", kAtom};
}

std::string Wrap(const Piece& p, int atLeast) {
  return p.level >= atLeast ? p.text : "(" + p.text + ")";
}

bool Write(const TExprNode* n, Piece& out) {
  if (!n) return false;
  if (n->token == tok::Number) {
    out = Number(n->value);
    return true;
  }
  if (n->token == tok::At) {
    out = {"@", kAtom};
    return true;
  }
  if (n->token >= tok::A && n->token <= tok::Z) {
    out = {std::string(1, static_cast<char>('a' + (n->token - tok::A))), kAtom};
    return true;
  }
  Piece a, b;
  switch (n->token) {
    case tok::Plus:
    case tok::Minus:
      if (!Write(n->child[0], a) || !Write(n->child[1], b)) return false;
      if (n->token == tok::Minus && n->child[0]->token == tok::Number && n->child[0]->value == TComplex()) {
        // "--x" rather than "-(-x)": a chain of signs stays as flat as it was typed.
        const bool signedOperand = b.level == kSigned && n->child[1]->token == tok::Minus;
        out = {"-" + (signedOperand ? b.text : Wrap(b, kPower)), kSigned};
      } else {
        out = {Wrap(a, kSum) + static_cast<char>(n->token) + Wrap(b, kProduct), kSum};
      }
      return true;
    case tok::Times:
    case tok::Divide:
      if (!Write(n->child[0], a) || !Write(n->child[1], b)) return false;
      out = {Wrap(a, kProduct) + static_cast<char>(n->token) + Wrap(b, kSigned), kProduct};
      return true;
    case tok::Power:
      if (!Write(n->child[0], a) || !Write(n->child[1], b)) return false;
      out = {Wrap(a, kAtom) + "^" + Wrap(b, kSigned), kPower};
      return true;
    case tok::Square:
      if (!Write(n->child[0], a)) return false;
      out = {Wrap(a, kAtom) + "^2", kPower};
      return true;
    default:
      break;
  }
  const int arity = tok::FunctionArity(n->token);
  const std::string_view name = tok::FunctionName(n->token);
  if (arity == 0 || name.empty() || n->token == tok::Psi) return false;
  std::string text(name);
  text += '(';
  for (int i = 0; i < arity; ++i) {
    if (!Write(n->child[i], a)) return false;
    if (i > 0) text += ',';
    text += a.text;
  }
  text += ')';
  out = {text, kAtom};
  return true;
}

}  // namespace

bool TreeToText(const TExprNode* tree, std::string& text) {
  Piece p;
  if (!Write(tree, p)) return false;
  text = p.text;
  return true;
}

}  // namespace kv
