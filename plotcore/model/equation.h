// The equation record of a plot window's inventory and the records attached
// to it: items (trajectory starts, sequence starts, traced pieces), result
// points of the analysis tools, mouse marks and shading records.
//
// Every record is a plain C++ object in memory.  Its file image is fixed by
// the plot-file format and produced field by field by the codecs in
// equation_record.h; pointer fields of the images are written as zero and
// ignored on reading.
//
// Several fields of TEquation mean different things by kind; the comments
// name the meanings, and named accessors give the kind-specific places in
// the ten value blocks.
#pragma once

#include <array>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "formula/expr_node.h"
#include "core/device_types.h"
#include "core/vector2d.h"
#include "core/vector3d.h"

namespace kv {

// ---- kind codes ----
// Every kind of record, in one list: the enum and kEquationKinds are made
// from it, so that whatever walks every kind (the plot-file fuzz seeds, one
// entry of each) meets a new kind too.
#define KV_EQUATION_KINDS(X)                                                       \
  X(kKindExplicit, 201)          /* y = f(x) */                                   \
  X(kKindPolar, 202)             /* r = f(t) */                                   \
  X(kKindParametric, 203)        /* x(t), y(t) */                                 \
  X(kKindImplicit, 204)          /* F(x, y) = 0 */                                \
  X(kKindSegment, 205)           /* segment (a;b) to (c;d) */                     \
  X(kKindAntiderivative, 206)                                                     \
  X(kKindRoulette, 207)                                                           \
  X(kKindLine, 208)              /* ax + by = c */                                \
  X(kKindPoint, 209)                                                              \
  X(kKindOde, 210)               /* dx/dt, dy/dt */                               \
  X(kKindOdeDyDx, 211)           /* dy/dx = f(x, y) */                            \
  X(kKindSequence, 212)          /* x(n+1), y(n+1) */                             \
  X(kKindLagrange, 213)          /* stored as 201 with `interpolated` */          \
  X(kKindPointSequence, 215)                                                      \
  X(kKindSum, 218)                                                                \
  X(kKindPlanets, 219)                                                            \
  X(kKindSurface, 301)           /* z = f(x;y) */                                 \
  X(kKindCylinderSurface, 302)   /* z = f(r;t) */                                 \
  X(kKindParametricSurface, 303)                                                  \
  X(kKindSpaceCurve, 304)                                                         \
  X(kKindImplicitSurface, 305)                                                    \
  X(kKindTube, 306)                                                               \
  X(kKindRevolution, 307)                                                         \
  X(kKindSegment3D, 308)                                                          \
  X(kKindPoint3D, 309)                                                            \
  X(kKindOde3D, 310)                                                              \
  X(kKindSequence3D, 312)                                                         \
  X(kKindPlane, 315)                                                              \
  X(kKindSphericalSurface, 316)                                                   \
  X(kKindIntersection, 317)                                                       \
  X(kKindComplexMap, 401)        /* z ==> F(z) */                                 \
  X(kKindPlaneMap, 402)          /* (x,y) ==> (U,V) */

#define KV_KIND_ENUMERATOR(name, code) name = code,
enum EquationKind : std::uint16_t { KV_EQUATION_KINDS(KV_KIND_ENUMERATOR) };
#undef KV_KIND_ENUMERATOR

#define KV_KIND_ELEMENT(name, code) name,
inline constexpr EquationKind kEquationKinds[] = {KV_EQUATION_KINDS(KV_KIND_ELEMENT)};
#undef KV_KIND_ELEMENT

inline constexpr int kFormulaSlots = 7;
inline constexpr std::size_t kFormulaTextSize = 256;  // bytes a formula text may hold, NUL included
inline constexpr std::size_t kEquationNameSize = 21;  // 20 characters and the NUL

// ---- items ----
// An entry of an equation's item list: a trajectory or sequence start, a
// kind-211 solution, a traced piece of an implicit curve, a planet body.
struct TEquationItem {
  TPoint3D start;                // start point x0, y0, z0
  std::int16_t startCode = 0;    // item kind; above 1000: the start values are the formula texts
  std::int8_t direction = 1;     // +1 forwards, -1 backwards in the parameter
  long double paramStart = 0;    // t0; start parameter of a traced piece
  long double paramEnd = 0;      // step h of an initial-value item (sign = direction); end of a traced piece
  std::int16_t tag = 0;          // level-axis code of level-curve items
  long double level = 0;         // level of a level-curve item
  long double scale = 1.0L;      // planets: the mass
  long double stepLimit = 0;     // steps (or duration) to run; <= 0: until the view is left
  TPenSpec pen;                  // colour index, width, style
  std::uint16_t method = 0;      // 0 Euler, 1 modified Euler, 2 Runge-Kutta
  std::uint16_t serial = 0;      // one above the previous head's
  std::array<std::string, 4> texts;  // start texts x0, y0, z0, t0 (planets: velocity and name)
  std::array<TreePtr, 4> trees;      // their compiled trees

