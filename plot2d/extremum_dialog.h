// "Extremwerte": steps through the extrema of y (and the inflection points,
// extrema of y') of a function graph, or of x, y or r of a polar or
// parametric curve; bounded graphs report their ends too.  "Speichere"
// stores x, y, y', r or t in a parameter, "Punkt" adds the point as an
// entry.  Modeless, created once per window.
#pragma once

#include <cstdint>
#include <string>

#include "core/vector2d.h"
#include "entry/combo_dialog.h"
#include "plot2d/model/zeros.h"

namespace kv {

class TPlotCWin;

class TExtrDlg : public TComboDlg {
 public:
  explicit TExtrDlg(TPlotCWin& window);

  const plat::CommandTable& Commands() const override;
  void SetupControls() override;
  void SetupWindow() override;
  void SelectionChanged() override;
  void EvControl(int id, int notification) override;
  void Recalculate() override { FindNextExtremum(); }

  void FindNextExtremum();
  void ShowResult(bool found);

  bool Found() const { return found_ != 0; }
  const TExtremum& Result() const { return result_; }
  int Target() const { return target_; }
  int Source() const { return source_; }
  bool Mark(TPoint2D& p) const;

 private:
  void OnTargetChanged();
  void OnSourceChanged();
  void CmNext() { FindNextExtremum(); }
  void CmStoreAs();
  void CmDrawPoint();
  // Whether "Speichere" has a value to store: the source's value of the
  // extremum shown (a graph's y' only where it is defined).
  bool Stores() const;
  void CeStoreAs(plat::CommandEnabler& ce);
  void CeDrawPoint(plat::CommandEnabler& ce);

  TPlotCWin& plot_;
  int target_ = kTargetY;
  int source_ = kTargetX;
  int letter_ = 1;
  TExtremumState state_;
  TExtremum result_;
  std::uint8_t found_ = 0;
  bool ready_ = false;
};

}  // namespace kv
