// The parameters "@" and A..Z of a drawing: lower slider limit, value and
// upper slider limit, as complex long doubles.  The value table continues
// with the extra variables 27..32 (private variables of the mapping grids and
// of 3D picking), and a backup of the 27 values brackets tool computations.
// The sliders use real parts only.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "formula/complex.h"
#include "formula/tokens.h"
#include "core/binary_stream.h"

namespace kv {

// The values of the variables.  Entries are read as TComplex and written
// through Set or an assignment to `table[i]`; the table keeps track of which
// entries are not real, so that an evaluation learns in one test whether all
// the variables it reads are real.
class TValueTable {
 public:
  static constexpr std::size_t kSize = tok::kVariableCount;

  // An entry being written: assignment goes through Set, reads see the value.
  class Entry {
   public:
    Entry(TValueTable& table, std::size_t i) : re(table.v_[i].re), im(table.v_[i].im), table_(table), i_(i) {}
    Entry(const Entry&) = default;
    Entry& operator=(const TComplex& z) {
      table_.Set(i_, z);
      return *this;
    }
    Entry& operator=(const Entry& other) { return *this = static_cast<const TComplex&>(other); }
    operator const TComplex&() const { return table_.v_[i_]; }
    const long double& re;
    const long double& im;

   private:
    TValueTable& table_;
    std::size_t i_;
  };

  const TComplex& operator[](std::size_t i) const { return v_[i]; }
  Entry operator[](std::size_t i) { return Entry(*this, i); }
  void Set(std::size_t i, const TComplex& z) {
    v_[i] = z;
    const std::uint64_t bit = std::uint64_t{1} << i;
    nonReal_ = IsPositiveZero(z.im) ? nonReal_ & ~bit : nonReal_ | bit;
  }
  // The same for a real value; the imaginary part is written only when it
  // is not +0 already (the hot path of every sampler).
  void SetReal(std::size_t i, long double x) {
    v_[i].re = x;
    const std::uint64_t bit = std::uint64_t{1} << i;
    if (nonReal_ & bit) {
      v_[i].im = 0;
      nonReal_ &= ~bit;
    }
  }
  // The real part only; the imaginary part stays as it is (sliders and
  // animations move real parts).
  void SetRealPart(std::size_t i, long double x) { v_[i].re = x; }
  // +0 bit for bit (-0 and NaN are not): compared as integers.
  static bool IsPositiveZero(const long double& v) {
    std::uint64_t low = 0;
    std::uint16_t high = 0;
    std::memcpy(&low, &v, 8);
    std::memcpy(&high, reinterpret_cast<const char*>(&v) + 8, 2);
    return low == 0 && high == 0;
  }
  const TComplex* data() const { return v_.data(); }
  static constexpr std::size_t size() { return kSize; }
  // Bit i set: entry i has an imaginary part other than +0.
  std::uint64_t NonRealMask() const { return nonReal_; }

 private:
  std::array<TComplex, kSize> v_{};
  std::uint64_t nonReal_ = 0;
};
static_assert(TValueTable::kSize <= 64, "one mask bit per variable");

struct TParameterTables {
  std::array<TComplex, tok::kParameterCount> lower{};
  TValueTable value;
  std::array<TComplex, tok::kParameterCount> upper{};
  std::array<TComplex, tok::kParameterCount> backup{};

  // The plot-file block: the lower limits, the values and the upper limits,
  // 27 entries each; complex mode writes both parts (540 bytes a table), real
  // mode only the real parts (270 bytes a table).
  void Write(ByteWriter& w, bool complexMode) const;
  // Reads that block.  Real mode sets the imaginary parts to 0; entries that
  // are not finite numbers read as 0.  On a short read the tables stay as
  // they were and false is returned.
  bool Read(ByteReader& r, bool complexMode);
};

}  // namespace kv
