// The program as it starts for a user, ending the moment its main window is first exposed: by then
// the listing and every label are complete, since the start-up finishes before the event loop runs.
#include <QApplication>

#include "app/program.h"
#include "bench/quit_when_exposed.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  app::Program program;
  program.Load();
  bench_support::QuitWhenExposed(*program.MainWindow());
  return QApplication::exec();
}
