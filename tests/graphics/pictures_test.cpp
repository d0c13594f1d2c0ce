// Embedded pictures and metafiles of the plot: pasting and fitting, the
// picture dialog with its size, binding, transparency and actions, moving,
// binding maths, and the metafile commands for the clipboard and files.
#include <gtest/gtest.h>

#include <filesystem>

#include "graphics/label_geometry.h"
#include "platform/clipboard.h"
#include "platform/emf_player.h"
#include "platform/emf_writer.h"
#include "platform/keys.h"
#include "platform/testing.h"
#include "shell/text_helpers.h"
#include "support/export_readers.h"
#include "test_window.h"

namespace kv {
namespace {

namespace pt = plat::testing;
using plat::MouseEvent;

double D(long double v) { return static_cast<double>(v); }

// A window that draws a red box into metafiles and offers one object
// (at `objectPoint`) to bind to.
class MetafileWindow : public kvtest::TestPlotWindow {
 public:
  MetafileWindow(plat::Window* parent, const std::string& title) : kvtest::TestPlotWindow(parent, title) {
    HasBindingList = 1;
  }
  bool CanMetafile() override { return true; }
  void MetafileHook(plat::DC& dc, int scale) override {
    hookScales.push_back(scale);
    dc.FillRect({10 * scale, 10 * scale, 50 * scale, 30 * scale}, plat::SolidBrush(plat::Rgb(255, 0, 0)));
  }
  void FillBindingList(plat::Dialog& d, int id, int binding) override {
    d.ListClear(id);
    d.ListAdd(id, "Punkt P");
    BindingCodes = {0};
    if (binding == 0) d.ListSetSel(id, 0);
  }
  TPoint2D GetBindingPoint(int object) override { return objectPoint; }

  std::vector<int> hookScales;
  TPoint2D objectPoint{1, 2};
};

// A metafile of the given natural size in screen pixels, filled with one
// colour.
plat::EnhMetafile Picture(const plat::DeviceCaps& caps, int width, int height, plat::Colour c) {
  plat::EmfDC dc(caps, MetafileFrame(caps, width, height, 1), plat::EmfDescription("Test", "Bild"));
  dc.FillRect({0, 0, width, height}, plat::SolidBrush(c));
  return dc.Close();
}

class PictureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    w = new MetafileWindow(nullptr, "Test");
    w->Create();
    kvtest::SetClientSize(*w, 800, 600);
    ASSERT_EQ(w->ClientWidth, 800);
    plat::ClientDC dc(*w);
    caps = dc.Caps();
    plat::clipboard::Clear();
  }
  void TearDown() override {
    w->Destroy();
    plat::App::DeleteDestroyedWindows();
  }
  // Pastes a picture of 1000 x 500 pixels with its top-left at (600, 0):
  // it is fitted to 200 x 100.
  void PasteWidePicture() {
    ASSERT_TRUE(plat::clipboard::SetMetafile(Picture(caps, 1000, 500, plat::Rgb(0, 0, 255))));
    w->EditPictureAtPoint(600, 0);
    ASSERT_EQ(w->Pictures.size(), 1u);
  }
  plat::Rect DeviceRect(const TPictureRecord& p) {
    TPictureRecord a = p;
    w->PictureToAbsolute(a);
    return {RoundToInt(w->WorldToDeviceX(a.xmin)), RoundToInt(w->WorldToDeviceY(a.ymax)),
            RoundToInt(w->WorldToDeviceX(a.xmax)), RoundToInt(w->WorldToDeviceY(a.ymin))};
  }

  MetafileWindow* w = nullptr;
  plat::DeviceCaps caps;
};

TEST_F(PictureTest, PastedPicturesAreFittedAtThePointAndDrawn) {
  w->EditPictureAtPoint(600, 0);
  EXPECT_TRUE(w->Pictures.empty());
  ASSERT_EQ(pt::Messages().size(), 1u);
  EXPECT_EQ(pt::Messages()[0].text, "keine Grafik in der Ablage");

  PasteWidePicture();
  const TPictureRecord& p = w->Pictures[0];
  EXPECT_EQ(DeviceRect(p), (plat::Rect{600, 0, 800, 100}));
  EXPECT_EQ(p.transparent, 1);
  EXPECT_EQ(p.binding, -1);
  EXPECT_EQ(p.index, 0);
  EXPECT_EQ(w->Modified, 1);
  ASSERT_TRUE(plat::EnhMetafile::FromBytes(p.metafile).has_value());
  // A second paste lower left: too wide and then too high for its place.
  ASSERT_TRUE(plat::clipboard::SetMetafile(Picture(caps, 1000, 500, plat::Rgb(0, 160, 0))));
  w->EditPictureAtPoint(10, 300);
  ASSERT_EQ(w->Pictures.size(), 2u);
  EXPECT_EQ(DeviceRect(w->Pictures[1]), (plat::Rect{10, 300, 610, 600}));
  EXPECT_EQ(w->Pictures[1].index, 1);
  w->UpdateWindow();
  EXPECT_EQ(w->Surface().GetPixel(700, 50), plat::Rgb(0, 0, 255));
  EXPECT_EQ(w->Surface().GetPixel(300, 450), plat::Rgb(0, 160, 0));
}

