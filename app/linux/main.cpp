// The program decides from its command line what it is asked for, and loads only the module that
// answers: the window (which alone loads Qt) or the console (--text, --json, --help, --version),
// so that neither pays for the other.
#include <cstdio>
#include <string>

#include "app/command_line.h"
#include "app/linux/modules.h"

int main(int argc, char** argv) {
  const app::Command command = app::ParseCommandLine(argc, argv, "quorvane");
  if (command.mode == app::Mode::Window) {
    return app::ShowWindow(argc, argv, app::ModulePaths(QUORVANE_WINDOW_FILE));
  }
  std::string why;
  // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): dlsym's only way to a function
  const auto run = reinterpret_cast<app::ConsoleMain>(
      app::LoadEntry(app::ModulePaths(QUORVANE_CONSOLE_FILE), app::kConsoleMain, &why));
  if (run == nullptr) {
    std::fprintf(stderr, "quorvane: its console module could not be loaded (%s)\n", why.c_str());
    return command.mode == app::Mode::UsageError ? app::kUsageError : app::kFailed;
  }
  return run(static_cast<int>(command.mode), command.error.c_str());
}
