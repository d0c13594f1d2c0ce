// The one equation dialog: it enters or edits an inventory entry of every
// kind that has a template "EQUA<kind>" (2D, 3D and the mappings).  It
// works on a copy of the entry, shows only the controls of the kind,
// checks and compiles everything when OK is pressed and only then copies
// the result back; the caller learns from the change mask what to redo.
//
// Implementation: equation_dialog.cpp (control lists, set-up, buttons,
// transfer) and equation_dialog_checks.cpp (the checks on OK).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "entry/model/point_items.h"
#include "plotcore/model/equation.h"
#include "shell/dialog_base.h"

namespace kv {

class TPlot1Win;

// The controls a kind's template holds, by id: edits 2xx, check boxes
// 27x, radio buttons 25x and statics 28x.
struct TEquationControls {
  int kind = 0;
  std::vector<int> edits;
  std::vector<int> checks;
  std::vector<int> radios;
  std::vector<int> statics;
};
// The control lists of a dialog kind (213 for a Lagrange polynomial);
// null for a kind without dialog.
const TEquationControls* EquationControls(int dialogKind);
// Kinds whose dialog edits a surface (grid divisions instead of a density).
bool IsSurfaceDialogKind(int kind, const TEquation& e);
// Every dialog kind of the table, in order.
std::vector<int> EquationDialogKinds();

// Check-box and button ids of the dialog.
enum : int {
  kEqStaticArrowSize = 11,  // "Pfeilgröße"
  kEqStaticArrow = 12,      // "Pfeil :" of a segment
  kEqColour1 = 206,
  kEqColour2 = 207,
  kEqPenColour = 208,
  kEqFieldColour = 209,
  kEqSurfaceColour = 210,
  kEqHelp = 354,
};

// The help topic of a kind (string table), and its string id.
int HelpTopicStringId(int dialogKind);

// A bound's end markers as the suffix of its text ("@" codes).
std::string BoundMarkerSuffix(int first, int second);
// Cuts a trailing marker suffix off a bound text.  One to four "@" and a
// whole number v (at most 20): 1 stores -v and 2 +v as the first marker,
// 3 stores -v and 4 +v as the second.  More "@" or a negative v leave the
// text whole and both markers 0.
void SplitBoundMarkers(std::string& text, int& first, int& second);

class TEditExmpDlg : public TDlg {
 public:
  // mask receives the change mask when the dialog closes with OK.
  TEditExmpDlg(TPlot1Win* window, const std::string& templateName, int index, int* mask,
               TDialogPosition* position = nullptr);

  void SetupWindow() override;
  bool CanClose() override;
  void Destroy() override;
  const plat::CommandTable& Commands() const override;

  // The kind whose controls the dialog shows (213 for a Lagrange
  // polynomial, which is stored as 201).
  int DialogKind() const { return controlKind_; }
  const TEquation& WorkingCopy() const { return work_; }

 private:
  bool HasEdit(int id) const;
  bool HasCheck(int id) const;
  bool HasRadio(int id) const;
  bool HasStatic(int id) const;
  bool Checked(int id) const;
  // Whether the user left an edit as the set-up filled it: its stored value
  // is then kept as it is, not as its rounded text reads back.
  bool Unchanged(int id) const;
  std::string EditText(int id) const;
  void SetEdit(int id, const std::string& text);
  void SetStatic(int id, const std::string& text);
  void Disable(int id);

  void FillTexts();
  void FillNumbers();
  void FillBounds();
  void FillLabels();
  void FillOptions();
  void UpdateParametricCaption();

  // The checks on OK, each false after showing its message.
  bool CompileTexts(bool& textsChanged);
  bool CompileText(int slot, const std::string& text, bool& textsChanged);
  int ReadBounds();
  int ReadNumbers();
  void ReadOptions();
  int ComputeMask(const TEquation& before, bool textsChanged) const;
  void TransferToEntry();

  void CmColour1();
  void CmColour2();
  void CmPenColour();
  void CmFieldColour();
  void CmSurfaceColour();
  void CmHelp();
  void CmParametricCaption();

  TPlot1Win* window_;
  int index_;
  int* mask_;
  int kind_ = 0;         // the entry's kind (201 for a polynomial)
  int controlKind_ = 0;  // the kind of the control lists (213 for a polynomial)
  const TEquationControls* controls_ = nullptr;
  TEquation work_;
  std::uint8_t coloursChanged_ = 0;
  std::uint8_t densityAt_ = 0;
  std::array<std::string, 40> shown_{};  // texts of edits 200..239 at set-up
};

}  // namespace kv
