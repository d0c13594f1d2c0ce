#include "formula/compiler.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "formula/tokens.h"
#include "formula/user_functions.h"
#include "core/constants.h"

namespace kv {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool StartsWithNoCase(std::string_view text, std::size_t pos, std::string_view name) {
  if (text.size() - pos < name.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (Lower(text[pos + i]) != name[i]) return false;
  }
  return true;
}

// The longest built-in or user-defined name starting at text[pos].
struct NameMatch {
  std::size_t length = 0;
  const tok::BuiltinName* builtin = nullptr;
  int function = -1;
};

NameMatch MatchName(std::string_view text, std::size_t pos, const TUserFunctionTable* functions,
                    bool internalNames) {
  NameMatch best;
  for (const tok::BuiltinName& b : tok::BuiltinNames()) {
    if (b.internal && !internalNames) continue;
    if (b.name.size() > best.length && StartsWithNoCase(text, pos, b.name)) {
      best.length = b.name.size();
      best.builtin = &b;
    }
  }
  if (functions) {
    int index = -1;
    const std::size_t length = functions->MatchAt(text, pos, index);
    if (length > best.length) {
      best.length = length;
      best.builtin = nullptr;
      best.function = index;
    }
  }
  return best;
}

}  // namespace

int Tokenize(std::string_view text, const TUserFunctionTable* functions,
             std::vector<TToken>& tokens, int* errorPosition, bool internalNames) {
  tokens.clear();
  const std::size_t n = text.size();
  auto fail = [&](std::size_t pos) {
    if (errorPosition) *errorPosition = static_cast<int>(pos);
    return static_cast<int>(kFormulaNotUnderstood);
  };
  std::size_t i = 0;
  while (i < n) {
    const char c = text[i];
    if (IsBlank(c)) {
      ++i;
      continue;
    }
    TToken t;
    t.position = static_cast<std::int32_t>(i);
    if (IsDigit(c) || (c == '.' && i + 1 < n && IsDigit(text[i + 1]))) {
      const std::size_t start = i;
      while (i < n && IsDigit(text[i])) ++i;
      if (i < n && text[i] == '.') {
        ++i;
        while (i < n && IsDigit(text[i])) ++i;
      }
      if (i < n && text[i] == '.') return fail(i);  // a second decimal point
      long double v = 0;
      const auto result =
          std::from_chars(text.data() + start, text.data() + i, v, std::chars_format::fixed);
      if (result.ec != std::errc() || result.ptr != text.data() + i) return fail(start);
      t.code = tok::Number;
      t.value = TComplex(v, 0);
      if (i < n && Lower(text[i]) == 'i' &&
          MatchName(text, i, functions, internalNames).length == 0) {
        t.value = TComplex(0, v);
        ++i;
      }
    } else if (c == '@') {
      t.code = tok::At;
      ++i;
    } else if (IsAsciiLetter(c)) {
      const NameMatch m = MatchName(text, i, functions, internalNames);
      if (m.length == 0) {
        t.code = tok::Letter(Lower(c) - 'a' + 1);
        ++i;
      } else if (m.builtin && m.builtin->arguments == 0) {
        t.code = tok::Number;  // the constant pi
        t.value = TComplex(Pi, 0);
        i += m.length;
      } else if (m.builtin) {
        t.code = m.builtin->code;
        t.argCount = static_cast<std::int16_t>(m.builtin->arguments);
        i += m.length;
      } else {
        t.code = tok::UserCall;
        t.function = m.function;
        t.argCount = functions->Functions()[static_cast<std::size_t>(m.function)].argCount;
        i += m.length;
      }
    } else {
      if (c == '(' && !tokens.empty() && tok::IsLetter(tokens.back().code) && tokens.back().length == 1 &&
          static_cast<std::size_t>(tokens.back().position) + 1 == i) {
        // A run of letters written directly before a bracket must end in a
        // known name: "foo(x)" or "wurzel(x)" is a misspelt function, not
        // f*o*o*(x).  A single letter ("a(x+1)") is a product.
        std::size_t start = i - 1;
        while (start > 0 && IsAsciiLetter(text[start - 1])) --start;
        if (i - start >= 2) return fail(start);
      }
      switch (c) {
        case '+': case '-': case '*': case '/': case '^': case '(': case ')': case ',':
          t.code = static_cast<std::int16_t>(c);
          ++i;
          break;
        default:
          return fail(i);
      }
    }
    t.length = static_cast<std::int32_t>(i - static_cast<std::size_t>(t.position));
    tokens.push_back(t);
  }
  TToken end;
  end.code = tok::End;
  end.position = static_cast<std::int32_t>(n);
  tokens.push_back(end);
  return kFormulaOk;
}

