// The level-curve window beside the 3D window: the curves where one
// surface meets the planes x = c, y = c or z = c, drawn in the plane of
// the two other coordinates.  The 3D window keeps two of them, the level
// window ("Höhen") and the course window ("Verlauf", the plane picture of an
// intersection curve).  The surface is an entry of the 3D window's
// inventory, evaluated with the 3D window's parameters; the pieces found are
// kept as items of that entry, tagged with axis and level.
//
// Over an explicit surface with z levels the mouse mode "&Cursor" offers a
// point that the user drags or types, its height, the level curve through
// it, the gradient and the derivative in the direction of the direction
// dialog's angle.
#pragma once

#include <cstdint>
#include <string>

#include "plot3d/model/level_curves.h"
#include "plot3d/plot_q_win.h"

namespace kv {

class TPlotRWin;
class TPctDlg;

enum : int {
  kCmLevelGradient = 834,   // "&Gradient"
  kCmLevelDirection = 835,  // "&Richtungsableitung"
  kCmLevelClose = 357,      // "&Schließen"
};

// Colour slots of the level window.
enum : int {
  kLevelBackgroundSlot = 0,
  kLevelCursorSlot = 1,
  kLevelGradientSlot = 4,
  kLevelDirectionSlot = 5,
};

inline constexpr const char* kSettingsFileLevels = "lev.ini";

class TLevelWin : public TPlotQWin {
 public:
  TLevelWin(TPlotRWin* owner, const std::string& caption);
  const plat::CommandTable& Commands() const override;
  void SetupWindow() override;
  void Destroy() override;
  void Hide() override;
  void EvClose() override { Hide(); }
  void UpdateMenuChecks(bool drawMenuBar) override;
  int DrawEquations(plat::DC& dc) override;
  void DrawPlot(plat::DC& dc) override;
  void DirectionAngleChanged() override;
  void EvLButtonDown(unsigned keys, plat::Point p) override;
  void EvRButtonDown(unsigned keys, plat::Point p) override;
  void EvMouseMove(unsigned keys, plat::Point p) override;
  void EvLButtonUp(unsigned keys, plat::Point p) override;

  // Shows level `level` of the axis (24..26) of the owner's entry i; the
  // flags go to the entry (mark 57, search without limit 55, draw now 56).
  // With drawNow or keepNearLevel only the stored pieces near this level
  // are shown, else every stored level of the axis.
  void AttachSurface(int i, int axis, long double level, bool mark, bool searchWithoutLimit, bool drawNow,
                     bool keepNearLevel);
  // Draws the picture at once, with the search for the new level.
  void DrawNewLevelCurve();
  // Height, gradient and directional derivative at the cursor point (in
  // cursor mode), and the owner's course overlay.
  void UpdateCursorValues();
  // Moves the cursor point and repaints both windows.
  void MoveCursorTo(const TPoint2D& p);
  // The mouse modes 123, 124, 125 and 128 ("&Cursor").
  void SetMouseMode(int mode);
  void CmGradient();
  void CmDirection();

  TPlotRWin* Owner() const { return owner_; }
  int SurfaceIndex() const { return surfaceIndex_; }
  const TLevelPlane& Plane() const { return plane_; }
  long double LevelTolerance() const { return tolerance_; }
  bool CursorAvailable() const;
  const TPoint2D& CursorPoint() const { return cursor_; }
  const TPoint3D& CursorPoint3() const { return cursor3_; }
  const TCursorReadout& Readout() const { return readout_; }
  long double Angle() const { return angle_; }
  long double& AngleValue() { return angle_; }
  bool ShowGradient() const { return showGradient_; }
  bool ShowDirection() const { return showDirection_; }
  TPctDlg* DirectionDialog() const { return directionDialog_; }
  // The slider's step counts: the owner's direction steps.
  int AngleSteps() const;
  int AnglePageSteps() const;
  // The owner's first slider changed its counts: while the direction dialog
  // is shown, its slider takes them (in this window and the owner) and
  // lays out its range again.
  void SyncDirectionSlider(int steps, int pages);

  // The course window shows an intersection curve's plane picture.
  std::uint8_t CourseWindow = 0;
  // The last picture's search was ended by the stop key.
  bool LastDrawStopped = false;
  // A drag of the cursor point is running.
  bool Dragging() const { return dragging_; }

 private:
  void CmMouseModeLevel(int id);
  void CeMouseModeLevel(plat::CommandEnabler& ce);
  void CeCursorTools(plat::CommandEnabler& ce) { ce.Enable(MouseMode == kCmMouseCursor); }
  void CmCloseLevel() { Hide(); }
  // The surface entry, or null when the index is gone.
  TEquation* SurfaceRecord();
  int DrawLevelCurves(plat::DC& dc);
  void DrawCursorTrace(plat::DC& dc);
  void DrawGradientArrow(plat::DC& dc);
  void DrawDirectionArrow(plat::DC& dc);
  // An arrow from the cursor point: with a head when its tip is in view,
  // else the part in view without one.
  void DrawCursorArrow(plat::DC& dc, const TPoint2D& q, int colourSlot);
  int TextMargin() const;
  void RepaintOwner();

  TPlotRWin* owner_;
  TPctDlg* directionDialog_ = nullptr;
  int surfaceIndex_ = -1;
  TLevelPlane plane_;
  long double tolerance_ = 0;
  bool showDirection_ = false;
  bool showGradient_ = false;
  long double angle_ = 2.0L;
  TPoint2D cursor_;
  TPoint3D cursor3_;
  TCursorReadout readout_;
  bool dragging_ = false;
};

}  // namespace kv
