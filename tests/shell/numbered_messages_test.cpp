// Every numbered message the program can show has its text.  The codes come
// from the program's sources: the code argument of every call of the
// message routines (ShowMessageById, NumberedMessageText), whether a number,
// a named constant or a branch of a ?:.  A variable is followed to what the
// calling function assigns to it (a parameter to what the function's callers
// pass), and a call to what the called function (every function of that
// name, a kept lambda too) returns, a few calls deep.  That finds more than
// can be shown, never less of what the sources spell out: a code that its
// caller filters out before it shows the rest is listed below with the
// reason.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/resources.h"

namespace {

namespace fs = std::filesystem;

// Codes the scan finds that the program never shows.
struct NotShown {
  int code;
  const char* why;
};
const NotShown kNotShown[] = {
    {65, "the integrations return the stop key's code when A stops them; their dialogs return on it"},
};

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// The text with comments, strings and characters blanked out (a string
// becomes "", a character 0), line ends kept.
std::string Strip(const std::string& src) {
  std::string out;
  out.reserve(src.size());
  for (std::size_t i = 0; i < src.size();) {
    if (src.compare(i, 2, "//") == 0) {
      while (i < src.size() && src[i] != '\n') ++i;
    } else if (src.compare(i, 2, "/*") == 0) {
      const std::size_t end = src.find("*/", i + 2);
      const std::size_t stop = end == std::string::npos ? src.size() : end + 2;
      for (; i < stop; ++i) out += src[i] == '\n' ? '\n' : ' ';
    } else if (src[i] == '"' || src[i] == '\'') {
      const char quote = src[i++];
      while (i < src.size() && src[i] != quote) i += src[i] == '\\' ? 2 : 1;
      ++i;
      out += quote == '"' ? "\"\"" : "0";
    } else {
      out += src[i++];
    }
  }
  return out;
}

std::string Trim(std::string_view s) {
  std::size_t a = 0, b = s.size();
  while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
  while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
  return std::string(s.substr(a, b - a));
}

// The position just after the bracket that closes the one at `open`.
std::size_t Closing(const std::string& s, std::size_t open) {
  int depth = 0;
  for (std::size_t i = open; i < s.size(); ++i) {
    if (s[i] == '(' || s[i] == '[' || s[i] == '{') ++depth;
    if (s[i] == ')' || s[i] == ']' || s[i] == '}') {
      if (--depth == 0) return i + 1;
    }
  }
  return s.size();
}

// Splits at `sep` outside brackets; a ':' of "::" does not split.
std::vector<std::string> SplitTopLevel(const std::string& s, char sep) {
  std::vector<std::string> parts;
  int depth = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '(' || c == '[' || c == '{') ++depth;
    if (c == ')' || c == ']' || c == '}') --depth;
    const bool scope = c == ':' && ((i + 1 < s.size() && s[i + 1] == ':') || (i > 0 && s[i - 1] == ':'));
    if (depth == 0 && c == sep && !scope) {
      parts.push_back(s.substr(start, i - start));
      start = i + 1;
    }
  }
  parts.push_back(s.substr(start));
  return parts;
}

struct Body {
  std::size_t file, begin, end;  // the text between the braces
  std::size_t open = 0;          // the parameter list's "("
  std::string name;
};

struct Site {
  std::size_t file, open;  // a call's "("
};

// Where the value that starts at `from` ends: at a ";" or "," outside
// brackets, or at the ")" that closes a bracket opened before it (an
// assignment inside an if).
std::size_t ValueEnd(const std::string& s, std::size_t from) {
  int depth = 0;
  for (std::size_t i = from; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '(' || c == '[' || c == '{') ++depth;
    if ((c == ')' || c == ']' || c == '}') && --depth < 0) return i;
    if (depth == 0 && (c == ';' || c == ',')) return i;
  }
  return s.size();
}

class Sources {
 public:
  explicit Sources(const fs::path& root) {
    for (const char* dir : {"core", "formula", "shell", "graphics", "plotcore", "entry", "plot2d", "plot3d",
                            "planewin", "platform", "app"}) {
      for (const auto& entry : fs::recursive_directory_iterator(root / dir)) {
        const std::string ext = entry.path().extension().string();
        if (ext != ".cpp" && ext != ".h") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        names_.push_back(fs::relative(entry.path(), root).string());
        texts_.push_back(Strip(text.str()));
      }
    }
    for (std::size_t f = 0; f < texts_.size(); ++f) Index(f);
  }

