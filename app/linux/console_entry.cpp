// The console module's export: the command line's answer without a window (console.h), on Linux,
// whose lines end with LF.
#include <type_traits>

#include "app/command_line.h"
#include "app/console.h"
#include "app/linux/modules.h"

extern "C" int quorvane_console_main(int mode, const char* error) {
  const app::Command command{static_cast<app::Mode>(mode), error != nullptr ? error : ""};
  return app::RunWithoutWindow(command, "quorvane", "\n");
}

// The export must keep the signature the program calls it with.
static_assert(std::is_same_v<decltype(&quorvane_console_main), app::ConsoleMain>);