  TEquationItem() = default;
  TEquationItem(TEquationItem&&) = default;
  TEquationItem& operator=(TEquationItem&&) = default;
};

// Start codes of 1000 and above: the start values are the item's formula
// texts (kept as texts, or a planet's velocity and name), which the file
// stores after the item.
inline bool KeepsStartTexts(const TEquationItem& item) { return item.startCode >= 1000; }

enum ItemMethod : std::uint16_t { kMethodEuler = 0, kMethodModifiedEuler = 1, kMethodRungeKutta = 2 };

// A deep copy (texts and trees).
TEquationItem CloneEquationItem(const TEquationItem& item);
std::list<TEquationItem> CloneEquationItems(const std::list<TEquationItem>& list);
// Scale 1.0, no texts or trees, the pen (colour, width, style) and the kind.
void InitEquationItem(TEquationItem& item, int itemKind, int colour, int width, int style);
// The four texts empty (allocated), and their trees freed.
void AllocEquationItemStrings(TEquationItem& item);
void FreeEquationItemStrings(TEquationItem& item);
void FreeEquationItemList(std::list<TEquationItem>& list);

// ---- results ----
// A result an analysis tool attaches to an equation: a code, one to four
// values and a short text.
inline constexpr std::size_t kResultTextSize = 30;
struct TResultPoint {
  std::int16_t code = 0;
  std::int16_t count = 0;  // values in use, 1..4
  std::array<long double, 4> values{};
  std::string text;        // at most 29 characters in the file
};

// ---- mouse marks ----
// One mark of a freehand stroke: a pen (kind 0), the first point of a
// stroke (kind 2) or a following point (kind 1).
enum MouseMarkKind : std::int16_t { kMarkPen = 0, kMarkNext = 1, kMarkBreak = 2 };
struct TMouseMark {
  TPoint2D point;      // kinds 1 and 2
  TRgbPenSpec pen;     // kind 0
  std::int16_t kind = kMarkBreak;
};

// ---- shading ----
// Shading of the region above (graphB -1) or below (-2) graph A, or between
// graphs A and B, over an interval or the view.
inline constexpr std::int16_t kShadeAbove = -1;
inline constexpr std::int16_t kShadeBelow = -2;
struct TShadeRecord {
  std::int16_t graphA = 0;
  std::int16_t graphB = kShadeAbove;
  std::int16_t packedCode = 0;  // pattern 0..8 + 9 × from letter + 225 × to letter
  std::uint8_t intervalFlag = 0;
  long double from = 0;
  long double to = 0;
  std::int16_t colour = 0;
  std::uint32_t reserved = 0;   // four bytes no dialog writes; kept as read
};
// The letters tied to the interval ends: (code / 9) mod 25 and (code / 9) / 25.
struct TPackedLetters {
  int pattern;
  int fromLetter;
  int toLetter;
};
TPackedLetters SplitPackedCode(int code);
int PackShadeCode(int pattern, int fromLetter, int toLetter);

// What an implicit curve's trace drew: for each family member its runs of
// world points, and the key of everything the trace depended on (view,
// scale, formulas, parameters), so that a stale copy is never drawn.
using TTracedRuns = std::vector<std::vector<TPoint2D>>;
struct TTracedCurve {
  std::string key;
  std::vector<TTracedRuns> members;
};

// ---- the equation record ----
class TEquation {
 public:
  TEquation() = default;
  TEquation(TEquation&&) = default;
  TEquation& operator=(TEquation&&) = default;

