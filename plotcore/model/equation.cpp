#include "plotcore/model/equation.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "core/constants.h"

namespace kv {

// ---- items ----

TEquationItem CloneEquationItem(const TEquationItem& item) {
  TEquationItem c;
  c.start = item.start;
  c.startCode = item.startCode;
  c.direction = item.direction;
  c.paramStart = item.paramStart;
  c.paramEnd = item.paramEnd;
  c.tag = item.tag;
  c.level = item.level;
  c.scale = item.scale;
  c.stepLimit = item.stepLimit;
  c.pen = item.pen;
  c.method = item.method;
  c.serial = item.serial;
  c.texts = item.texts;
  for (std::size_t k = 0; k < c.trees.size(); ++k) c.trees[k].reset(CloneTree(item.trees[k].get()));
  return c;
}

std::list<TEquationItem> CloneEquationItems(const std::list<TEquationItem>& list) {
  std::list<TEquationItem> out;
  for (const TEquationItem& item : list) out.push_back(CloneEquationItem(item));
  return out;
}

void InitEquationItem(TEquationItem& item, int itemKind, int colour, int width, int style) {
  item = TEquationItem{};
  item.startCode = static_cast<std::int16_t>(itemKind);
  SetTriple16(item.pen, static_cast<std::uint16_t>(colour), static_cast<std::uint16_t>(width),
              static_cast<std::uint16_t>(style));
}

void AllocEquationItemStrings(TEquationItem& item) {
  for (std::string& s : item.texts) s.clear();
  for (TreePtr& t : item.trees) t.reset();
}

void FreeEquationItemStrings(TEquationItem& item) { AllocEquationItemStrings(item); }

void FreeEquationItemList(std::list<TEquationItem>& list) { list.clear(); }

// ---- shading codes ----

TPackedLetters SplitPackedCode(int code) {
  if (code < 0) code = 0;
  return {code % 9, (code / 9) % 25, (code / 9) / 25};
}

int PackShadeCode(int pattern, int fromLetter, int toLetter) { return pattern + 9 * fromLetter + 225 * toLetter; }

// ---- the equation record ----

void InitEquation(TEquation& e, int kind, int colour, int density) {
  e = TEquation{};
  if (kind == kKindLagrange) {
    e.kind = kKindExplicit;
    e.interpolated = 1;
    e.kindFlag = 1;
  } else {
    e.kind = static_cast<std::uint16_t>(kind);
  }
  e.penColour = static_cast<std::uint16_t>(colour);
  e.density = static_cast<std::int16_t>(density);
  if (e.kind == kKindExplicit) {
    e.familyDelay = 50;
    e.termCount = 10;
  }
  if (kind == kKindPlanets) e.auxValue1 = 3;
  e.curvePoints = {150, 150};
  e.upperBound = {1, 1};
  e.values[1] = {1, 1, 1};
  e.values[2] = e.values[0];
  e.values[3] = e.values[1];
}

void InitEquationBuffers(TEquation& e) {
  if (IsLagrangePolynomial(e)) {
    e.samples.assign(9, TPoint3D{});
    e.cellDepths.assign(9, 0.0L);
  } else if (e.kind == kKindPlanets) {
    // Up to 120 bodies; 288 values, the first 144 the pair factors.
    e.samples.assign(120, TPoint3D{});
    e.cellDepths.assign(288, 0.0L);
  }
}

void FreeEquation(TEquation& e) {
  for (std::string& s : e.formulaText) s.clear();
  for (TreePtr& t : e.trees) t.reset();
  e.samples.clear();
  e.devicePoints.clear();
  e.cellDepths.clear();
  e.cellFlags.clear();
  e.items.clear();
  e.results.clear();
}

void ClearEquationItems(TEquation& e) { e.items.clear(); }

void FreeResultPoints(TEquation& e) { e.results.clear(); }

namespace {

// Every plain field, none of the heap parts.
void CopyFixedFields(TEquation& t, const TEquation& s) {
  t.kind = s.kind;
  t.derivation = s.derivation;
  t.source1 = s.source1;
  t.source2 = s.source2;
  t.auxValue1 = s.auxValue1;
  t.auxValue2 = s.auxValue2;
  t.stepDensity = s.stepDensity;
  t.fieldRows = s.fieldRows;
  t.fieldMode = s.fieldMode;
  t.fieldLength = s.fieldLength;
  t.sideColour1 = s.sideColour1;
  t.sideColour2 = s.sideColour2;
  t.subKind = s.subKind;
  t.subValue = s.subValue;
  t.familyDelay = s.familyDelay;
  t.arrowSize = s.arrowSize;
  t.arrowMode = s.arrowMode;
  t.termCount = s.termCount;
  t.auxValue3 = s.auxValue3;
  t.auxValue4 = s.auxValue4;
  t.familyLetter = s.familyLetter;
  t.familySteps = s.familySteps;
  t.density = s.density;
  t.familyOn = s.familyOn;
  t.bounded = s.bounded;
  t.visible = s.visible;
  t.densityFlag = s.densityFlag;
  t.restricted = s.restricted;
  t.filled = s.filled;
  t.unclipped = s.unclipped;
  t.reserved53 = s.reserved53;
  t.automaticExtent = s.automaticExtent;
  t.kindFlag = s.kindFlag;
  t.webToAxis = s.webToAxis;
  t.drawFilled = s.drawFilled;
  t.polarInput = s.polarInput;
  t.interpolated = s.interpolated;
  t.notVertical = s.notVertical;
  t.elementLength = s.elementLength;
  t.familyStart = s.familyStart;
  t.familyEnd = s.familyEnd;
  t.rangeMin = s.rangeMin;
  t.rangeMax = s.rangeMax;
  t.divisions = s.divisions;
  t.divisionsDerived = s.divisionsDerived;
  t.curvePoints = s.curvePoints;
  t.lowerBound = s.lowerBound;
  t.upperBound = s.upperBound;
  t.values = s.values;
  t.penColour = s.penColour;
  t.penWidth = s.penWidth;
  t.penStyle = s.penStyle;
}

void CopyHeapParts(TEquation& t, const TEquation& s, bool withTrees) {
  t.formulaText = s.formulaText;
  t.samples = s.samples;
  t.devicePoints = s.devicePoints;
  t.cellDepths = s.cellDepths;
  t.cellFlags = s.cellFlags;
  t.items = CloneEquationItems(s.items);
  t.results = s.results;
  for (std::size_t k = 0; k < t.trees.size(); ++k) t.trees[k].reset(withTrees ? CloneTree(s.trees[k].get()) : nullptr);
}

}  // namespace

void CopyEquation(TEquation& target, const TEquation& source) {
  if (&target == &source) return;
  CopyFixedFields(target, source);
  CopyHeapParts(target, source, true);
}

void ReinitAndCopyEquation(TEquation& target, const TEquation& source, bool withTrees) {
  if (&target == &source) return;
  InitEquation(target, source.kind, source.penColour, source.density);
  CopyFixedFields(target, source);
  CopyHeapParts(target, source, withTrees);
}

void ResetEquationOptions(TEquation& e) {
  e.bounded = 0;
  e.kindFlag = 0;
  e.webToAxis = 0;
  e.notVertical = 0;
  e.subKind = 0;
}

bool IsSurfaceKind(const TEquation& e, bool implicitAsFamily) {
  switch (e.kind) {
    case kKindSurface:
    case kKindCylinderSurface:
    case kKindParametricSurface:
    case kKindTube:
    case kKindPlane:
    case kKindSphericalSurface:
      return true;
    case kKindImplicitSurface:
      return !implicitAsFamily;
    case kKindRevolution:
      return !(e.subKind == kKindImplicit && implicitAsFamily);
    default:
      return false;
  }
}

bool IsPointInEquationBox(const TEquation& e, long double x, long double y, long double z) {
  const TPoint3D& lo = e.boxMin();
  const TPoint3D& hi = e.boxMax();
  return x >= lo.x && x <= hi.x && y >= lo.y && y <= hi.y && z >= lo.z && z <= hi.z;
}

TFamilyPlan FamilyPlan(const TEquation& e) {
  TFamilyPlan plan;
  if (!e.familyOn) return plan;
  plan.last = std::min(std::abs(static_cast<int>(e.familySteps)), kMaxFamilySteps);
  if (plan.last > 0) plan.step = (e.familyEnd - e.familyStart) / plan.last;
  plan.stepped = e.familySteps < 0;
  return plan;
}

bool IsLagrangePolynomial(const TEquation& e) { return e.kind == kKindExplicit && e.interpolated != 0; }

// ---- helpers ----

int ScanNumberList(std::string_view text, std::vector<long double>& out) {
  out.clear();
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && static_cast<int>(out.size()) < kMaxNumberList) {
    const char c = text[i];
    const bool startsNumber = (c >= '0' && c <= '9') || (c == '.' && i + 1 < n && text[i + 1] >= '0' && text[i + 1] <= '9') ||
                              (c == '-' && i + 1 < n && ((text[i + 1] >= '0' && text[i + 1] <= '9') || text[i + 1] == '.'));
    if (!startsNumber) {
      ++i;
      continue;
    }
    bool negative = false;
    if (c == '-') {
      negative = true;
      ++i;
    }
    long double value = 0;
    long double scale = 0;  // 0 before the point, else the place value of the next digit
    bool digits = false;
    while (i < n) {
      const char d = text[i];
      if (d >= '0' && d <= '9') {
        digits = true;
        if (scale == 0) {
          value = value * 10 + (d - '0');
        } else {
          value += (d - '0') * scale;
          scale /= 10;
        }
      } else if (d == '.' && scale == 0) {
        scale = 0.1L;
      } else {
        break;
      }
      ++i;
    }
    if (digits) out.push_back(negative ? -value : value);
  }
  return static_cast<int>(out.size());
}

