// The body editor "Planetensystem" (template "EQUA219"): one body of the
// planet system at a time, chosen in a drop-down list (the bodies, then the
// centre of mass), and the values of the whole system.  It edits the live
// record; the planet window keeps a copy and restores it unless the dialog
// ends with "Zeichnen".
#pragma once

#include <cstdint>
#include <string>

#include "shell/dialog_base.h"

namespace kv {

class TPlotXWin;
class TEquation;
struct TEquationItem;

// Controls of "EQUA219".
enum : int {
  kBodyList = 295,
  kBodyX = 211,
  kBodyY = 212,
  kBodyZ = 213,
  kBodyVx = 214,
  kBodyVy = 215,
  kBodyVz = 216,
  kBodyMass = 217,
  kBodyPenWidth = 221,
  kBodyName = 222,
  kBodyLabelZ = 243,
  kBodyLabelVz = 246,
  kShowStart = 251,        // "Start"
  kShowNow = 252,          // "Jetzt"
  kSystemGravity = 218,    // "Gravitationskonstante"
  kSystemPositions = 220,  // "Positionen"
  kSystemDuration = 219,   // "Dauer"
  kSystemComputations = 224,  // "Berechnungen"
  kSystemMarkerSize = 223,
  kSystemFollow = 271,     // "Verfolgen"
  kSystemBoundary = 272,   // "Grenzen setzen"
  kSystemMarkers = 274,    // "Punktgröße"
  kBodyColour = 208,       // "Farbe"
  kSystemMany = 779,       // "Viele"
  kBodyNew = 791,          // "Neu"
  kBodyDelete = 52,        // "Löschen"
  kSystemAbsolute = 881,   // "Absolut"
  kSystemCentre = 880,     // "Zentrum"
  kSystemErase = 871,      // "Radieren"
  kBodyHelp = 354,         // "Hilfe"
};

// Bounds of the editor's whole numbers: a pen width is a 16-bit field.
inline constexpr int kMaxBodyPenWidth = 32767;
inline constexpr int kMaxMarkerSizeCode = 64;

class TBodyDlg : public TDlg {
 public:
  TBodyDlg(TPlotXWin* window, const std::string& templateName, int entry);

  const plat::CommandTable& Commands() const override;
  void SetupWindow() override;
  void Destroy() override;
  // "Zeichnen": the body and the system values.  A field that holds no
  // plain number keeps the dialog open with message 1, a marker size
  // outside 1..64 with message 17, nothing changed; G or the duration
  // below 1e-16, or positions or computations that round below 1, keep it
  // open without a message.
  bool CanClose() override;
  void EvControl(int id, int notification) override;

  // ---- operations ----
  void FillBodyList();
  void SelectBody(int k);
  void ShowBodyState();
  void ShowBody();
  // The body's fields into the record (position and velocity only while
  // "Start" is marked); a mass not above 1e-16 or a pen width not above 0
  // leaves the old value.  False, with message 1 (no plain number) or 17
  // (a pen width beyond its 16-bit field) and nothing stored, when a field
  // is refused.
  bool StoreBody();
  void ShowBodyColour();
  int Selected() const { return selected_; }

 private:
  void CmColour();
  void CmMany();
  void CmNew();
  void CmDelete();
  void CmAbsolute();
  void CmCentre();
  void CmErase();
  void CmHelp();
  void CmShowState() { ShowBody(); }
  void CeNew(plat::CommandEnabler& ce);
  void CeDelete(plat::CommandEnabler& ce);
  // Enables "Neu" and "Löschen" as their enablers say.
  void UpdateButtons();
  void SelectionChanged();
  // The colour window stops editing a body's pen colour (it would point
  // into a body that goes away).
  void ForgetColourTarget();
  TEquation& Record();
  TEquationItem* SelectedItem();

  TPlotXWin* window_;
  int entry_;
  int selected_ = 0;
  bool colourWindowOpened_ = false;
  std::int16_t* colourTarget_ = nullptr;
};

}  // namespace kv
