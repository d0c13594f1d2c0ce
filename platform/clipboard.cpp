#include "platform/clipboard.h"

#include <QBuffer>
#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QList>
#include <QMimeData>
#include <QString>

#include <algorithm>

#include "platform/bitmap_impl.h"
#include "platform/emf_player.h"
#include "platform/testing.h"

namespace plat::clipboard {

namespace {

// The metafile types of the desktop clipboard: the one most programs on
// this desktop use first, then the registered type and the office suite's
// own.  All are written; the first one offered is read.  A PNG goes
// alongside for other programs.
constexpr const char* kEmfMimes[] = {
    "image/x-emf",
    "image/emf",
    "application/x-openoffice-emf;windows_formatname=\"Image EMF\"",
};

// The type under which the data offers a metafile, or empty.
QString EmfFormatOf(const QMimeData* d) {
  if (!d) return QString();
  for (const char* m : kEmfMimes)
    if (d->hasFormat(QString::fromLatin1(m))) return QString::fromLatin1(m);
  // The office suite's type may come with other parameters.
  for (const QString& f : d->formats())
    if (f.startsWith(QStringLiteral("application/x-openoffice-emf"))) return f;
  return QString();
}

// The picture type the toolkit would decode from the data: the first of
// those it reads (PNG first) that the data offers; empty when none is (a
// picture of this process comes as an image object).
QString PictureFormatOf(const QMimeData* d) {
  if (!d) return QString();
  QList<QByteArray> types = QImageReader::supportedMimeTypes();
  const qsizetype png = types.indexOf(QByteArrayLiteral("image/png"));
  if (png > 0) types.move(png, 0);
  for (const QByteArray& type : types)
    if (d->hasFormat(QString::fromLatin1(type))) return QString::fromLatin1(type);
  return QString();
}

// The in-process clipboard of testing mode.
struct TestStore {
  std::optional<std::string> text;
  Bitmap bitmap;
  std::optional<std::vector<std::uint8_t>> emf;
};
TestStore& Store() {
  static TestStore s;
  return s;
}

bool Testing() { return testing::TestingMode(); }

QClipboard* System() {
  if (!QGuiApplication::instance()) return nullptr;
  return QGuiApplication::clipboard();
}

const QMimeData* SystemData() {
  QClipboard* c = System();
  return c ? c->mimeData() : nullptr;
}

}  // namespace

bool HasText() {
  if (Testing()) return Store().text.has_value();
  const QMimeData* d = SystemData();
  return d && d->hasText();
}

bool HasBitmap() {
  if (Testing()) return !Store().bitmap.IsNull();
  const QMimeData* d = SystemData();
  return d && d->hasImage();
}

bool HasMetafile() {
  if (Testing()) return Store().emf.has_value();
  return !EmfFormatOf(SystemData()).isEmpty();
}

bool SetText(const std::string& utf8) {
  if (Testing()) {
    Store() = TestStore{};
    Store().text = utf8;
    return true;
  }
  QClipboard* c = System();
  if (!c) return false;
  c->setText(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
  return true;
}

bool SetBitmap(const Bitmap& bitmap) {
  if (bitmap.IsNull()) return false;
  if (Testing()) {
    Store() = TestStore{};
    Store().bitmap = bitmap;
    return true;
  }
  QClipboard* c = System();
  if (!c) return false;
  c->setImage(ImageOf(bitmap).copy());
  return true;
}

bool SetMetafile(const std::vector<std::uint8_t>& emf, const Bitmap* preview) {
  if (Testing()) {
    Store() = TestStore{};
    Store().emf = emf;
    if (preview) Store().bitmap = *preview;
    return true;
  }
  QClipboard* c = System();
  if (!c) return false;
  auto* data = new QMimeData;
  const QByteArray bytes(reinterpret_cast<const char*>(emf.data()), static_cast<qsizetype>(emf.size()));
  for (const char* m : kEmfMimes) data->setData(QString::fromLatin1(m), bytes);
  if (preview && !preview->IsNull()) data->setImageData(ImageOf(*preview).copy());
  c->setMimeData(data);
  return true;
}

std::optional<std::string> GetText() {
  if (Testing()) return Store().text;
  const QMimeData* d = SystemData();
  if (!d || !d->hasText()) return std::nullopt;
  return d->text().toStdString();
}

Bitmap GetBitmap(bool* tooLarge) {
  if (tooLarge) *tooLarge = false;
  if (Testing()) {
    if (PictureFits(Store().bitmap.Width(), Store().bitmap.Height()) || Store().bitmap.IsNull())
      return Store().bitmap;
    if (tooLarge) *tooLarge = true;
    return {};
  }
  Bitmap out;
  QClipboard* c = System();
  if (!c) return out;
  // The picture's size is read from its header before it is decoded.
  QImage img;
  const QMimeData* d = c->mimeData();
  if (const QString format = PictureFormatOf(d); !format.isEmpty()) {
    QByteArray bytes = d->data(format);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (size.isValid() && !PictureFits(size.width(), size.height())) {
      if (tooLarge) *tooLarge = true;
      return out;
    }
    reader.read(&img);
  }
  if (img.isNull()) img = c->image();
  if (img.isNull()) return out;
  ImageOf(out) = img.convertToFormat(QImage::Format_RGB32);
  return out;
}

std::optional<std::vector<std::uint8_t>> GetMetafile() {
  if (Testing()) return Store().emf;
  const QMimeData* d = SystemData();
  const QString format = EmfFormatOf(d);
  if (format.isEmpty()) return std::nullopt;
  const QByteArray bytes = d->data(format);
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

bool SetMetafile(const EnhMetafile& emf) {
  if (emf.IsNull()) return false;
  Size size = emf.NaturalSize();
  const int longer = std::max(size.cx, size.cy);
  if (longer > kMaxPreviewSide) {
    size.cx = std::max(1, static_cast<int>(std::int64_t{size.cx} * kMaxPreviewSide / longer));
    size.cy = std::max(1, static_cast<int>(std::int64_t{size.cy} * kMaxPreviewSide / longer));
  }
  const Bitmap preview = RenderEnhMetafile(emf, size.cx, size.cy);
  return SetMetafile(emf.Bits(), &preview);
}

std::optional<EnhMetafile> GetEnhMetafile() {
  const std::optional<std::vector<std::uint8_t>> bytes = GetMetafile();
  if (!bytes) return std::nullopt;
  return EnhMetafile::FromBytes(*bytes);
}

void Clear() {
  if (Testing()) {
    Store() = TestStore{};
    return;
  }
  if (QClipboard* c = System()) c->clear();
}

}  // namespace plat::clipboard
