// Platform-internal: the resource script's lexer.  A script's bytes become
// tokens (identifiers, numbers, strings, commas, each with its line) and
// the errors of a script are collected with their file and line.  A byte
// the language does not know, a number too large or with letters after its
// digits, and a string that is unterminated or not valid UTF-8 are
// reported; the token list always ends with Eof.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace plat::res::detail {

inline constexpr int kMaxErrorsPerScript = 50;

// Strict UTF-8 check: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view s);

enum class Tok { Ident, Number, String, Comma, Eof };

struct Token {
  Tok kind = Tok::Eof;
  std::string text;  // identifier, or the string's decoded contents
  long long number = 0;
  int line = 0;
};

class Errors {
 public:
  Errors(const std::string& fileName, std::vector<std::string>& out) : file_(fileName), out_(out) {}
  void Add(int line, const std::string& message) {
    ++count_;
    if (count_ <= kMaxErrorsPerScript)
      out_.push_back(file_ + ":" + std::to_string(line) + ": " + message);
    else if (count_ == kMaxErrorsPerScript + 1)
      out_.push_back(file_ + ":" + std::to_string(line) + ": too many errors, the rest are not shown");
  }

 private:
  const std::string& file_;
  std::vector<std::string>& out_;
  int count_ = 0;
};

std::vector<Token> Tokenize(std::string_view src, Errors& errors);

}  // namespace plat::res::detail
