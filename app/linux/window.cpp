// The window module's export: the program's two windows on the display, and the event loop until
// Exit or the close box ends it.
#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QWindow>
#include <type_traits>

#include "app/linux/display.h"
#include "app/linux/display_environment.h"
#include "app/linux/modules.h"
#include "app/linux/program.h"

namespace {

// Ends the event loop when the watched window is first exposed: by then the listing and every
// label are complete, since the start-up finishes before the event loop runs.
class QuitWhenExposed : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Expose) {
      auto* window = qobject_cast<QWindow*>(watched);
      if (window != nullptr && window->isExposed()) {
        QCoreApplication::quit();
      }
    }
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

extern "C" Q_DECL_EXPORT int quorvane_window_main(int argc, char** argv, int flags) {
  const auto application = app::StartOnDisplay(argc, argv);
  if (!application) {
    return app::kNoDisplayStatus;
  }
  app::Program program;
  program.Load();
  QuitWhenExposed quit;
  if ((flags & app::kQuitWhenShown) != 0 && program.MainWindow() != nullptr) {
    program.MainWindow()->winId();  // the native window exists before the watcher is put on it
    program.MainWindow()->windowHandle()->installEventFilter(&quit);
  }
  return QApplication::exec();
}

// The export must keep the signature the program calls it with.
static_assert(std::is_same_v<decltype(&quorvane_window_main), app::WindowMain>);
