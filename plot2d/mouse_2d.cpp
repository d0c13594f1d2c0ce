// The 2D window's mouse: what the left and right button and the left double
// click do in each mouse mode (menu "&Maus" and the commands that set a mode
// themselves); a click in the trajectory mode goes to TrajectoryClick.
#include "plot2d/plot_c_win.h"

#include "platform/resources.h"

namespace kv {

namespace {
constexpr int kStrCursor = 192;          // "Cursor"
constexpr std::int16_t kResultMouse = 40;  // a point clicked in mode 125
}  // namespace

void TPlotCWin::EvLButtonDown(unsigned keys, plat::Point p) {
  switch (MouseMode) {
    case kCmMouseBoxZoom:
      DragZoomBox(p);
      break;
    case kCmMouseTrajectories:
      TrajectoryClick(p, true);
      break;
    case kCmMouseCoordinates: {
      TrackMouseCoordinates(p);
      // The pressed point goes to the equation chosen by "&Maus ..." (Daten).
      if (IsValidIndex(mouseDataEquation)) {
        const TPoint2D w = PixelToWorldPoint(p);
        const long double values[2] = {w.x, w.y};
        if (AddResultPoint(mouseDataEquation, kResultMouse, values, 2, plat::res::String(kStrCursor))) Modified = 1;
      }
      break;
    }
    case kCmMouseLagrange:
      DragLagrangeNode(p);
      break;
    case kCmMouseDraw:
      TrackMouseMarks(p);
      break;
    default:
      // Labels, pictures and term labels.
      TPlotBWin::EvLButtonDown(keys, p);
      break;
  }
}

void TPlotCWin::EvRButtonDown(unsigned keys, plat::Point p) {
  switch (MouseMode) {
    case kCmMouseBoxZoom:
      ZoomCentered(p, centreZoomFactor);
      break;
    case kCmMouseTrajectories:
      TrajectoryClick(p, false);
      break;
    case kCmMouseCoordinates:
      ZoomCentered(p, 1.0L);
      break;
    case kCmMouseLagrange:
      EditLagrangeNode(p);
      break;
    case kCmMouseDraw:
      EraseMouseMarks(p);
      break;
    default:
      TPlotBWin::EvRButtonDown(keys, p);
      break;
  }
}

void TPlotCWin::EvLButtonDblClk(unsigned keys, plat::Point p) {
  if (MouseMode == kCmMouseDraw) EraseMouseMarks(p);
}

}  // namespace kv
