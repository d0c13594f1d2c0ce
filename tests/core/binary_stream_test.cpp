#include "core/binary_stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <random>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/child_process.h"
#include "support/temp_dir.h"

namespace kv {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr bool kX87LongDouble = std::numeric_limits<long double>::digits == 64 &&
                                std::numeric_limits<long double>::max_exponent == 16384;

Bytes ToBytes(const Extended& e) { return Bytes(e.begin(), e.end()); }

Extended Image(std::uint64_t significand, unsigned signExponent) {
  Extended e{};
  for (int k = 0; k < 8; ++k) e[k] = static_cast<std::uint8_t>(significand >> (8 * k));
  e[8] = static_cast<std::uint8_t>(signExponent);
  e[9] = static_cast<std::uint8_t>(signExponent >> 8);
  return e;
}

bool SameValue(long double a, long double b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
  return a == b && std::signbit(a) == std::signbit(b);
}

// ---- extended precision ----

TEST(ExtendedCodec, GoldenImages) {
  struct Case {
    const char* what;
    long double value;
    Extended image;
  };
  const Case cases[] = {
      {"one", 1.0L, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}},
      {"minus 2.5", -2.5L, {0, 0, 0, 0, 0, 0, 0, 0xA0, 0x00, 0xC0}},
      {"zero", 0.0L, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"minus zero", -0.0L, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80}},
      {"0.1", 0.1L, {0xCD, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xFB, 0x3F}},
      {"infinity", std::numeric_limits<long double>::infinity(), Image(0x8000000000000000ULL, 0x7FFF)},
      {"minus infinity", -std::numeric_limits<long double>::infinity(),
       Image(0x8000000000000000ULL, 0xFFFF)},
      {"double pi", 3.141592653589793, Image(0xC90FDAA22168C000ULL, 0x4000)},
      {"2^63", 9223372036854775808.0L, Image(0x8000000000000000ULL, 0x403E)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ToBytes(EncodeExtended(c.value)), ToBytes(c.image));
    EXPECT_TRUE(SameValue(DecodeExtended(c.image), c.value));
  }
}

TEST(ExtendedCodec, RangeEndsOfTheImage) {
  if (!kX87LongDouble) GTEST_SKIP() << "long double cannot hold the whole extended range here";
  struct Case {
    const char* what;
    long double value;
    Extended image;
  };
  const Case cases[] = {
      {"smallest denormal", std::ldexp(1.0L, -16445), Image(1, 0)},
      {"largest denormal", std::ldexp(1.0L, -16382) - std::ldexp(1.0L, -16445),
       Image(0x7FFFFFFFFFFFFFFFULL, 0)},
      {"minus denormal", -std::ldexp(3.0L, -16440), Image(3ULL << 5, 0x8000)},
      {"smallest normal", std::numeric_limits<long double>::min(), Image(0x8000000000000000ULL, 1)},
      {"largest", std::numeric_limits<long double>::max(), Image(~0ULL, 0x7FFE)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ToBytes(EncodeExtended(c.value)), ToBytes(c.image));
    EXPECT_TRUE(SameValue(DecodeExtended(c.image), c.value));
  }
}

TEST(ExtendedCodec, NaNsAndInvalidPatternsDecodeAsNaN) {
  const Extended quiet = EncodeExtended(std::numeric_limits<long double>::quiet_NaN());
  EXPECT_EQ(quiet[9] & 0x7F, 0x7F);
  EXPECT_EQ(quiet[8], 0xFF);
  EXPECT_EQ(quiet[7] & 0xC0, 0xC0) << "a quiet NaN keeps the integer bit and the quiet bit";
  EXPECT_TRUE(std::isnan(DecodeExtended(quiet)));
  const Extended negative = EncodeExtended(-std::numeric_limits<long double>::quiet_NaN());
  EXPECT_EQ(negative[9] & 0x80, 0x80);

  const Extended nanLike[] = {
      Image(0xC000000000000000ULL, 0xFFFF),  // the x87 "indefinite"
      Image(0x8000000000000001ULL, 0x7FFF),  // signalling NaN
      Image(0x0000000000000000ULL, 0x7FFF),  // pseudo-infinity
      Image(0x4000000000000000ULL, 0x3FFF),  // unnormal: integer bit clear
  };
  for (const Extended& e : nanLike) EXPECT_TRUE(std::isnan(DecodeExtended(e)));
}

