#include "plot3d/plot3_win.h"

#include "platform/resources.h"
#include "plotcore/model/revolution_sliders.h"
#include "shell/text_helpers.h"

namespace kv {

namespace {

// The menu-bar position of "&Anim", which the secondary window does
// without.
constexpr int kAnimationMenuPosition = 6;
// "Fenster", the secondary window's name.
constexpr int kStrSecondaryName = 272;

// What a 3D window does after its base set-up when it opened no file: an
// empty drawing with the kind's settings, at their placement.
void StartEmpty(TPlotRWin& w) {
  w.ResetDrawing();
  w.ApplySettings();
  if (w.MouseMode < kCmMouseText || w.MouseMode > kCmMouseCoordinates) w.MouseMode = kCmMouseText;
  w.MoveWindow(w.Placement.x, w.Placement.y, w.Placement.width, w.Placement.height);
}

}  // namespace

// ---- the secondary window ----

TPlotSWin::TPlotSWin(plat::Window* parent, const std::string& title, TPlotSWin** ownerField)
    : TPlotRWin(parent, title), ownerField_(ownerField) {}

void TPlotSWin::SetupWindow() {
  TPlotRWin::SetupWindow();
  // A plain "&Schließen" on the menu bar hides the window (357).
  InsertMenuBarCommand(8, plat::res::String(700), 357);
  if (IsSecondary) DeleteMenuBarEntry(kAnimationMenuPosition);
  FileData.FileName = GetCaption();
  StartEmpty(*this);
  UpdateView();
  UpdateMenuChecks(true);
}

void TPlotSWin::Destroy() {
  if (IsDestroyed()) return;
  if (ownerField_ && *ownerField_ == this) *ownerField_ = nullptr;
  if (forget) {
    auto f = std::move(forget);
    forget = nullptr;
    f();
  }
  StoreSettings();
  TPlotRWin::Destroy();
}

void TPlotSWin::Hide() {
  NewFile();
  TPlotRWin::Hide();
}

void TPlotSWin::CopySliderParameters(int i) {
  if (!IsValidIndex(i) || Equation(i).kind != kKindRevolution) return;
  for (const TSliderCopy& c : RevolutionSliderCopies(Equation(i))) {
    const auto k = static_cast<std::size_t>(c.variable);
    Tables().value.SetReal(k, c.value);
    Tables().lower[k] = TComplex(c.left);
    Tables().upper[k] = TComplex(c.right);
  }
  RefreshSliderDialogs();
}

// ---- the ordinary 3D window ----

TPlot3Win::TPlot3Win(plat::Window* parent, const std::string& caption) : TPlotRWin(parent, caption) {}

const plat::CommandTable& TPlot3Win::Commands() const {
  static const auto table = plat::CommandTable::Build<TPlot3Win>(
      &TPlotRWin::Commands(), {
                                  {kCm3SecondaryWindow, &TPlot3Win::CmSecondaryWindow},
                              });
  return table;
}

void TPlot3Win::SetupWindow() {
  TPlotRWin::SetupWindow();
  if (OpenFileByName() != 0) StartEmpty(*this);
  UpdateView();
  UpdateMenuChecks(true);
  BringToTop();
}

void TPlot3Win::Destroy() {
  if (IsDestroyed()) return;
  StoreSettings();
  TPlotRWin::Destroy();
}

void TPlot3Win::CmSecondaryWindow() {
  if (SecondaryWin) {
    if (SecondaryWin->Hidden) {
      SecondaryWin->Show(plat::SW_SHOW);
      SecondaryWin->Hidden = 0;
    }
    return;
  }
  const std::string name = plat::res::String(kStrSecondaryName) + ".kv3";
  auto* w = new TPlotSWin(this, name, &SecondaryWin);
  w->IsSecondary = 1;
  w->HasNotes = 1;
  w->OpenLastFileFlag = 0;
  w->LoadSettingsOnSetup = useDefaults ? 0 : 1;
  w->FileToOpen.clear();
  w->FileVersion = FileVersion;
  if (!w->Create()) {
    delete w;
    return;
  }
  SecondaryWin = w;
  for (int k = 0; k < tok::kParameterCount; ++k)
    w->Tables().value[static_cast<std::size_t>(k)] = Tables().value[static_cast<std::size_t>(k)];
  w->Show(plat::SW_SHOW);
}

void TPlot3Win::RedrawEquation(int parameter) {
  TPlotRWin::RedrawEquation(parameter);
  if (!SecondaryWin || parameter < 0 || parameter >= tok::kParameterCount) return;
  if (SecondaryWin->IsIconic()) SecondaryWin->Show(plat::SW_RESTORE);
  SecondaryWin->Tables().value[static_cast<std::size_t>(parameter)] =
      Tables().value[static_cast<std::size_t>(parameter)];
  SecondaryWin->RedrawEquation(parameter);
}

}  // namespace kv
