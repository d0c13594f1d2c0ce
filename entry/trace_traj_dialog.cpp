#include "entry/trace_traj_dialog.h"

#include <cmath>
#include <iterator>

#include "core/number_text.h"
#include "entry/plot111_win.h"
#include "platform/resources.h"
#include "plotcore/model/trajectories.h"

namespace kv {

namespace {

constexpr int kStrChoose = 415;  // "Auswahl treffen"
constexpr int kOutOfRange = 17;  // "jenseits der Grenzen"
constexpr int kUndefined = 6;
constexpr long double kShortest = 1e-13L;
constexpr std::size_t kLengthChars = 30;

// The scroll position of t on 0..n over lo..hi (which may run backwards).
int PositionOf(long double t, long double lo, long double hi, int n) {
  if (hi == lo) return 0;
  const long double f = (t - lo) / (hi - lo) * n;
  if (!std::isfinite(f)) return 0;
  return RoundToInt(std::fmax(0.0L, std::fmin(static_cast<long double>(n), f)));
}

}  // namespace

TTraceTrajDlg::TTraceTrajDlg(TPlot111Win& window)
    : TComboDlg(window, "TRACETRAJ", {100 * window.dimension + 10}), plot_(window), space_(window.dimension == 3) {
  // Until a trajectory is chosen the range is the shown x range and the
  // point the view's centre.
  lo_ = window.World.xmin;
  hi_ = window.World.xmax;
  trace_.point = {(window.World.xmin + window.World.xmax) / 2, (window.World.ymin + window.World.ymax) / 2, 0};
  // No OK button: Enter in the parameter edit traces to the typed value.
  SetEnterSendsOk(true);
}

TTraceTrajDlg::~TTraceTrajDlg() = default;

const plat::CommandTable& TTraceTrajDlg::Commands() const {
  using D = TTraceTrajDlg;
  static const auto table = plat::CommandTable::Build<D>(&TComboDlg::Commands(),
                                                         {
                                                             {kCmTrajTracePoint, &D::CmPoint, &D::CeAddItem},
                                                             {kCmTrajTraceVector, &D::CmVector, &D::CeAddItem},
                                                             {kCmTrajTraceLine, &D::CmLine, &D::CeAddItem},
                                                             {kIdTrajTraceClearTangent, &D::CmOptions},
                                                             {kIdTrajTraceLengths, &D::CmOptions},
                                                         });
  return table;
}

// ---- set-up and choice ----

void TTraceTrajDlg::SetupControls() {
  LimitText(kIdTrajTraceParameter, 255);
  ListSetHorizontalExtent(kIdTrajTraceItems, 1000);
  SetCheck(kIdTrajTraceLengths, true);
  SetItemText(kIdTrajTraceLength, "1.0");
  SetCheck(kIdTrajTraceClearTangent, plot_.clearTangent != 0);
  SetScrollRange(kIdTrajTraceBar, 0, Steps());
  SetScrollPage(kIdTrajTraceBar, PageSteps());
  SetScrollPos(kIdTrajTraceBar, Steps() / 2);
  // The vector and the line are offered too: their entries are built and
  // followed like the point's.
}

int TTraceTrajDlg::TracedEquation() const {
  const int i = SelectedEquation();
  if (LastRow() < 0 || !window_.IsValidIndex(i)) return -1;
  return window_.Equation(i).kind == 100 * window_.dimension + 10 ? i : -1;
}

TEquationItem* TTraceTrajDlg::Item() {
  const int i = TracedEquation();
  if (i < 0 || item_ < 0) return nullptr;
  auto& items = window_.Equation(i).items;
  if (item_ >= static_cast<int>(items.size())) return nullptr;
  return &*std::next(items.begin(), item_);
}

int TTraceTrajDlg::TraceColour() const { return TracePen().colour; }

TPenSpec TTraceTrajDlg::TracePen() const {
  const int i = TracedEquation();
  if (i < 0 || item_ < 0) return {};
  const auto& items = window_.Equation(i).items;
  if (item_ >= static_cast<int>(items.size())) return {};
  return std::next(items.begin(), item_)->pen;
}

void TTraceTrajDlg::ShowParameterControls(bool show) {
  ShowItem(kIdTrajTraceParameter, show);
  ShowItem(kIdTrajTraceBar, show);
  ShowItem(kIdTrajTraceLabel, show);
}

void TTraceTrajDlg::SelectionChanged() {
  const int i = TracedEquation();
  // A refill that keeps the entry keeps the chosen trajectory.
  const std::uint32_t serial = i >= 0 ? window_.EquationSerial(i) : 0;
  const int keep = serial == tracedSerial_ ? item_ : -1;
  tracedSerial_ = serial;
  ListClear(kIdTrajTraceItems);
  item_ = -1;
  computed_ = false;
  if (i < 0 || window_.Equation(i).items.empty()) {
    ShowParameterControls(false);
    SetItemText(kIdTrajTraceValues, plat::res::String(kStrChoose));
    RequestRedraw();
    return;
  }
  for (const TEquationItem& item : window_.Equation(i).items)
    ListAdd(kIdTrajTraceItems, window_.FormatValueReport(item, window_.Equation(i).kind, window_.Decimals));
  ShowParameterControls(true);
  const int count = static_cast<int>(window_.Equation(i).items.size());
  ListSetSel(kIdTrajTraceItems, keep >= 0 && keep < count ? keep : 0);
  OnItemChanged();
}

void TTraceTrajDlg::OnItemChanged() {
  item_ = ListGetSel(kIdTrajTraceItems);
  TEquationItem* item = Item();
  if (!item) {
    item_ = -1;
    return;
  }
  // The trajectory runs from its start parameter for its steps, or, where
  // it runs until it leaves the view, as far as it gets there.
  lo_ = item->paramStart;
  long double h = item->paramEnd;
  if (!(h != 0) || !std::isfinite(h)) h = window_.DefaultTrajectoryStep() * (item->direction < 0 ? -1 : 1);
  if (item->stepLimit > 0) {
    hi_ = lo_ + std::fmin(item->stepLimit, static_cast<long double>(kMaxTrajectorySteps)) * h;
  } else {
    TPoint3D end;
    long double t = lo_;
    ComputeTrajectoryOffscreen(window_.Equation(TracedEquation()), window_.Engine(), *item, window_.TrajectoryView(),
                               end, t, item->direction);
    hi_ = t;
  }
  UpdateScrollFromEdit();
  CmOptions();
}

void TTraceTrajDlg::EvControl(int id, int notification) {
  if (id == kIdTrajTraceBar && notification == plat::SB_CHANGED) {
    OnScroll();
    return;
  }
  if (id == kIdTrajTraceItems && notification == plat::LBN_SELCHANGE) {
    OnItemChanged();
    return;
  }
  TComboDlg::EvControl(id, notification);
}

// ---- the scroll bar ----

int TTraceTrajDlg::Steps() const { return plot_.SliderStepCount(kCurveTraceSteps); }
int TTraceTrajDlg::PageSteps() const { return plot_.SliderPageCount(kCurveTraceSteps); }

std::string TTraceTrajDlg::Number(long double v) const { return FormatNumber(v, 0, window_.Decimals); }

void TTraceTrajDlg::OnScroll() {
  const long double t = ParameterFromScroll(lo_, hi_, Steps(), GetScrollPos(kIdTrajTraceBar));
  if (ComputeAt(t)) ShowValues();
}

void TTraceTrajDlg::Retrace() {
  if (item_ >= 0) OnScroll();
  RequestRedraw();
}

void TTraceTrajDlg::UpdateScrollFromEdit() {
  long double t = 0;
  long double fraction = 0.5L;
  // The range may run backwards (a trajectory traced back in time).
  if (window_.TextToNumber(GetItemText(kIdTrajTraceParameter), t) == 0 && hi_ != lo_ &&
      t >= std::fmin(lo_, hi_) && t <= std::fmax(lo_, hi_))
    fraction = (t - lo_) / (hi_ - lo_);
  SetScrollRange(kIdTrajTraceBar, 0, Steps());
  SetScrollPage(kIdTrajTraceBar, PageSteps());
  SetScrollPos(kIdTrajTraceBar, RoundToInt(fraction * Steps()));
}

// ---- computing and showing ----

int TTraceTrajDlg::ReadLength() {
  if (!IsChecked(kIdTrajTraceLengths)) return -1;
  std::string text = GetItemText(kIdTrajTraceLength);
  if (text.size() > kLengthChars) text.resize(kLengthChars);
  long double v = 0;
  const int code = window_.TextToNumber(text, v);
  if (code != 0) return code;
  if (!(v >= kShortest)) return kOutOfRange;
  length_ = v;
  return 0;
}

bool TTraceTrajDlg::ComputeAt(long double t) {
  TEquationItem* item = Item();
  computed_ = false;
  if (!item) return false;
  const int r = ReadLength();
  TTrajectoryTrace out;
  // On logarithmic axes the item keeps exponents: the point traced is its
  // value, and the velocity there is shown and drawn on those axes.
  const int logAxes = window_.LogWindowType > 0 ? window_.AxisKind & 3 : 0;
  if (!ComputeTrajectoryTrace(window_.Equation(TracedEquation()), window_.Engine(), *item,
                              window_.DefaultTrajectoryStep(), t, space_, r == 0 ? length_ : -1, out, logAxes))
    return false;
  if (window_.LogWindowType > 0) {
    TPoint2D v{out.velocity.x, out.velocity.y};
    if (!window_.ScaleVectorForLogAxes({out.point.x, out.point.y}, v)) return false;
    out.velocity = {v.x, v.y, 0};
    out.speed = std::hypot(v.x, v.y);
    out.direction = out.velocity;
    if (r == 0 && out.speed > kShortest)
      out.direction = {v.x * length_ / out.speed, v.y * length_ / out.speed, 0};
  }
  name_ = item->texts[0];
  trace_ = out;
  computed_ = true;
  return true;
}

void TTraceTrajDlg::ShowValues() {
  SetItemText(kIdTrajTraceParameter, Number(trace_.t));
  const TPoint3D& p = trace_.point;
  const TPoint3D& v = trace_.velocity;
  std::string text = "( " + Number(p.x) + " ; " + Number(p.y);
  if (space_) text += " ; " + Number(p.z);
  text += " )\r\n[ " + Number(v.x) + " ; " + Number(v.y);
  if (space_) text += " ; " + Number(v.z);
  text += " ]";
  SetItemText(kIdTrajTraceValues, text);
  RequestRedraw();
}

void TTraceTrajDlg::Recalculate() {
  if (!Item()) return;
  long double t = 0;
  int code = window_.TextToNumber(GetItemText(kIdTrajTraceParameter), t);
  if (code == 0 && !(t >= std::fmin(lo_, hi_) && t <= std::fmax(lo_, hi_))) code = kOutOfRange;
  if (code == 0 && !ComputeAt(t)) code = kUndefined;
  if (code != 0) {
    window_.ShowMessageById(code);
    return;
  }
  SetScrollPos(kIdTrajTraceBar, PositionOf(t, lo_, hi_, Steps()));
  ShowValues();
}

// ---- commands ----

void TTraceTrajDlg::CmOptions() {
  plot_.clearTangent = IsChecked(kIdTrajTraceClearTangent) ? 1 : 0;
  OnScroll();
  RequestRedraw();
}

void TTraceTrajDlg::CmPoint() {
  TToolPointScope adding(plot_);
  AddItem(78);
}

void TTraceTrajDlg::AddItem(int code) {
  const int i = TracedEquation();
  if (i < 0 || !Item()) return;
  long double t = 0;
  const int parsed = window_.TextToNumber(GetItemText(kIdTrajTraceParameter), t);
  const int r = ReadLength();
  if (parsed != 0 || r > 0) {
    window_.ShowMessageById(parsed != 0 ? parsed : r);
    return;
  }
  SetScrollPos(kIdTrajTraceBar, PositionOf(t, lo_, hi_, Steps()));
  if (!ComputeAt(t)) return;
  ShowValues();
  const long double length = r < 0 ? -length_ : length_;
  // Copies: adding an entry refills this dialog's lists.
  const TEquationItem item = CloneEquationItem(*Item());
  const long double speed = trace_.speed;
  if (code == 78) {
    plot_.AddTrajectoryPointItem(i, item, t);
  } else {
    plot_.AddTrajectoryVectorItem(i, item, t, code, length, speed);
  }
}

void TTraceTrajDlg::CeAddItem(plat::CommandEnabler& ce) {
  ce.Enable(item_ >= 0 && window_.equationCount < window_.equationCapacity);
}

}  // namespace kv
