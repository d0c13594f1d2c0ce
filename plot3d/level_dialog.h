// "Höhenlinien" (template "LEVELS"): the levels of one surface of the 3D
// window, chosen by minimum, maximum and count, stepped through or drawn
// all at once, and sent to the level window.  The list shows the pieces
// stored for the chosen axis.
#pragma once

#include "plot3d/ivp_dialog_3d.h"
#include "plot3d/model/level_curves.h"

namespace kv {

enum : int {
  kLevelCurrent = 211,
  kLevelCount = 212,
  kLevelMinimum = 213,
  kLevelMaximum = 214,
  kLevelAxisXButton = 251,
  kLevelAxisYButton = 252,
  kLevelAxisZButton = 253,
  kLevelSearch = 353,     // "Höhe suchen"
  kLevelNext = 743,       // "Nächste Höhe"
  kLevelPrevious = 843,   // "Vorige Höhe"
  kLevelAuto = 844,       // "Auto"
  kLevelShowCurrent = 778,  // "Aktuell"
  kLevelShowAll = 779,      // "Alles"
};

class TLevelDlg : public T3DIvpDlg {
 public:
  TLevelDlg(TPlotRWin* window, const std::string& templateName, int equation);
  void SetupWindow() override;
  const plat::CommandTable& Commands() const override;
  void Accept() override;
  void Revert() override;
  void DeleteSelected() override;
  void DeleteListed() override;

  // Caption, the z axis, the axis buttons by the surface's kind.
  void InitControls();
  void CmChooseAxis();
  void ShowFields();
  // The four fields into the surface record; false (message 1, nothing
  // stored) when a field does not read, fewer than 2 or more than 1000
  // levels, an empty range, or (strict) a current level outside it.
  bool ReadFields(TLevelReading mode);
  void CmSearchLevel();
  void CmNextLevel();
  void CmPreviousLevel();
  void CmAutoLevels();
  void CmShowCurrent();
  void CmShowAll();

  int Axis() const { return axis_; }
  long double Current() const { return current_; }
  bool LevelsDrawn() const { return levelsDrawn_; }

 private:
  // The range of the chosen axis in the record.
  TLevelRange Range();
  void StoreRange(const TLevelRange& r);
  bool Send(bool mark, bool searchWithoutLimit, bool drawNow, bool keepNearLevel);
  int axis_ = kLevelAxisZ;
  long double current_ = 0;
  bool levelsDrawn_ = false;
};

}  // namespace kv