int InvertMatrix(const long double* matrix, long double* result, int n, long double& determinant) {
  if (n <= 0) return 14;
  const auto un = static_cast<std::size_t>(n);
  std::vector<long double> a(matrix, matrix + un * un);
  std::vector<long double> inv(un * un, 0.0L);
  for (std::size_t i = 0; i < un; ++i) inv[i * un + i] = 1;
  long double det = 1;
  for (std::size_t col = 0; col < un; ++col) {
    std::size_t pivot = col;
    for (std::size_t r = col + 1; r < un; ++r)
      if (std::fabs(a[r * un + col]) > std::fabs(a[pivot * un + col])) pivot = r;
    const long double p = a[pivot * un + col];
    if (!(std::fabs(p) > kTolerance)) return 14;
    if (pivot != col) {
      for (std::size_t k = 0; k < un; ++k) {
        std::swap(a[pivot * un + k], a[col * un + k]);
        std::swap(inv[pivot * un + k], inv[col * un + k]);
      }
      det = -det;
    }
    det *= p;
    for (std::size_t k = 0; k < un; ++k) {
      a[col * un + k] /= p;
      inv[col * un + k] /= p;
    }
    for (std::size_t r = 0; r < un; ++r) {
      if (r == col) continue;
      const long double f = a[r * un + col];
      if (f == 0) continue;
      for (std::size_t k = 0; k < un; ++k) {
        a[r * un + k] -= f * a[col * un + k];
        inv[r * un + k] -= f * inv[col * un + k];
      }
    }
  }
  for (std::size_t k = 0; k < un * un; ++k) result[k] = inv[k];
  determinant = det;
  return 0;
}

