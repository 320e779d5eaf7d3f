#include "app/linux/display_environment.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string_view>

#include "ui/main/visible_text.h"

namespace app {
namespace {

constexpr char kNeedNone[] = "; --text and --json need none\n";

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// A name from the environment, quoted, with any control character in it shown as an escape.
std::string Quoted(const std::string& text) {
  return "\"" + visibletext::Escaped(text, platform::TextEncoding::Utf8) + "\"";
}

}  // namespace

DisplayEnvironment DisplayEnvironment::OfProcess() {
  std::string desktops = Variable("XDG_CURRENT_DESKTOP") + ":" + Variable("XDG_SESSION_DESKTOP");
  std::transform(desktops.begin(), desktops.end(), desktops.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return {Variable("QT_QPA_PLATFORM"), Variable("DISPLAY"), Variable("WAYLAND_DISPLAY"),
          Variable("XDG_SESSION_TYPE"), desktops.find("gnome") != std::string::npos};
}

std::vector<std::string> NamedPlatforms(const DisplayEnvironment& environment) {
  std::vector<std::string> platforms;
  std::string_view list = environment.qpaPlatform;
  while (!list.empty()) {
    const std::string_view entry = list.substr(0, list.find(';'));
    list.remove_prefix(std::min(list.size(), entry.size() + 1));
    if (const std::string_view name = entry.substr(0, entry.find(':')); !name.empty()) {
      platforms.emplace_back(name);
    }
  }
  return platforms;
}

std::vector<std::string> PlatformsToTry(const DisplayEnvironment& environment,
                                        const std::function<bool()>& waylandInstalled) {
  if (!environment.waylandDisplay.empty() && environment.display.empty()) {
    return {"wayland"};
  }
  if (environment.sessionType == "wayland" && !environment.gnome) {
    if (environment.display.empty() || waylandInstalled()) {
      return {"wayland", "xcb"};
    }
  }
  return {"xcb"};
}

std::optional<std::string> NoDisplayLine(const DisplayEnvironment& environment) {
  const std::vector<std::string> platforms = NamedPlatforms(environment);
  if (platforms.empty()) {
    // Qt starts on X unless told otherwise, and the program on Wayland where only it is named.
    if (environment.display.empty() && environment.waylandDisplay.empty()) {
      return std::string(
                 "quorvane: no display to show the window on (neither DISPLAY nor "
                 "WAYLAND_DISPLAY is set)") +
             kNeedNone;
    }
    return std::nullopt;
  }
  // A list falls back from one platform to the next: one that needs nothing named is enough.
  // Wayland finds its socket without the variable; other platforms need none.
  for (const std::string& platform : platforms) {
    if (platform != "xcb" || !environment.display.empty()) {
      return std::nullopt;
    }
  }
  return std::string(
             "quorvane: no display to show the window on (QT_QPA_PLATFORM asks for X "
             "and DISPLAY is not set)") +
         kNeedNone;
}

std::string PlatformFailedLine(const DisplayEnvironment& environment, const std::string& platform,
                               bool installed) {
  const bool wayland = platform.starts_with("wayland");
  if (!installed) {
    if (wayland) {
      return "quorvane: the Qt platform plugin " + Quoted(platform) +
             " could not be loaded (it is not installed): install qt6-wayland, or set "
             "QT_QPA_PLATFORM=xcb to use an X display\n";
    }
    return "quorvane: the Qt platform plugin " + Quoted(platform) +
           " could not be loaded (it is not installed); QT_QPA_PLATFORM names it: unset it, or set "
           "it to xcb or wayland\n";
  }
  if (wayland) {
    const std::string socket =
        environment.waylandDisplay.empty() ? "wayland-0" : environment.waylandDisplay;
    return "quorvane: cannot connect to the Wayland display " + Quoted(socket) + kNeedNone;
  }
  if (platform == "xcb") {
    return "quorvane: cannot open the X display " + Quoted(environment.display) + " (DISPLAY)" +
           kNeedNone;
  }
  return "quorvane: the Qt platform " + Quoted(platform) + " could not start" + kNeedNone;
}

std::string PluginFailedLine(const std::string& platform, const std::string& reason) {
  return "quorvane: the Qt platform plugin " + Quoted(platform) +
         " is installed but could not be loaded (" +
         visibletext::Escaped(reason, platform::TextEncoding::Utf8) + ")" + kNeedNone;
}

}  // namespace app
