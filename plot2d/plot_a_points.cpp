// The calculus layer's window slots and its services to its tools: which
// entries are drawn, storing a found point as a
// point entry, refining a trajectory's crossing with an implicit curve, and
// the stop poll of their searches.
#include <string>

#include "core/number_text.h"
#include "platform/app.h"
#include "plot2d/plot_a_win.h"

namespace kv {

namespace {

// Width 15, 14 decimals, without the padding.
std::string PointText(long double v) {
  std::string s = FormatNumber(v, 15, 14);
  const auto first = s.find_first_not_of(' ');
  return first == std::string::npos ? s : s.substr(first);
}

}  // namespace

bool TPlotAWin::IsEquationDrawable(int i) {
  if (!IsValidIndex(i)) return false;
  const TEquation& e = Equation(i);
  return e.kind >= 201 && e.kind <= 299 && e.subValue >= 0;
}

int TPlotAWin::AddPointItem(long double x, long double y) {
  if (equationCount >= equationCapacity) return -1;
  const int i = AppendEquation(kKindPoint, 0, 1, PointText(x), PointText(y));
  if (i < 0) return -1;
  Equation(i).penWidth = MarkerSizeCode;
  // A tool's point takes the colour of the curve chosen in its dialog.
  Equation(i).penColour = static_cast<std::uint16_t>(drawingColour);
  ++entryCounter;
  CompileEquation(i);
  AddEquationLabel();
  EquationsChanged(true);
  DrawEquationBuffered(i);
  return i;
}

CrossingResult TPlotAWin::RefineCurveCrossing(int path, TEquationItem& item, int curve, TPoint3D& end) {
  if (!IsValidIndex(path) || !IsValidIndex(curve)) return kCrossingFailed;
  return kv::RefineCurveCrossing(Equation(path), item, Equation(curve), Engine(), TrajectoryView(), end);
}

bool TPlotAWin::ToolSearchStopped() {
  if (quietDrawing || !IsCreated()) return false;
  const int key = plat::PollKey(*this);
  return key == 'A';
}

}  // namespace kv