TEST(ExtendedCodec, PseudoDenormalReadsAsSmallestNormal) {
  if (!kX87LongDouble) GTEST_SKIP();
  EXPECT_EQ(DecodeExtended(Image(0x8000000000000000ULL, 0)), std::numeric_limits<long double>::min());
}

TEST(ExtendedCodec, RandomValuesRoundTrip) {
  std::mt19937_64 rng(20240601);
  std::uniform_int_distribution<int> exponent(-16400, 16380);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  for (int k = 0; k < 20000; ++k) {
    // A full 64-bit significand: two doubles' worth of random bits.
    long double v = static_cast<long double>(unit(rng)) + std::ldexp(static_cast<long double>(unit(rng)), -40);
    v = std::ldexp(v, kX87LongDouble ? exponent(rng) : exponent(rng) / 16);
    const long double back = DecodeExtended(EncodeExtended(v));
    ASSERT_TRUE(SameValue(back, v)) << static_cast<double>(v);
  }
}

TEST(ExtendedCodec, RandomImagesRoundTrip) {
  if (!kX87LongDouble) GTEST_SKIP();
  std::mt19937_64 rng(7);
  for (int k = 0; k < 20000; ++k) {
    const unsigned se = static_cast<unsigned>(rng() % 0xFFFF);
    if ((se & 0x7FFF) == 0x7FFF) continue;
    std::uint64_t sig = rng();
    if ((se & 0x7FFF) != 0) sig |= 0x8000000000000000ULL;  // normal numbers
    else sig &= 0x7FFFFFFFFFFFFFFFULL;                      // denormals
    const Extended e = Image(sig, se);
    ASSERT_EQ(ToBytes(EncodeExtended(DecodeExtended(e))), ToBytes(e));
  }
}

TEST(ExtendedCodec, MatchesTheHardwareImageOnX87) {
#if defined(__i386__) || defined(__x86_64__)
  if (!kX87LongDouble) GTEST_SKIP();
  std::mt19937_64 rng(99);
  for (int k = 0; k < 5000; ++k) {
    const long double v = std::ldexp(static_cast<long double>(rng()) - 9.2e18L, static_cast<int>(rng() % 2000) - 1000);
    std::uint8_t raw[sizeof(long double)];
    std::memcpy(raw, &v, sizeof raw);
    ASSERT_EQ(ToBytes(EncodeExtended(v)), Bytes(raw, raw + 10));
  }
#else
  GTEST_SKIP();
#endif
}

// ---- Windows-1252 ----

TEST(Cp1252, EveryAssignedByteRoundTrips) {
  const int unassigned[] = {0x81, 0x8D, 0x8F, 0x90, 0x9D};
  for (int b = 1; b < 256; ++b) {
    const std::string ansi(1, static_cast<char>(b));
    const std::string utf8 = Cp1252ToUtf8(ansi);
    if (std::find(std::begin(unassigned), std::end(unassigned), b) != std::end(unassigned)) {
      EXPECT_EQ(utf8, "\xEF\xBF\xBD") << b;
      EXPECT_EQ(Utf8ToCp1252(utf8), "?") << b;
    } else {
      EXPECT_EQ(Utf8ToCp1252(utf8), ansi) << b;
    }
  }
}

