// The side windows of a plot window: time windows (x(t), y(t), z(t), or all
// coordinates against t) and, for 3D windows, phase windows (the projection
// onto the xy, zx or yz plane).  They are complete plot windows with view,
// grid, axes, fonts, export and printing, but they own no inventory: each
// paint walks the owner's entries, runs the owner's trajectories and
// sequences and plots the points in its own coordinates.  They share the
// owner's parameter values.
#pragma once

#include <array>
#include <string>

#include "entry/plot1_win.h"

namespace kv {

class TSideWin : public TPlot1Win {
 public:
  ~TSideWin() override;

  const plat::CommandTable& Commands() const override;
  void SetupWindow() override;
  void Destroy() override;
  // The owner's trajectories and sequences (the background, grid and axes
  // are the plot layer's).
  int DrawEquations(plat::DC& dc) override;
  // Nothing of its own is saved: closing the owner never asks about it.
  bool CanClose() override { return true; }
  // Its close button hides it; it lives as long as its owner.
  void EvClose() override { CmClose(); }

  TPlot1Win* Owner() const { return owner_; }
  int Number() const { return number_; }
  // The drawing mode of the window: 9 + k for time window k, 3, 5 or 6 for
  // phase windows 0, 1, 2.
  int PlaneCode() const { return planeCode_; }
  // Shown and brought to the top.
  void ShowSideWindow();

 protected:
  TSideWin(TPlot1Win* owner, int number, int planeCode);
  // The world points of a computed point (parameter t): one per plotted
  // coordinate; their number.
  virtual int MapPoint(long double t, const TPoint3D& p, TPoint2D out[3]) const = 0;
  virtual bool DrawsKind(int kind) const = 0;
  // The view taken from the owner at set-up.
  virtual void SetInitialView() = 0;
  virtual bool IsTimeWindow() const = 0;
  void PlaceWindow(int width, int height);
  // The caption: the window's name and the owner's file name.
  void SetSideCaption(const std::string& name);

  TPlot1Win* owner_;
  int number_;
  int planeCode_;

 private:
  int DrawTrajectoryItem(plat::DC& dc, int i, TEquationItem& item);
  int DrawSequenceItemHere(plat::DC& dc, int i, const TEquationItem& item);
  void CmHelp();
  void CmClose();
};

// Time window k: x (0), y (1), z (2 in a 3D owner) against t, or every
// coordinate against t (k equal to the owner's dimension).
class TTimeWin : public TSideWin {
 public:
  TTimeWin(TPlot1Win* owner, int k);

 protected:
  int MapPoint(long double t, const TPoint3D& p, TPoint2D out[3]) const override;
  bool DrawsKind(int kind) const override;
  void SetInitialView() override;
  bool IsTimeWindow() const override { return true; }

 private:
  bool Combined() const { return number_ >= owner_->dimension; }
};

// Phase window k of a 3D owner: the xy (0), zx (1) or yz (2) plane.
class TPhasWin : public TSideWin {
 public:
  TPhasWin(TPlot1Win* owner, int k);
  // The coordinates plotted across and up: 0 x, 1 y, 2 z.
  int Across() const { return (2 * number_) % 3; }
  int Up() const { return (2 * number_ + 1) % 3; }

 protected:
  int MapPoint(long double t, const TPoint3D& p, TPoint2D out[3]) const override;
  bool DrawsKind(int kind) const override;
  void SetInitialView() override;
  bool IsTimeWindow() const override { return false; }
};

}  // namespace kv
