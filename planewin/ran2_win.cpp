// The range window of a plane mapping: set-up beside its domain window,
// borrowing and giving back the domain's entries and parameters, the
// first drawing, and the state the domain's file keeps of it.
#include "planewin/ran2_win.h"

#include <algorithm>
#include <cmath>

#include "planewin/dom2_win.h"

namespace kv {

namespace {

constexpr int kRangeColourSlots[5] = {0, 1, 3, 10, 13};

// The largest value of a 16-bit setting.
constexpr int kWordMax = 32767;

// Two settings in one 32-bit value, each a 16-bit value from 1 up.
std::int32_t PackPair(int low, int high) {
  auto fit = [](int v) { return static_cast<std::uint32_t>(std::clamp(v, 1, kWordMax)); };
  return static_cast<std::int32_t>(fit(low) | (fit(high) << 16));
}

std::int16_t Within(int v, int lo, int hi, int fallback) {
  return static_cast<std::int16_t>(v >= lo && v <= hi ? v : fallback);
}

}  // namespace

TRan2Win::TRan2Win(plat::Window* parent, const std::string& caption) : TMap2Win(parent, caption) {
  AssignMenu("RAN2MENU");
  SetHelpNames("KV2MAPH", {"KVFILEH", "KV2VIEWH", "KV2BTNSH", "KVSTYLEH", "KVSTYLEH", "KV2VIEWH"});
  SettingsFileName = kSettingsFileRange;
  mappedFlag = 1;
  quietDrawing = 1;  // a key never stops the range window's drawing
}

void TRan2Win::SetupWindow() {
  TMap2Win::SetupWindow();
  TDom2Win* d = DomainWindow;
  if (d) {
    Placement = d->RangePlacement;
    MoveWindow(Placement.x, Placement.y, Placement.width, Placement.height);
    CopyFontSlot(*d, 0, *this, kAxisNumberFontSlot);
    CopyFontSlot(*d, 3, *this, kAxisLabelFontSlot);
    MappingMode = d->MappingMode;
    SetComplexMode(d->ComplexMode());
  }
  FollowDomain();
  UpdateView();
  UpdateMenuChecks(false);
  MouseMode = kCmMouseText;
  // The first drawing widens a new view a little; a view a file brought
  // is shown as it was saved.
  FirstDraw = d && d->loadedFileVersion > 18 ? 0 : 1;
  inventoryHidden = 0;
  if (d && d->loadedFileVersion > 0 && d->loadedFileVersion < 19 && selectedMapping >= 0) FitRangeToGrid();
  UpdateRangeTitle();
}

void TRan2Win::Destroy() {
  if (IsDestroyed()) return;
  if (DomainWindow && DomainWindow->RangeWindow == this) DomainWindow->RangeWindow = nullptr;
  ReleaseDomain();
  TMap2Win::Destroy();
}

void TRan2Win::AttachDomain(TDom2Win* domain) {
  DomainWindow = domain;
  if (!domain) return;
  Engine().UseTables(&domain->Tables());
  FollowDomain();
  MappingMode = domain->MappingMode;
}

void TRan2Win::ReleaseDomain() {
  BorrowInventory(nullptr);
  Engine().UseTables(nullptr);
  equationCount = -1;
  selectedMapping = -1;
  DomainWindow = nullptr;
}

void TRan2Win::ShowAgain() {
  if (IsCreated() && !IsVisible()) Show(plat::SW_SHOWNORMAL);
}

void TRan2Win::DrawPlotLayer(plat::DC& dc) {
  FollowDomain();
  if (FirstDraw) {
    FirstDraw = 0;
    HalfX *= 1.02L;
    HalfY *= 1.02L;
    UpdateView();
  }
  TMap2Win::DrawPlotLayer(dc);
}

int TRan2Win::DrawEquations(plat::DC& dc) {
  FollowDomain();
  return TMap2Win::DrawEquations(dc);
}

// ---- what the domain's file keeps ----

TRangeState TRan2Win::RangeState() const {
  TRangeState s;
  s.view = {Centre.x, Centre.y, HalfX, TickIntervalX, TickIntervalY, TickOriginX, TickOriginY};
  s.options = {AxesShown, TicksShown, ArrowsShown, RasterShown, LabelsShown, FilledArrowHeads, OpaqueLabels, PiX, PiY};
  s.pairs = {PackPair(MarkerSizeCode, TickLength), PackPair(AxisWidthPrint, GridWidthPrint)};
  s.words = {ScaleBits, GridBits, AxisChoice, DecimalsX, DecimalsY, LabelFrequencyX, LabelFrequencyY, PolarSectors};
  const plat::Rect r = IsCreated() ? NormalRect() : plat::Rect{0, 0, Placement.width, Placement.height};
  s.width = static_cast<std::int16_t>(std::clamp(r.right - r.left, 0, 32767));
  s.height = static_cast<std::int16_t>(std::clamp(r.bottom - r.top, 0, 32767));
  s.moreWords = {FieldWidth, Decimals, AxisWidthDisplay, GridWidthDisplay};
  for (int k = 0; k < 5; ++k)
    s.colours[static_cast<std::size_t>(k)] = ColourTable[static_cast<std::size_t>(
        CheckColourIndex(ColourSlots[static_cast<std::size_t>(kRangeColourSlots[k])]))];
  return s;
}

void TRan2Win::ApplyRangeState(const TRangeState& s) {
  const auto& v = s.view;
  if (std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]) && v[2] > 0) {
    Centre = {v[0], v[1]};
    HalfX = v[2];
    ViewMode = 0;
  }
  if (std::isfinite(v[3]) && v[3] > 0) TickIntervalX = v[3];
  if (std::isfinite(v[4]) && v[4] > 0) TickIntervalY = v[4];
  if (std::isfinite(v[5])) TickOriginX = v[5];
  if (std::isfinite(v[6])) TickOriginY = v[6];
  auto flag = [](std::uint8_t b) { return static_cast<std::uint8_t>(b != 0 ? 1 : 0); };
  AxesShown = flag(s.options[0]);
  TicksShown = flag(s.options[1]);
  ArrowsShown = flag(s.options[2]);
  RasterShown = flag(s.options[3]);
  LabelsShown = flag(s.options[4]);
  FilledArrowHeads = flag(s.options[5]);
  OpaqueLabels = flag(s.options[6]);
  PiX = flag(s.options[7]);
  PiY = flag(s.options[8]);
  // What the commands and dialogs accept comes back: widths, tick lengths
  // and label frequencies up to the 16-bit bound.
  MarkerSizeCode = Within(s.pairs[0] & 0xFFFF, 1, 64, 2);
  TickLength = Within((s.pairs[0] >> 16) & 0xFFFF, 1, kWordMax, 10);
  ShortTickLength = static_cast<std::int16_t>(TickLength * 7 / 10);
  AxisWidthPrint = Within(s.pairs[1] & 0xFFFF, 1, kWordMax, 2);
  GridWidthPrint = Within((s.pairs[1] >> 16) & 0xFFFF, 1, kWordMax, 2);
  ScaleBits = Within(s.words[0], 0, 7, 0);
  GridBits = Within(s.words[1], 0, 127, 15);
  AxisChoice = Within(s.words[2], 0, 4, 3);
  DecimalsX = Within(s.words[3], 0, 99, 1);
  DecimalsY = Within(s.words[4], 0, 99, 1);
  LabelFrequencyX = Within(s.words[5], 1, kWordMax, 1);
  LabelFrequencyY = Within(s.words[6], 1, kWordMax, 1);
  PolarSectors = Within(s.words[7], 1, 360, 12);
  Decimals = Within(s.moreWords[1], 0, 19, 5);
  FieldWidth = Within(s.moreWords[0], Decimals + 2, 100, Decimals + 2);
  // Screen widths of 0 (one pixel) come back as the width commands accept them.
  AxisWidthDisplay = Within(s.moreWords[2], 0, kWordMax, 1);
  GridWidthDisplay = Within(s.moreWords[3], 0, kWordMax, 1);
  for (int k = 0; k < 5; ++k) {
    const int index = CheckColourIndex(ColourSlots[static_cast<std::size_t>(kRangeColourSlots[k])]);
    ColourTable[static_cast<std::size_t>(index)] = s.colours[static_cast<std::size_t>(k)];
  }
  BuildGreyTables();
  UpdateView();
  EvViewNotify(0);
}

}  // namespace kv
