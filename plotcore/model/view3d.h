// The 3D view that every plot window carries (the 3D windows use it, the
// plane windows keep the defaults): the box, the observer, the view frame
// and the options of box and hidden-line drawing, with the central
// projection onto the picture plane.
#pragma once

#include <cstdint>

#include "core/constants.h"
#include "core/vector2d.h"
#include "core/vector3d.h"

namespace kv {

struct TView3D {
  TPoint3D BoxMin{0, 0, 0};
  TPoint3D BoxMax{2, 2, 2};
  TPoint3D BoxCentre{1, 1, 1};
  TPoint3D Observer{60, 80, 60};
  TPoint3D ObserverInBox{60, 80, 60};  // the observer in the cube of cubic mode
  // View frame (ComputeViewFrame): V, its horizontal length r = |(Vx, Vy)|
  // and r², its length rho, the scales rho²/r and rho/r, 1/(r rho).
  TPoint3D V{59, 79, 59};
  long double ViewR2 = 0;
  long double ViewR = 0;
  long double ViewRho = 0;
  long double ScaleX = 0;
  long double ScaleY = 0;
  long double InverseRRho = 0;
  TPoint3D HorizontalAxis{1, 0, 0};  // (-Vy, Vx, 0) / r
  TPoint3D AxisEnd{2, 2, 2};
  TPoint3D AxisStart{0, 0, 0};
  TPoint3D BoxScale{0.5L, 0.5L, 0.5L};  // 1 / edge per axis
  std::uint8_t AxisLengthSet = 0;
  std::uint8_t Cubic = 0;
  std::uint8_t BoxVisible = 0;
  std::uint8_t BoxCoordinates = 0;
  std::uint8_t DashedEdges = 0;
  std::uint8_t HideEdges = 0;
  std::uint8_t AtParameters = 0;
  std::uint8_t ObserverSet = 0;
  std::uint8_t ShowProgress = 0;
  std::uint8_t FarHiddenMode = 0;  // nudges hidden-point tests ten times as far
  std::int16_t BoxPenVisible = 1;
  std::int16_t BoxPenHidden = 3;
  std::int16_t PhotoCount = 0;
  long double RotationStep = Pi / 30;
  std::int16_t SegmentPieces = 12;  // at least 1 (command 759)
  long double SegmentPieceLength = 1.0L / 12;
  long double LabelOffset = 0.2L;
  long double BoxTolerance = 0.1L;
  std::int16_t OdeIndex = -1;
  std::int16_t SequenceIndex = -1;
  std::int16_t PointSize = 2;
  std::int16_t FlatnessTolerance = 100;  // command 763
  long double FlatnessThreshold = 0.1L;  // 0.001 × the tolerance
};

// The view frame from the observer (the in-box observer in cubic mode) and
// the box centre.  An observer straight above the centre is moved off the
// axis by a hair so that the frame stays defined.
void ComputeViewFrame(TView3D& v);
// (1/(xmax - xmin), 1/(ymax - ymin), 1/(zmax - zmin)); a flat axis gives 1.
void SetupViewBoxScale(TView3D& v);
// The horizontal screen axis (-Vy, Vx, 0) / r.
void SetupViewDirection(TView3D& v);
// Per axis (p - centre) × scale: the box becomes the unit cube at the origin.
void NormalizeToViewBox(const TView3D& v, TPoint3D& p);
// Central projection onto the picture plane (world units of the 2D view).
TPoint2D ProjectRotated(const TView3D& v, TPoint3D p);
bool InBox3D(const TView3D& v, const TPoint3D& p);
bool IsInBox2D(const TView3D& v, const TPoint3D& p);
// Taxicab distance from the centre beyond 10000 box diagonals.
bool IsBeyondBoxRange(const TView3D& v, const TPoint3D& p);

// Default axis ends from the box: the maximum corner × 1.3 per coordinate
// (one below 0.001 becomes 1) and the minimum corner × 1.3 (one above
// 0.001 becomes -1), so every axis crosses the origin.
void DefaultAxisEnds(const TPoint3D& boxMin, const TPoint3D& boxMax, TPoint3D& axisMin, TPoint3D& axisMax);

// Clips the line through a and b to the disc: 0 with the chord's ends in a
// and b (with keepInside an end inside the disc stays); non-zero when the
// line misses the disc or a and b coincide.
int ClipSegmentToDisc(const TPoint2D& centre, long double radius, TPoint2D& a, TPoint2D& b, bool keepInside);

}  // namespace kv
