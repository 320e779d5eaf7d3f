// The program starts by loading the hidden settings window; the event loop then runs until Exit or
// the main window's close box ends it.
#include <QApplication>

#include "app/linux/display.h"
#include "app/linux/program.h"

int main(int argc, char** argv) {
  const auto application = app::StartOnDisplay(argc, argv);
  if (!application) {
    return app::kNoDisplayStatus;
  }
  app::Program program;
  program.Load();
  return QApplication::exec();
}
