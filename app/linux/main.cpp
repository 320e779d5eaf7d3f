// The program decides from its command line whether it needs its window at all. Only the window
// loads Qt, from a module of its own, so that --text, --json, --help and --version load no toolkit
// and need no display.
#include "app/command_line.h"
#include "app/console.h"
#include "app/linux/window_module.h"

int main(int argc, char** argv) {
  constexpr char kProgram[] = "quorvane";
  const app::Command command = app::ParseCommandLine(argc, argv, kProgram);
  if (command.mode != app::Mode::Window) {
    return app::RunWithoutWindow(command, kProgram, "\n");
  }
  return app::ShowWindow(argc, argv, app::WindowModulePaths());
}
