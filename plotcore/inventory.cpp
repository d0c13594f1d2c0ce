// The window's inventory of equations: room, resizing, appending and
// deleting entries, and the lookups over it.
#include <algorithm>
#include <new>

#include "plotcore/plot_win.h"
#include "core/constants.h"

namespace kv {

namespace {

// The largest capacity an i16 last index can address.
constexpr int kMaxCapacity = 32766;

}  // namespace

void TPlotWin::EnsureInventoryArrays() {
  if (BorrowsInventory()) return;
  const auto n = static_cast<std::size_t>(equationCapacity) + 1;
  if (inventory_->equations.size() != n) inventory_->equations.resize(n);
  inventory_->names.resize(n);
  inventory_->flags.resize(n);
  inventory_->serials.resize(n);
  inventory_->sightLines.resize(n);
}

bool TPlotWin::CanAddEquation(bool showMessage) {
  if (equationCount < equationCapacity) return true;
  if (showMessage) ShowMessageById(4);  // "kein Platz mehr"
  return false;
}

void TPlotWin::BorrowInventory(TPlotWin* owner) {
  if (owner && owner != this) {
    inventory_ = owner->inventory_;
    equationCount = owner->equationCount;
    equationCapacity = owner->equationCapacity;
    return;
  }
  inventory_ = &ownInventory_;
  equationCount = -1;
  equationCapacity = static_cast<std::int16_t>(ownInventory_.equations.size() - 1);
  currentEquation = -1;
  selectedMapping = -1;
}

bool TPlotWin::ResizeInventory(int newCapacity, bool copy) {
  // Only the owner of an inventory resizes it.
  if (BorrowsInventory()) return false;
  if (newCapacity < 0 || newCapacity > kMaxCapacity) return false;
  const auto n = static_cast<std::size_t>(newCapacity) + 1;
  try {
    std::vector<TEquation> records(n);
    std::vector<std::string> names(n);
    std::vector<std::uint8_t> flags(n, 0);
    std::vector<std::uint32_t> serials(n, 0);
    std::vector<TreePtr> sight(n);
    int kept = -1;
    if (copy) {
      kept = std::min<int>(equationCount, newCapacity);
      for (int i = 0; i <= kept; ++i) {
        const auto k = static_cast<std::size_t>(i);
        records[k] = std::move(inventory_->equations[k]);
        names[k] = std::move(inventory_->names[k]);
        flags[k] = inventory_->flags[k];
        serials[k] = k < inventory_->serials.size() ? inventory_->serials[k] : 0;
        sight[k] = std::move(inventory_->sightLines[k]);
      }
    }
    inventory_->equations = std::move(records);
    inventory_->names = std::move(names);
    inventory_->flags = std::move(flags);
    inventory_->serials = std::move(serials);
    inventory_->sightLines = std::move(sight);
    const int oldCount = equationCount;
    equationCount = static_cast<std::int16_t>(kept);
    equationCapacity = static_cast<std::int16_t>(newCapacity);
    // Whatever referred to dropped entries forgets them.
    for (int i = oldCount; i > kept; --i) FixIndicesAfterDelete(i);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

std::uint32_t TPlotWin::EquationSerial(int i) {
  std::vector<std::uint32_t>& serials = inventory_->serials;
  if (!IsValidIndex(i) || i >= static_cast<int>(serials.size())) return 0;
  std::uint32_t& s = serials[static_cast<std::size_t>(i)];
  if (s == 0) s = inventory_->nextSerial++;
  return s;
}

int TPlotWin::FindEquationBySerial(std::uint32_t serial) const {
  const std::vector<std::uint32_t>& serials = inventory_->serials;
  if (serial == 0) return -1;
  for (int i = 0; i <= equationCount && i < static_cast<int>(serials.size()); ++i)
    if (serials[static_cast<std::size_t>(i)] == serial) return i;
  return -1;
}

void TPlotWin::ExchangeEquationSerials(int i, int j) {
  std::vector<std::uint32_t>& serials = inventory_->serials;
  const int n = static_cast<int>(serials.size());
  if (!IsValidIndex(i) || !IsValidIndex(j) || i >= n || j >= n) return;
  std::swap(serials[static_cast<std::size_t>(i)], serials[static_cast<std::size_t>(j)]);
}

void TPlotWin::ForgetEquationSerial(int i) {
  std::vector<std::uint32_t>& serials = inventory_->serials;
  if (i >= 0 && i < static_cast<int>(serials.size())) serials[static_cast<std::size_t>(i)] = 0;
}

int TPlotWin::CountEquationsOfKind(int kind) const {
  int n = 0;
  for (int i = 0; i <= equationCount; ++i)
    if (Equation(i).kind == kind) ++n;
  return n;
}

int TPlotWin::AppendEquation(int kind, std::initializer_list<std::string_view> texts) {
  std::array<std::string, kFormulaSlots> t;
  std::size_t k = 0;
  for (std::string_view s : texts) {
    if (k == t.size()) break;
    t[k++] = std::string(s);
  }
  return AppendEquationTexts(kind, t);
}

int TPlotWin::AppendEquationTexts(int kind, const std::array<std::string, kFormulaSlots>& texts) {
  // An append beyond the capacity would write past the records.
  if (!CanAddEquation(false)) return -1;
  const int i = ++equationCount;
  TEquation& e = Equation(i);
  InitEquation(e, kind, nextColour, defaultDensity);
  for (std::size_t k = 0; k < texts.size(); ++k) e.formulaText[k] = texts[k].substr(0, kFormulaTextSize - 1);
  e.penWidth = defaultPenWidth;
  switch (e.kind) {
    case kKindPolar:
    case kKindParametric:
    case kKindRoulette:
    case kKindSpaceCurve:
      e.lowerBound = {0, 0};
      e.upperBound = {2 * Pi, 2 * Pi};
      break;
    case kKindExplicit:
      e.lowerBound = {World.xmin, 0};
      e.upperBound = {World.xmax, 1};
      break;
    default:
      break;
  }
  EquationName(i).clear();
  EquationFlag(i) = 0;
  InitEquationBuffers(e);
  nextColour = static_cast<std::int16_t>(nextColour >= 60 || nextColour < 2 ? 2 : nextColour + 1);
  CompileEquation(i);
  currentEquation = static_cast<std::int16_t>(i);
  return i;
}

void TPlotWin::FixIndicesAfterDelete(int i) {
  auto follow = [i](std::int16_t& index) {
    if (index == i) {
      index = -1;
    } else if (index > i) {
      --index;
    }
  };
  for (int k = 0; k <= equationCount; ++k) {
    TEquation& e = Equation(k);
    if (e.derivation > 0) {
      follow(e.source1);
      follow(e.source2);
    }
  }
  for (auto it = shadings.begin(); it != shadings.end();) {
    const bool usesIt = it->graphA == i || (it->graphB >= 0 && it->graphB == i);
    if (usesIt) {
      it = shadings.erase(it);
      continue;
    }
    if (it->graphA > i) --it->graphA;
    if (it->graphB > i) --it->graphB;
    ++it;
  }
  for (auto it = equationLabels.begin(); it != equationLabels.end();) {
    if (it->index == i) {
      it = equationLabels.erase(it);
      continue;
    }
    if (it->index > i) --it->index;
    ++it;
  }
  if (currentEquation >= equationCount + 1 || currentEquation == i) {
    currentEquation = static_cast<std::int16_t>(equationCount);
  } else if (currentEquation > i) {
    --currentEquation;
  }
  follow(selectedMapping);
  follow(View3D.OdeIndex);
  follow(View3D.SequenceIndex);
}

void TPlotWin::DeleteEquation(int i) {
  if (!IsValidIndex(i) || BorrowsInventory()) return;
  const auto k = static_cast<std::size_t>(i);
  const auto last = static_cast<std::size_t>(equationCount);
  for (std::size_t j = k; j < last; ++j) {
    inventory_->equations[j] = std::move(inventory_->equations[j + 1]);
    inventory_->names[j] = std::move(inventory_->names[j + 1]);
    inventory_->flags[j] = inventory_->flags[j + 1];
    inventory_->serials[j] = inventory_->serials[j + 1];
    inventory_->sightLines[j] = std::move(inventory_->sightLines[j + 1]);
  }
  inventory_->equations[last] = TEquation{};
  inventory_->names[last].clear();
  inventory_->flags[last] = 0;
  inventory_->serials[last] = 0;
  inventory_->sightLines[last].reset();
  --equationCount;
  FixIndicesAfterDelete(i);
  MarkUsedVariables();
}

void TPlotWin::ClearInventory() {
  // A borrowed inventory is only forgotten, never freed.
  for (int i = 0; i <= equationCount && !BorrowsInventory(); ++i) {
    FreeEquation(Equation(i));
    EquationName(i).clear();
    EquationFlag(i) = 0;
  }
  if (!BorrowsInventory()) {
    for (TreePtr& t : inventory_->sightLines) t.reset();
    std::fill(inventory_->serials.begin(), inventory_->serials.end(), 0);
  }
  equationCount = -1;
  currentEquation = -1;
  shadings.clear();
  equationLabels.clear();
  selectedMapping = -1;
  View3D.OdeIndex = -1;
  View3D.SequenceIndex = -1;
  usedLetters.fill(0);
}

bool TPlotWin::AddResultPoint(int i, int code, const long double* values, int count, const std::string& text) {
  if (!IsValidIndex(i) || !values) return false;
  count = std::clamp(count, 1, 4);
  TEquation& e = Equation(i);
  for (const TResultPoint& r : e.results) {
    if (r.code != code || r.count != count) continue;
    if (std::equal(values, values + count, r.values.begin())) return false;
  }
  TResultPoint p;
  p.code = static_cast<std::int16_t>(code);
  p.count = static_cast<std::int16_t>(count);
  std::copy(values, values + count, p.values.begin());
  p.text = text;
  e.results.push_front(std::move(p));
  NotifyDataWindow();
  return true;
}

}  // namespace kv
