// The Windows program's two windows and their start: the hidden settings window is loaded first,
// and its start-up creates, fills and shows the main window. Shared by WinMain and the start-up
// benchmark.
#pragma once

#include <windows.h>

#include <memory>

#include "ui/main/win32/main_window.h"
#include "ui/settings/win32/settings_window.h"

namespace app {

class Program {
 public:
  // `instance` carries the program's resources.
  explicit Program(HINSTANCE instance);

  // Loads the settings window, which runs the start-up to its end.
  void Load();
  // Runs the message loop until Exit or the close box; returns the exit status.
  int Run();

  // The main window, once the start-up has created it.
  [[nodiscard]] mainwindow::MainWindow* MainWindow() const { return main_.get(); }

 private:
  HINSTANCE instance_;
  // Declared before the settings window, so that its timer stops before the main window goes.
  std::unique_ptr<mainwindow::MainWindow> main_;
  settings::SettingsWindow frmSystemInfo_;
};

}  // namespace app
