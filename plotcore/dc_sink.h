// The sink through which the plot layer's curves reach a device context or
// the export recording: every step is clipped to the view (to the plotted
// rectangle in a window with logarithmic axes) and drawn with the pen
// selected in the DC, or recorded while an export runs.  Also the drawing
// of a late addition into the back buffers.
#pragma once

#include <algorithm>

#include "plotcore/plot_win.h"

namespace kv {

class TPlotWin::TDcSink : public TPolylineSink {
 public:
  TDcSink(TPlotWin& w, plat::DC& dc) : w_(w), dc_(dc) {}
  void MoveTo(const TPoint2D& p) override {
    last_ = p;
    have_ = true;
    w_.MarkCurveBreak();
  }
  void LineTo(const TPoint2D& p) override {
    if (have_) {
      TPoint2D a = last_;
      TPoint2D b = p;
      if (w_.ClipToLogFrame(a, b)) {
        w_.DrawSegmentOnDc(dc_, a, b);
      } else {
        w_.MarkCurveBreak();
      }
    }
    last_ = p;
    have_ = true;
  }
  bool Cancelled() override {
    if (w_.StopKeyPressed()) stopped_ = true;
    return stopped_;
  }
  bool Stopped() const { return stopped_; }

 private:
  TPlotWin& w_;
  plat::DC& dc_;
  TPoint2D last_;
  bool have_ = false;
  bool stopped_ = false;
};

// A solution drawn into a picture and, step by step with a pause, on the
// screen ("Verfolgen").  The stop key is read after every step shown; the
// run asks the sink only every few hundred steps, and the steps up to then
// are drawn into the picture without pauses.
class TFollowSink : public TPolylineSink {
 public:
  TFollowSink(TPlotWin& w, TPolylineSink& drawn, TPolylineSink& shown) : w_(w), drawn_(drawn), shown_(shown) {}
  void MoveTo(const TPoint2D& p) override {
    drawn_.MoveTo(p);
    if (!stopped_) shown_.MoveTo(p);
  }
  void LineTo(const TPoint2D& p) override {
    drawn_.LineTo(p);
    if (stopped_) return;
    shown_.LineTo(p);
    ++w_.followedRun.shown;
    stopped_ = w_.FollowWait();
  }
  bool Cancelled() override { return stopped_ || drawn_.Cancelled(); }
  void StepPoint(long double t, const TPoint3D& p) override { drawn_.StepPoint(t, p); }
  bool Stopped() const { return stopped_; }

 private:
  TPlotWin& w_;
  TPolylineSink& drawn_;
  TPolylineSink& shown_;
  bool stopped_ = false;
};

// Marks a followed run for the paints during it (TPlotWin::followedRun)
// and forgets it when the run ends, however it ends.
class TFollowedRunScope {
 public:
  explicit TFollowedRunScope(TPlotWin& w) : w_(w) {}
  ~TFollowedRunScope() { End(); }
  TFollowedRunScope(const TFollowedRunScope&) = delete;
  TFollowedRunScope& operator=(const TFollowedRunScope&) = delete;
  // The items of the run, none of them shown yet.
  template <class Items>
  void Wait(const Items& items) {
    w_.followedRun.waiting.assign(items.begin(), items.end());
  }
  // The item now shown step by step.
  void Follow(const TEquationItem& item) {
    auto& waiting = w_.followedRun.waiting;
    waiting.erase(std::remove(waiting.begin(), waiting.end(), &item), waiting.end());
    w_.followedRun.item = &item;
    w_.followedRun.shown = 0;
  }
  void End() { w_.followedRun = {}; }

 private:
  TPlotWin& w_;
};

// The first lines of a run, as far as a followed run has shown them; the
// run is stopped after them.
class TShownStepsSink : public TPolylineSink {
 public:
  TShownStepsSink(TPolylineSink& to, long lines) : to_(to), lines_(lines) {}
  void MoveTo(const TPoint2D& p) override {
    if (drawn_ < lines_) to_.MoveTo(p);
  }
  void LineTo(const TPoint2D& p) override {
    if (drawn_ < lines_) to_.LineTo(p);
    ++drawn_;
  }
  bool Cancelled() override { return drawn_ >= lines_ || to_.Cancelled(); }
  void StepPoint(long double t, const TPoint3D& p) override {
    if (drawn_ < lines_) to_.StepPoint(t, p);
  }

 private:
  TPolylineSink& to_;
  long lines_;
  long drawn_ = 0;
};

template <class Draw>
int TPlotWin::DrawIntoBuffers(Draw draw) {
  int r = 0;
  bool drawnSomewhere = false;
  // A drawing stopped in the plot picture is not drawn again into the
  // composed one: that picture is made anew from the plot picture, so
  // what was drawn before the stop stays.
  bool stoppedInPlot = false;
  for (std::size_t k : {std::size_t{1}, std::size_t{0}}) {
    plat::Bitmap& b = BackBuffers[k];
    if (b.IsNull() || !BufferValid[k]) continue;
    plat::BitmapDC dc(b);
    r = draw(dc);
    drawnSomewhere = true;
    if (r != 0) {
      stoppedInPlot = k == 1;
      break;
    }
  }
  if (drawnSomewhere && IsCreated()) {
    plat::ClientDC screen(*this);
    if (stoppedInPlot && !BackBuffers[0].IsNull()) {
      BackBuffers[0] = BackBuffers[1];
      plat::BitmapDC composed(BackBuffers[0]);
      composed.SetCaps(screen.Caps());
      DrawPlot(composed);
      BufferValid[0] = 1;
    }
    BlitBackBuffer(0, screen);
  } else {
    InvalidatePlot();
  }
  return r;
}

}  // namespace kv
