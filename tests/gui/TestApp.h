#pragma once
/// @file
/// The one QApplication of the window's tests (offscreen platform, set by the test runner).

#include <QApplication>

namespace pw::test {

inline QApplication& TestApp() {
  static int argc = 1;
  static char name[] = "test_gui";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

}  // namespace pw::test
