// The program starts by loading the hidden settings window; the event loop then runs until Exit or
// the main window's close box ends it.
#include <QApplication>

#include "app/program.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  app::Program program;
  program.Load();
  return QApplication::exec();
}
