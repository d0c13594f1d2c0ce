// The analysis layer of the plot windows, between the equation-entry layer
// and the slider and tracing layer: the inventory dialog's edit state, the
// side windows and the analysis dialogs shared by the window kinds (point
// list, point sets, arc length, combinations, distance, data check), the
// commands that open them with their enablers, the drawing of implicit
// curves and point items, and the virtual operations the 2D and 3D windows
// fill in.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "entry/plot1_win.h"
#include "entry/model/field_integrals.h"
#include "entry/model/plot_file_blocks.h"

namespace kv {

struct TPlotFileState;
class TDataWin;
class TSideWin;

enum : int {
  kCmNewFile = 78,             // "&Neu" (Strg+N)
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

// Bits of the open-windows mask of the plot file: time windows 0-3, the
// dy/dt, dy/dx and sequence dialogs, plane windows 0-2.
inline constexpr std::int32_t kOpenTimeWindows = 0x000F;
inline constexpr std::int32_t kOpenPlaneWindows = 0x0380;
inline constexpr int kOpenPlaneShift = 7;
// The dy/dx dialog's bit: a file's mask reopens it, but a save never sets
// it.
inline constexpr std::int32_t kOpenSlopeDialog = 0x0020;
inline constexpr int kTimeWindowCount = 4;
inline constexpr int kPlaneWindowCount = 3;

class TFnListDlg;
class TPtListDlg;
class TManyPtDlg;
class TCombineDlg;
class TLineDlg;
class TFluxDlg;

class TPlot11Win : public TPlot1Win {
 public:
  TPlot11Win(plat::Window* parent, const std::string& title);
  ~TPlot11Win() override;

  const plat::CommandTable& Commands() const override;
  void SetupWindow() override;
  void Destroy() override;
  void NewFile() override;
  void UpdateView() override;
  // The window's caption, and the inventory dialog's "Inventar [name]".
  void UpdateCaption(bool saving, const char* extra = nullptr) override;
  bool ResizeInventory(int newCapacity, bool copy) override;
  void CloseStaleDialogs(bool all) override;
  void SetInventoryEditing(bool on) override;
  void NotifyDataWindow() override;
  void InvalidateCompanions(int i) override;
  // After the user functions changed: the entered entries are compiled
  // again and the derived ones rebuilt from them (their trees hold the
  // expanded functions), the window is marked modified and repainted.
  void UserFunctionsChanged() override;
  // A redrawn plot redraws the open side windows too.
  void PaintBuffered(plat::DC& dc) override;
  // Implicit curves, points and point sequences by their drawers below;
  // the other kinds as the plot layer draws them.
  int DrawEquation(plat::DC& dc, int i) override;
  // ---- plot file (plot_file_reader.cpp, plot_file_writer.cpp; the codec
  // is entry/model/plot_file.h) ----
  // Reads the window's file: 0, 11 (missing, another window kind's,
  // truncated or damaged) or 8 (newer format).  The whole file is read and
  // checked before anything of the window changes, so on 11 and 8 the
  // window stays as it was.
  int ReadFile() override;
  // Writes the window to its file name; false when the file cannot be
  // created or put on disk (the previous file is then left as it was).
  bool WriteFile() override;
  // The two refreshes before an entry is written: the nodes of an
  // interpolated entry into its record, the bodies of a planet system into
  // its items.
  void PackInterpolationNodes(int i);
  void PackPlanetBodies(int i);
  // The window into a plot-file state, and a read state into the window.
  // Filling moves the entries into the state; ReturnPlotEntries moves them
  // back.
  void FillPlotState(TPlotFileState& s);
  void ReturnPlotEntries(TPlotFileState& s);
  void ApplyPlotState(TPlotFileState& s);
  // What a window keeps in the record images beyond the records' fields:
  // added to a state before it is written, taken from a read state before
  // it is applied.
  virtual void AddRecordBytes(TPlotFileState& s) {}
  virtual void TakeRecordBytes(const TPlotFileState& s) {}
  // Reopens the side windows and dialogs of an open-windows mask.
  void RestoreSideWindows(std::int32_t mask);
  // The window's settings into blocks 2 to 5 of a file, and back with the
  // reader's replacements of unusable values (plot_file_settings.cpp).
  // Settings the window has no field for go to storedSettings and come
  // back from there.
  virtual void StoreFileSettings(TPlotSettingsBlock& s);
  virtual void ApplyFileSettings(const TPlotSettingsBlock& s, std::int32_t version);
  // The name the file stores for the background picture.
  std::string StoredPictureName() const;

