// What the environment says about the display the window would be shown on, and what to say when
// the window cannot be shown there. Read before any toolkit is loaded: only variables, no
// connection is tried, so the program can answer without loading Qt where there is no display.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace app {

inline constexpr int kNoDisplayStatus = 1;

struct DisplayEnvironment {
  std::string qpaPlatform;  // QT_QPA_PLATFORM: a platform, or a list "wayland;xcb"
  std::string display;      // DISPLAY
  std::string waylandDisplay;
  std::string sessionType;  // XDG_SESSION_TYPE
  bool gnome = false;       // XDG_CURRENT_DESKTOP or XDG_SESSION_DESKTOP names GNOME

  static DisplayEnvironment OfProcess();
};

// The platforms QT_QPA_PLATFORM names, in order, without their options ("xcb" of "xcb:x=1").
std::vector<std::string> NamedPlatforms(const DisplayEnvironment& environment);

// The platforms the window starts on, in order, where QT_QPA_PLATFORM names none: Qt's own choice
// (Wayland first in a Wayland session but GNOME's, then X), except that where only a Wayland
// display is named it starts on Wayland, and where Qt would try Wayland first but its plugin is not
// installed (waylandInstalled, asked only then), on the X display that is there too.
std::vector<std::string> PlatformsToTry(const DisplayEnvironment& environment,
                                        const std::function<bool()>& waylandInstalled);

// Where the environment names no display the window could be shown on: the one line to say.
std::optional<std::string> NoDisplayLine(const DisplayEnvironment& environment);

// The line for a platform Qt could not start: its plugin is not installed (installed false), or
// the display it was to open could not be opened.
std::string PlatformFailedLine(const DisplayEnvironment& environment, const std::string& platform,
                               bool installed);

// The line for a platform whose plugin is installed but cannot be loaded (a library it needs is
// missing), with the loader's reason: the display is not to blame.
std::string PluginFailedLine(const std::string& platform, const std::string& reason);

}  // namespace app
