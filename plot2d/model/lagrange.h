// The interpolating polynomial of the Lagrange editor: its nodes live in the
// entry's point buffer (x, y, 0), the index of the last node in `arrowMode`
// and the coefficients c0..c8 of 1, x, ..., x^8 in the value buffer
// (`cellDepths`).  The editor keeps at most nine nodes and at least two.
#pragma once

#include <string>

#include "core/vector2d.h"
#include "plotcore/model/equation.h"

namespace kv {

inline constexpr int kMaxLagrangeNodes = 9;
inline constexpr int kMinLagrangeNodes = 2;

// The coefficients c[0..count-1] of the polynomial of degree count - 1
// through the nodes (count >= 1), in powers of x.  The system is solved
// directly (Newton's divided differences expanded into powers), so the
// polynomial passes through every node as closely as the arithmetic
// allows.  0, or 14 (`c` unchanged) when two nodes share an x or the
// result is not finite.
int SolveInterpolation(const TPoint2D* nodes, int count, long double* c);

// The last node's index of entry e, limited to 0..8.
int LagrangeLastNode(const TEquation& e);
// The nodes of entry e as plane points.
int LagrangeNodes(const TEquation& e, TPoint2D nodes[kMaxLagrangeNodes]);
// Recomputes the coefficients from the nodes (unused ones 0); 0, or 14
// when the nodes do not allow it (the previous coefficients stay).
int SolveLagrangeNodes(TEquation& e);
// The first node within four pixels of p on both axes (unitX, unitY: the
// world size of a pixel); -1 when none.
int FindLagrangeNode(const TEquation& e, const TPoint2D& p, long double unitX, long double unitY);

// What a right click does to the nodes.
enum class TNodeAction { Set, Delete };
// Node k (-1: none under the click) set to p, a new node p when k < 0, or
// node k deleted.  0, or the message code: 4 a tenth node, 10 nothing to
// delete, 26 only two nodes left.  The coefficients are not recomputed.
int EditLagrangeNode(TEquation& e, int k, TNodeAction action, const TPoint2D& p);

// The coefficient list: one line "x^i :  c_i" (width 18, 16 decimals) per
// node, CR LF after each.
std::string LagrangeCoefficientText(const TEquation& e);

}  // namespace kv
