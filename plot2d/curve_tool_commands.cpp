// The menu commands that open the 2D window's curve and solid tools: each
// creates its modeless dialog on first use and shows it again afterwards;
// "&Maus ..." runs the modal mouse-data dialog.
#include "plot2d/curve_tool_dialogs.h"
#include "plot2d/plot_a_win.h"

namespace kv {

namespace {

// Creates the dialog on first use, otherwise shows it again; on top.
template <class D>
D* OpenTool(TPlotAWin& w, std::unique_ptr<D>& slot) {
  if (!slot) {
    auto d = std::make_unique<D>(w);
    if (!d->Create()) return nullptr;
    slot = std::move(d);
  } else if (slot->IsHidden()) {
    slot->RefillList();
  }
  slot->Reveal();
  slot->BringToTop();
  return slot.get();
}

// The dialog goes (all) or hides when no entry of the kinds is left.
template <class D>
void CloseStale(TPlotAWin& w, std::unique_ptr<D>& slot, bool all, std::initializer_list<int> kinds) {
  if (!slot) return;
  if (all) {
    if (!slot->IsDestroyed()) slot->Destroy();
    slot.reset();
  } else if (!slot->IsHidden() && w.FindEquationOfKinds(kinds) < 0) {
    slot->Hide();
  }
}

}  // namespace

void TPlotAWin::CloseStaleDialogs(bool all) {
  TPlot111Win::CloseStaleDialogs(all);
  if (!toolDialogs_) return;
  TCurveToolDialogs& d = *toolDialogs_;
  CloseStale(*this, d.reflect, all, {201, 202, 203, 204, 205, 208, 209, 210, 211, 212});
  CloseStale(*this, d.rotate, all, {201, 202, 203, 204, 205, 208, 209, 210, 211, 212});
  CloseStale(*this, d.translate, all, {201, 202, 203, 204, 205, 208, 209});
  CloseStale(*this, d.roulette, all, {201, 202, 203});
  CloseStale(*this, d.evolute, all, {201, 202, 203});
  CloseStale(*this, d.revolve, all, {201, 202, 203, 205});
  CloseStale(*this, d.sector, all, {201, 202, 203});
  CloseStale(*this, d.volumeBetween, all, {201});
  CloseStale(*this, d.surface, all, {201, 202, 203, 204, 205});
  CloseStale(*this, d.section, all, {201});
}

void TPlotAWin::CmReflect() { OpenTool(*this, ToolDialogs().reflect); }

void TPlotAWin::CmRotate() { OpenTool(*this, ToolDialogs().rotate); }

void TPlotAWin::CmTranslate() { OpenTool(*this, ToolDialogs().translate); }

void TPlotAWin::CmRoulettes() { OpenTool(*this, ToolDialogs().roulette); }

void TPlotAWin::CmEvolute() { OpenTool(*this, ToolDialogs().evolute); }

void TPlotAWin::CmSectorArea() { OpenTool(*this, ToolDialogs().sector); }

void TPlotAWin::CmRevolutionVolume() {
  if (TRevDlg* d = OpenTool(*this, ToolDialogs().revolve)) d->SetMode(true);
}

void TPlotAWin::CmRevolutionSurface() {
  if (TRevDlg* d = OpenTool(*this, ToolDialogs().revolve)) d->SetMode(false);
}

void TPlotAWin::CmVolumeBetween() { OpenTool(*this, ToolDialogs().volumeBetween); }

void TPlotAWin::CmRotateCurve() { OpenTool(*this, ToolDialogs().surface); }

void TPlotAWin::CmCrossSections() { OpenTool(*this, ToolDialogs().section); }

void TPlotAWin::CmMouseData() {
  TLBDatDlg d(*this, &mouseDataEquation);
  d.Execute();
  if (mouseDataEquation >= 0) MouseMode = kCmMouseCoordinates;
  UpdateMenuChecks(false);
}

}  // namespace kv
