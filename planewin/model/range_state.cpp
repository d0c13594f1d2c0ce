#include "planewin/model/range_state.h"

#include <vector>

#include "core/text_encoding.h"

namespace kv {

namespace {

std::uint32_t U32At(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool IsColour(std::uint32_t c) { return (c >> 24) == 0; }

}  // namespace

void PackRangeState(const TRangeState& s, TEquation& e0, TEquation& e1) {
  e0.values[4] = {s.view[0], s.view[1], s.view[2]};
  e0.values[5] = {s.view[3], s.view[4], s.view[5]};
  e0.values[6].x = s.view[6];
  e0.densityFlag = s.options[0];
  e0.kindFlag = s.options[1];
  e0.webToAxis = s.options[2];
  e0.drawFilled = s.options[3];
  e0.interpolated = s.options[4];
  e1.densityFlag = s.options[5];
  e1.kindFlag = s.options[6];
  e1.webToAxis = s.options[7];
  e1.drawFilled = s.options[8];
  auto pair = [](TEquation& e, std::int32_t v) {
    e.curvePoints[0] = static_cast<std::int16_t>(v & 0xFFFF);
    e.curvePoints[1] = static_cast<std::int16_t>((v >> 16) & 0xFFFF);
  };
  pair(e0, s.pairs[0]);
  pair(e1, s.pairs[1]);
  auto words = [](TEquation& e, const std::int16_t* w) {
    e.subKind = w[0];
    e.familyDelay = w[1];
    e.arrowSize = w[2];
    e.termCount = w[3];
  };
  words(e0, &s.words[0]);
  words(e1, &s.words[4]);
  e0.auxValue1 = s.width;
  e0.auxValue2 = s.height;
  e0.auxValue3 = s.moreWords[0];
  e0.auxValue4 = s.moreWords[1];
  e1.auxValue3 = s.moreWords[2];
  e1.auxValue4 = s.moreWords[3];
  e0.values[7] = {};
}

TRangeState UnpackRangeState(const TEquation& e0, const TEquation& e1) {
  TRangeState s;
  s.view = {e0.values[4].x, e0.values[4].y, e0.values[4].z, e0.values[5].x,
            e0.values[5].y, e0.values[5].z, e0.values[6].x};
  s.options = {e0.densityFlag, e0.kindFlag, e0.webToAxis, e0.drawFilled, e0.interpolated,
               e1.densityFlag, e1.kindFlag, e1.webToAxis, e1.drawFilled};
  auto pair = [](const TEquation& e) {
    return static_cast<std::int32_t>(static_cast<std::uint16_t>(e.curvePoints[0]) |
                                     (static_cast<std::uint32_t>(static_cast<std::uint16_t>(e.curvePoints[1])) << 16));
  };
  s.pairs = {pair(e0), pair(e1)};
  s.words = {e0.subKind, e0.familyDelay, e0.arrowSize, e0.termCount,
             e1.subKind, e1.familyDelay, e1.arrowSize, e1.termCount};
  s.width = e0.auxValue1;
  s.height = e0.auxValue2;
  s.moreWords = {e0.auxValue3, e0.auxValue4, e1.auxValue3, e1.auxValue4};
  return s;
}

void ClearRangeStateFields(TEquation& e) {
  TEquation fresh;
  InitEquation(fresh, e.kind, 0, 50);
  for (int k = 4; k <= 7; ++k) e.values[static_cast<std::size_t>(k)] = fresh.values[static_cast<std::size_t>(k)];
  e.densityFlag = fresh.densityFlag;
  e.kindFlag = fresh.kindFlag;
  e.webToAxis = fresh.webToAxis;
  e.drawFilled = fresh.drawFilled;
  e.interpolated = fresh.interpolated;
  e.curvePoints = fresh.curvePoints;
  e.subKind = fresh.subKind;
  e.familyDelay = fresh.familyDelay;
  e.arrowSize = fresh.arrowSize;
  e.termCount = fresh.termCount;
  e.auxValue1 = fresh.auxValue1;
  e.auxValue2 = fresh.auxValue2;
  e.auxValue3 = fresh.auxValue3;
  e.auxValue4 = fresh.auxValue4;
}

std::array<std::uint8_t, kRangeColourSize> RangeColourBytes(const std::array<std::uint32_t, 5>& colours) {
  std::array<std::uint8_t, kRangeColourSize> b{};
  for (std::size_t k = 0; k < 5; ++k)
    for (std::size_t j = 0; j < 4; ++j) b[4 * k + j] = static_cast<std::uint8_t>(colours[k] >> (8 * j));
  return b;
}

bool ReadRangePair(const std::uint8_t* image, std::size_t size, std::int32_t& pair) {
  constexpr std::size_t kPairOffset = 117;
  if (!image || size < kPairOffset + 4) return false;
  pair = static_cast<std::int32_t>(U32At(image + kPairOffset));
  return true;
}

bool ReadRangeColours(const std::uint8_t* image, std::size_t size, std::array<std::uint32_t, 5>& colours) {
  if (!image || size < kRangeColourOffset + kRangeColourSize) return false;
  const std::uint8_t* p = image + kRangeColourOffset;
  std::array<std::uint32_t, 5> c{};
  for (std::size_t k = 0; k < 5; ++k) {
    c[k] = U32At(p + 4 * k);
    if (!IsColour(c[k])) return false;
  }
  colours = c;
  return true;
}

std::string JoinLabels(const std::string* labels, int count, std::size_t limit) {
  std::string s;
  for (int k = 0; k < count; ++k) {
    if (labels[k].find(',') != std::string::npos) return {};
    s += labels[k];
    s += ',';
  }
  // The limit counts the characters as the file holds them.
  return Utf8ToCp1252(s).size() > limit ? std::string{} : s;
}

bool SplitLabels(const std::string& text, std::string* labels, int count) {
  std::vector<std::string> parts;
  std::size_t from = 0;
  for (std::size_t comma = text.find(','); comma != std::string::npos; comma = text.find(',', from)) {
    parts.push_back(text.substr(from, comma - from));
    from = comma + 1;
  }
  if (static_cast<int>(parts.size()) < count) return false;
  for (int k = 0; k < count; ++k) labels[k] = parts[static_cast<std::size_t>(k)];
  return true;
}

}  // namespace kv
