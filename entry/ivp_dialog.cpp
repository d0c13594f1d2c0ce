#include "entry/ivp_dialog.h"

#include <array>
#include <cmath>
#include <iterator>

#include "core/number_text.h"
#include "entry/plot1_win.h"
#include "formula/formula_codes.h"
#include "platform/resources.h"
#include "shell/col_win.h"
#include "shell/text_helpers.h"

namespace kv {

namespace {

constexpr int kStrAwp = 168;           // "AWP"
constexpr int kStrDeleteAll = 169;     // "jedes AWP löschen?"
constexpr int kStrCareful = 2;         // "Vorsicht!"
constexpr std::size_t kEditChars = 255;
// The list lines of the items are cut at this length.
constexpr std::size_t kReportChars = 1999;

}  // namespace

TIvpDlg::TIvpDlg(TPlot1Win& window, const std::string& templateName, int kind, std::int16_t* openIndex)
    : TComboDlg(window, templateName, {kind}), kind_(kind), openIndex_(openIndex) {
  includeDerived = 1;
  colourWindow = 1;
}

const plat::CommandTable& TIvpDlg::Commands() const {
  using D = TIvpDlg;
  static const auto table = plat::CommandTable::Build<TIvpDlg>(
      &TComboDlg::Commands(), {
                                  {kIdIvpDraw, &D::CmDraw},
                                  {kIdIvpFollow, &D::CmFollow},
                                  {kIdIvpColour, &D::CmColour},
                                  {kIdIvpTable, &D::CmTable, &D::CeItem},
                                  {kIdIvpDelete, &D::CmDelete, &D::CeItem},
                                  {kIdIvpDeleteAll, &D::CmDeleteAll, &D::CeItem},
                              });
  return table;
}

void TIvpDlg::FileSaved() {
  std::string title;
  GetFileNamePart(title, window_.FileData.FileName);
  SetCaption(plat::res::String(kStrAwp) + " [" + title + "]");
}

void TIvpDlg::SetupWindow() {
  threeD_ = window_.dimension == 3 ? 1 : 0;
  TComboDlg::SetupWindow();
  if (window_.IsColourWindowVisible()) window_.ChooseColourForSlot(kTrajectoryColourSlot);
  FileSaved();
  SetCheck(kIdIvpKeepTexts, false);
  if (!threeD_ && zEdit_) {
    ShowItem(kIdIvpStartZ, false);
    ShowItem(kIdIvpLabelZ, false);
  }
  if (window_.ComplexMode()) {
    // One complex start value z = x + iy.
    ShowItem(kIdIvpStartY, false);
    ShowItem(kIdIvpLabelY, false);
    SetItemText(kIdIvpLabelX, "z =");
  }
  SetItemText(kIdIvpPenWidth, "1");
  // Value reports are long: the list scrolls sideways over them.
  ListSetHorizontalExtent(kIdIvpItems, 1000);
  UpdateButtons();
}

void TIvpDlg::EvControl(int id, int notification) {
  if (id == kIdIvpItems && notification == plat::LBN_SELCHANGE) {
    const int row = ListGetSel(kIdIvpItems);
    const int e = SelectedEquation();
    if (row >= 0 && window_.IsValidIndex(e) && row < static_cast<int>(window_.Equation(e).items.size()))
      currentItem_ = row;
    ShowItem();
    UpdateButtons();
    window_.Invalidate(false);
    return;
  }
  TComboDlg::EvControl(id, notification);
}

void TIvpDlg::SelectionChanged() {
  RefillItems();
  if (openIndex_) *openIndex_ = static_cast<std::int16_t>(SelectedEquation());
  ShowItem();
  UpdateButtons();
}

void TIvpDlg::RequestRedraw() {
  // Leaving the dialog leaves the trajectory mouse mode too.
  window_.MouseMode = kCmMouseCoordinates;
  TComboDlg::RequestRedraw();
}

void TIvpDlg::RefillItems() {
  ListClear(kIdIvpItems);
  currentItem_ = -1;
  const int i = SelectedEquation();
  if (!window_.IsValidIndex(i) || window_.Equation(i).kind != kind_) return;
  // The two solutions "beides" draws from one start differ in their
  // direction only: each line says which way its solution runs.
  const bool directed = kind_ == kKindOde || kind_ == kKindOde3D;
  for (const TEquationItem& item : window_.Equation(i).items) {
    std::string line = window_.FormatValueReport(item, kind_, window_.Decimals);
    if (directed) line += item.direction < 0 ? "  (rück)" : "  (vor)";
    if (line.size() > kReportChars) line.resize(kReportChars);
    ListAdd(kIdIvpItems, line);
  }
  if (!window_.Equation(i).items.empty()) {
    currentItem_ = 0;
    ListSetSel(kIdIvpItems, 0);
  }
}

TEquationItem* TIvpDlg::CurrentItem() {
  const int i = SelectedEquation();
  if (currentItem_ < 0 || !window_.IsValidIndex(i) || window_.Equation(i).kind != kind_) return nullptr;
  auto& items = window_.Equation(i).items;
  if (currentItem_ >= static_cast<int>(items.size())) return nullptr;
  return &*std::next(items.begin(), currentItem_);
}

bool TIvpDlg::ItemsKeepAxisCoordinates() const { return window_.ItemsKeepAxisCoordinates(kind_); }

long double TIvpDlg::ShownCoordinate(long double v, int axisBit) const {
  if (ItemsKeepAxisCoordinates() && (window_.AxisKind & axisBit)) return window_.LogAxisToValue(v);
  return v;
}

void TIvpDlg::ShowStart(const TPoint3D& p, long double t) {
  std::string text;
  window_.FormatWindowNumber(ShownCoordinate(p.x, 1), text);
  SetItemText(kIdIvpStartX, text);
  window_.FormatWindowNumber(ShownCoordinate(p.y, 2), text);
  SetItemText(kIdIvpStartY, text);
  if (zEdit_) {
    window_.FormatWindowNumber(p.z, text);
    SetItemText(kIdIvpStartZ, text);
  }
  window_.FormatWindowNumber(t, text);
  SetItemText(kIdIvpStartT, text);
}

void TIvpDlg::ShowItem() {
  const int i = SelectedEquation();
  long double t = storedT_;
  TPoint3D p = storedStart_;
  if (TEquationItem* item = CurrentItem()) {
    if (KeepsStartTexts(*item)) window_.EvaluateItemStart(*item, kind_);
    window_.ColourSlots[kTrajectoryColourSlot] = static_cast<std::int16_t>(item->pen.colour);
    p = item->start;
    t = item->paramStart;
  } else if (window_.IsValidIndex(i)) {
    window_.ColourSlots[kTrajectoryColourSlot] = static_cast<std::int16_t>(window_.Equation(i).penColour);
  }
  if (window_.IsColourWindowVisible()) window_.ColourWindow->Invalidate(true);
  start_ = p;
  ShowStart(p, t);
  SetItemText(kIdIvpDelay, std::to_string(window_.followDelay));
}

int TIvpDlg::ReadComplexEdit(int id, long double& re, long double& im) {
  std::string text = GetItemText(id);
  if (text.size() > kEditChars) text.resize(kEditChars);
  TreePtr tree;
  const int code = window_.Compile(text, tree);
  if (code != kFormulaOk) return code;
  if (!tree || !window_.Evaluate(tree.get())) return kFormulaNotUnderstood;
  re = tree->value.re;
  im = tree->value.im;
  return std::isfinite(re) && std::isfinite(im) ? kFormulaOk : kFormulaNotUnderstood;
}

int TIvpDlg::ReadNumberEdit(int id, long double& value) {
  std::string text = GetItemText(id);
  if (text.size() > kEditChars) text.resize(kEditChars);
  long double v = 0;
  const int code = window_.TextToNumber(text, v);
  if (code != 0) return code;
  if (!std::isfinite(v)) return kFormulaNotUnderstood;
  value = v;
  return 0;
}

int TIvpDlg::ReadStartPoint(TPoint3D& start, bool report) {
  auto fail = [&](int code) {
    if (report) window_.ShowMessageById(code);
    return code;
  };
  TPoint3D p{};
  long double im = 0;
  int code = ReadComplexEdit(kIdIvpStartX, p.x, im);
  if (code != 0) return fail(code);
  p.y = im;
  if (!window_.ComplexMode()) {
    code = ReadComplexEdit(kIdIvpStartY, p.y, im);
    if (code != 0) return fail(code);
  }
  if (threeD_) {
    code = ReadComplexEdit(kIdIvpStartZ, p.z, im);
    if (code != 0) return fail(code);
  }
  if (window_.LogWindowType > 0) {
    // Only positive values have a place on a logarithmic axis.
    const int axes = window_.AxisKind;
    if (((axes & 1) && !(p.x > 0)) || ((axes & 2) && !(p.y > 0))) return fail(6);
    if (ItemsKeepAxisCoordinates()) {
      if (axes & 1) p.x = std::log10(p.x);
      if (axes & 2) p.y = std::log10(p.y);
    }
  } else if (!threeD_) {
    TPoint2D shown{p.x, p.y};
    if (!window_.MoveToMappedPoint(shown)) return fail(17);  // "jenseits der Grenzen"
  }
  start = p;
  return 0;
}

void TIvpDlg::TakeStartPoint() {
  TPoint3D p;
  if (ReadStartPoint(p, false) != 0) return;
  start_ = p;
  storedStart_ = p;
  ShowItem();
}

bool TIvpDlg::ReadDrawStart(TPoint3D& start, bool follow) {
  if (ReadStartPoint(start, true) != 0) return false;
  if (!follow) return true;
  const int code = ReadDensity();
  if (code != 0) window_.ShowMessageById(code);
  return code == 0;
}

int TIvpDlg::ReadDensity() {
  const std::int32_t delay = ParseInt(GetItemText(kIdIvpDelay));
  if (delay < 1) return 14;  // "positiver Wert?"
  window_.followDelay = delay;
  return 0;
}

int TIvpDlg::ReadDelay() {
  const std::int32_t width = ParseInt(GetItemText(kIdIvpPenWidth));
  return width >= 1 && width <= 25 ? width : 1;
}

void TIvpDlg::OpenItemTable() {
  if (!CurrentItem()) return;
  window_.OpenTable(SelectedEquation(), currentItem_);
}

std::uint16_t TIvpDlg::HeadSerial(bool& hadItems) {
  const int i = SelectedEquation();
  hadItems = window_.IsValidIndex(i) && !window_.Equation(i).items.empty();
  return hadItems ? window_.Equation(i).items.front().serial : 0;
}

// The items newer than the previous head stand before it in the list.
namespace {

template <class F>
void ForNewItems(TEquation& e, std::uint16_t previousSerial, bool hadItems, F f) {
  for (TEquationItem& item : e.items) {
    if (hadItems && item.serial == previousSerial) break;
    f(item);
  }
}

}  // namespace

void TIvpDlg::KeepStartTexts(std::uint16_t previousSerial, bool hadItems) {
  const int i = SelectedEquation();
  if (!IsChecked(kIdIvpKeepTexts) || !window_.IsValidIndex(i)) return;
  std::array<std::string, 4> texts = {GetItemText(kIdIvpStartX), GetItemText(kIdIvpStartY),
                                      threeD_ ? GetItemText(kIdIvpStartZ) : std::string("0"),
                                      GetItemText(kIdIvpStartT)};
  for (std::string& t : texts)
    if (t.size() > kEditChars) t.resize(kEditChars);
  if (window_.ComplexMode()) texts[1].clear();
  ForNewItems(window_.Equation(i), previousSerial, hadItems, [&](TEquationItem& item) {
    if (KeepsStartTexts(item)) return;
    item.texts = texts;
    item.startCode = static_cast<std::int16_t>(item.startCode + 1000);
    // A text that does not compile keeps the values the item was drawn with.
    if (!window_.CompileEquationItem(item)) {
      item.startCode = static_cast<std::int16_t>(item.startCode - 1000);
      FreeEquationItemStrings(item);
    }
  });
}

bool TIvpDlg::RecolourNewItems(std::uint16_t previousSerial, bool hadItems) {
  const int i = SelectedEquation();
  if (!window_.IsValidIndex(i)) return false;
  const auto colour = static_cast<std::uint16_t>(window_.ColourSlots[kTrajectoryColourSlot]);
  bool changed = false;
  ForNewItems(window_.Equation(i), previousSerial, hadItems, [&](TEquationItem& item) {
    if (item.pen.colour == colour) return;
    item.pen.colour = colour;
    changed = true;
  });
  return changed;
}

void TIvpDlg::AfterDraw() {
  RefillItems();
  ShowItem();
  UpdateButtons();
  SetFocus();
}

void TIvpDlg::CmColour() {
  window_.ChooseColourForSlot(kTrajectoryColourSlot);
  colourChanged_ = 1;
}

void TIvpDlg::CeItem(plat::CommandEnabler& ce) { ce.Enable(currentItem_ >= 0); }

void TIvpDlg::ItemsDeleted() {
  const int i = SelectedEquation();
  RefillItems();
  ShowItem();
  UpdateButtons();
  window_.InvalidateCompanions(i);
  window_.RefreshTraceDialogs();
  window_.InvalidatePlot();
  window_.Modified = 1;
}

void TIvpDlg::CmDelete() {
  if (!CurrentItem()) return;
  auto& items = window_.Equation(SelectedEquation()).items;
  auto it = std::next(items.begin(), currentItem_);
  FreeEquationItemStrings(*it);
  items.erase(it);
  ItemsDeleted();
}

void TIvpDlg::CmDeleteAll() {
  if (!CurrentItem()) return;
  if (window_.RunMessageDialog(plat::res::String(kStrCareful), plat::res::String(kStrDeleteAll), 1) != 6) return;
  FreeEquationItemList(window_.Equation(SelectedEquation()).items);
  ItemsDeleted();
}

}  // namespace kv
