// The first two layers of the 2D window on top of the shared plot layers:
// TPlotAWin holds the 2D window's identity (file type, menu, settings
// file, file dialog) and the calculus computations; TPlotBWin the first
// group of calculus dialogs.  The dialogs arrive with their tools; the
// layers already stand in the chain so that the layers above build on them.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "entry/model/numeric_integration.h"
#include "entry/plot111_win.h"
#include "plot2d/model/curve_crossing.h"
#include "plot2d/model/solids.h"

namespace kv {

inline constexpr std::int32_t kFileType2D = 841;

enum : int {
  kCmConnectPoints = 702,  // "&Punkte verbinden"
};

// Derivation code of an antiderivative graph (kind 206).
inline constexpr std::int16_t kDerivedAntiderivative = 73;

// Result codes of the integration tools.
enum : std::int16_t {
  kResultRiemann = 51,            // 52 for f - g
  kResultArcLength = 53,
  kResultSectorArea = 55,
};

// The overlay colour slot of the Riemann strips.
inline constexpr int kRiemannColourSlot = 13;

class TPreRiemDlg;
class TRiemDlg;
class TDistDlg;
struct TCurveToolDialogs;

class TPlotAWin : public TPlot111Win {
 public:
  TPlotAWin(plat::Window* parent, const std::string& title);
  ~TPlotAWin() override;

  const plat::CommandTable& Commands() const override;
  void SetupWindow() override;
  void UpdateMenuChecks(bool drawMenuBar) override;
  // The 2D kinds, unless an entry is kept out of sight (sub-value B
  // negative).
  bool IsEquationDrawable(int i) override;

  // ---- points of the calculus tools (plot_a_points.cpp) ----
  // Appends a point entry at (x; y) with the window's marker size,
  // compiles, labels and draws it; its index, or -1 when there is no room.
  int AddPointItem(long double x, long double y);
  // Moves the start of trajectory item `item` of entry `path` onto the
  // first crossing of its run with the implicit entry `curve`.
  CrossingResult RefineCurveCrossing(int path, TEquationItem& item, int curve, TPoint3D& end);
  // Polled by the tools' searches: "A" stops them.
  bool ToolSearchStopped();

  // ---- solutions of dy/dx equations (dydx_drawing.cpp) ----
  // One step of y' = f(x, y) from p by the method; 0, or 1 (p unchanged)
  // where f is undefined or "&Unendliche Steigung" stops the solution.
  int StepDyDx(TExprNode* f, int method, TPoint2D& p, long double h);
  // 0 inside the view, 1 above or below it, 2 left or right of it.
  int ClassifyPointInView(const TPoint2D& p) const;
  // One solution item of the kind-211 entry i: its steps drawn on dc (and
  // on the screen while "Verfolgen" runs), or with a text buffer its points
  // as value lines of the width and decimals.  0, or 65 when stopped.
  int DrawDyDxTrajectory(plat::DC& dc, int i, TEquationItem& item, std::string* text, int width, int decimals);
  // The plot layer's item hook: kind-211 items drawn (width < 0) or listed.
  int DrawAnalysis(plat::DC& dc, int i, TEquationItem& item, std::string& text, int width, int decimals) override;
  bool CollectDyDxSteps(int i, TEquationItem& item, std::vector<TPoint2D>& points) override;
  // A new solution item of entry i (kind 211) in the trajectory colour
  // (slot 8), drawn into the back buffers and on the screen; the window is
  // marked modified.  0, or 65 when stopped.
  int AddDyDxTrajectoryBuffered(int i, const TPoint2D& start, long double h, int method, int width);

  // Cleared while "&Punkte verbinden" is checked (the samples are joined);
  // set, the curve drawers show each sample as a point alone.
  std::uint8_t samplesAsPoints = 0;
  // The equation chosen by the mouse-data dialog (-1 none).
  std::int16_t mouseDataEquation = -1;

