// The domain window of a plane mapping: fields, commands and enablers, then
// set-up and closing with "dom2.ini", the file with the range window's
// state, the grid families, the hooks that keep the range window in step,
// the commands of the menu "&Abbild", the readouts and the mouse.
#include "planewin/dom2_win.h"

#include "entry/model/plot_file.h"

#include "graphics/mouse_drag.h"
#include "planewin/map_grid_dialog.h"
#include "planewin/model/mapping_readouts.h"
#include "planewin/model/range_state.h"
#include "planewin/ran2_win.h"
#include "platform/resources.h"
#include "shell/text_helpers.h"
#include "shell/text_win.h"

namespace kv {

namespace {

// The longest joined labels the file and "dom2.ini" (in its second and
// third byte blocks) keep; longer ones are stored as fixed texts.
constexpr std::size_t kFileLabelLimit = 20;
constexpr std::size_t kSettingsLabelLimit = 20;

// Where "dom2.ini" keeps what the domain window adds to the 2D settings.
enum : std::size_t {
  kIntRangeBackground = 12,  // block 1
  kIntRangeWidth = 13,
  kIntRangeHeight = 14,
  kIntDivisionsX = 3,  // block 3
  kIntDivisionsY = 19,
};

constexpr int kTokenT = tok::Letter(20);
constexpr int kTokenK = tok::Letter(11);

}  // namespace

TDom2Win::TDom2Win(plat::Window* parent, const std::string& caption) : TMap2Win(parent, caption) {
  AssignMenu("DOM2MENU");
  SettingsFileName = kSettingsFileDomain;
  SetHelpNames("KV2MAPH", {"KVFILEH", "KVFORMH", "KV2MAPH", "KV2CALCH", "KV2VIEWH", "KVMBTNSH", "KV2MISCH", "KVANIMH",
                           "KVSTYLEH", "KVSTYLEH", "KV2VIEWH"});
  Ma2FileData = {caption, plat::res::String(kStrMa2Filter), "ma2"};
  MazFileData = {caption, plat::res::String(kStrMazFilter), "maz"};
  FileData = Ma2FileData;
  // A new trajectory here has a new image in the range window.
  redrawAfterTrajectory = 1;
}

const plat::CommandTable& TDom2Win::Commands() const {
  using C = TDom2Win;
  static const auto table = plat::CommandTable::Build<TDom2Win>(
      &TMap2Win::Commands(), {
                                 {kCmNewMapping, &C::CmNewMapping},
                                 {kCmMapTables, &C::CmMapTables, &C::CeMapTables},
                                 {kCmMapPlaneXY, &C::CmPlaneXY},
                                 {kCmMapPlaneZ, &C::CmPlaneZ},
                                 {kCmMapGrid, &C::CmMapGrid},
                             });
  return table;
}

void TDom2Win::CeMapTables(plat::CommandEnabler& ce) { ce.Enable(IsValidIndex(selectedMapping)); }

void TDom2Win::UpdateMenuChecks(bool drawMenuBar) {
  if (IsCreated()) {
    if (HasMenuItem(kCmMapPlaneXY)) CheckMenu(kCmMapPlaneXY, MappingMode == 0);
    if (HasMenuItem(kCmMapPlaneZ)) CheckMenu(kCmMapPlaneZ, MappingMode != 0);
  }
  TMap2Win::UpdateMenuChecks(drawMenuBar);
}

// ---- set-up and closing ----

void TDom2Win::SetupWindow() {
  SetComplexMode(MappingMode != 0);
  TMap2Win::SetupWindow();
  MetafileDescription = "kurvatom v." + std::to_string(FileVersion);
  MouseMode = kCmMouseCursor;
  if (OpenFileByName() != 0) {
    ClearDrawing();
    ApplySettings();
    ApplyDomainSettings();
    SetComplexMode(MappingMode != 0);
    SetupGridFamilies();
    if (MouseMode < kCmMouseBoxZoom || MouseMode > kCmMouseLagrange) MouseMode = kCmMouseCoordinates;
    MoveWindow(Placement.x, Placement.y, Placement.width, Placement.height);
  }
  SelectFileRecord();
  UpdateView();
  UpdateMenuChecks(false);
  UpdateRangeTitle();
  BringToTop();
}

void TDom2Win::Destroy() {
  if (IsDestroyed()) return;
  StoreDomainSettings();
  if (TRan2Win* r = RangeWindow) {
    RangeWindow = nullptr;
    r->ReleaseDomain();
    r->Destroy();
  }
  TMap2Win::Destroy();
}

void TDom2Win::StoreDomainSettings() {
  StoreSettings();
  auto& ints1 = SettingsBlocks.Ints[0];
  auto& ints3 = SettingsBlocks.Ints[2];
  auto& reals3 = SettingsBlocks.Reals[2];
  std::string labels[4] = {AxisNames[0], AxisNames[1], "x", "y"};
  if (TRan2Win* r = RangeWindow) {
    CopyFontSlot(*r, kAxisNumberFontSlot, *this, 0);
    CopyFontSlot(*r, kAxisLabelFontSlot, *this, 3);
    ints1[kIntRangeBackground] = r->ColourSlots[0];
    const plat::Rect rect = r->NormalRect();
    ints1[kIntRangeWidth] = rect.right - rect.left;
    ints1[kIntRangeHeight] = rect.bottom - rect.top;
    labels[2] = r->AxisNames[0];
    labels[3] = r->AxisNames[1];
  }
  const TMapGrid g = HasGrid() ? CurrentGrid() : DefaultGrid;
  reals3[0] = g.xmin;
  reals3[1] = g.xmax;
  reals3[2] = g.ymin;
  reals3[3] = g.ymax;
  ints3[kIntDivisionsX] = g.nx;
  ints3[kIntDivisionsY] = g.ny;
  std::string text = JoinLabels(labels, 4, kSettingsLabelLimit);
  if (text.empty()) text = "x,y,x,y,";
  auto& bytes = SettingsBlocks.Bytes;
  for (auto& block : {&bytes[1], &bytes[2]}) block->fill(0);
  for (std::size_t k = 0; k < text.size(); ++k)
    (k < 21 ? bytes[1][k] : bytes[2][k - 21]) = static_cast<std::uint8_t>(text[k]);
}

void TDom2Win::ApplyDomainSettings() {
  if (!SettingsLoaded) return;
  const auto& ints1 = SettingsBlocks.Ints[0];
  const auto& ints3 = SettingsBlocks.Ints[2];
  const auto& reals3 = SettingsBlocks.Reals[2];
  if (RangeWindow) RangeWindow->ColourSlots[0] = CheckColourIndex(ints1[kIntRangeBackground]);
  DefaultGrid =
      UsableGrid(TMapGrid{reals3[0], reals3[2], reals3[1], reals3[3], ints3[kIntDivisionsX], ints3[kIntDivisionsY]});
  std::string text;
  const auto& bytes = SettingsBlocks.Bytes;
  for (std::size_t k = 0; k < 42; ++k) {
    const std::uint8_t c = k < 21 ? bytes[1][k] : bytes[2][k - 21];
    if (c == 0) break;
    text += static_cast<char>(c);
  }
  std::string labels[4];
  if (text.size() > 7 && SplitLabels(text, labels, 4)) {
    AxisNames[0] = labels[0];
    AxisNames[1] = labels[1];
    if (RangeWindow) {
      RangeWindow->AxisNames[0] = labels[2];
      RangeWindow->AxisNames[1] = labels[3];
    }
  }
  auto size = [](std::int32_t v) { return v >= 50 && v <= 800 ? v : 300; };
  RangePlacement.width = size(ints1[kIntRangeWidth]);
  RangePlacement.height = size(ints1[kIntRangeHeight]);
}

// ---- file ----

void TDom2Win::SelectFileRecord() {
  TFileDialogData& record = MappingMode ? MazFileData : Ma2FileData;
  record.FileName = FileData.FileName;
  FileData = record;
}

void TDom2Win::SetUntitledName() {
  const std::string ext = MappingMode ? ".maz" : ".ma2";
  const std::string name = plat::res::String(kStrMapping) + ext;
  Ma2FileData.FileName = name;
  MazFileData.FileName = name;
  FileData.FileName = name;
  Named = 0;
}

bool TDom2Win::WriteFile() {
  if (!HasGrid()) return TMap2Win::WriteFile();
  const std::array<std::string, 3> keptLabels = AxisNames;
  TEquation keptX;
  TEquation keptY;
  CopyEquation(keptX, Equation(0));
  CopyEquation(keptY, Equation(1));
  TRangeState state;
  std::string rangeX = "x";
  std::string rangeY = "y";
  if (TRan2Win* r = RangeWindow) {
    state = r->RangeState();
    // The view as the range window last reported it.
    state.view[0] = RangeViewCentre.x;
    state.view[1] = RangeViewCentre.y;
    state.view[2] = RangeViewHalfX;
    rangeX = r->AxisNames[0];
    rangeY = r->AxisNames[1];
    CopyFontSlot(*r, kAxisNumberFontSlot, *this, 0);
    CopyFontSlot(*r, kAxisLabelFontSlot, *this, 3);
  }
  const std::string xs[2] = {AxisNames[0], rangeX};
  const std::string ys[2] = {AxisNames[1], rangeY};
  AxisNames[0] = JoinLabels(xs, 2, kFileLabelLimit);
  AxisNames[1] = JoinLabels(ys, 2, kFileLabelLimit);
  if (AxisNames[0].empty()) AxisNames[0] = "x,x,";
  if (AxisNames[1].empty()) AxisNames[1] = "y,y,";
  PackRangeState(state, Equation(0), Equation(1));
  writtenRangeColours_ = state.colours;
  writingRangeColours_ = true;
  const bool ok = TMap2Win::WriteFile();
  writingRangeColours_ = false;
  // The records and labels are the drawing's again.
  CopyEquation(Equation(0), keptX);
  CopyEquation(Equation(1), keptY);
  BindGridVariables();
  AxisNames = keptLabels;
  return ok;
}

void TDom2Win::AddRecordBytes(TPlotFileState& s) {
  TMap2Win::AddRecordBytes(s);
  if (!writingRangeColours_ || s.entries.empty()) return;
  const auto bytes = RangeColourBytes(writtenRangeColours_);
  s.entries[0].recordPatchOffset = kRangeColourOffset;
  s.entries[0].recordPatch.assign(bytes.begin(), bytes.end());
}

void TDom2Win::TakeRecordBytes(const TPlotFileState& s) {
  TMap2Win::TakeRecordBytes(s);
  rangeColoursRead_ = false;
  rangePairsRead_ = false;
  if (s.entries.size() < 2) return;
  const std::vector<std::uint8_t>& image = s.entries[0].recordImage;
  rangeColoursRead_ = ReadRangeColours(image.data(), image.size(), readRangeColours_);
  const std::vector<std::uint8_t>& second = s.entries[1].recordImage;
  rangePairsRead_ = ReadRangePair(image.data(), image.size(), readRangePairs_[0]) &&
                    ReadRangePair(second.data(), second.size(), readRangePairs_[1]);
}

bool TDom2Win::Save() {
  const bool ok = TMap2Win::Save();
  if (ok) UpdateRangeTitle();
  return ok;
}

int TDom2Win::OpenFile() {
  const int code = TMap2Win::OpenFile();
  if (code == 0) {
    SelectFileRecord();
    UpdateRangeTitle();
    UpdateMenuChecks(false);
  }
  return code;
}

void TDom2Win::OnViewChanged() {
  TMap2Win::OnViewChanged();
  MappingMode = ComplexMode() ? 1 : 0;
  const std::int32_t version = loadedFileVersion;
  TRan2Win* r = RangeWindow;
  if (r) {
    r->MappingMode = MappingMode;
    r->SetComplexMode(ComplexMode());
  }
  if (HasGrid()) {
    BindGridVariables();
    if (r && version > 18) {
      TRangeState state = UnpackRangeState(Equation(0), Equation(1));
      // Colours that cannot be trusted leave the range window's own.
      state.colours = rangeColoursRead_ ? readRangeColours_ : r->RangeState().colours;
      // The two 32-bit values as the file holds them.
      if (rangePairsRead_) state.pairs = readRangePairs_;
      if (version > 20) {
        r->ApplyRangeState(state);
        RangePlacement.width = state.width >= 50 && state.width <= 800 ? state.width : 300;
        RangePlacement.height = state.height >= 50 && state.height <= 800 ? state.height : 300;
      } else {
        r->SetView(state.view[0], state.view[1], state.view[2], state.view[2], 0);
      }
    }
    ClearRangeStateFields(Equation(0));
    ClearRangeStateFields(Equation(1));
  }
  if (version > 20) {
    // "domain,range," in each label.
    std::string xs[2];
    std::string ys[2];
    const bool splitX = SplitLabels(AxisNames[0], xs, 2);
    const bool splitY = SplitLabels(AxisNames[1], ys, 2);
    if (splitX) AxisNames[0] = xs[0];
    if (splitY) AxisNames[1] = ys[0];
    if (r) {
      if (splitX) r->AxisNames[0] = xs[1];
      if (splitY) r->AxisNames[1] = ys[1];
      CopyFontSlot(*this, 0, *r, kAxisNumberFontSlot);
      CopyFontSlot(*this, 3, *r, kAxisLabelFontSlot);
    }
  }
  if (!r) return;
  r->selectedMapping = selectedMapping;
  r->FollowDomain();
  if (version > 23) RebuildRangeMarks();
  if (!r->IsCreated()) return;
  if (version > 20) {
    r->MoveWindow(RangePlacement.x, RangePlacement.y, RangePlacement.width, RangePlacement.height);
  } else if (version < 19) {
    r->FitRangeToGrid();
  } else {
    r->UpdateView();
  }
  r->InvalidatePlot();
}

void TDom2Win::NewFile() {
  if (inventoryEditing) return;
  TMap2Win::NewFile();
  SetComplexMode(MappingMode != 0);
  SetupGridFamilies();
  SetUntitledName();
  SelectFileRecord();
  UpdateMenuChecks(false);
  UpdateCaption(false);
  if (TRan2Win* r = RangeWindow) {
    r->MappingMode = MappingMode;
    r->SetComplexMode(MappingMode != 0);
    r->selectedMapping = -1;
    r->FollowDomain();
    r->mouseMarks.clear();
    r->FitRangeToGrid();
    UpdateRangeTitle();
    r->InvalidatePlot();
  }
  InvalidatePlot();
}

void TDom2Win::SwitchPlane(int mode) {
  if (!CanClose()) return;
  MappingMode = static_cast<std::uint8_t>(mode);
  SetComplexMode(mode != 0);
  NewFile();
}

// ---- the entries ----

bool TDom2Win::HasGrid() const { return equationCount >= 1 && IsGridFamily(Equation(0)) && IsGridFamily(Equation(1)); }

TMapGrid TDom2Win::CurrentGrid() const { return HasGrid() ? GridOfFamilies(Equation(0), Equation(1)) : DefaultGrid; }

void TDom2Win::SetupGridFamilies() {
  if (equationCapacity < 1) ResizeInventory(35, false);
  ClearInventory();
  const TMapGrid g = UsableGrid(DefaultGrid);
  for (int i = 0; i < 2; ++i) {
    InitGridFamily(Equation(i), i, g, ColourSlots[static_cast<std::size_t>(4 + i)]);
    equationCount = static_cast<std::int16_t>(i);
    CompileEquation(i);
    AddEquationLabel();
  }
  BindGridVariables();
  const TViewBox v = ViewAroundBox(TSegment2D{g.xmin, g.xmax, g.ymin, g.ymax});
  SetView(v.cx, v.cy, v.hx, v.hy, 0);
  UpdateView();
  MarkUsedVariables();
}

void TDom2Win::BindGridVariables() {
  for (int i = 0; i < 2 && i <= equationCount; ++i) {
    if (!IsGridFamily(Equation(i))) continue;
    ReplaceTokenInEquation(i, kTokenT, tok::Letter(kGridCurveVariable));
    ReplaceTokenInEquation(i, kTokenK, tok::Letter(kGridFamilyVariable));
  }
}

bool TDom2Win::IsEquationDrawable(int i) {
  if (!IsValidIndex(i)) return false;
  const TEquation& e = Equation(i);
  const int k = e.kind;
  const bool listed = k == kKindComplexMap || k == kKindPlaneMap || (k >= kKindExplicit && k <= 212) || k == kKindSum;
  return listed && e.subValue >= 0;
}

void TDom2Win::SelectEquation(int i) {
  selectedMapping = static_cast<std::int16_t>(i);
  if (TRan2Win* r = RangeWindow) {
    r->selectedMapping = selectedMapping;
    r->FitRangeToGrid();
    r->ShowAgain();
    r->RedrawNow(1);
  }
}

// ---- keeping the range window in step ----

int TDom2Win::DrawEquations(plat::DC& dc) {
  const int result = TMap2Win::DrawEquations(dc);
  // Whatever made this window draw its entries anew changes the image too.
  if (RangeWindow && RangeWindow->IsCreated() && !Printing) RangeWindow->InvalidatePlot();
  return result;
}

void TDom2Win::InvalidateCompanions(int i) {
  TMap2Win::InvalidateCompanions(i);
  if (RangeWindow) RangeWindow->InvalidatePlot();
}

void TDom2Win::DrawEquationBuffered(int i) {
  TMap2Win::DrawEquationBuffered(i);
  if (RangeWindow) RangeWindow->RedrawNow(1);
}

void TDom2Win::MouseMarkAdded(const TMouseMark& m) {
  if (RangeWindow) RangeWindow->AddMarkImage(m);
}

void TDom2Win::MouseMarksChanged() { RebuildRangeMarks(); }

void TDom2Win::ClearMouseMarks() {
  if (!ClearMouseMarkList()) return;
  InvalidatePlot();
  if (TRan2Win* r = RangeWindow) {
    r->mouseMarks.clear();
    r->BufferValid[0] = 0;
    r->Invalidate(false);
  }
}

bool TDom2Win::ResizeInventory(int newCapacity, bool copy) {
  const bool ok = TMap2Win::ResizeInventory(newCapacity, copy);
  if (ok && RangeWindow) RangeWindow->FollowDomain();
  return ok;
}

void TDom2Win::RebuildRangeMarks() {
  TRan2Win* r = RangeWindow;
  if (!r) return;
  r->mouseMarks.clear();
  for (const TMouseMark& m : mouseMarks) r->AddMarkImage(m);
  r->BufferValid[0] = 0;
  r->Invalidate(false);
}

// ---- the menu "&Abbild" ----

void TDom2Win::CmNewMapping() {
  if (!CanAddEquation(true) || !CheckInventoryIdle()) return;
  const bool complex = MappingMode != 0;
  if (IsColourWindowVisible()) HideColourWindow();
  int mask = 0;
  const int i = AppendAndEditEquation(
      complex ? kKindComplexMap : kKindPlaneMap, 0, 1, {complex ? "zz" : "2x-y", complex ? "" : "x+y", {}, {}, {}},
      [](TEquation& e) {
        e.penColour = 0;
        e.density = 50;
      },
      mask);
  if (i < 0) return;
  EquationName(i).clear();
  CompileEquation(i);
  AddEquationLabel();
  selectedMapping = static_cast<std::int16_t>(i);
  EquationsChanged(true);
  Modified = 1;
  if (TRan2Win* r = RangeWindow) {
    r->selectedMapping = selectedMapping;
    RebuildRangeMarks();
    r->FitRangeToGrid();
    r->ShowAgain();
    r->RedrawNow(1);
  }
}

void TDom2Win::CmMapGrid() {
  if (!HasGrid()) return;
  TMapGridDlg dlg(*this, &EquationDialogPositions[0]);
  if (dlg.Execute() != plat::IDOK) return;
  Modified = 1;
  RedrawNow(1);
  if (RangeWindow) RangeWindow->RedrawNow(1);
}

void TDom2Win::CmMapTables() {
  std::string text;
  if (!TableReadout(text, true)) return;
  const std::string fileName = plat::res::String(kStrMapTables) + ".txt";
  ShowReadout(TableWindow, plat::res::String(kStrMapTables) + " " + plat::res::String(kStrValueTable), fileName,
              fileName, text);
}

// ---- readouts ----

std::string TDom2Win::JacobianReadout(const TPoint2D& p) {
  if (!IsValidIndex(selectedMapping)) return {};
  const TEquation& m = Equation(selectedMapping);
  if (m.kind != kKindComplexMap && m.kind != kKindPlaneMap) return {};
  SaveVariables();
  const std::string text =
      JacobianText(Engine(), m, p, TReadoutFormat{FieldWidth, Decimals, plat::res::String(kStrUndefined)});
  RestoreVariables();
  return text;
}

bool TDom2Win::TableReadout(std::string& text, bool showMessage) {
  if (!IsValidIndex(selectedMapping) || !HasGrid()) return false;
  const TEquation& m = Equation(selectedMapping);
  if (m.kind != kKindComplexMap && m.kind != kKindPlaneMap) return false;
  const TMapGrid g = CurrentGrid();
  SaveVariables();
  const bool ok = MappingTableText(Engine(), m, g, TReadoutFormat{FieldWidth, Decimals, "?"}, text);
  RestoreVariables();
  if (!ok && showMessage) ShowMessageById(4);  // "kein Platz mehr"
  return ok;
}

void TDom2Win::ShowJacobian(const TPoint2D& p) {
  const std::string text = JacobianReadout(p);
  if (text.empty()) return;
  std::string name;
  GetFileNamePart(name, FileData.FileName);
  ShowReadout(JacobiWindow, plat::res::String(kStrJacobiData) + " [" + name + "]", "jacobdata.txt", "data", text);
}

void TDom2Win::ShowReadout(TTextWin*& window, const std::string& title, const std::string& fileName,
                           const std::string& fileType, const std::string& text) {
  // The window keeps the title it was made with; it is made with its file
  // type as its first text, which the readout replaces.
  if (!window || window->IsDestroyed()) {
    window = new TTextWin(this, title, fileName, fileType, TextFontSlot);
    if (!window->Create()) {
      delete window;
      window = nullptr;
      ShowMessageById(3);  // "wenig Speicher...Probleme!"
      return;
    }
  }
  window->SetText(text);
  window->ShowWindow();
  window->ClearModified();
}

// ---- mouse ----

void TDom2Win::EvLButtonDown(unsigned keys, plat::Point p) {
  if (MouseMode == kCmMouseCursor) {
    TrackCursorImage(p);
    return;
  }
  // "Ter&me" takes only the right button here.
  if (MouseMode == kCmMouseTerms) return;
  TMap2Win::EvLButtonDown(keys, p);
}

void TDom2Win::EvRButtonDown(unsigned keys, plat::Point p) {
  if (MouseMode == kCmMouseCursor) {
    TPoint2D w;
    PixelToWorld(p, w);
    ShowJacobian(w);
    return;
  }
  TMap2Win::EvRButtonDown(keys, p);
}

void TDom2Win::EvLButtonDblClk(unsigned keys, plat::Point p) { TMap2Win::EvLButtonDblClk(keys, p); }

void TDom2Win::TrackCursorImage(plat::Point start) {
  auto show = [this](plat::Point at, bool shown) {
    CursorShown = shown ? 1 : 0;
    PixelToWorld(at, CursorImage);
    if (RangeWindow) RangeWindow->ShowCursorImage(CursorImage, shown);
    RedrawNow(0);
  };
  show(start, true);
  plat::Point last = start;
  for (;;) {
    plat::MouseEvent e;
    NextDragEvent(*this, e, last);
    const plat::Point p{e.x, e.y};
    if (IsButtonRelease(e)) break;
    if (!(p == last)) {
      last = p;
      show(p, true);
    }
  }
  // Both crosses go once the button is released.
  show(last, false);
}

}  // namespace kv
