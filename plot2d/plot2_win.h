// The concrete 2D windows: the ordinary 2D window that the main frame opens
// (TPlotEWin > TPlot2Win) and the linked window it can open beside itself
// (TPlotDWin), both on the 2D command and drawing layer.
#pragma once

#include <string>

#include "plot2d/plot_c_win.h"

namespace kv {

class TPlotDWin;

enum : int {
  kStrLinkedWindowName = 272,  // "Fenster"
};

// The linked window: a 2D window without the animation menu that never
// opens a file; it clears its owner's pointer when it is destroyed.
class TPlotDWin : public TPlotCWin {
 public:
  TPlotDWin(plat::Window* parent, const std::string& title, TPlotDWin** ownerField);
  void SetupWindow() override;
  void Destroy() override;

 protected:
  // The linked window's menu has no "&Anim".
  void RestoreWindowMenu(const std::string& name) override;

 private:
  TPlotDWin** ownerField_;
};

class TPlotEWin : public TPlotCWin {
 public:
  TPlotEWin(plat::Window* parent, const std::string& title);
  const plat::CommandTable& Commands() const override;
  void Destroy() override;
  // Redraws for a changed parameter here and in the linked window.
  void RedrawEquation(int parameter) override;
  // Command 874 "&Fenster ...": creates the linked window, or restores it.
  void CmLinkedWindow();

  TPlotDWin* LinkedWindow = nullptr;
};

class TPlot2Win : public TPlotEWin {
 public:
  TPlot2Win(plat::Window* parent, const std::string& caption);
  void SetupWindow() override;
  void Destroy() override;
};

}  // namespace kv