namespace {

// The frustum of one piece whose radii do not change sign.
TFrustum FrustumPiece(long double h, long double r1, long double r2) {
  r1 = std::fabs(r1);
  r2 = std::fabs(r2);
  const long double slant = std::sqrt(h * h + (r1 - r2) * (r1 - r2));
  return {Pi * (r1 + r2) * slant, Pi * h * (r1 * r1 + r1 * r2 + r2 * r2) / 3};
}

}  // namespace

TFrustum FrustumAreaVolume(const TPoint2D& a, const TPoint2D& b, int axis) {
  // Along the axis: h; away from it: the radii.
  const long double h = std::fabs(axis == 0 ? b.x - a.x : b.y - a.y);
  const long double r1 = axis == 0 ? a.y : a.x;
  const long double r2 = axis == 0 ? b.y : b.x;
  if ((r1 < 0 && r2 > 0) || (r1 > 0 && r2 < 0)) {
    // A segment through the axis sweeps two cones that meet at the crossing.
    const long double s = r1 / (r1 - r2);
    const TFrustum p = FrustumPiece(h * s, r1, 0);
    const TFrustum q = FrustumPiece(h * (1 - s), 0, r2);
    return {p.area + q.area, p.volume + q.volume};
  }
  return FrustumPiece(h, r1, r2);
}

}  // namespace kv
