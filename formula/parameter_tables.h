// The parameters "@" and A..Z of a drawing: lower slider limit, value and
// upper slider limit, as complex long doubles.  The value table continues
// with the extra variables 27..32 (private variables of the mapping grids and
// of 3D picking), and a backup of the 27 values brackets tool computations.
// The sliders use real parts only.
#pragma once

#include <array>

#include "formula/complex.h"
#include "formula/tokens.h"
#include "core/binary_stream.h"

namespace kv {

struct TParameterTables {
  std::array<TComplex, tok::kParameterCount> lower{};
  std::array<TComplex, tok::kVariableCount> value{};
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
