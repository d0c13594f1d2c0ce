// The planet window's construction and set-up, the default system, the
// body editor's frame and reading planet files.
#include "planewin/planet_win.h"

#include "planewin/body_dialog.h"
#include "shell/program_random.h"
#include "platform/resources.h"
#include "shell/file_msg_win.h"

namespace kv {

TPlotXWin::TPlotXWin(plat::Window* parent, const std::string& caption) : TPlotEWin(parent, caption) {
  // Menu, settings file "kv2.ini" and file extension are the 2D window's;
  // the type code keeps planet files and settings apart from its.
  FileTypeCode = kFileTypePlanet;
}

void TPlotXWin::SetupWindow() {
  TPlotEWin::SetupWindow();
  InsertMenuBarCommand(kPlanetHelpMenuPosition, plat::res::String(kStrHelpMenu), kCmPlanetHelp);
  // The zoom factor, the decimals of the bodies' number texts and the axes
  // of a planet window; a file opened here brings its own.
  const auto ownSettings = [this] {
    ZoomFactor = 1.1L;
    Decimals = 14;
    AxesShown = 0;
  };
  ownSettings();
  if (OpenFileByName() != 0) {
    ClearDrawing();
    // The settings file is shared with the 2D window; the planet window's
    // own values stay.
    ApplySettings();
    ownSettings();
    MouseMode = kCmMouseCoordinates;
    AppendDefaultSystem();
    MoveWindow(Placement.x, Placement.y, Placement.width, Placement.height);
  }
  HelpName = "KVXHELP";
  UpdateView();
  AddEquationLabel();
  UpdateMenuChecks(false);
  EquationsChanged(false);
  BringToTop();
}

void TPlotXWin::Destroy() {
  if (IsDestroyed()) return;
  KillTimer(kFollowTimer);
  StoreSettings();
  TPlotEWin::Destroy();
}

void TPlotXWin::NewFile() {
  if (inventoryEditing) return;
  TPlotEWin::NewFile();
  AppendDefaultSystem();
  Collided = false;
  InvalidatePlot();
}

// ---- the system ----

TPlanetTexts TPlotXWin::PlanetTexts() const {
  return {plat::res::String(kStrBodyName), plat::res::String(kStrCentreName), [this](long double v) {
            std::string s;
            FormatWindowNumber(v, s);
            return s;
          }};
}

void TPlotXWin::DefaultSystem(int i) {
  if (!IsValidIndex(i) || Equation(i).kind != kKindPlanets) return;
  TProgramRandom random;
  MakeDefaultPlanetSystem(Equation(i), random, PlanetTexts());
}

int TPlotXWin::AppendDefaultSystem() {
  const int i = AppendEquation(kKindPlanets, 0, 1, "");
  if (i < 0) return -1;
  DefaultSystem(i);
  currentEquation = static_cast<std::int16_t>(i);
  return i;
}

void TPlotXWin::ReadPlanetValues(int i) {
  TPlotEWin::ReadPlanetValues(i);
  if (!IsValidIndex(i) || Equation(i).kind != kKindPlanets) return;
  TPlanetSystem s(Equation(i));
  s.UpdateMassFractions();
  s.ComputeCentreOfMass(planet::kStartBase);
}

// ---- the body editor ----

bool TPlotXWin::EditSpecialEquation(int i) {
  if (!IsValidIndex(i) || Equation(i).kind != kKindPlanets) return false;
  TEquation kept;
  ReinitAndCopyEquation(kept, Equation(i), false);
  SetInventoryEditing(false);
  int result = plat::IDCANCEL;
  {
    TBodyDlg dialog(this, "EQUA219", i);
    result = dialog.Execute();
  }
  SetInventoryEditing(true);
  if (result == plat::IDOK) {
    TPlanetSystem s(Equation(i));
    s.UpdateMassFractions();
    s.ComputeCentreOfMass(planet::kStartBase);
    Modified = 1;
  } else {
    FreeEquation(Equation(i));
    ReinitAndCopyEquation(Equation(i), kept, false);
  }
  Collided = false;
  // "Radieren" may have redrawn meanwhile: draw what is kept.
  InvalidatePlot();
  return result == plat::IDOK;
}

void TPlotXWin::UpdateCaption(bool saving, const char* extra) {
  if (saving || !Collided) {
    TPlotEWin::UpdateCaption(saving, extra);
    return;
  }
  const std::string more = std::string(extra ? extra : "") + "  " + NumberedMessageText(planet::kCollision);
  TPlotEWin::UpdateCaption(false, more.c_str());
}

}  // namespace kv
