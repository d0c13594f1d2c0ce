// Joining the command line into the one file name a start hands over.
#include "core/constants.h"

#include <utility>

namespace kv {

std::string JoinArguments(int argc, const char* const* argv) {
  std::string joined;
  for (int i = 1; i < argc && argv != nullptr; ++i) {
    if (argv[i] == nullptr) continue;
    if (i > 1) joined += ' ';
    joined += argv[i];
    if (joined.size() > kMaxCommandLine) break;
  }
  return CutToCommandLine(std::move(joined));
}

std::string CutToCommandLine(std::string text) {
  if (text.size() > kMaxCommandLine) {
    std::size_t cut = kMaxCommandLine;
    // Step back over continuation bytes so no character is split.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    text.resize(cut);
  }
  return text;
}

}  // namespace kv
