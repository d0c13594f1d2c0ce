#include "support/test_env.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/app.h"
#include "platform/own_folders.h"
#include "platform/testing.h"

namespace kvtest {
namespace {

std::unique_ptr<plat::App> g_app;
int g_argc = 1;
char g_arg0[] = "kurvato_tests";
char* g_argv[] = {g_arg0, nullptr};

class ExpectationListener : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override {
    plat::testing::Reset();
    plat::SeedRandom(12345);
  }
  void OnTestEnd(const ::testing::TestInfo&) override {
    for (const auto& f : plat::testing::Failures()) ADD_FAILURE() << "dialog seam: " << f;
    if (plat::testing::PendingExpectations() > 0)
      ADD_FAILURE() << plat::testing::PendingExpectations() << " dialog answers were never used";
    plat::App::DeleteDestroyedWindows();
    plat::testing::DeleteDeferredObjects();
    plat::testing::Reset();
  }
};

}  // namespace

void InstallEnvironment(int, char**) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  const std::string& base = TempRoot();
  setenv("KURVATO_HOME", (base + "/home/").c_str(), 1);
  g_app = std::make_unique<plat::App>(g_argc, g_argv);
  plat::testing::EnableTestingMode(true);
  plat::DeviceCaps caps;  // 1024 x 768, 96 dpi, 320 x 240 mm
  plat::testing::FixScreenCaps(caps);
  ::testing::UnitTest::GetInstance()->listeners().Append(new ExpectationListener);
}

plat::App& Application() { return *g_app; }

void Shutdown() { g_app.reset(); }

void ClearSettingsFolder() {
  std::string dir = plat::SettingsDirectory();
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(dir, ec))
    std::filesystem::remove_all(e.path(), ec);
}

}  // namespace kvtest
