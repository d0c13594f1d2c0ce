#include "graphics/zor_wint.h"

namespace kv {

TZORWint::TZORWint(plat::Window* parent, const std::string& title) : TGridWin(parent, title) {}

TZORWint::~TZORWint() = default;

}  // namespace kv
