// libFuzzer target for the readers of text: the bytes of a text file as the
// text windows take them in, and the notes block of a plot file.  The first
// input byte picks the reader (bit 0 set: the notes block).  A text taken in
// must hold no zero byte and at most 64000 characters and read the same
// when taken in again; a search for a piece of the input stays in the
// text; notes read from a block are written the same way every time.
// Crashes, hangs, sanitizer reports and broken agreements are findings.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/binary_stream.h"
#include "shell/model/notes_block.h"
#include "shell/model/plain_text.h"

namespace {

void CheckAt(bool condition, int line) {
  if (condition) return;
  std::fprintf(stderr, "text_fuzz: check in line %d failed\n", line);
  std::abort();
}
#define Check(condition) CheckAt(condition, __LINE__)

std::vector<std::uint8_t> NotesBytes(const std::string& notes) {
  kv::ByteWriter w;
  kv::WriteNotesBlock(w, notes);
  return w.Data();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);

  if (data[0] & 1) {
    kv::ByteReader r(reinterpret_cast<const std::uint8_t*>(rest.data()), rest.size());
    std::string notes = "kept";
    if (!kv::ReadNotesBlock(r, notes)) {
      Check(notes == "kept");
      return 0;
    }
    const std::vector<std::uint8_t> first = NotesBytes(notes);
    Check(first.size() <= kv::kNotesBlockMax + 2);
    kv::ByteReader again(first);
    std::string back;
    Check(kv::ReadNotesBlock(again, back));
    Check(again.Remaining() == 0);
    Check(NotesBytes(back) == first);
    return 0;
  }

  const std::string text = kv::TextFromFileBytes(rest);
  Check(text.find('\0') == std::string::npos);
  Check(kv::Utf8CharCount(text) <= static_cast<std::size_t>(kv::kTextMaxChars));
  Check(kv::TextFromFileBytes(text) == text);
  Check(kv::CutToChars(text, kv::Utf8CharCount(text)) == text);
  // A search for the start of the text finds it at 0; one for any other
  // piece stays within the text.
  const std::string head = kv::CutToChars(text, 4);
  if (!head.empty()) Check(kv::FindFolded(text, head, 0) == 0);
  const std::string piece = kv::TextFromFileBytes(rest.substr(rest.size() - std::min<std::size_t>(rest.size(), 6)));
  const int found = kv::FindFolded(text, piece, 1);
  Check(found >= -1 && found <= static_cast<int>(kv::Utf8CharCount(text)));
  return 0;
}