namespace {

// A parsed subtree with its depth.
struct Sub {
  TreePtr node;
  int depth = 0;
};

class Parser {
 public:
  Parser(const std::vector<TToken>& tokens, const TUserFunctionTable* functions)
      : tokens_(tokens), functions_(functions) {}

  int Run(TreePtr& tree, int& errorPosition) {
    Sub s;
    if (ParseExpression(s)) {
      if (Peek().code != tok::End) Fail(kFormulaNotUnderstood, Peek().position);
    }
    if (code_ != kFormulaOk) {
      errorPosition = errorPosition_;
      return code_;
    }
    tree = std::move(s.node);
    return kFormulaOk;
  }

 private:
  const TToken& Peek() const { return tokens_[pos_]; }
  void Next() {
    if (pos_ + 1 < tokens_.size()) ++pos_;
  }

  bool Fail(int code, int position) {
    if (code_ == kFormulaOk) {
      code_ = code;
      errorPosition_ = position;
    }
    return false;
  }

  bool Count(int added, int position) {
    nodes_ += added;
    return nodes_ <= kMaxTreeNodes || Fail(kFormulaTooBig, position);
  }

  bool Combine(int token, Sub& left, Sub right, int position) {
    const int depth = std::max(left.depth, right.depth) + 1;
    if (depth > kMaxTreeDepth) return Fail(kFormulaTooBig, position);
    if (!Count(1, position)) return false;
    left.node.reset(NewBinaryNode(token, left.node.release(), right.node.release()));
    left.depth = depth;
    return true;
  }

  bool Enter(int position) {
    if (++nesting_ > kMaxFormulaNesting) return Fail(kFormulaTooBig, position);
    return true;
  }
  void Leave() { --nesting_; }

  static bool StartsAtom(const TToken& t) {
    return t.code == tok::Number || tok::IsLetter(t.code) || t.code == tok::LeftParen ||
           t.code == tok::UserCall || tok::IsFunction(t.code);
  }

  bool ParseExpression(Sub& out) {
    if (!ParseTerm(out)) return false;
    while (Peek().code == tok::Plus || Peek().code == tok::Minus) {
      const TToken op = Peek();
      Next();
      Sub right;
      if (!ParseTerm(right) || !Combine(op.code, out, std::move(right), op.position)) return false;
    }
    return true;
  }

  bool ParseTerm(Sub& out) {
    if (!ParseSigned(out)) return false;
    for (;;) {
      const TToken op = Peek();
      Sub right;
      if (op.code == tok::Times || op.code == tok::Divide) {
        Next();
        if (!ParseSigned(right) || !Combine(op.code, out, std::move(right), op.position))
          return false;
      } else if (StartsAtom(op)) {  // juxtaposition
        if (!ParsePower(right) || !Combine(tok::Times, out, std::move(right), op.position))
          return false;
      } else {
        return true;
      }
    }
  }

  bool ParseSigned(Sub& out) {
    const TToken sign = Peek();
    if (sign.code != tok::Minus && sign.code != tok::Plus) return ParsePower(out);
    if (!Enter(sign.position)) return false;
    Next();
    Sub operand;
    const bool ok = ParseSigned(operand);
    Leave();
    if (!ok) return false;
    if (sign.code == tok::Plus) {
      out = std::move(operand);
      return true;
    }
    out.node.reset(NewNumberNode(TComplex()));
    out.depth = 1;
    return Count(1, sign.position) && Combine(tok::Minus, out, std::move(operand), sign.position);
  }

  bool ParsePower(Sub& out) {
    if (!ParseAtom(out)) return false;
    if (Peek().code != tok::Power) return true;
    const TToken op = Peek();
    Next();
    if (!Enter(op.position)) return false;
    Sub exponent;
    const bool ok = ParseSigned(exponent);
    Leave();
    return ok && Combine(tok::Power, out, std::move(exponent), op.position);
  }

