// The recording state of a vector export.  A window writes its drawing as
// EPS, SVG or PiCTeX by drawing itself once more while one of the three
// flags is set; the drawing routines ask for the active sink and hand it
// their figures.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "graphics/export_sink.h"

namespace kv {

// What the set-up dialogs of an export chose: the SVG document size (0:
// the client's) and the PiCTeX mode, box number and picture width.
struct TExportOptions {
  std::int32_t svgWidth = 0;
  std::int32_t svgHeight = 0;
  std::int32_t pictexMode = 0;
  std::int32_t pictexBox = 1;
  long double pictexWidthCm = 8.0L;
};

struct TExportState {
  std::uint8_t PictexFlag = 0;
  std::uint8_t SvgFlag = 0;
  std::uint8_t EpsFlag = 0;
  // The writer of the running export, from its begin to its end.
  std::unique_ptr<TExportSink> Sink;
  std::string EpsCreator = "ZORkin";
  std::string SvgCreator = "ZORkin";
  // Settings the writers' set-up dialogs keep between runs.
  long double PictexWidthCm = 8.0L;
  std::int16_t PictexMode = 0;

  bool Recording() const { return PictexFlag || SvgFlag || EpsFlag; }
  // The sink of the format being recorded, or none.
  TExportSink* ActiveSink() const { return Recording() ? Sink.get() : nullptr; }
};

}  // namespace kv