// The plot file holds at most kMaxPictures pictures: a paste beyond them is
// refused with a message instead of being left out of the next save.
TEST_F(PictureTest, APasteBeyondWhatTheFileHoldsIsRefused) {
  PasteWidePicture();
  w->Pictures.resize(kMaxPictures - 1, w->Pictures[0]);
  ASSERT_TRUE(plat::clipboard::SetMetafile(Picture(caps, 100, 50, plat::Rgb(0, 160, 0))));
  w->EditPictureAtPoint(10, 300);
  ASSERT_EQ(w->Pictures.size(), static_cast<std::size_t>(kMaxPictures));
  EXPECT_TRUE(pt::Messages().empty());
  w->Modified = 0;
  w->EditPictureAtPoint(10, 400);
  EXPECT_EQ(w->Pictures.size(), static_cast<std::size_t>(kMaxPictures));
  ASSERT_EQ(pt::Messages().size(), 1u);
  EXPECT_EQ(pt::Messages()[0].text, "kein Platz mehr");
  EXPECT_EQ(w->Modified, 0);
}

TEST_F(PictureTest, DialogChangesSizeBindingAndTransparency) {
  PasteWidePicture();
  const int dpi = caps.logPixelsX;
  // The size in centimetres; the binding list offers the one object.
  pt::ExpectDialog("METADLG", [&](plat::Dialog& d) {
    EXPECT_EQ(d.GetItemText(211), FormatNumber(200 * 2.54L / dpi, 5, 2));
    EXPECT_EQ(d.GetItemText(212), FormatNumber(100 * 2.54L / dpi, 5, 2));
    EXPECT_FALSE(d.IsChecked(271));
    EXPECT_TRUE(d.IsChecked(273));
    EXPECT_FALSE(d.IsChecked(272));
    EXPECT_EQ(d.ListCount(299), 1);
    d.SetCheck(271, true);
    d.SetItemText(211, "2.54");
    d.SetItemText(212, "1.27");
    d.SetCheck(273, false);
    d.Press(1);
  });
  const TPictureRecord before = w->Pictures[0];
  w->EditPictureAtPoint(650, 50);
  const TPictureRecord& p = w->Pictures[0];
  EXPECT_EQ(p.transparent, 0);
  EXPECT_EQ(p.xmin, before.xmin);
  EXPECT_EQ(p.ymax, before.ymax);
  EXPECT_NEAR(D(p.xmax - p.xmin), D(dpi * w->UnitsPerPixelX), 1e-12);
  EXPECT_NEAR(D(p.ymax - p.ymin), D(dpi / 2.0L * w->UnitsPerPixelY), 1e-12);

  // Bound to the object: stored relative to its point, drawn where it was.
  const plat::Rect at = DeviceRect(p);
  pt::AnswerDialog("METADLG", {}, 1);  // nothing changed: nothing stored
  w->EditPictureAtPoint(at.left + 2, at.top + 2);
  EXPECT_EQ(w->Pictures[0].binding, -1);
  pt::ExpectDialog("METADLG", [](plat::Dialog& d) {
    d.SetCheck(272, true);  // a list of one row counts as chosen
    d.Press(1);
  });
  w->EditPictureAtPoint(at.left + 2, at.top + 2);
  EXPECT_EQ(w->Pictures[0].binding, 0);
  EXPECT_NEAR(D(w->Pictures[0].xmin), D(before.xmin - 1), 1e-12);
  EXPECT_NEAR(D(w->Pictures[0].ymax), D(before.ymax - 2), 1e-12);
  EXPECT_EQ(DeviceRect(w->Pictures[0]), at);
  // It follows its object.
  w->objectPoint = {2, 2};
  EXPECT_NEAR(DeviceRect(w->Pictures[0]).left, at.left + D(w->PixelsPerUnitX), 1);
}

TEST_F(PictureTest, DialogRefusesImpossibleSizes) {
  PasteWidePicture();
  const TPictureRecord before = w->Pictures[0];
  const char* widths[] = {"0.05", "30", "abc"};
  for (const char* width : widths) {
    pt::ClearMessages();
    pt::ExpectDialog("METADLG", [&](plat::Dialog& d) {
      d.SetCheck(271, true);
      d.SetItemText(211, width);
      d.Press(1);
      EXPECT_FALSE(d.Result() == plat::IDOK) << width;  // still open
      d.Press(2);
    });
    w->EditPictureAtPoint(650, 50);
    ASSERT_EQ(pt::Messages().size(), 1u) << width;
    EXPECT_EQ(pt::Messages()[0].text, "widersprüchliche Daten");
    EXPECT_EQ(w->Pictures[0], before) << width;
  }
}

