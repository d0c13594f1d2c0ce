#include "plot3d/observer_dialog.h"

#include <cmath>

#include "plot3d/plot_r_win.h"
#include "plot3d/space_geometry.h"
#include "core/constants.h"

namespace kv {

TPoint3D ObserverToSpherical(const TPoint3D& e) {
  const long double rho = std::sqrt(e.x * e.x + e.y * e.y + e.z * e.z);
  const long double theta = PolarAngle(TPoint2D{e.x, e.y});
  const long double phi = rho >= kTolerance ? std::acos(e.z / rho) : (e.z > 0 ? 0.0L : Pi);
  return {rho, theta, phi};
}

TObsDlg::TObsDlg(TPlotRWin* window, const std::string& templateName) : TDlg(window, templateName), window_(window) {}

const plat::CommandTable& TObsDlg::Commands() const {
  static const auto table = plat::CommandTable::Build<TObsDlg>(&TDlg::Commands(), {
                                                                                      {kObsSpherical, &TObsDlg::CmSpherical},
                                                                                      {kObsDegrees, &TObsDlg::CmDegrees},
                                                                                      {kObsApply, &TObsDlg::CmApply},
                                                                                  });
  return table;
}

void TObsDlg::SetupWindow() {
  TDlg::SetupWindow();
  SetCheck(kObsSpherical, false);
  CmSpherical();
}

void TObsDlg::Open() {
  Show(plat::SW_SHOW);
  hidden_ = 0;
  CmSpherical();
  BringToTop();
}

void TObsDlg::CmSpherical() {
  if (!IsHidden()) {
    const bool spherical = IsChecked(kObsSpherical);
    const char* cartesian[3] = {"x =", "y =", "z ="};
    const char* polar[3] = {"rho =", "theta =", "phi ="};
    for (int k = 0; k < 3; ++k) SetItemText(231 + k, spherical ? polar[k] : cartesian[k]);
  }
  ShowObserver();
}

void TObsDlg::ShowObserver() {
  TPoint3D p = window_->View3D.Observer;
  if (IsChecked(kObsSpherical)) {
    p = ObserverToSpherical(p);
    if (IsChecked(kObsDegrees)) {
      p.y *= 180 / Pi;
      p.z *= 180 / Pi;
    }
  }
  const long double values[3] = {p.x, p.y, p.z};
  for (int k = 0; k < 3; ++k) {
    std::string text;
    window_->FormatWindowNumber(values[k], text);
    SetItemText(211 + k, text);
  }
}

int TObsDlg::Apply() {
  long double v[3] = {0, 0, 0};
  for (int k = 0; k < 3; ++k) {
    std::string text = GetItemText(211 + k);
    if (text.size() > 30) text.resize(30);
    const int code = window_->TextToValue(text, v[k]);
    if (code != 0) {
      window_->ShowMessageById(code);
      return code;
    }
  }
  TPoint3D e{v[0], v[1], v[2]};
  if (IsChecked(kObsSpherical)) {
    if (IsChecked(kObsDegrees)) {
      e.y *= Pi / 180;
      e.z *= Pi / 180;
    }
    SphericalToCartesian3D(e);
  }
  int code = 0;
  if (IsInBox2D(window_->View3D, e)) {
    code = 115;  // "zu nah"
  } else if (IsBeyondBoxRange(window_->View3D, e)) {
    code = 118;  // "zu weit"
  }
  if (code != 0) {
    window_->ShowMessageById(code);
    return code;
  }
  window_->View3D.ObserverSet = 1;
  window_->SetObserver(e);
  window_->RepaintNow(true);
  return 0;
}

}  // namespace kv
