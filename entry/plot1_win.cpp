#include "entry/plot1_win.h"

#include <algorithm>

#include "entry/cobweb_dialog.h"
#include "entry/combo_dialog.h"
#include "entry/family_dialog.h"
#include "entry/slider_dialog.h"
#include "entry/table_win.h"
#include "shell/note_win.h"
#include "platform/app.h"
#include "platform/bitmap.h"
#include "platform/resources.h"
#include "core/constants.h"

namespace kv {

namespace {

constexpr int kStrInventory = 165;  // "Inventar"
constexpr int kStrIntegralGaps = 1171;  // " (nicht überall definiert)"

}  // namespace

TPlot1Win::TPlot1Win(plat::Window* parent, const std::string& title) : TPlot0Win(parent, title) {
  for (TDialogPosition& p : EquationDialogPositions) p = TDialogPosition{};
  // A new window's sliders have a range to move in: "@" (seconds) from 0
  // to 10, the letters from -10 to 10.  A plot file brings its own.
  TParameterTables& t = Tables();
  for (std::size_t k = 0; k < t.lower.size(); ++k) {
    if (t.lower[k].re != 0 || t.upper[k].re != 0) continue;
    t.lower[k].re = k == 0 ? 0 : -10;
    t.upper[k].re = 10;
  }
}

TPlot1Win::~TPlot1Win() = default;

const plat::CommandTable& TPlot1Win::Commands() const {
  static const auto table = plat::CommandTable::Build<TPlot1Win>(
      &TPlot0Win::Commands(),
      {
          {kCmUseDefaults, &TPlot1Win::CmUseDefaults},
          {kCmClearDrawing, &TPlot1Win::CmClearDrawing, &TPlot1Win::CeClearDrawing},
          {kCmSliderFirst, kCmSliderLast, &TPlot1Win::CmSlider},
          {kCmAllParameters, &TPlot1Win::CmAllParameters},
          {kCmTables, &TPlot1Win::CmTables, &TPlot1Win::CeTables},
          {kCmInventoryText, &TPlot1Win::CmInventoryText, &TPlot1Win::CeInventoryText},
          {kCmToggleAllPoints, &TPlot1Win::CmToggleAllPoints},
          {kCmToggleAllLabels, &TPlot1Win::CmToggleAllLabels},
          {kCmParametersAsValues, &TPlot1Win::CmParametersAsValues},
      });
  return table;
}

void TPlot1Win::UpdateMenuChecks(bool drawMenuBar) {
  if (IsCreated()) {
    if (HasMenuItem(kCmUseDefaults)) CheckMenu(kCmUseDefaults, useDefaults != 0);
    if (HasMenuItem(kCmParametersAsValues)) CheckMenu(kCmParametersAsValues, parametersAsValues != 0);
  }
  TPlot0Win::UpdateMenuChecks(drawMenuBar);
}

void TPlot1Win::EvCommandNotify(int code) {
  // Code 6: the table font changed.
  if (code == kTableFontSlot) {
    if (tableWindow_) tableWindow_->TakeTableFont();
    return;
  }
  TPlot0Win::EvCommandNotify(code);
}

void TPlot1Win::Destroy() {
  if (IsDestroyed()) return;
  for (auto& d : sliderDialogs_) {
    if (d && !d->IsDestroyed()) d->Destroy();
    d.reset();
  }
  if (tableWindow_) {
    tableWindow_->Destroy();
    tableWindow_ = nullptr;
  }
  TPlot0Win::Destroy();
}

// ---- commands ----

void TPlot1Win::CmSlider(int id) { OpenSliderDialog(id - kCmSliderFirst); }
void TPlot1Win::CmAllParameters() { OpenSliderDialog(kAllParametersDialog); }

void TPlot1Win::CmParametersAsValues() {
  parametersAsValues = parametersAsValues ? 0 : 1;
  UpdateMenuChecks(false);
}

void TPlot1Win::CmTables() { OpenEntryTable(0); }
void TPlot1Win::CeTables(plat::CommandEnabler& ce) { ce.Enable(equationCount >= 0); }

void TPlot1Win::CmUseDefaults() {
  useDefaults = useDefaults ? 0 : 1;
  UpdateMenuChecks(false);
}

void TPlot1Win::CeClearDrawing(plat::CommandEnabler& ce) { ce.Enable(!mouseMarks.empty()); }

void TPlot1Win::CmToggleAllPoints() {
  int first = -1;
  for (int i = 0; i <= equationCount && first < 0; ++i)
    if (Equation(i).kind == kKindPoint || Equation(i).kind == kKindPoint3D) first = i;
  if (first < 0) return;
  const std::uint8_t show = Equation(first).visible ? 0 : 1;
  for (int i = 0; i <= equationCount; ++i)
    if (Equation(i).kind == kKindPoint || Equation(i).kind == kKindPoint3D) Equation(i).visible = show;
  InvalidatePlot();
  EquationsChanged(true);
}

void TPlot1Win::ToggleItemLabels() {
  if (equationLabels.empty()) return;
  // Every caption takes the opposite of the first one's state.
  const std::uint8_t show = equationLabels.front().visible ? 0 : 1;
  for (TEquationLabel& l : equationLabels) l.visible = show;
  BufferValid[0] = 0;
  Invalidate(false);
}

// ---- dialogs and windows opened by the layer ----

void TPlot1Win::OpenSliderDialog(int index) {
  if (index < 0 || index > kAllParametersDialog) return;
  auto& d = sliderDialogs_[static_cast<std::size_t>(index)];
  if (!d) {
    const char* name = index == kAllParametersDialog ? "PARAMS" : index == 0 ? "TPARAM" : "SPARAM";
    d = std::make_unique<TSlideDlg>(*this, name, index);
    if (!d->Create()) {
      d.reset();
      return;
    }
  }
  d->Reveal();
  d->ShowValue();
  d->BringToTop();
  if (index == kAllParametersDialog) {
    for (int k = 1; k < kAllParametersDialog; ++k)
      if (TSlideDlg* other = SliderDialog(k)) other->ShowValue();
  } else if (index > 0) {
    if (TSlideDlg* all = SliderDialog(kAllParametersDialog)) all->ShowValue();
  }
}

void TPlot1Win::RegisterComboDialog(TComboDlg* d) {
  if (d && std::find(comboDialogs_.begin(), comboDialogs_.end(), d) == comboDialogs_.end()) comboDialogs_.push_back(d);
}

void TPlot1Win::UnregisterComboDialog(TComboDlg* d) {
  comboDialogs_.erase(std::remove(comboDialogs_.begin(), comboDialogs_.end(), d), comboDialogs_.end());
}

void TPlot1Win::RefillComboDialogs() {
  // A refill may run a tool's hook, which may open or close dialogs: walk a
  // copy and skip those that went meanwhile.
  const std::vector<TComboDlg*> dialogs = comboDialogs_;
  for (TComboDlg* d : dialogs) {
    if (std::find(comboDialogs_.begin(), comboDialogs_.end(), d) == comboDialogs_.end()) continue;
    // A point a tool adds of its own concerns the tools that work on points;
    // the others keep their lists (a refill would move a trace to the
    // nearest step of its scroll bar).
    if (toolPointFlag && !d->refillWhileToolAddsPoint) continue;
    if (d->IsCreated()) d->RefillList();
  }
}

void TPlot1Win::ClearModified() {
  const std::vector<TComboDlg*> dialogs = comboDialogs_;
  for (TComboDlg* d : dialogs)
    if (d->IsCreated()) d->FileSaved();
  TPlot0Win::ClearModified();
}

TSlideDlg* TPlot1Win::SliderDialog(int index) const {
  if (index < 0 || index >= kSliderDialogCount) return nullptr;
  const auto& d = sliderDialogs_[static_cast<std::size_t>(index)];
  return d && !d->IsDestroyed() ? d.get() : nullptr;
}

bool TPlot1Win::IsSliderDialogOpen(int index) const {
  const TSlideDlg* d = SliderDialog(index);
  return d && !d->IsHidden();
}

void TPlot1Win::RefreshSliderDialogs() {
  for (int k = 0; k < kSliderDialogCount; ++k)
    if (TSlideDlg* d = SliderDialog(k)) d->ShowValue();
}

int TPlot1Win::FrozenCopyParameter(int i) {
  if (!parametersAsValues || !IsValidIndex(i) || !IsSliderDialogOpen(kAllParametersDialog)) return -1;
  const int letter = SliderDialog(kAllParametersDialog)->Index();
  std::array<std::uint8_t, 256> tokens{};
  for (const TreePtr& t : Equation(i).trees) CollectTreeTokens(t.get(), tokens);
  return tokens[static_cast<std::uint8_t>(tok::Letter(letter))] ? letter : -1;
}

void TPlot1Win::OpenEntryTable(int i) {
  const bool items = IsValidIndex(i) && IsItemTableKind(Equation(i).kind) && !Equation(i).items.empty();
  OpenTable(i, items ? 0 : -1);
}

void TPlot1Win::OpenTable(int i, int item) {
  if (!tableWindow_) {
    tableWindow_ = new TTableWin(this);
    if (!tableWindow_->Create()) {
      delete tableWindow_;
      tableWindow_ = nullptr;
      return;
    }
  }
  tableWindow_->SetEntry(i, item);
  SetFocus();
  SetCaption(1, 0, 0);
  tableWindow_->FillTable();
  UpdateCaption(false);
  tableWindow_->ShowWindow();
}

bool TPlot1Win::OpenFamilyDialog(int i) {
  if (!IsValidIndex(i)) return false;
  TFamDlg dlg(this, "FAM", i);
  if (dlg.Execute() != 1) return false;
  TEquation& e = Equation(i);
  if (e.kind == kKindImplicit) {
    // A family of implicit curves is traced anew for every member.
    ClearEquationItems(e);
    e.webToAxis = 1;
    e.kindFlag = 0;
  }
  UpdateEquationLabel(i);
  EquationsChanged(false);
  InvalidatePlot();
  Modified = 1;
  return true;
}

bool TPlot1Win::OpenCobwebDialog(int i) {
  if (!IsValidIndex(i)) return false;
  TWebDlg dlg(this, "WEB", i);
  if (dlg.Execute() != 1) return false;
  MarkEquationTokens(i);
  EquationsChanged(false);
  InvalidatePlot();
  Modified = 1;
  return true;
}

void TPlot1Win::FormatIntegral(long double value, bool gaps, std::string& text) {
  FormatWindowNumber(value, text);
  if (gaps) text += plat::res::String(kStrIntegralGaps);
}

bool TPlot1Win::EvaluateCurvePoint(int i, TPoint3D& point) {
  if (!IsValidIndex(i)) return false;
  TEquation& e = Equation(i);
  if (!e.trees[0] || !e.trees[1]) return false;
  if (!Evaluate(e.trees[0].get()) || !Evaluate(e.trees[1].get())) return false;
  long double z = 0;
  if (dimension == 3) {
    if (!e.trees[2] || !Evaluate(e.trees[2].get())) return false;
    z = e.trees[2]->value.re;
  }
  point = {e.trees[0]->value.re, e.trees[1]->value.re, z};
  return true;
}

bool TPlot1Win::IsTreeFreeOfToken(const TExprNode* tree, int token) {
  if (!tree) return true;
  if (tree->token == token) return false;
  return IsTreeFreeOfToken(tree->child[0], token) && IsTreeFreeOfToken(tree->child[1], token);
}

std::string TPlot1Win::InventoryText() {
  constexpr std::size_t kLimit = 64000;
  std::string text;
  for (int i = 0; i <= equationCount; ++i) {
    if (!IsEquationDrawable(i)) continue;
    std::string line = DescribeEquation(i, 1999) + "\r\n";
    if (text.size() + line.size() > kLimit) break;
    text += line;
  }
  text += "-------------------------\r\n";
  const int n = Engine().UserFunctions().Count();
  for (int f = 0; f < n; ++f) {
    std::string line = Engine().DescribeUserFunction(f) + "\r\n";
    if (text.size() + line.size() > kLimit) break;
    text += line;
  }
  return text;
}

void TPlot1Win::ShowInventoryText() {
  // The listing shows the inventory in the notes window: it passes both
  // their protections.
  if (!NotesWindow || !CheckPassword(kProtectInventory | kProtectNotes)) return;
  // Notes the user wrote stay; the listing follows them.  A listing shown
  // before (at the end, unchanged) gives way to the new one.
  std::string notes = GetNotes();
  const std::size_t n = InventoryListing.size();
  if (n > 0 && notes.size() >= n && notes.compare(notes.size() - n, n, InventoryListing) == 0)
    notes.resize(notes.size() - n);
  InventoryListing = (notes.empty() ? std::string() : std::string("\r\n")) + InventoryText();
  SetNotes(notes + InventoryListing);
  std::string name;
  GetFileNamePart(name, FileData.FileName);
  NotesWindow->SetTitle(plat::res::String(kStrInventory) + " [" + name + "]");
  ShowNotes();
}

// ---- drawing ----

void TPlot1Win::DrawEquationBuffered(int i) {
  if (!IsCreated()) return;
  plat::ClientDC client(*this);
  auto fits = [this](const plat::Bitmap& b) {
    return !b.IsNull() && b.Width() == ClientWidth && b.Height() == ClientHeight;
  };
  // A family shown member by member is drawn with the whole plot, from a
  // picture without its members: drawn over the picture that shows them
  // already, its pauses would show nothing new, and "A" in a pause would
  // leave the later members of the old picture on the screen.
  const bool stepped = IsValidIndex(i) && Equation(i).visible && FamilyPlan(Equation(i)).stepped;
  // Without a valid plot picture the whole plot is drawn; it holds the new
  // entry as well.
  if (stepped || !drawn || !PlotBufferValid || !BufferValid[1] || !fits(BackBuffers[0]) || !fits(BackBuffers[1]) ||
      SettingsChanged || ClientSizeChanged()) {
    drawn = 0;
    PaintBuffered(client);
    Modified = 1;
    return;
  }
  SetFocus();
  SetCaption(1, 0, 0);
  {
    plat::BitmapDC plot(BackBuffers[1]);
    plot.SetCaps(client.Caps());
    if (IsValidIndex(i)) DrawInventoryItem(plot, i);
    // The frame over it (the 3D windows' axes and box), as a whole drawing
    // has it.
    DrawBoxFrame(plot);
  }
  BackBuffers[0] = BackBuffers[1];
  {
    plat::BitmapDC overlays(BackBuffers[0]);
    overlays.SetCaps(client.Caps());
    DrawPlot(overlays);
  }
  BufferValid[0] = 1;
  BlitBackBuffer(0, client);
  Modified = 1;
  UpdateCaption(false);
}

void TPlot1Win::RepaintNow(bool fit) {
  CloseStaleDialogs(false);
  EquationsChanged(false);
  Modified = 1;
  UpdateMenuChecks(false);
  drawn = 0;
  PlotBufferValid = 0;
  if (IsCreated()) {
    plat::ClientDC dc(*this);
    PaintBuffered(dc);
  }
  MarkUsedVariables();
}

}  // namespace kv
