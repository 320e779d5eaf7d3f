// The window module's export: the program's two windows on the display, and the event loop until
// Exit or the close box ends it.
#include <QApplication>
#include <type_traits>

#include "app/linux/display.h"
#include "app/linux/display_environment.h"
#include "app/linux/modules.h"
#include "app/linux/program.h"
#include "app/linux/quit_when_shown.h"

extern "C" Q_DECL_EXPORT int quorvane_window_main(int argc, char** argv, int flags) {
  const auto application = app::StartOnDisplay(argc, argv);
  if (!application) {
    return app::kNoDisplayStatus;
  }
  app::Program program;
  program.Load();
  if ((flags & app::kQuitWhenShown) != 0 && program.MainWindow() != nullptr) {
    app::QuitWhenExposed(*program.MainWindow());
  }
  return QApplication::exec();
}

// The export must keep the signature the program calls it with.
static_assert(std::is_same_v<decltype(&quorvane_window_main), app::WindowMain>);
