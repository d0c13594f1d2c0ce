// Test entry: one application object for the whole binary, testing mode on,
// a private settings folder, and a listener that fails every test that left
// dialog expectations unmet.
#include <gtest/gtest.h>

#include "support/test_env.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  kvtest::InstallEnvironment(argc, argv);
  int rc = RUN_ALL_TESTS();
  kvtest::Shutdown();
  return rc;
}
