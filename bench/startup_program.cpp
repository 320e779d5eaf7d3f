// The program as it starts for a user, ending the moment its main window is first exposed: by then
// the listing and every label are complete, since the start-up finishes before the event loop runs.
#include <QApplication>

#include "app/linux/display.h"
#include "app/linux/program.h"
#include "bench/quit_when_exposed.h"

int main(int argc, char** argv) {
  const auto application = app::StartOnDisplay(argc, argv);
  if (!application) {
    return app::kNoDisplayStatus;
  }
  app::Program program;
  program.Load();
  bench_support::QuitWhenExposed(*program.MainWindow());
  return QApplication::exec();
}
