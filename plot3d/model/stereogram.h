// Random-dot stereograms of explicit (301) and cylindrical (302) surfaces.
// Each pixel row is filled by chains of dots: a chain starts at a random
// place of the first strip and jumps from x to Next(x, y) = x + W -
// k (z - cz), so the separation of two dots of a chain encodes the height
// of the surface halfway between them; the eyes fuse dots one separation
// apart and see the surface in depth.
#pragma once

#include <cstdint>
#include <functional>

#include "formula/formula_engine.h"
#include "core/random_source.h"
#include "plotcore/model/equation.h"

namespace kv {

struct TStereogramSettings {
  int density = 60;     // percent of the first strip's places that start a chain
  int strips = 8;       // strips across the picture
  int dotSize = 1;      // pixels
  long double depth = 0.75L;
};

// The bounds the dialog accepts for density, strips and dot size.
inline constexpr int kStereogramMinSetting = 1;
inline constexpr int kStereogramMaxSetting = 99;

struct TStereogramLayout {
  int clientWidth = 0;
  int clientHeight = 0;
  int dotSize = 1;
  int cell = 2;         // 2 · dot size
  int columns = 0;      // (width + 1) / cell
  int rows = 0;         // height / cell - 2
  int density = 60;
  TPoint3D boxMin, boxMax, centre;
  long double dx = 0;             // x range / (columns - 1)
  long double pixelsPerUnit = 0;  // width / x range
  long double stripWidth = 0;     // dx · (columns / strips)
  long double halfStrip = 0;
  int chainLimit = 0;             // 3 · strips
  long double dy = 0;             // y range · cell / height
  long double depthFactor = 0;    // x range · depth / ((z range + 1e-16) · strips)
};

// The layout of a client of the size over the box.  The cell, columns and
// rows are set whenever the dot size lies in 1..99 (rows -1 otherwise).
// False when no dot can be placed: no row (rows < 0), fewer than two
// columns, an empty box, strips outside 1..99, a density outside 0..100 (a
// zero strip count or column count would divide by zero).
bool ComputeStereogramLayout(const TStereogramSettings& s, int clientWidth, int clientHeight,
                             const TPoint3D& boxMin, const TPoint3D& boxMax, TStereogramLayout& out);

// The height of the surface at (x, y): 301 f(x, y); 302 f(r, t) with r and
// t the polar coordinates of (x, y).  False where undefined.
bool StereogramHeight(TFormulaEngine& engine, TEquation& surface, long double x, long double y, long double& z);

// Next(x, y): z at x + W/2 clamped to [zmin, zmax], zmax where undefined.
using THeightFunction = std::function<bool(long double x, long double y, long double& z)>;
long double StereogramNext(const TStereogramLayout& l, const THeightFunction& height, long double zmin,
                           long double zmax, long double x, long double y);

// One surface's dots.  Rows 0 .. rows from the top y (the view's ymax)
// down in steps of dy; `dot` gets the pixel column and the row of each dot
// that lies in the picture.  `rowDone` is asked after every row; true stops
// (the stop key).  False when stopped.
bool GenerateStereogramLayer(const TStereogramLayout& l, const THeightFunction& height, long double zmin,
                             long double zmax, long double topY, TRandomSource& random,
                             const std::function<void(int px, int row)>& dot,
                             const std::function<bool(int row)>& rowDone);

}  // namespace kv
