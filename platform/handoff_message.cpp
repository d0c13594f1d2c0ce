#include "platform/handoff_message.h"

#include <algorithm>
#include <cstdint>

namespace plat {

namespace {
constexpr std::string_view kTag = "KVH1";
}  // namespace

std::string EncodeHandOffMessage(std::string_view text) {
  text = text.substr(0, std::min(text.size(), kHandOffMaxBytes));
  const auto n = static_cast<std::uint32_t>(text.size());
  std::string out(kTag);
  for (int k = 0; k < 4; ++k) out += static_cast<char>((n >> (8 * k)) & 0xFF);
  out += text;
  return out;
}

HandOffDecode DecodeHandOffMessage(std::string_view received, std::string& text, std::size_t& used) {
  used = 0;
  // The tag is checked on as many bytes as have come, so that a stranger's
  // bytes are refused at once instead of being waited on.
  const std::size_t tagBytes = std::min(received.size(), kTag.size());
  if (received.substr(0, tagBytes) != kTag.substr(0, tagBytes)) return HandOffDecode::Invalid;
  if (received.size() < kHandOffHeaderBytes) return HandOffDecode::Incomplete;
  std::uint32_t n = 0;
  for (int k = 3; k >= 0; --k) n = (n << 8) | static_cast<unsigned char>(received[kTag.size() + static_cast<std::size_t>(k)]);
  if (n > kHandOffMaxBytes) return HandOffDecode::Invalid;
  if (received.size() - kHandOffHeaderBytes < n) return HandOffDecode::Incomplete;
  text.assign(received.substr(kHandOffHeaderBytes, n));
  used = kHandOffHeaderBytes + n;
  return HandOffDecode::Complete;
}

}  // namespace plat
