// The 3D window's companion windows (the level window, the course window,
// the stereogram window) and the openers of its tool dialogs (level,
// intersection curve, intersection points, slices, stereogram): each is
// made on first use, kept, shown again and hidden.
#include <type_traits>

#include "platform/resources.h"
#include "plot3d/curve_surface_dialog.h"
#include "plot3d/direction_dialog.h"
#include "plot3d/intersection_dialogs.h"
#include "plot3d/level_dialog.h"
#include "plot3d/level_win.h"
#include "plot3d/plot_r_win.h"
#include "plot3d/slice_dialog.h"
#include "plot3d/stereogram_win.h"
#include "shell/generic_dialogs.h"

namespace kv {

namespace {

constexpr int kStrLevels = 338;      // "Höhen"
constexpr int kStrCourse = 164;      // "Verlauf"
constexpr int kStrStereogram = 265;  // "Stereogramm"

bool HasLevels(const TEquation& e) {
  return e.kind == kKindSurface || e.kind == kKindImplicitSurface || e.kind == kKindRevolution ||
         e.kind == kKindIntersection;
}

// Companion windows are deleted by the platform once destroyed; dialogs
// belong to the window that made them and are deleted here.
template <class D>
void DestroyDialog(D*& d) {
  if (!d) return;
  if (!d->IsDestroyed()) d->Destroy();
  if constexpr (std::is_base_of_v<plat::Dialog, D>) delete d;
  d = nullptr;
}

}  // namespace

namespace {

// Makes a level or course window beside the 3D window (half a screen
// further right than where it would open); null when it could not be
// created (message 3).
TLevelWin* MakeLevelWindow(TPlotRWin& owner, int captionId) {
  const std::string caption = TruncateChars(plat::res::String(captionId), 50) + ".kv3";
  auto* w = new TLevelWin(&owner, caption);
  w->Placement.x += owner.HalfScreenWidth;
  w->FileVersion = owner.FileVersion;
  w->OpenLastFileFlag = 0;
  w->FileToOpen.clear();
  if (!w->Create()) {
    delete w;
    owner.ShowMessageById(3);  // "wenig Speicher...Probleme!"
    return nullptr;
  }
  return w;
}

void ShowCompanion(TFileMsgWin& w) {
  w.Show(plat::SW_SHOW);
  w.Hidden = 0;
  w.BringToTop();
}

void DrawOrInvalidate(TLevelWin& w, bool drawNow) {
  if (drawNow) {
    w.DrawNewLevelCurve();
  } else {
    w.PlotBufferValid = 0;
    w.Invalidate(false);
  }
}

}  // namespace

int TPlotRWin::AddLevelCurve(int i, int axis, long double level, bool mark, bool searchWithoutLimit, bool drawNow,
                             bool keepNearLevel) {
  if (!LevelWin) {
    LevelWin = MakeLevelWindow(*this, kStrLevels);
    if (!LevelWin) return 0;
    // The level window's colours are kept with the 3D window's plot file.
    LevelWin->ColourSlots[kLevelBackgroundSlot] = colourMode3D;
    LevelWin->ColourSlots[kLevelCursorSlot] = colourMode3D2;
  }
  LevelWin->AttachSurface(i, axis, level, mark, searchWithoutLimit, drawNow, keepNearLevel);
  ShowCompanion(*LevelWin);
  DrawOrInvalidate(*LevelWin, drawNow);
  return 1;
}

void TPlotRWin::HideLevelWindow() {
  if (!LevelWin) return;
  if (LevelWin->DirectionDialog()) LevelWin->DirectionDialog()->Hide();
  LevelWin->Hide();
}

int TPlotRWin::ShowCourseWindow(int i, bool drawNow, bool searchWithoutLimit, bool mark) {
  if (!IsValidIndex(i)) return 0;
  if (!CourseWin) {
    CourseWin = MakeLevelWindow(*this, kStrCourse);
    if (!CourseWin) return 0;
    CourseWin->CourseWindow = 1;
  }
  const int axis = kLevelAxisZ + Equation(i).termCount;
  CourseWin->AttachSurface(i, axis, 0, mark, searchWithoutLimit, drawNow, true);
  ShowCompanion(*CourseWin);
  DrawOrInvalidate(*CourseWin, drawNow);
  return 1;
}

void TPlotRWin::HideCourseWindow() {
  // The window alone: not the level window's way of hiding, which also
  // hides its direction dialog and repaints the 3D window.
  if (CourseWin) CourseWin->TFileMsgWin::Hide();
}

void TPlotRWin::ShowStereogramWindow() {
  if (!StereogramWin) {
    auto* w = new TRDSWin(this, TruncateChars(plat::res::String(kStrStereogram), 50));
    w->FileVersion = FileVersion;
    w->OpenLastFileFlag = 0;
    w->FileToOpen.clear();
    if (!w->Create()) {
      delete w;
      return;
    }
    StereogramWin = w;
  }
  ShowCompanion(*StereogramWin);
  // A recorded height no window has: the next paint takes the window's
  // size afresh and fits its view to it.
  StereogramWin->ClientHeight = 11;
  StereogramWin->PlotBufferValid = 0;
  StereogramWin->Invalidate(false);
}

void TPlotRWin::OpenLevelDialog(int i) {
  if (!IsValidIndex(i) || !HasLevels(Equation(i))) return;
  if (!LevelDlg) {
    LevelDlg = new TLevelDlg(this, "LEVELS", i);
    if (!LevelDlg->Create()) {
      delete LevelDlg;
      LevelDlg = nullptr;
      ShowMessageById(3);
      return;
    }
  } else if (LevelDlg->IsHidden()) {
    LevelDlg->SetEquationIndex(i);
    LevelDlg->BackupItems();
    LevelDlg->InitControls();
  }
  LevelDlg->Open();
  // A fresh scratch picture of the client's size, into which the course
  // through the level window's cursor is drawn.
  if (IsCreated() && ClientWidth > 0 && ClientHeight > 0) BackBuffers[2] = plat::Bitmap(ClientWidth, ClientHeight);
  SetInventoryEditing(false);
}

void TPlotRWin::OpenIntersectionDialog(int i) {
  if (!IsValidIndex(i) || Equation(i).kind != kKindIntersection) return;
  if (!IntersectionCurveDlg) {
    IntersectionCurveDlg = new TIntSSDlg(this, "INTERC", i);
    if (!IntersectionCurveDlg->Create()) {
      delete IntersectionCurveDlg;
      IntersectionCurveDlg = nullptr;
      ShowMessageById(3);
      return;
    }
  } else if (IntersectionCurveDlg->IsHidden()) {
    IntersectionCurveDlg->SetEquationIndex(i);
    IntersectionCurveDlg->BackupItems();
    IntersectionCurveDlg->ShowSources();
  }
  IntersectionCurveDlg->Open();
  SetInventoryEditing(false);
}

void TPlotRWin::CmStereogram() {
  if (!StereogramDlg) {
    StereogramDlg = new TRDSDlg(this, "RDS");
    if (!StereogramDlg->Create()) {
      delete StereogramDlg;
      StereogramDlg = nullptr;
      ShowMessageById(3);
      return;
    }
  } else {
    StereogramDlg->FillList();
  }
  StereogramDlg->Show(plat::SW_SHOW);
  StereogramDlg->BringToTop();
}

void TPlotRWin::CmIntersections() {
  if (!IntersectionPointsDlg) {
    // Setting the new dialog up runs its first search.
    IntersectionPointsDlg = new TIntCSDlg(*this);
    if (!IntersectionPointsDlg->Create()) {
      DestroyDialog(IntersectionPointsDlg);
      ShowMessageById(3);
      return;
    }
    IntersectionPointsDlg->Reveal();
    IntersectionPointsDlg->BringToTop();
    return;
  }
  IntersectionPointsDlg->Reveal();
  IntersectionPointsDlg->BringToTop();
  IntersectionPointsDlg->FindNextIntersection();
}

void TPlotRWin::CmSlices() {
  if (!SliceDlg) {
    SliceDlg = new TSliceDlg(*this);
    if (!SliceDlg->Create()) {
      DestroyDialog(SliceDlg);
      ShowMessageById(3);
      return;
    }
  }
  SliceDlg->Open();
}

void TPlotRWin::RefreshCompanionDialogs() {
  CloseCompanions(false);
  if (LevelDlg && !LevelDlg->IsHidden()) LevelDlg->FillList();
  if (IntersectionCurveDlg && !IntersectionCurveDlg->IsHidden()) IntersectionCurveDlg->FillList();
  if (StereogramDlg && StereogramDlg->IsVisible()) StereogramDlg->FillList();
}

void TPlotRWin::CloseCompanions(bool all) {
  auto gone = [this](int i, auto test) { return !IsValidIndex(i) || !test(Equation(i)); };
  if (all || (LevelDlg && gone(LevelDlg->EquationIndex(), HasLevels))) DestroyDialog(LevelDlg);
  if (all || (IntersectionCurveDlg && gone(IntersectionCurveDlg->EquationIndex(), [](const TEquation& e) {
                return e.kind == kKindIntersection;
              })))
    DestroyDialog(IntersectionCurveDlg);
  if (all || (StereogramDlg && !Present({kKindSurface, kKindCylinderSurface}))) DestroyDialog(StereogramDlg);
  if (all || (SliceDlg && !Present({kKindSurface, kKindCylinderSurface, kKindParametricSurface, kKindTube,
                                    kKindRevolution, kKindPlane, kKindSphericalSurface}))) {
    Overlays.slice.shown = false;
    DestroyDialog(SliceDlg);
  }
  if (all || (IntersectionPointsDlg && (!Present({kKindSurface, kKindImplicitSurface, kKindPlane}) ||
                                        !Present({kKindSpaceCurve})))) {
    Overlays.intersection.shown = false;
    DestroyDialog(IntersectionPointsDlg);
  }
  if (all) {
    Overlays.course.shown = false;
    DestroyDialog(LevelWin);
    DestroyDialog(CourseWin);
    DestroyDialog(StereogramWin);
    return;
  }
  for (TLevelWin* w : {LevelWin, CourseWin})
    if (w && gone(w->SurfaceIndex(), HasLevels)) w->Hide();
  if (StereogramWin && !Present({kKindSurface, kKindCylinderSurface})) StereogramWin->Hide();
}

void TPlotRWin::InvalidateCompanions(int i) {
  for (TLevelWin* w : {LevelWin, CourseWin}) {
    if (!w || w->Hidden || (i >= 0 && w->SurfaceIndex() != i)) continue;
    w->PlotBufferValid = 0;
    w->Invalidate(false);
  }
  if (StereogramWin && !StereogramWin->Hidden) {
    StereogramWin->PlotBufferValid = 0;
    StereogramWin->Invalidate(false);
  }
}

}  // namespace kv
