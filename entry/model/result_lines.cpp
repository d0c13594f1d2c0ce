#include "entry/model/result_lines.h"

#include <algorithm>

#include "core/number_text.h"

namespace kv {

std::string ResultLines(const std::list<TResultPoint>& results, int width, int decimals) {
  std::string text;
  for (const TResultPoint& r : results) {
    const int count = std::clamp<int>(r.count, 1, static_cast<int>(r.values.size()));
    text += r.text;
    text += " = ";
    if (count > 1) text += '(';
    for (int k = 0; k < count; ++k) {
      if (k > 0) text += ',';
      text += FormatNumber(r.values[static_cast<std::size_t>(k)], width, decimals);
    }
    if (count > 1) text += ')';
    text += "\r\n";
  }
  return text;
}

}  // namespace kv
