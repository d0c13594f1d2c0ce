#include "entry/field_integral_dialogs.h"

#include <cstdio>
#include <string>

#include "core/text_encoding.h"
#include "entry/plot11_win.h"
#include "platform/resources.h"

namespace kv {

namespace {

constexpr int kStrRecordText = 175;   // "(links,rechts,Wert,Teilung)"
constexpr int kStrLineCaption = 349;  // "Kurvenintegral"
constexpr int kStrFluxCaption = 350;  // "Flächenintegral"
constexpr int kFieldChars = 49;
constexpr int kURowControls[] = {233, 234, 237, kFieldULower, kFieldUUpper, kFieldUParts};

std::string Count(std::int32_t n) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", static_cast<int>(n));
  return text;
}

template <class D>
void DestroyDialog(D*& d) {
  if (!d) return;
  if (!d->IsDestroyed()) d->Destroy();
  // The platform deletes no dialog: its maker does.
  delete d;
  d = nullptr;
}

}  // namespace

// ---- the line integral ----

TLineDlg::TLineDlg(TPlot11Win& window, const std::string& templateName, std::initializer_list<int> fields,
                   std::initializer_list<int> paths)
    : T2ComboDlg(window, templateName, fields, paths),
      plot_(window),
      captionId_(kStrLineCaption),
      resultCode_(kResultLineIntegral) {}

const plat::CommandTable& TLineDlg::Commands() const {
  using D = TLineDlg;
  static const auto table = plat::CommandTable::Build<D>(&TDlg::Commands(), {{kFieldCompute, &D::CmCompute}});
  return table;
}

void TLineDlg::SetupControls() {
  ShowRange(kFieldTLower, kFieldTUpper, kFieldTParts, plot_.lineRange);
  SetCaption(plat::res::String(captionId_));
}

void TLineDlg::ShowRange(int lowerId, int upperId, int partsId, const TSimpsonRange& r) {
  std::string text;
  plot_.FormatWindowNumber(r.lower, text);
  SetItemText(lowerId, text);
  plot_.FormatWindowNumber(r.upper, text);
  SetItemText(upperId, text);
  SetItemText(partsId, Count(r.parts));
  for (int id : {lowerId, upperId, partsId}) LimitText(id, kFieldChars);
}

int TLineDlg::ReadRange(int lowerId, int upperId, int partsId, TSimpsonRange& r) {
  auto field = [this](int id) { return TruncateChars(GetItemText(id), kFieldChars); };
  if (int code = plot_.TextToValue(field(lowerId), r.lower)) return code;
  if (int code = plot_.TextToValue(field(upperId), r.upper)) return code;
  if (int code = plot_.ReadBoundedInt(field(partsId), 1, 2147483647, r.parts)) return code;
  return r.upper < r.lower + 1e-16L ? 6 : 0;  // "widersprüchliche Daten"
}

int TLineDlg::ReadInputs() {
  TSimpsonRange t;
  const int code = ReadRange(kFieldTLower, kFieldTUpper, kFieldTParts, t);
  if (code == 0) plot_.lineRange = t;
  return code;
}

int TLineDlg::Integrate(long double& result, bool& gaps) {
  auto stop = [this] { return plot_.PollKey() == 'A'; };
  return LineIntegral(plot_.Engine(), plot_.Equation(SelectedEquation()), plot_.Equation(SecondEquation()),
                      plot_.lineRange, result, stop, &gaps);
}

void TLineDlg::CmCompute() {
  if (const int code = ReadInputs()) {
    plot_.ShowMessageById(code);
    return;
  }
  // Both lists must offer an entry; otherwise the inventory stays untouched.
  if (LastRow() < 0 || SecondLastRow() < 0 || !plot_.IsValidIndex(SelectedEquation()) ||
      !plot_.IsValidIndex(SecondEquation()))
    return;
  long double result = 0;
  bool gaps = false;
  const int code = Integrate(result, gaps);
  if (code == kIntegralStopped) return;
  if (code != 0) {
    plot_.ShowMessageById(code);
    return;
  }
  value_ = result;
  std::string text;
  plot_.FormatIntegral(result, gaps, text);
  SetItemText(kFieldValue, text);
  StoreResults();
  BringToTop();
}

