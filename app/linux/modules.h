// The Linux program is a small launcher over two modules, each loaded only when it is wanted: the
// window (quorvane-window.so, which alone loads Qt) and the console (quorvane-console.so: the facts
// without a window, --help and --version). A start of the window then maps no code of the console,
// and the console loads no toolkit.
#pragma once

#include <string>
#include <vector>

namespace app {

// Ends the window's event loop as soon as the main window is first shown, for start-up
// measurements.
inline constexpr int kQuitWhenShown = 1;

// The window module's one export: runs the window to its end and gives the exit status.
using WindowMain = int (*)(int argc, char** argv, int flags);
inline constexpr char kWindowMain[] = "quorvane_window_main";

// The console module's one export: runs the command line's answer (a mode of command_line.h, the
// error line of a wrong command line) and gives the exit status.
using ConsoleMain = int (*)(int mode, const char* error);
inline constexpr char kConsoleMain[] = "quorvane_console_main";

// Where a module is looked for, in order: beside the program (the build tree), where the install
// puts it relative to the program, then at its full install path. Where the program's own
// directory cannot be read (no /proc), only the full install path: never the working directory.
std::vector<std::string> ModulePaths(const std::string& file);

// The entry point named symbol of the first of paths that loads and exports it, nullptr where none
// does, with the reasons in *why (control characters escaped). Only absolute paths are loaded. The
// module stays loaded for the rest of the run.
void* LoadEntry(const std::vector<std::string>& paths, const char* symbol, std::string* why);

// Loads the window module from paths and runs the window with flags; where there is no display
// named, or no module loads, says so in one line and gives status 1.
int ShowWindow(int argc, char** argv, const std::vector<std::string>& paths, int flags = 0);

}  // namespace app
