// The tour around the z axis: photos of the plot from a ring of observer
// positions, taken into off-screen pictures and then played back as a film
// inside the command, with the keyboard poll for its keys.  Also the
// parametric surfaces other windows add to a 3D window.
#include <algorithm>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "core/constants.h"
#include "platform/app.h"
#include "platform/bitmap.h"
#include "platform/resources.h"
#include "platform/testing.h"
#include "plot3d/model/tour.h"
#include "plot3d/plot_r_win.h"
#include "plot3d/space_geometry.h"

namespace kv {

namespace {

constexpr int kStrPhoto = 607;  // "Foto #"
constexpr int kStrStopKey = 601;  // "Abbruch mit Taste A"
constexpr int kStopCode = 65;  // "A", also an accelerator key

}  // namespace

void TPlotRWin::TourAroundZAxis() {
  if (!IsCreated() || animating) return;
  const int n = TourPhotoCount(View3D.PhotoCount, ClientWidth, ClientHeight, TourMemoryBudget);
  std::vector<plat::Bitmap> photos;
  try {
    photos.reserve(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
      photos.emplace_back(ClientWidth, ClientHeight);
      if (photos.back().IsNull()) {
        photos.pop_back();
        break;
      }
    }
  } catch (const std::bad_alloc&) {
    // As many photos as could be made.
  }
  const int count = static_cast<int>(photos.size());
  if (count == 0) {
    ShowMessageById(3);  // "wenig Speicher...Probleme!"; the window stays as it was
    return;
  }
  const TPoint3D observer = View3D.Observer;
  const long double step = View3D.RotationStep;
  if (count < RequestedTourPhotos(View3D.PhotoCount)) View3D.PhotoCount = static_cast<std::int16_t>(count);
  View3D.RotationStep = 2 * Pi / count;
  animating = 1;
  // The photos are drawn without the pauses of stepped families; the
  // drawing still reads "A", which ends the photos at once.
  const std::uint8_t quiet = quietDrawing;
  quietDrawing = 1;
  stopKeyWhileQuiet = 1;
  SetFocus();
  SetCapture();

  // The photos: photo k shows the plot turned k steps to the left, so the
  // last one shows it from the start again.
  bool stopped = false;
  for (int k = 1; k <= count && !stopped; ++k) {
    plat::BitmapDC memory(photos[static_cast<std::size_t>(k - 1)]);
    RotateObserver(View3D, -View3D.RotationStep, RotateAboutOrigin != 0);
    SetObserver(View3D.Observer);
    PaintBackground(memory);
    const int drawn = DrawEquations(memory);
    char caption[64];
    std::snprintf(caption, sizeof caption, "%s%d/%d %s", plat::res::String(kStrPhoto).c_str(), k, count,
                  plat::res::String(kStrStopKey).c_str());
    SetCaption(std::string(caption));
    stopped = drawn == kStopCode || plat::PollKey(*this) == kStopCode;
  }
  stopKeyWhileQuiet = 0;

  // The film, until a stop key; in testing mode it ends by itself after a
  // few rounds without a key.
  if (!stopped) {
    SetCaption(3, 0, 0);  // "A=Abbruch L=Langsamer S=Schneller"
    TTourFilm film(count);
    int delay = frameDelay;
    const long idleLimit = 2L * count + 1;
    long idle = 0;
    plat::ClientDC dc(*this);
    for (;;) {
      const plat::Bitmap& photo = photos[static_cast<std::size_t>(film.Frame() - 1)];
      dc.BitBlt(0, 0, photo.Width(), photo.Height(), photo, 0, 0);
      LastTourFrame = film.Frame();
      plat::LogEvent("film " + std::to_string(film.Frame()) + " " + std::to_string(delay) + " " +
                     std::to_string(plat::TickMilliseconds()));
      film.Advance();
      // One millisecond a unit of the delay, the windows painting meanwhile.
      if (delay > 0) plat::Delay(*this, delay);
      const int key = plat::PollKey(*this);
      if (ApplyFilmKey(key, film, delay)) break;
      idle = key != 0 ? 0 : idle + 1;
      if (key == 0 && plat::testing::TestingMode() && idle > idleLimit) break;
    }
    frameDelay = delay;
  }

  UpdateCaption(false);
  ReleaseCapture();
  quietDrawing = quiet;
  animating = 0;
  photos.clear();
  View3D.RotationStep = step;
  // The view frame follows the restored observer at once, also after a tour
  // that was stopped early.
  SetObserver(observer);
  PlotBufferValid = 0;
  BufferValid[0] = 0;
  {
    plat::ClientDC dc(*this);
    PaintBuffered(dc);
  }
  UpdateCaption(false);
  UpdateMenuChecks(false);
}

int TPlotRWin::AddParametricSurface(std::string_view x, std::string_view y, std::string_view z, long double tLower,
                                    long double tUpper, long double uLower, long double uUpper, int tDivisions,
                                    int uDivisions) {
  if (!CanAddEquation(true)) return -1;
  const int i = AppendEquation(kKindParametricSurface, tLower, tUpper, x, y, z);
  if (i < 0) return -1;
  TEquation& e = Equation(i);
  e.lowerBound.y = uLower;
  e.upperBound.y = uUpper;
  e.divisions[0] = static_cast<std::int16_t>(std::clamp(tDivisions, 1, 32767));
  e.divisions[1] = static_cast<std::int16_t>(std::clamp(uDivisions, 1, 32767));
  CompileEquation(i);
  AddEquationLabel();
  // The flag keeps the face's extent whole, so a long solid is not cut to
  // the aspect limit.  With no letter and no steps the face is drawn once
  // and no parameter of the user is set to a member's value.
  e.familyOn = 1;
  e.familyLetter = 0;
  e.familySteps = 0;
  EquationEdited(i, true);
  EquationsChanged(true);
  SetForeground();
  return i;
}

}  // namespace kv
