// The clipboard of testing mode: each format in and out by copy, one
// content at a time, and the availability tests.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QGuiApplication>
#include <QMimeData>

#include "platform/clipboard.h"
#include "platform/emf_player.h"
#include "platform/emf_writer.h"
#include "platform/testing.h"
#include "support/test_env.h"

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

// The desktop's clipboard instead of the tests' own, for the scope's life.
struct DesktopClipboard {
  DesktopClipboard() { testing::EnableTestingMode(false); }
  ~DesktopClipboard() { testing::EnableTestingMode(true); }
  DesktopClipboard(const DesktopClipboard&) = delete;
  DesktopClipboard& operator=(const DesktopClipboard&) = delete;
};

// The desktop clipboard (the offscreen platform keeps it in the process):
// a metafile goes out under every metafile type with a PNG alongside, and
// one that another program put under any of them comes in.
TEST(Clipboard, DesktopMetafileTypes) {
  const DesktopClipboard desktop;
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

// A PNG image of width x height pixels without any pixel data.
QByteArray PngHeader(std::uint32_t width, std::uint32_t height) {
  auto crc = [](const QByteArray& bytes) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (char ch : bytes) {
      c ^= static_cast<std::uint8_t>(ch);
      for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
  };
  auto big = [](QByteArray& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.append(static_cast<char>((v >> shift) & 0xFF));
  };
  QByteArray chunk("IHDR");
  big(chunk, width);
  big(chunk, height);
  chunk.append("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB
  QByteArray out("\x89PNG\r\n\x1a\n", 8);
  big(out, 13);
  out.append(chunk);
  big(out, crc(chunk));
  for (const char* name : {"IDAT", "IEND"}) {  // no pixel data at all
    big(out, 0);
    out.append(name);
    big(out, crc(QByteArray(name)));
  }
  return out;
}

// A picture of the desktop's clipboard, or a PNG file, that claims more
// pixels than any picture may have is refused from its header: it is never
// decoded, and the paste says why.
TEST(Clipboard, DesktopPicturesBeyondThePixelBudgetAreRefused) {
  const std::string dir = kvtest::MakeTempDir("png-budget");
  QFile file(QString::fromStdString(dir + "huge.png"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(PngHeader(10000, 5001));
  file.close();
  EXPECT_TRUE(Bitmap::ReadPngFile(dir + "huge.png").IsNull());

  const DesktopClipboard desktop;
  QClipboard* system = QGuiApplication::clipboard();
  ASSERT_NE(system, nullptr);
  auto* data = new QMimeData;
  data->setData(QStringLiteral("image/png"), PngHeader(10000, 5001));
  system->setMimeData(data);
  bool tooLarge = false;
  EXPECT_TRUE(clipboard::GetBitmap(&tooLarge).IsNull());
  EXPECT_TRUE(tooLarge);

  QImage small(3, 2, QImage::Format_RGB32);
  small.fill(qRgb(10, 20, 30));
  system->setImage(small);
  const Bitmap pasted = clipboard::GetBitmap(&tooLarge);
  EXPECT_FALSE(tooLarge);
  EXPECT_EQ(pasted.GetPixel(2, 1), Rgb(10, 20, 30));
  system->clear();
}

}  // namespace
}  // namespace plat
