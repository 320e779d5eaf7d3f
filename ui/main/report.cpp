#include "ui/main/report.h"

#include <string>

#include "ui/main/main_layout.h"

namespace report {

namespace {

bool PrintCopy(const std::vector<std::string>& lines, platform::Printer& Printer) {
  // The font is assigned from a name nobody fills in: the printer keeps its own fixed-pitch face.
  const std::string strFont;
  if (!Printer.SetCurrentX(0) || !Printer.SetCurrentY(0) || !Printer.SetFont(strFont) ||
      !Printer.SetFontSize(16)) {
    return false;
  }
  for (const std::string& line : lines) {
    if (!Printer.Print(line)) {
      return false;
    }
  }
  return Printer.EndDoc();
}

// Everything after the message box; false at the first failure.
bool PrintCopies(const mainform::MainForm& main, platform::CommonDialog& CommonDialog1,
                 platform::Printer& Printer) {
  if (!CommonDialog1.ShowPrinter()) {
    return false;
  }
  const int N = CommonDialog1.Copies();
  for (int copy = 1; copy <= N; ++copy) {
    // Read at each copy: a tick of the timer may have written a new memory figure meanwhile.
    if (!PrintCopy(Lines(main), Printer)) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::vector<std::string> Lines(const mainform::MainForm& main) {
  std::vector<std::string> lines{"System Information Settings", "Pelvaro"};
  // Lines 3 to 8: each value's caption, padded to 15 characters so that the values line up in a
  // fixed-pitch face, then the value as the window shows it.
  for (int line = 3; line <= 8; ++line) {
    for (const mainlayout::Control& control : mainlayout::kControls) {
      if (control.meaning.reportLine == line && control.meaning.value) {
        lines.push_back(control.meaning.reportCaption + main.Caption(*control.meaning.value));
      }
    }
  }
  lines.emplace_back("Path Settings, Keyboard Settings, Drive Settings:");
  lines.push_back(main.Text1());
  return lines;
}

std::string Text(const mainform::MainForm& main, std::string_view lineBreak) {
  std::string text;
  for (const std::string& item : Lines(main)) {
    // Each CR LF inside an item ends a line, as the printer takes it; an item ending with one (the
    // listing) has ended its last line.
    std::string_view rest = item;
    while (!rest.empty()) {
      const std::size_t end = rest.find("\r\n");
      text.append(rest.substr(0, end));
      text.append(lineBreak);
      rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 2);
    }
    if (item.empty()) {
      text.append(lineBreak);
    }
  }
  return text;
}

void Command2_Click(const mainform::MainForm& main, platform::MsgBox& msgBox,
                    platform::CommonDialog& CommonDialog1, platform::Printer& Printer) {
  // Its answer does not matter: the only button continues.
  msgBox.Show("Systems Settings PrintOut", platform::vbOKOnly + platform::vbQuestion,
              "Pelvaro Beta 0.95");
  CommonDialog1.SetCancelError(true);
  // A failure (Cancel included) ends the command silently; nothing is left to undo.
  (void)PrintCopies(main, CommonDialog1, Printer);
}

}  // namespace report
