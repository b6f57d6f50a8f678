// Runs a test program's tests inside a QApplication, offscreen unless QT_QPA_PLATFORM says
// otherwise (screenshots under Xvfb set it to xcb).
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
// The toolkit's libraries keep memory until the process ends (fonts, fallbacks): the leak
// check ignores it also when the test runner passes no options (a list-valued test
// environment does not reach every test through test discovery).
extern "C" const char* __lsan_default_options() {
  return "suppressions=" KAEDE_LSAN_SUPPRESSIONS ":print_suppressions=0";
}
#endif

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
