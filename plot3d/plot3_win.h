// The concrete 3D windows: the ordinary 3D window that the main frame opens
// (F3, command 403) and the secondary 3D window, which the ordinary one
// opens beside itself with "&Fenster ..." and the 2D window's solid tools
// fill.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "plot3d/plot_r_win.h"

namespace kv {

class TPlotSWin;

// The secondary 3D window.  Closing it hides it and empties its drawing;
// it clears its owner's pointer when it is destroyed.
class TPlotSWin : public TPlotRWin {
 public:
  TPlotSWin(plat::Window* parent, const std::string& title, TPlotSWin** ownerField = nullptr);
  void SetupWindow() override;
  void Destroy() override;
  void Hide() override;
  // A surface of revolution (kind 307) sets the parameters its ranges are
  // tied to: values and slider limits from the record.
  void CopySliderParameters(int i) override;

  std::uint8_t IsSecondary = 0;
  // Runs when the window is destroyed (a 2D window that owns it forgets it).
  std::function<void()> forget;

 private:
  TPlotSWin** ownerField_;
};

class TPlot3Win : public TPlotRWin {
 public:
  TPlot3Win(plat::Window* parent, const std::string& caption);
  const plat::CommandTable& Commands() const override;
  void SetupWindow() override;
  void Destroy() override;
  // A changed parameter is redrawn here and in the secondary window.
  void RedrawEquation(int parameter) override;
  // Command 874 "&Fenster ...": creates the secondary window, or shows it
  // again.
  void CmSecondaryWindow();

  TPlotSWin* SecondaryWin = nullptr;
};

}  // namespace kv
