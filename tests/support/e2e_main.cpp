// The main of every test program that drives built programs under Wine: the
// paths ctest hands over stay for the tests to read (ArgumentPath).
#include <gtest/gtest.h>

#include "tests/support/wine_paths.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  test_support::KeepArguments(argc, argv);
  return RUN_ALL_TESTS();
}
