#include "entry/model/value_table_text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "core/number_text.h"

namespace kv {

namespace {

constexpr const char* kLineEnd = "\r\n";

// The cell after the first one of a row: padded, or after the separator.
void AppendCell(std::string& out, long double value, const TTableLayout& layout) {
  if (layout.separated) {
    out += layout.separator;
    out += FormatTableCell(value, 0, layout.decimals);
  } else {
    out += FormatTableCell(value, layout.width, layout.decimals);
  }
}

void AppendTextCell(std::string& out, std::string_view text, const TTableLayout& layout) {
  if (layout.separated) {
    out += layout.separator;
    out += text;
  } else {
    out += PadCell(text, layout.width);
  }
}

// The formula slots whose values follow the variable, in column order.
std::vector<int> CellSlots(int kind) {
  switch (kind) {
    case kKindExplicit:
      return {1};
    case kKindPolar:
      return {2, 0, 1};  // r, x, y
    case kKindParametric:
      return {0, 1};
    case kKindSpaceCurve:
    case kKindSegment3D:
      return {0, 1, 2};
    default:
      return {};
  }
}

// Keeps the engine's variables and jump detection across a table.
class EngineScope {
 public:
  explicit EngineScope(TFormulaEngine& engine) : engine_(engine), jumps_(engine.JumpDetection()) {
    engine_.SaveVariables();
    // Rows are single points: a branch change between them is no jump.
    engine_.SetJumpDetection(false);
  }
  ~EngineScope() {
    engine_.RestoreVariables();
    engine_.SetJumpDetection(jumps_);
    engine_.ClearEvaluationError();
  }
  EngineScope(const EngineScope&) = delete;
  EngineScope& operator=(const EngineScope&) = delete;

