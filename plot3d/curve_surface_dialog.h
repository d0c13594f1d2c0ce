// The points where a space curve meets a surface ("Schnittpunkte", template
// "INTER"): each "Nächster Schnittpunkt" resumes the search along the
// curve's parameter after the interval tried last.  A found point is shown,
// attached to both entries as a result point, and can be stored into a
// parameter letter ("Speichere" ... "als") or made a point entry ("Punkt").
#pragma once

#include "entry/combo_dialog.h"
#include "plot3d/model/curve_surface.h"

namespace kv {

class TPlotRWin;

enum : int {
  kCrossingResult = 231,
  kCrossingDegrees = 271,   // "Gradmaß" (cleared; the search has no use for it)
  kCrossingSource = 297,    // "XYZT": what "Speichere" copies
  kCrossingTarget = 298,    // "A".."Z": into which parameter
  kCrossingNext = 743,      // "Nächster Schnittpunkt"
  kCrossingStore = 57,      // "Speichere"
  kCrossingPoint = 712,     // "Punkt"
};

class TIntCSDlg : public T2ComboDlg {
 public:
  explicit TIntCSDlg(TPlotRWin& window);

  const plat::CommandTable& Commands() const override;
  void SetupControls() override;
  void SetupWindow() override;
  void EvControl(int id, int notification) override;
  void RefreshPlot() override;
  void Recalculate() override {}

  // One search from the interval counter on; the result is shown.
  void FindNextIntersection();

  bool Found() const { return found_; }
  const TCrossing& Last() const { return last_; }
  int Counter() const { return counter_; }
  // The parameter number "Speichere" reads (X 24, Y 25, Z 26, T 20) and
  // the one it writes (A 1 .. Z 26).
  int SourceParameter() const { return sourceParameter_; }
  int TargetParameter() const { return targetParameter_; }

 private:
  void ShowResult();
  void CmNext() { FindNextIntersection(); }
  void CmStore();
  void CmPoint();
  void CeFound(plat::CommandEnabler& ce) { ce.Enable(found_); }
  void CePoint(plat::CommandEnabler& ce);
  void OnSourceLetterChange();
  void OnTargetLetterChange();

  TPlotRWin& plot_;
  int counter_ = 0;
  bool found_ = false;
  TCrossing last_;
  int sourceParameter_ = 24;
  int targetParameter_ = 1;
};

}  // namespace kv
