#include "entry/model/point_items.h"

#include <algorithm>
#include <cmath>

#include "core/vector2d.h"
#include "plotcore/model/entry_evaluation.h"

namespace kv {

int PointItemKind(const TEquation& e) { return e.kind == kKindPointSequence ? e.subKind : e.kind; }

int PointItemCount(const TEquation& e) {
  if (e.kind != kKindPointSequence) return 1;
  const int listed = std::max<int>(e.auxValue3, 0);
  return std::min(listed, static_cast<int>(e.cellDepths.size()));
}

int PointItemLetter(const TEquation& e) {
  if (e.kind != kKindPointSequence) return 0;
  if (e.auxValue4 >= 1 && e.auxValue4 <= 26) return '@' + e.auxValue4;
  return PointItemKind(e) == kKindExplicit ? 'X' : 'T';
}

bool PointSampleInBounds(const TEquation& e, int k) {
  if (e.kind != kKindPointSequence) return true;
  if (k < 0 || k >= static_cast<int>(e.cellDepths.size())) return false;
  const long double lo = e.sampleLower();
  const long double hi = e.sampleUpper();
  if (!(lo < hi)) return true;
  const long double v = e.cellDepths[static_cast<std::size_t>(k)];
  return v >= lo && v <= hi;
}

bool EvaluatePointItem(TEquation& e, TFormulaEngine& engine, int k, TPoint3D& p) {
  const int kind = PointItemKind(e);
  long double sample = 0;
  if (e.kind == kKindPointSequence) {
    if (k < 0 || k >= static_cast<int>(e.cellDepths.size())) return false;
    sample = e.cellDepths[static_cast<std::size_t>(k)];
    engine.SetVariable(PointItemLetter(e), sample);
  }
  auto& t = e.trees;
  p = {};
  switch (kind) {
    case kKindExplicit:
      p.x = sample;
      if (!EvaluateReal(engine, t[1].get(), p.y)) return false;
      break;
    case kKindPolar:
    case kKindParametric:
    case kKindPoint:
    case kKindSpaceCurve:
    case kKindPoint3D:
      if (e.kindFlag && (kind == kKindPoint || kind == kKindPoint3D)) {
        TExprNode* z = t[0].get();
        if (!z || !engine.Evaluate(z) || !std::isfinite(z->value.re) || !std::isfinite(z->value.im)) return false;
        p.x = z->value.re;
        p.y = z->value.im;
      } else if (!EvaluateReal(engine, t[0].get(), p.x) || !EvaluateReal(engine, t[1].get(), p.y)) {
        return false;
      }
      if ((kind == kKindSpaceCurve || kind == kKindPoint3D) && !EvaluateReal(engine, t[2].get(), p.z)) return false;
      break;
    default:
      return false;
  }
  if (kind == kKindPoint && e.polarInput && !e.kindFlag) {
    TPoint2D q{p.x, p.y};
    if (!PolarToCartesian2D(q)) return false;
    p.x = q.x;
    p.y = q.y;
  } else if (kind == kKindPoint3D && !e.kindFlag) {
    if (e.arrowMode == 1) {
      TPoint2D q{p.x, p.y};
      if (!PolarToCartesian2D(q)) return false;
      p.x = q.x;
      p.y = q.y;
    } else if (e.arrowMode == 2 && !SphericalToCartesian3D(p)) {
      return false;
    }
  }
  e.values[4] = p;
  return true;
}

// ---- guide-line roles ----

namespace {

constexpr std::string_view kRoleLetters = "XYZRTP";

}  // namespace

std::string FormatVariableRoles(std::int16_t code) {
  if (code <= 0) return {};
  std::string s;
  int v = code;
  for (int k = 0; k < 6; ++k) {
    s += static_cast<char>('0' + v % 4);
    v /= 4;
  }
  while (!s.empty() && s.back() == '0') s.pop_back();
  return s;
}

int ParseVariableRoles(std::string_view text, std::int16_t& code) {
  int value = 0;
  int weight = 1;
  int digits = 0;
  bool letters = false;
  for (char c : text) {
    if (c == ' ') continue;
    const char upper = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    const std::size_t piece = kRoleLetters.find(upper);
    if (piece != std::string_view::npos || c == '/') {
      if (digits > 0) return 1;
      letters = true;
      if (piece != std::string_view::npos) value |= 1 << (2 * piece);
      continue;
    }
    if (letters || c < '0' || c > '3' || digits == 6) return 1;
    value += (c - '0') * weight;
    weight *= 4;
    ++digits;
  }
  code = static_cast<std::int16_t>(value);
  return 0;
}

std::string OlderPointRoles(const TEquation& e) {
  const std::size_t dimension = e.kind == kKindPoint3D ? 3 : 2;
  std::string roles(kRoleLetters.substr(0, dimension));
  const bool polar = e.kind == kKindPoint3D ? (e.arrowMode == 1 || e.arrowMode == 2) : (e.polarInput && !e.kindFlag);
  if (polar) roles += "/" + std::string(kRoleLetters.substr(3, dimension));
  return roles;
}

}  // namespace kv
