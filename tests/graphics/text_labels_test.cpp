// Text labels as the user places them: bindings through view changes, the
// hit test of turned labels, the label dialog, the rubber band, the label
// commands and the drawing into the exports.
#include <gtest/gtest.h>

#include <cmath>

#include "graphics/export_sinks.h"
#include "graphics/label_geometry.h"
#include "platform/keys.h"
#include "platform/testing.h"
#include "test_window.h"

namespace kv {
namespace {

namespace pt = plat::testing;
using kvtest::PlotWindowTest;
using plat::MouseEvent;

double D(long double v) { return static_cast<double>(v); }

TTextLabel MakeLabel(TZORWint& w, const std::string& text, long double x, long double y, std::int16_t binding) {
  TTextLabel l;
  l.text = text;
  l.font = w.FontSlots[4];
  l.pointSize = static_cast<std::int16_t>(w.FontPointSizes[4]);
  l.anchorX = l.right = x;
  l.anchorY = l.bottom = y;
  l.binding = binding;
  return l;
}

// Where the label's anchor is on the screen.
plat::Point DeviceAnchor(TZORWint& w, const TTextLabel& label) {
  TTextLabel a = label;
  w.TextToAbsolute(a);
  return {RoundToInt(w.WorldToDeviceX(a.anchorX)), RoundToInt(w.WorldToDeviceY(a.anchorY))};
}

void Drag(plat::Window& w, std::initializer_list<MouseEvent> events) {
  for (const MouseEvent& e : events) pt::InjectMouse(w, e);
}

MouseEvent Move(int x, int y) { return {MouseEvent::Move, plat::MK_LBUTTON, x, y}; }
MouseEvent Release(int x, int y) { return {MouseEvent::LButtonUp, 0, x, y}; }

class TextLabelTest : public PlotWindowTest {
 protected:
  // Draws the window, which measures the labels for the hit test.
  void Paint() {
    w->RedrawPlacedObjects();
    w->UpdateWindow();
  }
};

TEST_F(TextLabelTest, FrameBoundLabelsKeepTheirPlaceInTheFrameFigureBoundOnesFollowTheView) {
  w->TextLabels = {MakeLabel(*w, "Rahmen", 1, 0, kBindFrame), MakeLabel(*w, "Figur", 1, 0, kBindFigure)};
  const plat::Point frameBefore = DeviceAnchor(*w, w->TextLabels[0]);
  const plat::Point figureBefore = DeviceAnchor(*w, w->TextLabels[1]);
  EXPECT_EQ(frameBefore, figureBefore);
  w->ChangeView(0, 0, 10);  // zoom out by two
  EXPECT_NEAR(D(w->TextLabels[0].anchorX), 2, 1e-15);
  EXPECT_NEAR(D(w->TextLabels[0].anchorY), 0, 1e-15);
  EXPECT_EQ(DeviceAnchor(*w, w->TextLabels[0]), frameBefore);
  EXPECT_NEAR(D(w->TextLabels[1].anchorX), 1, 1e-15);
  EXPECT_EQ(DeviceAnchor(*w, w->TextLabels[1]).x, frameBefore.x - 25);  // half as far from the centre
  // Panning moves the frame with the view; the figure stays in the world.
  w->ChangeView(3, 0, 10);
  EXPECT_EQ(DeviceAnchor(*w, w->TextLabels[0]), frameBefore);
  EXPECT_EQ(DeviceAnchor(*w, w->TextLabels[1]).x, frameBefore.x - 25 - 75);
  // Back through the history, and the reset of the view, scale it back.
  w->PreviousView();
  w->PreviousView();
  EXPECT_NEAR(D(w->TextLabels[0].anchorX), 1, 1e-15);
  w->NewView(0, 0, 2.5, 2.5, 1);
  w->ResetView();
  EXPECT_NEAR(D(w->TextLabels[0].anchorX), 1, 1e-15);
  EXPECT_EQ(DeviceAnchor(*w, w->TextLabels[0]), frameBefore);
}

TEST_F(TextLabelTest, HitTestFindsTurnedLabelsWithinTheirTurnedBox) {
  TTextLabel l = MakeLabel(*w, "Beschriftung am Graphen", 0, 0, kBindFigure);
  l.font.escapement = 300;
  w->TextLabels = {l};
  Paint();
  plat::Point offset;
  plat::Size size;
  const plat::Point anchor = DeviceAnchor(*w, w->TextLabels[0]);
  ASSERT_EQ(anchor, (plat::Point{250, 250}));
  // The measured box: the far edges were set by the drawing.
  const int width = static_cast<int>((w->TextLabels[0].right - w->TextLabels[0].anchorX) * w->PixelsPerUnitX);
  const int height = static_cast<int>((w->TextLabels[0].anchorY - w->TextLabels[0].bottom) * w->PixelsPerUnitY);
  ASSERT_GT(width, 3 * height);
  ASSERT_GT(height, 5);
  const TTurnedBox b = TurnBox({width, height}, 300);
  // Along the turned text, well above the straight box.
  const plat::Point along{anchor.x + (8 * b.u.x + 5 * b.v.x) / 10, anchor.y + (8 * b.u.y + 5 * b.v.y) / 10};
  ASSERT_LT(along.y, anchor.y);
  EXPECT_EQ(w->HitTestText(along, offset, size, w->TextLabels), 0);
  EXPECT_EQ(offset, (plat::Point{along.x - anchor.x, along.y - anchor.y}));
  EXPECT_EQ(size, (plat::Size{width, height}));
  // Inside the straight box, outside the turned one.
  const plat::Point straight{anchor.x + width * 9 / 10, anchor.y + height * 8 / 10};
  EXPECT_EQ(w->HitTestText(straight, offset, size, w->TextLabels), -1);
  // Hidden labels are not hit.
  w->TextLabels[0].visible = 0;
  EXPECT_EQ(w->HitTestText(along, offset, size, w->TextLabels), -1);
}

TEST_F(TextLabelTest, DialogCreatesEditsAndDeletesLabels) {
  // A first label: the dialog shows the defaults of a new label.
  pt::ExpectDialog("NEWTEXT", [](plat::Dialog& d) {
    EXPECT_EQ(d.GetItemText(211), "");
    EXPECT_EQ(d.GetItemText(213), "150");
    EXPECT_EQ(d.GetItemText(214), "0");
    EXPECT_TRUE(d.IsChecked(252));   // "Figur"
    EXPECT_TRUE(d.IsChecked(271));   // covers the background
    EXPECT_FALSE(d.IsItemVisible(299));  // nothing to bind to here
    EXPECT_FALSE(d.IsItemVisible(253));
    EXPECT_EQ(d.TextLimit(211), 59);
    // In the right half of the screen, at one of six heights below a menu.
    const plat::Rect r = d.GetWindowRect();
    EXPECT_EQ(r.left, plat::ScreenCaps().horzRes / 2);
    EXPECT_EQ((r.top - plat::Window::CaptionAndMenuHeight()) % 10, 0);
    EXPECT_LT(r.top - plat::Window::CaptionAndMenuHeight(), 60);
    d.MoveTo(20, 30);  // not remembered
    d.SetItemText(211, "a-b");
    d.SetCheck(272, true);  // "-" becomes character 150, the en dash
    d.SetItemText(214, "-45");
    d.Press(1);
  });
  w->EditTextAtPoint({100, 200});
  ASSERT_EQ(w->TextLabels.size(), 1u);
  const TTextLabel first = w->TextLabels[0];
  EXPECT_EQ(first.text, "a\u2013b");
  EXPECT_EQ(first.font.escapement, 3150);
  EXPECT_EQ(first.binding, kBindFigure);
  EXPECT_EQ(first.visible, 1);
  EXPECT_EQ(first.transparent, 0);
  EXPECT_EQ(first.font, [&] {
    plat::LogFont f = w->FontSlots[4];
    f.escapement = 3150;
    return f;
  }());
  EXPECT_NEAR(D(first.anchorX), D(w->PixelToWorldX(100)), 1e-15);
  EXPECT_NEAR(D(first.anchorY), D(w->PixelToWorldY(200)), 1e-15);
  EXPECT_EQ(w->Modified, 1);

  // Empty space: the new label starts as a copy of the last one, and goes
  // to the frame.
  pt::ExpectDialog("NEWTEXT", [](plat::Dialog& d) {
    EXPECT_EQ(d.GetItemText(211), "a\u2013b");
    EXPECT_EQ(d.GetItemText(214), "315");
    EXPECT_EQ(d.GetWindowRect().left, plat::ScreenCaps().horzRes / 2);
    d.SetItemText(211, "zwei");
    d.SetCheck(252, false);
    d.SetCheck(251, true);
    d.SetCheck(271, false);
    d.SetItemText(214, "0");
    d.Press(1);
  });
  w->EditTextAtPoint({300, 400});
  ASSERT_EQ(w->TextLabels.size(), 2u);
  const TTextLabel& second = w->TextLabels[1];
  EXPECT_EQ(second.number, 1);
  EXPECT_EQ(second.text, "zwei");
  EXPECT_EQ(second.binding, kBindFrame);
  EXPECT_EQ(second.transparent, 1);
  // Stored as its offset from the view centre (0, 0 here).
  EXPECT_NEAR(D(second.anchorX), D(w->PixelToWorldX(300)), 1e-15);

  // Cancel changes nothing.
  const auto before = w->TextLabels;
  pt::AnswerDialog("NEWTEXT", {{211, "anders"}}, 2);
  w->EditTextAtPoint({300, 100});
  EXPECT_EQ(w->TextLabels, before);

  // A click on a label edits it; an empty text deletes it.
  Paint();
  pt::ExpectDialog("NEWTEXT", [](plat::Dialog& d) {
    EXPECT_EQ(d.GetItemText(211), "a\u2013b");
    d.SetItemText(211, "");
    d.Press(1);
  });
  w->EditTextAtPoint({101, 209});  // inside the label turned by -45 degrees
  ASSERT_EQ(w->TextLabels.size(), 1u);
  EXPECT_EQ(w->TextLabels[0].text, "zwei");
  EXPECT_EQ(w->TextLabels[0].number, 0);
}

TEST_F(TextLabelTest, RubberBandMovesTheLabelUnlessDroppedOutside) {
  w->TextLabels = {MakeLabel(*w, "Ziehen", w->PixelToWorldX(100), w->PixelToWorldY(200), kBindFrame)};
  Paint();
  struct Case {
    const char* what;
    std::initializer_list<MouseEvent> events;
    plat::Point topLeft;
  };
  const Case cases[] = {
      {"released inside", {Move(150, 250), Move(160, 260), Release(160, 260)}, {155, 255}},
      {"released outside the window", {Move(400, 300), Move(700, 300), Release(700, 300)}, {155, 255}},
      // No release arrives (the capture went elsewhere): the band ends where
      // the mouse was last seen.
      {"capture lost", {Move(120, 130), Move(90, 80)}, {85, 75}},
  };
  for (const Case& c : cases) {
    const plat::Point at = DeviceAnchor(*w, w->TextLabels[0]);
    Drag(*w, c.events);
    EXPECT_TRUE(w->DragText({at.x + 5, at.y + 5}, w->TextLabels)) << c.what;
    EXPECT_EQ(DeviceAnchor(*w, w->TextLabels[0]), c.topLeft) << c.what;
    Paint();
  }
  // Frame-bound labels are stored relative to the centre.
  EXPECT_NEAR(D(w->TextLabels[0].anchorX), D(w->PixelToWorldX(85)), 1e-15);
  EXPECT_FALSE(w->DragText({480, 480}, w->TextLabels));
}

TEST_F(TextLabelTest, DeleteAndShowHideCommandsActOnBothLists) {
  EXPECT_FALSE(w->QueryCommand(kCmDeleteTexts).enabled);
  EXPECT_FALSE(w->QueryCommand(kCmToggleTexts).enabled);
  w->TextLabels = {MakeLabel(*w, "a", 0, 0, kBindFigure), MakeLabel(*w, "b", 1, 1, kBindFigure)};
  w->TermLabels = {MakeLabel(*w, "X", 2, 2, kBindFigure)};
  w->TextLabels[0].visible = 0;
  EXPECT_TRUE(w->QueryCommand(kCmDeleteTexts).enabled);
  EXPECT_TRUE(w->Command(kCmToggleTexts));
  for (const auto* list : {&w->TextLabels, &w->TermLabels})
    for (const TTextLabel& l : *list) EXPECT_EQ(l.visible, 1);
  w->Command(kCmToggleTexts);
  for (const auto* list : {&w->TextLabels, &w->TermLabels})
    for (const TTextLabel& l : *list) EXPECT_EQ(l.visible, 0);
  // "Nein" keeps the labels, "Ja" deletes them.
  pt::AnswerDialog("YNMBOX", {}, 89);
  w->Command(kCmDeleteTexts);
  EXPECT_EQ(w->TextLabels.size(), 2u);
  pt::ExpectDialog("YNMBOX", [](plat::Dialog& d) {
    EXPECT_EQ(d.GetItemText(231), "Text vollständig löschen?");
    d.Press(88);
  });
  w->Command(kCmDeleteTexts);
  EXPECT_TRUE(w->TextLabels.empty());
}

TEST_F(TextLabelTest, LabelsGoToTheExportsWithTheirFontAndAngle) {
  TTextLabel shown = MakeLabel(*w, "Hallo", -1, 2, kBindFigure);
  shown.font.escapement = 450;
  shown.colour = plat::Rgb(200, 0, 0);
  TTextLabel hidden = MakeLabel(*w, "versteckt", 1, 1, kBindFigure);
  hidden.visible = 0;
  w->TextLabels = {shown, hidden};
  Paint();  // measures the labels
  plat::Bitmap page(501, 501);
  plat::BitmapDC dc(page);
  kvtest::RecordingSink& svg = kvtest::StartRecording(*w, TExportFormat::Svg);
  w->DrawTexts(dc, w->TextLabels, 0);
  ASSERT_EQ(svg.texts.size(), 1u);
  const TExportText& t = svg.texts[0];
  EXPECT_EQ(t.text, "Hallo");
  EXPECT_EQ(t.anchor, (plat::Point{200, 150}));
  EXPECT_EQ(t.font.escapement, 450);
  EXPECT_EQ(t.font.Face(), w->FontSlots[4].Face());
  EXPECT_EQ(t.pointSize, w->FontPointSizes[4]);
  EXPECT_EQ(t.colour, plat::Rgb(200, 0, 0));
  EXPECT_EQ(t.hAlign, 1);
  EXPECT_EQ(t.vAlign, -1);

  // PiCTeX: every label, hidden ones too, centred on its box, and nothing
  // on the device.
  auto pictex = std::make_unique<TPictexSink>(*w);
  TPictexSink& sink = *pictex;
  w->Sink = std::move(pictex);
  w->SvgFlag = 0;
  w->PictexFlag = 1;
  plat::Bitmap blank(501, 501);
  plat::BitmapDC blankDc(blank);
  blankDc.FillRect({0, 0, 501, 501}, plat::SolidBrush(plat::Rgb(255, 255, 255)));
  w->DrawTexts(blankDc, w->TextLabels, 0);
  const std::string& out = sink.Writer().Text();
  EXPECT_EQ(out.rfind("\\put {$Hallo$} at ", 0), 0u) << out;
  const std::size_t second = out.find("\r\n") + 2;
  EXPECT_EQ(out.substr(second).rfind("\\put {$versteckt$} at ", 0), 0u) << out;
  EXPECT_EQ(out.find("\r\n", second), out.size() - 2);
  for (int y = 0; y < 501; y += 7)
    for (int x = 0; x < 501; x += 7) ASSERT_EQ(blank.GetPixel(x, y), plat::Rgb(255, 255, 255));
  kvtest::StopRecording(*w);
}

}  // namespace
}  // namespace kv
