#pragma once
// Printing and drawing need the application object of the toolkit (without a screen); one for
// the whole test program.
#include <QGuiApplication>
#include <cstdlib>

namespace kaede {

inline void EnsureApp() {
  static int argc = 1;
  static char name[] = "paper_qt_tests";
  static char* argv[] = {name, nullptr};
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static QGuiApplication app(argc, argv);
}

}  // namespace kaede
