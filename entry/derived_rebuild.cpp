// The forward pass that rebuilds derived entries after a change; the window
// kinds supply what each derivation code rebuilds.
#include <vector>

#include "entry/plot1_win.h"

namespace kv {

void TPlot1Win::RebuildDerivedPass(int changed, const std::function<void(int)>& rebuild) {
  const int count = equationCount + 1;
  if (count <= 0) {
    MarkUsedVariables();
    return;
  }
  std::vector<std::uint8_t> marks(static_cast<std::size_t>(count), 0);
  auto marked = [&](int s) { return s >= 0 && s < count && marks[static_cast<std::size_t>(s)] != 0; };
  for (int i = 0; i < count; ++i) marks[static_cast<std::size_t>(i)] = (changed < 0 || i == changed) ? 1 : 0;
  for (int i = changed < 0 ? 0 : changed; i < count; ++i) {
    const TEquation& e = Equation(i);
    if (e.derivation <= 0) continue;
    const bool fromSource = marked(e.source1) || (SecondSourceIsIndex(e) && marked(e.source2));
    if (!marked(i) && !fromSource) continue;
    marks[static_cast<std::size_t>(i)] = 1;
    rebuild(i);
    UpdateEquationLabel(i);
  }
  MarkUsedVariables();
}

}  // namespace kv