TEST(Cp1252, KnownCharacters) {
  struct Case {
    const char* utf8;
    const char* ansi;
  };
  const Case cases[] = {
      {"\xE2\x82\xAC", "\x80"},          // euro sign
      {"\xE2\x80\x93", "\x96"},          // en dash
      {"\xC5\xB8", "\x9F"},              // Y with diaeresis
      {"\xC2\xB0", "\xB0"},              // degree sign
      {"Gr\xC3\xB6\xC3\x9F" "e", "Gr\xF6\xDF" "e"},
      {"\xC3\xBF", "\xFF"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf8ToCp1252(c.utf8), c.ansi);
    EXPECT_EQ(Cp1252ToUtf8(c.ansi), c.utf8);
  }
}

TEST(Cp1252, UnrepresentableAndMalformedTextBecomesQuestionMarks) {
  struct Case {
    const char* what;
    std::string utf8;
    std::string ansi;
  };
  const Case cases[] = {
      {"CJK", "\xE6\x97\xA5\xE6\x9C\xAC", "??"},
      {"emoji", "a\xF0\x9F\x98\x80" "b", "a?b"},
      {"C1 control U+0081", "\xC2\x81", "?"},
      {"truncated two-byte", "x\xC3", "x?"},
      {"truncated three-byte", "\xE2\x82" "z", "?z"},
      {"lone continuation", "\x80", "?"},
      {"overlong slash", "\xC0\xAF", "??"},
      {"surrogate", "\xED\xA0\x80", "???"},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", "????"},
      {"embedded NUL kept", std::string("a\0b", 3), std::string("a\0b", 3)},
  };
  for (const Case& c : cases) EXPECT_EQ(Utf8ToCp1252(c.utf8), c.ansi) << c.what;
}

// ---- writer ----

TEST(ByteWriter, LittleEndianFields) {
  ByteWriter w;
  w.U8(0xAB);
  w.U16(0x1234);
  w.I16(-2);
  w.U32(0x89ABCDEF);
  w.I32(-1000);
  w.Double(1.0);
  w.Zeros(2);
  const Bytes expected = {0xAB, 0x34, 0x12, 0xFE, 0xFF, 0xEF, 0xCD, 0xAB, 0x89, 0x18, 0xFC, 0xFF, 0xFF,
                          0, 0, 0, 0, 0, 0, 0xF0, 0x3F, 0, 0};
  EXPECT_EQ(w.Data(), expected);

  ByteReader r(w.Data());
  EXPECT_EQ(r.U8(), 0xAB);
  EXPECT_EQ(r.U16(), 0x1234);
  EXPECT_EQ(r.I16(), -2);
  EXPECT_EQ(r.U32(), 0x89ABCDEFu);
  EXPECT_EQ(r.I32(), -1000);
  EXPECT_EQ(r.Double(), 1.0);
  EXPECT_TRUE(r.Skip(2));
  EXPECT_FALSE(r.Failed());
  EXPECT_EQ(r.Remaining(), 0u);
}

TEST(ByteWriter, CountedStrings) {
  struct Case {
    std::string text;
    Bytes image;
  };
  const Case cases[] = {
      {"", {0x01, 0x00, 0x00}},
      {"abc", {0x04, 0x00, 'a', 'b', 'c', 0x00}},
      {"\xC3\xA4", {0x02, 0x00, 0xE4, 0x00}},
      {"\xE2\x82\xAC\xE6\x97\xA5", {0x03, 0x00, 0x80, '?', 0x00}},
  };
  for (const Case& c : cases) {
    ByteWriter w;
    w.CountedString(c.text);
    EXPECT_EQ(w.Data(), c.image) << c.text;
    ByteReader r(w.Data());
    EXPECT_EQ(r.CountedString(101), Cp1252ToUtf8(Utf8ToCp1252(c.text)));
    EXPECT_FALSE(r.Failed());
    EXPECT_EQ(r.Remaining(), 0u);
  }
}

