// Face names of font records (stored as Windows-1252, handled as UTF-8) and
// the 60-byte font record.
#include "core/logfont.h"

#include <cstring>

#include "core/text_encoding.h"

namespace kv {

namespace {

constexpr std::size_t kFaceSize = 32;

}  // namespace

std::string LogFont::Face() const {
  return Cp1252ToUtf8(std::string(faceName.data(), strnlen(faceName.data(), faceName.size())));
}

void LogFont::SetFace(const std::string& face) {
  faceName.fill('\0');
  std::size_t n = 0;
  for (char ch : Utf8ToCp1252(face)) {
    if (ch == '\0' || n + 1 >= faceName.size()) break;
    faceName[n++] = ch;
  }
}

// ---- the 60-byte font record ----

void WriteLogFont(ByteWriter& w, const LogFont& f) {
  w.I32(f.height);
  w.I32(f.width);
  w.I32(f.escapement);
  w.I32(f.orientation);
  w.I32(f.weight);
  w.U8(f.italic);
  w.U8(f.underline);
  w.U8(f.strikeOut);
  w.U8(f.charSet);
  w.U8(f.outPrecision);
  w.U8(f.clipPrecision);
  w.U8(f.quality);
  w.U8(f.pitchAndFamily);
  // The face up to its NUL, then zeros: no stray bytes reach the file.
  std::size_t len = 0;
  while (len < kFaceSize - 1 && f.faceName[len] != '\0') ++len;
  w.Bytes(f.faceName.data(), len);
  w.Zeros(kFaceSize - len);
}

LogFont ReadLogFont(ByteReader& r) {
  LogFont f;
  f.height = r.I32();
  f.width = r.I32();
  f.escapement = r.I32();
  f.orientation = r.I32();
  f.weight = r.I32();
  f.italic = r.U8();
  f.underline = r.U8();
  f.strikeOut = r.U8();
  f.charSet = r.U8();
  f.outPrecision = r.U8();
  f.clipPrecision = r.U8();
  f.quality = r.U8();
  f.pitchAndFamily = r.U8();
  f.faceName.fill('\0');
  if (!r.Bytes(f.faceName.data(), kFaceSize)) f.faceName.fill('\0');
  f.faceName[kFaceSize - 1] = '\0';
  return f;
}

}  // namespace kv
