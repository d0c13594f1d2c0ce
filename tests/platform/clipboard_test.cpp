// The clipboard of testing mode: each format in and out by copy, one
// content at a time, and the availability tests.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "platform/clipboard.h"
#include "platform/emf_player.h"
#include "platform/emf_writer.h"
#include "platform/testing.h"

namespace plat {
namespace {

TEST(Clipboard, EachSetterReplacesTheWholeContent) {
  ASSERT_TRUE(testing::TestingMode());
  clipboard::Clear();
  EXPECT_FALSE(clipboard::HasText());
  EXPECT_FALSE(clipboard::HasBitmap());
  EXPECT_FALSE(clipboard::HasMetafile());
  EXPECT_TRUE(clipboard::GetBitmap().IsNull());
  EXPECT_FALSE(clipboard::GetText());

  ASSERT_TRUE(clipboard::SetText("Grüße"));
  EXPECT_EQ(clipboard::GetText(), "Grüße");

  Bitmap b(3, 2, Rgb(10, 20, 30));
  ASSERT_TRUE(clipboard::SetBitmap(b));
  EXPECT_FALSE(clipboard::HasText());
  b.SetPixel(0, 0, Rgb(0, 0, 0));  // the clipboard holds its own copy
  Bitmap out = clipboard::GetBitmap();
  EXPECT_EQ(out.GetPixel(0, 0), Rgb(10, 20, 30));
  out.SetPixel(1, 1, Rgb(0, 0, 0));
  EXPECT_EQ(clipboard::GetBitmap().GetPixel(1, 1), Rgb(10, 20, 30));
  EXPECT_FALSE(clipboard::SetBitmap(Bitmap())) << "a null bitmap is not put";
  EXPECT_TRUE(clipboard::HasBitmap());

  Bitmap preview(2, 2);
  ASSERT_TRUE(clipboard::SetMetafile({1, 2, 3}, &preview));
  EXPECT_TRUE(clipboard::HasMetafile());
  EXPECT_TRUE(clipboard::HasBitmap()) << "the preview goes alongside";
  EXPECT_EQ(clipboard::GetMetafile(), (std::vector<std::uint8_t>{1, 2, 3}));
  ASSERT_TRUE(clipboard::SetMetafile({4}, nullptr));
  EXPECT_FALSE(clipboard::HasBitmap());

  clipboard::Clear();
  EXPECT_FALSE(clipboard::HasMetafile());
}

EnhMetafile Picture() {
  EmfDC dc(DeviceCaps{}, Rect{0, 0, 1250, 625}, EmfDescription("kurvato", "test"));  // 40 x 20 pixels
  dc.SelectBrush(SolidBrush(Rgb(255, 0, 0)));
  dc.Ellipse(2, 2, 38, 18);
  return dc.Close();
}

TEST(Clipboard, MetafileGoesWithAPictureOfItAndComesBackChecked) {
  const EnhMetafile emf = Picture();
  ASSERT_TRUE(clipboard::SetMetafile(emf));
  EXPECT_TRUE(clipboard::HasMetafile());
  const std::optional<EnhMetafile> back = clipboard::GetEnhMetafile();
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, emf);
  EXPECT_EQ(clipboard::GetBitmap(), RenderEnhMetafile(emf, 40, 20)) << "the picture at its natural size";
  EXPECT_FALSE(clipboard::SetMetafile(EnhMetafile()));

  // Bytes that are no metafile are offered but give none.
  ASSERT_TRUE(clipboard::SetMetafile(std::vector<std::uint8_t>(200, 7), nullptr));
  EXPECT_TRUE(clipboard::HasMetafile());
  EXPECT_FALSE(clipboard::GetEnhMetafile());
  clipboard::Clear();
}

// The desktop clipboard (the offscreen platform keeps it in the process):
// a metafile goes out under every metafile type with a PNG alongside, and
// one that another program put under any of them comes in.
TEST(Clipboard, DesktopMetafileTypes) {
  testing::EnableTestingMode(false);
  struct Restore {
    ~Restore() { testing::EnableTestingMode(true); }
  } restore;
  QClipboard* system = QGuiApplication::clipboard();
  ASSERT_NE(system, nullptr);
  const EnhMetafile emf = Picture();

  ASSERT_TRUE(clipboard::SetMetafile(emf));
  const QMimeData* out = system->mimeData();
  ASSERT_NE(out, nullptr);
  for (const char* type : {"image/x-emf", "image/emf", "application/x-openoffice-emf;windows_formatname=\"Image EMF\""})
    EXPECT_TRUE(out->hasFormat(QString::fromLatin1(type))) << type;
  EXPECT_TRUE(out->hasImage());

  const QByteArray bytes(reinterpret_cast<const char*>(emf.Bits().data()), static_cast<qsizetype>(emf.Bits().size()));
  for (const char* type : {"image/x-emf", "image/emf", "application/x-openoffice-emf;windows_formatname=\"Image EMF\""}) {
    SCOPED_TRACE(type);
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(type), bytes);
    system->setMimeData(data);
    EXPECT_TRUE(clipboard::HasMetafile());
    const std::optional<EnhMetafile> in = clipboard::GetEnhMetafile();
    ASSERT_TRUE(in);
    EXPECT_EQ(*in, emf);
  }
  system->setText(QStringLiteral("kein Bild"));
  EXPECT_FALSE(clipboard::HasMetafile());
  EXPECT_FALSE(clipboard::GetEnhMetafile());
  system->clear();
}

}  // namespace
}  // namespace plat
