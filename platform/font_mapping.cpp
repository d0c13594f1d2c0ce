#include "platform/font_mapping.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QList>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace plat {

namespace {

// Pixel sizes beyond this come only from damaged records; they would make
// the font engine build enormous glyph caches.
constexpr int kMaxPixelSize = 4096;
constexpr int kDefaultPixelSize = 12;

const QString kSans = QStringLiteral("Liberation Sans");

struct FaceAlias {
  const char* face;  // lower case
  const char* family;
};

// The classic faces and the installed families with the same metrics.
constexpr FaceAlias kAliases[] = {
    {"", "Liberation Sans"},
    {"arial", "Liberation Sans"},
    {"helvetica", "Liberation Sans"},
    {"ms sans serif", "Liberation Sans"},
    {"times new roman", "Liberation Serif"},
    {"times", "Liberation Serif"},
    {"courier new", "Liberation Mono"},
    {"courier", "Liberation Mono"},
    {"symbol", "DejaVu Sans"},
};

std::string AsciiLower(const std::string& s) {
  std::string out = s;
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// The em size that gives a cell (ascent + descent) of at most `cell` pixels.
int PixelSizeForCell(QFont font, int cell) {
  auto cellAt = [&font](int px) {
    font.setPixelSize(px);
    const QFontMetrics fm(font);
    return fm.ascent() + fm.descent();
  };
  const int measured = std::max(1, cellAt(cell));
  int px = std::clamp(static_cast<int>(std::lround(double(cell) * cell / measured)), 1,
                      kMaxPixelSize);
  // The scaled guess is off by at most a pixel or two after hinting.
  for (int k = 0; k < 8 && px > 1 && cellAt(px) > cell; ++k) --px;
  for (int k = 0; k < 8 && px < kMaxPixelSize && cellAt(px + 1) <= cell; ++k) ++px;
  return px;
}

}  // namespace

QString FamilyForFace(const std::string& face) {
  const std::string key = AsciiLower(face);
  for (const auto& a : kAliases)
    if (key == a.face) return QString::fromLatin1(a.family);
  const QString wanted = QString::fromUtf8(face.c_str(), static_cast<qsizetype>(face.size()));
  for (const QString& f : QFontDatabase::families())
    if (f.compare(wanted, Qt::CaseInsensitive) == 0) return f;
  return kSans;
}

QFont QFontFromLogFont(const LogFont& lf, bool antialias) {
  QFont font(FamilyForFace(lf.Face()));
  font.setStyleStrategy(antialias ? QFont::PreferDefault : QFont::NoAntialias);
  const int weight = lf.weight <= 0 ? FW_NORMAL : std::min<std::int32_t>(lf.weight, 1000);
  font.setWeight(static_cast<QFont::Weight>(weight));
  font.setItalic(lf.italic != 0);
  font.setUnderline(lf.underline != 0);
  font.setStrikeOut(lf.strikeOut != 0);

  // Widen before negating: -INT32_MIN does not fit an int.
  const std::int64_t h = lf.height;
  int px = kDefaultPixelSize;
  if (h < 0)
    px = static_cast<int>(std::min<std::int64_t>(-h, kMaxPixelSize));
  else if (h > 0)
    px = PixelSizeForCell(font, static_cast<int>(std::min<std::int64_t>(h, kMaxPixelSize)));
  font.setPixelSize(px);

  if (lf.width != 0) {
    const double average = QFontMetricsF(font).averageCharWidth();
    if (average > 0) {
      const double w = std::fabs(static_cast<double>(lf.width));
      font.setStretch(std::clamp(static_cast<int>(std::lround(100.0 * w / average)), 1, 4000));
    }
  }
  return font;
}

QString TextForFont(const LogFont& lf, const std::string& utf8) {
  QString text = QString::fromUtf8(utf8.c_str(), static_cast<qsizetype>(utf8.size()));
  if (lf.charSet != SYMBOL_CHARSET) return text;
  QList<uint> codes = text.toUcs4();
  for (uint& c : codes)
    if (c < 256) c = static_cast<uint>(SymbolToUnicode(static_cast<unsigned char>(c)));
  return QString::fromUcs4(reinterpret_cast<const char32_t*>(codes.constData()), codes.size());
}

}  // namespace plat
