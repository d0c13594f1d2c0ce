// "Netzdiagramm": switches the cobweb of a y = f(x) entry on or off and sets
// where the iteration x(n+1) = f(x(n)) starts (a constant or a parameter
// A..W), its number of steps, its arrows and its colour.
#pragma once

#include <cstdint>
#include <vector>

#include "shell/dialog_base.h"

namespace kv {

class TPlot1Win;

enum : int {
  kWebStart = 211,
  kWebSteps = 212,
  kWebArrowSize = 213,
  kWebColour = 216,     // "Farbe"
  kWebConstant = 251,   // "Konstant"
  kWebParameter = 252,  // "Parameter"
  kWebArrows = 271,     // "Pfeile"
  kWebFromAxis = 272,   // "x-Achse"
  kWebLetters = 295,
  kWebDraw = 91,        // "Zeichnen"
  kWebDelete = 52,      // "Löschen"
};

// The position just after the n-th entry -1 of a list of groups ended by
// -1; 0 for n <= 0, the list's size when it has fewer groups.
std::size_t FindListGroup(const std::vector<std::int16_t>& list, int n);

class TWebDlg : public TDlg {
 public:
  TWebDlg(TPlot1Win* window, const std::string& templateName, int equation);

  void SetupWindow() override;
  const plat::CommandTable& Commands() const override;
  // Enter does not close the dialog.
  void CmOk() override {}

  // The fields read and checked: 0, or the message code; nothing is stored
  // unless 0.
  int ReadFields();

 private:
  void CmDraw();
  void CmDelete();
  void CmColour();

  TPlot1Win* window_;
  int equation_;
  std::uint8_t colourChosen_ = 0;
};

}  // namespace kv
