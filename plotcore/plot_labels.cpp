// The labels and pictures of the plot windows: the points labels and
// pictures bind to, the term labels (their blocks and the text they show),
// the mouse modes that place and move labels and pictures, and their
// drawing over the plot.
#include <algorithm>
#include <cmath>

#include "plotcore/plot0_win.h"
#include "plotcore/term_text.h"
#include "shell/text_helpers.h"

namespace kv {

namespace {

// The longest row of the binding list.
constexpr int kMaxBindingRowChars = 999;

bool IsBindablePoint(const TEquation& e) { return e.kind == kKindPoint || e.kind == kKindPoint3D; }

}  // namespace

// ---- binding and term labels (TPlotWin) ----

void TPlotWin::FillBindingList(plat::Dialog& d, int id, int binding) {
  d.ListClear(id);
  BindingCodes.clear();
  for (int i = 0; i <= equationCount && static_cast<int>(BindingCodes.size()) < kMaxBindingRows; ++i) {
    if (!IsBindablePoint(Equation(i))) continue;
    const int row = d.ListAdd(id, DescribeEquation(i, kMaxBindingRowChars));
    BindingCodes.push_back(static_cast<std::int16_t>(i));
    if (i == binding) d.ListSetSel(id, row);
  }
}

void TPlotWin::FreeTexts() {
  TextLabels.clear();
  TermLabels.clear();
  TermBlocks.clear();
}

std::string TPlotWin::GetTextString(const TTextLabel& label) {
  const int k = label.termIndex - kTermIndexBase;
  if (label.termIndex < kTermIndexBase || k >= static_cast<int>(TermBlocks.size())) return label.text;
  return ComposeTermText(TermBlocks[static_cast<std::size_t>(k)],
                         [this](std::string_view text, long double& v) { return TextToValue(text, v); });
}

int TPlotWin::LoadTermBlock(TTermBlock& block, int termIndex) {
  const int k = termIndex - kTermIndexBase;
  if (termIndex < kTermIndexBase || k >= static_cast<int>(TermBlocks.size())) return 0;
  block = TermBlocks[static_cast<std::size_t>(k)];
  return 1;
}

int TPlotWin::StoreTermBlock(TTermBlock& block, std::int16_t& termIndex, bool checkOnly) {
  if (checkOnly) {
    for (std::size_t k = 0; k < 3; ++k) {
      if (!block.show[k] || block.terms[k].empty()) continue;
      TreePtr tree;
      const int code = Compile(block.terms[k], tree);
      if (code > 0) return code;
    }
    // Nothing to show: the dialog ends and the label goes.
    if (block.terms[0].empty() && !block.show[0]) return -12;
    return 0;
  }
  if (termIndex < 0 && static_cast<int>(TermBlocks.size()) < kMaxTermBlocks) {
    termIndex = static_cast<std::int16_t>(kTermIndexBase + TermBlocks.size());
    TermBlocks.emplace_back();
  }
  const int k = termIndex - kTermIndexBase;
  if (termIndex < kTermIndexBase || k >= static_cast<int>(TermBlocks.size())) return 4;
  TTermBlock& stored = TermBlocks[static_cast<std::size_t>(k)];
  stored = block;
  stored.shownCount = (stored.show[0] != 0) + (stored.show[1] != 0) + (stored.show[2] != 0);
  return 0;
}

// ---- labels (TPlot0Win) ----

void TPlot0Win::ScaleTexts(long double newHx, long double newHy, long double oldHx, long double oldHy) {
  if (oldHx != 0 && oldHy != 0) ScaleBoundTexts(TermLabels, newHx / oldHx, newHy / oldHy);
  TPlotWin::ScaleTexts(newHx, newHy, oldHx, oldHy);
}

void TPlot0Win::DrawPlacedObjects(plat::DC& dc) {
  DrawTexts(dc, TextLabels, 0);
  DrawTexts(dc, TermLabels, 0);
  DrawPictures(dc);
}

// ---- mouse ----

void TPlot0Win::EvLButtonDown(unsigned keys, plat::Point p) {
  switch (MouseMode) {
    case kCmMouseText:
    case kCmMousePaste:
    case kCmMouseTerms:
      PickAndDragText(p);
      return;
    default:
      TPlotWin::EvLButtonDown(keys, p);
  }
}

void TPlot0Win::EvRButtonDown(unsigned keys, plat::Point p) {
  switch (MouseMode) {
    case kCmMouseText:
    case kCmMouseTerms:
      EditTextAtPoint(p);
      return;
    case kCmMousePaste:
      EditPictureAtPoint(p.x, p.y);
      return;
    default:
      TPlotWin::EvRButtonDown(keys, p);
  }
}

int TPlot0Win::HitTestEquationLabel(plat::Point p, plat::Point& offset, plat::Size& size) {
  if (equationLabels.empty()) return -1;
  plat::ClientDC dc(*this);
  const std::vector<TPoint2D> places = EquationLabelPlaces(dc);
  for (std::size_t k = 0; k < equationLabels.size(); ++k) {
    const TEquationLabel& l = equationLabels[k];
    if (!l.visible) continue;
    const plat::Point at{RoundToInt(WorldToDeviceX(places[k].x)), RoundToInt(WorldToDeviceY(places[k].y))};
    const plat::Size e = dc.GetTextExtent(l.text);
    const plat::Point o{p.x - at.x, p.y - at.y};
    if (o.x >= 0 && o.x < e.cx && o.y >= 0 && o.y < e.cy) {
      offset = o;
      size = e;
      return static_cast<int>(k);
    }
  }
  return -1;
}

bool TPlot0Win::PickAndDragText(plat::Point p) {
  if (DragText(p, TextLabels) || DragText(p, TermLabels) || DragPicture(p.x, p.y)) return true;
  plat::Point offset;
  plat::Size size;
  const int hit = HitTestEquationLabel(p, offset, size);
  if (hit < 0) return false;
  const plat::Point start{p.x - offset.x, p.y - offset.y};
  const plat::Point end = DragRubberBand(start, offset, size, 0);
  if (end == start) return true;
  // The labels stay where the screen shows them: the one after the moved
  // label no longer stands below it and keeps its place by its anchor.
  {
    plat::ClientDC dc(*this);
    const std::vector<TPoint2D> places = EquationLabelPlaces(dc);
    for (std::size_t k = 0; k < equationLabels.size(); ++k) equationLabels[k].anchor = places[k];
  }
  TPoint2D& moved = equationLabels[static_cast<std::size_t>(hit)].anchor;
  moved = PixelToWorldPoint(end);
  // Moved straight down under the label before it, it would be taken for
  // one put there and stacked: its x is set off by the smallest step.
  if (hit > 0) {
    const TPoint2D& before = equationLabels[static_cast<std::size_t>(hit) - 1].anchor;
    if (moved.x == before.x && moved.y < before.y) moved.x = std::nextafter(moved.x, before.x + 1);
  }
  Modified = 1;
  RedrawPlacedObjects();
  return true;
}

}  // namespace kv
