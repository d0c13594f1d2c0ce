// libFuzzer target for the hand-off message between a second start and the
// running instance: arbitrary bytes as what arrived on a connection.  A
// message that decodes must be exactly what the sender writes for its text,
// every shorter prefix of it must wait for more, and any text must come
// through encoding and decoding unchanged.  Crashes, sanitizer reports and
// broken agreements are findings.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/handoff_message.h"

namespace {

void CheckAt(bool condition, int line) {
  if (condition) return;
  std::fprintf(stderr, "handoff_fuzz: check in line %d failed\n", line);
  std::abort();
}
#define Check(condition) CheckAt(condition, __LINE__)

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view received(reinterpret_cast<const char*>(data), size);
  std::string text;
  std::size_t used = 0;
  const plat::HandOffDecode result = plat::DecodeHandOffMessage(received, text, used);
  if (result == plat::HandOffDecode::Complete) {
    Check(used <= size);
    Check(text.size() <= plat::kHandOffMaxBytes);
    Check(plat::EncodeHandOffMessage(text) == received.substr(0, used));
    // Byte by byte, the receiver waits until the last byte and then has it.
    std::string shorter;
    std::size_t shorterUsed = 0;
    for (std::size_t n = 0; n < used; n += 1 + n / 16)
      Check(plat::DecodeHandOffMessage(received.substr(0, n), shorter, shorterUsed) ==
            plat::HandOffDecode::Incomplete);
  } else {
    Check(used == 0);
    // An invalid start stays invalid however much follows.
    if (result == plat::HandOffDecode::Invalid) {
      std::string more(received);
      more.append(plat::EncodeHandOffMessage("x.kv2"));
      Check(plat::DecodeHandOffMessage(more, text, used) == plat::HandOffDecode::Invalid);
    }
  }

  // Every text (cut to the limit) arrives as it was sent, followed by
  // whatever comes next on the connection.
  const std::string sent = plat::EncodeHandOffMessage(received);
  std::string back;
  Check(plat::DecodeHandOffMessage(sent + "KV", back, used) == plat::HandOffDecode::Complete);
  Check(back == received.substr(0, plat::kHandOffMaxBytes));
  Check(used == sent.size());
  return 0;
}
