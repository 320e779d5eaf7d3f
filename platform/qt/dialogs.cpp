#include "platform/qt/dialogs.h"

#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QString>
#include <utility>

namespace platform::qt {

namespace {

int Run(const DialogRunner& run, QDialog& dialog) {
  return run ? run(dialog) : dialog.exec();
}

QMessageBox::Icon IconOf(int buttons) {
  switch (buttons & 0x70) {
    case 16:
      return QMessageBox::Critical;
    case 32:
      return QMessageBox::Question;
    case 48:
      return QMessageBox::Warning;
    case 64:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

}  // namespace

MsgBox::MsgBox(QWidget* parent, DialogRunner run) : parent_(parent), run_(std::move(run)) {}

int MsgBox::Show(const std::string& prompt, int buttons, const std::string& title) {
  // Only the OK-only style is asked for; every style shows its icon with a single OK button.
  QMessageBox box(IconOf(buttons), QString::fromLocal8Bit(title), QString::fromLocal8Bit(prompt),
                  QMessageBox::Ok, parent_);
  box.setTextFormat(Qt::PlainText);
  (void)Run(run_, box);
  return vbOK;
}

CommonDialog::CommonDialog(QPrinter& printer, QWidget* parent, DialogRunner run)
    : printer_(printer), parent_(parent), run_(std::move(run)) {}

bool CommonDialog::ShowPrinter() {
  QPrintDialog dialog(&printer_, parent_);
  // Only the number of copies is used: page ranges would be offered and then ignored.
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
  if (Run(run_, dialog) != QDialog::Accepted) {
    return !cancelError_;
  }
  // The report prints each copy as a document of its own, so the printer must not multiply them.
  copies_ = printer_.copyCount();
  printer_.setCopyCount(1);
  return true;
}

}  // namespace platform::qt
