// quorvane-print: Print Info's command of the Windows program on its real message box, print
// dialog and printer, without the main window. It runs the start-up into a main window that keeps
// what it is given, writes what that window would show (the six captions the report prints, in its
// order, then the listing) to standard output, and runs the command once.
// Usage: quorvane-print [long]
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

#include "tests/support/recording_main_form.h"
#include "ui/main/win32/report.h"
#include "ui/settings/settings_form.h"

int main(int argc, char** argv) {
  testing_support::RecordingMainForm main;
  settings::frmSystemInfo settingsWindow([&main]() -> mainform::MainForm& { return main; });
  settingsWindow.Form_Load();
  // "long": the listing gets a line wider than a page and more lines than a page holds.
  if (argc > 1 && std::string(argv[1]) == "long") {
    std::string listing = main.Text1() + "wide:";
    for (int i = 0; i < 30; ++i) {
      listing += "0123456789";
    }
    listing += ":end\r\n";
    for (int line = 1; line <= 80; ++line) {
      const std::string number = std::to_string(line);
      listing += "Line " + std::string(3 - number.size(), '0') + number + "\r\n";
    }
    main.SetText1(listing);
  }

  // The listing already ends its lines with CR LF, so stdout is switched to bytes as they are.
  std::fflush(stdout);
  ::_setmode(::_fileno(stdout), _O_BINARY);
  using mainform::Label;
  std::string shown;
  for (const Label label : {Label::Label1, Label::Label5, Label::Label7, Label::Label9,
                            Label::Label26, Label::Label12}) {
    shown += main.Caption(label) + "\r\n";
  }
  shown += main.Text1();
  std::fwrite(shown.data(), 1, shown.size(), stdout);
  std::fflush(stdout);

  report::PrintFromWindow(main, nullptr);
  return 0;
}
