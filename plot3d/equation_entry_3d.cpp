// The "&Gleichung" menu of the 3D window: a new entry of each kind with its
// example values, edited in the kind's equation dialog; the meridian; and
// the box dialog of one entry.
#include <array>

#include "platform/dialog.h"
#include "plot3d/plot_r_win.h"
#include "plot3d/space_geometry.h"
#include "core/constants.h"
#include "shell/generic_dialogs.h"

namespace kv {

namespace {

// The explicit surface's intervals start a hair inside -π.
constexpr long double kNearMinusPi = -3.141582653589793L;
constexpr long double kTwoPi = 6.283185307179586L;

void SetSecondInterval(TEquation& e, long double lower, long double upper) {
  e.lowerBound.y = lower;
  e.upperBound.y = upper;
}

void SetBox(TEquation& e, const TPoint3D& lo, const TPoint3D& hi) {
  e.boxMin() = lo;
  e.boxMax() = hi;
}

}  // namespace

int TPlotRWin::NewEquation3D(int kind, long double lower, long double upper,
                             std::initializer_list<std::string_view> texts,
                             const std::function<void(TEquation&)>& prepare) {
  if (!CheckInventoryIdle() || !CanAddEquation(true)) return -1;
  std::array<std::string_view, 5> t{};
  std::size_t k = 0;
  for (std::string_view s : texts)
    if (k < t.size()) t[k++] = s;
  int mask = 0;
  const int i = AppendAndEditEquation(kind, lower, upper, t, prepare, mask);
  if (i < 0) return -1;
  CompileEquation(i);
  TEquation& e = Equation(i);
  switch (kind) {
    case kKindImplicitSurface:
      // The box of an implicit surface is asked for at once; the window is
      // not activated.
      EquationsChanged(true);
      AddEquationLabel();
      EditBoxDialog(i, true);
      EquationEdited(i, false);
      return i;
    case kKindOde3D:
    case kKindSequence3D:
      if (kind == kKindOde3D && e.arrowMode > 0) SetVariable(e.arrowMode, 0.1L * e.fieldLength);
      AddEquationLabel();
      EditBoxDialog(i, true);
      break;
    default:
      AddEquationLabel();
      break;
  }
  EquationEdited(i, true);
  if (kind == kKindSurface) {
    e.values[2] = e.boxMin();
    e.values[3] = e.boxMax();
  }
  EquationsChanged(true);
  SetForeground();
  return i;
}

void TPlotRWin::CmNewExplicit() {
  NewEquation3D(kKindSurface, kNearMinusPi, Pi, {"", "", "sin(xx+yy)/(xx+yy)"},
                [](TEquation& e) { SetSecondInterval(e, kNearMinusPi, Pi); });
}

void TPlotRWin::CmNewCylindrical() {
  NewEquation3D(kKindCylinderSurface, 0, 1.2L, {"", "", "rrrcos(3t)/(1+rrrr)"}, [](TEquation& e) {
    SetSecondInterval(e, 0, kTwoPi);
    e.divisions[1] = 70;
  });
}

void TPlotRWin::CmNewParametric() {
  NewEquation3D(kKindParametricSurface, 0, kTwoPi, {"sin(u)cos(t)", "sin(u)sin(t)", "cos(u)"},
                [](TEquation& e) { SetSecondInterval(e, 0, Pi); });
}

void TPlotRWin::CmNewSpherical() {
  NewEquation3D(kKindSphericalSurface, 0, kTwoPi, {"", "", "", "1.0+0.25sin(3u)"},
                [](TEquation& e) { SetSecondInterval(e, 0, Pi); });
}

void TPlotRWin::CmNewCurve() { NewEquation3D(kKindSpaceCurve, 0, kTwoPi, {"cos(7t)", "sin(7t)", "t"}); }

void TPlotRWin::CmNewImplicit() {
  NewEquation3D(kKindImplicitSurface, 0, 1, {"", "", "", "", "xx+yy+zz=4"}, [](TEquation& e) {
    SetBox(e, {-2.1L, -2.1L, -2.1L}, {2.1L, 2.1L, 2.1L});
    e.values[2] = e.boxMin();
    e.values[3] = e.boxMax();
  });
}

void TPlotRWin::CmNewTube() {
  NewEquation3D(kKindTube, 0, kTwoPi, {"cos(7t)", "sin(7t)", "t", "0.3", "xx+yy+zz=4"}, [](TEquation& e) {
    SetSecondInterval(e, 0, kTwoPi);
    e.divisions[0] = 120;
    e.divisions[1] = 16;
    e.filled = 1;
    e.sideColour1 = 6;
    e.sideColour2 = 11;
  });
}

void TPlotRWin::CmNewSegment() {
  NewEquation3D(kKindSegment3D, 0, 1, {"2.54", "1.732", "2.718", "1.618"}, [](TEquation& e) {
    e.formulaText[5] = "3.142";
    e.formulaText[6] = "0.577";
  });
}

void TPlotRWin::CmNewPlane() {
  const std::int16_t colour = GetSavedValue(entryCounter);
  NewEquation3D(kKindPlane, -1, 1, {"2.54", "1.732", "2.718", "1.618,3.142,1.414"}, [colour](TEquation& e) {
    SetSecondInterval(e, -1, 1);
    e.formulaText[5] = "2.0";
    e.termCount = colour;
  });
}

void TPlotRWin::CmNewOde() {
  NewEquation3D(kKindOde3D, 0, 1, {"10y-10x", "28x-y-xz", "xy-8z/3"}, [](TEquation& e) {
    SetBox(e, {-30, -30, -10}, {30, 30, 50});
    e.fieldRows = 9;
    e.fieldLength = 20;
  });
}

void TPlotRWin::CmNewRecursion() {
  NewEquation3D(kKindSequence3D, 0, 1, {"0.96x-0.28y", "0.28x+0.96y", "z+0.01"},
                [](TEquation& e) { SetBox(e, {-30, -30, -10}, {30, 30, 50}); });
}

void TPlotRWin::CmMeridian() {
  std::string radius = "1.00";
  std::string angle = "0.00";
  TGenDlg dialog(this, "MERID", 255, &radius, &angle);
  if (dialog.Execute() != plat::IDOK) return;
  for (const std::string* text : {&radius, &angle}) {
    TreePtr tree;
    const int code = Compile(*text, tree);
    if (code != 0) {
      ShowMessageById(code);
      return;
    }
  }
  const std::string x = "(" + radius + ")sin(t)cos(" + angle + ")";
  const std::string y = "(" + radius + ")sin(t)sin(" + angle + ")";
  const std::string z = "(" + radius + ")cos(t)";
  // Two long texts would not fit a formula text together.
  if (x.size() >= kFormulaTextSize || y.size() >= kFormulaTextSize) {
    ShowMessageById(17);  // "jenseits der Grenzen"
    return;
  }
  if (!CanAddEquation(true)) return;
  const int i = AppendEquation(kKindSpaceCurve, 0, Pi, x, y, z);
  if (i < 0) return;
  ++entryCounter;
  CompileEquation(i);
  AddEquationLabel();
  EquationEdited(i, true);
  EquationsChanged(true);
  SetForeground();
}

// ---- the box dialog ----

void TPlotRWin::EditBoxDialog(int i, bool force) {
  if (!IsValidIndex(i)) return;
  TEquation& e = Equation(i);
  const TPoint3D oldMin = e.boxMin();
  const TPoint3D oldMax = e.boxMax();
  std::array<std::string, 6> texts;
  const long double shown[6] = {oldMin.x, oldMax.x, oldMin.y, oldMax.y, oldMin.z, oldMax.z};
  for (std::size_t k = 0; k < texts.size(); ++k) FormatWindowNumber(shown[k], texts[k]);
  const bool surface = IsSurfaceKind(e, true);
  const char* name = surface ? "AUTOBOXA"
                     : (e.kind == kKindImplicitSurface || e.kind > kKindPoint3D) ? "AUTOBOXB"
                                                                                  : "AUTOBOXC";
  std::uint8_t cover = e.unclipped ? 1 : 0;
  std::uint8_t fixed = e.automaticExtent ? 0 : 1;
  const std::uint8_t coverBefore = cover;
  const std::uint8_t fixedBefore = fixed;
  TGenBoolDlg dialog(this, name, &cover, &fixed, 20, &texts[0], &texts[1], &texts[2], &texts[3], &texts[4],
                     &texts[5]);
  if (dialog.Execute() != plat::IDOK) return;
  bool changed = force || fixed != fixedBefore;
  TPoint3D lo = oldMin;
  TPoint3D hi = oldMax;
  if (fixed) {
    long double* targets[6] = {&lo.x, &lo.y, &lo.z, &hi.x, &hi.y, &hi.z};
    const std::size_t order[6] = {0, 2, 4, 1, 3, 5};
    int code = 0;
    for (int k = 0; k < 6 && code == 0; ++k) code = TextToValue(texts[order[k]], *targets[k]);
    if (code == 0 && (hi.x < lo.x + 1e-13L || hi.y < lo.y + 1e-13L || hi.z < lo.z + 1e-13L)) code = 6;
    if (code != 0) {
      ShowMessageById(code);  // 6: "widersprüchliche Daten"
      return;
    }
    if (!changed) {
      changed = cover != coverBefore || TaxicabDistance3D(lo, oldMin) > 1e-16L || TaxicabDistance3D(hi, oldMax) > 1e-16L;
    }
  }
  e.automaticExtent = fixed ? 0 : 1;
  e.unclipped = cover;
  if (!changed) return;
  e.boxMin() = lo;
  e.boxMax() = hi;
  if (e.kind == kKindSurface || e.kind == kKindImplicitSurface) {
    e.values[2] = lo;
    e.values[3] = hi;
  }
  if (surface) {
    SampleSurfaceGrid(i);
  } else {
    ComputeItemExtent(i);
  }
  FitBoxToGraphs();
  FitWindowToBox();
  RepaintNow(false);
}

}  // namespace kv
