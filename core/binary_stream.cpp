// Byte-level file helpers: the portable 10-byte extended-precision codec,
// the bounded reader and writer, whole-file I/O.
#include "core/binary_stream.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string_view>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kv {

namespace {

// ---- extended precision ----

constexpr int kExpBias = 16383;
constexpr std::uint64_t kIntegerBit = 0x8000000000000000ULL;
constexpr std::uint64_t kQuietNaN = 0xC000000000000000ULL;

Extended Pack(bool negative, unsigned exponent, std::uint64_t significand) {
  Extended b{};
  for (int k = 0; k < 8; ++k) b[k] = static_cast<std::uint8_t>(significand >> (8 * k));
  const unsigned se = (negative ? 0x8000u : 0u) | (exponent & 0x7FFFu);
  b[8] = static_cast<std::uint8_t>(se);
  b[9] = static_cast<std::uint8_t>(se >> 8);
  return b;
}

// v is already rounded to a whole number in [0, 2^64).
std::uint64_t ToU64(long double v) { return static_cast<std::uint64_t>(v); }

constexpr long double kTwo64 = 18446744073709551616.0L;

}  // namespace

// ---- 80-bit extended precision ----
// The value is taken apart with frexpl/ldexpl rather than copied, so the
// image is the same whatever long double is on the host (x87, IEEE quad or
// plain double).  Where long double is wider than the image the significand
// is rounded to nearest and out-of-range magnitudes become infinity or zero.

Extended EncodeExtended(long double v) {
  const bool negative = std::signbit(v);
  if (std::isnan(v)) return Pack(negative, 0x7FFF, kQuietNaN);
  if (std::isinf(v)) return Pack(negative, 0x7FFF, kIntegerBit);
  if (v == 0) return Pack(negative, 0, 0);

  const long double a = std::fabs(v);
  int e = 0;
  const long double m = std::frexp(a, &e);  // a = m * 2^e, 0.5 <= m < 1
  int exponent = e - 1 + kExpBias;          // image: a = (sig / 2^63) * 2^(exponent - bias)
  if (exponent >= 1) {
    long double scaled = std::ldexp(m, 64);  // in [2^63, 2^64)
    scaled = std::nearbyint(scaled);
    std::uint64_t sig;
    if (scaled >= kTwo64) {  // rounding carried into the next binade
      sig = kIntegerBit;
      ++exponent;
    } else {
      sig = ToU64(scaled);
    }
    if (exponent >= 0x7FFF) return Pack(negative, 0x7FFF, kIntegerBit);
    return Pack(negative, static_cast<unsigned>(exponent), sig);
  }
  // Denormal range of the image: a = sig * 2^-16445 with exponent field 0.
  const long double scaled = std::nearbyint(std::ldexp(a, 16445));
  if (scaled >= 9223372036854775808.0L) {  // rounded up to the smallest normal
    return Pack(negative, 1, kIntegerBit);
  }
  return Pack(negative, 0, ToU64(scaled));
}

long double DecodeExtended(const std::uint8_t* bytes) {
  std::uint64_t sig = 0;
  for (int k = 7; k >= 0; --k) sig = (sig << 8) | bytes[k];
  const unsigned se = static_cast<unsigned>(bytes[8]) | (static_cast<unsigned>(bytes[9]) << 8);
  const bool negative = (se & 0x8000u) != 0;
  const int exponent = static_cast<int>(se & 0x7FFFu);

  long double v;
  if (exponent == 0x7FFF) {
    // Infinity needs the integer bit and an empty fraction; every other
    // pattern with this exponent is a NaN (pseudo-infinities included).
    v = sig == kIntegerBit ? std::numeric_limits<long double>::infinity()
                           : std::numeric_limits<long double>::quiet_NaN();
  } else if (exponent == 0) {
    v = std::ldexp(static_cast<long double>(sig), 1 - kExpBias - 63);
  } else if ((sig & kIntegerBit) == 0) {
    // An "unnormal": the x87 refuses it as an invalid operand.
    v = std::numeric_limits<long double>::quiet_NaN();
  } else {
    v = std::ldexp(static_cast<long double>(sig), exponent - kExpBias - 63);
  }
  return negative ? -v : v;
}