  // True while no inventory entry is being edited; otherwise message 111
  // "am Bearbeiten" and false.
  bool CheckInventoryIdle();
  // Shows the inventory dialog (after the password check of protection
  // bit 2) and brings it to the top.
  void ShowInventory();
  // The inventory dialog (created with the window), or null.
  TFnListDlg* InventoryDialog() const;
  // After the inventory changed: the inventory list is refilled with the
  // last entry selected (or none) and every tool dialog refills its lists.
  void InventoryChanged(bool selectLast);
  // A new point entry (kind 100·d + 9) in the coordinate system (0
  // Cartesian, 1 polar or cylindrical, 2 spherical, 4 complex) through
  // "EQUA309"; true when it was added.
  bool NewPoint(int system);
  // The first visible entry of one of the kinds, or -1.
  int FindVisibleOfKinds(std::initializer_list<int> kinds) const { return FindEquationOfKinds(kinds, true); }

  // ---- entries derived by the trace tools (trace_items.cpp) ----
  // Each appends one entry and builds it; when the build fails the entry
  // goes again.  The new entry's index, or -1.
  // The Taylor polynomial of degree 0..9 about the centre text for a graph
  // y = f(x), the tangent line at that parameter for other curves; refused
  // (message 106) for an entry a tool made, unless by a combination.
  int AddTaylorItem(int i, int degree, const std::string& centre);
  int AddLineItem(int i, const std::string& parameter);
  // The point of entry i at the parameter text.
  int AddTracePointItem(int i, const std::string& parameter);
  // The point a trajectory item of entry i reaches at the target parameter.
  int AddTrajectoryPointItem(int i, const TEquationItem& item, long double target);
  // Its velocity vector (code 79) or tangent line (80) there; a length of 0
  // or less ("Längen" off) draws the raw velocity.
  int AddTrajectoryVectorItem(int i, const TEquationItem& item, long double target, int code,
                              long double length, long double speed);
  // The rebuilds of these entries from their sources; false when a text no
  // longer compiles or a value is undefined (the trees stay as they were).
  bool RebuildTaylorItem(int i);
  bool RebuildLineItem(int i);
  bool RebuildTracePointItem(int i);
  bool RebuildTrajectoryPointItem(int i);
  bool RebuildTrajectoryVectorItem(int i);
  // A new space curve is prepared for drawing in the 3D window.
  virtual void PrepareSpaceCurve(int i) {}
  // One one-letter row per character of `letters`, the first selected.
  static void FillComboWithLetters(plat::Dialog& d, int id, std::string_view letters);

  // ---- implicit curves, point items and sampled curves (item_drawing.cpp) ----
  // An implicit curve (kind 204) with its family: each member traced on
  // the grid of the plot layer's tracer.  With "Fortwährend", on the
  // screen, the search of a member goes on pass after pass, each on a
  // shifted grid, until the stop key ends it and the members after it;
  // the rest of the plot is drawn then.  Nothing in a window that maps its
  // plane.  The stop key's code (65) or 0.
  int DrawImplicitEquation(plat::DC& dc, int i);
  // Everything the trace of implicit entry i depends on, as one key.
  std::string ImplicitTraceKey(int i);
  // Whether a drawing on dc may search on until the stop key: the window's
  // own picture on the screen, where the key is read.
  bool SearchesUntilStopKey(plat::DC& dc);
  // A point (209, 309) or a point sequence (215) with its family: a marker
  // of the entry's size at each point that is defined, within the bounds
  // and visible; hollow when the pen style is positive.  A trace point
  // (derivation 109) is evaluated at its stored parameter first (1 when
  // that text is no number).  The stop key's code or 0.
  int DrawPointItem(plat::DC& dc, int i);
  // The curve (x(T), y(T)) over t0..t1 in n steps as one polyline with the
  // pen (nothing with fewer than three visible points).
  void BuildCurveGrid(plat::DC& dc, TExprNode* x, TExprNode* y, long double t0, long double t1, long n,
                      const TPenSpec& pen);
  // The same in space: only the stretches inside the box, each drawn on its
  // own, and where a surface hides a point its step is drawn broken unless
  // hiddenTest is off.
  void BuildSurfaceGrid(plat::DC& dc, TExprNode* x, TExprNode* y, TExprNode* z, long double t0, long double t1,
                        long n, const TPenSpec& pen, bool hiddenTest = true);
  // A sampled curve whose points carry break flags (solid where flagged,
  // every other step where not): into the export being recorded, then on
  // the screen with the DC's pen.  The width is at least 1.
  void DrawPolylineAll(plat::DC& dc, const TPoint2D* points, const std::uint8_t* flags, int last,
                       const TPenSpec& pen);

