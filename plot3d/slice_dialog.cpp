#include "plot3d/slice_dialog.h"

#include <algorithm>

#include "core/number_text.h"
#include "platform/resources.h"
#include "plot3d/model/value_animation.h"
#include "plot3d/plot_r_win.h"
#include "shell/text_helpers.h"

namespace kv {

namespace {

constexpr int kStrSlices = 155;        // "Schnitte"
constexpr int kStrCurrentValue = 345;  // "aktueller x-Wert"
constexpr int kMessageNameTaken = 122;
constexpr std::size_t kValueTextLimit = 30;

// String 345 with its x replaced by the letter.
std::string CurrentValueLabel(char letter) {
  std::string s = plat::res::String(kStrCurrentValue);
  const std::size_t x = s.find("x-");
  if (x != std::string::npos) s[x] = letter;
  return s;
}

// The letters of a surface's two parameters.
std::pair<char, char> ParameterLetters(int kind) {
  if (kind == kKindSurface) return {'x', 'y'};
  if (kind == kKindCylinderSurface) return {'r', 't'};
  return {'t', 'u'};
}

}  // namespace

TSliceDlg::TSliceDlg(TPlotRWin& window)
    : TComboDlg(window, "SLICER",
                {kKindSurface, kKindCylinderSurface, kKindParametricSurface, kKindTube, kKindRevolution, kKindPlane,
                 kKindSphericalSurface}),
      plot_(window) {
  // No OK button: Enter in a value edit takes the typed values.
  SetEnterSendsOk(true);
}

const plat::CommandTable& TSliceDlg::Commands() const {
  using D = TSliceDlg;
  static const auto table = plat::CommandTable::Build<D>(&TComboDlg::Commands(), {
                                                                                     {kSliceAutoReverse1, &D::CmAutoReverse1},
                                                                                     {kSliceAutoCycle1, &D::CmAutoCycle1},
                                                                                     {kSliceAutoReverse2, &D::CmAutoReverse2},
                                                                                     {kSliceAutoCycle2, &D::CmAutoCycle2},
                                                                                     {kSlicePlane, &D::CmPlane, &D::CeAddOne},
                                                                                     {kSliceCross, &D::CmCross, &D::CeAddTwo},
                                                                                 });
  return table;
}

int TSliceDlg::Steps() const { return plot_.SliderStepCount(0); }

void TSliceDlg::SetupScrollBars() {
  const int n = Steps();
  const int page = plot_.SliderPageCount(0);
  for (int id : {kSliceScroll1, kSliceScroll2}) {
    SetScrollRange(id, 0, n);
    SetScrollPage(id, page);
  }
}

void TSliceDlg::SetupControls() {
  SetupScrollBars();
  SetScrollPos(kSliceScroll1, Steps() / 2);
  SetScrollPos(kSliceScroll2, Steps() / 2);
  SetCheck(kSliceFixed, true);
  SetCheck(kSliceAnimated, false);
  for (int id : {kSliceLetter1, kSliceLetter2}) {
    ListClear(id);
    for (int row = 0; row < kSliceLetterRows; ++row) ListAdd(id, std::string(1, SliceLetter(row)));
  }
  ListSetSel(kSliceLetter1, 0);
  ListSetSel(kSliceLetter2, 1);
  std::string name;
  GetFileNamePart(name, plot_.FileData.FileName);
  SetCaption(plat::res::String(kStrSlices) + " [" + name + "]");
  ShowLines();
}

void TSliceDlg::SelectionChanged() {
  if (busy_) return;
  const int i = SelectedEquation();
  if (!plot_.IsValidIndex(i)) return;
  const TEquation& e = plot_.Equation(i);
  lower1_ = e.lowerBound.x;
  lower2_ = e.lowerBound.y;
  upper1_ = e.upperBound.x;
  upper2_ = e.upperBound.y;
  value1_ = ValueAtPosition(GetScrollPos(kSliceScroll1), lower1_, upper1_, Steps());
  value2_ = ValueAtPosition(GetScrollPos(kSliceScroll2), lower2_, upper2_, Steps());
  UpdateLabels();
  ShowLines();
}

void TSliceDlg::EvControl(int id, int notification) {
  if (notification == plat::SB_CHANGED && (id == kSliceScroll1 || id == kSliceScroll2)) {
    OnScroll(id == kSliceScroll1 ? 1 : 2);
    return;
  }
  TComboDlg::EvControl(id, notification);
}

void TSliceDlg::OnScroll(int k) {
  long double& v = k == 1 ? value1_ : value2_;
  v = ValueAtPosition(GetScrollPos(k == 1 ? kSliceScroll1 : kSliceScroll2), Lower(k), Upper(k), Steps());
  ShowLines();
  SetItemText(k == 1 ? kSliceValue1 : kSliceValue2, FormatNumber(v, plot_.FieldWidth, plot_.Decimals));
}

void TSliceDlg::UpdateLabels() {
  SetItemText(kSliceValue1, FormatNumber(value1_, plot_.FieldWidth, plot_.Decimals));
  SetItemText(kSliceValue2, FormatNumber(value2_, plot_.FieldWidth, plot_.Decimals));
  const auto [a, b] = ParameterLetters(SelectedKind());
  SetItemText(kSliceValueLabel1, CurrentValueLabel(a));
  SetItemText(kSliceValueLabel2, CurrentValueLabel(b));
  SetItemText(kSliceLineLabel1, std::string(1, a) + " <--");
  SetItemText(kSliceLineLabel2, std::string(1, b) + " <--");
}

bool TSliceDlg::ReadValues() {
  long double v1 = 0;
  long double v2 = 0;
  std::string t1 = GetItemText(kSliceValue1);
  std::string t2 = GetItemText(kSliceValue2);
  t1.resize(std::min(t1.size(), kValueTextLimit));
  t2.resize(std::min(t2.size(), kValueTextLimit));
  if (plot_.TextToValue(t1, v1) != 0 || plot_.TextToValue(t2, v2) != 0) return false;
  // A bound pair the wrong way round must not make clamp undefined.
  value1_ = std::clamp(v1, std::min(lower1_, upper1_), std::max(lower1_, upper1_));
  value2_ = std::clamp(v2, std::min(lower2_, upper2_), std::max(lower2_, upper2_));
  SetPositions();
  return true;
}

void TSliceDlg::SetPositions() {
  SetScrollPos(kSliceScroll1, PositionOfValue(value1_, lower1_, upper1_, Steps()));
  SetScrollPos(kSliceScroll2, PositionOfValue(value2_, lower2_, upper2_, Steps()));
}

void TSliceDlg::Recalculate() {
  if (!ReadValues()) plot_.ShowMessageById(1);  // "unverständlich"
  ShowLines();
}

void TSliceDlg::Refresh() {
  if (!IsCreated()) return;
  SetupScrollBars();
  ReadValues();
  if (!IsHidden()) ShowLines();
}

void TSliceDlg::ShowLines() {
  TSliceOverlay& o = plot_.Overlays.slice;
  o.shown = !IsHidden();
  o.equation = SelectedEquation();
  o.value1 = value1_;
  o.value2 = value2_;
  plot_.RedrawOverlays();
}

void TSliceDlg::Open() {
  Reveal();
  BringToTop();
  ShowLines();
}

void TSliceDlg::RefreshPlot() {
  plot_.Overlays.slice.shown = false;
  TComboDlg::RefreshPlot();
}

void TSliceDlg::Animate(int k, bool reverse) {
  TSliceOverlay& o = plot_.Overlays.slice;
  long double& shown = k == 1 ? o.value1 : o.value2;
  Show(plat::SW_HIDE);
  // The loop writes the value the overlay pass draws.
  o.shown = true;
  o.equation = SelectedEquation();
  o.value1 = value1_;
  o.value2 = value2_;
  plot_.AnimateValue(Lower(k), shown, Upper(k), reverse, Steps());
  (k == 1 ? value1_ : value2_) = shown;
  Show(plat::SW_SHOW);
  UpdateLabels();
  SetScrollPos(k == 1 ? kSliceScroll1 : kSliceScroll2, PositionOfValue(shown, Lower(k), Upper(k), Steps()));
  ShowLines();
}

void TSliceDlg::AddSlice(bool cross) {
  int letter1 = SliceLetterParameter(ListGetSel(kSliceLetter1));
  int letter2 = SliceLetterParameter(ListGetSel(kSliceLetter2));
  if (IsChecked(kSliceAnimated)) {
    if (letter1 == letter2) {
      plot_.ShowMessageById(kMessageNameTaken);
      return;
    }
    plot_.Tables().value.SetRealPart(static_cast<std::size_t>(letter1), value1_);
    plot_.Tables().value.SetRealPart(static_cast<std::size_t>(letter2), value2_);
  } else {
    // "Fest": no first letter, so both values stay the numbers shown; the
    // second letter is kept with the entry all the same.
    letter1 = 0;
  }
  busy_ = true;
  if (cross)
    plot_.AddSliceCrossItem(SelectedEquation(), value1_, value2_, letter1, letter2);
  else
    plot_.AddSliceItem(SelectedEquation(), value1_, value2_, letter1, letter2);
  busy_ = false;
  UpdateButtons();
}

void TSliceDlg::CeAddOne(plat::CommandEnabler& ce) { ce.Enable(plot_.equationCount < plot_.equationCapacity); }

void TSliceDlg::CeAddTwo(plat::CommandEnabler& ce) { ce.Enable(plot_.equationCount + 1 < plot_.equationCapacity); }

}  // namespace kv
