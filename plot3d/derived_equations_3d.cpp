// Rebuilding the derived entries of the 3D window: the combinations of two
// entries follow their operands when these change or a file is read.
#include "entry/model/combinations.h"
#include "plot3d/plot_q_win.h"

namespace kv {

void TPlotQWin::RebuildDerivedEquations(int i) {
  RebuildDerivedPass(i, [this](int k) {
    if (IsCombinationCode(Equation(k).derivation)) RebuildCombinedEquation(k);
  });
}

}  // namespace kv
