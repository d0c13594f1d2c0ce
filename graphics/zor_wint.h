// The text-label layer of the plot windows, between the view layer and
// the picture layer.  The labels themselves (placing, editing, dragging,
// binding, storing) arrive with their own work; the layer already stands
// in the chain so that the layers above can build on it.
#pragma once

#include <string>

#include "graphics/grid_win.h"

namespace kv {

class TZORWint : public TGridWin {
 public:
  TZORWint(plat::Window* parent, const std::string& title);
  ~TZORWint() override;
};

}  // namespace kv
