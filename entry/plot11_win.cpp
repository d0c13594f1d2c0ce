#include "entry/plot11_win.h"

#include "entry/combine_dialog.h"
#include "entry/data_win.h"
#include "entry/inventory_dialog.h"
#include "entry/point_list_dialog.h"
#include "entry/point_set_dialog.h"
#include "entry/side_windows.h"
#include "platform/resources.h"

namespace kv {

TPlot11Win::TPlot11Win(plat::Window* parent, const std::string& title) : TPlot1Win(parent, title) {}

TPlot11Win::~TPlot11Win() = default;

const plat::CommandTable& TPlot11Win::Commands() const {
  static const auto table = plat::CommandTable::Build<TPlot11Win>(
      &TPlot1Win::Commands(),
      {
          {kCmInventory, &TPlot11Win::CmInventory, &TPlot11Win::CeInventory},
          {kCmPointList, &TPlot11Win::CmPointList, &TPlot11Win::CePointList},
          {kCmPointSets, &TPlot11Win::CmPointSets},
          {kCmArcLength, nullptr, &TPlot11Win::CeArcLength},
          {kCmCombinations, &TPlot11Win::CmCombinations, &TPlot11Win::CeCombinations},
          {kCmLineIntegral, &TPlot11Win::CmLineIntegral, &TPlot11Win::CeLineIntegral},
          {kCmCheckData, &TPlot11Win::CmCheckData, &TPlot11Win::CeCheckData},
          {kCmDistance, nullptr, &TPlot11Win::CeDistance},
          {kCmMarkPenWidth, &TPlot11Win::CmMarkPenWidth},
          {kCmTimeWindowFirst, kCmPlaneWindowLast, &TPlot11Win::CmSideWindow},
      });
  return table;
}

void TPlot11Win::SetupWindow() {
  TPlot1Win::SetupWindow();
  inventoryDialog_ = std::make_unique<TFnListDlg>(*this, "INVENT");
  if (inventoryDialog_->Create()) {
    inventoryDialog_->Hide();
  } else {
    inventoryDialog_.reset();
  }
  inventoryHidden = 1;
}

void TPlot11Win::Destroy() {
  if (IsDestroyed()) return;
  if (inventoryDialog_ && !inventoryDialog_->IsDestroyed()) inventoryDialog_->Destroy();
  inventoryDialog_.reset();
  DestroyAnalysisDialogs(true);
  // The distance dialog is destroyed here once it exists.
  DestroySideWindows();
  CloseIntegralDialogs(true);
  TPlot1Win::Destroy();
}

TFnListDlg* TPlot11Win::InventoryDialog() const {
  return inventoryDialog_ && !inventoryDialog_->IsDestroyed() ? inventoryDialog_.get() : nullptr;
}

void TPlot11Win::InventoryChanged(bool selectLast) {
  if (TFnListDlg* d = InventoryDialog()) d->FillList(selectLast ? equationCount : -1);
  RefillComboDialogs();
}

// ---- enablers ----

void TPlot11Win::CePointList(plat::CommandEnabler& ce) {
  ce.Enable(FindVisibleOfKinds({kKindExplicit, kKindPolar, kKindParametric, kKindSpaceCurve}) >= 0);
}

void TPlot11Win::CeCombinations(plat::CommandEnabler& ce) {
  if (dimension == 3) {
    const bool surface = FindVisibleOfKinds({kKindSurface, kKindCylinderSurface, kKindParametricSurface,
                                             kKindSpaceCurve, kKindPlane, kKindSphericalSurface}) >= 0;
    ce.Enable(surface || FindVisibleOfKinds({kKindOde3D, kKindSequence3D}) >= 0);
  } else {
    ce.Enable(FindVisibleOfKinds({kKindExplicit, kKindPolar, kKindParametric, kKindOde, kKindOdeDyDx,
                                  kKindSequence}) >= 0);
  }
}

void TPlot11Win::CeLineIntegral(plat::CommandEnabler& ce) {
  const int d = dimension;
  ce.Enable(FindVisibleOfKinds({100 * d + 10}) >= 0 && FindVisibleOfKinds({101 * d + 1}) >= 0);
}

void TPlot11Win::CeDistance(plat::CommandEnabler& ce) { ce.Enable(CountEquationsOfKind(100 * dimension + 9) >= 2); }

void TPlot11Win::CmMarkPenWidth() {
  std::int16_t width = mouseMarkPenWidth;
  if (!InputThickness(width, kStrMarkPenWidth)) return;
  // Plot files and the settings keep widths 1 to 6 only; a wider one would
  // come back as 1.
  if (width > 6) {
    ShowMessageById(17);
    return;
  }
  mouseMarkPenWidth = width < 1 ? 1 : width;
  Modified = 1;
}

// ---- inventory state ----

bool TPlot11Win::CheckInventoryIdle() {
  if (!inventoryEditing) return true;
  ShowMessageById(111);  // "am Bearbeiten"
  return false;
}

void TPlot11Win::SetInventoryEditing(bool on) { inventoryEditing = on ? 0 : 1; }

void TPlot11Win::ShowInventory() {
  if (!CheckPassword(2)) return;
  UpdateCaption(false);
  if (TFnListDlg* d = InventoryDialog()) {
    d->UpdateCaption();
    d->Reveal();
    d->BringToTop();
  }
  inventoryHidden = 0;
}

void TPlot11Win::NewFile() {
  if (inventoryEditing) return;
  ClearDrawing();
  // What the last file brought besides the drawing goes with it.
  TextLabels.clear();
  TermLabels.clear();
  TermBlocks.clear();
  Pictures.clear();
  shadings.clear();
  SetNotes("");
  NotesShown = 0;
  storedSettings = DefaultStoredSettings();
  loadedFileVersion = 0;
  FileData.FileName = plat::res::String(29) + (dimension == 3 ? ".kv3" : ".kv2");
  // The new drawing has no file yet: saving it asks for a name instead of
  // writing "Unbenannt" into whatever folder is current.
  Named = 0;
  UpdateMenuChecks(false);
  InvalidatePlot();
  UpdateCaption(false);
  if (TFnListDlg* d = InventoryDialog()) {
    d->FillList(-1);
    d->Hide();
  }
  inventoryHidden = 1;
}

void TPlot11Win::UserFunctionsChanged() {
  CollectProtectedNames(FormulaTextsInUse());
  for (int i = 0; i <= equationCount; ++i) {
    const TEquation& e = Equation(i);
    if (e.derivation < 1 && e.subValue >= 0) CompileEquation(i);
  }
  MarkUsedVariables();
  RebuildDerivedEquations(-1);
  Modified = 1;
  InvalidatePlot();
  RepaintNow(false);
}

void TPlot11Win::UpdateCaption(bool saving, const char* extra) {
  TPlot1Win::UpdateCaption(saving, extra);
  if (TFnListDlg* d = InventoryDialog()) d->UpdateCaption();
}

void TPlot11Win::UpdateView() {
  TPlot1Win::UpdateView();
  // Trajectories end where they leave this window's view: the side
  // windows show what it shows.
  InvalidateSideWindows();
}

bool TPlot11Win::ResizeInventory(int newCapacity, bool copy) {
  if (!TPlot1Win::ResizeInventory(newCapacity, copy)) return false;
  if (copy) InventoryChanged(false);
  return true;
}

void TPlot11Win::CloseStaleDialogs(bool all) {
  TPlot1Win::CloseStaleDialogs(all);
  DestroyAnalysisDialogs(all);
  CloseIntegralDialogs(all);
}

// ---- side windows and the results window ----

TSideWin* TPlot11Win::OpenTimeWindow(int k) {
  if (k < 0 || k > (dimension == 3 ? 3 : 2)) return nullptr;
  TSideWin*& w = timeWindows_[static_cast<std::size_t>(k)];
  if (!w) {
    w = new TTimeWin(this, k);
    if (!w->Create()) {
      delete w;
      w = nullptr;
      return nullptr;
    }
  }
  w->ShowSideWindow();
  return w;
}

TSideWin* TPlot11Win::OpenPlaneWindow(int k) {
  if (k < 0 || k >= kPlaneWindowCount || dimension != 3) return nullptr;
  TSideWin*& w = planeWindows_[static_cast<std::size_t>(k)];
  if (!w) {
    w = new TPhasWin(this, k);
    if (!w->Create()) {
      delete w;
      w = nullptr;
      return nullptr;
    }
  }
  w->ShowSideWindow();
  return w;
}

void TPlot11Win::CmSideWindow(int id) {
  if (id <= kCmTimeWindowLast) {
    OpenTimeWindow(id - kCmTimeWindowFirst);
  } else {
    OpenPlaneWindow(id - kCmPlaneWindowFirst);
  }
}

TDataWin* TPlot11Win::OpenDataWindow() {
  if (!dataWindow_) {
    dataWindow_ = new TDataWin(this);
    if (!dataWindow_->Create()) {
      delete dataWindow_;
      dataWindow_ = nullptr;
      return nullptr;
    }
  } else {
    dataWindow_->FillResults();
  }
  dataWindow_->ShowWindow();
  return dataWindow_;
}

void TPlot11Win::NotifyDataWindow() {
  if (dataWindow_) dataWindow_->FillResults();
}

std::int32_t TPlot11Win::GetOpenWindowsMask() {
  // The dialog bits as the last file had them; the side windows as they are.
  std::int32_t mask = static_cast<std::uint16_t>(storedSettings.words[kWordOpenWindows]) &
                      ~(kOpenTimeWindows | kOpenPlaneWindows);
  auto open = [](const TSideWin* w) { return w && !w->Hidden && w->IsVisible(); };
  for (int k = 0; k < kTimeWindowCount; ++k)
    if (open(timeWindows_[static_cast<std::size_t>(k)])) mask |= 1 << k;
  for (int k = 0; k < kPlaneWindowCount; ++k)
    if (open(planeWindows_[static_cast<std::size_t>(k)])) mask |= 1 << (kOpenPlaneShift + k);
  return mask;
}

std::int32_t TPlot11Win::PackTimeWindowValues(const std::function<int(const TSideWin&)>& value) const {
  std::int32_t packed = 0;
  std::int32_t weight = 1;
  for (const TSideWin* w : timeWindows_) {
    if (w) packed += weight * value(*w);
    weight *= 100;
  }
  return packed;
}

void TPlot11Win::InvalidateSideWindows() {
  for (TSideWin* w : timeWindows_)
    if (w && !w->Hidden) w->InvalidatePlot();
  for (TSideWin* w : planeWindows_)
    if (w && !w->Hidden) w->InvalidatePlot();
}

void TPlot11Win::InvalidateCompanions(int i) { InvalidateSideWindows(); }

void TPlot11Win::PaintBuffered(plat::DC& dc) {
  const bool redraw = !BufferValid[1] || !PlotBufferValid || SettingsChanged || !drawn;
  TPlot1Win::PaintBuffered(dc);
  if (redraw) InvalidateSideWindows();
}

void TPlot11Win::DestroySideWindows() {
  auto close = [](auto*& w) {
    if (!w) return;
    if (!w->IsDestroyed()) w->Destroy();
    w = nullptr;
  };
  close(dataWindow_);
  for (TSideWin*& w : timeWindows_) close(w);
  for (TSideWin*& w : planeWindows_) close(w);
}

// ---- new points ----

bool TPlot11Win::NewPoint(int system) {
  if (!CanAddEquation(true)) return false;
  const int kind = 100 * dimension + 9;
  const int i = AppendEquation(kind, 0, 1, system == 4 ? "2.0+1.6i" : "2.54", "pi/3", "pi/4");
  TEquation& e = Equation(i);
  e.penWidth = MarkerSizeCode;
  e.polarInput = (system == 1 || system == 2) ? 1 : 0;
  e.kindFlag = system == 4 ? 1 : 0;
  e.arrowMode = static_cast<std::int16_t>(system);
  SetInventoryEditing(false);
  int mask = 0;
  const int result = RunEquationDialog(i, mask);
  SetInventoryEditing(true);
  if (result != plat::IDOK) {
    DropLastEquation();
    return false;
  }
  ++entryCounter;
  ShowAxesForFirstEntry(i);
  CompileEquation(i);
  AddEquationLabel();
  if (dimension == 3) {
    RedrawEditedEquation(i, true);
  } else {
    DrawEquationBuffered(i);
  }
  EquationsChanged(true);
  return true;
}

// ---- sampled curves with breaks ----

void TPlot11Win::DrawPolylineAll(plat::DC& dc, const TPoint2D* points, const std::uint8_t* flags, int last,
                                 const TPenSpec& pen) {
  if (last < 1) return;
  if (TExportSink* sink = ActiveSink()) {
    TExportPen p = ExportPenOf(pen);
    if (p.width < 1) p.width = 1;
    sink->GappedPolyline(points, flags, last, p, 1);
  }
  DrawGappedPolyline(dc, points, flags, last, 1);
}

}  // namespace kv
