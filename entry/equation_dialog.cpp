#include "entry/equation_dialog.h"

#include <algorithm>
#include <cstdio>

#include "entry/plot1_win.h"
#include "platform/resources.h"
#include "plotcore/model/revolution_sliders.h"
#include "plotcore/model/revolution_surface.h"
#include "shell/col_win.h"
#include "shell/generic_dialogs.h"

namespace kv {

namespace {

std::vector<int> Range(int first, int last) {
  std::vector<int> v;
  for (int id = first; id <= last; ++id) v.push_back(id);
  return v;
}

std::vector<int> Join(std::initializer_list<std::vector<int>> parts) {
  std::vector<int> v;
  for (const auto& p : parts) v.insert(v.end(), p.begin(), p.end());
  return v;
}

const std::vector<TEquationControls>& ControlTable() {
  static const std::vector<TEquationControls> table = [] {
    const std::vector<int> surfaceChecks{272, 274, 275, 276};
    const std::vector<int> bounds2{219, 220, 221, 222, 223, 224};
    return std::vector<TEquationControls>{
        {201, {212, 215, 221, 223, 227}, {271, 272}, {}, {}},
        {202, {213, 215, 221, 223, 227}, {272}, {}, {}},
        {203, {211, 212, 215, 221, 223, 227, 234, 235}, {271, 276}, {}, {}},
        {204, {214, 218, 227}, {271, 272, 273, 274}, {}, {}},
        {205, {211, 212, 213, 214, 227, 235}, {275}, Range(251, 257), Range(281, 284)},
        {206, {212, 215, 221, 223, 227}, {271}, {}, {}},
        {207, {215, 221, 223, 227, 234, 235, 236}, {}, {251, 252}, {}},
        {208, {211, 212, 213, 227}, {}, {251, 252, 253}, {}},
        {209, {211, 212, 213, 214, 227}, {275}, {251, 252}, {281, 282, 283}},
        {210, {211, 212, 214, 215, 225, 226, 227}, {272, 274, 276}, {251, 252, 253}, {}},
        {211, {213, 225, 226, 227}, {274}, {251, 252}, {}},
        {212, {211, 212}, {271, 274, 276}, {}, {281, 282}},
        {213, {212, 215, 221, 223, 225, 227}, {271, 272}, {}, {}},
        {215, {214, 227}, {}, {}, {281}},
        {218, {211, 212, 216, 217, 227, 235}, {272, 276}, {}, {}},
        {301, Join({{213, 216, 217}, bounds2, {227}}), surfaceChecks, {}, {}},
        {302, Join({{213, 216, 217}, bounds2, {227}}), surfaceChecks, {}, {}},
        {303, Join({{211, 212, 213, 216, 217}, bounds2, {227}}), surfaceChecks, {}, {}},
        {304, {211, 212, 213, 219, 221, 223, 227, 234, 235}, {271}, {}, {}},
        {305, {218, 227}, {}, {}, {}},
        {306, Join({Range(211, 214), {216, 217}, bounds2, {227}}), surfaceChecks, {}, {}},
        {307, Join({{211, 212, 213, 216, 217}, bounds2, {227, 234, 235, 236}}), surfaceChecks, {}, Range(281, 291)},
        {308, Join({Range(211, 216), {219, 227, 235}}), {}, Range(251, 254), {}},
        {309, {211, 212, 213, 214, 227}, {275}, {251, 252}, {281, 282, 283}},
        {310, Join({Range(211, 215), {225, 226, 227}}), {271, 272, 276}, {}, {}},
        {312, {211, 212, 213}, {271, 276}, {}, {}},
        {315, Join({Range(211, 217), bounds2, {227}}), surfaceChecks, {}, {}},
        {316, Join({{214, 216, 217}, bounds2, {227}}), surfaceChecks, {}, {}},
        {401, {211}, {}, {}, {}},
        {402, {211, 212}, {}, {}, {}},
    };
  }();
  return table;
}

bool Contains(const std::vector<int>& v, int id) { return std::find(v.begin(), v.end(), id) != v.end(); }

std::string IntText(long v) { return std::to_string(v); }

std::string Trimmed(std::string s) {
  const auto a = s.find_first_not_of(' ');
  if (a == std::string::npos) return {};
  const auto b = s.find_last_not_of(' ');
  return s.substr(a, b - a + 1);
}

// A value in the shortest form that reads back the same.
std::string ShortNumber(long double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15Lg", v);
  return buf;
}


}  // namespace

bool IsSurfaceDialogKind(int kind, const TEquation& e) {
  switch (kind) {
    case 301:
    case 302:
    case 303:
    case 306:
    case 315:
    case 316:
      return true;
    case 307:
      return e.subKind != kKindImplicit;
    default:
      return false;
  }
}

const TEquationControls* EquationControls(int dialogKind) {
  for (const TEquationControls& c : ControlTable())
    if (c.kind == dialogKind) return &c;
  return nullptr;
}

std::vector<int> EquationDialogKinds() {
  std::vector<int> v;
  for (const TEquationControls& c : ControlTable()) v.push_back(c.kind);
  return v;
}

int HelpTopicStringId(int dialogKind) { return 1000 + dialogKind; }

// ---- bound markers ----

std::string BoundMarkerSuffix(int first, int second) {
  if (first == 0 && second == 0) return {};
  std::string s = "@";
  if (second < 0) s += "@@";
  if (second > 0) s += "@@@";
  if (first > 0) s += "@";
  s += IntText(std::abs(first) + std::abs(second));
  return s;
}

void SplitBoundMarkers(std::string& text, int& first, int& second) {
  first = 0;
  second = 0;
  const auto at = text.find('@');
  if (at == std::string::npos) return;
  std::size_t k = at;
  int count = 0;
  while (k < text.size() && text[k] == '@') {
    ++count;
    ++k;
  }
  const std::string rest = Trimmed(text.substr(k));
  if (count > 4 || rest.empty()) return;
  for (char c : rest)
    if (c < '0' || c > '9') return;  // a negative or no whole number
  int v = rest.size() > 3 ? 20 : std::stoi(rest);
  if (v > 20) v = 20;
  switch (count) {
    case 1: first = -v; break;
    case 2: first = v; break;
    case 3: second = -v; break;
    default: second = v; break;
  }
  text.resize(at);
}

// ---- the dialog ----

TEditExmpDlg::TEditExmpDlg(TPlot1Win* window, const std::string& templateName, int index, int* mask,
                           TDialogPosition* position)
    : TDlg(window, templateName, position), window_(window), index_(index), mask_(mask) {
  const TEquation& e = window_->Equation(index_);
  kind_ = e.kind;
  controlKind_ = IsLagrangePolynomial(e) ? kKindLagrange : kind_;
  controls_ = EquationControls(controlKind_);
}

const plat::CommandTable& TEditExmpDlg::Commands() const {
  static const auto table = plat::CommandTable::Build<TEditExmpDlg>(
      &TDlg::Commands(), {
                             {kEqColour1, &TEditExmpDlg::CmColour1},
                             {kEqColour2, &TEditExmpDlg::CmColour2},
                             {kEqPenColour, &TEditExmpDlg::CmPenColour},
                             {kEqFieldColour, &TEditExmpDlg::CmFieldColour},
                             {kEqSurfaceColour, &TEditExmpDlg::CmSurfaceColour},
                             {kEqHelp, &TEditExmpDlg::CmHelp},
                             {272, &TEditExmpDlg::CmParametricCaption},
                             {276, &TEditExmpDlg::CmParametricCaption},
                         });
  return table;
}

bool TEditExmpDlg::HasEdit(int id) const { return controls_ && Contains(controls_->edits, id) && HasItem(id); }
bool TEditExmpDlg::HasCheck(int id) const { return controls_ && Contains(controls_->checks, id) && HasItem(id); }
bool TEditExmpDlg::HasRadio(int id) const { return controls_ && Contains(controls_->radios, id) && HasItem(id); }
bool TEditExmpDlg::HasStatic(int id) const { return controls_ && Contains(controls_->statics, id) && HasItem(id); }
bool TEditExmpDlg::Checked(int id) const { return (HasCheck(id) || HasRadio(id)) && IsChecked(id); }

std::string TEditExmpDlg::EditText(int id) const {
  std::string s = HasEdit(id) ? GetItemText(id) : std::string();
  if (s.size() > kFormulaTextSize - 1) s.resize(kFormulaTextSize - 1);
  return s;
}

void TEditExmpDlg::SetEdit(int id, const std::string& text) {
  if (!HasEdit(id)) return;
  SetItemText(id, text);
  if (id >= 200 && id < 240) shown_[static_cast<std::size_t>(id - 200)] = GetItemText(id);
}

bool TEditExmpDlg::Unchanged(int id) const {
  return id >= 200 && id < 240 && HasEdit(id) && GetItemText(id) == shown_[static_cast<std::size_t>(id - 200)];
}

void TEditExmpDlg::SetStatic(int id, const std::string& text) {
  if (HasItem(id)) SetItemText(id, text);
}

void TEditExmpDlg::Disable(int id) {
  if (HasItem(id)) EnableItem(id, false);
}

void TEditExmpDlg::SetupWindow() {
  TDlg::SetupWindow();
  for (int id : controls_ ? controls_->edits : std::vector<int>{})
    if (HasItem(id)) LimitText(id, static_cast<int>(kFormulaTextSize) - 1);
  TPlot1Win& w = *window_;
  // "Endpunkte" appends two point entries: it needs room for both, and
  // says so when there is none.
  if (controlKind_ == kKindSegment && w.equationCount + 2 > w.equationCapacity) {
    w.ShowMessageById(4);  // "kein Platz mehr"
    Disable(275);
  }
  if (w.LogWindowType > 0) {
    switch (controlKind_) {
      case kKindParametric:
        for (int id : {271, 276, 234, 235, static_cast<int>(kEqStaticArrowSize)}) Disable(id);
        break;
      case kKindSegment:
        for (int id : {static_cast<int>(kEqStaticArrowSize), 254, 255, 256, 257, static_cast<int>(kEqStaticArrow), 235})
          Disable(id);
        break;
      case kKindPoint:
        Disable(275);
        Disable(214);
        break;
      case kKindSequence:
        Disable(271);
        Disable(276);
        break;
      default:
        break;
    }
  }
  CopyEquation(work_, w.Equation(index_));
  w.ColourSlots[6] = work_.sideColour1;
  w.ColourSlots[7] = work_.sideColour2;
  w.ColourSlots[8] = static_cast<std::int16_t>(work_.penColour);
  if (kind_ == kKindOde || kind_ == kKindOdeDyDx || kind_ == kKindOde3D) w.ColourSlots[9] = work_.subKind;
  FillTexts();
  FillNumbers();
  FillBounds();
  FillLabels();
  FillOptions();
  if (controlKind_ == kKindParametric) UpdateParametricCaption();
}

void TEditExmpDlg::FillTexts() {
  const auto& t = work_.formulaText;
  if (kind_ == kKindRevolution && work_.subKind == kKindSegment) {
    SetEdit(211, t[0] + ";" + t[1]);
    SetEdit(212, t[2] + ";" + t[3]);
  } else {
    for (int k = 0; k < 4; ++k) SetEdit(211 + k, t[static_cast<std::size_t>(k)]);
  }
  if (kind_ == kKindPoint || kind_ == kKindPoint3D) SetEdit(214, FormatVariableRoles(work_.subKind));
  SetEdit(218, t[4]);
  if (kind_ == kKindSegment3D || kind_ == kKindPlane) SetEdit(215, t[5]);
  if (kind_ == kKindSegment3D) SetEdit(216, t[6]);
}

void TEditExmpDlg::FillNumbers() {
  const TEquation& e = work_;
  if (kind_ != kKindSegment3D && kind_ != kKindPlane) {
    std::string d = IntText(e.stepDensity);
    if (kind_ >= kKindExplicit && kind_ <= kKindParametric && e.densityFlag && window_->FileVersion > 22) d += "@";
    SetEdit(215, d);
  }
  if (kind_ != kKindSegment3D) {
    SetEdit(216, IntText(e.divisions[0]));
    SetEdit(217, IntText(e.divisions[1]));
  }
  SetEdit(219, IntText(e.curvePoints[0]));
  SetEdit(220, IntText(e.curvePoints[1]));
  if (controlKind_ == kKindLagrange) {
    SetEdit(225, IntText(e.fieldRows));
  } else {
    // The element length in percent of the picture width (kept in tenths),
    // with the parameter that follows it: a whole percent as "%d" writes
    // it, tenths as a decimal, since OK reads the field in percent.  The
    // parameter as its letter where the reader takes one (A to W), else as
    // its number.
    std::string length = ShortNumber(static_cast<long double>(e.fieldLength) / 10);
    if (e.arrowMode > 0 && e.arrowMode <= 23) length += "@" + std::string(1, static_cast<char>('A' + e.arrowMode - 1));
    if (e.arrowMode > 23) length += "@" + IntText(e.arrowMode);
    SetEdit(225, length);
  }
  SetEdit(226, IntText(e.fieldRows));
  SetEdit(227, IntText(e.penWidth));
  switch (kind_) {
    case kKindParametric:
    case kKindSpaceCurve: {
      std::string s;
      window_->FormatWindowNumber(work_.arrowParameter(), s);
      SetEdit(234, Trimmed(s));
      SetEdit(235, IntText(e.arrowSize + 10));
      break;
    }
    case kKindSegment:
    case kKindSegment3D:
      SetEdit(235, IntText(e.arrowSize + 10));
      break;
    case kKindSum:
      SetEdit(235, IntText(e.subKind));
      break;
    case kKindRevolution: {
      // The axis a x + b y = c the curve turns about.
      const TRevolutionAxis axis = RevolutionAxisOf(e);
      SetEdit(234, ShortNumber(axis.a));
      SetEdit(235, ShortNumber(axis.b));
      SetEdit(236, ShortNumber(axis.c));
      break;
    }
    case kKindRoulette: {
      const long double factor = work_.values[5].x;
      const long double radius = factor != 0 ? 1 / factor : 1;
      SetEdit(234, ShortNumber(work_.values[4].x));
      SetEdit(235, ShortNumber(radius));
      SetEdit(236, ShortNumber(work_.values[5].y * radius));
      break;
    }
    default:
      break;
  }
}

void TEditExmpDlg::FillBounds() {
  TEquation& e = work_;
  const bool markers = ((kind_ == kKindExplicit || kind_ == kKindAntiderivative) && e.bounded) ||
                       kind_ == kKindPolar || kind_ == kKindParametric;
  // A surface of revolution with its bounds flag names the parameter that
  // holds each end of its ranges.
  const bool tied = kind_ == kKindRevolution && e.bounded;
  const long double values[4] = {e.lowerBound.x, e.lowerBound.y, e.upperBound.x, e.upperBound.y};
  for (int k = 0; k < 4; ++k) {
    std::string s;
    window_->FormatWindowNumber(values[k], s);
    s = Trimmed(s);
    if (markers && k == 0) s += BoundMarkerSuffix(static_cast<int>(e.endMarkerLeft()), static_cast<int>(e.endArrowLeft()));
    if (markers && k == 2)
      s += BoundMarkerSuffix(static_cast<int>(e.endMarkerRight()), static_cast<int>(e.endArrowRight()));
    if (const int p = tied ? RevolutionBoundParameter(e, k) : 0; p > 0) s += "@" + std::string(1, static_cast<char>('A' + p - 1));
    SetEdit(221 + k, s);
  }
  // A periodic graph shows its period instead of the interval.
  if (kind_ == kKindExplicit && e.filled) {
    std::string a;
    std::string b;
    window_->FormatWindowNumber(e.values[6].x, a);
    window_->FormatWindowNumber(e.values[6].x + e.values[6].y, b);
    SetEdit(221, Trimmed(a));
    SetEdit(223, Trimmed(b));
  }
}

void TEditExmpDlg::FillLabels() {
  const TEquation& e = work_;
  switch (kind_) {
    case kKindSegment: {
      const char* cart[4] = {"x1 =", "y1 =", "x2 =", "y2 ="};
      const char* polar[4] = {"r1 =", "t1 =", "r2 =", "t2 ="};
      for (int k = 0; k < 4; ++k) SetStatic(281 + k, e.polarInput ? polar[k] : cart[k]);
      break;
    }
    case kKindPoint: {
      std::string caption = plat::res::String(262);
      Disable(283);
      Disable(213);
      if (e.kindFlag) {
        Disable(282);
        Disable(212);
        SetStatic(281, "z = ");
        caption += " z";
      } else if (e.polarInput) {
        SetStatic(281, "r = ");
        SetStatic(282, "t = ");
        caption += " (r;t)";
      } else {
        caption += " (x;y)";
      }
      SetCaption(caption);
      break;
    }
    case kKindPoint3D: {
      std::string caption = plat::res::String(262);
      if (e.arrowMode == 1) {
        SetStatic(281, "r = ");
        SetStatic(282, "t = ");
        caption += " (r;t;z)";
      } else if (e.arrowMode == 2) {
        SetStatic(281, "rho =");
        SetStatic(282, "theta =");
        SetStatic(283, "phi =");
        caption += " (rho;theta;phi)";
      } else {
        caption += " (x;y;z)";
      }
      SetCaption(caption);
      break;
    }
    case kKindRevolution:
      if (e.subKind != kKindParametric && e.subKind != kKindSegment) {
        Disable(281);
        Disable(211);
      }
      if (e.subKind == kKindPolar || e.subKind == kKindImplicit) {
        Disable(282);
        Disable(212);
      } else {
        Disable(283);
        Disable(213);
      }
      if (e.subKind == kKindSegment) {
        // The turned segment's own form (the surface's polar byte is its
        // mesh flag).
        SetStatic(281, e.kindFlag ? "r;t" : "x;y");
        SetStatic(282, e.kindFlag ? "r;t" : "x;y");
      }
      if (e.subKind == kKindImplicit) {
        for (int id = 284; id <= 291; ++id) Disable(id);
        for (int id : {216, 217, 219, 220, 221, 222, 223, 224, 272, 274, 275, 276, 206, 207, 210}) Disable(id);
        SetStatic(283, "0 =");
      }
      break;
    case kKindSequence:
      if (e.kindFlag) {
        Disable(212);
        Disable(282);
        SetStatic(281, plat::res::String(288) + " =");
      }
      break;
    case kKindPointSequence:
      if (e.subKind != kKindExplicit) SetStatic(281, "t =");
      break;
    default:
      break;
  }
}

void TEditExmpDlg::FillOptions() {
  const TEquation& e = work_;
  auto set = [this](int id, bool on) {
    if (HasCheck(id) || HasRadio(id)) SetCheck(id, on);
  };
  const int k = kind_;
  const bool surface = IsSurfaceDialogKind(k, e);
  switch (k) {
    case kKindExplicit:
    case kKindAntiderivative:
      set(271, e.bounded);
      break;
    case kKindImplicit:
      set(271, e.kindFlag);
      break;
    case kKindParametric:
    case kKindSpaceCurve:
    case kKindSequence:
    case kKindSequence3D:
      set(271, e.polarInput);
      break;
    case kKindOde3D:
      set(271, e.fieldMode == 2);
      break;
    default:
      break;
  }
  set(272, e.filled || ((k == kKindPolar || k == kKindImplicit || k == kKindOde || k == kKindOde3D) && e.restricted));
  if (k == kKindImplicit) set(273, e.drawFilled);
  if (surface) {
    set(274, !e.polarInput);
  } else if (k == kKindImplicit || k == kKindOde || k == kKindOdeDyDx || k == kKindSequence) {
    set(274, e.unclipped);
  }
  set(275, e.interpolated && !(controlKind_ == kKindLagrange));
  if (k == kKindOde || k == kKindOde3D) {
    set(276, !e.notVertical);
  } else {
    set(276, e.notVertical);
  }
  switch (k) {
    case kKindOde:
    case kKindOdeDyDx:
      set(251 + std::clamp<int>(e.fieldMode, 0, 2), true);
      break;
    case kKindSegment:
    case kKindLine:
    case kKindPoint:
    case kKindPoint3D:
      set(251 + std::clamp<int>(e.penStyle, 0, 2), true);
      break;
    case kKindRoulette:
      set(e.kindFlag ? 251 : 252, true);
      break;
    default:
      break;
  }
  if (k == kKindSegment) set(254 + std::clamp<int>(e.arrowMode, 0, 3), true);
  if (k == kKindSegment3D) set(251 + std::clamp<int>(e.arrowMode, 0, 3), true);
}

void TEditExmpDlg::UpdateParametricCaption() {
  if (controlKind_ != kKindParametric) return;
  if (Checked(276)) {
    SetCaption("r = f(t) , " + plat::res::String(278) + " = g(t)");
  } else {
    SetCaption("x = f(t) , y = g(t)");
  }
}

void TEditExmpDlg::CmParametricCaption() { UpdateParametricCaption(); }

// ---- colour and help buttons ----

void TEditExmpDlg::CmColour1() {
  window_->ChooseColourForSlot(6);
  window_->Modified = 1;
  coloursChanged_ = 1;
}

void TEditExmpDlg::CmColour2() {
  window_->ChooseColourForSlot(7);
  coloursChanged_ = 1;
}

void TEditExmpDlg::CmPenColour() {
  window_->ChooseColourForSlot(8);
  coloursChanged_ = 1;
}

void TEditExmpDlg::CmFieldColour() {
  window_->ChooseColourForSlot(9);
  coloursChanged_ = 1;
}

void TEditExmpDlg::CmSurfaceColour() {
  window_->ShowColourWindow(0, &work_.termCount, 0, nullptr);
  coloursChanged_ = 1;
}

void TEditExmpDlg::CmHelp() {
  window_->ShowHelpText(window_->HelpName, TruncateChars(plat::res::String(HelpTopicStringId(controlKind_)), 50));
}

void TEditExmpDlg::Destroy() {
  if (IsDestroyed()) return;
  // The working copy goes with the dialog: the colour window stops editing
  // its surface colour and shows what it edits now.
  window_->ForgetColourIndex(&work_.termCount);
  if (coloursChanged_ && window_->ColourWindow) window_->ColourWindow->CopyOwnerColours();
  TDlg::Destroy();
}

// ---- transfer ----

void TEditExmpDlg::TransferToEntry() {
  TEquation& e = window_->Equation(index_);
  TEquation result;
  CopyEquation(result, work_);
  if (e.derivation >= 1) {
    // A derived entry keeps its texts; a point list and a plane's point are
    // the user's even there.
    for (std::size_t k = 0; k < result.formulaText.size(); ++k) {
      const bool own = (kind_ == kKindPointSequence && k == 3) || (kind_ == kKindPlane && k == 5);
      if (!own) result.formulaText[k] = e.formulaText[k];
    }
  }
  result.kind = static_cast<std::uint16_t>(kind_);
  if (e.derivation == 78 || e.derivation == 79 || e.derivation == 80) {
    result.values[8] = e.values[8];
    result.values[9] = e.values[9];
  }
  if (result.bounded && (kind_ == kKindExplicit || kind_ == kKindAntiderivative)) {
    result.rangeMin = result.lowerBound.x;
    result.rangeMax = result.upperBound.x;
  }
  if (kind_ == kKindComplexMap || kind_ == kKindPlaneMap) result.subValue = 4;
  if (kind_ == kKindPointSequence) {
    std::vector<long double> numbers;
    const int n = ScanNumberList(result.formulaText[3], numbers);
    result.cellDepths.assign(numbers.begin(), numbers.begin() + n);
    result.auxValue3 = static_cast<std::int16_t>(n);
  }
  // The trees stay the entry's: the caller recompiles when the texts changed.
  result.trees = std::move(e.trees);
  e = std::move(result);
}

}  // namespace kv
