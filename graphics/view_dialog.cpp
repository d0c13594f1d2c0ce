#include "graphics/view_dialog.h"

#include <cmath>
#include <limits>

#include "graphics/axis_format.h"
#include "graphics/grid_win.h"
#include "core/constants.h"
#include "shell/text_helpers.h"

namespace kv {

namespace {

enum : int {
  kEditLeft = 211,
  kEditRight = 212,
  kEditBottom = 213,
  kEditTop = 214,
  kEditX = 215,
  kEditY = 216,
  kEditWidth = 217,
  kRadioCentre = 251,
  kRadioCorners = 252,
};

// An exponent truncated toward zero, kept inside the 32-bit range.
std::int32_t TruncatedExponent(long double e) {
  if (!(e == e)) return 0;
  const long double limit = std::numeric_limits<std::int32_t>::max();
  if (e > limit) return std::numeric_limits<std::int32_t>::max();
  if (e < -limit) return -std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(e);
}

// The largest coordinate a view may have: the fields show views in fixed
// digits, and up to here every digit a long double holds is meaningful;
// beyond, a field would fill with hundreds of digits.
constexpr long double kViewLimit = 1e18L;

bool BeyondView(long double v) { return !(std::fabs(v) <= kViewLimit); }

}  // namespace

TViewDlg::TViewDlg(TGridWin& window, const std::string& templateName, TDialogPosition* position)
    : TDlg(&window, templateName, position), window_(window) {}

const plat::CommandTable& TViewDlg::Commands() const {
  static const auto table = plat::CommandTable::Build<TViewDlg>(
      &TDlg::Commands(), {{kRadioCentre, &TViewDlg::CmCentreChosen}, {kRadioCorners, &TViewDlg::CmCornersChosen}});
  return table;
}

void TViewDlg::CmCentreChosen() {
  FocusItem(kEditX);
  SelectAllText(kEditX);
}

void TViewDlg::CmCornersChosen() {
  FocusItem(kEditLeft);
  SelectAllText(kEditLeft);
}

void TViewDlg::SetupWindow() {
  TDlg::SetupWindow();
  RefreshFields(false);
}

void TViewDlg::ShowAgain() {
  hidden_ = 0;
  Show(plat::SW_SHOW);
}

void TViewDlg::RefreshFields(bool select) {
  SetCheck(kRadioCorners, window_.ViewMode == 1);
  SetCheck(kRadioCentre, window_.ViewMode == 0);
  const int d = window_.Decimals;
  auto number = [d](long double v) { return FormatNumber(v, d + 2, d); };
  if (window_.AxisKind == 0) {
    SetItemText(kEditLeft, number(window_.World.xmin));
    SetItemText(kEditRight, number(window_.World.xmax));
    SetItemText(kEditBottom, number(window_.World.ymin));
    SetItemText(kEditTop, number(window_.World.ymax));
  } else {
    // Logarithmic axes hold decimal exponents: show their power of ten.
    auto corner = [&](long double v, bool logarithmic) {
      return logarithmic ? FormatPowerOfTen(TruncatedExponent(v), true) : number(v);
    };
    const TSegment2D& a = window_.Alternate;
    SetItemText(kEditLeft, corner(a.xmin, window_.LogarithmicX()));
    SetItemText(kEditRight, corner(a.xmax, window_.LogarithmicX()));
    SetItemText(kEditBottom, corner(a.ymin, window_.LogarithmicY()));
    SetItemText(kEditTop, corner(a.ymax, window_.LogarithmicY()));
  }
  SetItemText(kEditX, number(window_.Centre.x));
  SetItemText(kEditY, number(window_.Centre.y));
  SetItemText(kEditWidth, number(2 * window_.HalfX));
  if (select) {
    FocusItem(kEditX);
    SelectAllText(kEditX);
  }
}

std::int32_t TViewDlg::ReadFields(TViewRequest& out) {
  out = TViewRequest{};
  // Where the template hides the radio buttons its visible edits decide
  // the mode: corners on "VIEWCOR", centre and width on "VIEWCEN".
  if (IsItemVisible(kRadioCorners) || IsItemVisible(kRadioCentre)) {
    out.mode = IsChecked(kRadioCorners) ? 1 : 0;
  } else {
    out.mode = IsItemVisible(kEditLeft) ? 1 : 0;
  }
  // Logarithmic views are set by their corners only (SetLogView).
  if (window_.AxisKind > 0) out.mode = 1;
  auto parse = [&](int id, long double& v) { return window_.TextToNumber(GetItemText(id), v); };

  if (out.mode == 0) {
    long double width = 0;
    std::int32_t code = parse(kEditX, out.cx);
    if (code == 0) code = parse(kEditY, out.cy);
    if (code == 0) code = parse(kEditWidth, width);
    if (code != 0) return code;
    if (!(width >= kTolerance)) return 14;
    if (BeyondView(width) || BeyondView(out.cx) || BeyondView(out.cy)) return 17;
    out.hx = width / 2;
    out.hy = 0;
    out.changed = !(std::fabs(out.cx - window_.Centre.x) <= kTolerance &&
                    std::fabs(out.cy - window_.Centre.y) <= kTolerance &&
                    std::fabs(out.hx - window_.HalfX) <= kTolerance && window_.ViewMode == 0);
    return 0;
  }

  TSegment2D& c = out.corners;
  std::int32_t code = parse(kEditLeft, c.xmin);
  if (code == 0) code = parse(kEditRight, c.xmax);
  if (code == 0) code = parse(kEditBottom, c.ymin);
  if (code == 0) code = parse(kEditTop, c.ymax);
  if (code != 0) return code;
  if (!std::isfinite(c.xmin) || !std::isfinite(c.xmax) || !std::isfinite(c.ymin) || !std::isfinite(c.ymax))
    return 17;
  // Logarithmic axes show powers of ten; linear ones fixed digits.
  const bool logX = window_.AxisKind > 0 && window_.LogarithmicX();
  const bool logY = window_.AxisKind > 0 && window_.LogarithmicY();
  if ((!logX && (BeyondView(c.xmin) || BeyondView(c.xmax))) || (!logY && (BeyondView(c.ymin) || BeyondView(c.ymax))))
    return 17;
  if (window_.AxisKind > 0) {
    auto logRange = [](long double lo, long double hi) -> std::int32_t {
      if (!(lo >= ExpMinus5000)) return 17;
      if (!(hi >= 1e-13L + 10 * lo)) return 6;
      return 0;
    };
    if (window_.LogarithmicX()) {
      if (std::int32_t e = logRange(c.xmin, c.xmax)) return e;
    }
    if (window_.LogarithmicY()) {
      if (std::int32_t e = logRange(c.ymin, c.ymax)) return e;
    }
    out.changed = true;
    return 0;
  }
  if (!(c.xmax >= c.xmin + 1e-13L) || !(c.ymax >= c.ymin + 1e-13L)) return 6;
  const TSegment2D& w = window_.World;
  out.changed = std::fabs(c.xmin - w.xmin) > kTolerance || std::fabs(c.xmax - w.xmax) > kTolerance ||
                std::fabs(c.ymin - w.ymin) > kTolerance || std::fabs(c.ymax - w.ymax) > kTolerance;
  out.cx = (c.xmin + c.xmax) / 2;
  out.cy = (c.ymin + c.ymax) / 2;
  out.hx = (c.xmax - c.xmin) / 2;
  out.hy = (c.ymax - c.ymin) / 2;
  return 0;
}

void TViewDlg::CmApply() {
  TViewRequest r;
  const std::int32_t code = ReadFields(r);
  if (code != 0) {
    window_.ShowMessageById(code);
    return;
  }
  if (!r.changed) return;
  if (window_.AxisKind == 0) {
    window_.ApplyView(r.cx, r.cy, r.hx, r.hy, r.mode == 1);
  } else {
    window_.SetLogView(r.corners.xmin, r.corners.xmax, r.corners.ymin, r.corners.ymax);
  }
}

}  // namespace kv
