#include "plot2d/curve_tool_dialogs.h"

#include <cmath>

#include "core/constants.h"
#include "platform/resources.h"
#include "plot2d/model/curve_maps.h"
#include "plot2d/plot_a_win.h"
#include "shell/file_msg_win.h"

namespace kv {

namespace {

constexpr int kBoundTextLimit = 255;

// The first checked radio button of first..last as 0, 1, ...; 0 when none.
int CheckedIndex(const plat::Dialog& d, int first, int last) {
  for (int id = first; id <= last; ++id)
    if (d.IsChecked(id)) return id - first;
  return 0;
}

void CheckOnly(plat::Dialog& d, int first, int last, int on) {
  for (int id = first; id <= last; ++id) d.SetCheck(id, id == on);
}

std::string Cut(std::string s, std::size_t n) {
  if (s.size() > n) s.resize(n);
  return s;
}

}  // namespace

// ---- reflect, rotate, translate ----

TMapDlg::TMapDlg(TPlotAWin& window, const std::string& templateName, std::initializer_list<int> kinds)
    : TComboDlg(window, templateName, kinds), plot_(window) {
  refillWhileToolAddsPoint = 1;
}

const plat::CommandTable& TMapDlg::Commands() const {
  static const auto table = plat::CommandTable::Build<TMapDlg>(
      &TComboDlg::Commands(), {
                                  {kIdToolAction, &TMapDlg::CmAction},
                                  {kIdToolUndo, &TMapDlg::CmUndo, &TMapDlg::CeUndo},
                              });
  return table;
}

void TMapDlg::SetupControls() {
  SetItemText(211, "1.0");
  SetItemText(212, "2.0");
  SetItemText(213, "3.0");
}

std::array<std::string, 3> TMapDlg::Texts() {
  return {GetItemText(211), GetItemText(212), GetItemText(213)};
}

void TMapDlg::CmAction() {
  const int chosen = SelectedEquation();
  if (!plot_.IsValidIndex(chosen)) return;
  if (!plot_.CanAddEquation(false)) {
    ShowMessageById(this, 4);
    return;
  }
  // A marked choice maps every marked curve the list offers.
  std::vector<int> sources;
  if (plot_.EquationFlag(chosen)) {
    for (int i = 0; i <= plot_.equationCount; ++i)
      if (plot_.EquationFlag(i) && Accepts(i, acceptedKinds_)) sources.push_back(i);
  } else {
    sources.push_back(chosen);
  }
  const int code = Code();
  for (int s : sources)
    if (!CurveMapAcceptsKind(code < 0 ? -code : code, plot_.Equation(s).kind)) {
      ShowMessageById(this, 6);
      return;
    }
  plot_.TransformCurve(sources, code, Texts());
}

void TMapDlg::CmUndo() {
  const int last = plot_.equationCount;
  if (last < 0 || !OwnCode(plot_.Equation(last).derivation)) return;
  plot_.DeleteEquations({last});
  plot_.EquationsChanged(false);
  plot_.RepaintNow(false);
}

void TMapDlg::CeUndo(plat::CommandEnabler& ce) {
  const int last = plot_.equationCount;
  ce.Enable(last >= 0 && OwnCode(plot_.Equation(last).derivation));
}

TReflDlg::TReflDlg(TPlotAWin& window)
    : TMapDlg(window, "REFLECT", {201, 202, 203, 204, 205, 208, 209, 210, 211, 212}) {}

void TReflDlg::SetupControls() {
  TMapDlg::SetupControls();
  CheckOnly(*this, 251, 254, 251);
  SetCheck(271, false);
}

int TReflDlg::Code() {
  const int code = kMapXAxis + CheckedIndex(*this, 251, 254);
  return IsChecked(271) ? -code : code;
}

TRotaDlg::TRotaDlg(TPlotAWin& window)
    : TMapDlg(window, "ROTATE", {201, 202, 203, 204, 205, 208, 209, 210, 211, 212}) {}

void TRotaDlg::SetupControls() {
  SetItemText(211, "pi/3");
  SetItemText(212, "0.0");
  SetItemText(213, "0.0");
  CheckOnly(*this, 251, 252, 251);
}

int TRotaDlg::Code() { return IsChecked(252) ? kMapRotation : kMapPoint; }

std::array<std::string, 3> TRotaDlg::Texts() {
  auto t = TMapDlg::Texts();
  if (Code() == kMapPoint) t[0] = "pi";
  return t;
}

TTranDlg::TTranDlg(TPlotAWin& window) : TMapDlg(window, "TRANSLATE", {201, 203, 204, 205, 208, 209}) {}

// ---- roulettes and evolutes ----

TRoulDlg::TRoulDlg(TPlotAWin& window) : TComboDlg(window, "ROUL", {201, 202, 203}), plot_(window) {
  includeLagrange = 1;
  includeDerived = 1;
}

const plat::CommandTable& TRoulDlg::Commands() const {
  static const auto table =
      plat::CommandTable::Build<TRoulDlg>(&TComboDlg::Commands(), {{kIdToolAction, &TRoulDlg::CmDraw}});
  return table;
}

void TRoulDlg::SetupControls() {
  SetItemText(211, "0.0");
  SetItemText(212, "0.0");
  SetItemText(213, "2pi");
  SetItemText(214, "1.0");
  SetItemText(215, "1.0");
  CheckOnly(*this, 251, 252, 251);
}

bool TRoulDlg::ReadInputs() {
  auto read = [&](int id, long double& v) { return plot_.TextToValue(Cut(GetItemText(id), 49), v); };
  int code = read(211, min);
  if (code == 0) code = read(212, start);
  if (code == 0) code = read(213, max);
  if (code == 0 && !(min <= start && start <= max && max >= min + 1e-16L)) code = 6;
  if (code == 0) code = read(214, radius);
  if (code == 0 && radius < 1e-16L) code = 6;
  if (code == 0) code = read(215, arm);
  if (code != 0) {
    ShowMessageById(this, code);
    return false;
  }
  leftSide = IsChecked(251) || !IsChecked(252);
  return true;
}

void TRoulDlg::CmDraw() {
  if (!plot_.IsValidIndex(SelectedEquation()) || !ReadInputs()) return;
  const int code = plot_.AddRoulette(SelectedEquation(), leftSide, min, start, max, radius, arm);
  if (code > 0) ShowMessageById(this, code);
}

TEvolDlg::TEvolDlg(TPlotAWin& window) : TComboDlg(window, "EVOL", {201, 202, 203}), plot_(window) {
  includeLagrange = 1;
  includeDerived = 1;
}

const plat::CommandTable& TEvolDlg::Commands() const {
  static const auto table =
      plat::CommandTable::Build<TEvolDlg>(&TComboDlg::Commands(), {{kIdToolAction, &TEvolDlg::CmDraw}});
  return table;
}

void TEvolDlg::CmDraw() {
  if (!plot_.IsValidIndex(SelectedEquation())) return;
  const int code = plot_.AddEvolute(SelectedEquation());
  if (code > 0) ShowMessageById(this, code);
}

// ---- one number over an interval ----

TRevDlg::TRevDlg(TPlotAWin& window)
    : TPreRiemDlg(window, "REVOLVE", {kKindExplicit, kKindPolar, kKindParametric, kKindSegment}) {}

const plat::CommandTable& TRevDlg::Commands() const {
  static const auto table = plat::CommandTable::Build<TRevDlg>(
      &TPreRiemDlg::Commands(), {{kIdXAxis, &TRevDlg::CmXAxis}, {kIdYAxis, &TRevDlg::CmYAxis}});
  return table;
}

void TRevDlg::SetupWindow() {
  TPreRiemDlg::SetupWindow();
  ShowItem(kIdSecondCombo, false);
  SetAxis({0, 1, 0});
}

void TRevDlg::SetAxis(const TRevolutionAxis& a) {
  axis = a;
  std::string s;
  const long double v[3] = {a.a, a.b, a.c};
  for (int k = 0; k < 3; ++k) {
    plot_.FormatWindowNumber(v[k], s);
    SetItemText(214 + k, s);
  }
}

void TRevDlg::SetMode(bool vol) {
  volume = vol;
  SetItemText(kIdResult, "");
  SetItemText(kIdValueButton, plat::res::String(vol ? 199 : 189));
  resultLabel_ = plat::res::String(vol ? 190 : 191).substr(0, 28);
  SetCaption(resultLabel_);
  resultCode_ = vol ? 54 : 56;
}

void TRevDlg::SelectionChanged() {
  // A segment's own ends bound the solid.
  const bool range = SelectedKind() != kKindSegment;
  for (int id : {6, 5, 4, int{kIdLeftBound}, int{kIdRightBound}, int{kIdDivisions}}) ShowItem(id, range);
}

int TRevDlg::ReadInputs() {
  int code = TPreRiemDlg::ReadInputs();
  TRevolutionAxis a;
  if (code == 0) code = plot_.TextToValue(Cut(GetItemText(214), 29), a.a);
  if (code == 0) code = plot_.TextToValue(Cut(GetItemText(215), 29), a.b);
  if (code == 0 && a.a * a.a + a.b * a.b < 1e-16L) code = 6;
  if (code == 0) code = plot_.TextToValue(Cut(GetItemText(216), 29), a.c);
  if (code == 0) axis = a;
  return code;
}

int TRevDlg::Compute() { return plot_.RevolutionMeasure(SelectedEquation(), axis, volume); }

TSectorDlg::TSectorDlg(TPlotAWin& window)
    : TPreRiemDlg(window, "AREA", {kKindExplicit, kKindPolar, kKindParametric}) {
  resultLabel_ = plat::res::String(189);
  resultCode_ = kResultSectorArea;
}

void TSectorDlg::SetupWindow() {
  TPreRiemDlg::SetupWindow();
  ShowItem(kIdSecondCombo, false);
}

int TSectorDlg::Compute() { return plot_.SectorArea(SelectedEquation()); }

T2VolDlg::T2VolDlg(TPlotAWin& window) : TPreRiemDlg(window, "VOLTWO", {kKindExplicit}) { resultCode_ = 54; }

void T2VolDlg::SetupWindow() {
  TPreRiemDlg::SetupWindow();
  CheckOnly(*this, 251, 252, 251);
  SetItemText(214, "0.0");
}

int T2VolDlg::Compute() {
  long double k = 0;
  const int code = plot_.TextToValue(Cut(GetItemText(214), 30), k);
  if (code > 0) return code;
  return plot_.VolumeBetween(SelectedEquation(), SecondEquation(), k, !IsChecked(251));
}

// ---- the surface of revolution ----

TSurfDlg::TSurfDlg(TPlotAWin& window) : TComboDlg(window, "SURFREV", {201, 202, 203, 204, 205}), plot_(window) {}

const plat::CommandTable& TSurfDlg::Commands() const {
  static const auto table = plat::CommandTable::Build<TSurfDlg>(&TComboDlg::Commands(),
                                                                {
                                                                    {kIdToolAction, &TSurfDlg::CmDraw},
                                                                    {kIdShowCurve, &TSurfDlg::CmShowCurve},
                                                                    {kIdXAxis, &TSurfDlg::CmXAxis},
                                                                    {kIdYAxis, &TSurfDlg::CmYAxis},
                                                                });
  return table;
}

void TSurfDlg::SetupControls() {
  for (int id : {211, 212, 214, 215, 216, 217, 218}) LimitText(id, 50);
  const TRevolutionRange& r = plot_.revolutionRange;
  auto show = [&](int id, const TBoundValue& b) {
    std::string s;
    plot_.FormatWindowNumber(b.value, s);
    if (b.parameter > 0) s += "@" + std::string(1, static_cast<char>('A' + b.parameter - 1));
    SetItemText(id, s);
  };
  show(211, r.t1);
  show(212, r.t2);
  show(217, r.a1);
  show(218, r.a2);
  ShowAxis(plot_.revolutionAxis);
}

void TSurfDlg::ShowAxis(const TRevolutionAxis& a) {
  axis = a;
  std::string s;
  const long double v[3] = {a.a, a.b, a.c};
  for (int k = 0; k < 3; ++k) {
    plot_.FormatWindowNumber(v[k], s);
    SetItemText(214 + k, s);
  }
}

void TSurfDlg::SelectionChanged() {
  // A segment turns between its ends, an implicit curve as a whole and all
  // the way round: only the axis is asked for.
  const bool implicit = SelectedKind() == kKindImplicit;
  const bool range = SelectedKind() != kKindSegment && !implicit;
  for (int id : {231, 232, 211, 212}) ShowItem(id, range);
  for (int id : {233, 234, 217, 218, int{kIdShowCurve}}) ShowItem(id, !implicit);
}

int TSurfDlg::ReadRange() {
  TRevolutionRange r;
  auto read = [&](int id, TBoundValue& b) {
    return plot_.ReadValueAndParameter(Cut(GetItemText(id), 49), b.value, b.parameter);
  };
  int code = read(211, r.t1);
  if (code == 0) code = read(212, r.t2);
  if (code == 0 && r.t2.value < r.t1.value + 1e-16L) code = 6;
  if (code == 0) code = read(217, r.a1);
  if (code == 0) code = read(218, r.a2);
  if (code == 0 && r.a2.value < r.a1.value + 1e-16L) code = 6;
  if (code != 0) return code;
  // One full turn at most.
  if (r.a2.value > r.a1.value + 2 * Pi) r.a2.value = r.a1.value + 2 * Pi;
  plot_.revolutionRange = r;
  return 0;
}

int TSurfDlg::ReadAxis() {
  TRevolutionAxis a;
  // The axis fields read as the range fields do; a parameter tied to one
  // ("1@A") is left aside: the axis keeps the number.
  auto read = [&](int id, long double& v) {
    int parameter = 0;
    return plot_.ReadValueAndParameter(Cut(GetItemText(id), 49), v, parameter);
  };
  int code = read(214, a.a);
  if (code == 0) code = read(215, a.b);
  if (code == 0 && a.a * a.a + a.b * a.b < 1e-16L) code = 6;
  if (code == 0) code = read(216, a.c);
  if (code == 0) axis = a;
  return code;
}

bool TSurfDlg::ReadAll() {
  int code = ReadRange();
  if (code == 0) code = ReadAxis();
  if (code > 0) ShowMessageById(this, code);
  return code == 0;
}

void TSurfDlg::CmDraw() {
  if (!plot_.IsValidIndex(SelectedEquation()) || !ReadAll()) return;
  plot_.revolutionAxis = axis;
  const int code = plot_.BuildRevolutionSurface(SelectedEquation());
  if (code > 0) ShowMessageById(this, code);
}

void TSurfDlg::CmShowCurve() { RequestRedraw(); }

// ---- cross-sections ----

TSectionDlg::TSectionDlg(TPlotAWin& window) : T2ComboDlg(window, "SECTION", {201}, {201}), plot_(window) {
  lo.value = window.World.xmin;
  hi.value = window.World.xmax;
}

const plat::CommandTable& TSectionDlg::Commands() const {
  static const auto table = plat::CommandTable::Build<TSectionDlg>(&T2ComboDlg::Commands(),
                                                                   {
                                                                       {kIdToolAction, &TSectionDlg::CmDraw},
                                                                       {kIdSectionVolume, &TSectionDlg::CmVolume},
                                                                       {254, &TSectionDlg::CmHeightShape},
                                                                       {255, &TSectionDlg::CmHeightShape},
                                                                       {256, &TSectionDlg::CmHeightShape},
                                                                   });
  return table;
}

void TSectionDlg::SetupControls() {
  CheckOnly(*this, 251, 256, 251);
  SetItemText(211, height);
  std::string s;
  plot_.FormatWindowNumber(lo.value, s);
  SetItemText(212, s);
  plot_.FormatWindowNumber(hi.value, s);
  SetItemText(213, s);
  SetItemText(214, std::to_string(xDivisions));
  SetItemText(215, std::to_string(zDivisions));
  // The integration steps the window's integration dialogs share.
  steps = plot_.IntegrationDivisions();
  SetItemText(216, std::to_string(steps));
}

void TSectionDlg::CmHeightShape() {
  FocusItem(211);
  SelectAllText(211);
}

int TSectionDlg::ReadInputs() {
  TSectionBound a, b;
  int code = plot_.ReadValueAndParameter(Cut(GetItemText(212), kBoundTextLimit), a.value, a.parameter);
  if (code == 0) code = plot_.ReadValueAndParameter(Cut(GetItemText(213), kBoundTextLimit), b.value, b.parameter);
  if (code == 0 && b.value < a.value + 1e-13L) code = 6;
  if (code == 0 && SelectedEquation() == SecondEquation()) code = 23;
  if (code == 0 && (plot_.HasLetterBinding(SelectedEquation()) || plot_.HasLetterBinding(SecondEquation())))
    code = 101;
  std::int32_t x = 0, z = 0, n = 0;
  if (code == 0) {
    code = plot_.ReadBoundedInt(GetItemText(214), -2147483647, 2147483647, x);
    if (code == 0) code = plot_.ReadBoundedInt(GetItemText(215), -2147483647, 2147483647, z);
    if (code == 0) code = plot_.ReadBoundedInt(GetItemText(216), -2147483647, 2147483647, n);
    if (code == 0 && (n < 1 || x < 1 || z < 1)) code = 14;
    if (code == 0 && (static_cast<long long>(x) + 1) * (static_cast<long long>(z) + 1) > 6000) code = 17;
  }
  if (code > 0) {
    ShowMessageById(this, code);
    return code;
  }
  lo = a;
  hi = b;
  xDivisions = static_cast<std::int16_t>(x);
  zDivisions = static_cast<std::int16_t>(z);
  steps = n;
  shape = 1 + CheckedIndex(*this, 251, 256);
  doubled = IsChecked(271);
  height = Cut(GetItemText(211), 255);
  return 0;
}

void TSectionDlg::CmDraw() {
  if (ReadInputs() != 0) return;
  const int code = plot_.BuildSectionSolid(SelectedEquation(), SecondEquation(), shape, height, doubled, lo, hi,
                                           xDivisions, zDivisions);
  if (code > 0) ShowMessageById(this, code);
}

void TSectionDlg::CmVolume() {
  if (ReadInputs() != 0) return;
  // The window's shared bounds and step count, which the integration
  // dialogs opened afterwards show.
  plot_.IntegrationLeft() = lo.value;
  plot_.IntegrationRight() = hi.value;
  plot_.SetIntegrationDivisions(steps);
  long double v = 0;
  const int code = plot_.SectionVolume(SelectedEquation(), SecondEquation(), shape, height, doubled, lo.value,
                                       hi.value, static_cast<int>(steps), v);
  if (code == kIntegrationStopped) return;
  if (code > 0) {
    ShowMessageById(this, code);
    return;
  }
  SetItemText(231, plot_.integrationText);
}

// ---- mouse data ----

TLBDatDlg::TLBDatDlg(TPlotAWin& window, std::int16_t* target)
    : TDlg(&window, "LBDATA"), plot_(window), target_(target) {}

void TLBDatDlg::SetupWindow() {
  TDlg::SetupWindow();
  ListClear(kIdFirstCombo);
  for (int i = 0; i <= plot_.equationCount; ++i) ListAdd(kIdFirstCombo, plot_.DescribeEquation(i, 255));
  ListSetSel(kIdFirstCombo, 0);
  if (*target_ < 0) {
    CheckOnly(*this, 251, 252, 251);
  } else {
    CheckOnly(*this, 251, 252, 252);
    ListSetSel(kIdFirstCombo, *target_);
  }
}

void TLBDatDlg::EvControl(int id, int notification) {
  if (id == kIdFirstCombo && notification == plat::CBN_SELCHANGE) {
    OnChange();
    return;
  }
  if ((id == 251 || id == 252) && notification == plat::BN_CLICKED) {
    CheckOnly(*this, 251, 252, id);
    OnChange();
    return;
  }
  TDlg::EvControl(id, notification);
}

void TLBDatDlg::OnChange() {
  *target_ = IsChecked(251) ? -1 : static_cast<std::int16_t>(ListGetSel(kIdFirstCombo));
}

}  // namespace kv
