// View changes as a whole: new centre and width, a free rectangle, zoom and
// pan steps, the previous view and the decade-snapped view of logarithmic
// axes.  Every change except the return pushes the old view first, then
// marks the plot for a full redraw, invalidates without erasing and sets
// the modified flag.
#include <cmath>

#include "graphics/zor_wing.h"
#include "platform/dialog.h"
#include "platform/resources.h"
#include "core/constants.h"
#include "shell/generic_dialogs.h"

namespace kv {

void TZORWing::ChangeView(long double cx, long double cy, long double hx) {
  ViewHistory(1);
  Centre = {cx, cy};
  HalfX = hx;
  ViewMode = 0;
  Aspect = 1.0L;
  UpdateView();
  RedrawAfterViewChange(true);
}

void TZORWing::NewView(long double cx, long double cy, long double hx, long double hy, std::uint8_t mode) {
  ViewHistory(1);
  SetView(cx, cy, hx, hy, mode);
  RedrawAfterViewChange(true);
}

void TZORWing::SetView(long double cx, long double cy, long double hx, long double hy, std::uint8_t mode) {
  ViewMode = mode;
  if (mode != 0) {
    World = {cx - hx, cx + hx, cy - hy, cy + hy};
    UpdateView();
    return;
  }
  Centre = {cx, cy};
  HalfX = hx;
  UpdateView();
  if (HalfY < hy && HalfY > 0) {
    HalfX = hy * HalfX / HalfY;
    UpdateView();
  }
}

void TZORWing::PreviousView() {
  if (!HasPreviousView()) return;
  ViewHistory(-1);
  UpdateView();
  RedrawAfterViewChange(false);
}

void TZORWing::ZoomView(bool out) {
  const long double f = out ? ZoomFactor : 1 / ZoomFactor;
  const long double hx = HalfX * f;
  const long double hy = HalfY * f;
  if (ViewMode == 1) {
    NewView(Centre.x, Centre.y, hx, hy, 1);
  } else {
    ChangeView(Centre.x, Centre.y, hx);
  }
}

void TZORWing::PanView(long double fx, long double fy) {
  const long double cx = Centre.x + fx * 2 * HalfX;
  const long double cy = Centre.y + fy * 2 * HalfY;
  if (ViewMode == 1) {
    NewView(cx, cy, HalfX, HalfY, 1);
  } else {
    ChangeView(cx, cy, HalfX);
  }
}

void TZORWing::ApplyView(long double cx, long double cy, long double hx, long double hy, bool free) {
  if (free) {
    NewView(cx, cy, hx, hy, 1);
  } else {
    ChangeView(cx, cy, hx);
  }
}

namespace {

// Snaps lo..hi to whole decades; the exponents go into altLo..altHi.
// Returns whether the exponents changed.
bool SnapToDecades(long double& lo, long double& hi, long double& altLo, long double& altHi) {
  const std::int32_t o1 = RoundToInt(altLo);
  const std::int32_t o2 = RoundToInt(altHi);
  const std::int32_t k1 = RoundToInt(std::log(lo) / Ln10);
  const std::int32_t k2 = RoundToInt(std::log(hi) / Ln10);
  lo = std::exp(k1 * Ln10);
  hi = std::exp(k2 * Ln10);
  altLo = k1;
  altHi = k2;
  return k1 != o1 || k2 != o2;
}

// Takes over the linear range of the other axis.
bool TakeLinearRange(long double lo, long double hi, long double& altLo, long double& altHi) {
  const bool changed = std::fabs(altLo - lo) > 1e-13L || std::fabs(altHi - hi) > 1e-13L;
  altLo = lo;
  altHi = hi;
  return changed;
}

}  // namespace

void TZORWing::SetLogView(long double xmin, long double xmax, long double ymin, long double ymax) {
  bool changed = false;
  if (AxisKind == 1 || AxisKind == 3) changed |= SnapToDecades(xmin, xmax, Alternate.xmin, Alternate.xmax);
  if (AxisKind == 2 || AxisKind == 3) changed |= SnapToDecades(ymin, ymax, Alternate.ymin, Alternate.ymax);
  if (AxisKind == 1) changed |= TakeLinearRange(ymin, ymax, Alternate.ymin, Alternate.ymax);
  if (AxisKind == 2) changed |= TakeLinearRange(xmin, xmax, Alternate.xmin, Alternate.xmax);
  if (!changed) return;
  LogViewRequest = {xmin, xmax, ymin, ymax};
  ViewHistory(1);
  GridChanged();
  RedrawAfterViewChange(true);
}

// ---- zoom factor and pan share ----

bool TZORWing::AskNumber(int promptId, std::string& text, long double& value) {
  TInpDlg dlg(this, plat::res::String(5), plat::res::String(promptId), text, 20);
  if (dlg.Execute() != plat::IDOK) return false;
  long double v = 0;
  std::int32_t code = TextToNumber(text, v);
  // NaN fails every comparison: test for the positive value, not its absence.
  if (code == 0 && !(v >= kTolerance)) code = 14;
  if (code == 0 && !std::isfinite(v)) code = 17;
  Modified = 1;
  if (code != 0) {
    ShowMessageById(code);
    return false;
  }
  value = v;
  return true;
}

void TZORWing::CmZoomFactor() {
  std::string text = FormatNumber(ZoomFactor, Decimals + 2, Decimals);
  long double v = 0;
  if (AskNumber(17, text, v)) ZoomFactor = v;
}

void TZORWing::CmPanShare() {
  std::string text = FormatNumber(PanShare * 100, 4, 2);
  long double v = 0;
  if (AskNumber(18, text, v)) PanShare = v * 0.01L;
}

}  // namespace kv
