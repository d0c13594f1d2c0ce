#include "plotcore/model/ode_stepper.h"

#include <cmath>

#include "plotcore/model/equation.h"

namespace kv {

namespace {

TPoint3D Axpy(const TPoint3D& p, long double s, const TPoint3D& d) {
  return {p.x + s * d.x, p.y + s * d.y, p.z + s * d.z};
}

}  // namespace

bool OdeStep(TOdeSource& source, int method, long double t, long double h, TPoint3D& p) {
  TPoint3D k1;
  if (!source.Derivative(t, p, k1)) return false;
  TPoint3D next;
  if (method == kMethodEuler) {
    next = Axpy(p, h, k1);
  } else if (method == kMethodModifiedEuler) {
    TPoint3D k2;
    if (!source.Derivative(t + h, Axpy(p, h, k1), k2)) return false;
    next = {p.x + h / 2 * (k1.x + k2.x), p.y + h / 2 * (k1.y + k2.y), p.z + h / 2 * (k1.z + k2.z)};
  } else {
    TPoint3D k2, k3, k4;
    if (!source.Derivative(t + h / 2, Axpy(p, h / 2, k1), k2)) return false;
    if (!source.Derivative(t + h / 2, Axpy(p, h / 2, k2), k3)) return false;
    if (!source.Derivative(t + h, Axpy(p, h, k3), k4)) return false;
    const long double s = h / 6;
    next = {p.x + s * (k1.x + 2 * k2.x + 2 * k3.x + k4.x), p.y + s * (k1.y + 2 * k2.y + 2 * k3.y + k4.y),
            p.z + s * (k1.z + 2 * k2.z + 2 * k3.z + k4.z)};
  }
  if (!std::isfinite(next.x) || !std::isfinite(next.y) || !std::isfinite(next.z)) return false;
  p = next;
  return true;
}

}  // namespace kv