TEST_F(PictureTest, CopyCutAndDeleteActOnThePicture) {
  struct Case {
    int button;
    bool damaged;  // bytes (from a file) that make no metafile to copy
    bool onClipboard;
    bool kept;
    const char* message;
  };
  const Case cases[] = {{95, false, true, true, nullptr},
                        {96, false, true, false, nullptr},
                        {52, false, false, false, nullptr},
                        // A cut that could not copy keeps the picture.
                        {96, true, false, true, "nicht zu kopieren"},
                        {95, true, false, true, "nicht zu kopieren"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.button) + (c.damaged ? " damaged" : ""));
    plat::clipboard::Clear();
    w->Pictures.clear();
    PasteWidePicture();
    if (c.damaged) w->Pictures[0].metafile.assign(40, 7);
    const std::vector<std::uint8_t> bits = w->Pictures[0].metafile;
    const TPictureRecord before = w->Pictures[0];
    plat::clipboard::Clear();
    pt::ClearMessages();
    pt::AnswerDialog("METADLG", {{211, "0"}}, c.button);  // the action needs no valid size
    w->EditPictureAtPoint(650, 50);
    ASSERT_EQ(w->Pictures.size(), c.kept ? 1u : 0u) << c.button;
    if (c.kept) {
      EXPECT_EQ(w->Pictures[0], before);
    }
    EXPECT_EQ(plat::clipboard::HasMetafile(), c.onClipboard) << c.button;
    ASSERT_EQ(pt::Messages().size(), c.message ? 1u : 0u);
    if (c.message) {
      EXPECT_EQ(pt::Messages()[0].text, c.message);
    }
    if (c.onClipboard) {
      const auto m = plat::clipboard::GetEnhMetafile();
      ASSERT_TRUE(m.has_value());
      EXPECT_EQ(m->Bits(), bits);
    }
  }
}

TEST_F(PictureTest, RubberBandMovesThePictureKeepingItsSize) {
  PasteWidePicture();
  pt::InjectMouse(*w, {MouseEvent::Move, plat::MK_LBUTTON, 300, 300});
  pt::InjectMouse(*w, {MouseEvent::LButtonUp, 0, 310, 320});
  EXPECT_TRUE(w->DragPicture(610, 20));
  EXPECT_EQ(DeviceRect(w->Pictures[0]), (plat::Rect{300, 300, 500, 400}));
  pt::InjectMouse(*w, {MouseEvent::LButtonUp, 0, 900, 320});
  EXPECT_TRUE(w->DragPicture(310, 320));
  EXPECT_EQ(DeviceRect(w->Pictures[0]), (plat::Rect{300, 300, 500, 400}));
  EXPECT_FALSE(w->DragPicture(100, 100));
}

TEST_F(PictureTest, MetafileCommandsRecordThePlotForTheClipboardAndFiles) {
  kvtest::TestPlotWindow plain(nullptr, "ohne");
  EXPECT_FALSE(plain.QueryCommand(kCmCopyMetafile).enabled);
  EXPECT_FALSE(plain.QueryCommand(kCmHighResolution).enabled);
  EXPECT_TRUE(w->QueryCommand(kCmCopyMetafile).enabled);
  EXPECT_TRUE(w->QueryCommand(kCmEmfFile).enabled);

  ASSERT_TRUE(w->Command(kCmCopyMetafile));
  auto normal = plat::clipboard::GetEnhMetafile();
  ASSERT_TRUE(normal.has_value());
  EXPECT_EQ(normal->Header().frame, MetafileFrame(caps, 800, 600, 1));
  EXPECT_EQ(w->hookScales, std::vector<int>{1});
  w->Command(kCmHighResolution);
  EXPECT_EQ(w->HighResolution, 1);
  w->Command(kCmCopyMetafile);
  auto high = plat::clipboard::GetEnhMetafile();
  ASSERT_TRUE(high.has_value());
  EXPECT_EQ(high->Header().frame, MetafileFrame(caps, 800, 600, 9));
  EXPECT_EQ(w->hookScales.back(), 9);
  w->Command(kCmHighResolution);
  EXPECT_EQ(w->HighResolution, 0);

  // The file: the save dialog proposes the plot's name with ".emf".
  kvtest::ScratchFolder dir;
  w->FileData.FileName = dir.File("kurve.kv2");
  pt::ExpectFileDialog(std::nullopt);
  w->Command(kCmEmfFile);
  EXPECT_EQ(pt::LastFileDialogRequest().initialName, dir.File("kurve.emf"));
  EXPECT_EQ(pt::LastFileDialogRequest().defaultExtension, "emf");
  EXPECT_FALSE(std::filesystem::exists(dir.File("kurve.emf")));
  pt::ExpectFileDialog(dir.File("kurve.emf"));
  w->Command(kCmEmfFile);
  const auto file = plat::EnhMetafile::ReadFile(dir.File("kurve.emf"));
  ASSERT_TRUE(file.has_value());
  EXPECT_EQ(file->Header().frame, normal->Header().frame);
  EXPECT_NE(file->Description().find("kurve.kv2"), std::string::npos);
  const plat::Bitmap image = plat::RenderEnhMetafile(*file, 800, 600);
  EXPECT_EQ(image.GetPixel(30, 20), plat::Rgb(255, 0, 0));
  EXPECT_EQ(image.GetPixel(60, 20), plat::Rgb(255, 255, 255));
}

}  // namespace
}  // namespace kv
