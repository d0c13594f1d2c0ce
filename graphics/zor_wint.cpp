#include "graphics/zor_wint.h"

#include <algorithm>
#include <cmath>

#include "graphics/export_sink.h"
#include "graphics/label_geometry.h"
#include "graphics/mouse_drag.h"
#include "graphics/text_dialog.h"
#include "platform/resources.h"
#include "core/constants.h"
#include "shell/font_win.h"
#include "shell/text_helpers.h"

namespace kv {

// ---- label lists ----

void RenumberTexts(std::vector<TTextLabel>& list, int first) {
  for (TTextLabel& l : list) l.number = static_cast<std::int16_t>(first++);
}

bool RemoveText(std::vector<TTextLabel>& list, int number) {
  const auto it = std::find_if(list.begin(), list.end(), [number](const TTextLabel& l) { return l.number == number; });
  if (it == list.end()) return false;
  list.erase(it);
  RenumberTexts(list, 0);
  return true;
}

void ToggleTextVisibility(std::vector<TTextLabel>& list) {
  if (list.empty()) return;
  const std::uint8_t shown = list.front().visible ? 0 : 1;
  for (TTextLabel& l : list) l.visible = shown;
}

void ScaleBoundTexts(std::vector<TTextLabel>& list, long double fx, long double fy) {
  if (!std::isfinite(fx) || !std::isfinite(fy)) return;
  for (TTextLabel& l : list) {
    if (l.binding != kBindFrame) continue;
    l.anchorX *= fx;
    l.anchorY *= fy;
  }
}

// ---- the layer ----

TZORWint::TZORWint(plat::Window* parent, const std::string& title) : TGridWin(parent, title) {}

TZORWint::~TZORWint() = default;

const plat::CommandTable& TZORWint::Commands() const {
  static const auto table = plat::CommandTable::Build<TZORWint>(
      &TGridWin::Commands(), {
                                 {kCmDeleteTexts, &TZORWint::CmDeleteTexts, &TZORWint::CeHasTexts},
                                 {kCmToggleTexts, &TZORWint::CmToggleTexts, &TZORWint::CeHasTexts},
                             });
  return table;
}

void TZORWint::Destroy() {
  if (IsDestroyed()) return;
  FreeTexts();
  BindingCodes.clear();
  TGridWin::Destroy();
}

void TZORWint::PreviousView() {
  const long double hx = HalfX;
  const long double hy = HalfY;
  TGridWin::PreviousView();
  ScaleTexts(HalfX, HalfY, hx, hy);
}

void TZORWint::ChangeView(long double cx, long double cy, long double hx) {
  const long double oldX = HalfX;
  const long double oldY = HalfY;
  TGridWin::ChangeView(cx, cy, hx);
  ScaleTexts(HalfX, HalfY, oldX, oldY);
}

void TZORWint::NewView(long double cx, long double cy, long double hx, long double hy, std::uint8_t mode) {
  const long double oldX = HalfX;
  const long double oldY = HalfY;
  TGridWin::NewView(cx, cy, hx, hy, mode);
  ScaleTexts(HalfX, HalfY, oldX, oldY);
}

void TZORWint::ResetView() {
  const long double hx = HalfX;
  const long double hy = HalfY;
  TGridWin::ResetView();
  ScaleTexts(HalfX, HalfY, hx, hy);
}

void TZORWint::ScaleTexts(long double newHx, long double newHy, long double oldHx, long double oldHy) {
  if (std::fabs(oldHx) < kTolerance || std::fabs(oldHy) < kTolerance) return;
  ScaleBoundTexts(TextLabels, newHx / oldHx, newHy / oldHy);
}

void TZORWint::FreeTexts() { TextLabels.clear(); }

// ---- commands ----

void TZORWint::CmDeleteTexts() {
  if (RunMessageDialog(plat::res::String(2), plat::res::String(69), 1) != plat::IDYES) return;
  FreeTexts();
  Modified = 1;
  RedrawPlacedObjects();
}

void TZORWint::CmToggleTexts() {
  // Both lists follow the first label, so that one command shows or hides
  // every label alike.
  const std::vector<TTextLabel>& first = TextLabels.empty() ? TermLabels : TextLabels;
  if (first.empty()) return;
  const std::uint8_t shown = first.front().visible ? 0 : 1;
  for (std::vector<TTextLabel>* list : {&TextLabels, &TermLabels})
    for (TTextLabel& l : *list) l.visible = shown;
  Modified = 1;
  RedrawPlacedObjects();
}

// ---- binding ----

TPoint2D TZORWint::ReferencePoint(int binding) {
  if (binding == kBindFrame) return Centre;
  if (binding >= 0) return GetBindingPoint(binding);
  return {0, 0};
}

void TZORWint::TextToAbsolute(TTextLabel& l) {
  if (l.binding == kBindFigure) return;
  const TPoint2D r = ReferencePoint(l.binding);
  l.anchorX += r.x;
  l.anchorY += r.y;
}

void TZORWint::TextToRelative(TTextLabel& l) {
  if (l.binding == kBindFigure) return;
  const TPoint2D r = ReferencePoint(l.binding);
  l.anchorX -= r.x;
  l.anchorY -= r.y;
}

void TZORWint::RedrawPlacedObjects() {
  BufferValid[0] = 0;
  BufferValid[static_cast<std::size_t>(std::clamp<int>(PaintBufferIndex, 0, 2))] = 0;
  Invalidate(false);
}

// ---- create, edit, move ----

void TZORWint::EditTextAtPoint(plat::Point p) {
  const bool termMode = TermMode();
  std::vector<TTextLabel>& list = termMode ? TermLabels : TextLabels;
  TTermBlock block;
  // New labels start in the font of slot 4 ("Text").
  constexpr std::size_t slot = 4;
  TTextLabel label;
  label.font = FontSlots[slot];
  label.pointSize = static_cast<std::int16_t>(std::clamp(FontPointSizes[slot], -32768, 32767));
  label.anchorX = label.right = PixelToWorldX(p.x);
  label.anchorY = label.bottom = PixelToWorldY(p.y);
  plat::Point offset;
  plat::Size size;
  const int hit = HitTestText(p, offset, size, list);
  if (hit >= 0) {
    const TTextLabel& h = list[static_cast<std::size_t>(hit)];
    label = h;
    label.number = 0;
    TextToAbsolute(label);
    if (termMode) LoadTermBlock(block, label.termIndex);
  } else if (!list.empty()) {
    // A new label looks like the last one and is bound like it.
    const TTextLabel& last = list.back();
    label.transparent = last.transparent;
    label.text = last.text;
    label.colour = last.colour;
    label.font = last.font;
    label.pointSize = last.pointSize;
    label.binding = last.binding;
    label.number = static_cast<std::int16_t>(last.number + 1);
  }
  TTextDlg dlg(*this, label, termMode ? &block : nullptr);
  if (dlg.Execute() != plat::IDOK) return;
  if (label.text.empty()) {
    if (hit >= 0) RemoveText(list, list[static_cast<std::size_t>(hit)].number);
  } else {
    TextToRelative(label);
    if (termMode) {
      const int code = StoreTermBlock(block, label.termIndex, false);
      if (code > 0) ShowMessageById(code);
      // A term label without a block would show nothing.
      if (label.termIndex < 0) return;
    }
    if (hit < 0) {
      list.push_back(label);
      RenumberTexts(list, 0);
    } else {
      TTextLabel& h = list[static_cast<std::size_t>(hit)];
      h.text = label.text;
      h.transparent = label.transparent;
      h.colour = label.colour;
      h.font = label.font;
      h.pointSize = label.pointSize;
      h.binding = label.binding;
      h.anchorX = label.anchorX;
      h.anchorY = label.anchorY;
      h.right = label.right;
      h.bottom = label.bottom;
      h.visible = label.visible;
    }
  }
  Modified = 1;
  RedrawPlacedObjects();
}

int TZORWint::HitTestText(plat::Point p, plat::Point& offset, plat::Size& size, std::vector<TTextLabel>& list) {
  for (std::size_t k = 0; k < list.size(); ++k) {
    TTextLabel a = list[k];
    if (!a.visible) continue;
    TextToAbsolute(a);
    const plat::Point anchor{RoundToInt(WorldToDeviceX(a.anchorX)), RoundToInt(WorldToDeviceY(a.anchorY))};
    const plat::Point o{p.x - anchor.x, p.y - anchor.y};
    const plat::Size s{static_cast<int>(std::clamp<long double>((a.right - a.anchorX) * PixelsPerUnitX, -1e6L, 1e6L)),
                       static_cast<int>(std::clamp<long double>((a.anchorY - a.bottom) * PixelsPerUnitY, -1e6L, 1e6L))};
    if (InsideTurnedBox(o, s, a.font.escapement)) {
      offset = o;
      size = s;
      return static_cast<int>(k);
    }
  }
  return -1;
}

bool TZORWint::DragText(plat::Point p, std::vector<TTextLabel>& list) {
  plat::Point offset;
  plat::Size size;
  const int hit = HitTestText(p, offset, size, list);
  if (hit < 0) return false;
  const plat::Point start{p.x - offset.x, p.y - offset.y};
  const plat::Point end = DragRubberBand(start, offset, size, list[static_cast<std::size_t>(hit)].font.escapement);
  if (end == start) return true;
  TTextLabel& l = list[static_cast<std::size_t>(hit)];
  const long double dx = PixelToWorldX(end.x) - PixelToWorldX(start.x);
  const long double dy = PixelToWorldY(end.y) - PixelToWorldY(start.y);
  l.anchorX = PixelToWorldX(end.x);
  l.anchorY = PixelToWorldY(end.y);
  l.right += dx;
  l.bottom += dy;
  TextToRelative(l);
  Modified = 1;
  RedrawPlacedObjects();
  return true;
}

plat::Point TZORWint::DragRubberBand(plat::Point topLeft, plat::Point offset, plat::Size size, int angle) {
  plat::ClientDC dc(*this);
  const plat::Pen oldPen = dc.SelectPen(plat::Pen{plat::PS_SOLID, 1, plat::Rgb(0, 0, 0)});
  const plat::Brush oldBrush = dc.SelectBrush(plat::NullBrush());
  const int buffer = std::clamp<int>(PaintBufferIndex, 0, 2);
  auto outline = [&](plat::Point at) {
    if (angle == 0) {
      dc.Rectangle(at.x, at.y, at.x + size.cx, at.y + size.cy);
      return;
    }
    const auto c = TurnedBoxCorners(at, size, angle);
    dc.Polygon({c.begin(), c.end()});
  };
  outline(topLeft);
  plat::Point mouse{topLeft.x + offset.x, topLeft.y + offset.y};
  for (;;) {
    plat::MouseEvent e;
    NextDragEvent(*this, e, mouse);
    mouse = {e.x, e.y};
    if (e.type == plat::MouseEvent::LButtonUp) break;
    if (e.type != plat::MouseEvent::Move) continue;
    BlitBackBuffer(buffer, dc);
    outline({mouse.x - offset.x, mouse.y - offset.y});
  }
  BlitBackBuffer(buffer, dc);
  dc.SelectBrush(oldBrush);
  dc.SelectPen(oldPen);
  const plat::Point end{mouse.x - offset.x, mouse.y - offset.y};
  if (end.x < 0 || end.x > ClientWidth || end.y < 0 || end.y > ClientHeight) return topLeft;
  return end;
}

// ---- drawing ----

void TZORWint::DrawTexts(plat::DC& dc, std::vector<TTextLabel>& list, int backgroundSlot) {
  if (list.empty()) return;
  TExportSink* sink = ActiveSink();
  if (sink && sink->Format() == TExportFormat::Pictex) {
    DrawTextsToPictex(dc, list);
    return;
  }
  const bool scaled = ScaleLineWidths != 0;
  const bool background = !scaled || WithBackground;
  const int slot = std::clamp(backgroundSlot, 0, kColourSlotCount - 1);
  const plat::Colour backColour = GetColour(ColourSlots[static_cast<std::size_t>(slot)]);
  dc.SaveDC();
  dc.SetTextAlign(plat::TA_LEFT | plat::TA_TOP);
  if (background) dc.SetBkColor(backColour);
  for (TTextLabel& l : list) {
    const std::string text = GetTextString(l);
    const plat::Colour colour = Printing && !ColourPrinter ? plat::Rgb(0, 0, 0) : l.colour;
    const bool opaque = !l.transparent && background;
    dc.SetBkMode(opaque ? plat::OPAQUE : plat::TRANSPARENT);
    plat::LogFont font = l.font;
    const int points = std::abs(static_cast<int>(l.pointSize));
    if (scaled) {
      font.height = FontHeightForPoints(points, LineWidthFactor * 72);
    } else if (Printing) {
      font.height = FontHeightForPoints(points, dc.GetDeviceCaps(plat::LOGPIXELSY));
    }
    dc.SelectFont(font);
    TTextLabel a = l;
    TextToAbsolute(a);
    const plat::Size extent = dc.GetTextExtent(text);
    plat::Point at{RoundToInt(WorldToDeviceX(a.anchorX)), RoundToInt(WorldToDeviceY(a.anchorY))};
    if (Printing) {
      at = {RoundToInt(WorldToDeviceX((a.anchorX + a.right) / 2)) - extent.cx / 2,
            RoundToInt(WorldToDeviceY((a.anchorY + a.bottom) / 2)) - extent.cy / 2};
    }
    if (at.x >= 0 && at.y >= 0 && l.visible) {
      if (opaque && font.escapement == 0) {
        const plat::Pen pen = dc.SelectPen(plat::NullPen());
        const plat::Brush brush = dc.SelectBrush(plat::SolidBrush(backColour));
        dc.Rectangle(at.x, at.y, at.x + extent.cx + 1, at.y + extent.cy + 1);
        dc.SelectBrush(brush);
        dc.SelectPen(pen);
      }
      if (sink) {
        TExportText t;
        t.text = text;
        t.anchor = at;
        t.world = {a.anchorX, a.anchorY};
        t.colour = colour;
        t.font = font;
        t.pointSize = points;
        t.hAlign = 1;
        t.vAlign = -1;
        t.orientation = "[lt]";
        sink->Text(dc, t);
      }
      dc.SetTextColor(colour);
      dc.TextOut(at.x, at.y, text);
    }
    if (!Printing && !scaled) {
      // The far edges the hit test measures the label by.
      l.right = PixelToWorldX(at.x + extent.cx);
      l.bottom = PixelToWorldY(at.y + extent.cy);
    }
  }
  dc.RestoreDC();
}

void TZORWint::DrawTextsToPictex(plat::DC& dc, std::vector<TTextLabel>& list) {
  TExportSink* sink = ActiveSink();
  // Every label is written, hidden ones too: the picture's source is edited
  // in the document, where a label is deleted more easily than added.
  for (const TTextLabel& l : list) {
    TTextLabel a = l;
    TextToAbsolute(a);
    TExportText t;
    t.text = GetTextString(l);
    t.world = {(a.anchorX + a.right) / 2, (a.anchorY + a.bottom) / 2};
    t.colour = l.colour;
    t.font = l.font;
    t.math = true;
    sink->Text(dc, t);
  }
}

}  // namespace kv
