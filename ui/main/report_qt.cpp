#include "ui/main/report_qt.h"

#include <QPrinter>

#include "platform/qt/printer.h"
#include "ui/main/report.h"

namespace report {

void PrintFromWindow(const mainform::MainForm& main, QWidget* parent) {
  PrintFromWindow(main, parent, {});
}

void PrintFromWindow(const mainform::MainForm& main, QWidget* parent,
                     const platform::qt::DialogRunner& run) {
  // One printer for one press: the dialog sets it up and each copy is a document on it.
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(QStringLiteral("System Information Settings"));
  platform::qt::QtMsgBox msgBox(parent, run);
  platform::qt::QtCommonDialog CommonDialog1(printer, parent, run);
  platform::qt::QtPrinter Printer(printer);
  Command2_Click(main, msgBox, CommonDialog1, Printer);
}

}  // namespace report
