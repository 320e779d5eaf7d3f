#include "app/console.h"

#include <string>

#include "facts/facts.h"
#include "facts/json.h"
#include "platform/console.h"
#include "platform/text.h"
#include "ui/main/recorded_form.h"
#include "ui/main/report.h"
#include "ui/main/visible_text.h"
#include "ui/settings/settings_form.h"

namespace app {
namespace {

using platform::console::Encoding;

// Text whose lines end with "\n", with the system's line break instead.
std::string Lines(std::string_view text, std::string_view lineBreak) {
  std::string lines;
  for (const char c : text) {
    if (c == '\n') {
      lines.append(lineBreak);
    } else {
      lines += c;
    }
  }
  return lines;
}

// The report as Print Info prints it, from the same start-up the window has.
std::string Report(std::string_view lineBreak) {
  mainform::RecordedForm main;
  settings::frmSystemInfo frmSystemInfo([&main]() -> mainform::MainForm& { return main; });
  frmSystemInfo.Form_Load();
  return report::Text(main, lineBreak);
}

int Write(std::string_view text, Encoding encoding, std::string_view program,
          std::string_view lineBreak) {
  std::string why;
  switch (platform::console::WriteOut(text, encoding, &why)) {
    case platform::console::Outcome::Written:
      if (platform::console::CloseOut(&why)) {
        return kOk;
      }
      break;
    case platform::console::Outcome::Closed:
      return kFailed;  // the reader went away: nobody to tell, but not a success
    case platform::console::Outcome::Failed:
      break;
  }
  platform::console::WriteError(
      Lines(std::string(program) + ": cannot write the output: " + why + "\n", lineBreak));
  return kFailed;
}

}  // namespace

int RunWithoutWindow(const Command& command, std::string_view program, std::string_view lineBreak,
                     std::string_view helpNotes) {
  switch (command.mode) {
    case Mode::Help:
      return Write(Lines(HelpText(program, helpNotes), lineBreak), Encoding::Utf8, program,
                   lineBreak);
    case Mode::Version:
      return Write(Lines(VersionText(program), lineBreak), Encoding::Utf8, program, lineBreak);
    case Mode::Text:
      return Write(Report(lineBreak), Encoding::SystemCodePage, program, lineBreak);
    case Mode::Json:
      return Write(facts::Json(facts::Gather()), Encoding::Utf8, program, lineBreak);
    case Mode::UsageError:
    case Mode::Window:
      break;
  }
  // The wrong argument is named as it came, but a control character in it is shown as an escape.
  Command named = command;
  named.error = visibletext::Escaped(command.error, platform::SystemTextEncoding());
  platform::console::WriteError(Lines(UsageErrorLine(named, program), lineBreak));
  return kUsageError;
}

}  // namespace app
