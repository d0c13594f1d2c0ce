// "Graphverlauf" of a trajectory ("&Kurvenverlauf ..."): a point moved
// along one solution curve of a dy/dt system, with its velocity there; adds
// the point, the velocity vector or the tangent line as derived entries.
// The window draws the point and the vector from Trace().
#pragma once

#include <string>

#include "entry/combo_dialog.h"
#include "entry/model/trace_point.h"

namespace kv {

class TPlot111Win;

enum : int {
  kIdTrajTraceItems = 294,
  kIdTrajTraceParameter = 211,
  kIdTrajTraceLength = 212,
  kIdTrajTraceLabel = 231,
  kIdTrajTraceValues = 232,
  kIdTrajTraceClearTangent = 273,  // "Vektordichte"
  kIdTrajTraceLengths = 274,       // "Längen"
  kIdTrajTraceBar = 297,
  kCmTrajTracePoint = 712,
  kCmTrajTraceVector = 717,
  kCmTrajTraceLine = 711,
};

class TTraceTrajDlg : public TComboDlg {
 public:
  // Lists the dy/dt systems of the window (210 in the plane, 310 in space).
  explicit TTraceTrajDlg(TPlot111Win& window);
  ~TTraceTrajDlg() override;

  const plat::CommandTable& Commands() const override;
  void SetupControls() override;
  void SelectionChanged() override;
  void Recalculate() override;
  void EvControl(int id, int notification) override;

  void UpdateScrollFromEdit();
  // Traces again at the scroll position and redraws.
  void Retrace();

  // ---- what the window draws ----
  // Whether a trajectory is chosen and its point was computed.
  bool HasTrace() const { return item_ >= 0 && computed_; }
  const TTrajectoryTrace& Trace() const { return trace_; }
  // The colour of the chosen trajectory, and its whole pen (colour, width,
  // line style).
  int TraceColour() const;
  TPenSpec TracePen() const;
  int TracedEquation() const;

 private:
  // The chosen trajectory of the traced entry, or null.
  TEquationItem* Item();
  void OnItemChanged();
  void OnScroll();
  bool ComputeAt(long double t);
  void ShowValues();
  // -1 with "Längen" off, 0 with a usable length, else the message code.
  int ReadLength();
  void AddItem(int code);
  int Steps() const;
  int PageSteps() const;
  std::string Number(long double v) const;
  void ShowParameterControls(bool show);

  void CmOptions();
  void CmPoint();
  void CmVector() { AddItem(79); }
  void CmLine() { AddItem(80); }
  void CeAddItem(plat::CommandEnabler& ce);

  TPlot111Win& plot_;
  const bool space_;
  // The chosen trajectory by its row in the item list (never a pointer:
  // the lists change under the dialog).
  int item_ = -1;
  long double lo_ = 0;
  long double hi_ = 0;
  long double length_ = 1;
  bool computed_ = false;
  TTrajectoryTrace trace_;
  std::string name_;
  std::uint32_t tracedSerial_ = 0;
};

}  // namespace kv
