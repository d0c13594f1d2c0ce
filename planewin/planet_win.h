// The planetary-system window: a 2D window whose inventory starts with one
// entry of kind 219, a system of up to eleven bodies that attract each
// other.  Every repaint runs the simulation from its start state and draws
// each body's path, the run's count of drawn steps stored so that later
// repaints and exports show exactly the same picture.  The body editor
// (TBodyDlg) changes the system.  Everything else is the 2D window's.
//
// Implementation: planet_win.cpp (set-up, new system, editor, files) and
// planet_drawing.cpp (the runs on the screen and for the exports, markers).
#pragma once

#include <cstdint>
#include <string>

#include "planewin/model/planet_system.h"
#include "plot2d/plot2_win.h"

namespace kv {

// The planet window's own type code: it shares "kv2.ini" with the 2D
// window, and each refuses the other's settings and files.
inline constexpr std::int32_t kFileTypePlanet = 842;

enum : int {
  kStrBodyName = 217,     // "Körper"
  kStrCentreName = 218,   // "Schwerpunkt"
  kStrHelpMenu = 289,     // "&Hilfe"
  kCmPlanetHelp = 354,
  kPlanetHelpMenuPosition = 8,
};

// An export run records at most this many drawn steps per body; a longer
// run is refused with message 3 rather than filling the memory.
inline constexpr long kMaxExportPositions = 1000000;

// The timer that runs a following system after a paint.
inline constexpr unsigned kFollowTimer = 219;

class TPlotXWin : public TPlotEWin {
 public:
  TPlotXWin(plat::Window* parent, const std::string& caption);

  void SetupWindow() override;
  void Destroy() override;
  // "Neu": the default system in a new drawing.
  void NewFile() override;
  // Kind 219 is the planet system; other kinds as in the 2D window.
  int DrawEquation(plat::DC& dc, int i) override;
  // Runs the body editor on entry i; true when it ended with "Zeichnen".
  bool EditSpecialEquation(int i) override;
  // After reading a file: the bodies' start values, mass shares and
  // start centre of mass.
  void ReadPlanetValues(int i) override;
  // The file name, with "Kollision!" after it while the shown run met a
  // collision.
  void UpdateCaption(bool saving, const char* extra = nullptr) override;
  // A run that follows the motion on the screen is left out of a paint
  // and made by a timer right after it: the screen shows nothing drawn
  // during the toolkit's paint until that paint has returned, so a run
  // there would show the paths only when it ends (an open-ended first
  // run: never).
  void PaintBuffered(plat::DC& dc) override;
  void EvTimer(unsigned id) override;

  // ---- the system ----
  // Entry i becomes the default system of three bodies.
  void DefaultSystem(int i);
  // Appends a kind-219 entry with the default system; its index or -1.
  int AppendDefaultSystem();
  TPlanetTexts PlanetTexts() const;

  // ---- drawing (planet_drawing.cpp) ----
  // Runs the system of entry i from its start: positions steps of
  // computations Euler steps each, every body's path drawn on dc (and on
  // the screen while following).  A collision cuts only its position's
  // steps short.  It ends at the stored count, at a key (65) or, with
  // stop-at-boundary, when a body has left the view; the count of drawn
  // steps is stored.  With recordedBody >= 0 only that body's path goes,
  // clipped, into the curve recording of an export.
  int RunSystem(plat::DC& dc, int i, int recordedBody);
  // The start markers (hollow) and end markers (filled) of the bodies.
  void DrawMarkers(plat::DC& dc, int i);

  // Set while the last run met a collision.
  bool Collided = false;

 private:
  int DrawScreenPath(plat::DC& dc, int i);
  int DrawExportPath(plat::DC& dc, int i);
  // Whether a screen run of entry i draws its paths on the screen as it
  // computes them.
  bool FollowsOnScreen(int i);
  bool liveFollow_ = false;
  bool followNow_ = false;      // the timer's paint: runs follow now
  bool deferFollow_ = false;    // a paint leaves following runs to the timer
  bool followSkipped_ = false;  // and left one out
};

}  // namespace kv
