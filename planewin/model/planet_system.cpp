#include "planewin/model/planet_system.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "core/number_text.h"
#include "core/vector3d.h"

namespace kv {

using namespace planet;

namespace {

// The start values of the default system.
constexpr int kDefaultBodies = 3;
constexpr long double kDefaultRadius = 2.4L;
constexpr long double kDefaultSpeed = 0.3L;
constexpr long double kDefaultDuration = 0.002L;
constexpr long double kDefaultComputations = 100;
constexpr std::int16_t kDefaultMarkerSize = 3;
constexpr int kFirstBodyColour = 4;

TPoint3D Scaled(const TPoint3D& p, long double f) { return {p.x * f, p.y * f, p.z * f}; }
void AddTo(TPoint3D& p, const TPoint3D& q) {
  p.x += q.x;
  p.y += q.y;
  p.z += q.z;
}

std::string NumberedName(const std::string& name, int k) { return name + " " + std::to_string(k); }

TEquationItem NewBodyItem(const TPenSpec& pen) {
  TEquationItem item;
  InitEquationItem(item, kBodyItemKind, pen.colour, pen.width, pen.style);
  AllocEquationItemStrings(item);
  return item;
}

}  // namespace

TPlanetSystem::TPlanetSystem(TEquation& e) : e_(e) {
  if (e_.samples.size() != kBufferEntries) e_.samples.assign(kBufferEntries, TPoint3D{});
  if (e_.cellDepths.size() != kValueCount) e_.cellDepths.assign(kValueCount, 0.0L);
}

int TPlanetSystem::BodyCount() const { return std::clamp<int>(e_.auxValue1, 0, kMaxBodies); }

int TPlanetSystem::ReferenceIndex() const { return std::clamp<int>(e_.subKind, 0, BodyCount()); }

void TPlanetSystem::UpdateMassFractions() {
  const int n = BodyCount();
  long double total = 0;
  for (int k = 0; k < n; ++k) total += Mass(k);
  for (int k = 0; k < n; ++k) At(kMasses, k).y = total > 0 ? Mass(k) / total : 0;
  At(kMasses, n).x = total;
}

void TPlanetSystem::ComputeCentreOfMass(int base) {
  const int n = BodyCount();
  TPoint3D r{};
  TPoint3D v{};
  for (int k = 0; k < n; ++k) {
    const long double share = At(kMasses, k).y;
    AddTo(r, Scaled(e_.samples[static_cast<std::size_t>(base + k)], share));
    AddTo(v, Scaled(e_.samples[static_cast<std::size_t>(base + kBlockSize + k)], share));
  }
  e_.samples[static_cast<std::size_t>(base + n)] = r;
  e_.samples[static_cast<std::size_t>(base + kBlockSize + n)] = v;
}

void TPlanetSystem::ResetToStart() {
  const int n = BodyCount();
  for (int k = 0; k <= n; ++k) {
    At(kPositions, k) = At(kStartPositions, k);
    At(kVelocities, k) = At(kStartVelocities, k);
  }
}

int TPlanetSystem::ComputePairFactors() {
  const int n = BodyCount();
  const long double g = Gravity();
  int code = 0;
  for (int i = 0; i < n; ++i) {
    for (int j = i + 1; j < n; ++j) {
      const long double d = Distance3D(At(kPositions, i), At(kPositions, j));
      if (d >= kCollisionDistance) {
        PairFactor(i, j) = g / (d * d * d);
        PairFactor(j, i) = PairFactor(i, j);
      } else {
        code = kCollision;
      }
    }
  }
  return code;
}

int TPlanetSystem::EulerStep() {
  const int n = BodyCount();
  const long double h = Step();
  const int code = ComputePairFactors();
  for (int k = 0; k < n; ++k) At(kIncrements, k) = Scaled(At(kVelocities, k), h);
  for (int i = 0; i < n; ++i) {
    const TPoint3D& p = At(kPositions, i);
    TPoint3D a{};
    for (int j = 0; j < n; ++j) {
      if (j == i) continue;
      const TPoint3D& q = At(kPositions, j);
      const long double f = Mass(j) * PairFactor(i, j);
      a.x += (q.x - p.x) * f;
      a.y += (q.y - p.y) * f;
      a.z += (q.z - p.z) * f;
    }
    AddTo(At(kVelocities, i), Scaled(a, h));
  }
  for (int k = 0; k < n; ++k) AddTo(At(kPositions, k), At(kIncrements, k));
  ComputeCentreOfMass(kCurrentBase);
  return code;
}

void TPlanetSystem::ComputeDrawnPositions() {
  const int n = BodyCount();
  const TPoint3D reference = IsRelative() ? At(kPositions, ReferenceIndex()) : TPoint3D{};
  for (int k = 0; k <= n; ++k) {
    const TPoint3D& p = At(kPositions, k);
    At(kDrawn, k) = {p.x - reference.x, p.y - reference.y, p.z - reference.z};
    At(kDrawnCopy, k) = At(kDrawn, k);
  }
}

int TPlanetSystem::AdvancePosition(int computations) {
  int code = 0;
  for (int j = 0; j < computations && code == 0; ++j) code = EulerStep();
  ComputeDrawnPositions();
  return code;
}

TPoint3D TPlanetSystem::StartMarkerPoint(int k) const {
  TPoint3D p = At(kStartPositions, k);
  if (IsRelative()) {
    const TPoint3D& r = At(kStartPositions, ReferenceIndex());
    p = {p.x - r.x, p.y - r.y, p.z - r.z};
  }
  return p;
}

long double TPlanetSystem::KineticEnergy() const {
  long double sum = 0;
  for (int k = 0; k < BodyCount(); ++k) {
    const TPoint3D& v = At(kVelocities, k);
    sum += 0.5L * Mass(k) * (v.x * v.x + v.y * v.y + v.z * v.z);
  }
  return sum;
}

long double TPlanetSystem::PotentialEnergy() const {
  const int n = BodyCount();
  long double sum = 0;
  for (int i = 0; i < n; ++i)
    for (int j = i + 1; j < n; ++j)
      sum -= Gravity() * Mass(i) * Mass(j) / Distance3D(At(kPositions, i), At(kPositions, j));
  return sum;
}

TPoint3D TPlanetSystem::Momentum() const {
  TPoint3D sum{};
  for (int k = 0; k < BodyCount(); ++k) AddTo(sum, Scaled(At(kVelocities, k), Mass(k)));
  return sum;
}

// ---- building and editing systems ----

void MakeDefaultPlanetSystem(TEquation& e, TRandomSource& random, const TPlanetTexts& texts) {
  TPlanetSystem s(e);
  s.SetBodyCount(kDefaultBodies);
  s.Gravity() = 1.0L;
  s.Duration() = kDefaultDuration;
  s.Positions() = kManyPositions;
  s.Computations() = kDefaultComputations;
  s.StopAtBoundary() = 1;
  s.Follow() = 1;
  s.Relative() = 0;
  s.Markers() = 1;
  s.SetReferenceIndex(kDefaultBodies);
  s.MarkerSizeCode() = kDefaultMarkerSize;
  s.Step() = s.Duration() / s.Computations();
  FreeEquationItemList(e.items);
  // The bodies, then the centre of mass, whose start values follow from
  // theirs below.
  for (int k = 0; k <= kDefaultBodies; ++k) {
    TEquationItem item = NewBodyItem({static_cast<std::uint16_t>(k + kFirstBodyColour), 1, 0});
    item.scale = 1.0L;
    s.At(kMasses, k).x = 1.0L;
    const long double theta = random.InRange(2 * k + 0.7L, 2 * k + 1.2L);
    const TPoint3D position{kDefaultRadius * std::cos(theta), kDefaultRadius * std::sin(theta), 0};
    const TPoint3D velocity{-kDefaultSpeed * std::sin(theta), kDefaultSpeed * std::cos(theta), 0};
    item.start = position;
    s.At(kStartPositions, k) = position;
    s.At(kPositions, k) = position;
    s.At(kStartVelocities, k) = velocity;
    s.At(kVelocities, k) = velocity;
    item.texts[0] = texts.formatNumber(velocity.x);
    item.texts[1] = texts.formatNumber(velocity.y);
    item.texts[2] = "0.0";
    item.texts[3] = k < kDefaultBodies ? NumberedName(texts.bodyName, k) : texts.centreName;
    e.items.push_back(std::move(item));
  }
  s.UpdateMassFractions();
  s.ComputeCentreOfMass(kStartBase);
}

bool CanAddPlanetBody(const TEquation& e) { return e.auxValue1 >= 0 && e.auxValue1 + 1 < kBlockSize; }

bool CanDeletePlanetBody(const TEquation& e, int k) {
  return e.auxValue1 > kMinBodies && k >= 0 && k < e.auxValue1;
}

bool AddPlanetBody(TEquation& e, const TPlanetTexts& texts) {
  TPlanetSystem s(e);
  const int n = e.auxValue1;
  if (!CanAddPlanetBody(e) || static_cast<int>(e.items.size()) != n + 1) return false;
  TEquationItem& centre = e.items.back();
  TEquationItem item = NewBodyItem(centre.pen);
  item.scale = 1.0L;
  item.start = {};
  for (int t = 0; t < 3; ++t) item.texts[static_cast<std::size_t>(t)] = "0.0";
  item.texts[3] = centre.texts[3];
  // The former centre of mass becomes a body where the centre stood, with
  // the centre's velocity and the total mass.
  centre.texts[3] = NumberedName(texts.bodyName, n);
  e.items.push_back(std::move(item));
  s.At(kMasses, n + 1).x = 1.0L;
  for (int block : {kPositions, kStartPositions, kStartVelocities, kVelocities}) s.At(block, n + 1) = {};
  s.SetBodyCount(n + 1);
  return true;
}

bool DeletePlanetBody(TEquation& e, int k) {
  TPlanetSystem s(e);
  const int n = e.auxValue1;
  if (!CanDeletePlanetBody(e, k) || static_cast<int>(e.items.size()) != n + 1) return false;
  auto it = e.items.begin();
  std::advance(it, k);
  FreeEquationItemStrings(*it);
  e.items.erase(it);
  for (int block = 0; block < 10; ++block) {
    for (int j = k; j < n; ++j) s.At(block, j) = s.At(block, j + 1);
    s.At(block, n) = {};
  }
  s.SetBodyCount(n - 1);
  s.Relative() = 0;
  return true;
}

bool ParsePlainNumber(std::string_view text, long double& value) {
  std::size_t a = 0;
  std::size_t b = text.size();
  while (a < b && (text[a] == ' ' || text[a] == '\t')) ++a;
  while (b > a && (text[b - 1] == ' ' || text[b - 1] == '\t')) --b;
  const std::string_view t = text.substr(a, b - a);
  auto digit = [&](std::size_t i) { return i < t.size() && t[i] >= '0' && t[i] <= '9'; };
  std::size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  int digits = 0;
  while (digit(i)) ++i, ++digits;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (digit(i)) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    if (!digit(i)) return false;
    while (digit(i)) ++i;
  }
  if (i != t.size()) return false;
  long double v = 0;
  if (!ParseLongDouble(v, t) || !std::isfinite(v)) return false;
  value = v;
  return true;
}

}  // namespace kv
