#include "ui/main/qt/report.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPrinter>

#include "platform/qt/printer.h"
#include "ui/main/report.h"

namespace report {

void PrintFromWindow(const mainform::MainForm& main, QWidget* parent) {
  PrintFromWindowRunning(main, parent, {});
}

void PrintFromWindowRunning(const mainform::MainForm& main, QWidget* parent,
                            const platform::qt::DialogRunner& run) {
  // One printer for one press: the dialog sets it up and each copy is a document on it.
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(QStringLiteral("System Information Settings"));
  // Qt's page for PDF files has almost no margin; a printer that needs wider ones keeps its own.
  printer.setPageMargins(QMarginsF(12.7, 12.7, 12.7, 12.7), QPageLayout::Millimeter);
  platform::qt::MsgBox msgBox(parent, run);
  platform::qt::CommonDialog CommonDialog1(printer, parent, run);
  platform::qt::Printer Printer(printer);
  Command2_Click(main, msgBox, CommonDialog1, Printer);
}

}  // namespace report
