// The plane of a level window: levels of x, y or z (axis codes 24, 25, 26)
// are drawn in the plane of the two other coordinates.  Its coordinates
// (a, b) are (y, z) for x levels, (z, x) for y levels and (x, y) for z
// levels; the plane codes 6, 5 and 3 name the same three planes.
#pragma once

#include "core/vector2d.h"
#include "core/vector3d.h"

namespace kv {

inline constexpr int kLevelAxisX = 24;
inline constexpr int kLevelAxisY = 25;
inline constexpr int kLevelAxisZ = 26;

struct TLevelPlane {
  int axis = kLevelAxisZ;
  long double level = 0;

  // 6, 5 or 3.
  int PlaneCode() const { return axis == kLevelAxisX ? 6 : axis == kLevelAxisY ? 5 : 3; }
  // The letters of the plane's horizontal and vertical axis ("y", "z" ...).
  const char* HorizontalName() const { return axis == kLevelAxisX ? "y" : axis == kLevelAxisY ? "z" : "x"; }
  const char* VerticalName() const { return axis == kLevelAxisX ? "z" : axis == kLevelAxisY ? "x" : "y"; }
  TPoint3D ToSpace(const TPoint2D& q) const {
    if (axis == kLevelAxisX) return {level, q.x, q.y};
    if (axis == kLevelAxisY) return {q.y, level, q.x};
    return {q.x, q.y, level};
  }
  TPoint2D ToPlane(const TPoint3D& p) const {
    if (axis == kLevelAxisX) return {p.y, p.z};
    if (axis == kLevelAxisY) return {p.z, p.x};
    return {p.x, p.y};
  }
  // The coordinate of space the level fixes: 0 x, 1 y, 2 z.
  int FixedCoordinate() const { return axis - kLevelAxisX; }
};

// A valid axis code (24..26); anything else counts as z.
inline int CheckedLevelAxis(int axis) { return axis >= kLevelAxisX && axis <= kLevelAxisZ ? axis : kLevelAxisZ; }

}  // namespace kv
