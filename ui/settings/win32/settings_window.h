// The settings window as a non-visual Win32 object: a message-only window that owns the window's
// logic and its Timer1, which starts when the window is loaded and calls Timer1_Timer on the
// user-interface thread.
#pragma once

#include <windows.h>

#include "ui/settings/settings_form.h"

namespace settings {

class SettingsWindow {
 public:
  static constexpr UINT_PTR kTimer1 = 1;
  static constexpr char kClassName[] = "QuorvaneSettings";

  explicit SettingsWindow(frmSystemInfo::MainFormLoader loadMain);
  ~SettingsWindow();
  SettingsWindow(const SettingsWindow&) = delete;
  SettingsWindow& operator=(const SettingsWindow&) = delete;

  // Loads the window: starts Timer1 and runs Form_Load to its end. The timer's first tick can only
  // be handled after Form_Load returns, since both run on this thread.
  void Load();

  [[nodiscard]] frmSystemInfo& form() { return form_; }
  [[nodiscard]] HWND hwnd() const { return hwnd_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  frmSystemInfo form_;
  HWND hwnd_ = nullptr;
};

}  // namespace settings
