// The program's two windows and their start: the hidden settings window is loaded first, and its
// start-up creates, fills and shows the main window.
#pragma once

#include <memory>

#include "ui/main/qt/main_window.h"
#include "ui/settings/qt/settings_window.h"

namespace app {

class Program {
 public:
  // Needs the QApplication; gives it the program's name, version, organisation and icon.
  Program();

  // Loads the settings window, which runs the start-up to its end.
  void Load();

  // The main window, once the start-up has created it.
  [[nodiscard]] mainwindow::MainWindow* MainWindow() const { return main_.get(); }

 private:
  // Declared before the settings window, so that its timer stops before the main window goes.
  std::unique_ptr<mainwindow::MainWindow> main_;
  settings::SettingsWindow frmSystemInfo_;
};

}  // namespace app
