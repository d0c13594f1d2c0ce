// "Schraffur": the window's list of hatched regions above, below or between
// graphs of y = f(x), optionally over an interval whose ends may follow
// parameters.  The dialog edits the list; the paint pass draws it.
#pragma once

#include <cstdint>

#include "entry/combo_dialog.h"
#include "plotcore/model/equation.h"

namespace kv {

class TPlotCWin;

enum : int {
  kShadeDlgFrom = 211,
  kShadeDlgTo = 212,
  kShadeDlgAbove = 251,     // "Über"
  kShadeDlgBelow = 252,     // "Unter"
  kShadeDlgBetween = 253,   // "Zwischen"
  kShadeDlgInterval = 271,  // "Intervall unten setzen"
  kShadeDlgCombined = 272,  // "Schnitt"
  kShadeDlgList = 294,
  kShadeDlgColour = 206,    // "Farbe"
  kShadeDlgCreate = 91,     // "Schraffur"
  kShadeDlgDelete = 52,     // "Löschen"
  kShadeDlgDeleteAll = 54,  // "Alles löschen"
};

class TShadeDlg : public T2ComboDlg {
 public:
  explicit TShadeDlg(TPlotCWin& window);

  const plat::CommandTable& Commands() const override;
  void SetupWindow() override;
  void EvControl(int id, int notification) override;
  void RefillList() override;
  void Recalculate() override { CmCreate(); }

  // "Schraffur": a new record at the head of the list; 0 or the message
  // code shown.
  int CmCreate();
  int Pattern() const { return pattern_; }

 private:
  void OnListSelChange();
  void ShowControls(int choice);
  void FillRecordList();
  void CmDelete();
  void CmDeleteAll();
  void CmIntersectionMode();
  void CmColour();
  void CeNotEmpty(plat::CommandEnabler& ce);
  void Redraw();

  TPlotCWin& plot_;
  std::uint8_t intervalFlag_ = 0;
  long double from_ = 0;
  long double to_ = 0;
  int pattern_ = 0;
  int fromLetter_ = 0;
  int toLetter_ = 0;
};

}  // namespace kv
