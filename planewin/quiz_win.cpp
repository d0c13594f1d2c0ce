#include "planewin/quiz_win.h"

#include <cmath>

#include "planewin/model/quiz_checker.h"
#include "shell/program_random.h"
#include "planewin/switch_dialog.h"
#include "platform/common_dialogs.h"
#include "platform/resources.h"
#include "shell/generic_dialogs.h"

namespace kv {

namespace {

constexpr int kGuessBufferSize = 256;
// A task curve is sampled three times per pixel column.
constexpr std::int16_t kTaskDensity = 3;
// Where the quiz keeps its part of the settings record: the flags as
// characters of the third byte block, the degrees in free words of the
// first integer block.
constexpr std::size_t kFlagBlock = 2;
constexpr std::size_t kMinDegreeWord = 12;
constexpr std::size_t kMaxDegreeWord = 13;
constexpr long double kAsymptoteInset = 0.001L;

}  // namespace

// ---- fields, command table ----

TPlotGWin::TPlotGWin(plat::Window* parent, const std::string& caption) : TPlotCWin(parent, caption) {
  Types.enabled[quiz::kPolynomial] = true;
  Types.minDegree = 2;
  Types.maxDegree = 2;
  AssignMenu("GUESSMENU");
  // The help of the window and of its menus, in menu order.
  SetHelpNames("KVGHELP", {"KVGFILEH", "KVGEQUAH", "KVGVIEWH", "KVGBTNSH", "KVGMISCH", "KVSTYLEH", "KVSTYLEH"});
  SettingsFileName = kSettingsFileGuess;
  ViewTemplate = "VIEWCEN";
  DocumentName = caption;
  skipDerivedTrees = 1;
  ColourTargets[kQuizCurveSlot] = kQuizCurveChanged;
  ColourSlots[kQuizAnswerSlot] = 4;
  ColourCaptionIds[kQuizAnswerSlot] = kStrAnswerColour;
  ColourTargets[kQuizAnswerSlot] = kQuizAnswerChanged;
  ColourSlots[kQuizAsymptoteSlot] = 6;
  ColourCaptionIds[kQuizAsymptoteSlot] = kStrAsymptoteColour;
  ColourTargets[kQuizAsymptoteSlot] = kQuizAsymptotesChanged;
}

const plat::CommandTable& TPlotGWin::Commands() const {
  static const auto table = plat::CommandTable::Build<TPlotGWin>(&TPlotCWin::Commands(), {
                                                                                             {kCmNewTask, &TPlotGWin::CmNewTask},
                                                                                             {kCmGuess, &TPlotGWin::CmGuess},
                                                                                             {kCmAnswer, &TPlotGWin::CmAnswer},
                                                                                             {kCmSelectTypes, &TPlotGWin::CmSelectTypes},
                                                                                             {kCmSelectAll, &TPlotGWin::CmSelectAll},
                                                                                             {kCmResetTypes, &TPlotGWin::CmResetTypes},
                                                                                         });
  return table;
}

// ---- set-up, settings, closing ----

void TPlotGWin::SetupWindow() {
  TPlotCWin::SetupWindow();
  ApplySettings();
  ApplyQuizSettings();
  ClearInventory();
  for (int i = 0; i < 2; ++i) {
    TEquation& e = Equation(i);
    InitEquation(e, kKindExplicit, 0, defaultDensity);
    e.curvePoints = {50, 50};
    e.visible = 1;
  }
  Equation(0).penColour = static_cast<std::uint16_t>(ColourSlots[kQuizCurveSlot]);
  Equation(1).penColour = static_cast<std::uint16_t>(ColourSlots[kQuizAnswerSlot]);
  UpdateView();
  NewTask();
}

void TPlotGWin::Destroy() {
  if (IsDestroyed()) return;
  StoreSettings();
  StoreQuizSettings();
  TPlotCWin::Destroy();
}

void TPlotGWin::StoreQuizSettings() {
  auto& flags = SettingsBlocks.Bytes[kFlagBlock];
  for (int i = 0; i < quiz::kFlagCount; ++i)
    flags[static_cast<std::size_t>(i)] = Types.enabled[static_cast<std::size_t>(i)] ? 'T' : 'F';
  SettingsBlocks.Ints[0][kMinDegreeWord] = Types.minDegree;
  SettingsBlocks.Ints[0][kMaxDegreeWord] = Types.maxDegree;
}

void TPlotGWin::ApplyQuizSettings() {
  if (!SettingsLoaded) return;
  const auto& flags = SettingsBlocks.Bytes[kFlagBlock];
  for (int i = 0; i < quiz::kFlagCount; ++i)
    Types.enabled[static_cast<std::size_t>(i)] = flags[static_cast<std::size_t>(i)] == 'T';
  if (!Types.AnyTypeEnabled()) Types.enabled[quiz::kPolynomial] = true;
  Types.minDegree = SettingsBlocks.Ints[0][kMinDegreeWord];
  Types.maxDegree = SettingsBlocks.Ints[0][kMaxDegreeWord];
  if (Types.minDegree < quiz::kMinDegree || Types.maxDegree > quiz::kMaxDegree || Types.maxDegree < Types.minDegree)
    Types.minDegree = Types.maxDegree = 2;
}

void TPlotGWin::EvViewNotify(std::int32_t code) {
  switch (code) {
    case kQuizCurveChanged:
      Equation(0).penColour = static_cast<std::uint16_t>(ColourSlots[kQuizCurveSlot]);
      break;
    case kQuizAnswerChanged:
      Equation(1).penColour = static_cast<std::uint16_t>(ColourSlots[kQuizAnswerSlot]);
      break;
    case kQuizAsymptotesChanged:
      break;
    default:
      TPlotCWin::EvViewNotify(code);
      return;
  }
  InvalidatePlot();
}

void TPlotGWin::UpdateCaption(bool saving, const char* extra) { plat::Window::SetCaption(DocumentName); }

// ---- drawing ----

int TPlotGWin::DrawEquations(plat::DC& dc) {
  DrawAxes(dc);
  DrawAsymptotes(dc, true);
  DrawAsymptotes(dc, false);
  for (int i = 0; i <= equationCount; ++i)
    if (DrawEquation(dc, i) == 'A') break;
  return 0;
}

void TPlotGWin::MetafileHook(plat::DC& dc, int scale) {
  if (WithBackground) PaintBackground(dc);
  TPlotCWin::MetafileHook(dc, scale);
}

void TPlotGWin::DrawAsymptotes(plat::DC& dc, bool vertical) {
  const std::vector<long double>& values = vertical ? VerticalAsymptotes : HorizontalAsymptotes;
  if (values.empty()) return;
  const plat::Pen old = dc.SelectPen(CreateColourPen(ColourSlots[kQuizAsymptoteSlot], 1, 1));
  // A line on an axis that is drawn anyway is left out.
  const bool onAxis = AxesShown && (AxisChoice % 2) == 1;
  for (long double v : values) {
    if (onAxis && std::fabs(v) <= kAsymptoteInset) continue;
    if (vertical)
      DrawWorldLine(dc, {v, World.ymin + kAsymptoteInset}, {v, World.ymax - kAsymptoteInset}, true);
    else
      DrawWorldLine(dc, {World.xmin + kAsymptoteInset, v}, {World.xmax - kAsymptoteInset, v}, true);
  }
  dc.SelectPen(old);
}

// ---- the quiz ----

bool TPlotGWin::NewTask() {
  TQuizView view;
  view.cx = Centre.x;
  view.cy = Centre.y;
  view.halfX = HalfX;
  view.ratio = AreaWidth() > 0 ? Aspect * AreaHeight() / AreaWidth() : 1;
  view.Update();
  TQuizContext context;
  context.clientWidth = AreaWidth();
  context.clientHeight = AreaHeight();
  context.searchStarted = [this] {
    if (!IsCreated()) return;
    SetFocus();
    SetCaption(1, 0, 0);  // "Abbruch mit Taste A"
  };
  context.stopRequested = [this] { return StopKeyPressed(); };
  TProgramRandom random;
  const TQuizTask task = MakeQuizTask(Types, view, random, context);

  VerticalAsymptotes = task.vertical;
  HorizontalAsymptotes = task.horizontal;
  if (!task.stopped && !task.gaveUp) SetView(task.view.cx, task.view.cy, task.view.halfX, task.view.halfY, 0);
  TEquation& e = Equation(0);
  for (TreePtr& t : e.trees) t.reset();
  e.formulaText[1] = task.text;
  e.lowerBound.x = World.xmin;
  e.upperBound.x = World.xmax;
  e.stepDensity = kTaskDensity;
  equationCount = 0;
  CompileEquation(0);
  for (TreePtr& t : Equation(1).trees) t.reset();
  DocumentName = plat::res::String(kStrQuizName);
  UpdateCaption(false);
  // The search found no task of its own within its attempts: the fixed one
  // is shown, and the user is told.
  if (task.gaveUp && IsCreated()) ShowMessageById(2);
  return true;
}

bool TPlotGWin::Guess(const std::string& text) {
  for (TreePtr& t : Equation(1).trees) t.reset();
  equationCount = 0;
  TreePtr guess;
  const int code = Compile(text, guess);
  bool accepted = false;
  if (code != 0) {
    DocumentName = NumberedMessageText(code);
  } else {
    TProgramRandom random;
    accepted = CheckGuess(Engine(), Equation(0).trees[1].get(), guess.get(), World.xmin, HalfX, random).accepted;
    guess.reset();
    if (accepted) {
      DocumentName = NumberedMessageText(kMsgPerfect);
    } else {
      TEquation& e = Equation(1);
      equationCount = 1;
      e.formulaText[1] = text;
      e.lowerBound.x = World.xmin;
      e.upperBound.x = World.xmax;
      CompileEquation(1);
      DocumentName = NumberedMessageText(kMsgTryAgain);
    }
  }
  InvalidatePlot();
  UpdateCaption(false);
  return accepted;
}

// ---- commands ----

void TPlotGWin::CmNewTask() {
  if (NewTask()) InvalidatePlot();
}

void TPlotGWin::CmGuess() {
  std::string text = equationCount >= 1 ? Equation(1).formulaText[1] : std::string();
  TInpDlg dialog(this, plat::res::String(kStrQuizName), "y =", text, kGuessBufferSize);
  if (dialog.Execute() != plat::IDOK) return;
  Guess(text);
}

void TPlotGWin::CmAnswer() {
  plat::MessageBox(this, "y = " + Equation(0).formulaText[1], plat::res::String(kStrAnswerCaption), plat::MB_OK);
}

void TPlotGWin::CmSelectTypes() {
  {
    TSwitchDlg dialog(this, "SWITCH");
    dialog.Execute();
  }
  if (!Types.AnyTypeEnabled()) {
    Types.enabled[quiz::kParabola] = true;
    ShowMessageById(25);
  }
}

void TPlotGWin::CmSelectAll() {
  Types.enabled.fill(true);
  Types.minDegree = quiz::kMinDegree;
  Types.maxDegree = quiz::kMaxDegree;
}

void TPlotGWin::CmResetTypes() {
  Types.enabled.fill(false);
  Types.enabled[quiz::kParabola] = true;
  Types.minDegree = Types.maxDegree = 2;
}

}  // namespace kv
