// The base of the 2D dialogs that compute one number over an interval with
// a number of divisions (Riemann sums, sector area, arc length; volumes of
// revolution derive from it too).  It reads and checks the bounds (edits
// 211, 212) and the division count (213), lets both bounds follow slider
// parameters ("2@A"), shows the window's result text in static 235 and
// attaches the result to the chosen entry.
//
// The bounds, count and result live in the window (TPlotAWin), shared by
// all these dialogs.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "entry/combo_dialog.h"

namespace kv {

class TPlotAWin;

enum : int {
  kIdLeftBound = 211,
  kIdRightBound = 212,
  kIdDivisions = 213,
  kIdResult = 235,
  kIdValueButton = 761,
};

// The bounds, division count and bound parameters as the dialog's fields
// give them.
struct TIntegrationInputs {
  long double left = 0;
  long double right = 1;
  std::int32_t divisions = 1;
  int firstParameter = 0;
  int secondParameter = 0;
};

class TPreRiemDlg : public T2ComboDlg {
 public:
  TPreRiemDlg(TPlotAWin& window, const std::string& templateName, std::initializer_list<int> kinds);

  const plat::CommandTable& Commands() const override;
  void SetupWindow() override;
  // Enter presses the value button.
  void Recalculate() override { OnValueButton(); }

  // Reads the bounds and the count into the window: 0 or a message code
  // (6 right not above left, 17 outside the limits or the count's range).
  virtual int ReadInputs();
  // The same check without storing anything: the fields' values in `in`.
  int CheckInputs(TIntegrationInputs& in) const;
  // Where the bounds may lie: the view's x range, or the parameter range of
  // a chosen polar, parametric or space curve.
  void BoundLimits(long double& low, long double& high) const;
  // How far a typed bound may lie outside a curve's parameter range and
  // still count as its end (it is then moved onto the end): less than half
  // a unit of the last decimal the window shows.  0 for the view's range.
  long double BoundSlack(long double low, long double high) const;
  // The derived dialog's computation: 0 or a message code.
  virtual int Compute() { return 0; }
  virtual void ShowResult();
  virtual void StoreResult();
  // Read, compute, report a failure or show, store and bind the sliders.
  virtual void RunComputation();
  // The window's bounds and count into the edits.
  void ShowBounds();
  // The value button: releases a parameter binding, then computes from the
  // fields as typed.
  void OnValueButton();
  // A bound parameter moved: compute again without storing.
  void FollowParameters();
  // Ends the parameter binding and hides the two sliders.
  void ReleaseBinding();

  bool IsBound() const { return boundFlag_ != 0; }
  int FirstBoundParameter() const { return firstParameter_; }
  int SecondBoundParameter() const { return secondParameter_; }
  std::int16_t ResultCode() const { return resultCode_; }
  const std::string& ResultLabel() const { return resultLabel_; }

 protected:
  TPlotAWin& plot_;
  int firstParameter_ = 0;
  int secondParameter_ = 0;
  std::uint8_t boundFlag_ = 0;
  std::string resultLabel_;  // at most 28 characters
  std::int16_t resultCode_ = 0;
};

}  // namespace kv
