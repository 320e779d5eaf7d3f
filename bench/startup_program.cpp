// The program as it starts for a user, loading its window module as the program does, and ending
// the moment its main window is first exposed: by then the listing and every label are complete,
// since the start-up finishes before the event loop runs.
#include "app/linux/modules.h"

int main(int argc, char** argv) {
  return app::ShowWindow(argc, argv, {QUORVANE_WINDOW_MODULE}, app::kQuitWhenShown);
}
