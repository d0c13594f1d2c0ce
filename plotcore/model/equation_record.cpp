#include "plotcore/model/equation_record.h"

#include <algorithm>
#include <cmath>

namespace kv {

namespace {

template <class T>
T Clamp(T v, T lo, T hi) {
  return v < lo ? lo : (v > hi ? hi : v);
}

long double Finite(long double v) { return std::isfinite(v) ? v : 0.0L; }

void Finite(TPoint2D& p) {
  p.x = Finite(p.x);
  p.y = Finite(p.y);
}

void Finite(TPoint3D& p) {
  p.x = Finite(p.x);
  p.y = Finite(p.y);
  p.z = Finite(p.z);
}

// A list count read from a file: not negative, within the program's limit,
// and not more records than the bytes left can hold.
bool CountFits(long long count, long long limit, const ByteReader& r, std::size_t recordSize) {
  if (count < 0 || count > limit) return false;
  return static_cast<unsigned long long>(count) * recordSize <= r.Remaining();
}

}  // namespace

// ---- equation record ----

void WriteEquationRecord(ByteWriter& w, const TEquation& e) {
  w.U16(e.kind);                // 0
  w.I16(e.derivation);          // 2
  w.I16(e.source1);             // 4
  w.I16(e.source2);             // 6
  w.I16(e.auxValue1);           // 8
  w.I16(e.auxValue2);           // 10
  w.I16(e.stepDensity);         // 12
  w.I16(e.fieldRows);           // 14
  w.I16(e.fieldMode);           // 16
  w.I16(e.fieldLength);         // 18
  w.I16(e.sideColour1);         // 20
  w.I16(e.sideColour2);         // 22
  w.I16(e.subKind);             // 24
  w.I16(e.subValue);            // 26
  w.I16(e.familyDelay);         // 28
  w.I16(e.arrowSize);           // 30
  w.I16(e.arrowMode);           // 32
  w.I16(e.termCount);           // 34
  w.I16(e.auxValue3);           // 36
  w.I16(e.auxValue4);           // 38
  w.I16(e.familyLetter);        // 40
  w.I16(e.familySteps);         // 42
  w.I16(e.density);             // 44
  w.U8(e.familyOn);             // 46
  w.U8(e.bounded);              // 47
  w.U8(e.visible);              // 48
  w.U8(e.densityFlag);          // 49
  w.U8(e.restricted);           // 50
  w.U8(e.filled);               // 51
  w.U8(e.unclipped);            // 52
  w.U8(e.reserved53);           // 53
  w.U8(e.automaticExtent);      // 54
  w.U8(e.kindFlag);             // 55
  w.U8(e.webToAxis);            // 56
  w.U8(e.drawFilled);           // 57
  w.U8(e.polarInput);           // 58
  w.U8(e.interpolated);         // 59
  w.U8(e.notVertical);          // 60
  w.LongDouble(e.elementLength);  // 61
  w.LongDouble(e.familyStart);    // 71
  w.LongDouble(e.familyEnd);      // 81
  w.LongDouble(e.rangeMin);       // 91
  w.LongDouble(e.rangeMax);       // 101
  for (std::int16_t d : e.divisions) w.I16(d);    // 111, 113, 115
  for (std::int16_t c : e.curvePoints) w.I16(c);  // 117, 119
  WritePoint2D(w, e.lowerBound);  // 121
  WritePoint2D(w, e.upperBound);  // 141
  for (const TPoint3D& v : e.values) WritePoint3D(w, v);  // 161 .. 431
  w.U16(e.penColour);           // 461
  w.I16(e.penWidth);            // 463
  w.I16(e.penStyle);            // 465
  w.Zeros(7 * 4);               // 467 formula texts
  w.Zeros(4 * 4);               // 495 samples, 499 device points, 503 depths, 507 side flags
  w.Zeros(4);                   // 511 items
  w.Zeros(7 * 4);               // 515 trees
  w.Zeros(4);                   // 543 results
}

bool ReadEquationRecord(ByteReader& r, TEquation& e) {
  if (r.Remaining() < kEquationRecordSize) {
    r.Fail();
    return false;
  }
  TEquation t;
  t.kind = r.U16();
  t.derivation = r.I16();
  t.source1 = r.I16();
  t.source2 = r.I16();
  t.auxValue1 = r.I16();
  t.auxValue2 = r.I16();
  t.stepDensity = r.I16();
  t.fieldRows = r.I16();
  t.fieldMode = r.I16();
  t.fieldLength = r.I16();
  t.sideColour1 = r.I16();
  t.sideColour2 = r.I16();
  t.subKind = r.I16();
  t.subValue = r.I16();
  t.familyDelay = r.I16();
  t.arrowSize = r.I16();
  t.arrowMode = r.I16();
  t.termCount = r.I16();
  t.auxValue3 = r.I16();
  t.auxValue4 = r.I16();
  t.familyLetter = r.I16();
  t.familySteps = r.I16();
  t.density = r.I16();
  t.familyOn = r.U8();
  t.bounded = r.U8();
  t.visible = r.U8();
  t.densityFlag = r.U8();
  t.restricted = r.U8();
  t.filled = r.U8();
  t.unclipped = r.U8();
  t.reserved53 = r.U8();
  t.automaticExtent = r.U8();
  t.kindFlag = r.U8();
  t.webToAxis = r.U8();
  t.drawFilled = r.U8();
  t.polarInput = r.U8();
  t.interpolated = r.U8();
  t.notVertical = r.U8();
  t.elementLength = r.LongDouble();
  t.familyStart = r.LongDouble();
  t.familyEnd = r.LongDouble();
  t.rangeMin = r.LongDouble();
  t.rangeMax = r.LongDouble();
  for (std::int16_t& d : t.divisions) d = r.I16();
  for (std::int16_t& c : t.curvePoints) c = r.I16();
  t.lowerBound = ReadPoint2D(r);
  t.upperBound = ReadPoint2D(r);
  for (TPoint3D& v : t.values) v = ReadPoint3D(r);
  t.penColour = r.U16();
  t.penWidth = r.I16();
  t.penStyle = r.I16();
  r.Skip(20 * 4);  // the pointers mean nothing outside the program that wrote them
  if (r.Failed()) return false;
  e = std::move(t);
  return true;
}

void SanitizeEquation(TEquation& e) {
  // The ranges are those the equation, family and table dialogs accept, so
  // that every value they store is read back as it was.
  if (e.stepDensity == 0) e.stepDensity = 1;
  e.stepDensity = Clamp<std::int16_t>(e.stepDensity, -10000, 10000);
  e.fieldRows = Clamp<std::int16_t>(e.fieldRows, 1, 100);
  e.fieldLength = std::max<std::int16_t>(e.fieldLength, 2);
  if (e.kind == kKindExplicit) e.termCount = Clamp<std::int16_t>(e.termCount, 0, 1000);
  e.familySteps = Clamp<std::int16_t>(e.familySteps, -kMaxFamilySteps, kMaxFamilySteps);
  if (e.familyLetter < 0 || e.familyLetter > 32) e.familyLetter = 1;
  e.density = std::max<std::int16_t>(e.density, 1);
  e.penWidth = Clamp<std::int16_t>(e.penWidth, 0, 100);
  // A sum keeps the first and last value of its running index there.
  if (e.kind != kKindSum)
    for (std::int16_t& d : e.divisions) d = Clamp<std::int16_t>(d, 1, 6000);
  for (std::int16_t& c : e.curvePoints) c = Clamp<std::int16_t>(c, 1, 32000);
  if (IsSurfaceKind(e, false)) {
    // The grid of a sampled surface holds (rows + 1) × (columns + 1) points.
    while ((e.divisions[0] + 1) * (e.divisions[1] + 1) > 6000) {
      std::int16_t& larger = e.divisions[0] >= e.divisions[1] ? e.divisions[0] : e.divisions[1];
      larger = static_cast<std::int16_t>(larger / 2);
    }
  }
  e.elementLength = Finite(e.elementLength);
  e.familyStart = Finite(e.familyStart);
  e.familyEnd = Finite(e.familyEnd);
  e.rangeMin = Finite(e.rangeMin);
  e.rangeMax = Finite(e.rangeMax);
  Finite(e.lowerBound);
  Finite(e.upperBound);
  for (TPoint3D& v : e.values) Finite(v);
}

// ---- items ----

void WriteEquationItem(ByteWriter& w, const TEquationItem& item) {
  WritePoint3D(w, item.start);   // 0
  w.I16(item.startCode);         // 30
  w.I8(item.direction);          // 32
  w.LongDouble(item.paramStart); // 33
  w.LongDouble(item.paramEnd);   // 43
  w.I16(item.tag);               // 53
  w.LongDouble(item.level);      // 55
  w.LongDouble(item.scale);      // 65
  w.LongDouble(item.stepLimit);  // 75
  WritePenSpec(w, item.pen);     // 85
  w.U16(item.method);            // 91
  w.U16(item.serial);            // 93
}

bool ReadEquationItem(ByteReader& r, TEquationItem& item) {
  TEquationItem t;
  t.start = ReadPoint3D(r);
  t.startCode = r.I16();
  t.direction = r.I8();
  t.paramStart = r.LongDouble();
  t.paramEnd = r.LongDouble();
  t.tag = r.I16();
  t.level = r.LongDouble();
  t.scale = r.LongDouble();
  t.stepLimit = r.LongDouble();
  t.pen = ReadPenSpec(r);
  t.method = r.U16();
  t.serial = r.U16();
  if (r.Failed()) return false;
  Finite(t.start);
  t.paramStart = Finite(t.paramStart);
  t.paramEnd = Finite(t.paramEnd);
  t.level = Finite(t.level);
  t.scale = Finite(t.scale);
  t.stepLimit = Finite(t.stepLimit);
  if (t.direction != -1) t.direction = 1;
  if (t.method > kMethodRungeKutta) t.method = kMethodRungeKutta;
  item = std::move(t);
  return true;
}

void WriteEquationItems(ByteWriter& w, const std::list<TEquationItem>& items) {
  const std::size_t n = std::min<std::size_t>(items.size(), kMaxItemsPerEquation);
  w.I16(static_cast<std::int16_t>(n));
  std::size_t k = 0;
  for (const TEquationItem& item : items) {
    if (k++ == n) break;
    WriteEquationItem(w, item);
    if (KeepsStartTexts(item))
      for (const std::string& s : item.texts) w.CountedString(s.substr(0, kFormulaTextSize - 1));
  }
}

bool ReadEquationItems(ByteReader& r, std::list<TEquationItem>& items) {
  items.clear();
  const std::int16_t count = r.I16();
  if (r.Failed() || !CountFits(count, kMaxItemsPerEquation, r, kEquationItemFileSize)) {
    r.Fail();
    return false;
  }
  std::list<TEquationItem> read;
  for (int i = 0; i < count; ++i) {
    TEquationItem item;
    if (!ReadEquationItem(r, item)) return false;
    if (KeepsStartTexts(item))
      for (std::string& s : item.texts) s = r.CountedString(kFormulaTextSize);
    if (r.Failed()) return false;
    read.push_back(std::move(item));
  }
  items = std::move(read);
  return true;
}

// ---- results ----

void WriteResultPoint(ByteWriter& w, const TResultPoint& p) {
  w.I16(p.code);                                 // 0
  w.I16(p.count);                                // 2
  for (long double v : p.values) w.LongDouble(v);  // 4
  w.FixedAnsi(p.text, kResultTextSize);          // 44
  w.Zeros(4);                                    // 74 next
}

bool ReadResultPoint(ByteReader& r, TResultPoint& p) {
  TResultPoint t;
  t.code = r.I16();
  t.count = r.I16();
  for (long double& v : t.values) v = Finite(r.LongDouble());
  t.text = r.FixedAnsi(kResultTextSize);
  r.Skip(4);
  if (r.Failed()) return false;
  t.count = Clamp<std::int16_t>(t.count, 1, 4);
  p = std::move(t);
  return true;
}

void WriteResultPoints(ByteWriter& w, const std::list<TResultPoint>& list) {
  const std::size_t n = std::min<std::size_t>(list.size(), kMaxResultsPerEquation);
  w.I16(static_cast<std::int16_t>(n));
  std::size_t k = 0;
  for (const TResultPoint& p : list) {
    if (k++ == n) break;
    WriteResultPoint(w, p);
  }
}

bool ReadResultPoints(ByteReader& r, std::list<TResultPoint>& list) {
  list.clear();
  const std::int16_t count = r.I16();
  if (r.Failed() || !CountFits(count, kMaxResultsPerEquation, r, kResultPointSize)) {
    r.Fail();
    return false;
  }
  std::list<TResultPoint> read;
  for (int i = 0; i < count; ++i) {
    TResultPoint p;
    if (!ReadResultPoint(r, p)) return false;
    read.push_back(std::move(p));
  }
  list = std::move(read);
  return true;
}

// ---- mouse marks ----

void WriteMouseMark(ByteWriter& w, const TMouseMark& m) {
  if (m.kind == kMarkPen) {
    WriteRgbPenSpec(w, m.pen);  // 0, 8 bytes
    w.Zeros(12);
  } else {
    WritePoint2D(w, m.point);   // 0, 20 bytes
  }
  w.I16(m.kind);                // 20
  w.Zeros(4);                   // 22 next
}

bool ReadMouseMark(ByteReader& r, TMouseMark& m) {
  std::uint8_t body[20];
  if (!r.Bytes(body, sizeof body)) return false;
  TMouseMark t;
  t.kind = r.I16();
  r.Skip(4);
  if (r.Failed()) return false;
  ByteReader br(body, sizeof body);
  if (t.kind == kMarkPen) {
    t.pen = ReadRgbPenSpec(br);
    if (t.pen.width > 100) t.pen.width = 100;
  } else {
    if (t.kind != kMarkNext) t.kind = kMarkBreak;
    t.point = ReadPoint2D(br);
    Finite(t.point);
  }
  m = t;
  return true;
}

void WriteMouseMarks(ByteWriter& w, const std::vector<TMouseMark>& marks) {
  const std::size_t n = std::min<std::size_t>(marks.size(), static_cast<std::size_t>(kMaxMouseMarks));
  w.I32(static_cast<std::int32_t>(n));
  for (std::size_t k = 0; k < n; ++k) WriteMouseMark(w, marks[k]);
}

bool ReadMouseMarks(ByteReader& r, std::vector<TMouseMark>& marks) {
  marks.clear();
  const std::int32_t count = r.I32();
  if (r.Failed() || !CountFits(count, kMaxMouseMarks, r, kMouseMarkSize)) {
    r.Fail();
    return false;
  }
  std::vector<TMouseMark> read;
  read.reserve(static_cast<std::size_t>(count));
  for (std::int32_t i = 0; i < count; ++i) {
    TMouseMark m;
    if (!ReadMouseMark(r, m)) return false;
    read.push_back(m);
  }
  marks = std::move(read);
  return true;
}

// ---- shading ----

void WriteShadeRecord(ByteWriter& w, const TShadeRecord& s) {
  w.I16(s.graphA);         // 0
  w.I16(s.graphB);         // 2
  w.I16(s.packedCode);     // 4
  w.U8(s.intervalFlag);    // 6
  w.LongDouble(s.from);    // 7
  w.LongDouble(s.to);      // 17
  w.I16(s.colour);         // 27
  w.U32(s.reserved);       // 29
  w.Zeros(4);              // 33 next
}

bool ReadShadeRecord(ByteReader& r, TShadeRecord& s) {
  TShadeRecord t;
  t.graphA = r.I16();
  t.graphB = r.I16();
  t.packedCode = r.I16();
  t.intervalFlag = r.U8();
  t.from = Finite(r.LongDouble());
  t.to = Finite(r.LongDouble());
  t.colour = r.I16();
  t.reserved = r.U32();
  r.Skip(4);
  if (r.Failed()) return false;
  if (t.packedCode < 0) t.packedCode = 0;
  s = t;
  return true;
}

void WriteShadeRecords(ByteWriter& w, const std::list<TShadeRecord>& list) {
  const std::size_t n = std::min<std::size_t>(list.size(), kMaxShadeRecords);
  w.I16(static_cast<std::int16_t>(n));
  std::size_t k = 0;
  for (const TShadeRecord& s : list) {
    if (k++ == n) break;
    WriteShadeRecord(w, s);
  }
}

bool ReadShadeRecords(ByteReader& r, std::list<TShadeRecord>& list, std::int32_t /*version*/) {
  list.clear();
  const std::int16_t count = r.I16();
  if (r.Failed() || !CountFits(count, kMaxShadeRecords, r, kShadeRecordSize)) {
    r.Fail();
    return false;
  }
  std::list<TShadeRecord> read;
  for (int i = 0; i < count; ++i) {
    TShadeRecord s;
    if (!ReadShadeRecord(r, s)) return false;
    read.push_back(s);
  }
  list = std::move(read);
  return true;
}

}  // namespace kv