  // ---- header and 16-bit block ----
  std::uint16_t kind = 0;
  std::int16_t derivation = 0;   // 0 entered; > 0 the tool code that rebuilds it
  std::int16_t source1 = -1;     // first source; operand f of a combination
  std::int16_t source2 = -1;     // second source; operand g; segment end items: which end
  std::int16_t auxValue1 = 0;    // 219 bodies; Taylor degree; range-window width
  std::int16_t auxValue2 = 0;    // range-window height
  std::int16_t stepDensity = 1;  // d >= 1: d samples per pixel column; d <= -1: one every |d| columns
  std::int16_t fieldRows = 20;   // 210/211 direction-field rows; 310 lattice steps; 213 point size
  std::int16_t fieldMode = 1;    // 0 none, 1 direction segments, 2 vectors; 205/208/209/309 style
  std::int16_t fieldLength = 15; // element length in tenths of a percent of the width
  std::int16_t sideColour1 = 5;  // "Farbe 1"
  std::int16_t sideColour2 = 22; // "Farbe 2"
  // Sub-value A: 210/211/310 field colour; 206 start parameter; 307 the kind
  // of the revolved curve; 204 inequality sign (0, 1 "<", -1 ">"); 209/309
  // guide-line code; 215 source kind; 218 point style; 302 highest turn.
  std::int16_t subKind = 0;
  // Sub-value B: negative = never offered in lists; 204 region colour; 307
  // source parameter; 219 marker size code.
  std::int16_t subValue = 0;
  std::int16_t familyDelay = 0;  // ms between family members shown one by one
  std::int16_t arrowSize = 0;    // arrow size - 10
  std::int16_t arrowMode = 0;    // 205 arrow ends; 210/211/310 field-length parameter; 203 curve variable; 209 system
  std::int16_t termCount = 0;    // 201 cobweb steps; surfaces: grid colour
  std::int16_t auxValue3 = 0;    // 215 sample count; 213 polynomial number; slice letter 1
  std::int16_t auxValue4 = 0;    // 215 sample letter; slice letter 2
  std::int16_t familyLetter = 1; // family parameter (1 = A)
  std::int16_t familySteps = 20; // |steps|; negative: members shown one by one
  std::int16_t density = 0;      // the window's default density; table steps

  // ---- flag bytes ----
  std::uint8_t familyOn = 0;
  std::uint8_t bounded = 0;        // "Intervall setzen"
  std::uint8_t visible = 1;
  std::uint8_t densityFlag = 0;    // 201-203: connect across jumps ("@"); surfaces: transparent
  std::uint8_t restricted = 0;     // restriction "0 <" of text slot 3
  std::uint8_t filled = 0;         // surfaces "Färben"
  std::uint8_t unclipped = 1;      // surfaces: points outside the box still projected
  std::uint8_t reserved53 = 0;
  std::uint8_t automaticExtent = 1;
  std::uint8_t kindFlag = 0;       // 207 other side; 208 ends valid; 204 continuous; 212 complex
  std::uint8_t webToAxis = 0;      // cobweb from the x axis; 204/317 draw now; 218 draw points
  std::uint8_t drawFilled = 0;     // 204 fill flag; 219 follow; level mark
  std::uint8_t polarInput = 0;     // 205/209 polar; 204/305 set after reading; surfaces mesh
  std::uint8_t interpolated = 0;   // 201 Lagrange; 209/309 guide lines; surfaces height tint
  std::uint8_t notVertical = 0;    // 205/208 written by the drawer; 201 cobweb on; surfaces grid

