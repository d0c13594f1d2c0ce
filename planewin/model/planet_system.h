// The planetary system: up to eleven point masses that attract each other
// by Newton's law with a chosen gravitational constant, moving in the plane.
// The whole system is one inventory entry of kind 219.  Its bodies are the
// entry's item list (followed by one item for the centre of mass), their
// state lives in the entry's point buffer in ten blocks of twelve entries,
// and the pair factors G / d^3 in the first 144 values of its value buffer.
//
// TPlanetSystem names the fields of such an entry and integrates it with
// the explicit Euler method.  It works on the record only, without a window,
// so the simulation is testable on its own.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/random_source.h"
#include "plotcore/model/equation.h"

namespace kv {

namespace planet {

inline constexpr int kBlockSize = 12;  // entries per block: eleven bodies and the centre of mass
inline constexpr int kMaxBodies = kBlockSize - 1;
inline constexpr int kMinBodies = 2;   // the editor keeps at least two
inline constexpr std::size_t kBufferEntries = 10 * kBlockSize;
inline constexpr std::size_t kValueCount = 288;
inline constexpr std::int16_t kBodyItemKind = 1219;

// The blocks of the point buffer.
enum Block : int {
  kPositions = 0,       // current positions
  kVelocities = 1,      // current velocities
  kMasses = 2,          // x the mass, y the share of the total; entry n: x the total
  kDrawn = 3,           // current position minus the reference (x, y are drawn)
  kIncrements = 4,      // h v of the step in progress
  kStartPositions = 5,
  kStartVelocities = 6,
  kDrawnCopy = 8,
};

// Buffer bases of ComputeCentreOfMass: the current state (blocks 0 and 1)
// and the start state (blocks 5 and 6).
inline constexpr int kCurrentBase = 0;
inline constexpr int kStartBase = kStartPositions * kBlockSize;

// Two bodies closer than this collide: their pair factor would explode.
inline constexpr long double kCollisionDistance = 0.001L;
// The code of a collision (message 130 "Kollision!").
inline constexpr int kCollision = 130;
// Values the editor accepts: G and the duration at least this, masses above it.
inline constexpr long double kSmallestValue = 1e-16L;
// "Viele": the largest count of positions.
inline constexpr long double kManyPositions = 2147483647.0L;

}  // namespace planet

class TPlanetSystem {
 public:
  // Gives the record its buffers when it has none of the right size.
  explicit TPlanetSystem(TEquation& e);

  TEquation& Record() { return e_; }
  const TEquation& Record() const { return e_; }

  // ---- fields of the record ----
  // n, the number of bodies (also the index of the centre of mass), kept
  // within 0 .. 11 wherever it is used as an index.
  int BodyCount() const;
  void SetBodyCount(int n) { e_.auxValue1 = static_cast<std::int16_t>(n); }
  // The body positions are drawn relative to (0 .. n; n the centre of mass).
  int ReferenceIndex() const;
  void SetReferenceIndex(int k) { e_.subKind = static_cast<std::int16_t>(k); }
  std::int16_t& MarkerSizeCode() { return e_.subValue; }
  std::uint8_t& StopAtBoundary() { return e_.unclipped; }
  std::uint8_t& Follow() { return e_.drawFilled; }
  std::uint8_t& Relative() { return e_.polarInput; }
  std::uint8_t& Markers() { return e_.interpolated; }
  long double& Positions() { return e_.upperBound.x; }     // drawn steps of a run
  long double& Computations() { return e_.upperBound.y; }  // Euler steps per drawn step
  long double& Gravity() { return e_.values[4].x; }
  long double& Duration() { return e_.values[4].y; }       // time covered by one drawn step
  long double& Step() { return e_.values[4].z; }           // h = duration / computations
  long double Gravity() const { return e_.values[4].x; }
  long double Step() const { return e_.values[4].z; }
  bool IsRelative() const { return e_.polarInput != 0; }

  // ---- the point buffer ----
  TPoint3D& At(int block, int k) { return e_.samples[Index(block, k)]; }
  const TPoint3D& At(int block, int k) const { return e_.samples[Index(block, k)]; }
  long double Mass(int k) const { return At(planet::kMasses, k).x; }
  long double& PairFactor(int i, int j) { return e_.cellDepths[static_cast<std::size_t>(i * planet::kBlockSize + j)]; }

  // ---- operations ----
  // M = the sum of the masses of bodies 0 .. n - 1; each body's share m / M;
  // entry n of the mass block gets M.
  void UpdateMassFractions();
  // The mass-weighted mean of buffer entries base + k and base + 12 + k over
  // the bodies, stored as entries base + n and base + 12 + n.
  void ComputeCentreOfMass(int base);
  // Positions and velocities (the centre of mass included) back to the start.
  void ResetToStart();
  // The pair factors of the current positions; 0, or planet::kCollision when
  // two bodies are closer than planet::kCollisionDistance (their factor is
  // then left as it was; every pair is still visited).
  int ComputePairFactors();
  // One explicit Euler step of size h, every body moved from the state at
  // the start of the step; the centre of mass follows.  0 or kCollision.
  int EulerStep();
  // Block 3 (and its copy in block 8): every position minus the reference,
  // the origin or, with relative display, the reference body's position.
  void ComputeDrawnPositions();
  // `computations` Euler steps, then the drawn positions.  A collision ends
  // the steps early (the drawn positions are still computed): kCollision.
  int AdvancePosition(int computations);
  // Where a body's start marker stands: its start position, minus the
  // reference body's start position with relative display.
  TPoint3D StartMarkerPoint(int k) const;

  // ---- conserved quantities ----
  long double KineticEnergy() const;
  long double PotentialEnergy() const;
  long double TotalEnergy() const { return KineticEnergy() + PotentialEnergy(); }
  TPoint3D Momentum() const;

 private:
  static std::size_t Index(int block, int k) { return static_cast<std::size_t>(block * planet::kBlockSize + k); }
  TEquation& e_;
};

// What the default system and new bodies take from the window: the names
// "Körper" and "Schwerpunkt" and how numbers are written into texts.
struct TPlanetTexts {
  std::string bodyName;      // followed by " " and the body's number
  std::string centreName;
  std::function<std::string(long double)> formatNumber;
};

// Fills a kind-219 record with the default system: three bodies of mass 1
// at radius 2.4, each at a random angle of its own sector and moving with
// speed 0.3 perpendicular to its radius, and the centre of mass.
void MakeDefaultPlanetSystem(TEquation& e, TRandomSource& random, const TPlanetTexts& texts);

// The editor's "Neu": a new body of mass 1 at rest at the origin is added;
// the centre-of-mass item before it becomes body n, keeping the centre's
// start values and the total mass.  False when the system is full.
bool AddPlanetBody(TEquation& e, const TPlanetTexts& texts);
// The editor's "Löschen": body k leaves the item list and every block; the
// later entries move down; relative display ends.  False when k is the
// centre of mass or fewer than planet::kMinBodies would remain.
bool DeletePlanetBody(TEquation& e, int k);
// Whether "Neu" and "Löschen" (with line k selected) are allowed.
bool CanAddPlanetBody(const TEquation& e);
bool CanDeletePlanetBody(const TEquation& e, int k);

// A plain decimal number (sign, digits, point, exponent) filling the whole
// text apart from surrounding blanks, finite: the editor's number fields.
bool ParsePlainNumber(std::string_view text, long double& value);

}  // namespace kv