long double DecodeExtended(const Extended& bytes) { return DecodeExtended(bytes.data()); }

// ---- ByteWriter ----

void ByteWriter::U8(std::uint8_t v) { data_.push_back(v); }

void ByteWriter::U16(std::uint16_t v) {
  data_.push_back(static_cast<std::uint8_t>(v));
  data_.push_back(static_cast<std::uint8_t>(v >> 8));
}

void ByteWriter::U32(std::uint32_t v) {
  for (int k = 0; k < 4; ++k) data_.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
}

void ByteWriter::LongDouble(long double v) {
  const Extended b = EncodeExtended(v);
  data_.insert(data_.end(), b.begin(), b.end());
}

void ByteWriter::Double(double v) {
  static_assert(std::numeric_limits<double>::is_iec559 && sizeof(double) == 8);
  std::uint64_t bits;
  std::memcpy(&bits, &v, 8);
  for (int k = 0; k < 8; ++k) data_.push_back(static_cast<std::uint8_t>(bits >> (8 * k)));
}

void ByteWriter::Bytes(const void* data, std::size_t n) {
  if (n == 0) return;
  const auto* p = static_cast<const std::uint8_t*>(data);
  data_.insert(data_.end(), p, p + n);
}

void ByteWriter::Zeros(std::size_t n) { data_.insert(data_.end(), n, 0); }

void ByteWriter::FixedAnsi(const std::string& utf8, std::size_t n) {
  if (n == 0) return;
  std::string ansi = Utf8ToCp1252(utf8);
  if (ansi.size() > n - 1) ansi.resize(n - 1);
  Bytes(ansi.data(), ansi.size());
  Zeros(n - ansi.size());
}

void ByteWriter::CountedString(const std::string& utf8) {
  std::string ansi = Utf8ToCp1252(utf8);
  // The length field is 16 bits and counts the NUL: longer texts are cut so
  // that the stored length still matches the bytes that follow.
  constexpr std::size_t kMaxChars = 0xFFFF - 1;
  if (ansi.size() > kMaxChars) ansi.resize(kMaxChars);
  U16(static_cast<std::uint16_t>(ansi.size() + 1));
  Bytes(ansi.data(), ansi.size());
  U8(0);
}

// ---- ByteReader ----

bool ByteReader::Take(std::size_t n) {
  if (n > size_ - pos_) {
    failed_ = true;
    pos_ = size_;
    return false;
  }
  return true;
}

std::uint8_t ByteReader::U8() {
  if (!Take(1)) return 0;
  return data_[pos_++];
}

std::uint16_t ByteReader::U16() {
  if (!Take(2)) return 0;
  const std::uint16_t v = static_cast<std::uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
  pos_ += 2;
  return v;
}

std::uint32_t ByteReader::U32() {
  if (!Take(4)) return 0;
  std::uint32_t v = 0;
  for (int k = 3; k >= 0; --k) v = (v << 8) | data_[pos_ + static_cast<std::size_t>(k)];
  pos_ += 4;
  return v;
}

long double ByteReader::LongDouble() {
  if (!Take(10)) return 0;
  const long double v = DecodeExtended(data_ + pos_);
  pos_ += 10;
  return v;
}

double ByteReader::Double() {
  if (!Take(8)) return 0;
  std::uint64_t bits = 0;
  for (int k = 7; k >= 0; --k) bits = (bits << 8) | data_[pos_ + static_cast<std::size_t>(k)];
  pos_ += 8;
  double v;
  std::memcpy(&v, &bits, 8);
  return v;
}

bool ByteReader::Bytes(void* out, std::size_t n) {
  if (!Take(n)) {
    if (n > 0) std::memset(out, 0, n);
    return false;
  }
  if (n > 0) std::memcpy(out, data_ + pos_, n);
  pos_ += n;
  return true;
}

