// One QApplication for a whole GoogleTest program of widget tests. A GoogleTest environment makes
// it before the first test and deletes it after the last, while main() still runs: destroyed later,
// by static destruction, it would outlive globals of Qt's own that its destructor still uses.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

namespace testing_support {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { app_ = std::make_unique<QApplication>(argc_, argv_); }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[14] = "quorvane-test";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

inline ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

// The application, for fixtures that make widgets.
inline QApplication& App() {
  return *qApp;
}

}  // namespace testing_support
