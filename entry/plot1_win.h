// The equation-entry layer of every plot window (2D, 3D, mappings and the
// windows derived from them): the operations that change the inventory
// (append, swap, delete, copies and derived entries, point entries from the
// clipboard, editing an entry in the equation dialog), the parameter menu
// and a few inventory commands, and the virtual operations the 2D and 3D
// windows fill in.
//
// Implementation: plot1_win.cpp (construction, commands, buffered drawing)
// and inventory_ops.cpp (the inventory operations).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "plotcore/plot0_win.h"
#include "shell/dialog_base.h"

namespace kv {

class TTableWin;

// Command ids of the equation-entry layer.
enum : int {
  kCmUseDefaults = 49,            // "&Vorgaben nutzen"
  kCmClearDrawing = 52,           // "Zeich&nung löschen"
  kCmSliderFirst = 600,           // "&@ ..." .. "&W ..."
  kCmSliderLast = 623,
  kCmAllParameters = 624,         // "Alle &Parameter ..."
  kCmTables = 757,                // "Ta&bellen ..."
  kCmInventoryText = 762,         // "&Inventar ..." (as text)
  kCmToggleAllPoints = 820,       // "&Punkte" in "Alle verbergen/zeigen"
  kCmToggleAllLabels = 821,       // "&Gleichungen" in "Alle verbergen/zeigen"
  kCmParametersAsValues = 831,    // "Parameter als &Werte"
};

// What an accepted equation dialog changed: the caller redoes only that.
enum ChangeMask : int {
  kChangeRecompute = 1,   // sample the curve again
  kChangeAppearance = 2,  // colour, width, points of the drawing
  kChangeOptions = 4,     // a new description and new trees
  kChangeEndPoints = 8,   // a segment asks for its end points as entries
};

// Derivation codes made by this layer, and the mirror line of a
// reflection, which is rebuilt by compiling it again.
enum : std::int16_t {
  kDerivedCoordinateCurve = 71,
  kDerivedMirrorLine = 100,
  kDerivedAbsoluteValue = 111,
  kDerivedSegmentEnd = 125,
  kDerivedFrozenCopy = 180,
};

// The font slot of the inventory list and the tool dialogs' lists
// ("&Inventar ..." in the font menu).
inline constexpr int kListFontSlot = 7;

// Slider dialogs: one per parameter "@", A..Z; index 24 shows all of them.
inline constexpr int kSliderDialogCount = 27;
inline constexpr int kAllParametersDialog = 24;

class TComboDlg;
class TSlideDlg;

class TPlot1Win : public TPlot0Win {
 public:
  TPlot1Win(plat::Window* parent, const std::string& title);
  ~TPlot1Win() override;

  const plat::CommandTable& Commands() const override;
  void UpdateMenuChecks(bool drawMenuBar) override;
  void EvCommandNotify(int code) override;
  void Destroy() override;

