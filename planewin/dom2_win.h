// The domain window of a plane mapping (TMap2Win > TDom2Win): it owns the
// entries of the pair (the two grid families, the mappings and ordinary 2D
// entries), its file (".ma2" real, ".maz" complex) and the settings file
// "dom2.ini", and keeps the range window following every change.  Its
// commands add mappings, sums and complex points, edit the grid, switch
// between the real and the complex plane, and give the Jacobian at a
// clicked point and the table of the mapped grid.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "planewin/map2_win.h"
#include "planewin/model/mapping_grid.h"

namespace kv {

enum : int {
  kStrJacobiData = 327,  // "Jacobi-Daten"
  kStrMapTables = 266,   // "Karten"
  kStrValueTable = 136,  // "Wertetabelle"
  kStrUndefined = 85,    // "nicht definiert"
};

class TDom2Win : public TMap2Win {
 public:
  TDom2Win(plat::Window* parent, const std::string& caption);

  const plat::CommandTable& Commands() const override;
  void SetupWindow() override;
  void Destroy() override;
  void UpdateMenuChecks(bool drawMenuBar) override;

  // ---- file ----
  // The range window's state rides in the grid-family records and the
  // labels while the file is written; the records and labels are put
  // back afterwards.
  bool WriteFile() override;
  bool Save() override;
  int OpenFile() override;
  // After reading: the grid families bound to their private variables
  // again and the stored range state handed to the range window.
  void OnViewChanged() override;
  void NewFile() override;
  // The range window's colours as bytes of entry 0's record image.
  void AddRecordBytes(TPlotFileState& s) override;
  void TakeRecordBytes(const TPlotFileState& s) override;

  // ---- the entries ----
  // Entries 0 and 1 from DefaultGrid, the view around the grid.
  void SetupGridFamilies();
  // The grid families' private variables again (after compiling).
  void BindGridVariables();
  // Only mappings and the user's 2D entries are listed; the grid
  // families are not.
  bool IsEquationDrawable(int i) override;
  // The inventory dialog picked entry i as the mapping of the pair.
  void SelectEquation(int i) override;
  TMapGrid CurrentGrid() const;
  // Entries 0 and 1 are the grid families (a plain 2D file has none).
  bool HasGrid() const;

  // ---- keeping the range window in step ----
  int DrawEquations(plat::DC& dc) override;
  void InvalidateCompanions(int i) override;
  void DrawEquationBuffered(int i) override;
  void MouseMarkAdded(const TMouseMark& m) override;
  void MouseMarksChanged() override;
  void ClearMouseMarks() override;
  bool ResizeInventory(int newCapacity, bool copy) override;
  // The range window's strokes anew from the domain's.
  void RebuildRangeMarks();

  // ---- readouts ----
  // The Jacobian of the selected mapping at a domain point, as text; empty
  // when no mapping is selected.
  std::string JacobianReadout(const TPoint2D& p);
  // The table of the mapped grid; false (message 404 shown when asked)
  // when it would be too large or no mapping is selected.
  bool TableReadout(std::string& text, bool showMessage);

  // ---- mouse ----
  void EvLButtonDown(unsigned keys, plat::Point p) override;
  void EvRButtonDown(unsigned keys, plat::Point p) override;
  void EvLButtonDblClk(unsigned keys, plat::Point p) override;

  // ---- fields ----
  TFileDialogData Ma2FileData;
  TFileDialogData MazFileData;
  TMapGrid DefaultGrid;
  // The text windows of the Jacobian readout and the mapping table, made
  // on first use and then given each new readout.
  TTextWin* JacobiWindow = nullptr;
  TTextWin* TableWindow = nullptr;
  // The range window's view as it last reported it: centre and x
  // half-extent.
  TPoint2D RangeViewCentre;
  long double RangeViewHalfX = 5;
  std::uint8_t MappingMode = 0;  // 0 real (x, y), 1 complex z
  // Paint passes of the pair under way.
  int pairPainting = 0;

 private:
  std::array<std::uint32_t, 5> writtenRangeColours_{};
  bool writingRangeColours_ = false;
  std::array<std::uint32_t, 5> readRangeColours_{};
  bool rangeColoursRead_ = false;
  std::array<std::int32_t, 2> readRangePairs_{};
  bool rangePairsRead_ = false;

  void CmNewMapping();
  void CmMapGrid();
  void CmMapTables();
  void CeMapTables(plat::CommandEnabler& ce);
  void CmPlaneXY() { SwitchPlane(0); }
  void CmPlaneZ() { SwitchPlane(1); }
  void SwitchPlane(int mode);
  void CeMouseCursor(plat::CommandEnabler& ce) { ce.SetCheck(MouseMode == kCmMouseCursor); }
  // The mode's file-dialog record becomes the window's.
  void SelectFileRecord();
  // The untitled name "Abbildung" with the mode's extension.
  void SetUntitledName();
  // Shows the cross at the mouse point here and at its image in the range
  // window while the left button is held.
  void TrackCursorImage(plat::Point start);
  void ShowJacobian(const TPoint2D& p);
  void StoreDomainSettings();
  void ApplyDomainSettings();
  void ShowReadout(TTextWin*& window, const std::string& title, const std::string& fileName,
                   const std::string& fileType, const std::string& text);
};

}  // namespace kv
