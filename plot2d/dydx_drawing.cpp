// Solutions of dy/dx equations (kind 211) in the 2D window: the stepping of
// plot2d/model/dydx_trajectory.h with the window's view, mapping and flags,
// drawn on a device context, followed on the screen or listed as values.
#include <optional>

#include "plot2d/model/dydx_trajectory.h"
#include "plot2d/plot_a_win.h"
#include "plotcore/dc_sink.h"

namespace kv {

int TPlotAWin::StepDyDx(TExprNode* f, int method, TPoint2D& p, long double h) {
  return kv::StepDyDx(Engine(), f, method, p, h, infiniteSlope != 0) ? 0 : 1;
}

int TPlotAWin::ClassifyPointInView(const TPoint2D& p) const { return kv::ClassifyPointInView(World, p); }

int TPlotAWin::DrawDyDxTrajectory(plat::DC& dc, int i, TEquationItem& item, std::string* text, int width,
                                  int decimals) {
  if (!IsValidIndex(i) || Equation(i).kind != kKindOdeDyDx) return 0;
  TEquation& e = Equation(i);
  // Start values kept as texts follow the parameters.
  if (KeepsStartTexts(item) && !EvaluateItemStart(item, kKindOdeDyDx)) return 0;
  TPenSpec pen = item.pen;
  if (pen.colour < 1 || pen.colour > 60) pen.colour = 1;
  pen.colour = static_cast<std::uint16_t>(CheckColourIndex(pen.colour));
  const plat::Pen drawPen = CreateStylePen(pen);
  const plat::Pen old = dc.SelectPen(drawPen);
  // Only the run itself follows its item; a paint meanwhile shows of it
  // the steps shown so far, and the other items whole.
  const long shown = text ? -1 : ShownSteps(item);
  const bool following = followFlag && !text && !followedRun.item && IsCreated();
  if (following) {
    followedRun.item = &item;
    followedRun.shown = 0;
  }

  class Sink : public TDyDxSink {
   public:
    Sink(TPlotAWin& w, plat::DC& dc, std::string* text, int width, int decimals, const plat::Pen* follow,
         long limit)
        : w_(w), drawn_(w, dc), text_(text), width_(width), decimals_(decimals), limit_(limit) {
      if (follow) {
        screen_.emplace(w);
        screenPen_ = screen_->SelectPen(*follow);
        onScreen_.emplace(w, *screen_);
      }
    }
    ~Sink() override {
      if (screen_) screen_->SelectPen(screenPen_);
    }
    void Start(const TPoint2D& p, bool visible) override {
      if (text_) w_.AppendValueLine(*text_, 11, width_, decimals_, {p.x, p.y, 0});
      if (visible) MoveTo(p);
    }
    void Segment(const TPoint2D& from, const TPoint2D& to) override {
      if (text_) {
        w_.AppendValueLine(*text_, 0, width_, decimals_, {to.x, to.y, 0});
        return;
      }
      if (limit_ >= 0 && steps_ >= limit_) return;
      drawn_.LineTo(to);
      if (onScreen_) onScreen_->LineTo(to);
    }
    void Break() override { w_.MarkCurveBreak(); }
    void Resume(const TPoint2D& p) override { MoveTo(p); }
    bool Cancelled() override {
      ++steps_;
      if (limit_ >= 0 && steps_ >= limit_) return true;
      if (onScreen_) {
        w_.followedRun.shown = steps_;
        stopped_ = stopped_ || w_.FollowWait();
      } else {
        stopped_ = stopped_ || w_.StopKeyPressed();
      }
      return stopped_;
    }
    bool Stopped() const { return stopped_; }

   private:
    void MoveTo(const TPoint2D& p) {
      if (text_) return;
      drawn_.MoveTo(p);
      if (onScreen_) onScreen_->MoveTo(p);
    }
    TPlotAWin& w_;
    TDcSink drawn_;
    std::optional<plat::ClientDC> screen_;
    plat::Pen screenPen_;
    std::optional<TDcSink> onScreen_;
    std::string* text_;
    int width_;
    int decimals_;
    long limit_;
    long steps_ = 0;
    bool stopped_ = false;
  };

  TDyDxRunSettings settings;
  settings.view = UseAlternate ? Alternate : World;
  settings.map = PointMap();
  settings.infiniteSlope = infiniteSlope != 0;
  BeginCurveRecording(text ? 0 : 2000);
  bool stopped = false;
  {
    Sink sink(*this, dc, text, width, decimals, following ? &drawPen : nullptr, shown);
    const long double stepLimit = item.stepLimit;
    RunDyDxTrajectory(e, Engine(), item, settings, sink);
    // A part drawn leaves the count of the run that goes on.
    if (shown >= 0) item.stepLimit = stepLimit;
    stopped = sink.Stopped();
  }
  EndCurveRecording(pen.colour, pen.width, pen.style);
  dc.SelectPen(old);
  return stopped ? 'A' : 0;
}

int TPlotAWin::DrawAnalysis(plat::DC& dc, int i, TEquationItem& item, std::string& text, int width, int decimals) {
  return DrawDyDxTrajectory(dc, i, item, width < 0 ? nullptr : &text, width, decimals);
}

bool TPlotAWin::CollectDyDxSteps(int i, TEquationItem& item, std::vector<TPoint2D>& points) {
  if (!IsValidIndex(i) || Equation(i).kind != kKindOdeDyDx) return false;
  class Collector : public TDyDxSink {
   public:
    explicit Collector(std::vector<TPoint2D>& out) : out_(out) {}
    void Start(const TPoint2D& p, bool) override { out_.push_back(p); }
    void Segment(const TPoint2D&, const TPoint2D& to) override { out_.push_back(to); }
    bool Cancelled() override { return out_.size() >= static_cast<std::size_t>(kMaxTableLines); }

   private:
    std::vector<TPoint2D>& out_;
  } collector(points);
  if (KeepsStartTexts(item) && !EvaluateItemStart(item, kKindOdeDyDx)) return true;
  TDyDxRunSettings settings;
  settings.view = UseAlternate ? Alternate : World;
  settings.map = PointMap();
  settings.infiniteSlope = infiniteSlope != 0;
  SaveVariables();
  RunDyDxTrajectory(Equation(i), Engine(), item, settings, collector);
  RestoreVariables();
  return true;
}

int TPlotAWin::AddDyDxTrajectoryBuffered(int i, const TPoint2D& start, long double h, int method, int width) {
  if (!IsValidIndex(i) || Equation(i).kind != kKindOdeDyDx) return 0;
  TEquationItem& item =
      AddItemForKind211(i, {start.x, start.y, 0}, h, method, ColourSlots[8], width > 0 ? width : 1);
  Modified = 1;
  SaveVariables();
  // Followed on the screen once, while the first buffer is drawn.
  const std::uint8_t follow = followFlag;
  TFollowedRunScope run(*this);
  const int r = DrawIntoBuffers([&](plat::DC& dc) {
    const int result = DrawDyDxTrajectory(dc, i, item, nullptr, -1, 0);
    followFlag = 0;
    run.End();
    return result;
  });
  followFlag = follow;
  RestoreVariables();
  return r;
}

}  // namespace kv
