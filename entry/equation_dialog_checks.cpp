// The checks of the equation dialog when OK is pressed.  The formulas are
// compiled first and the first error ends the check; the numbers are all
// read and the last error found is shown.  Nothing reaches the entry until
// every check has passed.
#include <cmath>

#include "entry/equation_dialog.h"
#include "entry/plot1_win.h"
#include "core/constants.h"
#include "plotcore/model/revolution_sliders.h"
#include "plotcore/model/revolution_surface.h"

namespace kv {

namespace {

constexpr long double kBoundGap = 1e-13L;

bool Differs(long double a, long double b) { return std::fabs(a - b) > kBoundGap; }

std::string Trim(const std::string& s) {
  const auto a = s.find_first_not_of(' ');
  if (a == std::string::npos) return {};
  return s.substr(a, s.find_last_not_of(' ') - a + 1);
}


}  // namespace

bool TEditExmpDlg::CompileText(int slot, const std::string& text, bool& textsChanged) {
  TreePtr tree;
  const int code = window_->Compile(text, tree);
  if (code != 0) {
    window_->ShowMessageById(code);
    return false;
  }
  std::string& target = work_.formulaText[static_cast<std::size_t>(slot)];
  if (target != window_->Equation(index_).formulaText[static_cast<std::size_t>(slot)]) textsChanged = true;
  if (target != text) {
    target = text;
    textsChanged = true;
  }
  return true;
}

bool TEditExmpDlg::CompileTexts(bool& textsChanged) {
  const TEquation& entry = window_->Equation(index_);
  const int k = controlKind_;
  if (kind_ == kKindPointSequence && EditText(214) != entry.formulaText[3]) textsChanged = true;
  if (kind_ == kKindPointSequence) work_.formulaText[3] = EditText(214);
  if (entry.derivation >= 1) return true;  // a derived entry keeps its texts

  const bool rotated = kind_ == kKindRevolution;
  if (HasEdit(211) && (!rotated || work_.subKind == kKindParametric))
    if (!CompileText(0, EditText(211), textsChanged)) return false;
  // A surface of revolution reads the fields of its curve's kind: the
  // others are disabled and hold no formula (a segment's two fields are
  // split below).
  const bool secondSkipped = k == kKindLagrange || k == kKindAntiderivative ||
                             ((k == kKindPoint || k == kKindSequence) && work_.kindFlag) ||
                             (rotated && work_.subKind != kKindExplicit && work_.subKind != kKindParametric);
  if (HasEdit(212) && !secondSkipped)
    if (!CompileText(1, EditText(212), textsChanged)) return false;
  // A turned implicit curve is edited in 213 ("0 =") when the surface is
  // made from it; it keeps the equation in its fourth text as well.
  const bool implicitCurve = rotated && work_.subKind == kKindImplicit && HoldsRevolvedCurve(work_);
  if (HasEdit(213) && (!rotated || work_.subKind == kKindPolar || implicitCurve)) {
    if (!CompileText(2, EditText(213), textsChanged)) return false;
    if (implicitCurve) work_.formulaText[3] = work_.formulaText[2];
  }
  const bool restrictedKind = k == kKindImplicit || k == kKindOde || k == kKindOde3D;
  const bool fourthAlways = k == kKindSegment || k == kKindTube || k == kKindSegment3D || k == kKindSphericalSurface;
  if (HasEdit(214) && ((restrictedKind && work_.restricted) || fourthAlways))
    if (!CompileText(3, EditText(214), textsChanged)) return false;
  if (k == kKindPlane && HasEdit(214)) {
    std::array<TreePtr, 3> trees;
    const std::string text = EditText(214);
    if (!window_->CompileCoordinateTriple(text, trees)) {
      window_->ShowMessageById(1);
      return false;
    }
    if (work_.formulaText[3] != text) textsChanged = true;
    work_.formulaText[3] = text;
  }
  if (k == kKindSegment3D || k == kKindPlane)
    if (!CompileText(5, EditText(215), textsChanged)) return false;
  if (k == kKindSegment3D)
    if (!CompileText(6, EditText(216), textsChanged)) return false;
  if (k == kKindImplicit || k == kKindImplicitSurface) {
    const std::string equation = EditText(218);
    std::string difference;
    if (!RewriteEquationAsDifference(difference, equation)) {
      window_->ShowMessageById(equation.find('=') == std::string::npos ? 112 : 1);
      return false;
    }
    if (work_.formulaText[4] != equation) textsChanged = true;
    work_.formulaText[4] = equation;
    if (!CompileText(k == kKindImplicit ? 2 : 3, difference, textsChanged)) return false;
  }
  // The running index of a sum is one letter (letters are the same in
  // either case, and the default index is "n").
  if (k == kKindSum) {
    const std::string index = Trim(work_.formulaText[0]);
    const char c = index.size() == 1 && index[0] >= 'a' && index[0] <= 'z' ? static_cast<char>(index[0] - 32) : index.empty() ? 0 : index[0];
    if (index.size() != 1 || c < 'A' || c > 'Z') {
      window_->ShowMessageById(1);
      return false;
    }
  }
  if (rotated && work_.subKind == kKindSegment) {
    for (int half = 0; half < 2; ++half) {
      const std::string text = EditText(211 + half);
      const auto semicolon = text.find(';');
      if (semicolon == std::string::npos) {
        window_->ShowMessageById(6);
        return false;
      }
      if (!CompileText(2 * half, text.substr(0, semicolon), textsChanged)) return false;
      if (!CompileText(2 * half + 1, text.substr(semicolon + 1), textsChanged)) return false;
    }
  }
  if (k == kKindSphericalSurface) {
    const std::string r = "(" + work_.formulaText[3] + ")";
    const std::string parts[3] = {r + "sin(u)cos(t)", r + "sin(u)sin(t)", r + "cos(u)"};
    for (int s = 0; s < 3; ++s) {
      // A radius too long for the composed texts is refused, not cut.
      if (parts[s].size() > kFormulaTextSize - 1) {
        window_->ShowMessageById(20);
        return false;
      }
      if (!CompileText(s, parts[s], textsChanged)) return false;
    }
  }
  return true;
}

int TEditExmpDlg::ReadBounds() {
  TPlot1Win& w = *window_;
  int last = 0;
  const int k = controlKind_;
  const bool markerKind = k == kKindExplicit || k == kKindLagrange || k == kKindPolar || k == kKindParametric ||
                          k == kKindAntiderivative;
  // A surface of revolution with its bounds flag reads each bound with the
  // parameter ("@" and a letter) that holds that end of its range.
  const bool tied = kind_ == kKindRevolution && work_.bounded;
  long double* targets[4] = {&work_.lowerBound.x, &work_.lowerBound.y, &work_.upperBound.x, &work_.upperBound.y};
  int markers[4] = {};  // first and second marker of the lower, then the upper bound
  TEquation& old = w.Equation(index_);
  long double stored[4] = {old.lowerBound.x, old.lowerBound.y, old.upperBound.x, old.upperBound.y};
  if (kind_ == kKindExplicit && old.filled) {
    // A periodic graph showed its period.
    stored[0] = old.values[6].x;
    stored[2] = old.values[6].x + old.values[6].y;
  }
  const int storedMarkers[4] = {static_cast<int>(old.endMarkerLeft()), static_cast<int>(old.endArrowLeft()),
                                static_cast<int>(old.endMarkerRight()), static_cast<int>(old.endArrowRight())};
  for (int n = 0; n < 4; ++n) {
    const int id = 221 + n;
    if (!HasEdit(id)) continue;
    if (Unchanged(id)) {
      *targets[n] = stored[n];
      if (id == 221 || id == 223) {
        const int m = id == 221 ? 0 : 2;
        markers[m] = storedMarkers[m];
        markers[m + 1] = storedMarkers[m + 1];
      }
      continue;
    }
    std::string text = EditText(id);
    if (tied) {
      long double v = 0;
      int parameter = 0;
      int code = w.ReadValueAndParameter(text, v, parameter);
      if (code == 0 && parameter > 23) code = 17;
      if (code != 0) {
        last = code;
        continue;
      }
      *targets[n] = v;
      SetRevolutionBoundParameter(work_, n, parameter);
      continue;
    }
    if (markerKind && (id == 221 || id == 223)) {
      int first = 0;
      int second = 0;
      SplitBoundMarkers(text, first, second);
      markers[id == 221 ? 0 : 2] = first;
      markers[id == 221 ? 1 : 3] = second;
    }
    long double v = 0;
    const int code = w.TextToNumber(text, v);
    if (code != 0) {
      last = code;
      continue;
    }
    *targets[n] = v;
  }
  if (HasEdit(221) && HasEdit(223) && work_.upperBound.x < work_.lowerBound.x + kBoundGap) last = 6;
  if (HasEdit(222) && HasEdit(224) && work_.upperBound.y < work_.lowerBound.y + kBoundGap) last = 6;
  // A graph on a logarithmic x axis starts at a value the axis carries.
  if (kind_ == kKindExplicit && HasEdit(221) && w.LogWindowType > 0 && (w.AxisKind & 1)) {
    long double lo = 0;
    long double hi = 0;
    w.ShownValuesX(lo, hi);
    if (work_.lowerBound.x + kBoundGap < lo) last = 6;
  }
  if (markerKind) {
    const bool polarOrParametric = k == kKindPolar || k == kKindParametric;
    const bool interval = Checked(271);
    if (polarOrParametric) {
      markers[1] = 0;
      markers[3] = 0;
    } else if (!interval) {
      for (int& m : markers) m = 0;
    }
    work_.endMarkerLeft() = markers[0];
    work_.endArrowLeft() = markers[1];
    work_.endMarkerRight() = markers[2];
    work_.endArrowRight() = markers[3];
  }
  if (controlKind_ == kKindExplicit) {
    // A graph keeps a period from its bounds; "periodisch" shows it.
    work_.values[6].x = work_.lowerBound.x;
    work_.values[6].y = work_.upperBound.x - work_.lowerBound.x;
  }
  return last;
}

int TEditExmpDlg::ReadNumbers() {
  TPlot1Win& w = *window_;
  int last = 0;
  auto note = [&last](int code) {
    if (code != 0) last = code;
  };
  auto number = [&](int id, long double& v) -> bool {
    const int code = w.TextToNumber(EditText(id), v);
    note(code);
    return code == 0;
  };
  const int k = controlKind_;

  // A surface of revolution: the axis a x + b y = c.
  if (k == kKindRevolution) {
    TRevolutionAxis axis = RevolutionAxisOf(work_);
    // A field left as shown keeps the stored value exactly.
    auto value = [&](int id, long double& v) { return Unchanged(id) || number(id, v); };
    const bool read = value(234, axis.a) & value(235, axis.b) & value(236, axis.c);
    // A record that holds its curve is made by turning it: the axis must be
    // a line.
    if (read && HoldsRevolvedCurve(work_) && axis.a * axis.a + axis.b * axis.b < 1e-16L) note(6);
    SetRevolutionAxis(work_, axis);
  }
  // Arrow position, roulette start.
  if (HasEdit(234) && !Unchanged(234) && k != kKindRevolution) {
    long double v = 0;
    if (number(234, v)) {
      if (k == kKindParametric || k == kKindSpaceCurve) {
        if (Checked(271) && (v < work_.lowerBound.x || v > work_.upperBound.x)) note(17);
        work_.arrowParameter() = v;
      } else {
        work_.values[4].x = v;
      }
    }
  }
  // Arrow size, point size, roulette radius and arm.
  long double radius = 1;
  long double arm = 0;
  const bool rollValuesKept = Unchanged(235) && Unchanged(236);
  if (HasEdit(235) && k != kKindRevolution) {
    if (k == kKindRoulette) {
      if (number(235, radius) && radius < kBoundGap) note(14);
    } else {
      std::int16_t v = 0;
      const int code = w.ReadBoundedShort(EditText(235), 1, 1000, v);
      note(code);
      if (code == 0) {
        if (k == kKindSum) {
          work_.subKind = v;
        } else {
          work_.arrowSize = static_cast<std::int16_t>(v - 10);
        }
      }
    }
  }
  if (HasEdit(236) && k == kKindRoulette) number(236, arm);
  if (k == kKindRoulette && !rollValuesKept && radius >= kBoundGap) work_.values[5] = {1 / radius, arm / radius, 0};
  // Drawing density; "@" connects the curve across jumps.
  if (HasEdit(215) && k != kKindSegment3D && k != kKindPlane) {
    std::string text = EditText(215);
    densityAt_ = 0;
    if (k == kKindExplicit || k == kKindLagrange || k == kKindPolar || k == kKindParametric) {
      const auto at = text.find('@');
      if (at != std::string::npos) {
        densityAt_ = 1;
        text.resize(at);
      }
      work_.densityFlag = densityAt_;
    }
    std::int16_t d = work_.stepDensity;
    const int code = w.ReadBoundedShort(text, -10000, 10000, d);
    if (code != 0) {
      note(code);
    } else if (d == 0) {
      note(17);
    } else {
      work_.stepDensity = d;
    }
  }
  // Divisions; for a sum the running index's first and last value.
  if (HasEdit(216) && k != kKindSegment3D) {
    std::string first = EditText(216);
    if (k == kKindRevolution) {
      int code = 0;
      const auto at = first.find('@');
      if (at != std::string::npos) {
        code = std::atoi(first.c_str() + at + 1);
        first.resize(at);
        if (code % 10 < 1 || code % 10 > 3 || (code / 10) % 10 > 1 || code < 0) code = 0;
      }
      work_.subValue = static_cast<std::int16_t>(code);
    }
    const int lo = k == kKindSum ? -32765 : 1;
    const int hi = k == kKindSum ? 32767 : 6000;
    std::int16_t a = work_.divisions[0];
    std::int16_t b = work_.divisions[1];
    const int ca = w.ReadBoundedShort(first, lo, hi, a);
    const int cb = HasEdit(217) ? w.ReadBoundedShort(EditText(217), lo, hi, b) : 0;
    note(ca);
    note(cb);
    if (ca == 0 && cb == 0) {
      if (k == kKindSum) {
        if (b < a) note(6);
      } else if (HasEdit(217)) {
        if ((a + 1L) * (b + 1L) > 6000) note(17);
        if (k == kKindRevolution && work_.subValue > 0 && (2L * a + 3) * (b + 1L) > 6000) note(17);
      }
      work_.divisions[0] = a;
      work_.divisions[1] = b;
      // Counts as entered: a division code derives the drawing's count
      // from them anew.
      work_.divisionsDerived = 0;
    }
  }
  // Curve points.
  if (HasEdit(219)) note(w.ReadBoundedShort(EditText(219), 1, 32000, work_.curvePoints[0]));
  if (HasEdit(220)) note(w.ReadBoundedShort(EditText(220), 2, 32000, work_.curvePoints[1]));
  // Direction fields: element length in percent of the width, the
  // parameter that follows it, and the rows.
  if (k == kKindOde || k == kKindOdeDyDx || k == kKindOde3D) {
    if (HasEdit(225)) {
      long double v = 0;
      int parameter = 0;
      const int code = w.ReadValueAndParameter(EditText(225), v, parameter);
      if (code != 0) {
        note(code);
      } else {
        const long double tenths = std::round(10 * v);
        if (!(tenths >= 2) || tenths > 32767 || parameter > 24 || parameter < 0) {
          note(17);
        } else {
          work_.fieldLength = static_cast<std::int16_t>(tenths);
          work_.arrowMode = static_cast<std::int16_t>(parameter);
        }
      }
    }
    if (HasEdit(226)) note(w.ReadBoundedShort(EditText(226), 1, 100, work_.fieldRows));
  }
  if (k == kKindLagrange && HasEdit(225)) note(w.ReadBoundedShort(EditText(225), 1, 100, work_.fieldRows));
  // Pen width; "@" also makes it the window's default.
  if (HasEdit(227)) {
    std::string text = EditText(227);
    const auto at = text.find('@');
    if (at != std::string::npos) text.resize(at);
    note(w.ReadBoundedShort(text, 1, 30, work_.penWidth));
  }
  return last;
}

void TEditExmpDlg::ReadOptions() {
  TPlot1Win& w = *window_;
  TEquation& e = work_;
  const int k = controlKind_;
  const bool c271 = Checked(271);
  const bool c272 = Checked(272);
  const bool c273 = Checked(273);
  const bool c274 = Checked(274);
  const bool c275 = Checked(275);
  const bool c276 = Checked(276);
  if (HasCheck(272)) e.filled = c272;
  switch (k) {
    case kKindExplicit:
    case kKindLagrange:
    case kKindAntiderivative:
      e.bounded = c271;
      if (k == kKindExplicit && c272) e.bounded = 0;  // a periodic graph spans the view
      if (!e.bounded) w.ShownValuesX(e.lowerBound.x, e.upperBound.x);
      break;
    case kKindParametric:
    case kKindSpaceCurve:
      e.polarInput = c271;
      if (HasCheck(276)) e.notVertical = c276;
      break;
    case kKindImplicit:
      e.kindFlag = c271;
      e.drawFilled = c273;
      e.unclipped = c274;
      break;
    case kKindOde:
    case kKindOde3D:
      if (HasCheck(274)) e.unclipped = c274;
      if (HasCheck(276)) e.notVertical = !c276;
      if (k == kKindOde3D) e.fieldMode = c271 ? 2 : 0;
      break;
    case kKindOdeDyDx:
      e.unclipped = c274;
      break;
    case kKindSequence:
    case kKindSequence3D:
      if (HasCheck(274)) e.unclipped = c274;
      e.polarInput = c271;
      e.notVertical = c276;
      break;
    case kKindSum:
      e.notVertical = c276;
      break;
    case kKindPoint:
    case kKindPoint3D:
      e.interpolated = c275;
      break;
    case kKindSegment:
      e.interpolated = c275;
      break;
    default:
      break;
  }
  if (k == kKindPolar || k == kKindImplicit || k == kKindOde || k == kKindOde3D) e.restricted = c272;
  if (IsSurfaceDialogKind(k, e)) {
    e.polarInput = !c274;  // "Schnell zeichnen" is kept inverted
    e.interpolated = c275;
    e.notVertical = c276;
  }
  // Styles from the first radio group: line, points, dashes.
  if (k == kKindSegment || k == kKindLine || k == kKindPoint || k == kKindPoint3D || k == kKindOde ||
      k == kKindOdeDyDx) {
    int style = 2;
    if (Checked(251)) {
      style = 0;
    } else if (Checked(252)) {
      style = 1;
    }
    e.fieldMode = static_cast<std::int16_t>(style);
    if (k == kKindSegment || k == kKindLine || k == kKindPoint || k == kKindPoint3D)
      e.penStyle = static_cast<std::int16_t>(style);
  }
  if (k == kKindSegment) {
    for (int n = 0; n < 4; ++n)
      if (Checked(254 + n)) e.arrowMode = static_cast<std::int16_t>(n);
  }
  if (k == kKindSegment3D) {
    for (int n = 0; n < 4; ++n)
      if (Checked(251 + n)) e.arrowMode = static_cast<std::int16_t>(n);
  }
  if (k == kKindRoulette) e.kindFlag = Checked(251);
  if (k == kKindCylinderSurface) {
    e.subKind = static_cast<std::int16_t>((e.upperBound.x - e.lowerBound.x - 0.01L) / (2 * Pi));
  }
}

int TEditExmpDlg::ComputeMask(const TEquation& b, bool textsChanged) const {
  const TEquation& a = work_;
  bool recompute = textsChanged;
  bool options = textsChanged;
  bool appearance = false;
  if (Differs(a.lowerBound.x, b.lowerBound.x) || Differs(a.upperBound.x, b.upperBound.x) ||
      Differs(a.lowerBound.y, b.lowerBound.y) || Differs(a.upperBound.y, b.upperBound.y))
    recompute = true;
  if (a.stepDensity != b.stepDensity || a.divisions != b.divisions || a.curvePoints != b.curvePoints ||
      a.fieldLength != b.fieldLength || a.fieldRows != b.fieldRows || a.arrowMode != b.arrowMode ||
      a.arrowSize != b.arrowSize || a.subValue != b.subValue || a.divisionsDerived != b.divisionsDerived)
    recompute = true;
  for (std::size_t n = 4; n < a.values.size(); ++n) {
    // A graph's period follows its bounds, whose change is counted above.
    if (n == 6 && controlKind_ == kKindExplicit) continue;
    if (Differs(a.values[n].x, b.values[n].x) || Differs(a.values[n].y, b.values[n].y) ||
        Differs(a.values[n].z, b.values[n].z))
      recompute = true;
  }
  const bool fieldColourKind = kind_ == kKindOde || kind_ == kKindOdeDyDx || kind_ == kKindOde3D;
  if (a.subKind != b.subKind) (fieldColourKind ? appearance : recompute) = true;
  if (a.bounded != b.bounded || a.densityFlag != b.densityFlag || a.restricted != b.restricted ||
      a.filled != b.filled || a.unclipped != b.unclipped || a.kindFlag != b.kindFlag ||
      a.drawFilled != b.drawFilled || a.polarInput != b.polarInput || a.interpolated != b.interpolated ||
      a.notVertical != b.notVertical || a.fieldMode != b.fieldMode) {
    options = true;
    recompute = true;
  }
  if (a.penColour != b.penColour || a.penWidth != b.penWidth || a.penStyle != b.penStyle ||
      a.sideColour1 != b.sideColour1 || a.sideColour2 != b.sideColour2 || a.termCount != b.termCount)
    appearance = true;
  int mask = (recompute ? kChangeRecompute : 0) | (appearance ? kChangeAppearance : 0) |
             (options ? kChangeOptions : 0);
  if (kind_ == kKindSegment && Checked(275)) mask |= kChangeEndPoints;
  return mask;
}

bool TEditExmpDlg::CanClose() {
  TPlot1Win& w = *window_;
  const TEquation& entry = w.Equation(index_);
  work_.sideColour1 = w.ColourSlots[6];
  work_.sideColour2 = w.ColourSlots[7];
  work_.penColour = static_cast<std::uint16_t>(w.ColourSlots[8]);
  if (kind_ == kKindOde || kind_ == kKindOdeDyDx || kind_ == kKindOde3D) work_.subKind = w.ColourSlots[9];
  if (controlKind_ == kKindPolar || controlKind_ == kKindImplicit || controlKind_ == kKindOde ||
      controlKind_ == kKindOde3D)
    work_.restricted = Checked(272);

  bool textsChanged = false;
  if (!CompileTexts(textsChanged)) return false;
  if (kind_ == kKindPoint || kind_ == kKindPoint3D) {
    std::int16_t roles = 0;
    if (HasEdit(214) && IsItemEnabled(214)) {
      const int code = ParseVariableRoles(EditText(214), roles);
      if (code != 0) {
        w.ShowMessageById(code);
        return false;
      }
      work_.subKind = roles;
    }
  }
  int last = ReadBounds();
  const int numbers = ReadNumbers();
  if (numbers != 0) last = numbers;
  if (last != 0) {
    w.ShowMessageById(last);
    return false;
  }
  ReadOptions();
  // A new pen of an implicit curve reaches its drawing at once: the curve
  // is drawn anew, not over the pixels of its old pen.
  if (controlKind_ == kKindImplicit) {
    if (work_.penWidth != entry.penWidth) w.SetItemWidth(index_, work_.penWidth);
    if (work_.penColour != entry.penColour) w.SetItemColour(index_, work_.penColour);
  }

  // Every check passed: the window's defaults, then the entry.
  const std::string width = HasEdit(227) ? EditText(227) : std::string();
  if (width.find('@') != std::string::npos) {
    w.defaultPenWidth = work_.penWidth;
    if (kind_ == kKindPoint || kind_ == kKindPoint3D) w.MarkerSizeCode = work_.penWidth;
  }
  const int mask = ComputeMask(entry, textsChanged);
  if (mask != 0) work_.visible = 1;
  if (mask_) *mask_ = mask;
  TransferToEntry();
  return true;
}

}  // namespace kv
