#include "entry/table_win.h"

#include <algorithm>
#include <iterator>

#include "entry/plot1_win.h"
#include "platform/resources.h"
#include "core/binary_stream.h"
#include "shell/generic_dialogs.h"
#include "shell/text_helpers.h"

namespace kv {

namespace {

enum : int {
  kStrUndefined = 85,
  kStrTables = 136,      // "Wertetabelle"
  kStrNoTable = 137,     // "keine Tabelle für diesen Eintrag"
  kStrTooMany = 154,     // "zu viele Einträge"
  kStrModifiedEuler = 180,
  kStrEuler = 181,
  kStrRungeKutta = 200,
  kStrBody = 217,
  kStrCentre = 218,
  kStrMass = 220,
  kStrGravitation = 221,
  kStrDuration = 222,
  kStrComputations = 223,
  kStrPoints = 279,
  kStrSection = 342,
};

// The format dialog offers decimals and the choice of field width or tabs.
constexpr int kTableFormatKind = 19;

TTableTexts TableTexts() {
  TTableTexts t;
  t.undefined = plat::res::String(kStrUndefined);
  t.tooMany = plat::res::String(kStrTooMany);
  t.body = plat::res::String(kStrBody);
  t.centre = plat::res::String(kStrCentre);
  t.mass = plat::res::String(kStrMass);
  t.gravitation = plat::res::String(kStrGravitation);
  t.duration = plat::res::String(kStrDuration);
  t.points = plat::res::String(kStrPoints);
  t.computations = plat::res::String(kStrComputations);
  return t;
}

// The item at position k of the list, or none.
TEquationItem* ItemAt(TEquation& e, int k) {
  if (k < 0 || k >= static_cast<int>(e.items.size())) return nullptr;
  return &*std::next(e.items.begin(), k);
}

bool HasParameters(int kind) {
  return kind == kKindExplicit || kind == kKindPolar || kind == kKindParametric || kind == kKindSpaceCurve ||
         kind == kKindSegment3D;
}

}  // namespace

bool IsItemTableKind(int kind) {
  return kind == kKindOde || kind == kKindOdeDyDx || kind == kKindSequence || kind == kKindOde3D ||
         kind == kKindSequence3D || kind == kKindIntersection;
}

TTableWin::TTableWin(TPlot1Win* plot)
    : TTextWin(plot, "table", "table.txt", "", kTableFontSlot), plot_(plot) {
  AssignMenu("TABLEMENU");
  // The name the save dialog offers.
  FileData.FileName = plat::res::String(kStrTables) + ".txt";
  FormatKind = kTableFormatKind;
  Decimals = plot->Decimals;
  width_ = Decimals + 5;
}

TTableWin::~TTableWin() = default;

const plat::CommandTable& TTableWin::Commands() const {
  static const auto table = plat::CommandTable::Build<TTableWin>(
      &TTextWin::Commands(), {
                                 {kCmTableNextEntry, &TTableWin::CmNextEntry},
                                 {kCmTableParameters, &TTableWin::CmParameters, &TTableWin::CeParameters},
                                 {kCmTableBack, &TTableWin::CmBack, &TTableWin::CeBack},
                                 {kCmTableJump, &TTableWin::CmJump, &TTableWin::CeJump},
                                 {kCmTableForward, &TTableWin::CmForward, &TTableWin::CeForward},
                             });
  return table;
}

void TTableWin::SetupWindow() {
  TTextWin::SetupWindow();
  TakeTableFont();
}

void TTableWin::TakeTableFont() {
  const auto k = static_cast<std::size_t>(kTableFontSlot);
  FontSlots[k] = plot_->FontSlots[k];
  FontPointSizes[k] = plot_->FontPointSizes[k];
  ApplyFont();
}

void TTableWin::UpdateFieldWidth() {
  TTextWin::UpdateFieldWidth();
  width_ = Decimals + 5;
  FillTable();
}

TTableLayout TTableWin::Layout() const {
  TTableLayout layout;
  layout.decimals = Decimals;
  layout.width = width_;
  layout.separated = UseTabs != 0;
  layout.separator = TabSeparator;
  return layout;
}

// ---- filling ----

void TTableWin::SetEntry(int i, int item) {
  equation_ = i;
  item_ = item;
}

void TTableWin::FillTable() {
  table_.clear();
  const TTableTexts texts = TableTexts();
  const TTableLayout layout = Layout();
  const bool valid = plot_->IsValidIndex(equation_);
  TEquation* e = valid ? &plot_->Equation(equation_) : nullptr;
  const int kind = e ? e->kind : 0;
  const bool itemKind = IsItemTableKind(kind);
  TEquationItem* item = e && itemKind ? ItemAt(*e, item_) : nullptr;
  bool tabulated = false;
  if (!e) {
  } else if (kind == kKindPlanets) {
    AppendPlanetSheet(table_, *e, Decimals, texts);
    tabulated = true;
  } else if (itemKind) {
    if (item) {
      table_ = ColumnHeads(kind, layout);
      plot_->DrawEquationItem(table_, equation_, *item, layout.separated ? -1 : width_, Decimals, TabSeparator);
      tabulated = true;
    }
  } else if (plot_->dimension != 3) {
    if (kind == kKindExplicit && e->notVertical) {
      AppendSequenceTable(table_, plot_->IterateSequence(equation_), e->termCount, layout, texts);
      tabulated = true;
    } else if (kind == kKindExplicit || kind == kKindPolar || kind == kKindParametric) {
      table_ = ColumnHeads(kind, layout);
      AppendFunctionTable(table_, *e, plot_->Engine(), layout, texts);
      tabulated = true;
    }
  } else if (kind == kKindSurface || kind == kKindCylinderSurface) {
    AppendGridTable(table_, *e, layout, texts);
    tabulated = true;
  } else if (kind == kKindSpaceCurve || kind == kKindSegment3D) {
    table_ = ColumnHeads(kind, layout);
    AppendFunctionTable(table_, *e, plot_->Engine(), layout, texts);
    tabulated = true;
  }
  if (!tabulated) table_ = plat::res::String(kStrNoTable);
  starts_ = SectionStarts(table_);
  current_ = 0;
  ShowSection();
  UpdateTitle();
  if (IsCreated()) {
    EnableMenuBarEntry(kSectionMenuPosition, SectionBreaks() > 0);
    DrawMenuBar();
  }
}

std::string TTableWin::SectionText(int k) const {
  if (k < 0 || k > SectionBreaks()) return {};
  const std::size_t from = starts_[static_cast<std::size_t>(k)];
  const std::size_t to = k < SectionBreaks() ? starts_[static_cast<std::size_t>(k) + 1] : table_.size();
  return table_.substr(from, to - from);
}

void TTableWin::ShowSection() {
  TextBuffer = SectionText(current_);
  TTextWin::ShowBuffer();
}

void TTableWin::UpdateTitle() {
  std::string title = plat::res::String(kStrTables);
  if (plot_->IsValidIndex(equation_)) {
    const TEquation& e = plot_->Equation(equation_);
    title += " [" + plot_->DescribeEquation(equation_, 200);
    const TEquationItem* item = e.kind == kKindOdeDyDx ? ItemAt(const_cast<TEquation&>(e), item_) : nullptr;
    if (item) {
      const int names[] = {kStrEuler, kStrModifiedEuler, kStrRungeKutta};
      title += "; " + plat::res::String(names[std::min<int>(item->method, 2)]);
    }
    title += "]";
  }
  if (SectionBreaks() > 0)
    title += " [" + plat::res::String(kStrSection) + " " + std::to_string(current_ + 1) + "/" +
             std::to_string(SectionBreaks() + 1) + "]";
  SetTitle(title);
}

bool TTableWin::WriteFile() {
  std::string text = table_;
  if (TextModified()) {
    // What the user changed in the shown section replaces that section.
    const std::size_t from = starts_[static_cast<std::size_t>(current_)];
    const std::size_t to = current_ < SectionBreaks() ? starts_[static_cast<std::size_t>(current_) + 1] : table_.size();
    text.replace(from, to - from, GetText());
  }
  // The file is the table as it stands, to be read by other programs.
  // A failure is reported by Save (message 12).
  return WriteFileAtomically(FileData.FileName, std::vector<std::uint8_t>(text.begin(), text.end()));
}

// ---- commands ----

void TTableWin::CmNextEntry() {
  if (plot_->IsValidIndex(equation_)) {
    TEquation& e = plot_->Equation(equation_);
    if (IsItemTableKind(e.kind) && ItemAt(e, item_ + 1) && item_ >= 0) {
      ++item_;
      FillTable();
      return;
    }
  }
  const int count = plot_->equationCount + 1;
  equation_ = count > 0 ? (equation_ + 1) % count : -1;
  if (equation_ < 0) equation_ = 0;
  item_ = plot_->IsValidIndex(equation_) && IsItemTableKind(plot_->Equation(equation_).kind) &&
                  !plot_->Equation(equation_).items.empty()
              ? 0
              : -1;
  FillTable();
}

void TTableWin::CmParameters() {
  if (!plot_->IsValidIndex(equation_)) return;
  TEquation& e = plot_->Equation(equation_);
  std::string lo;
  std::string hi;
  plot_->FormatWindowNumber(e.rangeMin, lo);
  plot_->FormatWindowNumber(e.rangeMax, hi);
  std::string steps = std::to_string(e.density);
  TGenDlg dlg(this, "TABLELOHI", 30, &lo, &hi, &steps);
  if (dlg.Execute() != plat::IDOK) return;
  long double min = 0;
  long double max = 0;
  int code = plot_->TextToValue(lo, min);
  if (code == 0) code = plot_->TextToValue(hi, max);
  if (code != 0) {
    ShowMessageById(code);
    return;
  }
  const std::int32_t count = ParseInt(steps);
  if (max < min + 1e-16L || count < 1) {
    ShowMessageById(6);  // "widersprüchliche Daten"
    return;
  }
  // The step count is kept in a 16-bit field.
  if (count > 32767) {
    ShowMessageById(17);  // "jenseits der Grenzen"
    return;
  }
  e.rangeMin = min;
  e.rangeMax = max;
  e.density = static_cast<std::int16_t>(count);
  plot_->defaultDensity = static_cast<std::int16_t>(count);
  FillTable();
}

void TTableWin::CeParameters(plat::CommandEnabler& ce) {
  ce.Enable(plot_->IsValidIndex(equation_) && HasParameters(plot_->Equation(equation_).kind));
}

void TTableWin::CmBack() {
  if (current_ <= 0) return;
  --current_;
  ShowSection();
  UpdateTitle();
}

void TTableWin::CeBack(plat::CommandEnabler& ce) { ce.Enable(current_ > 0); }

void TTableWin::CmForward() {
  if (current_ >= SectionBreaks()) return;
  ++current_;
  ShowSection();
  UpdateTitle();
}

void TTableWin::CeForward(plat::CommandEnabler& ce) { ce.Enable(current_ < SectionBreaks()); }

void TTableWin::CmJump() {
  if (SectionBreaks() <= 0) return;
  std::string text = std::to_string(current_ + 1);
  const std::string prompt =
      plat::res::String(kStrSection) + " [1 ... " + std::to_string(SectionBreaks() + 1) + "]";
  TInpDlg dlg(this, plat::res::String(5), prompt, text, 12);
  if (dlg.Execute() != plat::IDOK) return;
  const std::int32_t n = ParseInt(text);
  if (n < 1 || n > SectionBreaks() + 1 || n == current_ + 1) return;
  current_ = n - 1;
  ShowSection();
  UpdateTitle();
}

void TTableWin::CeJump(plat::CommandEnabler& ce) { ce.Enable(SectionBreaks() > 0); }

}  // namespace kv
