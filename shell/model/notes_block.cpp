#include "shell/model/notes_block.h"

namespace kv {

void WriteNotesBlock(ByteWriter& w, const std::string& notes) {
  std::string ansi = Utf8ToCp1252(notes);
  if (ansi.size() > kNotesMaxChars) ansi.resize(kNotesMaxChars);
  w.U16(static_cast<std::uint16_t>(ansi.size() + 1));
  w.Bytes(ansi.data(), ansi.size());
  w.U8(0);
}

bool ReadNotesBlock(ByteReader& r, std::string& notes) {
  if (r.Failed()) return false;
  std::string s = r.CountedString(kNotesBlockMax);
  if (r.Failed()) return false;
  notes = std::move(s);
  return true;
}

}  // namespace kv
