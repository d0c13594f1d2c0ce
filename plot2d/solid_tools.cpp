// Solids made from the 2D window's curves: the measures (volume and surface
// area of revolution, sector area, volume between two graphs, volume with
// known cross-sections) and the solids themselves, built as surfaces in the
// companion 3D windows "Rotation.kv3" and "Sections.kv3".
#include <algorithm>
#include <cmath>

#include "platform/resources.h"
#include "plot2d/curve_tool_dialogs.h"
#include "plot2d/model/solids.h"
#include "plot2d/plot_a_win.h"
#include "plotcore/model/compile_equation.h"
#include "shell/window_creators.h"

namespace kv {

namespace {

constexpr int kNoRoomMessage = 4;
constexpr int kLetterBindingMessage = 101;
constexpr int kRevolutionTitle = 271;
constexpr int kSectionsTitle = 179;
constexpr int kSectionResultLabel = 178;
constexpr std::int16_t kSectionResultCode = 57;

}  // namespace

TCurveToolDialogs& TPlotAWin::ToolDialogs() {
  if (!toolDialogs_) toolDialogs_ = std::make_unique<TCurveToolDialogs>();
  return *toolDialogs_;
}

// ---- measures ----

int TPlotAWin::FinishMeasure(int code, long double value, bool gaps) {
  RestoreVariables();
  UpdateCaption(false);
  if (code == kIntegrationOk) SetIntegrationResult(value, gaps);
  return code;
}

int TPlotAWin::RevolutionMeasure(int curve, const TRevolutionAxis& axis, bool volume) {
  if (!IsValidIndex(curve)) return 9;  // "nichts zu tun"
  SetFocus();
  SetCaption(1, 0, 0);
  SaveVariables();
  long double v = 0;
  bool gaps = false;
  const int code = kv::RevolutionMeasure(Engine(), Equation(curve), axis, volume, IntegrationLeft(),
                                         IntegrationRight(), IntegrationDivisions(), v,
                                         [this] { return StopKeyPressed(); }, &gaps);
  return FinishMeasure(code, v, gaps);
}

int TPlotAWin::SectorArea(int curve) {
  if (!IsValidIndex(curve)) return 9;
  SetFocus();
  SetCaption(1, 0, 0);
  SaveVariables();
  long double v = 0;
  bool gaps = false;
  const int code = kv::SectorArea(Engine(), Equation(curve), IntegrationLeft(), IntegrationRight(),
                                  IntegrationDivisions(), v, [this] { return StopKeyPressed(); }, &gaps);
  return FinishMeasure(code, v, gaps);
}

int TPlotAWin::VolumeBetween(int f, int g, long double k, bool vertical) {
  if (!IsValidIndex(f) || !IsValidIndex(g)) return 9;
  SetFocus();
  SetCaption(1, 0, 0);
  SaveVariables();
  long double v = 0;
  bool gaps = false;
  // The shells about x = k run in shifted bounds of their own: the shared
  // bounds, and the dialog's fields, stay as the user typed them.
  const int code = VolumeBetweenGraphs(Engine(), Equation(f).trees[1].get(), Equation(g).trees[1].get(), k, vertical,
                                       IntegrationLeft(), IntegrationRight(), IntegrationDivisions(), v,
                                       [this] { return StopKeyPressed(); }, &gaps);
  return FinishMeasure(code, v, gaps);
}

int TPlotAWin::SectionVolume(int f, int g, int shape, const std::string& height, bool doubled, long double lo,
                             long double hi, int n, long double& result) {
  if (!IsValidIndex(f) || !IsValidIndex(g)) return 1;
  // A long integration like the others: the busy caption, "A" stops it.
  SetFocus();
  SetCaption(1, 0, 0);
  SaveVariables();
  bool gaps = false;
  const int code = CrossSectionVolume(Engine(), Equation(f).formulaText[1], Equation(g).formulaText[1], height, shape,
                                      doubled, lo, hi, n, result, [this] { return StopKeyPressed(); }, &gaps);
  RestoreVariables();
  UpdateCaption(false);
  if (code != 0) return code;
  SetIntegrationResult(result, gaps);
  TResultPoint p;
  p.code = kSectionResultCode;
  p.count = 4;
  p.values = {lo, hi, result, static_cast<long double>(n)};
  p.text = plat::res::String(kSectionResultLabel).substr(0, kResultTextSize - 1);
  Equation(f).results.push_front(p);
  Equation(g).results.push_front(p);
  return 0;
}

// ---- solids in the 3D windows ----

TPlot111Win* TPlotAWin::CompanionWindow(TPlot111Win*& slot, int titleString) {
  if (slot) {
    if (slot->Hidden) {
      slot->Show(plat::SW_SHOW);
      slot->Hidden = 0;
    }
    return slot;
  }
  const auto& make = WindowCreators().companion3D;
  if (!make) return nullptr;
  TPlot111Win** field = &slot;
  TFileMsgWin* made = make(this, plat::res::String(titleString), [field] { *field = nullptr; });
  auto* w = dynamic_cast<TPlot111Win*>(made);
  if (!w) {
    delete made;
    return nullptr;
  }
  w->HasNotes = 1;
  w->OpenLastFileFlag = 0;
  w->LoadSettingsOnSetup = useDefaults ? 0 : 1;
  w->FileToOpen.clear();
  w->FileVersion = FileVersion;
  if (!w->Create()) {
    delete w;
    return nullptr;
  }
  slot = w;
  w->Show(plat::SW_SHOW);
  return w;
}

int TPlotAWin::BuildRevolutionSurface(int curve) {
  if (!IsValidIndex(curve)) return 1;
  if (HasLetterBinding(curve)) return kLetterBindingMessage;
  const TEquation& c = Equation(curve);
  // The surface keeps the curve and is made from it when compiled: a
  // curve whose surface cannot be made is refused before anything is added.
  {
    TEquation probe;
    InitEquation(probe, kKindRevolution, 0, 1);
    StoreRevolvedCurve(probe, c, revolutionAxis);
    StoreRevolutionSliders(probe, revolutionRange);
    if (!BuildRevolutionTrees(probe, Engine())) return 1;
  }
  TPlot111Win* w = CompanionWindow(revolutionWin_, kRevolutionTitle);
  if (!w || !w->CanAddEquation(false)) return kNoRoomMessage;
  // The parameters the texts use come along with their values and limits.
  std::array<std::uint8_t, tok::kVariableCount> used{};
  MarkEquationLetters(c, used);
  for (const TBoundValue* b : {&revolutionRange.t1, &revolutionRange.t2, &revolutionRange.a1, &revolutionRange.a2})
    if (b->parameter > 0) used[static_cast<std::size_t>(b->parameter)] = 1;
  for (std::size_t k = 1; k <= 23; ++k) {
    if (!used[k]) continue;
    w->Tables().value.Set(k, Tables().value[k]);
    w->Tables().lower[k] = Tables().lower[k];
    w->Tables().upper[k] = Tables().upper[k];
  }
  const int i = w->AppendEquation(kKindRevolution, 0, 1, "", "", "");
  if (i < 0) return kNoRoomMessage;
  TEquation& e = w->Equation(i);
  StoreRevolvedCurve(e, c, revolutionAxis);
  e.polarInput = 1;
  e.lowerBound = {0, 0};
  e.upperBound = {1, 1};
  e.bounded = 1;
  e.penColour = c.penColour;
  e.penWidth = c.penWidth;
  e.penStyle = c.penStyle;
  e.formulaText[4] = DescribeEquation(curve, 255);
  const long double z = std::max(std::fabs(World.ymin), std::fabs(World.ymax));
  e.boxMin() = {World.xmin, World.ymin, -z};
  e.boxMax() = {World.xmax, World.ymax, z};
  StoreRevolutionSliders(e, revolutionRange);
  w->CopySliderParameters(i);
  w->CompileEquation(i);
  w->AddEquationLabel();
  w->EquationsChanged(true);
  w->FitBoxToGraphs();
  w->RepaintNow(true);
  return 0;
}

int TPlotAWin::BuildSectionSolid(int f, int g, int shape, const std::string& height, bool doubled,
                                 const TSectionBound& lo, const TSectionBound& hi, int xDivisions, int zDivisions) {
  if (!IsValidIndex(f) || !IsValidIndex(g)) return 1;
  std::vector<TSurfaceTexts> faces;
  if (const int code = BuildSectionSurfaces(Engine(), Equation(f).formulaText[1], Equation(g).formulaText[1], height,
                                            shape, doubled, lo, hi, xDivisions, zDivisions, faces);
      code != 0)
    return code;
  TPlot111Win* w = CompanionWindow(sectionWin_, kSectionsTitle);
  if (!w) return kNoRoomMessage;
  // Bounds tied to parameters: the parameter sits at the bound.
  for (const TSectionBound* b : {&lo, &hi}) {
    if (b->parameter <= 0 || b->parameter >= tok::kParameterCount) continue;
    const auto k = static_cast<std::size_t>(b->parameter);
    w->Tables().value.SetReal(k, b->value);
    w->Tables().lower[k] = TComplex(b->value);
    w->Tables().upper[k] = TComplex(b->value);
  }
  for (const TSurfaceTexts& s : faces) {
    if (!w->CanAddEquation(false)) return kNoRoomMessage;
    const int i = w->AddParametricSurface(s.x, s.y, s.z, s.tLo, s.tHi, s.uLo, s.uHi, s.tDivisions, s.uDivisions);
    if (i < 0) return kNoRoomMessage;
    w->Equation(i).penColour = Equation(f).penColour;
  }
  w->EquationsChanged(true);
  w->FitBoxToGraphs();
  w->RepaintNow(true);
  return 0;
}

}  // namespace kv