  // ---- integrals (plot_a_integrals.cpp) ----
  // The bounds and division count shared by the integration dialogs; they
  // travel in the plot file's integration values.  A fresh window starts
  // with [0, 1] (or the middle half of the view) and 100 divisions.
  long double& IntegrationLeft();
  long double& IntegrationRight();
  std::int32_t IntegrationDivisions() const;
  void SetIntegrationDivisions(std::int32_t n);
  // The last result of an integration dialog and its text.
  long double integrationValue = 0;
  std::string integrationText;
  // The six sums of the last Riemann computation and their texts.
  std::array<long double, kSumCount> ruleValues{};
  std::array<std::string, kSumCount> ruleTexts;
  // The seed of the random points of the last Riemann computation: the
  // overlay draws the same points.
  std::uint32_t riemannSeed = 1;
  // Stop on "A" unless the drawing is quiet; the random points from seed.
  TQuadratureControl QuadratureControl(std::uint32_t seed);
  // The six sums of entry f minus entry g (g < 0: f alone) over the shared
  // bounds: 0, kIntegrationStopped (the user pressed "A"; the sums of the
  // last result stay) or a message code.
  int RiemannArea(int f, int g);
  // The strips of the first ticked rule over [a, b] with n divisions (fewer
  // where the plot is narrow); 0 or the stop key.
  int DrawRiemannOverlay(plat::DC& dc, int f, int g, long double a, long double b, std::int32_t n);
  // Appends the antiderivative graph of f (minus g) starting at the shared
  // left bound, its start carried by parameter letter 1..23 when given:
  // 0, 4 (inventory full) or 1 (no common interval).
  int AddAntiderivativeGraph(int f, int g, int letter);
  bool BuildAntiderivativeItem(int i);
  // The arc length of entry i: 0, kIntegrationStopped (no result) or a
  // message code; the value and text go to integrationValue and
  // integrationText.
  int ArcLengthOf(int i);

  // ---- curve tools (curve_tools.cpp): mapped curves, roulettes, evolutes,
  // derivative graphs.  Each returns 0 or a message number (400 + n). ----
  // Maps every listed source in order (stopping at the first error) by the
  // code; a negative reflection code also adds the mirror line after the
  // last one.  Shows the error's message.
  int TransformCurve(const std::vector<int>& sources, int signedCode, const std::array<std::string, 3>& texts);
  int AddReflectedOrRotated(int source, int code, const std::array<std::string, 3>& texts, bool addLine);
  int AddTranslated(int source, const std::array<std::string, 3>& texts);
  // leftSide: the circle rolls on the left of the curve ("Linke Seite").
  int AddRoulette(int source, bool leftSide, long double min, long double start, long double max,
                  long double radius, long double arm);
  int AddEvolute(int source);
  void AddDerivedGraph(int i) override;
  // The builders the rebuild pass calls.
  bool RebuildMappedEquation(int i);
  bool RebuildRoulette(int i);
  bool RebuildEvolute(int i);
  bool RebuildDerivativeGraph(int i);

  // ---- solids (solid_tools.cpp) ----
  // Volume or surface area of revolution, sector area and the volume
  // between two graphs over the shared bounds with the shared division
  // count: 0, kIntegrationStopped (the user pressed "A"; no result) or a
  // message number; the value and its text go to integrationValue and
  // integrationText.
  int RevolutionMeasure(int curve, const TRevolutionAxis& axis, bool volume);
  int SectorArea(int curve);
  int VolumeBetween(int f, int g, long double k, bool vertical);
  // The cross-section volume over [lo, hi] with n steps, stored on both
  // graphs: 0, kIntegrationStopped (nothing stored) or a message number;
  // the value in `result`, in integrationValue and integrationText.
  int SectionVolume(int f, int g, int shape, const std::string& height, bool doubled, long double lo,
                    long double hi, int n, long double& result);
  // The surface of revolution of the curve over revolutionRange about
  // revolutionAxis, added to the "Rotation.kv3" window.
  int BuildRevolutionSurface(int curve);
  // The cross-section solid, added to the "Sections.kv3" window.
  int BuildSectionSolid(int f, int g, int shape, const std::string& height, bool doubled, const TSectionBound& lo,
                        const TSectionBound& hi, int xDivisions, int zDivisions);
  // The companion 3D windows (created on first use; null before).
  TPlot111Win* RevolutionWindow() const { return revolutionWin_; }
  TPlot111Win* SectionWindow() const { return sectionWin_; }
  TCurveToolDialogs& ToolDialogs();
  // The curve and solid dialogs go with everything (all) or hide when no
  // entry of their kinds is left.
  void CloseStaleDialogs(bool all) override;

