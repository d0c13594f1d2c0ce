// The modeless dialogs of the 2D window's curve and solid tools, and the
// modal mouse-data dialog.  Each picks its curves from the inventory
// through the combo dialog bases and asks the window (TPlotAWin) to
// compute or to append the derived entry.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "entry/combo_dialog.h"
#include "plot2d/pre_riemann_dialog.h"
#include "plot2d/model/solids.h"

namespace kv {

class TPlotAWin;

enum : int {
  kIdToolAction = 91,      // "Spiegeln", "Drehen", "Verschieben", "Zeichnen", ...
  kIdToolUndo = 98,        // "Zurück"
  kIdXAxis = 714,
  kIdYAxis = 715,
  kIdShowCurve = 779,
  kIdSectionVolume = 785,
};

// "REFLECT", "ROTATE", "TRANSLATE": one derived entry per chosen curve (or
// per marked curve when the chosen one is marked); "Zurück" takes the
// newest entry back while it is one of the dialog's.
class TMapDlg : public TComboDlg {
 public:
  TMapDlg(TPlotAWin& window, const std::string& templateName, std::initializer_list<int> kinds);
  const plat::CommandTable& Commands() const override;
  void SetupControls() override;
  void CmAction();
  void CmUndo();
  void CeUndo(plat::CommandEnabler& ce);

 protected:
  // The signed code and the three texts of the map as the dialog stands.
  virtual int Code() = 0;
  virtual std::array<std::string, 3> Texts();
  // Whether a derivation code is the dialog's own ("Zurück").
  virtual bool OwnCode(int code) const = 0;
  TPlotAWin& plot_;
};

class TReflDlg : public TMapDlg {
 public:
  explicit TReflDlg(TPlotAWin& window);
  void SetupControls() override;

 protected:
  int Code() override;
  bool OwnCode(int code) const override { return code >= 100 && code <= 104; }
};

class TRotaDlg : public TMapDlg {
 public:
  explicit TRotaDlg(TPlotAWin& window);
  void SetupControls() override;

 protected:
  int Code() override;
  std::array<std::string, 3> Texts() override;
  bool OwnCode(int code) const override { return code == 105 || code == 106; }
};

class TTranDlg : public TMapDlg {
 public:
  explicit TTranDlg(TPlotAWin& window);

 protected:
  int Code() override { return 110; }
  bool OwnCode(int code) const override { return code == 110; }
};

// "ROUL": the roulette of the chosen curve.
class TRoulDlg : public TComboDlg {
 public:
  explicit TRoulDlg(TPlotAWin& window);
  const plat::CommandTable& Commands() const override;
  void SetupControls() override;
  // Reads the five numbers and the side; shows the message of a failure.
  bool ReadInputs();
  void CmDraw();

  long double min = 0, max = 0, start = 0, radius = 1, arm = 1;
  bool leftSide = true;

 private:
  TPlotAWin& plot_;
};

// "EVOL": the evolute of the chosen curve.
class TEvolDlg : public TComboDlg {
 public:
  explicit TEvolDlg(TPlotAWin& window);
  const plat::CommandTable& Commands() const override;
  void CmDraw();

 private:
  TPlotAWin& plot_;
};

// "REVOLVE": volume (mode set) or surface area of revolution about
// a x + b y = c, over the shared bounds of the integration dialogs.
class TRevDlg : public TPreRiemDlg {
 public:
  explicit TRevDlg(TPlotAWin& window);
  const plat::CommandTable& Commands() const override;
  void SetupWindow() override;
  void SelectionChanged() override;
  void SetMode(bool volume);
  int ReadInputs() override;
  int Compute() override;
  void CmXAxis() { SetAxis({0, 1, 0}); }
  void CmYAxis() { SetAxis({1, 0, 0}); }
  void SetAxis(const TRevolutionAxis& axis);

  TRevolutionAxis axis;
  bool volume = true;
};

// "AREA": the area swept by the ray from the origin.
class TSectorDlg : public TPreRiemDlg {
 public:
  explicit TSectorDlg(TPlotAWin& window);
  void SetupWindow() override;
  int Compute() override;
};

// "VOLTWO": the volume between two graphs turned about y = k or x = k.
class T2VolDlg : public TPreRiemDlg {
 public:
  explicit T2VolDlg(TPlotAWin& window);
  void SetupWindow() override;
  int Compute() override;
};

// "SURFREV": the surface of revolution of a curve in the 3D window.
class TSurfDlg : public TComboDlg {
 public:
  explicit TSurfDlg(TPlotAWin& window);
  const plat::CommandTable& Commands() const override;
  void SetupControls() override;
  void SelectionChanged() override;
  // The curve and angle ranges into the window: 0 or a message number.
  int ReadRange();
  int ReadAxis();
  bool ReadAll();
  void CmDraw();
  void CmShowCurve();
  void CmXAxis() { ShowAxis({0, 1, 0}); }
  void CmYAxis() { ShowAxis({1, 0, 0}); }
  void ShowAxis(const TRevolutionAxis& a);

  TRevolutionAxis axis;

 private:
  TPlotAWin& plot_;
};

// "SECTION": volume of a solid with known cross-sections between two
// graphs, or the solid itself in a 3D window.
class TSectionDlg : public T2ComboDlg {
 public:
  explicit TSectionDlg(TPlotAWin& window);
  const plat::CommandTable& Commands() const override;
  void SetupControls() override;
  // 0 or a message number (shown).
  int ReadInputs();
  void CmDraw();
  void CmVolume();
  void CmHeightShape();

  int shape = 1;
  bool doubled = false;
  std::string height = "2.0";
  std::int16_t xDivisions = 1, zDivisions = 40;
  std::int32_t steps = 100;
  TSectionBound lo, hi;

 private:
  TPlotAWin& plot_;
};

// "LBDATA": which entry receives the points clicked with the left button.
class TLBDatDlg : public TDlg {
 public:
  TLBDatDlg(TPlotAWin& window, std::int16_t* target);
  void SetupWindow() override;
  void EvControl(int id, int notification) override;
  void OnChange();

 private:
  TPlotAWin& plot_;
  std::int16_t* target_;
};

// The window's tool dialogs, created on first use.
struct TCurveToolDialogs {
  std::unique_ptr<TReflDlg> reflect;
  std::unique_ptr<TRotaDlg> rotate;
  std::unique_ptr<TTranDlg> translate;
  std::unique_ptr<TRoulDlg> roulette;
  std::unique_ptr<TEvolDlg> evolute;
  std::unique_ptr<TRevDlg> revolve;
  std::unique_ptr<TSectorDlg> sector;
  std::unique_ptr<T2VolDlg> volumeBetween;
  std::unique_ptr<TSurfDlg> surface;
  std::unique_ptr<TSectionDlg> section;
};

}  // namespace kv
