// The window module's export: the program's two windows on the display, and the event loop until
// Exit or the close box ends it.
#include <QApplication>
#include <cstdlib>
#include <string>
#include <type_traits>

#include "app/linux/display.h"
#include "app/linux/display_environment.h"
#include "app/linux/modules.h"
#include "app/linux/program.h"
#include "app/linux/quit_when_shown.h"
#include "probes/system.h"

namespace {

// Outside a desktop session Qt makes its runtime folder in TMPDIR while its application object is
// made: where TMPDIR is set, the platform's bounded answer comes first and Qt is given it, so that
// a TMPDIR on a share that does not answer cannot hold Qt.
void GiveQtTheTempDirectory() {
  const char* tmpdir = std::getenv("TMPDIR");
  if (tmpdir == nullptr) {
    return;
  }
  std::string confirmed = System::TempDir();
  std::string given = tmpdir;
  if (!given.empty() && given.back() != '/') {
    given += '/';
  }
  if (confirmed != given && confirmed.size() > 1) {
    confirmed.pop_back();  // Qt's folders are named without the final separator
    ::setenv("TMPDIR", confirmed.c_str(), 1);
  }
}

}  // namespace

extern "C" Q_DECL_EXPORT int quorvane_window_main(int argc, char** argv, int flags) {
  GiveQtTheTempDirectory();
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
