#include "ui/main/qt/printing_module.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QMessageBox>

namespace report {

QStringList PrintingModulePaths() {
  const QDir programDir(QCoreApplication::applicationDirPath());
  const QString file = QStringLiteral(QUORVANE_PRINTING_FILE);
  return {programDir.filePath(file),
          QDir::cleanPath(
              programDir.filePath(QStringLiteral(QUORVANE_PRINTING_FROM_PROGRAM "/") + file)),
          QStringLiteral(QUORVANE_PRINTING_INSTALLED "/") + file};
}

PrintEntry LoadPrinting(const QStringList& paths, QString& error) {
  error.clear();
  for (const QString& path : paths) {
    QLibrary module(path);
    // The report's code must not be unloaded while its dialogs may still be on the screen; the
    // library stays loaded after this object goes.
    QString why;
    if (!module.load()) {
      why = module.errorString();
    } else if (auto entry = reinterpret_cast<PrintEntry>(module.resolve(kPrintEntry))) {
      error.clear();
      return entry;
    } else {
      why = path + QStringLiteral(": not the printing module (no ") +
            QString::fromLatin1(kPrintEntry) + QStringLiteral(")");
    }
    error += (error.isEmpty() ? QString() : QStringLiteral("\n")) + why;
  }
  return nullptr;
}

void PrintOnDemand(const mainform::MainForm& main, QWidget* parent) {
  static PrintEntry entry = nullptr;
  if (entry == nullptr) {
    QString error;
    entry = LoadPrinting(PrintingModulePaths(), error);
    if (entry == nullptr) {
      // Paths and loader messages are shown as they are, never as markup.
      QMessageBox box(QMessageBox::Warning, QStringLiteral("Print Info"),
                      QStringLiteral("Printing is not available: its module could not be loaded."),
                      QMessageBox::Ok, parent);
      box.setTextFormat(Qt::PlainText);
      box.setDetailedText(error);
      box.exec();
      return;
    }
  }
  entry(&main, parent);
}

}  // namespace report
