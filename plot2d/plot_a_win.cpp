#include "plot2d/plot_a_win.h"

#include "platform/resources.h"
#include "plot2d/curve_tool_dialogs.h"

namespace kv {

TPlotAWin::TPlotAWin(plat::Window* parent, const std::string& title) : TPlot111Win(parent, title) {
  FileTypeCode = kFileType2D;
  dimension = 2;
  AxesShown = 1;
  AssignMenu("PLOT2MENU");
  SetHelpNames("KV2HELP", {"KVFILEH", "KVFORMH", "KV2CALCH", "KV2VIEWH", "KV2BTNSH", "KV2MISCH", "KVANIMH",
                           "KVSTYLEH", "KVSTYLEH", "KV2VIEWH"});
  SettingsFileName = kSettingsFile2D;
  FileData.FileName = title;
  FileData.Filter = plat::res::String(267);
  FileData.DefaultExt = "kv2";
}

TPlotAWin::~TPlotAWin() = default;

const plat::CommandTable& TPlotAWin::Commands() const {
  static const auto table = plat::CommandTable::Build<TPlotAWin>(
      &TPlot111Win::Commands(), {
                                    {kCmConnectPoints, &TPlotAWin::CmConnectPoints},
                                });
  return table;
}

void TPlotAWin::SetupWindow() {
  // The version is known only now: the main frame sets it after the
  // window was constructed.
  MetafileDescription = "kurvato2 v." + std::to_string(FileVersion);
  TPlot111Win::SetupWindow();
}

void TPlotAWin::UpdateMenuChecks(bool drawMenuBar) {
  if (IsCreated() && HasMenuItem(kCmConnectPoints)) CheckMenu(kCmConnectPoints, samplesAsPoints == 0);
  TPlot111Win::UpdateMenuChecks(drawMenuBar);
}

void TPlotAWin::CmConnectPoints() {
  samplesAsPoints = samplesAsPoints ? 0 : 1;
  UpdateMenuChecks(false);
  InvalidatePlot();
}

}  // namespace kv
