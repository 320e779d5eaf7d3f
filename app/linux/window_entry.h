// The window as a module of its own (quorvane-window.so), which alone loads Qt: the program loads
// it only when the window is wanted, so that its command line's answers load no toolkit.
#pragma once

namespace app {

// Ends the event loop as soon as the main window is first shown, for start-up measurements.
inline constexpr int kQuitWhenShown = 1;

// The module's one export: runs the window to its end and gives the exit status.
using WindowMain = int (*)(int argc, char** argv, int flags);
inline constexpr char kWindowMain[] = "quorvane_window_main";

}  // namespace app
