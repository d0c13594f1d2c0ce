#include "entry/model/point_lists.h"

#include "formula/tokens.h"

namespace kv {

namespace {

bool IsNumberPart(char c) { return (c >= '0' && c <= '9') || c == '.' || c == '-'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits with at most one point, a minus only in front.
bool IsDecimal(std::string_view s) {
  std::size_t k = s[0] == '-' ? 1 : 0;
  bool point = false;
  for (; k < s.size(); ++k) {
    if (s[k] == '.') {
      if (point) return false;
      point = true;
    } else if (!IsDigit(s[k])) {
      return false;
    }
  }
  return true;
}

}  // namespace

int ScanPastedNumbers(std::string_view text, std::vector<std::string>& numbers, int& badLine) {
  numbers.clear();
  badLine = 0;
  int line = 1;
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (!IsNumberPart(text[pos])) {
      if (text[pos] == '\n') ++line;
      ++pos;
      continue;
    }
    const std::size_t start = pos;
    bool digit = false;
    while (pos < text.size() && IsNumberPart(text[pos])) digit = IsDigit(text[pos++]) || digit;
    if (!digit) continue;
    const std::string_view run = text.substr(start, pos - start);
    // An exponent would be read as a second number: 1E-05 is no pair.
    const bool exponent = pos + 1 < text.size() && (text[pos] == 'e' || text[pos] == 'E') &&
                          (IsDigit(text[pos + 1]) || text[pos + 1] == '-' || text[pos + 1] == '+');
    if (!IsDecimal(run) || exponent || run.size() > kFormulaTextSize - 1) {
      numbers.clear();
      badLine = line;
      return 1;
    }
    numbers.emplace_back(run);
  }
  return numbers.empty() ? 24 : 0;
}

void PreparePointSequence(TEquation& e, const TEquation& curve, int curveIndex, std::string_view list, int size,
                          int colour) {
  InitEquation(e, kKindPointSequence, colour, 50);
  e.derivation = kDerivedPointSequence;
  e.source1 = static_cast<std::int16_t>(curveIndex);
  e.penWidth = static_cast<std::int16_t>(size);
  e.penColour = static_cast<std::uint16_t>(colour);
  e.subKind = static_cast<std::int16_t>(curve.kind);
  e.formulaText[3] = std::string(list.substr(0, kFormulaTextSize - 1));
  // The letter index of the curve's variable: X for graphs, T otherwise.
  e.auxValue4 = static_cast<std::int16_t>(curve.kind == kKindExplicit ? tok::X - tok::At : tok::T - tok::At);
  RefreshPointSequence(e, curve);
}

void RefreshPointSequence(TEquation& e, const TEquation& curve) {
  std::vector<long double> values;
  e.auxValue3 = static_cast<std::int16_t>(ScanNumberList(e.formulaText[3], values));
  e.cellDepths = std::move(values);
  // The curve's range goes into the value block the drawing reads; the
  // sequence's own bounds are not its curve's.
  e.sampleLower() = curve.lowerBound.x;
  e.sampleUpper() = curve.upperBound.x;
  e.bounded = curve.bounded;
  for (std::size_t k = 0; k < 3; ++k) e.trees[k].reset(curve.trees[k] ? CloneTree(curve.trees[k].get()) : nullptr);
}

}  // namespace kv
