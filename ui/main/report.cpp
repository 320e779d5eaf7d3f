#include "ui/main/report.h"

#include <optional>
#include <string>

namespace report {

namespace {

using mainform::Label;

struct ReportLine {
  const char* text;
  // The label whose caption follows the text, read when the line prints.
  std::optional<Label> value;
};

// Lines 1 to 9; the listing follows them. The value captions are padded to 15 characters so the
// values line up in a fixed-pitch face.
constexpr ReportLine kLines[] = {
    {"System Information Settings", std::nullopt},
    {"Pelvaro", std::nullopt},
    {"Computer Name: ", Label::Label1},
    {"User Name:     ", Label::Label5},
    {"Platform:      ", Label::Label7},
    {"Win Version:   ", Label::Label9},
    {"Processor:     ", Label::Label26},
    {"Physical RAM:  ", Label::Label12},
    {"Path Settings, Keyboard Settings, Drive Settings:", std::nullopt},
};

bool PrintCopy(const mainform::MainForm& main, platform::Printer& Printer) {
  // The font is assigned from a name nobody fills in: the printer keeps its own fixed-pitch face.
  const std::string strFont;
  if (!Printer.SetCurrentX(0) || !Printer.SetCurrentY(0) || !Printer.SetFont(strFont) ||
      !Printer.SetFontSize(16)) {
    return false;
  }
  for (const ReportLine& line : kLines) {
    std::string item = line.text;
    if (line.value) {
      item += main.Caption(*line.value);
    }
    if (!Printer.Print(item)) {
      return false;
    }
  }
  return Printer.Print(main.Text1()) && Printer.EndDoc();
}

// Everything after the message box; false at the first failure.
bool PrintCopies(const mainform::MainForm& main, platform::CommonDialog& CommonDialog1,
                 platform::Printer& Printer) {
  if (!CommonDialog1.ShowPrinter()) {
    return false;
  }
  const int N = CommonDialog1.Copies();
  for (int copy = 1; copy <= N; ++copy) {
    if (!PrintCopy(main, Printer)) {
      return false;
    }
  }
  return true;
}

}  // namespace

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
