// Drawing the planet system: every repaint runs the simulation from its
// start and draws one path per body; an export runs it once per body and
// hands that body's path to the curve recording, so the exports show the
// same run as the screen.
#include <algorithm>
#include <array>
#include <chrono>
#include <iterator>
#include <optional>

#include "planewin/planet_win.h"
#include "shell/text_helpers.h"

namespace kv {

using namespace planet;

namespace {

// While following, the screen shows the paths drawn so far this often; a
// refresh per drawn step would cost more than the computing.
constexpr std::chrono::milliseconds kFollowRefresh{40};

// The bodies' pens (colour index, width, style) in list order.
std::array<TPenSpec, kBlockSize> BodyPens(const TEquation& e, int n) {
  std::array<TPenSpec, kBlockSize> pens{};
  int k = 0;
  for (const TEquationItem& item : e.items) {
    if (k >= n) break;
    pens[static_cast<std::size_t>(k++)] = item.pen;
  }
  return pens;
}

}  // namespace

int TPlotXWin::DrawEquation(plat::DC& dc, int i) {
  if (!IsValidIndex(i) || Equation(i).kind != kKindPlanets) return TPlotEWin::DrawEquation(dc, i);
  if (!Equation(i).visible) return 0;
  if (deferFollow_ && !Recording() && FollowsOnScreen(i)) {
    followSkipped_ = true;
    return 0;
  }
  SaveVariables();
  const int code = Recording() ? DrawExportPath(dc, i) : DrawScreenPath(dc, i);
  RestoreVariables();
  return code;
}

bool TPlotXWin::FollowsOnScreen(int i) {
  return TPlanetSystem(Equation(i)).Follow() && !Printing && IsCreated() && !quietDrawing;
}

void TPlotXWin::PaintBuffered(plat::DC& dc) {
  if (followNow_) {
    TPlotEWin::PaintBuffered(dc);
    return;
  }
  deferFollow_ = true;
  followSkipped_ = false;
  TPlotEWin::PaintBuffered(dc);
  deferFollow_ = false;
  if (followSkipped_) SetTimer(kFollowTimer, 0);
}

void TPlotXWin::EvTimer(unsigned id) {
  if (id != kFollowTimer) {
    TPlotEWin::EvTimer(id);
    return;
  }
  KillTimer(kFollowTimer);
  if (!IsCreated() || IsDestroyed()) return;
  // The whole plot again, the system now drawn where the screen shows it.
  followNow_ = true;
  BufferValid[0] = 0;
  BufferValid[1] = 0;
  PlotBufferValid = 0;
  {
    plat::ClientDC dc(*this);
    PaintBuffered(dc);
  }
  followNow_ = false;
}

int TPlotXWin::DrawScreenPath(plat::DC& dc, int i) {
  const int code = RunSystem(dc, i, -1);
  DrawMarkers(dc, i);
  return code;
}

int TPlotXWin::DrawExportPath(plat::DC& dc, int i) {
  TEquation& e = Equation(i);
  const int n = TPlanetSystem(e).BodyCount();
  const std::array<TPenSpec, kBlockSize> pens = BodyPens(e, n);
  int code = 0;
  // The recording grows with the run itself: its length is the stored count
  // of the screen's run (or where this run stops), never a default.
  for (int k = 0; k < n; ++k) {
    const TPenSpec& pen = pens[static_cast<std::size_t>(k)];
    BeginCurveRecording(std::min<long>(RoundToInt(TPlanetSystem(e).Positions()), kMaxExportPositions) + 1);
    const int r = RunSystem(dc, i, k);
    if (r == 0) {
      EndCurveRecording(CheckColourIndex(pen.colour), std::max<int>(pen.width, 1), pen.style);
      continue;
    }
    // Stopped, or too long to record (code 3): nothing of this run is written.
    BeginCurveRecording(0);
    EndCurveRecording(0, 1, 0);
    code = r;
    break;
  }
  if (code == 3) ShowMessageById(3);
  DrawMarkers(dc, i);
  return code;
}

int TPlotXWin::RunSystem(plat::DC& dc, int i, int recordedBody) {
  TEquation& e = Equation(i);
  TPlanetSystem s(e);
  const int n = s.BodyCount();
  const bool recording = recordedBody >= 0 && recordedBody < n;
  liveFollow_ = !recording && FollowsOnScreen(i);
  const long positions = std::max<long>(RoundToInt(s.Positions()), 0);
  const int computations = std::max(RoundToInt(s.Computations()), 0);
  const std::array<TPenSpec, kBlockSize> pens = BodyPens(e, n);

  s.ResetToStart();
  s.ComputeDrawnPositions();
  std::array<TPoint2D, kBlockSize> last{};
  std::array<bool, kBlockSize> lastInside{};
  for (int k = 0; k < n; ++k) {
    const auto b = static_cast<std::size_t>(k);
    last[b] = ProjectByViewMode(s.At(kDrawn, k));
    lastInside[b] = IsInView(last[b]);
  }

  Collided = false;
  int code = 0;
  long count = 0;
  bool stop = false;
  // Following, the paths go onto the screen's surface as well, which is
  // shown now and then.
  std::optional<plat::BitmapDC> screen;
  if (liveFollow_) screen.emplace(Surface());
  auto shown = std::chrono::steady_clock::now();
  while (code != 'A' && count < positions && !stop) {
    if (recording && count >= kMaxExportPositions) {
      code = 3;
      break;
    }
    ++count;
    const int step = s.AdvancePosition(computations);
    bool allInside = true;
    for (int k = 0; k < n; ++k) {
      const auto b = static_cast<std::size_t>(k);
      const TPoint2D p = ProjectByViewMode(s.At(kDrawn, k));
      const bool inside = IsInView(p);
      if (!inside) allInside = false;
      if (recording) {
        if (k == recordedBody) DrawSegmentOnDc(dc, last[b], p);
      } else if (inside && lastInside[b]) {
        // A step that leaves or enters the view is not drawn at all: the
        // path shows only steps seen whole.
        const plat::Pen pen = CreateStylePen(pens[b]);
        const plat::Pen old = dc.SelectPen(pen);
        DrawWorldLine(dc, last[b], p, true);
        dc.SelectPen(old);
        if (screen) {
          const plat::Pen oldScreen = screen->SelectPen(pen);
          DrawWorldLine(*screen, last[b], p, true);
          screen->SelectPen(oldScreen);
        }
      }
      last[b] = p;
      lastInside[b] = inside;
    }
    if (screen && std::chrono::steady_clock::now() - shown >= kFollowRefresh) {
      plat::ClientDC refresh(*this);
      shown = std::chrono::steady_clock::now();
    }
    // A collision has cut this position's computations short; the run
    // goes on with the next position.
    if (step == kCollision) Collided = true;
    if (s.StopAtBoundary() && !allInside) stop = true;
    code = StopKeyPressed() ? 'A' : 0;
  }
  liveFollow_ = false;
  if (code != 3) s.Positions() = static_cast<long double>(count);
  return code;
}

void TPlotXWin::DrawMarkers(plat::DC& dc, int i) {
  TEquation& e = Equation(i);
  TPlanetSystem s(e);
  if (!s.Markers()) return;
  const int n = s.BodyCount();
  const std::array<TPenSpec, kBlockSize> pens = BodyPens(e, n);
  const int size = std::clamp<int>(std::abs(s.MarkerSizeCode()), 1, 64);
  for (int k = 0; k < n; ++k) {
    const TPenSpec& pen = pens[static_cast<std::size_t>(k)];
    const int colour = CheckColourIndex(pen.colour);
    const std::uint32_t packed =
        static_cast<std::uint32_t>(colour) | (static_cast<std::uint32_t>(std::max<int>(pen.width, 1)) << 16);
    const plat::Brush brush = plat::SolidBrush(DrawingColourOf(colour));
    // Hollow where the body started, filled where it is now.
    const TPoint2D start = ProjectByViewMode(s.StartMarkerPoint(k));
    if (IsInView(start)) DrawEndDot(dc, start, -size, packed, pen.style, brush);
    const TPoint2D end = ProjectByViewMode(s.At(kDrawn, k));
    if (IsInView(end)) DrawEndDot(dc, end, size, packed, pen.style, brush);
  }
}

}  // namespace kv
