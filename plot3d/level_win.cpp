#include "plot3d/level_win.h"

#include <algorithm>
#include <cmath>

#include "entry/edit_coor_dialog.h"
#include "platform/resources.h"
#include "platform/testing.h"
#include "plot3d/direction_dialog.h"
#include "plot3d/model/evaluate.h"
#include "plot3d/model/intersection_curve.h"
#include "plot3d/plot_r_win.h"
#include "shell/program_random.h"
#include "core/constants.h"
#include "shell/text_helpers.h"

namespace kv {

namespace {

constexpr int kStrGradient = 351;    // "grad"
constexpr int kStrTheta = 278;       // "Theta"
constexpr int kStrDirection = 354;   // "Richtung"
constexpr int kStrDerivative = 355;  // "Ableitung"
// With the platform in testing mode nobody presses the stop key: a search
// without limit ends after this many rounds without a new piece.
constexpr long kTestIdleRounds = 200;
// The size code of the cursor point's marker (its pen width).
constexpr int kCursorPointSize = 3;
// A click this many pixels from the cursor point picks it up.
constexpr int kPickPixels = 6;
// The most points of one picture the search compares a start with.
constexpr std::size_t kMaxRemembered = 200000;
// The direction slider's steps: the owner's slider entry.
constexpr int kDirectionSteps = 30;

// A colour index as the plot file's byte keeps it (0..60).
std::uint8_t ColourIndexByte(int index) { return static_cast<std::uint8_t>(index >= 0 && index <= 60 ? index : 0); }

std::string TrimmedNumber(const std::string& s) {
  const auto a = s.find_first_not_of(' ');
  const auto b = s.find_last_not_of(' ');
  return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

// Draws traced points as a polyline into the DC and the exports, and
// remembers them, so that a start on a curve already drawn is refused.
class TLevelSink : public TPolylineSink {
 public:
  TLevelSink(TLevelWin& w, plat::DC& dc, bool record) : w_(w), dc_(dc), record_(record) {}
  void MoveTo(const TPoint2D& p) override {
    Remember(p);
    previous_ = p;
    down_ = true;
  }
  void LineTo(const TPoint2D& p) override {
    Remember(p);
    if (down_) w_.DrawCurveSegment(dc_, previous_, p);
    previous_ = p;
    down_ = true;
  }
  bool Cancelled() override {
    if (!stopped_) stopped_ = w_.StopKeyPressed();
    return stopped_;
  }
  bool Stopped() const { return stopped_; }
  bool Near(const TPoint2D& q, long double tx, long double ty) const {
    for (const TPoint2D& t : traced_)
      if (std::fabs(t.x - q.x) <= tx && std::fabs(t.y - q.y) <= ty) return true;
    return false;
  }

 private:
  void Remember(const TPoint2D& p) {
    if (record_ && traced_.size() < kMaxRemembered) traced_.push_back(p);
  }
  TLevelWin& w_;
  plat::DC& dc_;
  bool record_;
  bool down_ = false;
  bool stopped_ = false;
  TPoint2D previous_;
  std::vector<TPoint2D> traced_;
};

}  // namespace

TLevelWin::TLevelWin(TPlotRWin* owner, const std::string& caption) : TPlotQWin(owner, caption), owner_(owner) {
  // A plane window: its axes and grid, no picture of space.
  is3D = 0;
  AxesShown = 1;
  AxisChoice = 3;
  AssignMenu("LEVELMENU");
  SettingsFileName = kSettingsFileLevels;
  FileData.FileName = caption;
  // The colour windows of the gradient and the direction say what they
  // colour.
  ColourCaptionIds[kLevelGradientSlot] = kStrGradient;
  ColourCaptionIds[kLevelDirectionSlot] = kStrDirection;
  const int side = static_cast<int>(owner->ScreenWidth / 2 * 4 / 5);
  Placement = {plat::Rand() % 80, plat::Rand() % 30 + CaptionMenuHeight, std::max(side, 200), std::max(side, 200)};
}

const plat::CommandTable& TLevelWin::Commands() const {
  using W = TLevelWin;
  static const auto table = plat::CommandTable::Build<W>(
      &TPlotQWin::Commands(), {
                                  {kCmLevelGradient, &W::CmGradient, &W::CeCursorTools},
                                  {kCmLevelDirection, &W::CmDirection, &W::CeCursorTools},
                                  {kCmMouseFirst, kCmMouseLast, &W::CmMouseModeLevel, &W::CeMouseModeLevel},
                                  {kCmLevelClose, &W::CmCloseLevel},
                              });
  return table;
}

void TLevelWin::SetupWindow() {
  TPlotQWin::SetupWindow();
  // A window starts in text mode, never in cursor mode.
  if (MouseMode < kCmMouseText || MouseMode > kCmMouseCoordinates) MouseMode = kCmMouseText;
  MoveWindow(Placement.x, Placement.y, Placement.width, Placement.height);
  UpdateView();
  UpdateMenuChecks(true);
  loopClosingTolerance = 0.5L;
  directionDialog_ = new TPctDlg(this, "SPARAM", angle_);
  if (directionDialog_->Create()) {
    directionDialog_->Hide();
  } else {
    delete directionDialog_;
    directionDialog_ = nullptr;
  }
}

void TLevelWin::Destroy() {
  if (IsDestroyed()) return;
  if (owner_) {
    owner_->Overlays.course.shown = false;
    if (owner_->LevelWin == this) owner_->LevelWin = nullptr;
    if (owner_->CourseWin == this) owner_->CourseWin = nullptr;
  }
  // The direction dialog goes with its owner window (the platform only
  // detaches dialogs).
  if (directionDialog_) {
    directionDialog_->Destroy();
    delete directionDialog_;
    directionDialog_ = nullptr;
  }
  TPlotQWin::Destroy();
}

void TLevelWin::Hide() {
  if (directionDialog_) directionDialog_->Hide();
  TPlotQWin::Hide();
  dragging_ = false;
  if (MouseMode == kCmMouseCursor) RepaintOwner();
}

int TLevelWin::AngleSteps() const { return std::max(1, owner_->smallSteps[kDirectionSteps]); }
int TLevelWin::AnglePageSteps() const { return std::max(1, owner_->mediumSteps[kDirectionSteps]); }

void TLevelWin::SyncDirectionSlider(int steps, int pages) {
  if (!directionDialog_ || !directionDialog_->IsVisible()) return;
  for (TPlot111Win* w : {static_cast<TPlot111Win*>(this), static_cast<TPlot111Win*>(owner_)}) {
    w->smallSteps[kDirectionSteps] = steps;
    w->mediumSteps[kDirectionSteps] = pages;
  }
  directionDialog_->SetupScrollRange();
}

TEquation* TLevelWin::SurfaceRecord() {
  return owner_->IsValidIndex(surfaceIndex_) ? &owner_->Equation(surfaceIndex_) : nullptr;
}

bool TLevelWin::CursorAvailable() const {
  return plane_.axis == kLevelAxisZ && owner_->IsValidIndex(surfaceIndex_) &&
         owner_->Equation(surfaceIndex_).kind == kKindSurface && !CourseWindow;
}

// ---- menu ----

void TLevelWin::CmMouseModeLevel(int id) { SetMouseMode(id); }

void TLevelWin::CeMouseModeLevel(plat::CommandEnabler& ce) {
  if (ce.id == kCmMouseCursor) ce.Enable(CursorAvailable());
  ce.SetCheck(ce.id == MouseMode);
}

void TLevelWin::SetMouseMode(int mode) {
  const int old = MouseMode;
  if (mode == kCmMouseCursor && !CursorAvailable()) return;
  MouseMode = static_cast<std::int16_t>(mode);
  dragging_ = false;
  if (old == kCmMouseCursor || mode == kCmMouseCursor) {
    UpdateCursorValues();
    RepaintOwner();
    BufferValid[0] = 0;
    Invalidate(false);
  }
  UpdateMenuChecks(true);
}

void TLevelWin::UpdateMenuChecks(bool drawMenuBar) {
  TPlotQWin::UpdateMenuChecks(drawMenuBar);
  if (!IsCreated()) return;
  if (HasMenuItem(kCmLevelGradient)) CheckMenu(kCmLevelGradient, showGradient_);
  if (HasMenuItem(kCmLevelDirection)) CheckMenu(kCmLevelDirection, showDirection_);
}

void TLevelWin::CmGradient() {
  showGradient_ = !showGradient_;
  UpdateMenuChecks(true);
  BufferValid[0] = 0;
  Invalidate(false);
}

void TLevelWin::CmDirection() {
  showDirection_ = !showDirection_;
  if (directionDialog_) {
    if (showDirection_) {
      directionDialog_->Show(plat::SW_SHOW);
      directionDialog_->SetupScrollRange();
    } else {
      directionDialog_->Hide();
    }
  }
  UpdateMenuChecks(true);
  BufferValid[0] = 0;
  Invalidate(false);
}

// ---- the surface ----

void TLevelWin::AttachSurface(int i, int axis, long double level, bool mark, bool searchWithoutLimit, bool drawNow,
                              bool keepNearLevel) {
  surfaceIndex_ = i;
  plane_.axis = CheckedLevelAxis(axis);
  plane_.level = level;
  TEquation* e = SurfaceRecord();
  if (e) {
    e->drawFilled = mark ? 1 : 0;
    e->kindFlag = searchWithoutLimit ? 1 : 0;
    e->webToAxis = drawNow ? 1 : 0;
  }
  Decimals = owner_->Decimals;
  if ((drawNow || keepNearLevel) && MouseMode == kCmMouseCursor) MouseMode = kCmMouseCoordinates;
  AxisNames[0] = plane_.HorizontalName();
  AxisNames[1] = plane_.VerticalName();
  tolerance_ = drawNow || keepNearLevel ? 5 * std::pow(0.1L, static_cast<long double>(Decimals)) : Exp42;
  // The view: the entry's box in the plane, or its parameter rectangle.
  TPoint2D centre{0, 0};
  TPoint2D half{5, 5};
  if (e && e->kind == kKindIntersection && e->derivation >= kCurveExplicitParametric) {
    centre = {(e->lowerBound.x + e->upperBound.x) / 2, (e->lowerBound.y + e->upperBound.y) / 2};
    half = {0.53L * (e->upperBound.x - e->lowerBound.x), 0.53L * (e->upperBound.y - e->lowerBound.y)};
    AxisNames[0] = "t";
    AxisNames[1] = "u";
  } else if (e) {
    const TPoint2D lo = plane_.ToPlane(e->boxMin());
    const TPoint2D hi = plane_.ToPlane(e->boxMax());
    centre = {(lo.x + hi.x) / 2, (lo.y + hi.y) / 2};
    half = {0.53L * (hi.x - lo.x), 0.53L * (hi.y - lo.y)};
  }
  // An empty or reversed box still gives a view.
  if (!(half.x > 1e-13L)) half.x = 1;
  if (!(half.y > 1e-13L)) half.y = 1;
  SetView(centre.x, centre.y, half.x, half.y, 0);
  UpdateView();
  cursor_ = centre;
  UpdateCursorValues();
  if (!CursorAvailable()) {
    showDirection_ = false;
    showGradient_ = false;
    if (MouseMode == kCmMouseCursor) MouseMode = kCmMouseCoordinates;
  }
  if (showDirection_ && directionDialog_) directionDialog_->Show(plat::SW_SHOW);
  PlotBufferValid = 0;
  UpdateMenuChecks(true);
}

void TLevelWin::DrawNewLevelCurve() {
  PlotBufferValid = 0;
  drawn = 0;
  if (!IsCreated()) return;
  SetFocus();
  plat::ClientDC dc(*this);
  PaintBuffered(dc);
}

int TLevelWin::DrawEquations(plat::DC& dc) {
  if (IsCreated()) SetFocus();
  SetCaption(1, 0, 0);
  const int r = DrawLevelCurves(dc);
  LastDrawStopped = r != 0;
  UpdateCaption(false);
  // The owner keeps the colours with its plot file.
  owner_->colourMode3D = ColourIndexByte(ColourSlots[kLevelBackgroundSlot]);
  owner_->colourMode3D2 = ColourIndexByte(ColourSlots[kLevelCursorSlot]);
  return r;
}

int TLevelWin::DrawLevelCurves(plat::DC& dc) {
  TEquation* e = SurfaceRecord();
  if (!e || !e->trees[3]) return 0;
  TFormulaEngine& engine = owner_->Engine();
  const TEngineVariableGuard guard(engine);
  const bool savedJumps = engine.JumpDetection();
  engine.SetJumpDetection(false);
  const TTracerSettings settings = TracerSettings();
  TLevelSink sink(*this, dc, e->webToAxis != 0);
  BeginCurveRecording(4000);
  // The stored pieces of this axis near enough to the level.
  for (const TEquationItem& item : e->items) {
    if (!IsLevelItemShown(item, plane_.axis, plane_.level, tolerance_)) continue;
    TLevelPlane at = plane_;
    at.level = item.level;
    TPlaneFunction f = LevelFunctionOf(engine, *e, at);
    const plat::Pen old = dc.SelectPen(CreateStylePen(item.pen));
    TraceImplicitCurveFrom(f, settings, at.ToPlane(item.start), sink);
    dc.SelectPen(old);
    if (sink.Stopped()) break;
  }
  // New pieces of the current level.
  if (e->webToAxis && !sink.Stopped()) {
    TPenSpec pen = e->PenSpec();
    const int colour = owner_->ColourSlots[kItemColourSlot];
    if (colour >= 1 && colour <= 60) pen.colour = static_cast<std::uint16_t>(colour);
    const plat::Pen old = dc.SelectPen(CreateStylePen(pen));
    TPlaneFunction f = LevelFunctionOf(engine, *e, plane_);
    TProgramRandom random;
    TLevelSearch search;
    search.unlimited = e->kindFlag != 0;
    search.idleLimit = plat::testing::TestingMode() ? kTestIdleRounds : 0;
    SearchLevelPieces(
        f, World, settings, random, search,
        [&](const TPoint2D& q) { return !sink.Near(q, 1.5L * UnitsPerPixelX, 1.5L * UnitsPerPixelY); },
        [&](const TPoint2D& start) {
          TraceImplicitCurveFrom(f, settings, start, sink);
          e->items.push_front(MakeLevelItem(plane_, start, pen));
          owner_->Modified = 1;
        },
        [&] { return sink.Stopped() || StopKeyPressed(); });
    dc.SelectPen(old);
    e->webToAxis = 0;
  }
  EndCurveRecording(e->penColour, e->penWidth, e->penStyle);
  engine.SetJumpDetection(savedJumps);
  engine.ClearEvaluationError();
  return sink.Stopped() ? 'A' : 0;
}

// ---- the cursor ----

void TLevelWin::UpdateCursorValues() {
  TCourseOverlay& course = owner_->Overlays.course;
  course.mouseMode = MouseMode;
  course.surface = surfaceIndex_;
  course.shown = IsCreated() && !Hidden && !CourseWindow;
  if (MouseMode != kCmMouseCursor || !CursorAvailable()) return;
  TEquation* e = SurfaceRecord();
  const TEngineVariableGuard guard(owner_->Engine());
  readout_ = ReadCursor(owner_->Engine(), *e, cursor_.x, cursor_.y, angle_);
  cursor3_ = {cursor_.x, cursor_.y, readout_.z};
  course.cursor = cursor3_;
  course.marks = {cursor3_};
  course.colour = CheckColourIndex(ColourSlots[kLevelCursorSlot]);
}

void TLevelWin::DirectionAngleChanged() {
  readout_.direction = {std::cos(angle_), std::sin(angle_)};
  readout_.derivative = readout_.fx * readout_.direction.x + readout_.fy * readout_.direction.y;
  BufferValid[0] = 0;
  Invalidate(false);
}

void TLevelWin::RepaintOwner() {
  owner_->Overlays.course.shown = IsCreated() && !Hidden && !CourseWindow;
  owner_->Overlays.course.mouseMode = MouseMode;
  owner_->BlitNow();
}

void TLevelWin::MoveCursorTo(const TPoint2D& p) {
  cursor_ = p;
  UpdateCursorValues();
  RepaintOwner();
  BufferValid[0] = 0;
  if (IsCreated()) {
    plat::ClientDC dc(*this);
    PaintBuffered(dc);
  }
}

void TLevelWin::EvLButtonDown(unsigned keys, plat::Point p) {
  if (MouseMode != kCmMouseCursor) {
    TPlotQWin::EvLButtonDown(keys, p);
    return;
  }
  const TPoint2D w = PixelToWorldPoint(p);
  if (std::fabs(w.x - cursor_.x) + std::fabs(w.y - cursor_.y) > kPickPixels * UnitsPerPixelX) return;
  dragging_ = true;
  SetCapture();
}

void TLevelWin::EvMouseMove(unsigned keys, plat::Point p) {
  if (!dragging_) {
    TPlotQWin::EvMouseMove(keys, p);
    return;
  }
  MoveCursorTo(PixelToWorldPoint(p));
}

void TLevelWin::EvLButtonUp(unsigned keys, plat::Point p) {
  if (!dragging_) {
    TPlotQWin::EvLButtonUp(keys, p);
    return;
  }
  dragging_ = false;
  ReleaseCapture();
  MoveCursorTo(PixelToWorldPoint(p));
}

void TLevelWin::EvRButtonDown(unsigned keys, plat::Point p) {
  if (MouseMode != kCmMouseCursor) {
    TPlotQWin::EvRButtonDown(keys, p);
    return;
  }
  // The click is the cursor point; "LAGPT" then edits it.  Its values and
  // picture follow at once, so that they stay the point's also when the
  // dialog is cancelled.  A typed point must lie in the view, where the
  // cursor can be seen and dragged.
  MoveCursorTo(PixelToWorldPoint(p));
  TPoint2D typed = cursor_;
  TEditCoorDlg dlg(*this, "LAGPT", typed, false, true);
  if (dlg.Execute() != plat::IDOK) return;
  MoveCursorTo(typed);
}

// ---- the overlays ----

void TLevelWin::DrawPlot(plat::DC& dc) {
  TPlotQWin::DrawPlot(dc);
  if (MouseMode != kCmMouseCursor || !CursorAvailable()) return;
  DrawCursorTrace(dc);
  if (showDirection_) DrawDirectionArrow(dc);
  if (showGradient_) DrawGradientArrow(dc);
}

int TLevelWin::TextMargin() const {
  // Six pixels of the screen; more while the picture is rendered larger
  // (printing, high resolution).
  return ScaleLineWidths ? 6 * std::max<int>(1, LineWidthFactor) : 6;
}

void TLevelWin::DrawCursorTrace(plat::DC& dc) {
  TEquation* e = SurfaceRecord();
  if (!e) return;
  const int colour = CheckColourIndex(ColourSlots[kLevelCursorSlot]);
  {
    // The cursor point is marked as a point of pen width 3: a filled
    // circle of that size code, whatever the window's point size.
    const plat::Pen oldPen = dc.SelectPen(CreateColourPen(colour, 1, plat::PS_SOLID));
    const plat::Brush oldBrush = dc.SelectBrush(plat::SolidBrush(GetColourAvoidingBackground(colour)));
    DrawMarkerAtWorld(dc, cursor_, 1, MarkerSize(dc, kCursorPointSize));
    dc.SelectBrush(oldBrush);
    dc.SelectPen(oldPen);
  }
  // The level curve through the cursor point.
  {
    TFormulaEngine& engine = owner_->Engine();
    const TEngineVariableGuard guard(engine);
    TPlaneFunction f = LevelFunctionOf(engine, *e, {kLevelAxisZ, readout_.z});
    TPenSpec pen;
    SetTriple16(pen, static_cast<std::uint16_t>(colour), 1, 0);
    const plat::Pen old = dc.SelectPen(CreateStylePen(pen));
    BeginCurveRecording(4000);
    TLevelSink sink(*this, dc, false);
    TraceImplicitCurveFrom(f, TracerSettings(), cursor_, sink);
    EndCurveRecording(colour, 1, 0);
    dc.SelectPen(old);
  }
  std::string z;
  FormatWindowNumber(readout_.z, z);
  const int m = TextMargin();
  const plat::LogFont oldFont = dc.SelectFont(FontSlots[kCoordinateFontSlot]);
  const plat::Colour oldColour = dc.SetTextColor(GetColourAvoidingBackground(colour));
  dc.SetBkMode(plat::TRANSPARENT);
  const unsigned oldAlign = dc.SetTextAlign(plat::TA_RIGHT | plat::TA_TOP);
  dc.TextOut(ClientWidth - m, m, "z = " + TrimmedNumber(z));
  dc.SetTextAlign(oldAlign);
  dc.SetTextColor(oldColour);
  dc.SelectFont(oldFont);
}

void TLevelWin::DrawCursorArrow(plat::DC& dc, const TPoint2D& q, int colourSlot) {
  const int colour = CheckColourIndex(ColourSlots[static_cast<std::size_t>(colourSlot)]);
  const plat::Pen oldPen = dc.SelectPen(CreateColourPen(colour, 1, plat::PS_SOLID));
  const plat::Brush oldBrush = dc.SelectBrush(plat::SolidBrush(GetColourAvoidingBackground(colour)));
  const std::uint32_t pen = PackPen(colour, 1);
  const long double head = 2 * (ArrowLength > 0 ? ArrowLength : ShortTickLength * UnitsPerPixelX);
  if (IsInView(q)) {
    DrawSegment(dc, cursor_, q, head, pen, 0, true, 3);
  } else {
    DrawSegment(dc, cursor_, q, 0, pen, 0, true, 1);
  }
  dc.SelectBrush(oldBrush);
  dc.SelectPen(oldPen);
}

void TLevelWin::DrawGradientArrow(plat::DC& dc) {
  const long double fx = readout_.fx;
  const long double fy = readout_.fy;
  if (std::fabs(fx) + std::fabs(fy) >= UnitsPerPixelX)
    DrawCursorArrow(dc, {cursor_.x + fx, cursor_.y + fy}, kLevelGradientSlot);
  std::string v = FormatMouseCoordinates({fx, fy});
  if (v.size() >= 2 && v.front() == '(') v = "[" + v.substr(1, v.size() - 2) + "]";
  const int m = TextMargin();
  const int colour = CheckColourIndex(ColourSlots[kLevelGradientSlot]);
  const plat::LogFont oldFont = dc.SelectFont(FontSlots[kCoordinateFontSlot]);
  const plat::Colour oldColour = dc.SetTextColor(GetColourAvoidingBackground(colour));
  dc.SetBkMode(plat::TRANSPARENT);
  const unsigned oldAlign = dc.SetTextAlign(plat::TA_LEFT | plat::TA_TOP);
  dc.TextOut(m, m, plat::res::String(kStrGradient) + " = " + v);
  dc.SetTextAlign(oldAlign);
  dc.SetTextColor(oldColour);
  dc.SelectFont(oldFont);
}

void TLevelWin::DrawDirectionArrow(plat::DC& dc) {
  const TPoint2D& d = readout_.direction;
  if (std::fabs(d.x) + std::fabs(d.y) > 1e-16L) DrawCursorArrow(dc, {cursor_.x + d.x, cursor_.y + d.y}, kLevelDirectionSlot);
  const int m = TextMargin();
  const int colour = CheckColourIndex(ColourSlots[kLevelDirectionSlot]);
  const plat::LogFont oldFont = dc.SelectFont(FontSlots[kCoordinateFontSlot]);
  const plat::Colour oldColour = dc.SetTextColor(GetColourAvoidingBackground(colour));
  dc.SetBkMode(plat::TRANSPARENT);
  std::string theta, derivative;
  FormatWindowNumber(angle_, theta);
  FormatWindowNumber(readout_.derivative, derivative);
  const unsigned oldAlign = dc.SetTextAlign(plat::TA_LEFT | plat::TA_BOTTOM);
  dc.TextOut(m, ClientHeight - m, plat::res::String(kStrTheta) + " = " + TrimmedNumber(theta));
  dc.SetTextAlign(plat::TA_RIGHT | plat::TA_BOTTOM);
  dc.TextOut(ClientWidth - m, ClientHeight - m, plat::res::String(kStrDerivative) + " = " + TrimmedNumber(derivative));
  dc.SetTextAlign(oldAlign);
  dc.SetTextColor(oldColour);
  dc.SelectFont(oldFont);
}

}  // namespace kv
