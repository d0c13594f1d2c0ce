#include "app/window_registry.h"

#include "entry/plot1_win.h"
#include "planewin/plane_windows.h"
#include "plot2d/plot2_win.h"
#include "plot3d/plot3_win.h"
#include "shell/window_creators.h"

namespace kv {

namespace {

void Apply(TZORWin* w, const TNewWindowSettings& s) {
  w->OpenLastFileFlag = s.openLastFile;
  w->FileToOpen = s.fileToOpen;
  w->FileVersion = s.fileVersion;
  w->LoadSettingsOnSetup = s.loadSettingsOnSetup;
  w->HasNotes = s.hasNotes ? 1 : 0;
  // The window's "&Vorgaben nutzen" (whether the windows it opens itself
  // read their settings) follows the frame's "&Standardeinstellungen".
  if (auto* plot = dynamic_cast<TPlot1Win*>(w)) plot->useDefaults = s.standardSettings;
}

TFileMsgWin* Construct(TWindowKind kind, plat::Window* parent, const std::string& caption, int variant,
                       const TNewWindowSettings& s) {
  TZORWin* w = nullptr;
  switch (kind) {
    case TWindowKind::Plot2D: w = new TPlot2Win(parent, caption); break;
    case TWindowKind::Plot3D: w = new TPlot3Win(parent, caption); break;
    case TWindowKind::Planet: w = new TPlotXWin(parent, caption); break;
    case TWindowKind::Quiz: w = new TPlotGWin(parent, caption); break;
    case TWindowKind::Log: w = new TLogWin(parent, caption, variant); break;
    case TWindowKind::Domain: {
      auto* d = new TDom2Win(parent, caption);
      d->MappingMode = static_cast<std::uint8_t>(variant);
      w = d;
      break;
    }
    case TWindowKind::Range: {
      auto* r = new TRan2Win(parent, caption);
      r->MappingMode = static_cast<std::uint8_t>(variant);
      w = r;
      break;
    }
  }
  if (w) Apply(w, s);
  return w;
}

void AttachRange(TFileMsgWin* domain, TFileMsgWin* range) {
  auto* d = dynamic_cast<TDom2Win*>(domain);
  auto* r = dynamic_cast<TRan2Win*>(range);
  if (!d || !r) return;
  d->RangeWindow = r;
  r->AttachDomain(d);
}

TFileMsgWin* ConstructCompanion(plat::Window* parent, const std::string& caption, std::function<void()> forget) {
  auto* w = new TPlotSWin(parent, caption);
  w->forget = std::move(forget);
  return w;
}

}  // namespace

void RegisterWindowCreators() {
  auto& c = WindowCreators();
  c.construct = Construct;
  c.attachRange = AttachRange;
  c.companion3D = ConstructCompanion;
}

}  // namespace kv