  // The surface-of-revolution settings kept between openings of "SURFREV".
  TRevolutionRange revolutionRange{{0, 0}, {1, 0}, {0, 0}, {6.283185307179586L, 0}};
  TRevolutionAxis revolutionAxis;

  // ---- the tools' commands (curve_tool_commands.cpp) ----
  void CmReflect();
  void CmRotate();
  void CmTranslate();
  void CmRoulettes();
  void CmEvolute();
  void CmSectorArea();
  void CmRevolutionVolume();
  void CmRevolutionSurface();
  void CmVolumeBetween();
  void CmRotateCurve();
  void CmCrossSections();
  void CmMouseData();

 private:
  void CmConnectPoints();
  // A companion 3D window, made by the program's window creators on first
  // use, or shown again.
  TPlot111Win* CompanionWindow(TPlot111Win*& slot, int titleString);
  // Integrates with the window's caption and key poll; the value into the
  // shared result.
  int FinishMeasure(int code, long double value, bool gaps);
  TPlot111Win* revolutionWin_ = nullptr;
  TPlot111Win* sectionWin_ = nullptr;
  std::unique_ptr<TCurveToolDialogs> toolDialogs_;
  void SetIntegrationResult(long double value, bool gaps = false);
};

class TPlotBWin : public TPlotAWin {
 public:
  TPlotBWin(plat::Window* parent, const std::string& title);
  ~TPlotBWin() override;

  // True when one of the first three side windows is open and shown.
  virtual bool HasOpenSideWindow() { return false; }
  // Re-titles the dialogs whose captions carry the file name.
  virtual void RefreshDialogCaptions() {}

  // ---- integration dialogs (plot_b_integral_dialogs.cpp) ----
  void Destroy() override;
  void CloseStaleDialogs(bool all) override;
  // Creates the Riemann dialog once, sets its mode (1 f, 2 f - g) and
  // shows or hides it.
  void OpenIntegrationDialog(int mode, bool show);
  void OpenArcLengthDialog();
  void OpenDistanceDialog();
  TRiemDlg* RiemannDialog() const { return riemannDialog_.get(); }
  TPreRiemDlg* ArcLengthDialog() const { return arcLengthDialog_.get(); }
  TDistDlg* DistanceDialog() const { return distanceDialog_.get(); }
  // The strips of the Riemann dialog's functions while its display is on,
  // over the bounds and count its own fields hold (the shared ones may be
  // another integration dialog's); none while its fields fail its check.
  int DrawIntegrationOverlays(plat::DC& dc);
  // A parameter moved: dialogs whose bounds follow parameters compute
  // again, the open integration dialog shows the sums anew, the distance
  // follows its points.
  void RefreshIntegrationDialogs();
  void RestoreIntegrationDialog(std::int16_t first, std::int16_t second, std::int16_t mode) override;
  void GetIntegrationDialogState(std::int16_t words[3]) override;

 private:
  std::unique_ptr<TRiemDlg> riemannDialog_;
  std::unique_ptr<TPreRiemDlg> arcLengthDialog_;
  std::unique_ptr<TDistDlg> distanceDialog_;
};

}  // namespace kv
