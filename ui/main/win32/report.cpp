#include "ui/main/win32/report.h"

#include "platform/win32/dialogs.h"
#include "platform/win32/printer.h"
#include "ui/main/report.h"

namespace report {

void PrintFromWindow(const mainform::MainForm& main, HWND owner) {
  // One dialog and one printer object for one press: the dialog chooses the printer and each copy
  // is a document on it.
  platform::win32::MsgBox msgBox(owner);
  platform::win32::CommonDialog CommonDialog1(owner);
  platform::win32::Printer Printer(CommonDialog1);
  Command2_Click(main, msgBox, CommonDialog1, Printer);
}

}  // namespace report
