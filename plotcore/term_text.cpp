#include "plotcore/term_text.h"

#include <cmath>
#include <vector>

#include "core/text_encoding.h"
#include "shell/text_helpers.h"

namespace kv {

namespace {

// The term strings shown as values, the fourth as the name, and the flags
// "Name" and "Term".
constexpr int kValueTerms = 3;
constexpr std::size_t kNameString = 3;
constexpr std::size_t kShowName = 3;
constexpr std::size_t kShowTerm = 4;

}  // namespace

std::string ComposeTermText(const TTermBlock& b, const TTermEvaluator& evaluate) {
  std::vector<std::string> parts;
  for (int k = 0; k < kValueTerms; ++k) {
    const std::size_t i = static_cast<std::size_t>(k);
    if (!b.show[i] || b.terms[i].empty()) continue;
    long double v = 0;
    std::string value = "?";
    if (evaluate(b.terms[i], v) == 0 && std::isfinite(v)) value = FormatNumber(v, 1, b.decimals[i]);
    parts.push_back(b.show[kShowTerm] ? b.terms[i] + " = " + value : value);
  }
  std::string body;
  for (std::size_t k = 0; k < parts.size(); ++k) body += (k ? "; " : "") + parts[k];
  if (parts.size() > 1) body = "(" + body + ")";
  std::string text;
  const std::string& name = b.terms[kNameString];
  if (b.show[kShowName] && !name.empty()) {
    text = name;
    if (parts.size() == 1) text += " = ";
  }
  text += body;
  if (b.hyphenChar <= 0 || b.hyphenChar > 255) return text;
  std::string hyphen;
  AppendUtf8(hyphen, Cp1252ToUnicode(static_cast<unsigned char>(b.hyphenChar)));
  std::string out;
  for (char c : text) out += c == '-' ? hyphen : std::string(1, c);
  return out;
}

}  // namespace kv
