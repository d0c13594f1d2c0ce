// Short single-line texts anchored at a world point (axis numbers, axis
// labels, the texts of the 3D windows), each in a box that hides what lies
// under it while the opaque-labels option is on.
#include "graphics/axis_format.h"
#include "graphics/geometry.h"
#include "graphics/zor_wing.h"

namespace kv {

namespace {

// Colour slots outside the table fall back to the given slot.
int SlotOr(int slot, int fallback) { return (slot >= 0 && slot < kColourSlotCount) ? slot : fallback; }

}  // namespace

void TZORWing::TextExtentWorld(plat::DC& dc, std::string& text, TPoint2D& anchor, int hFactor, int vFactor,
                               plat::Rect& box) {
  if (LongHyphen) ReplaceMinusByCode(text, LongHyphenChar);
  const int left = WorldToPixelX(anchor.x);
  const int top = WorldToPixelY(anchor.y);
  box = PlaceTextBox(left, top, dc.GetTextExtent(text), hFactor, vFactor);
  anchor = {PixelToWorldX(box.left), PixelToWorldY(box.top)};
}

void TZORWing::DrawTextBox(plat::DC& dc, const std::string& text, const plat::Rect& box, int boxSlot, int textSlot,
                           int fontSlot) {
  if (box.left < 0 || box.top < 0) return;
  dc.SetTextAlign(plat::TA_LEFT | plat::TA_TOP);
  textSlot = SlotOr(textSlot, 3);
  boxSlot = SlotOr(boxSlot, 0);
  const int textIndex = ColourSlots[static_cast<std::size_t>(textSlot)];
  dc.SetTextColor(GetColourAvoidingBackground(textIndex));
  const plat::Colour boxColour = GetColour(ColourSlots[static_cast<std::size_t>(boxSlot)]);
  const bool opaque = OpaqueLabels != 0;
  TExportSink* sink = ActiveSink();

  if (ScaleLineWidths && !WithBackground) {
    // A scaled copy without background: no boxes.
    dc.SetBkMode(plat::TRANSPARENT);
  } else {
    dc.SetBkColor(boxColour);
    dc.SetBkMode(opaque ? plat::OPAQUE : plat::TRANSPARENT);
    if (opaque) {
      const plat::Brush oldBrush = dc.SelectBrush(plat::SolidBrush(boxColour));
      const plat::Pen oldPen = dc.SelectPen(plat::Pen{plat::PS_SOLID, 1, boxColour});
      // Of the files only SVG takes the box.
      if (sink && sink->Format() == TExportFormat::Svg) sink->Rect(box, false, boxColour, 1, boxColour, 0);
      dc.Rectangle(box.left, box.top, box.right, box.bottom);
      dc.SelectBrush(oldBrush);
      dc.SelectPen(oldPen);
    }
  }
  // SVG and EPS texts stand with their top-left corner at the box's; a
  // PiCTeX file takes no text from here.
  if (sink && sink->Format() != TExportFormat::Pictex) {
    TExportText t = SlotText(text, {box.left, box.top}, PixelToWorldPoint({box.left, box.top}),
                             GetColourAvoidingBackground(textIndex), fontSlot, 1, -1);
    t.orientation = "[lt]";
    sink->Text(dc, t);
  }
  dc.TextOut(box.left, box.top, text);
}

void TZORWing::DrawTextAtWorld(plat::DC& dc, std::string text, TPoint2D anchor, int hFactor, int vFactor,
                               int boxSlot, int fontSlot) {
  plat::Rect box;
  TextExtentWorld(dc, text, anchor, hFactor, vFactor, box);
  DrawTextBox(dc, text, box, boxSlot, -1, fontSlot);
}

void TZORWing::CmToggleOpaqueLabels() {
  OpaqueLabels = OpaqueLabels ? 0 : 1;
  InvalidateBackBuffer(1);
  if (AxesShown) InvalidateBackBuffer(2);
  Modified = 1;
  UpdateMenuChecks(false);
  Invalidate(false);
}

}  // namespace kv
