// Solids made from curves of the 2D window: volumes and surface areas of
// revolution about a line a x + b y = c, the volume between two graphs
// turned about a horizontal or vertical line, volumes with known
// cross-sections, and the formula texts of the faces that show a solid
// with known cross-sections in a 3D window.  (The surface of revolution is
// made from its curve by plotcore/model/revolution_surface.h.)
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "entry/model/numeric_integration.h"
#include "formula/formula_engine.h"
#include "plotcore/model/equation.h"
#include "plotcore/model/revolution_sliders.h"
#include "plotcore/model/revolution_surface.h"

namespace kv {

// The longest formula text a record holds (the NUL not counted).
inline constexpr std::size_t kMaxFormulaText = kFormulaTextSize - 1;

// Asked once per integration step: true stops the integration, which then
// returns kIntegrationStopped (65, the key "A").  The integrals use the
// Simpson rule of entry/model/numeric_integration.h, with its step limit
// (code 17 outside it) and its rule for undefined samples; `gaps` (when
// given) says whether the measure met one.
using TIntegrationStop = TStopPoll;

// The letter a curve entry is integrated in: X for y = f(x), else its
// curve letter (T).
int CurveIntegrationLetter(const TEquation& curve);

// The integrands of the volume, (a x + b y - c)² (a y' - b x'), and of the
// surface area, √(x'² + y'²) |a x + b y - c| / √(a² + b²), of a compiled
// curve entry (201, 202, 203); null when it lacks a tree.
TreePtr BuildRevolutionVolumeIntegrand(const TEquation& curve, const TRevolutionAxis& axis);
TreePtr BuildRevolutionSurfaceIntegrand(const TEquation& curve, const TRevolutionAxis& axis);

// The integrand of the area swept by the ray from the origin along the
// curve: x y' - y x' in the curve's letter (x f'(x) - f(x) for a graph).
TreePtr BuildSectorIntegrand(const TEquation& curve);

// The area swept by the ray from the origin along a curve entry (201, 202,
// 203) over [lo, hi] with n steps: |I| / 2 of the integral I of the
// integrand above, whichever way the ray turns.  0 or the integration's
// code.
int SectorArea(TFormulaEngine& engine, const TEquation& curve, long double lo, long double hi, int n,
               long double& result, const TIntegrationStop& stop = {}, bool* gaps = nullptr);

// Volume and lateral area swept by the segment p-q turning about the axis,
// exactly (frusta, split where the segment crosses the axis).
TFrustum SegmentRevolution(const TPoint2D& p, const TPoint2D& q, const TRevolutionAxis& axis);

// The volume (volume set) or surface area of the solid swept by the curve
// over [lo, hi] with n steps; a segment uses its own ends exactly.  0,
// kFormulaRecursive (6) for an axis with a = b = 0, or the integration's
// code.
int RevolutionMeasure(TFormulaEngine& engine, const TEquation& curve, const TRevolutionAxis& axis, bool volume,
                      long double lo, long double hi, int n, long double& result, const TIntegrationStop& stop = {},
                      bool* gaps = nullptr);

// The volume of the solid swept by the region between the graphs f and g
// (trees in X) over [lo, hi]: about y = k (washers) or, with vertical, about
// x = k (shells, split where the axis runs through the interval).  The
// bounds are the caller's and stay as given.
int VolumeBetweenGraphs(TFormulaEngine& engine, const TExprNode* f, const TExprNode* g, long double k, bool vertical,
                        long double lo, long double hi, int n, long double& result, const TIntegrationStop& stop = {},
                        bool* gaps = nullptr);

// ---- cross-sections ----
enum SectionShape : int {
  kSectionSquare = 1,
  kSectionEquilateral = 2,
  kSectionSemicircle = 3,
  kSectionRectangle = 4,
  kSectionIsosceles = 5,
  kSectionHalfEllipse = 6,
};

// The area of a section per (side)² (shapes 1-3) or per side·height (4-6),
// doubled for a solid mirrored below the plane.
long double SectionAreaFactor(int shape, bool doubled);

// "(f-(g))^2" or "(f-(g))(h)": the integrand text of a section volume.
// kFormulaTooBig when it would exceed a formula text.
int SectionIntegrandText(std::string_view f, std::string_view g, std::string_view h, int shape, std::string& out);

// The volume of the solid over [lo, hi] whose sections between the graphs
// of the texts f and g (in x) have the shape (the height h for 4-6).
int CrossSectionVolume(TFormulaEngine& engine, std::string_view f, std::string_view g, std::string_view h, int shape,
                       bool doubled, long double lo, long double hi, int n, long double& result,
                       const TIntegrationStop& stop = {}, bool* gaps = nullptr);

// One parametric surface x(t, u), y(t, u), z(t, u) over [tLo, tHi] x [uLo, uHi].
struct TSurfaceTexts {
  std::string x, y, z;
  long double tLo = 0, tHi = 1, uLo = 0, uHi = 1;
  int tDivisions = 1;
  int uDivisions = 1;
};

// A bound of the cross-section solid along x: a value, or a parameter
// letter (1 = A .. 23 = W) whose value it is.
using TSectionBound = TBoundValue;

// The faces of the cross-section solid as surfaces in t (across) and u
// (along x): kFormulaOk, kFormulaTooBig when a composed text would exceed a
// formula text, or kFormulaNotUnderstood for a text that does not tokenize.
int BuildSectionSurfaces(const TFormulaEngine& engine, std::string_view f, std::string_view g, std::string_view h,
                         int shape, bool doubled, const TSectionBound& lo, const TSectionBound& hi, int tDivisions,
                         int uDivisions, std::vector<TSurfaceTexts>& out);

}  // namespace kv
