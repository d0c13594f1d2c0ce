// Test entry of the computing column's binary: no application object, no
// dialog seams, no toolkit.
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
