// Finds and loads the window module and runs the window: the program's path to its window, which
// loads no toolkit itself.
#pragma once

#include <string>
#include <vector>

namespace app {

// Where the window module is looked for, in order: beside the program (the build tree), where the
// install puts it relative to the program, then at its full install path.
std::vector<std::string> WindowModulePaths();

// Loads the first of paths that exports the window and runs it with flags (window_entry.h); where
// none loads, says so in one line and gives status 1.
int ShowWindow(int argc, char** argv, const std::vector<std::string>& paths, int flags = 0);

}  // namespace app