  // ---- inventory operations ----
  using TPlot0Win::AppendEquation;
  // A new last entry of the kind with the window's next colour, default
  // density and pen width; non-empty texts fill formula texts 1..5 in order;
  // both bounds and the range take lower and upper.  Its index, or -1
  // when there is no room (callers check CanAddEquation first).
  int AppendEquation(int kind, long double lower, long double upper, std::string_view text1,
                     std::string_view text2 = {}, std::string_view text3 = {}, std::string_view text4 = {},
                     std::string_view text5 = {});
  // Removes the last entry again (a cancelled new equation).
  void DropLastEquation();
  // Exchanges two entries with their names, captions, shadings, labels and
  // the sources of derived entries; false (nothing changed) when that would
  // put a derived entry before one of its sources.
  virtual bool SwapEquations(int i, int j);
  // Deletes the listed entries and every entry derived from them.
  void DeleteEquations(const std::vector<int>& list);
  // Derived entries of entry i: a copy frozen at the current value of the
  // selected parameter (180), |f| (111) and the coordinate curve of a
  // dy/dt system (71).
  void AddCopyItem(int i);
  void AddAbsoluteValueItem(int i);
  void AddCoordinateCurveItem(int i);
  // Point entries from numbers in the clipboard text: 0, 2 (no text), 4
  // (the inventory became full), 1 (a malformed number, its line in
  // badLine; nothing added), 24 (no number) or the reader's code.
  int PastePointList(const TEquation& prototype, int* badLine = nullptr);
  // The same from a given text (the clipboard reader's part).
  int AppendPointsFromText(const TEquation& prototype, std::string_view text, int* badLine = nullptr);
  void AppendPointItem(const TEquation& prototype);
  // A point alone in space says little without the axes: when entry i is
  // the first of a 3D window, the axes are turned on and the menu checked.
  void ShowAxesForFirstEntry(int i);
  // One point entry per whole number of the run familyLetter = first ..
  // last (auxValue3, auxValue4): 0, 4 (full) or a compiler code.
  int BuildPointEquationText(TEquation& prototype);
  // Opens the equation dialog on entry i and redoes what it changed; true
  // when something changed.
  bool EditEquation(int i, bool force);
  void AddEditedCopy(int i);
  void AddSegmentEndPoints(int i);
  // Runs the equation dialog on entry i modally; its result (1 OK) and
  // the change mask.
  int RunEquationDialog(int i, int& mask);
  // Appends an entry of the kind with its default texts, lets `prepare`
  // adjust it and runs the equation dialog on it; a cancelled dialog takes
  // the entry away again.  Returns its index (the entry counter advanced),
  // or -1; `mask` says what the dialog changed.
  int AppendAndEditEquation(int kind, long double lower, long double upper,
                            const std::array<std::string_view, 5>& texts,
                            const std::function<void(TEquation&)>& prepare, int& mask);
  // "EQUA" and the kind; a 2D point uses "EQUA309", a Lagrange polynomial
  // "EQUA213".
  static std::string EquationTemplate(const TEquation& e);

  // ---- slider dialogs ----
  // Creates the dialog of the index once (0 "@", 1..23 A..W, 24 all
  // parameters), shows it with the parameter's value and brings it to the
  // top; the all-parameters dialog and the single ones refresh each other.
  void OpenSliderDialog(int index);
  // The dialog of the index, or null when it was never opened.
  TSlideDlg* SliderDialog(int index) const;
  // True when the dialog of the index exists and is not hidden.
  bool IsSliderDialogOpen(int index) const;
  // Every existing slider dialog shows its parameter's value again.
  void RefreshSliderDialogs();
  // The page step of a parameter's slider (the window's settings where a
  // layer has them).
  virtual int SliderPageCount(int index) const { return 10; }
  // The parameter a frozen copy ("Kopie" with "Parameter als &Werte")
  // freezes for entry i: the letter of the open all-parameters dialog when
  // the entry uses it, else -1.
  int FrozenCopyParameter(int i);

  // ---- tool dialogs that pick entries (combo_dialog.h) ----
  // A combo dialog registers itself for the life of its object.
  void RegisterComboDialog(TComboDlg* d);
  void UnregisterComboDialog(TComboDlg* d);
  // Every existing combo dialog refills its lists from the inventory.
  void RefillComboDialogs();
  // After a save: the combo dialogs whose captions name the file.
  void ClearModified() override;

  // ---- commands and operations of the layer ----
  // The value table of entry i (its first item for the item kinds), or of
  // one item given by its position in the entry's list.
  void OpenEntryTable(int i);
  void OpenTable(int i, int item);
  TTableWin* TableWindow() const { return tableWindow_; }
  // "Beispielsschar" and "Netzdiagramm" on entry i; true when the dialog
  // changed the entry.
  bool OpenFamilyDialog(int i);
  bool OpenCobwebDialog(int i);
  bool EvaluateCurvePoint(int i, TPoint3D& point);
  // The text of an integral's value in the window's number format; a value
  // whose integrand was undefined at a sample says so after the number.
  void FormatIntegral(long double value, bool gaps, std::string& text);
  // The descriptions of the drawable entries and the user functions, as
  // the notes window shows them.
  std::string InventoryText();
  // "&Inventar ..." (762): the listing in the notes window, captioned
  // "Inventar [name]", after the notes the user wrote.
  void ShowInventoryText();
  static bool IsTreeFreeOfToken(const TExprNode* tree, int token = 191);

