// The Lagrange editor of the 2D window: "Poly&nom ..." creates a polynomial
// through three nodes and runs the menu "LAGMENU" in mouse mode 126, where
// the left button drags a node and the right button adds, moves or deletes
// one; the coefficients follow every change.  "&Übernehmen" freezes the
// polynomial into an ordinary graph.
#include <string>

#include "entry/edit_coor_dialog.h"
#include "plot2d/model/lagrange.h"
#include "plot2d/plot_c_win.h"
#include "platform/resources.h"
#include "plotcore/model/compile_equation.h"
#include "shell/text_win.h"
#include "graphics/mouse_drag.h"
#include "formula/calculus.h"

namespace kv {

namespace {
constexpr int kStrEditingPolynomial = 203;  // "Polynom bearbeiten"
constexpr int kStrCoefficients = 206;       // "Koeffizienten"
constexpr char kLagrangeMenu[] = "LAGMENU";
}  // namespace

TEquation* TPlotCWin::EditedPolynomial() {
  if (!IsValidIndex(lagrangeEditIndex)) return nullptr;
  TEquation& e = Equation(lagrangeEditIndex);
  return IsLagrangePolynomial(e) ? &e : nullptr;
}

void TPlotCWin::PrepareLagrangeTrees(int i) {
  TEquation& e = Equation(i);
  kv::InitPolynomialTree(e);
  kv::BuildDerivativeTrees(e);
  kv::BuildCurvatureTrees(e);
}

void TPlotCWin::UpdateCaption(bool saving, const char* extra) {
  if (!saving && lagrangeEditIndex >= 0) {
    plat::Window::SetCaption(plat::res::String(kStrEditingPolynomial));
    return;
  }
  TPlotBWin::UpdateCaption(saving, extra);
}

// ---- commands ----

void TPlotCWin::CmNewLagrange() {
  if (!CanAddEquation(true)) return;
  const int i = AppendEquation(kKindLagrange, World.xmin, World.xmax, {});
  if (i < 0) return;
  ++lagrangeCounter;
  ++entryCounter;
  TEquation& e = Equation(i);
  InitEquationBuffers(e);
  e.arrowMode = 2;
  e.auxValue3 = lagrangeCounter;
  e.fieldRows = 2;
  e.kindFlag = 1;
  const long double cx = Centre.x;
  const long double cy = Centre.y;
  e.samples[0] = {cx - 0.7L * HalfX, cy, 0};
  e.samples[1] = {cx, cy - 0.6L * HalfY, 0};
  e.samples[2] = {cx + 0.7L * HalfX, cy, 0};
  e.formulaText[1] = DescribeEquation(i, 255);
  SolveLagrangeNodes(i);
  CompileEquation(i);
  AddEquationLabel();
  SetInventoryEditing(false);
  SwapLagrangeMenu(i);
  DrawEquationBuffered(i);
  EquationsChanged(true);
  SetForeground();
}

void TPlotCWin::SwapLagrangeMenu(int i) {
  if (!IsValidIndex(i)) return;
  PrepareLagrangeTrees(i);
  MouseMode = kCmMouseLagrange;
  lagrangeEditIndex = static_cast<std::int16_t>(i);
  if (MenuName() != kLagrangeMenu) menuBeforeLagrange_ = MenuName();
  AssignMenu(kLagrangeMenu);
  UpdateCaption(false);
  DrawMenuBar();
  UpdateMenuChecks(false);
  drawn = 0;
  Invalidate(false);
}

void TPlotCWin::CmLagrangeAccept() {
  const int i = lagrangeEditIndex;
  MouseMode = kCmMouseCoordinates;
  if (TEquation* e = EditedPolynomial()) {
    TExprNode* tree = e->trees[1].get();
    BindTableValues(i, tree);
    if (tree) Simplify(tree);
    kv::BuildDerivativeTrees(*e);
    kv::BuildCurvatureTrees(*e);
    RebuildDerivedEquations(i);
  }
  lagrangeEditIndex = -1;
  SetInventoryEditing(true);
  RestoreWindowMenu(menuBeforeLagrange_.empty() ? std::string("PLOT2MENU") : menuBeforeLagrange_);
  UpdateCaption(false);
  DrawMenuBar();
  UpdateMenuChecks(false);
  BufferValid[1] = 0;
  InvalidatePlot();
  EquationsChanged(true);
  SetForeground();
}

void TPlotCWin::CmLagrangeAttributes() {
  const int i = lagrangeEditIndex;
  if (!EditedPolynomial()) return;
  int mask = 0;
  if (RunEquationDialog(i, mask) != plat::IDOK || mask == 0) return;
  // A recompiled polynomial is bound to numbers; the editor keeps letters.
  if (mask & (kChangeRecompute | kChangeOptions)) {
    CompileEquation(i);
    PrepareLagrangeTrees(i);
  }
  UpdateEquationLabel(i);
  Modified = 1;
  BufferValid[1] = 0;
  InvalidatePlot();
}

void TPlotCWin::CmLagrangeCoordinates() {
  showLagrangeCoordinates = showLagrangeCoordinates ? 0 : 1;
  UpdateMenuChecks(false);
}

void TPlotCWin::CmLagrangeShowEquation() {
  const TEquation* e = EditedPolynomial();
  if (!e || !TextWindow) return;
  TextWindow->SetText(LagrangeCoefficientText(*e));
  TextWindow->FileData.FileName = "lagrange" + std::to_string(e->auxValue3) + ".txt";
  TextWindow->SetTitle(plat::res::String(kStrCoefficients) + " [" + DescribeEquation(lagrangeEditIndex, 255) + "]");
  TextWindow->ShowWindow();
  TextWindow->ClearModified();
}

// ---- nodes and coefficients ----

void TPlotCWin::SolveLagrangeNodes(int i) {
  // Nodes that share an x keep the previous polynomial.
  if (IsValidIndex(i)) kv::SolveLagrangeNodes(Equation(i));
}

void TPlotCWin::RebuildInterpolation(int i) {
  if (!IsValidIndex(i) || !IsLagrangePolynomial(Equation(i))) return;
  TEquation& e = Equation(i);
  kv::SolveLagrangeNodes(e);
  kv::InitPolynomialTree(e);
  BindTableValues(i, e.trees[1].get());
  kv::BuildDerivativeTrees(e);
  kv::BuildCurvatureTrees(e);
}

int TPlotCWin::FindLagrangeNode(const TPoint2D& p) const {
  if (!IsValidIndex(lagrangeEditIndex)) return -1;
  return kv::FindLagrangeNode(Equation(lagrangeEditIndex), p, UnitsPerPixelX, UnitsPerPixelY);
}

void TPlotCWin::RepaintLagrange() {
  BufferValid[1] = 0;
  if (!IsCreated()) return;
  plat::ClientDC dc(*this);
  PaintBuffered(dc);
}

void TPlotCWin::DragLagrangeNode(plat::Point start) {
  TEquation* e = EditedPolynomial();
  if (!e) return;
  const int k = FindLagrangeNode(PixelToWorldPoint(start));
  if (k < 0) return;
  SetCapture();
  plat::Point last = start;
  for (;;) {
    plat::MouseEvent m;
    NextDragEvent(*this, m, last);
    last = {m.x, m.y};
    if (m.type == plat::MouseEvent::Move || IsButtonRelease(m)) {
      const TPoint2D w = PixelToWorldPoint(last);
      e->samples[static_cast<std::size_t>(k)] = {w.x, w.y, 0};
      SolveLagrangeNodes(lagrangeEditIndex);
      RepaintLagrange();
    }
    if (IsButtonRelease(m)) break;
  }
  ReleaseCapture();
  Modified = 1;
}

void TPlotCWin::EditLagrangeNode(plat::Point pixel) {
  TEquation* e = EditedPolynomial();
  if (!e) return;
  TPoint2D p = PixelToWorldPoint(pixel);
  const int k = FindLagrangeNode(p);
  if (k < 0 && LagrangeLastNode(*e) >= kMaxLagrangeNodes - 1) {
    ShowMessageById(4);  // "kein Platz mehr"
    return;
  }
  if (k >= 0) p = {e->samples[static_cast<std::size_t>(k)].x, e->samples[static_cast<std::size_t>(k)].y};
  TNodeAction action = k < 0 ? TNodeAction::Set : TNodeAction::Delete;
  if (showLagrangeCoordinates) {
    TEditCoorDlg dialog(*this, "LAGPT", p, true, false);
    const int result = dialog.Execute();
    if (result == plat::IDCANCEL) return;
    action = result == plat::IDOK ? TNodeAction::Set : TNodeAction::Delete;
  }
  const int code = kv::EditLagrangeNode(*e, k, action, p);
  if (code != 0) {
    ShowMessageById(code);
    return;
  }
  SolveLagrangeNodes(lagrangeEditIndex);
  Modified = 1;
  RepaintLagrange();
}

}  // namespace kv
