#include "plot2d/plot2_win.h"

#include "platform/resources.h"

namespace kv {

namespace {

// The menu-bar position of "&Anim", which the linked window does without.
constexpr int kAnimationMenuPosition = 6;

// The modes a 2D window keeps when it starts without a file: 121..126.
bool IsStartMouseMode(int mode) { return mode >= kCmMouseBoxZoom && mode <= kCmMouseLagrange; }

// What every concrete 2D window does after its base set-up when it opened
// no file: an empty drawing with the kind's settings, at their placement.
void StartEmpty(TPlotCWin& w) {
  w.ClearDrawing();
  w.ApplySettings();
  if (!IsStartMouseMode(w.MouseMode)) w.MouseMode = kCmMouseCoordinates;
  w.MoveWindow(w.Placement.x, w.Placement.y, w.Placement.width, w.Placement.height);
}

}  // namespace

// ---- the linked window ----

TPlotDWin::TPlotDWin(plat::Window* parent, const std::string& title, TPlotDWin** ownerField)
    : TPlotCWin(parent, title), ownerField_(ownerField) {}

void TPlotDWin::SetupWindow() {
  TPlotCWin::SetupWindow();
  DeleteMenuBarEntry(kAnimationMenuPosition);
  StartEmpty(*this);
  FitDomainsToView();
  UpdateMenuChecks(false);
}

void TPlotDWin::RestoreWindowMenu(const std::string& name) {
  TPlotCWin::RestoreWindowMenu(name);
  DeleteMenuBarEntry(kAnimationMenuPosition);
}

void TPlotDWin::Destroy() {
  if (IsDestroyed()) return;
  if (ownerField_ && *ownerField_ == this) *ownerField_ = nullptr;
  StoreSettings();
  TPlotCWin::Destroy();
}

// ---- the 2D window ----

TPlotEWin::TPlotEWin(plat::Window* parent, const std::string& title) : TPlotCWin(parent, title) {}

const plat::CommandTable& TPlotEWin::Commands() const {
  static const auto table = plat::CommandTable::Build<TPlotEWin>(&TPlotCWin::Commands(), {
                                                                                             {kCmLinkedWindow, &TPlotEWin::CmLinkedWindow},
                                                                                         });
  return table;
}

void TPlotEWin::Destroy() {
  if (IsDestroyed()) return;
  TPlotCWin::Destroy();
}

void TPlotEWin::CmLinkedWindow() {
  if (LinkedWindow) {
    if (LinkedWindow->IsIconic()) LinkedWindow->Show(plat::SW_RESTORE);
    return;
  }
  const std::string name = plat::res::String(kStrLinkedWindowName) + ".kv2";
  auto* linked = new TPlotDWin(this, name, &LinkedWindow);
  linked->OpenLastFileFlag = 0;
  linked->HasNotes = 1;
  linked->LoadSettingsOnSetup = useDefaults ? 0 : 1;
  linked->FileToOpen.clear();
  linked->FileVersion = FileVersion;
  if (!linked->Create()) {
    delete linked;
    return;
  }
  LinkedWindow = linked;
  for (int k = 0; k < tok::kParameterCount; ++k)
    linked->Tables().value[static_cast<std::size_t>(k)] = Tables().value[static_cast<std::size_t>(k)];
  linked->Show(plat::SW_SHOWNORMAL);
}

void TPlotEWin::RedrawEquation(int parameter) {
  TPlotCWin::RedrawEquation(parameter);
  if (!LinkedWindow || parameter < 0 || parameter >= tok::kParameterCount) return;
  if (LinkedWindow->IsIconic()) LinkedWindow->Show(plat::SW_RESTORE);
  LinkedWindow->Tables().value[static_cast<std::size_t>(parameter)] =
      Tables().value[static_cast<std::size_t>(parameter)];
  LinkedWindow->RedrawEquation(parameter);
}

TPlot2Win::TPlot2Win(plat::Window* parent, const std::string& caption) : TPlotEWin(parent, caption) {}

void TPlot2Win::SetupWindow() {
  TPlotEWin::SetupWindow();
  if (OpenFileByName() != 0) StartEmpty(*this);
  FitDomainsToView();
  UpdateMenuChecks(false);
  BringToTop();
}

void TPlot2Win::Destroy() {
  if (IsDestroyed()) return;
  StoreSettings();
  TPlotEWin::Destroy();
}

}  // namespace kv