TEST(ByteWriter, OverlongCountedStringIsCutToWhatTheLengthCanSay) {
  ByteWriter w;
  w.CountedString(std::string(70000, 'x'));
  ASSERT_EQ(w.Size(), 2u + 0xFFFF);
  EXPECT_EQ(w.Data()[0], 0xFF);
  EXPECT_EQ(w.Data()[1], 0xFF);
  EXPECT_EQ(w.Data().back(), 0);
  ByteReader r(w.Data());
  EXPECT_EQ(r.CountedString(0xFFFF).size(), 0xFFFEu);
  EXPECT_FALSE(r.Failed());
}

TEST(ByteWriter, FixedAnsiFieldsAreCutAndPadded) {
  struct Case {
    std::string text;
    std::size_t n;
    Bytes image;
  };
  const Case cases[] = {
      {"Gr\xC3\xB6\xC3\x9F" "e", 4, {'G', 'r', 0xF6, 0}},
      {"ab", 5, {'a', 'b', 0, 0, 0}},
      {"abc", 1, {0}},
      {"abc", 0, {}},
  };
  for (const Case& c : cases) {
    ByteWriter w;
    w.FixedAnsi(c.text, c.n);
    EXPECT_EQ(w.Data(), c.image) << c.text << " " << c.n;
  }
  const Bytes field = {'G', 'r', 0xF6, 0, 'j', 'u', 'n', 'k'};
  ByteReader r(field);
  EXPECT_EQ(r.FixedAnsi(8), "Gr\xC3\xB6");
  EXPECT_EQ(r.Position(), 8u);
}

// ---- reader ----

