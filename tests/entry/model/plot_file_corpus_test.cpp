// The plot-file fuzz target's seeds: every one is a file the reader takes
// (read as the target reads it), and together they hold a file of every
// window kind, every version the reader accepts, every optional block and
// an entry of every kind of record, so that the fuzzer starts from all of
// them.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "core/binary_stream.h"
#include "entry/model/plot_file.h"

namespace kv {
namespace {

// The plot windows' file types: 2D (and the windows built on it), planets, 3D.
constexpr std::int32_t kTypes[] = {841, 842, 961};

std::int32_t I32At(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::int32_t>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
                                   (static_cast<std::uint32_t>(b[at + 3]) << 24));
}

TEST(PlotFileCorpus, SeedsHoldEveryWindowKindVersionAndBlock) {
  const std::vector<std::uint8_t> header = [] {
    TCommonHeader h;
    h.TypeCode = kTypes[0];
    h.Version = kPlotFileVersion;
    ByteWriter w;
    WriteCommonHeader(w, h);
    return w.Data();
  }();
  std::set<std::int32_t> types, versions, kinds;
  bool protection = false, terms = false, notes = false, background = false, pictures = false, labels = false;
  int seeds = 0;
  for (const auto& entry : std::filesystem::directory_iterator(KURVATO_FUZZ_CORPUS "/plot_file")) {
    SCOPED_TRACE(entry.path().filename().string());
    std::vector<std::uint8_t> seed;
    ASSERT_TRUE(ReadWholeFile(entry.path().string(), seed));
    ASSERT_FALSE(seed.empty());
    ASSERT_LE(seed.size(), 65536u) << "the target reads no more";
    ++seeds;
    // As the target reads it: below 128 the blocks after a header of that
    // version, else the whole file as the kind it names.
    std::vector<std::uint8_t> file;
    if (seed[0] < 128) {
      file = header;
      file[4] = static_cast<std::uint8_t>(1 + seed[0] % 34);
    }
    file.insert(file.end(), seed.begin() + 1, seed.end());
    ASSERT_GE(file.size(), 8u);
    ByteReader r(file);
    TPlotFileState s;
    ASSERT_EQ(ReadPlotFile(r, I32At(file, 0), s), 0);
    types.insert(s.header.TypeCode);
    versions.insert(s.header.Version);
    protection |= !s.password.Password.empty();
    terms |= !s.termLabels.empty();
    notes |= !s.notes.empty();
    background |= !s.pictureName.empty();
    pictures |= !s.pictures.empty();
    labels |= !s.labels.empty();
    for (const TPlotEntry& e : s.entries)
      kinds.insert(IsLagrangePolynomial(e.equation) ? int{kKindLagrange} : int{e.equation.kind});
  }
  EXPECT_GT(seeds, 0);
  for (std::int32_t type : kTypes) EXPECT_EQ(types.count(type), 1u) << type;
  for (std::int32_t v = 1; v <= kPlotFileVersion; ++v) EXPECT_EQ(versions.count(v), 1u) << v;
  EXPECT_TRUE(protection && terms && notes && background && pictures && labels);
  for (EquationKind kind : kEquationKinds) EXPECT_EQ(kinds.count(kind), 1u) << "no seed holds an entry of kind " << kind;
}

}  // namespace
}  // namespace kv
