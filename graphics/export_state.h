// The recording state of a vector export.  A window writes its drawing as
// EPS, SVG or PiCTeX by drawing itself once more while one of the three
// flags is set; every drawing routine tests the flags and hands its figures
// to the writer of the format being recorded.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kv {

struct TExportState {
  std::uint8_t PictexFlag = 0;
  std::uint8_t SvgFlag = 0;
  std::uint8_t EpsFlag = 0;
  // The PiCTeX point list being built and the number of its points.
  std::string PictexPointList;
  std::int32_t PictexPointCount = 0;
  std::string EpsCreator = "ZORkin";
  std::string SvgCreator = "ZORkin";
  // Settings the writers' set-up dialogs keep between runs.
  long double PictexWidthCm = 8.0L;
  std::int16_t PictexMode = 0;
  std::array<std::string, 5> EpsDashPatterns{};
  std::int16_t SvgPatternCounter = 0;

  bool Recording() const { return PictexFlag || SvgFlag || EpsFlag; }
};

}  // namespace kv
