// libFuzzer target for the plot-file codec.  The first input byte picks
// what the rest is: below 128, everything after the common header, which the
// target writes itself (the 2D window's) with the version 1 + byte % 34, so
// that the fuzzer works on the blocks; from 128 on, the whole file, its
// 1102-byte header included, so that the header reader is fuzzed too, read
// as a file of the window kind it names (any other type is read as the 2D
// window's and refused).  The seeds in corpus/plot_file hold a file of every
// window kind with every block and the 2D window's file in every version
// (written by tests/fuzz/plot_file_seeds.cpp).
// Each input is parsed into a plot-file state (no window, no toolkit); a
// file the reader accepts is written in the current form, read again and
// written again, and both writes must be equal.  Crashes, hangs, sanitizer
// reports and unstable round trips are findings.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/binary_stream.h"
#include "entry/model/plot_file.h"

namespace {

// The plot windows' file types: the 2D window's (also the windows built on
// it), the planetary system's and the 3D window's.
constexpr std::int32_t kFileType = 841;
constexpr std::int32_t kOtherFileTypes[] = {842, 961};

void CheckAt(bool condition, int line) {
  if (condition) return;
  std::fprintf(stderr, "plot_file_fuzz: check in line %d failed\n", line);
  std::abort();
}
#define Check(condition) CheckAt(condition, __LINE__)

std::vector<std::uint8_t> Write(const kv::TPlotFileState& s) {
  kv::ByteWriter w;
  kv::WritePlotFile(w, s);
  return w.Data();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static const std::vector<std::uint8_t> header = [] {
    kv::TCommonHeader h;
    h.TypeCode = kFileType;
    h.Version = kv::kPlotFileVersion;
    kv::ByteWriter w;
    kv::WriteCommonHeader(w, h);
    return w.Data();
  }();

  std::vector<std::uint8_t> file;
  if (data[0] < 128) {
    file = header;
    const std::int32_t version = 1 + data[0] % 34;
    file[4] = static_cast<std::uint8_t>(version);
  }
  file.insert(file.end(), data + 1, data + size);
  std::int32_t type = kFileType;
  if (data[0] >= 128 && file.size() >= 4) {
    const std::int32_t named = static_cast<std::int32_t>(file[0] | (file[1] << 8) | (file[2] << 16) |
                                                         (static_cast<std::uint32_t>(file[3]) << 24));
    for (std::int32_t other : kOtherFileTypes)
      if (named == other) type = other;
  }
  kv::ByteReader reader(file);
  kv::TPlotFileState state;
  const int code = kv::ReadPlotFile(reader, type, state);
  Check(code == 0 || code == 11 || code == 8);
  if (code != 0) return 0;

  // What the codec took in, it writes out in the current form the same way
  // every time.
  state.header.Version = kv::kPlotFileVersion;
  const std::vector<std::uint8_t> first = Write(state);
  kv::ByteReader again(first);
  kv::TPlotFileState back;
  Check(kv::ReadPlotFile(again, type, back) == 0);
  Check(again.Remaining() == 0);
  const std::vector<std::uint8_t> second = Write(back);
  if (first != second) {
    std::size_t at = 0;
    while (at < first.size() && at < second.size() && first[at] == second[at]) ++at;
    std::fprintf(stderr, "plot_file_fuzz: the second write differs from byte %zu (sizes %zu, %zu)\n", at,
                 first.size(), second.size());
  }
  Check(first == second);
  return 0;
}
