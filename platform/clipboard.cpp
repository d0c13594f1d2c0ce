#include "platform/clipboard.h"

#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QString>

#include "platform/bitmap_impl.h"
#include "platform/testing.h"

namespace plat::clipboard {

namespace {

// The metafile format on the desktop clipboard; a PNG goes alongside for
// other programs.
constexpr const char* kEmfMime = "image/x-emf";

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
  const QMimeData* d = SystemData();
  return d && d->hasFormat(kEmfMime);
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
  data->setData(kEmfMime, QByteArray(reinterpret_cast<const char*>(emf.data()), static_cast<qsizetype>(emf.size())));
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

Bitmap GetBitmap() {
  if (Testing()) return Store().bitmap;
  Bitmap out;
  QClipboard* c = System();
  if (!c) return out;
  QImage img = c->image();
  if (img.isNull()) return out;
  ImageOf(out) = img.convertToFormat(QImage::Format_RGB32);
  return out;
}

std::optional<std::vector<std::uint8_t>> GetMetafile() {
  if (Testing()) return Store().emf;
  const QMimeData* d = SystemData();
  if (!d || !d->hasFormat(kEmfMime)) return std::nullopt;
  QByteArray bytes = d->data(kEmfMime);
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

void Clear() {
  if (Testing()) {
    Store() = TestStore{};
    return;
  }
  if (QClipboard* c = System()) c->clear();
}

}  // namespace plat::clipboard
