// Joining the command line into the one file name a start hands over.
#include "core/constants.h"

namespace kv {

std::string JoinArguments(int argc, const char* const* argv) {
  std::string joined;
  for (int i = 1; i < argc && argv != nullptr; ++i) {
    if (argv[i] == nullptr) continue;
    if (i > 1) joined += ' ';
    joined += argv[i];
  }
  return joined;
}

}  // namespace kv
