// The Qt main window made for a test, and its controls found by name.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QString>
#include <QWidget>
#include <memory>

#include "tests/ui/qt_app.h"
#include "ui/main/qt/main_window.h"

namespace main_window_test {

using mainwindow::MainWindow;

class Window : public ::testing::Test {
 protected:
  template <typename T = QWidget>
  T* Find(const char* name) {
    auto* child = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
  }

  QApplication& app = testing_support::App();  // before any widget
  std::unique_ptr<MainWindow> window = std::make_unique<MainWindow>();
};

}  // namespace main_window_test
