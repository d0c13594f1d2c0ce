#include "formula/parameter_tables.h"

#include <cmath>

namespace kv {

void WriteComplex(ByteWriter& w, const TComplex& z) {
  w.LongDouble(z.re);
  w.LongDouble(z.im);
}

TComplex ReadComplex(ByteReader& r) {
  const long double re = r.LongDouble();
  const long double im = r.LongDouble();
  return TComplex(re, im);
}

namespace {

long double Sane(long double v) { return std::isfinite(v) ? v : 0.0L; }

}  // namespace

void TParameterTables::Write(ByteWriter& w, bool complexMode) const {
  auto table = [&](const TComplex* entries) {
    for (int i = 0; i < tok::kParameterCount; ++i) {
      w.LongDouble(entries[i].re);
      if (complexMode) w.LongDouble(entries[i].im);
    }
  };
  table(lower.data());
  table(value.data());
  table(upper.data());
}

bool TParameterTables::Read(ByteReader& r, bool complexMode) {
  std::array<TComplex, tok::kParameterCount> read[3];
  for (auto& t : read) {
    for (TComplex& e : t) {
      e.re = Sane(r.LongDouble());
      e.im = complexMode ? Sane(r.LongDouble()) : 0.0L;
    }
  }
  if (r.Failed()) return false;
  lower = read[0];
  for (int i = 0; i < tok::kParameterCount; ++i) value[static_cast<std::size_t>(i)] = read[1][static_cast<std::size_t>(i)];
  upper = read[2];
  return true;
}

}  // namespace kv
