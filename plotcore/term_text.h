// The text a term label shows: the values of up to three terms, each with
// its own decimals, optionally with the term itself ("Term") and headed by
// the fourth string as a name ("Name"):
//   "1.500"           one term shown
//   "a = 1.500"       one term, "Term" on
//   "P(1.000; 2.000)" two terms, "Name" on with the name "P"
// A term that does not evaluate shows "?".  With a hyphen character set,
// every "-" becomes that Windows-1252 character.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "graphics/model/text_label_record.h"

namespace kv {

// Evaluates a term: 0 and the value, or a non-zero code.
using TTermEvaluator = std::function<int(std::string_view, long double&)>;

std::string ComposeTermText(const TTermBlock& block, const TTermEvaluator& evaluate);

}  // namespace kv
