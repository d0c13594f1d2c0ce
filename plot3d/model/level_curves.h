// Level curves of a surface of the 3D window: the function a level window
// traces in its plane, the search for start points, the stored pieces, the
// levels of the level dialog, and the cursor readout over an explicit
// surface (height, gradient, directional derivative, direction angle).
#pragma once

#include <cstdint>
#include <functional>
#include <list>

#include "formula/formula_engine.h"
#include "core/random_source.h"
#include "plot3d/model/level_plane.h"
#include "plotcore/model/equation.h"
#include "plotcore/model/implicit_tracer.h"

namespace kv {

// ---- the traced function ----

// Tree `form` of an entry at the points of a level plane (X, Y and Z set
// from the plane's point).  The gradient trees, when given, are the partial
// derivatives by x, y and z (each times its sign); without them the tracer
// takes differences.
class TPlaneFunction : public TImplicitSource {
 public:
  TPlaneFunction(TFormulaEngine& engine, TExprNode* form, const TLevelPlane& plane)
      : engine_(engine), form_(form), plane_(plane) {}
  void SetGradient(TExprNode* gx, TExprNode* gy, TExprNode* gz, long double sx = 1, long double sy = 1,
                   long double sz = 1);
  bool Value(long double a, long double b, long double& f) override;
  bool Gradient(long double a, long double b, long double& fa, long double& fb) override;
  const TLevelPlane& Plane() const { return plane_; }
  TExprNode* Form() const { return form_; }

 private:
  void SetPoint(long double a, long double b);
  TFormulaEngine& engine_;
  TExprNode* form_;
  TLevelPlane plane_;
  TExprNode* gradient_[3] = {nullptr, nullptr, nullptr};
  long double signs_[3] = {1, 1, 1};
};

// The level function of an entry: its implicit form (tree 3), zero on the
// surface, with the gradient where the entry has one: z - f of an explicit
// surface (-f_x, -f_y, 1), F of an implicit surface (trees 4..6), G of an
// intersection curve on the parameter plane (trees 4 and 5).
TPlaneFunction LevelFunctionOf(TFormulaEngine& engine, TEquation& e, const TLevelPlane& plane);

// A start point of the curve F = 0 in the box: up to 15 attempts, each two
// random points whose values differ in sign, refined by bisection; a point
// where |F| stays above 0.001 (a pole) is refused.
bool FindLevelStart(TImplicitSource& f, const TSegment2D& box, TRandomSource& random, TPoint2D& out);

// The search for new pieces of a curve: rounds of FindLevelStart, 25 of
// them, or with `unlimited` until `stop` answers true (or, when idleLimit is
// positive, that many rounds in a row found nothing new).  A start that
// `isNew` refuses (a curve already drawn there) or that does not reach the
// curve is skipped; every other one goes to `trace`.  The number of pieces.
struct TLevelSearch {
  bool unlimited = false;
  int rounds = 25;
  long idleLimit = 0;
};
int SearchLevelPieces(TImplicitSource& f, const TSegment2D& box, const TTracerSettings& settings,
                      TRandomSource& random, const TLevelSearch& search,
                      const std::function<bool(const TPoint2D&)>& isNew,
                      const std::function<void(const TPoint2D&)>& trace, const std::function<bool()>& stop);

// ---- stored pieces ----

// A piece of a level curve is kept as an item of the surface: its start
// point in space, tagged with the axis code and the level.
inline constexpr std::int16_t kLevelItemKind = 26;
TEquationItem MakeLevelItem(const TLevelPlane& plane, const TPoint2D& start, const TPenSpec& pen);
// Whether the item is a piece of a level of the axis within the tolerance.
bool IsLevelItemShown(const TEquationItem& item, int axis, long double level, long double tolerance);

// ---- the level dialog's levels ----

enum class TLevelReading { Strict, ClampUp, ClampDown };
struct TLevelRange {
  long double minimum = 0;
  long double maximum = 1;
  long double current = 0;
  int count = 2;  // levels: divisions + 1
};
// Checks typed values: false for fewer than 2 levels, maximum below
// minimum + 1e-13, or (strict) a current level outside the range; the
// clamping modes move it to the minimum (up) or the maximum (down).
bool CheckLevelRange(TLevelRange& r, TLevelReading mode);
// The next level of the grid minimum + i h above current (0.01 h beyond),
// wrapping to the minimum; the previous one below, wrapping to the maximum.
long double NextLevel(const TLevelRange& r);
long double PreviousLevel(const TLevelRange& r);
// The levels of "Auto": minimum + i h, i = 0 .. count - 1.
long double LevelOf(const TLevelRange& r, int i);
// The most levels the dialog takes: the record keeps the count - 1 in a
// 16-bit field.
inline constexpr int kMaxLevelCount = 32768;

// ---- the cursor over an explicit surface ----

struct TCursorReadout {
  long double z = 0;
  long double fx = 0;
  long double fy = 0;
  TPoint2D direction;
  long double derivative = 0;  // gradient · direction
};
// z = f (0 where undefined), the gradient (trees 4 and 5; (0, 0) where
// either is undefined), the direction (cos θ, sin θ) and the directional
// derivative.  X and Y are left at the point.
TCursorReadout ReadCursor(TFormulaEngine& engine, TEquation& surface, long double x, long double y,
                          long double theta);

// The direction slider: position round(θ N / 2π), angle position · 2π / N
// (0 for N < 1), and a typed angle brought into [0, 2π).
int AngleSliderPosition(long double theta, int steps);
long double AngleOfSliderPosition(int position, int steps);
long double ReduceAngle(long double theta);

}  // namespace kv
