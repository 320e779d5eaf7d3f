// The Windows program starts by loading the hidden settings window; the message loop then runs
// until Exit or the main window's close box ends it with status 0.
#include <windows.h>

#include <commctrl.h>

#include <memory>

#include "ui/main/main_window_win32.h"
#include "ui/settings/settings_host_win32.h"

namespace {

// Print Info until the Win32 report is wired in: its first step only, the message box.
void ShowPrintOutQuestion(const mainform::MainForm& /*main*/, HWND owner) {
  ::MessageBoxA(owner, "Systems Settings PrintOut", "Pelvaro Beta 0.95", MB_OK | MB_ICONQUESTION);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*show*/) {
  // The manifest asks for version 6 of the common controls; this loads them for the buttons and
  // the text box.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);

  // Declared before the settings window, so that its timer stops before the main window goes.
  std::unique_ptr<mainwindow::MainWindow> main;
  settings::SettingsHost frmSystemInfo([&main, instance]() -> mainform::MainForm& {
    if (!main) {
      main = std::make_unique<mainwindow::MainWindow>(instance);
      main->SetReportAction(&ShowPrintOutQuestion);
    }
    return *main;
  });
  frmSystemInfo.Load();

  MSG message{};
  while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (main && main->PreTranslate(message)) {
      continue;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}
