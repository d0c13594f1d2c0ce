#include "entry/point_set_dialog.h"

#include <cstdlib>
#include <string>

#include "entry/equation_dialog.h"
#include "entry/plot11_win.h"
#include "platform/resources.h"
#include "shell/text_helpers.h"

namespace kv {

namespace {

constexpr int kStrPoints = 279;       // "Punkte"
constexpr int kStrCartesian = 283;    // "Kartesisch"
constexpr int kStrCylindrical = 253;  // "Zylinderkoord"
constexpr int kStrSpherical = 277;    // "Kugelkoord"
constexpr int kStrLine = 1197;        // "Zeile "

// A whole number, or false.
bool ReadInt(const std::string& text, long& value) {
  char* end = nullptr;
  value = std::strtol(text.c_str(), &end, 10);
  if (end == text.c_str()) return false;
  while (*end == ' ') ++end;
  return *end == 0;
}

}  // namespace

TManyPtDlg::TManyPtDlg(TPlot11Win& window) : TDlg(&window, "MANYPTS"), plot_(window) {}

const plat::CommandTable& TManyPtDlg::Commands() const {
  static const auto table = plat::CommandTable::Build<TManyPtDlg>(
      &TDlg::Commands(), {
                             {kManyShow, &TManyPtDlg::OnShow},
                             {kManyColour, &TManyPtDlg::CmColour},
                             {kManyCartesian, kManySpherical, &TManyPtDlg::OnSystem},
                         });
  return table;
}

void TManyPtDlg::SetupWindow() {
  TDlg::SetupWindow();
  const bool space = plot_.dimension == 3;
  InitEquation(prototype_, space ? kKindPoint3D : kKindPoint, colour_, 50);
  prototype_.penWidth = plot_.MarkerSizeCode;
  colour_ = static_cast<std::int16_t>(prototype_.penColour);
  SetItemText(kManySize, std::to_string(prototype_.penWidth));
  SetCheck(kManyFilled, true);
  SetCheck(kManyCircle, false);
  SetCheck(kManyCartesian, true);
  SetCheck(kManyFormulas, false);
  SetCheck(kManyClipboard, true);
  const char* texts[] = {"2.54", "1.047", "0.785"};
  for (int k = 0; k < 3; ++k) SetItemText(kManyFirstText + k, texts[k]);
  SetItemText(kManyFrom, "1");
  SetItemText(kManyTo, "10");
  SetItemText(kManyRoles, "");
  if (!space) {
    ShowItem(kManySpherical, false);
    ShowItem(kManyFirstLabel + 2, false);
    ShowItem(kManyFirstText + 2, false);
  }
  ListClear(kManyLetter);
  for (char c = 'A'; c <= 'Z'; ++c) ListAdd(kManyLetter, std::string(1, c));
  ListSetSel(kManyLetter, 13);  // N
  SetItemText(kManyCartesian, space ? plat::res::String(kStrCartesian) : "(x;y)");
  SetItemText(kManyPolar, space ? plat::res::String(kStrCylindrical) : "(r;t)");
  SetItemText(kManySpherical, space ? plat::res::String(kStrSpherical) : "");
  ShowCoordinateLabels();
  std::string name;
  GetFileNamePart(name, plot_.FileData.FileName);
  SetCaption(plat::res::String(kStrPoints) + " [" + name + "]");
}

void TManyPtDlg::OnSystem(int id) {
  SetCheck(kManyCartesian, id == kManyCartesian);
  SetCheck(kManyPolar, id == kManyPolar);
  SetCheck(kManySpherical, id == kManySpherical);
  ShowCoordinateLabels();
}

void TManyPtDlg::ShowCoordinateLabels() {
  static const char* const labels[3][3] = {
      {"x =", "y =", "z ="}, {"r =", "theta =", "z ="}, {"rho =", "theta =", "phi ="}};
  const int system = IsChecked(kManySpherical) ? 2 : IsChecked(kManyPolar) ? 1 : 0;
  for (int k = 0; k < 3; ++k) SetItemText(kManyFirstLabel + k, labels[system][k]);
}

int TManyPtDlg::ReadFields() {
  TEquation& p = prototype_;
  p.penStyle = IsChecked(kManyCircle) ? 1 : 0;
  p.interpolated = IsChecked(kManyAnchor) ? 1 : 0;
  std::int16_t roles = 0;
  if (ParseVariableRoles(GetItemText(kManyRoles).substr(0, 30), roles) != 0) return 1;  // "unverständlich"
  p.subKind = roles;
  long size = 0;
  if (!ReadInt(GetItemText(kManySize), size) || size < 1 || size > 100) return 17;
  p.penWidth = static_cast<std::int16_t>(size);
  long from = 0, to = 0;
  if (!ReadInt(GetItemText(kManyFrom), from) || !ReadInt(GetItemText(kManyTo), to) || from < -32768 ||
      to > 32767 || from > 32767 || to < -32768)
    return 17;
  // Runs are bounded by the inventory; a longer one adds points until it is full.
  p.auxValue3 = static_cast<std::int16_t>(from);
  p.auxValue4 = static_cast<std::int16_t>(to);
  p.familyLetter = static_cast<std::int16_t>(ListGetSel(kManyLetter) + 1);
  if (p.familyLetter < 1) p.familyLetter = 14;
  if (!IsChecked(kManyClipboard) && to < from) return 6;
  for (int k = 0; k < 3; ++k) p.formulaText[static_cast<std::size_t>(k)] = GetItemText(kManyFirstText + k).substr(0, 255);
  const int system = IsChecked(kManySpherical) ? 2 : IsChecked(kManyPolar) ? 1 : 0;
  p.arrowMode = static_cast<std::int16_t>(system);
  if (plot_.dimension != 3) p.polarInput = system > 0 ? 1 : 0;
  p.penColour = static_cast<std::uint16_t>(colour_);
  return 0;
}

int TManyPtDlg::CmShow() {
  int code = ReadFields();
  int badLine = 0;
  if (code == 0) {
    if (IsChecked(kManyClipboard)) {
      code = plot_.PastePointList(prototype_, &badLine);
    } else {
      TEquation run;
      CopyEquation(run, prototype_);
      code = plot_.BuildPointEquationText(run);
    }
  }
  if (code > 0) {
    // A malformed pasted number names its line in the title.
    const std::string title = badLine > 0 ? plat::res::String(kStrLine) + std::to_string(badLine) : std::string();
    plot_.ShowMessageById(code, badLine > 0 ? title.c_str() : nullptr);
  }
  return code;
}

void TManyPtDlg::CmColour() {
  plot_.ShowColourWindow(kStrPoints, &colour_, 0, nullptr);
  colourChosen_ = 1;
}

void TManyPtDlg::CmCancel() {
  if (colourChosen_) plot_.HideColourWindow();
  Hide();
}

}  // namespace kv
