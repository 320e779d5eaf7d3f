// What the Linux program decides from the environment before it loads its window: whether there is
// a display at all, which platforms the window starts on, and the one line said when it cannot.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/linux/display_environment.h"

namespace {

using app::DisplayEnvironment;

TEST(DisplayEnvironment, WithoutAnyDisplayTheProgramSaysSoBeforeLoadingQt) {
  const std::string needNone = "; --text and --json need none\n";
  EXPECT_EQ(app::NoDisplayLine({}),
            "quorvane: no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is "
            "set)" +
                needNone);
  EXPECT_EQ(app::NoDisplayLine({"xcb", "", "wayland-0", ""}),
            "quorvane: no display to show the window on (QT_QPA_PLATFORM asks for X and DISPLAY "
            "is not set)" +
                needNone);
  // Named displays, a platform that needs none, and a list with one that can start.
  for (const DisplayEnvironment& some :
       {DisplayEnvironment{"", ":0", "", ""}, DisplayEnvironment{"", "", "wayland-1", ""},
        DisplayEnvironment{"offscreen", "", "", ""},
        DisplayEnvironment{"xcb;wayland", "", "", ""}}) {
    EXPECT_FALSE(app::NoDisplayLine(some)) << some.qpaPlatform << some.display;
  }
}

TEST(DisplayEnvironment, StartsOnWaylandWhereOnlyItIsThereAndOnXWhereItsPluginIsMissing) {
  struct Case {
    DisplayEnvironment environment;
    bool waylandInstalled;
    std::vector<std::string> platforms;
  };
  const Case cases[] = {
      {{"", ":0", "", ""}, true, {"xcb"}},
      {{"", "", "wayland-0", ""}, true, {"wayland"}},
      {{"", "", "wayland-0", ""}, false, {"wayland"}},  // nothing else to try: it says why
      {{"", ":0", "wayland-0", "wayland"}, true, {"wayland", "xcb"}},
      {{"", ":0", "wayland-0", "wayland"}, false, {"xcb"}},
      {{"", ":0", "wayland-0", "wayland", true}, true, {"xcb"}},  // GNOME: Qt keeps to X
      {{"", ":0", "wayland-0", "x11"}, true, {"xcb"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(app::PlatformsToTry(c.environment, [&c] { return c.waylandInstalled; }), c.platforms)
        << c.environment.display << "|" << c.environment.waylandDisplay << "|"
        << c.environment.sessionType << "|" << c.waylandInstalled;
  }
  EXPECT_EQ(app::NamedPlatforms({"xcb:dpi=96;wayland", "", "", ""}),
            (std::vector<std::string>{"xcb", "wayland"}));
}

TEST(DisplayEnvironment, AFailedStartNamesItsCauseAndTheWayOut) {
  const DisplayEnvironment environment{"", ":4000", "wayland-9", ""};
  EXPECT_EQ(app::PlatformFailedLine(environment, "xcb", true),
            "quorvane: cannot open the X display \":4000\" (DISPLAY); --text and --json need "
            "none\n");
  EXPECT_EQ(app::PlatformFailedLine(environment, "wayland", true),
            "quorvane: cannot connect to the Wayland display \"wayland-9\"; --text and --json "
            "need none\n");
  EXPECT_EQ(app::PlatformFailedLine(environment, "wayland", false),
            "quorvane: the Qt platform plugin \"wayland\" could not be loaded (it is not "
            "installed): install qt6-wayland, or set QT_QPA_PLATFORM=xcb to use an X display\n");
  EXPECT_EQ(app::PlatformFailedLine(environment, "xbc", false),
            "quorvane: the Qt platform plugin \"xbc\" could not be loaded (it is not installed); "
            "QT_QPA_PLATFORM names it: unset it, or set it to xcb or wayland\n");
  EXPECT_EQ(app::PluginFailedLine("xcb",
                                  "Cannot load library libqxcb.so: (libQt6XcbQpa.so.6: "
                                  "cannot open shared object file)"),
            "quorvane: the Qt platform plugin \"xcb\" is installed but could not be loaded "
            "(Cannot load library libqxcb.so: (libQt6XcbQpa.so.6: cannot open shared object "
            "file)); --text and --json need none\n");
  // Names from the environment say what they hold without sending it to the terminal.
  EXPECT_EQ(app::PlatformFailedLine({"", ":0\x1b]0;owned\a\n", "", ""}, "xcb", true),
            "quorvane: cannot open the X display \":0\\x1b]0;owned\\x07\\n\" (DISPLAY); --text and "
            "--json need none\n");
}

}  // namespace