TEST(ByteReader, NeverReadsPastTheEnd) {
  const Bytes three = {1, 2, 3};
  struct Case {
    const char* what;
    std::function<bool(ByteReader&)> readGivesZero;
  };
  const Case cases[] = {
      {"U32", [](ByteReader& r) { return r.U32() == 0; }},
      {"I32", [](ByteReader& r) { return r.I32() == 0; }},
      {"Double", [](ByteReader& r) { return r.Double() == 0; }},
      {"LongDouble", [](ByteReader& r) { return r.LongDouble() == 0; }},
      {"FixedAnsi", [](ByteReader& r) { return r.FixedAnsi(4).empty(); }},
      {"Skip", [](ByteReader& r) { return !r.Skip(4); }},
      {"Bytes", [](ByteReader& r) {
         std::uint8_t out[5] = {9, 9, 9, 9, 9};
         return !r.Bytes(out, 5) && std::all_of(out, out + 5, [](std::uint8_t b) { return b == 0; });
       }},
      {"huge skip", [](ByteReader& r) { return !r.Skip(static_cast<std::size_t>(-1)); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ByteReader r(three);
    r.U8();
    EXPECT_TRUE(c.readGivesZero(r));
    EXPECT_TRUE(r.Failed());
    EXPECT_EQ(r.Position(), three.size());
    EXPECT_EQ(r.U8(), 0) << "the failed reader stays at the end";
  }
}

TEST(ByteReader, ExactFitSucceeds) {
  const Bytes ten = ToBytes(EncodeExtended(1.0L));
  ByteReader r(ten);
  EXPECT_EQ(r.LongDouble(), 1.0L);
  EXPECT_FALSE(r.Failed());
  EXPECT_EQ(r.Remaining(), 0u);
  EXPECT_TRUE(r.Skip(0));
  EXPECT_FALSE(r.Failed());
}

TEST(ByteReader, DamagedCountedStringsAreRefused) {
  struct Case {
    const char* what;
    Bytes data;
    std::size_t maxBytes;
    bool ok;
    std::string text;
  };
  const Case cases[] = {
      {"fits", {3, 0, 'h', 'i', 0}, 101, true, "hi"},
      {"exactly the limit", {3, 0, 'h', 'i', 0}, 3, true, "hi"},
      {"longer than the buffer", {3, 0, 'h', 'i', 0}, 2, false, ""},
      {"length past the data", {200, 0, 'h', 'i', 0}, 1000, false, ""},
      {"length field cut", {3}, 101, false, ""},
      {"zero length", {0, 0}, 101, true, ""},
      {"no NUL", {2, 0, 'o', 'k'}, 101, true, "ok"},
      {"NUL inside", {4, 0, 'a', 0, 'b', 0}, 101, true, "a"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ByteReader r(c.data);
    EXPECT_EQ(r.CountedString(c.maxBytes), c.text);
    EXPECT_EQ(r.Failed(), !c.ok);
    if (!c.ok) {
      EXPECT_EQ(r.Remaining(), 0u);
    }
  }
}

// ---- files ----

TEST(WholeFiles, AtomicWriteReplacesAndReadsBack) {
  const std::string dir = kvtest::MakeTempDir("atomic_write");
  const std::string path = dir + "plot.kv2";
  const Bytes first = {1, 2, 3};
  const Bytes second(100000, 0x5A);
  ASSERT_TRUE(WriteFileAtomically(path, first));
  ::chmod(path.c_str(), 0640);
  ASSERT_TRUE(WriteFileAtomically(path, second));
  Bytes back;
  ASSERT_TRUE(ReadWholeFile(path, back));
  EXPECT_EQ(back, second);
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u) << "the permissions of the replaced file are kept";
  ASSERT_TRUE(WriteFileAtomically(path, Bytes{}));
  ASSERT_TRUE(ReadWholeFile(path, back));
  EXPECT_TRUE(back.empty());
  int entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    (void)e;
    ++entries;
  }
  EXPECT_EQ(entries, 1) << "no temporary file is left behind";
}

TEST(WholeFiles, WritingThroughALinkKeepsTheLink) {
  const std::string dir = kvtest::MakeTempDir("atomic_link");
  ASSERT_TRUE(WriteFileAtomically(dir + "real.kv2", Bytes{1}));
  std::filesystem::create_symlink(dir + "real.kv2", dir + "link.kv2");
  ASSERT_TRUE(WriteFileAtomically(dir + "link.kv2", Bytes{2, 3}));
  EXPECT_TRUE(std::filesystem::is_symlink(dir + "link.kv2"));
  Bytes back;
  ASSERT_TRUE(ReadWholeFile(dir + "real.kv2", back));
  EXPECT_EQ(back, (Bytes{2, 3}));

  // A link another user made is replaced, never written through.
  if (::geteuid() != 0) GTEST_SKIP() << "a link of another user's needs root";
  std::filesystem::create_symlink(dir + "real.kv2", dir + "planted.kv2");
  ASSERT_EQ(::lchown((dir + "planted.kv2").c_str(), 65534, 65534), 0);
  ASSERT_TRUE(WriteFileAtomically(dir + "planted.kv2", Bytes{4}));
  ASSERT_TRUE(ReadWholeFile(dir + "real.kv2", back));
  EXPECT_EQ(back, (Bytes{2, 3}));
  ASSERT_TRUE(ReadWholeFile(dir + "planted.kv2", back));
  EXPECT_EQ(back, (Bytes{4}));

  // A link of the user's own is written through only to a file of the user's
  // own, never through another user's link: the save fails, all stays.
  ASSERT_TRUE(WriteFileAtomically(dir + "theirs.kv2", Bytes{5}));
  std::filesystem::create_symlink(dir + "theirs.kv2", dir + "to_theirs.kv2");
  std::filesystem::create_symlink(dir + "real.kv2", dir + "their_link.kv2");
  std::filesystem::create_symlink(dir + "their_link.kv2", dir + "via_theirs.kv2");
  for (const char* name : {"theirs.kv2", "their_link.kv2"}) ASSERT_EQ(::lchown((dir + name).c_str(), 65534, 65534), 0);
  for (const char* name : {"to_theirs.kv2", "via_theirs.kv2"})
    EXPECT_TRUE(!WriteFileAtomically(dir + name, Bytes{6}) && std::filesystem::is_symlink(dir + name)) << name;
  ASSERT_TRUE(ReadWholeFile(dir + "theirs.kv2", back));
  EXPECT_EQ(back, (Bytes{5}));
  EXPECT_TRUE(std::filesystem::is_symlink(dir + "their_link.kv2"));
}

// Saves write only regular files: whatever else stands at the target, or at
// the end of a link there, is refused and left as it was.
TEST(WholeFiles, OnlyRegularFilesAreReplaced) {
  const std::string dir = kvtest::MakeTempDir("atomic_kinds");
  namespace fs = std::filesystem;
  ASSERT_EQ(::mkfifo((dir + "fifo").c_str(), 0600), 0);
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(sock, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string socketPath = dir + "socket";
  ASSERT_LT(socketPath.size(), sizeof address.sun_path);
  std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
  ASSERT_EQ(::bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  fs::create_directory(dir + "folder");
  // A character device of our own (the null device's numbers) where the
  // system lets us make one.
  const bool device = ::mknod((dir + "device").c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0;
  for (const char* name : {"fifo", "socket", "folder", "device"}) {
    fs::create_symlink(dir + name, dir + name + ".kv2");
  }
  fs::create_symlink(dir + "nowhere", dir + "dangling.kv2");
  fs::create_symlink(dir + "fifo.kv2", dir + "chain.kv2");

  struct Row {
    const char* target;
    fs::file_type kind;  // of what the link or the target is
  };
  const Row rows[] = {
      {"fifo", fs::file_type::fifo},         {"socket", fs::file_type::socket},
      {"device", fs::file_type::character},  {"fifo.kv2", fs::file_type::fifo},
      {"socket.kv2", fs::file_type::socket}, {"folder.kv2", fs::file_type::directory},
      {"device.kv2", fs::file_type::character}, {"chain.kv2", fs::file_type::fifo},
      {"dangling.kv2", fs::file_type::not_found},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.target);
    if (!device && std::string(row.target).find("device") != std::string::npos) continue;
    const std::string path = dir + row.target;
    EXPECT_FALSE(WriteFileAtomically(path, Bytes{1, 2, 3}));
    EXPECT_EQ(fs::status(path).type(), row.kind) << "left as it was";
    EXPECT_EQ(fs::is_symlink(path), std::string(row.target).find(".kv2") != std::string::npos);
  }
  EXPECT_FALSE(fs::exists(dir + "nowhere"));
  ::close(sock);

  // A chain of links to a regular file is written through; every link stays.
  ASSERT_TRUE(WriteFileAtomically(dir + "real.kv2", Bytes{1}));
  fs::create_symlink(dir + "real.kv2", dir + "one.kv2");
  fs::create_symlink(dir + "one.kv2", dir + "two.kv2");
  ASSERT_TRUE(WriteFileAtomically(dir + "two.kv2", Bytes{7, 8}));
  EXPECT_TRUE(fs::is_symlink(dir + "two.kv2"));
  EXPECT_TRUE(fs::is_symlink(dir + "one.kv2"));
  Bytes back;
  ASSERT_TRUE(ReadWholeFile(dir + "real.kv2", back));
  EXPECT_EQ(back, (Bytes{7, 8}));
  for (const auto& e : fs::directory_iterator(dir))
    EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
}

// With SIGXFSZ ignored (as the program does), a save beyond the file-size
// limit fails like any other write and leaves no temporary behind.
TEST(WholeFiles, ASaveBeyondTheFileSizeLimitFailsCleanly) {
  const std::string dir = kvtest::MakeTempDir("atomic_limit");
  ASSERT_TRUE(WriteFileAtomically(dir + "plot.kv2", Bytes{1, 2, 3}));
  const pid_t child = ::fork();
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const bool small = WriteFileAtomically(dir + "small.kv2", Bytes(100, 1));
    const bool big = WriteFileAtomically(dir + "plot.kv2", Bytes(10000, 2));
    ::_exit(small && !big ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  Bytes back;
  ASSERT_TRUE(ReadWholeFile(dir + "plot.kv2", back));
  EXPECT_EQ(back, (Bytes{1, 2, 3}));
  int entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    (void)e;
    ++entries;
  }
  EXPECT_EQ(entries, 2) << "no temporary is left behind";
}

// Runs ReadWholeFile in a child process, so that a read that blocks or never
// ends fails the test instead of hanging it: 1 read, 0 refused, -1 still
// reading after five seconds.
int ReadInChild(const std::string& path) {
  return kvtest::RunInChild([&] { Bytes b; return ReadWholeFile(path, b); });
}

TEST(WholeFiles, OnlyRegularFilesOfASaneSizeAreRead) {
  const std::string dir = kvtest::MakeTempDir("read_kinds");
  ASSERT_TRUE(WriteFileAtomically(dir + "plain.kv2", Bytes{1, 2, 3}));
  ASSERT_EQ(::mkfifo((dir + "fifo.kv2").c_str(), 0600), 0);
  std::filesystem::create_symlink("/dev/zero", dir + "zero.kv2");
  {
    // Sparse: just above the limit without using the disk.
    const int fd = ::open((dir + "huge.kv2").c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(kMaxReadBytes) + 1), 0);
    ::close(fd);
  }
  const struct {
    const char* name;
    int result;
  } rows[] = {
      {"plain.kv2", 1}, {"fifo.kv2", 0}, {"zero.kv2", 0}, {"huge.kv2", 0}, {"", 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ReadInChild(dir + row.name), row.result);
  }
  Bytes small;
  EXPECT_FALSE(ReadWholeFile(dir + "plain.kv2", small, 2)) << "a caller's own limit holds too";
}

TEST(WholeFiles, SavingRemovesTemporariesOfInterruptedSaves) {
  const std::string dir = kvtest::MakeTempDir("stale_temps");
  // A process that has ended: its temporaries are stale.
  const pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ::waitpid(gone, nullptr, 0);
  const std::string stale = ".plot.kv2.tmp" + std::to_string(gone) + "_3";
  const std::string live = ".plot.kv2.tmp" + std::to_string(::getppid()) + "_1";
  const std::string own = ".other.kv2.tmp" + std::to_string(::getpid()) + "_9";
  const std::vector<std::string> kept = {live, own, ".plot.kv2.tmpx_1", ".hidden", "notes.tmp12_1"};
  for (const std::string& n : kept) ASSERT_TRUE(WriteFileAtomically(dir + n, Bytes{1}));
  ASSERT_TRUE(WriteFileAtomically(dir + stale, Bytes{1}));
  std::filesystem::create_directory(dir + ".dir.tmp" + std::to_string(gone) + "_1");

  ASSERT_TRUE(WriteFileAtomically(dir + "plot.kv2", Bytes{4, 5}));
  EXPECT_FALSE(std::filesystem::exists(dir + stale));
  for (const std::string& n : kept) EXPECT_TRUE(std::filesystem::exists(dir + n)) << n;
  EXPECT_TRUE(std::filesystem::is_directory(dir + ".dir.tmp" + std::to_string(gone) + "_1"));
}

TEST(WholeFiles, FailedWritesLeaveNothingBehind) {
  const std::string dir = kvtest::MakeTempDir("atomic_fail");
  std::filesystem::create_directory(dir + "taken");
  std::filesystem::create_directory(dir + "taken/inner");
  EXPECT_FALSE(WriteFileAtomically(dir + "missing/plot.kv2", Bytes{1}));
  EXPECT_FALSE(WriteFileAtomically(dir + "taken", Bytes{1})) << "a non-empty directory is not replaced";
  EXPECT_FALSE(WriteFileAtomically("", Bytes{1}));
  EXPECT_FALSE(WriteFileAtomically(dir, Bytes{1}));
  int entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    (void)e;
    ++entries;
  }
  EXPECT_EQ(entries, 1);
  Bytes out{7};
  EXPECT_FALSE(ReadWholeFile(dir + "missing.kv2", out));
  EXPECT_TRUE(out.empty());
}

}  // namespace
}  // namespace kv