  bool ParseAtom(Sub& out) {
    const TToken t = Peek();
    if (t.code == tok::Number) {
      Next();
      out.node.reset(NewNumberNode(t.value));
      out.depth = 1;
      return Count(1, t.position);
    }
    if (tok::IsLetter(t.code)) {
      Next();
      out.node.reset(NewNode(t.code));
      out.depth = 1;
      return Count(1, t.position);
    }
    if (t.code == tok::LeftParen) {
      if (!Enter(t.position)) return false;
      Next();
      const bool ok = ParseExpression(out);
      Leave();
      if (!ok) return false;
      if (Peek().code != tok::RightParen) return Fail(kFormulaNotUnderstood, Peek().position);
      Next();
      return true;
    }
    if (t.code == tok::UserCall || tok::IsFunction(t.code)) return ParseCall(out);
    return Fail(kFormulaNotUnderstood, t.position);
  }

  bool ParseCall(Sub& out) {
    const TToken name = Peek();
    Next();
    if (Peek().code != tok::LeftParen) return Fail(kFormulaNotUnderstood, Peek().position);
    if (!Enter(name.position)) return false;
    Next();
    std::vector<Sub> args;
    if (Peek().code != tok::RightParen) {
      for (;;) {
        Sub a;
        if (!ParseExpression(a)) {
          Leave();
          return false;
        }
        args.push_back(std::move(a));
        if (Peek().code != tok::Comma) break;
        Next();
      }
    }
    Leave();
    if (Peek().code != tok::RightParen) return Fail(kFormulaNotUnderstood, Peek().position);
    Next();
    if (static_cast<int>(args.size()) != name.argCount)
      return Fail(kFormulaArgumentCount, name.position);
    int depth = 0;
    for (const Sub& a : args) depth = std::max(depth, a.depth);
    if (name.code == tok::UserCall) return ExpandUserCall(name, args, depth, out);
    if (depth + 1 > kMaxTreeDepth) return Fail(kFormulaTooBig, name.position);
    if (!Count(1, name.position)) return false;
    TExprNode* node = NewNode(name.code);
    node->argCount = static_cast<std::int16_t>(args.size());
    for (std::size_t i = 0; i < args.size(); ++i) node->child[i] = args[i].node.release();
    out.node.reset(node);
    out.depth = depth + 1;
    return true;
  }

  bool ExpandUserCall(const TToken& name, std::vector<Sub>& args, int argDepth, Sub& out) {
    const TExprNode* body = nullptr;
    TUserFunctionTable::BodyShape shape;
    const int code = functions_->Body(name.function, body, &shape);
    if (code != kFormulaOk) return Fail(code, name.position);
    const int depth = shape.depth + argDepth;
    if (depth > kMaxTreeDepth) return Fail(kFormulaTooBig, name.position);
    // Every use of a formal argument gets a copy of its actual argument:
    // measure first, so that a call cannot allocate without bound.
    long size = shape.nodes;
    for (std::size_t i = 0; i < args.size(); ++i)
      size += shape.uses[i] * (CountNodes(args[i].node.get()) - 1);
    if (size > kMaxTreeNodes) return Fail(kFormulaTooBig, name.position);
    static constexpr int kFormals[3] = {tok::X, tok::Y, tok::Z};
    const TExprNode* actuals[3] = {nullptr, nullptr, nullptr};
    for (std::size_t i = 0; i < args.size(); ++i) actuals[i] = args[i].node.get();
    long made = 0;
    out.node.reset(CloneAndSubstituteAll(body, kFormals, actuals, static_cast<int>(args.size()), &made));
    out.depth = depth;
    return Count(static_cast<int>(std::min<long>(made, kMaxTreeNodes + 1)), name.position);
  }

  const std::vector<TToken>& tokens_;
  const TUserFunctionTable* functions_;
  std::size_t pos_ = 0;
  int nesting_ = 0;
  int nodes_ = 0;
  int code_ = kFormulaOk;
  int errorPosition_ = 0;
};

}  // namespace

int CompileFormula(std::string_view text, const TUserFunctionTable* functions, TreePtr& tree,
                   int* errorPosition, bool internalNames) {
  tree.reset();
  int position = 0;
  // Unbalanced parentheses first: that message helps more than "unverständlich".
  int depth = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '(') ++depth;
    if (text[i] == ')' && --depth < 0) {
      if (errorPosition) *errorPosition = static_cast<int>(i);
      return kFormulaParentheses;
    }
  }
  if (depth != 0) {
    if (errorPosition) *errorPosition = static_cast<int>(text.size());
    return kFormulaParentheses;
  }
  std::vector<TToken> tokens;
  int code = Tokenize(text, functions, tokens, &position, internalNames);
  if (code == kFormulaOk) {
    Parser parser(tokens, functions);
    code = parser.Run(tree, position);
  }
  if (code != kFormulaOk && errorPosition) *errorPosition = position;
  return code;
}

}  // namespace kv