void TLineDlg::StoreResults() {
  const TSimpsonRange& t = resultCode_ == kResultFluxIntegral ? plot_.fluxRangeT : plot_.lineRange;
  const long double values[4] = {t.lower, t.upper, value_, static_cast<long double>(t.parts)};
  const std::string text = TruncateChars(plat::res::String(kStrRecordText), kResultTextSize - 1);
  plot_.AddResultPoint(SelectedEquation(), resultCode_, values, 4, text);
  plot_.AddResultPoint(SecondEquation(), resultCode_, values, 4, text);
}

// ---- the flux ----

TFluxDlg::TFluxDlg(TPlot11Win& window, const std::string& templateName)
    : TLineDlg(window, templateName, {kKindOde3D}, {kKindParametricSurface}) {
  captionId_ = kStrFluxCaption;
  resultCode_ = kResultFluxIntegral;
}

void TFluxDlg::SetupControls() {
  for (int id : kURowControls) ShowItem(id, true);
  ShowRange(kFieldTLower, kFieldTUpper, kFieldTParts, plot_.fluxRangeT);
  ShowRange(kFieldULower, kFieldUUpper, kFieldUParts, plot_.fluxRangeU);
  SetCaption(plat::res::String(captionId_));
}

int TFluxDlg::ReadInputs() {
  TSimpsonRange t, u;
  int code = ReadRange(kFieldTLower, kFieldTUpper, kFieldTParts, t);
  if (code == 0) code = ReadRange(kFieldULower, kFieldUUpper, kFieldUParts, u);
  if (code != 0) return code;
  plot_.fluxRangeT = t;
  plot_.fluxRangeU = u;
  return 0;
}

int TFluxDlg::Integrate(long double& result, bool& gaps) {
  auto stop = [this] { return plot_.PollKey() == 'A'; };
  // The iterated sum says in the caption how to stop it.
  plot_.SetCaption(1, 0, 0);  // "Abbruch mit Taste A"
  const int code = FluxIntegral(plot_.Engine(), plot_.Equation(SelectedEquation()), plot_.Equation(SecondEquation()),
                                plot_.fluxRangeT, plot_.fluxRangeU, result, stop, &gaps);
  plot_.UpdateCaption(false);
  return code;
}

// ---- the window's openers ----

void TPlot11Win::OpenLineIntegralDialog() {
  if (!lineIntegralDlg) {
    const int d = dimension;
    lineIntegralDlg = new TLineDlg(*this, "RIEM4", {100 * d + 10}, {101 * d + 1});
    if (!lineIntegralDlg->Create()) {
      delete lineIntegralDlg;
      lineIntegralDlg = nullptr;
      ShowMessageById(3);  // "wenig Speicher...Probleme!"
      return;
    }
  }
  lineIntegralDlg->Reveal();
  lineIntegralDlg->BringToTop();
}

void TPlot11Win::OpenFluxDialog() {
  if (dimension != 3) return;
  if (!fluxDlg) {
    fluxDlg = new TFluxDlg(*this, "RIEM4");
    if (!fluxDlg->Create()) {
      delete fluxDlg;
      fluxDlg = nullptr;
      ShowMessageById(3);
      return;
    }
  }
  fluxDlg->Reveal();
  fluxDlg->BringToTop();
}

void TPlot11Win::CloseIntegralDialogs(bool all) {
  const int d = dimension;
  // Each dialog stays while one of its kinds is left.
  if (all || FindEquationOfKinds({100 * d + 10, 101 * d + 1}) < 0) DestroyDialog(lineIntegralDlg);
  if (all || FindEquationOfKinds({kKindOde3D, kKindParametricSurface}) < 0) DestroyDialog(fluxDlg);
}

}  // namespace kv
