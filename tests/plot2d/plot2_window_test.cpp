// The 2D window as the main frame opens it.
#include <gtest/gtest.h>

#include <set>

#include "app/window_registry.h"
#include "platform/app.h"
#include "platform/bitmap.h"
#include "platform/keys.h"
#include "plot2d/plot2_win.h"
#include "shell/plot_frame.h"
#include "support/test_env.h"

namespace kv {
namespace {

TEST(Plot2Window, OpensFromTheFrameWithItsCoordinateSystemAndZooms) {
  RegisterWindowCreators();
  kvtest::ClearSettingsFolder();
  auto* frame = new TPlotFrame(nullptr, "Kurvato");
  ASSERT_TRUE(frame->Create());
  frame->SimulateKey(plat::VK_F2);
  TPlot2Win* w = nullptr;
  for (plat::Window* c : frame->Children())
    if (auto* p = dynamic_cast<TPlot2Win*>(c)) w = p;
  ASSERT_NE(w, nullptr);
  for (int i = 0; i < 5; ++i) plat::App::ProcessEvents();
  const plat::Bitmap& s = w->Surface();
  ASSERT_GT(s.Width(), 100);
  std::set<plat::Colour> colours;
  for (int y = 0; y < s.Height(); y += 3)
    for (int x = 0; x < s.Width(); x += 3) colours.insert(s.GetPixel(x, y));
  EXPECT_GE(colours.size(), 2u) << "axes and numbers on the background";

  long double before = w->HalfX;
  w->SimulateKey(plat::VK_PRIOR);  // zoom in
  EXPECT_LT(w->HalfX, before);
  w->SimulateKey('L', plat::MOD_CONTROL);  // back to the previous view
  EXPECT_EQ(w->HalfX, before);
  frame->Destroy();
  plat::App::DeleteDestroyedWindows();
}

}  // namespace
}  // namespace kv
