// The text-label layer of the plot windows, between the view layer and
// the picture layer.  It holds the label lists and the term-block table,
// which the plot file stores; placing, editing, dragging and drawing the
// labels arrive with their own work.
#pragma once

#include <string>
#include <vector>

#include "graphics/grid_win.h"
#include "graphics/model/text_label_record.h"

namespace kv {

class TZORWint : public TGridWin {
 public:
  TZORWint(plat::Window* parent, const std::string& title);
  ~TZORWint() override;

  // The plain labels, the term labels (term index 1000 + k) and the term
  // blocks they show (at most kMaxTermBlocks).
  std::vector<TTextLabel> TextLabels;
  std::vector<TTextLabel> TermLabels;
  std::vector<TTermBlock> TermBlocks;
};

}  // namespace kv
