// The common 3D layer under the full 3D window and its companion windows:
// it makes the window a window of space (file type 961, three coordinates,
// menu "PLOT3MENU", settings file "kv3.ini") and owns the routines that
// turn surfaces and curves into pictures: the sampled grid of a surface,
// the mesh of parameter lines, straight segments of space with their hidden
// parts left out, arrow heads, and the point entry appended by the tools.
//
// Implementation: plot_q_win.cpp (construction, reset, points) and
// mesh_drawing.cpp (surface points, grids, meshes, segments, arrows).
#pragma once

#include <cstdint>
#include <vector>
#include <string>
#include <string_view>

#include "entry/plot111_win.h"

namespace kv {

inline constexpr std::int32_t kFileType3D = 961;
// The variant code the drawing routines shared with other windows test.
inline constexpr std::int16_t kVariant3D = 7;

class TPlotQWin : public TPlot111Win {
 public:
  TPlotQWin(plat::Window* parent, const std::string& title);
  ~TPlotQWin() override;

  void SetupWindow() override;
  void Destroy() override;
  // "&Neu" empties the drawing through ResetDrawing.
  void ClearDrawing() override { ResetDrawing(); }
  virtual void ResetDrawing();

  // ---- companion windows (the full 3D window opens them) ----
  // Sends level `level` of axis 24..26 of surface i to the level window
  // (made on first use): 1, or 0 when the window could not be made.
  virtual int AddLevelCurve(int i, int axis, long double level, bool mark, bool searchWithoutLimit, bool drawNow,
                            bool keepNearLevel) {
    return 0;
  }
  virtual void HideLevelWindow() {}
  // The plane picture of entry i in the course window ("Verlauf").
  virtual int ShowCourseWindow(int i, bool drawNow, bool searchWithoutLimit, bool mark) { return 0; }
  virtual void HideCourseWindow() {}
  virtual void ShowStereogramWindow() {}
  // The level window's direction angle changed (its slider).
  virtual void DirectionAngleChanged() {}

  // ---- value animation ----
  // Runs the value from lower to upper in `steps` steps, repainting at every step, until "A" or Escape: Space reverses,
  // "L" slows down, "S" speeds up.  Reverse mode turns at the ends, cycle
  // mode starts again.  The last value shown stays in `value`.
  void AnimateValue(long double lower, long double& value, long double upper, bool reverse, int steps);

  // ---- surfaces ----
  // The point of surface i at the parameters (u, v): 301 (x, y, f), 302
  // the cylindrical form (r, t), 303, 307, 315 and 316 their coordinate
  // trees in (t, u), 306 the tube around the curve.  False where undefined.
  bool EvaluateSurfacePoint(int i, long double u, long double v, TPoint3D& p);
  // The points (u, v[k]) of one grid row, as n calls of EvaluateSurfacePoint
  // in this order give them, the trees evaluated a block at a time;
  // defined[k] 1 or 0.
  void EvaluateSurfaceRow(int i, long double u, const long double* v, int n, TPoint3D* p, std::uint8_t* defined);
  // Samples the grid of surface i, (nU + 1)(nV + 1) points at index
  // i (nV + 1) + j; with the automatic extent the extent follows the
  // points, else the points are clamped into it.
  void SampleSurfaceGrid(int i);
  // The parameter lines of one direction (1: lines at fixed v, 2: at fixed
  // u) with the equation's pen; 65 when the stop key ended it, else 0.
  int DrawMesh(plat::DC& dc, int i, int direction);
  // One parameter line at the fixed value w with points + 1 samples; a
  // segment (308) draws itself and its arrow heads instead.
  int DrawParameterLine(plat::DC& dc, int i, int direction, int points, long double w);
  // A straight segment of space.  Unless fast, and when hidden edges are
  // tested or the segment is clipped to the box, it is cut into n pieces
  // and only its visible runs are drawn.  65 when the stop key ended it.
  int DrawSegment3D(plat::DC& dc, const TPoint3D& p, const TPoint3D& q, std::uint32_t packedPen, int style,
                    bool fast, bool clipToBox, int n, int pictexStyle);
  // A filled arrow head of world length `length` at the tip, pointing along
  // the projected direction.
  void DrawArrowHead3D(plat::DC& dc, const TPoint3D& tip, const TPoint3D& direction, long double length,
                       std::uint32_t packedPen, int style);
  // Appends a point entry at (x, y, z), compiles, labels and shows it; its
  // index, or -1 without room.
  int AddPoint3D(long double x, long double y, long double z);
  // A segment of a recorded curve (exports and the screen).
  void DrawCurveSegment(plat::DC& dc, const TPoint2D& a, const TPoint2D& b) { DrawSegmentOnDc(dc, a, b); }
  // Paints the window from its back buffer at once.
  void BlitNow();
  // While an EPS file is recorded, a comment line ("%" and the text) that
  // marks the section of the drawing that follows.
  void MarkEpsSection(std::string_view text);

  // A pen packed as the segment drawers take it: colour index and width.
  static std::uint32_t PackPen(int colour, int width) {
    return static_cast<std::uint32_t>(colour & 0xFFFF) | (static_cast<std::uint32_t>(width & 0xFFFF) << 16);
  }

  std::int16_t WindowVariant = kVariant3D;

 private:
  // Scratch of EvaluateSurfaceRow, kept from row to row.
  std::vector<long double> rowX_, rowY_, rowZ_;
  std::vector<std::uint8_t> rowStatus_;
};

}  // namespace kv