  std::size_t FileCount() const { return texts_.size(); }

  struct Call {
    std::string where;  // file:line
    std::string argument;
    std::size_t file, at;
  };
  // The code argument of every call of the message routines.
  std::vector<Call> MessageCalls() const {
    std::vector<Call> calls;
    for (std::size_t f = 0; f < texts_.size(); ++f) {
      const std::string& s = texts_[f];
      for (const std::string_view routine : {"ShowMessageById", "NumberedMessageText"}) {
        for (std::size_t at = s.find(routine); at != std::string::npos; at = s.find(routine, at + 1)) {
          if ((at > 0 && IsWordChar(s[at - 1])) || IsWordChar(s[at + routine.size()])) continue;
          std::size_t open = at + routine.size();
          while (open < s.size() && s[open] == ' ') ++open;
          if (open >= s.size() || s[open] != '(') continue;
          std::vector<std::string> args = SplitTopLevel(s.substr(open + 1, Closing(s, open) - open - 2), ',');
          // Declarations and definitions name their parameters' types.
          if (args[0].find("int ") != std::string::npos || args[0].find("Window*") != std::string::npos ||
              (args.size() > 1 && args[1].find("int ") != std::string::npos))
            continue;
          // The routines' own forwarding counts through their callers.
          if (const Body* around = Around(f, at); around && around->name == routine) continue;
          // ShowMessageById(owner, n[, caption]) beside the window's own ShowMessageById(n[, caption]).
          const std::string first = Trim(args[0]);
          const std::string code = (first == "this" || first == "owner") && args.size() > 1 ? args[1] : args[0];
          calls.push_back({names_[f] + ":" + std::to_string(LineOf(f, at)), Trim(code), f, at});
        }
      }
    }
    return calls;
  }