  // ---- long doubles and counts ----
  long double elementLength = 0.2L;
  long double familyStart = 0;
  long double familyEnd = 0;
  long double rangeMin = -5;
  long double rangeMax = 5;
  std::array<std::int16_t, 3> divisions{36, 36, 36};
  // 307 with a division code (subValue above 0): set once compiling has
  // made the first division count the drawing's 2n + 1 or 2n - 1 from the
  // n entered, so that compiling again does not double it; the file keeps
  // n (the plot-file writer derives it back).  Not in the record's image.
  std::uint8_t divisionsDerived = 0;
  // A record starts with the two words before 121, the bounds and the value
  // blocks at zero (the corners of a new inventory's records); InitEquation
  // gives them their defaults.
  std::array<std::int16_t, 2> curvePoints{0, 0};
  TPoint2D lowerBound;             // lower ends of the two parameter intervals
  TPoint2D upperBound;             // upper ends

  // ---- ten value blocks of three long doubles ----
  std::array<TPoint3D, 10> values{};

  // ---- pen ----
  std::uint16_t penColour = 0;  // colour index 1..60
  std::int16_t penWidth = 1;
  std::int16_t penStyle = 0;    // 0 solid, 1 dotted, 2 dashed, 3 dash-dot, 4 dash-dot-dot

  // ---- heap parts (pointers in the file image) ----
  std::array<std::string, kFormulaSlots> formulaText;
  std::vector<TPoint3D> samples;       // grid points, 213 nodes, 219 bodies
  std::vector<DevicePoint> devicePoints;
  std::vector<long double> cellDepths; // also the value buffer (213 coefficients, 215 samples)
  std::vector<std::uint8_t> cellFlags;
  std::list<TEquationItem> items;      // head first
  std::array<TreePtr, kFormulaSlots> trees;
  std::list<TResultPoint> results;     // head first
  // The runs an implicit curve's last trace drew, kept with the entry (not
  // in the file) so that a repaint draws them again instead of tracing.
  std::shared_ptr<const TTracedCurve> traced;

