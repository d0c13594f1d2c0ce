#include "entry/model/plot_file_blocks.h"

#include <algorithm>

#include "entry/model/derived_items.h"
#include "entry/model/point_items.h"
#include "plotcore/model/equation_record.h"

namespace kv {

namespace {

// Record offsets of the pen colour and the first division count in the
// 547-byte image.
constexpr std::size_t kPenColourOffset = 461;
constexpr std::size_t kDivisionsOffset = 111;
// Record bytes 281..460 (value blocks 4..9) carry an interpolated entry's
// nine nodes as x, y pairs.
constexpr int kNodeBlockFirst = 4;
constexpr int kInterpolationNodes = 9;

void PutU16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t v) {
  bytes[at] = static_cast<std::uint8_t>(v & 0xFF);
  bytes[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

// Component k (0..17) of the node values: x, y, z of block 4, then 5 ...
long double& NodeValue(TEquation& e, int k) {
  TPoint3D& p = e.values[static_cast<std::size_t>(kNodeBlockFirst + k / 3)];
  return k % 3 == 0 ? p.x : (k % 3 == 1 ? p.y : p.z);
}

}  // namespace

// ---- blocks 2 to 5 ----

void WritePlotSettings(ByteWriter& w, const TPlotSettingsBlock& s) {
  for (std::int16_t v : s.words) w.I16(v);
  for (std::uint8_t v : s.flags) w.U8(v);
  for (long double v : s.values) w.LongDouble(v);
  for (std::int32_t v : s.smallSteps) w.I32(v);
  for (std::int32_t v : s.mediumSteps) w.I32(v);
}

bool ReadPlotSettings(ByteReader& r, std::int32_t version, TPlotSettingsBlock& s) {
  TPlotSettingsBlock t;
  for (std::int16_t& v : t.words) v = r.I16();
  for (std::uint8_t& v : t.flags) v = r.U8();
  for (long double& v : t.values) v = r.LongDouble();
  if (version > 31) {
    for (std::int32_t& v : t.smallSteps) v = r.I32();
    for (std::int32_t& v : t.mediumSteps) v = r.I32();
    t.hasSliderSteps = true;
  }
  if (r.Failed()) return false;
  s = t;
  return true;
}

// ---- strings ----

void WriteBoundedString(ByteWriter& w, const std::string& utf8, std::size_t maxBytes) {
  std::string ansi = Utf8ToCp1252(utf8);
  if (maxBytes == 0) maxBytes = 1;
  if (ansi.size() > maxBytes - 1) ansi.resize(maxBytes - 1);
  w.U16(static_cast<std::uint16_t>(ansi.size() + 1));
  w.Bytes(ansi.data(), ansi.size());
  w.U8(0);
}

void WriteAxisTitles(ByteWriter& w, const std::array<std::string, 3>& titles) {
  for (const std::string& t : titles) WriteBoundedString(w, t, kFormulaTextSize);
}

bool ReadAxisTitles(ByteReader& r, std::array<std::string, 3>& titles) {
  std::array<std::string, 3> t;
  for (std::string& s : t) s = r.CountedString(kFormulaTextSize);
  if (r.Failed()) return false;
  titles = std::move(t);
  return true;
}

// ---- equation groups ----

void WriteEquationGroup(ByteWriter& w, const TEquation& e, const std::string& name, bool groupMember) {
  const std::size_t start = w.Size();
  WriteEquationRecord(w, e);
  if (groupMember)
    PutU16(w.Data(), start + kPenColourOffset, static_cast<std::uint16_t>(e.penColour % kGroupColourOffset + kGroupColourOffset));
  // A surface of revolution whose first count compiling made 2n + 1 (code
  // 11 and above) or 2n - 1 keeps the n entered: d / 2, plus 1 below 11.
  if (e.kind == kKindRevolution && e.subValue > 0 && e.divisionsDerived) {
    const int d = e.divisions[0];
    PutU16(w.Data(), start + kDivisionsOffset, static_cast<std::uint16_t>(d / 2 + (e.subValue < 11 ? 1 : 0)));
  }
  WriteEquationItems(w, e.items);
  WriteResultPoints(w, e.results);
  for (const std::string& text : e.formulaText) WriteBoundedString(w, text, kFormulaTextSize);
  w.FixedAnsi(name, kEquationNameSize);
}

bool ReadEquationGroup(ByteReader& r, std::int32_t version, int nameLength, TPlotEntry& entry) {
  TPlotEntry t;
  TEquation& e = t.equation;
  t.recordImage.resize(kEquationRecordSize);
  if (!r.Bytes(t.recordImage.data(), t.recordImage.size())) return false;
  ByteReader image(t.recordImage);
  if (!ReadEquationRecord(image, e)) return false;
  SanitizeEquation(e);
  t.groupMember = e.penColour >= kGroupColourOffset;
  e.penColour = static_cast<std::uint16_t>(e.penColour % kGroupColourOffset);
  const int kind = e.kind;
  if (version < 11 && (kind == kKindImplicit || kind == kKindImplicitSurface)) e.restricted = 0;
  if (!ReadEquationItems(r, e.items) || !ReadResultPoints(r, e.results)) return false;
  // A planet system's count of bodies indexes blocks of twelve entries, and
  // its item list holds the bodies and their centre of mass.
  if (kind == kKindPlanets &&
      (e.auxValue1 < 1 || e.auxValue1 > 11 || e.items.size() != static_cast<std::size_t>(e.auxValue1) + 1))
    return false;
  for (std::string& text : e.formulaText) text = r.CountedString(kFormulaTextSize);
  if (r.Failed()) return false;
  if (nameLength > 0) {
    // Only the name field's 20 characters are kept of a longer stored name.
    std::string raw(static_cast<std::size_t>(nameLength) + 1, '\0');
    if (!r.Bytes(raw.data(), raw.size())) return false;
    raw.resize(std::min({raw.find('\0'), raw.size(), kEquationNameSize - 1}));
    t.name = Cp1252ToUtf8(raw);
  }

  // Buffers the record's kind works with: an interpolated entry gets its
  // nine nodes back from the record's value blocks.
  InitEquationBuffers(e);
  if (IsLagrangePolynomial(e) && e.samples.size() >= kInterpolationNodes) {
    for (int j = 0; j < kInterpolationNodes; ++j) {
      e.samples[static_cast<std::size_t>(j)].x = NodeValue(e, 2 * j);
      e.samples[static_cast<std::size_t>(j)].y = NodeValue(e, 2 * j + 1);
    }
  }
  if (kind == kKindImplicit || kind == kKindImplicitSurface) e.polarInput = 1;
  if (kind == kKindPointSequence) {
    std::vector<long double> numbers;
    e.auxValue3 = static_cast<std::int16_t>(ScanNumberList(e.formulaText[3], numbers));
    e.cellDepths = std::move(numbers);
  }
  if (e.derivation == kDerivedTracePoint && e.formulaText[kTracePointParameterText].empty() &&
      !e.formulaText[6].empty()) {
    // A graph's point from an earlier build of the program kept its
    // parameter in the seventh text; it belongs in the fourth.
    e.formulaText[kTracePointParameterText] = std::move(e.formulaText[6]);
    e.formulaText[6].clear();
  }
  if (version < 30 && kind % 100 == 9) {
    // Older points kept no role word: it is made from the coordinates the
    // point is given in, and the guide lines they switched on with the
    // flag at byte 57 are switched on with the flag at byte 59.
    std::int16_t roles = 0;
    ParseVariableRoles(OlderPointRoles(e), roles);
    e.subKind = roles;
    if (e.drawFilled) e.interpolated = 1;
  }
  entry = std::move(t);
  return true;
}

// ---- captions ----

std::vector<TTextLabel> CaptionRecords(const std::vector<TEquationLabel>& captions, const LogFont& font,
                                       std::int16_t pointSize) {
  std::vector<TTextLabel> records;
  records.reserve(captions.size());
  for (const TEquationLabel& c : captions) {
    TTextLabel l;
    l.number = c.index;
    l.transparent = 1;
    l.text = c.text;
    l.colour = static_cast<Colour>(c.colour);
    l.anchorX = l.right = c.anchor.x;
    l.anchorY = l.bottom = c.anchor.y;
    l.font = font;
    l.pointSize = pointSize;
    l.visible = c.visible ? 1 : 0;
    records.push_back(std::move(l));
  }
  return records;
}

std::vector<TEquationLabel> CaptionsFromRecords(const std::vector<TTextLabel>& records, int lastIndex) {
  std::vector<TEquationLabel> captions;
  for (const TTextLabel& l : records) {
    if (l.number < 0 || l.number > lastIndex) continue;
    TEquationLabel c;
    c.index = l.number;
    c.text = l.text;
    c.anchor = {l.anchorX, l.anchorY};
    c.colour = static_cast<std::int16_t>(l.colour <= 60 ? l.colour : 0);
    c.visible = l.visible ? 1 : 0;
    captions.push_back(std::move(c));
  }
  return captions;
}

// The writer's counterpart of the node unpacking above.
void PackNodesIntoRecord(TEquation& e) {
  if (e.samples.size() < kInterpolationNodes) return;
  for (int j = 0; j < kInterpolationNodes; ++j) {
    NodeValue(e, 2 * j) = e.samples[static_cast<std::size_t>(j)].x;
    NodeValue(e, 2 * j + 1) = e.samples[static_cast<std::size_t>(j)].y;
  }
}

}  // namespace kv
