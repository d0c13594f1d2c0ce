// Texts of the plot layer: value lines and item tables, the current-value
// caption, letter lists, and the small setters the dialogs use.
#include <algorithm>

#include "plotcore/dc_sink.h"
#include "platform/resources.h"
#include "shell/text_helpers.h"

namespace kv {

namespace {

// The printable letter of a variable: "@", A..Z.
char LetterChar(int letter) {
  const int v = tok::VariableOf(letter);
  if (v <= 0 || v >= tok::kParameterCount) return '@';
  return static_cast<char>('A' + v - 1);
}

// Collects the steps of a trajectory (parameter and point) for its table.
class StepCollector : public TPolylineSink {
 public:
  std::vector<std::pair<long double, TPoint3D>> steps;
  void MoveTo(const TPoint2D&) override {}
  void LineTo(const TPoint2D&) override {}
  void StepPoint(long double t, const TPoint3D& p) override {
    if (steps.size() < TPlotWin::kMaxTableLines) steps.emplace_back(t, p);
  }
  bool Cancelled() override { return steps.size() >= TPlotWin::kMaxTableLines; }
};

}  // namespace

void FillLetterList(plat::Dialog& d, int id, int selection) {
  d.ListClear(id);
  for (char c = 'A'; c <= 'W'; ++c) d.ListAdd(id, std::string(1, c));
  d.ListSetSel(id, selection >= 1 && selection <= 23 ? selection - 1 : -1);
}

std::string TPlotWin::GetCurrentValueLabel(int letter) const {
  std::string s = plat::res::String(345);
  const std::size_t x = s.find("x-");
  if (x != std::string::npos) s[x] = LetterChar(letter);
  return s;
}

void TPlotWin::ShowEquationText(int i, int k, plat::Dialog& d, int id) const {
  if (!IsValidIndex(i) || k < 0 || k >= kFormulaSlots) return;
  d.SetItemText(id, Equation(i).formulaText[static_cast<std::size_t>(k)]);
}

void TPlotWin::SetItemWidth(int i, int width) {
  if (!IsValidIndex(i)) return;
  Equation(i).penWidth = static_cast<std::int16_t>(std::clamp(width, 0, 100));
  InvalidatePlot();
}

void TPlotWin::SetItemColour(int i, int colour) {
  if (!IsValidIndex(i)) return;
  Equation(i).penColour = static_cast<std::uint16_t>(CheckColourIndex(colour));
  InvalidatePlot();
}

int TPlotWin::GetOverlayMask() const {
  int mask = 0;
  for (std::size_t k = 0; k < overlayFlags.size(); ++k)
    if (overlayFlags[k]) mask |= 1 << k;
  return mask;
}

void TPlotWin::SetOverlayMask(int mask) {
  firstOverlayRule = 0;
  for (std::size_t k = 0; k < overlayFlags.size(); ++k) {
    overlayFlags[k] = (mask >> k) & 1 ? 1 : 0;
    if (k < 6 && overlayFlags[k] && firstOverlayRule == 0) firstOverlayRule = static_cast<std::int16_t>(k + 1);
  }
}

void TPlotWin::AppendValueLine(std::string& buffer, int code, int width, int decimals, const TPoint3D& p) const {
  buffer += FormatNumber(p.x, width, decimals);
  buffer += ' ';
  buffer += FormatNumber(p.y, width, decimals);
  if (dimension == 3) {
    buffer += ' ';
    buffer += FormatNumber(p.z, width, decimals);
  }
  buffer += "\r\n";
}

std::string TPlotWin::FormatValueReport(const TEquationItem& item, int kind, int decimals) const {
  std::string line;
  AppendValueLine(line, 0, 0, decimals, ItemPointValues(kind, item.start));
  line.resize(line.size() - 2);  // a list line has no line end
  return line;
}

void TPlotWin::DrawEquationItem(std::string& buffer, int i, TEquationItem& item, int width, int decimals,
                                std::string_view separator) {
  if (!IsValidIndex(i)) return;
  const int kind = Equation(i).kind;
  const bool space = kind == kKindOde3D || kind == kKindSequence3D;
  const bool separated = width <= 0;
  if (kind == kKindSequence || kind == kKindSequence3D) {
    const long count = std::min<long>(SequenceTermCount(item), kMaxTableLines - 1);
    long n = 0;
    for (const TPoint3D& p : IterateSequenceItem(i, item, count)) {
      // The index is a whole number.
      std::string index = std::to_string(n++);
      if (!separated && index.size() < static_cast<std::size_t>(width))
        index.insert(0, static_cast<std::size_t>(width) - index.size(), ' ');
      buffer += index;
      const long double cells[3] = {p.x, p.y, p.z};
      for (int k = 0; k < (space ? 3 : 2); ++k) {
        if (separated) buffer += separator;
        buffer += FormatTableCell(cells[k], separated ? 0 : width, decimals);
      }
      buffer += "\r\n";
    }
    return;
  }
  if (kind == kKindOdeDyDx) {
    std::vector<TPoint2D> points;
    if (CollectDyDxSteps(i, item, points)) {
      for (std::size_t n = 0; n < points.size() && n < static_cast<std::size_t>(kMaxTableLines); ++n) {
        buffer += FormatTableCell(points[n].x, separated ? 0 : width, decimals);
        if (separated) buffer += separator;
        buffer += FormatTableCell(points[n].y, separated ? 0 : width, decimals);
        buffer += "\r\n";
      }
      return;
    }
  }
  StepCollector collector;
  bool finished = false;
  RunTrajectory(i, item, &collector, finished);
  for (const auto& [t, step] : collector.steps) {
    // On logarithmic axes a dy/dt item steps the exponents; the table lists
    // the values.
    const TPoint3D p = ItemPointValues(kind, step);
    const long double cells[4] = {t, p.x, p.y, p.z};
    // A dy/dx solution has no parameter column.
    const long double* first = kind == kKindOdeDyDx ? cells + 1 : cells;
    const int count = kind == kKindOdeDyDx ? 2 : (space ? 4 : 3);
    for (int k = 0; k < count; ++k) {
      if (separated && k > 0) buffer += separator;
      buffer += FormatTableCell(first[k], separated ? 0 : width, decimals);
    }
    buffer += "\r\n";
  }
}

}  // namespace kv
