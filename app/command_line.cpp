#include "app/command_line.h"

#include "version.h"

namespace app {
namespace {

// "<program>: <what> '<argument>'", built by appending: GCC 12 warns falsely (-Wrestrict) about
// a text put in front of a string.
std::string Naming(std::string_view program, std::string_view what, std::string_view argument) {
  std::string line(program);
  line.append(": ").append(what).append(" '").append(argument).append("'");
  return line;
}

}  // namespace

Command ParseCommandLine(int argc, const char* const* argv, std::string_view program) {
  // In order, as getopt reads them: --help and --version answer at once, the first wrong argument
  // ends the reading.
  Command command;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (!optionsEnded && argument == "--") {
      optionsEnded = true;
    } else if (optionsEnded || !argument.starts_with('-') || argument == "-") {
      return {Mode::UsageError, Naming(program, "unexpected argument", argument)};
    } else if (argument == "--help") {
      return {Mode::Help, {}};
    } else if (argument == "--version") {
      return {Mode::Version, {}};
    } else if (argument == "--text" || argument == "--json") {
      const Mode mode = argument == "--text" ? Mode::Text : Mode::Json;
      if (command.mode != Mode::Window && command.mode != mode) {
        return {Mode::UsageError, std::string(program) + ": --text and --json exclude each other"};
      }
      command.mode = mode;
    } else {
      return {Mode::UsageError, Naming(program, "unknown option", argument)};
    }
  }
  return command;
}

std::string HelpText(std::string_view program, std::string_view systemNotes) {
  const std::string name(program);
  const std::string notes = systemNotes.empty() ? "" : "\n" + std::string(systemNotes);
  return "Usage: " + name +
         " [--text | --json]\n"
         "Show the facts about this computer: its name and user, operating system,\n"
         "processor, memory, directories, keyboard and drives.\n"
         "\n"
         "Without an option the facts are shown in a window, which needs a display.\n"
         "\n"
         "  --text     write the report that Print Info prints (the key facts, then the\n"
         "             listing) to standard output\n"
         "  --json     write every fact as one JSON document (format 1) to standard output\n"
         "  --help     show this help and exit\n"
         "  --version  show the version and exit\n"
         "\n"
         "--text and --json need no display. Exit status: 0 if all went well, 1 if the\n"
         "output could not be written or the window could not be shown, 2 for a wrong\n"
         "command line. The JSON document's keys are described in its schema,\n"
         "quorvane.schema.json, which comes with the program.\n" +
         notes;
}

std::string VersionText(std::string_view program) {
  return std::string(program) + " (Quorvane) " QUORVANE_VERSION
                                "\n"
                                "Copyright (C) 2026 The Quorvane authors.\n"
                                "License MIT: <https://opensource.org/licenses/MIT>.\n";
}

std::string UsageErrorLine(const Command& command, std::string_view program) {
  return command.error + " (try '" + std::string(program) + " --help')\n";
}

}  // namespace app
