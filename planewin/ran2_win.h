// The range window of a plane mapping (TMap2Win > TRan2Win): a free popup
// that owns no entries.  Between AttachDomain and ReleaseDomain it draws
// the domain window's inventory with the domain's parameters, every point
// through the selected mapping; it never resizes or frees what it borrows.
#pragma once

#include "planewin/map2_win.h"
#include "planewin/model/range_state.h"

namespace kv {

class TRan2Win : public TMap2Win {
 public:
  TRan2Win(plat::Window* parent, const std::string& caption);

  void SetupWindow() override;
  void Destroy() override;
  // The range window closes without asking.
  bool CanClose() override { return true; }
  // The pair's file belongs to the domain window.
  void NewFile() override {}
  bool CanOpen() override { return false; }
  bool CanSave() override { return false; }
  bool CanSaveAs() override { return false; }
  void ClearDrawing() override {}
  int DrawEquations(plat::DC& dc) override;

  // What the domain window's file keeps of this window, and back.
  TRangeState RangeState() const;
  void ApplyRangeState(const TRangeState& s);
  // Shown again after the user hid it.
  void ShowAgain();
  // The first drawing widens the view a little.
  void DrawPlotLayer(plat::DC& dc) override;

  // Borrows the domain window's inventory and parameters.
  void AttachDomain(TDom2Win* domain);
  void ReleaseDomain() override;

  std::uint8_t FirstDraw = 0;
  std::uint8_t MappingMode = 0;  // as the domain window's
};

}  // namespace kv