  // Whether the window shows its plane through a mapping (a range window;
  // not the logarithmic axes).
  bool MapsPlane() const { return mappedFlag && LogWindowType <= 0; }

  // ---- virtual operations ----
  // Empties the drawing for a new file: the window kinds free their
  // inventory, pictures, labels and view here.
  virtual void ClearDrawing() {}
  virtual void OnViewChanged() {}
  virtual void RebuildInterpolation(int i) {}
  virtual void DrawSampledItem(plat::DC& dc, int i) {}
  // A planet system's bodies from its items into its point buffer (the
  // inverse of PackPlanetBodies).
  virtual void ReadPlanetValues(int i);
  // "RIEM4": the line integral of a field (210 in 2D, 310 in 3D) along a
  // path (203, 304), and the flux of a 3D field through a parametric
  // surface (field_integral_dialogs.cpp).
  virtual void OpenLineIntegralDialog();
  void OpenFluxDialog();
  virtual void OpenAutonomousTrajectoryDialog() {}
  virtual void OpenSlopeTrajectoryDialog() {}
  virtual void OpenSequenceDialog() {}
  // Which side windows and dialogs are open, as the plot file keeps it.
  // Until the window kinds have the trajectory dialogs, their bits read
  // from the last file are kept and written back.
  virtual std::int32_t GetOpenWindowsMask();
  virtual void RestoreIntegrationDialog(std::int16_t first, std::int16_t second, std::int16_t mode) {}
  virtual void GetIntegrationDialogState(std::int16_t words[3]) {
    for (int k = 0; k < 3; ++k) words[k] = storedSettings.words[static_cast<std::size_t>(kWordIntegrationFirst + k)];
  }

  // ---- combinations (combine_dialog.cpp) ----
  // A new entry combining f and g by the derivation code: 0, 4 (no room,
  // nothing added), 6 (the operands do not combine) or 9 (no operands).
  int AddCombinedEquation(int code, int f, int g);
  // The trees of combined entry i anew from its operands.
  bool RebuildCombinedEquation(int i);
  // ---- point sequences (point_list_dialog.cpp) ----
  // A point sequence on the curve at the values of the list: 0, 4 or 9.
  int AddPointSequenceEquation(int curve, const std::string& list, int size);
  // Point sequence i anew from its list and its curve.
  bool RefreshPointSequenceEquation(int i) override;
  TPtListDlg* PointListDialog() const { return pointListDialog_.get(); }
  TManyPtDlg* PointSetDialog() const { return pointSetDialog_.get(); }
  TCombineDlg* CombineDialog() const { return combineDialog_.get(); }

  // ---- side windows and the results window ----
  // Time window k (0..3; k equal to the dimension shows every coordinate)
  // and plane window k (0..2, 3D windows): created when missing, shown on
  // top.
  TSideWin* OpenTimeWindow(int k);
  TSideWin* OpenPlaneWindow(int k);
  TSideWin* TimeWindow(int k) const { return k >= 0 && k < kTimeWindowCount ? timeWindows_[k] : nullptr; }
  TSideWin* PlaneWindow(int k) const { return k >= 0 && k < kPlaneWindowCount ? planeWindows_[k] : nullptr; }
  // One value of each of the four time windows packed into a settings
  // word: v0 + 100 v1 + 10000 v2 + 1000000 v3, a missing window giving 0.
  std::int32_t PackTimeWindowValues(const std::function<int(const TSideWin&)>& value) const;
  // "&Prüfen ...": the results window, created when missing.
  TDataWin* OpenDataWindow();
  TDataWin* DataWindow() const { return dataWindow_; }

