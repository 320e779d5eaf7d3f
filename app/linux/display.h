// Started where no window can be shown, the program says so in one line and ends with status 1,
// instead of Qt's abort with its advice to reinstall.
#pragma once

#include <memory>

class QApplication;

namespace app {

inline constexpr char kNoDisplay[] =
    "quorvane: no display to show the window on (DISPLAY is not set or cannot be opened)\n";
inline constexpr int kNoDisplayStatus = 1;

// Whether the environment names a display for the window-system platform Qt will pick. Only the
// variables are read: no connection is tried.
bool DisplayNamed();

// The application on the window system's display. Where there is none, says kNoDisplay on the
// standard error and gives nothing when the environment names no display, or ends the process with
// kNoDisplayStatus when the platform cannot open the one named.
std::unique_ptr<QApplication> StartOnDisplay(int& argc, char** argv);

}  // namespace app
