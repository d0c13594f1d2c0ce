// "RIEM": the integral of f (mode 1) or of f - g (mode 2) with its six
// Riemann-type sums, the rules' check boxes that choose which sums show and
// which strips are drawn, steps of the division count, the strip colour
// and the antiderivative graph.
#pragma once

#include "plot2d/pre_riemann_dialog.h"

namespace kv {

enum : int {
  kIdRuleFirst = 271,      // 271..276 the six rules
  kIdDisplay = 277,        // "Darstellung"
  kIdRuleResultFirst = 231,  // 231..236 their results
  kIdSecondLabel = 9,
  kIdStripColour = 214,    // "Farbe"
  kIdMoreDivisions = 751,  // "+"
  kIdFewerDivisions = 752, // "--"
  kIdAntiderivative = 760, // "Stammfunktion"
};

class TRiemDlg : public TPreRiemDlg {
 public:
  explicit TRiemDlg(TPlotAWin& window);

  const plat::CommandTable& Commands() const override;
  void SetupWindow() override;
  void Destroy() override;
  void EvControl(int id, int notification) override;
  void SelectionChanged() override;
  void SecondSelectionChanged() override { SelectionChanged(); }
  int Compute() override;
  void ShowResult() override;
  void StoreResult() override;

  // 1: f, 2: f - g.
  void SetMode(int mode);
  int Mode() const { return mode_; }
  // The check boxes from the window's overlay flags, and back.
  void ShowRuleChecks();
  void OnRuleCheck();
  // "+" (1) and "--" (-1).
  void StepDivisions(int delta);
  void CmMoreDivisions() { StepDivisions(1); }
  void CmFewerDivisions() { StepDivisions(-1); }
  void OnAntiderivative();
  void OnColour();

 private:
  int mode_ = 1;
  std::uint8_t colourWindowShown_ = 0;
  std::uint8_t stale_ = 1;
};

}  // namespace kv
