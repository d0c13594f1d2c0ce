// libFuzzer target for the window-kind settings files: the common header
// and the nine generic blocks with the file name.  The first input byte
// picks what the rest is: below 128, everything after a header the target
// writes itself (so that the fuzzer works on the blocks); from 128 on, the
// whole file, header included.  Bytes 1 to 3 give the three block sizes a
// window kind declares (out-of-range sizes included).  A file the readers
// take is written again, read again and written again, and both writes
// must be equal.  Crashes, hangs, sanitizer reports and unstable round
// trips are findings.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/binary_stream.h"
#include "shell/model/settings_file.h"

namespace {

// The 2D window's file type.
constexpr std::int32_t kFileType = 841;

void CheckAt(bool condition, int line) {
  if (condition) return;
  std::fprintf(stderr, "settings_fuzz: check in line %d failed\n", line);
  std::abort();
}
#define Check(condition) CheckAt(condition, __LINE__)

std::vector<std::uint8_t> Write(const kv::TCommonHeader& h, const kv::TSettingsBlocks& b, std::int32_t ints,
                                std::int32_t reals, std::int32_t bytes) {
  kv::ByteWriter w;
  kv::WriteCommonHeader(w, h);
  kv::WriteSettingsBlocks(w, b, ints, reals, bytes);
  return w.Data();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  static const std::vector<std::uint8_t> header = [] {
    kv::TCommonHeader h;
    h.TypeCode = kFileType;
    h.Version = 33;
    kv::ByteWriter w;
    kv::WriteCommonHeader(w, h);
    return w.Data();
  }();
  // Sizes around the usual 84, 210 and 21, negative and too large ones too.
  const std::int32_t ints = static_cast<std::int8_t>(data[1]);
  const std::int32_t reals = static_cast<std::int8_t>(data[2]) * 2;
  const std::int32_t bytes = static_cast<std::int8_t>(data[3]) / 4;

  std::vector<std::uint8_t> file;
  if (data[0] < 128) file = header;
  file.insert(file.end(), data + 4, data + size);
  kv::ByteReader reader(file);
  kv::TCommonHeader h;
  if (kv::ReadCommonHeader(reader, kFileType, h) != kv::THeaderResult::Ok) return 0;
  Check(h.FontCount >= 0 && h.ColourSlotCount >= 0);
  kv::TSettingsBlocks blocks;
  if (!kv::ReadSettingsBlocks(reader, blocks, ints, reals, bytes)) {
    Check(reader.Failed());
    return 0;
  }
  Check(!reader.Failed());
  Check(blocks.FileName.size() <= 3 * kv::kSettingsFileNameSize);

  const std::vector<std::uint8_t> first = Write(h, blocks, ints, reals, bytes);
  kv::ByteReader again(first);
  kv::TCommonHeader h2;
  Check(kv::ReadCommonHeader(again, kFileType, h2) == kv::THeaderResult::Ok);
  kv::TSettingsBlocks back;
  Check(kv::ReadSettingsBlocks(again, back, ints, reals, bytes));
  Check(again.Remaining() == 0);
  const std::vector<std::uint8_t> second = Write(h2, back, ints, reals, bytes);
  if (first != second) {
    std::size_t at = 0;
    while (at < first.size() && at < second.size() && first[at] == second[at]) ++at;
    std::fprintf(stderr, "settings_fuzz: the second write differs from byte %zu (sizes %zu, %zu)\n", at,
                 first.size(), second.size());
  }
  Check(first == second);
  return 0;
}
