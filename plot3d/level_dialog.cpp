#include "plot3d/level_dialog.h"

#include <string>

#include "platform/resources.h"
#include "plot3d/level_win.h"
#include "plot3d/plot_r_win.h"

namespace kv {

namespace {

constexpr int kStrLevelCaption = 193;  // "Höhenlinien"

// The record keeps the level range of each axis in the second corner pair
// (values 2 and 3: minimum, maximum) and the count - 1 in the divisions.
long double& Component(TPoint3D& p, int axis) {
  return axis == kLevelAxisX ? p.x : axis == kLevelAxisY ? p.y : p.z;
}

}  // namespace

TLevelDlg::TLevelDlg(TPlotRWin* window, const std::string& templateName, int equation)
    : T3DIvpDlg(window, templateName, equation) {}

const plat::CommandTable& TLevelDlg::Commands() const {
  using D = TLevelDlg;
  static const auto table = plat::CommandTable::Build<D>(&T3DIvpDlg::Commands(), {
                                                                                    {kLevelSearch, &D::CmSearchLevel},
                                                                                    {kLevelNext, &D::CmNextLevel},
                                                                                    {kLevelPrevious, &D::CmPreviousLevel},
                                                                                    {kLevelAuto, &D::CmAutoLevels},
                                                                                    {kLevelShowCurrent, &D::CmShowCurrent},
                                                                                    {kLevelShowAll, &D::CmShowAll},
                                                                                    {kLevelAxisXButton, &D::CmChooseAxis},
                                                                                    {kLevelAxisYButton, &D::CmChooseAxis},
                                                                                    {kLevelAxisZButton, &D::CmChooseAxis},
                                                                                });
  return table;
}

void TLevelDlg::SetupWindow() {
  T3DIvpDlg::SetupWindow();
  InitControls();
}

void TLevelDlg::InitControls() {
  const TEquation* e = Record();
  std::string caption = plat::res::String(kStrLevelCaption);
  if (e) caption += " [" + window_->DescribeEquation(equation_, 999) + "]";
  SetCaption(caption);
  SetCheck(kLevelAxisXButton, false);
  SetCheck(kLevelAxisYButton, false);
  SetCheck(kLevelAxisZButton, true);
  // An explicit surface has only levels of z.
  const bool explicitSurface = e && e->kind == kKindSurface;
  ShowItem(kLevelAxisXButton, !explicitSurface);
  ShowItem(kLevelAxisYButton, !explicitSurface);
  CmChooseAxis();
  levelsDrawn_ = false;
}

TLevelRange TLevelDlg::Range() {
  TLevelRange r;
  TEquation* e = Record();
  if (!e) return r;
  r.minimum = Component(e->values[2], axis_);
  r.maximum = Component(e->values[3], axis_);
  r.current = current_;
  r.count = e->divisions[static_cast<std::size_t>(axis_ - kLevelAxisX)] + 1;
  return r;
}

void TLevelDlg::StoreRange(const TLevelRange& r) {
  TEquation* e = Record();
  if (!e) return;
  Component(e->values[2], axis_) = r.minimum;
  Component(e->values[3], axis_) = r.maximum;
  e->divisions[static_cast<std::size_t>(axis_ - kLevelAxisX)] = static_cast<std::int16_t>(r.count - 1);
  current_ = r.current;
}

void TLevelDlg::CmChooseAxis() {
  if (IsChecked(kLevelAxisXButton)) axis_ = kLevelAxisX;
  if (IsChecked(kLevelAxisYButton)) axis_ = kLevelAxisY;
  if (IsChecked(kLevelAxisZButton)) axis_ = kLevelAxisZ;
  current_ = Range().minimum;
  SetFilter(axis_);
  FillList();
  ShowFields();
}

void TLevelDlg::ShowFields() {
  const TLevelRange r = Range();
  std::string text;
  window_->FormatWindowNumber(r.minimum, text);
  SetItemText(kLevelMinimum, text);
  window_->FormatWindowNumber(current_, text);
  SetItemText(kLevelCurrent, text);
  window_->FormatWindowNumber(r.maximum, text);
  SetItemText(kLevelMaximum, text);
  SetItemText(kLevelCount, std::to_string(r.count));
}

bool TLevelDlg::ReadFields(TLevelReading mode) {
  auto field = [this](int id) {
    std::string text = GetItemText(id);
    if (text.size() > 30) text.resize(30);
    return text;
  };
  TLevelRange r;
  bool ok = window_->TextToValue(field(kLevelMinimum), r.minimum) == 0 &&
            window_->TextToValue(field(kLevelMaximum), r.maximum) == 0 &&
            window_->TextToValue(field(kLevelCurrent), r.current) == 0;
  if (ok) {
    // The count is a plain whole number.
    const std::string count = field(kLevelCount);
    std::size_t used = 0;
    try {
      const long n = std::stol(count, &used);
      ok = used > 0 && count.find_first_not_of(" ", used) == std::string::npos && n >= 2 && n <= kMaxLevelCount;
      r.count = ok ? static_cast<int>(n) : 0;
    } catch (...) {
      ok = false;
    }
  }
  if (ok) ok = CheckLevelRange(r, mode);
  if (!ok) {
    window_->ShowMessageById(1);  // "unverständlich"
    return false;
  }
  StoreRange(r);
  return true;
}

bool TLevelDlg::Send(bool mark, bool searchWithoutLimit, bool drawNow, bool keepNearLevel) {
  return window_->AddLevelCurve(equation_, axis_, current_, mark, searchWithoutLimit, drawNow, keepNearLevel) != 0;
}

void TLevelDlg::CmSearchLevel() {
  if (!ReadFields(TLevelReading::Strict)) return;
  // The levels found stay; "Verwerfen" takes back deletions only.
  if (Send(true, true, true, true)) FillList();
}

void TLevelDlg::CmNextLevel() {
  if (!ReadFields(TLevelReading::ClampUp)) return;
  current_ = NextLevel(Range());
  ShowFields();
}

void TLevelDlg::CmPreviousLevel() {
  if (!ReadFields(TLevelReading::ClampDown)) return;
  current_ = PreviousLevel(Range());
  ShowFields();
}

void TLevelDlg::CmAutoLevels() {
  if (!ReadFields(TLevelReading::ClampUp)) return;
  const TLevelRange r = Range();
  bool any = false;
  for (int i = 0; i < r.count; ++i) {
    current_ = LevelOf(r, i);
    ShowFields();
    if (Send(false, false, true, true)) any = true;
    // The stop key ends the whole run, not only one level's search.
    if (window_->LevelWin && window_->LevelWin->LastDrawStopped) break;
  }
  if (any) FillList();
  levelsDrawn_ = true;
}

void TLevelDlg::CmShowCurrent() {
  if (ReadFields(TLevelReading::Strict)) Send(false, false, false, true);
}

void TLevelDlg::CmShowAll() {
  if (ReadFields(TLevelReading::Strict)) Send(false, false, false, false);
}

void TLevelDlg::Accept() {
  window_->HideLevelWindow();
  T3DIvpDlg::Accept();
}

void TLevelDlg::Revert() {
  window_->HideLevelWindow();
  T3DIvpDlg::Revert();
}

void TLevelDlg::DeleteSelected() {
  window_->HideLevelWindow();
  T3DIvpDlg::DeleteSelected();
}

void TLevelDlg::DeleteListed() {
  window_->HideLevelWindow();
  T3DIvpDlg::DeleteListed();
}

}  // namespace kv
