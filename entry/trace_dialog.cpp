#include "entry/trace_dialog.h"

#include <cmath>

#include "core/number_text.h"
#include "entry/plot111_win.h"
#include "platform/resources.h"

namespace kv {

namespace {

constexpr int kStrUndefined = 85;    // "nicht definiert"
constexpr int kStrSlope = 275;       // "Steigung"
constexpr int kStrCurvature = 284;   // "Krümmung"
constexpr int kStrSpeed = 285;       // "Geschwindigkeit"
constexpr int kStrComponents = 286;  // "Komponenten"
constexpr int kOutOfRange = 17;      // "jenseits der Grenzen"
constexpr long double kTiny = 1e-16L;
constexpr int kDegrees = 10;

}  // namespace

TTraceDlg::TTraceDlg(TPlot111Win& window, const std::string& templateName, std::initializer_list<int> kinds)
    : TComboDlg(window, templateName, kinds), plot_(window), space_(window.dimension == 3) {
  st_.space = space_;
  // The dialog has no OK button: Enter in the parameter edit traces to the
  // typed value all the same.
  SetEnterSendsOk(true);
}

TTraceDlg::~TTraceDlg() = default;

const plat::CommandTable& TTraceDlg::Commands() const {
  using D = TTraceDlg;
  static const auto table = plat::CommandTable::Build<D>(&TComboDlg::Commands(),
                                                         {
                                                             {kCmTraceTaylor, &D::CmTaylor, &D::CeAddItem},
                                                             {kCmTracePoint, &D::CmPoint, &D::CeAddItem},
                                                             {kCmTraceReference, &D::CmReference},
                                                             {kIdTraceSecant, &D::CmOptions},
                                                             {kIdTraceTangent, &D::CmOptions},
                                                             {kIdTraceClearTangent, &D::CmOptions},
                                                             {kIdTraceFrenet, &D::CmOptions},
                                                         });
  return table;
}

// ---- set-up and choice ----

void TTraceDlg::SetupControls() {
  LimitText(kIdTraceParameter, 255);
  SetCheck(kIdTraceSecant, false);
  SetCheck(kIdTraceTangent, false);
  if (space_) SetCheck(kIdTraceFrenet, false);
  // The box that draws the marks wider shows the window's setting.
  SetCheck(kIdTraceClearTangent, plot_.clearTangent != 0);
  if (HasItem(kIdTraceDegree)) {
    ListClear(kIdTraceDegree);
    for (int d = 0; d < kDegrees; ++d) ListAdd(kIdTraceDegree, std::to_string(d));
    ListSetSel(kIdTraceDegree, 1);
  }
  degree_ = 1;
  SetScrollRange(kIdTraceBar, 0, Steps());
  SetScrollPage(kIdTraceBar, PageSteps());
  SetScrollPos(kIdTraceBar, Steps() / 2);
  if (LogAxes()) {
    for (int id : {static_cast<int>(kIdTraceDegreeLabel), static_cast<int>(kCmTraceTaylor),
                   static_cast<int>(kCmTraceReference), static_cast<int>(kCmTracePoint),
                   static_cast<int>(kIdTraceSecant), static_cast<int>(kIdTraceTangent),
                   static_cast<int>(kIdTraceClearTangent), static_cast<int>(kIdTraceDegree)})
      if (HasItem(id)) ShowItem(id, false);
  }
}

int TTraceDlg::TracedEquation() const {
  const int i = SelectedEquation();
  if (LastRow() < 0 || !window_.IsValidIndex(i)) return -1;
  // The choice is kept by index; an entry that changed its kind meanwhile
  // is not traced.
  const int kind = window_.Equation(i).kind;
  return kind < kKindTableSize && acceptedKinds_.test(static_cast<std::size_t>(kind)) ? i : -1;
}

void TTraceDlg::SelectionChanged() {
  const int i = TracedEquation();
  if (i < 0) return;
  // A curve chosen (or the list refilled) starts the secant afresh.
  st_.noSecant = true;
  st_.firstSecant = true;
  SetCheck(kIdTraceSecant, false);
  const TEquation& e = window_.Equation(i);
  SetItemText(kIdTraceLabel, e.kind == kKindExplicit ? "x =" : "t =");
  BuildSecondDerivativeTrees(e, second_);
  OnScroll();
}

void TTraceDlg::Retrace() {
  if (TracedEquation() < 0) return;
  BuildSecondDerivativeTrees(window_.Equation(TracedEquation()), second_);
  OnScroll();
}

void TTraceDlg::EvControl(int id, int notification) {
  if (id == kIdTraceBar && notification == plat::SB_CHANGED) {
    OnScroll();
    return;
  }
  if (id == kIdTraceDegree && notification == plat::CBN_SELCHANGE) {
    OnDegreeChanged();
    return;
  }
  TComboDlg::EvControl(id, notification);
}

// ---- the range and the scroll bar ----

long double TTraceDlg::Lo() const {
  const int i = TracedEquation();
  return i >= 0 ? window_.Equation(i).lowerBound.x : 0;
}

long double TTraceDlg::Hi() const {
  const int i = TracedEquation();
  return i >= 0 ? window_.Equation(i).upperBound.x : 0;
}

int TTraceDlg::Steps() const { return plot_.SliderStepCount(kGraphTraceSteps); }
int TTraceDlg::PageSteps() const { return plot_.SliderPageCount(kGraphTraceSteps); }

bool TTraceDlg::LogAxes() const { return window_.LogWindowType > 0; }

std::string TTraceDlg::Number(long double v) const { return FormatNumber(v, 0, window_.Decimals); }

void TTraceDlg::ScrollTo(long double s) { SetScrollPos(kIdTraceBar, ScrollFromParameter(s, Lo(), Hi(), Steps())); }

void TTraceDlg::OnScroll() {
  if (TracedEquation() < 0) return;
  const long double s = ParameterFromScroll(Lo(), Hi(), Steps(), GetScrollPos(kIdTraceBar));
  const bool defined = ComputeAt(s);
  ShowCoordinates(defined);
  ShowSlopeInfo();
}

void TTraceDlg::UpdateScrollFromEdit() {
  long double s = 0;
  long double fraction = 0.5L;
  const long double lo = Lo();
  const long double hi = Hi();
  if (window_.TextToNumber(GetItemText(kIdTraceParameter), s) == 0 && s >= lo && s <= hi && hi > lo)
    fraction = (s - lo) / (hi - lo);
  SetScrollRange(kIdTraceBar, 0, Steps());
  SetScrollPage(kIdTraceBar, PageSteps());
  SetScrollPos(kIdTraceBar, RoundToInt(fraction * Steps()));
}

void TTraceDlg::OnDegreeChanged() {
  const int row = ListGetSel(kIdTraceDegree);
  if (row < 0) return;
  degree_ = row;
  RequestRedraw();
}

// ---- computing and showing ----

bool TTraceDlg::ComputeAt(long double s) {
  const int i = TracedEquation();
  if (i < 0) return false;
  TExprNode* const second[2] = {second_[0].get(), second_[1].get()};
  return ComputeTracePoint(window_.Equation(i), window_.Engine(), second, s, IsSecantChecked(), st_);
}

int TTraceDlg::ReadParameter(long double& s) {
  const int code = window_.TextToNumber(GetItemText(kIdTraceParameter), s);
  if (code != 0) window_.ShowMessageById(code);
  return code;
}

void TTraceDlg::Recalculate() {
  if (TracedEquation() < 0) return;
  long double s = 0;
  if (ReadParameter(s) != 0) return;
  if (!(s >= Lo() && s <= Hi())) {
    window_.ShowMessageById(kOutOfRange);
    return;
  }
  TraceAt(s);
}

void TTraceDlg::TraceAt(long double s) {
  const bool defined = ComputeAt(s);
  ScrollTo(s);
  if (defined) ShowSlopeInfo();
  ShowCoordinates(defined);
}

void TTraceDlg::ShowCoordinates(bool defined) {
  const int i = TracedEquation();
  if (i < 0) return;
  const int kind = window_.Equation(i).kind;
  SetItemText(kIdTraceParameter, Number(st_.t));
  const std::string undefined = plat::res::String(kStrUndefined);
  auto line = [&](const char* name, long double v) {
    return std::string(name) + " = " + (defined ? Number(v) : undefined) + "\r\n";
  };
  std::string text;
  if (kind == kKindExplicit) {
    text = line("y", st_.point.y);
  } else if (kind == kKindPolar && !space_) {
    text = line("r", st_.point.z) + line("x", st_.point.x) + line("y", st_.point.y);
  } else {
    text = line("x", st_.point.x) + line("y", st_.point.y);
    if (space_) text += line("z", st_.point.z);
  }
  SetItemText(kIdTraceCoordinates, text);
  RequestRedraw();
}

void TTraceDlg::ShowSlopeInfo() {
  if (LogAxes()) return;
  const int i = TracedEquation();
  if (i < 0) return;
  const bool graph = window_.Equation(i).kind == kKindExplicit;
  const std::string undefined = plat::res::String(kStrUndefined);
  std::string text = plat::res::String(graph ? kStrSlope : kStrComponents) + ": ";
  auto vector = [&](const TPoint3D& v) {
    std::string s = "[ " + Number(v.x) + " ; " + Number(v.y);
    if (space_) s += " ; " + Number(v.z);
    return s + " ]";
  };
  const std::string speedHead = "\r\n" + plat::res::String(kStrSpeed) + ": ";
  if (!IsSecantChecked()) {
    if (!IsTangentChecked() && !IsFrenetChecked()) {
      SetItemText(kIdTraceSlope, "");
      return;
    }
    const TPoint3D& v = st_.velocity;
    if (!st_.derivativeDefined) {
      text += undefined;
    } else if (graph) {
      text += std::fabs(v.x) >= kTiny ? Number(v.y / v.x) : undefined;
    } else {
      text += vector(v) + speedHead + Number(st_.speed);
    }
    text += "\r\n" + plat::res::String(kStrCurvature) + ": " +
            (st_.curvatureValid ? Number(st_.curvature) : undefined);
  } else {
    const TPoint3D& s = st_.secant;
    if (graph) {
      text += !st_.noSecant && std::fabs(s.x) >= kTiny ? Number(s.y / s.x) : undefined;
    } else if (st_.noSecant) {
      text += undefined + speedHead + undefined;
    } else {
      text += vector(s) + speedHead + Number(st_.secantLength);
    }
  }
  SetItemText(kIdTraceSlope, text);
}

void TTraceDlg::SetReference() { SetTraceReference(st_); }

// ---- commands ----

void TTraceDlg::CmTaylor() {
  const int i = TracedEquation();
  if (i < 0) return;
  long double s = 0;
  if (ReadParameter(s) != 0) return;
  const std::string text = GetItemText(kIdTraceParameter);
  TraceAt(s);
  plot_.AddTaylorItem(i, degree_, text);
  // The new entry refills the list, which traces at the scroll bar's
  // nearest step: the dialog goes back to the typed point.
  if (TracedEquation() == i) TraceAt(s);
}

void TTraceDlg::CmPoint() {
  const int i = TracedEquation();
  if (i < 0) return;
  long double s = 0;
  if (ReadParameter(s) != 0) return;
  const std::string text = GetItemText(kIdTraceParameter);
  if (!ComputeAt(s)) return;
  ScrollTo(s);
  ShowCoordinates(true);
  TToolPointScope adding(plot_);
  plot_.AddTracePointItem(i, text);
}

void TTraceDlg::CmReference() {
  if (!IsSecantChecked()) return;
  SetReference();
  ShowSlopeInfo();
  RequestRedraw();
}

void TTraceDlg::CmOptions() {
  plot_.clearTangent = IsChecked(kIdTraceClearTangent) ? 1 : 0;
  if (IsSecantChecked()) {
    if (st_.firstSecant) {
      SetReference();
      st_.firstSecant = false;
    }
  } else {
    st_.firstSecant = true;
    st_.noSecant = true;
  }
  ShowSlopeInfo();
  RequestRedraw();
}

void TTraceDlg::CeAddItem(plat::CommandEnabler& ce) { ce.Enable(window_.equationCount < window_.equationCapacity); }

}  // namespace kv
