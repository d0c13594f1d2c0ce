#include "planewin/body_dialog.h"

#include <cmath>
#include <iterator>

#include "planewin/model/planet_system.h"
#include "planewin/planet_win.h"
#include "shell/col_win.h"
#include "shell/generic_dialogs.h"
#include "shell/text_helpers.h"

namespace kv {

using namespace planet;

namespace {

constexpr int kNameLimit = 250;
constexpr int kColourCaptionLimit = 50;
constexpr int kNotifyRedraw = 1;

std::string Whole(long double v) { return std::to_string(RoundToInt(v)); }

// A whole number typed as a plain number.
bool ReadWhole(const std::string& text, int& value) {
  long double v = 0;
  if (!ParsePlainNumber(text, v) || v != std::floor(v) || std::fabs(v) > 1e9L) return false;
  value = static_cast<int>(v);
  return true;
}

// What the body fields hold, read before anything is stored.
struct TBodyValues {
  bool withState = false;
  TPoint3D position;
  TPoint3D velocity;
  long double mass = 0;  // kept only above the smallest value
  int penWidth = 0;      // kept only above 0
  std::string name;
};

// What the system fields hold.
struct TSystemValues {
  long double gravity = 0;
  long double duration = 0;
  long double positions = 0;
  long double computations = 0;
  int markerSize = 0;
};

}  // namespace

// ---- fields, command table, enablers ----

TBodyDlg::TBodyDlg(TPlotXWin* window, const std::string& templateName, int entry)
    : TDlg(window, templateName), window_(window), entry_(entry) {}

const plat::CommandTable& TBodyDlg::Commands() const {
  static const auto table = plat::CommandTable::Build<TBodyDlg>(
      &TDlg::Commands(), {
                             {kSystemAbsolute, &TBodyDlg::CmAbsolute},
                             {kBodyDelete, &TBodyDlg::CmDelete, &TBodyDlg::CeDelete},
                             {kBodyHelp, &TBodyDlg::CmHelp},
                             {kBodyColour, &TBodyDlg::CmColour},
                             {kBodyNew, &TBodyDlg::CmNew, &TBodyDlg::CeNew},
                             {kSystemCentre, &TBodyDlg::CmCentre},
                             {kSystemErase, &TBodyDlg::CmErase},
                             {kSystemMany, &TBodyDlg::CmMany},
                             {kShowStart, &TBodyDlg::CmShowState},
                             {kShowNow, &TBodyDlg::CmShowState},
                         });
  return table;
}

void TBodyDlg::CeNew(plat::CommandEnabler& ce) { ce.Enable(CanAddPlanetBody(Record())); }

void TBodyDlg::CeDelete(plat::CommandEnabler& ce) { ce.Enable(CanDeletePlanetBody(Record(), selected_)); }

void TBodyDlg::UpdateButtons() {
  EnableItem(kBodyNew, QueryCommand(kBodyNew).enabled);
  EnableItem(kBodyDelete, QueryCommand(kBodyDelete).enabled);
}

TEquation& TBodyDlg::Record() { return window_->Equation(entry_); }

TEquationItem* TBodyDlg::SelectedItem() {
  auto& items = Record().items;
  if (selected_ < 0 || selected_ >= static_cast<int>(items.size())) return nullptr;
  auto it = items.begin();
  std::advance(it, selected_);
  return &*it;
}

// ---- set-up and closing ----

void TBodyDlg::SetupWindow() {
  TDlg::SetupWindow();
  SetItemFont(kBodyList, window_->FontSlots[kListFontSlot]);
  LimitText(kBodyName, kNameLimit);
  FillBodyList();
  SelectBody(0);
  SetCheck(kShowStart, true);
  SetCheck(kShowNow, false);
  if (window_->IsColourWindowVisible()) ShowBodyColour();
  const bool space = window_->dimension >= 3;
  for (int id : {kBodyZ, kBodyVz, kBodyLabelZ, kBodyLabelVz}) ShowItem(id, space);
  TPlanetSystem s(Record());
  std::string text;
  window_->FormatWindowNumber(s.Gravity(), text);
  SetItemText(kSystemGravity, text);
  window_->FormatWindowNumber(s.Duration(), text);
  SetItemText(kSystemDuration, text);
  SetItemText(kSystemPositions, Whole(s.Positions()));
  SetItemText(kSystemComputations, Whole(s.Computations()));
  SetItemText(kSystemMarkerSize, std::to_string(s.MarkerSizeCode()));
  SetCheck(kSystemFollow, s.Follow() != 0);
  SetCheck(kSystemBoundary, s.StopAtBoundary() != 0);
  SetCheck(kSystemMarkers, s.Markers() != 0);
  ShowBody();
  UpdateButtons();
}

void TBodyDlg::Destroy() {
  ForgetColourTarget();
  if (colourWindowOpened_) window_->HideColourWindow();
  TDlg::Destroy();
}

void TBodyDlg::ForgetColourTarget() {
  if (colourTarget_ && window_->ColourWindow) window_->ColourWindow->ForgetIndex(colourTarget_);
  colourTarget_ = nullptr;
}

namespace {

// The body fields of the dialog: 0, or the message that refuses them
// (1 no plain number, 17 a pen width its field cannot hold).
int ReadBodyFields(plat::Dialog& d, bool space, TBodyValues& v) {
  long double x[6] = {0, 0, 0, 0, 0, 0};
  const int ids[6] = {kBodyX, kBodyY, kBodyZ, kBodyVx, kBodyVy, kBodyVz};
  if (v.withState) {
    for (int k = 0; k < 6; ++k) {
      if ((ids[k] == kBodyZ || ids[k] == kBodyVz) && !space) continue;
      if (!ParsePlainNumber(d.GetItemText(ids[k]), x[k])) return 1;
    }
  }
  v.position = {x[0], x[1], x[2]};
  v.velocity = {x[3], x[4], x[5]};
  if (!ParsePlainNumber(d.GetItemText(kBodyMass), v.mass)) return 1;
  if (!ReadWhole(d.GetItemText(kBodyPenWidth), v.penWidth)) return 1;
  if (v.penWidth > kMaxBodyPenWidth) return 17;
  v.name = TruncateChars(d.GetItemText(kBodyName), kNameLimit);
  return 0;
}

// The system fields: 0, the message that refuses them (1 no plain number,
// 17 a marker size outside its bounds), or -1 for a value below its
// bound, which keeps the dialog open without a message.
int ReadSystemFields(plat::Dialog& d, TSystemValues& v) {
  auto number = [&d](int id, long double& value) { return ParsePlainNumber(d.GetItemText(id), value); };
  if (!number(kSystemGravity, v.gravity) || !number(kSystemDuration, v.duration) ||
      !number(kSystemPositions, v.positions) || !number(kSystemComputations, v.computations) ||
      !ReadWhole(d.GetItemText(kSystemMarkerSize), v.markerSize))
    return 1;
  if (v.markerSize < 1 || v.markerSize > kMaxMarkerSizeCode) return 17;
  if (!(v.gravity >= kSmallestValue) || !(v.duration >= kSmallestValue) || RoundToInt(v.positions) < 1 ||
      RoundToInt(v.computations) < 1)
    return -1;
  return 0;
}

}  // namespace

bool TBodyDlg::StoreBody() {
  TBodyValues v;
  v.withState = IsChecked(kShowStart);
  if (const int code = ReadBodyFields(*this, window_->dimension >= 3, v); code != 0) {
    window_->ShowMessageById(code);
    return false;
  }
  TPlanetSystem s(Record());
  TEquationItem* item = SelectedItem();
  if (v.withState) {
    s.At(kStartPositions, selected_) = v.position;
    s.At(kStartVelocities, selected_) = v.velocity;
  }
  if (v.mass > kSmallestValue) s.At(kMasses, selected_).x = v.mass;
  if (item) {
    item->texts[3] = v.name;
    if (v.penWidth > 0) item->pen.width = static_cast<std::uint16_t>(v.penWidth);
  }
  return true;
}

bool TBodyDlg::CanClose() {
  TBodyValues body;
  body.withState = IsChecked(kShowStart);
  TSystemValues system;
  int code = ReadBodyFields(*this, window_->dimension >= 3, body);
  if (code == 0) code = ReadSystemFields(*this, system);
  if (code != 0) {
    if (code > 0) window_->ShowMessageById(code);
    return false;
  }
  StoreBody();
  TPlanetSystem s(Record());
  s.Gravity() = system.gravity;
  s.Duration() = system.duration;
  s.Step() = system.duration / RoundToInt(system.computations);
  s.Positions() = system.positions;
  s.Computations() = system.computations;
  s.MarkerSizeCode() = static_cast<std::int16_t>(system.markerSize);
  s.Follow() = IsChecked(kSystemFollow) ? 1 : 0;
  s.Markers() = IsChecked(kSystemMarkers) ? 1 : 0;
  s.StopAtBoundary() = IsChecked(kSystemBoundary) ? 1 : 0;
  return TDlg::CanClose();
}

// ---- the list and the fields ----

void TBodyDlg::EvControl(int id, int notification) {
  if (id == kBodyList && notification == plat::CBN_SELCHANGE) {
    SelectionChanged();
    return;
  }
  TDlg::EvControl(id, notification);
}

void TBodyDlg::SelectionChanged() {
  const int line = ListGetSel(kBodyList);
  if (line < 0 || line == selected_) return;
  if (!StoreBody()) {
    ListSetSel(kBodyList, selected_);
    return;
  }
  FillBodyList();
  SelectBody(line);
  ShowBody();
  UpdateButtons();
  if (window_->IsColourWindowVisible()) ShowBodyColour();
}

void TBodyDlg::FillBodyList() {
  TPlanetSystem s(Record());
  ListClear(kBodyList);
  int k = 0;
  for (const TEquationItem& item : Record().items) {
    std::string line = item.texts[3];
    if (s.IsRelative() && k == s.ReferenceIndex()) line += " *";
    ListAdd(kBodyList, line);
    ++k;
  }
}

void TBodyDlg::SelectBody(int k) {
  const int last = static_cast<int>(Record().items.size()) - 1;
  selected_ = k < 0 ? 0 : (k > last ? last : k);
  ListSetSel(kBodyList, selected_);
}

void TBodyDlg::ShowBodyState() {
  const bool start = IsChecked(kShowStart);
  TPlanetSystem s(Record());
  const TPoint3D& p = s.At(start ? kStartPositions : kPositions, selected_);
  const TPoint3D& v = s.At(start ? kStartVelocities : kVelocities, selected_);
  const std::pair<int, long double> fields[] = {{kBodyX, p.x},  {kBodyY, p.y},  {kBodyZ, p.z},
                                                {kBodyVx, v.x}, {kBodyVy, v.y}, {kBodyVz, v.z},
                                                {kBodyMass, s.Mass(selected_)}};
  const bool space = window_->dimension >= 3;
  std::string text;
  for (const auto& [id, value] : fields) {
    if ((id == kBodyZ || id == kBodyVz) && !space) continue;
    window_->FormatWindowNumber(value, text);
    SetItemText(id, text);
  }
}

void TBodyDlg::ShowBody() {
  ShowBodyState();
  if (const TEquationItem* item = SelectedItem()) {
    SetItemText(kBodyPenWidth, std::to_string(item->pen.width));
    SetItemText(kBodyName, item->texts[3]);
  }
}

void TBodyDlg::ShowBodyColour() {
  TEquationItem* item = SelectedItem();
  if (!item) return;
  const std::string caption = TruncateChars(GetItemText(kBodyName), kColourCaptionLimit);
  // The colour window edits the body's pen colour in place (the unsigned
  // index read through its signed counterpart).
  auto* index = reinterpret_cast<std::int16_t*>(&item->pen.colour);
  if (index != colourTarget_) ForgetColourTarget();
  window_->ShowColourWindow(-1, index, kNotifyRedraw, caption.c_str());
  colourTarget_ = index;
}

// ---- commands ----

void TBodyDlg::CmColour() {
  ShowBodyColour();
  colourWindowOpened_ = true;
}

void TBodyDlg::CmMany() { SetItemText(kSystemPositions, Whole(kManyPositions)); }

void TBodyDlg::CmNew() {
  // What was typed for the shown body is kept before another is shown.
  if (!StoreBody()) return;
  if (!AddPlanetBody(Record(), window_->PlanetTexts())) return;
  FillBodyList();
  SelectBody(TPlanetSystem(Record()).BodyCount() - 1);
  ShowBody();
  UpdateButtons();
  if (window_->IsColourWindowVisible()) ShowBodyColour();
}

void TBodyDlg::CmDelete() {
  if (!CanDeletePlanetBody(Record(), selected_)) return;
  const bool colourShown = window_->IsColourWindowVisible();
  if (colourTarget_ == reinterpret_cast<std::int16_t*>(&SelectedItem()->pen.colour)) ForgetColourTarget();
  DeletePlanetBody(Record(), selected_);
  FillBodyList();
  SelectBody(0);
  ShowBody();
  UpdateButtons();
  if (colourShown) ShowBodyColour();
}

void TBodyDlg::CmAbsolute() {
  TPlanetSystem s(Record());
  if (!s.IsRelative()) return;
  s.Relative() = 0;
  FillBodyList();
  SelectBody(selected_);
}

void TBodyDlg::CmCentre() {
  TPlanetSystem s(Record());
  s.Relative() = 1;
  s.SetReferenceIndex(selected_);
  FillBodyList();
  SelectBody(selected_);
}

void TBodyDlg::CmErase() {
  TPlanetSystem s(Record());
  s.Positions() = 0;
  s.Markers() = 0;
  window_->InvalidatePlot();
}

void TBodyDlg::CmHelp() { window_->ShowHelpText(window_->HelpName, ""); }

}  // namespace kv
