// The application on the window system's display. Started where no window can be shown, the
// program says why in one line and ends with status 1, instead of Qt's abort with its advice to
// reinstall: no display at all, a display that cannot be opened, or a platform plugin that is not
// installed.
#pragma once

#include <memory>

class QApplication;

namespace app {

// The application, or nothing when the environment names no display (the line said on the
// standard error). Ends the process with kNoDisplayStatus when the platform cannot start. Where
// only Wayland is named the window starts on Wayland; where Qt would try Wayland first but its
// plugin is missing, on the X display that is there too.
std::unique_ptr<QApplication> StartOnDisplay(int& argc, char** argv);

}  // namespace app
