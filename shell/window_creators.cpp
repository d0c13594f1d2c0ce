#include "shell/window_creators.h"

namespace kv {

TWindowCreators& WindowCreators() {
  static TWindowCreators creators;
  return creators;
}

}  // namespace kv