  // ---- fields ----
  // The line and flux integral dialogs and their limits (the limits stay
  // with the window).
  TLineDlg* lineIntegralDlg = nullptr;
  TFluxDlg* fluxDlg = nullptr;
  TSimpsonRange lineRange{0, 1, 100};
  TSimpsonRange fluxRangeT{0, 1, 100};
  TSimpsonRange fluxRangeU{0, 1, 100};
  // The inventory dialog's edit flag and whether it is hidden.
  std::uint8_t inventoryEditing = 0;
  std::uint8_t inventoryHidden = 1;
  // The first entries of the dy/dt, dy/dx and sequence kinds (-1: none).
  std::int16_t firstOdeEquation = -1;
  std::int16_t firstSlopeEquation = -1;
  std::int16_t firstSequenceEquation = -1;
  // Set by every view change of a 2D window, and for a mapping's domain
  // window by its range window's; cleared by a new drawing and when the
  // range window is fitted to the grid ("&Fenster anpassen"), which then
  // fits it to the domain window's view instead.  Plot files keep it.
  std::int16_t viewChanged = 0;
  std::uint8_t loading = 0;
  std::uint8_t colourMode3D = 1;
  std::uint8_t colourMode3D2 = 0;
  // The version of the plot file read last (0: none).
  std::int32_t loadedFileVersion = 0;
  // What the last plot file held that this window has no field for.
  TPlotSettingsBlock storedSettings = DefaultStoredSettings();
  static TPlotSettingsBlock DefaultStoredSettings();

 private:
  std::unique_ptr<TFnListDlg> inventoryDialog_;
  std::unique_ptr<TPtListDlg> pointListDialog_;
  std::unique_ptr<TManyPtDlg> pointSetDialog_;
  std::unique_ptr<TCombineDlg> combineDialog_;
  void RestoreDialogs(const TPlotSettingsBlock& s, std::int32_t version);

  void CmInventory() { ShowInventory(); }
  void CeInventory(plat::CommandEnabler& ce) { ce.Enable(equationCount >= 0); }
  void CmPointList();
  void CePointList(plat::CommandEnabler& ce);
  void CmPointSets();
  void CmArcLength() {}
  void CeArcLength(plat::CommandEnabler& ce) { CePointList(ce); }
  void CmCombinations();
  void CeCombinations(plat::CommandEnabler& ce);
  void CmAutonomousTrajectory() { OpenAutonomousTrajectoryDialog(); }
  void CmSlopeTrajectory() { OpenSlopeTrajectoryDialog(); }
  void CmSequences() { OpenSequenceDialog(); }
  void CmLineIntegral() { OpenLineIntegralDialog(); }
  void CeLineIntegral(plat::CommandEnabler& ce);
  void CmCheckData() { OpenDataWindow(); }
  void CeCheckData(plat::CommandEnabler& ce) { ce.Enable(equationCount >= 0); }
  void CmDistance() {}
  void CeDistance(plat::CommandEnabler& ce);
  void CmMarkPenWidth();
  // Closes the point-list, point-set and combinations dialogs (all), or
  // the combinations dialog when no entry it combines is visible.
  void DestroyAnalysisDialogs(bool all);
  void CmSideWindow(int id);
  void InvalidateSideWindows();
  void DestroySideWindows();
  // Ends the integral dialogs whose kinds are gone (all with `all`).
  void CloseIntegralDialogs(bool all);

  std::array<TSideWin*, kTimeWindowCount> timeWindows_{};
  std::array<TSideWin*, kPlaneWindowCount> planeWindows_{};
  TDataWin* dataWindow_ = nullptr;
};

}  // namespace kv
