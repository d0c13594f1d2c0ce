#include "plot3d/stereogram_win.h"

#include <algorithm>
#include <cmath>

#include "platform/resources.h"
#include "plot3d/model/evaluate.h"
#include "plot3d/plot_r_win.h"
#include "shell/program_random.h"
#include "core/constants.h"
#include "shell/text_helpers.h"

namespace kv {

namespace {

constexpr int kStrStereogram = 265;  // "Stereogramm"
constexpr int kStrReady = 270;       // "fertig"

bool IsStereogramKind(int kind) { return kind == kKindSurface || kind == kKindCylinderSurface; }

}  // namespace

// ---- the window ----

TRDSWin::TRDSWin(TPlotRWin* owner, const std::string& caption) : TPlotQWin(owner, caption), owner_(owner) {
  is3D = 0;
  AxesShown = 0;
  AssignMenu("RDSMENU");
  SettingsFileName = kSettingsFileStereogram;
  FileData.FileName = caption;
  const int side = static_cast<int>(owner->ScreenWidth / 2 * 4 / 5);
  Placement = {plat::Rand() % 80, plat::Rand() % 30 + CaptionMenuHeight, std::max(side, 200), std::max(side, 200)};
}

const plat::CommandTable& TRDSWin::Commands() const {
  using W = TRDSWin;
  static const auto table = plat::CommandTable::Build<W>(&TPlotQWin::Commands(), {
                                                                                    {kCmStereogramHelp, &W::CmHelpStereogram},
                                                                                    {kCmStereogramClose, &W::CmCloseStereogram},
                                                                                });
  return table;
}

void TRDSWin::SetupWindow() {
  TPlotQWin::SetupWindow();
  if (MouseMode < kCmMouseText || MouseMode > kCmMouseCoordinates) MouseMode = kCmMouseText;
  MoveWindow(Placement.x, Placement.y, Placement.width, Placement.height);
  UpdateView();
  UpdateMenuChecks(true);
}

void TRDSWin::CmHelpStereogram() { ShowHelpText("KV3CALCH", plat::res::String(kStrStereogram)); }

bool TRDSWin::Setup() {
  const auto& s = owner_->StereogramSettings;
  settings_ = {s[0], s[1], s[2], owner_->StereogramDepth};
  MouseMode = 0;
  TPoint3D lo{Exp42, Exp42, Exp42};
  TPoint3D hi{-Exp42, -Exp42, -Exp42};
  bool any = false;
  for (int i = 0; i <= owner_->equationCount; ++i) {
    const TEquation& e = owner_->Equation(i);
    if (!IsStereogramKind(e.kind) || !e.kindFlag) continue;
    ExtendBox3D(lo, e.boxMin(), hi);
    ExtendBox3D(lo, e.boxMax(), hi);
    any = true;
  }
  hasLayout_ = false;
  if (!any) {
    // No box to lay dots over; the rows still say whether the client
    // holds a picture.
    ComputeStereogramLayout(settings_, ClientWidth, ClientHeight, lo, hi, layout_);
    return false;
  }
  if (!Printing) {
    const long double cx = (lo.x + hi.x) / 2;
    const long double cy = (lo.y + hi.y) / 2;
    const long double hx = 0.55L * (hi.x - lo.x);
    const long double hy = 0.55L * (hi.y - lo.y);
    if (hx > 0 && hy > 0) SetView(cx, cy, hx, hy, 0);
  }
  hasLayout_ = ComputeStereogramLayout(settings_, ClientWidth, ClientHeight, lo, hi, layout_);
  return hasLayout_;
}

int TRDSWin::DrawEquations(plat::DC& dc) {
  Setup();
  // A client too small for one row shows nothing.
  if (layout_.rows < 0) return 0;
  if (IsCreated()) SetFocus();
  SetCaption(1, 0, 0);
  TSeededRandom seeded(seed);
  TProgramRandom program;
  TRandomSource& random = seed != 0 ? static_cast<TRandomSource&>(seeded) : program;
  int r = 0;
  // Without a surface chosen, or with too few columns, there is no strip
  // to place dots by.
  for (int i = 0; hasLayout_ && i <= owner_->equationCount && r == 0; ++i) {
    const TEquation& e = owner_->Equation(i);
    if (IsStereogramKind(e.kind) && e.kindFlag) r = DrawLayer(dc, i, random);
  }
  // Two guide dots one strip apart under the picture help the eyes.
  const plat::Colour black = GetColour(0);
  const int row = ClientHeight - layout_.cell;
  for (long double x : {layout_.centre.x - layout_.halfStrip, layout_.centre.x + layout_.halfStrip}) {
    if (!hasLayout_) continue;
    const int px = RoundToInt(layout_.pixelsPerUnit * (x - layout_.boxMin.x));
    const int s = std::max(2, layout_.cell);
    dc.FillRect(plat::Rect{px, row, px + s, row + s}, plat::SolidBrush(black));
  }
  UpdateCaption(false);
  return r;
}

int TRDSWin::DrawLayer(plat::DC& dc, int i, TRandomSource& random) {
  TEquation& e = owner_->Equation(i);
  const plat::Colour colour = GetColour(CheckColourIndex(e.penColour));
  const plat::Brush brush = plat::SolidBrush(colour);
  TFormulaEngine& engine = owner_->Engine();
  const TEngineVariableGuard guard(engine);
  const bool savedJumps = engine.JumpDetection();
  engine.SetJumpDetection(false);
  auto height = [&](long double x, long double y, long double& z) { return StereogramHeight(engine, e, x, y, z); };
  const int s = layout_.dotSize;
  const int recorded = std::max(2, s);
  TExportSink* sink = ActiveSink();
  const int top = WorldToPixelY(World.ymax);
  auto dot = [&](int px, int row) {
    const int py = top + row * layout_.cell;
    if (sink) {
      sink->Rect(plat::Rect{px, py, px + recorded, py + recorded}, false, colour, -1, colour, 0);
    } else if (Printing) {
      dc.FillRect(plat::Rect{px, py, px + recorded, py + recorded}, brush);
    } else if (s == 1) {
      dc.SetPixel(px, py, colour);
    } else {
      dc.FillRect(plat::Rect{px, py, px + s, py + s}, brush);
    }
  };
  const std::string description = owner_->DescribeEquation(i, 999);
  auto rowDone = [&](int row) {
    if (Printing && layout_.rows > 0) {
      const int p = RoundToInt(std::floor(row * 100.0L / layout_.rows));
      const int q = RoundToInt((row - 1) * 100.0L / layout_.rows);
      if (p > 0 && p != q && row < layout_.rows)
        SetCaption(description + " " + std::to_string(p) + "% " + plat::res::String(kStrReady));
    }
    return StopKeyPressed();
  };
  const bool complete =
      GenerateStereogramLayer(layout_, height, e.boxMin().z, e.boxMax().z, World.ymax, random, dot, rowDone);
  engine.SetJumpDetection(savedJumps);
  engine.ClearEvaluationError();
  if (Printing) UpdateCaption(false);
  return complete ? 0 : 'A';
}

// ---- the dialog ----

TRDSDlg::TRDSDlg(TPlotRWin* window, const std::string& templateName) : TDlg(window, templateName), window_(window) {}

const plat::CommandTable& TRDSDlg::Commands() const {
  static const auto table = plat::CommandTable::Build<TRDSDlg>(&TDlg::Commands(), {
                                                                                     {kStereogramDraw, &TRDSDlg::CmDraw},
                                                                                 });
  return table;
}

void TRDSDlg::SetupWindow() {
  TDlg::SetupWindow();
  SetItemFont(kStereogramList, window_->FontSlots[kListFontSlot]);
  // Long descriptions scroll sideways.
  ListSetHorizontalExtent(kStereogramList, 1000);
  FillList();
  const auto& s = window_->StereogramSettings;
  SetItemText(kStereogramDensity, std::to_string(s[0]));
  SetItemText(kStereogramStrips, std::to_string(s[1]));
  SetItemText(kStereogramDotSize, std::to_string(s[2]));
  std::string depth;
  window_->FormatWindowNumber(window_->StereogramDepth, depth);
  SetItemText(kStereogramDepth, depth);
}

void TRDSDlg::FillList() {
  ListClear(kStereogramList);
  rows_.clear();
  for (int i = 0; i <= window_->equationCount; ++i) {
    const TEquation& e = window_->Equation(i);
    if (!IsStereogramKind(e.kind)) continue;
    ListAdd(kStereogramList, window_->DescribeEquation(i, 999));
    rows_.push_back(i);
  }
}

int TRDSDlg::ReadSettings() {
  std::int16_t values[3] = {0, 0, 0};
  const int ids[3] = {kStereogramDensity, kStereogramStrips, kStereogramDotSize};
  for (int k = 0; k < 3; ++k) {
    std::string text = GetItemText(ids[k]);
    if (text.size() > 20) text.resize(20);
    const int code = window_->Engine().ReadBoundedShort(text, kStereogramMinSetting, kStereogramMaxSetting, values[k]);
    if (code != 0) return code;
  }
  long double depth = 0;
  std::string text = GetItemText(kStereogramDepth);
  if (text.size() > 20) text.resize(20);
  if (const int code = window_->TextToValue(text, depth); code != 0) return code;
  if (!(depth >= 1e-13L)) return 14;  // "positiver Wert?"
  window_->StereogramSettings = {values[0], values[1], values[2]};
  window_->StereogramDepth = depth;
  return 0;
}

void TRDSDlg::CmDraw() {
  int code = ReadSettings();
  if (ListCount(kStereogramList) == 1) ListSetMultiSel(kStereogramList, 0, true);
  const std::vector<int> chosen = ListGetMultiSel(kStereogramList);
  if (code == 0 && chosen.empty()) code = 15;  // "Auswahl treffen"
  if (code != 0) {
    window_->ShowMessageById(code);
    return;
  }
  for (int i : rows_)
    if (window_->IsValidIndex(i)) window_->Equation(i).kindFlag = 0;
  for (int row : chosen)
    if (row >= 0 && row < static_cast<int>(rows_.size()) && window_->IsValidIndex(rows_[static_cast<std::size_t>(row)]))
      window_->Equation(rows_[static_cast<std::size_t>(row)]).kindFlag = 1;
  window_->ShowStereogramWindow();
}

}  // namespace kv
