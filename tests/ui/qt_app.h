// One QApplication for a whole GoogleTest program of widget tests, made on first use and kept until
// the program ends (widgets need it; a second one is not allowed).
#pragma once

#include <QApplication>

namespace testing_support {

inline QApplication& App() {
  static int argc = 1;
  static char name[] = "quorvane-test";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
  return app;
}

}  // namespace testing_support
