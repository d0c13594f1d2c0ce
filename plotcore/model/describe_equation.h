// The one-line German description of an inventory entry, as the inventory
// list, the combo lists, captions and the results window show it.
#pragma once

#include <string>

#include "plotcore/model/equation.h"

namespace kv {

// The entry by its kind, never longer than `limit` characters.
std::string DescribeEquationByKind(const TEquation& e, int limit);
// The same; a derived entry (derivative, tangent, combination, ...) is told
// by its tool and its sources.
std::string DescribeEquation(const TEquation& e, int limit);
// The curve a surface of revolution (kind 307) turns: its texts read as an
// entry of the curve's kind (kept in the surface's sub-value).
std::string DescribeRevolvedCurve(const TEquation& surface, int limit);

}  // namespace kv
