// The message a second start sends to the running instance: the joined file
// name as raw bytes, so that any byte a file name may hold (a newline, a
// byte that is not UTF-8, even a zero) arrives unchanged.
//
// Layout: the four bytes "KVH1", the length of the text as a 32-bit
// little-endian number, then the text.  The receiver takes a message only
// when it is complete; a wrong tag or a length above kHandOffMaxBytes makes
// the whole connection invalid.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace plat {

inline constexpr std::size_t kHandOffMaxBytes = 65536;
inline constexpr std::size_t kHandOffHeaderBytes = 8;

// The message for a text of at most kHandOffMaxBytes (a longer one is cut).
std::string EncodeHandOffMessage(std::string_view text);

enum class HandOffDecode {
  Incomplete,  // a prefix of a valid message: wait for more bytes
  Complete,    // `text` holds the message, `used` its bytes
  Invalid,     // not a message of this program
};
HandOffDecode DecodeHandOffMessage(std::string_view received, std::string& text, std::size_t& used);

}  // namespace plat
