// The function quiz "Rate meine Gleichung": the window draws the graph of a
// random function of the allowed families with its asymptotes, and the
// user types a formula for it; the verdict is shown in the caption.  Entry
// 0 of the inventory is the task, entry 1 the last wrong guess.  The window
// opens and saves no files and closes without asking; the allowed families
// and degrees are kept in "guess.ini".
//
// Implementation: quiz_win.cpp; the tasks and the checker are in
// model/quiz_tasks.h and model/quiz_checker.h, the type dialog in
// switch_dialog.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "planewin/model/quiz_tasks.h"
#include "plot2d/plot_c_win.h"

namespace kv {

enum : int {
  kCmNewTask = 791,      // "&Neue Aufgabe" (F2)
  kCmGuess = 404,        // "&Rate ..." (F4)
  kCmAnswer = 806,       // "&Antwort ..." (F5)
  kCmSelectTypes = 870,  // "Aus&wählen ..." (F6)
  kCmSelectAll = 119,    // "Alle au&swählen"
  kCmResetTypes = 871,   // "&Zurücksetzen"
};

enum : int {
  kStrQuizName = 205,         // "Rate meine Gleichung"
  kStrAnswerCaption = 213,    // "Antwort"
  kStrAnswerColour = 214,     // "Antwort"
  kStrAsymptoteColour = 215,  // "Asymptoten"
  kMsgPerfect = 142,          // 542 "Perfekt!"
  kMsgTryAgain = 143,         // 543 "Nochmal versuchen?"
};

// Colour slots of the quiz: the task's curve, the answer, the asymptotes,
// and the change codes their colour window reports.
enum : int {
  kQuizCurveSlot = 8,
  kQuizAsymptoteSlot = 11,
  kQuizAnswerSlot = 13,
  kQuizCurveChanged = 20,
  kQuizAnswerChanged = 21,
  kQuizAsymptotesChanged = 22,
};

class TPlotGWin : public TPlotCWin {
 public:
  TPlotGWin(plat::Window* parent, const std::string& caption);

  const plat::CommandTable& Commands() const override;
  void SetupWindow() override;
  void Destroy() override;
  void EvViewNotify(std::int32_t code) override;
  // The quiz holds nothing to save.
  bool CanClose() override { return true; }
  bool CanOpen() override { return false; }
  bool CanSave() override { return false; }
  bool CanSaveAs() override { return false; }
  void NewFile() override { NewTask(); }
  // The caption is the document name: the quiz's name or the verdict.
  void UpdateCaption(bool saving, const char* extra = nullptr) override;
  // Axes, asymptotes (vertical, then horizontal) and the task and guess.
  int DrawEquations(plat::DC& dc) override;
  // The plot for a metafile, on the background when "&Mit
  // Hintergrundfarbe" is on.
  void MetafileHook(plat::DC& dc, int scale) override;

  // ---- the quiz ----
  // A task of an allowed family replaces the last; the guess is hidden.
  bool NewTask();
  // Judges the formula text as an answer: the verdict in the caption, a
  // wrong answer drawn beside the task.  Returns whether it was accepted.
  bool Guess(const std::string& text);
  void DrawAsymptotes(plat::DC& dc, bool vertical);
  // The quiz's part of the settings record: the fifteen flags as "T"/"F"
  // and the two degrees.  Applied only when "guess.ini" was read.
  void StoreQuizSettings();
  void ApplyQuizSettings();

  // ---- fields ----
  std::vector<long double> HorizontalAsymptotes;
  std::vector<long double> VerticalAsymptotes;
  TQuizSettings Types;
  std::string DocumentName;

 private:
  void CmNewTask();
  void CmGuess();
  void CmAnswer();
  void CmSelectTypes();
  void CmSelectAll();
  void CmResetTypes();
};

}  // namespace kv
