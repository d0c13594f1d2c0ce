// The text of the results window: one line per result an analysis tool
// attached to an equation.  No windows here.
#pragma once

#include <list>
#include <string>

#include "plotcore/model/equation.h"

namespace kv {

// "text = value", or "text = (a,b,...)" for a result of several values,
// each line ended by CR LF, numbers in the given width and decimals; "" for
// no results.  A count outside 1..4 is taken as the nearest of them.
std::string ResultLines(const std::list<TResultPoint>& results, int width, int decimals);

}  // namespace kv
