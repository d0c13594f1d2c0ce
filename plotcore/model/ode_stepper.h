// One step of an initial-value problem p' = f(t, p) in two or three
// dimensions, by the method of a trajectory item: Euler, modified Euler
// (Heun: the mean of the slopes at both ends of an Euler step) or the
// classical fourth-order Runge-Kutta method.
#pragma once

#include "core/vector3d.h"

namespace kv {

class TOdeSource {
 public:
  virtual ~TOdeSource() = default;
  // The derivative at (t, p); false where undefined.
  virtual bool Derivative(long double t, const TPoint3D& p, TPoint3D& d) = 0;
};

// Advances p by one step h from t; false (p unchanged) where a slope is
// undefined or the result is not finite.
bool OdeStep(TOdeSource& source, int method, long double t, long double h, TPoint3D& p);

}  // namespace kv
