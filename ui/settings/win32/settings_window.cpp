#include "ui/settings/win32/settings_window.h"

#include <utility>

namespace settings {

SettingsWindow::SettingsWindow(frmSystemInfo::MainFormLoader loadMain)
    : form_(std::move(loadMain)) {
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  if (!::GetClassInfoExA(instance, kClassName, &existing)) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &SettingsWindow::WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    ::RegisterClassExA(&windowClass);
  }
  // A message-only window: it receives the timer's ticks and can never be shown.
  ::CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, this);
}

SettingsWindow::~SettingsWindow() {
  if (hwnd_) {
    ::KillTimer(hwnd_, kTimer1);
    ::DestroyWindow(hwnd_);
  }
}

void SettingsWindow::Load() {
  ::SetTimer(hwnd_, kTimer1, frmSystemInfo::kTimerIntervalMs, nullptr);
  form_.Form_Load();
}

LRESULT CALLBACK SettingsWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self =
        static_cast<SettingsWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<SettingsWindow*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self && message == WM_TIMER && wParam == kTimer1) {
    self->form_.Timer1_Timer();
    return 0;
  }
  if (self && message == WM_NCDESTROY) {
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace settings
