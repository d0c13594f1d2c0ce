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

// The dialog goes when `stale` (or with all).
template <class D>
void CloseTool(std::unique_ptr<D>& slot, bool stale) {
  if (!slot || !stale) return;
  if (!slot->IsDestroyed()) slot->Destroy();
  slot.reset();
}

}  // namespace

void TPlotAWin::CloseStaleDialogs(bool all) {
  TPlot111Win::CloseStaleDialogs(all);
  if (!toolDialogs_) return;
  TCurveToolDialogs& d = *toolDialogs_;
  // The tools of graphs and curves go with the last graph or curve, the
  // cross sections with the last graph; reflection, rotation, translation
  // and the volume between two graphs stay until a new drawing.
  const bool noCurve = all || FindEquationOfKinds({kKindExplicit, kKindPolar, kKindParametric}) < 0;
  const bool noGraph = all || FindEquationOfKinds({kKindExplicit}) < 0;
  CloseTool(d.roulette, noCurve);
  CloseTool(d.evolute, noCurve);
  CloseTool(d.revolve, noCurve);
  CloseTool(d.sector, noCurve);
  CloseTool(d.surface, noCurve);
  CloseTool(d.section, noGraph);
  CloseTool(d.reflect, all);
  CloseTool(d.rotate, all);
  CloseTool(d.translate, all);
  CloseTool(d.volumeBetween, all);
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
