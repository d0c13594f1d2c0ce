// The analysis layer of the plot windows, between the equation-entry layer
// and the slider and tracing layer: the inventory dialog's edit state, the
// side windows and the analysis dialogs shared by the window kinds (point
// list, point sets, arc length, combinations, distance, data check), the
// commands that open them with their enablers, the drawing of implicit
// curves and point items, and the virtual operations the 2D and 3D windows
// fill in.
#pragma once

#include <cstdint>
#include <string>

#include "entry/plot1_win.h"

namespace kv {

enum : int {
  kCmInventory = 504,          // "&Inventar ..." (Strg+I)
  kCmPointList = 507,          // "&Punktfolge zeichnen ..."
  kCmPointSets = 508,          // "&Liste ..."
  kCmTimeWindowFirst = 630,    // "&x(t)-Fenster ..." ..
  kCmTimeWindowLast = 633,
  kCmPlaneWindowFirst = 634,   // 3D: "&5 xy-Fenster ..." ..
  kCmPlaneWindowLast = 636,
  kCmArcLength = 723,          // "&Bogenlänge ..."
  kCmCombinations = 750,       // "&Kombinationen ..."
  kCmAutonomousTrajectory = 780,  // "dy/d&t Bahnkurve ..."
  kCmSlopeTrajectory = 781,    // "dy/d&x Bahnkurve ..."
  kCmSequences = 782,          // "&Folgen ..."
  kCmLineIntegral = 832,       // "K&urvenintegral ..."
  kCmCheckData = 866,          // "&Prüfen ..."
  kCmDistance = 875,           // "&Abstand ..."
  kCmMarkPenWidth = 883,       // "&Stiftbreite ..."
};

// "Stiftbreite für Anzeige"
inline constexpr int kStrMarkPenWidth = 1170;

class TPlot11Win : public TPlot1Win {
 public:
  TPlot11Win(plat::Window* parent, const std::string& title);
  ~TPlot11Win() override;

  const plat::CommandTable& Commands() const override;
  void SetupWindow() override;
  void Destroy() override;
  void NewFile() override;
  void UpdateView() override;
  bool ResizeInventory(int newCapacity, bool copy) override;
  void CloseStaleDialogs(bool all) override;
  void SetInventoryEditing(bool on) override;
  // The plot file's reader and writer stand here; until they arrive a file
  // holds the common header and the protection.
  int ReadFile() override { return ReadBasicFile(); }
  bool WriteFile() override { return WriteBasicFile(); }

  // True while no inventory entry is being edited; otherwise message 111
  // "am Bearbeiten" and false.
  bool CheckInventoryIdle();
  void ShowInventory();
  // A new point entry (kind 100·d + 9) in the coordinate system (0
  // Cartesian, 1 polar or cylindrical, 2 spherical, 4 complex) through
  // "EQUA309"; true when it was added.
  bool NewPoint(int system);
  // The first visible entry of one of the kinds, or -1.
  int FindVisibleOfKinds(std::initializer_list<int> kinds) const { return FindEquationOfKinds(kinds, true); }

  // Drawing of implicit curves and point items (their full drawers come
  // with their own work; until then the plot layer's tracer draws implicit
  // curves).
  int DrawImplicitEquation(plat::DC& dc, int i);

  // ---- virtual operations ----
  // Empties the drawing for a new file: the window kinds free their
  // inventory, pictures, labels and view here.
  virtual void ClearDrawing() {}
  virtual void OnViewChanged() {}
  virtual void RebuildInterpolation(int i) {}
  virtual void DrawSampledItem(plat::DC& dc, int i) {}
  virtual void ReadPlanetValues(int i) {}
  virtual void OpenLineIntegralDialog() {}
  virtual void OpenAutonomousTrajectoryDialog() {}
  virtual void OpenSlopeTrajectoryDialog() {}
  virtual void OpenSequenceDialog() {}
  // Which side windows and dialogs are open, as the plot file keeps it.
  virtual std::int32_t GetOpenWindowsMask() { return 0; }
  virtual void RestoreIntegrationDialog(std::int16_t first, std::int16_t second, std::int16_t mode) {}
  virtual void GetIntegrationDialogState(std::int16_t words[3]) {
    words[0] = -1;
    words[1] = -1;
    words[2] = 0;
  }

  // ---- fields ----
  // The inventory dialog's edit flag and whether it is hidden.
  std::uint8_t inventoryEditing = 0;
  std::uint8_t inventoryHidden = 1;
  // The first entries of the dy/dt, dy/dx and sequence kinds (-1: none).
  std::int16_t firstOdeEquation = -1;
  std::int16_t firstSlopeEquation = -1;
  std::int16_t firstSequenceEquation = -1;
  std::int16_t planeWindowSetting = 0;
  std::uint8_t loading = 0;
  std::uint8_t colourMode3D = 1;
  std::uint8_t colourMode3D2 = 0;

 private:
  void CmInventory() { ShowInventory(); }
  void CeInventory(plat::CommandEnabler& ce) { ce.Enable(equationCount >= 0); }
  void CmPointList() {}
  void CePointList(plat::CommandEnabler& ce);
  void CmPointSets() {}
  void CmArcLength() {}
  void CeArcLength(plat::CommandEnabler& ce) { CePointList(ce); }
  void CmCombinations() {}
  void CeCombinations(plat::CommandEnabler& ce);
  void CmAutonomousTrajectory() { OpenAutonomousTrajectoryDialog(); }
  void CmSlopeTrajectory() { OpenSlopeTrajectoryDialog(); }
  void CmSequences() { OpenSequenceDialog(); }
  void CmLineIntegral() { OpenLineIntegralDialog(); }
  void CeLineIntegral(plat::CommandEnabler& ce);
  void CmCheckData() {}
  void CeCheckData(plat::CommandEnabler& ce) { ce.Enable(equationCount >= 0); }
  void CmDistance() {}
  void CeDistance(plat::CommandEnabler& ce);
  void CmMarkPenWidth();
  void CmSideWindow(int id) {}
};

}  // namespace kv
