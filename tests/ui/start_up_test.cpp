// The program's start on a fake machine: the hidden settings window loads, creates the main window
// on its first write, fills and shows it, and its Timer1 refreshes the memory figures from 1400 ms
// on.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QTest>
#include <QWidget>
#include <memory>
#include <string>

#include "tests/fake/fake_platform.h"
#include "tests/ui/qt_app.h"
#include "ui/main/qt/main_window.h"
#include "ui/settings/qt/settings_window.h"

namespace {

using mainform::Label;

class StartUp : public ::testing::Test {
 protected:
  StartUp() {
    testing_support::App();
    fake::Reset();
  }

  int loads = 0;
  // As the program holds them: the main window outlives the settings window's timer.
  std::unique_ptr<mainwindow::MainWindow> main;
  settings::SettingsWindow host{[this]() -> mainform::MainForm& {
    ++loads;
    if (!main) {
      main = std::make_unique<mainwindow::MainWindow>();
      EXPECT_FALSE(main->isVisible()) << "the main window must be created hidden";
    }
    return *main;
  }};
};

TEST_F(StartUp, LoadingTheSettingsWindowShowsOnlyTheFilledMainWindow) {
  host.Load();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(loads, 1);
  EXPECT_TRUE(main->isVisible());
  EXPECT_EQ(main->Caption(Label::Label1), "WORKSTATION");
  EXPECT_EQ(main->Caption(Label::Label12), "32768 Kb");
  EXPECT_EQ(main->Text1(), host.form().Text1());
  // The settings window is no window at all: the main window is the only top-level widget.
  int shown = 0;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    shown += widget->isVisible() ? 1 : 0;
  }
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(host.objectName(), QStringLiteral("frmSystemInfo"));
}

TEST_F(StartUp, Timer1RunsEvery1400MsFromTheLoad) {
  QElapsedTimer sinceLoad;
  sinceLoad.start();
  host.Load();
  const int remaining = host.Timer1().remainingTime();
  const qint64 elapsed = sinceLoad.elapsed();
  EXPECT_TRUE(host.Timer1().isActive());
  EXPECT_EQ(host.Timer1().interval(), 1400);
  EXPECT_FALSE(host.Timer1().isSingleShot());
  // Started by the load: no more of the interval is gone than the load took (under an emulator the
  // first window may take all of it to show).
  EXPECT_GE(remaining, 1400 - elapsed - 1);
}

TEST_F(StartUp, TheFirstTickRewritesTheMemoryFiguresAfterAnInterval) {
  QElapsedTimer sinceLoad;
  sinceLoad.start();
  host.Load();
  fake::machine().totalPhys = 16777216;  // 16384 Kb
  fake::machine().availPhys = 1048576;   // 1024 Kb
  fake::machine().memoryLoad = 100;
  QTest::qWait(100);
  const std::string early = main->Caption(Label::Label13);
  if (sinceLoad.elapsed() < 1400) {  // else a slow load has used up the first interval
    EXPECT_EQ(early, "16384 Kb") << "a tick came before its interval";
  }

  QTRY_COMPARE_WITH_TIMEOUT(main->Caption(Label::Label13), std::string("1024 Kb"), 5000);
  EXPECT_GE(sinceLoad.elapsed(), 1350);
  EXPECT_EQ(main->Caption(Label::Label12), "16384 Kb");
  EXPECT_EQ(main->Caption(Label::Label14), "100 %");
  EXPECT_EQ(main->Caption(Label::Label1), "WORKSTATION") << "a tick wrote more than memory";
}

}  // namespace
