#include "app/console.h"

#include <string>

#include "facts/facts.h"
#include "facts/json.h"
#include "platform/console.h"
#include "ui/main/recorded_form.h"
#include "ui/main/report.h"
#include "ui/settings/settings_form.h"

namespace app {
namespace {

using platform::console::Encoding;

// The report as Print Info prints it, from the same start-up the window has.
std::string Report(std::string_view lineBreak) {
  mainform::RecordedForm main;
  settings::frmSystemInfo frmSystemInfo([&main]() -> mainform::MainForm& { return main; });
  frmSystemInfo.Form_Load();
  return report::Text(main, lineBreak);
}

int Write(std::string_view text, Encoding encoding, std::string_view program) {
  std::string why;
  switch (platform::console::WriteOut(text, encoding, &why)) {
    case platform::console::Outcome::Written:
      return kOk;
    case platform::console::Outcome::Closed:
      return kFailed;  // the reader went away: nobody to tell, but not a success
    case platform::console::Outcome::Failed:
      break;
  }
  platform::console::WriteError(std::string(program) + ": cannot write the output: " + why + "\n");
  return kFailed;
}

}  // namespace

int RunWithoutWindow(const Command& command, std::string_view program, std::string_view lineBreak) {
  switch (command.mode) {
    case Mode::Help:
      return Write(HelpText(program), Encoding::Utf8, program);
    case Mode::Version:
      return Write(VersionText(program), Encoding::Utf8, program);
    case Mode::Text:
      return Write(Report(lineBreak), Encoding::SystemCodePage, program);
    case Mode::Json:
      return Write(facts::Json(facts::Gather()), Encoding::Utf8, program);
    case Mode::UsageError:
    case Mode::Window:
      break;
  }
  platform::console::WriteError(UsageErrorLine(command, program));
  return kUsageError;
}

}  // namespace app
