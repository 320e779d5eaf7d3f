// The program's command line, the same on Linux and Windows: nothing for the window, --text for the
// printed report's text, --json for every fact as a document, --help and --version, as people
// expect of a command (GNU conventions). Plain C++: the program decides here, before any window or
// toolkit is loaded, whether it needs one at all.
#pragma once

#include <string>
#include <string_view>

namespace app {

enum class Mode { Window, Text, Json, Help, Version, UsageError };

struct Command {
  Mode mode = Mode::Window;
  // For a usage error: the one line that says what is wrong, naming the argument.
  std::string error;
};

// Exit statuses: a wrong command line is 2, as for GNU tools.
inline constexpr int kOk = 0;
inline constexpr int kFailed = 1;
inline constexpr int kUsageError = 2;

// argv[1..argc-1]; program is the command's name as messages give it.
Command ParseCommandLine(int argc, const char* const* argv, std::string_view program);

// --help's text, for the command named program; systemNotes (lines ending "\n", or nothing) end it
// with what holds on this system alone.
std::string HelpText(std::string_view program, std::string_view systemNotes = {});
// --version's text.
std::string VersionText(std::string_view program);
// The line after a usage error, pointing to --help.
std::string UsageErrorLine(const Command& command, std::string_view program);

}  // namespace app
