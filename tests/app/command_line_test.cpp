// The command line, read as GNU tools read theirs, and what the program says before it loads a
// window where the display cannot be had.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"

namespace {

using app::Mode;

app::Command Parse(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "quorvane");
  return app::ParseCommandLine(static_cast<int>(arguments.size()), arguments.data(), "quorvane");
}

TEST(CommandLine, ReadsTheOptionsInOrderAndNamesTheFirstWrongArgument) {
  struct Case {
    std::vector<const char*> arguments;
    Mode mode;
    const char* error;
  };
  const Case cases[] = {
      {{}, Mode::Window, ""},
      {{"--text"}, Mode::Text, ""},
      {{"--json"}, Mode::Json, ""},
      {{"--json", "--json"}, Mode::Json, ""},
      {{"--help"}, Mode::Help, ""},
      {{"--json", "--version"}, Mode::Version, ""},
      {{"--help", "--bogus"}, Mode::Help, ""},
      {{"--bogus", "--help"}, Mode::UsageError, "quorvane: unknown option '--bogus'"},
      {{"-j"}, Mode::UsageError, "quorvane: unknown option '-j'"},
      {{"--JSON"}, Mode::UsageError, "quorvane: unknown option '--JSON'"},
      {{"facts"}, Mode::UsageError, "quorvane: unexpected argument 'facts'"},
      {{"--json", "-"}, Mode::UsageError, "quorvane: unexpected argument '-'"},
      {{"--", "--json"}, Mode::UsageError, "quorvane: unexpected argument '--json'"},
      {{"--text", "--json"}, Mode::UsageError, "quorvane: --text and --json exclude each other"},
  };
  for (const Case& c : cases) {
    const app::Command command = Parse(c.arguments);
    EXPECT_EQ(command.mode, c.mode) << ::testing::PrintToString(c.arguments);
    EXPECT_EQ(command.error, c.error) << ::testing::PrintToString(c.arguments);
  }
  EXPECT_EQ(app::UsageErrorLine(Parse({"--bogus"}), "quorvane"),
            "quorvane: unknown option '--bogus' (try 'quorvane --help')\n");
}

TEST(CommandLine, HelpAndVersionSayWhatTheyShould) {
  const std::string help = app::HelpText("quorvane");
  EXPECT_EQ(help.rfind("Usage: quorvane [--text | --json]\n", 0), 0U) << help;
  for (const char* option : {"--text", "--json", "--help", "--version"}) {
    EXPECT_NE(help.find(std::string("  ") + option + " "), std::string::npos) << option;
  }
  EXPECT_EQ(app::VersionText("quorvane").rfind("quorvane (Quorvane) 0.", 0), 0U);
  // A system's own notes end the help, after a blank line; without them it ends as before.
  const std::string withNotes = app::HelpText("quorvane", "On this system, more.\n");
  EXPECT_EQ(withNotes, help + "\nOn this system, more.\n");
}

}  // namespace
