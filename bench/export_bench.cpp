// Exporting the reference 2D scene (grid, axes with labels, x·sin(x),
// tan(x) with its gaps, a hatched area) to each vector format, against a
// full repaint of the same scene: an export should cost no more than three
// repaints.  The dialogs are left out.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "graphics/axis_settings.h"
#include "platform/bitmap.h"
#include "plot2d/plot2_win.h"

namespace {

// An unshown 2D window of 800 x 600 pixels holding the reference scene.
std::unique_ptr<kv::TPlot2Win> ReferenceScene() {
  auto w = std::make_unique<kv::TPlot2Win>(nullptr, "bench.kv2");
  w->ClientWidth = 800;
  w->ClientHeight = 600;
  w->SetDrawingArea(800, 600, 0, 0);
  w->ComputeView();
  w->GridBits = kv::kGridRectangular | 15;
  w->LabelsShown = 1;
  w->quietDrawing = 1;
  const int xsin = w->AppendEquation(kv::kKindExplicit, {"", "xsin(x)"});
  w->AppendEquation(kv::kKindExplicit, {"", "tan(x)"});
  const int zero = w->AppendEquation(kv::kKindExplicit, {"", "0"});
  kv::TShadeRecord s;
  s.graphA = static_cast<std::int16_t>(xsin);
  s.graphB = static_cast<std::int16_t>(zero);
  s.intervalFlag = 1;
  s.from = 1;
  s.to = 3;
  s.colour = 5;
  s.packedCode = static_cast<std::int16_t>(kv::PackShadeCode(3, 0, 0));
  w->shadings.push_back(s);
  return w;
}

void BM_RepaintReferenceScene(benchmark::State& state) {
  auto w = ReferenceScene();
  plat::Bitmap b(800, 600);
  plat::BitmapDC dc(b);
  for (auto _ : state) {
    w->DrawPlotLayer(dc);
    w->DrawPlot(dc);
  }
}
BENCHMARK(BM_RepaintReferenceScene)->UseRealTime()->Unit(benchmark::kMillisecond);

// Arguments: format 0 EPS, 1 SVG, 2 PiCTeX; 1 writes the file (with the
// flushes of a safe save), 0 stops before the disk.
void BM_ExportReferenceScene(benchmark::State& state) {
  auto w = ReferenceScene();
  const auto format = state.range(0) == 0   ? kv::TExportFormat::Eps
                      : state.range(0) == 1 ? kv::TExportFormat::Svg
                                            : kv::TExportFormat::Pictex;
  const std::string path = (std::filesystem::temp_directory_path() / "kurvato_bench_export").string();
  plat::Bitmap b(800, 600);
  plat::BitmapDC dc(b);
  for (auto _ : state) {
    if (!w->OpenExportFile(format, path, {})) {
      state.SkipWithError("cannot write the export file");
      break;
    }
    if (format == kv::TExportFormat::Eps) w->EpsFlag = 1;
    if (format == kv::TExportFormat::Svg) w->SvgFlag = 1;
    if (format == kv::TExportFormat::Pictex) {
      w->PictexFlag = 1;
      w->WritePictexShadeSymbol();
    } else {
      w->WritePageBackground();
    }
    w->PaintBackground(dc);
    w->DrawWholePlot(dc);
    if (state.range(1) == 0) w->AbandonFile();
    w->CloseExportFile();
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_ExportReferenceScene)
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