  // ---- kind-specific places in the value blocks ----
  TPoint3D& boxMin() { return values[0]; }
  TPoint3D& boxMax() { return values[1]; }
  const TPoint3D& boxMin() const { return values[0]; }
  const TPoint3D& boxMax() const { return values[1]; }
  long double& startValue() { return values[4].x; }     // 206 x0; 209/309 point x
  long double& rollRadius() { return values[4].y; }     // 207; 209/309 point y
  long double& pointZ() { return values[4].z; }         // 207 arm d; 209/309 point z
  long double& rollFactor() { return values[5].x; }
  long double& armFactor() { return values[5].y; }
  long double& arrowParameter() { return values[7].x; } // 304
  long double& arrowLength() { return values[7].y; }    // 304, 205
  long double& webStart() { return values[9].x; }       // cobweb start
  long double& endMarkerLeft() { return values[9].x; }  // dot codes of 201-203 and 206
  long double& endMarkerRight() { return values[9].y; }
  long double& endArrowLeft() { return values[9].z; }   // arrow codes of 201-203
  long double& endArrowRight() { return values[8].z; }
  // 208: the ends of the piece of the line drawn last (x1, y1, x2, y2).
  void SetLineEnds(const TPoint2D& a, const TPoint2D& b) {
    values[8].x = a.x;
    values[8].y = a.y;
    values[8].z = b.x;
    values[9].x = b.y;
  }
  TPoint2D LineEnd1() const { return {values[8].x, values[8].y}; }
  TPoint2D LineEnd2() const { return {values[8].z, values[9].x}; }
  // 215: the parameter bounds of the curve whose points it shows.
  long double& sampleLower() { return values[5].x; }
  long double& sampleUpper() { return values[5].y; }
  long double sampleLower() const { return values[5].x; }
  long double sampleUpper() const { return values[5].y; }
  TPenSpec PenSpec() const {
    return {penColour, static_cast<std::uint16_t>(penWidth), static_cast<std::uint16_t>(penStyle)};
  }
};

// Size of the record's file image and of the attached records'.
inline constexpr std::size_t kEquationRecordSize = 547;
inline constexpr std::size_t kEquationItemFileSize = 95;
inline constexpr std::size_t kResultPointSize = 78;
inline constexpr std::size_t kMouseMarkSize = 26;
inline constexpr std::size_t kShadeRecordSize = 37;

// Every field as a fresh record has it, then the kind's defaults: kind
// (213 is stored as 201 with `interpolated`), pen colour, default density.
// The heap parts are freed.
void InitEquation(TEquation& e, int kind, int colour, int density);
// Sample buffers by kind: 9 nodes and coefficients for a Lagrange polynomial,
// the planets' bodies.  Surface grids are sized by their drawers from the
// divisions.
void InitEquationBuffers(TEquation& e);
// Frees texts, trees, lists and buffers.
void FreeEquation(TEquation& e);
void ClearEquationItems(TEquation& e);
void FreeResultPoints(TEquation& e);
// A deep copy of every field, texts, trees, items and results included.
void CopyEquation(TEquation& target, const TEquation& source);
// Re-initialises the target with the source's kind, then copies the source
// (trees only when withTrees is set).
void ReinitAndCopyEquation(TEquation& target, const TEquation& source, bool withTrees);
// Clears the option bytes of an explicit curve (cobweb and interval).
void ResetEquationOptions(TEquation& e);
inline void ClearString(std::string& s) { s.clear(); }

// Sampled surfaces: 301, 302, 303, 306, 315, 316; 305 only when
// implicitAsFamily is false; 307 unless it revolves an implicit curve and
// implicitAsFamily is set.
bool IsSurfaceKind(const TEquation& e, bool implicitAsFamily);
// Within the box corners, bounds included.
bool IsPointInEquationBox(const TEquation& e, long double x, long double y, long double z);
bool IsLagrangePolynomial(const TEquation& e);

// How an entry's family runs: members 0..last, the family letter from
// familyStart on by `step` after each member; shown one by one (stepped)
// when familySteps is negative.  Without a family, and with a family of 0
// steps, there is one member.  The family dialog takes up to
// kMaxFamilySteps steps; a file's count is kept to that.
inline constexpr int kMaxFamilySteps = 4000;
struct TFamilyPlan {
  int last = 0;
  long double step = 0;
  bool stepped = false;
};
TFamilyPlan FamilyPlan(const TEquation& e);

// Up to 128 decimal numbers (digits, at most one point, a minus only in
// front), separated by anything else; the count.
inline constexpr int kMaxNumberList = 128;
int ScanNumberList(std::string_view text, std::vector<long double>& out);

// Gauss-Jordan inverse of the n x n row-major matrix: 0, or 14 when it is
// singular (result unchanged then).
int InvertMatrix(const long double* matrix, long double* result, int n, long double& determinant);

// Area and volume of the frustum swept by the segment a-b turning about the
// x axis (axis 0) or the y axis (axis 1).
struct TFrustum {
  long double area = 0;
  long double volume = 0;
};
TFrustum FrustumAreaVolume(const TPoint2D& a, const TPoint2D& b, int axis);

// The caption of an equation shown in the plot: its description in its
// colour, one below the other.
struct TEquationLabel {
  std::int16_t index = -1;
  std::string text;
  TPoint2D anchor;
  std::int16_t colour = 1;
  std::uint8_t visible = 1;
};

}  // namespace kv