bool ByteReader::Skip(std::size_t n) {
  if (!Take(n)) return false;
  pos_ += n;
  return true;
}

std::string ByteReader::FixedAnsi(std::size_t n) {
  if (!Take(n)) return {};
  const char* p = reinterpret_cast<const char*>(data_ + pos_);
  pos_ += n;
  const void* nul = std::memchr(p, 0, n);
  const std::size_t len = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - p) : n;
  return Cp1252ToUtf8(std::string(p, len));
}

std::string ByteReader::CountedString(std::size_t maxBytes) {
  const std::size_t n = U16();
  if (failed_) return {};
  if (n > maxBytes || n > size_ - pos_) {
    Fail();
    pos_ = size_;
    return {};
  }
  // The stored bytes normally end with their NUL; a length of 0 or a text
  // without the NUL is taken as it stands.
  return FixedAnsi(n);
}

// ---- whole files ----

bool WriteAll(int fd, const void* data, std::size_t n) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  while (n > 0) {
    const ssize_t w = ::write(fd, p, n);
    if (w <= 0) {
      if (w < 0 && errno == EINTR) continue;
      return false;
    }
    p += w;
    n -= static_cast<std::size_t>(w);
  }
  return true;
}

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out, std::size_t maxBytes) {
  out.clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<std::uint64_t>(st.st_size) <= maxBytes;
  if (ok) {
    out.reserve(static_cast<std::size_t>(st.st_size));
    std::uint8_t buffer[65536];
    for (;;) {
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        ok = n == 0;
        break;
      }
      // A file that grows while it is read is held to the same limit.
      if (out.size() + static_cast<std::size_t>(n) > maxBytes) {
        ok = false;
        break;
      }
      out.insert(out.end(), buffer, buffer + n);
    }
  }
  ::close(fd);
  if (!ok) {
    out.clear();
    out.shrink_to_fit();
  }
  return ok;
}

