// The shared base of the initial-value dialogs: an entry of one
// initial-value kind chosen in combo 295, the list of its solutions (one
// line per item, 294), the start edits x, y, z and t (211, 212, 213, 216),
// the pen width (214) and the follow delay (215), and the buttons that
// draw, follow, list, colour and delete solutions.  The dy/dt, dy/dx and
// sequence dialogs of the 2D window and the 3D dialog derive from it.
#pragma once

#include <cstdint>
#include <string>

#include "core/vector3d.h"
#include "entry/combo_dialog.h"

namespace kv {

struct TEquationItem;

enum : int {
  kIdIvpDelete = 52,        // "Löschen"
  kIdIvpDeleteAll = 54,     // "Alles löschen"
  kIdIvpDraw = 91,          // "Zeichnen"
  kIdIvpColour = 208,       // "Farbe"
  kIdIvpStartX = 211,
  kIdIvpStartY = 212,
  kIdIvpStartZ = 213,
  kIdIvpPenWidth = 214,
  kIdIvpDelay = 215,
  kIdIvpStartT = 216,
  kIdIvpSteps = 217,        // step count (dy/dx), duration (dy/dt)
  kIdIvpStepSize = 220,
  kIdIvpTerms = 221,
  kIdIvpLabelX = 231,
  kIdIvpLabelY = 232,
  kIdIvpLabelZ = 233,
  kIdIvpFirstRadio = 251,
  kIdIvpSecondRadio = 252,
  kIdIvpThirdRadio = 253,
  kIdIvpDurationLimit = 271,
  kIdIvpKeepTexts = 275,    // "als Text speichern"
  kIdIvpItems = 294,
  kIdIvpEndPoint = 724,     // "Endpunkt"
  kIdIvpFollow = 742,       // "Verfolgen"
  kIdIvpTable = 757,        // "Tabelle"
};

// The colour slot of new solutions.
inline constexpr int kTrajectoryColourSlot = 8;

class TIvpDlg : public TComboDlg {
 public:
  // `openIndex` is the window's index of the entry whose dialog is open; the
  // dialog sets it to the entry chosen.
  TIvpDlg(TPlot1Win& window, const std::string& templateName, int kind, std::int16_t* openIndex);

  const plat::CommandTable& Commands() const override;
  void SetupWindow() override;
  void EvControl(int id, int notification) override;
  void SelectionChanged() override;
  void RequestRedraw() override;
  // The caption names the window's plot file: "AWP [name]".
  void FileSaved() override;
  void Recalculate() override { Draw(false); }

  // ---- the operations the window and the derived dialogs use ----
  using TComboDlg::ShowItem;  // (id, visible) of the controls
  // Fills the edits from the current item (or the stored start point).
  virtual void ShowItem();
  // "Zeichnen" (false) and "Verfolgen" (true).
  virtual void Draw(bool follow) {}
  // "Tabelle": the value table of the entry with the current item.
  virtual void OpenItemTable();
  // The start edits into the dialog's start point; on an error nothing
  // changes and nothing is shown.  Then the item is shown.
  void TakeStartPoint();
  // The start point of the edits: 0, or the message number less 400 (the
  // message shown when `report`).
  int ReadStartPoint(TPoint3D& start, bool report);
  // Edit 215 as the window's follow delay: 0, or 14 when below 1 (the
  // window keeps its delay).
  int ReadDensity();
  // The start point, and when the solution is followed on the screen the
  // follow delay; false after a message.
  bool ReadDrawStart(TPoint3D& start, bool follow);
  // Edit 214 as a pen width 1..25; anything else gives 1.
  int ReadDelay();
  // The list of solutions again, the first one current.
  void RefillItems();

  // The item shown, or null; its position in the entry's list.
  TEquationItem* CurrentItem();
  int CurrentPosition() const { return currentItem_; }
  const TPoint3D& StartPoint() const { return start_; }
  long double StoredT() const { return storedT_; }
  bool ColourChanged() const { return colourChanged_ != 0; }

 protected:
  // A formula of an edit: the real and imaginary parts; 0 or the
  // compiler's code (1 when undefined).
  int ReadComplexEdit(int id, long double& re, long double& im);
  // A number edit by the window's parser: 0 or the parser's code.
  int ReadNumberEdit(int id, long double& value);
  // A start coordinate for the edits: shown as its value where the item
  // keeps logarithmic-axis coordinates.
  long double ShownCoordinate(long double v, int axisBit) const;
  // Where the entry's items keep axis coordinates (the exponents of a
  // window with logarithmic axes) rather than values.
  bool ItemsKeepAxisCoordinates() const;
  // After a draw: the texts of the edits into the items made since the list
  // head had the serial (the start values follow the parameters then).
  void KeepStartTexts(std::uint16_t previousSerial, bool hadItems);
  // The items made since the head had the serial take the colour of the
  // trajectory slot; true when one changed.
  bool RecolourNewItems(std::uint16_t previousSerial, bool hadItems);
  // After a successful draw: list refilled, focus back to the dialog.
  void AfterDraw();
  // The head's serial before a new item, and whether there was one.
  std::uint16_t HeadSerial(bool& hadItems);
  // Shows the point and t in the edits.
  void ShowStart(const TPoint3D& p, long double t);

  int kind_;
  std::int16_t* openIndex_;
  TPoint3D start_{};
  TPoint3D storedStart_{};
  long double storedT_ = 0;
  int currentItem_ = -1;
  std::uint8_t threeD_ = 0;
  std::uint8_t colourChanged_ = 0;
  // Whether the template has a z edit at 213 ("IVP11" has the static
  // "Schrittweite" there, which keeps its text).
  bool zEdit_ = true;

 private:
  void CmDraw() { Draw(false); }
  void CmFollow() { Draw(true); }
  void CmColour();
  void CmTable() { OpenItemTable(); }
  void CmDelete();
  void CmDeleteAll();
  void CeItem(plat::CommandEnabler& ce);
  // After items were deleted: lists, companions and the plot.
  void ItemsDeleted();
};

}  // namespace kv