  // ---- virtual operations ----
  virtual void AddDerivedGraph(int i) {}
  // The differential equation derived from an implicit curve (2D) or an
  // implicit surface (3D), offered by the inventory dialog; nothing here.
  virtual void AddDerivedDifferentialEquation(int i) {}
  // Draws entry i on dc; 0 or the stop key.  Nothing here.
  virtual int DrawInventoryItem(plat::DC& dc, int i) { return 0; }
  virtual void EditBoxDialog(int i, bool force) {}
  // 3D: the level dialog of surface i, the dialog of intersection curve i.
  virtual void OpenLevelDialog(int i) {}
  virtual void OpenIntersectionDialog(int i) {}
  virtual void SwapLagrangeMenu(int i) {}
  virtual void CloseStaleDialogs(bool all) {}
  virtual void SetInventoryEditing(bool on) {}
  virtual void RedrawEditedEquation(int i, bool recomputed) {}
  virtual void SelectEquation(int i) {}
  // Entry i drawn into the plot picture with the frame (DrawBoxFrame) over
  // it, the overlays drawn over a copy of it, and the result shown; -1
  // draws only the frame.
  virtual void DrawEquationBuffered(int i);
  void RepaintNow(bool fit) override;
  virtual bool EditSpecialEquation(int i) { return false; }
  virtual void SolveLagrangeNodes(int i) {}
  virtual void ToggleItemLabels();
  virtual void RefreshTraceDialogs() {}
  virtual void CopySliderParameters(int i) {}
  // A point sequence anew from its list and its curve (the analysis
  // layer's); false here.
  virtual bool RefreshPointSequenceEquation(int i) { return false; }
  // A 3D window fits its box to the graphs it holds (true when it did);
  // other windows have no box.
  virtual bool FitBoxToGraphs() { return false; }
  // The forward pass that carries a change of entry `changed` (every entry
  // when negative) through the derived entries: in index order, each entry
  // with a positive derivation code that is the changed one or whose source
  // was rebuilt before it is rebuilt by `rebuild` and gets its caption
  // refreshed; then the used letters are marked again.  Derived entries
  // always follow their sources, so one pass reaches chains of them.  The
  // window kinds give `rebuild` their table of derivation codes.
  void RebuildDerivedPass(int changed, const std::function<void(int)>& rebuild);
  // Whether source2 of a derived entry names an entry (a segment's end
  // point keeps which end it is there).
  static bool SecondSourceIsIndex(const TEquation& e) { return e.derivation != kDerivedSegmentEnd; }
  // Rebuilds the trees of the derived entries of the layer's own codes;
  // false when a text does not compile.
  bool RebuildCopyItem(int i);
  bool RebuildAbsoluteValueItem(int i);
  bool CloneSourceTrees(int i);
  bool RebuildEndPointItem(int i);
  // Lets the companion windows know that entry i changed.
  virtual void InvalidateCompanions(int i) {}

  // ---- fields ----
  std::uint8_t useDefaults = 1;        // "&Vorgaben nutzen"
  std::uint8_t parametersAsValues = 0; // "Parameter als &Werte"
  std::uint8_t suppressCompanions = 0;
  // Set by windows that show the entry elsewhere too (a mapping's domain):
  // the entry is drawn again after a solution was added.
  std::uint8_t redrawAfterTrajectory = 0;
  std::int16_t entryCounter = 0;
  // Which parameter the all-parameters dialog has selected (for the frozen
  // copy); -1 when none.
  std::int16_t selectedParameter = -1;
  // One remembered position per equation kind (kind - 200).
  std::array<TDialogPosition, 250> EquationDialogPositions{};
  // The last inventory listing as it was put at the end of the notes.
  std::string InventoryListing;

 protected:
  std::array<std::unique_ptr<TSlideDlg>, kSliderDialogCount> sliderDialogs_;
  std::vector<TComboDlg*> comboDialogs_;

 private:
  TTableWin* tableWindow_ = nullptr;

  void CmSlider(int id);
  void CmAllParameters();
  void CmParametersAsValues();
  void CmTables();
  void CeTables(plat::CommandEnabler& ce);
  void CmInventoryText() { ShowInventoryText(); }
  void CeInventoryText(plat::CommandEnabler& ce) { ce.Enable(NotesWindow != nullptr); }
  void CmToggleAllPoints();
  void CmToggleAllLabels() { ToggleItemLabels(); }
  void CmUseDefaults();
  void CmClearDrawing() { ClearMouseMarks(); }
  void CeClearDrawing(plat::CommandEnabler& ce);
};

}  // namespace kv
