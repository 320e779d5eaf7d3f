// The program without a window: --text, --json, --help, --version and a wrong command line, run to
// the end and written to standard output (error messages to standard error). Loads no toolkit and
// opens no display.
#pragma once

#include <string_view>

#include "app/command_line.h"

namespace app {

// The exit status. lineBreak ends the lines of --text, --help, --version and the messages ("\n" on
// Linux, "\r\n" on Windows; the JSON document's lines end with "\n" everywhere); helpNotes end
// --help with what holds on this system alone.
int RunWithoutWindow(const Command& command, std::string_view program, std::string_view lineBreak,
                     std::string_view helpNotes = {});

}  // namespace app
