// "Nullstellen": steps through the zeros of a function graph, a segment or
// a line from left to right ("Nächste"), stores the zero in a parameter
// ("x speichern als") or as a point entry ("Zeichnen Punkt").  Modeless,
// created once per window.  The shared pieces of the point-finding tools
// (letter lists, storing a value, the mark over the plot) are here too.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/vector2d.h"
#include "entry/combo_dialog.h"

namespace kv {

class TPlotCWin;

enum : int {
  kIdToolNext = 743,       // "Nächste" / "Nächstes Extremum von" / "Nächster Schnittpunkt"
  kIdToolStore = 57,       // "x speichern als" / "Speichere"
  kIdToolPoint = 712,      // "Zeichnen Punkt" / "Punkt"
  kIdToolResult = 231,     // the result text
  kIdToolLetters = 298,    // "A" .. "Z"
  kIdToolSource = 297,     // what "Speichere" stores
  kIdToolTarget = 296,     // the extremum's quantity
  kIdToolDegrees = 271,    // "Gradmaß"
};

inline constexpr std::string_view kParameterLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";

// One row per character, the first selected.
void FillToolLetterCombo(plat::Dialog& d, int id, std::string_view letters);
// Sets the parameter (1 = A .. 26 = Z) and shows it in its open slider.
void StoreToolValue(TPlotCWin& w, int letter, long double value);

class TZeroDlg : public TComboDlg {
 public:
  explicit TZeroDlg(TPlotCWin& window);

  const plat::CommandTable& Commands() const override;
  void SetupControls() override;
  void SetupWindow() override;
  void SelectionChanged() override;
  void EvControl(int id, int notification) override;
  void Recalculate() override { FindNextZero(); }

  // The next zero of the chosen entry, shown and attached as a result.
  void FindNextZero();
  // 0 "nicht zu finden", 1 found, 10 "zu viele", 65 stopped.
  void ShowResult(int code);

  bool Found() const { return found_ != 0; }
  long double X() const { return x_; }
  int Letter() const { return letter_; }
  // The mark over the plot while a zero is shown.
  bool Mark(TPoint2D& p) const;

 private:
  void CmNext() { FindNextZero(); }
  void CmStoreAs();
  void CmDrawPoint();
  void CeDrawPoint(plat::CommandEnabler& ce);

  TPlotCWin& plot_;
  int letter_ = 1;
  int counter_ = 0;
  std::uint8_t found_ = 0;
  long double x_ = 0;
  bool ready_ = false;
};

}  // namespace kv
