// The slider dialogs of the parameters "@" and A..W: a scroll bar moves a
// parameter between its slider limits while the plot follows, the value
// edit takes a number or formula (and, in square brackets, switches to
// whole-number steps), "Grenze L" / "Grenze R" make the typed number a
// limit, and "Autorev" / "Autozyk" ("Sekunden" for "@") start one of the
// window's three animation loops.
//
// The sliders read and write only the real parts of the parameters; the
// imaginary part of a complex parameter stays as it is.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "shell/dialog_base.h"

namespace kv {

class TPlot1Win;
class TSlideDlg;

enum : int {
  kIdSliderBar = 295,
  kIdSliderLetter = 296,     // "PARAMS": the parameter's letter
  kIdSliderValue = 211,
  kIdSliderFrames = 212,     // number of photos; "@": the end value
  kIdSliderOption = 271,     // "Vorberechnen"; "@": "Ende bei"
  kIdSliderPhotosLabel = 7,  // "Fotos"
  kCmSliderLeftLimit = 804,  // "Grenze L"
  kCmSliderRightLimit = 805, // "Grenze R"
  kCmAnimateReversing = 738, // "Autorev"
  kCmAnimateCycling = 740,   // "Autozyk" / "Sekunden"
};

// The scroll bar of a slider dialog.  Every position it takes, from the
// user or from the dialog, goes through SetPosition: a user's position
// becomes the parameter's value and redraws the plot; every position shows
// the value in the value edit, makes the dialog the active window and marks
// the window modified.
class TParamBar {
 public:
  TParamBar(TSlideDlg& dialog, int id, TPlot1Win& window, int index);

  void SetPosition(int position);
  // A position the dialog sets itself: the value stays as it is.
  void MovePosition(int position);
  int Position() const;
  // Range 0..steps and the page step of the scroll bar.
  void SetSteps(int steps, int page);

  int index;
  int steps;
  int decimals;
  std::uint8_t notReady = 1;
  std::uint8_t programmatic = 0;

 private:
  TSlideDlg& dialog_;
  int id_;
  TPlot1Win& window_;
};

class TSlideDlg : public TDlg {
 public:
  // Index 0..23; 24 is the dialog of all parameters, which starts on A.
  TSlideDlg(TPlot1Win& window, const std::string& templateName, int index);

  const plat::CommandTable& Commands() const override;
  void SetupWindow() override;
  void EvControl(int id, int notification) override;
  void CmOk() override { ApplyValue(); }
  void CmCancel() override { Hide(); }

  // Shows the parameter's current value (the slider moves to it) and makes
  // the dialog the active window.
  void ShowValue();
  // The dialog becomes the active window, when it is shown.
  void Activate();
  // Takes the window's step settings for the slider again; a dialog in
  // whole-number mode keeps its own steps.
  void ReinitSlider();

  void ApplyValue();        // command 1, Enter in the value edit
  void SetLeftLimit();      // "Grenze L"
  void SetRightLimit();     // "Grenze R"
  void AnimateReversing();  // "Autorev"
  void AnimateCycling();    // "Autozyk" / "Sekunden"
  void OnLetterChange();

  int Index() const { return index_; }
  bool IsAllParameters() const { return allParameters_ != 0; }
  bool IsWholeNumber() const { return wholeNumber_ != 0; }
  int Steps() const { return steps_; }
  const TParamBar* Bar() const { return bar_ ? &*bar_ : nullptr; }

 private:
  void SetupControls();
  bool Lettered() const { return index_ > 0; }
  // The entry of the window's step tables the slider takes: the
  // all-parameters dialog's own (24) whatever letter it shows, else the
  // parameter's.
  int StepEntry() const;
  long double& Left();
  long double& Right();
  long double Value() const;
  void SetValue(long double v);
  int Decimals() const;
  // The slider position of the current value.
  int PositionOfValue();
  void ShowWholeNumberControls(bool show);
  void Animate(bool reversing);
  void SetLimit(bool left);
  // Reads the value edit; nullopt (message shown when `report`) when it
  // is not a number.
  std::optional<long double> ReadNumber(std::size_t maxChars, bool report);

  TPlot1Win& window_;
  int index_;
  int steps_;
  std::uint8_t allParameters_ = 0;
  std::uint8_t hasEnd_ = 0;
  std::uint8_t wholeNumber_ = 0;
  std::int16_t frames_ = 23;
  long double endValue_ = 0;
  std::optional<TParamBar> bar_;
};

}  // namespace kv