  // The codes an expression can have, in the function around `scopeAt`.
  std::set<int> Codes(const std::string& expression, std::size_t file, std::size_t scopeAt, int depth) {
    std::set<int> out;
    std::string e = Trim(expression);
    while (e.size() > 1 && e.front() == '(' && Closing(e, 0) == e.size()) e = Trim(e.substr(1, e.size() - 2));
    if (e.empty() || depth > 4) return out;
    // a ? b : c gives b or c.
    const std::vector<std::string> question = SplitTopLevel(e, '?');
    if (question.size() > 1) {
      std::string rest = e.substr(question[0].size() + 1);
      for (const std::string& branch : SplitTopLevel(rest, ':')) Merge(out, Codes(branch, file, scopeAt, depth));
      return out;
    }
    if (std::all_of(e.begin(), e.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
      out.insert(std::stoi(e.size() > 9 ? "0" : e));
      return out;
    }
    if (e.rfind("static_cast<", 0) == 0) {
      const std::size_t open = e.find('(');
      if (open != std::string::npos) return Codes(e.substr(open + 1, Closing(e, open) - open - 2), file, scopeAt, depth);
    }
    // A call: what every function of that name returns.
    if (e.back() == ')') {
      std::size_t open = e.size() - 1;
      for (int d = 0; open > 0; --open) {
        if (e[open] == ')') ++d;
        if (e[open] == '(' && --d == 0) break;
      }
      std::size_t nameEnd = open;
      std::size_t nameBegin = nameEnd;
      while (nameBegin > 0 && IsWordChar(e[nameBegin - 1])) --nameBegin;
      const std::string name = e.substr(nameBegin, nameEnd - nameBegin);
      const std::string before = Trim(e.substr(0, nameBegin));
      const bool plainCall = before.empty() || before.back() == '.' || before.back() == '>' || before.back() == ':';
      if (!name.empty() && plainCall && Closing(e, open) == e.size()) return Returns(name, depth + 1);
      return out;
    }
    // A named constant (qualified or not).
    const std::size_t colon = e.rfind("::");
    const std::string last = colon == std::string::npos ? e : e.substr(colon + 2);
    if (auto c = constants_.find(last); c != constants_.end()) return c->second;
    // A variable: what the function around assigns to it.
    if (!std::all_of(e.begin(), e.end(), IsWordChar)) return out;
    const Body* scope = Around(file, scopeAt);
    if (!scope) return out;
    const std::string& s = texts_[file];
    bool assigned = false;
    for (std::size_t at = s.find(e, scope->begin); at != std::string::npos && at < scope->end;
         at = s.find(e, at + 1)) {
      // Whole words only, and not a member of another object (p.code).
      if ((at > 0 && (IsWordChar(s[at - 1]) || s[at - 1] == '.' || s[at - 1] == '>')) || IsWordChar(s[at + e.size()]))
        continue;
      std::size_t eq = at + e.size();
      while (eq < s.size() && s[eq] == ' ') ++eq;
      if (eq + 1 >= s.size() || s[eq] != '=' || s[eq + 1] == '=') continue;
      const std::size_t end = ValueEnd(s, eq + 1);
      if (end > scope->end) continue;
      assigned = true;
      Merge(out, Codes(s.substr(eq + 1, end - eq - 1), file, at, depth + 1));
    }
    // A parameter: what the function's callers pass.
    if (!assigned && !scope->name.empty()) Merge(out, Arguments(*scope, e, depth + 1));
    return out;
  }

 private:
  static void Merge(std::set<int>& into, const std::set<int>& from) { into.insert(from.begin(), from.end()); }

  // What the callers of the body's function pass for its parameter `name`.
  std::set<int> Arguments(const Body& body, const std::string& name, int depth) {
    std::set<int> out;
    if (depth > 4) return out;
    const std::string& s = texts_[body.file];
    const std::vector<std::string> params = SplitTopLevel(s.substr(body.open + 1, Closing(s, body.open) - body.open - 2), ',');
    std::size_t index = params.size();
    for (std::size_t k = 0; k < params.size(); ++k) {
      const std::string p = Trim(params[k].substr(0, params[k].find('=')));
      if (p.size() > name.size() && p.compare(p.size() - name.size(), name.size(), name) == 0 &&
          !IsWordChar(p[p.size() - name.size() - 1]))
        index = k;
    }
    if (index == params.size()) return out;
    if (auto c = calls_.find(body.name); c != calls_.end()) {
      for (const Site& site : c->second) {
        const std::string& t = texts_[site.file];
        const std::vector<std::string> args = SplitTopLevel(t.substr(site.open + 1, Closing(t, site.open) - site.open - 2), ',');
        if (index < args.size()) Merge(out, Codes(args[index], site.file, site.open, depth));
      }
    }
    return out;
  }

  std::size_t LineOf(std::size_t file, std::size_t at) const {
    return 1 + static_cast<std::size_t>(std::count(texts_[file].begin(), texts_[file].begin() + at, '\n'));
  }

  // Named constants (kName = number) and the bodies of named functions.
  void Index(std::size_t f) {
    const std::string& s = texts_[f];
    for (std::size_t i = 0; i + 1 < s.size(); ++i) {
      if (!IsWordChar(s[i]) || (i > 0 && IsWordChar(s[i - 1]))) continue;
      std::size_t end = i;
      while (end < s.size() && IsWordChar(s[end])) ++end;
      const std::string word = s.substr(i, end - i);
      std::size_t next = end;
      while (next < s.size() && s[next] == ' ') ++next;
      if (next < s.size() && word.size() > 1 && word[0] == 'k' && std::isupper(static_cast<unsigned char>(word[1])) &&
          s[next] == '=' && s[next + 1] != '=') {
        std::size_t v = next + 1;
        while (v < s.size() && s[v] == ' ') ++v;
        std::size_t digits = v;
        while (digits < s.size() && std::isdigit(static_cast<unsigned char>(s[digits]))) ++digits;
        if (digits > v && digits - v < 10 && !IsWordChar(s[digits])) constants_[word].insert(std::stoi(s.substr(v, digits - v)));
      }
      if (next < s.size() && s[next] == '(' && word != "if" && word != "for" && word != "while" && word != "switch" &&
          word != "catch" && word != "return") {
        std::size_t after = Closing(s, next);
        for (;;) {
          while (after < s.size() && std::isspace(static_cast<unsigned char>(s[after]))) ++after;
          bool qualifier = false;
          for (const std::string_view q : {"const", "override", "noexcept", "final"}) {
            if (s.compare(after, q.size(), q) == 0 && !IsWordChar(s[after + q.size()])) {
              after += q.size();
              qualifier = true;
            }
          }
          if (!qualifier) break;
        }
        if (after < s.size() && s[after] == '{') {
          const Body body{f, after + 1, Closing(s, after) - 1, next, word};
          bodies_[word].push_back(body);
          all_.push_back(body);
        } else {
          calls_[word].push_back({f, next});
        }
      }
      // A lambda kept in a variable: name = [...](...) {...}
      if (next < s.size() && s[next] == '=' && s[next + 1] != '=') {
        std::size_t lambda = next + 1;
        while (lambda < s.size() && s[lambda] == ' ') ++lambda;
        if (lambda < s.size() && s[lambda] == '[') {
          std::size_t open = Closing(s, lambda);
          while (open < s.size() && s[open] == ' ') ++open;
          if (open < s.size() && s[open] == '(') {
            std::size_t brace = Closing(s, open);
            while (brace < s.size() && s[brace] != '{' && s[brace] != ';') ++brace;
            if (brace < s.size() && s[brace] == '{') {
              const Body body{f, brace + 1, Closing(s, brace) - 1, open, word};
              bodies_[word].push_back(body);
              all_.push_back(body);
            }
          }
        }
      }
      i = end - 1;
    }
  }

  // The innermost named function's body around the position.
  const Body* Around(std::size_t file, std::size_t at) const {
    const Body* best = nullptr;
    for (const Body& b : all_)
      if (b.file == file && b.begin <= at && at <= b.end && (!best || b.end - b.begin < best->end - best->begin))
        best = &b;
    return best;
  }

  std::set<int> Returns(const std::string& name, int depth) {
    std::set<int> out;
    if (!following_.insert(name).second) return out;
    if (auto b = bodies_.find(name); b != bodies_.end()) {
      for (const Body& body : b->second) {
        const std::string& s = texts_[body.file];
        for (std::size_t at = s.find("return", body.begin); at != std::string::npos && at < body.end;
             at = s.find("return", at + 1)) {
          if ((at > 0 && IsWordChar(s[at - 1])) || IsWordChar(s[at + 6])) continue;
          const std::size_t end = ValueEnd(s, at + 6);
          if (end > body.end) continue;
          Merge(out, Codes(s.substr(at + 6, end - at - 6), body.file, at, depth));
        }
      }
    }
    following_.erase(name);
    return out;
  }

  std::vector<std::string> names_, texts_;
  std::map<std::string, std::set<int>> constants_;
  std::map<std::string, std::vector<Body>> bodies_;
  std::map<std::string, std::vector<Site>> calls_;
  std::vector<Body> all_;
  std::set<std::string> following_;
};

TEST(NumberedMessages, EveryCodeTheProgramCanShowHasItsText) {
  Sources sources(KURVATO_SOURCE_ROOT);
  ASSERT_GT(sources.FileCount(), 100u);
  const std::vector<Sources::Call> calls = sources.MessageCalls();
  ASSERT_GT(calls.size(), 150u) << "the calls were found";

  std::map<int, std::set<std::string>> shownFrom;
  for (const Sources::Call& call : calls) {
    const std::set<int> codes = sources.Codes(call.argument, call.file, call.at, 0);
    // A code the scan cannot follow would go unchecked.
    EXPECT_FALSE(codes.empty()) << call.where << ": " << call.argument << " is not followed to a code";
    for (int code : codes)
      if (code > 0) shownFrom[code].insert(call.where);
  }
  // The formula compiler's codes reach the routine through variables.
  for (int code : {1, 2, 4, 6, 17, 20, 101, 108, 117, 122}) EXPECT_TRUE(shownFrom.count(code)) << code;

  std::set<int> excepted;
  for (const NotShown& n : kNotShown) excepted.insert(n.code);
  for (const auto& [code, where] : shownFrom) {
    if (plat::res::HasString(400 + code) || excepted.count(code)) continue;
    std::string sites;
    for (const std::string& w : where) sites += "\n  " + w;
    ADD_FAILURE() << "message " << code << " has no text, shown from:" << sites;
  }
  // The list holds only what it must.
  for (int code : excepted) {
    EXPECT_TRUE(shownFrom.count(code)) << code << " is no longer found: take it off its list";
    EXPECT_FALSE(plat::res::HasString(400 + code)) << code << " has a text: take it off its list";
  }
}

}  // namespace
