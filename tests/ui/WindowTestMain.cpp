// Runs the window tests inside the program's own application object, so that what guards the
// shipped program (an exception leaving a handler is shown, not fatal) guards them too.
#include <gtest/gtest.h>

#include <cstdlib>

#include "AppGuards.h"

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  kaede::TGuardedApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
