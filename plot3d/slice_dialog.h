// The slice dialog ("Schnitte", template "SLICER"): on one surface of the
// 3D window the two parameter lines through a point of its parameter
// domain, moved with two scroll bars or typed values, animated back and
// forth ("Autorev") or cyclically ("Autozyk"), and turned into entries of
// the inventory ("Ebene": the tangent plane there, "Kreuz": the two lines).
// The lines themselves are drawn by the window's overlay pass from
// TToolOverlays::slice, which this dialog keeps up to date.
#pragma once

#include "entry/combo_dialog.h"

namespace kv {

class TPlotRWin;

enum : int {
  kSliceValue1 = 211,
  kSliceValue2 = 212,
  kSliceValueLabel1 = 231,
  kSliceValueLabel2 = 232,
  kSliceLineLabel1 = 233,
  kSliceLineLabel2 = 234,
  kSliceScroll1 = 293,
  kSliceScroll2 = 294,
  kSliceLetter1 = 296,
  kSliceLetter2 = 297,
  kSliceFixed = 251,       // "Fest"
  kSliceAnimated = 252,    // "Animiert": the new entries follow two parameters
  kSliceAutoReverse1 = 738,
  kSliceAutoCycle1 = 740,
  kSliceAutoReverse2 = 838,
  kSliceAutoCycle2 = 840,
  kSlicePlane = 767,       // "Ebene"
  kSliceCross = 768,       // "Kreuz"
};

class TSliceDlg : public TComboDlg {
 public:
  explicit TSliceDlg(TPlotRWin& window);

  const plat::CommandTable& Commands() const override;
  void SetupControls() override;
  void SelectionChanged() override;
  void EvControl(int id, int notification) override;
  // OK: the typed values (clamped into the bounds); "unverständlich" when
  // one cannot be read.
  void Recalculate() override;
  void RefreshPlot() override;
  // The window's slider steps changed: new scroll ranges, values re-read.
  void Refresh() override;

  // Shows the dialog with its lines.
  void Open();
  // Reads both edits; false (nothing stored) when one is not a number.
  bool ReadValues();
  void UpdateLabels();

  long double Value(int k) const { return k == 1 ? value1_ : value2_; }
  long double Lower(int k) const { return k == 1 ? lower1_ : lower2_; }
  long double Upper(int k) const { return k == 1 ? upper1_ : upper2_; }
  // The scroll bars' step count (the first parameter slider's).
  int Steps() const;

 private:
  void OnScroll(int k);
  void Animate(int k, bool reverse);
  void AddSlice(bool cross);
  void SetupScrollBars();
  void SetPositions();
  // The values into the overlay and an overlay repaint.
  void ShowLines();
  void CmAutoReverse1() { Animate(1, true); }
  void CmAutoCycle1() { Animate(1, false); }
  void CmAutoReverse2() { Animate(2, true); }
  void CmAutoCycle2() { Animate(2, false); }
  void CmPlane() { AddSlice(false); }
  void CmCross() { AddSlice(true); }
  void CeAddOne(plat::CommandEnabler& ce);
  void CeAddTwo(plat::CommandEnabler& ce);

  TPlotRWin& plot_;
  long double lower1_ = -1, lower2_ = -1;
  long double value1_ = 0, value2_ = 0;
  long double upper1_ = 1, upper2_ = 1;
  bool busy_ = false;
};

}  // namespace kv