 private:
  TFormulaEngine& engine_;
  bool jumps_;
};

}  // namespace

std::string PadCell(std::string_view text, int width) {
  std::string s(text);
  std::size_t chars = 0;
  for (char c : s)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++chars;
  if (width > 0 && chars < static_cast<std::size_t>(width)) s.insert(0, static_cast<std::size_t>(width) - chars, ' ');
  return s;
}

std::string ColumnHeads(int kind, const TTableLayout& layout) {
  const char* heads = nullptr;
  switch (kind) {
    case kKindExplicit:
    case kKindOdeDyDx:
      heads = "xy";
      break;
    case kKindPolar:
      heads = "trxy";
      break;
    case kKindParametric:
    case kKindOde:
      heads = "txy";
      break;
    case kKindSequence:
      heads = "nxy";
      break;
    case kKindSpaceCurve:
    case kKindSegment3D:
    case kKindOde3D:
      heads = "txyz";
      break;
    case kKindSequence3D:
      heads = "nxyz";
      break;
    case kKindIntersection:
      heads = "xyz";
      break;
    default:
      return {};
  }
  std::string line;
  for (const char* h = heads; *h; ++h) {
    const std::string_view letter(h, 1);
    if (!layout.separated) {
      line += PadCell(letter, layout.width);
    } else {
      if (h != heads) line += layout.separator;
      line += PadCell(letter, layout.decimals);
    }
  }
  return line + kLineEnd;
}

void AppendFunctionTable(std::string& out, TEquation& e, TFormulaEngine& engine, const TTableLayout& layout,
                         const TTableTexts& texts) {
  const std::vector<int> slots = CellSlots(e.kind);
  if (slots.empty()) return;
  const bool curve3D = e.kind == kKindSpaceCurve || e.kind == kKindSegment3D;
  const int density = std::max<int>(1, e.density);
  // The rows that fit into the text: q rows of their full width, and when
  // q is below the step count the table ends at index q - 2 (no row at all
  // for q below 2).  The steps keep their size: the table lists the start
  // of the range.
  const std::size_t perRow = (slots.size() + 1) * static_cast<std::size_t>(std::max(1, layout.width)) + 2;
  const std::size_t q = out.size() < kTableTextLimit ? (kTableTextLimit - out.size()) / perRow : 0;
  int last = density;
  if (q < static_cast<std::size_t>(density)) last = static_cast<int>(q) - 2;
  if (last < 0) return;
  out.reserve(out.size() + static_cast<std::size_t>(last + 1) * perRow);
  EngineScope scope(engine);
  const int letter = e.kind == kKindExplicit ? 'X' : 'T';
  const long double lo = e.rangeMin;
  const long double step = (e.rangeMax - e.rangeMin) / density;
  // All rows at once: the trees in the order a row takes them (a space
  // curve's in column order; else the second formula first, then the others
  // the kind uses), each skipped where an earlier one is undefined.
  const std::size_t columns = slots.size();
  const int n = last + 1;
  std::vector<long double> ts(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) ts[static_cast<std::size_t>(i)] = lo + step * i;
  std::vector<long double> cells(columns * ts.size());
  std::vector<TExprNode*> trees(columns);
  std::vector<long double*> outs(columns);
  for (std::size_t k = 0; k < columns; ++k) {
    // Column c of the table is tree slots[c]; chain position k takes column c.
    const std::size_t c = curve3D ? k : (k == 0 ? columns - 1 : k - 1);
    trees[k] = e.trees[static_cast<std::size_t>(slots[c])].get();
    if (!curve3D && k == 0) trees[k] = e.trees[1].get();
    outs[k] = cells.data() + c * ts.size();
  }
  std::vector<std::uint8_t> status(ts.size());
  engine.EvaluateBlockChain(trees.data(), static_cast<int>(columns), letter, ts.data(), n, outs.data(),
                            status.data());
  for (int i = 0; i < n; ++i) {
    const auto row = static_cast<std::size_t>(i);
    // The variable as the formulas saw it.
    out += FormatTableCell(ts[row], layout.width, layout.decimals);
    bool defined = status[row] != kPointUndefined;
    for (std::size_t c = 0; c < columns && defined; ++c) defined = std::isfinite(cells[c * ts.size() + row]);
    if (!defined) {
      AppendTextCell(out, texts.undefined, layout);
    } else {
      for (std::size_t c = 0; c < columns; ++c) AppendCell(out, cells[c * ts.size() + row], layout);
    }
    out += kLineEnd;
  }
}

void AppendGridTable(std::string& out, const TEquation& e, const TTableLayout& layout, const TTableTexts& texts) {
  const long nx = std::max<long>(1, e.divisions[0]);
  const long ny = std::max<long>(1, e.divisions[1]);
  const long w = std::max(1, layout.width);
  if ((ny + 2) * w * (nx + 2) >= static_cast<long>(kTableTextLimit) + 1) {
    out += texts.tooMany + kLineEnd;
    return;
  }
  const long double dx = (e.upperBound.x - e.lowerBound.x) / nx;
  const long double dy = (e.upperBound.y - e.lowerBound.y) / ny;
  out += PadCell(e.kind == kKindCylinderSurface ? "t \\ r" : "y \\ x", layout.width);
  for (long i = 0; i <= nx; ++i) AppendCell(out, e.lowerBound.x + dx * i, layout);
  out += kLineEnd;
  for (long j = 0; j <= ny; ++j) {
    out += FormatTableCell(e.upperBound.y - dy * j, layout.width, layout.decimals);
    for (long i = 0; i <= nx; ++i) {
      const std::size_t k = static_cast<std::size_t>((ny - j) + (ny + 1) * i);
      // A grid not sampled to these divisions has no value here.
      if (k < e.samples.size() && std::isfinite(e.samples[k].z)) {
        AppendCell(out, e.samples[k].z, layout);
      } else {
        AppendTextCell(out, "-", layout);
      }
    }
    out += kLineEnd;
  }
}

void AppendSequenceTable(std::string& out, const std::vector<long double>& terms, int lastTerm,
                         const TTableLayout& layout, const TTableTexts& texts) {
  const int n = std::max(0, lastTerm);
  const int indexWidth = n >= 10000 ? 5 : n >= 1000 ? 4 : n >= 100 ? 3 : 2;
  TTableLayout values = layout;
  values.width = layout.decimals + 7;
  out += PadCell("n", indexWidth);
  AppendTextCell(out, "x(n)", values);
  out += kLineEnd;
  const std::size_t shown = std::min(terms.size(), static_cast<std::size_t>(n) + 1);
  for (std::size_t k = 0; k < shown; ++k) {
    out += PadCell(std::to_string(k), indexWidth);
    AppendCell(out, terms[k], values);
    out += kLineEnd;
  }
  if (shown < static_cast<std::size_t>(n) + 1) {
    out += PadCell(std::to_string(shown), indexWidth);
    AppendTextCell(out, texts.undefined, values);
    out += kLineEnd;
  }
}

void AppendPlanetSheet(std::string& out, const TEquation& e, int decimals, const TTableTexts& texts) {
  constexpr std::size_t kBlock = 12;
  const int width = decimals + 4;
  // At most eleven bodies and their centre of mass fit a block.
  const int count = std::clamp<int>(e.auxValue1, 0, static_cast<int>(kBlock) - 1);
  auto at = [&](std::size_t block, int body) -> TPoint3D {
    const std::size_t k = block * kBlock + static_cast<std::size_t>(body);
    return k < e.samples.size() ? e.samples[k] : TPoint3D{};
  };
  auto line = [&](const char* label, long double v) {
    out += label;
    out += FormatTableCell(v, width, decimals);
    out += kLineEnd;
  };
  for (int k = 0; k <= count; ++k) {
    out += k < count ? texts.body + " " + std::to_string(k) : texts.centre;
    out += kLineEnd;
    out += kLineEnd;
    const TPoint3D start = at(5, k);
    const TPoint3D startVelocity = at(6, k);
    const TPoint3D position = at(0, k);
    const TPoint3D velocity = at(1, k);
    line("x0  ", start.x);
    line("y0  ", start.y);
    line("x0' ", startVelocity.x);
    line("y0' ", startVelocity.y);
    line("x   ", position.x);
    line("y   ", position.y);
    line("x'  ", velocity.x);
    line("y'  ", velocity.y);
    out += texts.mass;
    out += FormatTableCell(at(2, k).x, width, decimals);
    out += kLineEnd;
    out += std::string(27, '-');
    out += kLineEnd;
  }
  auto constant = [&](const std::string& label, long double v) {
    out += label;
    out += FormatTableCell(v, width, decimals);
    out += kLineEnd;
  };
  // The constants live in the value blocks: G, the duration of a
  // position, and the counts of positions and of computations per position.
  constant(texts.gravitation, e.values[4].x);
  constant(texts.duration, e.values[4].y);
  out += texts.points + " " + std::to_string(RoundToInt(e.upperBound.x)) + kLineEnd;
  out += texts.computations + " " + std::to_string(RoundToInt(e.upperBound.y)) + kLineEnd;
}

std::vector<std::size_t> SectionStarts(std::string_view text, std::size_t length) {
  std::vector<std::size_t> starts{0};
  if (length == 0) return starts;
  std::size_t start = 0;
  while (text.size() - start > length) {
    const std::size_t lastBreak = text.rfind('\n', start + length - 1);
    std::size_t next;
    if (lastBreak != std::string_view::npos && lastBreak >= start) {
      next = lastBreak + 1;
    } else {
      next = start + length;
      while (next > start + 1 && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80) --next;
    }
    starts.push_back(next);
    start = next;
  }
  return starts;
}

}  // namespace kv
