#include "ui/main/report_win32.h"

#include "platform/win32/dialogs.h"
#include "platform/win32/printer.h"
#include "ui/main/report.h"

namespace report {

void PrintFromWindow(const mainform::MainForm& main, HWND owner) {
  // One dialog and one printer object for one press: the dialog chooses the printer and each copy
  // is a document on it.
  platform::win32::Win32MsgBox msgBox(owner);
  platform::win32::Win32CommonDialog CommonDialog1(owner);
  platform::win32::Win32Printer Printer(CommonDialog1);
  Command2_Click(main, msgBox, CommonDialog1, Printer);
}

}  // namespace report
