#include "app/windows/program.h"

#include <commctrl.h>

#include "ui/main/win32/report.h"

namespace app {

Program::Program(HINSTANCE instance)
    : instance_(instance), frmSystemInfo_([this]() -> mainform::MainForm& {
        if (!main_) {
          main_ = std::make_unique<mainwindow::MainWindow>(instance_);
          main_->SetReportAction(&report::PrintFromWindow);
          // Exit and the close box end the process at once: the windows go with it. Taking them
          // down one by one first only delays the end (under Wine without a window manager, by
          // seconds, while it waits for each window to be withdrawn).
          main_->SetExitAction([] { ::ExitProcess(0); });
        }
        return *main_;
      }) {
  // The manifest asks for version 6 of the common controls; this loads them for the buttons and
  // the text box.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
}

void Program::Load() {
  frmSystemInfo_.Load();
}

int Program::Run() {
  MSG message{};
  while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (main_ && main_->PreTranslate(message)) {
      continue;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace app
