#include "entry/slider_dialog.h"

#include <algorithm>
#include <cmath>

#include "entry/plot1_win.h"
#include "shell/text_helpers.h"

namespace kv {

namespace {

// Spans below this count as 1 when a value is turned into a position.
constexpr long double kTinySpan = 1e-16L;

long double SafeSpan(long double span) { return std::fabs(span) < kTinySpan ? 1.0L : span; }

// The whole number of a typed value: its integer part, one further from
// zero when the fraction is above one half (2.6 -> 3, 2.5 -> 2, -2.6 -> -3),
// so a negative value is rounded as its positive mirror is.
long double WholeNumber(long double v) {
  const long double whole = std::trunc(v);
  const long double fraction = v - whole;
  if (fraction > 0.5L) return whole + 1;
  if (fraction < -0.5L) return whole - 1;
  return whole;
}

}  // namespace

// ---- the scroll bar ----

TParamBar::TParamBar(TSlideDlg& dialog, int id, TPlot1Win& window, int index)
    : index(index),
      steps(window.SliderStepCount(index)),
      decimals(window.Decimals),
      dialog_(dialog),
      id_(id),
      window_(window) {}

void TParamBar::SetPosition(int position) {
  dialog_.SetScrollPos(id_, position);
  const auto k = static_cast<std::size_t>(index);
  TParameterTables& t = window_.Tables();
  if (!notReady && !programmatic) {
    const long double left = t.lower[k].re;
    const long double right = t.upper[k].re;
    t.value.SetRealPart(k, left + position * (right - left) / std::max(steps, 1));
    window_.RedrawEquation(index);
  }
  const long double value = static_cast<const TParameterTables&>(t).value[k].re;
  dialog_.SetItemText(kIdSliderValue, FormatNumber(value, decimals + 1, decimals));
  window_.Modified = 1;
  dialog_.Activate();
}

void TParamBar::MovePosition(int position) {
  programmatic = 1;
  SetPosition(position);
  programmatic = 0;
}

int TParamBar::Position() const { return dialog_.GetScrollPos(id_); }

void TParamBar::SetSteps(int n, int page) {
  steps = std::max(n, 1);
  dialog_.SetScrollRange(id_, 0, steps);
  dialog_.SetScrollPage(id_, std::max(page, 1));
}

// ---- the dialog ----

TSlideDlg::TSlideDlg(TPlot1Win& window, const std::string& templateName, int index)
    : TDlg(&window, templateName), window_(window), index_(std::clamp(index, 0, kAllParametersDialog)) {
  if (index_ == kAllParametersDialog) {
    index_ = 1;
    allParameters_ = 1;
  }
  steps_ = window.SliderStepCount(StepEntry());
  if (Lettered()) bar_.emplace(*this, kIdSliderBar, window, index_);
}

const plat::CommandTable& TSlideDlg::Commands() const {
  static const auto table = plat::CommandTable::Build<TSlideDlg>(
      &TDlg::Commands(), {
                             {kCmSliderLeftLimit, &TSlideDlg::SetLeftLimit},
                             {kCmSliderRightLimit, &TSlideDlg::SetRightLimit},
                             {kCmAnimateReversing, &TSlideDlg::AnimateReversing},
                             {kCmAnimateCycling, &TSlideDlg::AnimateCycling},
                         });
  return table;
}

int TSlideDlg::StepEntry() const { return allParameters_ ? kAllParametersDialog : index_; }

long double& TSlideDlg::Left() { return window_.Tables().lower[static_cast<std::size_t>(index_)].re; }
long double& TSlideDlg::Right() { return window_.Tables().upper[static_cast<std::size_t>(index_)].re; }
long double TSlideDlg::Value() const {
  return static_cast<const TParameterTables&>(window_.Tables()).value[static_cast<std::size_t>(index_)].re;
}
void TSlideDlg::SetValue(long double v) { window_.Tables().value.SetRealPart(static_cast<std::size_t>(index_), v); }
int TSlideDlg::Decimals() const { return window_.Decimals; }

int TSlideDlg::PositionOfValue() {
  return RoundToInt((Value() - Left()) * steps_ / SafeSpan(Right() - Left()));
}

void TSlideDlg::SetupWindow() {
  TDlg::SetupWindow();
  SetupControls();
}

void TSlideDlg::SetupControls() {
  if (bar_) bar_->notReady = 1;
  ReinitSlider();
  SetCaption(window_.GetCurrentValueLabel(index_));
  SetCheck(kIdSliderOption, false);
  SetItemText(kIdSliderFrames, Lettered() ? std::to_string(frames_) : std::string());
  if (allParameters_) {
    FillLetterList(*this, kIdSliderLetter, index_);
    window_.selectedParameter = static_cast<std::int16_t>(index_);
  }
  if (bar_) bar_->notReady = 0;
}

void TSlideDlg::ReinitSlider() {
  if (!bar_ || wholeNumber_) return;
  steps_ = window_.SliderStepCount(StepEntry());
  bar_->SetSteps(steps_, window_.SliderPageCount(StepEntry()));
  bar_->MovePosition(PositionOfValue());
}

void TSlideDlg::EvControl(int id, int notification) {
  if (id == kIdSliderBar && notification == plat::SB_CHANGED && bar_) {
    bar_->SetPosition(GetScrollPos(kIdSliderBar));
    return;
  }
  if (id == kIdSliderLetter && notification == plat::CBN_SELCHANGE) {
    OnLetterChange();
    return;
  }
  TDlg::EvControl(id, notification);
}

void TSlideDlg::ShowValue() {
  if (!bar_) {
    SetItemText(kIdSliderValue, FormatNumber(Value(), Decimals() + 2, Decimals()));
    Activate();
    return;
  }
  bar_->MovePosition(PositionOfValue());
}

void TSlideDlg::Activate() {
  // A hidden dialog (or one not shown yet) does not take the keys: they
  // would go to a window nobody sees.
  if (IsCreated() && !IsHidden() && IsVisible()) BringToTop();
}

std::optional<long double> TSlideDlg::ReadNumber(std::size_t maxChars, bool report) {
  std::string text = GetItemText(kIdSliderValue);
  if (text.size() > maxChars) text.resize(maxChars);
  long double v = 0;
  const int code = window_.TextToNumber(text, v);
  if (code != 0 || !std::isfinite(v)) {
    if (report) window_.ShowMessageById(code != 0 ? code : 1);
    return std::nullopt;
  }
  return v;
}

void TSlideDlg::ShowWholeNumberControls(bool show) {
  ShowItem(kIdSliderPhotosLabel, show);
  ShowItem(kIdSliderOption, show);
  ShowItem(kIdSliderFrames, show);
}

void TSlideDlg::ApplyValue() {
  std::string text = GetItemText(kIdSliderValue);
  if (text.size() > 255) text.resize(255);
  const bool toggle = !text.empty() && text.front() == '[';
  if (toggle) {
    // Whole-number steps are for single lettered sliders only.
    if (allParameters_ || !Lettered() || text.back() != ']') {
      window_.ShowMessageById(1);
      return;
    }
    text = text.substr(1, text.size() - 2);
  }
  long double value = 0;
  const int code = window_.TextToNumber(text, value);
  if (code != 0 || !std::isfinite(value)) {
    window_.ShowMessageById(code != 0 ? code : 1);
    return;
  }
  if (toggle) wholeNumber_ = wholeNumber_ ? 0 : 1;
  if (wholeNumber_) {
    value = WholeNumber(value);
    text = FormatNumber(value, 0, 0);
  }
  if (Lettered()) {
    if (value < Left()) Left() = value;
    if (value > Right()) Right() = value;
  }
  if (toggle && wholeNumber_) {
    steps_ = RoundToInt(Right() - Left());
    if (steps_ < 1) steps_ = window_.SliderStepCount(index_);
    Left() = std::trunc(Left());
    Right() = Left() + steps_;
    bar_->SetSteps(steps_, std::max(steps_ / std::max(window_.SliderPageCount(index_), 1), 1));
    bar_->decimals = 0;
    bar_->MovePosition(RoundToInt(value - Left()));
    ShowWholeNumberControls(false);
  } else if (toggle) {
    steps_ = window_.SliderStepCount(index_);
    bar_->SetSteps(steps_, window_.SliderPageCount(index_));
    bar_->decimals = Decimals();
    text = FormatNumber(value, Decimals() + 2, Decimals());
    ShowWholeNumberControls(true);
  }
  if (!wholeNumber_ && Lettered())
    bar_->MovePosition(RoundToInt((value - Left()) / SafeSpan(Right() - Left()) * steps_));
  SetValue(value);
  window_.RedrawEquation(index_);
  SetItemText(kIdSliderValue, text);
  Activate();
}

void TSlideDlg::SetLeftLimit() { SetLimit(true); }
void TSlideDlg::SetRightLimit() { SetLimit(false); }

void TSlideDlg::SetLimit(bool left) {
  if (!Lettered()) return;
  std::optional<long double> read = ReadNumber(30, false);
  if (!read) return;
  long double v = *read;
  if (!wholeNumber_) {
    if (left ? !(v < Right() - kTinySpan) : v < Left() + kTinySpan) return;
  } else {
    v = WholeNumber(v);
    if (left ? !(v <= Right() - 0.1L) : !(v >= Left() + 0.1L)) return;
    const long double span = left ? Right() - v : v - Left();
    if (span > 2147483647.0L) return;
    SetItemText(kIdSliderValue, FormatNumber(v, 0, 0));
    steps_ = RoundToInt(span);
    bar_->SetSteps(steps_, std::max(steps_ / std::max(window_.SliderPageCount(index_), 1), 1));
  }
  (left ? Left() : Right()) = v;
  SetValue(v);
  bar_->MovePosition(left ? 0 : steps_);
  Activate();
}

void TSlideDlg::OnLetterChange() {
  const int row = ListGetSel(kIdSliderLetter);
  if (row < 0) return;
  const int index = row + 1;
  if (index == index_) return;
  index_ = index;
  if (bar_) bar_->index = index;
  window_.selectedParameter = static_cast<std::int16_t>(index);
  ShowValue();
  SetCaption(window_.GetCurrentValueLabel(index_));
}

void TSlideDlg::AnimateReversing() { Animate(true); }
void TSlideDlg::AnimateCycling() { Animate(false); }

void TSlideDlg::Animate(bool reversing) {
  const bool precompute = Lettered() && !wholeNumber_ && IsChecked(kIdSliderOption);
  if (precompute) {
    std::int32_t photos = 0;
    const int code = window_.ReadBoundedInt(GetItemText(kIdSliderFrames), 3, 200, photos);
    if (code != 0) {
      window_.ShowMessageById(code);
      return;
    }
    frames_ = static_cast<std::int16_t>(photos - 1);
  }
  hasEnd_ = 0;
  window_.timeMode = (!reversing && index_ == 0) ? 1 : 0;
  if (!precompute && !reversing && index_ == 0 && IsChecked(kIdSliderOption)) {
    std::string text = GetItemText(kIdSliderFrames);
    if (text.size() > 120) text.resize(120);
    long double end = 0;
    if (window_.TextToNumber(text, end) == 0 && std::isfinite(end)) {
      endValue_ = end;
      hasEnd_ = 1;
    } else {
      window_.ShowMessageById(1);  // "unverständlich": runs without an end
    }
  }
  Show(plat::SW_HIDE);
  // The keys go to the plot window while the loop runs.
  window_.SetFocus();
  if (precompute) {
    window_.AnimateTimeParameter(index_, reversing, frames_);
  } else if (!wholeNumber_) {
    window_.AnimateParameter(index_, reversing, hasEnd_ != 0, endValue_);
  } else {
    window_.PlayPrecomputedFrames(index_, reversing, steps_);
  }
  window_.timeMode = 0;
  if (window_.IsDestroyed() || IsDestroyed()) return;
  Show(plat::SW_SHOW);
  ShowValue();
}

}  // namespace kv
