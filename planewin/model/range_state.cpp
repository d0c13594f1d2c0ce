#include "planewin/model/range_state.h"

namespace kv {

namespace {

constexpr long double kTwo32 = 4294967296.0L;

long double PackColours(std::uint32_t low, std::uint32_t high) { return low + high * kTwo32; }

void UnpackColours(long double v, std::uint32_t& low, std::uint32_t& high) {
  // Anything but a whole number below 2^64 was not written by us.
  if (!(v >= 0) || !(v < kTwo32 * kTwo32) || v != static_cast<long double>(static_cast<unsigned long long>(v))) {
    low = high = 0;
    return;
  }
  const auto bits = static_cast<unsigned long long>(v);
  low = static_cast<std::uint32_t>(bits);
  high = static_cast<std::uint32_t>(bits >> 32);
}

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
  e0.values[7] = {PackColours(s.colours[0], s.colours[1]), PackColours(s.colours[2], s.colours[3]),
                  static_cast<long double>(s.colours[4])};
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
  UnpackColours(e0.values[7].x, s.colours[0], s.colours[1]);
  UnpackColours(e0.values[7].y, s.colours[2], s.colours[3]);
  std::uint32_t unused = 0;
  UnpackColours(e0.values[7].z, s.colours[4], unused);
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

std::string JoinLabels(const std::string* labels, int count, std::size_t limit) {
  std::string s;
  for (int k = 0; k < count; ++k) {
    for (char c : labels[k]) {
      if (c == ',' || c == '\\') s += '\\';
      s += c;
    }
    s += ',';
  }
  return s.size() > limit ? std::string{} : s;
}

bool SplitLabels(const std::string& text, std::string* labels, int count) {
  std::string parts[8];
  if (count > 8) return false;
  int n = 0;
  std::string current;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\\' && i + 1 < text.size()) {
      current += text[++i];
    } else if (c == ',') {
      if (n < count) parts[n] = current;
      ++n;
      current.clear();
    } else {
      current += c;
    }
  }
  if (n < count) return false;
  for (int k = 0; k < count; ++k) labels[k] = parts[k];
  return true;
}

}  // namespace kv
