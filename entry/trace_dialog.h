// "Graphverlauf": a point moved along a graph, a polar or parametric curve
// or a space curve with a scroll bar (or typed), showing its coordinates,
// slope or velocity, curvature and optionally the secant to a reference
// point; from the traced position it adds a point entry or a Taylor
// polynomial (a tangent line for curves).  The window draws the marks from
// State() in its paint pass.
#pragma once

#include <string>

#include "entry/combo_dialog.h"
#include "entry/model/trace_point.h"

namespace kv {

class TPlot111Win;

enum : int {
  kIdTraceParameter = 211,
  kIdTraceLabel = 231,
  kIdTraceCoordinates = 232,
  kIdTraceSlope = 233,
  kIdTraceSecant = 271,
  kIdTraceTangent = 272,
  kIdTraceClearTangent = 273,  // "Deutlichere Tangente" / "Vektordichte"
  kIdTraceFrenet = 274,
  kIdTraceBar = 297,
  kIdTraceDegree = 298,
  kIdTraceDegreeLabel = 3,
  kCmTraceTaylor = 711,
  kCmTracePoint = 712,
  kCmTraceReference = 720,
};

// The traced kinds of a plane window.
inline constexpr int kTraceKinds2D[] = {201, 202, 203};

class TTraceDlg : public TComboDlg {
 public:
  // "TRACE" in a plane window, "TRACE3" in a space window.
  TTraceDlg(TPlot111Win& window, const std::string& templateName, std::initializer_list<int> kinds);
  ~TTraceDlg() override;

  const plat::CommandTable& Commands() const override;
  void SetupControls() override;
  void SelectionChanged() override;
  void Recalculate() override;
  void EvControl(int id, int notification) override;

  // The parameter text anew on the scroll bar after the window's step
  // settings changed (text invalid or out of range: the middle).
  void UpdateScrollFromEdit();
  // Traces again at the scroll position (the entry may have changed).
  void Retrace();

  // ---- what the window draws ----
  const TTraceState& State() const { return st_; }
  bool IsSecantChecked() const { return IsChecked(kIdTraceSecant); }
  bool IsTangentChecked() const { return IsChecked(kIdTraceTangent); }
  bool IsFrenetChecked() const { return space_ && IsChecked(kIdTraceFrenet); }
  int Degree() const { return degree_; }
  // The traced entry, or -1 when none is chosen.
  int TracedEquation() const;
  void ClearSlopeText() { SetItemText(kIdTraceSlope, ""); }

 private:
  bool ComputeAt(long double s);
  // Computes at s, moves the scroll bar there and shows the values.
  void TraceAt(long double s);
  void ShowCoordinates(bool defined);
  void ShowSlopeInfo();
  void OnScroll();
  void OnDegreeChanged();
  void SetReference();
  // Reads the parameter edit: 0, or the message code (already shown).
  int ReadParameter(long double& s);
  void ScrollTo(long double s);
  long double Lo() const;
  long double Hi() const;
  int Steps() const;
  int PageSteps() const;
  std::string Number(long double v) const;
  bool LogAxes() const;

  void CmTaylor();
  void CmPoint();
  void CmReference();
  void CmOptions();
  void CeAddItem(plat::CommandEnabler& ce);

  TPlot111Win& plot_;
  const bool space_;
  TTraceState st_;
  TreePtr second_[2];
  int degree_ = 1;
};

}  // namespace kv