namespace {

// Removes the hidden temporaries ".<name>.tmp<pid>_<n>" that saves of this
// program left in the folder when they were interrupted: those of processes
// that no longer run, owned by this user, regular files only.
void RemoveStaleTemporaries(const std::string& dir) {
  DIR* d = ::opendir(dir.c_str());
  if (!d) return;
  const pid_t self = ::getpid();
  while (const dirent* e = ::readdir(d)) {
    const std::string_view name = e->d_name;
    if (name.size() < 8 || name[0] != '.') continue;
    const std::size_t tmp = name.rfind(".tmp");
    if (tmp == std::string_view::npos || tmp == 0) continue;
    const std::string_view rest = name.substr(tmp + 4);
    const std::size_t bar = rest.find('_');
    if (bar == 0 || bar == std::string_view::npos || bar > 9 || bar + 1 == rest.size()) continue;
    auto digits = [](std::string_view t) {
      return std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (!digits(rest.substr(0, bar)) || !digits(rest.substr(bar + 1))) continue;
    const pid_t pid = static_cast<pid_t>(std::strtol(std::string(rest.substr(0, bar)).c_str(), nullptr, 10));
    if (pid <= 0 || pid == self) continue;
    if (::kill(pid, 0) == 0 || errno != ESRCH) continue;  // still running (or not ours to ask)
    struct stat st;
    if (::fstatat(::dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(st.st_mode) || st.st_uid != ::getuid()) continue;
    ::unlinkat(::dirfd(d), e->d_name, 0);
  }
  ::closedir(d);
}

// Where a save to `target` writes: the target itself, or the regular file
// that a symbolic link (or a chain of them) of the user's own points to, so
// that the link stays a link.  A link of anyone else's at the target is never
// written through: the save replaces that link (someone who may write into a
// folder could otherwise aim a settings file at any file of the user's).
// Through a link the save writes only to a regular file of the user's own,
// reached by links of the user's own: a file of anyone else's is not taken
// over.  Empty when the save must not happen: that, or the target or the end
// of its links exists and is no regular file (a device, a FIFO, a socket, a
// directory), or a link leads nowhere.  `throughLink` says whether a link
// led there.
std::string SaveDestination(const std::string& target, bool& throughLink) {
  std::string path = target;
  for (int hop = 0;; ++hop) {
    throughLink = hop > 0;
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT && hop == 0 ? path : std::string();
    if (S_ISREG(st.st_mode)) return hop == 0 || st.st_uid == ::getuid() ? path : std::string();
    if (!S_ISLNK(st.st_mode) || hop == 40) return {};
    if (st.st_uid != ::getuid()) return hop == 0 ? path : std::string();
    std::string next(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
    const ssize_t n = ::readlink(path.c_str(), next.data(), next.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= next.size()) return {};
    next.resize(static_cast<std::size_t>(n));
    const std::size_t slash = path.find_last_of('/');
    path = next.front() == '/' || slash == std::string::npos ? next : path.substr(0, slash + 1) + next;
  }
}

// Whether the user may open the regular file at the destination for writing
// (its mode, its owner, a read-only file system).  A file the user cannot
// write is not replaced behind the user's back by a rename, which only needs
// the folder's permission.  Root may write any file.  A destination that is
// free, or another user's link that the save replaces, needs no more.
bool MayWrite(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return true;
  return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

// Whether the destination is still free or still what SaveDestination
// accepted, just before the rename puts the new file in its place.
bool StillReplaceable(const std::string& path, bool throughLink) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT;
  if (throughLink) return S_ISREG(st.st_mode) && st.st_uid == ::getuid();
  return S_ISREG(st.st_mode) || S_ISLNK(st.st_mode);
}

}  // namespace

bool AppendToFile(const std::string& target, const std::string& text) {
  if (target.empty()) return false;
  bool throughLink = false;
  const std::string path = SaveDestination(target, throughLink);
  if (path.empty()) return false;
  // O_NOFOLLOW: a link of anyone else's that stands at the target is refused.
  const int flags = O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  const int fd = ::open(path.c_str(), flags, 0666);
  if (fd < 0) return false;
  struct stat st;
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && (!throughLink || st.st_uid == ::getuid());
  ok = ok && WriteAll(fd, text.data(), text.size());
  return (::close(fd) == 0) && ok;
}

void RemoveStaleSaveTemporaries(const std::string& folder) {
  if (!folder.empty()) RemoveStaleTemporaries(folder);
}

bool WriteFileAtomically(const std::string& target, const std::vector<std::uint8_t>& data) {
  return WriteFileAtomicallyWith(target, [&data](int fd) { return WriteAll(fd, data.data(), data.size()); });
}

bool WriteFileAtomicallyWith(const std::string& target, const std::function<bool(int fd)>& fill) {
  if (target.empty()) return false;
  bool throughLink = false;
  const std::string path = SaveDestination(target, throughLink);
  if (path.empty() || !MayWrite(path)) return false;
  const std::size_t slash = path.find_last_of('/');
  const std::string dir = slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty()) return false;

  RemoveStaleTemporaries(dir);

  // A hidden temporary beside the target: rename() only replaces atomically
  // within one file system.  O_EXCL with a fresh name per attempt keeps two
  // writers (or a leftover from a crash) from sharing a temporary.
  static unsigned counter = 0;
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = (slash == std::string::npos ? std::string() : dir) + "." + name + ".tmp" +
           std::to_string(::getpid()) + "_" + std::to_string(++counter);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;

  // Keep the permissions of a file that is being replaced.
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
    (void)::fchmod(fd, st.st_mode & 07777);
  }

  bool ok = fill(fd);
  ok = ok && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && StillReplaceable(path, throughLink) && ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  // Make the rename itself durable.
  const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    (void)::fsync(dfd);
    ::close(dfd);
  }
  return true;
}

}  // namespace kv
